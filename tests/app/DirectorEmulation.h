#pragma once
// A director over the device emulator: its port list names the emulator's pseudo-terminal as
// the dongle's port; every director signal is recorded.
#include "FakeDirectorUi.h"
#include "common/qt_wait.h"

#include "app/ApiManager.h"
#include "device/Dongle.h"
#include "device/Headset.h"
#include "tools/emulator/Emulator.h"
#include "tools/emulator/EmulatorGTest.h"

#include <QSerialPort>

namespace directortest {

// Every director signal, as received.
struct Recorder {
    QList<Dongle*> connected;
    QList<QPair<Dongle*, int>> disconnected;
    QList<QPair<Dongle*, int>> notConnected;
    QList<QPair<Dongle*, quint32>> dongleUpdates;
    QList<QPair<Headset*, quint32>> headsetUpdates;
    // For each failure signal: whether the headset's failure flag was already set.
    QList<bool> failureMarkedAtSignal;
    QList<int> channels;
    QList<bool> statuses;
    QList<const Progress::Context*> progress;
    QStringList progressTitles;
    // Destroyed first: the connections end with the recorder.
    QObject context;

    explicit Recorder(OrvixDirector* d)
    {
        QObject::connect(d, &OrvixDirector::dongleConnectedSignal, &context, [this](Dongle* x) { connected << x; });
        QObject::connect(d, &OrvixDirector::dongleDisconnectedSignal, &context, [this](Dongle* x, DongleResult r) { disconnected << qMakePair(x, r.code); });
        QObject::connect(d, &OrvixDirector::dongleNotConnectedSignal, &context, [this](Dongle* x, DongleResult r) { notConnected << qMakePair(x, r.code); });
        QObject::connect(d, &OrvixDirector::dongleUpdatedSignal, &context, [this](Dongle* x, DongleChangeMask m) { dongleUpdates << qMakePair(x, m.value()); });
        QObject::connect(
            d, &OrvixDirector::headsetUpdatedSignal, &context, [this](Headset* h, HeadsetChangeMask m) {
                headsetUpdates << qMakePair(h, m.value());
                if (h && (m & HeadsetChangeMask::error) == HeadsetChangeMask::error)
                    failureMarkedAtSignal << h->isErrorAcknowledged();
            });
        QObject::connect(d, &OrvixDirector::headsetChannelChangedSignal, &context, [this](Headset*, int c) { channels << c; });
        QObject::connect(d, &OrvixDirector::headsetStatusChangedSignal, &context, [this](Headset*, bool a) { statuses << a; });
        QObject::connect(d, &OrvixDirector::updateProgress, &context, [this](const Progress::Context* c) {
            progress << c;
            progressTitles << (c ? c->title : QString());
        });
    }

    // True once the director has told of count connected dongles in all, within five seconds.
    bool waitConnected(int count) const
    {
        return testutil::waitUntil([&] { return connected.size() == count; }, 5000);
    }

    int headsetMasks(quint32 mask) const
    {
        int n = 0;
        for (const auto& u : headsetUpdates)
            if (u.second == mask)
                ++n;
        return n;
    }
};

// A director whose port list names the emulator's pseudo-terminal as the dongle's port.
struct EmulatedDongle {
    // Copies of one request count as one burst across the gaps of the run's time scale.
    static emu::Options scaledOptions()
    {
        emu::Options options{0.2};
        options.burstGapMs = testutil::scaled(options.burstGapMs);
        return options;
    }
    emu::Emulator emulator{scaledOptions()};
    emu::TraceOnFailure trace{emulator};
    Harness h;

    EmulatedDongle()
    {
        // The update check at start must not leave the machine.
        API::setServiceBaseUrl(QUrl(QStringLiteral("http://127.0.0.1:1")));
        h.portSource = [this]() {
            QList<SerialPortEntry> list;
            if (emulator.isPlugged())
                list << Harness::port(QStringLiteral("ttyEMU0"), emulator.portPath());
            return list;
        };
    }
    ~EmulatedDongle()
    {
        h.director.reset();
        API::setServiceBaseUrl(QUrl());
    }

    bool start() { return emulator.start(); }
    // The director with quick time-outs, its messages shown in the windows' boxes and left open
    // (defined below quickTiming).
    OrvixDirector* createWithBoxesLeftOpen(bool withDongle);
};

// Requests that are never answered give up after a few hundred milliseconds.
inline void quickTiming(DirectorEnvironment& env)
{
    env.dongleTiming.repeatCount = 2;
    env.dongleTiming.repeatIntervalMs = 5;
    env.dongleTiming.timeoutScale = 0.1 * testutil::timeScale();
}

inline OrvixDirector* EmulatedDongle::createWithBoxesLeftOpen(bool withDongle)
{
    h.tweak = [](DirectorEnvironment& env) {
        quickTiming(env);
        env.presentMessage = nullptr; // through the windows' boxes
    };
    OrvixDirector* d = h.create(withDongle, 5);
    h.ui->questionAnswer = FakeDirectorUi::NoAnswer;
    return d;
}

inline QtUsb::FilterList dongleList(int times = 1)
{
    QtUsb::FilterList list;
    for (int i = 0; i < times; ++i)
        list << Harness::dongleIds();
    return list;
}

} // namespace directortest
