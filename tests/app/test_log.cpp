// The log handler: file name and folder, rotation, the line format in the file and on standard
// output, several threads at once, and a fatal message.
#include "app/LogHandler.h"
#include "common/time_scale.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTextCodec>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <future>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{

const QRegularExpression kLine(
    QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d \\[(Debug|Info|Warning|Critical|Fatal)\\]: (.*)$"));

// The log file is UTF-8; standard output carries the local 8-bit encoding.
QStringList readLines(const QString& path, bool local8Bit = false)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    QStringList lines
        = (local8Bit ? QString::fromLocal8Bit(bytes) : QString::fromUtf8(bytes)).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Makes a file with the given modification time (seconds back from now).
void makeFile(const QString& path, int ageSeconds)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("old\n");
    ASSERT_TRUE(file.flush());
    ASSERT_TRUE(file.setFileTime(
        QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
}

// Sends standard output into a file for as long as it lives.
class StdoutCapture
{
public:
    explicit StdoutCapture(const QString& path)
    {
        std::fflush(stdout);
        saved = ::dup(1);
        const int fd = ::open(path.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, 1);
        ::close(fd);
    }
    ~StdoutCapture()
    {
        std::fflush(stdout);
        ::dup2(saved, 1);
        ::close(saved);
    }

private:
    int saved = -1;
};

class LogHandlerTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(tmp.isValid()); }
    void TearDown() override { LogHandler::uninstall(); }

    QString folder() const { return LogHandler::logFolder(tmp.path()); }
    int fileCount() const { return QDir(folder()).entryList(QDir::Files).size(); }

    QTemporaryDir tmp;
};

TEST(LogNames, FolderFileNameAndLevels)
{
    EXPECT_EQ(LogHandler::logFolder("/data"), QStringLiteral("/data/hu.brixeon.orvixtools/logs"));
    EXPECT_EQ(LogHandler::logFileName(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9))),
        QStringLiteral("240305_140709.log"));
    EXPECT_EQ(LogHandler::logFileName(QDateTime(QDate(2031, 12, 31), QTime(0, 0, 0, 999))),
        QStringLiteral("311231_000000.log"));

    EXPECT_EQ(LogHandler::levelName(QtDebugMsg), QStringLiteral("Debug"));
    EXPECT_EQ(LogHandler::levelName(QtInfoMsg), QStringLiteral("Info"));
    EXPECT_EQ(LogHandler::levelName(QtWarningMsg), QStringLiteral("Warning"));
    EXPECT_EQ(LogHandler::levelName(QtCriticalMsg), QStringLiteral("Critical"));
    EXPECT_EQ(LogHandler::levelName(QtFatalMsg), QStringLiteral("Fatal"));

    EXPECT_EQ(LogHandler::formatLine(QTime(1, 2, 3, 45), QtWarningMsg, "Dongle lost"),
        QStringLiteral("01:02:03.045 [Warning]: Dongle lost"));
    EXPECT_EQ(LogHandler::formatLine(QTime(23, 59, 59, 999), QtDebugMsg, QString()),
        QStringLiteral("23:59:59.999 [Debug]: "));
}

TEST_F(LogHandlerTest, CreatesTheFolderAndOneFilePerStart)
{
    const QDateTime start(QDate(2024, 3, 5), QTime(14, 7, 9));
    ASSERT_TRUE(LogHandler::initAt(tmp.path(), start));
    const QString expected = QDir(folder()).absoluteFilePath(QStringLiteral("240305_140709.log"));
    EXPECT_EQ(LogHandler::currentLogFile(), expected);
    EXPECT_TRUE(QFileInfo(expected).isFile());
    EXPECT_EQ(fileCount(), 1);
}

