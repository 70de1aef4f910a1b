#include "device/Headset.h"

#include <QLoggingCategory>
#include <QPointer>

#include <atomic>

#include "async/WaitBlock.h"
#include "device/Dongle.h"

Q_DECLARE_LOGGING_CATEGORY(lcDongle)

namespace {

constexpr uchar CmdCalibration = 0;
constexpr uchar CmdChannelMap = 1;
constexpr uchar CmdTurbo = 3;
constexpr uchar CmdExitService = 6;
constexpr uchar CmdIdentity = 10;

std::atomic<int> s_watchdogIntervalMs { Headset::WatchdogIntervalMs };

using ResultCallback = std::function<void(DongleResult)>;

ResultCallback orNothing(ResultCallback callback)
{
    if (callback)
        return callback;
    return [](DongleResult) {};
}

// An ACK whose payload is exactly these two bytes.
PacketPredicate ackOf(uchar packet, uchar command)
{
    PacketPredicate predicate(PacketID::ACK, PacketPredicate::AnyFlags);
    QByteArray pattern(2, '\0');
    pattern[0] = char(packet);
    pattern[1] = char(command);
    predicate.data = DataPredicate(pattern, QByteArray(2, char(0xFF)));
    return predicate;
}

// A reply from the headset at address on network pan: after a swap (two headsets paired with
// this dongle, both switched on) the other headset's late map or acknowledgement is not this
// one's, and taking it would give this headset another's device list.
PacketPredicate fromHeadset(PacketPredicate predicate, quint16 pan, quint16 address)
{
    predicate.pan.setExact(pan);
    predicate.src.setExact(address);
    return predicate;
}

// An identity record carries a serial number unless its first byte is 0xFF (none) or 0
// (not set).
bool carriesSerial(NPP const& npp)
{
    return npp.serial[0] != 0 && npp.serial[0] != 0xFF;
}

bool sameDevice(OrvixDevice const& a, OrvixDevice const& b)
{
    // The enabled bit and the fusion nibble do not make another device. Type 0 holds two
    // kinds: no preset at all and the headset's 7 ("Unknown Preset"), told apart in full.
    return a.address == b.address && a.portNumber() == b.portNumber() && a.type() == b.type()
        && (a.type() != 0 || a.isHeadset() == b.isHeadset());
}

// True when the status's quaternion is a head pose: of unit length, within 10 %. One of zeros
// (sent while the headset's fusion settles) or far from unit length is none: a head-angle view
// would take it as its centre for good, and the 3D head would be drawn squashed.
bool isRotation(SHP const& status)
{
    constexpr qint64 unit = qint64(1) << 28; // 16384 squared
    const qint64 lengthSquared = qint64(status.quatW) * status.quatW + qint64(status.quatX) * status.quatX
        + qint64(status.quatY) * status.quatY + qint64(status.quatZ) * status.quatZ;
    return lengthSquared > unit * 81 / 100 && lengthSquared < unit * 121 / 100;
}

// The status as the pages may see it: a quaternion that is no head pose keeps the pose last
// heard (the head straight until one is heard), and a battery above 100 % reads as full.
SHP plausible(SHP status, SHP const& previous)
{
    if (!isRotation(status)) {
        const bool known = isRotation(previous);
        status.quatW = known ? previous.quatW : qint16(16384);
        status.quatX = known ? previous.quatX : qint16(0);
        status.quatY = known ? previous.quatY : qint16(0);
        status.quatZ = known ? previous.quatZ : qint16(0);
    }
    status.batteryLevel = qMin(status.batteryLevel, uchar(100));
    return status;
}

} // namespace

Headset::Headset(Dongle& dongle, SHP const& status, quint16 pan, quint16 address, QObject* parent)
    : QObject(parent)
    , m_watchdog(s_watchdogIntervalMs.load())
    , m_dongle(dongle)
    , m_pan(pan)
    , m_address(address)
{
    connect(&m_watchdog, &Watchdog::expired, this, &Headset::watchdogExpired);
    update(status);
}

