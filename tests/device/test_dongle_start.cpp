// The start sequence and the profile query, over the emulator.
#include "test_dongle_fixture.h"

using namespace dongletest;

namespace {

// The command bytes of the DCP requests received, in order (one per burst).
QList<int> requestOrder(emu::Emulator const& emulator)
{
    QList<int> order;
    for (emu::Received const& r : emulator.received())
        if (r.frame.pid == emu::pid::DCP && r.copy == 1 && (order.isEmpty() || order.last() != r.frame.cmd()))
            order << r.frame.cmd();
    return order;
}

} // namespace

TEST_F(DongleTest, StartReadsTheProfileAndInitializesTheDongle)
{
    LogCapture log;
    ASSERT_EQ(startDongle(), 0);
    EXPECT_TRUE(dongle->isInitialized());
    EXPECT_TRUE(dongle->isRunning());
    EXPECT_EQ(requestOrder(*emulator), (QList<int> { 37, 1, 43, 16, 15, 20, 64, 31, 8, 12, 30, 27 }));
    // Service mode is left with the value 0, 0 (a loaded machine may see more than one copy of
    // the burst before the echo comes back; requestOrder above counts one request).
    EXPECT_GE(emulator->receivedCount(emu::FrameFilter::dcp(37).where([](emu::Frame const& f) {
        return f.lsb() == 0 && f.msb() == 0;
    })), 1);
    EXPECT_EQ(emulator->receivedCount(emu::FrameFilter::dcp(37).where([](emu::Frame const& f) {
        return f.lsb() != 0 || f.msb() != 0;
    })), 0);
    EXPECT_TRUE(emulator->dongle().stream);

    // Progress: 0.33, 0.66, 1.0, then cleared.
    EXPECT_EQ(delegate.progress, (QList<double> { 0.33, 0.66, 1.0, 0.0 }));
    EXPECT_EQ(delegate.progressTitles.first(), QStringLiteral("Initializing\ndongle"));
    EXPECT_EQ(delegate.progressTitles.last(), QString());
    EXPECT_EQ(dongle->progress().flags, Progress::None);

    DongleProfile const& p = dongle->profile();
    EXPECT_EQ(p.version, DongleVersion(2, 4, 1, 1207));
    EXPECT_EQ(p.serial, QStringLiteral("DG24000017"));
    EXPECT_EQ(p.revision, 156);
    EXPECT_EQ(p.pan, 0x1234);
    EXPECT_EQ(p.address, 4);
    EXPECT_EQ(p.state, 1);
    EXPECT_EQ(p.controlMode(), MouseMode::Absolute);
    EXPECT_FLOAT_EQ(p.tremorFilter(), 0.2f);
    EXPECT_FLOAT_EQ(p.horizontalViewAnglePercent(), 0.5f);
    EXPECT_FLOAT_EQ(p.verticalViewAnglePercent(), 0.5f);
    EXPECT_FLOAT_EQ(p.mouseSpeedPercent(), 0.5f);
    EXPECT_EQ(p.ACATKeyCode(), 0x20);

    EXPECT_EQ(log.count(QStringLiteral("Profile: {")), 1);
    EXPECT_EQ(log.count(QStringLiteral("Dongle initialization ")), 1);
    EXPECT_EQ(log.count(QStringLiteral("[Dongle Init]")), 1);
}

TEST_F(DongleTest, AWrongProtocolRevisionEndsWithCode9)
{
    LogCapture log;
    emulator->updateDongle([](emu::DongleModel& d) { d.revision = 155; });
    EXPECT_EQ(startDongle(), 9);
    EXPECT_FALSE(dongle->isInitialized());
    EXPECT_EQ(dongle->profile().revision, 155); // shown to the user
    EXPECT_EQ(dongle->profile().pan, 0x1234);
    EXPECT_EQ(log.count(QStringLiteral("[Query profile]")), 1);
    EXPECT_EQ(log.count(QStringLiteral("Profile: {")), 0);
    // Notices are not dispatched to a dongle that failed to start.
    emulator->noticeAudioFeedback();
    testutil::spin(50);
    EXPECT_EQ(delegate.audio, 0);
}

