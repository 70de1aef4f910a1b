// The status page's first opening in a process, as a person meets it: the main menu shown in a
// window, the 3D view's set-up made ahead while the menu is idle (prepared_after_ms from the
// window's exposure, and its longest step), then the status page brought in by the one-second slide from the
// right. Printed: the time from the switch asked for to the slide's start (the page built and shown, its 3D
// view set up and drawn), to the 3D view's first painting on screen, and the slide's longest frame (the
// longest time between two of its steps, from its start to its end), its steps and frames per
// second. Goals: no slide frame over 20 ms, the first opening at most 100 ms. Run it with Mesa's
// shader cache off, as on a person's first run, when the software rasteriser compiles the model's
// shaders:
//   xvfb-run -a -s "-screen 0 1920x1080x24" env MESA_SHADER_CACHE_DISABLE=true build/bench/bench_status_slide
// Each run is a process of its own (the GL driver is loaded and set up once per process):
// --benchmark_repetitions repeats nothing here, run the program again.
#include "status/InterfaceBenchMain.h"

#include <benchmark/benchmark.h>

#include <QAbstractAnimation>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QTimer>
#include <QtTest/QTest>

#include <algorithm>
#include <vector>

#include "status/MenuWindow.h"

namespace
{

constexpr int SlideMs = 1000;

// The threads of Mesa's software rasteriser in this process (none when it draws on the calling
// thread).
int rasteriserThreads()
{
    int count = 0;
    QDir const tasks(QStringLiteral("/proc/self/task"));
    for (QString const& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(task + QStringLiteral("/comm")));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().startsWith("llvmpipe"))
            ++count;
    }
    return count;
}

// The moments the watched widget was moved (a slide step) and its child view first painted.
struct Steps : QObject {
    QElapsedTimer const& clock;
    QObject* view = nullptr;
    std::vector<double> moves;
    double firstPaintMs = -1;

    explicit Steps(QElapsedTimer const& c)
        : clock(c)
    {
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        double const now = clock.nsecsElapsed() / 1e6;
        if (event->type() == QEvent::Move && watched != view)
            moves.push_back(now);
        else if (event->type() == QEvent::Paint && watched == view && firstPaintMs < 0)
            firstPaintMs = now;
        return false;
    }
};

void BM_FirstStatusSlide(benchmark::State& state)
{
    for (auto _ : state) {
        MenuWindow window;
        OX::PageController& controller = window.controller;
        if (!QTest::qWaitForWindowExposed(&controller)) {
            state.SkipWithError("the window was not shown");
            return;
        }
        // A person opens the page a second or more after the menu appeared: the 3D view's set-up
        // made ahead in the meantime.
        // Its steps hold the event loop: the longest time it did not turn round is the longest
        // wait a person's input could meet meanwhile.
        QElapsedTimer prepared;
        prepared.start();
        double turnedAt = 0, longestStep = 0;
        QTimer turn;
        QObject::connect(&turn, &QTimer::timeout, [&] {
            double const now = prepared.nsecsElapsed() / 1e6;
            longestStep = std::max(longestStep, now - turnedAt);
            turnedAt = now;
        });
        turn.start(0);
        const bool ready = MenuWindow::waitUntilPrepared(10 * SlideMs);
        turn.stop();
        if (!ready) {
            state.SkipWithError("the 3D view's set-up was not made ahead");
            return;
        }
        state.counters["prepared_after_ms"] = prepared.nsecsElapsed() / 1e6;
        state.counters["longest_preparation_step_ms"] = longestStep;
        MenuWindow::settle();
        QElapsedTimer clock;
        Steps steps(clock);
        clock.start();
        OX::StatusPage* status = window.status();
        steps.view = status->view();
        status->installEventFilter(&steps);
        status->view()->installEventFilter(&steps);
        if (!controller.showPage(QStringLiteral("Status"), OX::Page::FromRight, SlideMs, true)) {
            state.SkipWithError("the status page was not opened");
            return;
        }
        double const startMs = clock.nsecsElapsed() / 1e6; // the slide's animation runs from here
        steps.moves.clear(); // the page placed at the slide's start, before it runs
        // The event loop turns round between two frames: the longest time it did not is the
        // longest frame, whether its step moved the page or not.
        double idleAt = startMs;
        std::vector<double> busy;
        QTimer idle;
        QObject::connect(&idle, &QTimer::timeout, [&] {
            double const now = clock.nsecsElapsed() / 1e6;
            busy.push_back(now - idleAt);
            idleAt = now;
        });
        idle.start(0);
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!controller.isSwitching() || clock.elapsed() > 10 * SlideMs)
                loop.quit();
        });
        poll.start(1);
        loop.exec();
        idle.stop();
        double longestBusy = 0;
        for (double length : busy)
            longestBusy = std::max(longestBusy, length);
        state.counters["to_slide_start_ms"] = startMs;
        state.counters["view_first_painted_ms"] = steps.firstPaintMs;
        state.counters["longest_frame_ms"] = longestBusy;
        state.counters["steps"] = double(steps.moves.size());
        state.counters["rasteriser_threads"] = rasteriserThreads();
        state.counters["LP_NUM_THREADS_left"] = qEnvironmentVariableIsSet("LP_NUM_THREADS");
        status->removeEventFilter(&steps);
        status->view()->removeEventFilter(&steps);
    }
}
BENCHMARK(BM_FirstStatusSlide)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return runInterfaceBenchmarks(argc, argv);
}
