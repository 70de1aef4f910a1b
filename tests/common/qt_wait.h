#pragma once
// Helpers for tests that wait on the Qt event loop.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <functional>

#include "common/time_scale.h"

namespace testutil
{

// One turn of the event loop, including the deferred deletions that a running exec() would
// perform (a plain processEvents from the test body leaves them queued).
inline void pump()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QThread::msleep(1);
}

// Runs the event loop until pred() holds or timeoutMs (scaled) passes; returns pred().
inline bool waitUntil(const std::function<bool()>& pred, int timeoutMs = 5000)
{
    QDeadlineTimer deadline(scaled(timeoutMs));
    while (!pred()) {
        if (deadline.hasExpired())
            return pred();
        pump();
    }
    return true;
}

// Runs the event loop for ms milliseconds (scaled): only to show that something does not
// happen, never to wait for something that should.
inline void spin(int ms)
{
    QDeadlineTimer deadline(scaled(ms));
    while (!deadline.hasExpired()) {
        pump();
    }
}

} // namespace testutil