TEST_F(DongleTest, AnUnansweredParameterEndsTheQueryAndKeepsTheProfile)
{
    fastTiming(0.05, 4);
    LogCapture log;
    emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(20)));
    EXPECT_EQ(startDongle(), 4);
    EXPECT_FALSE(dongle->isInitialized());
    EXPECT_TRUE(emulator->waitForQuiet(testutil::scaled(50), testutil::scaled(1000)));
    EXPECT_EQ(emulator->receivedCount(emu::FrameFilter::dcp(64)), 0);
    EXPECT_EQ(emulator->receivedCount(emu::FrameFilter::dcp(31)), 0);
    EXPECT_EQ(dongle->profile().revision, 0);
    EXPECT_EQ(dongle->profile().state, 6);
    EXPECT_EQ(dongle->profile().serial, QString());
    EXPECT_EQ(log.count(QStringLiteral("[Query profile]")), 1);
    EXPECT_EQ(delegate.progress, (QList<double> { 0.33, 0.66, 1.0, 0.0 }));
}

TEST_F(DongleTest, AnUnansweredServiceModeExitDoesNotStopTheStart)
{
    fastTiming(0.15, 4); // three attempts of 21 writes each within their 150 ms
    emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(37)));
    EXPECT_EQ(startDongle(), 0);
    EXPECT_TRUE(dongle->isInitialized());
    EXPECT_EQ(emulator->receivedCount(emu::FrameFilter::dcp(37)), 63);
}

TEST_F(DongleTest, AFailedHeadsetStreamEndsTheStartBeforeTheProfile)
{
    fastTiming(0.05, 4);
    LogCapture log;
    emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(1)));
    EXPECT_EQ(startDongle(), 4);
    EXPECT_FALSE(dongle->isInitialized());
    EXPECT_EQ(emulator->receivedCount(emu::FrameFilter::dcp(43)), 0);
    EXPECT_EQ(delegate.progress, (QList<double> { 0.33, 0.66, 0.0 }));
    EXPECT_EQ(log.count(QStringLiteral("[Set headset stream]")), 1);
}

TEST_F(DongleTest, AnIdentityFromTheHeadsetOrAnotherDongleIsNotTheDonglesOwn)
{
    fastTiming(0.05, 4);
    // The identity request is answered only by a headset's record (product 1) and by another
    // computer's dongle announcing itself in service mode (product 2, PAN 1, from address 5).
    emu::Emulator* e = emulator.get();
    emulator->setRequestHook([e](emu::Frame const& f) {
        if (f.pid != emu::pid::DCP || f.cmd() != 43)
            return false;
        QByteArray npp(21, '\0');
        npp[0] = 1;
        npp[1] = 9;
        e->injectFrame(emu::Frame { 0x01, 0, 0, 0, emu::pid::NPP, 11, npp });
        emu::PeerModel peer;
        e->injectFrame(
            emu::Frame { 0x00, 1, peer.address, 0xFFFF, emu::pid::NPP, 11, peer.identity().encode() });
        return true;
    });
    EXPECT_EQ(startDongle(), 0);
    DongleProfile const& p = dongle->profile();
    EXPECT_EQ(p.version, DongleVersion(0, 0, 0, 0));
    EXPECT_EQ(p.serial, QString());
    EXPECT_EQ(p.pan, 0x1234);
}

