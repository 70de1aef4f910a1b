#include "app/LogHandler.h"

#include "app/PrivateFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextCodec>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <thread>

namespace
{

// Lines are collected without a flush each; what waits is written out at once for a warning or
// worse, by the next line or the flusher once the oldest waiting line is a second old, on
// uninstall and at exit (LogHandler::setFlushWait changes the second).
std::atomic<int> flushWaitMs { 1000 };
// More than this waiting is written at once.
constexpr int kMaxPending = 64 * 1024;
constexpr int kUtf8Mib = 106;
// What waits for a standard output that does not take it (a pipe nobody reads, a terminal held
// by flow control) is kept up to this size; further lines are counted, not kept, for it.
constexpr int kMaxConsoleBacklog = 256 * 1024;
// How long the end of a run, and a fatal message, wait for standard output to take what waits.
constexpr int kConsoleDrainMs = 500;

// Process-wide log state. Made on first use and never destroyed, so that a thread still logging
// while the process exits never meets a destroyed file or mutex.
struct LogState {
    std::recursive_mutex lock; // serialises whole lines, in the file and on standard output
    QFile file; // opened on its path's descriptor once the log is initialised; written unbuffered
    QString path; // the log file's absolute path
    // Lines not yet written, as UTF-8: the file's bytes, and standard output's too when the
    // locale's encoding is UTF-8.
    QByteArray pending;
    // Standard output's lines not yet written, when the locale's encoding is not UTF-8.
    QByteArray pendingOut;
    std::chrono::steady_clock::time_point firstPending; // when the oldest waiting line came
    std::condition_variable_any wake; // the flusher's wait
    std::once_flag flusherStarted;
    // Lines for a standard output that is not a regular file: the console writer writes them
    // without the lock, so that a standard output nobody reads holds up that writer only.
    QByteArray console;
    quint64 consoleDropped = 0; // lines left out of console since it was last written
    bool consoleWriting = false; // the writer is writing a piece outside the lock
    std::condition_variable_any consoleWake;
    std::once_flag consoleStarted;
    // A full disk took only the start of the last piece written to the file: the file ends
    // within a line, which the next piece ends before it begins its own.
    bool fileEndsMidLine = false;
    // "hh:mm:ss." of the second last logged, in local time.
    std::time_t prefixSecond = -1;
    char prefix[9] = {};
};

LogState& state()
{
    static LogState* s = new LogState;
    return *s;
}

// Built before main runs, like the log state of the original design.
[[maybe_unused]] const bool stateReady = (state(), true);

bool stdoutIsRegularFile()
{
    struct stat st {
    };
    return ::fstat(STDOUT_FILENO, &st) == 0 && S_ISREG(st.st_mode);
}

// Writes what waits for standard output, for as long as the process lives. Called with the lock
// held; the writes themselves are made without it.
void startConsoleWriter(LogState& s)
{
    std::call_once(s.consoleStarted, [&s] {
        std::thread([&s] {
            std::unique_lock<std::recursive_mutex> locker(s.lock);
            for (;;) {
                while (s.console.isEmpty())
                    s.consoleWake.wait(locker);
                QByteArray piece;
                piece.swap(s.console);
                s.consoleWriting = true;
                locker.unlock();
                std::fflush(stdout); // what others printed before these lines
                for (qint64 done = 0; done < piece.size();) {
                    const ssize_t n = ::write(STDOUT_FILENO, piece.constData() + done, size_t(piece.size() - done));
                    if (n < 0 && errno == EINTR)
                        continue;
                    if (n <= 0)
                        break; // closed or failing: the piece is lost for standard output only
                    done += n;
                }
                locker.lock();
                s.consoleWriting = false;
                s.consoleWake.notify_all();
            }
        }).detach();
    });
}

// Hands lines to the console writer; what finds no room is counted and said in one line once
// there is room again. Called with the lock held.
void queueConsole(LogState& s, const QByteArray& lines)
{
    if (s.console.size() + lines.size() > kMaxConsoleBacklog) {
        s.consoleDropped += quint64(lines.count('\n'));
        return;
    }
    if (s.consoleDropped > 0) {
        s.console += "[" + QByteArray::number(s.consoleDropped)
            + " log lines not written here: standard output did not take them]\n";
        s.consoleDropped = 0;
    }
    s.console += lines;
    startConsoleWriter(s);
    s.consoleWake.notify_all();
}

// Waits up to ms for the console writer to write what waits. Called with the lock held once.
void drainConsole(LogState& s, std::unique_lock<std::recursive_mutex>& locker, int ms)
{
    s.consoleWake.wait_for(locker, std::chrono::milliseconds(ms),
        [&s] { return s.console.isEmpty() && !s.consoleWriting; });
}

// Writes out whatever waits, in the file and on standard output. Called with the lock held.
// Never waits for standard output: a regular file is written at once, anything else (a pipe,
// a terminal) through the console writer.
void flushLocked(LogState& s)
{
    const QByteArray& out = s.pendingOut.isEmpty() ? s.pending : s.pendingOut;
    if (s.file.isOpen() && !s.pending.isEmpty()) {
        const QByteArray piece = s.fileEndsMidLine ? '\n' + s.pending : s.pending;
        const qint64 written = s.file.write(piece);
        if (written > 0 && written < piece.size())
            s.fileEndsMidLine = piece.at(int(written) - 1) != '\n';
        else if (written == piece.size())
            s.fileEndsMidLine = false;
    }
    if (!out.isEmpty()) {
        if (s.console.isEmpty() && !s.consoleWriting && s.consoleDropped == 0 && stdoutIsRegularFile()) {
            std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
            std::fflush(stdout);
        } else {
            queueConsole(s, out);
        }
    }
    s.pending.clear();
    s.pendingOut.clear();
}

const char* levelText(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return "Debug";
    case QtInfoMsg:
        return "Info";
    case QtWarningMsg:
        return "Warning";
    case QtCriticalMsg:
        return "Critical";
    case QtFatalMsg:
        return "Fatal";
    }
    return "";
}

