#include "device/Dongle.h"

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QMetaEnum>
#include <QTextStream>
#include <QThread>

#include <chrono>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "async/OperationQueue.h"
#include "async/ThreadHandover.h"
#include "async/WaitBlock.h"
#include "protocol/Checksum.h"
#include "protocol/LPP.h"
#include "protocol/Print.h"
#include "protocol/SerialLine.h"
#include "protocol/XModem.h"

Q_LOGGING_CATEGORY(lcDongle, "orvix.dongle")

namespace
{

constexpr char const* HeaderDumpFields = ":2x, F:1b, PAN:2d, S:2x, D:2x, L:1d, PID:1d, CH:1d, CRC:1x";
// The longest body whose whole frame fits the ring: 13 + L <= 134.
constexpr int MaxBodyLength = RingBuffer::MaxAvailable - UHRType::SizeOf;
// A body must hold at least its two checksum bytes.
constexpr int MinBodyLength = 2;
// The place of the body's length in a header.
constexpr int LengthAt = 9;

// Whether a header's check byte fits its first twelve bytes, readable bytes being there to read:
// the check byte is 256 less their sum, so the thirteen add up to a multiple of 256.
bool headerSumFits(const uchar* header, ptrdiff_t readable)
{
    static_assert(UHRType::SizeOf == 13, "the check byte follows twelve header bytes");
    if (readable >= 16)
        return (RingBuffer::sumOfFirst<UHRType::SizeOf>(header) & 0xFFu) == 0;
    uchar copy[16] = {};
    std::memcpy(copy, header, UHRType::SizeOf);
    return (RingBuffer::sumOfFirst<UHRType::SizeOf>(copy) & 0xFFu) == 0;
}

// The length and check byte of a header whose thirteen bytes are there, in the ring's order
// (decodeHeld): the length first, as it costs least.
bool headerFits(const uchar* header, ptrdiff_t readable)
{
    const unsigned length = header[LengthAt];
    return length - MinBodyLength <= unsigned(MaxBodyLength - MinBodyLength)
        && headerSumFits(header, readable);
}

// The first sync byte from p on, or null.
const uchar* findSync(const uchar* p, const uchar* end)
{
    const int count = int(end - p);
    const int at = RingBuffer::find(p, count, count, Frame::Sync0);
    return at < count ? p + at : nullptr;
}

DongleResult timedOut()
{
    return DongleResult(DongleResult::TimedOut);
}

// What a request still open when the dongle stops or goes ends with.
DongleResult removed()
{
    return DongleResult(DongleResult::DongleRemoved);
}

} // namespace

// A counting semaphore on standard primitives (so that thread checkers see its hand-overs).
struct Dongle::Gate {
    std::mutex lock;
    std::condition_variable wake;
    int count = 0;

    void release()
    {
        std::lock_guard<std::mutex> guard(lock);
        ++count;
        wake.notify_all();
    }
    void acquire()
    {
        std::unique_lock<std::mutex> guard(lock);
        wake.wait(guard, [this] { return count > 0; });
        --count;
    }
};

// One single request: its frame, its reply test and its completion, shared by the caller's
// thread, the send worker and the GUI thread.
struct Dongle::Request {
    QByteArray frame;
    PacketPredicate predicate;
    int timeoutMs = 0;
    ReplyCallback callback;
    // Claimed once by whoever completes the request.
    std::atomic<bool> completed { false };
    // Released by the reply handler of each attempt (or by the teardown).
    Gate replied;
    // Checked on the GUI thread before each attempt (see sendPacketWithPredicate).
    SendCheck beforeSending;
    Gate checked;
    // The wait of the attempt in progress; set by the worker, cleared on the GUI thread when
    // the wait reports (before it can be released), read only on the GUI thread.
    std::atomic<WaitBlock*> wait { nullptr };
    // 0 waiting, 1 answered, 2 failed, 3 another attempt follows.
    std::atomic<int> state { 0 };
    std::atomic<int> attempt { 1 };

    bool claim() { return !completed.exchange(true); }
};

// One request list: its callbacks, completed once.
struct Dongle::RequestList {
    ListReplyCallback onReply;
    ResultCallback onDone;
    std::atomic<bool> completed { false };

    bool claim() { return !completed.exchange(true); }
};

Dongle::Dongle(
    QSerialPort* port, DongleDelegate* delegate, QCommandLineParser const& options, QObject* parent)
    : QObject(parent)
    , m_port(port)
    , m_delegate(delegate)
    , m_packetQueue(new OperationQueue(QStringLiteral("PacketQueue"), true))
    , m_sendQueue(new OperationQueue(QStringLiteral("SendPacketQueue"), true))
    , m_repeater(new OperationQueue(QStringLiteral("PacketRepeater"), false))
    , m_progress(delegate)
    , m_options(&options)
{
    m_expectedRevision = protocolRevision();
    qRegisterMetaType<DongleChangeMask>("DongleChangeMask");
    qRegisterMetaType<HeadsetChangeMask>("HeadsetChangeMask");
    qRegisterMetaType<DongleResult>("DongleResult");
    m_profile.state = quint8(DongleState::SCAN);
    if (m_port) {
        connect(m_port, &QSerialPort::errorOccurred, this, &Dongle::handleError);
        connect(m_port, &QSerialPort::readyRead, this, &Dongle::readData);
    }
    connect(this, &Dongle::write, this, &Dongle::writeData);
}

