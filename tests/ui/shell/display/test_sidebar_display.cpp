// The toolbar window on a real 1920 x 1080 X server: its size from the screen, docking and
// snapping, and a click on it that leaves the typing focus where it was and is not blocked by a box.
#include "../QuietDirectorUi.h"
#include "app/FakeDirectorUi.h"
#include "common/gui_util.h"
#include "common/qt_wait.h"
#include "x11_util.h"

#include "app/Settings.h"
#include "ui/shell/ScreenGeometry.h"
#include "ui/shell/SidebarDialog.h"
#include "ui/shell/VirtualKeyboard.h"
#include "ui/toolkit/Page.h"
#include "ui/toolkit/ToolButton.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPropertyAnimation>
#include <QScopeGuard>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

using testutil::waitUntil;

namespace
{

// A primary screen and, to its right, a second one; or a portrait primary screen alone.
struct FakeScreens : ScreenGeometry {
    QRect primary;
    QRect second;
    FakeScreens(QRect p, QRect s = QRect())
        : primary(p)
        , second(s)
    {
        install(this);
    }
    ~FakeScreens() override { install(nullptr); }
    QRect primaryAvailable() const override { return primary; }
    QRect primaryGeometry() const override { return primary; }
    QRect availableAt(const QPoint& p) const override { return second.contains(p) ? second : primary; }
};

bool docked(SidebarDialog& bar, SidebarDialog::DockSide side, QPoint at)
{
    return waitUntil([&] { return bar.dockSide() == side && bar.pos() == at; }, 3000);
}

void release(SidebarDialog& bar, QPoint global)
{
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), global, Qt::LeftButton,
        Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&bar, &press);
    QMouseEvent up(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), global, Qt::LeftButton,
        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&bar, &up);
}

// Shown at a quarter of its size: true once docked at the middle of the primary screen's left
// edge.
bool shownAtAQuarter(SidebarDialog& bar)
{
    bar.show();
    bar.setScale(0.25f);
    return docked(bar, SidebarDialog::Left, { 0, 279 });
}

// Dragged onto the second screen and let go there: true once docked at that screen's left edge,
// at the point given.
bool dropOnSecondScreen(SidebarDialog& bar, QPoint at)
{
    bar.move(2000, 100);
    bar.attachLeft();
    return docked(bar, SidebarDialog::Left, at);
}

// The primary screen and, to its right, a lower second one; the director whose settings the
// toolbar follows once attached to it.
struct TwoScreensAndDirector {
    FakeScreens screens { QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024) };
    directortest::Harness h;
    OrvixDirector director { h.parser, std::make_unique<QuietDirectorUi>(), h.environment(10) };
    SidebarDialog bar;
};

} // namespace

TEST(SidebarDisplay, SizeComesFromTheScreenAndTheScale)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    SidebarDialog bar;
    EXPECT_EQ(QSize(bar.baseWidth(), bar.baseHeight()), QSize(95, 1058));
    const std::pair<float, QSize> cases[]
        = { { 0.f, { 30, 343 } }, { 0.25f, { 46, 522 } }, { 1.f, { 95, 1058 } } };
    for (const auto& c : cases) {
        bar.setScale(c.first);
        EXPECT_EQ(bar.size(), c.second) << c.first;
    }
    bar.changeLayoutPosition(SidebarDialog::Horizontal);
    for (const auto& c : cases) {
        bar.setScale(c.first);
        EXPECT_EQ(bar.size(), c.second.transposed()) << c.first;
    }
    bar.setOpacity(0);
    EXPECT_NEAR(bar.windowOpacity(), 0.25, 0.01);
    // A portrait screen: the shorter side sets the size, so the strip stays on the screen.
    FakeScreens portrait(QRect(0, 0, 1080, 1920));
    SidebarDialog upright;
    EXPECT_EQ(QSize(upright.baseWidth(), upright.baseHeight()), QSize(95, 1058));
}

