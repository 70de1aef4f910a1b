// The dongle's single requests and request lists, over the emulator.
#include "test_dongle_fixture.h"

#include <atomic>
#include <cmath>

#include "device/MouseProfile.h"

using namespace dongletest;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

} // namespace

class DongleCommandsTest : public DongleTest {
protected:
    void SetUp() override
    {
        DongleTest::SetUp();
        ASSERT_EQ(startDongle(), 0);
        writeOnce();
        mark = emulator->mark();
    }

    // Runs one command and returns its result code (-1 without a callback).
    int run(std::function<void(Dongle::ResultCallback)> const& command, int timeoutMs = 3000)
    {
        Replies replies;
        command(replies.resultCallback());
        testutil::waitUntil([&] { return replies.calls > 0; }, timeoutMs);
        testutil::spin(10);
        EXPECT_LE(replies.calls, 1);
        return replies.codes.isEmpty() ? -1 : replies.codes.first();
    }

    // Enters service mode and waits for the dongle's state notice.
    void enterServiceMode()
    {
        ASSERT_EQ(run([&](Dongle::ResultCallback cb) { dongle->enterServiceMode(cb); }), 0);
        ASSERT_TRUE(testutil::waitUntil([&] { return dongle->profile().state == 0; }, 2000));
        mark = emulator->mark();
    }

    // Every frame received since mark.
    std::vector<emu::Received> framesSince() const
    {
        std::vector<emu::Received> out;
        for (emu::Received const& r : emulator->received())
            if (r.seq >= mark)
                out.push_back(r);
        return out;
    }

    int mark = 0;
};

TEST_F(DongleCommandsTest, SingleLocalCommandsSendTheirRecords)
{
    EXPECT_EQ(run([&](auto cb) { dongle->setHeadsetStream(false, cb); }), 0);
    EXPECT_EQ(run([&](auto cb) { dongle->setZero(cb); }), 0);
    EXPECT_EQ(run([&](auto cb) { dongle->switchClick(MouseButton::Right, cb); }), 0);
    EXPECT_EQ(run([&](auto cb) { dongle->keyPress(0x41, pressKey, cb); }), 0);
    EXPECT_EQ(run([&](auto cb) { dongle->setMouseAutoZero(true, cb); }), 0);
    EXPECT_EQ(dcpPayloadsSince(mark),
              (QList<QByteArray> { bytes({ 1, 0, 0 }), bytes({ 9, 0, 0 }), bytes({ 10, 0, 2 }),
                                   bytes({ 17, 0x41, 1 }), bytes({ 18, 0, 1 }) }));
    const emu::DongleModel model = emulator->dongle();
    EXPECT_FALSE(model.stream);
    EXPECT_EQ(model.zeroCount, 1);
    EXPECT_EQ(model.clickButton, 2);
    EXPECT_EQ(model.heldKeys.count(0x41), 1u);
    EXPECT_TRUE(model.autoZero);

    mark = emulator->mark();
    EXPECT_EQ(run([&](auto cb) { dongle->enterPasshroughtMode(cb); }), 0);
    EXPECT_EQ(dcpPayloadsSince(mark), QList<QByteArray> { bytes({ 22, 0, 0 }) });
    EXPECT_TRUE(emulator->dongle().passthrough);
    emulator->leavePassthrough();
}

TEST_F(DongleCommandsTest, CopyPressesCommandAndCThenReleasesAll)
{
    Replies replies;
    dongle->copyAction(replies.resultCallback());
    ASSERT_TRUE(testutil::waitUntil([&] { return replies.calls == 1; }, 3000));
    EXPECT_EQ(replies.codes, QList<int> { 0 });
    EXPECT_EQ(dcpPayloadsSince(mark),
              (QList<QByteArray> { bytes({ 17, 0x83, 1 }), bytes({ 17, 0x63, 1 }), bytes({ 17, 0, 3 }) }));
    EXPECT_TRUE(emulator->dongle().heldKeys.empty());

    mark = emulator->mark();
    EXPECT_EQ(run([&](auto cb) { dongle->cutAction(cb); }), 0);
    EXPECT_EQ(run([&](auto cb) { dongle->pasteAction(cb); }), 0);
    EXPECT_EQ(run([&](auto cb) { dongle->sendKeyboardAction({}, cb); }), 0);
    EXPECT_EQ(dcpPayloadsSince(mark),
              (QList<QByteArray> { bytes({ 17, 0x83, 1 }), bytes({ 17, 0x78, 1 }), bytes({ 17, 0, 3 }),
                                   bytes({ 17, 0x83, 1 }), bytes({ 17, 0x76, 1 }), bytes({ 17, 0, 3 }),
                                   bytes({ 17, 0, 3 }) }));
    testutil::spin(30);
    EXPECT_EQ(replies.calls, 1);
}

