#pragma once
// The process-wide log handler: every message of the debug, info, warning, critical and fatal
// channels goes, as one line "hh:mm:ss.zzz [Level]: text", to the run's log file and to standard
// output. One log file is written per start, under the application data location in
// "hu.brixeon.orvixtools/logs"; when ten or more files are there the oldest one is removed first.
#include <QDateTime>
#include <QString>
#include <QtGlobal>

// Prepares the log folder and file and installs oxMessageHandler. Called by main before the
// application object exists.
void oxMessageInit();

// The installed handler. Safe to call from any thread: lines never interleave.
void oxMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message);

namespace LogHandler
{

// "/hu.brixeon.orvixtools" and "/logs" below the given application data location.
QString logFolder(const QString& dataLocation);

// "yyMMdd_hhmmss.log" for the given moment.
QString logFileName(const QDateTime& when);

// How long a line below warning may wait to be written out with the lines after it (a second
// unless set; 0 writes every line at once, for a program whose log a script follows).
void setFlushWait(int ms);

// "Debug", "Info", "Warning", "Critical" or "Fatal".
QString levelName(QtMsgType type);

// "%1 [%2]: %3" with the time as "hh:mm:ss.zzz" (no line end).
QString formatLine(const QTime& time, QtMsgType type, const QString& message);

// Removes the oldest regular file of folder (by modification time) when it holds maxFiles or
// more; exactly one file per call. Returns whether a file was removed.
bool removeOldest(const QString& folder, int maxFiles = 10);

// The work of oxMessageInit with an explicit application data location and start time (an
// empty location means the platform names none). Returns whether the handler was installed.
// Calling it again closes the previous log file first.
bool initAt(const QString& dataLocation, const QDateTime& now = QDateTime::currentDateTime());

// Restores the platform's default message handler; the log file stays open but is no longer
// written. Start-up calls it once the event loop has returned.
void uninstall();

// Absolute path of the open log file, empty when none is open.
QString currentLogFile();

} // namespace LogHandler
