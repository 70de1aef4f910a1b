// The emulated dongle seen from a raw client on its pseudo-terminal.
#include "RawClient.h"
#include "common/time_scale.h"
#include "tools/emulator/Emulator.h"

#include <gtest/gtest.h>

using namespace emu;
using testtools::RawClient;

namespace {
struct EmulatorFixture : ::testing::Test {
    Emulator e;
    std::unique_ptr<RawClient> c;
    void SetUp() override
    {
        QString err;
        ASSERT_TRUE(e.start(&err)) << err.toStdString();
        c = std::make_unique<RawClient>(e.portPath());
        ASSERT_TRUE(c->isOpen());
    }
    void TearDown() override
    {
        if (HasFailure())
            std::fprintf(stderr, "emulator trace:\n%s\n", e.traceText().toLocal8Bit().constData());
    }
    Frame ask(uint8_t cmd, uint8_t lsb = 0, uint8_t msb = 0)
    {
        c->send(Frame::local(cmd, lsb, msb));
        auto f = c->readFrames(testutil::scaled(1000), 1);
        return f.empty() ? Frame() : f[0];
    }
};
} // namespace

TEST_F(EmulatorFixture, LocalCommandIsEchoedWithReplyFlagAndChannel)
{
    e.setChannel(7);
    Frame r = ask(9);
    EXPECT_EQ(r.pid, pid::DCP);
    EXPECT_EQ(r.flags, 0x01);
    EXPECT_EQ(r.channel, 7);
    EXPECT_EQ(r.payload, fromHex("09 00 00"));
    EXPECT_EQ(r.pan, 0);
    EXPECT_EQ(r.src, 0);
    EXPECT_EQ(r.dst, 0);
    EXPECT_EQ(e.dongle().zeroCount, 1);
    EXPECT_TRUE(e.errors().isEmpty());
    auto got = e.waitForFrame(FrameFilter::dcp(9), testutil::scaled(100));
    ASSERT_TRUE(got);
    EXPECT_EQ(got->copy, 1);
}

TEST_F(EmulatorFixture, ParameterTableReadsWhatTheWritesStored)
{
    const std::vector<std::pair<uint8_t, uint8_t>> pairs = {
        {dcp::MouseMode, dcp::MouseModeRead}, {dcp::Filter, dcp::FilterRead},
        {dcp::Range, dcp::RangeRead},         {dcp::Speed, dcp::SpeedRead},
        {dcp::Acat, dcp::AcatRead},
    };
    uint8_t v = 10;
    for (auto [w, r] : pairs) {
        Frame echo = ask(w, uint8_t(v + 1), v);
        EXPECT_EQ(echo.cmd(), w);
        Frame read = ask(r);
        EXPECT_EQ(read.cmd(), r);
        EXPECT_EQ(read.lsb(), v + 1) << int(r);
        EXPECT_EQ(read.msb(), v) << int(r);
        v += 7;
    }
    EXPECT_EQ(ask(dcp::Pan, 0x34, 0x12).value(), 0x1234);
    EXPECT_EQ(ask(dcp::PanRead).value(), 0x1234);
    ask(dcp::Address, 9, 0);
    EXPECT_EQ(ask(dcp::AddressRead).lsb(), 9);
    EXPECT_EQ(ask(dcp::Revision).value(), 156);
    EXPECT_EQ(ask(dcp::State).lsb(), state::Idle);

    e.updateDongle([](DongleModel& d) { d.revision = 155; });
    EXPECT_EQ(ask(dcp::Revision).value(), 155);
    EXPECT_TRUE(e.errors().isEmpty());
}

TEST_F(EmulatorFixture, IdentityCommandAnswersTheDonglesNpp)
{
    c->send(Frame::local(dcp::Identity));
    auto f = c->readFrames(testutil::scaled(1000), 1);
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0].pid, pid::NPP);
    Identity id = Identity::decode(f[0].payload);
    EXPECT_EQ(id.product, 2);
    EXPECT_EQ(id.address, e.dongle().address);
}