TEST(SidebarDisplay, DocksToEachEdgeAndSnapsToTheNearerOne)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    SidebarDialog bar;
    ASSERT_TRUE(shownAtAQuarter(bar));
    testutil::saveScreenshot(&bar, QStringLiteral("toolbar-vertical"));
    // The arrow: right, then a second click during the move repeats the same target.
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(bar.findChild<OX::ToolButton*>(QStringLiteral("setLocationButton")), Qt::LeftButton);
    QTest::mouseClick(bar.findChild<OX::ToolButton*>(QStringLiteral("setLocationButton")), Qt::LeftButton);
    ASSERT_TRUE(docked(bar, SidebarDialog::Right, { 1874, 279 }));
    EXPECT_GE(clock.elapsed(), 300) << "1874 pixels at 5000 per second";
    testutil::spin(450);
    EXPECT_EQ(bar.dockSide(), SidebarDialog::Right);

    // A release on the middle column docks right, one pixel left of it docks left.
    release(bar, { 959, 500 });
    ASSERT_TRUE(docked(bar, SidebarDialog::Left, { 0, 279 }));
    release(bar, { 960, 500 });
    ASSERT_TRUE(docked(bar, SidebarDialog::Right, { 1874, 279 }));

    bar.changeLayoutPosition(SidebarDialog::Horizontal);
    ASSERT_TRUE(docked(bar, SidebarDialog::Top, { 699, 0 }));
    bar.attachBottom();
    ASSERT_TRUE(docked(bar, SidebarDialog::Bottom, { 699, 1034 }));
    testutil::saveScreenshot(&bar, QStringLiteral("toolbar-horizontal"));

    // No move at all takes no time and still completes.
    int done = 0;
    QPoint here = bar.pos();
    bar.animateTo(here, [&]() { ++done; });
    EXPECT_EQ(done, 1);
}

TEST(SidebarDisplay, AMoveCutShortByAnotherIsFreedAndTheLastOneDocks)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    SidebarDialog bar;
    ASSERT_TRUE(shownAtAQuarter(bar));
    // Sent across the screen, then made horizontal before it arrives: the first move is cut
    // short and goes; the strip docks at the top.
    bar.attachRight();
    bar.changeLayoutPosition(SidebarDialog::Horizontal);
    EXPECT_TRUE(waitUntil([&] { return bar.findChildren<QPropertyAnimation*>().isEmpty(); }, 3000));
    EXPECT_TRUE(docked(bar, SidebarDialog::Top, { 699, 0 }));
}

// Minimised by the window manager ("show desktop"), the toolbar has no task-bar entry to bring it
// back: being shown again does.
TEST(SidebarDisplay, ShownAgainItComesOutOfMinimised)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    SidebarDialog bar;
    bar.show();
    bar.setWindowState(bar.windowState() | Qt::WindowMinimized);
    ASSERT_TRUE(bar.isMinimized());
    bar.show();
    EXPECT_TRUE(waitUntil([&] { return !bar.isMinimized() && bar.isVisible(); }, 3000));
}

TEST(SidebarDisplay, StickyDockingGoesBackToThePrimaryScreen)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    TwoScreensAndDirector rig;
    SidebarDialog& bar = rig.bar;
    bar.attach(&rig.director);
    ASSERT_TRUE(docked(bar, SidebarDialog::Left, { 0, 279 }));
    // Dragged onto the second screen: docks there.
    ASSERT_TRUE(dropOnSecondScreen(bar, { 1920, 251 }));
    rig.director.settings()->setSidebarStickedToPromaryScreen(true);
    ASSERT_TRUE(docked(bar, SidebarDialog::Left, { 0, 279 }));
    bar.move(2000, 100);
    bar.attachRight();
    ASSERT_TRUE(docked(bar, SidebarDialog::Right, { 1874, 279 }));
}

// Set to turn opaque under the pointer: a change of the settings while the pointer is over it
// leaves it opaque, and an opacity chosen while it fades back is the one it ends on.
TEST(SidebarDisplay, OpacityFollowsTheSettingUnderAndAfterThePointer)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    TwoScreensAndDirector rig;
    SidebarDialog& bar = rig.bar;
    Settings* settings = rig.director.settings();
    settings->setSidebarOpaqueOnMouseOver(true);
    bar.attach(&rig.director);
    bar.show();
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(&bar, &enter);
    ASSERT_TRUE(waitUntil([&] { return bar.windowOpacity() > 0.99; }, 3000));
    settings->setSidebarOpacity(0.2f);
    EXPECT_GT(bar.windowOpacity(), 0.99);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&bar, &leave);
    settings->setSidebarOpacity(0.6f);
    ASSERT_TRUE(waitUntil([&] { return bar.findChildren<QPropertyAnimation*>().isEmpty(); }, 3000));
    EXPECT_NEAR(bar.windowOpacity(), 0.7, 0.01); // a quarter always shows
}

TEST(SidebarDisplay, ADragDocksOnTheScreenItWasLetGoOn)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    FakeScreens screens(QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024));
    SidebarDialog bar;
    bar.setScale(0.25f);
    ASSERT_TRUE(dropOnSecondScreen(bar, { 1920, 251 }));
    // Pulled a little to the left, held by its middle: the pointer is let go on the second
    // screen, the strip's corner is over the first one. It goes back to the edge it came from,
    // not across the whole first screen to its far edge.
    bar.move(1900, 251);
    release(bar, { 1923, 500 });
    EXPECT_TRUE(docked(bar, SidebarDialog::Left, { 1920, 251 }));
}

