#pragma once
// One run of the application, shared by the shipped executable and its development variant:
// the single-instance guard (a second start pokes the running copy and exits with 0), the log,
// the application object with its font and command line, the director that the caller builds,
// the event loop, and the teardown in the reverse order of the start.
#include <QString>

#include <functional>
#include <memory>

class OrvixDirector;
class QCommandLineParser;

namespace Startup {

struct Hooks {
    // The command line's description and the application's version.
    QString description = QStringLiteral("Orvix tools command line");
    QString version;
    // Options of this executable, added after the help, version and turbo options.
    std::function<void(QCommandLineParser& parser)> addOptions;
    // Called as soon as the application object exists, before the GL driver's load beside the
    // start, the font, the command line and the director: work that can run beside the start
    // begins here, and so do the threads the first window needs (no thread can start while
    // another loads a library).
    std::function<void()> applicationCreated;
    // Builds the director (not yet started) once the application object exists and the command
    // line is parsed; loading the skin is the caller's first step here. A null director ends
    // the run with the exit code 1.
    std::function<std::unique_ptr<OrvixDirector>(const QCommandLineParser& parser)> createDirector;
    // Called once the director has started, before the event loop runs.
    std::function<void(OrvixDirector& director)> started;
    // Called after the director is destroyed (or was not built), before the application object
    // is destroyed.
    std::function<void()> finished;
};

// The whole run; returns the process exit code.
int run(int argc, char* argv[], const Hooks& hooks);

} // namespace Startup
