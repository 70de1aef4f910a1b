#pragma once
// A fatal failure ends its whole test, also when it comes from a helper: a set-up helper whose
// ASSERT failed never lets the test go on into a page or dongle it did not make.
#include <gtest/gtest.h>

namespace testutil
{

class FatalStopsTest : public ::testing::EmptyTestEventListener
{
    void OnTestPartResult(::testing::TestPartResult const& result) override
    {
        if (result.fatally_failed())
            throw ::testing::AssertionException(result);
    }
};

// Call after InitGoogleTest.
inline void stopTestsAtFatalFailures()
{
    ::testing::UnitTest::GetInstance()->listeners().Append(new FatalStopsTest);
}

} // namespace testutil
