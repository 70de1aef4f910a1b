// Downloads into the private download folder: the whole file on success, progress without a
// known total, redirects (followed, capped, http/https only), failures that must not pass as
// success (HTTP errors, cut bodies, failed writes), cancellation, and the folder's safety in
// a shared temporary folder. TMPDIR points at a folder of the test's own.
#include "app/ApiManager.h"
#include "app/DownloadTask.h"
#include "common/private_runtime.h"
#include "common/qt_wait.h"
#include "support/HttpTestServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// Readable QString values in assertion messages.
static void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

using API::DownloadTask;
using testsupport::HttpTestServer;

namespace {

QByteArray randomBytes(int n)
{
    QByteArray data(n, '\0');
    for (int i = 0; i < n; ++i)
        data[i] = char(QRandomGenerator::global()->bounded(256));
    return data;
}

struct Outcome {
    int calls = 0;
    API::Result result;
    QString filePath;
    QByteArray contents;      // the file as it was inside the finished callback
    bool fileExisted = false;
    QList<double> fractions;
    QList<qint64> remaining;
    qint64 largestFile = 0; // the file's largest size seen on progress
};

class DownloadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        runtime = std::make_unique<testutil::PrivateRuntime>(tmp.path());
        ASSERT_TRUE(server.isListening());
        manager = std::make_unique<API::Manager>();
    }

    void TearDown() override
    {
        manager.reset();
        runtime.reset();
    }

    QString folder() const { return QDir(runtime->run()).filePath("OrvixTools-Update"); }

    DownloadTask* download(const QUrl& url, Outcome& out)
    {
        return manager->download(
            url,
            [&out](DownloadTask* task, double fraction, qint64 remaining) {
                out.fractions << fraction;
                out.remaining << remaining;
                out.largestFile = qMax(out.largestFile, QFileInfo(task->filePath()).size());
            },
            [&out](DownloadTask* task, API::Result result) {
                ++out.calls;
                out.result = result;
                out.filePath = task->filePath();
                if (task->filePath().isEmpty())
                    return;
                QFile f(task->filePath());
                out.fileExisted = f.exists();
                if (f.open(QIODevice::ReadOnly))
                    out.contents = f.readAll();
            });
    }

    void waitFor(Outcome& out)
    {
        ASSERT_TRUE(testutil::waitUntil([&] { return out.calls > 0; }, 8000));
        testutil::spin(20); // nothing more may arrive
        EXPECT_EQ(out.calls, 1);
    }

    QStringList folderEntries() const
    {
        return QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QTemporaryDir tmp{QCoreApplication::applicationDirPath() + "/download-test-XXXXXX"};
    std::unique_ptr<testutil::PrivateRuntime> runtime;
    HttpTestServer server;
    std::unique_ptr<API::Manager> manager;
};

} // namespace

