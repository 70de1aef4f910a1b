// Start to the first window: the application's start path against an empty Qt Widgets
// application, each started as a process of its own, in turns, in one run. The time runs from
// the process start to its first exposed window. Goal: the application takes at most 1.3 times
// as long as the empty application.
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

// Milliseconds from the start of program to its first window; -1 when it never showed one.
double startToFirstWindow(const QString& program, const QProcessEnvironment& env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer clock;
    clock.start();
    process.start(program, QStringList());
    double shownMs = -1;
    bench::waitForLine(process, "shown", clock, kTimeoutMs, &shownMs);
    bench::finish(process, kTimeoutMs);
    return shownMs;
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
    std::vector<double> emptyMs, orvixMs;
    for (int i = 0; i < kRuns; ++i) {
        const double e = startToFirstWindow(empty, env);
        const double o = startToFirstWindow(orvix, env);
        if (e < 0 || o < 0) {
            std::fprintf(
                stderr, "a process showed no window (run %d: empty %.1f, OrvixTools %.1f)\n", i, e, o);
            return 1;
        }
        emptyMs.push_back(e);
        orvixMs.push_back(o);
    }
    const double e = bench::median(emptyMs);
    const double o = bench::median(orvixMs);
    std::printf("start to first window, median of %d runs\n", kRuns);
    std::printf("  empty Qt Widgets application  %8.1f ms\n", e);
    std::printf("  OrvixTools                     %8.1f ms\n", o);
    std::printf("  ratio                          %8.2f  (goal <= 1.30)\n", o / e);
    return 0;
}
