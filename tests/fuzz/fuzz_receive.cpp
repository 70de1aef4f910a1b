// Line noise and frames into the dongle's receive path: the framing over its ring, the dispatch
// of every packet kind and what reaches the delegate. The bytes go straight to the reader, as
// the port's readyRead hands them, with no event loop in between.
//
// The input is a run of pieces. A first byte below 0x80 is followed by up to 64 raw bytes; one
// from 0x80 makes a frame with good checks (packet kind, flags, channel, local or given
// addressing, then the payload), which bit 0x20 cuts short or bit 0x10 damages in its body.
// After the input, 134 bytes that start no frame must leave the reader ready: the two frames
// behind them are dispatched whatever came before (the line is never left deaf; frames of the
// input a false header held back may come with them), and they put the channel and the dongle's
// state back for the next input. The frames taken and the bytes held after every piece are those
// of the plain decoder (tests/device/receive_reference.h). Each input goes through every scan
// the processor can run, read piece by piece and then in one read.
#include "device/Dongle.h"
#include "tests/device/receive_reference.h"

#include "tools/emulator/Emulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSerialPort>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace
{

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

class Observer : public DongleDelegate
{
public:
    void progressUpdate(Progress::Context const&) override { }
    void dongleUpdated(Dongle*, DongleChangeMask mask) override
    {
        check((mask & ~DongleChangeMask::all) == 0);
    }
    void headsetFound(Dongle*, Headset*) override { check(!stopped); } // a stopped dongle makes none
    void headsetLost(Dongle*, Headset*) override { }
    void headsetUpdated(Dongle*, Headset*, HeadsetChangeMask) override { }
    void deviceFound(Dongle*, NPP const& npp) override { check(npp.submoduleCount() <= NPP::MaxSubmodules); }
    void headsetRssiUpdatede(Dongle*, unsigned short) override { }
    void headsetChannelChanged(Dongle*, Headset*, int, int) override { }
    void headsetStatusChanged(Dongle*, Headset*, bool, bool) override { }
    void dongleError(Dongle*, DongleResult result) override { last = result; }
    DongleResult* lastError() override { return &last; }
    void playAudioFeedback() override { ++audio; }

    DongleResult last;
    int audio = 0;
    bool stopped = false;
};

const PacketID kinds[16] = { PacketID::RAW, PacketID::SHP, PacketID::ERR, PacketID::CMAP, PacketID::SJP,
    PacketID::PING, PacketID::PONG, PacketID::ACK, PacketID::DCP, PacketID::HCP, PacketID::KEY, PacketID::LCP,
    PacketID::GRCP, PacketID::RSSI, PacketID::NPP, PacketID::DCP };

// The dongle's local notice: PAN, source and destination 0, channel 0.
QByteArray notice(uchar command, uchar lsb, uchar msb)
{
    return buildFrame(Header(0, 0, 0, 0, PacketID::DCP), SCP(command, lsb, msb).getData());
}

Observer* observer = nullptr;
Dongle* dongle = nullptr;
QByteArray settle;
std::vector<QByteArray> taken;

// Reads bytes into the dongle and the plain decoder: the same frames, the same bytes held.
void read(QByteArray const& bytes, receiveref::ReferenceDecoder& reference)
{
    dongle->appendBytes(bytes);
    reference.feed(bytes);
    check(taken == reference.frames());
    check(size_t(dongle->heldBytes()) == reference.held());
}

// Reads the input from its front; bytes past its end read as 0.
struct Reader {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;

    bool atEnd() const { return pos >= size; }
    uchar byte() { return pos < size ? data[pos++] : 0; }
    quint16 word() { return quint16(byte() | byte() << 8); }
    QByteArray bytes(int n)
    {
        const int taken = int(qMin(size - qMin(pos, size), size_t(n)));
        QByteArray out(reinterpret_cast<const char*>(data + pos), taken);
        pos += size_t(taken);
        return out;
    }
};

QByteArray framePiece(uchar lead, Reader& in)
{
    const uchar flags = in.byte();
    const uchar channel = in.byte();
    const bool local = (lead & 0x40) == 0;
    const quint16 pan = local ? 0 : in.word();
    const quint16 source = local ? 0 : in.word();
    const quint16 destination = local ? 0 : in.word();
    // Up to 127 payload bytes: past 119 the frame no longer fits the ring.
    const int length = in.byte() & 0x7F;
    const PacketData payload(in.bytes(length), PacketData::LittleEndian);
    QByteArray frame
        = buildFrame(Header(flags, pan, source, destination, kinds[lead & 0x0F], channel), payload);
    if (lead & 0x20)
        frame.truncate(int(in.byte()) % frame.size());
    else if ((lead & 0x10) && frame.size() > UHRType::SizeOf) {
        const int at = UHRType::SizeOf + int(in.byte()) % (frame.size() - UHRType::SizeOf);
        frame[at] = char(frame.at(at) ^ 0x5A);
    }
    return frame;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    // The dongle is started against the emulator, then stopped (it lets its headset go, makes
    // no new one and sends no request) and its line closed: from then on the fuzzed bytes are
    // all it hears, on the receive path of a started dongle.
    static emu::Emulator emulator;
    static QSerialPort port;
    static QCommandLineParser options;
    observer = new Observer;
    check(emulator.start());
    port.setPortName(emulator.portPath());
    check(port.open(QIODevice::ReadWrite));
    dongle = new Dongle(&port, observer, options);
    bool started = false;
    dongle->start([&started](DongleResult result) {
        check(result.code == DongleResult::Ok);
        started = true;
    });
    QDeadlineTimer deadline(20000);
    while (!started && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    check(started && dongle->isInitialized());
    dongle->stop();
    port.close();
    emulator.stop();
    QCoreApplication::processEvents();
    observer->stopped = true;
    settle = QByteArray(RingBuffer::MaxAvailable, '\0') + notice(64, 3, 0) + notice(9, 0, 1);
    dongle->setFrameTap([](QByteArray const& frame) { taken.push_back(frame); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096)
        return 0;
    Reader in { data, size };
    std::vector<QByteArray> pieces;
    QByteArray joined;
    while (!in.atEnd()) {
        const uchar lead = in.byte();
        pieces.push_back(lead < 0x80 ? in.bytes((lead & 0x3F) + 1) : framePiece(lead, in));
        joined += pieces.back();
    }
    // Through each scan the processor can run, the pieces read one by one, then all in one read
    // (long enough for the scan of many places at once).
    for (const bool wide : { false, true }) {
        if (RingBuffer::setWideScan(wide) != wide)
            continue;
        for (const bool inOne : { false, true }) {
            receiveref::ReferenceDecoder reference;
            taken.clear();
            check(dongle->heldBytes() == 0);
            for (const QByteArray& piece : inOne ? std::vector<QByteArray> { joined } : pieces)
                read(piece, reference);
            const int heard = observer->audio;
            read(settle, reference);
            // The settle's two notices come last; frames of the input held back by a false
            // header before them may come in the same read.
            check(taken.size() >= 2
                && taken[taken.size() - 2] + taken.back() == settle.mid(RingBuffer::MaxAvailable));
            check(observer->audio > heard);
            check(dongle->profile().state == 3);
        }
    }
    RingBuffer::setWideScan(true);
    return 0;
}