TEST_F(LogHandlerTest, TwelveFilesStayTwelveTheOldestRemoved)
{
    ASSERT_TRUE(QDir().mkpath(folder()));
    for (int i = 0; i < 12; ++i)
        makeFile(QDir(folder()).filePath(QStringLiteral("old_%1.log").arg(i)), 1000 + i * 60);
    // old_11 is the oldest.
    ASSERT_TRUE(LogHandler::initAt(tmp.path(), QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9))));
    EXPECT_EQ(fileCount(), 12);
    EXPECT_FALSE(QFile::exists(QDir(folder()).filePath(QStringLiteral("old_11.log"))));
    EXPECT_TRUE(QFile::exists(QDir(folder()).filePath(QStringLiteral("old_10.log"))));
    EXPECT_TRUE(QFile::exists(QDir(folder()).filePath(QStringLiteral("240305_140709.log"))));
}

TEST_F(LogHandlerTest, NineFilesBecomeTen)
{
    ASSERT_TRUE(QDir().mkpath(folder()));
    for (int i = 0; i < 9; ++i)
        makeFile(QDir(folder()).filePath(QStringLiteral("old_%1.log").arg(i)), 1000 + i * 60);
    ASSERT_TRUE(LogHandler::initAt(tmp.path(), QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9))));
    EXPECT_EQ(fileCount(), 10);
}

TEST_F(LogHandlerTest, TenFilesStayTenAndFoldersAreNotCounted)
{
    ASSERT_TRUE(QDir().mkpath(folder()));
    for (int i = 0; i < 9; ++i)
        makeFile(QDir(folder()).filePath(QStringLiteral("old_%1.log").arg(i)), 1000 + i * 60);
    // Nine files and a folder: nothing is removed, the folder is left alone.
    ASSERT_TRUE(QDir(folder()).mkdir(QStringLiteral("sub")));
    EXPECT_FALSE(LogHandler::removeOldest(folder()));
    makeFile(QDir(folder()).filePath(QStringLiteral("old_9.log")), 5000);
    ASSERT_TRUE(LogHandler::initAt(tmp.path(), QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9))));
    EXPECT_EQ(fileCount(), 10);
    EXPECT_FALSE(QFile::exists(QDir(folder()).filePath(QStringLiteral("old_9.log"))));
    EXPECT_TRUE(QFileInfo(QDir(folder()).filePath(QStringLiteral("sub"))).isDir());
}

TEST_F(LogHandlerTest, LinesInTheFileAndOnStandardOutput)
{
    ASSERT_TRUE(LogHandler::initAt(tmp.path(), QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9))));
    const QString outPath = tmp.filePath(QStringLiteral("stdout.txt"));
    {
        StdoutCapture capture(outPath);
        qDebug("Dongle found at %s", "ttyACM0");
        qInfo() << "Headset" << 3;
        qWarning("Packet 0x%02X lost", 0x10);
        qCritical("Caf\xC3\xA9 %d", 1);
        LogHandler::uninstall();
    }

    const QStringList expected = {
        QStringLiteral("[Debug]: Dongle found at ttyACM0"),
        QStringLiteral("[Info]: Headset 3"),
        QStringLiteral("[Warning]: Packet 0x10 lost"),
        QString::fromUtf8("[Critical]: Caf\xC3\xA9 1"),
    };
    const QStringList fileLines = readLines(LogHandler::currentLogFile());
    const QStringList outLines = readLines(outPath, true);
    ASSERT_EQ(fileLines.size(), expected.size());
    ASSERT_EQ(outLines.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(kLine.match(fileLines[i]).hasMatch()) << fileLines[i].toStdString();
        EXPECT_TRUE(fileLines[i].endsWith(QStringLiteral(" ") + expected[i])) << fileLines[i].toStdString();
        EXPECT_TRUE(kLine.match(outLines[i]).hasMatch()) << outLines[i].toStdString();
        EXPECT_TRUE(outLines[i].endsWith(QStringLiteral(" ") + expected[i])) << outLines[i].toStdString();
    }
}

