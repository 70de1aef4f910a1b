#pragma once

#include <QByteArray>
#include <QtGlobal>

// The dongle's serial frame:
//
//   0x55 0xAA | F | PAN (u16 LE) | S (u16 LE) | D (u16 LE) | L | PID | CH | CRC8 | payload (L-2) | crc16 (u16 LE)
//
// L counts the payload plus its two checksum bytes; a whole frame is 13 + L bytes.

enum class PacketID : uchar {
    RAW = 0x00,
    SHP = 0x01,
    ERR = 0x02,
    CMAP = 0x03,
    SJP = 0x04,
    PING = 0x08,
    PONG = 0x09,
    ACK = 0x0D,
    DCP = 0x10,
    HCP = 0x20,
    KEY = 0x2A,
    LCP = 0x30,
    GRCP = 0x40,
    RSSI = 0x58,
    NPP = 0x90,
    LPP = 0xBF,
};

// Name of a packet id; "Unknown PID" for any value outside the table.
char const* QStringFromPacketID(PacketID pid);

// Byte buffer in which payloads are built and parsed. Readers never go past the end of
// the buffer: a byte beyond it reads as 0.
class PacketData {
public:
    enum Endian : quint32 {
        BigEndian = 0,
        LittleEndian = 1,
    };

    PacketData(Endian endian = LittleEndian);
    PacketData(QByteArray const& bytes, Endian endian = LittleEndian);
    PacketData(char const* data, int size, Endian endian = LittleEndian);

    QByteArray const& bytes() const { return m_bytes; }
    QByteArray& bytes() { return m_bytes; }
    // Same as bytes(); the raw byte array.
    QByteArray const& data() const { return m_bytes; }
    char const* constData() const { return m_bytes.constData(); }
    int size() const { return m_bytes.size(); }
    bool isEmpty() const { return m_bytes.isEmpty(); }
    Endian endian() const { return m_endian; }

    // The first n bytes (all when n is larger than the buffer, none when n <= 0).
    PacketData left(int n) const;
    void append(QByteArray const& bytes) { m_bytes.append(bytes); }
    void append(PacketData const& other) { m_bytes.append(other.m_bytes); }
    void appendUInt8(quint8 value) { m_bytes.append(char(value)); }

    // Field readers; bytes past the end count as 0.
    quint8 at(int offset) const;
    quint8 readUInt8(int offset) const { return at(offset); }
    qint8 readInt8(int offset) const { return qint8(at(offset)); }
    quint16 readUInt16(int offset) const;
    qint16 readInt16(int offset) const { return qint16(readUInt16(offset)); }
    quint32 readUInt32(int offset) const;

    bool operator==(PacketData const& other) const { return m_bytes == other.m_bytes; }
    bool operator!=(PacketData const& other) const { return !(*this == other); }

private:
    QByteArray m_bytes;
    Endian m_endian;
};

using Endian = PacketData::Endian;

// Grows bytes to offset + 2 when it is shorter, writes value low byte first at offset and
// advances offset by 2. A negative offset writes nothing.
void writeUInt16LE(QByteArray& bytes, quint16 value, int& offset);
// Same for a 32-bit value, least significant byte first.
void writeUInt32LE(QByteArray& bytes, quint32 value, int& offset);

// The 13 header fields in wire order. The struct is deliberately not packed (binding a
// reference to a packed 16-bit field is undefined behaviour); the wire form is made and
// read only through getData, UHRType(bytes) and toByteArray.
struct PacketHeaderFields {
    uchar sync[2] = { 0, 0 };
    uchar F = 0;
    quint16 PAN = 0;
    quint16 S = 0;
    quint16 D = 0;
    uchar L = 0;
    PacketID PID = PacketID::RAW;
    uchar CH = 0;
    uchar CRC = 0;
};

// Header of a frame being sent. The maker fills F, PAN, S, D, PID and CH; getData writes
// the sync pair, L and CRC itself.
struct Header : PacketHeaderFields {
    Header() = default;
    Header(uchar flags, quint16 pan, quint16 src, quint16 dst, PacketID pid, uchar channel = 0);

    // The 13 header bytes for a payload of payloadLength bytes.
    PacketData getData(int payloadLength) const;
};

// Header of a received frame: the 13 bytes exactly as received.
struct UHRType : PacketHeaderFields {
    static constexpr int SizeOf = 13;

    UHRType() = default;
    // Takes the first 13 bytes; missing bytes are 0.
    UHRType(char const* data, int size);
    explicit UHRType(QByteArray const& bytes);

    // Sync pair present and CRC equal to crc8 of bytes 0-11.
    bool isValid() const;
    // L leaves room for the payload checksum (L >= 2).
    bool hasValidLength() const { return L >= 2; }
    // Payload bytes the frame carries (L - 2), 0 when L is below 2.
    int payloadLength() const { return L >= 2 ? L - 2 : 0; }
    // Bytes of the whole frame, header included.
    int frameSize() const { return SizeOf + L; }

    QByteArray toByteArray() const;
};


namespace Frame {

constexpr uchar Sync0 = 0x55;
constexpr uchar Sync1 = 0xAA;
constexpr int HeaderSize = 13;
// Longest payload whose L still fits in one byte.
constexpr int MaxPayload = 253;

// Header, payload and payload checksum in one byte array.
QByteArray build(Header const& header, PacketData const& payload);

// True when at least 13 bytes are given, the sync pair is there and byte 12 is crc8 of
// bytes 0-11.
bool isHeaderValid(char const* data, int size);
bool isHeaderValid(QByteArray const& bytes);

// True when the header is valid, L >= 2, the data holds the whole frame (13 + L bytes;
// bytes after it are not looked at) and the payload checksum matches.
bool isValid(char const* data, int size);
bool isValid(QByteArray const& bytes);

// True when the body (payload followed by its two checksum bytes, as the frame's L
// announces) carries a matching checksum. False when L < 2 or the body is short.
bool isBodyValid(UHRType const& header, QByteArray const& body);

// Only the payload of a received body: the first L - 2 bytes (never the checksum that
// follows, never past the end of the body). Records must be parsed from this.
PacketData payloadOf(UHRType const& header, PacketData const& body);
PacketData payloadOf(UHRType const& header, QByteArray const& body);

} // namespace Frame

// Free-standing names of the frame helpers.
inline QByteArray buildFrame(Header const& header, PacketData const& payload)
{
    return Frame::build(header, payload);
}
inline bool isFrameValid(QByteArray const& bytes)
{
    return Frame::isValid(bytes);
}
inline bool isHeaderValid(QByteArray const& bytes)
{
    return Frame::isHeaderValid(bytes);
}
inline PacketData payloadFromBody(UHRType const& header, PacketData const& body)
{
    return Frame::payloadOf(header, body);
}