TEST(DownloadFileName, LastPathComponentMadeSafe)
{
    struct Case {
        const char* url;
        const char* name;
    };
    const Case cases[] = {
        {"http://h/api/v1/software/ox/mac/2.6/download", "download"},
        {"http://h/files/OrvixTools%202.6.3.pkg", "OrvixTools 2.6.3.pkg"},
        {"http://h/files/fw.bin?x=1", "fw.bin"},
        {"http://h/", "download"},
        {"http://h", "download"},
        {"http://h/files/%2E%2E", "download"},
        {"http://h/files/..", "download"},
        {"http://h/files/%2E", "download"},
        {"http://h/x/..%2F..%2Fetc%2Fpasswd", "passwd"},
        {"http://h/x/..%5C..%5Cwin.ini", ".._.._win.ini"},
        {"http://h/x/a%5Cb", "a_b"},
        {"http://h/x/a%00b%0A", "a_b_"},
        {"http://h/x/.hidden", ".hidden"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        const QString name = DownloadTask::fileNameFor(QUrl(c.url));
        EXPECT_EQ(name, QString(c.name));
        EXPECT_FALSE(name.contains('/'));
    }
}

TEST_F(DownloadTest, SucceedsWithTheWholeFileWhichIsRemovedAfterTheCallback)
{
    const QByteArray data = randomBytes(300 * 1024);
    server.route("/files/Link_fw.enc", HttpTestServer::Response::bytes(data));
    Outcome out;
    DownloadTask* task = download(server.url("/files/Link_fw.enc"), out);
    EXPECT_EQ(task->status(), DownloadTask::InProgress);
    waitFor(out);

    EXPECT_EQ(out.result.code, 0);
    EXPECT_EQ(out.result.domain, API::Result::ErrorDomain);
    EXPECT_TRUE(out.fileExisted);
    EXPECT_EQ(out.contents, data);
    EXPECT_EQ(out.filePath, QDir(folder()).filePath("Link_fw.enc"));
    EXPECT_EQ(task->status(), DownloadTask::Succeeded);
    EXPECT_FALSE(QFile::exists(out.filePath));
    EXPECT_GT(task->speed(), 0.0);
    ASSERT_FALSE(out.fractions.isEmpty());
    EXPECT_DOUBLE_EQ(out.fractions.last(), 1.0);
    EXPECT_EQ(out.remaining.last(), 0);
    for (qint64 r : out.remaining)
        EXPECT_GE(r, -1);

    // Finished tasks stay alive and answer start() without sending anything.
    EXPECT_FALSE(task->start());
    testutil::spin(20);
    EXPECT_EQ(server.requestCount(), 1);
}

TEST_F(DownloadTest, CallerMayKeepTheFileByMovingIt)
{
    server.route("/files/pkg", HttpTestServer::Response::bytes("package"));
    QString kept;
    int calls = 0;
    manager->download(server.url("/files/pkg"), [](DownloadTask*, double, qint64) {},
                      [&](DownloadTask* task, API::Result r) {
                          ++calls;
                          ASSERT_EQ(r.code, 0);
                          kept = task->folder().filePath("OrvixTools.pkg");
                          ASSERT_TRUE(QFile::rename(task->filePath(), kept));
                      });
    ASSERT_TRUE(testutil::waitUntil([&] { return calls == 1; }, 5000));
    QFile f(kept);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "package");
}

TEST_F(DownloadTest, TasksAtWorkTogetherKeepTheirOwnFiles)
{
    // A firmware and the installer, both "download"; the installer is opened in place (kept).
    const QByteArray firmware = randomBytes(32 * 1024);
    server.route("/fw/download", HttpTestServer::Response::bytes(firmware).slow(1024, 20));
    server.route("/app/download", HttpTestServer::Response::bytes("package"));
    Outcome slow, later;
    download(server.url("/fw/download"), slow);
    ASSERT_TRUE(testutil::waitUntil([&] { return QFileInfo(folder() + "/download").size() > 0; }, 5000));
    QString kept;
    manager->download(server.url("/app/download"), [](DownloadTask*, double, qint64) {},
                      [&](DownloadTask* task, API::Result) {
                          task->keepFile();
                          kept = task->filePath();
                      });
    ASSERT_TRUE(testutil::waitUntil([&] { return !kept.isEmpty(); }, 5000));
    ASSERT_EQ(slow.calls, 0) << "the firmware is still on its way";
    waitFor(slow);
    EXPECT_EQ(slow.contents, firmware);
    download(server.url("/app/download"), later); // leaves the kept file where it is
    waitFor(later);
    QFile package(kept);
    ASSERT_TRUE(package.open(QIODevice::ReadOnly));
    EXPECT_EQ(package.readAll(), "package");
}

TEST_F(DownloadTest, ProgressIsZeroWhenTheTotalIsUnknown)
{
    const QByteArray data = randomBytes(24 * 1024);
    server.route("/files/blob", HttpTestServer::Response::bytes(data).withoutLength().slow(4096, 5));
    Outcome out;
    download(server.url("/files/blob"), out);
    waitFor(out);
    EXPECT_EQ(out.result.code, 0);
    EXPECT_EQ(out.contents, data);
    ASSERT_FALSE(out.fractions.isEmpty());
    for (double f : out.fractions)
        EXPECT_EQ(f, 0.0);
    for (qint64 r : out.remaining)
        EXPECT_EQ(r, -1);
}

