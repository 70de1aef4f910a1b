// Built only with the thread checker. Each probe races on purpose: a worker writes with nothing
// but a relaxed flag (which orders nothing) between its write and the GUI thread's access. The
// tests pass only when the checker's report names the probe's own writer (tests/CMakeLists.txt
// matches the output): a checker that stays silent, or that stops at another race first, fails.
#include "async/OperationQueue.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{
int shared = 0;
char buffer[64];

// Out of line, so that the report names them.
__attribute__((noinline)) void probeWorkerWritesShared()
{
    shared = 1;
}

__attribute__((noinline)) void probeWorkerFillsBuffer()
{
    for (char& c : buffer)
        c = 'x';
}

// Runs write on a queue's worker and returns once it has run, without ordering anything.
template <typename Write> void onWorker(OperationQueue& queue, Write write)
{
    std::atomic<bool> written { false };
    queue.addOperation([&written, write](QThread*) {
        write();
        written.store(true, std::memory_order_relaxed);
    });
    while (!written.load(std::memory_order_relaxed))
        std::this_thread::yield();
}
} // namespace

TEST(ThreadCheckerProbe, AWorkerRacesTheGuiThread)
{
    OperationQueue queue(QStringLiteral("probe"));
    onWorker(queue, probeWorkerWritesShared);
    EXPECT_EQ(shared, 1); // unordered with the worker's write
    queue.waitForAllOperationsFinished();
}

// The second access is Qt's own (its copy of a buffer handed to it): Qt is not built with the
// checker, so this race is seen only when the checker does not skip what Qt's calls do.
TEST(ThreadCheckerProbe, AWorkerRacesABufferQtCopies)
{
    OperationQueue queue(QStringLiteral("probe"));
    onWorker(queue, probeWorkerFillsBuffer);
    const QByteArray copy(buffer, int(sizeof buffer)); // unordered with the worker's writes
    EXPECT_EQ(copy.count('x'), int(sizeof buffer));
    queue.waitForAllOperationsFinished();
}
