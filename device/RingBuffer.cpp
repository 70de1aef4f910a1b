#include "device/RingBuffer.h"

#include <algorithm>
#include <cstring>

RingBuffer::RingBuffer()
    : m_capacity(Capacity)
    , m_head(0)
    , m_tail(0)
{
    std::memset(m_bytes, 0, sizeof(m_bytes));
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
