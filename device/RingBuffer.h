#pragma once
// Fixed receive ring of the dongle's serial line.
//
// 136 bytes are allocated once; indexes run modulo the capacity of 135, and one slot always
// stays free, so the ring holds at most 134 bytes: exactly the longest frame the receiver
// accepts (13 header bytes + L of at most 121).
//
// Beside the bytes the ring keeps running sums of them, one addition per byte (sixteen bytes at a
// time), so that the payload check of any span it holds costs the same few steps whatever the
// span's length: a stream of false headers, each announcing a long body, is checked at the speed
// of a clean stream.
#include <QByteArray>
#include <QtAlgorithms>
#include <QtGlobal>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
// Where the compiler can make code for AVX2 beside the rest, reads are scanned with it when the
// processor has it (chosen once, at run time).
#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define ORVIX_WIDE_SCAN 1
#define ORVIX_AVX2 __attribute__((target("avx2")))
#include <immintrin.h>
#else
#define ORVIX_AVX2
#endif
#include <algorithm>
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

    // Bytes between head and tail (tail - head, plus the capacity when that is negative).
    int available() const { return m_held; }
    bool isEmpty() const { return m_held == 0; }
    bool isFull() const { return m_held == MaxAvailable; }

    // Empties the ring (head := tail := 0).
    void clear()
    {
        // The column sums need no reset: a span's sums are differences within the span.
        m_head = m_tail = m_held = 0;
    }

    // Stores one byte at the tail; false (nothing stored) when the ring is full.
    bool append(uchar byte)
    {
        if (isFull())
            return false;
        if (m_count == Columns)
            keepRecentColumns();
        store(byte);
        ++m_held;
        return true;
    }

    // Stores up to count bytes at the tail, as many as there is room for; returns how many.
    // readable (when above count) is how many bytes at data may be read: runs of sixteen are then
    // read at once.
    int append(const uchar* data, int count, int readable = 0);

    // The byte offset places after the head; 0 for an offset outside the held bytes.
    uchar at(int offset) const
    {
        if (offset < 0 || offset >= available())
            return 0;
        return m_bytes[index(offset)];
    }
    // The same without the range check: offset must lie within the held bytes.
    uchar atUnchecked(int offset) const { return m_bytes[index(offset)]; }
    // The first count bytes (at most 16) in a row: in place, or copied to scratch when they run
    // past the ring's end. At least count bytes must be held; 16 can be read from the result.
    const uchar* front(int count, uchar (&scratch)[16]) const
    {
        if (m_head + count <= m_capacity)
            return m_bytes + m_head;
        copy(0, count, reinterpret_cast<char*>(scratch));
        return scratch;
    }
    // The plain sum of the first 12 bytes (a header's, before its check byte); at least 12 must
    // be held.
    unsigned headerSum() const
    {
        uchar scratch[16];
        return headerSumOf(front(12, scratch));
    }
    // The plain sum of the 12 bytes at bytes, of which 16 can be read.
    static unsigned headerSumOf(const uchar* bytes) { return sumOfFirst<12>(bytes); }
    // The mask of word Word of sixteen bytes that keeps the first Count of them.
    template <int Count, int Word> static constexpr int keptOf()
    {
        return Count >= 4 * (Word + 1) ? -1 : Count <= 4 * Word ? 0 : int((1u << 8 * (Count - 4 * Word)) - 1);
    }
    // The plain sum of the first Count bytes at bytes, of which 16 can be read.
    template <int Count> static unsigned sumOfFirst(const uchar* bytes)
    {
        static_assert(Count > 0 && Count <= 16, "one sixteen-byte read");
#if defined(__SSE2__)
        // Sixteen bytes read at once, the last 16 - Count masked off.
        const __m128i keep
            = _mm_set_epi32(keptOf<Count, 3>(), keptOf<Count, 2>(), keptOf<Count, 1>(), keptOf<Count, 0>());
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

    // Copies up to count bytes starting offset places after the head into dst, never past
    // the held bytes; returns the number copied.
    int copy(int offset, int count, char* dst) const;
    // The same as a byte array.
    QByteArray peek(int offset, int count) const;
    // The sum of up to count bytes starting offset places after the head, read in place (the
    // receiver tests a header's check byte this way before it copies anything).
    unsigned sum(int offset, int count) const;

    // The payload check (Checksum::crc16) of count bytes starting offset places after the head,
    // from the running sums; 0 unless the span lies within the held bytes.
    quint16 payloadSum(int offset, int count) const;

    // Holds count bytes (at most MaxAvailable) in place of none, for reading only: their running
    // sums are not kept, so payloadSum is not for them. The ring must be empty, and is emptied
    // (clear) after use.
    void assign(const uchar* data, int count)
    {
        count = std::min(count, int(MaxAvailable));
        std::memcpy(m_bytes, data, size_t(count));
        m_head = 0;
        m_tail = m_held = count;
    }

    // Running sums of bytes outside the ring (the bytes of one read, checked in place).
    // The payload check weighs the bytes' positions modulo Phases (Checksum::table16).
    static constexpr int Phases = 16;
    // Writes the running column sums of count bytes at data to column[0 .. count); the Phases
    // places before column must be there (whatever their values: a span's check takes
    // differences within it). readable (when above count) is how many bytes at data may be
    // read; up to Phases - 1 places past the last may be written.
    static void addColumns(quint16* column, const uchar* data, int count, int readable);
    // The payload check of count bytes from their running sums: before is the place Phases
    // before the first byte's.
    static quint16 checkOfColumns(const quint16* before, unsigned count)
    {
        // Byte i of the span weighs table16[i % 16]. The bytes i = r, r + 16, r + 32 ... of the
        // span are one column: its sum is the running sum at the last of them less the one Phases
        // places before the first. Those first places are before[0 .. Phases), column r's at
        // before[r]; the last places are the span's last Phases, before[count .. count + Phases),
        // where place i is the last of column (i + count) % Phases. A column with no byte in a
        // span shorter than Phases takes the same place twice, which cancels. Only the low 16 bits
        // count: sums, differences and products are taken modulo 2^16.
        const quint16* turned = s_turned.rows[count & (Phases - 1)];
#if defined(__SSE2__)
        // Products added in pairs (madd): the low 16 bits of a signed product are those of the
        // unsigned one.
        const auto load
            = [](const quint16* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); };
        const auto weigh = [&](const quint16* at, const quint16* weights) {
            return _mm_add_epi32(
                _mm_madd_epi16(load(at), load(weights)), _mm_madd_epi16(load(at + 8), load(weights + 8)));
        };
        __m128i total = _mm_sub_epi32(weigh(before + count, turned), weigh(before, s_turned.rows[0]));
        total = _mm_add_epi32(total, _mm_shuffle_epi32(total, _MM_SHUFFLE(1, 0, 3, 2)));
        total = _mm_add_epi32(total, _mm_shuffle_epi32(total, _MM_SHUFFLE(2, 3, 0, 1)));
        return quint16(_mm_cvtsi128_si32(total));
#else
        quint16 total = 0;
        for (int i = 0; i < Phases; ++i)
            total = quint16(total + before[count + i] * turned[i] - before[i] * s_turned.rows[0][i]);
        return total;
#endif
    }
    // The vector work of scanning a read, by Places places at a time: Narrow with sixteen-byte
    // vectors (SSE2, or plain code), Wide with thirty-two-byte ones (AVX2, only called where
    // wideScan()). Both give the same results.
    struct Narrow {
        static constexpr int Places = 16;
        // One bit per place of the Places at p (the first's lowest) that holds first, with second
        // after it.
        static unsigned pairs(const uchar* p, uchar first, uchar second)
        {
            return matches16(p, first) & matches16(p + 1, second);
        }
        static void addColumns(quint16* column, const uchar* data, int count, int readable)
        {
            RingBuffer::addColumns(column, data, count, readable);
        }
        static quint16 checkOfColumns(const quint16* before, unsigned count)
        {
            return RingBuffer::checkOfColumns(before, count);
        }
    };
