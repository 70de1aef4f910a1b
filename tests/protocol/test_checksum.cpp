#include "protocol/Checksum.h"

#include <gtest/gtest.h>

#include <QByteArray>

TEST(Checksum, Crc16OfAbc)
{
    EXPECT_EQ(Checksum::crc16("abc", 0, 3), 0x7F00);
    EXPECT_EQ(Checksum::crc16("abc", 0, 0), 0);
    EXPECT_EQ(Checksum::crc16(nullptr, 0, 0), 0);
}

TEST(Checksum, Crc16PositionCountsFromFirstByteTaken)
{
    EXPECT_EQ(Checksum::crc16("xxabc", 2, 3), 0x7F00);
    // Beyond 16 bytes the weights start over.
    QByteArray const data(40, '\x33');
    quint32 expected = 0;
    for (int i = 0; i < data.size(); ++i)
        expected = (expected + quint32(0x33 ^ 0x5A) * Checksum::table16[i % 16]) & 0xFFFF;
    EXPECT_EQ(Checksum::crc16(data.constData(), 0, size_t(data.size())), expected);
}

TEST(Checksum, AppendMatchesCrc16AndResets)
{
    QByteArray data;
    for (int i = 0; i < 300; ++i)
        data.append(char(i * 37 + 11));
    Checksum c;
    EXPECT_EQ(c.sum(), 0);
    quint16 last = 0;
    for (char b : data)
        last = c.append(uchar(b));
    EXPECT_EQ(last, Checksum::crc16(data.constData(), 0, size_t(data.size())));
    EXPECT_EQ(c.position(), 300u);
    c.reset();
    EXPECT_EQ(c.sum(), 0);
    EXPECT_EQ(c.position(), 0u);
    c.append('a');
    c.append('b');
    EXPECT_EQ(c.append('c'), 0x7F00);
}

TEST(Checksum, Crc8IsTwosComplementOfSum)
{
    QByteArray zeros(12, '\0');
    EXPECT_EQ(Checksum::crc8(zeros.constData(), 0, 12), 0);
    QByteArray sync = QByteArray::fromHex("55AA") + QByteArray(10, '\0');
    EXPECT_EQ(Checksum::crc8(sync.constData(), 0, 12), 0x01);
    EXPECT_EQ(Checksum::crc8(sync.constData(), 0, 0), 0);
    EXPECT_EQ(Checksum::crc8("\x01", 0, 1), 0xFF);
    // Offset skips bytes.
    EXPECT_EQ(Checksum::crc8(sync.constData(), 1, 1), 0x56);
}

TEST(Checksum, Crc32Table)
{
    EXPECT_EQ(Checksum::table32[0], 0u);
    EXPECT_EQ(Checksum::table32[1], 0x77073096u);
    EXPECT_EQ(Checksum::table32[255], 0x2D02EF8Du);
    EXPECT_EQ(Checksum::table16[0], 1181);
    EXPECT_EQ(Checksum::table16[15], 27583);
}

TEST(Checksum, Crc32ShiftsLeftWithoutFinalInversion)
{
    // One byte from 0: table[(0 >> 24) ^ b].
    EXPECT_EQ(Checksum::crc32("\x01", 0, 1, 0), 0x77073096u);
    EXPECT_EQ(Checksum::crc32("", 0, 0, 1234), 1234u);
    // Two bytes: (t[1] << 8) ^ t[(t[1] >> 24) ^ 2].
    quint32 const t1 = Checksum::table32[1];
    EXPECT_EQ(Checksum::crc32("\x01\x02", 0, 2, 0), (t1 << 8) ^ Checksum::table32[((t1 >> 24) ^ 2) & 0xFF]);
}

TEST(Checksum, Crc32NegativeStartNeverIndexesOutside)
{
    // -1 has its top byte 0xFF; the index must stay 0..255 (0xFF ^ 0x00 = 255).
    quint32 const expected = (0xFFFFFFFFu << 8) ^ Checksum::table32[0xFF];
    EXPECT_EQ(Checksum::crc32("\x00", 0, 1, -1), expected);
    EXPECT_EQ(Checksum::crc32("\x80\xFF", 0, 2, int(0x80000000u)),
              ((((0x80000000u << 8) ^ Checksum::table32[0x80 ^ 0x80])) << 8)
                  ^ Checksum::table32[((((0x80000000u << 8) ^ Checksum::table32[0])) >> 24) ^ 0xFF]);
}
