// The angle gauge's clamp, the overlay and blockSignals helpers, and bubbles that follow
// their target only while they are wanted.
#include "ui/toolkit/AngleView.h"
#include "ui/toolkit/ListRows.h"
#include "ui/toolkit/OverlayWidget.h"
#include "ui/toolkit/Skin.h"
#include "ui/toolkit/WarningBubble.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>
#include <QtTest>
#include <gtest/gtest.h>

#include <limits>

#include "common/gui_util.h"
#include "common/qt_wait.h"

using testutil::pixelAt;
using testutil::waitUntil;

namespace
{

TEST(AngleView, ValueIsClampedToTheMaximumAndNaNGivesNothing)
{
    OX::AngleView view;
    view.setMaxAngle(114.59156f);
    const struct {
        float value;
        float angle;
    } cases[] = { { 0.5f, 57.29578f }, { 1.5f, 114.59156f }, { -0.2f, 0.0f },
        { std::numeric_limits<float>::quiet_NaN(), 0.0f },
        { std::numeric_limits<float>::infinity(), 114.59156f } };
    for (const auto& c : cases) {
        view.setValue(c.value);
        EXPECT_NEAR(view.angle(), c.angle, 1e-3) << c.value;
    }
    view.setAngle(200.0f); // taken as it is
    EXPECT_FLOAT_EQ(view.angle(), 200.0f);
}

TEST(AngleView, VerticalGaugePointsRightWithTheActiveSector)
{
    OX::AngleView view;
    view.resize(100, 60); // diameter 48, centre (50, 30)
    view.setMaxAngle(114.59156f);
    view.setValue(0.5f);
    EXPECT_EQ(pixelAt(&view, { 66, 30 }), OX::Skin::color("angleViewActiveAreaColor"));
    // 50 degrees up: beyond the active half-angle (28.6) but inside the passive one (57.3).
    EXPECT_EQ(pixelAt(&view, { 58, 20 }), OX::Skin::color("angleViewPassiveAreaColor"));
    EXPECT_EQ(pixelAt(&view, { 99, 5 }), OX::Skin::color("angleViewColor")); // reference line
    view.setOrientation(Qt::Horizontal);
    EXPECT_EQ(pixelAt(&view, { 50, 14 }), OX::Skin::color("angleViewActiveAreaColor"));
}

TEST(UiHelpers, BlockSignalsRestoresThePreviousState)
{
    QObject object;
    bool blockedInside = false;
    OX::blockSignals(&object, [&] { blockedInside = object.signalsBlocked(); });
    EXPECT_TRUE(blockedInside);
    EXPECT_FALSE(object.signalsBlocked());
    object.blockSignals(true);
    OX::blockSignals(&object, [] {});
    EXPECT_TRUE(object.signalsBlocked());
}

TEST(OverlayWidget, FollowsItsParentsSizeAndRefusesNoParent)
{
    QWidget parent;
    parent.resize(300, 200);
    parent.show();
    auto* content = new QLabel(QStringLiteral("content"));
    auto* overlay = new OX::OverlayWidget(content, &parent);
    EXPECT_EQ(overlay->size(), QSize(300, 200));
    EXPECT_EQ(content->parentWidget(), overlay);
    parent.resize(420, 250);
    EXPECT_EQ(overlay->size(), QSize(420, 250));

    testutil::LogCapture log;
    QLabel loose;
    OX::OverlayWidget orphan(&loose, nullptr);
    EXPECT_TRUE(log.contains(QStringLiteral("needs a parent")));
    EXPECT_EQ(loose.parentWidget(), nullptr);
}

// A window with a 30-pixel-high field, shown and active.
struct Form {
    QWidget window;
    QLineEdit* field = new QLineEdit(&window);