TEST_F(EmulatorFixture, ServiceModeEchoThenStateNotice)
{
    c->send(Frame::local(dcp::ServiceMode, 1, 1));
    auto f = c->readFrames(testutil::scaled(1000), 2);
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0].cmd(), dcp::ServiceMode);
    EXPECT_TRUE(f[0].isReply());
    EXPECT_EQ(f[1].cmd(), dcp::State);
    EXPECT_EQ(f[1].flags, 0);
    EXPECT_EQ(f[1].lsb(), state::ServiceMode);
    EXPECT_EQ(e.dongle().state, state::ServiceMode);

    c->send(Frame::local(dcp::ServiceMode, 0, 0));
    f = c->readFrames(testutil::scaled(1000), 2);
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[1].lsb(), state::Idle);

    // A slow dongle still echoes first: the notice follows its echo, not the request.
    e.updateDongle([](DongleModel& d) { d.replyDelayMs = testutil::scaled(100); });
    c->send(Frame::local(dcp::ServiceMode, 1, 1));
    f = c->readFrames(testutil::scaled(1000), 2);
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0].cmd(), dcp::ServiceMode);
    EXPECT_TRUE(f[0].isReply());
    EXPECT_EQ(f[1].cmd(), dcp::State);
}

TEST_F(EmulatorFixture, KeysAndClickAreTrackedAndAnnouncedAfterTheirEcho)
{
    // Each command: its echo, then the dongle's own notice of the same key or button.
    const auto command = [&](uint8_t cmd, uint8_t lsb, uint8_t msb) {
        c->send(Frame::local(cmd, lsb, msb));
        auto f = c->readFrames(testutil::scaled(1000), 2);
        ASSERT_EQ(f.size(), 2u);
        EXPECT_TRUE(f[0].isReply());
        EXPECT_EQ(f[1].flags, 0);
        EXPECT_EQ(f[1].payload, f[0].payload);
    };
    command(dcp::Key, 0x83, 1);
    command(dcp::Key, 0x63, 1);
    EXPECT_EQ(e.dongle().heldKeys, (std::set<uint8_t>{0x83, 0x63}));
    command(dcp::Key, 0x63, 2);
    EXPECT_EQ(e.dongle().heldKeys, (std::set<uint8_t>{0x83}));
    command(dcp::Key, 0, 3);
    EXPECT_TRUE(e.dongle().heldKeys.empty());
    command(dcp::Click, 0, 2);
    EXPECT_EQ(e.dongle().clickButton, 2);

    e.updateDongle([](DongleModel& d) { d.announceControl = false; });
    EXPECT_EQ(ask(dcp::Click, 0, 1).msb(), 1);
    EXPECT_TRUE(c->readFrames(100, 1).empty());
    EXPECT_TRUE(e.errors().isEmpty());
}

TEST_F(EmulatorFixture, NoticesCarryFlagsZeroAndTheChannel)
{
    e.setChannel(3);
    e.noticeAudioFeedback();
    e.noticeClick(4);
    e.noticeKey(0x84, 1);
    e.noticeState(state::HopN);
    auto f = c->readFrames(testutil::scaled(1000), 4);
    ASSERT_EQ(f.size(), 4u);
    const uint8_t cmds[4] = {9, 10, 17, 64};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(f[i].cmd(), cmds[i]);
        EXPECT_EQ(f[i].flags, 0);
        EXPECT_EQ(f[i].channel, 3);
    }
    EXPECT_EQ(f[0].msb(), 1);
    EXPECT_EQ(f[3].lsb(), state::HopN);
}

TEST_F(EmulatorFixture, InvalidFramesFromTheApplicationAreErrors)
{
    QByteArray bad = Frame::local(9).encode();
    bad[bad.size() - 1] = char(bad[bad.size() - 1] ^ 1);
    c->write(bad);
    c->write(QByteArray("xyz"));
    Frame notLocal = Frame::local(9);
    notLocal.channel = 5;
    c->send(notLocal);
    Frame wrongSize = Frame::local(9);
    wrongSize.payload.append('\0');
    c->send(wrongSize);
    ASSERT_TRUE(Emulator::waitUntil([&] { return e.errors().size() >= 4; }, testutil::scaled(1000)))
        << e.errors().join("\n").toStdString();
    e.clearErrors();
    EXPECT_TRUE(e.errors().isEmpty());
}

