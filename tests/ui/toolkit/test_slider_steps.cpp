// The slider reports every step a person makes at once (a key, Page Up/Down, a wheel notch, a
// button) and a held handle once it is let go, and stays in step with its inner slider; the steps widget
// moves only within its access rules.
#include "ui/toolkit/Slider.h"
#include "ui/toolkit/StepsWidget.h"

#include "common/gui_util.h"
#include "common/qt_wait.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace
{

void sendMouse(QWidget* w, QEvent::Type type, int x, Qt::MouseButtons held)
{
    const QPoint pos(x, w->height() / 2);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, w->mapToGlobal(pos), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

struct SliderFixture : ::testing::Test {
    SliderFixture()
    {
        slider.resize(500, 40);
        slider.setRange(0, 100);
        slider.show();
        inner = slider.findChild<QSlider*>(QStringLiteral("slider"));
    }
    OX::Slider slider;
    QSlider* inner = nullptr;
};

TEST_F(SliderFixture, DecimalsTakeTheSeparatorOfTheLanguageInUse)
{
    const QLocale before;
    slider.setValueDisplayScale(0.1);
    slider.setValueDisplayPrecision(1);
    slider.setPostfix(QStringLiteral(" s"));
    slider.setValue(7);
    for (const char* code : { "fr", "hu", "en" }) {
        QLocale::setDefault(QLocale(QLatin1String(code)));
        QEvent change(QEvent::LanguageChange); // as a language switch sends it
        QApplication::sendEvent(&slider, &change);
        const bool english = QLatin1String(code) == QLatin1String("en");
        EXPECT_EQ(slider.displayText(), english ? QStringLiteral("0.7 s") : QStringLiteral("0,7 s")) << code;
    }
    QLocale::setDefault(before);
}

TEST_F(SliderFixture, DragShowsEveryValueAndReportsOnceOnRelease)
{
    ASSERT_NE(inner, nullptr);
    slider.setValue(10);
    QSignalSpy reported(&slider, &QAbstractSlider::valueChanged);
    EXPECT_EQ(slider.displayText(), QStringLiteral("10%"));

    // Press on the groove's left end (a click jumps the handle there) and drag right to 60.
    int x = 1;
    sendMouse(inner, QEvent::MouseButtonPress, x, Qt::LeftButton);
    QStringList shown;
    while (inner->value() < 60 && x < inner->width() - 1) {
        sendMouse(inner, QEvent::MouseMove, ++x, Qt::LeftButton);
        if (shown.isEmpty() || shown.last() != slider.displayText())
            shown << slider.displayText();
    }
    ASSERT_EQ(inner->value(), 60);
    EXPECT_TRUE(shown.contains(QStringLiteral("35%")));
    EXPECT_EQ(slider.value(), 60);
    EXPECT_EQ(reported.count(), 0);

    sendMouse(inner, QEvent::MouseButtonRelease, x, Qt::NoButton);
    ASSERT_EQ(reported.count(), 1);
    EXPECT_EQ(reported.at(0).at(0).toInt(), 60);

    // A handle let go where it was reports nothing.
    testutil::releaseHandle(inner);
    EXPECT_EQ(inner->value(), 60);
    EXPECT_EQ(reported.count(), 1);
    testutil::saveScreenshot(&slider, QStringLiteral("slider-at-60"));
}

TEST_F(SliderFixture, ButtonsStepWithinTheRangeAndReportOnlyChanges)
{
    auto* minus = slider.findChild<QToolButton*>(QStringLiteral("decrease_button"));
    auto* plus = slider.findChild<QToolButton*>(QStringLiteral("increase_button"));
    ASSERT_TRUE(minus && plus);
    QSignalSpy reported(&slider, &QAbstractSlider::valueChanged);
    slider.setValue(0);
    minus->click();
    EXPECT_EQ(reported.count(), 0);
    EXPECT_EQ(slider.value(), 0);

    slider.setValue(99);
    EXPECT_EQ(reported.count(), 0); // set by code: shown, not reported
    plus->click();
    plus->click();
    ASSERT_EQ(reported.count(), 1);
    EXPECT_EQ(reported.at(0).at(0).toInt(), 100);
}

TEST_F(SliderFixture, EachKeyPageUpAndWheelStepIsReportedAtOnce)
{
    using testutil::SliderMove;
    slider.setPageStep(10);
    for (SliderMove move : { SliderMove::RightKey, SliderMove::PageUp, SliderMove::WheelUp }) {
        slider.setValue(20);
        QSignalSpy reported(&slider, &QAbstractSlider::valueChanged);
        // On the handle's slider, then on the slider as a whole (as over its buttons or label):
        // two steps, two reports, each before anything else can happen (a click on "Back").
        testutil::moveSlider(inner, move);
        ASSERT_EQ(reported.count(), 1) << testutil::sliderMoveName(move);
        EXPECT_GT(reported.at(0).at(0).toInt(), 20);
        testutil::moveSlider(&slider, move);
        ASSERT_EQ(reported.count(), 2) << testutil::sliderMoveName(move);
        EXPECT_EQ(reported.at(1).at(0).toInt(), slider.value());
        EXPECT_EQ(slider.displayText(), QStringLiteral("%1%").arg(slider.value()));
    }

    // A value set by code is shown, never reported.
    QSignalSpy reported(&slider, &QAbstractSlider::valueChanged);
    slider.setValue(5);
    EXPECT_EQ(reported.count(), 0);
    EXPECT_EQ(inner->value(), 5);
}

TEST(Slider, AKeyItHasNoUseForGoesOnceToItsParent)
{
    struct KeyCount : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            count += event->type() == QEvent::KeyPress ? 1 : 0;
            return false;
        }
    } keys;
    QWidget form;
    form.installEventFilter(&keys);
    auto* slider = new OX::Slider(&form);
    slider->setRange(0, 100);
    auto* inner = slider->findChild<QSlider*>(QStringLiteral("slider"));
    auto* plus = slider->findChild<QToolButton*>(QStringLiteral("increase_button"));
    ASSERT_TRUE(inner && plus);
    QTest::keyClick(inner, Qt::Key_Escape);
    QTest::keyClick(slider, Qt::Key_A);
    QTest::keyClick(plus, Qt::Key_A);
    EXPECT_EQ(keys.count, 3);
    QTest::keyClick(slider, Qt::Key_Right); // one it uses stays with it
    EXPECT_EQ(keys.count, 3);
    EXPECT_EQ(slider->value(), 1);
}

