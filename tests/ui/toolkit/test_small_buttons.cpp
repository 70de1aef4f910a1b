// The small buttons: clicks from every mouse button, blinking, key capture, the countdown clock.
#include "ui/toolkit/IconButton.h"
#include "ui/toolkit/KeyboardButton.h"
#include "ui/toolkit/ProgressMarker.h"
#include "ui/toolkit/TimerWidget.h"
#include "ui/toolkit/ToolButton.h"
#include "ui/toolkit/WrappingCheckBox.h"

#include "common/gui_util.h"
#include "common/qt_wait.h"
#include "ui/toolkit/Skin.h"

#include <QPropertyAnimation>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace
{

using testutil::waitUntil;

QIcon solidIcon(const QColor& color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    return QIcon(pixmap);
}

TEST(ToolButton, EveryMouseButtonClicksOnceAndNotWhenLetGoOffTheButton)
{
    for (const Qt::MouseButton button : { Qt::LeftButton, Qt::RightButton, Qt::MiddleButton }) {
        OX::ToolButton tool;
        tool.resize(40, 40);
        QSignalSpy clicked(&tool, &QAbstractButton::clicked);
        QTest::mouseClick(&tool, button);
        EXPECT_EQ(clicked.count(), 1) << button;
        // Pressed, then taken off the button before letting go: no click.
        QTest::mousePress(&tool, button, {}, QPoint(20, 20));
        QTest::mouseRelease(&tool, button, {}, QPoint(90, 20));
        EXPECT_EQ(clicked.count(), 1) << button;
    }
}

TEST(ToolButton, BlinksBetweenTwoIconsAndStopsOnTheSteadyOne)
{
    const QIcon a = solidIcon(Qt::red), b = solidIcon(Qt::green), c = solidIcon(Qt::blue);
    OX::ToolButton tool;
    tool.startBlinking(a, b, 5);
    EXPECT_EQ(tool.icon().cacheKey(), a.cacheKey());
    ASSERT_TRUE(waitUntil([&] { return tool.icon().cacheKey() == b.cacheKey(); }));
    ASSERT_TRUE(waitUntil([&] { return tool.icon().cacheKey() == a.cacheKey(); }));
    tool.setIcon(c); // the new steady icon takes the first phase
    ASSERT_TRUE(waitUntil([&] { return tool.icon().cacheKey() == b.cacheKey(); }));
    tool.stopBlinking();
    EXPECT_FALSE(tool.isBlinking());
    EXPECT_EQ(tool.icon().cacheKey(), c.cacheKey());
}

TEST(KeyboardButton, AKeyWithoutACodeEndsTheCaptureQuietly)
{
    OX::KeyboardButton key;
    QSignalSpy changed(&key, &OX::KeyboardButton::keyCodeChanged);
    key.setChecked(true);
    EXPECT_EQ(key.label(), QStringLiteral("?"));
    QTest::keyClick(&key, Qt::Key_A);
    EXPECT_FALSE(key.isChecked());
    ASSERT_EQ(changed.count(), 1);
    const KeyCode a = key.keyCode();
    EXPECT_NE(a, 0);
    EXPECT_EQ(key.label(), Keyboard::QStringFromKeyCode(a));

    key.setChecked(true);
    QTest::keyClick(&key, Qt::Key_Shift); // a modifier alone has no code
    EXPECT_FALSE(key.isChecked());
    EXPECT_EQ(key.keyCode(), a);
    EXPECT_EQ(changed.count(), 1);
}

TEST(KeyboardButton, AKeyOutsideACaptureWorksTheButtonAndKeepsTheAssignedKey)
{
    OX::KeyboardButton key;
    key.setChecked(true);
    QTest::keyClick(&key, Qt::Key_A);
    const KeyCode a = key.keyCode();
    QSignalSpy changed(&key, &OX::KeyboardButton::keyCodeChanged);

    QTest::keyClick(&key, Qt::Key_B); // tabbed onto the cap and typed: not an assignment
    EXPECT_EQ(key.keyCode(), a);
    QTest::keyClick(&key, Qt::Key_Space); // a keyboard user begins the capture
    EXPECT_TRUE(key.isChecked());
    EXPECT_EQ(changed.count(), 0);
    QTest::keyClick(&key, Qt::Key_B);
    EXPECT_FALSE(key.isChecked());
    EXPECT_EQ(changed.count(), 1);
    EXPECT_NE(key.keyCode(), a);
}

TEST(TimerWidget, ClampsAndCountsDownInWholeSeconds)
{
    OX::TimerWidget timer;
    EXPECT_EQ(timer.progress(), 45);
    timer.setProgress(150);
    EXPECT_EQ(timer.progress(), 100);
    timer.setProgress(-5);
    EXPECT_EQ(timer.progress(), 0);

    timer.start(10000, false);
    const struct {
        int progress, seconds;
    } cases[] = { { 0, 10 }, { 50, 5 }, { 51, 4 }, { 99, 0 }, { 100, 0 } };
    for (const auto& c : cases) {
        timer.setProgress(c.progress);
        EXPECT_EQ(timer.shownSeconds(), c.seconds) << c.progress;
    }
}

TEST(TimerWidget, ARestartLeavesOneAnimationAndOneTimeout)
{
    OX::TimerWidget timer;
    QSignalSpy timeouts(&timer, &OX::TimerWidget::timeout);
    timer.start(60000, false);
    timer.start(20, true);
    testutil::pump();
    EXPECT_EQ(timer.findChildren<QPropertyAnimation*>().size(), 1);
    ASSERT_TRUE(timeouts.wait(testutil::scaled(2000)));
    EXPECT_EQ(timer.progress(), 0);
    testutil::spin(30);
    EXPECT_EQ(timeouts.count(), 1);
    EXPECT_FALSE(timer.isRunning());
}

TEST(SmallButtons, StyleSheetColoursTheirProperties)
{
    OX::ProgressMarker marker(nullptr, 3);
    marker.resize(25, 40);
    EXPECT_EQ(marker.circleRect(), QRectF(2.5, 2.5, 20, 20));
    OX::IconButton icon;
    // Each stands as a window of ours, skinned as the main window is.
    OX::Skin::apply(&marker);
    OX::Skin::apply(&icon);
    icon.setIcon(solidIcon(Qt::red));
    icon.ensurePolished();
    marker.ensurePolished();
    EXPECT_EQ(icon.mode(), QStringLiteral("button"));
    EXPECT_EQ(icon.iconColor(), OX::Skin::color(QStringLiteral("passiveWidgetColor")));
    EXPECT_EQ(marker.color(), OX::Skin::color(QStringLiteral("passiveWidgetColor")));
    const QImage shown = icon.icon().pixmap(icon.iconSize()).toImage();
    EXPECT_EQ(shown.pixelColor(shown.width() / 2, shown.height() / 2),
        OX::Skin::color(QStringLiteral("passiveWidgetColor")));
}

TEST(SmallButtons, AnIconButtonShowsItsIconInTheSkinsDisabledColourWhileDisabled)
{
    OX::IconButton button;
    OX::Skin::apply(&button);
    button.setIcon(solidIcon(Qt::red));
    button.resize(40, 40);
    button.ensurePolished();
    const auto centre = [&button] {
        QImage shot(button.size(), QImage::Format_ARGB32);
        shot.fill(Qt::transparent);
        button.render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
        return shot.pixelColor(shot.width() / 2, shot.height() / 2);
    };
    const QColor passive = OX::Skin::color(QStringLiteral("passiveWidgetColor"));
    const QColor disabled = OX::Skin::color(QStringLiteral("disabledWidgetColor"));
    EXPECT_EQ(centre(), passive);
    button.setEnabled(false);
    EXPECT_EQ(centre(), disabled);
    button.setEnabled(true);
    EXPECT_EQ(centre(), passive);
    // A new icon set while disabled is coloured for both states.
    button.setEnabled(false);
    button.setIcon(solidIcon(Qt::green));
    button.setIconColor(button.iconColor());
    EXPECT_EQ(centre(), disabled);
    // The help and info modes keep their one colour.
    OX::IconButton info;
    info.setProperty("mode", QStringLiteral("info"));
    OX::Skin::apply(&info);
    info.setIcon(solidIcon(Qt::red));
    info.resize(40, 40);
    info.setEnabled(false);
    info.ensurePolished();
    QImage shot(info.size(), QImage::Format_ARGB32);
    shot.fill(Qt::transparent);
    info.render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
    EXPECT_EQ(shot.pixelColor(shot.width() / 2, shot.height() / 2), passive);
}

TEST(SmallButtons, TheStepLineStopsAtTheRingAndLeavesTheNumberClear)
{
    // Lines above and below, which used to reach into the ring over the top and bottom of its digit.
    OX::ProgressMarker marker(nullptr, 8);
    marker.resize(25, 40);
    marker.setColor(Qt::black);
    QImage shot(marker.size(), QImage::Format_RGB32);
    shot.fill(Qt::white);
    marker.render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
    const QRectF ring = marker.circleRect();
    const int x = marker.width() / 2;
    for (int y : { int(ring.top()) + 2, int(ring.bottom()) - 2 })
        EXPECT_EQ(shot.pixelColor(x, y), QColor(Qt::white)) << "inside the ring at " << y;
    for (int y : { 0, marker.height() - 1 })
        EXPECT_EQ(shot.pixelColor(x, y), QColor(Qt::black)) << "the line at " << y;
    testutil::saveScreenshot(shot, QStringLiteral("step-marker-number-clear"));
}

TEST(WrappingCheckBox, ALongTextTakesMoreLinesAndAClickOnAnyOfThemToggles)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* box = new OX::WrappingCheckBox(&window);
    box->setText(
        QStringLiteral("Autorange: allows you to extend the range by moving the cursor out of screen"));
    layout->addWidget(box);
    layout->addStretch();
    window.resize(900, 200);
    window.show();
    EXPECT_EQ(box->shownText(), box->text()) << "one line where it fits";
    const int oneLine = box->height();

    window.resize(260, 200);
    ASSERT_TRUE(testutil::waitUntil([&] { return box->width() < 260; }));
    const QString shown = box->shownText();
    EXPECT_GE(shown.count(QLatin1Char('\n')), 1);
    EXPECT_EQ(QString(shown).replace(QLatin1Char('\n'), QLatin1Char(' ')), box->text()) << "whole";
    EXPECT_GT(box->height(), oneLine) << "as high as its lines";
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() / 2, box->height() - 3));
    EXPECT_TRUE(box->isChecked()) << "the last line toggles it too";
    testutil::saveScreenshot(&window, QStringLiteral("wrapping-check-box"));
}

} // namespace
