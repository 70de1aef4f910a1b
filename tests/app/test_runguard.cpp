// The single-instance guard in one process: key derivation, holding and giving up the segment.
#include "app/RunGuard.h"

#include <QDir>
#include <QProcess>
#include <QSharedMemory>
#include <QSystemSemaphore>
#include <QTemporaryDir>
#include <QUuid>
#include <gtest/gtest.h>

#include <cstring>

struct RunGuardTestAccess {
    static QString makeKeyHash(const QString& key, const QString& salt) { return RunGuard::makeKeyHash(key, salt); }
};

namespace {

// Keeps the guard's key files out of the real temporary folder and gives each test its own key.
class RunGuardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        savedTmp = qgetenv("TMPDIR");
        hadTmp = qEnvironmentVariableIsSet("TMPDIR");
        qputenv("TMPDIR", tmp.path().toLocal8Bit());
        ASSERT_EQ(QDir::tempPath(), QDir::cleanPath(tmp.path()));
    }
    void TearDown() override
    {
        // Semaphores outlive their key files; remove every one this test used.
        for (const QString& key : qAsConst(keys))
            QSystemSemaphore(RunGuardTestAccess::makeKeyHash(key, "_memLockKey"), 1, QSystemSemaphore::Create);
        if (hadTmp)
            qputenv("TMPDIR", savedTmp);
        else
            qunsetenv("TMPDIR");
    }
    QString uniqueKey()
    {
        keys << QStringLiteral("OrvixToolsTest-") + QUuid::createUuid().toString(QUuid::Id128);
        return keys.last();
    }

    QTemporaryDir tmp;
    QStringList keys;
    QByteArray savedTmp;
    bool hadTmp = false;
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

TEST_F(RunGuardTest, ASegmentStillAttachedAfterItsHolderDiedIsTakenOver)
{
    // A killed instance's attachment can outlive its process for a moment: the segment is
    // still there when the next start looks, but its recorded holder is gone.
    const QString key = uniqueKey();
    const QString shmKey = RunGuardTestAccess::makeKeyHash(key, "_sharedmemKey");
    QProcess child;
    child.start(QStringLiteral("sleep"), {QStringLiteral("10")});
    ASSERT_TRUE(child.waitForStarted(5000));
    const qint64 pid = child.processId();
    QSharedMemory lingering(shmKey);
    ASSERT_TRUE(lingering.create(sizeof(qint64)));
    std::memcpy(lingering.data(), &pid, sizeof pid);

    RunGuard next(key);
    EXPECT_TRUE(next.isAnotherRunning()); // its holder still runs
    EXPECT_FALSE(next.tryToRun());

    child.kill();
    child.waitForFinished(5000);
    EXPECT_FALSE(next.isAnotherRunning());
    EXPECT_TRUE(next.tryToRun());
    RunGuard third(key);
    EXPECT_TRUE(third.isAnotherRunning()); // now this process holds it
    EXPECT_FALSE(third.tryToRun());
}

TEST_F(RunGuardTest, AReleasedSegmentThatLingersNamesNoHolder)
{
    const QString key = uniqueKey();
    const QString shmKey = RunGuardTestAccess::makeKeyHash(key, "_sharedmemKey");
    QSharedMemory lingering(shmKey);
    {
        RunGuard first(key);
        ASSERT_TRUE(first.tryToRun());
        ASSERT_TRUE(lingering.attach()); // keeps the segment alive past the release
    }
    RunGuard next(key);
    EXPECT_FALSE(next.isAnotherRunning());
    EXPECT_TRUE(next.tryToRun());
}
