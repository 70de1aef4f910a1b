// The LINK settings walk through the whole application over the emulated dongle, its headset and
// a LINK at address 3, every step made with the pointer as a person makes it (events go to the
// window at the place the widget is shown): "Link" from the Settings menu, the LINK's row,
// "Settings", Next to the forward movement form, the "move_forward" handle dragged, "Apply";
// then "Restore" and "Apply" bring the LINK its first record back. A screenshot per step is kept.
#include "EmulatedShell.h"
#include "app/DirectorEmulation.h"
#include "common/gui_util.h"
#include "common/private_runtime.h"

#include "app/Settings.h"
#include "ui/link/LinkHeadAngleForm.h"
#include "ui/link/LinkPage.h"
#include "ui/link/LinkSelectionPage.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/ShellDirectorUi.h"
#include "ui/toolkit/HeadAngleView.h"
#include "ui/toolkit/Menu.h"
#include "ui/toolkit/PageController.h"
#include "ui/toolkit/PageFooter.h"

#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QtMath>
#include <gtest/gtest.h>

using namespace directortest;
using OX::MenuItem;
using testutil::waitUntil;

namespace
{

// The emulated LINK's angles are in half degrees: byte 0 is the forward angle.
constexpr int ForwardAngleByte = 0;
constexpr double DraggedForwardAngle = 30.0;

struct LinkSettingsWalk : EmulatedShell {
    OX::LinkSelectionPage* selection() const
    {
        return static_cast<OX::LinkSelectionPage*>(pages()->page(QStringLiteral("Link")));
    }
    OX::LinkPage* settingsPage() const
    {
        return static_cast<OX::LinkPage*>(
            pages()->page(QLatin1String(OX::LinkSelectionPage::IndoorPageName)));
    }
    QPushButton* footerButton(int index) const { return window()->footer()->rightButton(index); }
    // The texts of the footer's right buttons a person sees.
    QString footer() const { return shown(footerButton(0)) + '|' + shown(footerButton(1)); }
    static QString shown(QPushButton* button) { return button->isVisible() ? button->text() : QString(); }
    QByteArray onLink() const { return emulator.link(0).parameters; }
    QByteArray onPage() const { return settingsPage()->parameters().getData().bytes(); }

    bool bringUp()
    {
        emulator.addHeadset(); // its channel map holds a Link Drive at address 3
        emu::LinkModel link;
        link.address = 3;
        emulator.addLink(link);
        return startShell() && waitUntil([&] { return d->headset() && d->headset()->isRunning(); }, 5000);
    }

    // The pointer as a person moves it: the window takes the event at the place widget shows
    // point, and gives it to whatever is on top there.
    QWindow* screen(QWidget* widget, QPoint& point) const
    {
        point = widget->mapTo(widget->window(), point);
        return widget->window()->windowHandle();
    }
    void click(QWidget* widget, QPoint point)
    {
        QWindow* w = screen(widget, point);
        QTest::mouseClick(w, Qt::LeftButton, {}, point);
    }
    void click(QWidget* widget) { click(widget, widget->rect().center()); }
    void clickTile(MenuItem::Identifier id)
    {
        OX::Menu* menu = window()->menu();
        MenuItem* tile = menu->item(id);
        click(menu->view()->viewport(),
            menu->view()->mapFromScene(tile->mapToScene(tile->getFrame().center())));
    }
    bool settled(QString const& name)
    {
        return waitUntil([&] { return pages()->currentPageName() == name && !pages()->isSwitching(); }, 5000);
    }
    bool footerReads(QString const& texts)
    {
        return waitUntil([&] { return footer() == texts && footerButton(0)->isEnabled(); }, 5000);
    }
    bool applied(QByteArray const& record)
    {
        return waitUntil(
            [&] {
                return settingsPage()->state() == OX::LinkPage::initialized_state && onLink() == record
                    && onPage() == record;
            },
            5000);
    }
    // What a person sees once the layouts asked for have run.
    void shot(QString const& name)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        testutil::saveScreenshot(window(), QStringLiteral("link-walk-") + name);
    }
};

// Where the view draws the handle of an angle of that value: its own layout's point.
QPointF handleAt(OX::HeadAngleView* view, OX::HeadAngleView::Angle const& angle, double value)
{
    const double s = angle.orientation == OX::HeadAngleView::CounterClockwise ? -1.0 : 1.0;
    const double distance = view->radius() + OX::HeadAngleView::HandleDistance;
    const double radians = qDegreesToRadians(s * value);
    return view->pivot() + QPointF(distance * std::sin(radians), -distance * std::cos(radians));
}