TEST_F(DownloadTest, TheFirstTimeLeftFollowsTheRateSoFar)
{
    // 256 KiB, a kilobyte every 20 ms: the first estimate is what is left at the rate so far.
    server.route("/files/slow", HttpTestServer::Response::bytes(randomBytes(256 * 1024)).slow(1024, 20));
    QElapsedTimer clock;
    clock.start();
    qint64 first = -1, bound = 0;
    auto progress = [&](DownloadTask*, double fraction, qint64 remaining) {
        if (first < 0 && remaining >= 0 && fraction > 0) {
            first = remaining;
            bound = qint64(2 * (1 - fraction) / fraction * qMax<qint64>(1, clock.elapsed()) / 1000) + 1;
        }
    };
    DownloadTask* task
        = manager->download(server.url("/files/slow"), progress, [](DownloadTask*, API::Result) {});
    ASSERT_TRUE(testutil::waitUntil([&] { return first >= 0; }, 5000));
    task->cancel();
    EXPECT_LE(first, bound);
}

TEST_F(DownloadTest, ARateFallingToNothingGivesNoEstimateRatherThanNone)
{
    const qint64 total = 1024 * 1024;
    server.route("/files/stuck", HttpTestServer::Response::bytes(QByteArray(total, 's')).slow(1024, 60000));
    QElapsedTimer clock;
    clock.start();
    Outcome out;
    DownloadTask* task = download(server.url("/files/stuck"), out);
    // The size is told and the first kilobyte is in: from here on progress is reported as the
    // network layer would for a byte in a long while.
    ASSERT_TRUE(testutil::waitUntil([&] { return QFileInfo(task->filePath()).size() > 0; }, 5000));
    task->onUpdateDataReadProgress(1, total);
    ASSERT_TRUE(testutil::waitUntil([&] { return clock.elapsed() > 1100; }, 5000));
    for (int i = 0; i < 600; ++i)
        task->onUpdateDataReadProgress(1, total);
    task->cancel();
    for (qint64 r : out.remaining)
        ASSERT_TRUE(r == -1 || r > 0) << r;
}

TEST_F(DownloadTest, RedirectIsFollowedOnceWithOneReport)
{
    const QByteArray data = randomBytes(5000);
    server.route("/api/v1/software/ox/mac/2.6/download",
                 HttpTestServer::Response::redirect("/files/OrvixTools-2.6.3.pkg"));
    server.route("/files/OrvixTools-2.6.3.pkg", HttpTestServer::Response::bytes(data));
    Outcome out;
    DownloadTask* task = download(server.url("/api/v1/software/ox/mac/2.6/download"), out);
    waitFor(out);
    EXPECT_EQ(out.result.code, 0);
    EXPECT_EQ(out.contents, data);
    EXPECT_EQ(QFileInfo(out.filePath).fileName(), "OrvixTools-2.6.3.pkg");
    EXPECT_EQ(task->url(), server.url("/files/OrvixTools-2.6.3.pkg"));
    EXPECT_EQ(task->redirectCount(), 1);
    EXPECT_EQ(server.requestCount("/api/v1/software/ox/mac/2.6/download"), 1);
    EXPECT_EQ(server.requestCount("/files/OrvixTools-2.6.3.pkg"), 1);
    // The first target's empty file did not stay behind.
    EXPECT_TRUE(folderEntries().isEmpty());
}

TEST_F(DownloadTest, RedirectsAreCappedAndStayOnTheWeb)
{
    server.route("/loop", HttpTestServer::Response::redirect("/loop", 307));
    Outcome loop;
    download(server.url("/loop"), loop);
    waitFor(loop);
    EXPECT_EQ(loop.result.code, 1);
    EXPECT_FALSE(loop.result.detail.isEmpty());
    EXPECT_EQ(server.requestCount("/loop"), DownloadTask::MaxRedirects + 1);
    EXPECT_TRUE(folderEntries().isEmpty());

    const QByteArray targets[] = {"file:///etc/passwd", "ftp://127.0.0.1/fw.bin", "data:,hello",
                                  "qrc:/styles/global"};
    for (const auto& target : targets) {
        SCOPED_TRACE(target.constData());
        server.route("/elsewhere", HttpTestServer::Response::redirect(target, 302));
        Outcome out;
        DownloadTask* task = download(server.url("/elsewhere"), out);
        waitFor(out);
        EXPECT_EQ(out.result.code, 1);
        EXPECT_EQ(task->status(), DownloadTask::Failed);
        EXPECT_TRUE(folderEntries().isEmpty());
    }

    Outcome direct;
    download(QUrl("file:///etc/hostname"), direct);
    waitFor(direct);
    EXPECT_EQ(direct.result.code, 1);
}

