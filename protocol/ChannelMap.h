#pragma once

#include <QDebug>
#include <QMetaType>
#include <QString>
#include <QVector>

#include "protocol/Packet.h"

struct NPP;

// One channel-map entry, 3 bytes in this order in memory and on the wire:
// address; port (bits 0-6) with the enabled flag (bit 7); preset (type nibble, fusion nibble).
struct OrvixDevice {
    // Device kind: high nibble the device type, low nibble the IMU fusion mode.
    enum Preset : uchar {
        NoPreset = 0x00,
        // No device type; an entry with this preset counts as a headset.
        HeadsetPreset = 0x07,
        LinkDrive = 0x18,
        LinkActuator = 0x28,
        PC1 = 0x3B,
        PC2 = 0x4B,
        ChairDrive = 0x58,
        ChairMouse = 0x68,
        ChairActuator = 0x78,
        LinkOutdoorDrive = 0x88,
    };

    // IMU sensor-fusion operating mode (the preset's low nibble).
    enum Fusion : uchar {
        Config = 0,
        AccOnly = 1,
        MagOnly = 2,
        GyroOnly = 3,
        AccMag = 4,
        AccGyro = 5,
        MagGyro = 6,
        AMG = 7,
        IMUPlus = 8,
        Compass = 9,
        M4G = 10,
        NDOFFmcOff = 11,
        NDOF = 12,
    };

    static constexpr uchar EnabledBit = 0x80;
    static constexpr uchar PortMask = 0x7F;

    uchar address = 0;
    // Port number in bits 0-6, enabled flag in bit 7.
    uchar port = 0;
    uchar preset = 0;

    OrvixDevice() = default;
    OrvixDevice(uchar address, uchar portAndEnabled, uchar preset)
        : address(address)
        , port(portAndEnabled)
        , preset(preset)
    {
    }

    uchar portNumber() const { return port & PortMask; }
    bool isEnabled() const { return (port & EnabledBit) != 0; }
    void setEnabled(bool enabled) { port = uchar(enabled ? (port | EnabledBit) : (port & PortMask)); }
    uchar type() const { return uchar(preset >> 4); }
    Fusion fusion() const { return Fusion(preset & 0x0F); }
    // The preset when it is one of the nine known values, otherwise NoPreset (0).
    Preset validPreset() const { return validatedPreset(preset); }
    bool isHeadset() const { return preset == HeadsetPreset; }

    bool operator==(OrvixDevice const& other) const
    {
        return address == other.address && port == other.port && preset == other.preset;
    }
    bool operator!=(OrvixDevice const& other) const { return !(*this == other); }

    static bool isKnownPreset(uchar preset);
    static Preset validatedPreset(uchar preset);
    // Translated display name; "Unknown Preset" for 0x07 and every unknown value.
    static QString QStringFromPreset(Preset preset);
    // Mode name; "unknown" (translated) for 13 and above.
    static QString QStringFromFusion(Fusion fusion);
    // Makes the type usable in queued signal arguments (also done at start-up).
    static void registerMetaType();
};

static_assert(sizeof(OrvixDevice) == 3, "a channel-map entry is 3 bytes");

Q_DECLARE_METATYPE(OrvixDevice)
Q_DECLARE_METATYPE(OrvixDevice::Preset)

// One-line debug text of an entry.
QString QStringFromOrvixDevice(OrvixDevice const& device);
QDebug operator<<(QDebug debug, OrvixDevice const& device);

// A device named by address and port (0-127).
struct DeviceAddress {
    uchar address = 0;
    uchar port = 0;

    DeviceAddress() = default;
    DeviceAddress(uchar address, uchar port)
        : address(address)
        , port(port)
    {
    }

    bool operator==(DeviceAddress const& other) const { return address == other.address && port == other.port; }
    bool operator!=(DeviceAddress const& other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(DeviceAddress)

// The ordered list of devices a headset can control; an entry's position is its channel
// index. The wire form carries at most eight entries.
class ChannelMap {
public:
    static constexpr int MaxEntries = 8;
    static constexpr int SizeOf = 1 + 3 * MaxEntries;

    ChannelMap() = default;
    explicit ChannelMap(PacketData const& data);
    ChannelMap(ChannelMap const& other) = default;
    ChannelMap& operator=(ChannelMap const& other) = default;

    // Discards all entries, then parses the wire form. A count byte promising more entries
    // than the data holds yields only the whole entries present.
    void set(PacketData const& data);
    void set(ChannelMap const& other);
    void clear();
    // Exchanges entries a and b; false (nothing changed) when either index is out of range.
    bool swap(int a, int b);

    // The 25-byte wire form: count (at most 8), eight 3-byte entries (zero-filled).
    PacketData getData() const;
    QString toString() const;

    bool contains(NPP const& npp) const;
    bool contains(DeviceAddress const& device) const;

    int size() const { return devices.size(); }
    int count() const { return devices.size(); }
    bool isEmpty() const { return devices.isEmpty(); }
    OrvixDevice const& at(int index) const { return devices.at(index); }

    // Same entries in the same order, all three bytes of each equal.
    bool operator==(ChannelMap const& other) const { return devices == other.devices; }
    bool operator!=(ChannelMap const& other) const { return !(*this == other); }

    // The entries, open to the users of the map.
    QVector<OrvixDevice> devices;
};

Q_DECLARE_METATYPE(ChannelMap)
