// The status page against a dongle on the emulator and headsets built from exact status records:
// which rows each notification rewrites, what absent, lost and failed headsets show, and the
// footer's actions.
#include "common/FakePageContainer.h"
#include "common/dongle_fixture.h"
#include "common/gui_util.h"
#include "ui/pages/StatusPage.h"
#include "ui/toolkit/IconButton.h"
#include "ui/toolkit/OpenGLView.h"

#include <QLabel>
#include <gtest/gtest.h>

using testutil::FakePageContainer;

namespace
{

QStringList const DongleRows = { "dongleVersion", "dongleBuild", "dongleSerial", "dongleRevision",
    "donglePAN", "dongleStatus", "dongleChannel" };
QStringList const HeadsetRows = { "headsetVersion", "headsetBuild", "headsetSerial", "headsetPAN",
    "headsetStatus", "headsetOPMode", "headsetControls", "headsetBattery", "headsetIMU", "headsetState" };
QString const Sentinel = QStringLiteral("sentinel");

struct NoDelegate : DongleDelegate {
    void progressUpdate(Progress::Context const&) override { }
    void dongleUpdated(Dongle*, DongleChangeMask) override { }
    void headsetFound(Dongle*, Headset*) override { }
    void headsetLost(Dongle*, Headset*) override { }
    void headsetUpdated(Dongle*, Headset*, HeadsetChangeMask) override { }
    void deviceFound(Dongle*, NPP const&) override { }
    void headsetRssiUpdatede(Dongle*, unsigned short) override { }
    void headsetChannelChanged(Dongle*, Headset*, int, int) override { }
    void headsetStatusChanged(Dongle*, Headset*, bool, bool) override { }
    void dongleError(Dongle*, DongleResult) override { }
    DongleResult* lastError() override { return &last; }
    void playAudioFeedback() override { }
    DongleResult last;
};

class StatusPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(env.open(emu::Options(), &delegate));
        menu = new testutil::RecordingPage(&fake, QStringLiteral("Menu"), &fake.controller);
        page = new OX::StatusPage(&fake);
        fake.controller.addPage(menu, QStringLiteral("Menu"));
        fake.controller.addPage(page, QStringLiteral("Status"));
        fake.controller.setSlideDurationOverride(0);
        fake.controller.setInitialPage(QStringLiteral("Menu"));
    }
    void TearDown() override { env.close(HasFailure()); }

    QString row(QString const& name) const { return page->findChild<QLabel*>(name)->text(); }
    void fill(QStringList const& rows)
    {
        for (QString const& name : rows)
            page->findChild<QLabel*>(name)->setText(Sentinel);
    }
    // A headset whose status record says: fusion 13, IMU level 2, battery 0x2A, controlling the
    // device at address 5, port 3 (port byte 0x83), a turned head.
    std::unique_ptr<Headset> makeHeadset()
    {
        SHP status;
        status.control = 1;
        status.fusionMode = 13;
        status.calibration = 0x80;
        status.batteryLevel = 0x2A;
        status.moduleAddress = 5;
        status.modulePort = 0x83;
        status.quatW = 11585;
        status.quatY = 11585;
        return std::make_unique<Headset>(*env.dongle, status, 0x1234, 2);
    }

    NoDelegate delegate;
    testutil::EmulatedDongle env;
    FakePageContainer fake;
    testutil::RecordingPage* menu = nullptr;
    OX::StatusPage* page = nullptr;
};

} // namespace

TEST_F(StatusPageTest, ANullDongleWritesDashesAndGoesBack)
{
    ASSERT_TRUE(fake.controller.showPage(QStringLiteral("Status"), 1, 0, true));
    ASSERT_TRUE(testutil::waitUntil([&] { return !fake.controller.isSwitching(); }));
    page->updateWithDongle(env.dongle.get(), DongleChangeMask::none);
    EXPECT_EQ(row("dongleStatus"), QStringLiteral("SCAN"));
    // Its identity not heard yet: no version, build or serial is made up.
    for (char const* name : { "dongleVersion", "dongleBuild", "dongleSerial" })
        EXPECT_EQ(row(name), QStringLiteral("-")) << name;
    fake.calls.clear();

    page->updateWithDongle(nullptr, DongleChangeMask::all);
    for (QString const& name : DongleRows)
        EXPECT_EQ(row(name), QStringLiteral("-")) << name.toStdString();
    EXPECT_TRUE(testutil::waitUntil([&] { return fake.calls.contains("Menu.pageDidAppear"); }))
        << fake.calls.join('\n').toStdString();
}

