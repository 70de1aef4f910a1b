#include "tools/emulator/Codec.h"

#include <QStringList>

#include <cstring>

namespace emu {

namespace {
const uint16_t kWeights[16] = {1181,  3079,  5521,  6863,  7499,  8237,  9479,  11083,
                               13477, 14533, 15679, 17477, 19727, 21391, 24499, 27583};

void putU16(QByteArray& b, uint16_t v)
{
    b.append(char(v & 0xFF));
    b.append(char(v >> 8));
}
uint16_t getU16(const QByteArray& b, int at)
{
    uint16_t lo = at < b.size() ? uint8_t(b[at]) : 0;
    uint16_t hi = at + 1 < b.size() ? uint8_t(b[at + 1]) : 0;
    return uint16_t(lo | (hi << 8));
}
uint8_t getU8(const QByteArray& b, int at) { return at < b.size() ? uint8_t(b[at]) : 0; }
} // namespace

QString pidName(uint8_t id)
{
    switch (id) {
    case pid::RAW: return QStringLiteral("RAW");
    case pid::SHP: return QStringLiteral("SHP");
    case pid::ERR: return QStringLiteral("ERR");
    case pid::CMAP: return QStringLiteral("CMAP");
    case pid::SJP: return QStringLiteral("SJP");
    case pid::PING: return QStringLiteral("PING");
    case pid::PONG: return QStringLiteral("PONG");
    case pid::ACK: return QStringLiteral("ACK");
    case pid::DCP: return QStringLiteral("DCP");
    case pid::HCP: return QStringLiteral("HCP");
    case pid::KEY: return QStringLiteral("KEY");
    case pid::LCP: return QStringLiteral("LCP");
    case pid::GRCP: return QStringLiteral("GRCP");
    case pid::RSSI: return QStringLiteral("RSSI");
    case pid::NPP: return QStringLiteral("NPP");
    case pid::LPP: return QStringLiteral("LPP");
    default: return QStringLiteral("PID 0x%1").arg(id, 2, 16, QLatin1Char('0'));
    }
}

uint8_t crc8(const char* data, int length)
{
    unsigned sum = 0;
    for (int i = 0; i < length; ++i)
        sum += uint8_t(data[i]);
    return uint8_t((256 - (sum & 0xFF)) & 0xFF);
}

uint16_t crc16(const char* data, int length)
{
    uint32_t sum = 0;
    for (int i = 0; i < length; ++i)
        sum = (sum + uint32_t(uint8_t(data[i]) ^ 0x5A) * kWeights[i % 16]) & 0xFFFF;
    return uint16_t(sum);
}

QByteArray Frame::encodeHeader(int payloadLength) const
{
    QByteArray h;
    h.reserve(kHeaderSize);
    h.append(char(0x55));
    h.append(char(0xAA));
    h.append(char(flags));
    putU16(h, pan);
    putU16(h, src);
    putU16(h, dst);
    h.append(char(((payloadLength % 256) + 2) % 256));
    h.append(char(pid));
    h.append(char(channel));
    h.append(char(crc8(h.constData(), 12)));
    return h;
}

QByteArray Frame::encode() const
{
    QByteArray b = encodeHeader(payload.size());
    b.append(payload);
    putU16(b, crc16(payload));
    return b;
}

QString Frame::toString() const
{
    return QStringLiteral("%1 F=%2 PAN=%3 S=%4 D=%5 CH=%6 L=%7 [%8]")
        .arg(pidName(pid))
        .arg(flags, 2, 16, QLatin1Char('0'))
        .arg(pan)
        .arg(src)
        .arg(dst)
        .arg(channel)
        .arg(payload.size() + 2)
        .arg(hex(payload, 32));
}

bool Frame::operator==(const Frame& o) const
{
    return flags == o.flags && pan == o.pan && src == o.src && dst == o.dst && pid == o.pid &&
           channel == o.channel && payload == o.payload;
}

Frame Frame::scp(uint8_t packetId, uint8_t command, uint8_t lsb, uint8_t msb, uint16_t pan,
                 uint16_t src, uint16_t dst, uint8_t flags)
{
    Frame f;
    f.flags = flags;
    f.pan = pan;
    f.src = src;
    f.dst = dst;
    f.pid = packetId;
    f.payload = scpBytes(command, lsb, msb);
    return f;
}

Frame Frame::local(uint8_t command, uint8_t lsb, uint8_t msb)
{
    return scp(pid::DCP, command, lsb, msb);
}

QByteArray scpBytes(uint8_t command, uint8_t lsb, uint8_t msb)
{
    QByteArray b;
    b.append(char(command));
    b.append(char(lsb));
    b.append(char(msb));
    return b;
}

QByteArray scpBytes16(uint8_t command, uint16_t value)
{
    return scpBytes(command, uint8_t(value & 0xFF), uint8_t(value >> 8));
}

QString hex(const QByteArray& bytes, int maxBytes)
{
    QString out;
    const int n = maxBytes >= 0 ? qMin(maxBytes, bytes.size()) : bytes.size();
    out.reserve(n * 3);
    for (int i = 0; i < n; ++i) {
        if (i)
            out += QLatin1Char(' ');
        out += QStringLiteral("%1").arg(uint8_t(bytes[i]), 2, 16, QLatin1Char('0')).toUpper();
    }
    if (n < bytes.size())
        out += QStringLiteral(" ...(%1 bytes)").arg(bytes.size());
    return out;
}

QByteArray fromHex(const char* text)
{
    QByteArray compact = QByteArray(text).replace(' ', "").replace('\n', "");
    return QByteArray::fromHex(compact);
}

QString FrameDecoder::Event::describe() const
{
    switch (kind) {
    case Good: return QStringLiteral("frame ") + frame.toString();
    case Garbage: return QStringLiteral("garbage: %1").arg(hex(raw));
    case BadHeaderCrc: return QStringLiteral("header with a wrong CRC-8: %1").arg(hex(raw));
    case BadLength: return QStringLiteral("header with L < 2: %1").arg(hex(raw));
    case BadChecksum:
        return QStringLiteral("frame with a wrong payload checksum: %1").arg(hex(raw));
    }
    return QString();
}

std::vector<FrameDecoder::Event> FrameDecoder::feed(const QByteArray& bytes)
{
    std::vector<Event> events;
    m_buf.append(bytes);
    QByteArray garbage;
    auto flushGarbage = [&] {
        if (!garbage.isEmpty()) {
            Event e;
            e.kind = Event::Garbage;
            e.raw = garbage;
            events.push_back(e);
            garbage.clear();
        }
    };
    int pos = 0;
    for (;;) {
        // Look for a sync pair.
        while (pos < m_buf.size() &&
               !(uint8_t(m_buf[pos]) == 0x55 &&
                 (pos + 1 >= m_buf.size() || uint8_t(m_buf[pos + 1]) == 0xAA))) {
            garbage.append(m_buf[pos]);
            ++pos;
        }
        if (m_buf.size() - pos < kHeaderSize)
            break;
        const char* h = m_buf.constData() + pos;
        const int L = uint8_t(h[9]);
        const bool badCrc = crc8(h, 12) != uint8_t(h[12]);
        if (badCrc || L < 2) {
            // A header that cannot start a frame: reported, and only its 0x55 is skipped.
            flushGarbage();
            Event e;
            e.kind = badCrc ? Event::BadHeaderCrc : Event::BadLength;
            e.raw = m_buf.mid(pos, kHeaderSize);
            events.push_back(e);
            ++pos;
            continue;
        }
        if (m_buf.size() - pos < kHeaderSize + L)
            break;
        flushGarbage();
        Event e;
        e.raw = m_buf.mid(pos, kHeaderSize + L);
        Frame& f = e.frame;
        f.flags = uint8_t(h[2]);
        f.pan = getU16(e.raw, 3);
        f.src = getU16(e.raw, 5);
        f.dst = getU16(e.raw, 7);
        f.pid = uint8_t(h[10]);
        f.channel = uint8_t(h[11]);
        f.payload = e.raw.mid(kHeaderSize, L - 2);
        const uint16_t sum = getU16(e.raw, kHeaderSize + L - 2);
        e.kind = crc16(f.payload) == sum ? Event::Good : Event::BadChecksum;
        events.push_back(e);
        pos += kHeaderSize + L;
    }
    // Garbage at the end stays reported (a lone trailing 0x55 is kept waiting).
    flushGarbage();
    m_buf.remove(0, pos);
    return events;
}

bool FrameDecoder::decodeOne(const QByteArray& bytes, Frame* out, QString* why)
{
    FrameDecoder d;
    auto events = d.feed(bytes);
    if (events.size() == 1 && events[0].kind == Event::Good && d.pending().isEmpty()) {
        if (out)
            *out = events[0].frame;
        return true;
    }
    if (why) {
        QStringList parts;
        for (const auto& e : events)
            parts << e.describe();
        if (!d.pending().isEmpty())
            parts << QStringLiteral("incomplete: %1").arg(hex(d.pending()));
        *why = parts.join(QStringLiteral("; "));
    }
    return false;
}

namespace {
// A record's layout is written once, as a list of fields, and serves both directions: Writer
// appends the fields, Reader takes them in the same order (fields cut short read as 0).
struct Writer {
    QByteArray& b;
    void i8(int8_t v) { b.append(char(v)); }
    void u8(uint8_t v) { b.append(char(v)); }
    void u16(uint16_t v) { putU16(b, v); }
    void i16(int16_t v) { putU16(b, uint16_t(v)); }
    void bytes(const QByteArray& v, int n)
    {
        const QByteArray s = v.left(n);
        b.append(s);
        b.append(QByteArray(n - s.size(), '\0'));
    }
};

struct Reader {
    const QByteArray& b;
    int at = 0;
    void i8(int8_t& v) { v = int8_t(getU8(b, at++)); }
    void u8(uint8_t& v) { v = getU8(b, at++); }
    void u16(uint16_t& v) { v = getU16(b, at), at += 2; }
    void i16(int16_t& v) { v = int16_t(getU16(b, at)), at += 2; }
    void bytes(QByteArray& v, int n) { v = b.mid(at, n), at += n; }
};

// Bytes 0-19 of the identity record; the submodule list follows.
template <class Io, class Id>
void identityFields(Io& io, Id& id)
{
    io.i8(id.product);
    io.u8(id.major);
    io.u8(id.minor);
    io.u8(id.fix);
    io.u16(id.build);
    io.bytes(id.serial, 10);
    io.u8(id.revision);
    io.u16(id.pan);
    io.u8(id.address);
}

template <class Io, class St>
void statusFields(Io& io, St& s)
{
    io.u8(s.revision);
    io.u8(s.moduleAddress);
    io.u8(s.modulePort);
    io.u8(s.control);
    io.u8(s.calibration);
    io.u8(s.byte5);
    io.i16(s.qw);
    io.i16(s.qx);
    io.i16(s.qy);
    io.i16(s.qz);
    io.u16(s.infrared);
    io.u8(s.battery);
    io.u8(s.status);
    io.u16(s.tail);
}
} // namespace

QByteArray Identity::encode() const
{
    QByteArray b;
    Writer w{b};
    identityFields(w, *this);
    w.u8(uint8_t(submodules.size()));
    for (const auto& sm : submodules) {
        w.u8(sm.first);
        w.u8(sm.second);
    }
    return b;
}

Identity Identity::decode(const QByteArray& p)
{
    Identity id;
    Reader r{p};
    identityFields(r, id);
    uint8_t n = 0;
    r.u8(n);
    for (int i = 0; i < n && r.at + 1 < p.size(); ++i) {
        std::pair<uint8_t, uint8_t> sm;
        r.u8(sm.first);
        r.u8(sm.second);
        id.submodules.push_back(sm);
    }
    return id;
}

QByteArray Status::encode() const
{
    QByteArray b;
    Writer w{b};
    statusFields(w, *this);
    return b;
}

Status Status::decode(const QByteArray& p)
{
    Status s;
    Reader r{p};
    statusFields(r, s);
    return s;
}

QByteArray encodeChannelMap(const ChannelMapEntries& entries)
{
    QByteArray b;
    const int n = int(qMin<size_t>(entries.size(), 8));
    b.append(char(n));
    for (int i = 0; i < 8; ++i) {
        if (i < n) {
            b.append(char(entries[i].address));
            b.append(char(entries[i].port));
            b.append(char(entries[i].preset));
        } else {
            b.append(QByteArray(3, '\0'));
        }
    }
    return b;
}

ChannelMapEntries decodeChannelMap(const QByteArray& p)
{
    ChannelMapEntries out;
    const int n = getU8(p, 0);
    for (int i = 0; i < n && 3 + 3 * i < p.size(); ++i)
        out.push_back(MapEntry{getU8(p, 1 + 3 * i), getU8(p, 2 + 3 * i), getU8(p, 3 + 3 * i)});
    return out;
}

QStringList lppLimitProblems(const QByteArray& record)
{
    QStringList problems;
    auto check = [&](const char* name, int value, int lo, int hi) {
        if (value < lo || value > hi)
            problems << QStringLiteral("%1 %2 (limits %3-%4)").arg(QLatin1String(name)).arg(value).arg(lo).arg(hi);
    };
    static const char* const safety[] = {"safety angle forward", "safety angle backward", "safety angle left",
                                         "safety angle right"};
    for (int i = 0; i < 4; ++i)
        check(safety[i], getU8(record, 14 + i), 0, 170);
    check("tremor filter", getU16(record, 12), 0, 65500);
    check("emergency-break window", getU8(record, 18), 2, 50);
    check("back-tilt offset", getU8(record, 23), 0, 100);
    return problems;
}

} // namespace emu