TEST_F(DongleCommandsTest, ANoticeOfTheSameKeyIsNoEchoOfTheCommand)
{
    // The dongle announces held keys by itself (flags 0); only the echo (flag bit 0) answers a
    // request, or a key list would run ahead of its own writes and leave keys held.
    fastTiming(0.05, 4);
    emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(17)));
    Replies replies;
    dongle->keyPress(0x41, pressKey, replies.resultCallback());
    emulator->noticeKey(0x41, 1);
    ASSERT_TRUE(testutil::waitUntil([&] { return replies.calls == 1; }, 3000));
    EXPECT_EQ(replies.codes, QList<int> { 4 });
}

TEST_F(DongleCommandsTest, ALateEchoOfTheKeyBeforeIsNoEchoOfTheRelease)
{
    // A press's echo arriving late must not end the release that follows (the release would
    // then never be written and the key would stay held).
    fastTiming(0.05, 4);
    emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(17)));
    Replies replies;
    dongle->keyPress(0x41, releaseKey, replies.resultCallback());
    emu::Frame lateEcho;
    lateEcho.flags = 0x01;
    lateEcho.pid = 0x10;
    lateEcho.channel = 11;
    lateEcho.payload = bytes({ 17, 0x41, 1 });
    emulator->injectFrame(lateEcho);
    ASSERT_TRUE(testutil::waitUntil([&] { return replies.calls == 1; }, 3000));
    EXPECT_EQ(replies.codes, QList<int> { 4 });

    // Nor, in a shortcut, does the letter's late echo end the release of all keys.
    emulator->clearFaults();
    auto releaseAll = [](emu::Frame const& f) { return f.payload.size() > 2 && uchar(f.payload[2]) == 3; };
    emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(17).where(releaseAll)));
    lateEcho.payload = bytes({ 17, 0x63, 1 });
    emu::Emulator* e = emulator.get();
    emulator->setRequestHook([e, lateEcho, releaseAll](emu::Frame const& f) {
        if (f.pid == emu::pid::DCP && f.cmd() == 17 && releaseAll(f))
            e->injectFrame(lateEcho);
        return false;
    });
    Replies copy;
    dongle->copyAction(copy.resultCallback());
    ASSERT_TRUE(testutil::waitUntil([&] { return copy.calls == 1; }, 3000));
    EXPECT_EQ(copy.codes, QList<int> { 4 });
    emulator->setRequestHook({});
}

TEST_F(DongleCommandsTest, ALateEchoOfTheValueBeforeIsNoEchoOfTheNewOne)
{
    // A busy dongle echoes the copies of auto-zero on late, after auto-zero off went out: taken
    // for the echo of off, it ended that request as done, and its copies still in the port were
    // dropped, so the dongle kept auto-zero on. The same for a setting of a mouse profile.
    fastTiming(0.05, 4);
    auto echoOnWrite = [this](uchar command, uchar sent, uchar late) {
        emulator->clearFaults();
        emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(command)));
        emu::Emulator* e = emulator.get();
        emulator->setRequestHook([e, command, sent, late](emu::Frame const& f) {
            if (f.pid == emu::pid::DCP && f.cmd() == command && f.msb() == sent)
                e->injectFrame(emu::Frame { 0x01, 0, 0, 0, emu::pid::DCP, 11, bytes({ command, 0, late }) });
            return false;
        });
    };
    echoOnWrite(18, 0, 1);
    EXPECT_EQ(run([&](auto cb) { dongle->setMouseAutoZero(false, cb); }), DongleResult::TimedOut);

    echoOnWrite(26, 100, 50);
    MouseProfile profile(nullptr);
    profile.setMouseSpeedPercent(1.0f);
    EXPECT_EQ(run([&](auto cb) { dongle->applyMouseProfile(profile, cb); }), DongleResult::TimedOut);
    emulator->setRequestHook({});
}

