// The slider reports once per choice (release or button) and stays in step with its inner slider;
// the steps widget moves only within its access rules.
#include "ui/toolkit/StepsWidget.h"

#include "common/gui_util.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <vector>

namespace
{

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