#if defined(ORVIX_WIDE_SCAN)
    struct Wide {
        static constexpr int Places = 32;
        ORVIX_AVX2 static unsigned pairs(const uchar* p, uchar first, uchar second)
        {
            const __m256i atFirst = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
            const __m256i atSecond = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 1));
            return unsigned(_mm256_movemask_epi8(
                _mm256_and_si256(_mm256_cmpeq_epi8(atFirst, _mm256_set1_epi8(char(first))),
                    _mm256_cmpeq_epi8(atSecond, _mm256_set1_epi8(char(second))))));
        }
        ORVIX_AVX2 static void addColumns(quint16* column, const uchar* data, int count, int readable);
        ORVIX_AVX2 static quint16 checkOfColumns(const quint16* before, unsigned count)
        {
            // As the narrow check, the sixteen sums before and after the span one load each.
            const __m256i after
                = _mm256_madd_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(before + count)),
                    _mm256_load_si256(reinterpret_cast<const __m256i*>(s_turned.rows[count & (Phases - 1)])));
            const __m256i first
                = _mm256_madd_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(before)),
                    _mm256_load_si256(reinterpret_cast<const __m256i*>(s_turned.rows[0])));
            const __m256i total = _mm256_sub_epi32(after, first);
            __m128i half = _mm_add_epi32(_mm256_castsi256_si128(total), _mm256_extracti128_si256(total, 1));
            half = _mm_add_epi32(half, _mm_shuffle_epi32(half, _MM_SHUFFLE(1, 0, 3, 2)));
            half = _mm_add_epi32(half, _mm_shuffle_epi32(half, _MM_SHUFFLE(2, 3, 0, 1)));
            return quint16(_mm_cvtsi128_si32(half));
        }
    };
