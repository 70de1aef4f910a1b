// The main window on a 1920 x 1080 X screen, driven by the director over the emulated dongle and
// headset: its size and place, its flags, close, the menu's pages and submenus, home and help
// slides, the pairing page opened by an empty channel map, and what pages get before they
// appear. Screenshots of the menu and of a slide halfway are kept for a person.
#include "EmulatedShell.h"
#include "app/DirectorEmulation.h"
#include "common/FakePageContainer.h"
#include "common/gui_util.h"

#include "app/InstanceSignal.h"
#include "ui/pages/ServiceMode.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/ScreenGeometry.h"
#include "ui/shell/ShellDirectorUi.h"
#include "ui/toolkit/Menu.h"
#include "ui/toolkit/PageController.h"
#include "ui/toolkit/PageFooter.h"
#include "ui/toolkit/PageHeader.h"
#include "ui/toolkit/ProgressWheel.h"

#include <QApplication>
#include <QElapsedTimer>

#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <gtest/gtest.h>

using namespace directortest;
using OX::MenuItem;
using testutil::saveScreenshot;
using testutil::waitUntil;

namespace
{

struct EmulatedWindow : EmulatedShell {
    bool bringUp(bool plugged, bool headset)
    {
        if (headset)
            emulator.addHeadset();
        if (!startShell(plugged))
            return false;
        if (plugged && !waitUntil([&] { return d->dongle() != nullptr; }, 5000))
            return false;
        return !headset || waitUntil([&] { return d->headset() && d->headset()->isRunning(); }, 5000);
    }
    // A click on the tile of id as a person makes it, through the view.
    void clickTile(MenuItem::Identifier id)
    {
        OX::Menu* menu = window()->menu();
        MenuItem* tile = menu->item(id);
        const QPoint at = menu->view()->mapFromScene(tile->mapToScene(tile->getFrame().center()));
        QTest::mouseClick(menu->view()->viewport(), Qt::LeftButton, {}, at);
    }
    bool settled(QString const& name)
    {
        return waitUntil([&] { return pages()->currentPageName() == name && !pages()->isSwitching(); });
    }
};

// Every position a widget takes, however briefly (a busy page can hide the middle of a slide
// from polling).
struct MoveRecorder : QObject {
    QList<QPoint> positions;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Move)
            positions << static_cast<QWidget*>(watched)->pos();
        return false;
    }
    bool any(std::function<bool(QPoint)> const& test) const
    {
        return std::any_of(positions.begin(), positions.end(), test);
    }
};

struct TallScreen : ScreenGeometry {
    QRect primaryAvailable() const override { return QRect(0, 0, 2400, 2000); }
};

TEST(MainWindowDisplay, CentredFramelessAndCloseOnlyHides)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    EmulatedWindow t;
    ASSERT_TRUE(t.bringUp(false, false));
    MainWindow* w = t.window();
    ASSERT_TRUE(waitUntil([&] { return w->isVisible() && w->menu()->size() == w->controller()->size(); }));
    EXPECT_EQ(w->geometry(), QRect(555, 190, 810, 700));
    EXPECT_EQ(int(w->windowFlags()), 0x2040801);
    EXPECT_FALSE(w->menu()->item(MenuItem::SystemStatusItem)->isEnabled());
    EXPECT_EQ(w->header()->state().title, "OrvixTools v2.6.2-615 R");
    saveScreenshot(w, "main-window-menu-without-dongle");
    w->close();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(t.h.quits, 0);

    TallScreen tall;
    ScreenGeometry::install(&tall);
    MainWindow fresh;
    fresh.attach(nullptr);
    ScreenGeometry::install(nullptr);
    EXPECT_EQ(fresh.geometry(), QRect(610, 500, 1180, 1000));
    EXPECT_EQ(fresh.controller()->currentPageName(), "Menu");
}

