#include "ui/toolkit/SharedGlContext.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QPlatformSurfaceEvent>
#include <QScreen>
#include <QSurfaceFormat>

// Qt's own registration of the application-wide share context; the web engine registers its
// context through it when nobody did before.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace OX::SharedGlContext
{
namespace
{

QOpenGLContext* deferred = nullptr;

char const* const SoftwareGlThreads = "LP_NUM_THREADS";
// Whether the next GL context made through withSoftwareGlSetting gets the rasteriser's setting.
bool softwareGlSettingPending = false;
// Whether the setting in the environment is the one put there here (not the user's).
bool softwareGlSettingOurs = false;

void putSoftwareGlSetting()
{
    if (softwareGlSettingOurs || qEnvironmentVariableIsSet(SoftwareGlThreads))
        return;
    qputenv(SoftwareGlThreads, "0");
    softwareGlSettingOurs = true;
}

void takeOutSoftwareGlSetting()
{
    if (!softwareGlSettingOurs)
        return;
    qunsetenv(SoftwareGlThreads);
    softwareGlSettingOurs = false;
}

// Runs while the application object is destroyed, before the platform's windowing goes.
void destroyDeferred()
{
    qt_gl_set_global_share_context(nullptr);
    delete deferred;
    deferred = nullptr;
}

// Takes the rasteriser's setting out of the environment once the first window's surface exists,
// with which the windowing has loaded the GL driver.
class FirstSurfaceWatch : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::PlatformSurface
            && static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType()
                == QPlatformSurfaceEvent::SurfaceCreated) {
            takeOutSoftwareGlSetting();
            deleteLater();
            QCoreApplication::instance()->removeEventFilter(this);
        }
        return QObject::eventFilter(watched, event);
    }
};

void watchFirstSurface()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (qobject_cast<QGuiApplication*>(app))
        app->installEventFilter(new FirstSurfaceWatch(app));
    else
        takeOutSoftwareGlSetting(); // no windows in this process
}

} // namespace

void defer()
{
    if (deferred || QCoreApplication::instance())
        return;
    // The attribute makes every window share with the context below once it exists; with a
    // context registered, neither the application object nor the web engine creates one.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    deferred = new QOpenGLContext;
    qt_gl_set_global_share_context(deferred);
    qAddPostRoutine(destroyDeferred);
}

void drawSoftwareGlOnCallingThread()
{
    softwareGlSettingPending = softwareGlSettingOurs || !qEnvironmentVariableIsSet(SoftwareGlThreads);
    if (!softwareGlSettingPending)
        return;
    putSoftwareGlSetting();
    if (QCoreApplication::instance())
        watchFirstSurface();
    else
        qAddPreRoutine(watchFirstSurface);
}

bool withSoftwareGlSetting(const std::function<bool()>& make)
{
    if (!softwareGlSettingPending)
        return make();
    softwareGlSettingPending = false;
    putSoftwareGlSetting();
    bool const made = make();
    takeOutSoftwareGlSetting();
    return made;
}

void ensure()
{
    if (!deferred || deferred->isValid())
        return;
    // Made before the application object, the context has no screen yet.
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    deferred->setScreen(screen);
    deferred->setFormat(QSurfaceFormat::defaultFormat());
    if (!withSoftwareGlSetting([] { return deferred->create(); }))
        qWarning("The shared OpenGL context could not be created");
}

} // namespace OX::SharedGlContext
