// The crosshair countdown: silent ticks, the shown overlay, exactly one completion per run, and
// the feedback sound once a second.
#include "QuietDirectorUi.h"
#include "app/FakeDirectorUi.h"
#include "common/qt_wait.h"
#include "common/time_scale.h"

#include "app/Settings.h"
#include "device/MouseProfile.h"
#include "ui/shell/CrossWindow.h"
#include "ui/shell/ScreenGeometry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

using testutil::spin;
using testutil::waitUntil;

namespace
{

struct Completions {
    int done = 0;
    int applied = 0;
    qint64 at = -1;
    QElapsedTimer clock;

    explicit Completions(CrossWindow& cross)
    {
        clock.start();
        QObject::connect(&cross, &CrossWindow::applySignal, [this]() { ++applied; });
    }
    std::function<void()> callback()
    {
        return [this]() {
            ++done;
            at = clock.elapsed();
        };
    }
};

} // namespace

TEST(CrossWindow, SilentCountTicksOnceASecondAndCompletesOnce)
{
    for (const auto& c : { std::make_pair(1500, 2), std::make_pair(0, 1), std::make_pair(-300, 1) }) {
        CrossWindow cross(nullptr, nullptr);
        Completions calls(cross);
        cross.runCrossView(false, c.first, calls.callback());
        EXPECT_TRUE(cross.isRunning());
        EXPECT_FALSE(cross.isVisible()) << "no overlay without visual feedback";
        ASSERT_TRUE(waitUntil([&] { return calls.done == 1; }, 4000)) << c.first;
        EXPECT_NEAR(calls.at, c.second * CrossWindow::TickMs, 150) << c.first;
        EXPECT_EQ(calls.applied, 1);
        EXPECT_FALSE(cross.isRunning());
        spin(50);
        EXPECT_EQ(calls.done, 1);
    }
}

TEST(CrossWindow, ShownCountOfNothingCompletesBeforeTheRunReturnsAndNeverShows)
{
    CrossWindow cross(nullptr, nullptr);
    Completions calls(cross);
    cross.runCrossView(true, 0, calls.callback());
    EXPECT_EQ(calls.done, 1);
    EXPECT_EQ(calls.applied, 1);
    EXPECT_FALSE(cross.isVisible());
    EXPECT_FALSE(cross.isRunning());
}

TEST(CrossWindow, ARunStartedDuringARunEndsItAndCompletesOnce)
{
    CrossWindow cross(nullptr, nullptr);
    cross.setTickInterval(10);
    Completions calls(cross);
    int first = 0;
    // Shown then silent: the overlay goes, only the second run completes.
    cross.runCrossView(true, 5000, [&]() { ++first; });
    EXPECT_TRUE(cross.isVisible());
    cross.runCrossView(false, 1000, calls.callback());
    EXPECT_FALSE(cross.isVisible());
    ASSERT_TRUE(waitUntil([&] { return calls.done == 1; }, 2000));
    // Silent then shown.
    cross.runCrossView(false, 3000, [&]() { ++first; });
    cross.runCrossView(true, 200, calls.callback());
    ASSERT_TRUE(waitUntil([&] { return calls.done == 2; }, 2000));
    EXPECT_FALSE(cross.isRunning());
    spin(80);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(calls.done, 2);
    EXPECT_EQ(calls.applied, 2);

    // An abort ends either mode without a completion.
    cross.runCrossView(true, 5000, [&]() { ++first; });
    cross.abortCrossView();
    EXPECT_FALSE(cross.isRunning());
    cross.runCrossView(false, 500, [&]() { ++first; });
    cross.abortCrossView();
    spin(60);
    EXPECT_EQ(first, 0);
}

TEST(CrossWindow, CountdownTextShowsMinutesSecondsAndHundredths)
{
    EXPECT_EQ(CrossWindow::countdownText(4250), QStringLiteral("00:04:25"));
    EXPECT_EQ(CrossWindow::countdownText(0), QStringLiteral("00:00:00"));
    EXPECT_EQ(CrossWindow::countdownText(61990), QStringLiteral("01:01:99"));
    EXPECT_EQ(CrossWindow::countdownText(3600000), QStringLiteral("00:00:00")); // the hours are lost
}

TEST(CrossWindow, ShownCountSoundsOnceASecond)
{
    directortest::Harness h;
    auto counting = std::make_unique<QuietDirectorUi>();
    QuietDirectorUi* ui = counting.get();
    OrvixDirector director(h.parser, std::move(counting), h.environment(10));
    director.settings()->selectedProfile()->setAudioFeedback(true);
    CrossWindow cross(nullptr, &director);
    Completions calls(cross);
    cross.runCrossView(true, 3200, calls.callback());
    EXPECT_TRUE(cross.isVisible());
    EXPECT_EQ(cross.duration(), 3200);
    ASSERT_TRUE(waitUntil([&] { return cross.duration() < 2000; }, 4000));
    EXPECT_GT(cross.duration(), 1200);
    ASSERT_TRUE(waitUntil([&] { return calls.done == 1; }, 4000));
    EXPECT_NEAR(calls.at, 3200, 250);
    EXPECT_FALSE(cross.isVisible());
    EXPECT_EQ(ui->zeroSounds, 3);
}

// The overlay closed from outside (the window manager) while the main window is hidden: the
// application goes on, and the count ends with it, unseen counts never zeroing.
TEST(CrossWindow, ClosingTheOverlayEndsTheCountNotTheApplication)
{
    CrossWindow cross(nullptr, nullptr);
    Completions calls(cross);
    cross.runCrossView(true, 300, calls.callback());
    ASSERT_TRUE(cross.isVisible());
    QTimer::singleShot(0, &cross, [&cross]() { cross.close(); });
    QTimer::singleShot(testutil::scaled(700), qApp, []() { qApp->exit(7); });
    EXPECT_EQ(qApp->exec(), 7) << "closing the overlay quit the application";
    EXPECT_FALSE(cross.isRunning());
    EXPECT_EQ(calls.done, 0);
    EXPECT_EQ(calls.applied, 0);
}

// The screen the overlay covers goes (or the primary screen changes) while the count runs: the
// crosshair moves to the primary screen, where the person can still see it.
TEST(CrossWindow, TheOverlayFollowsThePrimaryScreenWhileItCounts)
{
    struct OneScreen : ScreenGeometry {
        QRect primary { 0, 0, 1920, 1080 };
        OneScreen() { install(this); }
        ~OneScreen() override { install(nullptr); }
        QRect primaryAvailable() const override { return primary; }
        QRect primaryGeometry() const override { return primary; }
    } screens;
    CrossWindow cross(nullptr, nullptr);
    cross.runCrossView(true, testutil::scaled(8000), []() {});
    ASSERT_TRUE(cross.isVisible());
    EXPECT_EQ(cross.geometry(), screens.primary);
    screens.primary = QRect(0, 0, 1366, 768);
    emit qGuiApp->primaryScreenChanged(QGuiApplication::primaryScreen());
    EXPECT_TRUE(waitUntil([&] { return cross.geometry() == screens.primary; }, 3000));
    screens.primary = QRect(0, 0, 1600, 900); // its resolution changed
    emit QGuiApplication::primaryScreen()->geometryChanged(screens.primary);
    EXPECT_TRUE(waitUntil([&] { return cross.geometry() == screens.primary; }, 3000));
    cross.abortCrossView();
    screens.primary = QRect(0, 0, 1280, 1024);
    emit qGuiApp->screenRemoved(QGuiApplication::primaryScreen());
    spin(50);
    EXPECT_FALSE(cross.isVisible()) << "an overlay at rest stays hidden";
}
