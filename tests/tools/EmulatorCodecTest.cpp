// The emulator's own frame codec against known byte vectors.
#include "tools/emulator/Codec.h"
#include "tools/emulator/Models.h"

#include <gtest/gtest.h>

using namespace emu;

TEST(EmulatorCodec, LocalCommandNineIsTheKnownEighteenBytes)
{
    const QByteArray expected = fromHex("55 AA 00 00 00 00 00 00 00 05 10 00 EC 09 00 00 57 4E");
    ASSERT_EQ(expected.size(), 18);
    EXPECT_EQ(Frame::local(9, 0, 0).encode(), expected);

    Frame f;
    QString why;
    ASSERT_TRUE(FrameDecoder::decodeOne(expected, &f, &why)) << why.toStdString();
    EXPECT_EQ(f.pid, pid::DCP);
    EXPECT_EQ(f.cmd(), 9);
    EXPECT_EQ(f.flags, 0);
    EXPECT_EQ(f.channel, 0);
    EXPECT_EQ(f.payload, fromHex("09 00 00"));
}

TEST(EmulatorCodec, ChecksumVectors)
{
    EXPECT_EQ(crc16(QByteArray("abc")), 0x7F00);
    EXPECT_EQ(crc16(QByteArray()), 0);
    EXPECT_EQ(crc8(QByteArray(12, '\0')), 0);
    QByteArray h = fromHex("55 AA") + QByteArray(10, '\0');
    EXPECT_EQ(crc8(h), 0x01);
}

TEST(EmulatorCodec, EmptyPayloadHasLengthTwoAndZeroChecksum)
{
    Frame f;
    f.pid = pid::ACK;
    const QByteArray b = f.encode();
    ASSERT_EQ(b.size(), 15);
    EXPECT_EQ(uint8_t(b[9]), 2);
    EXPECT_EQ(b.right(2), QByteArray(2, '\0'));
}

TEST(EmulatorCodec, HeaderFieldsAreLittleEndian)
{
    Frame f = Frame::scp(pid::LCP, 7, 0x34, 0x12, 0x1234, 0x0004, 0x0306, 0x01);
    f.channel = 11;
    const QByteArray b = f.encode();
    EXPECT_EQ(b.left(12), fromHex("55 AA 01 34 12 04 00 06 03 05 30 0B"));
    Frame back;
    ASSERT_TRUE(FrameDecoder::decodeOne(b, &back));
    EXPECT_EQ(back, f);
    EXPECT_EQ(back.value(), 0x1234);
}

TEST(EmulatorCodec, DecoderReportsEveryKindOfBadInputAndStillFindsGoodFrames)
{
    const QByteArray good = Frame::local(17, 0x83, 1).encode();
    QByteArray badCrc = good;
    badCrc[12] = char(badCrc[12] ^ 1);
    QByteArray badSum = good;
    badSum[badSum.size() - 1] = char(badSum[badSum.size() - 1] ^ 1);
    Frame zero;
    QByteArray shortHeader = zero.encodeHeader(0);
    shortHeader[9] = 1;
    shortHeader[12] = char(crc8(shortHeader.constData(), 12));

    FrameDecoder d;
    std::vector<FrameDecoder::Event> events;
    auto add = [&](const QByteArray& b) {
        for (auto& e : d.feed(b))
            events.push_back(e);
    };
    add(QByteArray("\x01\x02", 2) + good);
    add(badSum + good);
    add(shortHeader + good);
    // One byte at a time.
    for (char c : good)
        add(QByteArray(1, c));
    add(badCrc.left(13) + good);

    int goodCount = 0, garbage = 0, sum = 0, len = 0, crc = 0;
    for (const auto& e : events) {
        switch (e.kind) {
        case FrameDecoder::Event::Good: ++goodCount; EXPECT_EQ(e.frame.cmd(), 17); break;
        case FrameDecoder::Event::Garbage: ++garbage; break;
        case FrameDecoder::Event::BadChecksum: ++sum; break;
        case FrameDecoder::Event::BadLength: ++len; break;
        case FrameDecoder::Event::BadHeaderCrc: ++crc; break;
        }
    }
    EXPECT_EQ(goodCount, 5);
    EXPECT_EQ(sum, 1);
    EXPECT_EQ(len, 1);
    EXPECT_EQ(crc, 1);
    EXPECT_GE(garbage, 2);
    EXPECT_TRUE(d.pending().isEmpty());
}

TEST(EmulatorCodec, DecoderWaitsForASplitFrame)
{
    const QByteArray good = Frame::local(1, 0, 1).encode();
    FrameDecoder d;
    EXPECT_TRUE(d.feed(good.left(5)).empty());
    EXPECT_TRUE(d.feed(good.mid(5, 10)).empty());
    auto e = d.feed(good.mid(15));
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].kind, FrameDecoder::Event::Good);
}

TEST(EmulatorCodec, RecordsRoundTrip)
{
    Identity id;
    id.product = 3;
    id.major = 1;
    id.minor = 11;
    id.fix = 5;
    id.build = 0x0102;
    id.serial = "LK1";
    id.revision = 156;
    id.pan = 0x1234;
    id.address = 3;
    id.submodules = {{1, 8}, {2, 9}};
    const QByteArray b = id.encode();
    EXPECT_EQ(b.size(), 21 + 4);
    EXPECT_EQ(b.mid(6, 10), QByteArray("LK1") + QByteArray(7, '\0'));
    EXPECT_EQ(b.mid(16, 5), fromHex("9C 34 12 03 02"));
    Identity back = Identity::decode(b);
    EXPECT_EQ(back.pan, 0x1234);
    EXPECT_EQ(back.build, 0x0102);
    EXPECT_EQ(back.address, 3);
    EXPECT_EQ(back.submodules, id.submodules);
    EXPECT_EQ(back.encode(), b);

    Status s;
    s.qw = -16384;
    s.infrared = 0x0201;
    s.battery = 55;
    const QByteArray sb = s.encode();
    ASSERT_EQ(sb.size(), 20);
    EXPECT_EQ(uint8_t(sb[6]), 0x00);
    EXPECT_EQ(uint8_t(sb[7]), 0xC0);
    EXPECT_EQ(Status::decode(sb).qw, -16384);
    EXPECT_EQ(Status::decode(sb).encode(), sb);
    EXPECT_EQ(uint8_t(sb[14]), 0x01);
    EXPECT_EQ(uint8_t(sb[16]), 55);

    // The LINK's version word keeps the minor number in the msb whatever the major number.
    EXPECT_EQ(linkVersionWord(1, 11, 5), 0x0B45);
    EXPECT_EQ(linkVersionWord(5, 11, 5) >> 8, 11);

    // A channel map of nine entries goes on the wire with eight; a short payload yields only
    // whole entries.
    ChannelMapEntries nine(9, MapEntry{3, 0x81, 0x18});
    const QByteArray m = encodeChannelMap(nine);
    EXPECT_EQ(m.size(), 25);
    EXPECT_EQ(uint8_t(m[0]), 8);
    EXPECT_EQ(decodeChannelMap(fromHex("02 03 81 18 04 01")).size(), 1u);
}
