// The headset: its status record turned into change masks, its creation, initialisation and
// loss by the dongle, its requests, and requests that outlive it.
#include "test_headset_fixture.h"

#include <atomic>
#include <cstring>

using namespace devtest;

namespace {

SHP baseStatus()
{
    SHP s;
    s.revision = 156;
    s.moduleAddress = 4;
    s.modulePort = 1;
    s.calibration = 0xFF;
    s.quatW = 16384;
    s.infraLevel = 120;
    s.batteryLevel = 87;
    return s;
}

} // namespace

TEST(HeadsetStatus, EachFieldReportsItsOwnBit)
{
    QCommandLineParser parser;
    Dongle dongle(nullptr, nullptr, parser);
    SHP s = baseStatus();
    Headset headset(dongle, s, 0x1234, 2);
    EXPECT_TRUE(headset.isOnline());
    EXPECT_FALSE(headset.isRunning());
    EXPECT_EQ(headset.pan(), 0x1234);
    EXPECT_EQ(headset.address(), 2);
    // The constructor's own update set online: the same status again changes nothing.
    EXPECT_EQ(headset.update(s), 0u);

    s.batteryLevel = 20;
    EXPECT_EQ(headset.update(s), HeadsetChangeMask::battery);
    EXPECT_EQ(headset.batteryLevel(), 20);
    s.status = 0x08;
    EXPECT_EQ(headset.update(s), HeadsetChangeMask::status);
    s.infraLevel = 999;
    s.fusionMode = 3;
    s.reserved = 0x0102;
    s.revision = 150;
    EXPECT_EQ(headset.update(s), 0u);
    EXPECT_EQ(headset.status().infraLevel, 999); // copied all the same
    EXPECT_EQ(headset.status().reserved, 0x0102);
    s.quatZ = 5;
    EXPECT_EQ(headset.update(s), HeadsetChangeMask::orientation);
    s.calibration = 0x3F;
    EXPECT_EQ(headset.update(s), HeadsetChangeMask::calibration);

    QList<QPair<int, int>> control;
    QObject::connect(&headset, &Headset::headsetControlChanged,
                     [&](Headset*, quint8 previous, quint8 current) { control << qMakePair(int(previous), int(current)); });
    s.control = 1;
    EXPECT_EQ(headset.update(s), HeadsetChangeMask::active);
    EXPECT_EQ(control, (QList<QPair<int, int>> { qMakePair(0, 1) }));
    EXPECT_TRUE(headset.isActive());

    // The dongle's own identity clears online; the next status reports it again.
    headset.setOnline(false);
    EXPECT_EQ(headset.update(s), HeadsetChangeMask::online);
    EXPECT_EQ(headset.update(s), 0u);
}

TEST(HeadsetStatus, DeviceChangeWithoutAChannelMap)
{
    QCommandLineParser parser;
    Dongle dongle(nullptr, nullptr, parser);
    SHP s = baseStatus();
    Headset headset(dongle, s, 0x1234, 2);
    EXPECT_EQ(headset.device(), OrvixDevice(4, 1, 0));
    QList<QPair<OrvixDevice, OrvixDevice>> devices;
    QObject::connect(&headset, &Headset::headsetDeviceChanged,
                     [&](Headset*, OrvixDevice previous, OrvixDevice current) { devices << qMakePair(previous, current); });
    s.moduleAddress = 9;
    s.modulePort = 0x82; // bit 7 is dropped from a device missing from the map
    EXPECT_EQ(headset.update(s), HeadsetChangeMask::device);
    ASSERT_EQ(devices.size(), 1);
    EXPECT_EQ(devices.at(0).first, OrvixDevice(4, 1, 0));
    EXPECT_EQ(devices.at(0).second, OrvixDevice(9, 2, 0));
    EXPECT_EQ(headset.device(), OrvixDevice(9, 2, 0));
}

TEST(HeadsetStatus, IdentityRecordOfTheHeadset)
{
    QCommandLineParser parser;
    Dongle dongle(nullptr, nullptr, parser);
    Headset headset(dongle, baseStatus(), 0x1234, 0x0102);
    NPP npp;
    npp.versionMajor = 1;
    npp.versionMinor = 6;
    npp.versionFix = 3;
    npp.build = 412;
    memcpy(npp.serial, "HS21000321", 10);
    headset.setIdentity(npp);
    EXPECT_EQ(headset.version(), DongleVersion(1, 6, 3, 412));
    EXPECT_EQ(headset.serial(), QStringLiteral("HS21000321"));

    const NPP out = headset.generateNPP();
    EXPECT_EQ(out.product, ProductID::Headset);
    EXPECT_EQ(out.getVersion(), DongleVersion(1, 6, 3, 412));
    EXPECT_EQ(out.getSerialNumber(), QStringLiteral("HS21000321"));
    EXPECT_EQ(out.revision, uchar(Dongle::protocolRevision()));
    EXPECT_EQ(out.pan, 0x1234);
    EXPECT_EQ(out.address, 0x02);
}

class HeadsetTest : public DeviceTest {
protected:
    // Waits until a status after now has been applied.
    bool waitForMask(quint32 mask, int ms = 2000)
    {
        return testutil::waitUntil([&] { return delegate.headsetMasks.contains(mask); }, ms);
    }

