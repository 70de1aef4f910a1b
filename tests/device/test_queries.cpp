// The dongle's network operations over the emulated radio: reading one LINK, walking a channel
// map for its LINKs, pinging a known LINK and taking the network out of service mode.
#include "test_headset_fixture.h"

#include <atomic>

using namespace devtest;

namespace {

emu::LinkModel linkAt(uint8_t address)
{
    emu::LinkModel l;
    l.address = address;
    return l;
}

ChannelMap mapOf(QList<OrvixDevice> const& devices)
{
    ChannelMap map;
    for (OrvixDevice const& d : devices)
        map.devices << d;
    return map;
}

struct DeviceWalk {
    QList<QPair<int, int>> devices; // (preset, code)
    QList<int> found;
    bool done = false;

    std::function<void(OrvixDevice::Preset, DongleResult)> onDevice()
    {
        return [this](OrvixDevice::Preset preset, DongleResult r) { devices << qMakePair(int(preset), r.code); };
    }
    std::function<void(QList<OrvixDevice::Preset>*)> onDone()
    {
        return [this](QList<OrvixDevice::Preset>* presets) {
            for (OrvixDevice::Preset p : *presets)
                found << int(p);
            done = true;
        };
    }
};

} // namespace

class QueriesTest : public DeviceTest {
protected:
    // Runs queryDevices over map to its end.
    bool walk(ChannelMap const& map, DeviceWalk& result)
    {
        dongle->queryDevices(map, result.onDevice(), result.onDone());
        return waitFor(result.done, 5000);
    }

    const OrvixDevice drive3 = OrvixDevice(3, 0x81, OrvixDevice::LinkDrive);
    const OrvixDevice outdoor5 = OrvixDevice(5, 0x81, OrvixDevice::LinkOutdoorDrive);
};

TEST_F(QueriesTest, OneLinkIsReadInThreeRequests)
{
    const int index = emulator->addLink();
    emulator->updateLink(index, [](emu::LinkModel& l) { l.active = true; });
    ASSERT_TRUE(startDongle());
    const int mark = emulator->mark();
    bool done = false;
    int code = -1;
    QString serial;
    DongleVersion version;
    int revision = -1;
    LPP parameters;
    bool active = false;
    quint16 pan = 0;
    dongle->queryLink(drive3, [&](Link* link, DongleResult r) {
        code = r.code;
        if (link) {
            serial = link->serial();
            version = link->version();
            revision = link->revision();
            parameters = link->parameters();
            active = link->isActive();
            pan = link->pan();
        }
        done = true;
    });
    ASSERT_TRUE(waitFor(done));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(serial, QStringLiteral("LK19000442"));
    EXPECT_EQ(version, DongleVersion(1, 11, 5, 88));
    EXPECT_EQ(revision, 156);
    EXPECT_EQ(parameters.getData().bytes(), emu::LinkModel::defaultParameters());
    EXPECT_TRUE(active);
    EXPECT_EQ(pan, 0x1234);

    QList<int> commands;
    for (emu::Received const& r : emulator->received())
        if (r.seq >= mark && r.frame.pid == emu::pid::LCP && r.copy == 1) {
            commands << r.frame.cmd();
            EXPECT_EQ(r.frame.pan, 0x1234); // the dongle's own PAN
            EXPECT_EQ(r.frame.src, 4);
            EXPECT_EQ(r.frame.dst, 3);
        }
    EXPECT_EQ(commands, (QList<int> { 97, 7, 100 }));
}

TEST_F(QueriesTest, ALinkOfAnotherRevisionGivesNoLink)
{
    const int index = emulator->addLink();
    emulator->updateLink(index, [](emu::LinkModel& l) { l.revision = 155; });
    ASSERT_TRUE(startDongle());
    bool done = false;
    int code = -1;
    Link* got = reinterpret_cast<Link*>(1);
    dongle->queryLink(0x1234, 3, [&](Link* link, DongleResult r) {
        code = r.code;
        got = link;
        done = true;
    });
    ASSERT_TRUE(waitFor(done));
    EXPECT_EQ(code, 9);
    EXPECT_EQ(got, nullptr);

    DeviceWalk result;
    ASSERT_TRUE(walk(mapOf({ drive3 }), result));
    EXPECT_EQ(result.devices, (QList<QPair<int, int>> { qMakePair(0x18, 9) }));
    EXPECT_TRUE(result.found.isEmpty());
    EXPECT_TRUE(dongle->links().isEmpty());
}