TEST_F(EmulatorFixture, RepeatBurstsAreCountedAsCopies)
{
    const QByteArray frame = Frame::local(9).encode();
    for (int i = 0; i < 5; ++i) {
        c->write(frame);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(e.waitForCount(FrameFilter::dcp(9), 5, testutil::scaled(1000)));
    EXPECT_EQ(e.lastBurstCopies(FrameFilter::dcp(9)), 5);
    c->send(Frame::local(1, 0, 1));
    ASSERT_TRUE(e.waitForFrame(FrameFilter::dcp(1), testutil::scaled(1000)));
    EXPECT_EQ(e.lastBurstCopies(), 1);
    EXPECT_EQ(e.lastBurstCopies(FrameFilter::dcp(9)), 5);
}

TEST_F(EmulatorFixture, AnswerOnlyCopyKAndNoReplyRules)
{
    e.addFault(FaultRule::answerOnlyCopy(FrameFilter::dcp(9), 3));
    const QByteArray frame = Frame::local(9).encode();
    int writes = 0;
    std::vector<Frame> replies;
    while (replies.empty() && writes < 10) {
        c->write(frame);
        ++writes;
        replies = c->readFrames(30, 1);
    }
    EXPECT_EQ(writes, 3);
    ASSERT_EQ(replies.size(), 1u);

    const int id = e.addFault(FaultRule::noReply(FrameFilter::dcp(1)));
    c->send(Frame::local(1, 0, 1));
    EXPECT_TRUE(c->readFrames(150, 1).empty());
    EXPECT_EQ(e.faultHits(id), 1);
    e.removeFault(id);
    EXPECT_EQ(ask(1, 0, 1).cmd(), 1);
}

TEST_F(EmulatorFixture, OutgoingFaultsShapeTheBytes)
{
    const QByteArray echo9 = Frame::scp(pid::DCP, 9, 0, 0, 0, 0, 0, 1).encode();
    auto echoBytes = [&](uint8_t ch) {
        Frame f = Frame::scp(pid::DCP, 9, 0, 0, 0, 0, 0, 1);
        f.channel = ch;
        return f.encode();
    };
    const uint8_t ch = e.dongle().channel;
    (void)echo9;

    e.addFault(FaultRule::garbageBefore(FrameFilter::dcp(9), "\x01\x02"));
    c->send(Frame::local(9));
    EXPECT_EQ(c->read(testutil::scaled(2000), 2 + 18), QByteArray("\x01\x02") + echoBytes(ch));

    e.addFault(FaultRule::strayHeaderBefore(FrameFilter::dcp(9)));
    c->send(Frame::local(9));
    QByteArray got = c->read(testutil::scaled(2000), 13 + 18);
    ASSERT_EQ(got.size(), 31);
    EXPECT_EQ(got.left(2), fromHex("55 AA"));
    EXPECT_NE(uint8_t(got[12]), crc8(got.constData(), 12));
    EXPECT_EQ(got.mid(13), echoBytes(ch));

    e.addFault(FaultRule::lengthHeaderBefore(FrameFilter::dcp(9), 200));
    c->send(Frame::local(9));
    got = c->read(testutil::scaled(2000), 13 + 18);
    ASSERT_EQ(got.size(), 31);
    EXPECT_EQ(uint8_t(got[9]), 200);
    EXPECT_EQ(uint8_t(got[12]), crc8(got.constData(), 12));

    e.addFault(FaultRule::corruptChecksum(FrameFilter::dcp(9)));
    c->send(Frame::local(9));
    got = c->read(testutil::scaled(2000), 18);
    ASSERT_EQ(got.size(), 18);
    EXPECT_FALSE(FrameDecoder::decodeOne(got, nullptr));

    e.addFault(FaultRule::truncate(FrameFilter::dcp(9), 7));
    c->send(Frame::local(9));
    EXPECT_EQ(c->read(testutil::scaled(2000), 7).size(), 7);

    e.addFault(FaultRule::duplicate(FrameFilter::dcp(9)));
    c->send(Frame::local(9));
    EXPECT_EQ(c->read(testutil::scaled(2000), 36), echoBytes(ch) + echoBytes(ch));

    e.addFault(FaultRule::splitBytes(FrameFilter::dcp(9), 2));
    c->send(Frame::local(9));
    const int readsBefore = c->reads();
    got = c->read(testutil::scaled(1000), 18);
    EXPECT_EQ(got, echoBytes(ch));
    EXPECT_GE(c->reads() - readsBefore, 9); // byte by byte (a few may coalesce)

    e.addFault(FaultRule::join(FrameFilter::of(pid::DCP), 2, 1));
    c->send(Frame::local(9));
    EXPECT_TRUE(c->read(60).isEmpty());
    c->send(Frame::local(1, 0, 0));
    got = c->read(testutil::scaled(2000), 36);
    EXPECT_EQ(got.size(), 36);

    e.addFault(FaultRule::delayReply(FrameFilter::dcp(9), 150));
    c->send(Frame::local(9));
    EXPECT_TRUE(c->read(80).isEmpty());
    EXPECT_EQ(c->read(testutil::scaled(2000), 18), echoBytes(ch));
    EXPECT_TRUE(e.errors().isEmpty());
}

TEST_F(EmulatorFixture, InjectedFramesAndBytesReachTheClient)
{
    e.injectBytes("\xAA\x55");
    Frame f = Frame::scp(pid::LCP, 5, 1, 2);
    e.injectFrame(f, false);
    QByteArray got = c->read(testutil::scaled(2000), 2 + 18);
    EXPECT_EQ(got, QByteArray("\xAA\x55") + f.encode());
}

TEST_F(EmulatorFixture, UnplugHangsUpAndPlugInGivesANewPort)
{
    const QString first = e.portPath();
    e.unplug();
    EXPECT_FALSE(e.isPlugged());
    EXPECT_TRUE(e.portPath().isEmpty());
    c->read(200);
    EXPECT_TRUE(c->hangup());
    ASSERT_TRUE(e.plugIn());
    RawClient again(e.portPath());
    ASSERT_TRUE(again.isOpen());
    again.send(Frame::local(9));
    auto f = again.readFrames(testutil::scaled(1000), 1);
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0].cmd(), 9);
}