TEST_F(DownloadTest, StatusOutsideTwoHundredsFails)
{
    struct Case {
        HttpTestServer::Response response;
        int code;
    };
    const Case cases[] = {
        {HttpTestServer::Response::withStatus(404, "missing"), 1},
        {HttpTestServer::Response::withStatus(500, "oops"), 1},
        {HttpTestServer::Response::withStatus(300, "choose"), 1}, // redirect status, no target
        {HttpTestServer::Response::withStatus(304), 1},
        {HttpTestServer::Response::withStatus(204), 0},
        {HttpTestServer::Response::withStatus(203, "ok"), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.response.status);
        server.route("/files/x.bin", c.response);
        Outcome out;
        DownloadTask* task = download(server.url("/files/x.bin"), out);
        waitFor(out);
        EXPECT_EQ(out.result.code, c.code);
        if (c.code != 0) {
            EXPECT_FALSE(out.result.detail.isEmpty());
            EXPECT_EQ(task->status(), DownloadTask::Failed);
        }
        EXPECT_TRUE(folderEntries().isEmpty());
    }
}

TEST_F(DownloadTest, CutBodyFailsAndLeavesNoFile)
{
    const QByteArray data = randomBytes(10000);
    server.route("/files/cut.bin", HttpTestServer::Response::bytes(data).brokenAfter(3000));
    Outcome out;
    DownloadTask* task = download(server.url("/files/cut.bin"), out);
    waitFor(out);
    EXPECT_EQ(out.result.code, 1);
    EXPECT_FALSE(out.result.detail.isEmpty());
    EXPECT_EQ(task->status(), DownloadTask::Failed);
    EXPECT_TRUE(folderEntries().isEmpty());
}

TEST_F(DownloadTest, TheFileIsAskedForAsItIsAndAnEncodedBodyIsNeverTakenForIt)
{
    // A compressed body cut short ends as quietly as a whole one: neither may pass as the file.
    const QByteArray data = randomBytes(100000);
    const QByteArray deflated = qCompress(data).mid(4); // the zlib stream without Qt's length
    for (const int cutAfter : { -1, 20000 }) {
        SCOPED_TRACE(cutAfter);
        auto response = HttpTestServer::Response::bytes(deflated).header("Content-Encoding", "deflate");
        if (cutAfter >= 0)
            response.brokenAfter(cutAfter);
        server.route("/files/fw.bin", response);
        Outcome out;
        DownloadTask* task = download(server.url("/files/fw.bin"), out);
        waitFor(out);
        EXPECT_EQ(out.result.code, 1);
        EXPECT_EQ(task->status(), DownloadTask::Failed);
        EXPECT_TRUE(folderEntries().isEmpty());
        ASSERT_FALSE(server.requests().isEmpty());
        EXPECT_EQ(server.requests().last().header("Accept-Encoding"), QByteArray("identity"));
    }
    server.route(
        "/files/fw.bin", HttpTestServer::Response::bytes(data).header("Content-Encoding", "identity"));
    Outcome out;
    download(server.url("/files/fw.bin"), out);
    waitFor(out);
    EXPECT_EQ(out.result.code, 0);
    EXPECT_EQ(out.contents, data);
}