TEST_F(LogHandlerTest, StandardOutputKeepsALocaleEncodingOtherThanUtf8)
{
    QTextCodec* const saved = QTextCodec::codecForLocale();
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
    auto restore = qScopeGuard([saved] { QTextCodec::setCodecForLocale(saved); });
    ASSERT_TRUE(LogHandler::initAt(tmp.path(), QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9))));
    const QString outPath = tmp.filePath(QStringLiteral("stdout.txt"));
    {
        StdoutCapture capture(outPath);
        qDebug("Caf\xC3\xA9 %d", 1);
        qDebug("Caf\xC3\xA9 %d", 2);
        LogHandler::uninstall();
    }
    QFile out(outPath);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    const QByteArray outBytes = out.readAll();
    QFile file(LogHandler::currentLogFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray fileBytes = file.readAll();
    EXPECT_EQ(outBytes.count("]: Caf\xE9 "), 2) << outBytes.toStdString();
    EXPECT_EQ(fileBytes.count("]: Caf\xC3\xA9 "), 2) << fileBytes.toStdString();
}

TEST_F(LogHandlerTest, DebugLinesWaitAWarningFlushesAtOnceAndIdleLinesWithinASecond)
{
    ASSERT_TRUE(LogHandler::initAt(tmp.path(), QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9))));
    const QString path = LogHandler::currentLogFile();
    const QString outPath = tmp.filePath(QStringLiteral("stdout.txt"));
    auto onDisk = [&](const QString& text) {
        return readLines(path).filter(text).size() == 1 && readLines(outPath, true).filter(text).size() == 1;
    };
    StdoutCapture capture(outPath);
    qWarning("first");
    EXPECT_TRUE(onDisk(QStringLiteral("[Warning]: first")));
    qDebug("waits");
    EXPECT_FALSE(onDisk(QStringLiteral("[Debug]: waits"))) << "a debug line is not flushed on its own";
    qCritical("severe");
    EXPECT_TRUE(onDisk(QStringLiteral("[Debug]: waits")));
    EXPECT_TRUE(onDisk(QStringLiteral("[Critical]: severe")));
    qDebug("idle");
    const QDeadlineTimer deadline(testutil::scaled(2000));
    while (!onDisk(QStringLiteral("[Debug]: idle")) && !deadline.hasExpired())
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(onDisk(QStringLiteral("[Debug]: idle"))) << "waiting lines are flushed within a second";
    LogHandler::setFlushWait(0);
    qDebug("at once");
    LogHandler::setFlushWait(1000);
    EXPECT_TRUE(onDisk(QStringLiteral("[Debug]: at once")));
}

TEST_F(LogHandlerTest, AfterUninstallNothingReachesTheFile)
{
    ASSERT_TRUE(LogHandler::initAt(tmp.path(), QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9))));
    qDebug("kept");
    LogHandler::uninstall();
    qDebug("not kept");
    const QStringList lines = readLines(LogHandler::currentLogFile());
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("[Debug]: kept")));
}

