// The head angle view after a first paint: dragging within limits and snapped, which handle a
// press takes, the needle and its reference, where labels go, the two strengths over and beside
// the head, and views too small for their own geometry. Screenshots of every visualization.
#include "common/gui_util.h"
#include "ui/toolkit/HeadAngleView.h"

#include <QApplication>
#include <QDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QtMath>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using OX::HeadAngleView;

namespace
{

constexpr int Side = 400;

void mouse(HeadAngleView& view, QEvent::Type type, QPointF pos)
{
    Qt::MouseButton const button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, button, type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
        Qt::NoModifier);
    QApplication::sendEvent(&view, &event);
}

// The pointer at distance from the pivot, at angle a of the view's convention.
QPointF at(HeadAngleView const& view, double distance, double a, bool counterClockwise = false)
{
    double const radians = qDegreesToRadians(counterClockwise ? -a : a);
    return view.pivot() + QPointF(distance * std::sin(radians), -distance * std::cos(radians));
}

// Drags the named angle's handle (as the last paint placed it) to each angle in turn.
void drag(HeadAngleView& view, QString const& name, std::initializer_list<double> angles)
{
    view.grab();
    mouse(view, QEvent::MouseButtonPress, view.angle(name).handle);
    for (double a : angles)
        mouse(view, QEvent::MouseMove,
            at(view, 150, a, view.angle(name).orientation == HeadAngleView::CounterClockwise));
    mouse(view, QEvent::MouseButtonRelease, at(view, 150, 0));
}

bool anyWhite(QImage const& image, QRect const& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.rect().contains(x, y) && qGray(image.pixel(x, y)) > 250)
                return true;
    return false;
}

} // namespace

TEST(HeadAngleView, DragsStopAtTheLimitsSnapAndAreReportedOnceOnRelease)
{
    HeadAngleView view;
    view.resize(Side, Side);
    QSignalSpy changed(&view, &HeadAngleView::angleChanged);
    ASSERT_TRUE(
        view.addAngle("move", 5, 30, 10, HeadAngleView::Clockwise, Qt::red, HeadAngleView::Pie, true));
    EXPECT_FALSE(
        view.addAngle("move", 0, 1, 0, HeadAngleView::Clockwise, Qt::blue, HeadAngleView::Pie, false));
    mouse(view, QEvent::MouseButtonPress, view.pivot()); // before a paint no handle is there
    EXPECT_TRUE(view.activeName().isNull());

    drag(view, "move", { 20, 60 });
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(), QStringLiteral("move"));
    EXPECT_EQ(changed.at(0).at(1).toDouble(), 30.0);

    drag(view, "move", { 12.26 });
    EXPECT_EQ(view.getAngle("move"), 12.5);
    drag(view, "move", { 12.24 });
    EXPECT_EQ(view.getAngle("move"), 12.0);

    ASSERT_TRUE(view.setLimits("move", 20, 10)); // minimum above maximum
    drag(view, "move", { 0 });
    EXPECT_EQ(view.getAngle("move"), 20.0);
    drag(view, "move", { 50 });
    EXPECT_EQ(view.getAngle("move"), 20.0);

    ASSERT_TRUE(
        view.addAngle("back", 0, 40, 5, HeadAngleView::CounterClockwise, Qt::red, HeadAngleView::Pie, true));
    drag(view, "back", { -30, 25 }); // counter-clockwise angles open to the left
    EXPECT_EQ(view.getAngle("back"), 25.0);
    EXPECT_FALSE(view.setAngle("nothing", 1));
    EXPECT_EQ(view.getMaximum("nothing"), 0.0);
}

TEST(HeadAngleView, OfOverlappingHandlesTheFirstNameWinsAndAPressAloneReportsTheValue)
{
    HeadAngleView view;
    view.resize(Side, Side);
    QSignalSpy changed(&view, &HeadAngleView::angleChanged);
    view.addAngle("b", 0, 40, 10, HeadAngleView::Clockwise, Qt::red, HeadAngleView::Pie, true);
    view.addAngle("a", 0, 40, 10, HeadAngleView::Clockwise, Qt::blue, HeadAngleView::Pie, true);
    view.addAngle("0", 0, 40, 10, HeadAngleView::Clockwise, Qt::green, HeadAngleView::Pie, false);
    view.grab();
    mouse(view, QEvent::MouseButtonPress, view.angle("b").handle);
    EXPECT_EQ(view.activeName(), QStringLiteral("a"));
    mouse(view, QEvent::MouseButtonRelease, view.angle("b").handle);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(), QStringLiteral("a"));
    EXPECT_EQ(changed.at(0).at(1).toDouble(), 10.0);
    EXPECT_TRUE(view.activeName().isNull());
    // A press off the handle's centre that wobbles by less than a drag is a click: the value stays.
    QPointF const off = view.angle("a").handle + QPointF(4, 0);
    mouse(view, QEvent::MouseButtonPress, off);
    mouse(view, QEvent::MouseMove, off + QPointF(0, 2));
    mouse(view, QEvent::MouseButtonRelease, off + QPointF(0, 2));
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(1).at(1).toDouble(), 10.0);
}

