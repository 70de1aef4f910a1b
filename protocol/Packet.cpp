#include "protocol/Packet.h"

#include "protocol/Checksum.h"

#include <cstring>

char const* QStringFromPacketID(PacketID pid)
{
    switch (pid) {
    case PacketID::RAW:
        return "RAW";
    case PacketID::SHP:
        return "SHP";
    case PacketID::ERR:
        return "ERR";
    case PacketID::CMAP:
        return "CMAP";
    case PacketID::SJP:
        return "SJP";
    case PacketID::PING:
        return "PING";
    case PacketID::PONG:
        return "PONG";
    case PacketID::ACK:
        return "ACK";
    case PacketID::DCP:
        return "DCP";
    case PacketID::HCP:
        return "HCP";
    case PacketID::KEY:
        return "KEY";
    case PacketID::LCP:
        return "LCP";
    case PacketID::GRCP:
        return "GRCP";
    case PacketID::RSSI:
        return "RSSI";
    case PacketID::NPP:
        return "NPP";
    case PacketID::LPP:
        return "LPP";
    }
    return "Unknown PID";
}

// ---- PacketData -------------------------------------------------------------------------

PacketData::PacketData(Endian endian)
    : m_endian(endian)
{
}

PacketData::PacketData(QByteArray const& bytes, Endian endian)
    : m_bytes(bytes)
    , m_endian(endian)
{
}

PacketData::PacketData(char const* data, int size, Endian endian)
    : m_bytes(data && size > 0 ? QByteArray(data, size) : QByteArray())
    , m_endian(endian)
{
}

PacketData PacketData::left(int n) const
{
    if (n <= 0)
        return PacketData(m_endian);
    return PacketData(m_bytes.left(n), m_endian);
}

quint8 PacketData::at(int offset) const
{
    if (offset < 0 || offset >= m_bytes.size())
        return 0;
    return quint8(m_bytes.at(offset));
}

quint16 PacketData::readUInt16(int offset) const
{
    quint16 const first = at(offset);
    quint16 const second = at(offset + 1);
    if (m_endian == LittleEndian)
        return quint16(first | (second << 8));
    return quint16((first << 8) | second);
}

quint32 PacketData::readUInt32(int offset) const
{
    quint32 value = 0;
    for (int i = 0; i < 4; ++i) {
        quint32 const b = at(offset + i);
        if (m_endian == LittleEndian)
            value |= b << (8 * i);
        else
            value = (value << 8) | b;
    }
    return value;
}

void writeUInt16LE(QByteArray& bytes, quint16 value, int& offset)
{
    if (offset < 0)
        return;
    if (bytes.size() < offset + 2)
        bytes.append(QByteArray(offset + 2 - bytes.size(), '\0'));
    bytes[offset] = char(value & 0xFF);
    bytes[offset + 1] = char((value >> 8) & 0xFF);
    offset += 2;
}

void writeUInt32LE(QByteArray& bytes, quint32 value, int& offset)
{
    if (offset < 0)
        return;
    if (bytes.size() < offset + 4)
        bytes.append(QByteArray(offset + 4 - bytes.size(), '\0'));
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = char((value >> (8 * i)) & 0xFF);
    offset += 4;
}

// ---- Header / UHRType -------------------------------------------------------------------

Header::Header(uchar flags, quint16 pan, quint16 src, quint16 dst, PacketID pid, uchar channel)
{
    F = flags;
    PAN = pan;
    S = src;
    D = dst;
    PID = pid;
    CH = channel;
}

