// Idle memory: the application against an empty Qt Widgets application, each started as a
// process of its own that stays after its first window; the application again after Help was
// opened once (the web engine's processes counted with it). Memory is the proportional set size
// (PSS) of the process and all its descendants, read a few seconds after the window (or the
// manual) showed, when nothing is left to do; the resident size (RSS) beside it. The time to the
// first window of each run is printed too, and the CPU the idle process uses without a dongle
// (a share of one core over kCpuMs, goal at most 0.05 %). The ratios against the empty
// application are printed last (goal for the resident size: at most 1.3).
//
// Run it where a display is (xvfb-run for a headless machine). The processes get a temporary
// home and temporary folder, so no settings, log or instance of the user's is touched.
#include "startup/BenchProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{

constexpr int kRuns = 3;
constexpr int kTimeoutMs = 60000;
// Time given to a process after its window (or the manual) showed, before its memory is read.
constexpr int kIdleMs = 4000;
// Time over which the idle process's CPU is read.
constexpr int kCpuMs = 10000;

struct Memory {
    double pssMb = 0;
    double rssMb = 0;
    int processes = 0;
};

struct Run {
    double shownMs = -1;
    double idleCpuPercent = -1;
    double helpMs = -1;
    Memory idle;
    Memory afterHelp;
    bool ok = false;
};

// The process and every process below it.
QList<qint64> processTree(qint64 root)
{
    QMap<qint64, QList<qint64>> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the name may hold blanks and parentheses.
        const QByteArray line = stat.readAll();
        const int close = line.lastIndexOf(')');
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        if (fields.size() > 1)
            children[fields.at(1).toLongLong()].append(pid);
    }
    QList<qint64> tree { root };
    for (int i = 0; i < tree.size(); ++i)
        tree += children.value(tree.at(i));
    return tree;
}

Memory memoryOf(qint64 root)
{
    Memory m;
    for (qint64 pid : processTree(root)) {
        QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
        if (!rollup.open(QIODevice::ReadOnly))
            continue;
        ++m.processes;
        for (const QByteArray& line : rollup.readAll().split('\n')) {
            const QList<QByteArray> parts = line.simplified().split(' ');
            if (parts.size() < 2)
                continue;
            if (parts.at(0) == "Pss:")
                m.pssMb += parts.at(1).toDouble() / 1024.0;
            else if (parts.at(0) == "Rss:")
                m.rssMb += parts.at(1).toDouble() / 1024.0;
        }
    }
    return m;
}

// Nanoseconds on a CPU of every thread of the process and its descendants so far.
double cpuNs(qint64 root)
{
    double total = 0;
    for (qint64 pid : processTree(root)) {
        const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
        for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile stat(tasks + QLatin1Char('/') + task + QStringLiteral("/schedstat"));
            if (stat.open(QIODevice::ReadOnly))
                total += stat.readAll().split(' ').value(0).toDouble();
        }
    }
    return total;
}

Run measure(const QString& program, const QProcessEnvironment& env, bool openHelp)
{
    Run run;
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer clock;
    clock.start();
    process.start(program, QStringList());
    if (bench::waitForLine(process, "shown", clock, kTimeoutMs, &run.shownMs)) {
        QThread::msleep(kIdleMs);
        run.idle = memoryOf(process.processId());
        const double before = cpuNs(process.processId());
        QElapsedTimer cpuClock;
        cpuClock.start();
        QThread::msleep(kCpuMs);
        run.idleCpuPercent = (cpuNs(process.processId()) - before) / double(cpuClock.nsecsElapsed()) * 100.0;
        run.ok = true;
        if (openHelp) {
            QElapsedTimer helpClock;
            helpClock.start();
            process.write("help\n");
            run.ok = bench::waitForLine(process, "help shown", helpClock, kTimeoutMs, &run.helpMs);
            if (run.ok) {
                QThread::msleep(kIdleMs);
                run.afterHelp = memoryOf(process.processId());
            }
        }
    }
    process.write("quit\n");
    process.closeWriteChannel();
    bench::finish(process, kTimeoutMs);
    return run;
}

template <typename F> double medianOf(const std::vector<Run>& runs, F field)
{
    std::vector<double> values;
    for (const Run& r : runs)
        values.push_back(field(r));
    return bench::median(values);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString dir = QCoreApplication::applicationDirPath();
    const QString orvix = dir + QStringLiteral("/startup_orvix_app");
    const QString empty = dir + QStringLiteral("/startup_empty_app");

    QTemporaryDir home;
    QProcessEnvironment env = bench::sandboxEnvironment(home);
    env.insert(QStringLiteral("ORVIX_BENCH_STAY"), QStringLiteral("1"));

    std::vector<Run> emptyRuns, orvixRuns;
    for (int i = 0; i < kRuns; ++i) {
        const Run e = measure(empty, env, false);
        const Run o = measure(orvix, env, true);
        if (!e.ok || !o.ok) {
            std::fprintf(stderr,
                "run %d: a process showed no window or no manual (empty %s, OrvixTools %s)\n", i,
                e.ok ? "ok" : "failed", o.ok ? "ok" : "failed");
            return 1;
        }
        emptyRuns.push_back(e);
        orvixRuns.push_back(o);
    }
    auto row = [](const char* name, const std::vector<Run>& runs, bool help) {
        std::printf("  %-34s %8.1f ms %8.1f MB %8.1f MB %4d\n", name,
            medianOf(runs, [help](const Run& r) { return help ? r.helpMs : r.shownMs; }),
            medianOf(runs, [help](const Run& r) { return help ? r.afterHelp.pssMb : r.idle.pssMb; }),
            medianOf(runs, [help](const Run& r) { return help ? r.afterHelp.rssMb : r.idle.rssMb; }),
            int(medianOf(
                runs, [help](const Run& r) { return help ? r.afterHelp.processes : r.idle.processes; })));
    };
    std::printf("idle memory, median of %d runs (processes counted with their descendants)\n", kRuns);
    std::printf("  %-34s %11s %11s %11s %4s\n", "", "shown in", "PSS", "RSS", "proc");
    row("empty Qt Widgets application", emptyRuns, false);
    row("OrvixTools, Help never opened", orvixRuns, false);
    row("OrvixTools, after Help opened once", orvixRuns, true);
    std::printf(
        "  (shown in: from the start to the first window; for Help, from the request to the manual)\n");
    const auto idleRss = [](const Run& r) { return r.idle.rssMb; };
    const auto idlePss = [](const Run& r) { return r.idle.pssMb; };
    const auto cpu = [](const Run& r) { return r.idleCpuPercent; };
    std::printf(
        "  idle CPU without a dongle: empty %.3f %%, OrvixTools %.3f %% of a core (goal <= 0.05 %%)\n",
        medianOf(emptyRuns, cpu), medianOf(orvixRuns, cpu));
    std::printf("  ratio against the empty application: RSS %.2f (goal <= 1.30), PSS %.2f\n",
        medianOf(orvixRuns, idleRss) / medianOf(emptyRuns, idleRss),
        medianOf(orvixRuns, idlePss) / medianOf(emptyRuns, idlePss));
    return 0;
}
