#include "async/OperationQueue.h"

#include "common/qt_wait.h"
#include "common/test_semaphore.h"

#include <QElapsedTimer>
#include <QStringList>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// A list written from the worker and read from the test thread.
struct Log {
    std::mutex lock;
    QStringList items;
    void add(const QString& s)
    {
        std::lock_guard<std::mutex> l(lock);
        items << s;
    }
    QStringList get()
    {
        std::lock_guard<std::mutex> l(lock);
        return items;
    }
};

} // namespace

TEST(OperationQueue, BurstRunsInOrderAndReportsTheEndOnce)
{
    Log log;
    QThread* handed = nullptr;
    {
        OperationQueue queue("Burst", true);
        EXPECT_EQ(queue.objectName(), "Operation Queue <Burst>");
        int finished = 0;
        QObject::connect(&queue, &OperationQueue::allOperationsDidFinish, &queue, [&] { ++finished; });
        std::atomic<int> inside { 0 };
        for (int i = 0; i < 3; ++i) {
            queue.addOperation([&, i](QThread* thread) {
                EXPECT_EQ(inside.fetch_add(1), 0);
                handed = thread;
                QThread::msleep(5);
                log.add(QString::number(i));
                inside.fetch_sub(1);
            });
        }
        queue.waitForAllOperationsFinished();
        ASSERT_TRUE(testutil::waitUntil([&] { return finished >= 1; }, 2000));
        testutil::spin(20);
        EXPECT_EQ(finished, 1);
        EXPECT_EQ(log.get(), QStringList({ "0", "1", "2" }));
        EXPECT_EQ(handed, QThread::currentThread()); // the creator thread, not the worker
    }
}

TEST(OperationQueue, CancelWithoutWaitDropsOnlyWhatHasNotStarted)
{
    const int before = Operation::liveOperations();
    Log log;
    testsync::Semaphore secondStarted, releaseSecond;
    OperationQueue queue("Cancel");
    queue.addOperation([&](QThread*) { log.add("1"); });
    queue.addOperation([&](QThread*) {
        secondStarted.release();
        releaseSecond.acquire();
        log.add("2");
    });
    queue.addOperation([&](QThread*) { log.add("3"); });
    secondStarted.acquire();
    EXPECT_TRUE(queue.hasOperations());
    queue.cancelAllOperations(false);
    EXPECT_FALSE(queue.hasOperations());
    releaseSecond.release();
    queue.waitForAllOperationsFinished();
    EXPECT_EQ(log.get(), QStringList({ "1", "2" }));
    EXPECT_EQ(Operation::liveOperations(), before);
}

TEST(OperationQueue, HasOperationsIsFalseWhileTheLastRuns)
{
    testsync::Semaphore started, release;
    OperationQueue queue("Last");
    queue.addOperation([&](QThread*) { started.release(); release.acquire(); });
    started.acquire();
    EXPECT_FALSE(queue.hasOperations());
    release.release();
    queue.waitForAllOperationsFinished();
}

TEST(OperationQueue, WaitNeverBlocksOnAnIdleQueue)
{
    OperationQueue queue("Idle");
    QElapsedTimer t;
    t.start();
    queue.waitForAllOperationsFinished();
    queue.waitForAllOperationsFinished();
    queue.addOperation([](QThread*) {});
    queue.waitForAllOperationsFinished();
    queue.waitForAllOperationsFinished();
    queue.cancelAllOperations(true);
    EXPECT_LT(t.elapsed(), testutil::scaled(1000));
}

TEST(OperationQueue, OperationCancellingItsOwnQueueWithWaitDoesNotDeadlock)
{
    Log log;
    testsync::Semaphore bothQueued;
    OperationQueue queue("Self");
    queue.addOperation([&](QThread*) {
        bothQueued.acquire();
        queue.cancelAllOperations(true);
        queue.waitForAllOperationsFinished();
        log.add("self");
    });
    queue.addOperation([&](QThread*) { log.add("dropped"); });
    bothQueued.release();
    ASSERT_TRUE(testutil::waitUntil([&] { return !log.get().isEmpty(); }, 2000));
    queue.waitForAllOperationsFinished();
    EXPECT_EQ(log.get(), QStringList({ "self" }));
}

TEST(OperationQueue, CancelWithWaitFromAnotherThreadReturnsAfterTheRunningOperation)
{
    std::atomic<bool> finished { false };
    testsync::Semaphore started;
    OperationQueue queue("Waiting");
    queue.addOperation([&](QThread*) {
        started.release();
        QThread::msleep(50);
        finished = true;
    });
    queue.addOperation([&](QThread*) { ADD_FAILURE() << "cancelled operation ran"; });
    started.acquire();
    std::thread other([&] {
        queue.cancelAllOperations(true);
        EXPECT_TRUE(finished.load());
    });
    other.join();
}

TEST(OperationQueue, CancelWithWaitOnTheCreatorThreadDoesNotBlock)
{
    testsync::Semaphore started, release;
    OperationQueue queue("Creator");
    queue.addOperation([&](QThread*) { started.release(); release.acquire(); });
    started.acquire();
    queue.cancelAllOperations(true); // would hang if it waited for the blocked operation
    release.release();
    queue.waitForAllOperationsFinished();
}

