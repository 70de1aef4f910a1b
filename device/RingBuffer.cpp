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
    return checkOfColumns(m_columns + countAt(offset) - Phases, count);
}

RingBuffer::TurnedWeights::TurnedWeights()
{
    for (int k = 0; k < Phases; ++k)
        for (int i = 0; i < Phases; ++i)
            rows[k][i] = Checksum::table16[(i + k) % Phases];
}

const RingBuffer::TurnedWeights RingBuffer::s_turned;

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

    // The columns, made from the caller's bytes (those written past the last byte lie beyond
    // it, and are written again before any span reaches them).
    addColumns(m_columns + m_count, data, count, readable);
    m_count += count;
    return count;
}

void RingBuffer::addColumns(quint16* column, const uchar* data, int count, int readable)
{
    // Sixteen at once wherever sixteen can be read, the rest one by one.
    int i = 0;
#if defined(__SSE2__)
    const __m128i mask = _mm_set1_epi8(char(PayloadMask));
    const __m128i zero = _mm_setzero_si128();
    const auto load = [](const quint16* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); };
    // The sixteen places before are those just written: they stay in registers.
    __m128i low = load(column - Phases);
    __m128i high = load(column - Phases + 8);
    const int inRows = std::min(count, readable - Phases + 1);
    for (; i < inRows; i += Phases) {
        const __m128i weighed
            = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i)), mask);
        low = _mm_add_epi16(low, _mm_unpacklo_epi8(weighed, zero));
        high = _mm_add_epi16(high, _mm_unpackhi_epi8(weighed, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(column + i), low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(column + i + 8), high);
    }
#endif
    for (; i < count; ++i)
        column[i] = quint16(column[i - Phases] + (data[i] ^ PayloadMask));
}

#if defined(ORVIX_WIDE_SCAN)
ORVIX_AVX2 void RingBuffer::Wide::addColumns(quint16* column, const uchar* data, int count, int readable)
{
    // As the narrow sums, sixteen bytes widened at once to one vector of sixteen sums.
    int i = 0;
    const __m256i mask = _mm256_set1_epi16(PayloadMask);
    __m256i sums = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(column - Phases));
    const int inRows = std::min(count, readable - Phases + 1);
    for (; i < inRows; i += Phases) {
        const __m256i widened
            = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i)));
        sums = _mm256_add_epi16(sums, _mm256_xor_si256(widened, mask));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(column + i), sums);
    }
    for (; i < count; ++i)
        column[i] = quint16(column[i - Phases] + (data[i] ^ PayloadMask));
}

namespace
{
bool processorHasAvx2()
{
    // The processor's features may be asked before every static object is made.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}
} // namespace

bool RingBuffer::s_wideScan = processorHasAvx2();

bool RingBuffer::setWideScan(bool wide)
{
    s_wideScan = wide && processorHasAvx2();
    return s_wideScan;
}
#else
bool RingBuffer::s_wideScan = false;

bool RingBuffer::setWideScan(bool)
{
    return false;
}
#endif

void RingBuffer::keepRecentColumns()
{
    const int from = (countAt(0) - Phases) & ~(Phases - 1);
    std::memmove(m_columns, m_columns + from, size_t(m_count - from) * sizeof(quint16));
    m_count -= from;
}

void RingBuffer::searchFor(uchar byte)
{
    while (m_held > 0) {
        // The held bytes up to the ring's end (or the tail), searched in one go; the ring is
        // padded, so sixteen can be read from any place.
        const int inRow = std::min(m_capacity - m_head, m_held);
        const int at = find(m_bytes + m_head, inRow, 16, byte);
        remove(at);
        if (at < inRow)
            return;
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
