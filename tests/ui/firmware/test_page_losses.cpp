// Every page with a footer of its own or a box or a request of the dongle, over the emulator and
// through the director's own loss path: the dongle pulled with a box open or a request under way,
// the person leaving mid-request, the headset swapped or switched off and on, and Help opened over
// the page before the headset or the dongle goes. Each case ends with no box of a page left, the
// page in its "no dongle"/"no headset" state (or gone back), the footer the shown page's own, and
// the dongle serving requests while a box is open. The firmware upload's own question goes too when
// the upload ends under it, done or failed. The sanitizer build runs them.
#include "app/Settings.h"
#include "common/PageRig.h"
#include "common/gui_util.h"
#include "device/Link.h"
#include "ui/firmware/DFUFailedForm.h"
#include "ui/firmware/DFUUploadForm.h"
#include "ui/firmware/FirmwarePage.h"
#include "ui/link/LinkPage.h"
#include "ui/link/LinkSelectionPage.h"
#include "ui/pages/CalibrationPage.h"
#include "ui/pages/DevicesPage.h"
#include "ui/pages/PairingPage.h"
#include "ui/pages/ProfilesPage.h"
#include "ui/pages/SecurityPage.h"
#include "ui/pages/ServiceMode.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <gtest/gtest.h>

using testutil::waitUntil;

namespace
{

enum class Event {
    UnplugWithBoxOpen,
    UnplugWithRequest,
    LeaveWithRequest,
    HeadsetSwapped,
    HeadsetOffAndOn,
    HelpThenHeadsetOff, // Help opened over the page, the headset switched off, then Back
    HelpThenUnplug, // the same with the dongle pulled
    HomeThenUnplug, // Home pressed during the page's work, then the dongle pulled
    UploadDoneWithBoxOpen, // the firmware upload ends well while Back's question is open
    UploadFailedWithBoxOpen, // the same with the LINK refusing the image
};
const Event Common[] = { Event::UnplugWithBoxOpen, Event::UnplugWithRequest, Event::LeaveWithRequest,
    Event::HeadsetSwapped, Event::HeadsetOffAndOn, Event::HelpThenHeadsetOff, Event::HelpThenUnplug };

struct Losses;

struct PageCase {
    const char* name;
    std::function<OX::Page*(OX::PageContainer*)> make;
    std::function<emu::HeadsetModel()> headset; // null: LINKs on the headset's network
    std::function<void(emu::Emulator&)> prepare; // before the dongle starts
    // Shown: starts what the emulator never answers; true once it is under way.
    std::function<bool(Losses&)> startRequest;
    // Shown: opens one of the page's boxes (null: the page opens none from a device answer).
    std::function<void(Losses&)> openBox;
    // The page's state once the dongle or the headset has gone while it was shown.
    std::function<bool(Losses&)> settledWithoutDevice;
    // The page's state once the dongle or the headset is back (shown again if it went back).
    std::function<bool(Losses&)> workingAgain;
    const char* leaveAnswer = nullptr; // the button that leaves when leaving is asked about
    std::vector<Event> events = std::vector<Event>(std::begin(Common), std::end(Common));
    // The page's own course of the events before Help's (null: the common course).
    void (Losses::*own)(Event) = nullptr;
};

bool noBox()
{
    return QApplication::activeModalWidget() == nullptr;
}

QString boxText()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    return box ? box->text() : QString();
}

struct Case {
    PageCase const* page;
    Event event;
};

struct Losses : ::testing::TestWithParam<Case> {
    pagetest::PageRig rig;
    QTemporaryDir dir;
    std::unique_ptr<Settings> settings; // the mouse profiles, written to the rig's dongle
    OX::Page* page = nullptr;
    QString name;
    OX::LinkSelectionPage* selection = nullptr;
    OX::LinkPage* linkPage = nullptr;
    OX::FirmwarePage* firmware = nullptr;

