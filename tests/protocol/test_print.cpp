#include "protocol/Print.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <cmath>
#include <limits>

namespace {
QByteArray hex(char const* text)
{
    return QByteArray::fromHex(text);
}
char const* const HeaderFields = ":2x, F:1b, PAN:2d, S:2x, D:2x, L:1d, PID:1d, CH:1d, CRC:1x";
} // namespace

TEST(QDump, HeaderFieldsVector)
{
    EXPECT_EQ(QDump(hex("55AA010100050000000510" "00E5"), HeaderFields, 16, 1),
              QStringLiteral("[0xAA55, F:0b00000001, PAN:1, S:0x0005, D:0x0000, L:5, PID:16, CH:0, CRC:0xE5]"));
}

TEST(QDump, EmptyArrayInBothModes)
{
    EXPECT_EQ(QDump(QByteArray(), nullptr, 16, 1), QStringLiteral("[]"));
    EXPECT_EQ(QDump(QByteArray(), HeaderFields, 16, 1), QStringLiteral("[]"));
}

TEST(QDump, HexGroupsAndLines)
{
    EXPECT_EQ(QDump(hex("0102030405"), nullptr, 2, 2), QStringLiteral("[01:02 - 03:04\n  05]"));
    EXPECT_EQ(QDump(hex("55AA01"), nullptr, 16, 1), QStringLiteral("[55:aa:01]"));

    QByteArray forty;
    for (int i = 0; i < 40; ++i)
        forty.append(char(i));
    QString const text = QDump(forty, nullptr, 16, 1);
    QStringList const lines = text.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith(QLatin1String("[00:01:02")));
    EXPECT_TRUE(lines[1].startsWith(QLatin1String("  10:11")));
    EXPECT_EQ(lines[2], QStringLiteral("  20:21:22:23:24:25:26:27]"));
}

TEST(QDump, UnmatchedFieldsFallBackToHex)
{
    EXPECT_EQ(QDump(hex("0102"), "A:5x,B:0d,C:1z,nocolon", 16, 1), QStringLiteral("[01:02]"));
    EXPECT_EQ(QDump(hex("0102"), "", 16, 1), QStringLiteral("[01:02]"));
}

TEST(QDump, SkippedEntriesTakeNoBytes)
{
    // The bad middle entry takes no bytes; the later one still gets the comma in its name.
    EXPECT_EQ(QDump(hex("0102"), "A:1d,bad,B:1x", 16, 1), QStringLiteral("[A:1,B:0x02]"));
    // Only the text's first part goes without the comma, even when that part fails to match.
    EXPECT_EQ(QDump(hex("07"), "bad,B:1d", 16, 1), QStringLiteral("[,B:7]"));
}

TEST(QDump, ShortDataWritesOnlyCompleteFields)
{
    EXPECT_EQ(QDump(hex("55AA0101"), HeaderFields, 16, 1), QStringLiteral("[0xAA55, F:0b00000001]"));
    // Bytes after the last field produce nothing.
    EXPECT_EQ(QDump(hex("0102FFFF"), "X:2x", 16, 1), QStringLiteral("[X:0x0201]"));
}

TEST(QDump, WidthZeroAndWideFieldsAreSafe)
{
    EXPECT_EQ(QDump(hex("0102"), nullptr, 0, 1), QStringLiteral("[01\n  02]"));
    EXPECT_EQ(QDump(hex("0102"), nullptr, -5, 0), QStringLiteral("[01 - 02]"));
    // A field wider than four bytes takes all its bytes and shows the first four.
    EXPECT_EQ(QDump(hex("0102030405060708"), "W:12x", 16, 1), QStringLiteral("[]"));
    EXPECT_EQ(QDump(QByteArray(11, '\x01') + hex("09"), "W:11x,V:1d", 16, 1), QStringLiteral("[W:0x01010101,V:9]"));
    EXPECT_EQ(QDump(QByteArray(12, '\x01'), "W:12b", 16, 1),
              QStringLiteral("[W:0b00000001 0b00000001 0b00000001 0b00000001]"));
    // Counts that cannot be read take no bytes.
    EXPECT_EQ(QDump(hex("01"), "W:44444444444444444444x", 16, 1), QStringLiteral("[01]"));
}

