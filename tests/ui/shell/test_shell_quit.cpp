// Quitting from the main window while a dongle is connected: the dongle is told to zero the
// mouse by itself again, and to let go of held modifiers, before the application ends; a LINK
// firmware upload under way is cut only once the person chose to stop it.
#include "app/DirectorEmulation.h"
#include "common/gui_util.h"
#include "device/Dongle.h"
#include "device/Link.h"
#include "ui/firmware/FirmwarePage.h"
#include "ui/pages/CalibrationPage.h"
#include "ui/pages/PairingPage.h"
#include "ui/pages/ProfilesPage.h"
#include "ui/pages/ServiceMode.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/ShellDirectorUi.h"
#include "ui/shell/SidebarDialog.h"
#include "ui/toolkit/Menu.h"
#include "ui/toolkit/PageController.h"
#include "ui/toolkit/PageFooter.h"
#include "ui/toolkit/ToolButton.h"

#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace directortest;
using testutil::waitUntil;

namespace
{

struct ShellOverEmulator : EmulatedDongle {
    ShellDirectorUi* shell = nullptr;

    OrvixDirector* bringUp()
    {
        if (!start())
            return nullptr;
        h.bus->setBus(QtUsb::FilterList { Harness::dongleIds() });
        auto ui = std::make_unique<ShellDirectorUi>();
        shell = ui.get();
        h.director = std::make_unique<OrvixDirector>(h.parser, std::move(ui), h.environment(5));
        h.director->start(); // attaches the main window
        return h.director.get();
    }
    // The same, once the dongle is connected with the selected profile applied; null otherwise.
    OrvixDirector* connected()
    {
        OrvixDirector* d = bringUp();
        if (!d)
            return nullptr;
        Recorder r(d);
        return r.waitConnected(1) ? d : nullptr;
    }
    // The firmware page, showing its upload step, which sends a LINK in its bootloader an image
    // of two blocks (the file in dir); null when any of that failed.
    OX::FirmwarePage* uploading(QTemporaryDir const& dir)
    {
        OrvixDirector* d = bringUp();
        if (!d || !waitUntil([&] { return d->dongle(); }, 5000))
            return nullptr;
        auto code = std::make_shared<int>(-1); // answered perhaps after a failure here
        d->dongle()->enterPasshroughtMode([code](DongleResult r) { *code = r.code; });
        if (!waitUntil([&] { return *code == 0; }))
            return nullptr;
        Link link(*d->dongle(), 0, 0);
        link.startBootloader([code](DongleResult r) { *code = r.code + 1; });
        QFile image(dir.filePath(QStringLiteral("fw.enc")));
        if (!waitUntil([&] { return *code == 1; }) || !image.open(QIODevice::WriteOnly)
            || image.write(QByteArray(1025, 'x')) != 1025)
            return nullptr;
        image.close();
        OX::PageController* pages = shell->mainWindow()->controller();
        auto* firmware = qobject_cast<OX::FirmwarePage*>(pages->page(QStringLiteral("Firmware")));
        if (!pages->showPage(QStringLiteral("Firmware"), OX::Page::NoTransition, 0, false))
            return nullptr;
        firmware->setFirmwarePath(image.fileName());
        firmware->showPage(firmware->stepForm(OX::FirmwarePage::UploadStep), {});
        return firmware;
    }
};

TEST(ShellQuit, WithADongleAutomaticZeroingIsSwitchedOnBeforeQuitting)
{
    ShellOverEmulator t;
    OrvixDirector* d = t.connected();
    ASSERT_NE(d, nullptr);
    t.emulator.updateDongle([](emu::DongleModel& m) { m.autoZero = false; });
    const int mark = t.emulator.mark();
    // Shift held from the toolbar for the headset: nothing would release it after the quit.
    t.emulator.addHeadset();
    ASSERT_TRUE(waitUntil([&] { return d->dongle()->headset() && d->dongle()->headset()->isRunning(); }));
    ASSERT_TRUE(t.emulator.waitForFrame(emu::FrameFilter::dcp(10), testutil::scaled(3000), mark));
    d->dongle()->keyPress(0x81, pressKey, {});
    ASSERT_TRUE(
        waitUntil([&] { return d->dongle()->headset()->modifierMask() == HeadsetControlMask::shift; }));

    t.shell->mainWindow()->perform(OX::PageAction::quit, nullptr);
    ASSERT_TRUE(waitUntil([&] { return t.h.quits == 1; }, 3000));
    EXPECT_TRUE(t.emulator.waitForFrame(emu::FrameFilter::dcp(18), testutil::scaled(1000), mark).has_value());
    EXPECT_TRUE(t.emulator.dongle().autoZero);
    EXPECT_TRUE(t.emulator.dongle().heldKeys.empty()) << "shift stays held on the computer";

    // A second request while the first is under way quits only once.
    t.shell->mainWindow()->perform(OX::PageAction::quit, nullptr);
    testutil::spin(50);
    EXPECT_EQ(t.h.quits, 1);
}

TEST(ShellQuit, ARunningFirmwareUploadIsCutOnlyWhenThePersonSaysSo)
{
    ShellOverEmulator t;
    t.emulator.updateCabledLink([](emu::CabledLinkModel& m) { m.silentBlock[1] = -1; }); // runs on
    QTemporaryDir dir;
    OX::FirmwarePage* firmware = t.uploading(dir);
    ASSERT_NE(firmware, nullptr);

    // The upload goes on behind the menu, as after Home.
    MainWindow* window = t.shell->mainWindow();
    ASSERT_TRUE(waitUntil([&] { return firmware->runningUpload(); }, 8000));
    window->perform(OX::PageAction::home, nullptr);

    auto asked = [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        return box && box->text() == "A LINK firmware upload is running. Do you want to stop it and quit?";
    };
    for (const char* answer : { "Continue upload", "Stop and quit" }) {
        window->perform(OX::PageAction::quit, nullptr);
        window->perform(OX::PageAction::quit, nullptr); // the tray's Quit again: one box
        ASSERT_TRUE(waitUntil(asked));
        testutil::saveScreenshot(
            QApplication::activeModalWidget(), QStringLiteral("quit-during-firmware-upload"));
        testutil::answerNextBox(QLatin1String(answer));
        ASSERT_TRUE(waitUntil([&] { return !QApplication::activeModalWidget(); }));
        EXPECT_TRUE(waitUntil([&] { return t.h.quits == (firmware->runningUpload() ? 0 : 1); }));
    }
    EXPECT_EQ(t.h.quits, 1);
    EXPECT_EQ(t.h.director->dongle()->xmodem(), nullptr) << "the dongle has its line back";
}

// Quit while a mouse profile is still being written: the quit's automatic zeroing comes after
// the whole profile, whose own value for it would otherwise turn it off again, and whose last
// values the end of the run would cut.
TEST(ShellQuit, AProfileBeingWrittenEndsBeforeAutomaticZeroingIsSwitchedOn)
{
    ShellOverEmulator t;
    OrvixDirector* d = t.connected();
    ASSERT_NE(d, nullptr);
    MouseProfile profile(*d->settings()->selectedProfile());
    profile.setAutoZeroEnable(false);
    profile.setAutorange(!profile.autorange());
    t.emulator.addFault(emu::FaultRule::delayReply(emu::FrameFilter::dcp(25), testutil::scaled(300)));
    const int mark = t.emulator.mark();
    ASSERT_TRUE(d->settings()->apply(profile, [](DongleResult) {}));
    ASSERT_TRUE(t.emulator.waitForFrame(emu::FrameFilter::dcp(25), testutil::scaled(3000), mark));

    t.shell->mainWindow()->perform(OX::PageAction::quit, nullptr);
    ASSERT_TRUE(waitUntil([&] { return t.h.quits == 1; }, 5000));
    const int quitted = t.emulator.mark();
    EXPECT_EQ(t.emulator.dongle().autorange, profile.autorange()) << "the profile was cut short";
    EXPECT_FALSE(t.emulator.waitForFrame(emu::FrameFilter::dcp(18), testutil::scaled(500), quitted))
        << "the profile turned automatic zeroing off again";
    EXPECT_TRUE(t.emulator.dongle().autoZero);
}

// Quit after an upload ended well and before Finish: the dongle stays in firmware update mode
// until it is plugged in again, and the person is told so before the application ends, as on
// leaving the page.
TEST(ShellQuit, AnUploadThatEndedWellBeforeFinishIsToldBeforeQuitting)
{
    ShellOverEmulator t;
    QTemporaryDir dir;
    OX::FirmwarePage* firmware = t.uploading(dir);
    ASSERT_NE(firmware, nullptr);
    ASSERT_TRUE(
        waitUntil([&] { return t.emulator.uploadsCompleted() == 1 && !firmware->runningUpload(); }, 15000));

    auto told = [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        return box && box->text().contains("to leave firmware update mode");
    };
    MainWindow* window = t.shell->mainWindow();
    window->perform(OX::PageAction::quit, nullptr);
    ASSERT_TRUE(waitUntil(told));
    window->perform(OX::PageAction::quit, nullptr); // the tray's Quit again: still the one box
    testutil::spin(50);
    EXPECT_EQ(t.h.quits, 0);
    testutil::answerNextBox(QStringLiteral("OK"));
    EXPECT_TRUE(waitUntil([&] { return t.h.quits == 1; }, 5000));
    EXPECT_FALSE(told());
}

// Quit (the tray's, a session ending) while the person tries a mouse profile: the trial's box,
// left open, would never put the selected profile back, and the mouse would keep the one on trial.
TEST(ShellQuit, AProfileOnTrialGoesBackToTheSelectedOneBeforeQuitting)
{
    ShellOverEmulator t;
    OrvixDirector* d = t.connected();
    ASSERT_NE(d, nullptr);
    const bool selected = d->settings()->selectedProfile()->autorange();
    ASSERT_TRUE(waitUntil([&] { return t.emulator.dongle().autorange == selected; }));
    MainWindow* window = t.shell->mainWindow();
    auto* profiles = qobject_cast<OX::ProfilesPage*>(window->controller()->page(QStringLiteral("Profiles")));
    ASSERT_TRUE(window->controller()->showPage(QStringLiteral("Profiles"), OX::Page::NoTransition, 0, false));
    QTest::mouseClick(profiles->findChild<QWidget*>(QStringLiteral("hmAutoRange")), Qt::LeftButton);
    window->perform(OX::PageAction::tryIt, profiles);
    ASSERT_TRUE(
        waitUntil([&] { return profiles->isTrialRunning() && t.emulator.dongle().autorange != selected; }));

    window->perform(OX::PageAction::quit, nullptr);
    ASSERT_TRUE(waitUntil([&] { return t.h.quits == 1; }, 3000));
    EXPECT_EQ(t.emulator.dongle().autorange, selected) << "the profile on trial stays on the dongle";
}

// Quit while the pairing or security page holds the network in service mode, while the page's
// request to enter it is still out, or while that request waits for the network to be taken out
// after a notice that came too late: nothing else would take the devices out of service mode once
// the application has ended.
TEST(ShellQuit, TheNetworkLeavesServiceModeBeforeQuitting)
{
    enum Case { entered, requestOut, requestHeld };
    for (Case c : { entered, requestOut, requestHeld }) {
        SCOPED_TRACE(c == entered ? "in service mode"
                : c == requestOut ? "request to enter still out"
                                  : "request held behind a late notice's leaving");
        ShellOverEmulator t;
        OrvixDirector* d = t.connected();
        ASSERT_NE(d, nullptr);
        MainWindow* window = t.shell->mainWindow();
        auto showPairing = [&] {
            return window->controller()->showPage(
                QStringLiteral("Pairing"), OX::Page::NoTransition, 0, false);
        };
        const auto enter
            = emu::FrameFilter::dcp(37).where([](emu::Frame const& f) { return f.value() != 0; });
        const auto exit = emu::FrameFilter::dcp(37).where([](emu::Frame const& f) { return f.value() == 0; });
        const int mark = t.emulator.mark();
        if (c == entered) {
            d->dongle()->enterServiceMode({});
            ASSERT_TRUE(
                waitUntil([&] { return d->dongle()->profile().state == quint8(DongleState::SERV_M); }));
            ASSERT_EQ(t.emulator.dongle().state, emu::state::ServiceMode);
        } else if (c == requestOut) {
            // The dongle takes the pairing page's request only once the quit has begun.
            t.emulator.addFault(emu::FaultRule::answerOnlyCopy(enter, 1, -1));
            t.emulator.addFault(emu::FaultRule::delayRequest(enter, testutil::scaled(300)));
            ASSERT_TRUE(showPairing());
            ASSERT_TRUE(t.emulator.waitForFrame(enter, testutil::scaled(3000), mark).has_value());
            ASSERT_NE(t.emulator.dongle().state, emu::state::ServiceMode);
        } else {
            // The page is left before the dongle's notice, which comes once it has gone: the network
            // is taken out again, and the dongle answers that exit late. The page shown again
            // meanwhile holds its request back until the exit has been answered.
            t.emulator.updateDongle([](emu::DongleModel& m) { m.stateNoticeOnServiceChange = false; });
            ASSERT_TRUE(showPairing());
            ASSERT_TRUE(t.emulator.waitForFrame(enter, testutil::scaled(3000), mark).has_value());
            window->perform(OX::PageAction::home, nullptr);
            ASSERT_TRUE(waitUntil([&] { return window->controller()->currentPageName() == "Menu"; }));
            t.emulator.updateDongle([](emu::DongleModel& m) { m.stateNoticeOnServiceChange = true; });
            t.emulator.addFault(emu::FaultRule::answerOnlyCopy(exit, 1));
            t.emulator.addFault(emu::FaultRule::delayRequest(exit, testutil::scaled(300)));
            const int late = t.emulator.mark();
            t.emulator.noticeState(emu::state::ServiceMode);
            ASSERT_TRUE(t.emulator.waitForFrame(exit, testutil::scaled(3000), late).has_value());
            ASSERT_TRUE(showPairing());
            ASSERT_FALSE(t.emulator.waitForFrame(enter, 0, late)) << "the request went before the exit";
        }

        window->perform(OX::PageAction::quit, nullptr);
        ASSERT_TRUE(waitUntil([&] { return t.h.quits == 1; }, OX::ServiceModeNoticeMs + 3000));
        EXPECT_NE(t.emulator.dongle().state, emu::state::ServiceMode);
        EXPECT_TRUE(t.emulator.dongle().autoZero);
    }
}

// Quit while a LINK is being paired: it has taken the network's PAN but is not in the headset's
// device list yet, so the network's leaving would pass over it. The pairing ends first, and the
// LINK leaves service mode with the network before the application ends.
TEST(ShellQuit, ALinkBeingPairedLeavesServiceModeBeforeQuitting)
{
    ShellOverEmulator t;
    OrvixDirector* d = t.connected();
    ASSERT_NE(d, nullptr);
    t.emulator.updateDongle([](emu::DongleModel& m) { m.serviceModeReachesNetwork = false; });
    emu::HeadsetModel headset;
    headset.channelMap = { { 4, 0x81, emu::preset::Pc1 } };
    headset.streamsInServiceMode = true;
    t.emulator.addHeadset(headset);
    emu::LinkModel link;
    link.pan = 0x3456;
    link.address = 9;
    link.serial = "LK23000009";
    link.serviceMode = true;
    t.emulator.addLink(link);
    MainWindow* window = t.shell->mainWindow();
    auto* pairing = qobject_cast<OX::PairingPage*>(window->controller()->page(QStringLiteral("Pairing")));
    ASSERT_TRUE(waitUntil([&] { return d->dongle()->headset(); }));
    t.emulator.updateHeadset([](emu::HeadsetModel& h) { h.serviceMode = true; });
    ASSERT_TRUE(window->controller()->showPage(QStringLiteral("Pairing"), OX::Page::NoTransition, 0, false));
    auto* devices = pairing->findChild<QListWidget*>(QStringLiteral("deviceList"));
    ASSERT_TRUE(waitUntil([&] { return devices->count() == 1; }, 5000));
    // The LINK's answer to its new PAN comes once the quit has begun.
    const int held = t.emulator.addFault(emu::FaultRule::delayReply(
        emu::FrameFilter::of(emu::pid::ACK, 0x40).withSrc(9), testutil::scaled(300), -1));
    testutil::BoxAnswerer answers;
    answers.answer(QStringLiteral("Pair with headset"), QStringLiteral("As Primary Chair"));
    QTest::mouseClick(
        devices->viewport(), Qt::LeftButton, {}, devices->visualItemRect(devices->item(0)).center());
    ASSERT_TRUE(waitUntil([&] { return t.emulator.faultHits(held) > 0; }));

    window->perform(OX::PageAction::quit, nullptr);
    ASSERT_TRUE(waitUntil([&] { return t.h.quits == 1; }, 10000));
    t.h.director.reset(); // the application has ended: nothing more is sent
    EXPECT_EQ(t.emulator.link(0).pan, 0x1234);
    EXPECT_TRUE(waitUntil([&] { return !t.emulator.link(0).serviceMode; }));
    EXPECT_EQ(
        t.emulator.headset().channelMap, (emu::ChannelMapEntries { { 4, 0x81, 0x3B }, { 3, 0x81, 0x18 } }));
}

// Quit while the headset calibrates, or while its Reset is still out: it would stay in
// calibration, heard by nobody to take it out.
TEST(ShellQuit, TheHeadsetLeavesCalibrationBeforeQuitting)
{
    for (bool answered : { true, false }) {
        SCOPED_TRACE(answered ? "calibrating" : "reset still out");
        ShellOverEmulator t;
        OrvixDirector* d = t.connected();
        ASSERT_NE(d, nullptr);
        emu::HeadsetModel model;
        model.calibrationStepMs = 1000000; // the levels stay: it calibrates until taken out
        t.emulator.addHeadset(model);
        ASSERT_TRUE(waitUntil([&] { return d->dongle()->headset() && d->dongle()->headset()->isRunning(); }));
        MainWindow* window = t.shell->mainWindow();
        auto* calibration
            = qobject_cast<OX::CalibrationPage*>(window->controller()->page(QStringLiteral("Calibration")));
        ASSERT_TRUE(
            window->controller()->showPage(QStringLiteral("Calibration"), OX::Page::NoTransition, 0, false));
        if (!answered) // the headset takes the enter at once; its answers are late
            t.emulator.addFault(emu::FaultRule::delayReply(
                emu::FrameFilter::of(emu::pid::ACK, 0x20), testutil::scaled(300), -1));
        window->perform(OX::PageAction::reset, nullptr);
        if (answered) {
            ASSERT_TRUE(waitUntil([&] {
                return calibration->state() == OX::CalibrationPage::Calibrating
                    && t.emulator.headset().calibrating;
            }));
            // Every acknowledgement of the enter read first (an acknowledgement names no command).
            bool read = false;
            d->dongle()->headset()->queryChannelMap([&](ChannelMap*, DongleResult) { read = true; });
            ASSERT_TRUE(waitUntil([&] { return read; }));
        } else {
            ASSERT_TRUE(waitUntil([&] { return t.emulator.headset().calibrating; }));
            ASSERT_TRUE(calibration->isBusy());
        }

        window->perform(OX::PageAction::quit, nullptr);
        ASSERT_TRUE(waitUntil([&] { return t.h.quits == 1; }, 3000));
        EXPECT_FALSE(t.emulator.headset().calibrating);
    }
}

// The windows take nothing while the quit waits for the dongle: a tile, a footer button or a
// toolbar key would start on the devices what the quit has already put back (the network in
// service mode, a profile on trial, a held key), and the run would end with it. Nor does the
// pairing page that a headset without devices opens a moment after it is found.
TEST(ShellQuit, NothingStartsFromTheWindowsWhileTheQuitWaits)
{
    enum Case { tile, footer, pairingDue };
    for (Case c : { tile, footer, pairingDue }) {
        SCOPED_TRACE(c == tile ? "a menu tile" : c == footer ? "a footer button" : "pairing due");
        ShellOverEmulator t;
        OrvixDirector* d = t.connected();
        ASSERT_NE(d, nullptr);
        MainWindow* window = t.shell->mainWindow();
        QSignalSpy due(window->controller(), &OX::PageController::navigateToPage);
        emu::HeadsetModel headset;
        if (c == pairingDue)
            headset.channelMap = {};
        t.emulator.addHeadset(headset);
        auto* shift = t.shell->sidebar()->findChild<OX::ToolButton*>(QStringLiteral("shiftButton"));
        ASSERT_TRUE(waitUntil([&] { return d->dongle()->headset() && shift->isEnabled(); }));
        window->controller()->setSlideDurationOverride(0);
        OX::Menu* menu = window->menu();
        auto tap = [menu](OX::MenuItem::Identifier id) {
            OX::MenuItem* item = menu->item(id);
            QTest::mouseClick(menu->view()->viewport(), Qt::LeftButton, {},
                menu->view()->mapFromScene(item->mapToScene(item->getFrame().center())));
        };
        auto* profiles
            = qobject_cast<OX::ProfilesPage*>(window->controller()->page(QStringLiteral("Profiles")));
        if (c == tile) {
            tap(OX::MenuItem::NetworkItem);
            OX::MenuItem* pairing = menu->item(OX::MenuItem::PairingItem);
            ASSERT_TRUE(waitUntil([&] { return pairing->isVisible() && pairing->isEnabled(); }));
        } else if (c == footer) {
            ASSERT_TRUE(
                window->controller()->showPage(QStringLiteral("Profiles"), OX::Page::NoTransition, 0, false));
            QTest::mouseClick(window->findChild<QWidget*>(QStringLiteral("hmAutoRange")), Qt::LeftButton);
        } else {
            ASSERT_TRUE(waitUntil([&] { return due.count() > 0; }));
        }
        // The quit waits for a profile still being written.
        t.emulator.addFault(emu::FaultRule::delayReply(emu::FrameFilter::dcp(25), testutil::scaled(800), -1));
        ASSERT_TRUE(d->settings()->test(*d->settings()->selectedProfile(), [](DongleResult) {}));
        window->perform(OX::PageAction::quit, nullptr);
        if (c == footer)
            testutil::saveScreenshot(window, QStringLiteral("quitting-profiles")); // dim, wheel turning
        if (c == tile)
            tap(OX::MenuItem::PairingItem);
        else if (c == footer)
            QTest::mouseClick(
                window->footer()->rightButton(OX::PageFooter::AlternativeButton), Qt::LeftButton);
        QTest::mouseClick(shift, Qt::LeftButton);
        ASSERT_TRUE(waitUntil([&] { return t.h.quits == 1; }, 5000));
        EXPECT_NE(t.emulator.dongle().state, emu::state::ServiceMode);
        EXPECT_FALSE(profiles->isTrialRunning()) << "a profile goes on trial as the run ends";
        EXPECT_TRUE(t.emulator.dongle().heldKeys.empty()) << "shift stays held on the computer";
        EXPECT_TRUE(t.emulator.dongle().autoZero);
    }
}

TEST(ShellQuit, WithoutADongleTheApplicationQuitsAtOnce)
{
    ShellOverEmulator t; // the emulator is never plugged in
    auto ui = std::make_unique<ShellDirectorUi>();
    ShellDirectorUi* shell = ui.get();
    t.h.director = std::make_unique<OrvixDirector>(t.h.parser, std::move(ui), t.h.environment(5));
    t.h.director->start();
    shell->mainWindow()->perform(OX::PageAction::quit, nullptr);
    EXPECT_EQ(t.h.quits, 1);
}

TEST(ShellQuit, ADongleThatNeverAnswersStillLetsTheApplicationQuit)
{
    ShellOverEmulator t;
    t.h.tweak = quickTiming;
    OrvixDirector* d = t.bringUp();
    ASSERT_NE(d, nullptr);
    Recorder r(d);
    ASSERT_TRUE(r.waitConnected(1));
    t.emulator.addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(18)));

    t.shell->mainWindow()->perform(OX::PageAction::quit, nullptr);
    ASSERT_TRUE(waitUntil([&] { return t.h.quits == 1; }, 5000));
}

} // namespace
