#pragma once
// Test helper: prints the emulator's trace when the current test has failed.
//   emu::Emulator e; emu::TraceOnFailure guard(e);
// Only test code includes this header (it needs GoogleTest).
#include "tools/emulator/Emulator.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace emu {

class TraceOnFailure {
public:
    explicit TraceOnFailure(const Emulator& e) : m_e(e) {}
    ~TraceOnFailure()
    {
        if (::testing::Test::HasFailure()) {
            std::fprintf(stderr, "---- emulator trace ----\n%s\n", m_e.traceText().toLocal8Bit().constData());
            const QStringList errors = m_e.errors();
            if (!errors.isEmpty())
                std::fprintf(stderr, "---- emulator errors ----\n%s\n",
                             errors.join(QLatin1Char('\n')).toLocal8Bit().constData());
        }
    }
    TraceOnFailure(const TraceOnFailure&) = delete;
    TraceOnFailure& operator=(const TraceOnFailure&) = delete;

private:
    const Emulator& m_e;
};

} // namespace emu
