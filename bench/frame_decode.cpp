// Receive-side speed of the dongle: frame decoding from a byte stream that mixes good frames
// with line noise, and the round trip of a local request to an emulated dongle, quiet and with
// every debug line logged (logging may cost at most a quarter of a request).
//
// The serial line carries about 5.76 kB/s (57600 baud, 10 bits a byte); decoding must run at
// least ten thousand times faster than that (57.6 MB/s) and stay linear in the noise.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QScopeGuard>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <random>
#include <string>
#include <time.h>
#include <unistd.h>
#include <vector>

#include "app/LogHandler.h"
#include "device/Dongle.h"
#include "tools/emulator/Emulator.h"

namespace
{

// A stream of frames, each preceded by garbageBytes of random noise (with sync bytes mixed
// in, so that the header check runs), about totalBytes long.
QByteArray makeStream(int garbageBytes, int totalBytes)
{
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> byte(0, 255);
    const QByteArray notice = Frame::build(Header(0, 0, 0, 0, PacketID::DCP, 11), SCP(9, 0, 1).getData());
    const QByteArray status
        = Frame::build(Header(0, 0x1234, 2, 4, PacketID::SHP, 11), PacketData(QByteArray(20, '\x11')));
    QByteArray stream;
    stream.reserve(totalBytes + 256);
    bool odd = false;
    while (stream.size() < totalBytes) {
        for (int i = 0; i < garbageBytes; ++i) {
            const int b = byte(random);
            // One byte in 16 of the noise starts a false sync pair.
            if ((b & 0x0F) == 0) {
                stream.append(char(0x55));
                stream.append(char(0xAA));
                ++i;
            } else {
                stream.append(char(b));
            }
        }
        stream.append(odd ? status : notice);
        odd = !odd;
    }
    return stream;
}

void BM_FrameDecode(benchmark::State& state)
{
    QLoggingCategory::setFilterRules(QStringLiteral("orvix.dongle.debug=false"));
    const int garbage = int(state.range(0));
    const QByteArray stream = makeStream(garbage, 1 << 20);
    QCommandLineParser options;
    Dongle dongle(nullptr, nullptr, options);
    for (auto _ : state)
        dongle.appendBytes(stream);
    state.SetBytesProcessed(int64_t(state.iterations()) * stream.size());
    state.counters["garbage_per_frame"] = garbage;
}
BENCHMARK(BM_FrameDecode)
    ->Arg(0)
    ->Arg(16)
    ->Arg(64)
    ->Arg(256)
    ->Arg(1024)
    ->Arg(4096)
    ->Unit(benchmark::kMillisecond);

// Two streams of false headers, each about 1 MiB: repeated 55 AA pairs whose header check byte
// never fits, and back-to-back headers with L = 121 whose payload sums are wrong. Both must
// decode at 57.6 MB/s or more.
QByteArray makeFalseHeaderStream(int which)
{
    QByteArray stream;
    stream.reserve((1 << 20) + 256);
    if (which == 0) {
        while (stream.size() < (1 << 20))
            stream.append("\x55\xAA", 2);
        return stream;
    }
    std::mt19937 random(77);
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray payload(119, Qt::Uninitialized);
    for (char& b : payload)
        b = char(byte(random));
    QByteArray frame = Frame::build(Header(0, 0x1234, 2, 4, PacketID::SHP, 11), PacketData(payload));
    // The payload sum's low byte is spoilt.
    frame[frame.size() - 2] = char(frame.at(frame.size() - 2) ^ 0x5A);
    while (stream.size() < (1 << 20))
        stream.append(frame);
    return stream;
}

void BM_FalseHeaders(benchmark::State& state)
{
    QLoggingCategory::setFilterRules(QStringLiteral("orvix.dongle.debug=false"));
    const QByteArray stream = makeFalseHeaderStream(int(state.range(0)));
    QCommandLineParser options;
    Dongle dongle(nullptr, nullptr, options);
    for (auto _ : state)
        dongle.appendBytes(stream);
    state.SetBytesProcessed(int64_t(state.iterations()) * stream.size());
    state.SetLabel(
        state.range(0) == 0 ? "repeated 55 AA, bad header check" : "L = 121 headers, bad payload sums");
}
BENCHMARK(BM_FalseHeaders)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// About 1 MiB of unit repeated.
QByteArray repeated(const QByteArray& unit)
{
    QByteArray stream;
    stream.reserve((1 << 20) + unit.size());
    while (stream.size() < (1 << 20))
        stream.append(unit);
    return stream;
}

// A status frame with L = 121.
QByteArray longStatusFrame()
{
    return Frame::build(Header(0, 0x1234, 2, 4, PacketID::SHP, 11), PacketData(QByteArray(119, '\x11')));
}

// Back-to-back headers announcing L = 121, nothing between them: every header passes its own
// check, and the 121 bytes it announces (the next nine headers) never pass the payload check.
QByteArray makeBackToBackHeaderStream()
{
    return repeated(longStatusFrame().left(UHRType::SizeOf));
}

// A clean stream of the same size: the status frames back to back, all of them good.
QByteArray makeCleanStream()
{
    return repeated(longStatusFrame());
}

double threadCpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Bytes a second the dongle decodes of stream once, in thread CPU time.
double decodeRate(Dongle& dongle, const QByteArray& stream)
{
    const double start = threadCpuSeconds();
    dongle.appendBytes(stream);
    return stream.size() / (threadCpuSeconds() - start);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The back-to-back L = 121 headers against the clean stream: the two are decoded in turns, one
// after the other in each round, so that a change in the machine's load meets both; the figure
// is the median of the rounds' ratios (goal >= 0.6).
void BM_BackToBackHeadersAgainstClean(benchmark::State& state)
{
    QLoggingCategory::setFilterRules(QStringLiteral("orvix.dongle.debug=false"));
    const QByteArray headers = makeBackToBackHeaderStream();
    const QByteArray clean = makeCleanStream();
    constexpr int Rounds = 21;
    std::vector<double> cleanRates, headerRates, ratios;
    for (auto _ : state) {
        QCommandLineParser options;
        Dongle cleanDongle(nullptr, nullptr, options), headerDongle(nullptr, nullptr, options);
        for (int round = 0; round < Rounds; ++round) {
            cleanRates.push_back(decodeRate(cleanDongle, clean));
            headerRates.push_back(decodeRate(headerDongle, headers));
            ratios.push_back(headerRates.back() / cleanRates.back());
        }
    }
    state.counters["clean_MB_per_s"] = median(cleanRates) / 1e6;
    state.counters["headers_MB_per_s"] = median(headerRates) / 1e6;
    state.counters["ratio"] = median(ratios);
}
BENCHMARK(BM_BackToBackHeadersAgainstClean)->Iterations(1)->Unit(benchmark::kMillisecond);

// The two streams of that figure on their own, for builds compared side by side
// (bench/decode_side_by_side.py).
void BM_LongFrames(benchmark::State& state)
{
    QLoggingCategory::setFilterRules(QStringLiteral("orvix.dongle.debug=false"));
    const QByteArray stream = state.range(0) == 0 ? makeCleanStream() : makeBackToBackHeaderStream();
    QCommandLineParser options;
    Dongle dongle(nullptr, nullptr, options);
    for (auto _ : state)
        dongle.appendBytes(stream);
    state.SetBytesProcessed(int64_t(state.iterations()) * stream.size());
    state.SetLabel(state.range(0) == 0 ? "clean L = 121 frames" : "back-to-back L = 121 headers");
}
BENCHMARK(BM_LongFrames)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Pure noise of growing size: the time must grow linearly with it.
void BM_GarbageScan(benchmark::State& state)
{
    QLoggingCategory::setFilterRules(QStringLiteral("orvix.dongle.debug=false"));
    const int size = int(state.range(0));
    std::mt19937 random(99);
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray noise(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        noise[i] = char((i % 7 == 0) ? 0x55 : (i % 7 == 1) ? 0xAA : byte(random));
    QCommandLineParser options;
    Dongle dongle(nullptr, nullptr, options);
    for (auto _ : state)
        dongle.appendBytes(noise);
    state.SetBytesProcessed(int64_t(state.iterations()) * size);
    state.SetComplexityN(size);
}
BENCHMARK(BM_GarbageScan)->RangeMultiplier(4)->Range(1 << 12, 1 << 22)->Complexity(benchmark::oN);

// Standard output sent to /dev/null and the application's log handler writing to a temporary
// folder, as the shipped application runs (without a terminal), for as long as it lives. Every
// line is counted on its way to the handler.
class LoggedRun
{
public:
    LoggedRun()
    {
        std::fflush(stdout);
        m_savedStdout = ::dup(1);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::close(null);
        LogHandler::initAt(m_logDir.path());
        s_lines = 0;
        qInstallMessageHandler(countLine);
    }
    ~LoggedRun()
    {
        LogHandler::uninstall();
        std::fflush(stdout);
        ::dup2(m_savedStdout, 1);
        ::close(m_savedStdout);
        QLoggingCategory::setFilterRules(QString());
    }
    static qint64 lines() { return s_lines; }

private:
    static void countLine(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        ++s_lines;
        oxMessageHandler(type, context, message);
    }
    static inline std::atomic<qint64> s_lines { 0 };
    QTemporaryDir m_logDir;
    int m_savedStdout = -1;
};

void setDebugLines(bool on)
{
    QLoggingCategory::setFilterRules(
        on ? QStringLiteral("*.debug=true") : QStringLiteral("*.debug=false\ndefault.debug=false"));
}

// A dongle started on the emulator's port, answering local requests (set zero) at once.
class RoundTripRig
{
public:
    // Empty when everything started, else what did not.
    const char* start()
    {
        if (!m_emulator.start())
            return "emulator did not start";
        m_port.setPortName(m_emulator.portPath());
        if (!m_port.open(QIODevice::ReadWrite))
            return "port did not open";
        m_dongle = std::make_unique<Dongle>(&m_port, nullptr, m_options);
        int started = -1;
        m_dongle->start([&](DongleResult r) { started = r.code; });
        while (started < 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        return started == 0 ? nullptr : "dongle did not start";
    }
    // One request written and its echo awaited; whether it succeeded.
    bool request()
    {
        bool done = false;
        bool ok = false;
        m_dongle->sendPacket(m_header, m_payload, DataPredicate::commandEcho(9), Dongle::LocalTimeoutMs,
            [&](UHRType const*, PacketData const*, DongleResult r) {
                ok = r.code == 0;
                done = true;
            });
        while (!done)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        return ok;
    }
    ~RoundTripRig() { m_dongle.reset(); }

private:
    emu::Emulator m_emulator;
    QSerialPort m_port;
    QCommandLineParser m_options;
    std::unique_ptr<Dongle> m_dongle;
    const Header m_header { 0, 0, 0, 0, PacketID::DCP, 0 };
    const PacketData m_payload = SCP(9, 0, 0).getData();
};

// One local request written to the emulator and answered at once; with logged set, every debug
// line on and written by the application's log handler.
void localRoundTrip(benchmark::State& state, bool logged)
{
    setDebugLines(logged);
    std::unique_ptr<LoggedRun> log(logged ? new LoggedRun : nullptr);
    auto restore = qScopeGuard([] { QLoggingCategory::setFilterRules(QString()); });
    RoundTripRig rig;
    if (const char* error = rig.start()) {
        state.SkipWithError(error);
        return;
    }
    int failures = 0;
    for (auto _ : state)
        failures += rig.request() ? 0 : 1;
    state.counters["failures"] = failures;
}

void BM_LocalRoundTrip(benchmark::State& state)
{
    localRoundTrip(state, false);
}
BENCHMARK(BM_LocalRoundTrip)->Unit(benchmark::kMillisecond)->Iterations(200)->UseRealTime();

void BM_LocalRoundTripLogged(benchmark::State& state)
{
    localRoundTrip(state, true);
}
BENCHMARK(BM_LocalRoundTripLogged)->Unit(benchmark::kMillisecond)->Iterations(200)->UseRealTime();

// The process's CPU time (all its threads: the dongle's, the emulator's, the log's flusher) in ms.
double processCpuMs()
{
    timespec t {};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// What logging costs a local request: blocks of requests without and with every debug line, in
// turns on one dongle so that a load on the machine weighs on both alike. The medians of the
// blocks give the request's time, the extra time of logging and its share (at most a quarter),
// in real time and in the process's CPU time (which waits on other processes disturb less).
void BM_LoggingCost(benchmark::State& state)
{
    constexpr int kBlock = 50;
    LoggedRun log;
    auto restore = qScopeGuard([] { setDebugLines(false); });
    RoundTripRig rig;
    if (const char* error = rig.start()) {
        state.SkipWithError(error);
        return;
    }
    struct Blocks {
        std::vector<double> realMs;
        std::vector<double> cpuMs;
    } quiet, logged;
    qint64 lines = 0;
    int failures = 0;
    auto block = [&](bool on) {
        setDebugLines(on);
        const qint64 linesBefore = LoggedRun::lines();
        const double cpuBefore = processCpuMs();
        const auto begin = std::chrono::steady_clock::now();
        for (int i = 0; i < kBlock; ++i)
            failures += rig.request() ? 0 : 1;
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - begin;
        Blocks& blocks = on ? logged : quiet;
        blocks.realMs.push_back(took.count() / kBlock);
        blocks.cpuMs.push_back((processCpuMs() - cpuBefore) / kBlock);
        if (on)
            lines += LoggedRun::lines() - linesBefore;
    };
    for (auto _ : state) {
        block(false);
        block(true);
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const double quietMs = median(quiet.realMs);
    const double extraMs = median(logged.realMs) - quietMs;
    const double quietCpuMs = median(quiet.cpuMs);
    const double extraCpuMs = median(logged.cpuMs) - quietCpuMs;
    state.counters["request_ms"] = quietMs;
    state.counters["logging_extra_ms"] = extraMs;
    state.counters["logging_share"] = extraMs / quietMs;
    state.counters["request_cpu_ms"] = quietCpuMs;
    state.counters["logging_extra_cpu_ms"] = extraCpuMs;
    state.counters["logging_cpu_share"] = extraCpuMs / quietCpuMs;
    state.counters["lines_per_request"] = double(lines) / double(logged.realMs.size() * kBlock);
    state.counters["failures"] = failures;
}
BENCHMARK(BM_LoggingCost)->Unit(benchmark::kMillisecond)->Iterations(60)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // --narrow_scan: reads scanned sixteen places at a time even where the processor has AVX2.
    const auto narrow = std::find(argv + 1, argv + argc, std::string("--narrow_scan"));
    if (narrow != argv + argc) {
        RingBuffer::setWideScan(false);
        std::rotate(narrow, narrow + 1, argv + argc--);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
