#pragma once
// The emulator's own frame codec. The emulator is an independent peer of the application:
// it frames, checks and parses the wire format by itself and shares no code with the product.
//
// Frame on the wire: 55 AA, F, PAN (u16 LE), S (u16 LE), D (u16 LE), L, PID, CH, CRC-8 of the
// 12 bytes before it, then L-2 payload bytes and the u16 LE weighted payload checksum.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace emu {

// Packet ids.
namespace pid {
constexpr uint8_t RAW = 0x00;
constexpr uint8_t SHP = 0x01;
constexpr uint8_t ERR = 0x02;
constexpr uint8_t CMAP = 0x03;
constexpr uint8_t SJP = 0x04;
constexpr uint8_t PING = 0x08;
constexpr uint8_t PONG = 0x09;
constexpr uint8_t ACK = 0x0D;
constexpr uint8_t DCP = 0x10;
constexpr uint8_t HCP = 0x20;
constexpr uint8_t KEY = 0x2A;
constexpr uint8_t LCP = 0x30;
constexpr uint8_t GRCP = 0x40;
constexpr uint8_t RSSI = 0x58;
constexpr uint8_t NPP = 0x90;
constexpr uint8_t LPP = 0xBF;
} // namespace pid

// Name of a packet id as the trace prints it ("DCP", "NPP", ...; "PID 0x05" for unknown ids).
QString pidName(uint8_t id);

constexpr int kHeaderSize = 13;
// The largest L whose whole frame still fits the application's 134-byte receive ring.
constexpr int kMaxRingLength = 121;

// Sum check byte of the header: two's complement of the 8-bit sum.
uint8_t crc8(const char* data, int length);
inline uint8_t crc8(const QByteArray& bytes) { return crc8(bytes.constData(), bytes.size()); }
// Weighted payload checksum: sum of (b[i] ^ 0x5A) * weight[i % 16], modulo 65536.
uint16_t crc16(const char* data, int length);
inline uint16_t crc16(const QByteArray& bytes) { return crc16(bytes.constData(), bytes.size()); }

// One frame, decoded or to be sent.
struct Frame {
    uint8_t flags = 0;
    uint16_t pan = 0;
    uint16_t src = 0;
    uint16_t dst = 0;
    uint8_t pid = 0;
    uint8_t channel = 0;
    QByteArray payload;

    // Whole frame bytes: header (L and CRC computed), payload, checksum.
    QByteArray encode() const;
    // 13 header bytes for a payload of `payloadLength` bytes (L = payloadLength + 2, mod 256).
    QByteArray encodeHeader(int payloadLength) const;

    bool isReply() const { return flags & 0x01; }
    // Payload byte 0 (the command of a command record), -1 for an empty payload.
    int cmd() const { return payload.isEmpty() ? -1 : uint8_t(payload[0]); }
    uint8_t byteAt(int i) const { return i < payload.size() ? uint8_t(payload[i]) : 0; }
    uint8_t lsb() const { return byteAt(1); }
    uint8_t msb() const { return byteAt(2); }
    uint16_t value() const { return uint16_t(lsb() | (msb() << 8)); }

    // One line: "DCP F=01 PAN=0 S=0 D=0 CH=11 L=5 [09 00 00]".
    QString toString() const;
    bool operator==(const Frame& o) const;
    bool operator!=(const Frame& o) const { return !(*this == o); }

    // A command record (command, lsb, msb) in the given packet.
    static Frame scp(uint8_t packetId, uint8_t command, uint8_t lsb, uint8_t msb, uint16_t pan = 0,
                     uint16_t src = 0, uint16_t dst = 0, uint8_t flags = 0);
    // A local dongle command as the application sends it: F 0, PAN/S/D 0, DCP, CH 0.
    static Frame local(uint8_t command, uint8_t lsb = 0, uint8_t msb = 0);
};

// 3-byte command record.
QByteArray scpBytes(uint8_t command, uint8_t lsb, uint8_t msb);
QByteArray scpBytes16(uint8_t command, uint16_t value);

// Hex text "55 AA 00 ..." of some bytes.
QString hex(const QByteArray& bytes, int maxBytes = 64);
QByteArray fromHex(const char* text); // "55 AA 00" -> bytes; spaces ignored

// Streaming decoder used to check everything the application writes. Unlike the application's
// tolerant receiver, it reports every byte that is not part of a good frame.
class FrameDecoder {
public:
    struct Event {
        enum Kind {
            Good,          // a valid frame
            Garbage,       // bytes before a sync pair
            BadHeaderCrc,  // 55 AA with a wrong byte 12 (one byte skipped)
            BadLength,     // a header whose L is 0 or 1 (one byte skipped)
            BadChecksum,   // a whole frame whose payload checksum is wrong (skipped whole)
        };
        Kind kind = Good;
        Frame frame;    // Good, BadChecksum: the frame as read
        QByteArray raw; // the bytes concerned
        QString describe() const;
    };

    // Appends bytes and returns what they completed, in stream order.
    std::vector<Event> feed(const QByteArray& bytes);
    // Bytes held waiting for the rest of a frame.
    QByteArray pending() const { return m_buf; }
    void reset() { m_buf.clear(); }

    // Decodes exactly one whole frame; false when `bytes` is not exactly one valid frame.
    static bool decodeOne(const QByteArray& bytes, Frame* out, QString* why = nullptr);

private:
    QByteArray m_buf;
};

// ---- payload records the devices send ----

// Node identity record (21 + 2n bytes).
struct Identity {
    int8_t product = 0; // 1 headset, 2 dongle, 3 LINK
    uint8_t major = 0, minor = 0, fix = 0;
    uint16_t build = 0;
    QByteArray serial;  // up to 10 bytes, zero padded; first byte 0xFF means none
    uint8_t revision = 156;
    uint16_t pan = 0;
    uint8_t address = 0;
    std::vector<std::pair<uint8_t, uint8_t>> submodules; // (port, mode)

    QByteArray encode() const;
    static Identity decode(const QByteArray& payload);
};

// Headset status record (20 bytes).
struct Status {
    uint8_t revision = 156;
    uint8_t moduleAddress = 0;
    uint8_t modulePort = 0;
    uint8_t control = 0;
    uint8_t calibration = 0;
    uint8_t byte5 = 0;
    int16_t qw = 16384, qx = 0, qy = 0, qz = 0;
    uint16_t infrared = 0;
    uint8_t battery = 0;
    uint8_t status = 0;
    uint16_t tail = 0;

    QByteArray encode() const;
    static Status decode(const QByteArray& payload);
};

// One channel-map entry: address, port (bits 0-6) with the enabled flag in bit 7, preset.
struct MapEntry {
    uint8_t address = 0;
    uint8_t port = 0x81;
    uint8_t preset = 0;
    bool operator==(const MapEntry& o) const
    {
        return address == o.address && port == o.port && preset == o.preset;
    }
};
using ChannelMapEntries = std::vector<MapEntry>;
// Wire form: count (at most 8), then 8 entries of 3 bytes (zero filled): 25 bytes.
QByteArray encodeChannelMap(const ChannelMapEntries& entries);
// Reads at most `count` whole entries that the payload holds.
ChannelMapEntries decodeChannelMap(const QByteArray& payload);

constexpr int kLppSize = 27;
// What in a LINK parameter record lies outside the limits a LINK takes (safety angles at most
// 170 degrees, emergency-break window 2-50 steps of 20 ms, back-tilt offset at most 100, tremor
// filter at most 65500): one text per field, empty when the record may reach a LINK.
QStringList lppLimitProblems(const QByteArray& record);

} // namespace emu
