#pragma once
// What the start-up and memory benchmarks share: the sandbox their processes run in, reading a
// process's report lines, ending it, and the median of the runs.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>

namespace bench
{

// The system's environment with the home, settings, data, cache, runtime and temporary folders
// inside home: no settings, log or running copy of the user's is touched (the single-instance
// guard and its socket live in the runtime folder, which must be this user's alone).
inline QProcessEnvironment sandboxEnvironment(const QTemporaryDir& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("TMPDIR"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
    const QString runtime = home.filePath(QStringLiteral("run"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    return env;
}

// Waits at most timeoutMs for the line wanted on the process's standard output; atMs, when
// given, gets clock's milliseconds at its arrival. False when the process ended or the time
// ran out first.
inline bool waitForLine(QProcess& process, const QByteArray& wanted, const QElapsedTimer& clock,
    int timeoutMs, double* atMs = nullptr)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < timeoutMs) {
        while (process.canReadLine()) {
            if (process.readLine().trimmed() == wanted) {
                if (atMs)
                    *atMs = double(clock.nsecsElapsed()) / 1e6;
                return true;
            }
        }
        if (process.state() == QProcess::NotRunning)
            return false;
        process.waitForReadyRead(1000);
    }
    return false;
}

// Waits at most timeoutMs for the process to end, then kills it.
inline void finish(QProcess& process, int timeoutMs)
{
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
    }
}

// The median of values; -1 for none.
inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

} // namespace bench
