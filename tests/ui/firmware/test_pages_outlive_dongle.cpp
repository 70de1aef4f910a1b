// LINK selection, LINK settings and the firmware wizard when the dongle is unplugged with a box
// open or a request under way, when the person leaves mid-request and when the headset is
// swapped. Each case ends with no box over another page, the page in its "no dongle" state (or
// gone back), and the dongle serving requests while a box is open. The sanitizer build runs them.
#include "common/PageRig.h"

#include "app/Settings.h"
#include "common/gui_util.h"
#include "device/Link.h"
#include "ui/firmware/DFUFailedForm.h"
#include "ui/firmware/DFUUploadForm.h"
#include "ui/firmware/FirmwarePage.h"
#include "ui/link/LinkPage.h"
#include "ui/link/LinkSelectionPage.h"

#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using testutil::waitUntil;

namespace
{

enum class Shown { LinkSelection, LinkSettings, Firmware };
enum class Event { UnplugWithBoxOpen, UnplugMidRequest, LeaveMidRequest, HeadsetSwapped };
struct Case {
    Shown page;
    Event event;
};

QString boxText()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    return box ? box->text() : QString();
}

class PagesOutliveTheirDongle : public ::testing::TestWithParam<Case>
{
protected:
    void SetUp() override
    {
        if (GetParam().event == Event::HeadsetSwapped)
            rig.shortWatchdog(); // the switched-off headset is lost soon
        rig.viaDirector = true; // the devices come and go as the director sees them
        ASSERT_TRUE(rig.startWithLinks());
        settings = std::make_unique<Settings>(dir.filePath(QStringLiteral("s.ini")), nullptr);
        rig.container.settings = settings.get();
        static const char* const names[] = { "Link", "LinkIndoor", "Firmware" };
        name = QLatin1String(names[int(GetParam().page)]);
        if (GetParam().page == Shown::LinkSelection)
            selection = new OX::LinkSelectionPage(&rig.container, &rig.container.controller);
        else if (GetParam().page == Shown::LinkSettings)
            linkPage = new OX::LinkPage(&rig.container, OrvixDevice::LinkDrive, &rig.container.controller);
        if (linkPage) {
            ASSERT_TRUE(query()); // what LINK selection's refresh does before
            // A backup other than the LINK's record: opening asks "Save settings".
            settings->setLinkProfile(QStringLiteral("backup"), LinkProfile::Normal.parameters);
        }

        else
            firmware = new OX::FirmwarePage(&rig.container, &rig.container.controller);
        rig.registerPage(selection ? static_cast<OX::Page*>(selection)
                : linkPage         ? static_cast<OX::Page*>(linkPage)
                                   : firmware,
            name, selection ? QStringList { "LinkIndoor", "LinkOutdoor" } : QStringList());
    }
    void TearDown() override { rig.close(HasFailure()); }