Dongle::~Dongle()
{
    // The owner is taking the dongle away: it hears nothing more about it.
    m_delegate = nullptr;
    m_progress.delegate = nullptr;
    stop();

    // Wake every worker that waits for this thread, complete whatever is still registered,
    // then join the workers. The packet queue feeds the send queue, which feeds the
    // repeater, so they are joined in that order.
    {
        std::lock_guard<std::mutex> lock(m_registryLock);
        m_tearingDown = true;
        for (Gate* gate : m_blockers)
            gate->release();
    }
    cancelCurrentWait();
    abortRegistered();
    m_packetQueue.reset();
    m_sendQueue.reset();
    m_repeater.reset();
    // Anything a worker registered on its way out.
    abortRegistered();
    if (m_xmodem) {
        m_xmodem->stop();
        delete m_xmodem;
        m_xmodem = nullptr;
    }
}

// ---- Serial port slots ----------------------------------------------------------------------

void Dongle::readData()
{
    if (!m_port)
        return;
    // The port holds what it has read in its own buffer: taken in one piece of exactly that size
    // (readAll() would grow a 16 KB block and shrink it again at every status).
    const QByteArray bytes = m_port->read(m_port->bytesAvailable());
    if (!bytes.isEmpty()) {
        m_failingSince.invalidate();
        m_readRetry.received();
    }
    appendBytes(bytes);
}

void Dongle::handleError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError) {
        if (!m_clearingError)
            m_lastError = QSerialPort::NoError;
        return;
    }
    // A vanished device makes the port report the same error in a tight loop: log it once.
    if (error != m_lastError) {
        m_lastError = error;
        const char* name = QMetaEnum::fromType<QSerialPort::SerialPortError>().valueToKey(error);
        qCInfo(lcDongle).noquote() << "Serial port error occured:" << (name ? name : "UnknownError");
    }
    if (!SerialLine::isReadFailure(error) || !m_port || m_lineGone)
        return;
    // A line that hung up or vanished is read no more: its owner takes the dongle away.
    const QString gone = SerialLine::goneReason(m_port, error);
    if (!gone.isEmpty()) {
        giveUpLine(gone);
        return;
    }
    // During a firmware upload the sender reads the line: it resumes reading itself and its own
    // time-outs end an upload whose line keeps failing. No byte reaches readData then, so the
    // count below would run out under a healthy upload.
    if (m_xmodemActive.load())
        return;
    // A failure on a live line is retried, unless failures have kept coming without a byte
    // for too long. A failure after a long quiet starts a new count.
    if (!m_failingSince.isValid() || m_lastFailure.elapsed() >= LineFailureLimitMs)
        m_failingSince.start();
    m_lastFailure.start();
    if (m_failingSince.elapsed() >= LineFailureLimitMs) {
        const QString reason
            = QStringLiteral("read failing without data for %1 ms").arg(m_failingSince.elapsed());
        qCWarning(lcDongle).noquote() << QStringLiteral("Serial port %1: line taken as gone").arg(reason);
        giveUpLine(reason);
        return;
    }
    // Qt is inside its own read handler: the line is read again from the event loop, after a
    // pause that grows while the failures go on, and not watched meanwhile (a line that keeps
    // polling readable would otherwise be read and fail on every pass of the event loop).
    m_readRetry.failed(*m_port);
}

void Dongle::resumeReading()
{
    if (!m_port || m_lineGone || !m_port->isOpen())
        return;
    // During a firmware upload the bytes stay in the port's buffer for the sender.
    m_clearingError = true;
    SerialLine::resumeReading(*m_port);
    m_clearingError = false;
    if (!m_xmodemActive.load() && m_port->bytesAvailable() > 0)
        readData();
}

void Dongle::giveUpLine(QString const& reason)
{
    m_lineGone = true;
    m_readRetry.stop();
    disconnect(m_port, &QSerialPort::readyRead, this, &Dongle::readData);
    emit lineGone(reason);
}

void Dongle::writeData(QByteArray const& bytes)
{
    // Nothing may leak into a firmware upload, and a port that is gone takes nothing.
    if (!m_port || m_xmodemActive.load() || !m_port->isOpen())
        return;
    const qint64 written = m_port->write(bytes);
    if (written > 0)
        m_burstBytes += written;
    if (written == 0 && m_repeater && m_repeater->hasOperations())
        m_repeater->cancelAllOperations(false);
}

// ---- Framing ----------------------------------------------------------------------------------

void Dongle::appendBytes(QByteArray const& bytes)
{
    const uchar* const begin = reinterpret_cast<const uchar*>(bytes.constData());
    const uchar* const end = begin + bytes.size();
    const uchar* p = begin;
    // A frame begun in an earlier read is finished in the ring. Once the ring holds only bytes
    // of this read, they are read again where they lie.
    while (p < end && !m_ring.isEmpty()) {
        // The bytes up to the next header, or to the end of the frame whose header waits, go
        // into the ring at once; the ring is looked at when they are there. A frame never
        // needs more than the ring holds, so no byte finds it full.
        const int wanted = UHRType::SizeOf + m_savedLength - m_ring.available();
        // The ring may read ahead of what it takes (never past the bytes read from the line).
        const int readable = int(std::min<ptrdiff_t>(end - p, RingBuffer::Size));
        const int taken = m_ring.append(p, std::min(wanted, readable), readable);
        if (taken == 0) {
            // Cannot happen with a sound header; a ring found full is emptied, as it always was.
            m_ring.clear();
            m_savedLength = 0;
            ++p;
            continue;
        }
        p += taken;
        if (m_ring.available() >= UHRType::SizeOf + m_savedLength)
            decodeHeld();
        if (m_ring.available() <= p - begin) {
            p -= m_ring.available();
            m_ring.clear();
            m_savedLength = 0;
        }
    }
    decodeInPlace(p, end);
}

void Dongle::decodeInPlace(const uchar* p, const uchar* const end)
{
#if defined(ORVIX_WIDE_SCAN)
    if (RingBuffer::wideScan()) {
        decodeInPlaceWide(p, end);
        return;
    }
#endif
    decodeInPlaceBy<RingBuffer::Narrow>(p, end);
}

