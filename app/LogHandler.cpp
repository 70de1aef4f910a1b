#include "app/LogHandler.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace {

// Lines are written without a flush each; what waits is flushed at once for a warning or worse,
// at the next line once a second has passed, by the flusher within a second, on uninstall and at
// exit.
constexpr std::chrono::milliseconds kFlushInterval(1000);
// More than this waiting for standard output is written at once.
constexpr int kMaxPendingOutput = 64 * 1024;

// Process-wide log state. Made on first use and never destroyed, so that a thread still logging
// while the process exits never meets a destroyed file or mutex.
struct LogState {
    std::recursive_mutex lock; // serialises whole lines, in the file and on standard output
    QFile file;             // no name until the log is initialised
    QByteArray out; // lines for standard output not yet written
    bool pending = false; // lines written since the last flush
    std::chrono::steady_clock::time_point lastFlush = std::chrono::steady_clock::now();
    std::condition_variable_any wake; // the flusher's wait
    std::once_flag flusherStarted;
    QHash<int, QString> levels{
        {QtDebugMsg, QStringLiteral("Debug")},
        {QtInfoMsg, QStringLiteral("Info")},
        {QtWarningMsg, QStringLiteral("Warning")},
        {QtCriticalMsg, QStringLiteral("Critical")},
        {QtFatalMsg, QStringLiteral("Fatal")},
    };
};

LogState& state()
{
    static LogState* s = new LogState;
    return *s;
}

// Built before main runs, like the log state of the original design.
[[maybe_unused]] const bool stateReady = (state(), true);

// Writes out whatever waits, in the file and on standard output. Called with the lock held.
void flushLocked(LogState& s)
{
    if (s.file.isOpen())
        s.file.flush();
    if (!s.out.isEmpty()) {
        std::fwrite(s.out.constData(), 1, size_t(s.out.size()), stdout);
        s.out.clear();
    }
    std::fflush(stdout);
    s.pending = false;
    s.lastFlush = std::chrono::steady_clock::now();
}

void flushAll()
{
    LogState& s = state();
    std::lock_guard<std::recursive_mutex> locker(s.lock);
    flushLocked(s);
}

// Lines that wait are flushed within a second even when no further line comes. The thread
// lives until the process ends; it holds the lock only while it flushes.
void startFlusher(LogState& s)
{
    std::call_once(s.flusherStarted, [&s] {
        std::atexit(flushAll);
        std::thread([&s] {
            std::unique_lock<std::recursive_mutex> locker(s.lock);
            for (;;) {
                s.wake.wait_for(locker, kFlushInterval);
                if (s.pending && std::chrono::steady_clock::now() - s.lastFlush >= kFlushInterval)
                    flushLocked(s);
            }
        }).detach();
    });
}

} // namespace

namespace LogHandler {

QString logFolder(const QString& dataLocation)
{
    return dataLocation + QStringLiteral("/hu.brixeon.orvixtools") + QStringLiteral("/logs");
}

QString logFileName(const QDateTime& when)
{
    return QStringLiteral("%1_%2.log")
        .arg(when.date().toString(QStringLiteral("yyMMdd")), when.time().toString(QStringLiteral("hhmmss")));
}

QString levelName(QtMsgType type)
{
    return state().levels.value(type);
}

QString formatLine(const QTime& time, QtMsgType type, const QString& message)
{
    return QStringLiteral("%1 [%2]: %3")
        .arg(time.toString(QStringLiteral("hh:mm:ss.zzz")), levelName(type), message);
}

bool removeOldest(const QString& folder, int maxFiles)
{
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Time);
    if (files.size() < maxFiles)
        return false;
    return QFile::remove(files.last().absoluteFilePath());
}

bool initAt(const QString& dataLocation, const QDateTime& now)
{
    if (dataLocation.isEmpty()) {
        qInfo("Message handler not installed, log will not be saved");
        return false;
    }
    const QString name = logFileName(now);
    const QString folder = logFolder(dataLocation);
    QDir dir(folder);
    if (!dir.exists())
        dir.mkpath(QStringLiteral("."));
    removeOldest(folder);

    bool opened = false;
    {
        LogState& s = state();
        std::lock_guard<std::recursive_mutex> locker(s.lock);
        s.file.close();
        s.file.setFileName(dir.absoluteFilePath(name));
        // The log names serial numbers, network ids and addresses: it is made for its owner
        // only, before anything is written to it.
        const int fd = ::open(QFile::encodeName(s.file.fileName()).constData(),
            O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd >= 0)
            ::close(fd);
        opened = s.file.open(QIODevice::WriteOnly | QIODevice::Append);
        if (opened)
            s.file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    if (!opened) {
        qInfo("%s", qPrintable(QStringLiteral("Message handler not installed, failed to open the logfile ") + folder));
        return false;
    }
    qInfo("%s", qPrintable(QStringLiteral("Message handler installed, all logs will be saved at ") + folder));
    qInstallMessageHandler(oxMessageHandler);
    return true;
}

void uninstall()
{
    qInstallMessageHandler(nullptr);
    flushAll();
}

QString currentLogFile()
{
    LogState& s = state();
    std::lock_guard<std::recursive_mutex> locker(s.lock);
    return s.file.isOpen() ? QFileInfo(s.file).absoluteFilePath() : QString();
}

} // namespace LogHandler

void oxMessageInit()
{
    LogHandler::initAt(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

void oxMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    Q_UNUSED(context)
    LogState& s = state();
    {
        // Everything under one lock: each line goes out whole, and the lines of the file stand
        // in the order of their times.
        std::lock_guard<std::recursive_mutex> locker(s.lock);
        const QString time = QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz"));
        const QString level = s.levels.value(type);
        if (s.file.isOpen()) {
            QByteArray fileLine = QStringLiteral("%1 [%2]: %3").arg(time, level, message).toUtf8();
            fileLine += '\n';
            s.file.write(fileLine);
        }
        s.out += time.toLocal8Bit();
        s.out += " [";
        s.out += level.toLocal8Bit();
        s.out += "]: ";
        s.out += message.toLocal8Bit();
        s.out += '\n';
        s.pending = true;
        const bool severe = type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg;
        if (severe || s.out.size() > kMaxPendingOutput
            || std::chrono::steady_clock::now() - s.lastFlush >= kFlushInterval)
            flushLocked(s);
        else
            startFlusher(s);
    }

    if (type == QtFatalMsg)
        std::abort();
}