void appendTwoDigits(char* to, int value)
{
    to[0] = char('0' + value / 10 % 10);
    to[1] = char('0' + value % 10);
}

// Appends "%1 [%2]: " of a line: the time as "hh:mm:ss.zzz" and the level. prefix holds
// "hh:mm:ss." of the time.
void appendLineStart(QByteArray& to, const char (&prefix)[9], int msec, QtMsgType type)
{
    char time[12];
    std::copy(prefix, prefix + 9, time);
    time[9] = char('0' + msec / 100);
    appendTwoDigits(time + 10, msec % 100);
    to.append(time, 12);
    to.append(" [", 2);
    to.append(levelText(type));
    to.append("]: ", 3);
}

void makePrefix(char (&prefix)[9], int hour, int minute, int second)
{
    appendTwoDigits(prefix, hour);
    prefix[2] = ':';
    appendTwoDigits(prefix + 3, minute);
    prefix[5] = ':';
    appendTwoDigits(prefix + 6, second);
    prefix[8] = '.';
}

// Adds one line to what waits, with the current local time. Called with the lock held.
void appendLine(LogState& s, QtMsgType type, const QString& message)
{
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    // Local time is worked out once a second; within the second only the milliseconds change.
    if (now.tv_sec != s.prefixSecond) {
        const QTime time = QDateTime::fromSecsSinceEpoch(qint64(now.tv_sec), Qt::LocalTime).time();
        makePrefix(s.prefix, time.hour(), time.minute(), time.second());
        s.prefixSecond = now.tv_sec;
    }
    const int msec = int(now.tv_nsec / 1000000);
    const int start = s.pending.size();
    if (start == 0)
        s.firstPending = std::chrono::steady_clock::now();
    appendLineStart(s.pending, s.prefix, msec, type);
    s.pending += message.toUtf8();
    s.pending += '\n';

    QTextCodec* locale = QTextCodec::codecForLocale();
    if (locale && locale->mibEnum() == kUtf8Mib && s.pendingOut.isEmpty())
        return;
    // Standard output carries the locale's encoding: its lines wait apart from the file's.
    if (s.pendingOut.isEmpty())
        s.pendingOut = s.pending.left(start);
    appendLineStart(s.pendingOut, s.prefix, msec, type);
    s.pendingOut += message.toLocal8Bit();
    s.pendingOut += '\n';
}