#endif
    // Whether reads are scanned by Wide: where the processor has AVX2, unless turned off.
    static bool wideScan()
    {
        return s_wideScan;
    }
    // Scans by Wide where the processor can, or by Narrow only (the tests run both); returns
    // whether Wide is used.
    static bool setWideScan(bool wide);

    // One bit per byte of the sixteen at bytes that equals byte, the first byte's lowest.
    static unsigned matches16(const uchar* bytes, uchar byte)
    {
#if defined(__SSE2__)
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
        return unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(char(byte)))));
#else
        unsigned bits = 0;
        for (int i = 0; i < 16; ++i)
            bits |= unsigned(bytes[i] == byte) << i;
        return bits;
#endif
    }
    // The offset of the first of count bytes at from that equals byte, or count when none does.
    // It most often lies among the first sixteen: where sixteen can be read (readable), those are
    // compared at once, and only the rest is searched.
    static int find(const uchar* from, int count, int readable, uchar byte)
    {
        int at = 0;
        if (readable >= 16) {
            const unsigned hits = matches16(from, byte) & (count >= 16 ? 0xFFFFu : (1u << count) - 1);
            if (hits)
                return int(qCountTrailingZeroBits(hits));
            at = std::min(count, 16);
        }
        const void* found = std::memchr(from + at, byte, size_t(count - at));
        return found ? int(static_cast<const uchar*>(found) - from) : count;
    }

    // Drops the bytes before the first byte of this value held (all of them if there is none).
    void skipTo(uchar byte)
    {
        // Most often the byte is the first or the second held: those are looked at one by one,
        // and only then the rest searched.
        for (int i = 0; i < 2; ++i) {
            if (m_held == 0 || m_bytes[m_head] == byte)
                return;
            remove(1);
        }
        searchFor(byte);
    }

    // Drops up to count bytes from the head (never more than are held).
    void remove(int count)
    {
        if (count <= 0)
            return;
        count = std::min(count, m_held);
        m_held -= count;
        m_head += count;
        if (m_head >= m_capacity)
            m_head -= m_capacity;
    }

private:
    // Stores one byte and its column at the tail (the caller counts it held).
    void store(uchar byte)
    {
        m_bytes[m_tail] = byte;
        m_columns[m_count] = quint16(m_columns[m_count - Phases] + (byte ^ PayloadMask));
        ++m_count;
        m_tail = next(m_tail);
    }
    // Moves the columns still needed (the held bytes' and the Phases before them) to the front.
    void keepRecentColumns();
    // skipTo beyond the first two bytes held.
    void searchFor(uchar byte);
    int next(int i) const
    {
        return i + 1 == m_capacity ? 0 : i + 1;
    }
    int index(int offset) const
    {
        const int i = m_head + offset;
        return i >= m_capacity ? i - m_capacity : i;
    }

    // The payload check's weights turned by each phase: row k, place i weighs a byte i + k
    // places into a span (table16[(i + k) % 16]).
    struct TurnedWeights {
        TurnedWeights();
        alignas(32) quint16 rows[Phases][Phases];
    };
    static const TurnedWeights s_turned;
    static bool s_wideScan;
    static constexpr uchar PayloadMask = 0x5A;

    // Places of m_columns in use before the recent ones are moved to the front.
    static constexpr int Columns = 1024;

    // The place in m_columns of the byte offset places after the head.
    int countAt(int offset) const
    {
        return m_count - available() + offset;
    }

    // Padded so that 16 bytes can be read from any slot at once (headerSum, skipTo).
    uchar m_bytes[Size + 16];
    // One place per byte appended, in order: the sum of (byte ^ PayloadMask) over that byte and
    // every byte appended a multiple of Phases places before it, modulo 2^16 like the check
    // itself. Two places a multiple of Phases apart differ by the column of the bytes after the
    // first up to the second. The Phases places before the head's are always there; when the
    // places run out, the ones still needed move to the front, a multiple of Phases back, so that
    // a place keeps its column. Padded so that 16 places can be read or written past the last.
    quint16 m_columns[Columns + Phases];
    int m_count; // the place of the next byte appended
    int m_capacity;
    int m_head;
    int m_tail;
    int m_held; // bytes between head and tail
};