Headset::~Headset()
{
    m_watchdog.stop();
}

void Headset::setWatchdogIntervalForTests(int ms)
{
    s_watchdogIntervalMs = ms > 0 ? ms : WatchdogIntervalMs;
}

int Headset::watchdogInterval()
{
    return s_watchdogIntervalMs.load();
}

int Headset::indexOf(ChannelMap const& map, OrvixDevice const& device)
{
    for (int i = 0; i < map.size(); ++i) {
        OrvixDevice const& entry = map.at(i);
        if (entry.address == device.address && entry.portNumber() == device.portNumber())
            return i;
    }
    return -1;
}

OrvixDevice Headset::deviceOf(SHP const& status) const
{
    // The module port byte is compared whole: one with bit 7 set names no entry.
    for (OrvixDevice const& entry : m_channelMap.devices) {
        if (entry.address == status.moduleAddress && entry.portNumber() == status.modulePort)
            return OrvixDevice(entry.address, entry.port, entry.preset);
    }
    return OrvixDevice(status.moduleAddress, uchar(status.modulePort & OrvixDevice::PortMask), 0);
}

HeadsetChangeMask Headset::update(SHP const& received)
{
    const SHP status = plausible(received, m_status);
    HeadsetChangeMask mask;
    if (!m_online) {
        m_online = true;
        mask |= HeadsetChangeMask::online;
    }
    const OrvixDevice previousDevice = m_device;
    const OrvixDevice currentDevice = deviceOf(status);
    const bool deviceChanged = !sameDevice(previousDevice, currentDevice);
    if (deviceChanged) {
        m_device = currentDevice;
        mask |= HeadsetChangeMask::device;
    }
    const quint8 previousControl = m_status.control;
    const bool controlChanged = status.control != previousControl;
    if (controlChanged)
        mask |= HeadsetChangeMask::active;
    if (status.quatW != m_status.quatW || status.quatX != m_status.quatX || status.quatY != m_status.quatY
        || status.quatZ != m_status.quatZ)
        mask |= HeadsetChangeMask::orientation;
    if (status.batteryLevel != m_status.batteryLevel)
        mask |= HeadsetChangeMask::battery;
    if (status.calibration != m_status.calibration)
        mask |= HeadsetChangeMask::calibration;
    if (status.status != m_status.status)
        mask |= HeadsetChangeMask::status;
    // The infrared level, byte 5, the last two bytes and the revision are copied but report
    // nothing.
    m_status = status;
    m_heard.start();
    m_watchdog.wakeup();

    // The listeners see the headset with the new status in place. One of them may remove
    // the headset; nothing is touched after that.
    QPointer<Headset> self(this);
    if (deviceChanged)
        emit headsetDeviceChanged(this, previousDevice, currentDevice);
    if (controlChanged && self)
        emit headsetControlChanged(this, previousControl, status.control);
    return mask;
}

void Headset::watchdogExpired()
{
    emit headsetLost(this);
}

void Headset::setIdentity(NPP const& npp)
{
    m_major = npp.versionMajor;
    m_minor = npp.versionMinor;
    m_fix = npp.versionFix;
    m_build = npp.build;
    const bool carried = carriesSerial(npp);
    if (carried || !m_serialKnown)
        m_serial = npp.getSerialNumber();
    m_serialKnown = m_serialKnown || carried;
}

bool Headset::isOtherHeadset(NPP const& npp) const
{
    return m_serialKnown && carriesSerial(npp) && npp.getSerialNumber() != m_serial;
}

NPP Headset::generateNPP() const
{
    NPP npp;
    npp.product = ProductID::Headset;
    npp.versionMajor = m_major;
    npp.versionMinor = m_minor;
    npp.versionFix = m_fix;
    npp.build = m_build;
    const QByteArray serial = m_serial.toUtf8().left(NPP::SerialSize);
    for (int i = 0; i < serial.size(); ++i)
        npp.serial[i] = uchar(serial.at(i));
    npp.revision = uchar(Dongle::protocolRevision());
    npp.pan = m_pan;
    npp.address = uchar(m_address & 0xFF);
    return npp;
}

