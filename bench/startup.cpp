// Start to the first window: the application's start path against an empty Qt Widgets
// application, each started as a process of its own, in turns, in one run. The time runs from
// the process start to its first exposed window. Goal: the application takes at most 1.3 times
// as long as the empty application. Beside it, the CPU time each process's GUI thread used until
// then (the start's critical path), which other work on a shared machine does not stretch.
//
// Run it where a display is (xvfb-run for a headless machine). Both processes get a temporary
// home and temporary folder, so no settings, log or instance of the user's is touched.
#include "startup/BenchProcess.h"

#include <QCoreApplication>

#include <cstdio>

namespace
{

constexpr int kRuns = 15;
constexpr int kTimeoutMs = 20000;

struct Start {
    double shownMs = -1; // from the start of the program to its first window; -1 when none showed
    double guiCpuMs = -1; // CPU time of its GUI thread until then
};

Start startToFirstWindow(const QString& program, const QProcessEnvironment& env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer clock;
    clock.start();
    process.start(program, QStringList());
    Start start;
    if (bench::waitForLine(process, "shown", clock, kTimeoutMs, &start.shownMs)
        && (process.canReadLine() || process.waitForReadyRead(kTimeoutMs))) {
        const QList<QByteArray> cpu = process.readLine().trimmed().split(' ');
        if (cpu.value(0) == "cpu")
            start.guiCpuMs = cpu.value(1).toDouble();
    }
    bench::finish(process, kTimeoutMs);
    return start;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString dir = QCoreApplication::applicationDirPath();
    const QString orvix = dir + QStringLiteral("/startup_orvix_app");
    const QString empty = dir + QStringLiteral("/startup_empty_app");

    QTemporaryDir home;
    const QProcessEnvironment env = bench::sandboxEnvironment(home);

    // One run of each first, not counted: the files are in the page cache for both.
    startToFirstWindow(empty, env);
    startToFirstWindow(orvix, env);
    std::vector<double> emptyMs, orvixMs, emptyCpu, orvixCpu;
    for (int i = 0; i < kRuns; ++i) {
        const Start e = startToFirstWindow(empty, env);
        const Start o = startToFirstWindow(orvix, env);
        if (e.shownMs < 0 || o.shownMs < 0) {
            std::fprintf(stderr, "a process showed no window (run %d: empty %.1f, OrvixTools %.1f)\n", i,
                e.shownMs, o.shownMs);
            return 1;
        }
        emptyMs.push_back(e.shownMs);
        orvixMs.push_back(o.shownMs);
        emptyCpu.push_back(e.guiCpuMs);
        orvixCpu.push_back(o.guiCpuMs);
    }
    const double e = bench::median(emptyMs);
    const double o = bench::median(orvixMs);
    const double ec = bench::median(emptyCpu);
    const double oc = bench::median(orvixCpu);
    std::printf("start to first window, median of %d runs      wall      GUI thread CPU\n", kRuns);
    std::printf("  empty Qt Widgets application  %8.1f ms %8.1f ms\n", e, ec);
    std::printf("  OrvixTools                     %8.1f ms %8.1f ms\n", o, oc);
    std::printf("  ratio                          %8.2f    %8.2f     (goal <= 1.30)\n", o / e, oc / ec);
    return 0;
}