#if defined(ORVIX_WIDE_SCAN)
ORVIX_AVX2 void Dongle::decodeInPlaceWide(const uchar* p, const uchar* const end)
{
    decodeInPlaceBy<RingBuffer::Wide>(p, end);
}
#endif

// Made once into each caller above, so that the wide one is all AVX2 code.
template <class Vectors> Q_ALWAYS_INLINE void Dongle::decodeInPlaceBy(const uchar* p, const uchar* const end)
{
    // The bodies are checked from running sums of the read, made for a window of it at a time
    // (from the first body that needs them), so that a false header announcing a long body
    // costs no more than a short one, and no byte is copied for it.
    constexpr int Window = 4096;
    constexpr int Phases = RingBuffer::Phases;
    quint16 columns[Phases + Window + Phases];
    std::fill(columns, columns + Phases, quint16(0));
    // The bodies only move forward: a window is made again when one runs past its end.
    const uchar* windowEnd = p;
    // The sums before the body of the header at h lie at columnsBefore + 2 h (in bytes): one
    // addition per header.
    uintptr_t columnsBefore = 0;
    // Whether the body of the header at header, all there, passes its check.
    const auto bodyFits = [&](const uchar* header, unsigned length) __attribute__((always_inline))
    {
        const uchar* const body = header + UHRType::SizeOf;
        const uchar* const sumAt = body + length - 2;
        if (sumAt > windowEnd) {
            const int count = int(std::min<ptrdiff_t>(end - body, Window));
            windowEnd = body + count;
            Vectors::addColumns(columns + Phases, body, count, int(end - body));
            columnsBefore = reinterpret_cast<uintptr_t>(columns) - 2 * reinterpret_cast<uintptr_t>(body)
                + 2 * UHRType::SizeOf;
        }
        const quint16 received = quint16(sumAt[0] | (sumAt[1] << 8));
        const auto before
            = reinterpret_cast<const quint16*>(columnsBefore + 2 * reinterpret_cast<uintptr_t>(header));
        return Vectors::checkOfColumns(before, length - 2) == received;
    };
    // Dispatches the frame at header, checked; returns the place after it.
    const auto take = [&](const uchar* header, unsigned length) {
        const UHRType parsed(reinterpret_cast<const char*>(header), UHRType::SizeOf);
        m_ring.assign(header + UHRType::SizeOf, int(length));
        processPacket(parsed, m_ring);
        m_ring.clear();
        return header + UHRType::SizeOf + length;
    };

    // While the longest frame fits after every place of the next Places, those places are
    // looked at together: one bit for each that holds both sync bytes, and only those are
    // checked, in order. A place without them is never looked at again.
    constexpr int Places = Vectors::Places;
    constexpr ptrdiff_t Reach = (Places - 1) + UHRType::SizeOf + MaxBodyLength;
    static_assert(
        UHRType::SizeOf + MaxBodyLength > Places, "the sync bytes and a header are read in a frame");
    while (end - p >= Reach) {
        unsigned candidates = Vectors::pairs(p, Frame::Sync0, Frame::Sync1);
        const uchar* next = p + Places;
        while (candidates) {
            const uchar* const header = p + qCountTrailingZeroBits(candidates);
            candidates &= candidates - 1;
            const unsigned length = header[LengthAt];
            if (headerFits(header, Phases) && bodyFits(header, length)) {
                next = take(header, length);
                break;
            }
        }
        p = next;
    }

    // The last bytes of the read, one candidate at a time.
    for (;;) {
        // Only the first sync byte can start a frame.
        p = findSync(p, end);
        if (!p)
            return;
        const ptrdiff_t left = end - p;
        if (left < UHRType::SizeOf) {
            m_ring.append(p, int(left));
            return;
        }
        // The same checks as in the ring, in the same order (decodeHeld).
        if (p[1] != Frame::Sync1 || !headerFits(p, left)) {
            ++p;
            continue;
        }
        const int length = p[LengthAt];
        if (left < UHRType::SizeOf + length) {
            // The frame goes on in the next read: it waits in the ring with its header checked.
            m_ring.append(p, int(left));
            m_savedLength = length;
            return;
        }
        // Only the first byte of a frame whose body fails is dropped, as in the ring.
        p = bodyFits(p, length) ? take(p, length) : p + 1;
    }
}

void Dongle::decodeHeld()
{
    while (m_ring.available() >= UHRType::SizeOf + m_savedLength) {
        // A saved length was checked already: its header waits at the head for its body.
        if (m_savedLength == 0) {
            uchar scratch[16];
            const uchar* header = m_ring.front(UHRType::SizeOf, scratch);
            if (header[0] != Frame::Sync0 || header[1] != Frame::Sync1) {
                dropFirstByte();
                continue;
            }
            // A body that cannot hold its checksum, or a frame the ring can never hold, is no
            // frame: scanning resumes with the next byte. The header is tested in place (the
            // ring is padded, so sixteen bytes can be read from it). Only the length of a header
            // that passes is kept: the header itself stays at the head and is parsed once its
            // body has passed too.
            if (!headerFits(header, 16)) {
                dropFirstByte();
                continue;
            }
            const int length = header[LengthAt];
            m_savedLength = length;
            if (m_ring.available() < UHRType::SizeOf + length)
                break; // the saved length is kept: wait for the rest of the frame
        }
        const int L = m_savedLength;
        m_savedLength = 0;

        // The body's check comes from the ring's running sums: a false header announcing a
        // long body costs no more than a short one.
        const int sumAt = UHRType::SizeOf + L - 2;
        const quint16 received = quint16(m_ring.atUnchecked(sumAt) | (m_ring.atUnchecked(sumAt + 1) << 8));
        if (m_ring.payloadSum(UHRType::SizeOf, L - 2) == received) {
            uchar scratch[16];
            const UHRType header(
                reinterpret_cast<const char*>(m_ring.front(UHRType::SizeOf, scratch)), UHRType::SizeOf);
            m_ring.remove(UHRType::SizeOf);
            processPacket(header, m_ring);
            m_ring.remove(L);
            skipToSync();
        } else {
            // A corrupted frame, or a stray header whose check byte happened to fit: only its
            // first byte is dropped, so that a real frame among the bytes it announced is
            // still found.
            dropFirstByte();
        }
    }
}

