#include "async/Mailbox.h"

#include "common/qt_wait.h"

#include <QThread>
#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

// Jobs from several threads run on the mailbox's thread, each once, each thread's in the order it
// posted them, and a job keeps its place among the other events posted to that thread.
TEST(Mailbox, JobsRunOnceOnTheOwnThreadInPostingOrder)
{
    Mailbox mailbox;
    QObject target;
    constexpr int Threads = 4;
    constexpr int Jobs = 200;
    std::vector<std::vector<int>> seen(Threads); // touched on this thread only
    bool elsewhere = false;
    std::vector<std::thread> threads;
    for (int t = 0; t < Threads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < Jobs; ++i) {
                mailbox.post([&, t, i] {
                    elsewhere = elsewhere || QThread::currentThread() != mailbox.thread();
                    seen[size_t(t)].push_back(i);
                });
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    QStringList order;
    mailbox.post([&] { order << QStringLiteral("first job"); });
    QMetaObject::invokeMethod(
        &target, [&] { order << QStringLiteral("queued call"); }, Qt::QueuedConnection);
    mailbox.post([&] { order << QStringLiteral("second job"); });

    ASSERT_TRUE(testutil::waitUntil([&] { return order.size() == 3; }, 5000));
    EXPECT_FALSE(elsewhere);
    for (int t = 0; t < Threads; ++t) {
        ASSERT_EQ(seen[size_t(t)].size(), size_t(Jobs)) << t;
        for (int i = 0; i < Jobs; ++i)
            EXPECT_EQ(seen[size_t(t)][size_t(i)], i) << t;
    }
    EXPECT_EQ(order, (QStringList { "first job", "queued call", "second job" }));
}

// A mailbox that goes before its jobs ran drops them: none runs later, and what they hold is
// released.
TEST(Mailbox, JobsLeftAtDestructionAreDroppedAndReleased)
{
    auto held = std::make_shared<int>(7);
    bool ran = false;
    {
        Mailbox mailbox;
        std::thread([&] { mailbox.post([&ran, held] { ran = *held == 7; }); }).join();
    }
    testutil::spin(20);
    EXPECT_FALSE(ran);
    EXPECT_EQ(held.use_count(), 1);
}
