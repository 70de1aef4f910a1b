// Start to the first window: the application's start path against an empty Qt Widgets
// application of the same window size, each started as a process of its own, in turns, in one
// run. The time runs from the process start to the X server mapping its first top-level window,
// as this benchmark's own connection to the server sees it (no line on a pipe, whose reading
// would add the same delay to both). Goal: the application takes at most 1.3 times as long as the
// empty application. Beside it, the CPU time each process's GUI thread used until its window was
// first exposed (the start's critical path, which other work on a shared machine does not
// stretch), and the CPU time of all its threads until then.
//
// Run it where a display is (xvfb-run for a headless machine). Both processes get a temporary
// home and temporary folder, so no settings, log or instance of the user's is touched. With
// --first-start every start gets a new one: each is a first start, which writes the built-in
// profiles to a new settings file and makes the log folder; without it, the runs after the first
// find both. --runs N counts N rounds instead of 21.
#include "startup/BenchProcess.h"
#include "startup/WindowMap.h"

#include <QCoreApplication>

#include <cstdio>

namespace
{

constexpr int kDefaultRuns = 21;
constexpr int kTimeoutMs = 20000;

struct Start {
    double mappedMs = -1; // from the start of the program to its first window mapped; -1 when none
    double guiCpuMs = -1; // CPU time of its GUI thread until its first window was exposed
    double processCpuMs = -1; // CPU time of all its threads until then
};

Start startToFirstWindow(bench::WindowMap& map, QString const& program, QProcessEnvironment const& env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    map.drain();
    QElapsedTimer clock;
    clock.start();
    process.start(program, QStringList());
    Start start;
    start.mappedMs = map.waitForMap(clock, kTimeoutMs);
    if (start.mappedMs >= 0 && bench::waitForLine(process, "shown", clock, kTimeoutMs)
        && (process.canReadLine() || process.waitForReadyRead(kTimeoutMs))) {
        QList<QByteArray> const cpu = process.readLine().trimmed().split(' ');
        if (cpu.value(0) == "cpu") {
            start.guiCpuMs = cpu.value(1).toDouble();
            start.processCpuMs = cpu.value(2).toDouble();
        }
    }
    bench::finish(process, kTimeoutMs);
    return start;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString const dir = QCoreApplication::applicationDirPath();
    QString const orvix = dir + QStringLiteral("/startup_orvix_app");
    QString const empty = dir + QStringLiteral("/startup_empty_app");

    bench::WindowMap map;
    if (!map.isValid()) {
        std::fputs("no X display to watch (run under xvfb-run)\n", stderr);
        return 1;
    }
    bool const firstStarts = app.arguments().contains(QStringLiteral("--first-start"));
    // --runs N: the number of counted rounds (a larger one for a busy machine).
    int const runsAt = app.arguments().indexOf(QStringLiteral("--runs"));
    int const runs = runsAt > 0 ? qMax(1, app.arguments().value(runsAt + 1).toInt()) : kDefaultRuns;
    QTemporaryDir home;
    QProcessEnvironment const env = bench::sandboxEnvironment(home);
    auto startOnce = [&](QString const& program) {
        if (!firstStarts)
            return startToFirstWindow(map, program, env);
        QTemporaryDir fresh;
        return startToFirstWindow(map, program, bench::sandboxEnvironment(fresh));
    };

    // One run of each first, not counted: the files are in the page cache for both.
    startOnce(empty);
    startOnce(orvix);
    std::vector<double> emptyMs, orvixMs, emptyCpu, orvixCpu, emptyAll, orvixAll;
    for (int i = 0; i < runs; ++i) {
        // Which of the two goes first alternates, so that neither always follows the other.
        Start e, o;
        if (i % 2 == 0) {
            e = startOnce(empty);
            o = startOnce(orvix);
        } else {
            o = startOnce(orvix);
            e = startOnce(empty);
        }
        if (e.mappedMs < 0 || o.mappedMs < 0 || e.guiCpuMs < 0 || o.guiCpuMs < 0) {
            std::fprintf(stderr, "a process showed no window (run %d: empty %.1f, OrvixTools %.1f)\n", i,
                e.mappedMs, o.mappedMs);
            return 1;
        }
        emptyMs.push_back(e.mappedMs);
        orvixMs.push_back(o.mappedMs);
        emptyCpu.push_back(e.guiCpuMs);
        orvixCpu.push_back(o.guiCpuMs);
        emptyAll.push_back(e.processCpuMs);
        orvixAll.push_back(o.processCpuMs);
    }
    double const e = bench::median(emptyMs);
    double const o = bench::median(orvixMs);
    double const ec = bench::median(emptyCpu);
    double const oc = bench::median(orvixCpu);
    double const ea = bench::median(emptyAll);
    double const oa = bench::median(orvixAll);
    std::printf("start to first window, median of %d alternating runs%s\n", runs,
        firstStarts ? ", each a first start" : "");
    std::printf("                                 to the map  GUI thread CPU  all threads CPU\n");
    std::printf("  empty Qt Widgets application  %8.1f ms  %10.1f ms  %11.1f ms\n", e, ec, ea);
    std::printf("  OrvixTools                     %8.1f ms  %10.1f ms  %11.1f ms\n", o, oc, oa);
    std::printf("  ratio                          %8.2f     %10.2f     %11.2f     (goal <= 1.30, wall and "
                "GUI thread)\n",
        o / e, oc / ec, oa / ea);
    return 0;
}
