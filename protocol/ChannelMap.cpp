#include "protocol/ChannelMap.h"

#include "protocol/Print.h"
#include "protocol/Records.h"

#include <QObject>

// ---- OrvixDevice ------------------------------------------------------------------------

bool OrvixDevice::isKnownPreset(uchar preset)
{
    switch (preset) {
    case HeadsetPreset:
    case LinkDrive:
    case LinkActuator:
    case PC1:
    case PC2:
    case ChairDrive:
    case ChairMouse:
    case ChairActuator:
    case LinkOutdoorDrive:
        return true;
    default:
        return false;
    }
}

OrvixDevice::Preset OrvixDevice::validatedPreset(uchar preset)
{
    return isKnownPreset(preset) ? Preset(preset) : NoPreset;
}

QString OrvixDevice::QStringFromPreset(Preset preset)
{
    switch (uchar(preset)) {
    case LinkDrive:
        return QObject::tr("Link Drive");
    case LinkActuator:
        return QObject::tr("Link Actuator");
    case PC1:
        return QObject::tr("PC #1");
    case PC2:
        return QObject::tr("PC #2");
    case ChairDrive:
        return QObject::tr("Chair Drive");
    case ChairMouse:
        return QObject::tr("Chair Mouse");
    case ChairActuator:
        return QObject::tr("Chair Actuator");
    case LinkOutdoorDrive:
        return QObject::tr("Link Outdoor Drive");
    default:
        return QObject::tr("Unknown Preset");
    }
}

QString OrvixDevice::QStringFromFusion(Fusion fusion)
{
    static char const* const names[] = {
        "config",
        "accelero only",
        "magneto only",
        "gyro only",
        "accelero & magneto",
        "accelero & gyro",
        "magneto & gyro",
        "AMG",
        "imu plus",
        "compass",
        "M4G",
        "ndof mfc off",
        "ndof",
    };
    uchar const value = uchar(fusion);
    if (value < sizeof(names) / sizeof(names[0]))
        return QString::fromLatin1(names[value]);
    return QObject::tr("unknown");
}

void OrvixDevice::registerMetaType()
{
    qRegisterMetaType<OrvixDevice>("OrvixDevice");
    qRegisterMetaType<ChannelMap>("ChannelMap");
}

namespace {
// Registered at start-up so that queued signals can carry entries by value.
int const metaTypesRegistered = (OrvixDevice::registerMetaType(), 0);
} // namespace

QString QStringFromOrvixDevice(OrvixDevice const& device)
{
    return QString::asprintf("Device: { 0x%02x, 0x%02x, %s, 0x%02x, %s, %s }", device.address,
                             device.portNumber(), qUtf8Printable(OrvixDevice::QStringFromFusion(device.fusion())),
                             device.type(), device.isEnabled() ? "enabled" : "disabled",
                             qUtf8Printable(OrvixDevice::QStringFromPreset(device.validPreset())));
}

QDebug operator<<(QDebug debug, OrvixDevice const& device)
{
    debug.noquote().nospace() << QStringFromOrvixDevice(device);
    return debug;
}

// ---- ChannelMap -------------------------------------------------------------------------

ChannelMap::ChannelMap(PacketData const& data)
{
    set(data);
}

void ChannelMap::set(PacketData const& data)
{
    devices.clear();
    int const promised = data.at(0);
    // Never past the payload: a short payload yields its whole entries only.
    int const present = qMax(0, (data.size() - 1) / 3);
    int const n = qMin(promised, present);
    devices.reserve(n);
    for (int i = 0; i < n; ++i)
        devices.append(OrvixDevice(data.at(1 + 3 * i), data.at(2 + 3 * i), data.at(3 + 3 * i)));
}

void ChannelMap::set(ChannelMap const& other)
{
    if (&other == this)
        return;
    devices.clear();
    for (OrvixDevice const& device : other.devices)
        devices.append(device);
}

void ChannelMap::clear()
{
    devices.resize(0);
}

bool ChannelMap::swap(int a, int b)
{
    if (a < 0 || b < 0 || a >= devices.size() || b >= devices.size())
        return false;
    if (a != b)
        std::swap(devices[a], devices[b]);
    return true;
}

PacketData ChannelMap::getData() const
{
    QByteArray bytes(SizeOf, '\0');
    int const n = qMin(devices.size(), MaxEntries);
    bytes[0] = char(n);
    for (int i = 0; i < n; ++i) {
        OrvixDevice const& device = devices.at(i);
        bytes[1 + 3 * i] = char(device.address);
        bytes[2 + 3 * i] = char(device.port);
        bytes[3 + 3 * i] = char(device.preset);
    }
    return PacketData(bytes, PacketData::LittleEndian);
}

QString ChannelMap::toString() const
{
    QString text = QStringLiteral("Channel Map: {");
    QString const indent = Print::repeat(QStringLiteral("\t"), 1);
    for (OrvixDevice const& device : devices)
        text += QLatin1Char('\n') + indent + QStringFromOrvixDevice(device);
    text += QStringLiteral("\n}");
    return text;
}

bool ChannelMap::contains(NPP const& npp) const
{
    for (int i = 0; i < npp.submoduleCount(); ++i) {
        for (OrvixDevice const& device : devices) {
            if (device.address == npp.address && device.portNumber() == npp.ports[i])
                return true;
        }
    }
    return false;
}

bool ChannelMap::contains(DeviceAddress const& address) const
{
    for (OrvixDevice const& device : devices) {
        if (device.address == address.address && device.portNumber() == address.port)
            return true;
    }
    return false;
}