    Form()
    {
        window.resize(560, 160);
        field->setGeometry(40, 60, 200, 30);
        window.show();
        activate();
    }
    // Makes the window the active one (the offscreen platform activates every dialog shown):
    // true once it is.
    bool activate()
    {
        QApplication::setActiveWindow(&window);
        return waitUntil([this] { return window.isActiveWindow(); }, 2000);
    }
    void send(QEvent::Type type)
    {
        QEvent event(type);
        QCoreApplication::sendEvent(&window, &event);
    }
};

TEST(Bubble, StandsBesideTheFieldAndFollowsItsWindow)
{
    Form form;
    ASSERT_TRUE(form.activate());
    OX::WarningBubble bubble;
    bubble.showBubble(form.field, OX::Bubble::Right, QStringLiteral("The passwords differ"));
    ASSERT_TRUE(bubble.isVisible());
    const QPoint fieldRight = form.field->mapToGlobal(QPoint(form.field->width(), 0));
    EXPECT_EQ(bubble.x(), fieldRight.x()); // the arrow's tip touches the field
    EXPECT_EQ(bubble.y() + bubble.height() / 2, fieldRight.y() + 15);

    form.window.move(form.window.pos() + QPoint(30, 20));
    ASSERT_TRUE(
        waitUntil([&] { return bubble.x() == form.field->mapToGlobal(QPoint(form.field->width(), 0)).x(); }));

    form.send(QEvent::WindowDeactivate);
    EXPECT_FALSE(bubble.isVisible());
    form.send(QEvent::WindowActivate);
    EXPECT_TRUE(bubble.isVisible());
    bubble.setWindowOpacity(1.0);
    testutil::saveScreenshot(bubble.grab().toImage(), QStringLiteral("warning-bubble"));
    QImage scene = form.window.grab().toImage();
    {
        QPainter p(&scene);
        p.drawImage(form.window.mapFromGlobal(bubble.pos()), bubble.grab().toImage());
    }
    testutil::saveScreenshot(scene, QStringLiteral("warning-bubble-beside-field"));
}

// Shown again while it shows, for another field or from another side: it moves there.
TEST(Bubble, ShownAgainItStandsBesideItsNewTarget)
{
    Form form;
    auto* second = new QLineEdit(&form.window);
    second->setGeometry(40, 110, 200, 30);
    second->show();
    ASSERT_TRUE(form.activate());
    OX::WarningBubble bubble;
    bubble.showBubble(form.field, OX::Bubble::Right, QStringLiteral("x"));
    ASSERT_TRUE(bubble.isVisible());
    bubble.showBubble(second, OX::Bubble::Right, QStringLiteral("y"));
    EXPECT_EQ(bubble.y() + bubble.height() / 2, second->mapToGlobal(QPoint(0, 15)).y());
    bubble.showBubble(second, OX::Bubble::Left, QStringLiteral("y"));
    EXPECT_EQ(bubble.x() + bubble.width(), second->mapToGlobal(QPoint(0, 0)).x());
}

TEST(Bubble, ALongWarningWrapsInsideTheScreen)
{
    Form form;
    const QRect screen = form.window.screen()->availableGeometry();
    // The room a 1366 by 768 screen leaves right of the password field of the centred window.
    constexpr int Room = 420;
    const QPoint moved(screen.right() + 1 - Room - form.field->geometry().right() - 1, screen.top() + 100);
    form.window.move(moved);
    ASSERT_TRUE(waitUntil([&] { return form.window.pos() == moved; }));
    ASSERT_TRUE(form.activate());
    OX::WarningBubble bubble;
    const QString text = QStringLiteral("Seuls les lettres, les chiffres et les signes sans accents peuvent "
                                        "être utilisés, pas \u201c\u00e9\u201d.");
    bubble.showBubble(form.field, OX::Bubble::Right, text);
    ASSERT_TRUE(bubble.isVisible());
    EXPECT_TRUE(screen.contains(bubble.frameGeometry())) << bubble.frameGeometry().right();
    EXPECT_EQ(bubble.x(), form.field->mapToGlobal(QPoint(form.field->width(), 0)).x()); // beside the field
    auto* label = bubble.findChild<QLabel*>();
    EXPECT_GE(label->height(), label->heightForWidth(label->width())) << "the whole text shows";
    bubble.setWindowOpacity(1.0);
    testutil::saveScreenshot(bubble.grab().toImage(), QStringLiteral("warning-bubble-wrapped"));

    // Short again: one line.
    bubble.showBubble(form.field, OX::Bubble::Right, QStringLiteral("x"));
    EXPECT_FALSE(label->wordWrap());
}

TEST(Bubble, AWithdrawnWarningDoesNotComeBackWithItsWindow)
{
    Form form;
    OX::WarningBubble bubble;
    bubble.showBubble(form.field, OX::Bubble::Below, QStringLiteral("x"));
    bubble.hideBubble();
    ASSERT_TRUE(waitUntil([&] { return !bubble.isVisible(); }, 3000));
    form.send(QEvent::WindowDeactivate);
    form.send(QEvent::WindowActivate);
    form.field->hide();
    form.field->show();
    EXPECT_FALSE(bubble.isVisible());
    bubble.hideBubble(); // on a hidden bubble: nothing
    ASSERT_TRUE(form.activate());
    bubble.showBubble(form.field, OX::Bubble::Below, QStringLiteral("x"));
    EXPECT_TRUE(bubble.isVisible());
}

// The field's part of the page is hidden while the window stays: the bubble goes with the field
// and does not come back when the window is activated or shown again, only with the field.
TEST(Bubble, AHiddenFieldKeepsItsBubbleAwayUntilItShows)
{
    Form form;
    auto* part = new QWidget(&form.window);
    part->setGeometry(0, 0, 400, 140);
    form.field->setParent(part);
    part->show();
    form.field->show();
    ASSERT_TRUE(form.activate());
    OX::WarningBubble bubble;
    bubble.showBubble(form.field, OX::Bubble::Right, QStringLiteral("x"));
    ASSERT_TRUE(bubble.isVisible());
    part->hide();
    EXPECT_FALSE(bubble.isVisible());
    form.send(QEvent::WindowDeactivate);
    form.send(QEvent::WindowActivate);
    EXPECT_FALSE(bubble.isVisible());
    QShowEvent shown;
    QCoreApplication::sendEvent(&form.window, &shown);
    EXPECT_FALSE(bubble.isVisible());
    part->show();
    EXPECT_TRUE(bubble.isVisible());
}

TEST(Bubble, InactiveWindowShowsNothingAndADeletedTargetIsLeftAlone)
{
    Form form;
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    ASSERT_TRUE(waitUntil([&] { return !form.window.isActiveWindow(); }, 2000));
    OX::WarningBubble bubble;
    bubble.showBubble(form.field, OX::Bubble::Left, QStringLiteral("x"));
    EXPECT_FALSE(bubble.isVisible());
    EXPECT_EQ(bubble.target(), form.field);

    form.send(QEvent::WindowActivate);
    EXPECT_TRUE(bubble.isVisible());
    delete form.field;
    EXPECT_EQ(bubble.target(), nullptr);
    EXPECT_FALSE(bubble.isVisible());
    form.window.move(form.window.pos() + QPoint(5, 5));
    form.send(QEvent::WindowActivate);
    form.send(QEvent::WindowDeactivate);
    EXPECT_FALSE(bubble.isVisible());
}

} // namespace
