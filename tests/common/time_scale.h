#pragma once
// One factor for every time a test depends on: the waits for a condition, the settling pauses
// and the dongle's reply time-outs the fixtures set. A busy machine or a sanitizer build sets
// ORVIX_TEST_TIME_SCALE above 1 (scripts/run-tests.sh does so from the machine's load); unset or
// not a number of at least 1, it is 1.
#include <QString>
#include <QtGlobal>

#include <algorithm>

namespace testutil
{

inline double timeScale()
{
    static const double scale = [] {
        bool ok = false;
        const double value = qEnvironmentVariable("ORVIX_TEST_TIME_SCALE").toDouble(&ok);
        return ok && value >= 1 ? std::min(value, 50.0) : 1.0;
    }();
    return scale;
}

// ms milliseconds on this run's clock.
inline int scaled(int ms)
{
    return qRound(ms * timeScale());
}

} // namespace testutil
