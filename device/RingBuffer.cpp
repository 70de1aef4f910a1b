#include "device/RingBuffer.h"

#include "protocol/Checksum.h"

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <cstring>

RingBuffer::RingBuffer()
    : m_count(0)
    , m_capacity(Capacity)
    , m_head(0)
    , m_tail(0)
{
    std::memset(m_bytes, 0, sizeof(m_bytes));
    std::memset(m_columns, 0, sizeof(m_columns));
}

unsigned RingBuffer::sum(int offset, int count) const
{
    const int avail = available();
    if (offset < 0 || count <= 0 || offset >= avail)
        return 0;
    count = std::min(count, avail - offset);
    unsigned total = 0;
    for (int i = 0; i < count; ++i)
        total += m_bytes[index(offset + i)];
    return total;
}

quint16 RingBuffer::payloadSum(int offset, int count) const
{
    if (offset < 0 || count <= 0 || count > available() - offset)
        return 0;
    // Byte i of the span weighs table16[i % 16]. The bytes i = r, r + 16, r + 32 ... of the span
    // are one column: its sum is the running column sum at the last of them less the one Phases
    // places before the first. With p[Phases + i] the running sum at byte i of the span, column
    // r is p[Phases + r + K] - p[r] for r <= m, and p[r + K] - p[r] for r > m, where the last
    // byte is n = K + m (m < Phases).
    const quint16* p = m_columns + uchar(countAt(offset) - Phases);
    const quint16* weight = Checksum::table16;
    const int n = count - 1;
    const int K = n & ~(Phases - 1);
    const int m = n & (Phases - 1);
    // A span shorter than Phases has K = 0, and its columns r > m come out as p[r] - p[r] = 0.
    // Only the low 16 bits count: sums, differences and products are taken modulo 2^16.
    quint16 total = 0;
    for (int r = 0; r < Phases; ++r) {
        const quint16 last = r <= m ? p[Phases + K + r] : p[K + r];
        total = quint16(total + quint16(last - p[r]) * weight[r]);
    }
    return total;
}

int RingBuffer::append(const uchar* data, int count)
{
    count = std::min(count, MaxAvailable - available());
    // The ring's places are kept in locals: the bytes stored could alias them otherwise.
    int tail = m_tail;
    uchar place = m_count;
    for (int i = 0; i < count; ++i) {
        const uchar byte = data[i];
        m_bytes[tail] = byte;
        const quint16 column = quint16(m_columns[uchar(place - Phases)] + (byte ^ PayloadMask));
        m_columns[place] = column;
        m_columns[place + 256] = column;
        ++place;
        tail = tail + 1 == Capacity ? 0 : tail + 1;
    }
    m_tail = tail;
    m_count = place;
    return std::max(count, 0);
}

unsigned RingBuffer::headerSum() const
{
    constexpr int Count = 12;
    const uchar* bytes = m_bytes + m_head;
    uchar copied[16];
    if (m_head + Count > m_capacity) {
        copy(0, Count, reinterpret_cast<char*>(copied));
        bytes = copied;
    }
#if defined(__SSE2__)
    // Sixteen bytes read at once (the ring and the copy are padded), the last four masked off.
    const __m128i keep = _mm_set_epi32(0, -1, -1, -1);
    const __m128i v = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)), keep);
    const __m128i sums = _mm_sad_epu8(v, _mm_setzero_si128());
    return unsigned(_mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4));
#else
    unsigned total = 0;
    for (int i = 0; i < Count; ++i)
        total += bytes[i];
    return total;
#endif
}

void RingBuffer::searchFor(uchar byte)
{
    while (!isEmpty()) {
        // The held bytes up to the ring's end (or the tail), searched in one go.
        const int end = m_tail > m_head ? m_tail : m_capacity;
        const void* found = std::memchr(m_bytes + m_head, byte, size_t(end - m_head));
        if (found) {
            m_head = int(static_cast<const uchar*>(found) - m_bytes);
            return;
        }
        m_head = end == m_capacity ? 0 : end;
    }
}

int RingBuffer::copy(int offset, int count, char* dst) const
{
    const int avail = available();
    if (offset < 0 || count <= 0 || offset >= avail)
        return 0;
    count = std::min(count, avail - offset);
    int start = (m_head + offset) % m_capacity;
    const int first = std::min(count, m_capacity - start);
    std::memcpy(dst, m_bytes + start, size_t(first));
    if (count > first)
        std::memcpy(dst + first, m_bytes, size_t(count - first));
    return count;
}

QByteArray RingBuffer::peek(int offset, int count) const
{
    const int avail = available();
    if (offset < 0 || count <= 0 || offset >= avail)
        return QByteArray();
    count = std::min(count, avail - offset);
    QByteArray out(count, Qt::Uninitialized);
    copy(offset, count, out.data());
    return out;
}