PacketData Header::getData(int payloadLength) const
{
    QByteArray bytes;
    bytes.reserve(UHRType::SizeOf);
    bytes.append(char(Frame::Sync0));
    bytes.append(char(Frame::Sync1));
    bytes.append(char(F));
    int offset = 3;
    writeUInt16LE(bytes, PAN, offset);
    writeUInt16LE(bytes, S, offset);
    writeUInt16LE(bytes, D, offset);
    // L counts the payload checksum too; both steps wrap modulo 256.
    bytes.append(char(uchar(uchar(unsigned(payloadLength) & 0xFFu) + 2u)));
    bytes.append(char(uchar(PID)));
    bytes.append(char(CH));
    bytes.append(char(Checksum::crc8(bytes.constData(), 0, 12)));
    return PacketData(bytes, PacketData::LittleEndian);
}

UHRType::UHRType(char const* data, int size)
{
    uchar raw[SizeOf] = {};
    if (data && size > 0)
        memcpy(raw, data, size_t(qMin(size, int(SizeOf))));
    sync[0] = raw[0];
    sync[1] = raw[1];
    F = raw[2];
    PAN = quint16(raw[3] | (raw[4] << 8));
    S = quint16(raw[5] | (raw[6] << 8));
    D = quint16(raw[7] | (raw[8] << 8));
    L = raw[9];
    PID = PacketID(raw[10]);
    CH = raw[11];
    CRC = raw[12];
}

UHRType::UHRType(QByteArray const& bytes)
    : UHRType(bytes.constData(), bytes.size())
{
}

QByteArray UHRType::toByteArray() const
{
    QByteArray bytes;
    bytes.reserve(SizeOf);
    bytes.append(char(sync[0]));
    bytes.append(char(sync[1]));
    bytes.append(char(F));
    int offset = 3;
    writeUInt16LE(bytes, PAN, offset);
    writeUInt16LE(bytes, S, offset);
    writeUInt16LE(bytes, D, offset);
    bytes.append(char(L));
    bytes.append(char(uchar(PID)));
    bytes.append(char(CH));
    bytes.append(char(CRC));
    return bytes;
}

bool UHRType::isValid() const
{
    QByteArray const bytes = toByteArray();
    return Frame::isHeaderValid(bytes.constData(), bytes.size());
}

// ---- Frame ------------------------------------------------------------------------------

namespace Frame {

QByteArray build(Header const& header, PacketData const& payload)
{
    QByteArray bytes = header.getData(payload.size()).bytes();
    int offset = HeaderSize;
    bytes.append(payload.bytes());
    offset += payload.size();
    writeUInt16LE(bytes, Checksum::crc16(payload.constData(), 0, size_t(payload.size())), offset);
    return bytes;
}

bool isHeaderValid(char const* data, int size)
{
    if (!data || size < HeaderSize)
        return false;
    auto const* p = reinterpret_cast<uchar const*>(data);
    return p[0] == Sync0 && p[1] == Sync1 && p[12] == Checksum::crc8(p, 0, 12);
}

bool isHeaderValid(QByteArray const& bytes)
{
    return isHeaderValid(bytes.constData(), bytes.size());
}

bool isValid(char const* data, int size)
{
    if (!isHeaderValid(data, size))
        return false;
    UHRType const header(data, size);
    if (!header.hasValidLength() || size < header.frameSize())
        return false;
    return isBodyValid(header, QByteArray::fromRawData(data + HeaderSize, header.L));
}

bool isValid(QByteArray const& bytes)
{
    return isValid(bytes.constData(), bytes.size());
}

bool isBodyValid(UHRType const& header, QByteArray const& body)
{
    if (!header.hasValidLength() || body.size() < header.L)
        return false;
    int const n = header.payloadLength();
    auto const* p = reinterpret_cast<uchar const*>(body.constData());
    quint16 const received = quint16(p[n] | (p[n + 1] << 8));
    return received == Checksum::crc16(p, 0, size_t(n));
}

PacketData payloadOf(UHRType const& header, PacketData const& body)
{
    return body.left(qMin(header.payloadLength(), body.size()));
}

PacketData payloadOf(UHRType const& header, QByteArray const& body)
{
    return payloadOf(header, PacketData(body, PacketData::LittleEndian));
}

} // namespace Frame
