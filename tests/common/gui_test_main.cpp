// Main of the interface tests: the application as its windows expect it (shared GL contexts,
// the Fusion style, scale factor 1, the bundled font at a fixed size, the real skin, and the style
// sheet ready for our windows and boxes as the application loads it: never on the whole
// application, so that what a test photographs is what a person sees), offscreen unless the test
// was registered for a display.
#include "ui/toolkit/Skin.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QStyleFactory>
#include <gtest/gtest.h>

#include "common/fatal_stops_test.h"

#include "tools/sanitizers/MesaModules.h"

int main(int argc, char** argv)
{
    // A test meant for a display runs offscreen (and skips what needs the display) without one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
        || (qgetenv("QT_QPA_PLATFORM") == "xcb" && qEnvironmentVariableIsEmpty("DISPLAY")))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Offscreen tests draw no GL: keep the offscreen platform off the X server's GLX, whose
    // driver module is unloaded at exit with allocations the leak checker cannot name.
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen")
        qputenv("QT_QPA_OFFSCREEN_NO_GLX", "1");
    else
        sanitizers::pinMesaModules();
    qputenv("QT_SCALE_FACTOR", "1");
    qunsetenv("QT_AUTO_SCREEN_SCALE_FACTOR");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QCoreApplication::setAttribute(Qt::AA_DisableHighDpiScaling);
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const int fontId = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/uifont"));
    if (fontId >= 0) {
        const QStringList families = QFontDatabase::applicationFontFamilies(fontId);
        if (!families.isEmpty()) {
            QFont font(families.first());
            font.setPixelSize(13);
            QApplication::setFont(font);
        }
    }
    OX::Skin::instance()->load(QStringLiteral(":/styles/colors"));
    OX::Skin::instance()->setStyleSheet(OX::Skin::instance()->loadQSS(QStringLiteral(":/styles/global")));
    ::testing::InitGoogleTest(&argc, argv);
    testutil::stopTestsAtFatalFailures();
    return RUN_ALL_TESTS();
}
