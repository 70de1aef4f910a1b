// LINK firmware upload: a 256 KiB image sent by the XMODEM-1K sender on a real serial port
// (a pseudo-terminal, which has no line time of its own) to the emulator's LINK loader.
//
// Counters:
//   line_bytes_per_fw_byte  bytes the sender wrote per byte of firmware (floor: 1029/1024
//                           plus one EOT for the whole image)
//   us_per_block            wall time per block on a line without line time: what a block
//                           costs beyond its line time
//   line_ms_per_block       the line time of one block and its ACK at 57600 baud (8N1), for
//                           comparison
#include "protocol/XModem.h"
#include "tests/protocol/PtyPeer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void quietLog(QtMsgType type, const QMessageLogContext&, const QString& msg)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        fprintf(stderr, "%s\n", qPrintable(msg));
}

bool waitFor(const std::function<bool()>& pred, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!pred()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    return true;
}

void BM_XmodemUpload256KiB(benchmark::State& state)
{
    constexpr int kImageSize = 256 * 1024;
    constexpr int kBlocks = kImageSize / XModem::BLOCK_SIZE;

    QTemporaryDir dir;
    const QString path = dir.filePath("image.enc");
    {
        QByteArray image(kImageSize, Qt::Uninitialized);
        QRandomGenerator gen(42);
        for (char& b : image)
            b = char(gen.bounded(256));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(image) != kImageSize) {
            state.SkipWithError("cannot write the image");
            return;
        }
    }
    testutil::PtyPeer pty;
    if (!pty.open()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    QSerialPort port;
    port.setPortName(pty.slavePath());
    port.setBaudRate(57600);
    if (!port.open(QIODevice::ReadWrite)) {
        state.SkipWithError("cannot open the port");
        return;
    }
    testutil::PtyLoader loader(pty, 1000);
    XModem sender(port);
    bool done = false;
    bool ok = false;
    QObject::connect(&sender, &XModem::uploadFinished, [&](bool success) {
        done = true;
        ok = success;
    });
    sender.start();

    qint64 lineBytes = 0;
    qint64 uploads = 0;
    qint64 uploadNs = 0;
    for (auto _ : state) {
        loader.clearWire();
        loader.enterBootloader();
        if (!waitFor([&] { return sender.isDeviceAvailable(); }, 3000)) {
            state.SkipWithError("the loader was not seen");
            return;
        }
        done = false;
        QElapsedTimer clock;
        clock.start();
        sender.sendFile(path);
        if (!waitFor([&] { return done; }, 60000) || !ok) {
            state.SkipWithError("upload failed");
            return;
        }
        const qint64 ns = clock.nsecsElapsed();
        state.SetIterationTime(double(ns) / 1e9);
        uploadNs += ns;
        lineBytes += loader.wire().size();
        ++uploads;
    }
    state.counters["line_bytes_per_fw_byte"] = double(lineBytes) / double(uploads * kImageSize);
    state.counters["us_per_block"] = double(uploadNs) / 1000.0 / double(uploads * kBlocks);
    state.counters["line_ms_per_block"] = (XModem::FRAME_SIZE + 1) * 10.0 * 1000.0 / 57600.0;
    state.SetBytesProcessed(uploads * kImageSize);
}

} // namespace

BENCHMARK(BM_XmodemUpload256KiB)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(quietLog);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