    // Starts the dongle hearing a headset that it must not take, and lets a few of the
    // headset's statuses arrive.
    bool startAndHearStatuses(emu::HeadsetModel const& model)
    {
        emulator->addHeadset(model);
        if (!startDongle())
            return false;
        const int before = emulator->statusesSent();
        const bool heard = testutil::waitUntil([&] { return emulator->statusesSent() > before + 4; }, 2000);
        testutil::spin(30);
        return heard;
    }

    // Starts the dongle with a headset whose channel map cannot be read (watchdog 200 ms) and
    // returns that headset once its failure has been reported; null otherwise.
    Headset* startWithFailedMapRead()
    {
        Headset::setWatchdogIntervalForTests(200);
        fastTiming(0.03);
        emu::HeadsetModel model = stillHeadset();
        model.failChannelMapRead = true;
        emulator->addHeadset(model);
        if (!startDongle())
            return nullptr;
        testutil::waitUntil([&] { return delegate.headsetMasks.contains(HeadsetChangeMask::error); }, 3000);
        return delegate.headsetMasks.contains(HeadsetChangeMask::error) ? dongle->headset() : nullptr;
    }

    // The sequence number of the first frame received matching the filter (-1 when none).
    int firstSeq(emu::FrameFilter const& filter) const
    {
        for (emu::Received const& r : emulator->received())
            if (filter.matches(r.frame))
                return r.seq;
        return -1;
    }
};

TEST_F(HeadsetTest, AFoundHeadsetIsAskedForIdentityAndMapThenKeysAndClick)
{
    Headset* headset = startWithHeadset();
    ASSERT_NE(headset, nullptr);

    ASSERT_TRUE(emulator->waitForFrame(emu::FrameFilter::dcp(10), testutil::scaled(2000)).has_value());
    const int identity = firstSeq(emu::FrameFilter::of(emu::pid::HCP, 10));
    const int map = firstSeq(emu::FrameFilter::of(emu::pid::HCP, 1));
    const int releaseAll = firstSeq(emu::FrameFilter::dcp(17).where([](emu::Frame const& f) {
        return f.lsb() == 0 && f.msb() == 3;
    }));
    const int click = firstSeq(emu::FrameFilter::dcp(10).where([](emu::Frame const& f) { return f.msb() == 1; }));
    ASSERT_GE(identity, 0);
    EXPECT_LT(identity, map);
    EXPECT_LT(map, releaseAll);
    EXPECT_LT(releaseAll, click);
    EXPECT_EQ(emulator->receivedCount(emu::FrameFilter::of(emu::pid::HCP, 3)), 0); // no turbo option

    auto request = emulator->waitForFrame(emu::FrameFilter::of(emu::pid::HCP, 1), testutil::scaled(10));
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->frame.pan, 0x1234);
    EXPECT_EQ(request->frame.src, 4);
    EXPECT_EQ(request->frame.dst, 2);

    EXPECT_EQ(headset->pan(), 0x1234);
    EXPECT_EQ(headset->address(), 2);
    EXPECT_EQ(headset->version(), DongleVersion(1, 6, 3, 412));
    EXPECT_EQ(headset->serial(), QStringLiteral("HS21000321"));
    ASSERT_EQ(headset->channelMap().size(), 2);
    EXPECT_EQ(headset->channelMap().at(1), OrvixDevice(3, 0x81, 0x18));
    EXPECT_TRUE(headset->isRunning());
    EXPECT_EQ(headset->watchdog().interval(), Headset::WatchdogIntervalMs);

    EXPECT_EQ(delegate.foundHeadsets, QList<Headset*> { headset });
    EXPECT_EQ(delegate.countDongleMask(DongleChangeMask::headsetFound), 1);
    EXPECT_TRUE(delegate.headsetMasks.contains(HeadsetChangeMask::all));
    EXPECT_TRUE(delegate.errors.contains(0)); // a found headset clears an earlier error
    EXPECT_TRUE(emulator->dongle().heldKeys.empty());
    EXPECT_EQ(emulator->dongle().clickButton, 1);
}

TEST_F(HeadsetTest, StatusMasksOverTheRadio)
{
    Headset* headset = startWithHeadset();
    ASSERT_NE(headset, nullptr);
    delegate.clear();
    emulator->updateHeadset([](emu::HeadsetModel& h) { h.battery = 20; });
    ASSERT_TRUE(waitForMask(HeadsetChangeMask::battery));
    EXPECT_EQ(headset->batteryLevel(), 20);
    emulator->updateHeadset([](emu::HeadsetModel& h) { h.status = 0x04; });
    ASSERT_TRUE(waitForMask(HeadsetChangeMask::status));
    emulator->updateHeadset([](emu::HeadsetModel& h) { h.infrared = 999; });
    ASSERT_TRUE(testutil::waitUntil([&] { return headset->status().infraLevel == 999; }, 2000));
    testutil::spin(30);
    for (quint32 mask : delegate.headsetMasks)
        EXPECT_TRUE(mask == 0 || mask == HeadsetChangeMask::battery || mask == HeadsetChangeMask::status) << mask;
    EXPECT_EQ(delegate.countHeadsetMask(HeadsetChangeMask::battery), 1);
    EXPECT_EQ(delegate.countHeadsetMask(HeadsetChangeMask::status), 1);
}

