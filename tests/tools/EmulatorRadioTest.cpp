// The headset and the LINK modules the emulated dongle hears, from a raw client.
#include "RawClient.h"
#include "common/time_scale.h"
#include "tools/emulator/Emulator.h"
#include "tools/emulator/EmulatorGTest.h"

#include <gtest/gtest.h>

using namespace emu;
using testtools::RawClient;

namespace {
Options fast()
{
    Options o;
    o.timeScale = 0.05; // 20 Hz statuses every 2.5 ms, beacons every 50 ms
    return o;
}

struct RadioFixture : ::testing::Test {
    Emulator e{fast()};
    TraceOnFailure guard{e};
    std::unique_ptr<RawClient> c;
    uint8_t own = 0;
    void SetUp() override
    {
        ASSERT_TRUE(e.start());
        c = std::make_unique<RawClient>(e.portPath());
        ASSERT_TRUE(c->isOpen());
        own = e.dongle().address;
    }
    // The next frame (other than statuses) that arrives within timeoutMs.
    std::optional<Frame> next(int timeoutMs = testutil::scaled(500), int skipPid = pid::SHP)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < deadline) {
            for (const Frame& f : c->readFrames(10, 1))
                if (f.pid != skipPid)
                    return f;
        }
        return std::nullopt;
    }
    Frame remote(uint8_t packetId, uint8_t cmd, uint8_t lsb, uint8_t msb, uint16_t pan, uint16_t dst)
    {
        return Frame::scp(packetId, cmd, lsb, msb, pan, own, dst);
    }
    // The LINK's own parameter record, sent back to it to be applied.
    Frame linkRecord(const LinkModel& l)
    {
        Frame apply;
        apply.pid = pid::LPP;
        apply.pan = l.pan;
        apply.src = own;
        apply.dst = l.address;
        apply.payload = l.parameters;
        return apply;
    }
};
} // namespace

TEST_F(RadioFixture, StatusStreamFollowsTheStreamCommandAndTheHeadset)
{
    e.addHeadset();
    c->send(Frame::local(dcp::Stream, 0, 1));
    auto frames = c->readFrames(testutil::scaled(1000), 6);
    ASSERT_GE(frames.size(), 6u);
    EXPECT_EQ(frames[0].cmd(), dcp::Stream); // the echo first
    const HeadsetModel h = e.headset();
    bool moved = false;
    for (size_t i = 1; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].pid, pid::SHP);
        EXPECT_EQ(frames[i].pan, h.pan);
        EXPECT_EQ(frames[i].src, h.address);
        EXPECT_EQ(frames[i].channel, e.dongle().channel);
        ASSERT_EQ(frames[i].payload.size(), 20);
        const Status s = Status::decode(frames[i].payload);
        EXPECT_EQ(s.revision, 156);
        EXPECT_EQ(s.calibration, 0xFF);
        EXPECT_EQ(s.battery, h.battery);
        moved = moved || s.qw != Status::decode(frames[1].payload).qw || s.qz != Status::decode(frames[1].payload).qz;
    }
    EXPECT_TRUE(moved);

    // Powered off: silence (the application's watchdog then reports the headset lost).
    e.headsetPower(false);
    c->read(30);
    EXPECT_TRUE(c->read(60).isEmpty());
    e.headsetPower(true);
    EXPECT_FALSE(c->readFrames(testutil::scaled(2000), 1).empty());
    e.headsetInRange(false);
    c->read(30);
    EXPECT_TRUE(c->read(60).isEmpty());
    e.headsetInRange(true);

    c->send(Frame::local(dcp::Stream, 0, 0));
    c->read(50);
    EXPECT_TRUE(c->read(60).isEmpty());
    EXPECT_GT(e.statusesSent(), 5);
    EXPECT_TRUE(e.errors().isEmpty());
}