TEST_F(QueriesTest, OnlyTheLinksOwnAnswersAreTaken)
{
    emulator->addLink();
    ASSERT_TRUE(startDongle());
    // Ahead of each real answer: a headset's identity record naming the same address, and a
    // state reply of another LINK.
    auto injected = std::make_shared<std::atomic<int>>(0);
    emu::Emulator* e = emulator.get();
    emulator->setRequestHook([e, injected](emu::Frame const& f) {
        if (f.pid != emu::pid::LCP)
            return false;
        if (f.cmd() == 97 && !(injected->fetch_or(1) & 1)) {
            emu::Identity headset;
            headset.product = 1;
            headset.serial = "HS21000321";
            headset.pan = f.pan;
            headset.address = 3;
            e->injectFrame(replyFrame(f, emu::pid::NPP, 3, headset.encode()));
        } else if (f.cmd() == 7 && !(injected->fetch_or(2) & 2)) {
            e->injectFrame(replyFrame(f, emu::pid::LCP, 5, emu::scpBytes(7, 0, 1)));
        }
        return false;
    });
    bool done = false;
    QString serial;
    bool active = true;
    dongle->queryLink(0x1234, 3, [&](Link* link, DongleResult r) {
        EXPECT_EQ(r.code, 0);
        if (link) {
            serial = link->serial();
            active = link->isActive();
        }
        done = true;
    });
    ASSERT_TRUE(waitFor(done));
    EXPECT_EQ(injected->load(), 3);
    EXPECT_EQ(serial, QStringLiteral("LK19000442"));
    EXPECT_FALSE(active);
}

TEST_F(QueriesTest, OnlyLinkDrivesAreQueried)
{
    emulator->addLink();
    emulator->addLink(linkAt(7));
    ASSERT_TRUE(startDongle());
    delegate.clear();
    DeviceWalk result;
    ASSERT_TRUE(walk(mapOf({ OrvixDevice(4, 0x81, 0x3B), OrvixDevice(7, 0x81, 0x28), drive3 }), result));
    EXPECT_EQ(result.devices, (QList<QPair<int, int>> { qMakePair(0x18, 0) }));
    EXPECT_EQ(result.found, QList<int> { 0x18 });
    ASSERT_TRUE(dongle->links().contains(OrvixDevice::LinkDrive));
    EXPECT_EQ(dongle->links().value(OrvixDevice::LinkDrive)->address(), 3);
    EXPECT_EQ(dongle->links().size(), 1);
    EXPECT_EQ(delegate.countDongleMask(DongleChangeMask::linkFound), 1);
    EXPECT_EQ(emulator->receivedCount(emu::FrameFilter::of(emu::pid::LCP).withDst(7)), 0);
    EXPECT_TRUE(delegate.messages.contains(QStringLiteral("Link Drive")));
    EXPECT_EQ(distinctRuns(delegate.progress), (QList<double> { 0.0, 1.0, 0.0 }));
}

TEST_F(QueriesTest, AMapWithoutLinksEndsAtOnce)
{
    ASSERT_TRUE(startDongle());
    delegate.clear();
    DeviceWalk result;
    dongle->queryDevices(mapOf({ OrvixDevice(4, 0x81, 0x3B) }), result.onDevice(), result.onDone());
    EXPECT_TRUE(result.done); // before queryDevices returned
    EXPECT_TRUE(result.devices.isEmpty());
    EXPECT_TRUE(result.found.isEmpty());
    EXPECT_EQ(delegate.progress.size(), 2); // started, cleared
    EXPECT_EQ(dongle->progress().title, QString());
}