    PageCase const& pageCase() const { return *GetParam().page; }
    Event event() const { return GetParam().event; }
    void SetUp() override
    {
        PageCase const& c = pageCase();
        name = QString::fromLatin1(c.name);
        rig.viaDirector = true; // the dongle goes as the director sees it go
        const bool switchedOff = event() == Event::HeadsetOffAndOn || event() == Event::HelpThenHeadsetOff
            || (event() == Event::HeadsetSwapped && !c.headset);
        if (switchedOff)
            rig.shortWatchdog(); // the switched-off headset is lost soon
        if (c.headset)
            ASSERT_TRUE(rig.start(c.headset(), 0.05, switchedOff ? nullptr : c.prepare)); // nothing fails
        else
            ASSERT_TRUE(rig.startWithLinks());
        settings = std::make_unique<Settings>(dir.filePath(QStringLiteral("settings.ini")), nullptr);
        settings->setDongleProvider([this] { return rig.dongle(); });
        rig.container.settings = settings.get();
        page = c.make(&rig.container);
        selection = qobject_cast<OX::LinkSelectionPage*>(page);
        linkPage = qobject_cast<OX::LinkPage*>(page);
        firmware = qobject_cast<OX::FirmwarePage*>(page);
        if (linkPage) {
            ASSERT_TRUE(query()); // what LINK selection's refresh does before
            // A backup other than the LINK's record: opening asks "Save settings".
            settings->setLinkProfile(QStringLiteral("backup"), LinkProfile::Normal.parameters);
        }
        // Pairing offers the password page on leaving; LINK selection opens the LINK's settings.
        QStringList stubs { QStringLiteral("Help") };
        if (name == QLatin1String("Pairing"))
            stubs << QStringLiteral("Security");
        if (selection)
            stubs << QStringLiteral("LinkIndoor") << QStringLiteral("LinkOutdoor");
        rig.registerPage(page, name, stubs, QSize(760, 560));
        // Help's own footer: Back and nothing on the right.
        auto* help
            = static_cast<testutil::RecordingPage*>(rig.container.controller.page(QStringLiteral("Help")));
        help->onWillAppear = [help] {
            help->container->setLeft(QStringLiteral("Back"), OX::PageAction::back, help);
            help->container->setRight(QString(), OX::PageAction::none, nullptr, OX::PageFooter::MainButton);
        };
        rig.container.controller.show();
        ASSERT_TRUE(rig.show(name));
    }
    void TearDown() override { rig.close(HasFailure()); }

    // A request queued behind everything sent so far has its answer: the dongle still talks.
    bool trafficGoesOn()
    {
        Dongle* d = rig.dongle();
        if (!d)
            return false;
        bool answered = false;
        d->queryProfile(
            [&answered](DongleProfile*, DongleResult r) { answered = r.code == DongleResult::Ok; });
        return waitUntil([&] { return answered; }, 4000);
    }
    bool on(QString const& page) { return rig.container.controller.currentPageName() == page; }
    // Lets every late answer, queued question and chain step run.
    void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }
    // Every button of the footer is the shown page's, or hidden.
    bool footerIsTheShownPages()
    {
        OX::Page* shown = rig.container.controller.currentPage();
        OX::PageFooter::State const& f = rig.container.footer;
        for (OX::PageFooter::ButtonState const* b : { &f.left, &f.right, &f.alternativeRight })
            if (b->action != OX::PageAction::none && b->page != shown)
                return false;
        return true;
    }
    void commonCourse(Event event);
    void underHelp(Event event);

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
    // acknowledged, so that it runs until it is ended. A LINK of the test's own (cabled) answers a
    // first block re-sent every few hundred ms.
    void startUpload(std::function<void(emu::CabledLinkModel&)> cabled = {})
    {
        rig.emulator().updateCabledLink([](emu::CabledLinkModel& m) { m.silentBlock[1] = -1; });
        if (cabled)
            rig.emulator().updateCabledLink(cabled);
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
        ASSERT_TRUE(upload()->sender());
        if (cabled)
            upload()->sender()->setTimeoutsForTest(
                { testutil::scaled(300), testutil::scaled(300), testutil::scaled(XModem::KEEP_ALIVE_TIME) });
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
};

// A headset switched on in service mode, at another PAN, for pairing.
emu::HeadsetModel serviceHeadset()
{
    emu::HeadsetModel model;
    model.pan = 0x2345;
    model.streamsInServiceMode = true;
    return model;
}

emu::HeadsetModel mapHeadset()
{
    emu::HeadsetModel model;
    model.channelMap = { { 5, 0x81, 0x18 }, { 1, 0x82, 0x3B }, { 7, 0x01, 0x4B } };
    return model;
}

emu::FrameFilter calibrationCommand(int value)
{
    return emu::FrameFilter::of(emu::pid::HCP, 0).where([value](const emu::Frame& f) {
        return f.lsb() == value;
    });
}

