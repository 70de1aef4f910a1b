#include "device/RingBuffer.h"

#include "protocol/Checksum.h"

#include <algorithm>
#include <cstring>

RingBuffer::RingBuffer()
    : m_capacity(Capacity)
    , m_head(0)
    , m_tail(0)
{
    std::memset(m_bytes, 0, sizeof(m_bytes));
    std::memset(m_sums, 0, sizeof(m_sums));
    std::memset(m_totals, 0, sizeof(m_totals));
    std::memset(m_phase, 0, sizeof(m_phase));
}

quint16 RingBuffer::payloadSum(int offset, int count) const
{
    if (offset < 0 || count <= 0 || count > available() - offset)
        return 0;
    const int first = index(offset);
    const int end = index(offset + count); // the tail slot when the span reaches it
    // Byte i of the span has the phase (phase of its first byte + i) modulo 16 and weighs
    // table16[i % 16]: each phase's sum of the span, weighed by its place relative to the first.
    const quint32* before = m_sums[first];
    const quint32* after = m_sums[end];
    const int start = m_phase[first];
    quint32 total = 0;
    for (int phase = 0; phase < Phases; ++phase)
        total += (after[phase] - before[phase]) * Checksum::table16[(phase - start) & (Phases - 1)];
    return quint16(total);
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