// ---- Dispatch -------------------------------------------------------------------------------

void Dongle::processPacket(UHRType const& header, RingBuffer& ring)
{
    const PacketID pid = header.PID;
    const int L = header.L;
    if (m_frameTap)
        m_frameTap(header.toByteArray() + ring.peek(0, L));
    if (m_initialized) {
        if (header.CH != m_channel) {
            m_channel = header.CH;
            notifyDongleUpdated(DongleChangeMask::channelChanged);
        }
        bool dump = false;
        const bool reply = (header.F & 0x01) != 0;
        switch (pid) {
        case PacketID::SHP:
            processSHP(header, ring);
            break;
        case PacketID::ERR:
            processERR(header, ring);
            dump = true;
            break;
        case PacketID::DCP:
            processDCP(header, ring);
            dump = true;
            break;
        case PacketID::HCP:
            dump = !reply;
            break;
        case PacketID::LCP:
            processLCP(header, ring);
            dump = !reply;
            break;
        case PacketID::NPP:
            processNPP(header, ring);
            break;
        case PacketID::RAW:
            break;
        default:
            dump = true;
            break;
        }
        if (dump && lcDongle().isDebugEnabled()) {
            const QByteArray head = header.toByteArray();
            QString text = QStringLiteral(">>> [") + QString::fromLatin1(QStringFromPacketID(pid))
                + (reply ? QStringLiteral("] - REPLY / ECHO {\n") : QStringLiteral("]{\n"))
                + QDump(head, HeaderDumpFields, 16, 1)
                + QStringLiteral("\n")
                // The network password (KEY) is never shown in clear.
                + QDumpPayload(pid, ring.peek(0, L), 16, 1) + QStringLiteral("\n}");
            qCDebug(lcDongle).noquote() << text;
        }
    } else {
        qCDebug(lcDongle, ">>> [%s] (not initialized yet)", QStringFromPacketID(pid));
        if (pid == PacketID::DCP && L >= 2 + SCP::SizeOf) {
            const SCP scp(PacketData(ring.peek(0, SCP::SizeOf), PacketData::LittleEndian));
            if (scp.command == 64)
                m_stateDuringStart = scp.lsb;
        }
    }

    // Replies are matched also before initialization: the start sequence relies on it. A frame
    // read before the request's frame went out is not its answer: the dongle answers every copy
    // of a burst that reached it, and a late answer to the request before (the same command
    // with another value, say) would end this one unwritten. A frame still waiting in the port
    // has not gone out either.
    WaitBlock* wait = m_currentWait.load();
    if (wait && burstWentOut()) {
        const PacketData body(ring.peek(0, L), PacketData::LittleEndian);
        wait->verify(header, body);
    }
}

namespace
{

// The payload (never the checksum) of the frame at the ring's head.
PacketData payloadAt(UHRType const& header, RingBuffer const& ring)
{
    return PacketData(ring.peek(0, header.payloadLength()), PacketData::LittleEndian);
}

} // namespace

void Dongle::processDCP(UHRType const& header, RingBuffer& ring)
{
    const PacketData payload = payloadAt(header, ring);
    if (payload.size() < SCP::SizeOf) {
        qCDebug(lcDongle) << "DCP notice too short:" << payload.size() << "bytes";
        return;
    }
    const SCP scp(payload);
    switch (scp.command) {
    case 9:
        if (scp.msb == 1 && m_delegate)
            m_delegate->playAudioFeedback();
        break;
    case 10:
        if (m_headset) {
            headsetSetClickButton(scp.msb);
            notifyHeadsetUpdatedMask(HeadsetChangeMask::control);
        }
        break;
    case 17:
        if (m_headset) {
            headsetSetModifierMask(modifierMaskAfterKey(headsetModifierMask(), scp.lsb, scp.msb));
            notifyHeadsetUpdatedMask(HeadsetChangeMask::control);
        }
        break;
    case 64:
        if (scp.lsb != m_profile.state) {
            m_profile.state = scp.lsb;
            qCDebug(lcDongle, "Dongle state: %s", QStringFromDongleState(int(scp.lsb)));
            notifyDongleUpdated(DongleChangeMask::statusChanged);
            emit stateNoticed(scp.lsb);
        }
        break;
    default:
        break;
    }
}

quint32 Dongle::modifierMaskAfterKey(quint32 mask, quint8 key, quint8 action)
{
    // The left (0x80-0x83) and right (0x84-0x87) modifier keys: control, shift, alt, command.
    if (key >= 0x80 && key <= 0x87) {
        static const quint32 bits[4] = { HeadsetControlMask::control, HeadsetControlMask::shift,
            HeadsetControlMask::alt, HeadsetControlMask::command };
        const quint32 bit = bits[(key - 0x80) % 4];
        if (action == pressKey)
            mask |= bit;
        else if (action == releaseKey)
            mask &= ~bit;
    }
    if (action == releaseAllKeys)
        mask = HeadsetControlMask::none;
    return mask;
}

void Dongle::processERR(UHRType const& header, RingBuffer& ring)
{
    const ERR err(payloadAt(header, ring));
    qCDebug(lcDongle).noquote() << "ERR received: " + err.toString();
}

void Dongle::processLCP(UHRType const& header, RingBuffer& ring)
{
    const SCP scp(payloadAt(header, ring));
    qCDebug(lcDongle).noquote() << QStringLiteral("LCP [") + QString::number(scp.command)
            + QStringLiteral("]") + scp.toString();
}

