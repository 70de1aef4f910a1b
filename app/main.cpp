// OrvixTools: starts as the one running instance (a second start pokes the running one and
// exits), logs to a file per run, loads the skin and hands over to the director.
#include "app/OrvixDirector.h"
#include "app/Startup.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/ShellDirectorUi.h"
#include "ui/toolkit/OpenGLView.h"
#include "ui/toolkit/SharedGlContext.h"

#include <QCommandLineParser>

#ifndef ORVIXTOOLS_VERSION
#define ORVIXTOOLS_VERSION "0.0.0"
#endif

int main(int argc, char* argv[])
{
    OX::SharedGlContext::drawSoftwareGlOnCallingThread();
    OX::SharedGlContext::defer();
    Startup::Hooks hooks;
    hooks.version = QStringLiteral(ORVIXTOOLS_VERSION);
    hooks.applicationCreated = &ShellDirectorUi::startThreads;
    hooks.createDirector = [](const QCommandLineParser& parser) {
        ShellDirectorUi::loadStyle();
        return std::make_unique<OrvixDirector>(parser, std::make_unique<ShellDirectorUi>());
    };
    hooks.started = [](OrvixDirector&) { OX::OpenGLView::prepareWhenIdle(); }; // once the window is shown
    return Startup::run(argc, argv, hooks);
}
