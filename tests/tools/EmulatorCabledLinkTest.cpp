// Pass-through to the cabled LINK: its firmware's framed answers and its XMODEM-1K bootloader.
#include "RawClient.h"
#include "common/time_scale.h"
#include "tools/emulator/Emulator.h"
#include "tools/emulator/EmulatorGTest.h"

#include <gtest/gtest.h>

using namespace emu;
using testtools::RawClient;

namespace {
constexpr char C = 0x43, ACK = 0x06, NAK = 0x15, STX = 0x02, EOT = 0x04;

uint16_t crcXmodem(const QByteArray& b)
{
    uint16_t crc = 0;
    for (char ch : b) {
        crc ^= uint16_t(uint8_t(ch)) << 8;
        for (int i = 0; i < 8; ++i)
            crc = (crc & 0x8000) ? uint16_t((crc << 1) ^ 0x1021) : uint16_t(crc << 1);
    }
    return crc;
}

QByteArray block(uint8_t number, QByteArray data)
{
    data.append(QByteArray(1024 - data.size(), char(0xFF)));
    QByteArray b;
    b.append(STX);
    b.append(char(number));
    b.append(char(255 - number));
    b.append(data);
    const uint16_t crc = crcXmodem(data);
    b.append(char(crc >> 8));
    b.append(char(crc & 0xFF));
    return b;
}

Options fast()
{
    Options o;
    o.timeScale = 0.05; // restart 10 ms, beacon every 50 ms
    return o;
}

struct CableFixture : ::testing::Test {
    Emulator e{fast()};
    TraceOnFailure guard{e};
    std::unique_ptr<RawClient> c;
    void SetUp() override
    {
        ASSERT_TRUE(e.start());
        c = std::make_unique<RawClient>(e.portPath());
        ASSERT_TRUE(c->isOpen());
    }
    void enterPassthrough()
    {
        c->send(Frame::local(dcp::Passthrough));
        // Headset statuses sent before the line changed hands may come first; the echo is the
        // last frame the dongle sends.
        bool echoed = false;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(2000);
        while (!echoed && std::chrono::steady_clock::now() < deadline) {
            for (const Frame& f : c->readFrames(50, 1)) {
                ASSERT_FALSE(echoed) << "a frame after the echo: " << f.toString().toStdString();
                echoed = f.pid == pid::DCP && f.cmd() == dcp::Passthrough && f.isReply();
            }
        }
        ASSERT_TRUE(echoed);
        ASSERT_TRUE(Emulator::waitUntil([&] { return e.dongle().passthrough; }, testutil::scaled(500)));
    }
    Frame askLink(uint8_t cmd, uint16_t pan = 0x77, uint16_t dst = 9)
    {
        c->send(Frame::scp(pid::LCP, cmd, 0, 0, pan, 4, dst));
        auto f = c->readFrames(testutil::scaled(2000), 1);
        return f.empty() ? Frame() : f[0];
    }
    // Sends one block, returns the answer byte (0 when none within timeoutMs).
    char sendBlock(const QByteArray& b, int timeoutMs = 300)
    {
        c->write(b);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < deadline) {
            // Beacons may still run before the first block is accepted; they are not answers.
            for (char ch : c->read(20, 1))
                if (ch != C)
                    return ch;
        }
        return 0;
    }
    bool waitForReady()
    {
        QByteArray r = c->read(testutil::scaled(2000), 1);
        return r.contains(C);
    }
};
} // namespace

TEST_F(CableFixture, FirmwareAnswersForAnyPanAndAddress)
{
    e.addHeadset();
    c->send(Frame::local(dcp::Stream, 0, 1));
    c->readFrames(200, 3);
    enterPassthrough();
    c->read(50); // statuses already on their way

    Frame v = askLink(lcp::Version, 0x77, 9);
    EXPECT_EQ(v.pid, pid::LCP);
    EXPECT_EQ(v.flags, 0);
    EXPECT_EQ(v.lsb(), 0x45);
    EXPECT_EQ(v.msb(), 0x0B);
    EXPECT_EQ(v.src, 9);
    EXPECT_EQ(v.dst, 4);
    EXPECT_EQ(v.channel, 0);
    EXPECT_EQ(askLink(lcp::ServiceQuery, 1, 0).lsb(), 1);
    EXPECT_EQ(askLink(lcp::Protocol, 5, 5).lsb(), 156);
    Frame npp = askLink(lcp::Identity, 0x1234, 3);
    EXPECT_EQ(npp.pid, pid::NPP);
    EXPECT_EQ(Identity::decode(npp.payload).product, 3);
    EXPECT_EQ(Identity::decode(npp.payload).pan, 0x1234);
    // No status is forwarded while the line is the LINK's.
    EXPECT_TRUE(c->read(60).isEmpty());
    EXPECT_TRUE(e.received().back().passthrough);
    EXPECT_TRUE(e.errors().isEmpty());
}

