#pragma once
// The device emulator: one dongle on a pseudo-terminal, with the radio devices it hears
// (a headset, LINK modules) and the LINK on its cable with its bootloader.
//
// It runs its own thread (poll() on the pty master); tests need no event loop for it. All
// public members are thread-safe. Waiting members pump the Qt event loop when they are called
// on the thread of the QCoreApplication, so the application's serial port keeps working.
//
//   emu::Emulator e;
//   ASSERT_TRUE(e.start());
//   QSerialPort port(e.portPath());            // the application side
//   ...
//   auto r = e.waitForFrame(emu::FrameFilter::dcp(9), 2000);
//   EXPECT_TRUE(e.errors().isEmpty()) << e.traceText().toStdString();
#include "tools/emulator/Codec.h"
#include "tools/emulator/Faults.h"
#include "tools/emulator/Models.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace emu {

struct Options {
    // Multiplies the emulator's own periods (status rate, beacons, calibration steps,
    // restarts): 0.1 runs them ten times faster. The application's time-outs are not touched.
    double timeScale = 1.0;
    // Identical frames from the application closer than this belong to one repeat burst.
    int burstGapMs = 250;
    // A Join rule whose frames do not all come is flushed after this long.
    int joinFlushMs = 200;
    // Bytes held for an application that does not read; the oldest are dropped beyond this.
    int maxOutputBytes = 1 << 20;
    // Each trace line is also written to stderr (the command-line program sets it).
    bool traceToStderr = false;
    // Kept trace lines and logged frames per direction (the oldest are dropped beyond this;
    // seq numbers keep counting).
    int maxTraceLines = 20000;
    int maxLogFrames = 200000;
    // Headset statuses appear in the trace (they come 20 times a second).
    bool traceStatuses = true;

    // For a run that may last for hours with the headset streaming (the development
    // executable): only the newest LongRunLog frames of each direction and trace lines are
    // kept, and statuses are traced only when the trace is printed.
    static constexpr int LongRunLog = 1000;
    static Options longRun(bool traceToStderr)
    {
        Options o;
        o.traceToStderr = traceToStderr;
        o.traceStatuses = traceToStderr;
        o.maxLogFrames = LongRunLog;
        o.maxTraceLines = LongRunLog;
        return o;
    }
};

// One frame received from the application.
struct Received {
    int seq = 0;          // number of the frame since start (see mark())
    double ms = 0;        // time since start
    Frame frame;
    QByteArray raw;
    int burst = 0;        // id of its repeat burst
    int copy = 1;         // position in the burst (1-based)
    bool passthrough = false; // went to the cabled LINK
};

// One frame the emulated devices sent toward the application (before faults).
struct Sent {
    int seq = 0;
    double ms = 0;
    Frame frame;
    QString fault;        // faults applied, empty when none
};

class Emulator {
public:
    explicit Emulator(Options options = Options());
    ~Emulator();
    Emulator(const Emulator&) = delete;
    Emulator& operator=(const Emulator&) = delete;

    // ---- life cycle ----
    // Opens the pseudo-terminal (plugs the dongle in) and starts the thread.
    bool start(QString* error = nullptr);
    // Stops the thread and closes everything. The destructor calls it.
    void stop();
    // Path of the port the application opens ("/dev/pts/N"); empty when unplugged.
    QString portPath() const;
    // Removal: the devices stop, the line hangs up (reads on the application's side fail)
    // and the path disappears.
    void unplug();
    // Plugs the dongle in again on a new pseudo-terminal (new path). The dongle restarts:
    // stream off, pass-through off, no held keys; its stored parameters persist.
    bool plugIn(QString* error = nullptr);
    bool isPlugged() const;
    // A busy dongle reads nothing from the line: what the application writes waits in the
    // line and, once the line is full, in the application's own port, until reading resumes.
    void pauseReading(bool paused);
    void setTimeScale(double scale);
    Options options() const;

    // ---- dongle ----
    DongleModel dongle() const;
    void updateDongle(const std::function<void(DongleModel&)>& change);
    // Unsolicited notices (DCP, F 0, PAN/S/D 0, the dongle's channel).
    void sendNotice(uint8_t command, uint8_t lsb, uint8_t msb);
    void noticeAudioFeedback();                  // 9 with msb 1
    void noticeClick(uint8_t button);            // 10
    void noticeKey(uint8_t key, uint8_t action); // 17
    void noticeState(uint8_t state);             // 64; also sets the dongle's state
    void sendDongleIdentity();                   // the dongle's NPP, unsolicited
    // Changes the radio channel; the next frames carry it.
    void setChannel(uint8_t channel);