TEST_F(LogHandlerTest, NoLocationOrAnUnwritableFolderInstallsNothing)
{
    EXPECT_FALSE(LogHandler::initAt(QString()));
    // A regular file where the data folder should be: the folder cannot be made, the file not opened.
    const QString blocker = tmp.filePath(QStringLiteral("blocker"));
    {
        QFile file(blocker);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    EXPECT_FALSE(LogHandler::initAt(blocker));
    EXPECT_TRUE(LogHandler::currentLogFile().isEmpty());
}

TEST_F(LogHandlerTest, OnlyARegularFileAtTheLogsNameIsWritten)
{
    const QDateTime start(QDate(2024, 3, 5), QTime(14, 7, 9));
    const QString logPath = QDir(folder()).filePath(LogHandler::logFileName(start));
    ASSERT_TRUE(QDir().mkpath(folder()));
    // A link at the name: the file it names keeps its bytes and its rights.
    const QString other = tmp.filePath(QStringLiteral("other.conf"));
    makeFile(other, 0);
    const QFile::Permissions rights = QFile::permissions(other);
    ASSERT_TRUE(QFile::link(other, logPath));
    EXPECT_FALSE(LogHandler::initAt(tmp.path(), start));
    qWarning("a line for the log");
    EXPECT_EQ(readLines(other), QStringList { "old" });
    EXPECT_EQ(QFile::permissions(other), rights);
    // A pipe at the name: the start goes on without waiting for a reader.
    ASSERT_TRUE(QFile::remove(logPath));
    ASSERT_EQ(::mkfifo(QFile::encodeName(logPath).constData(), 0600), 0);
    std::future<bool> installed
        = std::async(std::launch::async, [&] { return LogHandler::initAt(tmp.path(), start); });
    const auto waited = installed.wait_for(std::chrono::milliseconds(testutil::scaled(3000)));
    // A reader frees a start that waits for one, so that the test ends either way.
    const int reader = ::open(QFile::encodeName(logPath).constData(), O_RDONLY | O_NONBLOCK);
    EXPECT_FALSE(installed.get());
    LogHandler::uninstall();
    ::close(reader);
    EXPECT_EQ(waited, std::future_status::ready) << "the start waited for a reader of the pipe";
}

TEST_F(LogHandlerTest, LogFoldersThatAreLinksAreNotUsed)
{
    const QDateTime start(QDate(2024, 3, 5), QTime(14, 7, 9));
    // Another folder, full enough that a start would remove its oldest file.
    const QString other = tmp.filePath(QStringLiteral("documents"));
    ASSERT_TRUE(QDir().mkpath(other));
    for (int i = 0; i < 10; ++i)
        makeFile(QDir(other).filePath(QStringLiteral("letter%1.txt").arg(i)), 100 + i);
    const QStringList kept = QDir(other).entryList(QDir::Files);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(folder()).path()));
    ASSERT_TRUE(QFile::link(other, folder()));
    EXPECT_FALSE(LogHandler::initAt(tmp.path(), start));
    EXPECT_EQ(QDir(other).entryList(QDir::Files), kept);
    EXPECT_TRUE(LogHandler::currentLogFile().isEmpty());

    // The application's folder a link, with a logs folder inside the folder it names.
    const QString data = tmp.filePath(QStringLiteral("data"));
    const QString linked = tmp.filePath(QStringLiteral("elsewhere"));
    ASSERT_TRUE(QDir().mkpath(linked + QStringLiteral("/logs")));
    ASSERT_TRUE(QDir().mkpath(data));
    ASSERT_TRUE(QFile::link(linked, QFileInfo(LogHandler::logFolder(data)).path()));
    EXPECT_FALSE(LogHandler::initAt(data, start));
    EXPECT_TRUE(QDir(linked + QStringLiteral("/logs")).entryList(QDir::Files).isEmpty());

    // The application's folder a link to a folder without logs: nothing is made there.
    const QString data2 = tmp.filePath(QStringLiteral("data2"));
    const QString bare = tmp.filePath(QStringLiteral("bare"));
    ASSERT_TRUE(QDir().mkpath(bare));
    ASSERT_TRUE(QDir().mkpath(data2));
    ASSERT_TRUE(QFile::link(bare, QFileInfo(LogHandler::logFolder(data2)).path()));
    EXPECT_FALSE(LogHandler::initAt(data2, start));
    EXPECT_TRUE(QDir(bare).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

TEST_F(LogHandlerTest, ThreadsNeverInterleaveWithinALine)
{
    ASSERT_TRUE(LogHandler::initAt(tmp.path(), QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9))));
    constexpr int kThreads = 8;
    constexpr int kLines = 300;
    const QString padding(200, QLatin1Char('x'));
    std::vector<std::thread> threads;
    const QString outPath = tmp.filePath(QStringLiteral("stdout.txt"));
    {
        StdoutCapture capture(outPath);
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([t, padding] {
                for (int i = 0; i < kLines; ++i)
                    qDebug("thread %d line %d %s end", t, i, qPrintable(padding));
            });
        }
        for (std::thread& thread : threads)
            thread.join();
        LogHandler::uninstall();
    }

    const QRegularExpression body(QStringLiteral("^thread (\\d) line (\\d+) x{200} end$"));
    for (const QString& path : { LogHandler::currentLogFile(), outPath }) {
        const QStringList lines = readLines(path);
        ASSERT_EQ(lines.size(), kThreads * kLines) << path.toStdString();
        std::vector<int> next(kThreads, 0);
        for (const QString& line : lines) {
            const auto m = kLine.match(line);
            ASSERT_TRUE(m.hasMatch()) << line.toStdString();
            const auto b = body.match(m.captured(2));
            ASSERT_TRUE(b.hasMatch()) << line.toStdString();
            const int t = b.captured(1).toInt();
            // Each thread's lines arrive whole and in its own order.
            EXPECT_EQ(b.captured(2).toInt(), next[t]);
            next[t] = b.captured(2).toInt() + 1;
        }
    }
}

