#include "async/Progress.h"
#include "async/Watchdog.h"

#include "common/qt_wait.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct Recorder : Progress::Delegate {
    QList<double> values;
    QStringList messages;
    int calls = 0;
    void progressUpdate(const Progress::Context& c) override
    {
        ++calls;
        values << c.value;
        messages << c.message;
    }
};

} // namespace

TEST(Progress, StartNotifiesOnlyForInfinite)
{
    Recorder r;
    Progress::Context context(&r);
    context.start("Initializing\ndongle", Progress::Finite);
    EXPECT_EQ(r.calls, 0);
    EXPECT_EQ(context.title, "Initializing\ndongle");
    EXPECT_EQ(context.flags, Progress::Flags(Progress::Finite));

    context.start("Query Devices", Progress::Infinite | Progress::Finite);
    EXPECT_EQ(r.calls, 1);
    context.start("Dongle\nconnected", Progress::Infinite);
    EXPECT_EQ(r.calls, 2);
}

TEST(Progress, StartClearsItemsAndLeavesANullMessage)
{
    Progress::Context context;
    context.steps.insert("headset", "Headset");
    context.stepKeys << "headset";
    context.setMessage("Headset");
    context.setProgress(0.5);
    context.start("Leave Service", Progress::Finite);
    EXPECT_TRUE(context.steps.isEmpty());
    EXPECT_TRUE(context.stepKeys.isEmpty());
    EXPECT_TRUE(context.message.isNull());
    EXPECT_EQ(context.value, 0.0);
}

TEST(Watchdog, WokenWatchdogNeverFires)
{
    // The waker must come well within the interval also on a busy machine.
    Watchdog dog(testutil::scaled(150));
    int fired = 0;
    QObject::connect(&dog, &Watchdog::expired, [&] { ++fired; });
    QTimer waker;
    QObject::connect(&waker, &QTimer::timeout, &dog, &Watchdog::wakeup);
    dog.start();
    waker.start(20);
    testutil::spin(400);
    EXPECT_EQ(fired, 0);
    waker.stop();
    ASSERT_TRUE(testutil::waitUntil([&] { return fired == 1; }, 2000));
    EXPECT_FALSE(dog.isRunning());
    testutil::spin(200);
    EXPECT_EQ(fired, 1); // at most once per start
}

TEST(Watchdog, StoppedWatchdogStaysStopped)
{
    Watchdog dog(testutil::scaled(20));
    int fired = 0;
    QObject::connect(&dog, &Watchdog::expired, [&] { ++fired; });
    dog.start();
    dog.stop();
    dog.wakeup();
    EXPECT_FALSE(dog.isRunning());
    testutil::spin(80);
    EXPECT_EQ(fired, 0);

    dog.start();
    dog.start(); // a running watchdog is not restarted by start
    ASSERT_TRUE(testutil::waitUntil([&] { return fired == 1; }, 2000));
    dog.wakeup(); // fired: stays stopped
    testutil::spin(60);
    EXPECT_EQ(fired, 1);
}