TEST(LinkSettingsWalk, ReadDragApplyRestoreApply)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    QTemporaryDir dir;
    testutil::PrivateRuntime runtime(dir.path());
    testutil::BoxAnswerer boxes; // no box is expected on this walk

    LinkSettingsWalk t;
    ASSERT_TRUE(t.bringUp());
    const QByteArray original = t.onLink();
    ASSERT_EQ(original.size(), 27);
    ASSERT_TRUE(waitUntil([&] { return t.window()->menu()->item(MenuItem::SettingsItem)->isEnabled(); }));
    t.shot("1-menu");

    // "Link" from the Settings menu: the LINK's record is read on the way.
    const int readsBefore = t.emulator.sentCount(emu::FrameFilter::of(emu::pid::LPP).withSrc(3));
    t.clickTile(MenuItem::SettingsItem);
    ASSERT_TRUE(waitUntil([&] { return t.window()->menu()->item(MenuItem::LinkItem)->isVisible(); }));
    t.shot("2-settings-menu");
    t.clickTile(MenuItem::LinkItem);
    ASSERT_TRUE(t.settled(QStringLiteral("Link")));
    QListWidget* list = t.selection()->linkListWidget();
    ASSERT_TRUE(waitUntil([&] { return list->count() == 1; }, 5000));
    EXPECT_GT(t.emulator.sentCount(emu::FrameFilter::of(emu::pid::LPP).withSrc(3)), readsBefore);
    t.shot("3-link-selection");

    // The LINK's row selected, then "Settings".
    EXPECT_FALSE(list->item(0)->isSelected());
    t.click(list->viewport(), list->visualItemRect(list->item(0)).center());
    ASSERT_TRUE(waitUntil([&] { return t.selection()->selectedPreset() == OrvixDevice::LinkDrive; }));
    ASSERT_TRUE(waitUntil([&] { return t.footerButton(0)->isEnabled(); }));
    EXPECT_EQ(t.footerButton(0)->text(), QStringLiteral("Settings"));
    t.shot("4-link-selected");
    t.click(t.footerButton(0));
    ASSERT_TRUE(t.settled(QLatin1String(OX::LinkSelectionPage::IndoorPageName)));
    OX::LinkPage* page = t.settingsPage();
    ASSERT_TRUE(waitUntil([&] { return page->state() == OX::LinkPage::initialized_state; }, 5000));
    EXPECT_EQ(t.onPage(), original) << "its 27 bytes read";
    Settings* settings = t.window()->getSettings();
    ASSERT_TRUE(settings);
    EXPECT_EQ(
        settings->linkProfile(QLatin1String(OX::LinkPage::BackupProfileName)).parameters.getData().bytes(),
        original);
    EXPECT_EQ(t.footer(), QStringLiteral("Reset|"));
    t.shot("5-link-settings-general");

    // Next, Next: the forward movement form.
    for (char const* key : { "drive_settings", "forward_movement" }) {
        ASSERT_TRUE(waitUntil([&] { return page->nextButton()->isEnabled(); }));
        t.click(page->nextButton());
        ASSERT_TRUE(waitUntil([&] { return page->currentKey() == QLatin1String(key); }, 5000)) << key;
    }
    auto* form = qobject_cast<OX::LinkHeadAngleForm*>(page->form(QStringLiteral("forward_movement")));
    ASSERT_TRUE(form);
    ASSERT_EQ(form->interactiveMarker(), QStringLiteral("move_forward"));
    OX::HeadAngleView* view = form->headAngleView();
    ASSERT_TRUE(
        waitUntil([&] { return view->isVisible() && !view->angle("move_forward").handleRect.isEmpty(); }));
    // The needle follows the emulated head's nod.
    EXPECT_TRUE(waitUntil([&] { return std::abs(view->monitoringAngle()) > 1.0f; }, 3000));
    t.shot("6-forward-movement");

    // "move_forward" dragged by its handle to 30 degrees.
    const OX::HeadAngleView::Angle handle = view->angle(QStringLiteral("move_forward"));
    EXPECT_DOUBLE_EQ(handle.value, original.at(ForwardAngleByte) * 0.5);
    const QPointF from = handle.handle;
    const QPointF to = handleAt(view, handle, DraggedForwardAngle);
    ASSERT_TRUE(view->rect().contains(to.toPoint())) << to.x() << "," << to.y();
    QPoint at = from.toPoint();
    QWindow* w = t.screen(view, at);
    QTest::mousePress(w, Qt::LeftButton, {}, at);
    EXPECT_EQ(view->activeName(), QStringLiteral("move_forward")) << "the press lands on the handle";
    constexpr int Steps = 5;
    for (int i = 1; i <= Steps; ++i) {
        QPoint step = (from + (to - from) * i / Steps).toPoint();
        t.screen(view, step);
        QTest::mouseMove(w, step);
        if (i == Steps / 2)
            t.shot("7-dragging");
    }
    QPoint end = to.toPoint();
    t.screen(view, end);
    QTest::mouseRelease(w, Qt::LeftButton, {}, end);
    EXPECT_DOUBLE_EQ(page->parameters().getAngleForward(), DraggedForwardAngle);
    ASSERT_TRUE(t.footerReads(QStringLiteral("Apply|Revert")));
    t.shot("8-dragged");

    // "Apply": the LINK holds the new record.
    const QByteArray edited = t.onPage();
    ASSERT_NE(edited, original);
    EXPECT_EQ(edited.at(ForwardAngleByte), char(DraggedForwardAngle * 2));
    t.click(t.footerButton(0));
    ASSERT_TRUE(t.applied(edited)) << t.onLink().toHex(' ').toStdString();
    ASSERT_TRUE(t.footerReads(QStringLiteral("Reset|Restore")));
    EXPECT_DOUBLE_EQ(view->getAngle(QStringLiteral("move_forward")), DraggedForwardAngle);
    t.shot("9-applied");

    // "Restore", "Apply": the LINK holds its original record again.
    t.click(t.footerButton(1));
    ASSERT_TRUE(t.footerReads(QStringLiteral("Apply|Revert")));
    EXPECT_EQ(t.onPage(), original);
    EXPECT_DOUBLE_EQ(view->getAngle(QStringLiteral("move_forward")), original.at(ForwardAngleByte) * 0.5);
    t.shot("10-restored");
    t.click(t.footerButton(0));
    ASSERT_TRUE(t.applied(original)) << t.onLink().toHex(' ').toStdString();
    ASSERT_TRUE(t.footerReads(QStringLiteral("Reset|")));
    t.shot("11-original-applied");

    EXPECT_TRUE(boxes.unexpected().isEmpty()) << boxes.unexpected().join(", ").toStdString();
    EXPECT_TRUE(t.emulator.errors().isEmpty()) << t.emulator.errors().join("\n").toStdString();
}

} // namespace
