#include "protocol/Checksum.h"
#include "protocol/Packet.h"

#include <gtest/gtest.h>

namespace {
QByteArray hex(char const* text)
{
    return QByteArray::fromHex(text);
}
} // namespace

TEST(Packet, LocalDcpFrameVector)
{
    Header const header(0, 0, 0, 0, PacketID::DCP, 0);
    QByteArray const frame = buildFrame(header, PacketData(hex("090000")));
    EXPECT_EQ(frame, hex("55AA00000000000000" "0510" "00" "EC" "090000" "574E"));
    EXPECT_EQ(frame.size(), 18);
    EXPECT_TRUE(isFrameValid(frame));
    EXPECT_TRUE(isHeaderValid(frame));
}

TEST(Packet, HeaderGetDataWritesSyncLengthAndCrc)
{
    Header header(0x01, 0x1234, 0x0005, 0xBEEF, PacketID::LPP, 7);
    header.sync[0] = 1; // ignored: getData writes the sync pair, L and CRC itself
    header.L = 99;
    header.CRC = 42;
    PacketData const data = header.getData(27);
    ASSERT_EQ(data.size(), 13);
    EXPECT_EQ(data.endian(), PacketData::LittleEndian);
    EXPECT_EQ(data.bytes().left(12), hex("55AA01341205" "00EFBE1D" "BF07"));
    EXPECT_EQ(data.at(12), Checksum::crc8(data.constData(), 0, 12));
    EXPECT_TRUE(isHeaderValid(data.bytes()));
}

TEST(Packet, HeaderLengthWrapsModulo256)
{
    Header const header;
    EXPECT_EQ(header.getData(0).at(9), 2);
    EXPECT_EQ(header.getData(253).at(9), 255);
    EXPECT_EQ(header.getData(254).at(9), 0);
    EXPECT_EQ(header.getData(255).at(9), 1);
    EXPECT_EQ(header.getData(256).at(9), 2);
    EXPECT_EQ(header.getData(-1).at(9), 1);
}

TEST(Packet, EmptyPayloadFrame)
{
    QByteArray const frame = buildFrame(Header(0, 1, 2, 3, PacketID::PING), PacketData());
    ASSERT_EQ(frame.size(), 15);
    EXPECT_EQ(frame.at(9), 2);
    EXPECT_EQ(frame.right(2), hex("0000"));
    EXPECT_TRUE(isFrameValid(frame));
}

TEST(Packet, HeaderRoundTripThroughUHRType)
{
    Header const header(0x03, 0x0102, 0x0304, 0x0506, PacketID::NPP, 0x0B);
    QByteArray const bytes = header.getData(10).bytes();
    UHRType const received(bytes);
    EXPECT_EQ(received.F, 0x03);
    EXPECT_EQ(received.PAN, 0x0102);
    EXPECT_EQ(received.S, 0x0304);
    EXPECT_EQ(received.D, 0x0506);
    EXPECT_EQ(received.L, 12);
    EXPECT_EQ(received.PID, PacketID::NPP);
    EXPECT_EQ(received.CH, 0x0B);
    EXPECT_TRUE(received.isValid());
    EXPECT_EQ(received.payloadLength(), 10);
    EXPECT_EQ(received.frameSize(), 25);
    EXPECT_EQ(received.toByteArray(), bytes);
}

TEST(Packet, UHRTypeFromShortDataReadsZeros)
{
    UHRType const h(hex("55AA02"));
    EXPECT_EQ(h.F, 2);
    EXPECT_EQ(h.PAN, 0);
    EXPECT_EQ(h.CRC, 0);
    EXPECT_FALSE(h.isValid());
    UHRType const none(nullptr, 5);
    EXPECT_EQ(none.toByteArray(), QByteArray(13, '\0'));
}

TEST(Packet, HeaderCheckRejectsBadSyncCrcAndShortData)
{
    QByteArray frame = buildFrame(Header(0, 0, 0, 0, PacketID::DCP), PacketData(hex("090000")));
    EXPECT_FALSE(isHeaderValid(frame.left(12)));
    QByteArray bad = frame;
    bad[0] = 0x54;
    EXPECT_FALSE(isHeaderValid(bad));
    bad = frame;
    bad[1] = 0x55;
    EXPECT_FALSE(isHeaderValid(bad));
    bad = frame;
    bad[12] = char(bad.at(12) + 1);
    EXPECT_FALSE(isHeaderValid(bad));
    EXPECT_FALSE(Frame::isHeaderValid(nullptr, 13));
}

TEST(Packet, FrameCheckRejectsBadPayloadChecksumAndShortFrames)
{
    QByteArray const frame = buildFrame(Header(0, 0, 0, 0, PacketID::DCP), PacketData(hex("090000")));
    QByteArray bad = frame;
    bad[14] = 0x01;
    EXPECT_FALSE(isFrameValid(bad));
    bad = frame;
    bad[17] = char(bad.at(17) ^ 0x01);
    EXPECT_FALSE(isFrameValid(bad));
    EXPECT_FALSE(isFrameValid(frame.left(17)));
    // Bytes after the frame are not part of it.
    EXPECT_TRUE(isFrameValid(frame + hex("FFFF")));
}