TEST_F(HeadsetTest, AStatusCutShortIsNeverTaken)
{
    // Cut after the battery byte: the state byte and the last two would read as zeros, and a
    // headset taking it would show a battery level it never had.
    Headset* headset = startWithHeadset();
    ASSERT_NE(headset, nullptr);
    SHP cut = headset->status();
    cut.batteryLevel = 5;
    emu::Frame frame;
    frame.pan = headset->pan();
    frame.src = headset->address();
    frame.pid = uint8_t(PacketID::SHP);
    frame.payload = cut.getData().bytes().left(SHP::SizeOf - 3);
    delegate.clear();
    emulator->injectFrame(frame);
    emulator->updateHeadset([](emu::HeadsetModel& h) { h.battery = 20; });
    ASSERT_TRUE(waitForMask(HeadsetChangeMask::battery));
    EXPECT_EQ(headset->batteryLevel(), 20);
    EXPECT_EQ(delegate.countHeadsetMask(HeadsetChangeMask::battery), 1);
}

TEST_F(HeadsetTest, AStatusWithoutAHeadPoseOrWithAnImpossibleBatteryIsNotShownAsIs)
{
    // Zeros while the headset's fusion settles, and a battery of 200.
    emu::HeadsetModel model = stillHeadset();
    model.quaternion = { 0, 0, 0, 0 };
    model.battery = 200;
    Headset* headset = startWithHeadset(model);
    ASSERT_NE(headset, nullptr);
    EXPECT_EQ(headset->status().quatW, 16384); // the head straight until a pose is heard
    EXPECT_EQ(headset->batteryLevel(), 100);
    emulator->updateHeadset([](emu::HeadsetModel& h) { h.quaternion = { 0, 16384, 0, 0 }; });
    ASSERT_TRUE(waitForMask(HeadsetChangeMask::orientation));
    emulator->updateHeadset([](emu::HeadsetModel& h) {
        h.quaternion = { 30000, 30000, 0, 0 };
        h.battery = 30;
    });
    ASSERT_TRUE(waitForMask(HeadsetChangeMask::battery)); // without orientation
    EXPECT_EQ(headset->status().quatX, 16384); // the last pose is kept
}

TEST_F(HeadsetTest, TheDeviceHeardBeforeTheMapArrivedIsNoChangeOnceTheMapNamesIt)
{
    // The headset controls this computer all along: finding it is no channel switch.
    Headset* headset = startWithHeadset();
    ASSERT_NE(headset, nullptr);
    EXPECT_EQ(headset->device(), OrvixDevice(4, 0x81, 0x3B));
    EXPECT_TRUE(delegate.channelChanges.isEmpty());
    EXPECT_EQ(delegate.countHeadsetMask(HeadsetChangeMask::device), 1); // the found headset's all
}

TEST_F(HeadsetTest, ChannelSwitchesAndADeviceMissingFromTheMap)
{
    LogCapture log;
    Headset* headset = startWithHeadset();
    ASSERT_NE(headset, nullptr);
    EXPECT_EQ(headset->device(), OrvixDevice(4, 0x81, 0x3B)); // named by the map once it is read
    delegate.clear();

    emulator->setHeadsetControl(3, 1, 0);
    ASSERT_TRUE(testutil::waitUntil([&] { return !delegate.channelChanges.isEmpty(); }, 2000));
    EXPECT_EQ(delegate.channelChanges, (QList<QPair<int, int>> { qMakePair(0, 1) }));
    EXPECT_EQ(headset->device(), OrvixDevice(3, 0x81, 0x18));
    EXPECT_EQ(delegate.countHeadsetMask(HeadsetChangeMask::device), 1);

    emulator->setHeadsetControl(9, 1, 0);
    ASSERT_TRUE(testutil::waitUntil([&] { return headset->device().address == 9; }, 2000));
    testutil::spin(30);
    EXPECT_EQ(headset->device(), OrvixDevice(9, 1, 0));
    EXPECT_EQ(delegate.channelChanges.size(), 1); // the delegate hears nothing of it
    EXPECT_EQ(log.count(QStringLiteral("invalid device (missing from channel map)")), 1);

    emulator->setHeadsetControl(4, 1, 1);
    ASSERT_TRUE(testutil::waitUntil([&] { return !delegate.statusChanges.isEmpty(); }, 2000));
    EXPECT_EQ(delegate.statusChanges, QList<bool> { true });
    EXPECT_EQ(delegate.channelChanges.last(), qMakePair(-1, 0));
    EXPECT_TRUE(headset->isActive());
}

