#pragma once
// The dongle's serial framing stated as plainly as it can be, straight over the bytes heard so
// far: the receiver's results are compared with it (test_receive_reference.cpp, the receive
// fuzz target).
//
// At the first byte not yet decided: a byte other than 55 is dropped; a 55 waits for the 13
// bytes of a header; a header whose second byte is not AA, whose length L is below 2 or above
// 121, or whose check byte is not that of the 12 bytes before it is no header, and its first
// byte is dropped; a header waits for its L body bytes; a body whose last two bytes (low byte
// first) are not the payload check of the L - 2 before them makes the header's first byte
// dropped; otherwise the 13 + L bytes are a frame, taken.
#include "protocol/Checksum.h"

#include <QByteArray>

#include <cstddef>
#include <vector>

namespace receiveref
{

class ReferenceDecoder
{
public:
    void feed(const char* data, size_t size)
    {
        m_bytes.insert(m_bytes.end(), data, data + size);
        decide();
    }
    void feed(QByteArray const& bytes) { feed(bytes.constData(), size_t(bytes.size())); }

    // The frames taken, in order, header and body.
    std::vector<QByteArray> const& frames() const { return m_frames; }
    // Bytes heard and not decided yet.
    size_t held() const { return m_bytes.size() - m_at; }
    size_t dropped() const { return m_dropped; }

private:
    void decide()
    {
        for (;;) {
            const size_t left = m_bytes.size() - m_at;
            const uchar* b = reinterpret_cast<const uchar*>(m_bytes.data()) + m_at;
            if (left == 0)
                return;
            if (b[0] != 0x55) {
                drop();
                continue;
            }
            if (left < 13)
                return;
            const size_t length = b[9];
            if (b[1] != 0xAA || length < 2 || length > 121 || b[12] != Checksum::crc8(b, 0, 12)) {
                drop();
                continue;
            }
            if (left < 13 + length)
                return;
            const unsigned received = b[11 + length] | (b[12 + length] << 8);
            if (Checksum::crc16(b, 13, length - 2) != received) {
                drop();
                continue;
            }
            m_frames.emplace_back(reinterpret_cast<const char*>(b), int(13 + length));
            m_at += 13 + length;
        }
    }
    void drop()
    {
        ++m_at;
        ++m_dropped;
    }

    std::vector<char> m_bytes;
    size_t m_at = 0;
    size_t m_dropped = 0;
    std::vector<QByteArray> m_frames;
};

} // namespace receiveref