TEST(Packet, FrameWithLengthBelowTwoIsInvalid)
{
    for (int l = 0; l < 2; ++l) {
        QByteArray header = hex("55AA00000000000000") + char(l) + hex("1000");
        header.append(char(Checksum::crc8(header.constData(), 0, 12)));
        EXPECT_TRUE(isHeaderValid(header));
        UHRType const h(header);
        EXPECT_FALSE(h.hasValidLength());
        EXPECT_EQ(h.payloadLength(), 0);
        // Even followed by bytes that would look like a zero checksum.
        EXPECT_FALSE(isFrameValid(header + hex("0000")));
        EXPECT_FALSE(Frame::isBodyValid(h, hex("0000")));
        EXPECT_TRUE(Frame::payloadOf(h, hex("0000")).isEmpty());
    }
}

TEST(Packet, PayloadOfBodyLeavesChecksumOut)
{
    QByteArray const frame = buildFrame(Header(0, 0, 0, 0, PacketID::DCP), PacketData(hex("090102")));
    UHRType const h(frame);
    QByteArray const body = frame.mid(13);
    ASSERT_EQ(body.size(), 5);
    EXPECT_TRUE(Frame::isBodyValid(h, body));
    EXPECT_EQ(payloadFromBody(h, PacketData(body)).bytes(), hex("090102"));
    // A body shorter than L promises: never past its end.
    EXPECT_EQ(Frame::payloadOf(h, body.left(2)).bytes(), hex("0901"));
    EXPECT_FALSE(Frame::isBodyValid(h, body.left(4)));
}

TEST(Packet, WriteUInt16LEGrowsAndAdvances)
{
    QByteArray bytes;
    int offset = 3;
    writeUInt16LE(bytes, 0x1234, offset);
    EXPECT_EQ(offset, 5);
    EXPECT_EQ(bytes, hex("0000003412")); // grown bytes are zero
    offset = 0;
    writeUInt16LE(bytes, 0xABCD, offset);
    EXPECT_EQ(bytes, hex("CDAB003412"));
    EXPECT_EQ(offset, 2);
    int negative = -4;
    writeUInt16LE(bytes, 1, negative);
    EXPECT_EQ(bytes.size(), 5);
    EXPECT_EQ(negative, -4);
    offset = 5;
    writeUInt32LE(bytes, 0x01020304, offset);
    EXPECT_EQ(bytes.right(4), hex("04030201"));
}

TEST(Packet, PacketDataReadersNeverPassTheEnd)
{
    PacketData const le(hex("3412FF"));
    EXPECT_EQ(le.readUInt16(0), 0x1234);
    EXPECT_EQ(le.readUInt16(2), 0x00FF);
    EXPECT_EQ(le.readUInt16(3), 0);
    EXPECT_EQ(le.readUInt16(-1), 0x3400);
    EXPECT_EQ(le.readUInt32(0), 0x00FF1234u);
    EXPECT_EQ(le.readInt16(0), 0x1234);
    EXPECT_EQ(le.at(100), 0);
    EXPECT_EQ(le.readInt8(2), -1);
    PacketData const be(hex("3412"), PacketData::BigEndian);
    EXPECT_EQ(be.readUInt16(0), 0x3412);
    EXPECT_EQ(be.readUInt32(0), 0x34120000u);
    EXPECT_TRUE(PacketData().isEmpty());
    EXPECT_EQ(PacketData(nullptr, 4).size(), 0);
    EXPECT_EQ(le.left(-1).size(), 0);
    EXPECT_EQ(le.left(10).bytes(), le.bytes());
}

TEST(Packet, PacketIdNames)
{
    EXPECT_STREQ(QStringFromPacketID(PacketID::RAW), "RAW");
    EXPECT_STREQ(QStringFromPacketID(PacketID::DCP), "DCP");
    EXPECT_STREQ(QStringFromPacketID(PacketID::KEY), "KEY");
    EXPECT_STREQ(QStringFromPacketID(PacketID::GRCP), "GRCP");
    EXPECT_STREQ(QStringFromPacketID(PacketID::LPP), "LPP");
    EXPECT_STREQ(QStringFromPacketID(PacketID::NPP), "NPP");
    EXPECT_STREQ(QStringFromPacketID(PacketID(0x05)), "Unknown PID");
    EXPECT_STREQ(QStringFromPacketID(PacketID(0xFF)), "Unknown PID");
    int known = 0;
    for (int v = 0; v < 256; ++v)
        known += QByteArray(QStringFromPacketID(PacketID(v))) != "Unknown PID";
    EXPECT_EQ(known, 16);
}
