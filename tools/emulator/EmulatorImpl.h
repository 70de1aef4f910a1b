#pragma once
// Private state of the emulator; everything here runs under Impl::mutex.
#include "tools/emulator/Emulator.h"
#include "tools/emulator/XmodemReceiver.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace emu {

struct Emulator::Impl {
    explicit Impl(Options o);
    ~Impl();

    Options opt;
    mutable std::recursive_mutex mutex;
    std::condition_variable_any changed; // a frame was logged or the state moved
    std::thread thread;
    std::atomic<bool> quit{false};
    bool running = false;
    int wakeRead = -1, wakeWrite = -1;
    int master = -1, slave = -1;
    QString path;
    std::chrono::steady_clock::time_point t0 = std::chrono::steady_clock::now();

    // ---- devices ----
    DongleModel dongleM;
    HeadsetModel headsetM;
    std::vector<std::unique_ptr<LinkModel>> links; // null: removed (indexes stay stable)
    std::vector<std::unique_ptr<PeerModel>> peers; // other computers' dongles, remotes
    CabledLinkModel cabledM;
    CabledLinkMode cabledMode = CabledLinkMode::Firmware;
    std::unique_ptr<XmodemReceiver> loader;
    QByteArray image;
    int uploads = 0;
    int loaderBytes = 0;
    int statuses = 0;

    // ---- input ----
    // The dongle is busy and reads nothing from the line (pauseReading).
    bool readPaused = false;
    FrameDecoder decoder;   // the dongle's side
    FrameDecoder ptDecoder; // the cabled LINK's firmware in pass-through
    QByteArray recoveryTail;

    // ---- logs ----
    std::deque<Received> rx; // the newest Options::maxLogFrames
    std::deque<Sent> tx;
    int rxBase = 0, txBase = 0; // seq of rx.front() / tx.front()
    QStringList errorList;
    std::deque<QString> traceLines;
    std::function<void(const QString&)> traceSink;
    std::function<bool(const Frame&)> hook;
    QByteArray lastRaw;
    double lastRxMs = -1e9;
    int burstId = 0;
    int lastCopy = 0;

    // ---- faults ----
    struct Rule {
        int id = 0;
        FaultRule rule;
        int skipLeft = 0;
        int timesLeft = -1;
        int hits = 0;
        // Join
        QByteArray joined;
        int joinedCount = 0;
        uint64_t joinTask = 0;
    };
    std::vector<Rule> rules;
    int nextRuleId = 1;

    // ---- output ----
    struct Chunk {
        QByteArray bytes;
        double notBefore = 0;
        int gapMs = 0; // > 0: one byte per write
    };
    std::deque<Chunk> out;
    int outBytes = 0;

    // ---- scheduler ----
    struct Task {
        double due = 0;
        std::function<void()> fn;
    };
    std::map<uint64_t, Task> tasks;
    uint64_t nextTask = 1;
    uint64_t streamTask = 0, beaconTask = 0, calibrationTask = 0, loaderTask = 0;

    // time since start, ms
    double now() const;
    double scaled(double ms) const { return ms * opt.timeScale; }
    uint64_t schedule(double delayMs, std::function<void()> fn);
    void cancel(uint64_t& id);
    // Runs fn now when delayMs <= 0, else schedules it.
    void later(double delayMs, std::function<void()> fn);
    void wake();
    void run();
    void runDueTasks();

    // pty
    bool openPty(QString* error);
    void closePty();

    // input
    void onBytes(const QByteArray& bytes);
    void onAppFrame(const Frame& f, const QByteArray& raw, bool passthrough);
    void checkAppFrame(const Frame& f, bool passthrough);
    void dispatch(const Frame& f, bool passthrough);

    // output
    void emitFrame(Frame f, bool applyFaults = true, bool dongleChannel = true);
    void pushBytes(const QByteArray& bytes, int gapMs = 0);
    void flushOutput(bool* wantWrite);

    // logs
    void trace(const QString& line);
    void error(const QString& line);

    // devices (Devices.cpp)
    void handleLocal(const Frame& f);
    void handleRadio(const Frame& f);
    bool hears(uint16_t pan, uint16_t address, bool serviceMode, const Frame& f) const;
    void handleHeadset(const Frame& f);
    void handleLink(LinkModel& link, const Frame& f);
    void setLinkServiceMode(LinkModel& link, bool on);
    void handlePeer(PeerModel& peer, const Frame& f);
    // KEY to a device: ACK {0x2A, 0} and the password kept, or an ERR record of keyError.
    void answerKey(const Frame& f, Frame r, QByteArray& password, uint8_t keyError, uint8_t product,
                   uint8_t major, uint8_t minor, int delayMs);
    // GRCP to a device: command 0 (PAN) or 1 (address) is acknowledged with ACK {0x40, command}
    // from where the device is now, then handed to take(command, value); or, with networkError
    // set, refused with an ERR record of that code and not taken. Other commands are not answered.
    void answerNetworkCommand(const Frame& f, Frame r, uint8_t networkError, uint8_t product, uint8_t major,
                              uint8_t minor, int delayMs, const std::function<void(uint8_t, uint16_t)>& take);
    // An ERR record of code from the device that r comes from.
    void refuse(Frame r, uint8_t code, uint8_t product, uint8_t major, uint8_t minor, int delayMs);
    void reply(Frame r, int delayMs);
    void notice(uint8_t command, uint8_t lsb, uint8_t msb);
    void setServiceMode(bool on);
    void reconcile(); // (re)starts or stops the periodic timers after any change
    bool headsetAudible() const;
    bool linkAudible(const LinkModel& l) const;
    bool peerAudible(const PeerModel& p) const;
    void sendStatus();
    void sendBeacons();
    void calibrationStep();
    void restartDongle();

    // cabled LINK (CabledLink.cpp)
    void enterPassthrough();
    void leavePassthrough();
    void onPassthroughBytes(const QByteArray& bytes);
    void handleCabledFrame(const Frame& f);
    void startLoader();
    void loaderTick();
    // Completion or cancellation of the transfer, after the loader left the state before.
    void loaderStateChanged(XmodemReceiver::State before);
    void writeLoader(const QByteArray& bytes);
};

} // namespace emu