void Dongle::processNPP(UHRType const& header, RingBuffer& ring)
{
    const PacketData payload = payloadAt(header, ring);
    if (payload.size() < NPP::FixedSize) {
        qCDebug(lcDongle) << "NPP too short:" << payload.size() << "bytes";
        return;
    }
    const NPP npp(payload);
    if (!isLocalReply(header))
        noteHeardAt(header.S);
    if (m_delegate)
        m_delegate->deviceFound(this, npp);
    const char* kind = "UNKNOWN";
    switch (npp.product) {
    case ProductID::Headset:
        kind = "HEADSET";
        if (m_headset && headsetApplyIdentity(npp))
            notifyHeadsetUpdatedMask(HeadsetChangeMask::device);
        break;
    case ProductID::Link:
        kind = "LINK";
        // A record meant for the LINK that was here is not sent to this one (Link).
        m_heardLinks.insert(quint32(npp.pan) << 8 | npp.address, npp.getSerialNumber());
        break;
    case ProductID::Dongle:
        kind = "DONGLE";
        if (!isLocalReply(header)) {
            // Another computer's dongle (a service-mode beacon, say): not ours.
            qCDebug(lcDongle).noquote()
                << QStringLiteral("NPP [DONGLE] of another dongle ignored: ") + npp.toString();
            return;
        }
        m_profile.version = npp.getVersion();
        m_profile.serial = npp.getSerialNumber();
        notifyDongleUpdated(DongleChangeMask::profileChanged);
        if (m_headset) {
            headsetSetOffline();
            notifyHeadsetUpdatedMask(HeadsetChangeMask::online);
        }
        break;
    default:
        break;
    }
    qCDebug(lcDongle).noquote() << QStringLiteral("NPP [") + QLatin1String(kind) + QStringLiteral("] ")
            + npp.toString();
}

bool Dongle::isLocalReply(UHRType const& header)
{
    // The dongle answers its own queries with PAN, source and destination 0.
    return header.PAN == 0 && header.S == 0 && header.D == 0;
}

void Dongle::processHCP(UHRType const&, RingBuffer&) { }
void Dongle::processACK(UHRType const&, RingBuffer&) { }
void Dongle::processRSSI(UHRType const&, RingBuffer&) { }
void Dongle::processCMAP(UHRType const&, RingBuffer&) { }

void Dongle::notifyDongleUpdated(DongleChangeMask mask)
{
    if (m_delegate)
        m_delegate->dongleUpdated(this, mask);
}

void Dongle::notifyHeadsetUpdatedMask(HeadsetChangeMask mask)
{
    if (m_delegate)
        m_delegate->headsetUpdated(this, m_headset, mask);
}

// ---- Static operations ----------------------------------------------------------------------

quint16 Dongle::protocolRevision()
{
    return protocolRevision(QStringLiteral("./orvixtools.ini"));
}

quint16 Dongle::protocolRevision(QString const& path)
{
    // Only a regular file is read: opening a named pipe or a device placed under this name
    // would block the GUI thread (beyond the reach of SIGTERM). Opened without blocking first,
    // then checked on the very file that was opened.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return DefaultProtocolRevision;
    struct stat st {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        qCDebug(lcDongle).noquote() << "INI file [" + path + "]: not a regular file, ignored";
        return DefaultProtocolRevision;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Text, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return DefaultProtocolRevision;
    }
    // The file holds one short setting: only its first 64 KiB are read (a line cut at that bound
    // is dropped), and a bad line is logged cut short.
    constexpr qint64 kMaxRead = 64 * 1024;
    constexpr int kMaxLogged = 80;
    QByteArray data = file.read(kMaxRead);
    if (data.size() == kMaxRead && !file.atEnd()) {
        const int lastEnd = data.lastIndexOf('\n');
        data.truncate(lastEnd < 0 ? 0 : lastEnd);
    }
    const auto shortened = [](QString const& text) {
        return text.size() > kMaxLogged ? text.left(kMaxLogged) + QStringLiteral("...") : text;
    };
    quint16 result = DefaultProtocolRevision;
    const QStringList lines = QString::fromUtf8(data).split(QLatin1Char('\n'));
    for (QString line : lines) {
        const int comment = line.indexOf(QLatin1Char(';'));
        if (comment >= 0)
            line.truncate(comment);
        if (line.trimmed().isEmpty())
            continue;
        const QStringList parts = line.split(QLatin1Char('='), Qt::SkipEmptyParts);
        if (parts.size() != 2) {
            qCDebug(lcDongle).noquote() << "INI file [" + path + "]: invalid line " + shortened(line);
            continue;
        }
        if (parts.at(0).trimmed() != QLatin1String("protocol_revision")) {
            qCDebug(lcDongle).noquote()
                << "INI file [" + path + "]: unknown variable " + shortened(parts.at(0));
            continue;
        }
        bool ok = false;
        const int value = parts.at(1).trimmed().toInt(&ok, 10);
        // Text that is not a revision (not a number, or outside 16 bits) reads as 0.
        result = (ok && value >= 0 && value <= 0xFFFF) ? quint16(value) : quint16(0);
    }
    return result;
}

bool Dongle::handshake(QSerialPort* port)
{
    // No exchange is made; a port that is missing or not open cannot carry a dongle.
    return port && port->isOpen();
}

// ---- Send pipeline ----------------------------------------------------------------------------

void Dongle::setTiming(Timing const& timing)
{
    std::lock_guard<std::mutex> lock(m_timingLock);
    m_timing = timing;
}

Dongle::Timing Dongle::timing() const
{
    std::lock_guard<std::mutex> lock(m_timingLock);
    return m_timing;
}

bool Dongle::stoppedOrGone() const
{
    return !m_running.load() || m_tearingDown.load();
}