TEST(SidebarDisplay, TheToolbarStaysWholeOnAScreenWhenScreensDifferOrGo)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    TwoScreensAndDirector rig;
    SidebarDialog& bar = rig.bar;
    rig.director.settings()->setSidebarScale(1.f);
    bar.attach(&rig.director);
    ASSERT_TRUE(dropOnSecondScreen(bar, { 1920, 0 })); // on the lower second screen: cut to it
    EXPECT_EQ(bar.height(), 1024);
    rig.screens.second = QRect(); // unplugged: whole again at the primary screen's edge
    emit qGuiApp->screenRemoved(QGuiApplication::primaryScreen());
    ASSERT_TRUE(docked(bar, SidebarDialog::Left, { 0, 11 }));
    EXPECT_EQ(bar.height(), 1058);
    rig.screens.primary = QRect(0, 0, 1366, 768); // a smaller primary screen: sized for it
    emit qGuiApp->primaryScreenChanged(QGuiApplication::primaryScreen());
    ASSERT_TRUE(docked(bar, SidebarDialog::Left, { 0, 8 }));
    EXPECT_EQ(bar.height(), 752);
}

TEST(SidebarDisplay, ARealClickLeavesTheTypingFocusInTheOtherWindowAndPassesAWaitingBox)
{
    if (!testutil::hasDisplay() || !x11test::canClick())
        GTEST_SKIP() << "no display or no xdotool";
    x11test::InputLock exclusive;
    QWidget editor;
    auto* line = new QLineEdit(&editor);
    editor.setGeometry(600, 300, 400, 100);
    editor.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    ASSERT_TRUE(x11test::focus(&editor));
    editor.activateWindow();
    line->setFocus();
    ASSERT_TRUE(waitUntil([&] { return QApplication::activeWindow() == &editor && line->hasFocus(); }, 3000));

    SidebarDialog bar;
    ASSERT_TRUE(shownAtAQuarter(bar));
    auto* copy = bar.findChild<OX::ToolButton*>(QStringLiteral("copyButton"));
    int clicks = 0;
    QObject::connect(copy, &QAbstractButton::clicked, [&]() { ++clicks; });
    ASSERT_TRUE(x11test::click(copy->mapToGlobal(copy->rect().center())));
    ASSERT_TRUE(waitUntil([&] { return clicks == 1; }, 3000));
    testutil::spin(100);
    EXPECT_EQ(QApplication::activeWindow(), &editor);
    EXPECT_TRUE(line->hasFocus());

    // A box of ours waiting for an answer leaves the toolbar working: with the head click on
    // the right button, the toolbar is the way back to the left one that answers the box.
    OX::Page::askApplication({ OX::Page::Icon::Warning, "Dongle not connected", "Unplug it.", {}, {}, {} });
    ASSERT_TRUE(waitUntil([] { return QApplication::activeModalWidget(); }));
    QWidget* box = QApplication::activeModalWidget();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
    ASSERT_TRUE(x11test::click(copy->mapToGlobal(copy->rect().center())));
    EXPECT_TRUE(waitUntil([&] { return clicks == 2; }, 3000));
    box->close();
}

// The toolbar never becomes the active window, and Qt shows the tooltips of inactive windows
// only when asked to: the keyboard button's failure would show as a colour alone.
TEST(SidebarDisplay, AKeyboardThatDoesNotStartIsSaidInTheButtonsTooltip)
{
    if (!testutil::hasDisplay() || !x11test::canClick())
        GTEST_SKIP() << "no display or no xdotool";
    x11test::InputLock exclusive;
    qputenv(VirtualKeyboard::CommandVariable, "/nonexistent/keyboard");
    const auto unset = qScopeGuard([] { qunsetenv(VirtualKeyboard::CommandVariable); });
    QWidget editor; // the application the person types into
    editor.setGeometry(600, 300, 400, 100);
    editor.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    ASSERT_TRUE(x11test::focus(&editor));
    editor.activateWindow();
    ASSERT_TRUE(waitUntil([&] { return QApplication::activeWindow() == &editor; }, 3000));
    SidebarDialog bar;
    ASSERT_TRUE(shownAtAQuarter(bar));
    auto* keyboard = bar.findChild<OX::ToolButton*>(QStringLiteral("keyboardButton"));
    const QPoint at = keyboard->mapToGlobal(keyboard->rect().center());
    ASSERT_TRUE(x11test::click(at));
    ASSERT_TRUE(waitUntil([&] { return !keyboard->toolTip().isEmpty(); }, 3000));
    ASSERT_TRUE(x11test::move(at + QPoint(1, 1))); // resting over the button
    EXPECT_TRUE(waitUntil([] { return QToolTip::isVisible(); }, 3000));
    EXPECT_EQ(QToolTip::text(), QStringLiteral("The on-screen keyboard did not start"));
    EXPECT_EQ(QApplication::activeWindow(), &editor) << "the tooltip takes no focus either";
}
