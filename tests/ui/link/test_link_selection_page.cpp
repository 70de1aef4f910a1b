// The LINK selection page over the emulator: the rows carry the preset the dongle knows a LINK
// under, "Settings" opens that preset's page, the selection survives rebuilds while its LINK does,
// silent LINKs leave, a ping chain always ends, quietly once the page has gone, and Refresh is off
// without a dongle.
#include "async/Promise.h"
#include "common/PageRig.h"
#include "ui/link/LinkSelectionPage.h"
#include "ui/toolkit/DeviceWidget.h"

#include <gtest/gtest.h>

#include "common/gui_util.h"

using testutil::waitUntil;

namespace
{

class LinkSelectionPageTest : public ::testing::Test
{
protected:
    void open()
    {
        ASSERT_TRUE(rig.startWithLinks());
        page = new OX::LinkSelectionPage(&rig.container);
        rig.registerPage(page, QStringLiteral("Link"), { "LinkIndoor", "LinkOutdoor" });
        ASSERT_TRUE(rig.show(QStringLiteral("Link")));
        ASSERT_TRUE(waitUntil([&] { return list()->count() == int(rig.linkAddresses.size()); }));
        ASSERT_TRUE(waitUntil([&] { return page->isPingScheduled(); })); // the first query has ended
    }
    void TearDown() override
    {
        rig.page = nullptr;
        rig.close(HasFailure());
    }
    QListWidget* list() const { return page->linkListWidget(); }
    OX::DeviceWidget* row(int i) const
    {
        return qobject_cast<OX::DeviceWidget*>(list()->itemWidget(list()->item(i)));
    }
    void select(int i) { list()->setCurrentRow(i); }
    // "Settings" from the footer, as a person clicks it.
    QString openSettings()
    {
        rig.container.clickRight(0);
        waitUntil([&] { return rig.container.controller.currentPageName() != "Link"; }, 2000);
        return rig.container.controller.currentPageName();
    }

