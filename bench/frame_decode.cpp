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

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <random>
#include <unistd.h>

#include "app/LogHandler.h"
#include "device/Dongle.h"
#include "tools/emulator/Emulator.h"

namespace {

// A stream of frames, each preceded by garbageBytes of random noise (with sync bytes mixed
// in, so that the header check runs), about totalBytes long.
QByteArray makeStream(int garbageBytes, int totalBytes)
{
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> byte(0, 255);
    const QByteArray notice = Frame::build(Header(0, 0, 0, 0, PacketID::DCP, 11), SCP(9, 0, 1).getData());
    const QByteArray status = Frame::build(Header(0, 0x1234, 2, 4, PacketID::SHP, 11), PacketData(QByteArray(20, '\x11')));
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
BENCHMARK(BM_FrameDecode)->Arg(0)->Arg(16)->Arg(64)->Arg(256)->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond);

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

// One local request (set zero) written to the emulator and answered at once; with logged set,
// every debug line on and written by the application's log handler (to a temporary folder, with
// standard output sent to /dev/null), as the shipped application runs.
void localRoundTrip(benchmark::State& state, bool logged)
{
    QLoggingCategory::setFilterRules(
        logged ? QStringLiteral("*.debug=true") : QStringLiteral("*.debug=false\ndefault.debug=false"));
    QTemporaryDir logDir;
    int savedStdout = -1;
    if (logged) {
        std::fflush(stdout);
        savedStdout = ::dup(1);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::close(null);
        LogHandler::initAt(logDir.path());
    }
    auto restore = qScopeGuard([&] {
        if (!logged)
            return;
        LogHandler::uninstall();
        std::fflush(stdout);
        ::dup2(savedStdout, 1);
        ::close(savedStdout);
        QLoggingCategory::setFilterRules(QString());
    });
    emu::Emulator emulator;
    if (!emulator.start()) {
        state.SkipWithError("emulator did not start");
        return;
    }
    QSerialPort port(emulator.portPath());
    if (!port.open(QIODevice::ReadWrite)) {
        state.SkipWithError("port did not open");
        return;
    }
    QCommandLineParser options;
    auto dongle = std::make_unique<Dongle>(&port, nullptr, options);
    int started = -1;
    dongle->start([&](DongleResult r) { started = r.code; });
    while (started < 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    if (started != 0) {
        state.SkipWithError("dongle did not start");
        return;
    }
    const Header header(0, 0, 0, 0, PacketID::DCP, 0);
    const PacketData payload = SCP(9, 0, 0).getData();
    int failures = 0;
    for (auto _ : state) {
        bool done = false;
        dongle->sendPacket(header, payload, DataPredicate::commandEcho(9), Dongle::LocalTimeoutMs,
                           [&](UHRType const*, PacketData const*, DongleResult r) {
                               failures += r.code != 0 ? 1 : 0;
                               done = true;
                           });
        while (!done)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    state.counters["failures"] = failures;
    dongle.reset();
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

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