TEST_F(HeadsetTest, TheEnabledBitOrFusionOfTheControlledEntryIsNoDeviceChange)
{
    Headset* headset = startWithHeadset();
    ASSERT_NE(headset, nullptr);
    ChannelMap map = headset->channelMap();
    map.devices[0].port = 0x01;   // disabled
    map.devices[0].preset = 0x3C; // same type, other fusion mode
    int code = -1;
    headset->setChannelMap(map, [&](DongleResult r) { code = r.code; });
    ASSERT_TRUE(testutil::waitUntil([&] { return code != -1; }, 3000));
    ASSERT_EQ(code, 0);
    delegate.clear();
    const int before = emulator->statusesSent();
    ASSERT_TRUE(testutil::waitUntil([&] { return emulator->statusesSent() > before + 3; }, 2000));
    testutil::spin(30);
    EXPECT_EQ(delegate.countHeadsetMask(HeadsetChangeMask::device), 0);
    EXPECT_TRUE(delegate.channelChanges.isEmpty());
    EXPECT_EQ(headset->device(), OrvixDevice(4, 0x81, 0x3B));
}

TEST_F(HeadsetTest, TheControlledEntryGoingFromNoPresetToTheHeadsetPresetIsADeviceChange)
{
    Headset* headset = startWithHeadset();
    ASSERT_NE(headset, nullptr);
    for (uchar preset : { uchar(0x00), uchar(0x07) }) {
        ChannelMap map = headset->channelMap();
        map.devices[0].preset = preset;
        int code = -1;
        headset->setChannelMap(map, [&](DongleResult r) { code = r.code; });
        ASSERT_TRUE(testutil::waitUntil([&] { return code != -1; }, 3000));
        ASSERT_EQ(code, 0);
        EXPECT_TRUE(testutil::waitUntil([&] { return headset->device().preset == preset; }, 2000))
            << int(preset);
    }
}

TEST_F(HeadsetTest, TwoWrongRevisionStatusesGiveOneError)
{
    emu::HeadsetModel model = stillHeadset();
    model.revision = 155;
    ASSERT_TRUE(startAndHearStatuses(model));
    EXPECT_EQ(delegate.errors, QList<int> { 9 });
    EXPECT_EQ(delegate.last.text, QStringLiteral("Headset revision mismatch"));
    EXPECT_EQ(dongle->headset(), nullptr);
}

TEST_F(HeadsetTest, AHeadsetControllingALinkIsNotTakenUntilItLetsGo)
{
    emu::HeadsetModel model = stillHeadset();
    model.moduleAddress = 3;
    model.control = 1;
    ASSERT_TRUE(startAndHearStatuses(model));
    EXPECT_EQ(delegate.errors, QList<int> { 11 });
    EXPECT_EQ(delegate.last.text, QStringLiteral("Headset not available while controlling LINK/Chair"));
    EXPECT_EQ(dongle->headset(), nullptr);

    emulator->setHeadsetControl(3, 1, 0);
    ASSERT_TRUE(testutil::waitUntil([&] { return dongle->headset() && dongle->headset()->isRunning(); }, 3000));
    EXPECT_EQ(delegate.errors, (QList<int> { 11, 0 }));
}

TEST_F(HeadsetTest, CalibrationIsRefusedWhileControlling)
{
    emu::HeadsetModel model = stillHeadset();
    model.control = 1; // actively controlling this computer
    Headset* headset = startWithHeadset(model);
    ASSERT_NE(headset, nullptr);
    QList<int> codes;
    headset->enterCalibration([&](DongleResult r) { codes << r.code; });
    headset->exitCalibration([&](DongleResult r) { codes << r.code; });
    EXPECT_EQ(codes, (QList<int> { 7, 7 })); // at once
    testutil::spin(50);
    EXPECT_EQ(emulator->receivedCount(emu::FrameFilter::of(emu::pid::HCP, 0)), 0);
    EXPECT_EQ(delegate.countHeadsetMask(HeadsetChangeMask::calibration), 0);
}

TEST_F(HeadsetTest, CalibrationAndTheNoticeAfterLeavingItEvenOnTimeOut)
{
    emu::HeadsetModel model = stillHeadset();
    model.calibrationStepMs = 1000000; // the levels stay where entering calibration put them
    Headset* headset = startWithHeadset(model);
    ASSERT_NE(headset, nullptr);
    int code = -1;
    headset->enterCalibration([&](DongleResult r) { code = r.code; });
    ASSERT_TRUE(testutil::waitUntil([&] { return code != -1; }, 3000));
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(emulator->headset().calibrating);
    ASSERT_TRUE(testutil::waitUntil([&] { return headset->status().calibration == 0; }, 2000));
    testutil::spin(30);
    delegate.clear();

    fastTiming(0.03);
    emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::of(emu::pid::HCP, 0)));
    code = -1;
    int masksAtCallback = -1;
    headset->exitCalibration([&](DongleResult r) {
        code = r.code;
        masksAtCallback = delegate.countHeadsetMask(HeadsetChangeMask::calibration);
    });
    ASSERT_TRUE(testutil::waitUntil([&] { return code != -1; }, 3000));
    EXPECT_EQ(code, 4);
    EXPECT_EQ(masksAtCallback, 0);
    EXPECT_EQ(delegate.countHeadsetMask(HeadsetChangeMask::calibration), 1);
}

