#pragma once
// The connected dongle: its serial framing, the receive dispatch, the send pipeline with its
// three worker threads, and every request the application makes of the dongle.
//
// Threads: the Dongle, its serial port, the receive path, reply matching, every completion
// callback and every delegate call live on the GUI thread (the thread that built the Dongle).
// Three workers sequence the sends: "PacketQueue" runs request lists one entry at a time,
// "SendPacketQueue" runs single requests with their attempts, "PacketRepeater" performs the
// timed repeat writes and hands each write back to the GUI thread through the write signal.
//
// Every request ends in exactly one callback on the GUI thread: with the reply; with code 13
// ("Refused by the device") at once when the addressee answers with an error record its
// predicate names (refusedBy); with code 4 ("Operation timed out") after its attempts, or when
// the port belongs to a firmware upload before it is written; or with code 14 ("Dongle removed")
// when stop() drops it, when it is made while the dongle is stopped, or when the Dongle is
// destroyed.
#include <QByteArray>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFlags>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QSerialPort>
#include <QString>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <set>

#include "async/Mailbox.h"
#include "async/Progress.h"
#include "async/WaitBlock.h"
#include "device/DongleDelegate.h"
#include "device/DongleProfile.h"
#include "device/Keyboard.h"
#include "device/RingBuffer.h"
#include "protocol/ChannelMap.h"
#include "protocol/DongleResult.h"
#include "protocol/Packet.h"
#include "protocol/Records.h"
#include "protocol/SerialLine.h"

class QThread;
class Headset;
class Link;
class MouseProfile;
class OperationQueue;
class XModem;

class Dongle : public QObject
{
    Q_OBJECT
public:
    // Reply of a single request: header and body (payload followed by its two checksum
    // bytes), valid only during the call; both null on failure.
    using ReplyCallback = std::function<void(UHRType const*, PacketData const*, DongleResult)>;
    using ResultCallback = std::function<void(DongleResult)>;
    using ListReplyCallback = std::function<void(UHRType const&, PacketData const&)>;

    // Local requests (to the dongle itself) are answered within 1000 ms, remote ones within 3000 ms.
    static constexpr int LocalTimeoutMs = 1000;
    static constexpr int RemoteTimeoutMs = 3000;
    // A request is written 21 times (the first write and 20 repeats), 32 ms apart, per attempt.
    static constexpr int RepeatCount = 20;
    static constexpr int RepeatIntervalMs = 32;
    static constexpr int MaxAttempts = 3;
    // Protocol revision expected when "./orvixtools.ini" does not name one.
    static constexpr quint16 DefaultProtocolRevision = 156;

    // Pacing of the send pipeline. Production code keeps the defaults; tests shorten the
    // waits so that a request that is never answered does not take seconds.
    struct Timing {
        int repeatCount = RepeatCount;
        int repeatIntervalMs = RepeatIntervalMs;
        // Every reply time-out is multiplied by this factor (at least 1 ms remains).
        double timeoutScale = 1.0;
    };

    Dongle(QSerialPort* port, DongleDelegate* delegate, QCommandLineParser const& options,
        QObject* parent = nullptr);
    ~Dongle() override;

    // ---- Receive path ---------------------------------------------------------------------
    // Feeds received bytes, in order, through the framing.
    void appendBytes(QByteArray const& bytes);
    // Bytes read from the line and kept for a frame not complete yet.
    int heldBytes() const { return m_ring.available(); }
    // Called with each frame taken from the line (its header and body as read), before its
    // dispatch.
    void setFrameTap(std::function<void(QByteArray const& frame)> tap) { m_frameTap = std::move(tap); }
    // The protocol revision the application speaks: "protocol_revision" of "./orvixtools.ini",
    // 156 when the file is absent.
    static quint16 protocolRevision();
    // The same read from the given file (the working directory's "./orvixtools.ini" above).
    static quint16 protocolRevision(QString const& path);
    // Check of a freshly opened port before a Dongle is built on it (no exchange is made).
    static bool handshake(QSerialPort* port);