TEST_F(QueriesTest, ASilentLinkIsForgottenAndTheNextOneStillQueried)
{
    const int first = emulator->addLink();
    emulator->addLink(linkAt(5));
    ASSERT_TRUE(startDongle());
    DeviceWalk before;
    ASSERT_TRUE(walk(mapOf({ drive3, outdoor5 }), before));
    ASSERT_EQ(before.found, (QList<int> { 0x18, 0x88 }));
    QPointer<Link> stale(dongle->links().value(OrvixDevice::LinkDrive));
    ASSERT_FALSE(stale.isNull());

    fastTiming(0.03);
    emulator->updateLink(first, [](emu::LinkModel& l) { l.answering = false; });
    delegate.clear();
    DeviceWalk result;
    ASSERT_TRUE(walk(mapOf({ drive3, outdoor5 }), result));
    EXPECT_EQ(result.devices, (QList<QPair<int, int>> { qMakePair(0x18, 4), qMakePair(0x88, 0) }));
    EXPECT_EQ(result.found, QList<int> { 0x88 });
    EXPECT_FALSE(dongle->links().contains(OrvixDevice::LinkDrive));
    EXPECT_TRUE(dongle->links().contains(OrvixDevice::LinkOutdoorDrive));
    EXPECT_EQ(delegate.countDongleMask(DongleChangeMask::linkFound), 2);
    EXPECT_EQ(distinctRuns(delegate.progress), (QList<double> { 0.0, 0.5, 1.0, 0.0 }));
    EXPECT_TRUE(testutil::waitUntil([&] { return stale.isNull(); }, 1000)); // released
}

TEST_F(QueriesTest, QueryingAKnownLinkAgainRefreshesIt)
{
    const int index = emulator->addLink();
    ASSERT_TRUE(startDongle());
    DeviceWalk first;
    ASSERT_TRUE(walk(mapOf({ drive3 }), first));
    Link* held = dongle->links().value(OrvixDevice::LinkDrive);
    ASSERT_NE(held, nullptr);
    EXPECT_FALSE(held->isActive());

    QByteArray changed = emu::LinkModel::defaultParameters();
    changed[0] = char(33);
    emulator->updateLink(index, [&](emu::LinkModel& l) {
        l.active = true;
        l.parameters = changed;
        l.serial = "LK19000999";
    });
    DeviceWalk second;
    ASSERT_TRUE(walk(mapOf({ drive3 }), second));
    // The same object, showing what the LINK says now.
    EXPECT_EQ(dongle->links().value(OrvixDevice::LinkDrive), held);
    EXPECT_TRUE(held->isActive());
    EXPECT_EQ(held->parameters().angleForward, 33);
    EXPECT_EQ(held->serial(), QStringLiteral("LK19000999"));
}

TEST_F(QueriesTest, AnotherLinkUnderThePresetReplacesTheKnownOne)
{
    emulator->addLink();
    emulator->addLink(linkAt(5));
    ASSERT_TRUE(startDongle());
    DeviceWalk first;
    ASSERT_TRUE(walk(mapOf({ drive3 }), first));
    QPointer<Link> old(dongle->links().value(OrvixDevice::LinkDrive));
    DeviceWalk second;
    ASSERT_TRUE(walk(mapOf({ OrvixDevice(5, 0x81, 0x18) }), second));
    ASSERT_NE(dongle->links().value(OrvixDevice::LinkDrive), nullptr);
    EXPECT_EQ(dongle->links().value(OrvixDevice::LinkDrive)->address(), 5);
    EXPECT_TRUE(testutil::waitUntil([&] { return old.isNull(); }, 1000));
}

TEST_F(QueriesTest, TwoEntriesOfOnePresetKeepTheProgressWithinOneAndNeverBackwards)
{
    emulator->addLink();
    emulator->addLink(linkAt(5));
    emulator->addLink(linkAt(6));
    ASSERT_TRUE(startDongle());
    delegate.clear();
    DeviceWalk result;
    // The preset's second entry comes after another LINK: the walk is done, not half done.
    ASSERT_TRUE(walk(mapOf({ drive3, OrvixDevice(6, 0x81, 0x88), OrvixDevice(5, 0x81, 0x18) }), result));
    EXPECT_EQ(result.found, (QList<int> { 0x18, 0x88, 0x18 }));
    EXPECT_EQ(distinctRuns(delegate.progress), (QList<double> { 0.0, 0.5, 1.0, 0.0 }));
    EXPECT_EQ(dongle->links().value(OrvixDevice::LinkDrive)->address(), 5); // the later entry
}