TEST_F(HeadsetTest, TurboOptionSwitchesTurboOnWhenFound)
{
    LogCapture log;
    parser.addOption(QCommandLineOption({ QStringLiteral("t"), QStringLiteral("turbo") }, QStringLiteral("turbo")));
    ASSERT_TRUE(parser.parse({ QStringLiteral("orvixtools"), QStringLiteral("--turbo") }));
    Headset* headset = startWithHeadset();
    ASSERT_NE(headset, nullptr);
    ASSERT_TRUE(testutil::waitUntil([&] { return log.count(QStringLiteral("Turbomode ON")) == 1; }, 2000));
    auto turbo = emulator->waitForFrame(emu::FrameFilter::of(emu::pid::HCP, 3), testutil::scaled(100));
    ASSERT_TRUE(turbo.has_value());
    EXPECT_EQ(turbo->frame.lsb(), 1);
    EXPECT_EQ(emulator->headset().status & 0x08, 0x08);
}

TEST_F(HeadsetTest, ChannelMapWriteStoresWhatWasAcknowledged)
{
    Headset* headset = startWithHeadset();
    ASSERT_NE(headset, nullptr);
    // The acknowledgement's second byte names the command, whatever a headset puts there.
    emulator->updateHeadset([](emu::HeadsetModel& h) { h.channelMapAckByte = 0xA5; });
    ChannelMap map;
    map.devices << OrvixDevice(4, 0x81, 0x3B);
    int code = -1;
    int notifiedBeforeCallback = -1;
    headset->setChannelMap(map, [&](DongleResult r) {
        code = r.code;
        notifiedBeforeCallback = delegate.countHeadsetMask(HeadsetChangeMask::channelMap);
    });
    ASSERT_TRUE(testutil::waitUntil([&] { return code != -1; }, 3000));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(notifiedBeforeCallback, 1);
    EXPECT_EQ(headset->channelMap(), map);
    EXPECT_EQ(emulator->headset().channelMap.size(), 1u);

    // A write the headset never acknowledges changes nothing.
    fastTiming(0.03);
    emulator->updateHeadset([](emu::HeadsetModel& h) { h.ignoreChannelMapWrite = true; });
    ChannelMap other;
    other.devices << OrvixDevice(3, 0x81, 0x18);
    code = -1;
    headset->setChannelMap(other, [&](DongleResult r) { code = r.code; });
    ASSERT_TRUE(testutil::waitUntil([&] { return code != -1; }, 3000));
    EXPECT_EQ(code, 4);
    EXPECT_EQ(headset->channelMap(), map);
    EXPECT_EQ(delegate.countHeadsetMask(HeadsetChangeMask::channelMap), 1);
}

TEST_F(HeadsetTest, OnlyTheHeadsetsOwnErrorRecordRefusesAChannelMapAndEndsItAtOnce)
{
    Headset* headset = startWithHeadset();
    ASSERT_NE(headset, nullptr);
    const ChannelMap held = headset->channelMap();
    ChannelMap other;
    other.devices << OrvixDevice(3, 0x81, 0x18);

    // Error records from the headset's address on another network id and from another address
    // on its network, and one of its own cut short of its error code, come before its
    // acknowledgement: none refuses the map.
    const quint16 pan = headset->pan();
    const quint16 address = headset->address();
    const QByteArray error = QByteArray::fromHex("0101060300000000");
    std::atomic<int> strays { 0 };
    emu::Emulator* e = emulator.get();
    emulator->setRequestHook([&, e](emu::Frame const& f) {
        if (f.pid == emu::pid::CMAP && strays.fetch_add(1) == 0) {
            e->injectFrame(emu::Frame { 0, uint16_t(pan + 1), address, f.src, emu::pid::ERR, 0, error });
            e->injectFrame(emu::Frame { 0, pan, uint16_t(address + 1), f.src, emu::pid::ERR, 0, error });
            e->injectFrame(emu::Frame { 0, pan, address, f.src, emu::pid::ERR, 0, error.left(3) });
        }
        return false;
    });
    DongleResult result(-1);
    headset->setChannelMap(other, [&](DongleResult r) { result = r; });
    ASSERT_TRUE(testutil::waitUntil([&] { return result.code != -1; }, 3000));
    EXPECT_GT(strays.load(), 0);
    EXPECT_EQ(result.code, DongleResult::Ok);
    EXPECT_EQ(headset->channelMap(), other);
    emulator->setRequestHook({});
    ASSERT_TRUE(emulator->waitForQuiet(testutil::scaled(150), testutil::scaled(2000)));

    // The headset's own error record refuses it: one burst, cut short by the refusal, never the
    // three attempts of a silent headset.
    emulator->updateHeadset([](emu::HeadsetModel& h) { h.channelMapWriteError = 3; });
    delegate.clear();
    const int since = emulator->mark();
    result = DongleResult(-1);
    headset->setChannelMap(held, [&](DongleResult r) { result = r; });
    ASSERT_TRUE(testutil::waitUntil([&] { return result.code != -1; }, 1500));
    EXPECT_EQ(result.code, DongleResult::Refused);
    ASSERT_TRUE(emulator->waitForQuiet(testutil::scaled(150), testutil::scaled(2000)));
    int writes = 0;
    for (emu::Received const& r : emulator->received())
        writes += (r.seq >= since && r.frame.pid == emu::pid::CMAP) ? 1 : 0;
    EXPECT_LE(writes, Dongle::RepeatCount + 1);
    EXPECT_EQ(headset->channelMap(), other);
    EXPECT_EQ(delegate.countHeadsetMask(HeadsetChangeMask::channelMap), 0);

    // Nine entries do not fit the wire form: refused before anything is written.
    ChannelMap nine;
    for (int i = 0; i < 9; ++i)
        nine.devices << OrvixDevice(uchar(10 + i), 0x81, 0x18);
    const int before = emulator->mark();
    result = DongleResult(-1);
    headset->setChannelMap(nine, [&](DongleResult r) { result = r; });
    EXPECT_EQ(result.code, DongleResult::InvalidCommand);
    testutil::spin(50);
    EXPECT_FALSE(emulator->waitForFrame(emu::FrameFilter::of(emu::pid::CMAP), 0, before));
}

