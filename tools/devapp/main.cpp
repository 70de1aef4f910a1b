// orvixtools-dev: OrvixTools against the device emulator. The emulated dongle sits on a
// pseudo-terminal that stands in for the dongle's USB serial port, a headset streams its
// status through it, and the USB bus reports the dongle while it is plugged in. Everything else
// is the application as shipped: single instance, log file, settings store, windows, tray.
//
// Lines typed on standard input drive the emulated devices:
//   unplug | plug | headset off | headset on | active | passive | link | pc | quit
#include "DevUsbBackend.h"

#include "app/InstanceSignal.h"
#include "app/LogHandler.h"
#include "app/OrvixDirector.h"
#include "app/RunGuard.h"
#include "tools/emulator/Emulator.h"
#include "ui/shell/ShellDirectorUi.h"
#include "ui/toolkit/Skin.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFontDatabase>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <memory>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

#ifndef ORVIXTOOLS_VERSION
#define ORVIXTOOLS_VERSION "0.0.0"
#endif

namespace {

#ifdef Q_OS_UNIX
int quitPipe[2] = {-1, -1};

void onQuitSignal(int)
{
    const char byte = 1;
    const ssize_t written = ::write(quitPipe[1], &byte, 1);
    (void)written;
}

void watchQuitSignals(QCoreApplication& app)
{
    if (::pipe2(quitPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action = {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    auto* notifier = new QSocketNotifier(quitPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        char buffer[16];
        while (::read(quitPipe[0], buffer, sizeof buffer) > 0) {
        }
        qInfo("Quit requested by a signal");
        QCoreApplication::quit();
    });
}
#else
void watchQuitSignals(QCoreApplication&) {}
#endif

void addOptions(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral("Orvix tools command line (device emulator)"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("t"), QStringLiteral("turbo")},
                                        QCoreApplication::translate("main", "Turn on turbo mode")));
    parser.addOption(QCommandLineOption(QStringLiteral("no-headset"), QStringLiteral("Start without the headset.")));
    parser.addOption(QCommandLineOption(QStringLiteral("links"), QStringLiteral("LINK modules on the radio."),
                                        QStringLiteral("count"), QStringLiteral("1")));
    parser.addOption(QCommandLineOption(QStringLiteral("time-scale"),
                                        QStringLiteral("Speed of the emulated devices' own periods (1 = real time)."),
                                        QStringLiteral("factor"), QStringLiteral("1")));
    parser.addOption(QCommandLineOption(QStringLiteral("settings"),
                                        QStringLiteral("Settings file to use instead of the user's settings store."),
                                        QStringLiteral("file")));
    parser.addOption(QCommandLineOption(QStringLiteral("trace"), QStringLiteral("Print the emulator's trace.")));
}

// The emulated devices, driven by lines on standard input.
void runCommand(emu::Emulator& emulator, const QString& line)
{
    const QString command = line.trimmed().toLower();
    if (command.isEmpty())
        return;
    if (command == QLatin1String("unplug")) {
        emulator.unplug();
    } else if (command == QLatin1String("plug")) {
        emulator.plugIn();
    } else if (command == QLatin1String("headset off")) {
        emulator.headsetPower(false);
    } else if (command == QLatin1String("headset on")) {
        emulator.headsetPower(true);
    } else if (command == QLatin1String("active") || command == QLatin1String("passive")) {
        const emu::HeadsetModel h = emulator.headset();
        emulator.setHeadsetControl(h.moduleAddress, h.modulePort, command == QLatin1String("active") ? 1 : 0);
    } else if (command == QLatin1String("link")) {
        emulator.setHeadsetControl(3, 1, emulator.headset().control);
    } else if (command == QLatin1String("pc")) {
        emulator.setHeadsetControl(emulator.dongle().address, 1, emulator.headset().control);
    } else if (command == QLatin1String("quit")) {
        QCoreApplication::quit();
        return;
    } else {
        std::fprintf(stderr, "commands: unplug, plug, headset off, headset on, active, passive, link, pc, quit\n");
        return;
    }
    qInfo().noquote() << "Emulator:" << command;
}

void watchCommands(QCoreApplication& app, emu::Emulator& emulator)
{
#ifdef Q_OS_UNIX
    if (!::isatty(STDIN_FILENO) && ::fcntl(STDIN_FILENO, F_GETFL) == -1)
        return;
    auto* notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier, &emulator] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer - 1);
        if (n <= 0) {
            notifier->setEnabled(false); // end of input: the run goes on
            return;
        }
        buffer[n] = 0;
        const QStringList lines = QString::fromLocal8Bit(buffer).split(QLatin1Char('\n'));
        for (const QString& line : lines)
            runCommand(emulator, line);
    });