TEST_F(DownloadTest, AFileLargerThanAllowedFailsWithoutAByteWrittenPastTheLimit)
{
    const int max = 64 * 1024;
    for (int size : { max, max + 1, 8 * max }) {
        server.route("/files/fw.bin",
            HttpTestServer::Response::bytes(randomBytes(size)).withoutLength().slow(8192, 1));
        Outcome out;
        download(server.url("/files/fw.bin"), out)->setMaxBytes(max);
        waitFor(out);
        EXPECT_EQ(out.result.code, size > max ? 1 : 0) << size;
        EXPECT_LE(out.largestFile, max);
    }
    EXPECT_TRUE(folderEntries().isEmpty());
    server.route(
        "/files/fw.bin", HttpTestServer::Response::bytes(randomBytes(max + 1)).slow(1024, 20)); // announced
    Outcome out;
    download(server.url("/files/fw.bin"), out)->setMaxBytes(max);
    waitFor(out);
    EXPECT_EQ(out.result.detail, QString("Download larger than %1 bytes").arg(max));
    EXPECT_EQ(out.largestFile, 0);
}

TEST_F(DownloadTest, FailedWriteFailsTheDownload)
{
    // A file size limit makes the kernel refuse writes past 16 KiB, like a full disk.
    struct sigaction ignore {};
    struct sigaction previous {};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGXFSZ, &ignore, &previous), 0);
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 16 * 1024;

    server.route("/files/big.bin", HttpTestServer::Response::bytes(randomBytes(256 * 1024)).slow(8192, 1));
    Outcome out;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    DownloadTask* task = download(server.url("/files/big.bin"), out);
    testutil::waitUntil([&] { return out.calls > 0; }, 8000);
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::sigaction(SIGXFSZ, &previous, nullptr);

    waitFor(out);
    EXPECT_EQ(out.result.code, 1);
    EXPECT_FALSE(out.result.detail.isEmpty());
    EXPECT_EQ(task->status(), DownloadTask::Failed);
    EXPECT_TRUE(folderEntries().isEmpty());
}

TEST_F(DownloadTest, CancelRemovesThePartialFile)
{
    server.route("/files/slow.bin", HttpTestServer::Response::bytes(randomBytes(64 * 1024)).slow(1024, 10));
    Outcome out;
    DownloadTask* task = download(server.url("/files/slow.bin"), out);
    const QString path = QDir(folder()).filePath("slow.bin");
    ASSERT_TRUE(testutil::waitUntil([&] { return QFileInfo(path).size() > 0; }, 5000));
    task->cancel();
    EXPECT_EQ(out.calls, 1); // reported at once
    EXPECT_EQ(out.result.code, 2);
    EXPECT_TRUE(out.result.detail.isEmpty());
    EXPECT_EQ(task->status(), DownloadTask::Canceled);
    EXPECT_FALSE(QFile::exists(path));

    task->cancel();
    EXPECT_FALSE(task->start());
    waitFor(out);
    EXPECT_EQ(server.requestCount(), 1);
}

TEST_F(DownloadTest, CancelFromTheProgressCallback)
{
    server.route("/files/slow.bin", HttpTestServer::Response::bytes(randomBytes(32 * 1024)).slow(1024, 5));
    int finished = 0;
    API::Result result;
    DownloadTask* task = manager->download(
        server.url("/files/slow.bin"),
        [](DownloadTask* t, double, qint64) { t->cancel(); },
        [&](DownloadTask*, API::Result r) {
            ++finished;
            result = r;
        });
    ASSERT_TRUE(testutil::waitUntil([&] { return finished > 0; }, 5000));
    testutil::spin(30);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(task->status(), DownloadTask::Canceled);
    EXPECT_TRUE(folderEntries().isEmpty());
}

TEST_F(DownloadTest, CancelAfterANetworkErrorTouchesNothing)
{
    server.route("/files/stall.bin", HttpTestServer::Response::hang());
    Outcome out;
    DownloadTask* task = download(server.url("/files/stall.bin"), out);
    ASSERT_TRUE(testutil::waitUntil([&] { return server.requestCount() == 1; }, 5000));
    server.close(); // the host drops the connection
    waitFor(out);
    EXPECT_EQ(out.result.code, 1);
    EXPECT_NE(task->status(), DownloadTask::InProgress);
    EXPECT_TRUE(folderEntries().isEmpty());

    testutil::spin(20); // the released reply is gone now
    task->cancel();
    task->cancel();
    testutil::spin(20);
    EXPECT_EQ(out.calls, 1);
    EXPECT_EQ(out.result.code, 1);
}