    // ---- Send pipeline (callable from any thread; callbacks run on the GUI thread) ---------
    // A request queued behind others goes out only when they have ended, and by then what it
    // was meant for may have changed: beforeSending, when given, runs on the GUI thread right
    // before each attempt's first write, and a result other than 0 ends the request with that
    // result, nothing written.
    using SendCheck = std::function<DongleResult()>;
    void sendPacketWithPredicate(Header const& header, PacketData const& payload,
        PacketPredicate const& predicate, int timeoutMs, ReplyCallback callback,
        SendCheck beforeSending = {});
    // The same, accepting a reply with the request's PAN, source, destination and packet id
    // (any flags) whose payload satisfies data.
    void sendPacket(Header const& header, PacketData const& payload, DataPredicate const& data, int timeoutMs,
        ReplyCallback callback);
    // Sends the descriptors one after another, each after the previous one's reply; stops at
    // the first failure. onReply gets each reply in order; onDone is called exactly once.
    void sendPackets(QList<SCPDescriptor> const& list, ListReplyCallback onReply, ResultCallback onDone);
    // Starts (stops first) the burst of count + 1 writes of bytes, intervalMs apart.
    void startRepeater(QByteArray const& bytes, int count, unsigned long intervalMs);
    void stopRepeater(bool wait);

    // Drops every request (each completes with code 4), the headset and the known LINKs.
    void stop();

    Progress::Context* startProgress(QString const& title, QFlags<Progress::Flag> flags);

    // Hands the serial port to a firmware sender; pending repeats are cancelled and requests
    // fail at once with code 4 until stopXmodem(). Null when the port is gone.
    XModem* startXmodem();
    void stopXmodem();

    // The dongle's own channel-map entry.
    OrvixDevice device() const;

    // ---- Commands to the dongle and, through its radio, to remote devices -------------------
    void setHeadsetStream(bool on, ResultCallback callback);
    void setZero(ResultCallback callback);
    void switchClick(MouseButton button, ResultCallback callback);
    void keyPress(KeyCode key, KeyPressAction action, ResultCallback callback);
    void setMouseAutoZero(bool on, ResultCallback callback);
    void enterPasshroughtMode(ResultCallback callback);
    void enterServiceMode(ResultCallback callback);
    void exitServiceMode(ResultCallback callback);
    // The four below work only in service mode (state 0); otherwise they call back with
    // code 11 at once, write nothing and return false.
    bool setPAN(quint16 pan, ResultCallback callback);
    // A device that answers the three below with an error record ends the request with code 13.
    bool setDeviceAddress(quint16 address, quint16 newAddress, ResultCallback callback);
    bool setDevicePAN(quint16 address, quint16 pan, ResultCallback callback);
    bool setDevicePassword(quint16 address, QString const& password, ResultCallback callback);
    // Presses the keys in order, then releases them all.
    void sendKeyboardAction(std::list<KeyCode> const& keys, ResultCallback callback);
    void copyAction(ResultCallback callback);
    void cutAction(ResultCallback callback);
    void pasteAction(ResultCallback callback);
    void applyMouseProfile(MouseProfile const& profile, ResultCallback callback);

    // ---- Start and profile ----------------------------------------------------------------
    void start(ResultCallback callback);
    void queryProfile(std::function<void(DongleProfile*, DongleResult)> callback);
    void queryNPP(std::function<void(NPP*, DongleResult)> callback);

    // ---- Device and LINK queries, leaving service mode ----------------------------------
    // Reads one LINK's identity, state and parameters. The callback gets a temporary Link
    // (copy it to keep it) and code 0, or null with code 9 (another protocol revision), 2 (a
    // record cut short) or the transport error.
    void queryLink(quint16 pan, quint8 address, std::function<void(Link*, DongleResult)> callback);
    // The same for a channel-map entry, on the dongle's own PAN.
    void queryLink(OrvixDevice const& device, std::function<void(Link*, DongleResult)> callback);
    // Queries every LINK entry (Link Drive, Link Outdoor Drive) of map in order; onDevice gets
    // each entry's result, onDone the presets that answered. The known-LINK map follows.
    void queryDevices(ChannelMap const& map, std::function<void(OrvixDevice::Preset, DongleResult)> onDevice,
        std::function<void(QList<OrvixDevice::Preset>*)> onDone);
    // Asks the known LINK of preset for its state; one that fails is forgotten. Without a
    // known LINK nothing is sent and the callback is never called.
    void pingLink(OrvixDevice::Preset preset, std::function<void(DongleResult)> callback);
    // Headset, the LINKs of its channel map, then the dongle leave service mode; every device is
    // asked even when one before it failed, and the callback gets the first failure (code 0 when
    // every device left, a LINK that answers at none of its addresses taken as switched off).
    // False (and no callback) unless the dongle is in service mode. Each LINK is asked at the
    // address it answers to now (serviceAddressesOf).
    bool networkLeaveServiceMode(std::function<void(DongleResult)> callback);
    // Where the device given address in this service-mode session answers now, the likelier
    // address first. Some devices take a new address at once, others only on leaving service
    // mode; the identity beacons heard since the change tell which. Unheard since: the new
    // address, then the old. A device never given an address here: just address.
    QList<quint8> serviceAddressesOf(quint8 address) const;
    // Asks the LINK on the service PAN at each address in turn to leave service mode, until one
    // answers; then done with that answer, or with the last address's failure.
    void exitLinkServiceMode(QList<quint8> addresses, std::function<void(DongleResult)> done);
    // Makes request of the device at each address in turn until one answers (any result but a
    // time-out: a device that said no has answered); then done with that result, or with the
    // last address's. Code 0 at once for no address.
    void atFirstAnswering(QList<quint8> addresses,
        std::function<void(quint8 address, ResultCallback)> request, ResultCallback done);