TEST(EmulatorLifecycle, ReadsNeverFailBeforeTheClientOpens)
{
    Emulator e;
    ASSERT_TRUE(e.start());
    e.noticeClick(1); // nobody has opened the port yet
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(e.isPlugged());
    RawClient c(e.portPath());
    c.send(Frame::local(9));
    auto f = c.readFrames(testutil::scaled(1000), 2);
    ASSERT_EQ(f.size(), 2u); // the notice waited in the line
    EXPECT_EQ(f[0].cmd(), 10);
    EXPECT_EQ(f[1].cmd(), 9);
    e.stop();
    e.stop();
}

TEST(EmulatorLogs, OldestFramesAreDroppedButSeqKeepsCounting)
{
    Options o;
    o.maxLogFrames = 3;
    Emulator e(o);
    ASSERT_TRUE(e.start());
    RawClient c(e.portPath());
    for (int i = 0; i < 5; ++i) {
        c.send(Frame::local(uint8_t(40 + i)));
        ASSERT_EQ(c.readFrames(testutil::scaled(2000), 1).size(), 1u);
    }
    const auto rx = e.received();
    ASSERT_EQ(rx.size(), 3u);
    EXPECT_EQ(rx.front().seq, 2);
    EXPECT_EQ(e.mark(), 5);
    auto r = e.waitForFrame(FrameFilter::any(), testutil::scaled(10), 4);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->seq, 4);
    EXPECT_EQ(r->frame.cmd(), 44);
    EXPECT_FALSE(e.waitForFrame(FrameFilter::dcp(40), testutil::scaled(10)));
    e.clearLog();
    EXPECT_EQ(e.mark(), 5);
    EXPECT_EQ(e.sent().size(), 0u);
}