TEST_F(DongleCommandsTest, AMouseProfileIsWrittenAsSevenParameters)
{
    const MouseProfile profile(QStringLiteral("edge"), MouseMode::Relative, true, 5000, true, true, 0.5f, 0.8f, 0.6f,
                               false, 1.2f, 0x20);
    EXPECT_EQ(run([&](auto cb) { dongle->applyMouseProfile(profile, cb); }), 0);
    EXPECT_EQ(dcpPayloadsSince(mark),
              (QList<QByteArray> { bytes({ 25, 0, 2 }), bytes({ 18, 0, 1 }), bytes({ 3, 0, 50 }),
                                   bytes({ 2, 60, 80 }), bytes({ 28, 0, 0 }), bytes({ 26, 0, 100 }),
                                   bytes({ 24, 0, 0x20 }) }));

    // The reads answer what was written.
    int code = -1;
    DongleProfile read;
    dongle->queryProfile([&](DongleProfile* p, DongleResult r) {
        code = r.code;
        if (p)
            read = *p;
    });
    ASSERT_TRUE(testutil::waitUntil([&] { return code != -1; }, 3000));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(read.controlMode(), MouseMode::Relative);
    EXPECT_FLOAT_EQ(read.tremorFilter(), 0.5f);
    EXPECT_FLOAT_EQ(read.horizontalViewAnglePercent(), 0.8f);
    EXPECT_FLOAT_EQ(read.verticalViewAnglePercent(), 0.6f);
    EXPECT_FLOAT_EQ(read.mouseSpeedPercent(), 1.0f);
    EXPECT_EQ(read.ACATKeyCode(), 0x20);
}

TEST(DongleScaling, FractionsBecomePercentBytes)
{
    EXPECT_EQ(Dongle::percentFromFraction(-0.1f), 0);
    EXPECT_EQ(Dongle::percentFromFraction(0.0f), 0);
    EXPECT_EQ(Dongle::percentFromFraction(0.004f), 0);
    EXPECT_EQ(Dongle::percentFromFraction(0.005f), 1);
    EXPECT_EQ(Dongle::percentFromFraction(0.5f), 50);
    EXPECT_EQ(Dongle::percentFromFraction(0.994f), 99);
    EXPECT_EQ(Dongle::percentFromFraction(0.996f), 100);
    EXPECT_EQ(Dongle::percentFromFraction(1.2f), 100);
    EXPECT_EQ(Dongle::percentFromFraction(std::nanf("")), 0);
    EXPECT_EQ(Dongle::percentFromFraction(INFINITY), 100);
    EXPECT_EQ(Dongle::percentFromFraction(-INFINITY), 0);
}

TEST_F(DongleCommandsTest, ANaNFractionIsWrittenAsZero)
{
    const MouseProfile profile(QStringLiteral("nan"), MouseMode::Absolute, false, 5000, true, true, std::nanf(""),
                               std::nanf(""), -0.1f, true, 0.994f, 205);
    EXPECT_EQ(run([&](auto cb) { dongle->applyMouseProfile(profile, cb); }), 0);
    const QList<QByteArray> sent = dcpPayloadsSince(mark);
    ASSERT_EQ(sent.size(), 7);
    EXPECT_EQ(sent.at(2), bytes({ 3, 0, 0 }));
    EXPECT_EQ(sent.at(3), bytes({ 2, 0, 0 }));
    EXPECT_EQ(sent.at(4), bytes({ 28, 0, 1 }));
    EXPECT_EQ(sent.at(5), bytes({ 26, 0, 99 }));
    EXPECT_EQ(sent.at(6), bytes({ 24, 0, 205 }));

    // A stored mode the dongle has none of (unknown, or beyond ACAT) is never written.
    for (int mode : { 0, 4, 255 }) {
        const int since = emulator->mark();
        MouseProfile odd(profile);
        odd.setControlMode(MouseMode(mode));
        EXPECT_EQ(run([&](auto cb) { dongle->applyMouseProfile(odd, cb); }), DongleResult::InvalidCommand)
            << mode;
        EXPECT_TRUE(dcpPayloadsSince(since).isEmpty()) << mode;
    }
}