TEST_F(DownloadTest, ADownloadFallingSilentFailsAndSaysSo)
{
    // The person is told the transfer stalled, not that they cancelled it.
    manager->setStallMs(testutil::scaled(300));
    server.route("/files/silent.bin", HttpTestServer::Response::hang());
    Outcome out;
    DownloadTask* task = download(server.url("/files/silent.bin"), out);
    waitFor(out);
    EXPECT_EQ(out.result.code, 1);
    EXPECT_EQ(task->status(), DownloadTask::Failed);
    EXPECT_TRUE(out.result.detail.startsWith("No data received for ")) << out.result.detail.toStdString();
    EXPECT_TRUE(folderEntries().isEmpty());
}

TEST_F(DownloadTest, StartOnARunningTaskSendsNothingAndCancelOnAnIdleOneDoesNothing)
{
    server.route("/files/slow.bin", HttpTestServer::Response::bytes(randomBytes(8 * 1024)).slow(1024, 5));
    Outcome out;
    DownloadTask* task = download(server.url("/files/slow.bin"), out);
    EXPECT_TRUE(task->start());
    EXPECT_TRUE(task->start());
    waitFor(out);
    EXPECT_EQ(out.result.code, 0);
    EXPECT_EQ(server.requestCount(), 1);

    int finished = 0;
    auto* idle = new DownloadTask(server.url("/files/slow.bin"), [](DownloadTask*, double, qint64) {},
                                  [&](DownloadTask*, API::Result) { ++finished; },
                                  manager->networkAccessManager());
    idle->cancel();
    EXPECT_EQ(idle->status(), DownloadTask::Initialized);
    EXPECT_EQ(finished, 0);
    EXPECT_EQ(idle->parent(), manager->networkAccessManager());
}