    // The serial of the last LINK identity record heard for that network and address since the
    // dongle started: the LINK that answers there now. Empty when none was heard.
    QString heardLinkSerial(quint16 pan, quint8 address) const;

    // The delegate's headsetUpdated (skipped without a delegate).
    void notifyHeadsetUpdated(Headset* headset, HeadsetChangeMask mask);

    // ---- State ------------------------------------------------------------------------------
    QSerialPort* port() const { return m_port.data(); }
    DongleDelegate* delegate() const { return m_delegate; }
    Headset* headset() const { return m_headset; }
    QMap<OrvixDevice::Preset, Link*> const& links() const { return m_links; }
    DongleProfile const& profile() const { return m_profile; }
    Progress::Context& progress() { return m_progress; }
    QCommandLineParser const* options() const { return m_options; }
    XModem* xmodem() const { return m_xmodem; }
    bool isInitialized() const { return m_initialized; }
    bool isRunning() const { return m_running.load(); }
    quint8 channel() const { return m_channel; }

    // For tests only: shorter pacing of the send pipeline.
    void setTiming(Timing const& timing);
    Timing timing() const;

    // The held modifier keys (HeadsetControlMask::ModifierOptions) after the dongle's key
    // notice (key code, press 1 / release 2 / release all 3).
    static quint32 modifierMaskAfterKey(quint32 mask, quint8 key, quint8 action);

    // Scaling of a profile fraction (0.0-1.0) to the dongle's percent byte: f x 100 limited to
    // 0..100 and rounded half up; a NaN gives 0.
    static quint8 percentFromFraction(float fraction);

    // True when a received header carries the local addressing of the dongle's own replies.
    static bool isLocalReply(UHRType const& header);
    // Read failures on a live line are retried; when they keep coming this long without a
    // byte, the line is taken as gone.
    static constexpr int LineFailureLimitMs = 2000;

signals:
    // The line is gone (hung up, its device vanished, or failing without a byte for
    // LineFailureLimitMs): reading has stopped and the owner takes the dongle away. Once, with
    // why the line was taken as gone.
    void lineGone(QString const& reason);

    // One write of a repeat burst, emitted on the GUI thread (the repeater hands it over);
    // connected to writeData.
    void write(QByteArray const& bytes);

    // The dongle's state notice changed its radio state (profile().state), after the delegate
    // was told.
    void stateNoticed(quint8 state);

public slots:
    void readData();
    void handleError(QSerialPort::SerialPortError error);
    void writeData(QByteArray const& bytes);
    // The headset's signals. A headset that is not the current one is ignored.
    void headsetLost(Headset* headset);
    void headsetControlChanged(Headset* headset, quint8 previous, quint8 current);
    void headsetDeviceChanged(Headset* headset, OrvixDevice previous, OrvixDevice current);

protected:
    // Dispatch of one good frame whose header has been removed from the ring; the frame's L
    // body bytes (payload and checksum) are at the ring's head.
    void processPacket(UHRType const& header, RingBuffer& ring);
    void processDCP(UHRType const& header, RingBuffer& ring);
    void processERR(UHRType const& header, RingBuffer& ring);
    void processLCP(UHRType const& header, RingBuffer& ring);
    void processNPP(UHRType const& header, RingBuffer& ring);
    void processHCP(UHRType const& header, RingBuffer& ring);
    void processACK(UHRType const& header, RingBuffer& ring);
    void processRSSI(UHRType const& header, RingBuffer& ring);
    void processCMAP(UHRType const& header, RingBuffer& ring);