TEST_F(HeadsetTest, AChannelMapIsReadOnlyAsFarAsItsData)
{
    Headset* headset = startWithHeadset();
    ASSERT_NE(headset, nullptr);
    // A map counting three entries that carries two (the frame's checksum after it is no third),
    // then one without any payload: neither is the headset's map, which stays as it was read. A
    // map as long as its own count is taken, however short.
    auto answers = std::make_shared<std::atomic<int>>(0);
    emu::Emulator* e = emulator.get();
    emulator->setRequestHook([e, answers](emu::Frame const& f) {
        if (f.pid != emu::pid::HCP || f.cmd() != 1)
            return false;
        const int n = answers->fetch_add(1);
        if (n == 0)
            e->injectFrame(replyFrame(f, emu::pid::CMAP, 2, QByteArray::fromHex("03043B3B03811800")));
        else if (n == 1)
            e->injectFrame(replyFrame(f, emu::pid::CMAP, 2, QByteArray()));
        else
            e->injectFrame(replyFrame(f, emu::pid::CMAP, 2, QByteArray::fromHex("01043B3B")));
        return true;
    });
    int code = -1;
    int size = -1;
    headset->queryChannelMap([&](ChannelMap* map, DongleResult r) {
        code = r.code;
        size = map ? map->size() : -1;
    });
    ASSERT_TRUE(testutil::waitUntil([&] { return code != -1; }, 3000));
    EXPECT_EQ(code, 2);
    EXPECT_EQ(size, -1);
    ASSERT_EQ(headset->channelMap().size(), 2);
    EXPECT_EQ(headset->channelMap().at(0), OrvixDevice(4, 0x81, 0x3B));
    EXPECT_EQ(headset->channelMap().at(1), OrvixDevice(3, 0x81, 0x18));

    code = -1;
    bool gotMap = true;
    headset->queryChannelMap([&](ChannelMap* map, DongleResult r) {
        code = r.code;
        gotMap = map != nullptr;
    });
    ASSERT_TRUE(testutil::waitUntil([&] { return code != -1; }, 3000));
    EXPECT_EQ(code, 2);
    EXPECT_FALSE(gotMap);
    EXPECT_EQ(headset->channelMap().size(), 2);

    code = -1;
    headset->queryChannelMap([&](ChannelMap*, DongleResult r) { code = r.code; });
    ASSERT_TRUE(testutil::waitUntil([&] { return code != -1; }, 3000));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(headset->channelMap().devices, QVector<OrvixDevice> { OrvixDevice(4, 0x3B, 0x3B) });
}

TEST_F(HeadsetTest, AnotherHeadsetsMapOrAcknowledgementIsNotThisOnes)
{
    Headset* headset = startWithHeadset();
    ASSERT_NE(headset, nullptr);
    const ChannelMap own = headset->channelMap();
    ASSERT_FALSE(own.isEmpty());
    // A second headset paired with this dongle answers first, from its own address and network.
    emu::Emulator* e = emulator.get();
    emulator->setRequestHook([e](emu::Frame const& f) {
        if (f.pid != emu::pid::CMAP && (f.pid != emu::pid::HCP || f.cmd() != 1))
            return false;
        emu::Frame other = replyFrame(f, emu::pid::CMAP, 7, QByteArray::fromHex("01093B3B"));
        other.pan = 0x4321;
        if (f.pid == emu::pid::CMAP)
            other = replyFrame(f, emu::pid::ACK, 7, QByteArray::fromHex("0300"));
        e->injectFrame(other);
        return f.pid == emu::pid::CMAP; // the map write itself never reaches this headset
    });
    int code = -1;
    headset->queryChannelMap([&](ChannelMap*, DongleResult r) { code = r.code; });
    ASSERT_TRUE(testutil::waitUntil([&] { return code != -1; }, 3000));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(headset->channelMap().size(), own.size());
    EXPECT_EQ(headset->channelMap().at(0), own.at(0));

    fastTiming(0.05);
    ChannelMap one;
    one.devices << OrvixDevice(9, 0x81, 0x18);
    code = -1;
    headset->setChannelMap(one, [&](DongleResult r) { code = r.code; });
    ASSERT_TRUE(testutil::waitUntil([&] { return code != -1; }, 3000));
    EXPECT_EQ(code, DongleResult::TimedOut);
    EXPECT_EQ(headset->channelMap().size(), own.size());
}