TEST_F(DongleCommandsTest, ServiceModeCommandsRefuseOutsideServiceModeAndWriteNothing)
{
    ASSERT_EQ(dongle->profile().state, 1);
    QList<int> codes;
    auto cb = [&](DongleResult r) { codes << r.code; };
    EXPECT_FALSE(dongle->setPAN(0x4321, cb));
    EXPECT_FALSE(dongle->setDeviceAddress(4, 9, cb));
    EXPECT_FALSE(dongle->setDevicePAN(3, 0x4321, cb));
    EXPECT_FALSE(dongle->setDevicePassword(4, QStringLiteral("secret"), cb));
    // Called back at once, before returning.
    EXPECT_EQ(codes, (QList<int> { 11, 11, 11, 11 }));
    testutil::spin(100);
    EXPECT_EQ(emulator->mark(), mark);
    EXPECT_EQ(dongle->profile().pan, 0x1234);
    EXPECT_EQ(dongle->profile().address, 4);
}

TEST_F(DongleCommandsTest, ServiceModeChangesReportTheStatusBeforeTheCallback)
{
    bool reportedFirst = false;
    int statusReports = 0;
    delegate.onDongleUpdated = [&](Dongle*, quint32 mask) {
        if (mask & DongleChangeMask::statusChanged)
            ++statusReports;
    };
    Replies replies;
    dongle->enterServiceMode([&](DongleResult r) {
        reportedFirst = statusReports == 1;
        replies.resultCallback()(r);
    });
    ASSERT_TRUE(testutil::waitUntil([&] { return replies.calls == 1; }, 3000));
    EXPECT_EQ(replies.codes, QList<int> { 0 });
    EXPECT_TRUE(reportedFirst);
    EXPECT_EQ(dcpPayloadsSince(mark), QList<QByteArray> { bytes({ 37, 1, 1 }) });
    ASSERT_TRUE(testutil::waitUntil([&] { return dongle->profile().state == 0; }, 2000));

    // A failed change reports nothing.
    fastTiming(0.05, 4);
    emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(37)));
    const int before = statusReports;
    EXPECT_EQ(run([&](auto cb) { dongle->exitServiceMode(cb); }), 4);
    EXPECT_EQ(statusReports, before);
    EXPECT_EQ(dongle->profile().state, 0);
}

TEST_F(DongleCommandsTest, TheDonglesOwnPANAddressAndPasswordInServiceMode)
{
    enterServiceMode();
    // The own address: a local PAN write, changed only once the echo arrives.
    Replies pan;
    EXPECT_TRUE(dongle->setDevicePAN(4, 0x4321, pan.resultCallback()));
    EXPECT_EQ(dongle->profile().pan, 0x1234);
    ASSERT_TRUE(testutil::waitUntil([&] { return pan.calls == 1; }, 3000));
    EXPECT_EQ(pan.codes, QList<int> { 0 });
    EXPECT_EQ(dongle->profile().pan, 0x4321);
    EXPECT_EQ(emulator->dongle().pan, 0x4321);

    Replies address;
    EXPECT_TRUE(dongle->setDeviceAddress(4, 9, address.resultCallback()));
    EXPECT_EQ(dongle->profile().address, 4);
    ASSERT_TRUE(testutil::waitUntil([&] { return address.calls == 1; }, 3000));
    EXPECT_EQ(address.codes, QList<int> { 0 });
    EXPECT_EQ(dongle->profile().address, 9);
    EXPECT_EQ(dcpPayloadsSince(mark), (QList<QByteArray> { bytes({ 5, 0x21, 0x43 }), bytes({ 19, 9, 0 }) }));

    // The password goes in a KEY frame, remote form, answered by the same header with F 1.
    const int keyMark = emulator->mark();
    EXPECT_EQ(run([&](auto cb) { dongle->setDevicePassword(9, QStringLiteral("secret"), cb); }), 0);
    bool seen = false;
    for (emu::Received const& r : emulator->received()) {
        if (r.seq < keyMark || r.frame.pid != emu::pid::KEY)
            continue;
        seen = true;
        EXPECT_EQ(r.frame.pan, 1);
        EXPECT_EQ(r.frame.src, 9);
        EXPECT_EQ(r.frame.dst, 9);
        EXPECT_EQ(r.frame.payload, QByteArray("secret          ", 16));
    }
    EXPECT_TRUE(seen);
    EXPECT_EQ(emulator->dongle().password, QByteArray("secret          ", 16));
}