TEST(OperationQueue, AddsFromManyThreadsRunEachOperationOnce)
{
    const int before = Operation::liveOperations();
    std::atomic<int> runs { 0 };
    {
        OperationQueue queue("Many");
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&] {
                for (int i = 0; i < 250; ++i) {
                    queue.addOperation([&](QThread*) { runs.fetch_add(1); });
                    if (i % 50 == 0)
                        queue.hasOperations();
                }
            });
        }
        for (auto& t : threads)
            t.join();
        queue.waitForAllOperationsFinished();
        EXPECT_EQ(runs.load(), 1000);
    }
    EXPECT_EQ(Operation::liveOperations(), before);
}

TEST(OperationQueue, CancelRacingTheWorkerNeverLosesOrDoublesWork)
{
    const int before = Operation::liveOperations();
    std::atomic<int> runs { 0 };
    OperationQueue queue("Race");
    for (int round = 0; round < 200; ++round) {
        queue.addOperation([&](QThread*) { runs.fetch_add(1); });
        queue.addOperation([&](QThread*) { runs.fetch_add(1); });
        queue.cancelAllOperations(false);
    }
    queue.waitForAllOperationsFinished();
    EXPECT_LE(runs.load(), 400);
    EXPECT_FALSE(queue.hasOperations());
    // The queue still works after the races.
    queue.addOperation([&](QThread*) { runs.fetch_add(1000); });
    queue.waitForAllOperationsFinished();
    EXPECT_GE(runs.load(), 1000);
    EXPECT_EQ(Operation::liveOperations(), before);
}

TEST(OperationQueue, DestructorDropsQueuedOperationsAndJoins)
{
    const int before = Operation::liveOperations();
    std::atomic<int> runs { 0 };
    testsync::Semaphore started;
    {
        OperationQueue queue("Teardown", true);
        queue.addOperation([&](QThread*) { started.release(); QThread::msleep(30); runs.fetch_add(1); });
        for (int i = 0; i < 10; ++i)
            queue.addOperation([&](QThread*) { runs.fetch_add(1); });
        started.acquire();
    }
    EXPECT_EQ(runs.load(), 1);
    EXPECT_EQ(Operation::liveOperations(), before);
}

TEST(OperationQueue, AnOperationThatThrowsEndsAloneAndTheNextStillRuns)
{
    const int before = Operation::liveOperations();
    Log log;
    int finished = 0;
    {
        OperationQueue queue("Throwing");
        QObject::connect(&queue, &OperationQueue::allOperationsDidFinish, &queue, [&] { ++finished; });
        queue.addOperation([&](QThread*) {
            log.add("1");
            throw std::runtime_error("broken");
        });
        queue.addOperation([&](QThread*) {
            log.add("2");
            throw 42;
        });
        queue.addOperation([&](QThread*) { log.add("3"); });
        queue.waitForAllOperationsFinished();
        EXPECT_FALSE(queue.hasOperations());
        ASSERT_TRUE(testutil::waitUntil([&] { return finished == 1; }, 2000));
    }
    EXPECT_EQ(log.get(), QStringList({ "1", "2", "3" }));
    EXPECT_EQ(Operation::liveOperations(), before);
}

TEST(OperationQueue, AnOperationAddedWhileTheQueueGoesIsReleasedUnrun)
{
    // The destructor drops what is queued, then stops the worker: an operation another thread
    // adds in between (here a dropped operation's destructor, at exactly that moment) must
    // neither run nor stay allocated.
    struct AddsWhenDropped : Operation {
        OperationQueue* queue;
        std::function<void(QThread*)> late;
        testsync::Semaphore* dropped;
        void run(QThread*) override {}
        ~AddsWhenDropped() override
        {
            queue->addOperation(late);
            dropped->release();
        }
    };
    const int before = Operation::liveOperations();
    std::atomic<int> lateRuns { 0 };
    testsync::Semaphore started, dropped;
    {
        OperationQueue queue("Going");
        queue.addOperation([&](QThread*) {
            started.release();
            dropped.acquire();
            // Still running while the destructor stops the worker.
            QThread::msleep(100);
        });
        started.acquire();
        auto* op = new AddsWhenDropped;
        op->queue = &queue;
        op->late = [&](QThread*) { lateRuns.fetch_add(1); };
        op->dropped = &dropped;
        queue.addOperation(op);
    }
    EXPECT_EQ(lateRuns.load(), 0);
    EXPECT_EQ(Operation::liveOperations(), before);
}

TEST(OperationQueue, DoneSignalAndCustomOperations)
{
    struct Counting : Operation {
        std::atomic<int>* count;
        explicit Counting(std::atomic<int>* c)
            : count(c)
        {
        }
        void run(QThread*) override { count->fetch_add(1); }
    };
    std::atomic<int> count { 0 }, done { 0 };
    OperationQueue queue("Custom");
    auto* op = new Counting(&count);
    QObject::connect(op, &Operation::done, op, [&] { done.fetch_add(1); }, Qt::DirectConnection);
    queue.addOperation(op);
    queue.addOperation(std::function<void(QThread*)>()); // an empty function is skipped
    queue.waitForAllOperationsFinished();
    EXPECT_EQ(count.load(), 1);
    EXPECT_EQ(done.load(), 1);
}