TEST_F(HeadsetTest, ACutIdentityRecordIsAnInvalidResponse)
{
    Headset* headset = startWithHeadset();
    ASSERT_NE(headset, nullptr);
    // The product byte and the PAN match, but the record stops inside the serial number.
    emu::Identity identity;
    identity.product = 1;
    identity.serial = "HS99999999";
    identity.pan = 0x1234;
    const QByteArray cut = identity.encode().left(14);
    emu::Emulator* e = emulator.get();
    emulator->setRequestHook([e, cut](emu::Frame const& f) {
        if (f.pid != emu::pid::HCP || f.cmd() != 10)
            return false;
        e->injectFrame(replyFrame(f, emu::pid::NPP, 2, cut));
        return true;
    });
    int code = -1;
    bool gotRecord = true;
    headset->queryNPP([&](NPP* npp, DongleResult r) {
        code = r.code;
        gotRecord = npp != nullptr;
    });
    ASSERT_TRUE(testutil::waitUntil([&] { return code != -1; }, 3000));
    EXPECT_EQ(code, 2);
    EXPECT_FALSE(gotRecord);
    EXPECT_EQ(headset->serial(), QStringLiteral("HS21000321"));
}

TEST_F(HeadsetTest, AnEmptyMapStillMakesTheHeadsetRun)
{
    LogCapture log;
    emu::HeadsetModel model = stillHeadset();
    model.channelMap.clear();
    Headset* headset = startWithHeadset(model);
    ASSERT_NE(headset, nullptr);
    EXPECT_TRUE(headset->channelMap().isEmpty());
    emulator->setHeadsetControl(3, 1, 0);
    ASSERT_TRUE(testutil::waitUntil([&] { return headset->device().address == 3; }, 2000));
    testutil::spin(30);
    EXPECT_TRUE(delegate.channelChanges.isEmpty());
    EXPECT_EQ(log.count(QStringLiteral("invalid device (missing from channel map)")), 1);
}

TEST_F(HeadsetTest, AHeadsetIsLostAfterSilenceAndFoundAgain)
{
    Headset::setWatchdogIntervalForTests(250);
    Headset* headset = startWithHeadset();
    ASSERT_NE(headset, nullptr);
    EXPECT_EQ(headset->watchdog().interval(), 250);
    QPointer<Headset> guard(headset);
    testutil::spin(400); // statuses keep it alive
    ASSERT_EQ(dongle->headset(), headset);
    delegate.clear();

    emulator->headsetPower(false);
    ASSERT_TRUE(testutil::waitUntil([&] { return !delegate.lostHeadsets.isEmpty(); }, 2000));
    EXPECT_EQ(delegate.lostHeadsets, QList<Headset*> { headset });
    EXPECT_EQ(dongle->headset(), nullptr);
    EXPECT_EQ(delegate.countDongleMask(DongleChangeMask::headsetLost), 1);
    ASSERT_FALSE(delegate.updatedHeadsets.isEmpty());
    EXPECT_EQ(delegate.updatedHeadsets.last(), nullptr);
    EXPECT_EQ(delegate.headsetMasks.last(), HeadsetChangeMask::all);
    EXPECT_TRUE(testutil::waitUntil([&] { return guard.isNull(); }, 1000)); // released

    emulator->headsetPower(true);
    ASSERT_TRUE(testutil::waitUntil([&] { return dongle->headset() && dongle->headset()->isRunning(); }, 3000));
    EXPECT_EQ(delegate.foundHeadsets.size(), 2);
}

TEST_F(HeadsetTest, AFailedMapReadWaitsForTheAnswerThenRetries)
{
    Headset* failed = startWithFailedMapRead();
    ASSERT_NE(failed, nullptr);
    // The key release and the click follow the failed read; their echoes come first.
    ASSERT_TRUE(emulator->waitForFrame(emu::FrameFilter::dcp(10), testutil::scaled(2000)).has_value());
    testutil::spin(30);
    EXPECT_EQ(failed->error().code, 5);
    EXPECT_EQ(failed->error().detail, QStringLiteral("Operation timed out"));
    EXPECT_FALSE(failed->isRunning());
    const int masks = delegate.headsetMasks.size();
    testutil::spin(350); // longer than the watchdog: a failed headset is not lost meanwhile
    EXPECT_EQ(dongle->headset(), failed);
    EXPECT_EQ(delegate.headsetMasks.size(), masks); // nor updated
    EXPECT_TRUE(delegate.lostHeadsets.isEmpty());

    // The user asks for another try: the failed headset goes, a new one is made.
    QPointer<Headset> guard(failed);
    emulator->updateHeadset([](emu::HeadsetModel& h) { h.failChannelMapRead = false; });
    failed->setErrorAcknowledged(true);
    failed->setError(DongleResult());
    ASSERT_TRUE(testutil::waitUntil([&] { return guard.isNull(); }, 2000));
    ASSERT_TRUE(testutil::waitUntil([&] { return dongle->headset() && dongle->headset()->isRunning(); }, 3000));
    EXPECT_EQ(delegate.foundHeadsets.size(), 1);
    // Reported lost before it was dropped, so that no listener keeps it.
    EXPECT_EQ(delegate.lostHeadsets, QList<Headset*> { failed });
}