#else
    Q_UNUSED(app);
    Q_UNUSED(emulator);
#endif
}

} // namespace

int main(int argc, char* argv[])
{
    const QString instanceName = InstanceSignal::name();
    auto guard = std::make_unique<RunGuard>(instanceName);
    if (!guard->tryToRun()) {
        qDebug("OrvixTools already running, exiting ...");
        InstanceSignal::send(instanceName, 500);
        return 0;
    }

    oxMessageInit();
    auto app = std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("OrvixTools"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVIXTOOLS_VERSION));
    watchQuitSignals(*app);
    QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/uifont"));

    auto parser = std::make_unique<QCommandLineParser>();
    addOptions(*parser);
    if (!parser->parse(QCoreApplication::arguments()) || parser->isSet(QStringLiteral("help"))
        || parser->isSet(QStringLiteral("version"))) {
        LogHandler::uninstall();
        guard.reset();
        parser->process(*app);
        return 1;
    }

    // The emulated devices: the dongle on a pseudo-terminal, a headset streaming, LINKs.
    emu::Options options;
    options.timeScale = qBound(0.01, parser->value(QStringLiteral("time-scale")).toDouble(), 100.0);
    options.traceToStderr = parser->isSet(QStringLiteral("trace"));
    auto emulator = std::make_unique<emu::Emulator>(options);
    QString error;
    if (!emulator->start(&error)) {
        qCritical().noquote() << "The device emulator did not start:" << error;
        LogHandler::uninstall();
        return 1;
    }
    if (!parser->isSet(QStringLiteral("no-headset")))
        emulator->addHeadset();
    const int links = qBound(0, parser->value(QStringLiteral("links")).toInt(), 4);
    for (int i = 0; i < links; ++i) {
        emu::LinkModel link;
        link.address = quint8(3 + i);
        emulator->addLink(link);
    }
    qInfo().noquote() << "Emulated dongle at" << emulator->portPath();

    OX::Skin::instance()->load(QStringLiteral(":/styles/colors"));
    app->setStyleSheet(OX::Skin::instance()->loadQSS(QStringLiteral(":/styles/global")));

    DirectorEnvironment env;
    emu::Emulator* devices = emulator.get();
    env.listPorts = [devices]() {
        QList<SerialPortEntry> ports;
        if (!devices->isPlugged())
            return ports;
        SerialPortEntry entry;
        entry.portName = QStringLiteral("ttyEMU0");
        entry.description = QStringLiteral("Orvix dongle (emulated)");
        entry.systemLocation = devices->portPath();
        entry.vendorId = OrvixDirector::DongleVendorId;
        entry.productId = OrvixDirector::DongleProductId;
        entry.hasVendorId = true;
        entry.hasProductId = true;
        ports << entry;
        return ports;
    };
    env.usbBackend = std::make_unique<DevUsbBackend>(*devices);
    env.settingsFile = parser->value(QStringLiteral("settings"));

    auto director = std::make_unique<OrvixDirector>(*parser, std::make_unique<ShellDirectorUi>(), std::move(env));
    director->start();
    watchCommands(*app, *devices);

    app->setObjectName(QStringLiteral("Main"));
    const int exitCode = app->exec();
    LogHandler::uninstall();

    director.reset();
    emulator.reset();
    parser.reset();
    app.reset();
    guard.reset();
    return exitCode;
}