// Writes out what waits and gives standard output a moment to take it.
void flushAll()
{
    LogState& s = state();
    std::unique_lock<std::recursive_mutex> locker(s.lock);
    flushLocked(s);
    drainConsole(s, locker, kConsoleDrainMs);
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
                // Asleep until the first line waits (the handler wakes it), then until that
                // line is a second old.
                if (s.pending.isEmpty())
                    s.wake.wait(locker);
                else
                    s.wake.wait_until(locker, s.firstPending + std::chrono::milliseconds(flushWaitMs));
                if (!s.pending.isEmpty()
                    && std::chrono::steady_clock::now() - s.firstPending
                        >= std::chrono::milliseconds(flushWaitMs))
                    flushLocked(s);
            }
        }).detach();
    });
}

} // namespace

namespace LogHandler
{

QString logFolder(const QString& dataLocation)
{
    return dataLocation + QStringLiteral("/hu.brixeon.orvixtools") + QStringLiteral("/logs");
}

QString logFileName(const QDateTime& when)
{
    return QStringLiteral("%1_%2.log")
        .arg(when.date().toString(QStringLiteral("yyMMdd")), when.time().toString(QStringLiteral("hhmmss")));
}

void setFlushWait(int ms)
{
    flushWaitMs = std::max(0, ms);
}

QString levelName(QtMsgType type)
{
    return QString::fromLatin1(levelText(type));
}

QString formatLine(const QTime& time, QtMsgType type, const QString& message)
{
    char prefix[9];
    makePrefix(prefix, time.hour(), time.minute(), time.second());
    QByteArray line;
    appendLineStart(line, prefix, time.msec(), type);
    return QString::fromLatin1(line) + message;
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
    // The data location is made with its missing parents; our two folders one by one, each only
    // when what holds it is a real folder of ours, so that nothing is made where a link points.
    const QString appFolder = QFileInfo(folder).absolutePath();
    QDir().mkpath(dataLocation);
    ::mkdir(QFile::encodeName(appFolder).constData(), 0777);
    if (PrivateFolder::isOwn(appFolder))
        ::mkdir(QFile::encodeName(folder).constData(), 0777);
    // Our two folders are used only as the folders they are: through a link, or in a folder of
    // another user, the oldest file of a folder not ours would be removed and the lines would
    // go where others read them.
    QString why;
    const bool own = PrivateFolder::isOwn(QFileInfo(folder).absolutePath(), &why)
        && PrivateFolder::isOwn(QFileInfo(folder).absoluteFilePath(), &why);
    if (own)
        removeOldest(folder);
    else
        qInfo("%s", qPrintable(QStringLiteral("Log folder %1 not used: %2").arg(folder, why)));

    bool opened = false;
    {
        LogState& s = state();
        std::lock_guard<std::recursive_mutex> locker(s.lock);
        // What waits belongs to the previous file.
        flushLocked(s);
        s.file.close();
        s.fileEndsMidLine = false;
        s.path = dir.absoluteFilePath(name);
        // The log names serial numbers, network ids and addresses: it is made for its owner
        // only, before anything is written to it. Only a regular file is written: a link at its
        // name is never followed (another file would take the lines and lose its owner's
        // rights), and a pipe is opened without waiting for a reader that never comes.
        const int fd = !own ? -1 : ::open(QFile::encodeName(s.path).constData(),
            O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
        struct stat st {
        };
        const bool regular = fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
        if (regular && (st.st_mode & 077) != 0) {
            // One of another user stays as it is and is written all the same, as before.
            const int ownerOnly = ::fchmod(fd, 0600);
            (void)ownerOnly;
        }
        opened = regular && ::fcntl(fd, F_SETFL, O_APPEND) == 0
            && s.file.open(fd, QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered,
                QFileDevice::AutoCloseHandle);
        if (!opened && fd >= 0)
            ::close(fd);
    }
    if (!opened) {
        qInfo("%s",
            qPrintable(
                QStringLiteral("Message handler not installed, failed to open the logfile ") + folder));
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
    return s.file.isOpen() ? s.path : QString();
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
        const bool firstWaiting = s.pending.isEmpty();
        appendLine(s, type, message);
        const bool severe = type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg;
        if (severe || s.pending.size() > kMaxPending
            || std::chrono::steady_clock::now() - s.firstPending >= std::chrono::milliseconds(flushWaitMs)) {
            flushLocked(s);
        } else {
            startFlusher(s);
            if (firstWaiting)
                s.wake.notify_one();
        }
    }

    if (type == QtFatalMsg) {
        std::unique_lock<std::recursive_mutex> locker(s.lock);
        drainConsole(s, locker, kConsoleDrainMs);
        std::abort();
    }
}
