// orvixtools-dev: OrvixTools against the device emulator. The emulated dongle sits on a
// pseudo-terminal that stands in for the dongle's USB serial port, a headset streams its
// status through it, and the USB bus reports the dongle while it is plugged in. Everything else
// is the application as shipped: single instance, log file, settings store, windows, tray.
//
// Lines typed on standard input drive the emulated devices:
//   unplug | plug | headset off | headset on | active | passive | link | pc | quit
#include "DevUsbBackend.h"

#include "app/OrvixDirector.h"
#include "app/Startup.h"
#include "tools/emulator/Emulator.h"
#include "ui/shell/ShellDirectorUi.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QtDebug>

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

// The emulator's options, after the application's own.
void addOptions(QCommandLineParser& parser)
{
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
    parser.addOption(QCommandLineOption(
        QStringLiteral("motion"),
        QStringLiteral("The emulated head's motion: gestures (a slow nod, a turn, a tilt), sines or still."),
        QStringLiteral("kind"), QStringLiteral("gestures")));
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

// Starts the emulated devices: the dongle on a pseudo-terminal, a headset streaming, LINKs.
std::unique_ptr<emu::Emulator> startEmulator(const QCommandLineParser& parser)
{
    emu::Options options;
    options.timeScale = qBound(0.01, parser.value(QStringLiteral("time-scale")).toDouble(), 100.0);
    options.traceToStderr = parser.isSet(QStringLiteral("trace"));
    auto emulator = std::make_unique<emu::Emulator>(options);
    QString error;
    if (!emulator->start(&error)) {
        qCritical().noquote() << "The device emulator did not start:" << error;
        return nullptr;
    }
    if (!parser.isSet(QStringLiteral("no-headset"))) {
        emu::HeadsetModel headset;
        const QString motion = parser.value(QStringLiteral("motion"));
        headset.motion = motion != QLatin1String("still");
        headset.gestures = motion == QLatin1String("gestures");
        emulator->addHeadset(headset);
    }
    const int links = qBound(0, parser.value(QStringLiteral("links")).toInt(), 4);
    for (int i = 0; i < links; ++i) {
        emu::LinkModel link;
        link.address = quint8(3 + i);
        emulator->addLink(link);
    }
    qInfo().noquote() << "Emulated dongle at" << emulator->portPath();
    return emulator;
}

// The director's world: the emulated dongle's port and USB bus, the optional settings file.
DirectorEnvironment emulatedEnvironment(emu::Emulator& devices, const QCommandLineParser& parser)
{
    DirectorEnvironment env;
    emu::Emulator* emulator = &devices;
    env.listPorts = [emulator]() {
        QList<SerialPortEntry> ports;
        if (!emulator->isPlugged())
            return ports;
        SerialPortEntry entry;
        entry.portName = QStringLiteral("ttyEMU0");
        entry.description = QStringLiteral("Orvix dongle (emulated)");
        entry.systemLocation = emulator->portPath();
        entry.vendorId = OrvixDirector::DongleVendorId;
        entry.productId = OrvixDirector::DongleProductId;
        entry.hasVendorId = true;
        entry.hasProductId = true;
        ports << entry;
        return ports;
    };
    env.usbBackend = std::make_unique<DevUsbBackend>(devices);
    env.settingsFile = parser.value(QStringLiteral("settings"));
    return env;
}

} // namespace

int main(int argc, char* argv[])
{
    // Lives from the parsed command line until the director is gone.
    std::unique_ptr<emu::Emulator> emulator;

    Startup::Hooks hooks;
    hooks.description = QStringLiteral("Orvix tools command line (device emulator)");
    hooks.version = QStringLiteral(ORVIXTOOLS_VERSION);
    hooks.addOptions = addOptions;
    hooks.createDirector = [&emulator](const QCommandLineParser& parser) -> std::unique_ptr<OrvixDirector> {
        emulator = startEmulator(parser);
        if (!emulator)
            return nullptr;
        ShellDirectorUi::loadStyle();
        return std::make_unique<OrvixDirector>(parser, std::make_unique<ShellDirectorUi>(),
                                               emulatedEnvironment(*emulator, parser));
    };
    hooks.started = [&emulator](OrvixDirector&) { watchCommands(*QCoreApplication::instance(), *emulator); };
    hooks.finished = [&emulator]() { emulator.reset(); };
    return Startup::run(argc, argv, hooks);
}
