// Built only with the thread checker: an OperationQueue worker writes a plain int that the GUI
// thread then reads, with nothing but a relaxed flag between them (which orders nothing). The
// checker must report it, so the test is expected to fail; if it stays silent, something hides
// races in our code and the run fails.
#include "async/OperationQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{
int shared = 0;
}

TEST(ThreadCheckerProbe, AWorkerRacesTheGuiThread)
{
    OperationQueue queue(QStringLiteral("probe"));
    std::atomic<bool> written { false };
    queue.addOperation([&written](QThread*) {
        shared = 1;
        written.store(true, std::memory_order_relaxed);
    });
    while (!written.load(std::memory_order_relaxed))
        std::this_thread::yield();
    EXPECT_EQ(shared, 1); // unordered with the worker's write
    queue.waitForAllOperationsFinished();
}