// A second start (or the tray) brings the window back: out of a minimised state, and never over
// a box that waits for the person's answer, which would leave a window that takes no click.
TEST(MainWindowDisplay, ShownAgainItComesOutOfMinimisedAndStaysUnderAWaitingBox)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    EmulatedWindow t;
    ASSERT_TRUE(t.bringUp(false, false));
    MainWindow* w = t.window();
    ASSERT_TRUE(waitUntil([&] { return w->isActiveWindow() && t.d->usbManager(); })); // listening
    w->setWindowState(Qt::WindowMinimized);
    EXPECT_FALSE(w->isTotallyVisible());
    ASSERT_TRUE(InstanceSignal::send(t.h.serverName));
    ASSERT_TRUE(waitUntil([&] { return !w->isMinimized(); }));
    EXPECT_TRUE(w->isVisible());

    DirectorUi::Box box { DirectorUi::Box::Warning, "Dongle not connected", "Unplug it.", {}, {} };
    t.shell->ask(box, {});
    ASSERT_TRUE(waitUntil([] { return QApplication::activeModalWidget() != nullptr; }));
    QWidget* waiting = QApplication::activeModalWidget();
    ASSERT_TRUE(waitUntil([&] { return QApplication::topLevelAt(waiting->geometry().center()) == waiting; }));
    t.d->onShowHideMainWindow(); // what the second start's byte does
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(QApplication::topLevelAt(waiting->geometry().center()), waiting);
    t.d->showMainWindow(true); // the tray's Show ...
    EXPECT_EQ(QApplication::topLevelAt(waiting->geometry().center()), waiting);
    EXPECT_EQ(QApplication::activeWindow(), waiting);
    saveScreenshot(waiting, "main-window-shown-again-under-a-box");
    waiting->close();
}

TEST(MainWindowDisplay, MenuOpensPagesAndHomeAndHelpSlide)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    EmulatedWindow t;
    ASSERT_TRUE(t.bringUp(true, true));
    MainWindow* w = t.window();
    ASSERT_TRUE(waitUntil([&] { return w->menu()->item(MenuItem::SystemStatusItem)->isEnabled(); }));
    saveScreenshot(w, "main-window-menu-with-dongle-and-headset");

    t.clickTile(MenuItem::SettingsItem);
    EXPECT_EQ(w->header()->state().subtitle, "Settings");
    EXPECT_FALSE(w->menu()->item(MenuItem::FirmwareUpdateItem)->isEnabled());
    saveScreenshot(w, "main-window-menu-settings");
    QTest::mouseClick(w->footer()->leftButton(), Qt::LeftButton);
    t.clickTile(MenuItem::NetworkItem);
    saveScreenshot(w, "main-window-menu-network");
    t.clickTile(MenuItem::DevicesItem);
    ASSERT_TRUE(t.settled("Devices"));
    EXPECT_EQ(w->header()->state().title, "Devices"); // the page sets its own title, no subtitle
    QTest::mouseClick(w->footer()->leftButton(), Qt::LeftButton); // Back
    ASSERT_TRUE(t.settled("Menu"));
    EXPECT_EQ(w->header()->state().subtitle, "Network"); // the submenu it was left in

    // Entries without a page open nothing; Firmware Update's identifier opens "Firmware".
    testutil::LogCapture log;
    for (int id : { 1, 4, 5, 99 })
        w->onMenuItemAction(MenuItem::Identifier(id), "x");
    EXPECT_EQ(log.count("Show Page ["), 0);
    EXPECT_TRUE(log.contains("Menu Item (99: x) action"));
    w->onMenuItemAction(MenuItem::FirmwareUpdateItem, "Firmware Update");
    ASSERT_TRUE(t.settled("Firmware"));

    // Home slides to the right, from Help upwards; on the menu it is refused.
    t.pages()->setSlideDurationOverride(400);
    OX::Page* firmware = t.pages()->page("Firmware");
    QTest::mouseClick(w->header()->homeButton(), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return firmware->pos().x() > 100; }, 2000));
    EXPECT_EQ(firmware->pos().y(), 0);
    saveScreenshot(w, "main-window-slide-halfway");
    ASSERT_TRUE(t.settled("Menu"));
    QTest::mouseClick(w->header()->homeButton(), Qt::LeftButton);
    EXPECT_FALSE(t.pages()->isSwitching());
    QTest::mouseClick(w->header()->helpButton(), Qt::LeftButton);
    ASSERT_TRUE(t.settled("Help"));
    EXPECT_EQ(t.pages()->page("Help")->state.transition, OX::Page::FromTop);
    MoveRecorder moves;
    t.pages()->page("Help")->installEventFilter(&moves);
    w->perform(OX::PageAction::home, nullptr); // Help keeps the header's buttons off while it shows
    ASSERT_TRUE(t.settled("Menu"));
    EXPECT_TRUE(moves.any([](QPoint p) { return p.y() < -100 && p.x() == 0; })); // upwards
}