TEST_F(DongleCommandsTest, RemoteDevicesAnswerWithTheirAcknowledge)
{
    emulator->addLink(); // a LINK at address 3
    enterServiceMode();
    EXPECT_EQ(run([&](auto cb) { dongle->setDeviceAddress(3, 7, cb); }), 0);
    EXPECT_EQ(emulator->link(0).address, 7);
    EXPECT_EQ(run([&](auto cb) { dongle->setDevicePAN(7, 0x2222, cb); }), 0);
    EXPECT_EQ(emulator->link(0).pan, 0x2222);
    EXPECT_EQ(run([&](auto cb) { dongle->setDevicePassword(7, QStringLiteral("pw"), cb); }), 0);
    for (emu::Received const& r : framesSince()) {
        EXPECT_EQ(r.frame.pan, 1);
        EXPECT_EQ(r.frame.src, 4);
        EXPECT_TRUE(r.frame.pid == emu::pid::GRCP || r.frame.pid == emu::pid::KEY);
    }
    // Remote requests never change the dongle's own fields.
    EXPECT_EQ(dongle->profile().address, 4);
    EXPECT_EQ(dongle->profile().pan, 0x1234);
}

TEST_F(DongleCommandsTest, OnlyTheRightAcknowledgeAnswersARemoteRequest)
{
    enterServiceMode();
    fastTiming(0.2); // 600 ms per remote attempt
    const auto ack = [](uchar command, uchar flags) {
        return emu::Frame { flags, 1, 12, 4, emu::pid::ACK, 11, bytes({ 0x40, command }) };
    };
    Replies address;
    EXPECT_TRUE(dongle->setDeviceAddress(12, 13, address.resultCallback())); // nobody at 12
    ASSERT_TRUE(emulator->waitForFrame(emu::FrameFilter::of(emu::pid::GRCP), testutil::scaled(1000), mark)
                    .has_value());
    emulator->injectFrame(ack(0x00, 0)); // the PAN acknowledge
    emulator->injectFrame(ack(0x01, 1)); // flags other than 0
    testutil::spin(50);
    EXPECT_EQ(address.calls, 0);
    emulator->injectFrame(ack(0x01, 0));
    ASSERT_TRUE(testutil::waitUntil([&] { return address.calls == 1; }, 1000));
    EXPECT_EQ(address.codes, QList<int> { 0 });

    Replies pan;
    EXPECT_TRUE(dongle->setDevicePAN(12, 0x5555, pan.resultCallback()));
    const int since = emulator->mark();
    ASSERT_TRUE(emulator->waitForFrame(emu::FrameFilter::of(emu::pid::GRCP), testutil::scaled(1000), since)
                    .has_value());
    emulator->injectFrame(ack(0x00, 0));
    ASSERT_TRUE(testutil::waitUntil([&] { return pan.calls == 1; }, 1000));
    EXPECT_EQ(pan.codes, QList<int> { 0 });
}