TEST_F(QueriesTest, PingKeepsAnAnsweringLinkAndReleasesASilentOne)
{
    const int index = emulator->addLink();
    ASSERT_TRUE(startDongle());

    // No known LINK: nothing is sent, no callback.
    int calls = 0;
    dongle->pingLink(OrvixDevice::LinkDrive, [&](DongleResult) { ++calls; });
    testutil::spin(100);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(emulator->receivedCount(emu::FrameFilter::of(emu::pid::LCP, 7)), 0);

    DeviceWalk first;
    ASSERT_TRUE(walk(mapOf({ drive3 }), first));
    QPointer<Link> known(dongle->links().value(OrvixDevice::LinkDrive));
    QList<int> codes;
    dongle->pingLink(OrvixDevice::LinkDrive, [&](DongleResult r) { codes << r.code; });
    ASSERT_TRUE(testutil::waitUntil([&] { return codes.size() == 1; }, 3000));
    EXPECT_EQ(codes.last(), 0);
    EXPECT_EQ(dongle->links().value(OrvixDevice::LinkDrive), known.data());

    fastTiming(0.03);
    emulator->updateLink(index, [](emu::LinkModel& l) { l.answering = false; });
    delegate.clear();
    int mapSizeAtCallback = -1;
    dongle->pingLink(OrvixDevice::LinkDrive, [&](DongleResult r) {
        codes << r.code;
        mapSizeAtCallback = dongle->links().size();
    });
    ASSERT_TRUE(testutil::waitUntil([&] { return codes.size() == 2; }, 3000));
    EXPECT_EQ(codes.last(), 4);
    EXPECT_EQ(mapSizeAtCallback, 0);
    EXPECT_EQ(delegate.dongleMasks, QList<quint32> { DongleChangeMask::linkLost });
    EXPECT_TRUE(testutil::waitUntil([&] { return known.isNull(); }, 1000)); // released
}

TEST_F(QueriesTest, LeavingServiceModeOutsideServiceModeDoesNothing)
{
    ASSERT_TRUE(startDongle());
    ASSERT_EQ(dongle->profile().state, 1);
    const int mark = emulator->mark();
    int calls = 0;
    EXPECT_FALSE(dongle->networkLeaveServiceMode([&](DongleResult) { ++calls; }));
    testutil::spin(100);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(emulator->mark(), mark); // nothing was written
}

TEST_F(QueriesTest, LeavingServiceModeWithoutAHeadsetIsTheDonglesOwnRequest)
{
    ASSERT_TRUE(startDongle());
    emulator->noticeState(0);
    ASSERT_TRUE(testutil::waitUntil([&] { return dongle->profile().state == 0; }, 2000));
    const int mark = emulator->mark();
    int code = -1;
    EXPECT_TRUE(dongle->networkLeaveServiceMode([&](DongleResult r) { code = r.code; }));
    ASSERT_TRUE(testutil::waitUntil([&] { return code != -1; }, 3000));
    EXPECT_EQ(code, 0);
    for (emu::Received const& r : emulator->received()) {
        if (r.seq >= mark) {
            EXPECT_TRUE(r.frame.pid == emu::pid::DCP && r.frame.cmd() == 37 && r.frame.lsb() == 0)
                    << r.frame.toString().toStdString();
        }
    }
}

class LeaveServiceTest : public QueriesTest {
protected:
    void SetUp() override
    {
        QueriesTest::SetUp();
        emu::HeadsetModel model = stillHeadset();
        model.channelMap = { { 4, 0x81, emu::preset::Pc1 },
                             { 3, 0x81, emu::preset::LinkDrive },
                             { 7, 0x81, emu::preset::LinkActuator },
                             { 5, 0x81, emu::preset::LinkOutdoorDrive } };
        emulator->addLink();
        emulator->addLink(linkAt(5));
        ASSERT_NE(startWithHeadset(model), nullptr);
        emulator->noticeState(0);
        ASSERT_TRUE(testutil::waitUntil([&] { return dongle->profile().state == 0; }, 2000));
        delegate.clear();
    }
};