// Pairing: the question of a headset heard in service mode; its chain waits on the dongle's address.
void pickHeadset(Losses& f)
{
    auto* p = static_cast<OX::PairingPage*>(f.page);
    ASSERT_TRUE(waitUntil([&] { return p->state() == OX::PairingPage::looking_for_devices_state; }, 5000));
    auto* list = p->findChild<QListWidget*>("headsetList");
    ASSERT_TRUE(waitUntil([&] { return list->count() == 1; }, 5000));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
}

// Profiles: an edit, so that the footer offers "Apply" and "Try It".
void editProfile(Losses& f)
{
    QTest::mouseClick(f.page->findChild<QWidget*>(QStringLiteral("hmAutoRange")), Qt::LeftButton);
}

const Event LinkEvents[] = { Event::UnplugWithBoxOpen, Event::UnplugWithRequest, Event::LeaveWithRequest,
    Event::HeadsetSwapped, Event::HelpThenHeadsetOff, Event::HelpThenUnplug };

const PageCase Pages[] = {
    { "Pairing", [](OX::PageContainer* c) { return new OX::PairingPage(c); }, serviceHeadset,
        [](emu::Emulator& e) { e.updateDongle([](emu::DongleModel& d) { d.address = 1; }); },
        [](Losses& f) {
            f.rig.emulator().addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(19)));
            testutil::answerNextBox(QStringLiteral("Pair as computer #1"));
            pickHeadset(f);
            return f.rig.emulator().waitForFrame(emu::FrameFilter::dcp(19), 4000).has_value();
        },
        [](Losses& f) { pickHeadset(f); }, [](Losses& f) { return f.on("Menu"); },
        [](Losses& f) {
            return static_cast<OX::PairingPage*>(f.page)->state()
                == OX::PairingPage::looking_for_devices_state;
        } },
    { "Security", [](OX::PageContainer* c) { return new OX::SecurityPage(c); }, mapHeadset,
        [](emu::Emulator& e) { e.addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(37))); },
        [](Losses& f) {
            return f.rig.emulator().waitForFrame(emu::FrameFilter::dcp(37), 4000).has_value()
                && f.rig.container.busy;
        },
        [](Losses&) {}, // entering service mode fails: "Unable to enter service mode"
        [](Losses& f) { return f.on("Menu") && !f.rig.container.busy; },
        [](Losses& f) { // none of the headset's devices is in range
            return static_cast<OX::SecurityPage*>(f.page)->state()
                == OX::SecurityPage::waiting_for_other_devices_service_mode_state;
        } },
    { "Devices", [](OX::PageContainer* c) { return new OX::DevicesPage(c); }, mapHeadset, {},
        [](Losses& f) {
            f.rig.emulator().addFault(emu::FaultRule::noReply(emu::FrameFilter::of(emu::pid::CMAP)));
            auto* p = static_cast<OX::DevicesPage*>(f.page);
            p->listWidget()->item(2)->setCheckState(Qt::Checked);
            f.rig.container.clickRight();
            return f.rig.emulator().waitForFrame(emu::FrameFilter::of(emu::pid::CMAP), 4000).has_value();
        },
        nullptr,
        [](Losses& f) {
            return !f.page->isEnabled() && f.rig.container.footer.right.action == OX::PageAction::none;
        },
        [](Losses& f) { return f.page->isEnabled(); }, "Dismiss and leave page",
        { Event::UnplugWithRequest, Event::LeaveWithRequest, Event::HeadsetSwapped, Event::HeadsetOffAndOn,
            Event::HelpThenHeadsetOff, Event::HelpThenUnplug } },
    { "Calibration", [](OX::PageContainer* c) { return new OX::CalibrationPage(c); }, mapHeadset, {},
        [](Losses& f) {
            f.rig.emulator().addFault(emu::FaultRule::noReply(calibrationCommand(1)));
            f.rig.container.clickRight(); // Reset
            return f.rig.container.busy;
        },
        nullptr,
        [](Losses& f) {
            return !f.rig.container.busy && !f.rig.container.rightEnabled[0]
                && f.page->findChild<QLabel*>("hintText")->text() == QStringLiteral("Headset not found");
        },
        [](Losses& f) {
            return !f.rig.container.busy && f.rig.container.rightEnabled[0]
                && f.page->findChild<QLabel*>("hintText")->text() != QStringLiteral("Headset not found");
        },
        nullptr,
        { Event::UnplugWithRequest, Event::LeaveWithRequest, Event::HeadsetSwapped, Event::HeadsetOffAndOn,
            Event::HelpThenHeadsetOff, Event::HelpThenUnplug } },
    // The page edits stored profiles without a dongle: it stays, the upload or trial the dongle
    // took along ends without a word, and the edits wait for "Apply".
    { "Profiles", [](OX::PageContainer* c) { return new OX::ProfilesPage(c); }, mapHeadset, {},
        [](Losses& f) {
            f.rig.emulator().addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(25)));
            editProfile(f);
            f.rig.container.clickRight(0); // Apply
            return f.rig.emulator().waitForFrame(emu::FrameFilter::dcp(25), 4000).has_value();
        },
        [](Losses& f) {
            editProfile(f);
            f.rig.container.clickRight(1); // Try It: the trial's question
        },
        [](Losses& f) {
            return f.on("Profiles") && f.rig.container.footer.right.action == OX::PageAction::apply
                && !static_cast<OX::ProfilesPage*>(f.page)->isTrialRunning();
        },
        [](Losses& f) {
            return f.on("Profiles") && !static_cast<OX::ProfilesPage*>(f.page)->isTrialRunning();
        } },
    // LINK selection asks nothing, so it has no box to lose its dongle under.
    { "Link", [](OX::PageContainer* c) { return new OX::LinkSelectionPage(c); }, nullptr, {}, {}, {},
        [](Losses& f) {
            return f.on("Menu")
                || (f.selection->linkListWidget()->count() == 0 && !f.rig.container.rightEnabled[0]);
        },
        {}, nullptr,
        { Event::UnplugWithRequest, Event::LeaveWithRequest, Event::HeadsetSwapped, Event::HelpThenHeadsetOff,
            Event::HelpThenUnplug },
        &Losses::linkSelection },
    { "LinkIndoor", [](OX::PageContainer* c) { return new OX::LinkPage(c, OrvixDevice::LinkDrive); }, nullptr,
        {}, {}, {}, [](Losses& f) { return f.on("Menu"); }, {}, nullptr,
        std::vector<Event>(std::begin(LinkEvents), std::end(LinkEvents)), &Losses::linkSettings },
    { "Firmware", [](OX::PageContainer* c) { return new OX::FirmwarePage(c); }, nullptr, {}, {}, {},
        [](Losses& f) { return f.on("Menu") || f.on("Firmware"); }, {}, nullptr,
        { Event::UnplugWithBoxOpen, Event::UnplugWithRequest, Event::LeaveWithRequest, Event::HeadsetSwapped,
            Event::HelpThenHeadsetOff, Event::HelpThenUnplug, Event::HomeThenUnplug,
            Event::UploadDoneWithBoxOpen, Event::UploadFailedWithBoxOpen },
        &Losses::firmwareWizard },
};

