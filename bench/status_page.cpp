// The status page with the emulated headset streaming at 20 Hz, under Xvfb with software GL: the
// application's CPU time (every thread of the process but the emulator's, which stands for the
// dongle and the headset) as a share of one core while the page is shown, beside the same stream
// with the main menu shown, and their ratio; the emulator's own share is printed beside them. The
// status page's first opening in the process as the application does it (the menu shown, the 3D
// view's set-up made ahead while it is idle, then the page built, shown and its view drawn); the cost of one
// status update (labels plus the 3D model drawn); the 3D model drawn alone, back to back and at the
// stream's pace. Goals: status page
// at most 2.5 % of a core, the menu at most 0.5 %, the first opening at most 100 ms.
//   xvfb-run -a -s "-screen 0 1920x1080x24" env LIBGL_ALWAYS_SOFTWARE=1 build/bench/bench_status_page
// The first opening depends on Mesa's shader cache: MESA_SHADER_CACHE_DISABLE=true measures the
// first run on a machine, when the software rasteriser compiles the model's shaders.
#include "status/InterfaceBenchMain.h"
#include "status/MenuWindow.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QSerialPort>
#include <QThread>
#include <QTimer>

#include <QFile>

#include <atomic>
#include <ctime>
#include <memory>
#include <sys/syscall.h>
#include <unistd.h>

#include "common/FakePageContainer.h"
#include "common/PageRig.h"
#include "device/Dongle.h"
#include "device/Headset.h"
#include "tools/emulator/Emulator.h"
#include "ui/pages/StatusPage.h"
#include "ui/toolkit/Menu.h"
#include "ui/toolkit/OpenGLView.h"
#include "ui/toolkit/PageContainer.h"
#include "ui/toolkit/PageController.h"

namespace
{

constexpr int MeasureMs = 5000;

double processCpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Seconds a thread of this process has run so far; 0 when unknown.
double threadCpuSeconds(pid_t tid)
{
    QFile stat(QStringLiteral("/proc/self/task/%1/schedstat").arg(tid));
    if (tid <= 0 || !stat.open(QIODevice::ReadOnly))
        return 0;
    return stat.readAll().split(' ').value(0).toDouble() * 1e-9;
}

// The emulated dongle, at its own pace, with its headset nodding, turning and tilting, and a shown
// page that hears the dongle's notifications through the page rig.
struct Rig {
    pagetest::PageRig pages;
    std::unique_ptr<OX::Page> shown;
    std::atomic<pid_t> emulatorThread { 0 }; // learnt from the first request the emulator hears

