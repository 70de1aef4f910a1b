// The application's own start path for the start-up benchmark: the shipped sequence (guard,
// log, application object, style, director, windows), with the update check kept on the
// loopback address and the first window reported.
#include "FirstWindowProbe.h"

#include "app/ApiManager.h"
#include "app/OrvixDirector.h"
#include "app/Startup.h"
#include "ui/shell/ShellDirectorUi.h"

#include <QCommandLineParser>
#include <QUrl>

int main(int argc, char* argv[])
{
    API::setServiceBaseUrl(QUrl(QStringLiteral("http://127.0.0.1:1")));
    Startup::Hooks hooks;
    hooks.createDirector = [](const QCommandLineParser& parser) {
        QCoreApplication::instance()->installEventFilter(new FirstWindowProbe(QCoreApplication::instance()));
        ShellDirectorUi::loadStyle();
        return std::make_unique<OrvixDirector>(parser, std::make_unique<ShellDirectorUi>());
    };
    return Startup::run(argc, argv, hooks);
}
