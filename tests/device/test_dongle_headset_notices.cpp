// The dongle's notices and commands that reach the headset it hears, over the emulator.
#include "test_dongle_fixture.h"

#include "device/Headset.h"

using namespace dongletest;

class DongleWithHeadsetTest : public DongleTest {
protected:
    void SetUp() override
    {
        DongleTest::SetUp();
        prepareHeadset();
        emulator->addHeadset(model);
        ASSERT_EQ(startDongle(), 0);
        ASSERT_TRUE(testutil::waitUntil([&] { return dongle->headset() && dongle->headset()->isRunning(); }, 3000));
        // The requests of the headset's arrival (release all keys, left click) are answered by
        // echoes that the dongle takes as notices too; let them pass.
        ASSERT_TRUE(emulator->waitForQuiet(testutil::scaled(100), testutil::scaled(3000)));
        testutil::spin(30);
        delegate.events.clear();
        delegate.headsetMasks.clear();
        delegate.devices.clear();
    }
    virtual void prepareHeadset() {}

    emu::HeadsetModel model;
};

TEST_F(DongleWithHeadsetTest, ClickAndKeyNoticesUpdateTheHeadset)
{
    Headset* headset = dongle->headset();
    emulator->noticeClick(2);
    ASSERT_TRUE(testutil::waitUntil([&] { return headset->clickButton() == 2; }, 2000));
    EXPECT_EQ(delegate.countHeadsetMask(HeadsetChangeMask::control), 1);

    emulator->noticeKey(0x84, 1);
    ASSERT_TRUE(testutil::waitUntil([&] { return delegate.countHeadsetMask(HeadsetChangeMask::control) == 2; }, 2000));
    EXPECT_EQ(headset->modifierMask(), quint32(HeadsetControlMask::control));

    emulator->noticeKey(0x81, 1);
    ASSERT_TRUE(testutil::waitUntil([&] { return delegate.countHeadsetMask(HeadsetChangeMask::control) == 3; }, 2000));
    EXPECT_EQ(headset->modifierMask(), quint32(HeadsetControlMask::control | HeadsetControlMask::shift));

    // A letter changes nothing but is still reported.
    emulator->noticeKey(0x41, 1);
    ASSERT_TRUE(testutil::waitUntil([&] { return delegate.countHeadsetMask(HeadsetChangeMask::control) == 4; }, 2000));
    EXPECT_EQ(headset->modifierMask(), quint32(HeadsetControlMask::control | HeadsetControlMask::shift));

    emulator->noticeKey(0x80, 2);
    ASSERT_TRUE(testutil::waitUntil([&] { return delegate.countHeadsetMask(HeadsetChangeMask::control) == 5; }, 2000));
    EXPECT_EQ(headset->modifierMask(), quint32(HeadsetControlMask::shift));

    emulator->noticeKey(0, 3);
    ASSERT_TRUE(testutil::waitUntil([&] { return delegate.countHeadsetMask(HeadsetChangeMask::control) == 6; }, 2000));
    EXPECT_EQ(headset->modifierMask(), quint32(HeadsetControlMask::none));
}