TEST(Slider, AHandleWhoseReleaseIsLostIsLetGoWhereItIsAndReported)
{
    const struct {
        const char* name;
        std::function<void(QWidget& form)> lose;
    } cases[] = {
        { "hidden", [](QWidget& form) { form.hide(); } },
        { "disabled", [](QWidget& form) { form.setEnabled(false); } },
        { "window blocked",
            [](QWidget& form) {
                QEvent blocked(QEvent::WindowBlocked);
                QApplication::sendEvent(&form, &blocked);
            } },
        { "window left",
            [](QWidget& form) {
                QEvent left(QEvent::WindowDeactivate);
                QApplication::sendEvent(&form, &left);
            } },
    };
    for (const auto& c : cases) {
        QWidget form;
        auto* slider = new OX::Slider(&form);
        slider->resize(500, 40);
        slider->setRange(0, 100);
        slider->setValue(10);
        form.show();
        auto* inner = slider->findChild<QSlider*>(QStringLiteral("slider"));
        ASSERT_NE(inner, nullptr);
        QSignalSpy reported(slider, &QAbstractSlider::valueChanged);
        int x = 1;
        sendMouse(inner, QEvent::MouseButtonPress, x, Qt::LeftButton);
        while (inner->value() < 60 && x < inner->width() - 1)
            sendMouse(inner, QEvent::MouseMove, ++x, Qt::LeftButton);
        ASSERT_EQ(slider->value(), 60) << c.name;

        c.lose(form);
        EXPECT_FALSE(inner->isSliderDown()) << c.name;
        ASSERT_EQ(reported.count(), 1) << c.name;
        EXPECT_EQ(reported.at(0).at(0).toInt(), 60) << c.name;
        EXPECT_EQ(slider->displayText(), QStringLiteral("60%")) << c.name;

        // The next key is reported as usual.
        form.setEnabled(true);
        form.show();
        testutil::moveSlider(inner, testutil::SliderMove::RightKey);
        ASSERT_EQ(reported.count(), 2) << c.name;
        EXPECT_EQ(reported.at(1).at(0).toInt(), 61) << c.name;
    }
}