TEST_F(LeaveServiceTest, ProgressByItemsEndsInZeroEvenWhenEverythingTimesOut)
{
    fastTiming(0.02);
    emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::of(emu::pid::HCP)));
    emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::of(emu::pid::LCP)));
    emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(37)));
    const int mark = emulator->mark();
    QList<int> codes;
    EXPECT_TRUE(dongle->networkLeaveServiceMode([&](DongleResult r) { codes << r.code; }));
    ASSERT_TRUE(testutil::waitUntil([&] { return !codes.isEmpty(); }, 5000));
    testutil::spin(30);
    EXPECT_EQ(codes, QList<int> { 4 }); // nobody left service mode: no success
    EXPECT_EQ(distinctRuns(delegate.progress), (QList<double> { 0.0, 0.25, 0.5, 0.75, 1.0, 0.0 }));
    EXPECT_TRUE(delegate.messages.contains(QStringLiteral("Headset")));
    EXPECT_TRUE(delegate.messages.contains(QStringLiteral("Link Outdoor Drive")));
    EXPECT_TRUE(delegate.messages.contains(QStringLiteral("Dongle")));

    // The headset, the two LINKs (not the actuator) and the dongle, in this order, each on the
    // service PAN.
    QList<QString> order;
    for (emu::Received const& r : emulator->received()) {
        if (r.seq < mark || r.copy != 1 || r.frame.pid == emu::pid::SHP)
            continue;
        if (r.frame.pid != emu::pid::DCP) {
            EXPECT_EQ(r.frame.pan, 1) << r.frame.toString().toStdString();
        }
        const QString key = QStringLiteral("%1:%2:%3").arg(r.frame.pid).arg(r.frame.cmd()).arg(r.frame.dst);
        if (!order.contains(key))
            order << key;
    }
    EXPECT_EQ(order, (QList<QString> { QStringLiteral("32:6:2"), QStringLiteral("48:101:3"),
                                       QStringLiteral("48:101:5"), QStringLiteral("16:37:0") }));
}

TEST_F(LeaveServiceTest, EveryDeviceLeavesAndTheHeadsetIsDropped)
{
    emulator->updateHeadset([](emu::HeadsetModel& h) { h.serviceMode = true; });
    for (int i = 0; i < emulator->linkCount(); ++i)
        emulator->updateLink(i, [](emu::LinkModel& l) { l.serviceMode = true; });
    QList<int> codes;
    EXPECT_TRUE(dongle->networkLeaveServiceMode([&](DongleResult r) { codes << r.code; }));
    ASSERT_TRUE(testutil::waitUntil([&] { return !codes.isEmpty(); }, 5000));
    EXPECT_EQ(codes, QList<int> { 0 });
    EXPECT_FALSE(emulator->headset().serviceMode);
    EXPECT_FALSE(emulator->link(0).serviceMode);
    EXPECT_FALSE(emulator->link(1).serviceMode);
    EXPECT_EQ(dongle->headset(), nullptr);
    EXPECT_EQ(delegate.lostHeadsets.size(), 1);
    EXPECT_EQ(distinctRuns(delegate.progress).last(), 0.0);
}

// One LINK that does not answer is taken as switched off: the devices after it are still asked
// and leave, and the operation succeeds; a headset that does not answer is a failure.
TEST_F(LeaveServiceTest, ASilentLinkIsTakenAsOffButASilentHeadsetIsAFailure)
{
    fastTiming(0.02);
    emulator->updateHeadset([](emu::HeadsetModel& h) { h.serviceMode = true; });
    for (int i = 0; i < emulator->linkCount(); ++i)
        emulator->updateLink(i, [i](emu::LinkModel& l) {
            l.serviceMode = true;
            l.answering = i != 0;
        });
    QList<int> codes;
    EXPECT_TRUE(dongle->networkLeaveServiceMode([&](DongleResult r) { codes << r.code; }));
    ASSERT_TRUE(testutil::waitUntil([&] { return !codes.isEmpty(); }, 5000));
    testutil::spin(30);
    EXPECT_EQ(codes, QList<int> { 0 });
    EXPECT_FALSE(emulator->headset().serviceMode);
    bool secondLinkAsked = false;
    for (emu::Received const& r : emulator->received())
        secondLinkAsked |= r.frame.pid == emu::pid::LCP && r.frame.cmd() == 101 && r.frame.dst == 5;
    EXPECT_TRUE(secondLinkAsked);
    EXPECT_TRUE(testutil::waitUntil([&] { return dongle->profile().state != 0; }, 2000)); // the dongle left

    emulator->noticeState(0);
    ASSERT_TRUE(testutil::waitUntil([&] { return dongle->profile().state == 0; }, 2000));
    emulator->updateHeadset([](emu::HeadsetModel& h) { h.serviceMode = true; });
    emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::of(emu::pid::HCP, 6)));
    codes.clear();
    EXPECT_TRUE(dongle->networkLeaveServiceMode([&](DongleResult r) { codes << r.code; }));
    ASSERT_TRUE(testutil::waitUntil([&] { return !codes.isEmpty(); }, 5000));
    EXPECT_EQ(codes, QList<int> { 4 });
}

