#pragma once

#include <QtGlobal>
#include <cstddef>

// Check values of the dongle's serial frames.
//
// crc8 guards the 13-byte header (two's complement of the byte sum), crc16 the payload
// (a position-weighted sum). crc32 is the reflected-polynomial table CRC kept for
// completeness. Append() computes crc16 incrementally, one byte at a time.
class Checksum {
public:
    Checksum();

    void reset();
    // Adds one payload byte and returns the new running sum.
    quint16 append(uchar b);

    quint16 sum() const { return m_sum; }
    quint32 position() const { return m_position; }

    static quint8 crc8(void const* data, size_t offset, size_t length);
    // crc8 of bytes whose plain sum is given.
    static quint8 crc8OfSum(unsigned sum) { return quint8((256u - (sum & 0xFFu)) & 0xFFu); }
    static quint16 crc16(void const* data, size_t offset, size_t length);
    static quint32 crc32(void const* data, size_t offset, size_t length, int crc);

    static const quint16 table16[16];
    static const quint32 table32[256];

private:
    quint32 m_position;
    quint16 m_sum;
};