TEST_F(HeadsetTest, ADeclinedRetryKeepsTheFailedHeadsetAliveByItsStatuses)
{
    LogCapture log;
    Headset* failed = startWithFailedMapRead();
    ASSERT_NE(failed, nullptr);
    failed->setErrorAcknowledged(true);
    failed->watchdog().start();
    testutil::spin(400);
    EXPECT_EQ(dongle->headset(), failed);
    EXPECT_GT(log.count(QStringLiteral(" ... invalid headset ...")), 0);
    emulator->headsetPower(false);
    ASSERT_TRUE(testutil::waitUntil([&] { return !delegate.lostHeadsets.isEmpty(); }, 2000));
    EXPECT_EQ(dongle->headset(), nullptr);
}

TEST_F(HeadsetTest, TheLossOfAHeadsetThatIsNotCurrentIsIgnored)
{
    Headset* headset = startWithHeadset();
    ASSERT_NE(headset, nullptr);
    Headset stranger(*dongle, headset->status(), 0x1234, 9);
    delegate.clear();
    dongle->headsetLost(&stranger);
    EXPECT_EQ(dongle->headset(), headset);
    EXPECT_TRUE(delegate.lostHeadsets.isEmpty());
    EXPECT_TRUE(delegate.dongleMasks.isEmpty());
    EXPECT_FALSE(delegate.updatedHeadsets.contains(nullptr));
}

TEST_F(HeadsetTest, AServiceModeChangeDropsTheHeadsetBeforeTheStatusNotice)
{
    Headset* headset = startWithHeadset();
    ASSERT_NE(headset, nullptr);
    QPointer<Headset> guard(headset);
    delegate.clear();
    int code = -1;
    int lostAtCallback = -1;
    dongle->enterServiceMode([&](DongleResult r) {
        code = r.code;
        lostAtCallback = delegate.lostHeadsets.size();
    });
    ASSERT_TRUE(testutil::waitUntil([&] { return code != -1; }, 3000));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(lostAtCallback, 1);
    EXPECT_EQ(dongle->headset(), nullptr);
    ASSERT_GE(delegate.dongleMasks.size(), 2);
    EXPECT_EQ(delegate.dongleMasks.at(0), DongleChangeMask::headsetLost);
    EXPECT_EQ(delegate.dongleMasks.at(1), DongleChangeMask::statusChanged);
    EXPECT_TRUE(testutil::waitUntil([&] { return guard.isNull(); }, 1000));
}

TEST_F(HeadsetTest, RequestsInFlightWhenTheDongleStops)
{
    Headset* headset = startWithHeadset();
    ASSERT_NE(headset, nullptr);
    QPointer<Headset> guard(headset);
    emulator->addFault(emu::FaultRule::delayReply(emu::FrameFilter::of(emu::pid::ACK), 150, -1));
    emulator->addFault(emu::FaultRule::delayReply(emu::FrameFilter::of(emu::pid::CMAP), 150, -1));
    QList<int> codes;
    ChannelMap map;
    map.devices << OrvixDevice(4, 0x81, 0x3B);
    headset->setChannelMap(map, [&](DongleResult r) { codes << r.code; });
    headset->exitCalibration([&](DongleResult r) { codes << r.code; });
    headset->queryChannelMap([&](ChannelMap* m, DongleResult r) { codes << (m ? 100 : r.code); });
    headset->queryNPP([&](NPP* npp, DongleResult r) { codes << (npp ? 100 : r.code); });
    testutil::spin(20);
    delegate.clear();
    dongle->stop();
    EXPECT_TRUE(guard.isNull());
    testutil::waitUntil([&] { return codes.size() == 4; }, 3000);
    EXPECT_EQ(codes, (QList<int>({ 14, 14, 14, 14 })));
    testutil::spin(250); // the delayed replies arrive for nobody
    EXPECT_EQ(codes.size(), 4);
    EXPECT_TRUE(delegate.updatedHeadsets.isEmpty());
    EXPECT_EQ(dongle->headset(), nullptr); // the statuses that go on make no new headset
}

TEST_F(HeadsetTest, ACompletionAfterTheHeadsetWasLost)
{
    Headset::setWatchdogIntervalForTests(120);
    Headset* headset = startWithHeadset();
    ASSERT_NE(headset, nullptr);
    QPointer<Headset> guard(headset);
    // The statuses stop reaching the dongle while the headset still answers, late.
    emulator->addFault(emu::FaultRule::dropReply(emu::FrameFilter::of(emu::pid::SHP), -1));
    emulator->addFault(emu::FaultRule::delayReply(emu::FrameFilter::of(emu::pid::ACK), 400, -1));
    QList<int> codes;
    ChannelMap map;
    map.devices << OrvixDevice(4, 0x81, 0x3B);
    headset->setChannelMap(map, [&](DongleResult r) { codes << r.code; });
    ASSERT_TRUE(testutil::waitUntil([&] { return !delegate.lostHeadsets.isEmpty(); }, 2000));
    ASSERT_TRUE(testutil::waitUntil([&] { return guard.isNull(); }, 1000));
    const int updates = delegate.headsetMasks.size();
    ASSERT_TRUE(testutil::waitUntil([&] { return !codes.isEmpty(); }, 3000));
    EXPECT_EQ(codes, QList<int> { 0 });
    EXPECT_EQ(delegate.headsetMasks.size(), updates); // no channelMap notice for a lost headset
}