TEST_F(DongleCommandsTest, AWriteTheDeviceRefusesEndsAtOnceWithoutRetries)
{
    const int link = emulator->addLink();
    enterServiceMode();
    // An error record of the device addressed to another dongle (the other computer's, at 5)
    // refuses nothing here: the device's acknowledgement to this dongle answers.
    std::atomic<int> strays { 0 };
    emu::Emulator* e = emulator.get();
    emulator->setRequestHook([&, e](emu::Frame const& f) {
        if (f.pid == emu::pid::KEY || f.pid == emu::pid::GRCP) {
            strays.fetch_add(1);
            e->injectFrame(emu::Frame { 0, 1, f.dst, 5, emu::pid::ERR, 0, bytes({ 1, 1, 6, 7, 0, 0, 0, 0 }) });
        }
        return false;
    });
    EXPECT_EQ(run([&](auto cb) { dongle->setDevicePassword(3, QStringLiteral("pw"), cb); }), 0);
    EXPECT_EQ(run([&](auto cb) { dongle->setDevicePAN(3, 0x2222, cb); }), 0);
    EXPECT_EQ(run([&](auto cb) { dongle->setDeviceAddress(3, 7, cb); }), 0);
    EXPECT_EQ(strays.load(), 3);
    emulator->setRequestHook({});
    ASSERT_TRUE(emulator->waitForQuiet(testutil::scaled(150), testutil::scaled(2000)));

    // The device says no to each write: told as a refusal after one write, nothing taken.
    emulator->updateLink(link, [](emu::LinkModel& l) {
        l.keyError = 7;
        l.networkError = 7;
    });
    const struct {
        char const* what;
        int pid;
        std::function<void(Dongle::ResultCallback)> send;
    } writes[] = {
        { "password", emu::pid::KEY, [&](auto cb) { dongle->setDevicePassword(7, QStringLiteral("no"), cb); } },
        { "PAN", emu::pid::GRCP, [&](auto cb) { dongle->setDevicePAN(7, 0x3333, cb); } },
        { "address", emu::pid::GRCP, [&](auto cb) { dongle->setDeviceAddress(7, 8, cb); } },
    };
    for (auto const& write : writes) {
        SCOPED_TRACE(write.what);
        mark = emulator->mark();
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(run(write.send), DongleResult::Refused);
        EXPECT_LT(clock.elapsed(), Dongle::RemoteTimeoutMs);
        ASSERT_TRUE(emulator->waitForQuiet(testutil::scaled(150), testutil::scaled(2000)));
        int sent = 0;
        for (emu::Received const& r : framesSince())
            sent += r.frame.pid == write.pid ? 1 : 0;
        EXPECT_EQ(sent, 1);
    }
    EXPECT_EQ(emulator->link(link).password, QByteArray("pw              ", 16));
    EXPECT_EQ(emulator->link(link).pan, 0x2222);
    EXPECT_EQ(emulator->link(link).address, 7);
}

TEST_F(DongleCommandsTest, ADeviceGivenAnAddressIsFoundWhereItsBeaconsComeFrom)
{
    emu::LinkModel onExit;
    onExit.address = 9;
    onExit.addressOnServiceExit = true;
    emulator->addLink(onExit);
    emu::LinkModel atOnce;
    atOnce.address = 10;
    atOnce.serial = "LK19000443";
    emulator->addLink(atOnce);
    enterServiceMode();
    EXPECT_EQ(dongle->serviceAddressesOf(3), (QList<quint8> { 3 }));
    ASSERT_EQ(run([&](auto cb) { dongle->setDeviceAddress(9, 3, cb); }), 0);
    ASSERT_EQ(run([&](auto cb) { dongle->setDeviceAddress(10, 6, cb); }), 0);
    // Not heard since: the new address first, then the old one (on a slow machine a beacon from
    // the old address may already have come).
    const QList<quint8> meanwhile = dongle->serviceAddressesOf(3);
    EXPECT_TRUE(meanwhile == (QList<quint8> { 3, 9 }) || meanwhile == QList<quint8> { 9 });
    ASSERT_TRUE(testutil::waitUntil(
        [&] {
            return dongle->serviceAddressesOf(3) == QList<quint8> { 9 }
            && dongle->serviceAddressesOf(6) == QList<quint8> { 6 };
        },
        3000));
    // Leaving service mode, every device has taken its address.
    ASSERT_EQ(run([&](auto cb) { dongle->exitServiceMode(cb); }), 0);
    EXPECT_EQ(dongle->serviceAddressesOf(3), (QList<quint8> { 3 }));
}