TEST_F(SliderFixture, LabelUsesScalePrecisionAndPostfix)
{
    slider.setValueDisplayScale(0.1);
    slider.setValueDisplayPrecision(1);
    slider.setPostfix(QStringLiteral(" s"));
    slider.setValue(42);
    EXPECT_EQ(slider.displayText(), QStringLiteral("4.2 s"));
}

TEST_F(SliderFixture, SettersThroughTheBaseClassMoveTheHandle)
{
    QAbstractSlider* base = &slider;
    base->setValue(70);
    EXPECT_EQ(inner->value(), 70);
    base->setMaximum(50);
    EXPECT_EQ(inner->maximum(), 50);
    EXPECT_EQ(inner->value(), 50);
    EXPECT_EQ(slider.value(), 50);
    base->setSingleStep(5);
    EXPECT_EQ(inner->singleStep(), 5);
    EXPECT_EQ(slider.displayText(), QStringLiteral("50%"));
}

TEST(StepsWidget, MovesOnlyAsTheAccessRulesAllow)
{
    using A = OX::StepsWidget::Access;
    struct Move {
        int to;
        bool moved;
        int at;
    };
    const struct {
        A forward, backward;
        std::vector<Move> moves;
    } cases[] = {
        { A::Single, A::None, { { 1, true, 1 }, { 3, false, 1 }, { 0, false, 1 }, { 1, false, 1 } } },
        { A::Any, A::None, { { 10, true, 2 }, { 2, false, 2 } } },
        { A::Any, A::Single, { { 2, true, 2 }, { 0, false, 2 }, { 1, true, 1 } } },
        { A::Any, A::Any, { { 2, true, 2 }, { -5, true, 0 }, { -1, false, 0 } } },
    };
    for (const auto& c : cases) {
        OX::StepsWidget steps;
        steps.setSteps(3, c.forward, c.backward);
        QSignalSpy changed(&steps, &OX::StepsWidget::currentStepChanged);
        int expected = 0;
        for (const Move& m : c.moves) {
            EXPECT_EQ(steps.setCurrentStep(m.to), m.moved) << m.to;
            EXPECT_EQ(steps.currentStep(), m.at);
            expected += m.moved ? 1 : 0;
        }
        EXPECT_EQ(changed.count(), expected);
    }
}

TEST(StepsWidget, WithoutStepsNoMoveIsAccepted)
{
    OX::StepsWidget steps;
    steps.setSteps(0, OX::StepsWidget::Any, OX::StepsWidget::Any);
    EXPECT_FALSE(steps.setCurrentStep(1));
    EXPECT_FALSE(steps.setCurrentStep(-1));
    EXPECT_EQ(steps.currentStep(), 0);
    steps.resize(200, 30);
    steps.grab(); // paints nothing, and does not divide by zero
}

TEST(StepsWidget, DotsAreSpreadAndColouredByProgress)
{
    OX::StepsWidget steps;
    steps.setDotColor(Qt::white);
    steps.setVisitedColor(Qt::gray);
    steps.setActiveColor(Qt::cyan);
    steps.setSteps(3, OX::StepsWidget::Single, OX::StepsWidget::None);
    steps.setCurrentStep(1);
    steps.resize(200, 30);
    EXPECT_EQ(testutil::pixelAt(&steps, { 44, 15 }), QColor(Qt::gray));
    EXPECT_EQ(testutil::pixelAt(&steps, { 100, 15 }), QColor(Qt::cyan));
    EXPECT_EQ(testutil::pixelAt(&steps, { 110, 15 }), QColor(Qt::cyan)); // the 24 px current dot
    EXPECT_EQ(testutil::pixelAt(&steps, { 156, 15 }), QColor(Qt::white));
    EXPECT_NE(testutil::pixelAt(&steps, { 166, 15 }), QColor(Qt::white)); // a 15 px dot

    steps.resize(60, 30); // too narrow: nothing drawn
    EXPECT_NE(testutil::pixelAt(&steps, { 30, 15 }), QColor(Qt::cyan));
}

} // namespace
