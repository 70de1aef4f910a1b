#pragma once
// A started Dongle on the emulator's pseudo-terminal with the headset and LINKs it hears, and a
// delegate that records every headset, LINK and progress event.
#include <gtest/gtest.h>

#include <QCommandLineParser>
#include <QPointer>
#include <QStringList>

#include <memory>

#include "common/dongle_fixture.h"
#include "common/qt_wait.h"
#include "device/Dongle.h"
#include "device/Headset.h"
#include "device/Link.h"
#include "test_dongle_fixture.h"
#include "tools/emulator/Emulator.h"

namespace devtest {

using dongletest::LogCapture;

struct DeviceDelegate : DongleDelegate {
    QList<quint32> dongleMasks;
    QList<quint32> headsetMasks;
    QList<Headset*> updatedHeadsets;
    QList<Headset*> foundHeadsets;
    QList<Headset*> lostHeadsets;
    QList<QPair<int, int>> channelChanges;
    QList<bool> statusChanges;
    QList<int> errors;
    QList<double> progress;
    QStringList messages;
    QList<NPP> devices;
    DongleResult last;

    void progressUpdate(Progress::Context const& context) override
    {
        progress << context.value;
        messages << context.message;
    }
    void dongleUpdated(Dongle*, DongleChangeMask mask) override { dongleMasks << mask.value(); }
    void headsetFound(Dongle*, Headset* headset) override { foundHeadsets << headset; }
    void headsetLost(Dongle*, Headset* headset) override { lostHeadsets << headset; }
    void headsetUpdated(Dongle*, Headset* headset, HeadsetChangeMask mask) override
    {
        headsetMasks << mask.value();
        updatedHeadsets << headset;
    }
    void deviceFound(Dongle*, NPP const& npp) override { devices << npp; }
    void headsetRssiUpdatede(Dongle*, unsigned short) override {}
    void headsetChannelChanged(Dongle*, Headset*, int previous, int current) override
    {
        channelChanges << qMakePair(previous, current);
    }
    void headsetStatusChanged(Dongle*, Headset*, bool active, bool) override { statusChanges << active; }
    void dongleError(Dongle*, DongleResult result) override
    {
        errors << result.code;
        last = result;
    }
    DongleResult* lastError() override { return &last; }
    void playAudioFeedback() override {}

    int countDongleMask(quint32 bit) const
    {
        int n = 0;
        for (quint32 m : dongleMasks)
            n += (m & bit) ? 1 : 0;
        return n;
    }
    int countHeadsetMask(quint32 mask) const { return headsetMasks.count(mask); }
    void clear()
    {
        dongleMasks.clear();
        headsetMasks.clear();
        updatedHeadsets.clear();
        channelChanges.clear();
        statusChanges.clear();
        errors.clear();
        progress.clear();
        messages.clear();
    }
};

// A reply frame from the device at src toward the sender of request.
inline emu::Frame replyFrame(emu::Frame const& request, uint8_t pid, uint16_t src, QByteArray const& payload,
                             uint8_t flags = 0)
{
    emu::Frame r;
    r.flags = flags;
    r.pan = request.pan;
    r.src = src;
    r.dst = request.src;
    r.pid = pid;
    r.payload = payload;
    return r;
}

// The progress values with runs of equal values collapsed.
inline QList<double> distinctRuns(QList<double> const& values)
{
    QList<double> out;
    for (double v : values)
        if (out.isEmpty() || out.last() != v)
            out << v;
    return out;
}

class DeviceTest : public ::testing::Test {
protected:
    // A headset that holds its head still, so that status masks are exact.
    static emu::HeadsetModel stillHeadset()
    {
        emu::HeadsetModel h;
        h.motion = false;
        return h;
    }

    void SetUp() override
    {
        emu::Options options;
        options.timeScale = 0.5;
        ASSERT_NO_FATAL_FAILURE(env.open(options, &delegate));
    }

    void TearDown() override
    {
        // A request hook holds the emulator; no hook outlives its test.
        if (emulator)
            emulator->setRequestHook({});
        env.close(HasFailure());
        Headset::setWatchdogIntervalForTests(0);
    }

    // Every reply time-out multiplied by scale (remote: 3000 ms x scale per attempt).
    void fastTiming(double scale)
    {
        Dongle::Timing timing;
        timing.timeoutScale = scale * testutil::timeScale();
        timing.repeatIntervalMs = 4;
        dongle->setTiming(timing);
    }

    bool startDongle() { return env.start() == 0; }

    // Starts the dongle with the headset in range and waits until it is running.
    Headset* startWithHeadset(emu::HeadsetModel const& model = stillHeadset())
    {
        emulator->addHeadset(model);
        if (!startDongle())
            return nullptr;
        testutil::waitUntil([&] { return dongle->headset() && dongle->headset()->isRunning(); }, 3000);
        Headset* headset = dongle->headset();
        if (!headset || !headset->isRunning())
            return nullptr;
        // One status applied after the map has arrived: the controlled device is named by the
        // map from then on.
        const int statuses = emulator->statusesSent();
        testutil::waitUntil([&] { return emulator->statusesSent() > statuses + 1; }, 2000);
        testutil::spin(20);
        return headset;
    }

    // Runs until the callback flag is set.
    static bool waitFor(bool const& flag, int ms = 3000)
    {
        return testutil::waitUntil([&] { return flag; }, ms);
    }

    DeviceDelegate delegate;
    testutil::EmulatedDongle env;
    QCommandLineParser& parser = env.parser;
    std::unique_ptr<emu::Emulator>& emulator = env.emulator;
    std::unique_ptr<Dongle>& dongle = env.dongle;
};

} // namespace devtest