    // ---- headset ----
    void addHeadset(const HeadsetModel& model = HeadsetModel());
    void removeHeadset();
    HeadsetModel headset() const;
    void updateHeadset(const std::function<void(HeadsetModel&)>& change);
    void headsetPower(bool on);   // off: silent; the application's watchdog reports it lost
    void headsetInRange(bool in);
    // The device the headset controls now and whether it is active.
    void setHeadsetControl(uint8_t address, uint8_t port, uint8_t control);
    int statusesSent() const;     // SHP frames sent since start

    // ---- LINK modules on the radio ----
    int addLink(const LinkModel& model = LinkModel()); // returns its index
    void removeLink(int index);
    int linkCount() const;
    LinkModel link(int index) const;
    void updateLink(int index, const std::function<void(LinkModel&)>& change);

    // ---- other computers' dongles and chair remotes on the radio ----
    int addPeer(const PeerModel& model); // returns its index
    PeerModel peer(int index) const;
    void updatePeer(int index, const std::function<void(PeerModel&)>& change);

    // ---- the cabled LINK (pass-through) ----
    CabledLinkModel cabledLink() const;
    void updateCabledLink(const std::function<void(CabledLinkModel&)>& change);
    CabledLinkMode cabledLinkMode() const;
    // Ends pass-through: the line is the dongle's again (as after a restart of the dongle).
    void leavePassthrough();
    // The last image the bootloader received completely (padding included), and how many
    // uploads completed.
    QByteArray receivedImage() const;
    int uploadsCompleted() const;
    // Bytes the bootloader received in its current session (diagnostics).
    int bootloaderBytesReceived() const;

    // ---- faults ----
    int addFault(const FaultRule& rule); // returns an id
    void removeFault(int id);
    void clearFaults();
    int faultHits(int id) const;         // frames the rule acted on

    // ---- injection toward the application ----
    void injectBytes(const QByteArray& bytes);
    // The frame as given (CH included unless dongleChannel), through the ToApp fault rules
    // when applyFaults.
    void injectFrame(Frame frame, bool dongleChannel = true, bool applyFaults = true);
    // A hook offered every valid frame from the application before the devices see it;
    // returning true means handled (the devices do not see it). Runs on the emulator's thread
    // and may call the emulator's members.
    void setRequestHook(std::function<bool(const Frame&)> hook);

    // ---- observation ----
    std::vector<Received> received() const;
    std::vector<Sent> sent() const;
    int mark() const;                     // the next received frame's seq
    int receivedCount(const FrameFilter& filter = FrameFilter()) const;
    int sentCount(const FrameFilter& filter = FrameFilter()) const;
    // First received frame matching `filter` with seq >= since; waits up to timeoutMs.
    std::optional<Received> waitForFrame(const FrameFilter& filter, int timeoutMs, int since = 0);
    // Waits until `count` matching frames with seq >= since were received.
    bool waitForCount(const FrameFilter& filter, int count, int timeoutMs, int since = 0);
    std::optional<Sent> waitForSent(const FrameFilter& filter, int timeoutMs, int since = 0);
    // Copies in the last repeat burst of frames matching `filter` (0 when none).
    int lastBurstCopies(const FrameFilter& filter = FrameFilter()) const;
    // Waits until no frame matching `filter` arrived for quietMs (bounded by timeoutMs).
    bool waitForQuiet(int quietMs, int timeoutMs, const FrameFilter& filter = FrameFilter());
    void clearLog();                      // received and sent logs, errors, trace

    // Invalid frames or bytes from the application; a test asserts this is empty.
    QStringList errors() const;
    void clearErrors();
    // One line per frame in either direction, with faults and device events.
    QStringList trace() const;
    QString traceText() const;
    void setTraceSink(std::function<void(const QString&)> sink);

    // Waits until pred() holds, pumping the Qt event loop when called on its thread.
    static bool waitUntil(const std::function<bool()>& pred, int timeoutMs);

    struct Impl;

private:
    std::unique_ptr<Impl> d;
};

} // namespace emu