// A drag whose release never reaches the view (the view hidden or disabled, a dialog over its
// window) goes back to the pressed value unreported; a second press during a drag takes nothing.
TEST(HeadAngleView, ADragThatLosesItsReleaseGoesBackUnreported)
{
    QWidget window;
    window.resize(Side, Side);
    auto* view = new HeadAngleView(&window);
    view->resize(Side, Side);
    window.show();
    QSignalSpy changed(view, &HeadAngleView::angleChanged);
    view->addAngle("a", 0, 80, 10, HeadAngleView::Clockwise, Qt::red, HeadAngleView::Pie, true);
    view->addAngle("b", 0, 80, 50, HeadAngleView::Clockwise, Qt::blue, HeadAngleView::Pie, true);
    auto pressAndMove = [view](QString const& name, double a) {
        view->grab();
        mouse(*view, QEvent::MouseButtonPress, view->angle(name).handle);
        mouse(*view, QEvent::MouseMove, at(*view, 150, a));
    };
    std::function<void()> const interruptions[] = {
        [view] { view->hide(); view->show(); },
        [view] { view->setEnabled(false); view->setEnabled(true); },
        [&window] {
            QDialog dialog(&window);
            dialog.setModal(true);
            dialog.show();
        },
    };
    for (auto const& interrupt : interruptions) {
        pressAndMove("a", 30);
        ASSERT_EQ(view->getAngle("a"), 30.0);
        interrupt();
        EXPECT_TRUE(view->activeName().isNull());
        EXPECT_EQ(view->getAngle("a"), 10.0);
        // The next press off every handle drags nothing.
        mouse(*view, QEvent::MouseButtonPress, at(*view, 40, 60));
        mouse(*view, QEvent::MouseMove, at(*view, 150, 60));
        mouse(*view, QEvent::MouseButtonRelease, at(*view, 150, 60));
        EXPECT_EQ(view->getAngle("a"), 10.0);
    }
    EXPECT_EQ(changed.count(), 0);

    // A value given while the handle is held (a record read meanwhile) is the one it goes back to.
    pressAndMove("a", 30);
    view->setAngle("a", 25);
    view->hide();
    view->show();
    EXPECT_EQ(view->getAngle("a"), 25.0);
    view->setAngle("a", 10);
    EXPECT_EQ(changed.count(), 0);

    // A release lost without a sign: the next press of a lone button starts afresh.
    pressAndMove("a", 30);
    mouse(*view, QEvent::MouseButtonPress, view->angle("b").handle);
    EXPECT_EQ(view->activeName(), QStringLiteral("b"));
    EXPECT_EQ(view->getAngle("a"), 10.0);
    view->hide();
    view->show();

    pressAndMove("a", 20);
    QPointF const b = view->angle("b").handle; // hidden while "a" is dragged
    QMouseEvent second(QEvent::MouseButtonPress, b, Qt::RightButton, Qt::LeftButton | Qt::RightButton, {});
    QApplication::sendEvent(view, &second);
    EXPECT_EQ(view->activeName(), QStringLiteral("a"));
    mouse(*view, QEvent::MouseButtonRelease, b);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(), QStringLiteral("a"));
    EXPECT_EQ(changed.at(0).at(1).toDouble(), 20.0);
}

TEST(HeadAngleView, SetCenterMakesTheNextOrientationStraightUp)
{
    HeadAngleView view;
    view.resize(Side, Side);
    EXPECT_EQ(view.monitoringAngle(), 0.0f);
    view.setMonitor(QQuaternion(), HeadAngleView::Pitch);
    QQuaternion const nod = QQuaternion::fromEulerAngles(30, 0, 0);
    view.setMonitor(nod, HeadAngleView::Pitch);
    EXPECT_NEAR(view.monitoringAngle(), 30.0f, 0.01f);
    view.setMonitor(QQuaternion::fromEulerAngles(0, 20, 0), HeadAngleView::Yaw);
    EXPECT_NEAR(view.monitoringAngle(), -20.0f, 0.01f);

    view.show();
    QTest::mouseClick(view.centerButton(), Qt::LeftButton);
    view.setMonitor(nod, HeadAngleView::Pitch);
    EXPECT_NEAR(view.monitoringAngle(), 0.0f, 0.01f);
    QImage const image = view.grab().toImage();
    QPoint const above = (view.pivot() + QPointF(0, -view.radius() / 2)).toPoint();
    EXPECT_EQ(image.pixelColor(above), QColor(Qt::magenta));
}