void Losses::commonCourse(Event event)
{
    PageCase const& c = pageCase();
    switch (event) {
    case Event::UnplugWithBoxOpen: {
        if (!c.openBox)
            GTEST_SKIP() << "the page opens no box from a device answer";
        c.openBox(*this);
        ASSERT_TRUE(waitUntil([] { return !noBox(); }, 5000));
        EXPECT_TRUE(trafficGoesOn());
        EXPECT_FALSE(noBox());
        ASSERT_TRUE(rig.unplug());
        settle();
        EXPECT_TRUE(waitUntil(noBox));
        EXPECT_TRUE(waitUntil([&] { return c.settledWithoutDevice(*this); }));
        break;
    }
    case Event::UnplugWithRequest: {
        ASSERT_TRUE(c.startRequest(*this));
        ASSERT_TRUE(rig.unplug());
        settle();
        EXPECT_TRUE(noBox());
        EXPECT_TRUE(waitUntil([&] { return c.settledWithoutDevice(*this); }));
        // Plugged in again: a page that went back leaves the spinner of the page shown alone until
        // it is opened again, then it works with the dongle.
        rig.emulator().clearFaults();
        const bool left = !on(name);
        if (left)
            rig.container.setProgress(true); // the menu's
        ASSERT_TRUE(rig.replug());
        settle();
        if (left) {
            EXPECT_TRUE(rig.container.busy) << "a page left acts";
            rig.container.setProgress(false);
            ASSERT_TRUE(rig.show(name));
        }
        EXPECT_TRUE(waitUntil([&] { return c.workingAgain(*this); }));
        EXPECT_TRUE(noBox());
        break;
    }
    case Event::LeaveWithRequest: {
        ASSERT_TRUE(c.startRequest(*this));
        if (c.leaveAnswer)
            testutil::answerNextBox(QString::fromLatin1(c.leaveAnswer));
        // Pairing's last word on leaving: the password page is offered (nothing else may open; the
        // LINK of the headset's map, which is not there, is taken as switched off).
        testutil::BoxAnswerer lastWord;
        lastWord.answer(QStringLiteral("Network may changed"), QStringLiteral("Keep current password"));
        rig.container.clickLeft();
        ASSERT_TRUE(waitUntil([&] { return on("Menu") && !rig.container.controller.isSwitching(); }, 5000));
        // Everything the page sent has ended (timed out) once a later request is answered.
        rig.emulator().clearFaults();
        EXPECT_TRUE(trafficGoesOn());
        EXPECT_TRUE(footerIsTheShownPages()) << "nothing of the page left stays on the footer";
        EXPECT_TRUE(waitUntil([&] { return !rig.container.busy; })) << "the page left lets go of the footer";
        settle();
        EXPECT_TRUE(waitUntil(noBox));
        EXPECT_TRUE(lastWord.unexpected().isEmpty()) << lastWord.unexpected().join(", ").toStdString();
        break;
    }
    case Event::HeadsetSwapped: {
        QPointer<Headset> before = rig.headset(); // null once deleted: its memory may hold the new one
        rig.emulator().updateHeadset([](emu::HeadsetModel& h) { h.pan = 0x3456; });
        ASSERT_TRUE(waitUntil([&] { return rig.headset() && rig.headset()->pan() == 0x3456; }, 5000));
        EXPECT_NE(rig.headset(), before.data());
        settle();
        EXPECT_TRUE(noBox() || !on(name)) << "a box of a page left";
        break;
    }
    case Event::HeadsetOffAndOn:
        ASSERT_TRUE(rig.headsetPower(false));
        settle();
        EXPECT_TRUE(noBox());
        // With the dongle in service mode, the person switches it on in service mode as asked.
        rig.emulator().updateHeadset(
            [&](emu::HeadsetModel& h) { h.serviceMode = OX::isInServiceMode(rig.dongle()); });
        rig.headsetPower(true);
        if (!on(name))
            ASSERT_TRUE(rig.show(name));
        EXPECT_TRUE(waitUntil([&] { return c.workingAgain(*this); }));
        EXPECT_TRUE(noBox());
        break;
    default:
        break;
    }
}