TEST(EmulatorLogs, ALongRunKeepsABoundedLogWhileTheHeadsetStreams)
{
    Options o = Options::longRun(false);
    o.timeScale = 0.02; // a status every millisecond
    Emulator e(o);
    ASSERT_TRUE(e.start());
    e.addHeadset();
    RawClient c(e.portPath());
    c.send(Frame::local(dcp::Stream, 0, 1));
    ASSERT_TRUE(Emulator::waitUntil(
        [&] { return e.statusesSent() > 2 * Options::LongRunLog; }, testutil::scaled(30000)));
    EXPECT_EQ(e.sent().size(), size_t(Options::LongRunLog));
    EXPECT_LE(e.trace().size(), Options::LongRunLog);
    EXPECT_EQ(e.received().size(), 1u);
}

TEST_F(EmulatorFixture, RequestHookAndRequestSideFaults)
{
    // A hook that answers command 50 itself with a custom record and hides it from the dongle.
    Emulator* emu = &e;
    e.setRequestHook([emu](const Frame& f) {
        if (f.cmd() != 50)
            return false;
        emu->injectFrame(Frame::scp(pid::DCP, 50, 0xAB, 0xCD, 0, 0, 0, 1));
        return true;
    });
    Frame r = ask(50);
    EXPECT_EQ(r.value(), 0xCDAB);
    EXPECT_EQ(e.sentCount(FrameFilter::dcp(50)), 1);

    // The request handled later, and twice.
    e.addFault(FaultRule::delayRequest(FrameFilter::dcp(9), 120));
    const int since = int(e.sent().size());
    c->send(Frame::local(9));
    EXPECT_TRUE(c->readFrames(60, 1).empty());
    EXPECT_EQ(c->readFrames(testutil::scaled(2000), 1).size(), 1u);
    FaultRule twice;
    twice.direction = Direction::FromApp;
    twice.filter = FrameFilter::dcp(9);
    twice.fault = Fault::Duplicate;
    twice.times = 1;
    e.addFault(twice);
    c->send(Frame::local(9));
    EXPECT_EQ(c->readFrames(testutil::scaled(500), 2).size(), 2u);
    EXPECT_EQ(e.dongle().zeroCount, 3);
    auto s = e.waitForSent(FrameFilter::dcp(9), testutil::scaled(100), since);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->frame.flags, 0x01);

    // skip: the first matching reply passes, the second is dropped.
    FaultRule second = FaultRule::dropReply(FrameFilter::dcp(1));
    second.skip = 1;
    const int id = e.addFault(second);
    EXPECT_EQ(ask(1, 0, 1).cmd(), 1);
    c->send(Frame::local(1, 0, 1));
    EXPECT_TRUE(c->readFrames(100, 1).empty());
    EXPECT_EQ(e.faultHits(id), 1);
    EXPECT_EQ(ask(1, 0, 1).cmd(), 1);
    EXPECT_TRUE(e.errors().isEmpty());
}

TEST_F(EmulatorFixture, UnsolicitedDongleIdentityAndPassthroughEcho)
{
    e.sendDongleIdentity();
    auto f = c->readFrames(testutil::scaled(2000), 1);
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0].pid, pid::NPP);
    EXPECT_EQ(f[0].flags, 0);
    EXPECT_EQ(Identity::decode(f[0].payload).product, 2);
    EXPECT_EQ(ask(dcp::Passthrough).cmd(), dcp::Passthrough);
    EXPECT_TRUE(e.dongle().passthrough);
    // A re-plugged dongle has restarted: the line is its own again.
    e.unplug();
    ASSERT_TRUE(e.plugIn());
    EXPECT_FALSE(e.dongle().passthrough);
}