// A dongle still starting tells its state before the window can hand it to a page: the tiles
// of the pages that need it stay off until it is connected.
TEST(MainWindowDisplay, ADongleStillStartingOpensNoPageThatNeedsIt)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    EmulatedWindow t;
    t.emulator.addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(emu::dcp::Revision)));
    ASSERT_TRUE(t.startShell());
    QList<bool> usableWhileStarting;
    QObject::connect(t.d, &OrvixDirector::dongleUpdatedSignal, t.window(), [&](Dongle* dongle) {
        if (dongle && !t.d->dongle())
            usableWhileStarting << t.window()->menu()->item(MenuItem::SystemStatusItem)->isEnabled();
    });
    ASSERT_TRUE(waitUntil([&] { return !usableWhileStarting.isEmpty(); }, 10000));
    EXPECT_FALSE(usableWhileStarting.contains(true));
}

TEST(MainWindowDisplay, EmptyChannelMapOpensPairingAndPagesGetTheWholeState)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    EmulatedWindow t;
    ASSERT_TRUE(t.bringUp(true, true));
    MainWindow* w = t.window();
    Headset* headset = t.d->headset();

    emit t.d->headsetUpdatedSignal(headset, HeadsetChangeMask::channelMap); // two entries
    testutil::spin(600);
    EXPECT_EQ(t.pages()->currentPageName(), "Menu");
    headset->setChannelMap(ChannelMap(), [](DongleResult) {}); // the emulator accepts it
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(waitUntil([&] { return t.pages()->isSwitching(); }, 3000));
    EXPECT_GE(clock.elapsed(), 450);
    ASSERT_TRUE(t.settled("Pairing"));
    EXPECT_EQ(t.pages()->page("Pairing")->state.name, "Menu");

    // What a page hears before it appears: the dongle first, then its headset.
    testutil::FakePageContainer fake;
    testutil::RecordingPage page(&fake, "P");
    w->onPageWillAppear(&page);
    EXPECT_EQ(fake.calls, QStringList({ "P.updateWithDongle(8fffffff)", "P.updateWithHeadset(ffffe3ff)" }));

    // Navigation bits: home and the main right button only.
    w->setRight("Apply", OX::PageAction::apply, &page, OX::PageFooter::MainButton);
    w->setRight("Revert", OX::PageAction::revert, &page, OX::PageFooter::AlternativeButton);
    w->setNavigationEnable(false, OX::NavigationOptions::header_left | OX::NavigationOptions::footer_right);
    EXPECT_FALSE(w->header()->homeButton()->isEnabled());
    EXPECT_TRUE(w->header()->helpButton()->isEnabled());
    EXPECT_FALSE(w->footer()->rightButton(0)->isEnabled());
    EXPECT_TRUE(w->footer()->rightButton(1)->isEnabled() && w->footer()->leftButton()->isEnabled());
    w->setNavigationEnable(false, OX::NavigationOptions::footer_left);
    OX::PageFooter::State state = w->getFooterState();
    w->setFooterState(state); // never touches the left button's enabled state
    EXPECT_FALSE(w->footer()->leftButton()->isEnabled());
}

} // namespace

namespace
{

// The dongle pulled while the pairing page is being left (its leave waits for the dongle), or
// while Help covers that page: the person ends on the menu with the way out open, no busy
// footer and no box of the page gone.
class MainWindowUnplug : public ::testing::TestWithParam<bool>
{
};

TEST_P(MainWindowUnplug, LeavesTheMenuWithItsWayOut)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    const bool underHelp = GetParam();
    EmulatedWindow t;
    ASSERT_TRUE(t.bringUp(true, true));
    MainWindow* w = t.window();
    w->onMenuItemAction(MenuItem::PairingItem, "Pairing");
    ASSERT_TRUE(t.settled("Pairing"));
    ASSERT_TRUE(waitUntil([&] { return OX::isInServiceMode(t.d->dongle()); }, 5000));
    if (underHelp) {
        QTest::mouseClick(w->header()->helpButton(), Qt::LeftButton);
        ASSERT_TRUE(t.settled("Help"));
    } else {
        t.pages()->setSlideDurationOverride(300);
        QTest::mouseClick(w->header()->homeButton(), Qt::LeftButton);
        ASSERT_TRUE(t.pages()->isSwitching());
    }
    t.emulator.unplug();
    ASSERT_TRUE(waitUntil([&] { return t.d->dongle() == nullptr; }, 5000));
    ASSERT_TRUE(t.settled("Menu"));
    testutil::spin(300);
    EXPECT_TRUE(w->header()->isEnabled() && w->footer()->isEnabled());
    EXPECT_TRUE(w->header()->homeButton()->isEnabled() && w->header()->helpButton()->isEnabled());
    EXPECT_FALSE(w->footer()->progressWheel()->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(LeavingOrUnderHelp, MainWindowUnplug, ::testing::Bool());

} // namespace