// Help over the page while the headset or the dongle goes: Help's footer stays Help's, and Back
// finds the page in its state without the device, with a footer of its own.
void Losses::underHelp(Event event)
{
    PageCase const& c = pageCase();
    if (linkPage) {
        ASSERT_TRUE(waitUntil([&] { return boxText() == "Save settings"; }));
        testutil::answerNextBox(QStringLiteral("Don't save"));
        ASSERT_TRUE(waitUntil(noBox));
    }
    if (name == QLatin1String("Profiles"))
        editProfile(*this); // "Apply" stays for the edit
    ASSERT_TRUE(rig.container.controller.showPage(QStringLiteral("Help"), OX::Page::FromTop, 1000, true));
    ASSERT_TRUE(waitUntil([&] { return on("Help") && !rig.container.controller.isSwitching(); }));
    const OX::PageFooter::State help = rig.container.footer;
    if (event == Event::HelpThenUnplug)
        ASSERT_TRUE(rig.unplug());
    else
        ASSERT_TRUE(rig.headsetPower(false));
    settle();
    if (on("Help")) {
        EXPECT_EQ(rig.container.footer, help) << "Help's footer is Help's";
        EXPECT_TRUE(noBox());
        rig.container.clickLeft(); // Back
    }
    // Pairing, Security and the LINK's settings wait in place for a headset switched off.
    const bool waits = event == Event::HelpThenHeadsetOff
        && (name == QLatin1String("Pairing") || name == QLatin1String("Security") || linkPage);
    EXPECT_TRUE(waitUntil([&] {
        return !rig.container.controller.isSwitching() && (waits ? on(name) : c.settledWithoutDevice(*this));
    }));
    EXPECT_TRUE(footerIsTheShownPages());
    settle();
    EXPECT_TRUE(waitUntil(noBox));
}