bool Dongle::acceptsRequests() const
{
    return m_running.load() && !m_xmodemActive.load() && !m_tearingDown.load();
}

void Dongle::sendPacketWithPredicate(Header const& header, PacketData const& payload,
    PacketPredicate const& predicate, int timeoutMs, ReplyCallback callback, SendCheck beforeSending)
{
    auto request = std::make_shared<Request>();
    request->frame = Frame::build(header, payload);
    request->predicate = predicate;
    request->timeoutMs = timeoutMs;
    request->callback = std::move(callback);
    request->beforeSending = std::move(beforeSending);
    {
        std::lock_guard<std::mutex> lock(m_registryLock);
        m_requests.append(request);
    }
    if (m_tearingDown.load() || !m_sendQueue) {
        // The dongle is going away. On its own thread the request ends now; a worker leaves it
        // registered for the destructor's last sweep, so that no callback runs on a worker.
        if (QThread::currentThread() == thread())
            finishRequest(request, nullptr, nullptr, removed());
        return;
    }
    if (m_xmodemActive.load()) {
        // The port belongs to a firmware upload: fail at once, write nothing.
        postAbort(request);
        return;
    }
    if (payload.size() > Frame::MaxPayload) {
        // Its length byte would wrap: such a frame is never written.
        qCWarning(lcDongle) << "<Send> payload of" << payload.size() << "bytes refused";
        postAbort(request, DongleResult(DongleResult::InvalidCommand));
        return;
    }
    if (header.PID == PacketID::LPP) {
        // Every LINK parameter record leaves through here, whatever made it: one outside the
        // LINK's limits (or of another length) never reaches a wheelchair module.
        const QStringList problems = LPP::problemsOf(payload);
        if (!problems.isEmpty()) {
            const QString detail = problems.join(QStringLiteral("; "));
            qCWarning(lcDongle).noquote() << "<Send> LINK parameters refused:" << detail;
            postAbort(request, DongleResult(DongleResult::InvalidCommand, detail));
            return;
        }
    }
    m_sendQueue->addOperation([this, request](QThread* timerThread) { runRequest(request, timerThread); });
}

void Dongle::sendPacket(Header const& header, PacketData const& payload, DataPredicate const& data,
    int timeoutMs, ReplyCallback callback)
{
    PacketPredicate predicate(header, PacketPredicate::AnyFlags);
    predicate.data = data;
    sendPacketWithPredicate(header, payload, predicate, timeoutMs, std::move(callback));
}

void Dongle::runRequest(RequestPtr const& request, QThread* timerThread)
{
    qCDebug(lcDongle) << "<Send> operation did start ...";
    int attempt = 1;
    while (acceptsRequests() && !request->completed.load()) {
        request->state = 0;
        request->attempt = attempt;
        qCDebug(lcDongle, "<Send> Retry [%d]", attempt);
        if (request->beforeSending && !clearedToSend(request))
            break;
        const Timing pace = timing();
        waitForResponse(timerThread, request);
        if (acceptsRequests()) {
            startRepeater(request->frame, pace.repeatCount, ulong(qMax(0, pace.repeatIntervalMs)));
            // A wait cancelled before the burst was set up has ended this attempt already: its
            // burst must not write on.
            if (request->wait.load() == nullptr)
                endBurst();
        } else {
            // stop() or an upload came in between: end this wait on the GUI thread.
            m_mailbox.post([request] {
                if (WaitBlock* wait = request->wait.load())
                    wait->cancel();
            });
        }
        if (!blockOn(request->replied))
            break;
        qCDebug(lcDongle, "<Send> Result: %d", request->state.load());
        ++attempt;
        if (attempt > MaxAttempts || request->state.load() != 3)
            break;
    }
    // A request that ran while the dongle was stopped ends as removed; one that a firmware
    // upload kept off the line fails as any request made during the upload: the dongle is
    // still there, and its caller must say that the request failed.
    if (!request->completed.load())
        postAbort(request, stoppedOrGone() ? removed() : timedOut());
    qCDebug(lcDongle) << "<Send> operation did finish.";
}

bool Dongle::clearedToSend(RequestPtr const& request)
{
    m_mailbox.post([this, request] {
        // stop() may have ended the request while this waited for the GUI thread.
        if (!request->completed.load()) {
            const DongleResult verdict = request->beforeSending();
            if (verdict.code != DongleResult::Ok) {
                qCWarning(lcDongle).noquote() << "<Send> not sent:" << verdict.toStringHelper();
                finishRequest(request, nullptr, nullptr, verdict);
            }
        }
        request->checked.release();
    });
    return blockOn(request->checked) && !request->completed.load();
}

void Dongle::waitForResponse(QThread* timerThread, RequestPtr const& request)
{
    const int scaled = int(request->timeoutMs * timing().timeoutScale);
    // The wait lives on the timer thread (the GUI thread) whatever thread creates it.
    auto* wait = new WaitBlock(timerThread, request->predicate, qMax(1, scaled), nullptr);
    connect(wait, &WaitBlock::finished, wait, &QObject::deleteLater);
    connect(
        wait, &WaitBlock::matched, this,
        [this, request, wait](UHRType const* header, PacketData const* data, DongleResult result) {
            onAttemptEnded(request, wait, header, data, result);
        },
        Qt::DirectConnection);
    // Published before the timer runs and before the first byte of the request is written.
    request->wait.store(wait);
    m_currentWait.store(wait);
    // The wait reaches the GUI thread with its posted start: released here, once built and
    // published, and acquired first thing in the wait's own event handler.
    OX_HANDOVER_RELEASE(wait);
    wait->start();
}