    bool start(bool statusPage)
    {
        if (statusPage)
            shown = std::make_unique<OX::StatusPage>(&pages.container);
        else
            shown = std::make_unique<OX::Menu>(&pages.container);
        pages.page = shown.get();
        shown->resize(900, 560);
        shown->show();
        emu::HeadsetModel headset;
        headset.gestures = true;
        pages.emulatorTimeScale = 1;
        return pages.start(headset, 1, [this](emu::Emulator& emulator) {
            emulator.setRequestHook([this](emu::Frame const&) {
                emulatorThread = pid_t(syscall(SYS_gettid));
                return false; // the devices answer as usual
            });
        });
    }
    ~Rig() { pages.page = nullptr; }
};

struct Share {
    double application = 0; // every thread but the emulator's
    double emulator = 0;
};

Share cpuShare(benchmark::State& state, bool statusPage)
{
    Rig rig;
    if (!rig.start(statusPage) || rig.emulatorThread == 0) {
        state.SkipWithError("the emulated dongle did not start with its headset");
        return {};
    }
    int const statuses = rig.pages.emulator().statusesSent();
    double const cpu = processCpuSeconds();
    double const emulatorCpu = threadCpuSeconds(rig.emulatorThread);
    QElapsedTimer wall;
    wall.start();
    QEventLoop loop; // sleeps between events, as the application does
    QTimer::singleShot(MeasureMs, &loop, &QEventLoop::quit);
    loop.exec();
    double const seconds = wall.nsecsElapsed() * 1e-9;
    Share share;
    share.emulator = (threadCpuSeconds(rig.emulatorThread) - emulatorCpu) / seconds;
    share.application = (processCpuSeconds() - cpu) / seconds - share.emulator;
    state.counters["statuses_per_s"]
        = (rig.pages.emulator().statusesSent() - statuses) * 1000.0 / wall.elapsed();
    return share;
}

// Counts the paintings of a widget.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

// The status page's first opening in the process as the application does it: the menu shown in a
// window, the 3D view's set-up made ahead while the menu is idle, then the status page asked for
// and swapped in (built, shown, its model drawn) until its 3D view is first painted. Registered first, so
// that no GL context exists before (the shared one is deferred, as in the application).
void BM_StatusPageFirstOpening(benchmark::State& state)
{
    for (auto _ : state) {
        MenuWindow window;
        OX::PageController& controller = window.controller;
        if (!MenuWindow::waitUntilPrepared(10000)) {
            state.SkipWithError("the 3D view's set-up was not made ahead");
            return;
        }
        MenuWindow::settle();
        PaintCounter counter;
        QElapsedTimer clock;
        clock.start();
        // Swapped in at once: the time to the view's first painting is the opening's, not the slide's
        // (bench_status_slide times the slide).
        if (!controller.showPage(QStringLiteral("Status"), OX::Page::NoTransition, 0, true)) {
            state.SkipWithError("the status page was not opened");
            return;
        }
        OX::StatusPage* page = window.status();
        page->view()->installEventFilter(&counter);
        while (counter.paints == 0 && clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        state.counters["first_opening_ms"] = clock.nsecsElapsed() / 1e6;
        page->view()->removeEventFilter(&counter);
        while (controller.isSwitching() && clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
}
BENCHMARK(BM_StatusPageFirstOpening)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The menu and then the status page with the same stream, one after the other, in one run.
void BM_StreamStatusPageAgainstMenu(benchmark::State& state)
{
    Share menu, status;
    for (auto _ : state) {
        menu = cpuShare(state, false);
        status = cpuShare(state, true);
    }
    state.counters["menu_cpu_percent"] = menu.application * 100;
    state.counters["status_cpu_percent"] = status.application * 100;
    state.counters["status_over_menu"] = menu.application > 0 ? status.application / menu.application : 0;
    state.counters["emulator_cpu_percent"] = (menu.emulator + status.emulator) * 50;
}
BENCHMARK(BM_StreamStatusPageAgainstMenu)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// One status update as a notification brings it: the rows and the model, drawn.
void BM_OneStatusUpdate(benchmark::State& state)
{
    Rig rig;
    if (!rig.start(true)) {
        state.SkipWithError("the emulated dongle did not start with its headset");
        return;
    }
    rig.pages.emulator().headsetPower(false); // the page alone from here
    auto* page = static_cast<OX::StatusPage*>(rig.shown.get());
    Headset* headset = rig.pages.headset();
    PaintCounter counter;
    page->view()->installEventFilter(&counter);
    int i = 0;
    for (auto _ : state) {
        int const before = counter.paints;
        page->view()->setOrientation(QQuaternion::fromEulerAngles(float(i++ % 40), 0, 0));
        page->updateWithHeadset(headset, HeadsetChangeMask::orientation | HeadsetChangeMask::battery);
        while (counter.paints == before) // until the model is drawn and shown
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}
// The CPU time counts every thread of the process, the software rasteriser's included.
BENCHMARK(BM_OneStatusUpdate)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(200)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// The 3D view alone, at the status page's size, drawing a head turning 2 degrees a step: no
// emulator, so that an instruction counter (valgrind --tool=callgrind) sees the drawing only.
__attribute__((noinline)) void modelDrawStep(OX::OpenGLView& view, int i)
{
    view.setOrientation(QQuaternion::fromEulerAngles(0, float(i % 20) * 2.0f, 0));
    benchmark::DoNotOptimize(view.grabFramebuffer());
}

void BM_ModelDraw(benchmark::State& state)
{
    OX::OpenGLView view;
    view.resize(674, 579);
    view.setActive(true);
    view.setOrientation(QQuaternion());
    view.grabFramebuffer();
    int i = 0;
    for (auto _ : state)
        modelDrawStep(view, i++);
}
BENCHMARK(BM_ModelDraw)->Unit(benchmark::kMicrosecond)->Iterations(100)->MeasureProcessCPUTime();

// The 3D view at the stream's pace: each pose after a status period without work, drawn and
// painted as the page paints it (the area that changed, into the window's picture). With the
// processor's caches emptied by other work in between, a drawing takes about twice its CPU of
// BM_ModelDraw, back to back: this is the cost the 20 Hz stream pays for each pose.
void BM_ModelDrawAtStreamPace(benchmark::State& state)
{
    constexpr int StatusPeriodMs = 50;
    OX::OpenGLView view;
    view.resize(674, 579);
    view.setActive(true);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view)) {
        state.SkipWithError("the view was not shown");
        return;
    }
    view.setOrientation(QQuaternion());
    QCoreApplication::sendPostedEvents(&view, QEvent::UpdateRequest);
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QThread::msleep(StatusPeriodMs);
        state.ResumeTiming();
        view.setOrientation(QQuaternion::fromEulerAngles(float(i % 7) * 3.0f, float(i % 20) * 2.0f, 0));
        ++i;
        QCoreApplication::sendPostedEvents(&view, QEvent::UpdateRequest); // painted and shown
    }
}
BENCHMARK(BM_ModelDrawAtStreamPace)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(100)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

} // namespace

int main(int argc, char** argv)
{
    return runInterfaceBenchmarks(argc, argv);
}