TEST(HeadAngleView, AClockwiseLabelSitsRightOfThePivotAndACounterClockwiseOneLeft)
{
    for (auto orientation : { HeadAngleView::Clockwise, HeadAngleView::CounterClockwise }) {
        HeadAngleView view;
        view.resize(Side, Side);
        view.addAngle("a", 0, 90, 45, orientation, Qt::blue, HeadAngleView::DashedLine, true);
        QImage const image = view.grab().toImage();
        double const r = view.radius();
        int const baseline = int(view.pivot().y() - r - HeadAngleView::HandleDistance);
        QRect const right(int(view.pivot().x() + r / 2), baseline - 25, 60, 22);
        QRect const left(int(view.pivot().x() - r / 2) - 60, baseline - 25, 60, 22);
        bool const clockwise = orientation == HeadAngleView::Clockwise;
        EXPECT_EQ(anyWhite(image, right), clockwise);
        EXPECT_EQ(anyWhite(image, left), !clockwise);
        EXPECT_EQ(view.angle("a").handle.x() > view.pivot().x(), clockwise);
        testutil::saveScreenshot(
            image, clockwise ? "head-angle-label-clockwise" : "head-angle-label-counterclockwise");
    }
}

TEST(HeadAngleView, AnglesAreHalfStrengthOverTheHeadAndFullBesideIt)
{
    // The left half of the picture is the head (opaque black), the right half transparent.
    QImage picture(100, 100, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    QPainter(&picture).fillRect(0, 0, 50, 100, Qt::black);
    HeadAngleView view;
    view.resize(Side, Side);
    view.setImage(picture, QPoint(0, 0), HeadAngleView::Side);
    view.addAngle("right", 0, 90, 90, HeadAngleView::Clockwise, QColor(0, 0, 255), HeadAngleView::Pie, false);
    view.addAngle(
        "left", 0, 90, 90, HeadAngleView::CounterClockwise, QColor(0, 0, 255), HeadAngleView::Pie, false);
    QImage image(view.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    QColor const outside = image.pixelColor(at(view, view.radius() / 2, 45).toPoint());
    QColor const inside = image.pixelColor(at(view, view.radius() / 2, 45, true).toPoint());
    EXPECT_EQ(outside, QColor(0, 0, 255));
    // Blue darkened by 115 at alpha 127 over black.
    EXPECT_NEAR(inside.blue(), 222 * 127 / 255, 3);
    EXPECT_EQ(inside.alpha(), 255);
}

TEST(HeadAngleView, ViewsTooSmallForTheirGeometryStillPaint)
{
    for (QSize size : { QSize(270, 270), QSize(200, 600), QSize(60, 60), QSize(0, 0) }) {
        HeadAngleView view;
        view.resize(size);
        view.addAngle(
            "down", 0, 90, 20, HeadAngleView::Clockwise, Qt::red, HeadAngleView::FadingToBottom, true);
        view.addAngle(
            "up", 0, 90, 20, HeadAngleView::CounterClockwise, Qt::red, HeadAngleView::FadingToBottom, true);
        QImage const image = view.grab().toImage();
        EXPECT_GE(view.centerButton()->maximumWidth(), 0);
        if (size.width() < 270)
            continue;
        // The fade reaches down below the pivot on the angle's side.
        QColor const below = image.pixelColor(at(view, view.radius() * 0.9, 100).toPoint());
        EXPECT_GT(below.red(), below.blue() + 4) << size.width() << "x" << size.height();
    }
}

TEST(HeadAngleView, EveryVisualizationOverTheSideHead)
{
    QImage const head(QStringLiteral(":/images/head_side"));
    ASSERT_EQ(head.size(), QSize(2048, 2048));
    EXPECT_EQ(qAlpha(head.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(head.pixel(1024, 1283)), 255);
    for (int v = HeadAngleView::Pie; v <= HeadAngleView::FadingToBottom; ++v) {
        HeadAngleView view;
        view.resize(500, 500);
        view.setAutoFillBackground(true); // as on a page
        QPalette palette = view.palette();
        palette.setColor(QPalette::Window, QColor(0x32, 0x32, 0x32));
        view.setPalette(palette);
        view.setImage(head, QPoint(0, 259), HeadAngleView::Side);
        view.addAngle("forward", 0, 40, 25, HeadAngleView::Clockwise, QColor(0x2C, 0xB5, 0xE6),
            HeadAngleView::Visualization(v), true);
        view.addAngle("backward", 0, 40, 15, HeadAngleView::CounterClockwise, QColor(0xE6, 0x7E, 0x22),
            HeadAngleView::Visualization(v), false);
        view.setMonitor(QQuaternion(), HeadAngleView::Pitch);
        view.setMonitor(QQuaternion::fromEulerAngles(10, 0, 0), HeadAngleView::Pitch);
        testutil::saveScreenshot(&view, QStringLiteral("head-angle-visualization-%1").arg(v));
    }
}
