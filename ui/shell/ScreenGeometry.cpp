#include "ui/shell/ScreenGeometry.h"

#include <QGuiApplication>
#include <QScreen>

namespace
{

const ScreenGeometry* g_installed = nullptr;

} // namespace

QRect ScreenGeometry::primaryAvailable() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QRect ScreenGeometry::primaryGeometry() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect();
}

QRect ScreenGeometry::availableAt(const QPoint& point) const
{
    const QScreen* screen = QGuiApplication::screenAt(point);
    return screen ? screen->availableGeometry() : primaryAvailable();
}

const ScreenGeometry& ScreenGeometry::current()
{
    static const ScreenGeometry qtScreens;
    return g_installed ? *g_installed : qtScreens;
}

void ScreenGeometry::install(const ScreenGeometry* layout)
{
    g_installed = layout;
}

void ScreenGeometry::watchChanges(QObject* context, std::function<void()> changed)
{
    const auto watch = [context, changed](QScreen* screen) {
        QObject::connect(screen, &QScreen::geometryChanged, context, changed);
        QObject::connect(screen, &QScreen::availableGeometryChanged, context, changed);
    };
    for (QScreen* screen : QGuiApplication::screens())
        watch(screen);
    QObject::connect(qGuiApp, &QGuiApplication::screenAdded, context, [watch, changed](QScreen* screen) {
        watch(screen);
        changed();
    });
    QObject::connect(qGuiApp, &QGuiApplication::screenRemoved, context, changed);
    QObject::connect(qGuiApp, &QGuiApplication::primaryScreenChanged, context, changed);
}
