// Shared test main: every test binary gets a QApplication on the offscreen platform
// (unless the environment chose another one), so that timers, queued signals and widgets work.
#include <QApplication>
#include <gtest/gtest.h>

#include "common/fatal_stops_test.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    testutil::stopTestsAtFatalFailures();
    return RUN_ALL_TESTS();
}
