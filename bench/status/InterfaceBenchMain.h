#pragma once
// The main of the benchmarks that run the interface: the GL set-up the application makes (the
// software rasteriser on the calling thread, the shared context deferred), the application object,
// the skin and its style sheet, quiet logging, then the benchmarks.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLoggingCategory>

#include "ui/toolkit/SharedGlContext.h"
#include "ui/toolkit/Skin.h"

inline int runInterfaceBenchmarks(int argc, char** argv)
{
    OX::SharedGlContext::drawSoftwareGlOnCallingThread();
    OX::SharedGlContext::defer();
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false"));
    OX::Skin::instance()->load(QStringLiteral(":/styles/colors"));
    app.setStyleSheet(OX::Skin::instance()->loadQSS(QStringLiteral(":/styles/global")));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
