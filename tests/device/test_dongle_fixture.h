#pragma once
// A Dongle on the emulator's pseudo-terminal, with a delegate that records every call.
#include <gtest/gtest.h>

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QList>
#include <QSerialPort>
#include <QStringList>

#include <memory>
#include <mutex>

#include "common/dongle_fixture.h"
#include "common/qt_wait.h"
#include "device/Dongle.h"
#include "tools/emulator/Emulator.h"

namespace dongletest {

struct RecordingDelegate : DongleDelegate {
    QList<quint32> dongleMasks;
    QList<quint32> headsetMasks;
    QList<NPP> devices;
    QList<double> progress;
    QStringList progressTitles;
    QList<int> errors;
    int audio = 0;
    int found = 0;
    int lost = 0;
    // Every call in order: "dongle:<mask>", "found", "lost", "headset:<mask>".
    QStringList events;
    DongleResult last;
    // Called at every dongleUpdated, to see the dongle's state at that moment.
    std::function<void(Dongle*, quint32)> onDongleUpdated;

    void progressUpdate(Progress::Context const& context) override
    {
        progress << context.value;
        progressTitles << context.title;
    }
    void dongleUpdated(Dongle* dongle, DongleChangeMask mask) override
    {
        dongleMasks << mask.value();
        events << QStringLiteral("dongle:%1").arg(mask.value(), 0, 16);
        if (onDongleUpdated)
            onDongleUpdated(dongle, mask.value());
    }
    void headsetFound(Dongle*, Headset*) override
    {
        ++found;
        events << QStringLiteral("found");
    }
    void headsetLost(Dongle*, Headset*) override
    {
        ++lost;
        events << QStringLiteral("lost");
    }
    void headsetUpdated(Dongle*, Headset*, HeadsetChangeMask mask) override
    {
        headsetMasks << mask.value();
        events << QStringLiteral("headset:%1").arg(mask.value(), 0, 16);
    }
    void deviceFound(Dongle*, NPP const& npp) override { devices << npp; }
    void headsetRssiUpdatede(Dongle*, unsigned short) override {}
    void headsetChannelChanged(Dongle*, Headset*, int, int) override {}
    void headsetStatusChanged(Dongle*, Headset*, bool, bool) override {}
    void dongleError(Dongle*, DongleResult result) override
    {
        errors << result.code;
        last = result;
    }
    DongleResult* lastError() override { return &last; }
    void playAudioFeedback() override { ++audio; }

    int countHeadsetMask(quint32 bit) const
    {
        int n = 0;
        for (quint32 m : headsetMasks)
            n += (m & bit) ? 1 : 0;
        return n;
    }
    int countMask(quint32 bit) const
    {
        int n = 0;
        for (quint32 m : dongleMasks)
            n += (m & bit) ? 1 : 0;
        return n;
    }
};

// Collects every log message while it lives (from any thread).
class LogCapture {
public:
    LogCapture()
    {
        std::lock_guard<std::mutex> lock(guard());
        current() = this;
        m_previous = qInstallMessageHandler(&LogCapture::handler);
    }
    ~LogCapture()
    {
        std::lock_guard<std::mutex> lock(guard());
        qInstallMessageHandler(m_previous);
        current() = nullptr;
    }
    QStringList lines() const
    {
        std::lock_guard<std::mutex> lock(guard());
        return m_lines;
    }
    int count(QString const& needle) const
    {
        int n = 0;
        for (QString const& line : lines())
            n += line.contains(needle) ? 1 : 0;
        return n;
    }

private:
    static std::mutex& guard()
    {
        static std::mutex m;
        return m;
    }
    static LogCapture*& current()
    {
        static LogCapture* c = nullptr;
        return c;
    }
    static void handler(QtMsgType, QMessageLogContext const&, QString const& message)
    {
        std::lock_guard<std::mutex> lock(guard());
        if (current())
            current()->m_lines << message;
    }
    QtMessageHandler m_previous = nullptr;
    QStringList m_lines;
};

// One reply callback's calls.
struct Replies {
    int calls = 0;
    QList<int> codes;
    QList<QByteArray> payloads;

    Dongle::ReplyCallback callback()
    {
        return [this](UHRType const* header, PacketData const* body, DongleResult result) {
            ++calls;
            codes << result.code;
            payloads << ((header && body) ? Frame::payloadOf(*header, *body).bytes() : QByteArray());
        };
    }
    Dongle::ResultCallback resultCallback()
    {
        return [this](DongleResult result) {
            ++calls;
            codes << result.code;
        };
    }
};

inline Header localHeader()
{
    return Header(0, 0, 0, 0, PacketID::DCP, 0);
}

inline PacketData scpPayload(uchar command, uchar lsb = 0, uchar msb = 0)
{
    return SCP(command, lsb, msb).getData();
}

// A good frame as the dongle would send it.
inline QByteArray dongleFrame(PacketID pid, QByteArray const& payload, uchar flags = 0, uchar channel = 11)
{
    return Frame::build(Header(flags, 0, 0, 0, pid, channel), PacketData(payload));
}

class DongleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        emu::Options options;
        options.timeScale = 0.2;
        ASSERT_NO_FATAL_FAILURE(rig.open(options, &delegate));
    }

    void TearDown() override { rig.close(HasFailure()); }

    // Short waits: a reply time-out of 1000 ms becomes scale x 1000 ms.
    void fastTiming(double scale, int intervalMs = Dongle::RepeatIntervalMs)
    {
        Dongle::Timing timing = dongle->timing(); // the repeat count is kept
        timing.timeoutScale = scale * testutil::timeScale();
        timing.repeatIntervalMs = intervalMs;
        dongle->setTiming(timing);
    }

    // Runs the start sequence; returns its result code (-1 when it never called back).
    int startDongle(int timeoutMs = 5000) { return rig.start(timeoutMs); }

    // Each request written once, without repeats. A repeat copy that the dongle wrote before it
    // read the echo of its request arrives after that echo, and so cannot be told from the next
    // request when that one has the same bytes (the same command twice in a row): the tests
    // that count commands write without repeats, and the repeats are the pipeline tests' own.
    void writeOnce()
    {
        Dongle::Timing timing = dongle->timing();
        timing.repeatCount = 0;
        dongle->setTiming(timing);
    }

    // The payloads of the DCP frames received since mark, in order: one per request after
    // writeOnce() (a retry after a time-out is written again).
    QList<QByteArray> dcpPayloadsSince(int mark) const
    {
        QList<QByteArray> out;
        for (emu::Received const& r : emulator->received())
            if (r.seq >= mark && r.frame.pid == emu::pid::DCP)
                out << r.frame.payload;
        return out;
    }

    RecordingDelegate delegate;
    testutil::EmulatedDongle rig;
    std::unique_ptr<emu::Emulator>& emulator = rig.emulator;
    std::unique_ptr<QSerialPort>& port = rig.port;
    std::unique_ptr<Dongle>& dongle = rig.dongle;
};

} // namespace dongletest
