// The application's own start path for the start-up and memory benchmarks: the shipped sequence
// (guard, log, application object, style, director, windows), with the update check kept on the
// loopback address and the first window reported. Staying after it (ORVIX_BENCH_STAY), the
// line "help" opens Help as the header's help button does and prints "help shown" once the
// manual shows. ORVIX_PUBLIC_SHARE set starts with Qt's public Qt::AA_ShareOpenGLContexts
// instead of the deferred shared context, to compare their start-up.
#include "BenchCommands.h"
#include "FirstWindowProbe.h"

#include "app/ApiManager.h"
#include "app/OrvixDirector.h"
#include "app/Startup.h"
#include "ui/pages/HelpPage.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/ShellDirectorUi.h"
#include "ui/toolkit/OpenGLView.h"
#include "ui/toolkit/SharedGlContext.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <QUrl>

#include <cstdio>

namespace
{

constexpr int kPollMs = 20;

MainWindow* mainWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<MainWindow*>(widget))
            return window;
    return nullptr;
}

void openHelp()
{
    MainWindow* window = mainWindow();
    if (!window) {
        std::fputs("no main window\n", stdout);
        std::fflush(stdout);
        return;
    }
    window->perform(OX::PageAction::help, nullptr);
    auto* poll = new QTimer(window);
    QObject::connect(poll, &QTimer::timeout, window, [window, poll] {
        auto* help = window->findChild<OX::HelpPage*>();
        if (!help || !help->isReady() || !help->view() || !help->view()->isVisible())
            return;
        poll->deleteLater();
        std::fputs("help shown\n", stdout);
        std::fflush(stdout);
    });
    poll->start(kPollMs);
}

} // namespace

int main(int argc, char* argv[])
{
    OX::SharedGlContext::drawSoftwareGlOnCallingThread();
    if (qEnvironmentVariableIsSet("ORVIX_PUBLIC_SHARE"))
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    else
        OX::SharedGlContext::defer();
    API::setServiceBaseUrl(QUrl(QStringLiteral("http://127.0.0.1:1")));
    const bool stay = BenchCommands::stayAfterFirstWindow();
    Startup::Hooks hooks;
    hooks.applicationCreated = &ShellDirectorUi::startThreads;
    hooks.createDirector = [stay](const QCommandLineParser& parser) {
        QCoreApplication::instance()->installEventFilter(
            new FirstWindowProbe(QCoreApplication::instance(), stay));
        ShellDirectorUi::loadStyle();
        return std::make_unique<OrvixDirector>(parser, std::make_unique<ShellDirectorUi>());
    };
    hooks.started = [stay](OrvixDirector&) {
        OX::OpenGLView::prepareWhenIdle(); // as the application does once its window is shown
        if (!stay)
            return;
        new BenchCommands(
            [](const QByteArray& line) {
                if (line == "help")
                    openHelp();
            },
            QCoreApplication::instance());
    };
    return Startup::run(argc, argv, hooks);
}