void Dongle::onAttemptEnded(RequestPtr const& request, WaitBlock* wait, UHRType const* header,
    PacketData const* data, DongleResult const& result)
{
    if (result.code == DongleResult::Ok) {
        request->state = 1;
        finishRequest(request, header, data, result);
    } else if (result.code == DongleResult::Refused) {
        // The addressee said no: asking again would only be refused again.
        request->state = 2;
        finishRequest(request, header, data, result);
    } else if (request->attempt.load() <= MaxAttempts - 1 && acceptsRequests()) {
        request->state = 3; // another attempt follows
    } else {
        request->state = 2;
        // A dongle that stopped meanwhile was removed: its wait was cancelled, not expired.
        finishRequest(request, nullptr, nullptr, stoppedOrGone() ? removed() : timedOut());
    }
    // Only this request's own wait is cleared: a newer one must keep its wait.
    request->wait.store(nullptr);
    WaitBlock* own = wait;
    m_currentWait.compare_exchange_strong(own, nullptr);
    endBurst();
    if (m_repeater && m_repeater->hasOperations())
        m_repeater->cancelAllOperations(false);
    dropUnsentWrites();
    request->replied.release();
}

void Dongle::dropUnsentWrites()
{
    // A dongle that stops reading the line for a while leaves the copies of the burst waiting in
    // the port, or in the line once the port has handed them over (a burst fits in it whole).
    // Once the attempt has ended they would reach it late: a request reported as failed would
    // take effect after all, and their echoes would come while the next request waits. Only
    // this attempt's copies can be waiting (requests go out one at a time); during a firmware
    // upload the line is the sender's.
    if (!m_port || !m_port->isOpen() || m_xmodemActive.load())
        return;
    if (m_port->bytesToWrite() > 0)
        qCDebug(lcDongle) << "<Send>" << m_port->bytesToWrite() << "bytes not written are dropped";
    m_port->clear(QSerialPort::Output);
}

void Dongle::finishRequest(
    RequestPtr const& request, UHRType const* header, PacketData const* data, DongleResult const& result)
{
    if (!request->claim())
        return;
    {
        std::lock_guard<std::mutex> lock(m_registryLock);
        m_requests.removeOne(request);
    }
    ReplyCallback callback = std::move(request->callback);
    request->callback = nullptr;
    if (callback)
        callback(header, data, result);
}

void Dongle::postAbort(RequestPtr const& request)
{
    postAbort(request, timedOut());
}

void Dongle::postAbort(RequestPtr const& request, DongleResult const& result)
{
    m_mailbox.post([this, request, result] { finishRequest(request, nullptr, nullptr, result); });
}

void Dongle::abortRegistered()
{
    // Callbacks may register more work (which then ends at once): loop until nothing is left.
    for (;;) {
        RequestPtr request;
        RequestListPtr list;
        {
            std::lock_guard<std::mutex> lock(m_registryLock);
            if (!m_requests.isEmpty())
                request = m_requests.first();
            else if (!m_lists.isEmpty())
                list = m_lists.first();
        }
        if (request) {
            if (request->completed.load()) {
                std::lock_guard<std::mutex> lock(m_registryLock);
                m_requests.removeOne(request);
            } else {
                finishRequest(request, nullptr, nullptr, removed());
            }
            request->replied.release();
        } else if (list) {
            finishList(list, removed());
        } else {
            return;
        }
    }
}

bool Dongle::blockOn(Gate& gate)
{
    {
        std::lock_guard<std::mutex> lock(m_registryLock);
        if (m_tearingDown.load())
            return false;
        m_blockers.insert(&gate);
    }
    gate.acquire();
    std::lock_guard<std::mutex> lock(m_registryLock);
    m_blockers.erase(&gate);
    return !m_tearingDown.load();
}

void Dongle::cancelCurrentWait()
{
    WaitBlock* wait = m_currentWait.load();
    if (wait)
        wait->cancel();
}

void Dongle::startRepeater(QByteArray const& bytes, int count, unsigned long intervalMs)
{
    if (!m_repeater)
        return;
    if (m_repeater->hasOperations())
        m_repeater->cancelAllOperations(QThread::currentThread() != thread());
    if (count < 0)
        return;
    const quint64 burst = endBurst();
    for (int i = 0; i <= count; ++i) {
        m_repeater->addOperation([this, frame = QByteArray(bytes), burst, intervalMs](QThread*) {
            // A burst that its reply (or an upload, or stop) has ended writes nothing more.
            if (burst != m_burst.load() || !acceptsRequests())
                return;
            // Written on the GUI thread, which owns the port, unless the burst has ended by then.
            m_mailbox.post([this, frame, burst] {
                if (burst == m_burst.load() && acceptsRequests()) {
                    if (m_handedBurst != burst) {
                        m_handedBurst = burst;
                        m_burstBytes = 0;
                        m_burstFrameSize = frame.size();
                    }
                    emit write(frame);
                }
            });
            if (intervalMs > 0)
                pauseBurst(burst, intervalMs);
        });
    }
}

bool Dongle::burstWentOut() const
{
    // The port drops from its buffer what it has written to the line, and nothing clears the
    // buffer while a burst runs: whatever it held before the burst is out, and the burst's
    // first copy with it, once it holds no more than the copies handed after the first.
    return m_handedBurst == m_burst.load() && m_port && m_burstBytes >= m_burstFrameSize
        && m_port->bytesToWrite() <= m_burstBytes - m_burstFrameSize;
}

quint64 Dongle::endBurst()
{
    std::lock_guard<std::mutex> lock(m_burstLock);
    const quint64 burst = ++m_burst;
    m_burstWake.notify_all();
    return burst;
}

void Dongle::pauseBurst(quint64 burst, unsigned long ms)
{
    // Sleeps between two writes of a burst; the burst's end (its reply, stop, an upload)
    // wakes it at once, so that the next request's writes are not held back.
    std::unique_lock<std::mutex> lock(m_burstLock);
    m_burstWake.wait_for(lock, std::chrono::milliseconds(ms), [&] { return m_burst.load() != burst; });
}