    QString current() const { return rig.container.controller.currentPageName(); }
    // The dongle answers while a box is open: no box holds a device callback on the stack.
    bool dongleServes()
    {
        int code = -1;
        Link link(*rig.dongle(), 0, 0); // the cabled LINK in pass-through
        if (firmware)
            link.queryServiceMode([&](bool, DongleResult r) { code = r.code; });
        else
            rig.dongle()->pingLink(OrvixDevice::LinkDrive, [&](DongleResult r) { code = r.code; });
        return waitUntil([&] { return code == 0; }, 4000);
    }
    // Every request queued before it has ended once this query has.
    bool query()
    {
        bool done = false;
        rig.dongle()->queryDevices(rig.headset()->channelMap(), nullptr, [&](auto*) { done = true; });
        return waitUntil([&] { return done; }, 8000);
    }
    // After it was left or lost, the page opens no box of its own.
    void expectNoLaterBox()
    {
        testutil::BoxAnswerer boxes;
        if (rig.dongle())
            EXPECT_TRUE(query());
        else
            testutil::spin(100);
        EXPECT_TRUE(boxes.seen().isEmpty()) << boxes.seen().join(", ").toStdString();
    }
    OX::DFUUploadForm* upload() const
    {
        return static_cast<OX::DFUUploadForm*>(firmware->stepForm(OX::FirmwarePage::UploadStep));
    }
    // Pass-through, the cabled LINK in its bootloader and an upload whose first block is never
    // acknowledged, so that it runs until it is ended.
    void startUpload()
    {
        rig.emulator().updateCabledLink([](emu::CabledLinkModel& m) { m.silentBlock[1] = -1; });
        int code = -1;
        rig.dongle()->enterPasshroughtMode([&](DongleResult r) { code = r.code; });
        ASSERT_TRUE(waitUntil([&] { return code == 0; }));
        Link link(*rig.dongle(), 0, 0);
        code = -1;
        link.startBootloader([&](DongleResult r) { code = r.code; });
        ASSERT_TRUE(waitUntil([&] { return code == 0; }));
        QFile file(dir.filePath(QStringLiteral("fw.enc")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(1025, 'x'));
        file.close();
        firmware->setFirmwarePath(file.fileName());
        firmware->showPage(upload(), {});
        ASSERT_TRUE(waitUntil([&] { return upload()->isTransferring(); }, 8000));
    }
    QString failure() const
    {
        return firmware->shownForm() == firmware->failedForm() ? firmware->failedForm()->message()
                                                               : QString();
    }

    void linkSelection(Event event);
    void linkSettings(Event event);
    void firmwareWizard(Event event);

    QTemporaryDir dir;
    std::unique_ptr<Settings> settings;
    pagetest::PageRig rig;
    QString name;
    OX::LinkSelectionPage* selection = nullptr;
    OX::LinkPage* linkPage = nullptr;
    OX::FirmwarePage* firmware = nullptr;
};

void PagesOutliveTheirDongle::linkSelection(Event event)
{
    auto rows = [&] { return selection->linkListWidget()->count(); };
    ASSERT_TRUE(waitUntil([&] { return rows() == 2; }));
    selection->linkListWidget()->setCurrentRow(0);
    if (event == Event::HeadsetSwapped) {
        ASSERT_TRUE(rig.swapHeadset({ { 6, 0x81, emu::preset::LinkOutdoorDrive } }));
        EXPECT_FALSE(rig.container.rightEnabled[0]) << "emptied with the headset that went";
        EXPECT_TRUE(waitUntil([&] { return rows() == 2 && !selection->isAwaitingHeadset(); }, 8000))
            << "filled again without Refresh";
        return;
    }
    rig.emulator().updateLink(0, [](emu::LinkModel& l) { l.replyDelayMs = 300; });
    selection->onPing();
    ASSERT_TRUE(rig.container.busy);
    if (event == Event::LeaveMidRequest) {
        ASSERT_TRUE(rig.show(QStringLiteral("Menu")));
        expectNoLaterBox();
        EXPECT_FALSE(rig.container.busy);
        EXPECT_FALSE(selection->isPingScheduled());
        return;
    }
    ASSERT_TRUE(rig.unplug());
    EXPECT_FALSE(rig.container.busy);
    EXPECT_EQ(rows(), 0);
    ASSERT_TRUE(waitUntil([&] { return current() == "Menu"; }));
    ASSERT_TRUE(rig.show(name)); // opened again without a dongle
    EXPECT_EQ(rows(), 0);
    EXPECT_FALSE(rig.container.rightEnabled[0]) << "no Settings over an empty list";
    ASSERT_TRUE(rig.replug());
    EXPECT_TRUE(waitUntil([&] { return rows() == 2; }, 8000)) << "filled again without Refresh";
}

void PagesOutliveTheirDongle::linkSettings(Event event)
{
    const LPP backup = LinkProfile::Normal.parameters;
    auto stored = [&] { return settings->linkProfile(QStringLiteral("backup")).parameters; };
    ASSERT_TRUE(waitUntil([&] { return boxText() == "Save settings"; }));
    if (event == Event::UnplugWithBoxOpen) {
        EXPECT_TRUE(dongleServes());
        ASSERT_TRUE(rig.unplug());
    } else {
        testutil::answerNextBox(QStringLiteral("Don't save"));
        ASSERT_TRUE(waitUntil([&] { return boxText().isEmpty(); }));
        if (event == Event::HeadsetSwapped) {
            ASSERT_TRUE(rig.swapHeadset(rig.map));
            EXPECT_TRUE(current() == "Menu" || linkPage->state() == OX::LinkPage::initialized_state);
            expectNoLaterBox();
            return;
        }
        rig.emulator().addFault(emu::FaultRule::delayRequest(emu::FrameFilter::of(0xBF), 300));
        rig.emulator().updateLink(0, [](emu::LinkModel& l) { l.replyDelayMs = 300; });
        if (event == Event::UnplugMidRequest) {
            rig.container.perform(OX::PageAction::apply, linkPage);
            ASSERT_TRUE(rig.container.busy);
            ASSERT_TRUE(rig.unplug());
        } else {
            linkPage->searchLink(); // its result would ask "Save settings" again
            ASSERT_TRUE(rig.container.busy);
            ASSERT_TRUE(rig.show(QStringLiteral("Menu")));
        }
    }
    ASSERT_TRUE(waitUntil([&] { return current() == "Menu" && boxText().isEmpty(); }));
    EXPECT_FALSE(rig.container.busy);
    expectNoLaterBox();
    EXPECT_EQ(stored(), backup);
    if (event == Event::LeaveMidRequest)
        return;
    // Plugged in again, the page opens over its LINK as it did before.
    rig.emulator().clearFaults();
    rig.emulator().updateLink(0, [](emu::LinkModel& l) { l.replyDelayMs = 0; });
    ASSERT_TRUE(rig.replug());
    ASSERT_TRUE(query());
    ASSERT_TRUE(rig.show(name));
    ASSERT_TRUE(waitUntil([&] { return boxText() == "Save settings"; }));
    testutil::answerNextBox(QStringLiteral("Don't save"));
    EXPECT_TRUE(waitUntil([&] { return linkPage->state() == OX::LinkPage::initialized_state; }));
    expectNoLaterBox();
}

void PagesOutliveTheirDongle::firmwareWizard(Event event)
{
    EXPECT_EQ(rig.container.footer.right.action, OX::PageAction::none) << "no button of the menu stays";
    EXPECT_EQ(rig.container.footer.alternativeRight.action, OX::PageAction::none);
    if (event == Event::HeadsetSwapped) {
        ASSERT_TRUE(rig.swapHeadset(rig.map));
        firmware->navigateToNextStep(nullptr);
        EXPECT_TRUE(waitUntil(
            [&] { return firmware->shownForm() == firmware->stepForm(OX::FirmwarePage::ConnectStep); }));
        expectNoLaterBox();
        return;
    }
    if (event == Event::UnplugWithBoxOpen) {
        rig.emulator().addFault(emu::FaultRule::noReply(emu::FrameFilter::of(emu::pid::LCP, 6)));
        firmware->navigateToNextStep(nullptr);
        ASSERT_TRUE(waitUntil(
            [&] { return firmware->shownForm() == firmware->stepForm(OX::FirmwarePage::ConnectStep); }));
        firmware->navigateToNextStep(nullptr);
        ASSERT_TRUE(waitUntil(
            [&] { return boxText() == "Link not found. Would you like to start the recovery mode?"; }, 8000));
        EXPECT_TRUE(dongleServes());
        ASSERT_TRUE(rig.unplug());
        ASSERT_TRUE(waitUntil([&] { return current() == "Menu" && boxText().isEmpty(); }));
        expectNoLaterBox();
        EXPECT_FALSE(firmware->recoveryMode());
        return;
    }
    ASSERT_NO_FATAL_FAILURE(startUpload());
    if (event == Event::UnplugMidRequest) {
        ASSERT_TRUE(rig.unplug());
        EXPECT_TRUE(failure().contains("The LINK was left half-written")) << failure().toStdString();
        EXPECT_EQ(current(), name) << "stays to say so";
        EXPECT_FALSE(rig.container.busy);
        expectNoLaterBox();
        rig.container.clickLeft();
        ASSERT_TRUE(waitUntil([&] { return current() == "Menu"; }));
        // Plugged in again, the wizard starts over.
        ASSERT_TRUE(rig.replug());
        ASSERT_TRUE(rig.show(name));
        firmware->navigateToNextStep(nullptr);
        EXPECT_TRUE(waitUntil(
            [&] { return firmware->shownForm() == firmware->stepForm(OX::FirmwarePage::ConnectStep); }));
        return;
    }
    // Back asks; going on keeps the transfer, stopping ends it and says what the LINK is left as.
    const QString question = QStringLiteral("The firmware upload is still running. Do you want to stop it?");
    for (const char* answer : { "Continue upload", "Stop upload" }) {
        rig.container.clickLeft();
        ASSERT_TRUE(waitUntil([&] { return boxText() == question; }));
        EXPECT_TRUE(upload()->isTransferring());
        testutil::answerNextBox(QLatin1String(answer));
        ASSERT_TRUE(waitUntil([&] { return boxText().isEmpty(); }));
        testutil::spin(50);
        EXPECT_EQ(current(), name);
    }
    EXPECT_TRUE(waitUntil([&] { return failure().startsWith("The upload was stopped."); }));
    EXPECT_FALSE(upload()->isTransferring());
    EXPECT_EQ(rig.dongle()->xmodem(), nullptr);
    rig.container.clickLeft();
    EXPECT_TRUE(waitUntil([&] { return current() == "Menu"; }));
    expectNoLaterBox();
}

TEST_P(PagesOutliveTheirDongle, EndsWithoutABoxOverAnotherPage)
{
    ASSERT_TRUE(rig.show(name));
    switch (GetParam().page) {
    case Shown::LinkSelection:
        return linkSelection(GetParam().event);
    case Shown::LinkSettings:
        return linkSettings(GetParam().event);
    case Shown::Firmware:
        return firmwareWizard(GetParam().event);
    }
}

// LINK selection asks nothing, so it has no box to lose its dongle under.
const Case Cases[] = {
    { Shown::LinkSelection, Event::UnplugMidRequest },
    { Shown::LinkSelection, Event::LeaveMidRequest },
    { Shown::LinkSelection, Event::HeadsetSwapped },
    { Shown::LinkSettings, Event::UnplugWithBoxOpen },
    { Shown::LinkSettings, Event::UnplugMidRequest },
    { Shown::LinkSettings, Event::LeaveMidRequest },
    { Shown::LinkSettings, Event::HeadsetSwapped },
    { Shown::Firmware, Event::UnplugWithBoxOpen },
    { Shown::Firmware, Event::UnplugMidRequest },
    { Shown::Firmware, Event::LeaveMidRequest },
    { Shown::Firmware, Event::HeadsetSwapped },
};

std::string caseName(const ::testing::TestParamInfo<Case>& info)
{
    static const char* const pages[] = { "LinkSelection", "LinkSettings", "Firmware" };
    static const char* const events[]
        = { "UnplugWithBoxOpen", "UnplugMidRequest", "LeaveMidRequest", "HeadsetSwapped" };
    return std::string(pages[int(info.param.page)]) + "_" + events[int(info.param.event)];
}

INSTANTIATE_TEST_SUITE_P(ByPage, PagesOutliveTheirDongle, ::testing::ValuesIn(Cases), caseName);

} // namespace