    // ---- Headset side -----------------------------------------------------------------------
    // Defined with the Headset class (DongleHeadset.cpp). The receive
    // dispatch and the commands reach the current headset only through these.
    // Headset status packet.
    void processSHP(UHRType const& header, RingBuffer& ring);
    // DCP notice 10: the click button.
    void headsetSetClickButton(quint8 button);
    // DCP notice 17: the held modifier keys (HeadsetControlMask::ModifierOptions bits).
    quint32 headsetModifierMask() const;
    void headsetSetModifierMask(quint32 mask);
    // The headset's NPP: when its PAN and address are the headset's, version, build and
    // serial are taken from it and true is returned. A record of that PAN and address with
    // another serial is another headset: the current one is lost (false).
    bool headsetApplyIdentity(NPP const& npp);
    // The dongle's own NPP clears the headset's online flag.
    void headsetSetOffline();
    // The headset's channel map (empty without a headset).
    ChannelMap headsetChannelMap() const;
    // stop(): stops the watchdog and deletes the headset, without a delegate call.
    void headsetDiscard();
    // A service-mode change: stops the watchdog and emits the headset's headsetLost.
    void headsetDropForServiceMode();
    // A new headset becomes the current one and is initialised.
    void headsetFound(Headset* headset);

    // ---- LINK side --------------------------------------------------------------------------
    // Defined with the Link class (DongleQueries.cpp): deletes every known Link, empties the map.
    void linksDiscard();

    // Delegate helpers: each is skipped without a delegate.
    void notifyDongleUpdated(DongleChangeMask mask);
    void notifyHeadsetUpdatedMask(HeadsetChangeMask mask);

private:
    struct Gate;
    struct Request;
    struct RequestList;
    using RequestPtr = std::shared_ptr<Request>;
    using RequestListPtr = std::shared_ptr<RequestList>;

    // Decodes the frames at the ring's head, once at least a header (or a saved header's frame)
    // is held.
    void decodeHeld();
    // Decodes the bytes of a read from p on where they lie, the ring being empty; what may
    // start a frame not complete at the end goes into the ring.
    void decodeInPlace(const uchar* p, const uchar* end);
    // The same by the vector work of Vectors (RingBuffer::Narrow or RingBuffer::Wide).
    template <class Vectors> Q_ALWAYS_INLINE void decodeInPlaceBy(const uchar* p, const uchar* end);
    // The same thirty-two places at a time, where the processor has AVX2 (RingBuffer::Wide).
    void decodeInPlaceWide(const uchar* p, const uchar* end) ORVIX_AVX2;
    // Drops the bytes before the next sync byte held: each would be dropped in turn at the next
    // check, so they go now, and the noise behind them need not enter the ring.
    void skipToSync() { m_ring.skipTo(Frame::Sync0); }
    // Drops the byte at the ring's head, then the bytes before the next sync byte held.
    void dropFirstByte()
    {
        m_ring.remove(1);
        skipToSync();
    }
    // One request on the send queue's worker.
    void runRequest(RequestPtr const& request, QThread* timerThread);
    // Creates and starts the current wait for one attempt of request.
    void waitForResponse(QThread* timerThread, RequestPtr const& request);
    // Reply handler of one attempt (GUI thread).
    void onAttemptEnded(RequestPtr const& request, WaitBlock* wait, UHRType const* header,
        PacketData const* data, DongleResult const& result);
    // Completes a request once (GUI thread unless tearing down).
    void finishRequest(
        RequestPtr const& request, UHRType const* header, PacketData const* data, DongleResult const& result);
    // Completes a request later on the GUI thread, with code 4 or the given result.
    void postAbort(RequestPtr const& request);
    void postAbort(RequestPtr const& request, DongleResult const& result);
    // One entry of a request list on the packet queue's worker.
    void runListEntry(RequestListPtr const& list, SCPDescriptor const& descriptor);
    void finishList(RequestListPtr const& list, DongleResult const& result);
    // Completes every request and list still registered with code 4.
    void abortRegistered();
    // Blocks a worker on gate; returns false at once, or when woken, while tearing down.
    bool blockOn(Gate& gate);
    // True while requests may be written: running, not handed to XMODEM, not tearing down.
    bool acceptsRequests() const;
    // True once stop() has run or the Dongle is being destroyed: what is still open ends as
    // removed.
    bool stoppedOrGone() const;
    // Ends the current repeat burst (its writes stop and its pause wakes); returns the new
    // burst number.
    quint64 endBurst();
    // The pause between two writes of burst.
    void pauseBurst(quint64 burst, unsigned long ms);
    // Runs the request's beforeSending on the GUI thread and waits for it; false when the request
    // has ended meanwhile (refused by it, stopped) or the dongle is going away.
    bool clearedToSend(RequestPtr const& request);
    // Cancels the current wait (its request then ends or retries as its handler decides).
    void cancelCurrentWait();
    // Drops what the port still holds to write once an attempt has ended.
    void dropUnsentWrites();