// An apply waits in the dongle's queue behind a search that meets another chair's LINK at the same
// address (queued while the search asks who is there, or while it reads the record): when its turn
// comes the record meant for the first LINK goes nowhere, and its caller hears so.
TEST_F(QueriesTest, ARecordMeantForOneLinkIsNotSentToTheOneASearchFoundMeanwhile)
{
    const int index = emulator->addLink();
    ASSERT_TRUE(startDongle());
    int round = 0;
    for (uchar queuedDuring : { 97, 100 }) {
        DeviceWalk first;
        ASSERT_TRUE(walk(mapOf({ drive3 }), first));
        Link* held = dongle->links().value(OrvixDevice::LinkDrive);
        ASSERT_NE(held, nullptr);
        const QString meant = held->identity();
        emulator->updateLink(
            index, [&](emu::LinkModel& l) { l.serial = "LK1900099" + QByteArray::number(++round); });
        const int slow = emulator->addFault(
            emu::FaultRule::delayRequest(emu::FrameFilter::of(emu::pid::LCP).withDst(3), 200, -1));
        const int mark = emulator->mark();
        DeviceWalk search;
        dongle->queryDevices(mapOf({ drive3 }), search.onDevice(), search.onDone());
        ASSERT_TRUE(emulator->waitForFrame(emu::FrameFilter::of(emu::pid::LCP, queuedDuring), 3000, mark));
        int code = -1;
        held->applyParameters(
            held->parameters(), [&](LPP*, DongleResult r) { code = r.code; }, meant);
        ASSERT_TRUE(waitFor(search.done, 5000));
        ASSERT_TRUE(testutil::waitUntil([&] { return code != -1; }, 3000));
        emulator->removeFault(slow);
        EXPECT_EQ(code, DongleResult::InvalidDongleState) << int(queuedDuring);
        EXPECT_EQ(emulator->receivedCount(emu::FrameFilter::of(emu::pid::LPP)), 0) << int(queuedDuring);
    }
}

namespace {

// Stops the dongle from the GUI thread's queue as soon as the packet queue has finished its
// third request: before the request list's end, which the queue posts right after, is handled.
Dongle* stopAfterThird = nullptr;
std::atomic<int> requestsFinished { 0 };
QtMessageHandler previousHandler = nullptr;

void stopAfterThirdRequest(QtMsgType type, QMessageLogContext const& context, QString const& message)
{
    if (message.contains(QStringLiteral("Packet Queue entry done")) && ++requestsFinished == 3) {
        Dongle* dongle = stopAfterThird;
        QMetaObject::invokeMethod(
            dongle, [dongle] { dongle->stop(); }, Qt::QueuedConnection);
    }
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

// A stop ends the walk: every entry is reported once, and the dongle stopped knows no LINK, even
// one whose three answers were all in when the stop came.
TEST_F(QueriesTest, AStopMidWalkLeavesNoLinkKnown)
{
    emulator->addLink();
    emulator->addLink(linkAt(5));
    ASSERT_TRUE(startDongle());
    for (int round = 0; round < 2; ++round) {
        const int mark = emulator->mark();
        DeviceWalk result;
        int dones = 0;
        if (round == 1) {
            stopAfterThird = dongle.get();
            requestsFinished = 0;
            previousHandler = qInstallMessageHandler(stopAfterThirdRequest);
        }
        dongle->queryDevices(
            mapOf({ drive3, outdoor5 }), result.onDevice(), [&](QList<OrvixDevice::Preset>*) {
                ++dones;
                result.done = true;
            });
        if (round == 0) { // while the second LINK is asked
            ASSERT_TRUE(
                emulator->waitForFrame(emu::FrameFilter::of(emu::pid::LCP, 7).withDst(5), 3000, mark));
            dongle->stop();
        }
        const bool ended = waitFor(result.done, 5000);
        if (round == 1)
            qInstallMessageHandler(previousHandler);
        ASSERT_TRUE(ended);
        testutil::spin(100);
        EXPECT_EQ(dones, 1);
        EXPECT_EQ(result.devices.size(), 2) << round;
        EXPECT_TRUE(dongle->links().isEmpty()) << round;
        ASSERT_TRUE(startDongle());
    }
}
