#include "device/RingBuffer.h"

#include "protocol/Checksum.h"

#include <algorithm>
#include <cstring>

RingBuffer::RingBuffer()
    : m_count(Phases)
    , m_capacity(Capacity)
    , m_head(0)
    , m_tail(0)
    , m_held(0)
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
    const quint16* p = m_columns + countAt(offset) - Phases;
    const int n = count - 1;
    const int K = n & ~(Phases - 1);
    const int m = n & (Phases - 1);
    // A span shorter than Phases has K = 0, and its columns r > m come out as p[r] - p[r] = 0.
    // Only the low 16 bits count: sums, differences and products are taken modulo 2^16.
#if defined(__SSE2__)
    // The sixteen columns at once, eight in each half; the places read past the span's last byte
    // (at most 15, within the padding) fall in columns r > m, which take the row before.
    const auto load = [](const quint16* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); };
    const __m128i upTo = _mm_set1_epi16(short(m + 1));
    const __m128i lastLow = _mm_cmplt_epi16(_mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7), upTo);
    const __m128i lastHigh = _mm_cmplt_epi16(_mm_setr_epi16(8, 9, 10, 11, 12, 13, 14, 15), upTo);
    const auto column = [&](int half, __m128i inLastRow) {
        const __m128i last = _mm_or_si128(_mm_and_si128(inLastRow, load(p + Phases + K + half)),
            _mm_andnot_si128(inLastRow, load(p + K + half)));
        return _mm_mullo_epi16(_mm_sub_epi16(last, load(p + half)), load(Checksum::table16 + half));
    };
    __m128i total = _mm_add_epi16(column(0, lastLow), column(8, lastHigh));
    total = _mm_add_epi16(total, _mm_srli_si128(total, 8));
    total = _mm_add_epi16(total, _mm_srli_si128(total, 4));
    total = _mm_add_epi16(total, _mm_srli_si128(total, 2));
    return quint16(_mm_cvtsi128_si32(total));
#else
    quint16 total = 0;
    for (int r = 0; r < Phases; ++r) {
        const quint16 last = r <= m ? p[Phases + K + r] : p[K + r];
        total = quint16(total + quint16(last - p[r]) * Checksum::table16[r]);
    }
    return total;
#endif
}

int RingBuffer::append(const uchar* data, int count, int readable)
{
    count = std::min(count, MaxAvailable - m_held);
    if (count <= 0)
        return 0;
    readable = std::max(readable, count);
    if (m_count + count > Columns)
        keepRecentColumns();
    m_held += count;
    // A few bytes go in one by one.
    if (count < 8) {
        for (int i = 0; i < count; ++i)
            store(data[i]);
        return count;
    }

    // The bytes go in up to the ring's end, then from its start; up to sixteen as two eight-byte
    // words that may overlap.
    const int first = std::min(count, m_capacity - m_tail);
    uchar* const to = m_bytes + m_tail;
    if (first >= 8 && first <= 16) {
        quint64 word;
        std::memcpy(&word, data, 8);
        std::memcpy(to, &word, 8);
        std::memcpy(&word, data + first - 8, 8);
        std::memcpy(to + first - 8, &word, 8);
    } else {
        std::memcpy(to, data, size_t(first));
    }
    if (count > first)
        std::memcpy(m_bytes, data + first, size_t(count - first));
    m_tail += count;
    if (m_tail >= m_capacity)
        m_tail -= m_capacity;

    // The columns, made from the caller's bytes: sixteen at once wherever sixteen can be read
    // (those past the last byte lie beyond it, and are written again before any span reaches
    // them), the rest one by one.
    quint16* column = m_columns + m_count;
    int i = 0;
#if defined(__SSE2__)
    const __m128i mask = _mm_set1_epi8(char(PayloadMask));
    const __m128i zero = _mm_setzero_si128();
    for (; i < count && readable - i >= Phases; i += Phases) {
        const __m128i weighed
            = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i)), mask);
        const __m128i low
            = _mm_add_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(column + i - Phases)),
                _mm_unpacklo_epi8(weighed, zero));
        const __m128i high
            = _mm_add_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(column + i - Phases + 8)),
                _mm_unpackhi_epi8(weighed, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(column + i), low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(column + i + 8), high);
    }
#endif
    for (; i < count; ++i)
        column[i] = quint16(column[i - Phases] + (data[i] ^ PayloadMask));
    m_count += count;
    return count;
}

void RingBuffer::keepRecentColumns()
{
    const int from = (countAt(0) - Phases) & ~(Phases - 1);
    std::memmove(m_columns, m_columns + from, size_t(m_count - from) * sizeof(quint16));
    m_count -= from;
}

void RingBuffer::searchFor(uchar byte)
{
    while (m_held > 0) {
        // The held bytes up to the ring's end (or the tail), searched in one go.
        const int inRow = std::min(m_capacity - m_head, m_held);
        const uchar* from = m_bytes + m_head;
        const void* found = std::memchr(from, byte, size_t(inRow));
        if (found) {
            remove(int(static_cast<const uchar*>(found) - from));
            return;
        }
        remove(inRow);
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
