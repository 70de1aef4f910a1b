#pragma once
// Helpers for tests that wait on the Qt event loop.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <functional>

namespace testutil {

// Runs the event loop until pred() holds or timeoutMs passes; returns pred().
inline bool waitUntil(const std::function<bool()>& pred, int timeoutMs = 5000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!pred()) {
        if (deadline.hasExpired())
            return pred();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

// Runs the event loop for ms milliseconds.
inline void spin(int ms)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
}

} // namespace testutil