void Losses::linkSelection(Event event)
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
    if (event == Event::LeaveWithRequest) {
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

void Losses::linkSettings(Event event)
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
        if (event == Event::UnplugWithRequest) {
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
    if (event == Event::LeaveWithRequest)
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

void Losses::firmwareWizard(Event event)
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
    const QString question = QStringLiteral("The firmware upload is still running. Do you want to stop it?");
    if (event == Event::UploadDoneWithBoxOpen || event == Event::UploadFailedWithBoxOpen) {
        // Back asks; the upload then ends on its own after two silent re-sends: nothing is left
        // to stop, so the question goes unanswered and the step says how it ended. Back then
        // leaves; an upload that ended well tells how to leave firmware update mode on the way.
        const bool done = event == Event::UploadDoneWithBoxOpen;
        ASSERT_NO_FATAL_FAILURE(startUpload([done](emu::CabledLinkModel& m) {
            m.silentBlock[1] = 2;
            if (!done)
                m.nakBlock[1] = XModem::MAX_RETRY + 1; // then refused until the sender gives up
        }));
        rig.container.clickLeft();
        ASSERT_TRUE(waitUntil([&] { return boxText() == question; }));
        ASSERT_TRUE(waitUntil([&] { return !upload()->isTransferring(); }, 8000));
        EXPECT_TRUE(waitUntil(noBox)) << "asked to stop an upload that has ended";
        EXPECT_TRUE(waitUntil([&] {
            return done ? firmware->findChild<QPushButton*>("nextButton")->isEnabled()
                        : failure().startsWith("Link firmware upload failed. The LINK was left half-written");
        }));
        EXPECT_EQ(current(), name);
        rig.container.clickLeft(); // nothing runs now: Back leaves without asking
        EXPECT_TRUE(waitUntil([&] { return current() == "Menu"; }));
        if (done) {
            // Left before Finish: how to leave firmware update mode is told over the menu.
            EXPECT_TRUE(waitUntil([&] { return boxText().contains("to leave firmware update mode"); }))
                << boxText().toStdString();
            testutil::answerNextBox(QStringLiteral("OK"));
            EXPECT_TRUE(waitUntil(noBox));
        }
        expectNoLaterBox();
        return;
    }
    ASSERT_NO_FATAL_FAILURE(startUpload());
    if (event == Event::HomeThenUnplug) {
        // Home leaves without asking and the transfer goes on; its end, here with the dongle, is
        // still told over the page shown then.
        rig.container.controller.showPage(QStringLiteral("Menu"), OX::Page::FromLeft, 0, false);
        ASSERT_TRUE(waitUntil([&] { return current() == "Menu"; }));
        ASSERT_TRUE(rig.unplug());
        EXPECT_TRUE(waitUntil([&] { return boxText().contains("The LINK was left half-written"); }, 8000))
            << boxText().toStdString();
        testutil::answerNextBox(QStringLiteral("OK"));
        EXPECT_TRUE(waitUntil([&] { return noBox(); }));
        EXPECT_EQ(current(), "Menu");
        return;
    }
    if (event == Event::UnplugWithRequest) {
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

TEST_P(Losses, EndInTheNoDeviceStateWithoutABoxOfAPageLeft)
{
    if (event() == Event::HelpThenHeadsetOff || event() == Event::HelpThenUnplug)
        return underHelp(event());
    if (pageCase().own)
        return (this->*pageCase().own)(event());
    commonCourse(event());
}

std::vector<Case> cases()
{
    std::vector<Case> out;
    for (PageCase const& page : Pages)
        for (Event event : page.events)
            out.push_back({ &page, event });
    return out;
}

std::string caseName(::testing::TestParamInfo<Case> const& info)
{
    static const char* const events[] = { "UnplugWithBoxOpen", "UnplugWithRequest", "LeaveWithRequest",
        "HeadsetSwapped", "HeadsetOffAndOn", "HelpThenHeadsetOff", "HelpThenUnplug", "HomeThenUnplug",
        "UploadDoneWithBoxOpen", "UploadFailedWithBoxOpen" };
    return std::string(info.param.page->name) + "_" + events[int(info.param.event)];
}

INSTANTIATE_TEST_SUITE_P(Pages, Losses, ::testing::ValuesIn(cases()), caseName);

} // namespace