    // A local DCP command answered by its echo.
    void sendLocalCommand(SCP const& scp, ResultCallback callback, std::function<void()> onSuccess = {});
    // The service-mode change after a successful SCP 37.
    void serviceModeChanged();
    // Checks the dongle's state before a service-mode command; false after calling back with 11.
    bool requireServiceMode(ResultCallback const& callback);

    QPointer<QSerialPort> m_port;
    DongleDelegate* m_delegate;
    std::atomic<WaitBlock*> m_currentWait { nullptr };
    Headset* m_headset = nullptr;
    QMap<OrvixDevice::Preset, Link*> m_links;
    // heardLinkSerial, by PAN and address.
    QHash<quint32, QString> m_heardLinks;
    std::unique_ptr<OperationQueue> m_packetQueue;
    std::unique_ptr<OperationQueue> m_sendQueue;
    std::unique_ptr<OperationQueue> m_repeater;
    DongleProfile m_profile;
    // The revision headset statuses must carry, read from "./orvixtools.ini" once per dongle
    // rather than for every status packet.
    quint16 m_expectedRevision = DefaultProtocolRevision;
    Progress::Context m_progress;
    QCommandLineParser const* m_options;
    RingBuffer m_ring;
    // The body length L of the checked header at the ring's head, while its frame is incomplete;
    // 0 while no header waits.
    int m_savedLength = 0;
    std::function<void(QByteArray const& frame)> m_frameTap;
    bool m_initialized = false;
    // The radio state (parameter 64) last heard while the start reads the profile, echo or
    // notice, -1 when none: a notice that comes after the state was read is not lost.
    int m_stateDuringStart = -1;
    std::atomic<bool> m_running { false };
    quint8 m_channel = 0;
    XModem* m_xmodem = nullptr;

    // The workers' hand-overs to the GUI thread (writes, completions, cancels).
    Mailbox m_mailbox;

    // Pipeline bookkeeping.
    std::atomic<bool> m_xmodemActive { false };
    std::atomic<bool> m_tearingDown { false };
    std::atomic<quint64> m_burst { 0 };
    // The last burst that has handed its frame to the port (GUI thread only); none at first.
    quint64 m_handedBurst = ~quint64(0);
    // The bytes of that burst the port has taken, and the size of one copy of its frame. The
    // port writes to the line from the event loop: its first copy has gone out only once the
    // port holds no more than the copies handed after it.
    qint64 m_burstBytes = 0;
    qint64 m_burstFrameSize = 0;
    // True once the first copy of the current burst has left the port for the line.
    bool burstWentOut() const;
    std::mutex m_burstLock;
    std::condition_variable m_burstWake;
    mutable std::mutex m_registryLock;
    QList<RequestPtr> m_requests;
    QList<RequestListPtr> m_lists;
    std::set<Gate*> m_blockers;
    mutable std::mutex m_timingLock;
    Timing m_timing;
    // Last serial error logged, so that a repeating error is logged once.
    QSerialPort::SerialPortError m_lastError = QSerialPort::NoError;
    // Read failures on a live line: since when they come without a byte, and the last one.
    QElapsedTimer m_failingSince;
    QElapsedTimer m_lastFailure;
    bool m_clearingError = false;
    bool m_lineGone = false;
    // The pending read after a failure, and the pause before the next one.
    SerialLine::ReadRetry m_readRetry { this, [this] { resumeReading(); } };
    // Stops reading a gone line and says so once.
    void giveUpLine(QString const& reason);
    // After a read failure on a live line: the error is cleared and reading goes on (Qt stops
    // watching the line after a ResourceError until it is read again).
    void resumeReading();

    // A device given a new address in this service-mode session; forgotten when service mode
    // changes or the dongle stops.
    struct AddressChange {
        quint8 from = 0;
        quint8 to = 0;
        enum Heard { Unheard, AtOld, AtNew } heard = Unheard;
    };
    QList<AddressChange> m_addressChanges;
    void noteAddressChange(quint8 from, quint8 to);
    // An identity record from source: where a device whose address changed answers.
    void noteHeardAt(quint16 source);
};