// ---- Requests -------------------------------------------------------------------------------

void Headset::queryChannelMap(std::function<void(ChannelMap*, DongleResult)> callback)
{
    if (!callback)
        callback = [](ChannelMap*, DongleResult) {};
    QPointer<Headset> self(this);
    const Header header(0, m_pan, m_dongle.profile().address, m_address, PacketID::HCP, 0);
    qCDebug(lcDongle) << "Query channel map ...";
    m_dongle.sendPacketWithPredicate(
            header, SCP(CmdChannelMap, 0, 0).getData(),
            fromHeadset(PacketPredicate(PacketID::CMAP, PacketPredicate::AnyFlags), m_pan, m_address),
            TimeoutMs, [self, callback](UHRType const* reply, PacketData const* body, DongleResult result) {
                if (result.code != DongleResult::Ok) {
                    callback(nullptr, result);
                    return;
                }
                // Only the payload is parsed: the checksum that follows it is no entry.
                const PacketData payload = (reply && body && reply->PID == PacketID::CMAP)
                        ? Frame::payloadOf(*reply, *body)
                        : PacketData();
                // A map cut short of the entries it counts is no map: taken as it stands, the
                // devices it lost would be dropped from the headset with the next map written.
                const int counted = payload.isEmpty() ? 0 : qMin(int(payload.at(0)), ChannelMap::MaxEntries);
                if (payload.isEmpty() || payload.size() < 1 + 3 * counted) {
                    qCWarning(lcDongle) << "Channel map of" << payload.size() << "bytes cut short:"
                                        << counted << "entries counted";
                    callback(nullptr, DongleResult(DongleResult::InvalidResponse));
                    return;
                }
                ChannelMap map(payload);
                // The wire form holds at most eight entries.
                if (map.devices.size() > ChannelMap::MaxEntries)
                    map.devices.resize(ChannelMap::MaxEntries);
                qCDebug(lcDongle).noquote() << map.toString();
                if (self) {
                    self->m_channelMap = map;
                    // The device heard before the map arrived is now named by it: the first
                    // status after this one reports no change for the same device.
                    self->m_device = self->deviceOf(self->m_status);
                }
                callback(&map, result);
            });
}

void Headset::setChannelMap(ChannelMap const& map, std::function<void(DongleResult)> callback)
{
    callback = orNothing(std::move(callback));
    if (map.size() > ChannelMap::MaxEntries) {
        // Sending the first eight would drop devices without a word.
        qCWarning(lcDongle) << "Channel map of" << map.size() << "entries refused: the headset holds"
                            << ChannelMap::MaxEntries;
        callback(DongleResult(DongleResult::InvalidCommand,
            QObject::tr("A headset holds at most %1 devices").arg(ChannelMap::MaxEntries)));
        return;
    }
    QPointer<Headset> self(this);
    Dongle* dongle = &m_dongle;
    const ChannelMap sent = map;
    const Header header(0, m_pan, m_dongle.profile().address, m_address, PacketID::CMAP, 0);
    // Byte 1 of the acknowledgement names the command acknowledged; headsets put anything there.
    PacketPredicate predicate(PacketID::ACK, PacketPredicate::AnyFlags);
    predicate.data = DataPredicate(QByteArray("\x03\x00", 2), QByteArray("\xFF\x00", 2));
    predicate = fromHeadset(predicate, m_pan, m_address);
    // The headset refuses a map with an error record from its own address on its own network.
    predicate.refusedBy.setExact(m_address);
    predicate.refusedOn.setExact(m_pan);
    m_dongle.sendPacketWithPredicate(header, map.getData(), predicate, TimeoutMs,
        [self, dongle, sent, callback](UHRType const*, PacketData const*, DongleResult result) {
            if (result.code == DongleResult::Ok) {
                qCDebug(lcDongle).noquote() << QStringLiteral("Channel map update ack\n") + sent.toString();
                if (self) {
                    self->m_channelMap = sent;
                    if (dongle->headset() == self.data())
                        dongle->notifyHeadsetUpdated(self.data(), HeadsetChangeMask::channelMap);
                }
            }
            callback(result);
        });
}

