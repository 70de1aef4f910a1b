#include "app/Startup.h"

#include "app/FirstWindowLibraries.h"
#include "app/InstanceSignal.h"
#include "app/LogHandler.h"
#include "app/OrvixDirector.h"
#include "app/RunGuard.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QPointer>
#include <QResource>
#include <QSocketNotifier>

#include <fontconfig/fontconfig.h>

#include <chrono>
#include <functional>
#include <thread>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace
{

// The director a quit signal quits through, once it runs.
QPointer<OrvixDirector> quitThrough;

#ifdef Q_OS_UNIX
// SIGTERM (the session ends) and SIGINT (Ctrl+C) quit as the tray's Quit does, through the
// director: a dongle gets its automatic zeroing back first (within its answer's time-out), then
// the director is torn down and the guard released. A second signal quits at once. The handler
// only writes to a pipe.
int quitPipe[2] = { -1, -1 };

void onQuitSignal(int)
{
    const char byte = 1;
    const ssize_t written = ::write(quitPipe[1], &byte, 1);
    (void)written;
}

// From the moment the guard is won: a signal is remembered in the pipe until the event loop
// reads it.
void installQuitSignals()
{
    if (quitPipe[0] < 0 && ::pipe2(quitPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action = {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

void watchQuitSignals(QCoreApplication& app)
{
    if (quitPipe[0] < 0)
        return;
    auto* notifier = new QSocketNotifier(quitPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        char buffer[16];
        while (::read(quitPipe[0], buffer, sizeof buffer) > 0) { }
        qInfo("Quit requested by a signal");
        if (OrvixDirector* director = quitThrough.data()) {
            quitThrough = nullptr;
            director->onQuitApplication();
        } else {
            QCoreApplication::quit();
        }
    });
}

// A standard output whose reader has gone (a pipe into a closed terminal or pager) must not
// end the application at its next log line; the write fails and the log file keeps the line.
void ignoreBrokenPipes()
{
    std::signal(SIGPIPE, SIG_IGN);
}

void restoreQuitSignals()
{
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
}
#else
void ignoreBrokenPipes() { }
void installQuitSignals() { }
void watchQuitSignals(QCoreApplication&) { }
void restoreQuitSignals() { }
#endif

void setIdentity(const Startup::Hooks& hooks)
{
    QCoreApplication::setApplicationName(QStringLiteral("OrvixTools"));
    QCoreApplication::setApplicationVersion(
        hooks.version.isEmpty() ? QStringLiteral("0.0.0") : hooks.version);
}

void addOptions(QCommandLineParser& parser, const Startup::Hooks& hooks)
{
    parser.setApplicationDescription(hooks.description);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(QCommandLineOption(QStringList { QStringLiteral("t"), QStringLiteral("turbo") },
        QCoreApplication::translate("main", "Turn on turbo mode")));
    parser.addOption(QCommandLineOption(QStringLiteral("service-url"),
        QCoreApplication::translate("main", "Address of the software update service (https)"),
        QStringLiteral("URL")));
    if (hooks.addOptions)
        hooks.addOptions(parser);
}

// True when the command line asks for the help or the version by one of their own names.
bool asksHelpOrVersion(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--")
            break;
        if (arg == "-h" || arg == "--help" || arg == "--help-all" || arg == "-v" || arg == "--version")
            return true;
    }
    return false;
}

// The interface's font is compiled in unpacked: it is handed to the font database where it lies.
// Named by its path, it would be read into memory twice, by the database and by the font engine.
void addInterfaceFont()
{
    const QString path = QStringLiteral(":/fonts/uifont");
    const QResource font(path);
    if (font.isValid() && font.compressionAlgorithm() == QResource::NoCompression)
        QFontDatabase::addApplicationFontFromData(
            QByteArray::fromRawData(reinterpret_cast<const char*>(font.data()), int(font.size())));
    else
        QFontDatabase::addApplicationFont(path);
}

// How long a second start waits for the running copy to take its signal: the running copy
// listens once its first window is drawn (at the latest a second after it asked for it).
constexpr int kSecondStartWaitMs = 3000;
// How long a second start then watches for the guard to fall free: a copy that is quitting
// takes the signal without acting on it, and this start runs in its place once it has gone.
constexpr int kQuittingWaitMs = 2000;
constexpr int kGuardPollMs = 50;

bool waitForGuard(RunGuard& guard)
{
    QElapsedTimer waited;
    waited.start();
    while (!guard.tryToRun()) {
        if (waited.elapsed() >= kQuittingWaitMs)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kGuardPollMs));
    }
    return true;
}

// Work a start does beside the GUI thread, waited for where its result is needed and at the
// latest when it goes: nothing may still run while the application object goes away.
class BesideThread
{
public:
    explicit BesideThread(std::function<void()> work)
    {
        if (work)
            m_thread = std::thread(std::move(work));
    }
    ~BesideThread() { wait(); }
    BesideThread(const BesideThread&) = delete;
    BesideThread& operator=(const BesideThread&) = delete;

    void wait()
    {
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    std::thread m_thread;
};

} // namespace

int Startup::run(int argc, char* argv[], const Hooks& hooks)
{
    if (asksHelpOrVersion(argc, argv)) {
        // Printing the help or the version touches neither the guard, the log nor a window, so
        // it also works while an instance runs and without a display.
        QCoreApplication app(argc, argv);
        setIdentity(hooks);
        QCommandLineParser parser;
        addOptions(parser, hooks);
        parser.process(app);
        return 0;
    }

    const QString instanceName = InstanceSignal::name();
    auto guard = std::make_unique<RunGuard>(instanceName);
    if (guard->guardFile().isEmpty()) {
        // Without a private folder there is neither a guard nor a socket that only this user
        // can own: the start is refused as a failure, never taken for a second start.
        qCritical("OrvixTools cannot start: no private folder could be had for the single-instance guard");
        return 1;
    }
    // Only a guard another copy holds makes this a second start. One that cannot be opened (not
    // a file of this user) is held by nobody: the start fails and says so, rather than ending
    // quietly as if a copy ran. (A copy that quit meanwhile has left the guard free.)
    bool running = guard->tryToRun();
    if (!running && !guard->isAnotherRunning()) {
        running = guard->tryToRun();
        if (!running) {
            qCritical("%s",
                qPrintable(
                    QStringLiteral("OrvixTools cannot start: the single-instance guard [%1] cannot be taken")
                        .arg(guard->guardFile())));
            return 1;
        }
    }
    if (!running) {
        qDebug("OrvixTools already running, exiting ...");
        InstanceSignal::send(instanceName, 500, kSecondStartWaitMs);
        if (!waitForGuard(*guard)) {
            guard.reset();
            return 0;
        }
        qInfo("The running copy has quit meanwhile: starting in its place");
    }
    // The system's font configuration (its files parsed, its font lists read from their caches)
    // is the largest single piece of a start that no window needs before the first text is
    // measured: it is read beside the GUI thread while the log is opened and the application
    // object is made. Reading it is safe beside other threads; whoever asks first without it
    // reads it again, so the interface's font waits for it before it is added.
    BesideThread fonts([] { FcInit(); });
    installQuitSignals();
    ignoreBrokenPipes();

    oxMessageInit();

    auto app = std::make_unique<QApplication>(argc, argv);
    if (hooks.applicationCreated)
        hooks.applicationCreated();
    BesideThread libraries(FirstWindowLibraries::wanted() ? FirstWindowLibraries::load : nullptr);
    setIdentity(hooks);
    watchQuitSignals(*app);
    fonts.wait();
    addInterfaceFont();

    auto parser = std::make_unique<QCommandLineParser>();
    addOptions(*parser, hooks);
    const bool parsed = parser->parse(QCoreApplication::arguments());
    if (!parsed || parser->isSet(QStringLiteral("help")) || parser->isSet(QStringLiteral("help-all"))
        || parser->isSet(QStringLiteral("version"))) {
        // The parser prints the help, the version or the error and ends the process at once;
        // give up the guard before, so nothing is left behind for the next start.
        LogHandler::uninstall();
        guard.reset();
        libraries.wait();
        parser->process(*app);
        return parsed ? 0 : 1;
    }

    std::unique_ptr<OrvixDirector> director = hooks.createDirector ? hooks.createDirector(*parser) : nullptr;
    int exitCode = 1;
    if (director) {
        director->start();
        quitThrough = director.get();
        if (hooks.started)
            hooks.started(*director);
        app->setObjectName(QStringLiteral("Main"));
        exitCode = app->exec();
    }
    restoreQuitSignals();

    // Messages written while the director is torn down take the platform's default output.
    LogHandler::uninstall();

    director.reset();
    if (hooks.finished)
        hooks.finished();
    parser.reset();
    libraries.wait();
    app.reset();
    guard.reset();
    return exitCode;
}