void Dongle::stopRepeater(bool wait)
{
    if (m_repeater && m_repeater->hasOperations())
        m_repeater->cancelAllOperations(wait);
}

void Dongle::sendPackets(QList<SCPDescriptor> const& list, ListReplyCallback onReply, ResultCallback onDone)
{
    auto state = std::make_shared<RequestList>();
    state->onReply = std::move(onReply);
    state->onDone = std::move(onDone);
    {
        std::lock_guard<std::mutex> lock(m_registryLock);
        m_lists.append(state);
    }
    if (m_tearingDown.load() || !m_packetQueue) {
        if (QThread::currentThread() == thread())
            finishList(state, removed());
        return;
    }
    for (SCPDescriptor const& descriptor : list)
        m_packetQueue->addOperation([this, state, descriptor](QThread*) { runListEntry(state, descriptor); });
    m_packetQueue->addOperation([this, state](QThread*) {
        if (state->completed.load())
            return;
        m_mailbox.post([this, state] { finishList(state, DongleResult()); });
    });
}

void Dongle::runListEntry(RequestListPtr const& list, SCPDescriptor const& descriptor)
{
    // A list that has failed (or was dropped) sends none of its later entries.
    if (list->completed.load())
        return;
    const Header header = descriptor.getHeader();
    const PacketPredicate predicate = descriptor.getPredicate();
    qCDebug(lcDongle) << "Packet Queue entry begin";
    auto sem = std::make_shared<Gate>();
    sendPacketWithPredicate(header, descriptor.payload, predicate, descriptor.timeout,
        [this, list, sem](UHRType const* replyHeader, PacketData const* body, DongleResult result) {
            if (result.code != DongleResult::Ok)
                finishList(list, result);
            else if (!list->completed.load() && list->onReply && replyHeader && body)
                list->onReply(*replyHeader, *body);
            sem->release();
        });
    blockOn(*sem);
    qCDebug(lcDongle) << "Packet Queue entry done";
}

void Dongle::finishList(RequestListPtr const& list, DongleResult const& result)
{
    if (!list->claim())
        return;
    {
        std::lock_guard<std::mutex> lock(m_registryLock);
        m_lists.removeOne(list);
    }
    ResultCallback onDone = std::move(list->onDone);
    list->onDone = nullptr;
    if (onDone)
        onDone(result);
}

// ---- Life cycle -------------------------------------------------------------------------------

void Dongle::stop()
{
    m_running = false;
    if (m_sendQueue)
        m_sendQueue->cancelAllOperations(false);
    cancelCurrentWait();
    headsetDiscard();
    linksDiscard();
    m_heardLinks.clear();
    m_addressChanges.clear();
    // Requests removed from the send queue before they started complete now as removed, and
    // so do the request lists: one whose last answer is already in ends as removed too, so that
    // nothing it read reaches a stopped dongle (a LINK in its known-LINK map, say).
    QList<RequestPtr> pending;
    QList<RequestListPtr> lists;
    {
        std::lock_guard<std::mutex> lock(m_registryLock);
        pending = m_requests;
        lists = m_lists;
    }
    for (RequestPtr const& request : qAsConst(pending))
        finishRequest(request, nullptr, nullptr, removed());
    for (RequestListPtr const& list : qAsConst(lists))
        finishList(list, removed());
}

Progress::Context* Dongle::startProgress(QString const& title, QFlags<Progress::Flag> flags)
{
    m_progress.start(title, flags);
    return &m_progress;
}

XModem* Dongle::startXmodem()
{
    if (m_xmodem)
        return m_xmodem;
    if (!m_port)
        return nullptr;
    // From here no frame reaches the line: the repeats still queued are dropped and the
    // request in flight ends with code 4 (it is not retried).
    m_xmodemActive = true;
    endBurst();
    if (m_repeater && m_repeater->hasOperations())
        m_repeater->cancelAllOperations(false);
    cancelCurrentWait();

    disconnect(m_port, &QSerialPort::readyRead, this, &Dongle::readData);
    m_port->flush();
    m_port->clear(QSerialPort::AllDirections);
    m_ring.clear();
    m_savedLength = 0;
    m_xmodem = new XModem(*m_port, this);
    return m_xmodem;
}

void Dongle::stopXmodem()
{
    if (m_xmodem) {
        // stopXmodem may be called from one of the sender's own signal handlers: the sender
        // is stopped and cut off from the port now, and deleted once control is back in the
        // event loop.
        m_xmodem->stop();
        if (m_port)
            m_port->disconnect(m_xmodem);
        m_xmodem->deleteLater();
        m_xmodem = nullptr;
    }
    if (m_port) {
        m_port->flush();
        m_port->clear(QSerialPort::AllDirections);
        connect(m_port, &QSerialPort::readyRead, this, &Dongle::readData, Qt::UniqueConnection);
        // The sender may have stopped watching a failing line: it is read again from the
        // event loop.
        m_readRetry.restart();
    }
    m_ring.clear();
    m_savedLength = 0;
    m_xmodemActive = false;
}

OrvixDevice Dongle::device() const
{
    OrvixDevice own(m_profile.address, 0x01, 0);
    if (m_headset) {
        const ChannelMap map = headsetChannelMap();
        for (OrvixDevice const& entry : map.devices) {
            if (entry.address != own.address)
                continue;
            own.port = entry.isEnabled() ? 0x81 : 0x01;
            own.preset = OrvixDevice::validatedPreset(entry.preset);
        }
    }
    return own;
}

quint8 Dongle::percentFromFraction(float fraction)
{
    float v = fraction * 100.0f;
    if (!(v == v)) // NaN
        return 0;
    if (v > 100.0f)
        v = 100.0f;
    if (v < 0.0f)
        v = 0.0f;
    return quint8(int(v + 0.5f));
}