TEST_F(CableFixture, UploadOfTwoBlocksThenTheNewFirmware)
{
    enterPassthrough();
    Frame r = askLink(lcp::Bootloader);
    EXPECT_EQ(r.flags, 0x01);
    EXPECT_EQ(r.cmd(), lcp::Bootloader);
    ASSERT_TRUE(waitForReady());
    EXPECT_EQ(e.cabledLinkMode(), CabledLinkMode::Bootloader);
    // Beacons repeat while no block came.
    EXPECT_TRUE(c->read(testutil::scaled(2000), 1).contains(C));

    QByteArray file;
    for (int i = 0; i < 1025; ++i)
        file.append(char(i * 7));
    EXPECT_EQ(sendBlock(block(1, file.left(1024))), ACK);
    EXPECT_EQ(sendBlock(block(1, file.left(1024))), ACK); // a repeated block is ACKed again
    EXPECT_EQ(sendBlock(block(2, file.mid(1024))), ACK);
    c->write(QByteArray(1, EOT));
    EXPECT_EQ(c->read(testutil::scaled(2000), 1), QByteArray(1, ACK));
    const QByteArray expected = file + QByteArray(1023, char(0xFF));
    EXPECT_EQ(e.receivedImage(), expected);
    EXPECT_EQ(e.uploadsCompleted(), 1);

    ASSERT_TRUE(Emulator::waitUntil(
        [&] { return e.cabledLinkMode() == CabledLinkMode::Firmware; }, testutil::scaled(1000)));
    e.updateCabledLink([](CabledLinkModel&) {});
    Frame v = askLink(lcp::Version);
    const CabledLinkModel m = e.cabledLink();
    EXPECT_EQ(v.lsb(), uint8_t((m.nextMajor << 6) | m.nextFix));
    EXPECT_EQ(v.msb(), m.nextMinor);
    EXPECT_TRUE(e.errors().isEmpty());
}

TEST_F(CableFixture, InjectedUploadFaults)
{
    e.updateCabledLink([](CabledLinkModel& m) {
        m.nakBlock[1] = 2;
        m.answerBlockWith[2] = 'x';
        m.eotAnswer = CabledLinkModel::EotAnswer::Nak;
        m.eotFaults = 1;
    });
    enterPassthrough();
    askLink(lcp::Bootloader);
    ASSERT_TRUE(waitForReady());
    const QByteArray b1 = block(1, QByteArray(1024, 'a'));
    EXPECT_EQ(sendBlock(b1), NAK);
    EXPECT_EQ(sendBlock(b1), NAK);
    EXPECT_EQ(sendBlock(b1), ACK);
    EXPECT_EQ(sendBlock(block(2, QByteArray(10, 'b'))), 'x');
    c->write(QByteArray(1, EOT));
    EXPECT_EQ(c->read(testutil::scaled(2000), 1), QByteArray(1, NAK));
    c->write(QByteArray(1, EOT));
    EXPECT_EQ(c->read(testutil::scaled(2000), 1), QByteArray(1, ACK));
    EXPECT_EQ(e.uploadsCompleted(), 1);
}

TEST_F(CableFixture, SilentBlockLostAckAndBadCrc)
{
    e.updateCabledLink([](CabledLinkModel& m) {
        m.silentBlock[1] = 1;
        m.lostAck[2] = 1;
    });
    enterPassthrough();
    askLink(lcp::Bootloader);
    ASSERT_TRUE(waitForReady());
    QByteArray b1 = block(1, QByteArray(1024, 'a'));
    EXPECT_EQ(sendBlock(b1, 150), 0);
    QByteArray bad = b1;
    bad[500] = char(bad[500] ^ 1);
    EXPECT_EQ(sendBlock(bad), NAK);
    EXPECT_EQ(sendBlock(b1), ACK);
    // Block 2 is taken but its ACK lost: its repeat is ACKed and kept once.
    const QByteArray b2 = block(2, QByteArray(1024, 'b'));
    EXPECT_EQ(sendBlock(b2, 150), 0);
    EXPECT_EQ(sendBlock(b2), ACK);
    c->write(QByteArray(1, EOT));
    EXPECT_EQ(c->read(testutil::scaled(2000), 1), QByteArray(1, ACK));
    EXPECT_EQ(e.receivedImage(), QByteArray(1024, 'a') + QByteArray(1024, 'b'));
}

TEST_F(CableFixture, DeadLinkWakesOnTheRecoveryStringSplitAcrossWrites)
{
    e.updateCabledLink([](CabledLinkModel& m) { m.dead = true; });
    enterPassthrough();
    EXPECT_EQ(e.cabledLinkMode(), CabledLinkMode::Dead);
    c->write(Frame::scp(pid::LCP, lcp::Version, 0, 0).encode());
    EXPECT_TRUE(c->read(100).isEmpty());
    c->write("Z");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    c->write("3Q");
    EXPECT_TRUE(c->read(testutil::scaled(2000), 1).contains(C));
    EXPECT_EQ(e.cabledLinkMode(), CabledLinkMode::Bootloader);
    EXPECT_EQ(sendBlock(block(1, QByteArray(3, 'z'))), ACK);
    c->write(QByteArray(1, EOT));
    EXPECT_EQ(c->read(testutil::scaled(2000), 1), QByteArray(1, ACK));
    ASSERT_TRUE(Emulator::waitUntil(
        [&] { return e.cabledLinkMode() == CabledLinkMode::Firmware; }, testutil::scaled(1000)));
    EXPECT_FALSE(e.cabledLink().dead);
}

TEST_F(CableFixture, BeaconsThatStopAndLeavingPassthrough)
{
    e.updateCabledLink([](CabledLinkModel& m) { m.beaconLimit = 2; });
    enterPassthrough();
    c->send(Frame::scp(pid::LCP, lcp::Bootloader, 0, 0));
    QByteArray r = c->read(testutil::scaled(2000), 18 + 2); // the reply frame and two beacons
    r += c->read(200);                     // then nothing more
    r.remove(0, 18);
    EXPECT_EQ(r, QByteArray(2, C));
    e.leavePassthrough();
    EXPECT_FALSE(e.dongle().passthrough);
    c->send(Frame::local(9));
    auto f = c->readFrames(testutil::scaled(2000), 1);
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0].cmd(), 9);
}
