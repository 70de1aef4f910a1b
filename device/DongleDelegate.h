#pragma once
// The observer of a Dongle (implemented by the application's director) and the bit sets
// with which the dongle and its headset report what changed.
#include <QMetaType>
#include <QtGlobal>

#include "async/Progress.h"
#include "protocol/DongleResult.h"
#include "protocol/Records.h"

class Dongle;
class Headset;


// What changed in the dongle (u32 bit set).
class DongleChangeMask {
public:
    static constexpr quint32 none = 0x0;
    static constexpr quint32 channelChanged = 0x1;
    static constexpr quint32 statusChanged = 0x2;
    static constexpr quint32 profileChanged = 0x4;
    static constexpr quint32 linkFound = 0x8;
    static constexpr quint32 linkLost = 0x10;
    static constexpr quint32 headsetFound = 0x20;
    static constexpr quint32 headsetLost = 0x40;
    static constexpr quint32 error = 0x10000000;
    static constexpr quint32 found = 0x20000000;
    static constexpr quint32 lost = 0x40000000;
    // Every bit except error, found and lost.
    static constexpr quint32 all = 0x8FFFFFFF;

    constexpr DongleChangeMask(quint32 value = none)
        : m_value(value)
    {
    }
    constexpr operator quint32() const { return m_value; }
    constexpr quint32 value() const { return m_value; }
    constexpr bool testFlag(quint32 bits) const { return (m_value & bits) != 0; }
    DongleChangeMask& operator|=(quint32 bits)
    {
        m_value |= bits;
        return *this;
    }

private:
    quint32 m_value;
};

// What changed in the headset (u32 bit set).
class HeadsetChangeMask {
public:
    static constexpr quint32 none = 0x0;
    static constexpr quint32 orientation = 0x1;
    static constexpr quint32 calibration = 0x4;
    static constexpr quint32 device = 0x8;
    static constexpr quint32 active = 0x10;
    static constexpr quint32 control = 0x20;
    static constexpr quint32 battery = 0x40;
    static constexpr quint32 status = 0x80;
    static constexpr quint32 channelMap = 0x100;
    static constexpr quint32 online = 0x200;
    static constexpr quint32 error = 0x400;
    static constexpr quint32 found = 0x800;
    static constexpr quint32 lost = 0x1000;
    // Every bit except error, found and lost.
    static constexpr quint32 all = 0xFFFFE3FF;

    constexpr HeadsetChangeMask(quint32 value = none)
        : m_value(value)
    {
    }
    constexpr operator quint32() const { return m_value; }
    constexpr quint32 value() const { return m_value; }
    constexpr bool testFlag(quint32 bits) const { return (m_value & bits) != 0; }
    HeadsetChangeMask& operator|=(quint32 bits)
    {
        m_value |= bits;
        return *this;
    }

private:
    quint32 m_value;
};

// The modifier keys a headset holds (u32 bits), as the dongle reports them.
struct HeadsetControlMask {
    enum ModifierOptions : quint32 {
        none = 0x0,
        alt = 0x1,
        command = 0x2,
        shift = 0x4,
        scroll = 0x8,
        control = 0x10,
    };
};

Q_DECLARE_METATYPE(DongleChangeMask)
Q_DECLARE_METATYPE(HeadsetChangeMask)

// Every call is made on the GUI thread. A Dongle without a delegate skips them all.
class DongleDelegate : public Progress::Delegate {
public:
    ~DongleDelegate() override {}

    // progressUpdate(Progress::Context const&) comes from Progress::Delegate.
    virtual void dongleUpdated(Dongle* dongle, DongleChangeMask mask) = 0;
    virtual void headsetFound(Dongle* dongle, Headset* headset) = 0;
    virtual void headsetLost(Dongle* dongle, Headset* headset) = 0;
    virtual void headsetUpdated(Dongle* dongle, Headset* headset, HeadsetChangeMask mask) = 0;
    virtual void deviceFound(Dongle* dongle, NPP const& npp) = 0;
    // Never called.
    virtual void headsetRssiUpdatede(Dongle* dongle, unsigned short rssi) = 0;
    // Previous and current index of the controlled device in the headset's channel map.
    virtual void headsetChannelChanged(Dongle* dongle, Headset* headset, int previous, int current) = 0;
    virtual void headsetStatusChanged(Dongle* dongle, Headset* headset, bool active, bool flag) = 0;
    virtual void dongleError(Dongle* dongle, DongleResult result) = 0;
    // The last result the observer reported.
    virtual DongleResult* lastError() = 0;
    virtual void playAudioFeedback() = 0;
};