TEST_F(DownloadTest, TasksDieWithTheirManagerWithoutCallbacks)
{
    server.route("/files/slow.bin", HttpTestServer::Response::bytes(randomBytes(64 * 1024)).slow(1024, 10));
    Outcome out;
    QPointer<DownloadTask> task = download(server.url("/files/slow.bin"), out);
    const QString path = QDir(folder()).filePath("slow.bin");
    ASSERT_TRUE(testutil::waitUntil([&] { return QFileInfo(path).size() > 0; }, 5000));
    manager.reset();
    EXPECT_TRUE(task.isNull());
    testutil::spin(30);
    EXPECT_EQ(out.calls, 0);
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(DownloadTest, EveryNewTaskEmptiesTheFolderAndKeepsItPrivate)
{
    ASSERT_TRUE(QDir().mkpath(folder() + "/old/deeper"));
    QFile leftover(folder() + "/old/deeper/installer.pkg");
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.close();
    ::chmod(QFile::encodeName(folder()).constData(), 0777);

    DownloadTask task(server.url("/files/a"), [](DownloadTask*, double, qint64) {},
                      [](DownloadTask*, API::Result) {}, nullptr);
    EXPECT_TRUE(QFileInfo::exists(folder()));
    EXPECT_TRUE(folderEntries().isEmpty());
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(folder()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(task.folder().path(), folder());

    // A plain file of ours at the folder's name is replaced by the folder.
    QDir(folder()).removeRecursively();
    QFile blocker(folder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    int finished = 0;
    DownloadTask again(server.url("/files/a"), [](DownloadTask*, double, qint64) {},
                       [&](DownloadTask*, API::Result r) {
                           ++finished;
                           EXPECT_EQ(r.code, 1);
                       },
                       nullptr);
    EXPECT_TRUE(QFileInfo(folder()).isDir());
    // Without a network access manager it fails instead of sending.
    EXPECT_FALSE(again.start());
    EXPECT_EQ(finished, 1);
}

TEST_F(DownloadTest, SymlinkedFolderIsRefusedAndItsTargetUntouched)
{
    QTemporaryDir victim(tmp.path() + "/victim-XXXXXX");
    ASSERT_TRUE(victim.isValid());
    QFile precious(victim.path() + "/precious.txt");
    ASSERT_TRUE(precious.open(QIODevice::WriteOnly));
    precious.write("keep me");
    precious.close();
    ASSERT_EQ(::symlink(QFile::encodeName(victim.path()).constData(),
                        QFile::encodeName(folder()).constData()), 0);

    server.route("/files/precious.txt", HttpTestServer::Response::bytes("overwritten"));
    Outcome out;
    DownloadTask* task = download(server.url("/files/precious.txt"), out);
    waitFor(out);
    EXPECT_EQ(out.result.code, 1);
    EXPECT_TRUE(out.result.detail.contains(folder()));
    EXPECT_EQ(task->status(), DownloadTask::Failed);
    EXPECT_EQ(server.requestCount(), 0);
    ASSERT_TRUE(precious.open(QIODevice::ReadOnly));
    EXPECT_EQ(precious.readAll(), "keep me");
    EXPECT_TRUE(QFileInfo(folder()).isSymLink());
}

TEST_F(DownloadTest, FolderOfAnotherUserIsRefused)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs to hand a folder to another user";
    ASSERT_TRUE(QDir().mkpath(folder()));
    QFile planted(folder() + "/install.scpt");
    ASSERT_TRUE(planted.open(QIODevice::WriteOnly));
    planted.close();
    ASSERT_EQ(::chown(QFile::encodeName(folder()).constData(), 65534, 65534), 0);

    Outcome out;
    download(server.url("/files/a.bin"), out);
    waitFor(out);
    EXPECT_EQ(out.result.code, 1);
    EXPECT_EQ(server.requestCount(), 0);
    EXPECT_TRUE(planted.exists()); // neither emptied nor used
}

TEST_F(DownloadTest, FolderGoneOrFileUnwritableAtStart)
{
    int finished = 0;
    API::Result result;
    auto onFinished = [&](DownloadTask*, API::Result r) {
        ++finished;
        result = r;
    };
    auto noProgress = [](DownloadTask*, double, qint64) {};

    DownloadTask gone(server.url("/files/a.bin"), noProgress, onFinished, manager->networkAccessManager());
    ASSERT_TRUE(QDir(folder()).removeRecursively());
    EXPECT_FALSE(gone.start());
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.detail, QString("Temporary directory %1 not exists!").arg(folder()));
    EXPECT_EQ(gone.status(), DownloadTask::Failed);

    DownloadTask blocked(server.url("/files/a.bin"), noProgress, onFinished, manager->networkAccessManager());
    ASSERT_TRUE(QDir(folder()).mkdir("a.bin")); // a folder where the file should go
    EXPECT_FALSE(blocked.start());
    EXPECT_EQ(finished, 2);
    EXPECT_EQ(result.code, 1);
    EXPECT_FALSE(result.detail.isEmpty());
    EXPECT_EQ(blocked.status(), DownloadTask::Failed);

    const QByteArray longName(300, 'n');
    DownloadTask tooLong(
        server.url("/files/" + longName), noProgress, onFinished, manager->networkAccessManager());
    EXPECT_FALSE(tooLong.start());
    EXPECT_EQ(finished, 3);
    EXPECT_EQ(result.code, 1);
    EXPECT_TRUE(result.detail.contains(QString::fromLatin1(longName)));
    testutil::spin(20);
    EXPECT_EQ(server.requestCount(), 0);
}

TEST_F(DownloadTest, NameFromTheUrlStaysInsideTheFolder)
{
    server.route("/x/..%2F..%2Fescaped", HttpTestServer::Response::bytes("data"));
    Outcome out;
    download(server.url("/x/..%2F..%2Fescaped"), out);
    waitFor(out);
    EXPECT_EQ(out.result.code, 0);
    EXPECT_EQ(QFileInfo(out.filePath).absolutePath(), folder());
    EXPECT_EQ(out.contents, "data");
    EXPECT_FALSE(QFileInfo::exists(tmp.path() + "/escaped"));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(tmp.path()).absolutePath() + "/escaped"));
}
