#include "app/LogHandler.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>
#include <QTextStream>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

// Process-wide log state. Made on first use and never destroyed, so that a thread still logging
// while the process exits never meets a destroyed file or mutex.
struct LogState {
    std::recursive_mutex lock; // serialises whole lines, in the file and on standard output
    QFile file;             // no name until the log is initialised
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
            QTextStream stream(&s.file);
            stream.setCodec("UTF-8");
            stream << QStringLiteral("%1 [%2]: %3").arg(time, level, message) << '\n';
            stream.flush();
            s.file.flush();
        }
        QByteArray outLine = time.toLocal8Bit();
        outLine += " [";
        outLine += level.toLocal8Bit();
        outLine += "]: ";
        outLine += message.toLocal8Bit();
        outLine += '\n';
        std::fwrite(outLine.constData(), 1, size_t(outLine.size()), stdout);
        std::fflush(stdout);
    }

    if (type == QtFatalMsg)
        std::abort();
}
