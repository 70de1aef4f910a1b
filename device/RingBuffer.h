#pragma once
// Fixed receive ring of the dongle's serial line.
//
// 136 bytes are allocated once; indexes run modulo the capacity of 135, and one slot always
// stays free, so the ring holds at most 134 bytes: exactly the longest frame the receiver
// accepts (13 header bytes + L of at most 121).
//
// Beside the bytes the ring keeps running sums of them, so that the payload check of any span
// it holds (and the plain sum a header's check byte needs) costs the same few steps whatever the
// span's length: a stream of false headers, each announcing a long body, is checked at the speed
// of a clean stream.
#include <QByteArray>
#include <QtGlobal>

#include <cstring>

class RingBuffer
{
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
    void clear()
    {
        m_head = m_tail = 0;
        std::memset(m_sums[0], 0, sizeof m_sums[0]);
        m_totals[0] = 0;
    }

    // Stores one byte at the tail; false (nothing stored) when the ring is full.
    bool append(uchar byte)
    {
        if (isFull())
            return false;
        m_bytes[m_tail] = byte;
        const int after = next(m_tail);
        // The sums before the next byte: these and this byte in the column of its phase.
        std::memcpy(m_sums[after], m_sums[m_tail], sizeof m_sums[after]);
        m_phase[after] = uchar((m_phase[m_tail] + 1) & (Phases - 1));
        m_sums[after][m_phase[m_tail]] += quint32(byte ^ PayloadMask);
        m_totals[after] = m_totals[m_tail] + byte;
        m_tail = after;
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
        return m_totals[index(offset + count)] - m_totals[index(offset)];
    }

    // The payload check (Checksum::crc16) of count bytes starting offset places after the head,
    // from the running sums; 0 unless the span lies within the held bytes.
    quint16 payloadSum(int offset, int count) const;

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

    // The payload check weighs the bytes' positions modulo 16 (Checksum::table16).
    static constexpr int Phases = 16;
    static constexpr uchar PayloadMask = 0x5A;

    uchar m_bytes[Size];
    // Per slot: for each phase, the sum of (byte ^ PayloadMask) over the bytes appended before
    // the slot's byte whose running count has that phase (wrapping modulo 2^32, whose low 16
    // bits stay exact); and the phase of the slot's byte. The tail slot holds the totals.
    quint32 m_sums[Size][Phases];
    quint32 m_totals[Size]; // the plain sum of the bytes appended before the slot's byte
    uchar m_phase[Size];
    int m_capacity;
    int m_head;
    int m_tail;
};
