// The emulator's LINK loader (XMODEM-1K receiver) on its own, byte in, byte out.
// The emulator library is not linked into this test binary, so its source is built here.
#include "tools/emulator/XmodemReceiver.cpp"

#include <gtest/gtest.h>

using emu::XmodemReceiver;

namespace {

QByteArray frame(quint8 number, const QByteArray& data, int corruptCrc = 0, int complementDelta = 0)
{
    QByteArray block = data.left(1024);
    block += QByteArray(1024 - block.size(), char(0xFF));
    const quint16 crc = quint16(XmodemReceiver::crc16(block.constData(), 1024) + corruptCrc);
    QByteArray f;
    f += XmodemReceiver::STX;
    f += char(number);
    f += char(255 - number + complementDelta);
    f += block;
    f += char(crc >> 8);
    f += char(crc & 0xFF);
    return f;
}

const QByteArray kAck(1, XmodemReceiver::ACK);
const QByteArray kNak(1, XmodemReceiver::NAK);
const QByteArray kReady(1, XmodemReceiver::READY);
const QByteArray kEot(1, XmodemReceiver::EOT);

} // namespace

TEST(XmodemReceiver, CrcCheckValue)
{
    EXPECT_EQ(XmodemReceiver::crc16("123456789", 9), 0x31C3);
}

TEST(XmodemReceiver, BeaconsUntilTheFirstAcceptedBlockAndUpToTheLimit)
{
    XmodemReceiver::Faults faults;
    faults.beaconLimit = 3;
    XmodemReceiver rx(faults);
    EXPECT_EQ(rx.enterBootloader(), kReady);
    EXPECT_EQ(rx.tick(), kReady);
    EXPECT_EQ(rx.tick(), kReady);
    EXPECT_EQ(rx.tick(), QByteArray()); // the beacons stopped
    EXPECT_EQ(rx.beaconsSent(), 3);

    XmodemReceiver open;
    open.enterBootloader();
    EXPECT_EQ(open.feed(frame(1, "abc")), kAck);
    EXPECT_EQ(open.state(), XmodemReceiver::State::Receiving);
    EXPECT_EQ(open.tick(), QByteArray());
}

TEST(XmodemReceiver, ChecksEveryFrame)
{
    XmodemReceiver rx;
    rx.enterBootloader();
    EXPECT_EQ(rx.feed(frame(1, "one", 1)), kNak);    // CRC
    EXPECT_EQ(rx.feed(frame(1, "one", 0, 1)), kNak); // complement
    EXPECT_EQ(rx.badFrames(), 2);
    EXPECT_EQ(rx.feed(frame(1, "one")), kAck);
    EXPECT_EQ(rx.feed(frame(1, "one")), kAck); // the previous block again: ACKed, not stored twice
    EXPECT_EQ(rx.duplicatesAcked(), 1);
    EXPECT_EQ(rx.image().size(), 1024);
    EXPECT_EQ(rx.image().left(3), QByteArray("one"));
    EXPECT_EQ(rx.image().at(3), char(0xFF));
    // Out of sequence: the transfer is cancelled.
    EXPECT_EQ(rx.feed(frame(3, "three")), QByteArray(2, XmodemReceiver::CAN));
    EXPECT_EQ(rx.state(), XmodemReceiver::State::Cancelled);
    EXPECT_EQ(rx.feed(frame(2, "two")), QByteArray());
}

TEST(XmodemReceiver, FramesSplitAcrossReadsAndNoiseBeforeThem)
{
    XmodemReceiver rx;
    rx.enterBootloader();
    const QByteArray f = frame(1, "split");
    EXPECT_EQ(rx.feed("Z3Q"), QByteArray()); // noise before a block is dropped
    for (int i = 0; i < f.size() - 1; ++i)
        ASSERT_EQ(rx.feed(f.mid(i, 1)), QByteArray()) << i;
    EXPECT_EQ(rx.feed(f.right(1)), kAck);
    EXPECT_EQ(rx.junkBytes(), 3);
    // Two frames and the EOT in one read.
    EXPECT_EQ(rx.feed(frame(2, "b") + frame(3, "c") + kEot), kAck + kAck + kAck);
    EXPECT_TRUE(rx.isComplete());
    EXPECT_EQ(rx.image().size(), 3 * 1024);
    // A repeated EOT (our ACK lost) is acknowledged again.
    EXPECT_EQ(rx.feed(kEot), kAck);
}