TEST_F(RadioFixture, FixedOrientationAndInjectedStatusFields)
{
    HeadsetModel h;
    h.motion = false;
    h.quaternion = {-16384, 0, 0, 0};
    h.revision = 155;
    h.control = 1;
    h.moduleAddress = 3;
    h.levels = {1, 1, 1, 0};
    e.addHeadset(h);
    c->send(Frame::local(dcp::Stream, 0, 1));
    auto f = next(500, pid::DCP);
    ASSERT_TRUE(f);
    const Status s = Status::decode(f->payload);
    EXPECT_EQ(s.qw, -16384);
    EXPECT_EQ(s.revision, 155);
    EXPECT_EQ(s.control, 1);
    EXPECT_EQ(s.moduleAddress, 3);
    EXPECT_EQ(s.calibration, 0x15);
}

TEST_F(RadioFixture, HeadsetRequests)
{
    e.addHeadset();
    const HeadsetModel h = e.headset();

    c->send(remote(pid::HCP, hcp::ChannelMap, 0, 0, h.pan, h.address));
    auto f = next();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->pid, pid::CMAP);
    EXPECT_EQ(f->flags, 0);
    EXPECT_EQ(f->pan, h.pan);
    EXPECT_EQ(f->src, h.address);
    EXPECT_EQ(f->dst, own);
    EXPECT_EQ(f->payload, encodeChannelMap(h.channelMap));

    Frame write;
    write.pid = pid::CMAP;
    write.pan = h.pan;
    write.src = own;
    write.dst = h.address;
    write.payload = encodeChannelMap({{5, 0x81, preset::Pc2}});
    c->send(write);
    f = next();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->pid, pid::ACK);
    EXPECT_EQ(uint8_t(f->payload[0]), pid::CMAP);
    EXPECT_EQ(e.headset().channelMap, (ChannelMapEntries{{5, 0x81, preset::Pc2}}));

    c->send(remote(pid::HCP, hcp::Identity, 0, 0, h.pan, h.address));
    f = next();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->pid, pid::NPP);
    EXPECT_EQ(Identity::decode(f->payload).product, 1);
    EXPECT_EQ(Identity::decode(f->payload).pan, h.pan);

    c->send(remote(pid::HCP, hcp::Turbo, 1, 0, h.pan, h.address));
    f = next();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->payload, fromHex("20 03"));
    EXPECT_EQ(e.headset().status & 0x08, 0x08);

    // Calibration: levels restart at 0 and rise step by step.
    c->send(remote(pid::HCP, hcp::Calibration, 1, 0, h.pan, h.address));
    f = next();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->payload, fromHex("20 00"));
    EXPECT_LT(e.headset().calibrationByte(), 0x40);
    EXPECT_TRUE(
        Emulator::waitUntil([&] { return e.headset().calibrationByte() == 0xFF; }, testutil::scaled(2000)));
    c->send(remote(pid::HCP, hcp::Calibration, 0, 0, h.pan, h.address));
    f = next();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->payload, fromHex("20 00"));
    EXPECT_FALSE(e.headset().calibrating);

    // Another PAN is not heard; the service PAN only in service mode.
    c->send(remote(pid::HCP, hcp::Identity, 0, 0, h.pan + 1, h.address));
    EXPECT_FALSE(next(150));
    c->send(remote(pid::HCP, hcp::ExitService, 0, 0, kServicePan, h.address));
    EXPECT_FALSE(next(150));
    e.updateHeadset([](HeadsetModel& m) { m.serviceMode = true; });
    c->send(remote(pid::HCP, hcp::ExitService, 0, 0, kServicePan, h.address));
    f = next();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->payload, fromHex("20 06"));
    EXPECT_EQ(f->pan, kServicePan);
    EXPECT_FALSE(e.headset().serviceMode);

    e.updateHeadset([](HeadsetModel& m) { m.failChannelMapRead = true; });
    c->send(remote(pid::HCP, hcp::ChannelMap, 0, 0, h.pan, h.address));
    EXPECT_FALSE(next(150));
    EXPECT_TRUE(e.errors().isEmpty());
}