TEST_F(DongleTest, ACutIdentityRecordOfTheDongleIsNotTaken)
{
    fastTiming(0.05, 4);
    // The dongle's identity record arrives cut after 14 bytes: half a serial number.
    emu::Emulator* e = emulator.get();
    emulator->setRequestHook([e](emu::Frame const& f) {
        if (f.pid != emu::pid::DCP || f.cmd() != 43)
            return false;
        QByteArray npp(14, '\0');
        npp[0] = 2;
        npp[1] = 2;
        npp[6] = 'D';
        npp[7] = 'G';
        e->injectFrame(emu::Frame { 0x01, 0, 0, 0, emu::pid::NPP, 11, npp });
        return true;
    });
    // The profile query goes on without the identity.
    EXPECT_EQ(startDongle(), 0);
    EXPECT_EQ(dongle->profile().version, DongleVersion(0, 0, 0, 0));
    EXPECT_EQ(dongle->profile().serial, QString());
    EXPECT_EQ(dongle->profile().pan, 0x1234);

    int code = -1;
    bool gotRecord = true;
    dongle->queryNPP([&](NPP* npp, DongleResult r) {
        gotRecord = npp != nullptr;
        code = r.code;
    });
    ASSERT_TRUE(testutil::waitUntil([&] { return code != -1; }, 3000));
    EXPECT_EQ(code, 2);
    EXPECT_FALSE(gotRecord);
}

TEST_F(DongleTest, StopAndDestructionDuringStartCallBackOnce)
{
    emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(16)));
    QList<int> codes;
    dongle->start([&](DongleResult r) { codes << r.code; });
    ASSERT_TRUE(emulator->waitForFrame(emu::FrameFilter::dcp(16), testutil::scaled(2000)).has_value());
    dongle.reset();
    EXPECT_EQ(codes, QList<int> { DongleResult::DongleRemoved });
}

TEST(DongleProfileText, ANewProfileAtDepth0And1)
{
    DongleProfile profile;
    const QString text = profile.toString(0);
    EXPECT_TRUE(text.startsWith(QStringLiteral("{\nversion: 0.0.0 (0)\nrevision: 0\nPAN: 0\naddress: 0\nserial: \nmouse: {")))
            << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("\nstate: SCAN\n}"))) << text.toStdString();

    profile.revision = 156;
    profile.pan = 0x1234;
    profile.address = 4;
    profile.serial = QStringLiteral("DG1");
    profile.state = 0;
    const QString indented = profile.toString(1);
    EXPECT_TRUE(indented.startsWith(QStringLiteral("{\n   version: 0.0.0 (0)\n   revision: 156\n   PAN: 4660\n")))
            << indented.toStdString();
    EXPECT_TRUE(indented.contains(QStringLiteral("\n   serial: DG1\n")));
    EXPECT_TRUE(indented.endsWith(QStringLiteral("\n   state: SERV_M\n}")));

    // A copy carries the identity and the mouse settings.
    profile.setTremorFilter(0.75f);
    DongleProfile copy(profile);
    EXPECT_EQ(copy.pan, 0x1234);
    EXPECT_EQ(copy.state, 0);
    EXPECT_FLOAT_EQ(copy.tremorFilter(), 0.75f);
    DongleProfile assigned;
    assigned = profile;
    EXPECT_EQ(assigned.serial, QStringLiteral("DG1"));
    EXPECT_FLOAT_EQ(assigned.tremorFilter(), 0.75f);
}

TEST_F(DongleTest, AStateAnnouncedWhileTheProfileIsReadIsTheOneKept)
{
    // The dongle leaves service mode only after its state was read, while the rest is read.
    emulator->updateDongle([](emu::DongleModel& d) { d.state = d.stateAfterServiceExit = 0; });
    emu::Emulator* e = emulator.get();
    emulator->setRequestHook([e](emu::Frame const& f) {
        if (f.pid == emu::pid::DCP && f.cmd() == 31 && e->dongle().state == 0)
            e->noticeState(1);
        return false;
    });
    ASSERT_EQ(startDongle(), 0);
    EXPECT_EQ(dongle->profile().state, 1);
    emulator->setRequestHook({});
}