TEST(QDump, KeyPayloadIsMasked)
{
    QByteArray const password("secret-password!");
    QString const masked = QDumpPayload(PacketID::KEY, password + hex("1234"), 16, 1);
    EXPECT_FALSE(masked.contains(QLatin1String("73:65"))); // "se"
    QStringList stars;
    for (int i = 0; i < 16; ++i)
        stars << QStringLiteral("**");
    EXPECT_EQ(masked, QStringLiteral("[") + stars.join(QLatin1Char(':')) + QStringLiteral("\n  **:**]"));
    EXPECT_EQ(QDumpPayload(PacketID::DCP, hex("090000"), 16, 1), QStringLiteral("[09:00:00]"));
}

TEST(Print, Bits)
{
    EXPECT_EQ(Print::bits(2, 0x1234), QStringLiteral("0b00010010 0b00110100"));
    EXPECT_EQ(Print::bits(1, 0x81), QStringLiteral("0b10000001"));
    EXPECT_EQ(Print::bits(0, 0xFF), QString());
    EXPECT_EQ(Print::bits(-3, 0xFF), QString());
    EXPECT_EQ(Print::bits(4, 0x80000001u), QStringLiteral("0b10000000 0b00000000 0b00000000 0b00000001"));
    // Counts above four never shift by 32 or more: the extra bytes read as 0.
    EXPECT_EQ(Print::bits(6, 0xFFFFFFFFu).left(21), QStringLiteral("0b00000000 0b00000000"));
    EXPECT_EQ(Print::bits(40, 1).count(QLatin1String("0b")), 40);
}

TEST(Print, Repeat)
{
    EXPECT_EQ(Print::repeat(QStringLiteral("\t"), 3), QString(9, QLatin1Char(' ')));
    EXPECT_EQ(Print::repeat(QStringLiteral("a\tb"), 2), QStringLiteral("a   ba   b"));
    EXPECT_EQ(Print::repeat(QStringLiteral("\t"), 0), QString());
    EXPECT_EQ(Print::repeat(QStringLiteral("\t"), -1), QString());
}

TEST(Print, RemainingTime)
{
    EXPECT_EQ(Print::remainingTimeFromSec(-5), QStringLiteral("less than 1 minute"));
    EXPECT_EQ(Print::remainingTimeFromSec(59), QStringLiteral("less than 1 minute"));
    // The phrase is always true: the time left is below the number it names.
    EXPECT_EQ(Print::remainingTimeFromSec(60), QStringLiteral("less than 2 minutes"));
    EXPECT_EQ(Print::remainingTimeFromSec(90), QStringLiteral("less than 2 minutes"));
    EXPECT_EQ(Print::remainingTimeFromSec(3599), QStringLiteral("less than 60 minutes"));
    EXPECT_EQ(Print::remainingTimeFromSec(3600), QStringLiteral("less than 2 hours"));
    EXPECT_EQ(Print::remainingTimeFromSec(84600), QStringLiteral("less than 24 hours"));
    EXPECT_EQ(Print::remainingTimeFromSec(86399), QStringLiteral("less than 24 hours"));
    EXPECT_EQ(Print::remainingTimeFromSec(86400), QStringLiteral("more than a day"));
}

TEST(OXNumeric, Rounded)
{
    EXPECT_DOUBLE_EQ(OX::rounded(1.26, 0.5), 1.5);
    EXPECT_DOUBLE_EQ(OX::rounded(2.25, 0.5), 2.5);
    EXPECT_DOUBLE_EQ(OX::rounded(-2.25, 0.5), -2.5);
    EXPECT_DOUBLE_EQ(OX::rounded(1.24, 0.5), 1.0);
    EXPECT_DOUBLE_EQ(OX::rounded(7.0, 0.0), 7.0);
    EXPECT_DOUBLE_EQ(OX::rounded(7.0, std::numeric_limits<double>::denorm_min()), 7.0);
    EXPECT_TRUE(std::isnan(OX::rounded(std::nan(""), 0.5)));
}

TEST(OXNumeric, Map)
{
    EXPECT_DOUBLE_EQ(OX::map(5, 0, 10, 0, 100), 50);
    EXPECT_DOUBLE_EQ(OX::map(15, 0, 10, 100, 0), -50); // no clamping
    EXPECT_DOUBLE_EQ(OX::map(3, 2, 2, 7, 9), 7);       // equal bounds: no division by zero
}