TEST_F(StatusPageTest, FoundShowsEveryRowAndLostClearsWithoutLookingAtTheHeadset)
{
    fake.controller.showPage(QStringLiteral("Status"), 0, 0, true);
    std::unique_ptr<Headset> headset = makeHeadset();
    page->updateWithHeadset(headset.get(), HeadsetChangeMask::found);
    EXPECT_EQ(row("headsetPAN"), QStringLiteral("4660 / 2"));
    EXPECT_EQ(row("headsetStatus"), QStringLiteral("active"));
    EXPECT_EQ(row("headsetOPMode"), QStringLiteral("unknown"));
    EXPECT_EQ(row("headsetControls"), QStringLiteral("5 / 3"));
    EXPECT_EQ(row("headsetBattery"), QStringLiteral("42%"));
    EXPECT_EQ(row("headsetIMU"), QStringLiteral("67%"));
    EXPECT_EQ(row("headsetState"), QStringLiteral("I:-:-:-:0"));
    EXPECT_TRUE(page->view()->isActive());
    for (char const* name : { "headsetVersion", "headsetBuild", "headsetSerial" })
        EXPECT_EQ(row(name), QStringLiteral("-")) << name; // its identity never answered

    Headset* stale = headset.get();
    headset.reset(); // deleted: a lost notice must not read it
    page->updateWithHeadset(stale, HeadsetChangeMask::lost);
    for (QString const& name : HeadsetRows)
        EXPECT_EQ(row(name), QStringLiteral("-")) << name.toStdString();
    EXPECT_FALSE(page->view()->isActive());
}

TEST_F(StatusPageTest, AnOrientationAloneRewritesOnlyItsRowsAndTurnsTheModel)
{
    std::unique_ptr<Headset> headset = makeHeadset();
    page->view()->setActive(true);
    page->view()->setOrientation(QQuaternion()); // the reference: straight ahead
    fill(HeadsetRows);
    OX::IconButton* icon = page->findChild<OX::IconButton*>("headsetOnlineButton");
    qint64 const iconKey = icon->icon().cacheKey();

    page->updateWithHeadset(headset.get(), HeadsetChangeMask::orientation);
    for (int i : { 0, 1, 2, 3, 5, 8, 9 })
        EXPECT_NE(row(HeadsetRows[i]), Sentinel) << i;
    for (int i : { 4, 6, 7 })
        EXPECT_EQ(row(HeadsetRows[i]), Sentinel) << i;
    EXPECT_EQ(icon->icon().cacheKey(), iconKey);
    EXPECT_FALSE(page->view()->modelMatrix().isIdentity());

    // Shown once, the rows are rewritten only when their value changed: the fusion mode and the
    // state byte have no change bit of their own and come with the next orientation.
    fill(HeadsetRows);
    page->updateWithHeadset(headset.get(), HeadsetChangeMask::orientation);
    for (QString const& name : HeadsetRows)
        EXPECT_EQ(row(name), Sentinel) << name.toStdString();
    SHP next = headset->status();
    next.fusionMode = 1;
    next.status = 0x40;
    next.quatY = -11585;
    ASSERT_EQ(headset->update(next), HeadsetChangeMask::orientation | HeadsetChangeMask::status);
    page->updateWithHeadset(headset.get(), HeadsetChangeMask::orientation);
    for (int i : { 5, 9 })
        EXPECT_NE(row(HeadsetRows[i]), Sentinel) << i;
    for (int i : { 0, 1, 2, 3, 4, 6, 7, 8 })
        EXPECT_EQ(row(HeadsetRows[i]), Sentinel) << i;
    // Translated again (a new visit, another language): the next status writes again every row
    // without a change bit of its own.
    fill(HeadsetRows);
    page->retranslate();
    page->updateWithHeadset(headset.get(), HeadsetChangeMask::orientation);
    for (int i : { 0, 1, 2, 3, 5, 8, 9 })
        EXPECT_NE(row(HeadsetRows[i]), Sentinel) << i;

    // Reset: the next orientation is the rest pose.
    fake.controller.showPage(QStringLiteral("Status"), 0, 0, true);
    ASSERT_TRUE(testutil::waitUntil([&] { return !fake.controller.isSwitching(); }));
    fake.clickRight(0);
    page->updateWithHeadset(headset.get(), HeadsetChangeMask::orientation);
    QMatrix4x4 const rest = page->view()->modelMatrix();
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(rest.constData()[i], QMatrix4x4().constData()[i], 1e-3)
            << fake.calls.join('\n').toStdString();
    EXPECT_EQ(fake.footer.left.action, OX::PageAction::back);
    EXPECT_EQ(fake.header.title, QStringLiteral("System Status"));
}