TEST(XmodemReceiver, UnfinishedFrameIsDroppedAfterAQuietPeriod)
{
    XmodemReceiver rx;
    rx.enterBootloader();
    rx.feed(frame(1, "x").left(500));
    EXPECT_EQ(rx.tick(), QByteArray()); // bytes came during this period
    EXPECT_EQ(rx.tick(), kReady);        // none during this one: dropped, the beacon asks again
    EXPECT_EQ(rx.feed(frame(1, "x")), kAck);
    rx.feed(frame(2, "y").left(1028));
    EXPECT_EQ(rx.tick(), QByteArray());
    EXPECT_EQ(rx.tick(), kNak);
    EXPECT_EQ(rx.feed(frame(2, "y")), kAck);
    EXPECT_EQ(rx.badFrames(), 2);
}

TEST(XmodemReceiver, BlockNumbersWrapPast255)
{
    XmodemReceiver rx;
    rx.enterBootloader();
    for (int index = 1; index <= 258; ++index)
        ASSERT_EQ(rx.feed(frame(quint8(index), QByteArray::number(index))), kAck) << index;
    EXPECT_EQ(rx.blocksAccepted(), 258);
    EXPECT_EQ(rx.image().mid(256 * 1024, 3), QByteArray("257"));
}

TEST(XmodemReceiver, InjectedFaults)
{
    XmodemReceiver::Faults faults;
    faults.nakBlock = {{1, 2}};
    faults.silentBlock = {{2, 1}};
    faults.lostAck = {{3, 1}};
    faults.answerBlockWith = {{4, char(0x5A)}};
    faults.eotAnswer = XmodemReceiver::EotAnswer::Nak;
    faults.eotFaults = 1;
    XmodemReceiver rx(faults);
    rx.enterBootloader();
    EXPECT_EQ(rx.feed(frame(1, "a")), kNak);
    EXPECT_EQ(rx.feed(frame(1, "a")), kNak);
    EXPECT_EQ(rx.feed(frame(1, "a")), kAck);
    EXPECT_EQ(rx.feed(frame(2, "b")), QByteArray());
    EXPECT_EQ(rx.feed(frame(2, "b")), kAck);
    EXPECT_EQ(rx.feed(frame(3, "c")), QByteArray()); // stored, ACK lost
    EXPECT_EQ(rx.feed(frame(3, "c")), kAck);
    EXPECT_EQ(rx.feed(frame(4, "d")), QByteArray(1, char(0x5A)));
    EXPECT_EQ(rx.feed(kEot), kNak);
    EXPECT_EQ(rx.feed(kEot), kAck);
    EXPECT_EQ(rx.blocksAccepted(), 4);
    EXPECT_EQ(rx.eotsReceived(), 2);

    XmodemReceiver::Faults silent;
    silent.eotAnswer = XmodemReceiver::EotAnswer::Silence;
    silent.eotFaults = -1;
    XmodemReceiver quiet(silent);
    quiet.enterBootloader();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(quiet.feed(kEot), QByteArray());
    EXPECT_FALSE(quiet.isComplete());
}

TEST(XmodemReceiver, DeadLinkWakesOnTheRecoveryStringOnly)
{
    XmodemReceiver rx;
    rx.enterDead("Z3Q");
    EXPECT_EQ(rx.tick(), QByteArray());
    EXPECT_EQ(rx.feed(frame(1, "a")), QByteArray());
    EXPECT_EQ(rx.feed("Z3"), QByteArray());
    EXPECT_EQ(rx.feed("xQ"), QByteArray());
    EXPECT_EQ(rx.state(), XmodemReceiver::State::Dead);
    // Split over three reads, after noise; what follows is noise to the loader.
    EXPECT_EQ(rx.feed("qqZ"), QByteArray());
    EXPECT_EQ(rx.feed("3"), QByteArray());
    EXPECT_EQ(rx.feed(QByteArray("QZ3QZ3") + frame(1, "a")), kReady + kAck);
    EXPECT_EQ(rx.state(), XmodemReceiver::State::Receiving);
    EXPECT_EQ(rx.junkBytes(), 5);

    XmodemReceiver once;
    once.enterDead("Z3Q");
    EXPECT_EQ(once.feed("Z3Q"), kReady);
    EXPECT_EQ(once.tick(), kReady);
}