// A standard output nobody reads (a pipe whose reader hangs) fills up: logging goes on, and the
// file still gets every line.
TEST_F(LogHandlerTest, AStandardOutputNobodyReadsNeverHoldsUpLogging)
{
    ASSERT_TRUE(LogHandler::initAt(tmp.path(), QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9))));
    // As the application does: the console writer may meet the pipe's closed end after this test.
    std::signal(SIGPIPE, SIG_IGN);
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::fflush(stdout);
    const int saved = ::dup(1);
    ::dup2(fds[1], 1);
    ::close(fds[1]);
    constexpr int kLines = 2000; // far more than a pipe holds
    const std::string padding(200, 'x');
    auto logging = std::async(std::launch::async, [&padding] {
        for (int i = 0; i < kLines; ++i)
            qWarning("line %d %s", i, padding.c_str());
    });
    const bool finished
        = logging.wait_for(std::chrono::milliseconds(testutil::scaled(5000))) == std::future_status::ready;
    // Standard output back, and the pipe's reader gone: a write held in the pipe fails now.
    ::dup2(saved, 1);
    ::close(saved);
    ::close(fds[0]);
    logging.wait();
    EXPECT_TRUE(finished) << "logging waited for standard output";
    LogHandler::uninstall();
    EXPECT_EQ(readLines(LogHandler::currentLogFile()).filter(QStringLiteral("[Warning]: line ")).size(), kLines);
}

// A full disk takes part of a line: once there is room again, the next line starts a line of
// its own rather than being glued to the cut one.
TEST_F(LogHandlerTest, ALineCutByAFullDiskIsNotContinuedByTheNext)
{
    ASSERT_TRUE(LogHandler::initAt(tmp.path(), QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9))));
    const QString path = LogHandler::currentLogFile();
    qWarning("before");
    // A file size limit makes the kernel take only part of the next write, as a full disk does.
    struct sigaction ignore {
    };
    struct sigaction previous {
    };
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGXFSZ, &ignore, &previous), 0);
    rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = rlim_t(QFileInfo(path).size() + 40);
    {
        StdoutCapture capture(tmp.filePath(QStringLiteral("stdout.txt")));
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        qWarning("cut %s", std::string(200, 'x').c_str());
        qWarning("lost while the disk is full");
        ::setrlimit(RLIMIT_FSIZE, &old);
        ::sigaction(SIGXFSZ, &previous, nullptr);
        qWarning("after");
        LogHandler::uninstall();
    }
    const QStringList lines = readLines(path);
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("[Warning]: before")));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("[Warning]: cut x")));
    EXPECT_TRUE(kLine.match(lines.last()).hasMatch()) << lines.last().toStdString();
    EXPECT_TRUE(lines.last().endsWith(QStringLiteral("[Warning]: after"))) << lines.last().toStdString();
}

TEST_F(LogHandlerTest, FatalIsWrittenThenAborts)
{
    ASSERT_TRUE(LogHandler::initAt(tmp.path(), QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9))));
    const QString path = LogHandler::currentLogFile();
    // The line goes to the file and to standard output (not standard error) before the abort.
    EXPECT_DEATH(qFatal("Unrecoverable: %d", 42), "");
    LogHandler::uninstall();
    const QStringList lines = readLines(path);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(kLine.match(lines[0]).hasMatch());
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("[Fatal]: Unrecoverable: 42")));
}

} // namespace