TEST_F(RadioFixture, LinkRequests)
{
    LinkModel model;
    model.clamp = LinkModel::angleClamp(60);
    const int i = e.addLink(model);
    const LinkModel l = e.link(i);

    c->send(remote(pid::LCP, lcp::Identity, 0, 0, l.pan, l.address));
    auto f = next();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->pid, pid::NPP);
    EXPECT_EQ(f->flags, 0);
    EXPECT_EQ(Identity::decode(f->payload).product, 3);
    EXPECT_EQ(Identity::decode(f->payload).revision, 156);

    e.updateLink(i, [](LinkModel& m) { m.active = true; });
    c->send(remote(pid::LCP, lcp::State, 0, 0, l.pan, l.address));
    f = next();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->pid, pid::LCP);
    EXPECT_EQ(f->cmd(), lcp::State);
    EXPECT_EQ(f->msb(), 1);

    c->send(remote(pid::LCP, lcp::Version, 0, 0, l.pan, l.address));
    f = next();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->lsb(), 0x45);
    EXPECT_EQ(f->msb(), 0x0B);

    c->send(remote(pid::LCP, lcp::Bootloader, 0, 0, l.pan, l.address));
    f = next();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->flags, 0x01);

    c->send(remote(pid::LCP, lcp::Parameters, 0, 0, l.pan, l.address));
    f = next();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->pid, pid::LPP);
    EXPECT_EQ(f->payload, l.parameters);

    // A clamp makes what was sent and what is stored differ; the reply is the stored record.
    Frame apply = linkRecord(l);
    apply.payload[0] = char(200);
    c->send(apply);
    f = next();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->pid, pid::LPP);
    EXPECT_EQ(uint8_t(f->payload[0]), 60);
    EXPECT_EQ(e.link(i).parameters, f->payload);
    // The trace tells what the LINK stored, for checks of when a record reaches a LINK.
    EXPECT_TRUE(
        e.traceText().contains(QStringLiteral("LINK %1: parameter record stored [3C ").arg(l.address)))
        << e.traceText().toStdString();

    // A LINK that stopped answering.
    e.updateLink(i, [](LinkModel& m) { m.answering = false; });
    c->send(remote(pid::LCP, lcp::State, 0, 0, l.pan, l.address));
    EXPECT_FALSE(next(150));
    EXPECT_TRUE(e.errors().isEmpty());
}

TEST_F(RadioFixture, ALinkRecordOutsideTheLinksLimitsIsAnError)
{
    const LinkModel l = e.link(e.addLink());
    Frame apply = linkRecord(l);
    c->send(apply);
    ASSERT_TRUE(next());
    EXPECT_TRUE(e.errors().isEmpty());
    // Each field at the first value past its limit.
    const std::pair<int, uint8_t> bad[] = {{13, 0xFF}, {14, 171}, {17, 171}, {18, 1}, {18, 51}, {23, 101}};
    for (const auto& [at, value] : bad) {
        apply.payload = l.parameters;
        apply.payload[at] = char(value);
        c->send(apply);
        ASSERT_TRUE(next());
    }
    const QStringList errors = e.errors();
    ASSERT_EQ(errors.size(), 6) << errors.join("\n").toStdString();
    EXPECT_TRUE(errors[1].contains("safety angle forward 171 (limits 0-170)")) << errors[1].toStdString();
    EXPECT_TRUE(errors[3].contains("emergency-break window 1")) << errors[3].toStdString();
}