void Headset::queryNPP(std::function<void(NPP*, DongleResult)> callback)
{
    if (!callback)
        callback = [](NPP*, DongleResult) {};
    const Header header(0, m_pan, m_dongle.profile().address, m_address, PacketID::HCP, 0);
    PacketPredicate predicate(PacketID::NPP, PacketPredicate::AnyFlags);
    predicate.data = DataPredicate::productMatch(quint8(ProductID::Headset));
    predicate = fromHeadset(predicate, m_pan, m_address);
    m_dongle.sendPacketWithPredicate(
            header, SCP(CmdIdentity, 0, 0).getData(), predicate, TimeoutMs,
            [callback](UHRType const* reply, PacketData const* body, DongleResult result) {
                if (result.code != DongleResult::Ok) {
                    callback(nullptr, result);
                    return;
                }
                const PacketData payload = (reply && body && reply->PID == PacketID::NPP)
                        ? Frame::payloadOf(*reply, *body)
                        : PacketData();
                // A record cut short would give the headset a cut serial and zeros.
                if (payload.size() < NPP::FixedSize) {
                    callback(nullptr, DongleResult(DongleResult::InvalidResponse));
                    return;
                }
                NPP npp(payload);
                callback(&npp, result);
            });
}

namespace {

void sendHcp(Dongle& dongle, quint16 pan, quint16 address, SCP const& scp, PacketPredicate const& predicate,
             ResultCallback callback)
{
    const Header header(0, pan, dongle.profile().address, address, PacketID::HCP, 0);
    dongle.sendPacketWithPredicate(header, scp.getData(), fromHeadset(predicate, pan, address), Headset::TimeoutMs,
                                   [callback](UHRType const*, PacketData const*, DongleResult result) {
                                       callback(result);
                                   });
}

} // namespace

void Headset::enterCalibration(std::function<void(DongleResult)> callback)
{
    callback = orNothing(std::move(callback));
    if (isActive()) {
        callback(DongleResult(DongleResult::HeadsetActive));
        return;
    }
    sendHcp(m_dongle, m_pan, m_address, SCP(CmdCalibration, 1, 0), ackOf(uchar(PacketID::HCP), CmdCalibration),
            callback);
}

void Headset::exitCalibration(std::function<void(DongleResult)> callback)
{
    callback = orNothing(std::move(callback));
    if (isActive()) {
        callback(DongleResult(DongleResult::HeadsetActive));
        return;
    }
    QPointer<Headset> self(this);
    Dongle* dongle = &m_dongle;
    sendHcp(m_dongle, m_pan, m_address, SCP(CmdCalibration, 0, 0), ackOf(uchar(PacketID::HCP), CmdCalibration),
            [self, dongle, callback](DongleResult result) {
                callback(result);
                // The calibration page learns the headset's state whatever became of the request.
                if (self && dongle->headset() == self.data())
                    dongle->notifyHeadsetUpdated(self.data(), HeadsetChangeMask::calibration);
            });
}

void Headset::setTurboMode(bool on, std::function<void(DongleResult)> callback)
{
    sendHcp(m_dongle, m_pan, m_address, SCP(CmdTurbo, on ? 1 : 0, 0), ackOf(uchar(PacketID::HCP), CmdTurbo),
            orNothing(std::move(callback)));
}

void Headset::exitServiceMode(std::function<void(DongleResult)> callback)
{
    sendHcp(m_dongle, ServicePAN, m_address, SCP(CmdExitService, 0, 0), ackOf(uchar(PacketID::HCP), CmdExitService),
            orNothing(std::move(callback)));
}