TEST_F(StatusPageTest, AFailedHeadsetShowsAsNoneUntilANewOneIsFound)
{
    std::unique_ptr<Headset> headset = makeHeadset();
    headset->setOnline(true);
    page->updateWithHeadset(headset.get(), HeadsetChangeMask::found);
    EXPECT_TRUE(page->view()->isActive());
    headset->setErrorAcknowledged(true);
    page->updateWithHeadset(headset.get(), HeadsetChangeMask::battery);
    EXPECT_EQ(row("headsetBattery"), QStringLiteral("-"));
    page->updateWithHeadset(headset.get(), HeadsetChangeMask::found);
    EXPECT_EQ(row("headsetVersion"), QStringLiteral("-"));
    EXPECT_FALSE(page->view()->isActive());

    std::unique_ptr<Headset> fresh = makeHeadset();
    fresh->setOnline(false); // as after the dongle's own identity
    page->updateWithHeadset(fresh.get(), HeadsetChangeMask::found);
    EXPECT_EQ(row("headsetBattery"), QStringLiteral("42%"));
    EXPECT_FALSE(page->view()->isActive()); // not heard yet: offline, the model stays grey
    fresh->setOnline(true);
    page->updateWithHeadset(fresh.get(), HeadsetChangeMask::online);
    EXPECT_TRUE(page->view()->isActive());
}

TEST_F(StatusPageTest, AnEmulatedHeadsetControllingAnEntryOfPreset7ShowsUnknownPreset)
{
    emu::HeadsetModel model;
    model.motion = false;
    model.channelMap = { { 4, 0x81, 0x07 }, { 3, 0x81, 0x18 } };
    model.moduleAddress = 3; // first the LINK, then the entry of preset 7
    env.emulator->addHeadset(model);
    ASSERT_EQ(env.start(), 0);
    ASSERT_TRUE(
        testutil::waitUntil([&] { return env.dongle->headset() && env.dongle->headset()->isRunning(); }));
    int const statuses = env.emulator->statusesSent();
    ASSERT_TRUE(testutil::waitUntil([&] { return env.emulator->statusesSent() > statuses + 1; }));
    env.emulator->setHeadsetControl(4, 1, 0);
    ASSERT_TRUE(testutil::waitUntil([&] { return env.dongle->headset()->device().preset == 0x07; }));
    page->updateWithDongle(env.dongle.get(), DongleChangeMask::all);
    page->updateWithHeadset(env.dongle->headset(), HeadsetChangeMask::found);
    EXPECT_EQ(row("headsetControls"), QStringLiteral("Unknown Preset"));
    EXPECT_EQ(row("headsetSerial"), QStringLiteral("HS21000321"));
    EXPECT_EQ(row("headsetVersion"), QStringLiteral("1.6.3"));
    EXPECT_EQ(row("dongleStatus"), QStringLiteral("IDLE")) << row("dongleStatus").toStdString();
    EXPECT_EQ(row("dongleVersion"), env.dongle->profile().version.toStringHelper().section(' ', 0, 0));
}
