#pragma once
// Fixed receive ring of the dongle's serial line.
//
// 136 bytes are allocated once; indexes run modulo the capacity of 135, and one slot always
// stays free, so the ring holds at most 134 bytes: exactly the longest frame the receiver
// accepts (13 header bytes + L of at most 121).
#include <QByteArray>
#include <QtGlobal>

class RingBuffer {
public:
    static constexpr int Size = 136;
    static constexpr int Capacity = 135;
    // Most bytes the ring can hold at once.
    static constexpr int MaxAvailable = Capacity - 1;

    RingBuffer();

    int head() const { return m_head; }
    int tail() const { return m_tail; }
    int capacity() const { return m_capacity; }

    // Bytes between head and tail.
    int available() const
    {
        int n = m_tail - m_head;
        return n < 0 ? n + m_capacity : n;
    }
    bool isEmpty() const { return m_head == m_tail; }
    bool isFull() const { return next(m_tail) == m_head; }

    // Empties the ring (head := tail := 0).
    void clear() { m_head = m_tail = 0; }

    // Stores one byte at the tail; false (nothing stored) when the ring is full.
    bool append(uchar byte)
    {
        if (isFull())
            return false;
        m_bytes[m_tail] = byte;
        m_tail = next(m_tail);
        return true;
    }

    // The byte offset places after the head; 0 for an offset outside the held bytes.
    uchar at(int offset) const
    {
        if (offset < 0 || offset >= available())
            return 0;
        return m_bytes[index(offset)];
    }
    // The same without the range check: offset must lie within the held bytes.
    uchar atUnchecked(int offset) const { return m_bytes[index(offset)]; }

    // Copies up to count bytes starting offset places after the head into dst, never past
    // the held bytes; returns the number copied.
    int copy(int offset, int count, char* dst) const;
    // The same as a byte array.
    QByteArray peek(int offset, int count) const;
    // The sum of up to count bytes starting offset places after the head, read in place (the
    // receiver tests a header's check byte this way before it copies anything).
    unsigned sum(int offset, int count) const
    {
        const int avail = available();
        if (offset < 0 || count <= 0 || offset >= avail)
            return 0;
        if (count > avail - offset)
            count = avail - offset;
        const int start = index(offset);
        const int first = count < m_capacity - start ? count : m_capacity - start;
        unsigned total = 0;
        for (const uchar* p = m_bytes + start; p != m_bytes + start + first; ++p)
            total += *p;
        for (const uchar* p = m_bytes; p != m_bytes + (count - first); ++p)
            total += *p;
        return total;
    }

    // Drops up to count bytes from the head (never more than are held).
    void remove(int count)
    {
        if (count <= 0)
            return;
        const int avail = available();
        m_head += count < avail ? count : avail;
        if (m_head >= m_capacity)
            m_head -= m_capacity;
    }

private:
    int next(int i) const { return i + 1 == m_capacity ? 0 : i + 1; }
    int index(int offset) const
    {
        const int i = m_head + offset;
        return i >= m_capacity ? i - m_capacity : i;
    }

    uchar m_bytes[Size];
    int m_capacity;
    int m_head;
    int m_tail;
};
