#pragma once
// Thirty easing curves: each maps a progress t (normally 0 to 1) to an eased progress. These are
// our own compact formulas (several differ from other published curves of the same names, e.g.
// easeInSine(1) is sin(1.5707963), just below 1). No curve clamps t. Pure functions; any thread.
#include <QtGlobal>

namespace OX
{

// 0 and any value outside 1..30 are linear.
enum EasingFunction : qint32 {
    Linear = 0,
    EaseInSine,
    EaseOutSine,
    EaseInOutSine,
    EaseInQuad,
    EaseOutQuad,
    EaseInOutQuad,
    EaseInCubic,
    EaseOutCubic,
    EaseInOutCubic,
    EaseInQuart,
    EaseOutQuart,
    EaseInOutQuart,
    EaseInQuint,
    EaseOutQuint,
    EaseInOutQuint,
    EaseInExpo,
    EaseOutExpo,
    EaseInOutExpo,
    EaseInCirc,
    EaseOutCirc,
    EaseInOutCirc,
    EaseInBack,
    EaseOutBack,
    EaseInOutBack,
    EaseInElastic,
    EaseOutElastic,
    EaseInOutElastic,
    EaseInBounce,
    EaseOutBounce,
    EaseInOutBounce,
};

double easeInSine(double t);
double easeOutSine(double t);
double easeInOutSine(double t);
double easeInQuad(double t);
double easeOutQuad(double t);
double easeInOutQuad(double t);
double easeInCubic(double t);
double easeOutCubic(double t);
double easeInOutCubic(double t);
double easeInQuart(double t);
double easeOutQuart(double t);
double easeInOutQuart(double t);
double easeInQuint(double t);
double easeOutQuint(double t);
double easeInOutQuint(double t);
double easeInExpo(double t);
double easeOutExpo(double t);
double easeInOutExpo(double t);
double easeInCirc(double t);
double easeOutCirc(double t);
double easeInOutCirc(double t);
double easeInBack(double t);
double easeOutBack(double t);
double easeInOutBack(double t);
double easeInElastic(double t);
double easeOutElastic(double t);
double easeInOutElastic(double t);
double easeInBounce(double t);
double easeOutBounce(double t);
double easeInOutBounce(double t);

// The chosen curve at t; t itself for Linear and any unknown value.
double easing(double t, EasingFunction function);

// True when a and b differ by less than the double-precision machine epsilon.
bool compare(double a, double b);

} // namespace OX
