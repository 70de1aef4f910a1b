// orvix-emulator: one emulated dongle on a pseudo-terminal, for running the application
// without hardware. Prints the port path, then runs until interrupted.
#include "tools/emulator/Emulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <pthread.h>

int main(int argc, char** argv)
{
    // Block the stop signals before any thread starts, then wait for them here.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvix-emulator"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Emulates the dongle, a headset and LINK modules on a pseudo-terminal."));
    parser.addHelpOption();
    QCommandLineOption headset(QStringLiteral("headset"), QStringLiteral("A headset is on the network."));
    QCommandLineOption control(QStringLiteral("control"),
                               QStringLiteral("The headset actively controls this computer."));
    QCommandLineOption links(QStringLiteral("links"), QStringLiteral("Number of LINK modules (addresses 3, 6, ...)."),
                             QStringLiteral("n"), QStringLiteral("0"));
    QCommandLineOption rate(QStringLiteral("rate"), QStringLiteral("Headset status rate in Hz."),
                            QStringLiteral("hz"), QStringLiteral("20"));
    QCommandLineOption scale(QStringLiteral("time-scale"),
                             QStringLiteral("Multiplies the emulator's own periods."),
                             QStringLiteral("factor"), QStringLiteral("1"));
    QCommandLineOption revision(QStringLiteral("revision"), QStringLiteral("Protocol revision reported."),
                                QStringLiteral("n"), QStringLiteral("156"));
    QCommandLineOption channel(QStringLiteral("channel"), QStringLiteral("Radio channel in the CH byte."),
                               QStringLiteral("ch"), QStringLiteral("11"));
    QCommandLineOption service(QStringLiteral("service-mode"), QStringLiteral("Start in service mode."));
    QCommandLineOption dead(QStringLiteral("dead-link"),
                            QStringLiteral("The cabled LINK only answers the recovery string."));
    QCommandLineOption quiet(QStringLiteral("quiet"), QStringLiteral("Do not print the trace."));
    QCommandLineOption traceStatus(QStringLiteral("trace-status"),
                                   QStringLiteral("Print every headset status in the trace."));
    QCommandLineOption calibration(QStringLiteral("calibration-order"),
                                   QStringLiteral("Order in which calibration raises the sensors (e.g. gyro,magneto,accelero)."),
                                   QStringLiteral("sensors"));
    QCommandLineOption cmapError(QStringLiteral("cmap-error"),
                                 QStringLiteral("Channel-map writes are answered with this error code."),
                                 QStringLiteral("code"), QStringLiteral("0"));
    QCommandLineOption cmapRefused(QStringLiteral("cmap-refused"),
        QStringLiteral("Channel-map writes are refused with an error record of this code and not stored."),
        QStringLiteral("code"), QStringLiteral("0"));
    QCommandLineOption cmapSilent(
        QStringLiteral("cmap-silent"), QStringLiteral("Channel-map writes are never answered."));
    QCommandLineOption cmapAckByte(QStringLiteral("cmap-ack-byte"),
        QStringLiteral("Channel-map writes are acknowledged with this second byte (the map is stored)."),
        QStringLiteral("byte"), QStringLiteral("0"));
    QCommandLineOption keyError(QStringLiteral("key-error"),
        QStringLiteral("Headset and LINKs refuse the network password with this error code."),
        QStringLiteral("code"), QStringLiteral("0"));
    QCommandLineOption networkError(QStringLiteral("network-error"),
        QStringLiteral("Headset and LINKs refuse a new PAN or address with this error code."),
        QStringLiteral("code"), QStringLiteral("0"));
    QCommandLineOption addressOnExit(QStringLiteral("address-on-exit"),
        QStringLiteral("LINKs take a new address and PAN only on leaving service mode."));
    parser.addOptions({ headset, control, links, rate, scale, revision, channel, service, dead, quiet,
        traceStatus, calibration, cmapError, cmapRefused, cmapSilent, cmapAckByte, keyError, networkError,
        addressOnExit });
    parser.process(app);

    emu::Options options;
    options.timeScale = qMax(0.001, parser.value(scale).toDouble());
    options.traceToStderr = !parser.isSet(quiet);
    options.traceStatuses = parser.isSet(traceStatus);
    options.maxLogFrames = 10000;
    emu::Emulator e(options);

    const uint16_t rev = uint16_t(parser.value(revision).toUInt());
    e.updateDongle([&](emu::DongleModel& d) {
        d.revision = rev;
        d.channel = uint8_t(parser.value(channel).toUInt());
        if (parser.isSet(service))
            d.state = emu::state::ServiceMode;
    });
    if (parser.isSet(headset)) {
        emu::HeadsetModel h;
        h.revision = uint8_t(rev);
        const double hz = qMax(0.1, parser.value(rate).toDouble());
        h.statusPeriodMs = qMax(1, int(1000.0 / hz));
        if (parser.isSet(control))
            h.control = 1;
        if (parser.isSet(calibration) && !h.setCalibrationOrder(parser.value(calibration))) {
            std::fprintf(stderr, "orvix-emulator: unknown calibration order\n");
            return 2;
        }
        h.channelMapWriteError
            = uint8_t(parser.value(parser.isSet(cmapRefused) ? cmapRefused : cmapError).toUInt());
        h.channelMapAckByte = uint8_t(parser.value(cmapAckByte).toUInt());
        h.ignoreChannelMapWrite = parser.isSet(cmapSilent);
        h.keyError = uint8_t(parser.value(keyError).toUInt());
        h.networkError = uint8_t(parser.value(networkError).toUInt());
        e.addHeadset(h);
    }
    const int linkCount = parser.value(links).toInt();
    for (int i = 0; i < linkCount; ++i) {
        emu::LinkModel l;
        l.revision = uint8_t(rev);
        l.address = uint8_t(i == 0 ? 3 : i == 1 ? 6 : 6 + i);
        l.keyError = uint8_t(parser.value(keyError).toUInt());
        l.networkError = uint8_t(parser.value(networkError).toUInt());
        l.addressOnServiceExit = parser.isSet(addressOnExit);
        e.addLink(l);
    }
    if (parser.isSet(dead))
        e.updateCabledLink([](emu::CabledLinkModel& c) { c.dead = true; });

    QString error;
    if (!e.start(&error)) {
        std::fprintf(stderr, "orvix-emulator: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    std::printf("%s\n", e.portPath().toLocal8Bit().constData());
    std::fflush(stdout);

    int sig = 0;
    sigwait(&stopSignals, &sig);
    e.stop();
    return 0;
}
