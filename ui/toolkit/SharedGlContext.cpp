#include "ui/toolkit/SharedGlContext.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QOpenGLContext>
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

// Runs while the application object is destroyed, before the platform's windowing goes.
void destroyDeferred()
{
    qt_gl_set_global_share_context(nullptr);
    delete deferred;
    deferred = nullptr;
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
    if (!qEnvironmentVariableIsSet("LP_NUM_THREADS"))
        qputenv("LP_NUM_THREADS", "0");
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
    if (!deferred->create())
        qWarning("The shared OpenGL context could not be created");
}

} // namespace OX::SharedGlContext
