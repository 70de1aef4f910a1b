#pragma once
// The headset the dongle hears: its status stream turned into fields and change masks, its
// identity and channel map, the 30 s watchdog that notices it fall silent, and the requests
// addressed to the headset itself.
//
// Owned by the Dongle, which holds at most one (its current headset) and deletes it when the
// headset is lost. GUI thread only. Every request callback is called exactly once; a Headset
// deleted while a request is in flight is not written to, and the callback still gets the
// request's result.
#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <functional>

#include "async/Watchdog.h"
#include "device/DongleDelegate.h"
#include "protocol/ChannelMap.h"
#include "protocol/DongleResult.h"
#include "protocol/Records.h"

class Dongle;

class Headset : public QObject {
    Q_OBJECT
public:
    // A headset silent for this long is lost.
    static constexpr int WatchdogIntervalMs = 30000;
    static constexpr int TimeoutMs = 3000;
    // The devices in service mode listen on this network id.
    static constexpr quint16 ServicePAN = 1;
    // A status stream that comes back after this long a silence may be another headset
    // switched on with the same PAN and address: its identity is asked again.
    static constexpr int IdentityCheckAfterSilenceMs = 2000;

    // Created without parent; the watchdog (not started) is set up, then the status is
    // applied with update (its mask is dropped).
    Headset(Dongle& dongle, SHP const& status, quint16 pan, quint16 address, QObject* parent = nullptr);
    ~Headset() override;

    // Applies a status record; returns what changed. A quaternion that is no head pose keeps
    // the pose last heard, and a battery level above 100 is taken as 100.
    HeadsetChangeMask update(SHP const& status);

    // ---- Requests (each callback must not be empty; it is called once) ----------------------
    // The headset's channel map, stored on success; a reply without payload, or one cut short
    // of the entries it counts, gives (null, 2) and leaves the stored map as it was.
    void queryChannelMap(std::function<void(ChannelMap*, DongleResult)> callback);
    // Sends the map; once acknowledged it becomes the headset's map and the delegate hears
    // channelMap before the callback runs, whatever the acknowledgement's second byte holds. A
    // headset that refuses it (an error record from its address on its network id) ends the
    // request at once with code 13, its map unchanged; one never answered ends with code 4
    // after the attempts. A map of more than eight entries is not sent: code 8 at once.
    void setChannelMap(ChannelMap const& map, std::function<void(DongleResult)> callback);
    // The headset's identity record (nothing is stored here).
    void queryNPP(std::function<void(NPP*, DongleResult)> callback);
    // Refused with code 7 while the headset is active (nothing is sent).
    void enterCalibration(std::function<void(DongleResult)> callback);
    // Refused with code 7 while active; the delegate hears calibration after the callback,
    // whatever the result.
    void exitCalibration(std::function<void(DongleResult)> callback);
    void setTurboMode(bool on, std::function<void(DongleResult)> callback);
    // Addressed with the service PAN 1.
    void exitServiceMode(std::function<void(DongleResult)> callback);

    // The identity record describing this headset.
    NPP generateNPP() const;

    // ---- Fields -------------------------------------------------------------------------------
    Dongle& dongle() const { return m_dongle; }
    Watchdog& watchdog() { return m_watchdog; }
    // Running while the watchdog runs: from the channel map's arrival until lost.
    bool isRunning() const { return m_watchdog.isRunning(); }
    ChannelMap const& channelMap() const { return m_channelMap; }
    quint16 pan() const { return m_pan; }
    quint16 address() const { return m_address; }
    DongleVersion version() const { return DongleVersion(m_major, m_minor, m_fix, m_build); }
    quint16 build() const { return m_build; }
    QString serial() const { return m_serial; }
    // Takes version, build and serial from the headset's identity record; a record without a
    // serial number leaves a serial already known as it is.
    void setIdentity(NPP const& npp);
    // True when the record names another headset: both this headset's serial and the
    // record's are known, and they differ. A record without a serial proves nothing.
    bool isOtherHeadset(NPP const& npp) const;
    // Milliseconds since the last status was applied.
    qint64 silentForMs() const { return m_heard.elapsed(); }
    SHP const& status() const { return m_status; }
    quint8 batteryLevel() const { return m_status.batteryLevel; }
    // The control byte of the last status: non-zero while the headset actively controls its
    // device.
    bool isActive() const { return m_status.control != 0; }
    quint8 clickButton() const { return m_clickButton; }
    void setClickButton(quint8 button) { m_clickButton = button; }
    quint32 modifierMask() const { return m_modifierMask; }
    void setModifierMask(quint32 mask) { m_modifierMask = mask; }
    OrvixDevice device() const { return m_device; }
    // The result of the headset's initialisation (code 0 while it went well).
    DongleResult const& error() const { return m_error; }
    DongleResult& error() { return m_error; }
    void setError(DongleResult const& error) { m_error = error; }
    bool isErrorAcknowledged() const { return m_errorAcknowledged; }
    void setErrorAcknowledged(bool acknowledged) { m_errorAcknowledged = acknowledged; }
    bool isOnline() const { return m_online; }
    void setOnline(bool online) { m_online = online; }

    // Tests only: the watchdog interval of headsets created from now on (0 or less restores
    // the 30000 ms).
    static void setWatchdogIntervalForTests(int ms);
    static int watchdogInterval();

    // The entry of map naming the device at address and port (port bits 0-6), -1 when none.
    static int indexOf(ChannelMap const& map, OrvixDevice const& device);

signals:
    void headsetLost(Headset* headset);
    void headsetDeviceChanged(Headset* headset, OrvixDevice previous, OrvixDevice current);
    void headsetControlChanged(Headset* headset, quint8 previous, quint8 current);

public slots:
    // Emits headsetLost.
    void watchdogExpired();

private:
    // The device the status reports, as named by the channel map.
    OrvixDevice deviceOf(SHP const& status) const;

    Watchdog m_watchdog;
    Dongle& m_dongle;
    ChannelMap m_channelMap;
    quint16 m_pan = 0;
    quint16 m_address = 0;
    quint8 m_major = 0;
    quint8 m_minor = 0;
    quint8 m_fix = 0;
    quint16 m_build = 0;
    QString m_serial;
    bool m_serialKnown = false;
    QElapsedTimer m_heard;
    SHP m_status;
    quint8 m_clickButton = 0;
    quint32 m_modifierMask = 0;
    OrvixDevice m_device;
    DongleResult m_error;
    bool m_errorAcknowledged = false;
    bool m_online = false;
};