    pagetest::PageRig rig;
    OX::LinkSelectionPage* page = nullptr;
};

TEST_F(LinkSelectionPageTest, EachLinkOpensThePageOfItsPresetWithSettingsOnlyForAValidSelection)
{
    open();
    EXPECT_EQ(rig.container.header.title, "Link selection");
    EXPECT_EQ(rig.container.footer.right.text, "Settings");
    EXPECT_EQ(rig.container.footer.alternativeRight.text, "Refresh");
    EXPECT_FALSE(rig.container.rightEnabled[0]);
    EXPECT_EQ(row(0)->preset(), OrvixDevice::LinkDrive);
    EXPECT_EQ(row(1)->preset(), OrvixDevice::LinkOutdoorDrive);
    testutil::saveScreenshot(&rig.container.controller, "link-selection-two-links");

    select(0);
    EXPECT_TRUE(rig.container.rightEnabled[0]);
    EXPECT_EQ(pagetest::PageRig::rows(page->parameterListWidget()),
        QStringList({ "PAN=4660", "Address=3", "Version=1.11.5 (88)", "Revision=156", "Serial=LK19000443" }));
    EXPECT_EQ(openSettings(), "LinkIndoor");
    rig.container.controller.page("LinkIndoor")->perform(OX::PageAction::back); // as recorded
    ASSERT_TRUE(waitUntil(
        [&] { return rig.container.controller.currentPageName() == "Link" && page->isPingScheduled(); }));
    EXPECT_EQ(list()->count(), 2);
    EXPECT_FALSE(rig.container.rightEnabled[0]) << "coming back starts without a selection";

    select(1);
    EXPECT_EQ(openSettings(), "LinkOutdoor");
}

TEST_F(LinkSelectionPageTest, ALinkDriveAtAnotherAddressShowsAndOpensItself)
{
    rig.map = { { 5, 0x81, emu::preset::LinkDrive }, { 3, 0x81, emu::preset::LinkOutdoorDrive } };
    rig.linkAddresses = { 5, 3 };
    open();
    select(0);
    EXPECT_EQ(row(0)->preset(), OrvixDevice::LinkDrive);
    EXPECT_TRUE(pagetest::PageRig::rows(page->parameterListWidget()).contains("Address=5"));
    EXPECT_EQ(openSettings(), "LinkIndoor");
}

TEST_F(LinkSelectionPageTest, TheSelectionAndItsRowsSurviveEveryRebuildAndALanguageChange)
{
    open();
    select(1);
    const QStringList details = pagetest::PageRig::rows(page->parameterListWidget());
    ASSERT_EQ(details.size(), 5);
    rig.container.controller.retranslate(); // the language changed
    EXPECT_TRUE(rig.container.rightEnabled[0]) << "the LINK shown chosen still opens";
    page->updateWithDongle(rig.env.dongle.get(), DongleChangeMask::linkLost); // one bit alone rebuilds
    page->updateWithDongle(rig.env.dongle.get(), DongleChangeMask::linkFound);
    // "Settings" waits for the LINKs being read again: the page it opens takes what they hold.
    rig.emulator().addFault(emu::FaultRule::delayRequest(
        emu::FrameFilter().withDst(rig.linkAddresses.at(1)), testutil::scaled(300)));
    page->perform(OX::PageAction::refresh);
    EXPECT_FALSE(rig.container.rightEnabled[0]);
    select(0);
    select(1);
    EXPECT_FALSE(rig.container.rightEnabled[0]) << "a LINK chosen while the query runs";
    EXPECT_FALSE(page->perform(OX::PageAction::settings));
    ASSERT_TRUE(waitUntil([&] { return page->isPingScheduled(); }));
    EXPECT_EQ(list()->count(), 2);
    EXPECT_EQ(list()->currentRow(), 1);
    EXPECT_EQ(page->selectedPreset(), OrvixDevice::LinkOutdoorDrive);
    EXPECT_EQ(pagetest::PageRig::rows(page->parameterListWidget()), details);
    EXPECT_TRUE(rig.container.rightEnabled[0]);
}

// Another chair's LINK found under the chosen one's preset is not chosen in its place.
TEST_F(LinkSelectionPageTest, AnotherLinkUnderTheChosenPresetIsNotChosenForThePerson)
{
    open();
    select(0);
    rig.emulator().updateLink(0, [](emu::LinkModel& l) { l.serial = "LK19000999"; });
    page->perform(OX::PageAction::refresh);
    ASSERT_TRUE(waitUntil([&] { return page->isPingScheduled(); }));
    EXPECT_EQ(page->selectedPreset(), OrvixDevice::NoPreset);
    EXPECT_FALSE(page->perform(OX::PageAction::settings)) << "it would open the other LINK";
}

TEST_F(LinkSelectionPageTest, ReturnedToWithoutADongleRefreshStaysOffUntilTheListCanFillAgain)
{
    rig.viaDirector = true; // the dongle goes as the director sees it go
    rig.shortWatchdog(); // the switched-off headset is lost soon
    open();
    ASSERT_TRUE(rig.unplug());
    ASSERT_TRUE(waitUntil([&] { return rig.container.controller.currentPageName() == "Menu"; }));
    ASSERT_TRUE(rig.show(QStringLiteral("Link"))); // as a LINK page whose dongle went goes back
    EXPECT_FALSE(rig.container.rightEnabled[1]) << "no Refresh that does nothing";
    EXPECT_EQ(page->missingDeviceText(), QStringLiteral("Dongle not connected")) << "says why it is empty";
    ASSERT_TRUE(rig.replug());
    EXPECT_TRUE(waitUntil([&] { return list()->count() == int(rig.linkAddresses.size()); }, 8000));
    EXPECT_TRUE(rig.container.rightEnabled[1]);
    EXPECT_EQ(page->missingDeviceText(), QString());

    ASSERT_TRUE(rig.headsetPower(false));
    EXPECT_TRUE(waitUntil([&] { return page->missingDeviceText() == QStringLiteral("Headset not found"); }));
    EXPECT_EQ(list()->count(), 0);
    testutil::saveScreenshot(&rig.container.controller, "link-selection-headset-not-found");
    ASSERT_TRUE(rig.headsetPower(true));
    EXPECT_TRUE(waitUntil([&] { return list()->count() == int(rig.linkAddresses.size()); }, 8000));
    EXPECT_EQ(page->missingDeviceText(), QString());
}

TEST_F(LinkSelectionPageTest, ASilentLinkLeavesTheListAtTheNextPing)
{
    open();
    select(1);
    page->setPingInterval(20);
    rig.emulator().updateLink(1, [](emu::LinkModel& l) { l.answering = false; });
    page->perform(OX::PageAction::refresh); // the shortened timer from now on
    ASSERT_TRUE(waitUntil([&] { return list()->count() == 1; }, 8000));
    EXPECT_EQ(row(0)->preset(), OrvixDevice::LinkDrive);
    EXPECT_EQ(page->selectedPreset(), OrvixDevice::NoPreset);
    EXPECT_FALSE(rig.container.rightEnabled[0]);
    EXPECT_EQ(page->parameterListWidget()->count(), 0);
}

TEST_F(LinkSelectionPageTest, RefreshStopsTheTimerAndRestartsItWhenALinkAnswers)
{
    open();
    ASSERT_TRUE(waitUntil([&] { return page->isPingScheduled(); }));
    page->perform(OX::PageAction::refresh);
    EXPECT_FALSE(page->isPingScheduled());
    ASSERT_TRUE(waitUntil([&] { return page->isPingScheduled(); }));

    rig.emulator().updateLink(0, [](emu::LinkModel& l) { l.answering = false; });
    rig.emulator().updateLink(1, [](emu::LinkModel& l) { l.answering = false; });
    page->perform(OX::PageAction::refresh);
    ASSERT_TRUE(waitUntil([&] { return rig.env.dongle->links().isEmpty(); }, 8000));
    EXPECT_FALSE(page->isPingScheduled()) << "nothing found, nothing scheduled";
}

// A chain whose next LINK left the dongle's map (here every LINK, as the dongle stops) and a
// timer firing without a dongle both end the busy state.
TEST_F(LinkSelectionPageTest, APingChainAlwaysEnds)
{
    open();
    page->onPing();
    EXPECT_TRUE(rig.container.busy);
    rig.env.dongle->stop();
    ASSERT_TRUE(waitUntil([&] { return !rig.container.busy; }, 3000));
    EXPECT_TRUE(page->isPingScheduled());

    rig.container.dongle = nullptr;
    page->onPing();
    EXPECT_FALSE(rig.container.busy);
}

TEST_F(LinkSelectionPageTest, AChainEndingAfterThePageWasLeftStaysQuiet)
{
    open();
    rig.emulator().updateLink(0, [](emu::LinkModel& l) { l.replyDelayMs = 200; });
    const int nodes = OX::Promise::liveNodes();
    page->onPing();
    ASSERT_TRUE(rig.show(QStringLiteral("Menu")));
    EXPECT_FALSE(rig.container.busy) << "the page ends its own busy state as it goes";
    const int progressCalls = rig.container.callsStartingWith("setProgress").size();
    ASSERT_TRUE(waitUntil([&] { return OX::Promise::liveNodes() <= nodes; }, 4000)) << "the chain ended";
    EXPECT_EQ(rig.container.callsStartingWith("setProgress").size(), progressCalls);
    EXPECT_FALSE(page->isPingScheduled());
}

} // namespace
