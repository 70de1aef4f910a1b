// Easing curves: the program's own rounded constants, continuity of the in-out curves, dispatch.
#include "ui/toolkit/Easing.h"

#include <cmath>
#include <gtest/gtest.h>

namespace
{

TEST(Easing, EndsFollowTheRoundedConstants)
{
    EXPECT_EQ(OX::easeInSine(1), std::sin(1.5707963));
    EXPECT_LT(OX::easeInSine(1), 1.0);
    EXPECT_EQ(OX::easeOutExpo(1), 0.99609375);
    EXPECT_EQ(OX::easeInExpo(0), 0.0);
    EXPECT_EQ(OX::easeInExpo(1), 1.0);
    EXPECT_NEAR(OX::easeInBack(1), 1.0, 1e-12);
    EXPECT_NEAR(OX::easeOutBounce(0), 0.0, 1e-12);
}

TEST(Easing, InOutCurvesMeetAtTheirSwitchPoints)
{
    using Curve = double (*)(double);
    const Curve halves[] = { OX::easeInOutQuad, OX::easeInOutCubic, OX::easeInOutQuart, OX::easeInOutQuint,
        OX::easeInOutCirc, OX::easeInOutSine };
    for (const Curve curve : halves) {
        EXPECT_NEAR(curve(0.5), 0.5, 1e-7);
        EXPECT_NEAR(curve(0.5 - 1e-9), curve(0.5), 1e-4); // circ: a square root at the switch
    }
    EXPECT_EQ(OX::easeInOutExpo(0.5), 0.5);
    EXPECT_NEAR(OX::easeInOutExpo(0.5 - 1e-12), 255.0 / 510, 1e-9);
}

TEST(Easing, DispatchIsLinearOutsideTheTable)
{
    for (const int function : { 0, 31, -1, 1000 })
        EXPECT_EQ(OX::easing(0.3, OX::EasingFunction(function)), 0.3) << function;
    const double ts[] = { -0.5, 0, 0.2, 0.45, 0.5, 0.55, 0.9, 1, 1.5 };
    for (int function = 1; function <= 30; ++function) {
        const double a = OX::easing(0.77, OX::EasingFunction(function));
        EXPECT_NE(a, 0.77) << function; // every entry is a curve, not the linear fallback
    }
    for (const double t : ts) {
        EXPECT_EQ(OX::easing(t, OX::EaseInExpo), OX::easeInExpo(t));
        EXPECT_EQ(OX::easing(t, OX::EaseInOutElastic), OX::easeInOutElastic(t));
        EXPECT_EQ(OX::easing(t, OX::EaseInOutBounce), OX::easeInOutBounce(t));
    }
    EXPECT_TRUE(OX::compare(0.1 + 0.2, 0.3));
    EXPECT_FALSE(OX::compare(1.0, 1.0 + 1e-15));
}

} // namespace