TEST_F(DongleWithHeadsetTest, IdentityRecordsUpdateTheHeadsetAndItsOnlineFlag)
{
    Headset* headset = dongle->headset();
    ASSERT_TRUE(headset->isOnline());

    // The headset's identity, on its own PAN and address, after a firmware update: version
    // and build are taken, the serial is the headset's own.
    QByteArray npp(21, '\0');
    npp[0] = 1;
    npp[1] = 7;
    npp[2] = 8;
    npp[3] = 9;
    npp[4] = 0x10;
    npp.replace(6, 10, model.serial);
    npp[17] = 0x34;
    npp[18] = 0x12;
    npp[19] = 2;
    dongle->appendBytes(dongleFrame(PacketID::NPP, npp));
    EXPECT_EQ(headset->version(), DongleVersion(7, 8, 9, 0x10));
    EXPECT_EQ(headset->serial(), QString::fromLatin1(model.serial));
    EXPECT_EQ(delegate.countHeadsetMask(HeadsetChangeMask::device), 1);

    // Records without a serial (none: 0xFF, not set: 0) keep the headset and its serial.
    for (char first : { char(0xFF), '\0' }) {
        npp.replace(6, 10, QByteArray(10, first));
        dongle->appendBytes(dongleFrame(PacketID::NPP, npp));
    }
    EXPECT_EQ(dongle->headset(), headset);
    EXPECT_EQ(headset->serial(), QString::fromLatin1(model.serial));
    npp.replace(6, 10, model.serial);

    // Another headset's identity (another PAN, then another address) changes nothing.
    npp[1] = 1;
    npp[17] = char(0x99);
    dongle->appendBytes(dongleFrame(PacketID::NPP, npp));
    npp[17] = 0x34;
    npp[19] = 5;
    dongle->appendBytes(dongleFrame(PacketID::NPP, npp));
    EXPECT_EQ(headset->version(), DongleVersion(7, 8, 9, 0x10));
    EXPECT_EQ(delegate.countHeadsetMask(HeadsetChangeMask::device), 3);
    EXPECT_EQ(delegate.devices.size(), 5);

    // Another computer's dongle beaconing its identity (not the local addressing of our own
    // dongle's replies): ignored, the headset stays online.
    const DongleVersion ownVersion = dongle->profile().version;
    npp[0] = 2;
    dongle->appendBytes(Frame::build(Header(0, 1, 7, 0xFFFF, PacketID::NPP, 11), PacketData(npp)));
    EXPECT_EQ(dongle->profile().version, ownVersion);
    EXPECT_TRUE(dongle->profile().serial != QStringLiteral("HSXY"));
    EXPECT_TRUE(headset->isOnline());
    EXPECT_FALSE(delegate.events.contains(QStringLiteral("dongle:4")));
    EXPECT_EQ(delegate.countHeadsetMask(HeadsetChangeMask::online), 0);

    // The dongle's own identity: the headset goes offline until its next status.
    emulator->sendDongleIdentity();
    ASSERT_TRUE(testutil::waitUntil([&] { return delegate.countHeadsetMask(HeadsetChangeMask::online) >= 1; }, 2000));
    EXPECT_TRUE(delegate.events.contains(QStringLiteral("dongle:4")));
}

TEST_F(DongleWithHeadsetTest, TheDonglesOwnEntryFollowsTheHeadsetsMap)
{
    const OrvixDevice own = dongle->device();
    EXPECT_EQ(own.address, 4);
    EXPECT_EQ(own.port, 0x81);
    EXPECT_EQ(own.preset, 0x3B);
}

class DongleWithOddHeadsetMapTest : public DongleWithHeadsetTest {
protected:
    void prepareHeadset() override { model.channelMap = { { 4, 0x01, 0x3C }, { 3, 0x81, emu::preset::LinkDrive } }; }
};

TEST_F(DongleWithOddHeadsetMapTest, AnUnknownPresetIsNamedAsNone)
{
    const OrvixDevice own = dongle->device();
    EXPECT_EQ(own.address, 4);
    EXPECT_EQ(own.port, 0x01);
    EXPECT_EQ(own.preset, 0);
}

TEST_F(DongleWithHeadsetTest, AServiceModeChangeDropsTheHeadsetBeforeReportingTheStatus)
{
    QStringList atCallback;
    int code = -1;
    dongle->enterServiceMode([&](DongleResult r) {
        code = r.code;
        atCallback = delegate.events;
    });
    ASSERT_TRUE(testutil::waitUntil([&] { return code != -1; }, 3000));
    EXPECT_EQ(code, 0);
    const int lost = atCallback.indexOf(QStringLiteral("lost"));
    const int status = atCallback.indexOf(QStringLiteral("dongle:2"));
    ASSERT_GE(lost, 0) << atCallback.join(' ').toStdString();
    ASSERT_GE(status, 0) << atCallback.join(' ').toStdString();
    EXPECT_LT(lost, status);
    EXPECT_EQ(dongle->headset(), nullptr);
}

TEST_F(DongleWithHeadsetTest, StopDropsTheHeadsetQuietly)
{
    dongle->stop();
    EXPECT_EQ(dongle->headset(), nullptr);
    EXPECT_EQ(delegate.lost, 0);
    EXPECT_TRUE(delegate.events.isEmpty());
    testutil::spin(100);
}