TEST_F(RadioFixture, ServiceModeReachesTheNetworkAndDevicesBeacon)
{
    e.addHeadset();
    e.addLink();
    c->send(Frame::local(dcp::ServiceMode, 1, 1));
    ASSERT_TRUE(
        Emulator::waitUntil([&] { return e.dongle().state == state::ServiceMode; }, testutil::scaled(500)));
    EXPECT_TRUE(e.headset().serviceMode);
    EXPECT_TRUE(e.link(0).serviceMode);
    int headsetBeacons = 0, linkBeacons = 0;
    for (const Frame& f : c->readFrames(400, 6)) {
        if (f.pid != pid::NPP)
            continue;
        EXPECT_EQ(f.pan, kServicePan);
        const Identity id = Identity::decode(f.payload);
        headsetBeacons += id.product == 1;
        linkBeacons += id.product == 3;
    }
    EXPECT_GE(headsetBeacons, 1);
    EXPECT_GE(linkBeacons, 1);

    // The remote address and PAN commands go to PAN 1.
    c->send(remote(pid::GRCP, 0, 0x78, 0x56, kServicePan, 3));
    auto f = next(500, pid::NPP);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->pid, pid::ACK);
    EXPECT_EQ(f->payload, fromHex("40 00"));
    EXPECT_EQ(f->src, 3);
    EXPECT_EQ(e.link(0).pan, 0x5678);
    c->send(remote(pid::GRCP, 1, 6, 0, kServicePan, 3));
    f = next(500, pid::NPP);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->payload, fromHex("40 01"));
    EXPECT_EQ(e.link(0).address, 6);

    // The password: to the dongle itself the same header comes back with F bit 0.
    Frame key;
    key.pid = pid::KEY;
    key.pan = kServicePan;
    key.src = own;
    key.dst = own;
    key.payload = QByteArray("secret").leftJustified(16, ' ');
    c->send(key);
    f = next(500, pid::NPP);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->pid, pid::KEY);
    EXPECT_EQ(f->flags, 0x01);
    EXPECT_EQ(f->src, own);
    EXPECT_EQ(e.dongle().password, key.payload);
    key.dst = e.headset().address;
    c->send(key);
    f = next(500, pid::NPP);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->payload, fromHex("2A 00"));

    // Leaving: the LINK's exit on PAN 1 ends its beacons.
    c->send(remote(pid::LCP, lcp::ExitService, 0, 0, kServicePan, 6));
    f = next(500, pid::NPP);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->cmd(), lcp::ExitService);
    EXPECT_EQ(f->flags, 0);
    EXPECT_FALSE(e.link(0).serviceMode);
    EXPECT_TRUE(e.errors().isEmpty());
}

TEST_F(RadioFixture, DonglesExitEndsServiceModeAndStatusesResume)
{
    e.addHeadset();
    c->send(Frame::local(dcp::Stream, 0, 1));
    c->send(Frame::local(dcp::ServiceMode, 1, 1));
    ASSERT_TRUE(
        Emulator::waitUntil([&] { return e.dongle().state == state::ServiceMode; }, testutil::scaled(500)));
    EXPECT_TRUE(e.headset().serviceMode);
    c->read(30);
    // No status while in service mode; beacons instead.
    for (const Frame& f : c->readFrames(150, 3))
        EXPECT_NE(f.pid, pid::SHP);
    c->send(Frame::local(dcp::ServiceMode, 0, 0));
    ASSERT_TRUE(Emulator::waitUntil([&] { return e.dongle().state == state::Idle; }, testutil::scaled(500)));
    EXPECT_FALSE(e.headset().serviceMode);
    const int before = e.statusesSent();
    EXPECT_TRUE(Emulator::waitUntil([&] { return e.statusesSent() > before + 3; }, testutil::scaled(500)));
}

TEST_F(RadioFixture, OtherComputersDonglesAndRemotesTakeANewPanAndAddressInServiceMode)
{
    const int dongle2 = e.addPeer(PeerModel());
    const int chair = e.addPeer(PeerModel::remote(7));
    c->send(Frame::local(dcp::ServiceMode, 1, 1));
    ASSERT_TRUE(
        Emulator::waitUntil([&] { return e.dongle().state == state::ServiceMode; }, testutil::scaled(500)));
    c->read(30); // the echo and the state notice

    // Removed from a headset's network: back to PAN 1, acknowledged from where it is.
    c->send(remote(pid::GRCP, 0, 1, 0, kServicePan, 5));
    auto f = next(500, pid::NPP);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->pid, pid::ACK);
    EXPECT_EQ(f->flags, 0);
    EXPECT_EQ(f->pan, kServicePan);
    EXPECT_EQ(f->src, 5);
    EXPECT_EQ(f->dst, own);
    EXPECT_EQ(f->payload, fromHex("40 00"));
    EXPECT_EQ(e.peer(dongle2).pan, kServicePan);

    c->send(remote(pid::GRCP, 1, 8, 0, kServicePan, 7));
    f = next(500, pid::NPP);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->src, 7);
    EXPECT_EQ(f->payload, fromHex("40 01"));
    EXPECT_EQ(e.peer(chair).address, 8);

    // Any other command is left unanswered.
    c->send(remote(pid::GRCP, 2, 0, 0, kServicePan, 8));
    EXPECT_FALSE(next(150, pid::NPP));
    EXPECT_TRUE(e.errors().isEmpty());
}
