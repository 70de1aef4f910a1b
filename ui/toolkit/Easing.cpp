#include "ui/toolkit/Easing.h"

#include <cmath>

namespace OX
{

namespace
{
// The curves' own rounded constants, not the full-precision ones.
constexpr double HalfPi = 1.5707963;
constexpr double SinePi = 3.1415926;
constexpr double Pi = 3.1415926545; // elastic and bounce curves
constexpr double Back = 1.70158;
constexpr double BackPlusOne = 2.70158;
constexpr double Epsilon = 2.220446049250313e-16;

double pow2(double x)
{
    return x * x;
}
double pow3(double x)
{
    return x * x * x;
}
double pow4(double x)
{
    return pow2(pow2(x));
}
double pow5(double x)
{
    return pow4(x) * x;
}
} // namespace

double easeInSine(double t)
{
    return std::sin(HalfPi * t);
}
double easeOutSine(double t)
{
    return 1 + std::sin(HalfPi * (t - 1));
}
double easeInOutSine(double t)
{
    return 0.5 * (1 + std::sin(SinePi * (t - 0.5)));
}
double easeInQuad(double t)
{
    return pow2(t);
}
double easeOutQuad(double t)
{
    return t * (2 - t);
}
double easeInOutQuad(double t)
{
    return t < 0.5 ? 2 * pow2(t) : t * (4 - 2 * t) - 1;
}
double easeInCubic(double t)
{
    return pow3(t);
}
double easeOutCubic(double t)
{
    return 1 + pow3(t - 1);
}
double easeInOutCubic(double t)
{
    return t < 0.5 ? 4 * pow3(t) : 1 + 4 * pow3(t - 1);
}
double easeInQuart(double t)
{
    return pow4(t);
}
double easeOutQuart(double t)
{
    return 1 - pow4(t - 1);
}
double easeInOutQuart(double t)
{
    return t < 0.5 ? 8 * pow4(t) : 1 - 8 * pow4(t - 1);
}
double easeInQuint(double t)
{
    return pow5(t);
}
double easeOutQuint(double t)
{
    return 1 + pow5(t - 1);
}
double easeInOutQuint(double t)
{
    return t < 0.5 ? 16 * pow5(t) : 1 + 16 * pow5(t - 1);
}
double easeInExpo(double t)
{
    return (std::exp2(8 * t) - 1) / 255;
}
double easeOutExpo(double t)
{
    return 1 - std::exp2(-8 * t);
}
double easeInOutExpo(double t)
{
    return t < 0.5 ? (std::exp2(16 * t) - 1) / 510 : 1 - 0.5 * std::exp2(-16 * (t - 0.5));
}
double easeInCirc(double t)
{
    return 1 - std::sqrt(1 - t);
}
double easeOutCirc(double t)
{
    return std::sqrt(t);
}
double easeInOutCirc(double t)
{
    return t < 0.5 ? (1 - std::sqrt(1 - 2 * t)) * 0.5 : (1 + std::sqrt(2 * t - 1)) * 0.5;
}
double easeInBack(double t)
{
    return pow2(t) * (BackPlusOne * t - Back);
}
double easeOutBack(double t)
{
    const double u = t - 1;
    return 1 + pow2(u) * (BackPlusOne * u + Back);
}
double easeInOutBack(double t)
{
    const double u = t - 1;
    return t < 0.5 ? 2 * pow2(t) * (7 * t - 2.5) : 1 + 2 * pow2(u) * (7 * u + 2.5);
}
double easeInElastic(double t)
{
    return pow4(t) * std::sin(4.5 * Pi * t);
}
double easeOutElastic(double t)
{
    return 1 - pow4(t - 1) * std::cos(4.5 * Pi * t);
}
double easeInOutElastic(double t)
{
    if (t < 0.45)
        return 8 * pow4(t) * std::sin(9 * Pi * t);
    if (t < 0.55)
        return 0.5 + 0.75 * std::sin(4 * Pi * t);
    return 1 - 8 * pow4(t - 1) * std::sin(9 * Pi * t);
}
double easeInBounce(double t)
{
    return std::exp2(6 * (t - 1)) * std::abs(std::sin(3.5 * Pi * t));
}
double easeOutBounce(double t)
{
    return 1 - std::exp2(-6 * t) * std::abs(std::cos(3.5 * Pi * t));
}
double easeInOutBounce(double t)
{
    return t < 0.5 ? 8 * std::exp2(8 * (t - 1)) * std::abs(std::sin(7 * Pi * t))
                   : 1 - 8 * std::exp2(-8 * t) * std::abs(std::sin(7 * Pi * t));
}

double easing(double t, EasingFunction function)
{
    using Curve = double (*)(double);
    static constexpr Curve curves[] = {
        easeInSine,
        easeOutSine,
        easeInOutSine,
        easeInQuad,
        easeOutQuad,
        easeInOutQuad,
        easeInCubic,
        easeOutCubic,
        easeInOutCubic,
        easeInQuart,
        easeOutQuart,
        easeInOutQuart,
        easeInQuint,
        easeOutQuint,
        easeInOutQuint,
        easeInExpo,
        easeOutExpo,
        easeInOutExpo,
        easeInCirc,
        easeOutCirc,
        easeInOutCirc,
        easeInBack,
        easeOutBack,
        easeInOutBack,
        easeInElastic,
        easeOutElastic,
        easeInOutElastic,
        easeInBounce,
        easeOutBounce,
        easeInOutBounce,
    };
    const int index = int(function) - 1;
    if (index < 0 || index >= int(sizeof(curves) / sizeof(curves[0])))
        return t;
    return curves[index](t);
}

bool compare(double a, double b)
{
    return std::abs(a - b) < Epsilon;
}

} // namespace OX
