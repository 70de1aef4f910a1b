// The single-instance guard in one process: key derivation, holding and giving up the segment.
#include "app/RunGuard.h"

#include "app/PrivateFolder.h"
#include "common/private_runtime.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUuid>
#include <gtest/gtest.h>

#include <memory>

#include <sys/stat.h>
#include <unistd.h>

struct RunGuardTestAccess {
    static QString makeKeyHash(const QString& key, const QString& salt) { return RunGuard::makeKeyHash(key, salt); }
};

namespace {

// Keeps the guard's files out of the real runtime folder and gives each test its own key.
class RunGuardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        runtime = std::make_unique<testutil::PrivateRuntime>(tmp.path());
    }
    void TearDown() override { runtime.reset(); }
    QString uniqueKey()
    {
        return QStringLiteral("OrvixToolsTest-") + QUuid::createUuid().toString(QUuid::Id128);
    }

    QTemporaryDir tmp;
    std::unique_ptr<testutil::PrivateRuntime> runtime;
};

TEST(RunGuardKeyHash, IsLowerCaseSha1OfKeyAndSuffix)
{
    EXPECT_EQ(RunGuardTestAccess::makeKeyHash("OrvixTools", "_memLockKey"),
              QStringLiteral("4864aa1cd9bbe3724f8b80a9111aff0fd9e3de48"));
    EXPECT_EQ(RunGuardTestAccess::makeKeyHash("OrvixTools", "_sharedmemKey"),
              QStringLiteral("a05551b38010c0b20c0db8cb2540914747acdaf7"));
    // The key is taken as UTF-8; an empty key hashes the suffix alone.
    EXPECT_EQ(RunGuardTestAccess::makeKeyHash(QString::fromUtf8("Orv\xC3\xADx"), "_memLockKey"),
              QStringLiteral("2820679e9d2f395d0ea1ea699aee6d3781bc8479"));
    EXPECT_EQ(RunGuardTestAccess::makeKeyHash(QString(), "_sharedmemKey"),
              QStringLiteral("9c9f365b2b3de81ab6ff2bdb892970f5aa611388"));
    // Key and suffix are simply concatenated.
    EXPECT_EQ(RunGuardTestAccess::makeKeyHash("Orvix", "Tools_memLockKey"),
              RunGuardTestAccess::makeKeyHash("OrvixTools", "_memLockKey"));
}

TEST_F(RunGuardTest, OnlyOneGuardOfAKeyRuns)
{
    const QString key = uniqueKey();
    RunGuard first(key);
    EXPECT_FALSE(first.isAnotherRunning());
    ASSERT_TRUE(first.tryToRun());
    // The holder itself does not count as another instance, and may ask again.
    EXPECT_FALSE(first.isAnotherRunning());
    EXPECT_TRUE(first.tryToRun());

    RunGuard second(key);
    EXPECT_TRUE(second.isAnotherRunning());
    EXPECT_FALSE(second.tryToRun());
    // A failed attempt does not disturb the holder.
    EXPECT_TRUE(second.isAnotherRunning());

    first.release();
    EXPECT_FALSE(second.isAnotherRunning());
    EXPECT_TRUE(second.tryToRun());
    EXPECT_TRUE(first.isAnotherRunning());
    EXPECT_FALSE(first.tryToRun());
}

TEST_F(RunGuardTest, DestructionReleasesTheSegment)
{
    const QString key = uniqueKey();
    {
        RunGuard first(key);
        ASSERT_TRUE(first.tryToRun());
        RunGuard probe(key);
        EXPECT_TRUE(probe.isAnotherRunning());
    }
    RunGuard next(key);
    EXPECT_FALSE(next.isAnotherRunning());
    EXPECT_TRUE(next.tryToRun());
}

TEST_F(RunGuardTest, ReleaseWithoutHoldingIsHarmless)
{
    const QString key = uniqueKey();
    RunGuard holder(key);
    ASSERT_TRUE(holder.tryToRun());
    RunGuard other(key);
    other.release();
    other.release();
    EXPECT_TRUE(other.isAnotherRunning());
    EXPECT_FALSE(holder.isAnotherRunning());
}

TEST_F(RunGuardTest, DifferentKeysAreIndependent)
{
    RunGuard a(uniqueKey());
    RunGuard b(uniqueKey());
    EXPECT_TRUE(a.tryToRun());
    EXPECT_TRUE(b.tryToRun());
}

TEST_F(RunGuardTest, ConstructingAGuardLeavesARunningInstanceAlone)
{
    // The stale-segment clean-up in the constructor must not drop a segment still held.
    const QString key = uniqueKey();
    RunGuard holder(key);
    ASSERT_TRUE(holder.tryToRun());
    for (int i = 0; i < 3; ++i) {
        RunGuard late(key);
        EXPECT_TRUE(late.isAnotherRunning());
        EXPECT_FALSE(late.tryToRun());
    }
}

} // namespace

TEST_F(RunGuardTest, TheGuardLivesInThePrivateFolderAndFallsFreeWithItsHolder)
{
    const QString key = uniqueKey();
    auto first = std::make_unique<RunGuard>(key);
    ASSERT_TRUE(first->tryToRun());
    EXPECT_EQ(QFileInfo(first->guardFile()).absolutePath(), runtime->run());
    struct stat st {
    };
    ASSERT_EQ(::stat(QFile::encodeName(first->guardFile()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    first.reset();
    RunGuard next(key);
    EXPECT_TRUE(next.tryToRun());
}

TEST_F(RunGuardTest, FoldersAndGuardsOfAnotherUserAreNeverTaken)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs to hand files to another user";
    const QString key = uniqueKey();
    // A guard file planted under our name by another account: refused, never locked.
    {
        RunGuard probe(key);
        QFile planted(probe.guardFile());
        ASSERT_TRUE(planted.open(QIODevice::WriteOnly));
        planted.close();
        ASSERT_EQ(::chown(QFile::encodeName(probe.guardFile()).constData(), 65534, 65534), 0);
        EXPECT_FALSE(probe.tryToRun());
        ASSERT_TRUE(planted.remove());
    }
    // A runtime folder of another user is passed over for one of our own under the temporary
    // folder; one planted there by the other user as well is passed over again.
    ASSERT_EQ(::chown(QFile::encodeName(runtime->run()).constData(), 65534, 65534), 0);
    const QString planted = QDir(runtime->tmp()).filePath(QStringLiteral("OrvixTools-0"));
    ASSERT_TRUE(QDir().mkdir(planted));
    ASSERT_EQ(::chown(QFile::encodeName(planted).constData(), 65534, 65534), 0);
    const QString folder = PrivateFolder::path();
    EXPECT_FALSE(folder.isEmpty());
    EXPECT_NE(folder, runtime->run());
    EXPECT_NE(folder, planted);
    EXPECT_TRUE(PrivateFolder::isPrivate(folder));
    ASSERT_EQ(::chown(QFile::encodeName(runtime->run()).constData(), 0, 0), 0);
    RunGuard guard(key);
    EXPECT_TRUE(guard.tryToRun());
}
