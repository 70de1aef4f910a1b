// The emulated dongle (local commands, notices) and the radio devices it hears.
#include "tools/emulator/EmulatorImpl.h"

#include <cmath>

namespace emu {

using Lock = std::unique_lock<std::recursive_mutex>;

namespace {
constexpr double kPi = 3.14159265358979323846;

QByteArray ackBytes(uint8_t packetId, uint8_t command)
{
    QByteArray b;
    b.append(char(packetId));
    b.append(char(command));
    return b;
}

// An ERR record: product, version (major, minor), error code, 32-bit details (zero).
QByteArray errBytes(uint8_t product, uint8_t major, uint8_t minor, uint8_t code)
{
    QByteArray b(8, '\0');
    b[0] = char(product);
    b[1] = char(major);
    b[2] = char(minor);
    b[3] = char(code);
    return b;
}

int16_t toQ14(double v)
{
    const double s = std::round(v * 16384.0);
    return int16_t(qBound(-32768.0, s, 32767.0));
}
} // namespace

// ---------------------------------------------------------------- models

uint8_t HeadsetModel::calibrationByte() const
{
    auto lv = [](uint8_t v) { return uint8_t(qMin<int>(v, 3)); };
    // bits 0-1 magnetometer, 2-3 accelerometer, 4-5 gyroscope, 6-7 IMU fusion
    return uint8_t(lv(levels[0]) | (lv(levels[1]) << 2) | (lv(levels[2]) << 4) | (lv(levels[3]) << 6));
}

bool HeadsetModel::setCalibrationOrder(const QString& names)
{
    static const QStringList known = {QStringLiteral("magneto"), QStringLiteral("accelero"), QStringLiteral("gyro"),
                                      QStringLiteral("imu")};
    QList<int> order;
    for (const QString& name : names.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const int sensor = known.indexOf(name.trimmed().toLower());
        if (sensor < 0 || order.contains(sensor))
            return false;
        order << sensor;
    }
    for (int sensor = 0; sensor < 4; ++sensor)
        if (!order.contains(sensor))
            order << sensor;
    for (int i = 0; i < 4; ++i)
        calibrationOrder[size_t(i)] = uint8_t(order.at(i));
    return true;
}

void HeadsetModel::setPose(double pitchDegrees, double yawDegrees, double rollDegrees)
{
    const double half = kPi / 180 / 2;
    const double cy = std::cos(yawDegrees * half), sy = std::sin(yawDegrees * half);
    const double cr = std::cos(rollDegrees * half), sr = std::sin(rollDegrees * half);
    const double cp = std::cos(pitchDegrees * half), sp = std::sin(pitchDegrees * half);
    motion = false;
    quaternion = {toQ14(cy * cr * cp + sy * sr * sp), toQ14(cy * cr * sp + sy * sr * cp),
                  toQ14(sy * cr * cp - cy * sr * sp), toQ14(cy * sr * cp - sy * cr * sp)};
}

Status HeadsetModel::statusAt(double tMs) const
{
    Status s;
    s.revision = revision;
    s.moduleAddress = moduleAddress;
    s.modulePort = modulePort;
    s.control = control;
    s.calibration = calibrationByte();
    s.byte5 = byte5;
    s.infrared = infrared;
    s.battery = battery;
    s.status = status;
    s.tail = tail;
    if (motion) {
        auto wave = [tMs](double amplitude, double periodMs) {
            return periodMs > 0 ? amplitude * std::sin(2 * kPi * tMs / periodMs) : 0.0;
        };
        double yaw = wave(yawAmplitude, yawPeriodMs) * kPi / 180;
        double pitch = wave(pitchAmplitude, pitchPeriodMs) * kPi / 180;
        double roll = wave(rollAmplitude, rollPeriodMs) * kPi / 180;
        if (gestures && gesturePeriodMs > 0) {
            // One swing of the head per gesture: nod, turn, tilt.
            const int gesture = int(std::fmod(tMs / gesturePeriodMs, 3.0));
            const double phase = std::fmod(tMs, gesturePeriodMs) / gesturePeriodMs;
            const double swing = gestureAmplitude * std::sin(2 * kPi * phase) * kPi / 180;
            pitch = gesture == 0 ? swing : 0;
            yaw = gesture == 1 ? swing : 0;
            roll = gesture == 2 ? swing : 0;
        }
        const double cy = std::cos(yaw / 2), sy = std::sin(yaw / 2);
        const double cp = std::cos(pitch / 2), sp = std::sin(pitch / 2);
        const double cr = std::cos(roll / 2), sr = std::sin(roll / 2);
        s.qw = toQ14(cr * cp * cy + sr * sp * sy);
        s.qx = toQ14(sr * cp * cy - cr * sp * sy);
        s.qy = toQ14(cr * sp * cy + sr * cp * sy);
        s.qz = toQ14(cr * cp * sy - sr * sp * cy);
    } else {
        s.qw = quaternion[0];
        s.qx = quaternion[1];
        s.qy = quaternion[2];
        s.qz = quaternion[3];
    }
    return s;
}

namespace {
// The identity record of a device model: its firmware fields, with the given product, network
// identity and submodules.
template <class Model>
Identity identityOf(const Model& m, int8_t product, uint16_t pan, uint8_t address,
                    std::vector<std::pair<uint8_t, uint8_t>> submodules)
{
    Identity id;
    id.product = product;
    id.major = m.major;
    id.minor = m.minor;
    id.fix = m.fix;
    id.build = m.build;
    id.serial = m.serial;
    id.revision = uint8_t(m.revision);
    id.pan = pan;
    id.address = address;
    id.submodules = std::move(submodules);
    return id;
}
} // namespace

uint16_t linkVersionWord(uint8_t major, uint8_t minor, uint8_t fix)
{
    // lsb: major in the top two bits, fix in the low six; msb: minor.
    return uint16_t((((major & 0x03) << 6) | (fix & 0x3F)) | (minor << 8));
}

Identity DongleModel::identity() const
{
    return identityOf(*this, 2, pan, address, {{1, 0}});
}

Identity HeadsetModel::identity() const
{
    return identityOf(*this, 1, pan, uint8_t(address), {{1, 0}});
}

Identity LinkModel::identity() const
{
    return identityOf(*this, 3, pan, address, submodules);
}

Identity PeerModel::identity() const
{
    return identityOf(*this, product, pan, address, {{1, 0}});
}

PeerModel PeerModel::remote(uint8_t address)
{
    PeerModel p;
    p.product = 4;
    p.address = address;
    p.major = 1;
    p.minor = 2;
    p.fix = 0;
    p.build = 57;
    p.serial = "RM22000108";
    return p;
}

QByteArray LinkModel::defaultParameters()
{
    // Forward/backward/left/right 20 degrees, dead zones 10 %/40 %, tilt/turn, normal
    // polarity, tremor 50 %, safety 45 degrees, emergency break 0.4 s, back tilt off,
    // centre delay 3 s, fifth switch 2 s, reversing sound on.
    const uint8_t p[kLppSize] = {40, 40, 40, 40, 40, 160, 40, 160, 0, 1, 0, 0, 0xEE, 0x7F,
                                 45, 45, 45, 45, 20, 50, 0, 0, 0, 0, 3, 2, 1};
    return QByteArray(reinterpret_cast<const char*>(p), kLppSize);
}

std::function<QByteArray(const QByteArray&)> LinkModel::angleClamp(uint8_t maxHalfDegrees)
{
    return [maxHalfDegrees](const QByteArray& in) {
        QByteArray b = in;
        for (int i = 0; i < 4 && i < b.size(); ++i)
            if (uint8_t(b[i]) > maxHalfDegrees)
                b[i] = char(maxHalfDegrees);
        return b;
    };
}

Identity CabledLinkModel::identity() const
{
    return identityOf(*this, 3, kServicePan, address, { { 1, 8 } });
}

// ---------------------------------------------------------------- dongle

void Emulator::Impl::reply(Frame r, int delayMs)
{
    later(delayMs, [this, r] { emitFrame(r); });
}

void Emulator::Impl::notice(uint8_t command, uint8_t lsb, uint8_t msb)
{
    emitFrame(Frame::local(command, lsb, msb));
}

void Emulator::Impl::restartDongle()
{
    // A dongle that restarts forgets what is volatile; its parameters are kept.
    dongleM.stream = false;
    dongleM.passthrough = false;
    dongleM.heldKeys.clear();
    cabledMode = cabledM.dead ? CabledLinkMode::Dead : CabledLinkMode::Firmware;
    loader.reset();
    decoder.reset();
    ptDecoder.reset();
}

void Emulator::Impl::setServiceMode(bool on)
{
    const uint8_t next = on ? state::ServiceMode : dongleM.stateAfterServiceExit;
    // Service mode spreads to the devices in range, and ends for all of them with the
    // dongle's own (the application forgets its headset on entering service mode, so it may
    // never address the headset's own exit).
    if (dongleM.serviceModeReachesNetwork) {
        if (headsetAudible() || !on)
            headsetM.serviceMode = on;
        for (auto& l : links)
            if (l && (linkAudible(*l) || !on))
                setLinkServiceMode(*l, on);
        for (auto& p : peers)
            if (p && (peerAudible(*p) || !on))
                p->serviceMode = on;
    }
    if (dongleM.stateNoticeOnServiceChange) {
        // The notice follows the echo, however slow the echo is.
        later(dongleM.replyDelayMs + scaled(dongleM.noticeDelayMs), [this, next] {
            dongleM.state = next;
            notice(dcp::State, next, 0);
            reconcile();
        });
    } else {
        dongleM.state = next;
    }
}

void Emulator::Impl::setLinkServiceMode(LinkModel& l, bool on)
{
    l.serviceMode = on;
    if (on)
        return;
    // A LINK that keeps a new address or PAN until it leaves service mode takes them now.
    if (l.pendingPan >= 0)
        l.pan = uint16_t(l.pendingPan);
    if (l.pendingAddress >= 0)
        l.address = uint8_t(l.pendingAddress);
    l.pendingPan = l.pendingAddress = -1;
}

void Emulator::Impl::handleLocal(const Frame& f)
{
    DongleModel& dm = dongleM;
    const uint8_t cmd = uint8_t(f.cmd());
    const uint8_t lsb = f.lsb(), msb = f.msb();
    Frame r = f;
    r.flags |= 0x01;
    auto answer = [&](uint8_t l, uint8_t m) {
        r.payload = scpBytes(cmd, l, m);
        reply(r, dm.replyDelayMs);
    };
    auto stored = [&](uint8_t writeCmd) {
        auto it = dm.params.find(writeCmd);
        const auto v = it == dm.params.end() ? std::make_pair<uint8_t, uint8_t>(0, 0) : it->second;
        answer(v.first, v.second);
    };
    auto echo = [&] { reply(r, dm.replyDelayMs); };
    // After the echo, the dongle announces the click button in force or the key it pressed or
    // released, as its own notices do.
    auto announce = [&](uint8_t command, uint8_t l, uint8_t m) {
        if (dm.announceControl)
            later(dm.replyDelayMs + scaled(dm.noticeDelayMs), [this, command, l, m] { notice(command, l, m); });
    };

    switch (cmd) {
    case dcp::Stream:
        dm.stream = msb != 0;
        echo();
        break;
    case dcp::Range:
    case dcp::Filter:
    case dcp::MouseMode:
    case dcp::Speed:
    case dcp::Acat:
        dm.params[cmd] = {lsb, msb};
        echo();
        break;
    case dcp::Pan:
        dm.pan = f.value();
        echo();
        break;
    case dcp::Zero:
        ++dm.zeroCount;
        echo();
        break;
    case dcp::Click:
        dm.clickButton = msb;
        echo();
        announce(dcp::Click, 0, msb);
        break;
    case dcp::Key:
        if (msb == 1 || msb == 0)
            dm.heldKeys.insert(lsb);
        else if (msb == 2)
            dm.heldKeys.erase(lsb);
        else if (msb == 3)
            dm.heldKeys.clear();
        echo();
        announce(dcp::Key, lsb, msb);
        break;
    case dcp::AutoZero:
        dm.autoZero = msb != 0;
        echo();
        break;
    case dcp::Address:
        dm.address = lsb;
        echo();
        break;
    case dcp::Autorange:
        dm.autorange = msb != 0;
        echo();
        break;
    case dcp::Passthrough:
        echo();
        // The echo leaves first; the line is then the cabled LINK's.
        later(dm.replyDelayMs, [this] { enterPassthrough(); });
        break;
    case dcp::ServiceMode:
        echo();
        setServiceMode(lsb != 0 || msb != 0);
        break;
    case dcp::MouseModeRead: stored(dcp::MouseMode); break;
    case dcp::FilterRead: stored(dcp::Filter); break;
    case dcp::RangeRead: stored(dcp::Range); break;
    case dcp::SpeedRead: stored(dcp::Speed); break;
    case dcp::AcatRead: stored(dcp::Acat); break;
    case dcp::PanRead: answer(uint8_t(dm.pan & 0xFF), uint8_t(dm.pan >> 8)); break;
    case dcp::AddressRead: answer(dm.address, 0); break;
    case dcp::Revision: answer(uint8_t(dm.revision & 0xFF), uint8_t(dm.revision >> 8)); break;
    case dcp::State: answer(dm.state, 0); break;
    case dcp::Identity: {
        if (dm.identityAlsoEchoes)
            echo();
        Frame n = f;
        n.flags = 0x01;
        n.pid = pid::NPP;
        n.payload = dm.identity().encode();
        reply(n, dm.replyDelayMs);
        break;
    }
    default:
        if (dm.echoUnknownCommands)
            echo();
        else
            trace(QStringLiteral("   unknown local command %1 not answered").arg(cmd));
        break;
    }
    reconcile();
}

// ---------------------------------------------------------------- radio

bool Emulator::Impl::hears(uint16_t pan, uint16_t address, bool serviceMode, const Frame& f) const
{
    if (f.dst != address)
        return false;
    return f.pan == pan || (f.pan == kServicePan && (serviceMode || dongleM.servicePanAlwaysHeard));
}

bool Emulator::Impl::headsetAudible() const
{
    return headsetM.present && headsetM.powered && headsetM.inRange;
}

bool Emulator::Impl::linkAudible(const LinkModel& l) const
{
    return l.powered && l.inRange;
}

bool Emulator::Impl::peerAudible(const PeerModel& p) const
{
    return p.powered && p.inRange;
}

void Emulator::Impl::answerKey(const Frame& f, Frame r, QByteArray& password, uint8_t keyError, uint8_t product,
                               uint8_t major, uint8_t minor, int delayMs)
{
    if (keyError) {
        trace(QStringLiteral("   address %1: password refused with error %2").arg(r.src).arg(keyError));
        refuse(r, keyError, product, major, minor, delayMs);
        return;
    }
    password = f.payload.left(16);
    r.pid = pid::ACK;
    r.payload = ackBytes(pid::KEY, 0);
    reply(r, delayMs);
}

void Emulator::Impl::refuse(Frame r, uint8_t code, uint8_t product, uint8_t major, uint8_t minor, int delayMs)
{
    r.pid = pid::ERR;
    r.payload = errBytes(product, major, minor, code);
    reply(r, delayMs);
}

void Emulator::Impl::answerNetworkCommand(const Frame& f, Frame r, uint8_t networkError, uint8_t product,
                                          uint8_t major, uint8_t minor, int delayMs,
                                          const std::function<void(uint8_t, uint16_t)>& take)
{
    const int command = f.cmd();
    if (command != 0 && command != 1) {
        trace(QStringLiteral("   address %1: network command %2 not answered").arg(r.src).arg(command));
        return;
    }
    if (networkError) {
        trace(QStringLiteral("   address %1: network command %2 refused with error %3")
                  .arg(r.src).arg(command).arg(networkError));
        refuse(r, networkError, product, major, minor, delayMs);
        return;
    }
    r.pid = pid::ACK;
    r.payload = ackBytes(pid::GRCP, uint8_t(command));
    reply(r, delayMs);
    take(uint8_t(command), f.value());
}

void Emulator::Impl::handleRadio(const Frame& f)
{
    // The dongle's own address: a password for the dongle is answered by the dongle itself
    // with the same header and the reply flag.
    if (f.pid == pid::KEY && f.dst == dongleM.address) {
        dongleM.password = f.payload.left(16);
        Frame r = f;
        r.flags |= 0x01;
        reply(r, dongleM.replyDelayMs);
        return;
    }
    bool heard = false;
    if (headsetAudible() && hears(headsetM.pan, headsetM.address, headsetM.serviceMode, f)) {
        heard = true;
        handleHeadset(f);
    }
    for (auto& l : links) {
        if (l && linkAudible(*l) && hears(l->pan, l->address, l->serviceMode, f)) {
            heard = true;
            if (l->answering)
                handleLink(*l, f);
            else
                trace(QStringLiteral("   LINK %1 does not answer").arg(l->address));
        }
    }
    for (auto& p : peers) {
        if (p && peerAudible(*p) && hears(p->pan, p->address, p->serviceMode, f)) {
            heard = true;
            if (p->answering)
                handlePeer(*p, f);
            else
                trace(QStringLiteral("   device %1 does not answer").arg(p->address));
        }
    }
    if (!heard)
        trace(QStringLiteral("   no device hears PAN %1 D %2").arg(f.pan).arg(f.dst));
    reconcile();
}

void Emulator::Impl::handleHeadset(const Frame& f)
{
    HeadsetModel& h = headsetM;
    Frame r;
    r.flags = 0;
    r.pan = f.pan;
    r.src = h.address;
    r.dst = f.src;
    auto ack = [&](uint8_t packetId, uint8_t command) {
        r.pid = pid::ACK;
        r.payload = ackBytes(packetId, command);
        reply(r, int(scaled(h.replyDelayMs)));
    };
    switch (f.pid) {
    case pid::HCP:
        switch (f.cmd()) {
        case hcp::ChannelMap:
            if (h.failChannelMapRead) {
                trace(QStringLiteral("   headset: channel-map read not answered"));
                return;
            }
            r.pid = pid::CMAP;
            r.payload = encodeChannelMap(h.channelMap);
            reply(r, int(scaled(h.replyDelayMs)));
            return;
        case hcp::Identity:
            r.pid = pid::NPP;
            r.payload = h.identity().encode();
            reply(r, int(scaled(h.replyDelayMs)));
            return;
        case hcp::Calibration:
            if (f.lsb()) {
                h.calibrating = true;
                h.levels = {0, 0, 0, 0};
            } else {
                h.calibrating = false;
            }
            ack(pid::HCP, 0x00);
            return;
        case hcp::Turbo:
            if (f.lsb())
                h.status |= 0x08;
            else
                h.status &= uint8_t(~0x08);
            ack(pid::HCP, hcp::Turbo);
            return;
        case hcp::ExitService:
            h.serviceMode = false;
            ack(pid::HCP, hcp::ExitService);
            return;
        default:
            trace(QStringLiteral("   headset: unknown command %1 not answered").arg(f.cmd()));
            return;
        }
    case pid::CMAP:
        if (h.ignoreChannelMapWrite) {
            trace(QStringLiteral("   headset: channel-map write not answered"));
            return;
        }
        if (h.channelMapWriteError) {
            trace(QStringLiteral("   headset: channel-map write refused with error %1").arg(h.channelMapWriteError));
            refuse(r, h.channelMapWriteError, 1, h.major, h.minor, int(scaled(h.replyDelayMs))); // 1: the headset
            return;
        }
        h.channelMap = decodeChannelMap(f.payload);
        ack(pid::CMAP, h.channelMapAckByte);
        return;
    case pid::GRCP:
        answerNetworkCommand(f, r, h.networkError, 1, h.major, h.minor, int(scaled(h.replyDelayMs)), [&h](uint8_t command, uint16_t value) {
            if (command == 0)
                h.pan = value;
            else
                h.address = value;
        });
        return;
    case pid::KEY:
        answerKey(f, r, h.password, h.keyError, 1, h.major, h.minor, int(scaled(h.replyDelayMs)));
        return;
    default:
        trace(QStringLiteral("   headset: %1 not answered").arg(pidName(f.pid)));
        return;
    }
}

void Emulator::Impl::handleLink(LinkModel& l, const Frame& f)
{
    Frame r;
    r.flags = 0;
    r.pan = f.pan;
    r.src = l.address;
    r.dst = f.src;
    const int delay = int(scaled(l.replyDelayMs));
    auto scp = [&](uint8_t command, uint16_t value, uint8_t flags = 0) {
        r.pid = pid::LCP;
        r.flags = flags;
        r.payload = scpBytes16(command, value);
        reply(r, delay);
    };
    switch (f.pid) {
    case pid::LCP:
        switch (f.cmd()) {
        case lcp::Identity:
            r.pid = pid::NPP;
            r.payload = l.identity().encode();
            reply(r, delay);
            return;
        case lcp::State: scp(lcp::State, uint16_t((l.active ? 1 : 0) << 8)); return;
        case lcp::Parameters:
            r.pid = pid::LPP;
            r.payload = l.parameters;
            reply(r, delay);
            return;
        case lcp::ExitService:
            scp(lcp::ExitService, 0);
            setLinkServiceMode(l, false);
            return;
        case lcp::Bootloader: scp(lcp::Bootloader, 0, 0x01); return;
        case lcp::Version: scp(lcp::Version, l.versionWord()); return;
        case lcp::Protocol: scp(lcp::Protocol, l.revision); return;
        case lcp::ServiceQuery: scp(lcp::ServiceQuery, l.serviceMode ? 1 : 0); return;
        default:
            trace(QStringLiteral("   LINK %1: unknown command %2 not answered").arg(l.address).arg(f.cmd()));
            return;
        }
    case pid::LPP: {
        QByteArray p = f.payload.left(kLppSize);
        if (l.clamp)
            p = l.clamp(p).left(kLppSize);
        p.append(QByteArray(kLppSize - p.size(), '\0'));
        l.parameters = p;
        trace(QStringLiteral("   LINK %1: parameter record stored [%2]")
                  .arg(l.address)
                  .arg(QString::fromLatin1(p.toHex(' ').toUpper())));
        r.pid = pid::LPP;
        r.payload = p;
        reply(r, delay);
        return;
    }
    case pid::GRCP:
        answerNetworkCommand(f, r, l.networkError, 3, l.major, l.minor, delay, [&l](uint8_t command, uint16_t value) {
            const bool pending = l.addressOnServiceExit && l.serviceMode;
            if (command == 0 && pending)
                l.pendingPan = value;
            else if (command == 0)
                l.pan = value;
            else if (pending)
                l.pendingAddress = uint8_t(value);
            else
                l.address = uint8_t(value);
        });
        return;
    case pid::KEY:
        answerKey(f, r, l.password, l.keyError, 3, l.major, l.minor, delay);
        return;
    default:
        trace(QStringLiteral("   LINK %1: %2 not answered").arg(l.address).arg(pidName(f.pid)));
        return;
    }
}

void Emulator::Impl::handlePeer(PeerModel& p, const Frame& f)
{
    Frame r;
    r.flags = 0;
    r.pan = f.pan;
    r.src = p.address;
    r.dst = f.src;
    const int delay = int(scaled(p.replyDelayMs));
    switch (f.pid) {
    case pid::KEY:
        answerKey(f, r, p.password, p.keyError, uint8_t(p.product), p.major, p.minor, delay);
        return;
    case pid::GRCP:
        // A paired computer's dongle or a chair remote takes a new PAN or address like any
        // device of the network: removing it from a headset's network sets it back to PAN 1.
        answerNetworkCommand(f, r, p.networkError, uint8_t(p.product), p.major, p.minor, delay, [&p](uint8_t command, uint16_t value) {
            if (command == 0)
                p.pan = value;
            else
                p.address = uint8_t(value);
        });
        return;
    default:
        trace(QStringLiteral("   device %1: %2 not answered").arg(p.address).arg(pidName(f.pid)));
        return;
    }
}

// ---------------------------------------------------------------- periodic

void Emulator::Impl::sendStatus()
{
    Frame f;
    f.pid = pid::SHP;
    f.pan = headsetM.pan;
    f.src = headsetM.address;
    f.dst = dongleM.address;
    f.payload = headsetM.statusAt(now() / qMax(1e-6, opt.timeScale)).encode();
    ++statuses;
    emitFrame(f);
}

void Emulator::Impl::sendBeacons()
{
    auto beacon = [this](const Identity& id, uint16_t src) {
        Frame f;
        f.pid = pid::NPP;
        f.pan = kServicePan;
        f.src = src;
        f.dst = 0xFFFF;
        f.payload = id.encode();
        emitFrame(f);
    };
    if (headsetAudible() && headsetM.serviceMode)
        beacon(headsetM.identity(), headsetM.address);
    for (auto& l : links)
        if (l && linkAudible(*l) && l->answering && l->serviceMode)
            beacon(l->identity(), l->address);
    for (auto& p : peers)
        if (p && peerAudible(*p) && p->answering && p->serviceMode)
            beacon(p->identity(), p->address);
}

void Emulator::Impl::calibrationStep()
{
    for (uint8_t sensor : headsetM.calibrationOrder) {
        uint8_t& v = headsetM.levels[sensor & 3];
        if (v < 3) {
            ++v;
            return;
        }
    }
}

void Emulator::Impl::reconcile()
{
    const bool line = master >= 0 && running && !dongleM.passthrough;
    const bool dongleInService = dongleM.state == state::ServiceMode;
    // Out of service mode a headset streams unless the dongle is in service mode (and does not
    // forward statuses then); one in service mode streams only with a dongle in service mode.
    const bool serviceOk = headsetM.serviceMode
        ? headsetM.streamsInServiceMode && dongleInService
        : !dongleInService || dongleM.streamInServiceMode;
    const bool stream = line && dongleM.stream && headsetAudible() && serviceOk;
    if (stream && !streamTask) {
        streamTask = schedule(scaled(qMax(1, headsetM.statusPeriodMs)), [this] {
            streamTask = 0;
            sendStatus();
            reconcile();
        });
    } else if (!stream && streamTask) {
        cancel(streamTask);
    }

    bool anyBeacon = headsetAudible() && headsetM.serviceMode;
    for (auto& l : links)
        anyBeacon = anyBeacon || (l && linkAudible(*l) && l->answering && l->serviceMode);
    for (auto& p : peers)
        anyBeacon = anyBeacon || (p && peerAudible(*p) && p->answering && p->serviceMode);
    const bool beacons = line && anyBeacon &&
                         (!dongleM.beaconsNeedServiceMode || dongleM.state == state::ServiceMode);
    if (beacons && !beaconTask) {
        beaconTask = schedule(scaled(qMax(1, dongleM.beaconIntervalMs)), [this] {
            beaconTask = 0;
            sendBeacons();
            reconcile();
        });
    } else if (!beacons && beaconTask) {
        cancel(beaconTask);
    }

    const bool calibrating = running && headsetM.present && headsetM.powered && headsetM.calibrating;
    if (calibrating && !calibrationTask) {
        calibrationTask = schedule(scaled(qMax(1, headsetM.calibrationStepMs)), [this] {
            calibrationTask = 0;
            calibrationStep();
            reconcile();
        });
    } else if (!calibrating && calibrationTask) {
        cancel(calibrationTask);
    }
    changed.notify_all();
}

// ---------------------------------------------------------------- Emulator: devices

DongleModel Emulator::dongle() const
{
    Lock lock(d->mutex);
    DongleModel copy = d->dongleM;
    // A buffer of the caller's own (see link()).
    copy.password = QByteArray(copy.password.constData(), copy.password.size());
    return copy;
}

void Emulator::updateDongle(const std::function<void(DongleModel&)>& change)
{
    Lock lock(d->mutex);
    const bool pt = d->dongleM.passthrough;
    change(d->dongleM);
    if (pt != d->dongleM.passthrough) {
        d->dongleM.passthrough = pt;
        if (pt)
            d->leavePassthrough();
        else
            d->enterPassthrough();
    }
    d->reconcile();
}

void Emulator::sendNotice(uint8_t command, uint8_t lsb, uint8_t msb)
{
    Lock lock(d->mutex);
    d->notice(command, lsb, msb);
}

void Emulator::noticeAudioFeedback() { sendNotice(dcp::Zero, 0, 1); }
void Emulator::noticeClick(uint8_t button) { sendNotice(dcp::Click, 0, button); }
void Emulator::noticeKey(uint8_t key, uint8_t action) { sendNotice(dcp::Key, key, action); }

void Emulator::noticeState(uint8_t s)
{
    Lock lock(d->mutex);
    d->dongleM.state = s;
    d->notice(dcp::State, s, 0);
    d->reconcile();
}

void Emulator::sendDongleIdentity()
{
    Lock lock(d->mutex);
    Frame n;
    n.pid = pid::NPP;
    n.payload = d->dongleM.identity().encode();
    d->emitFrame(n);
}

void Emulator::setChannel(uint8_t channel)
{
    Lock lock(d->mutex);
    d->dongleM.channel = channel;
    d->trace(QStringLiteral("channel %1").arg(channel));
}

void Emulator::addHeadset(const HeadsetModel& model)
{
    Lock lock(d->mutex);
    d->headsetM = model;
    d->headsetM.present = true;
    d->trace(QStringLiteral("headset added (PAN %1, address %2)").arg(model.pan).arg(model.address));
    d->reconcile();
}

void Emulator::removeHeadset()
{
    Lock lock(d->mutex);
    d->headsetM.present = false;
    d->trace(QStringLiteral("headset removed"));
    d->reconcile();
}

HeadsetModel Emulator::headset() const
{
    Lock lock(d->mutex);
    HeadsetModel copy = d->headsetM;
    // A buffer of the caller's own (see link()).
    copy.password = QByteArray(copy.password.constData(), copy.password.size());
    return copy;
}

void Emulator::updateHeadset(const std::function<void(HeadsetModel&)>& change)
{
    Lock lock(d->mutex);
    change(d->headsetM);
    d->reconcile();
}

void Emulator::headsetPower(bool on)
{
    Lock lock(d->mutex);
    d->headsetM.powered = on;
    d->trace(on ? QStringLiteral("headset powered on") : QStringLiteral("headset powered off"));
    d->reconcile();
}

void Emulator::headsetInRange(bool in)
{
    Lock lock(d->mutex);
    d->headsetM.inRange = in;
    d->trace(in ? QStringLiteral("headset back in range") : QStringLiteral("headset out of range"));
    d->reconcile();
}

void Emulator::setHeadsetControl(uint8_t address, uint8_t port, uint8_t control)
{
    Lock lock(d->mutex);
    d->headsetM.moduleAddress = address;
    d->headsetM.modulePort = port;
    d->headsetM.control = control;
    d->trace(QStringLiteral("headset controls %1/%2, control %3").arg(address).arg(port).arg(control));
}

int Emulator::statusesSent() const
{
    Lock lock(d->mutex);
    return d->statuses;
}

int Emulator::addLink(const LinkModel& model)
{
    Lock lock(d->mutex);
    d->links.push_back(std::make_unique<LinkModel>(model));
    d->trace(QStringLiteral("LINK added (PAN %1, address %2)").arg(model.pan).arg(model.address));
    d->reconcile();
    return int(d->links.size()) - 1;
}

void Emulator::removeLink(int index)
{
    Lock lock(d->mutex);
    if (index >= 0 && index < int(d->links.size()))
        d->links[size_t(index)].reset();
    d->reconcile();
}

int Emulator::linkCount() const
{
    Lock lock(d->mutex);
    int n = 0;
    for (const auto& l : d->links)
        n += l ? 1 : 0;
    return n;
}

LinkModel Emulator::link(int index) const
{
    Lock lock(d->mutex);
    if (index < 0 || index >= int(d->links.size()) || !d->links[size_t(index)])
        return LinkModel();
    LinkModel copy = *d->links[size_t(index)];
    // A buffer of the caller's own: the emulator's thread replaces its parameters through Qt's
    // shared-data release, which a caller still holding a shared copy would race with.
    copy.parameters = QByteArray(copy.parameters.constData(), copy.parameters.size());
    copy.password = QByteArray(copy.password.constData(), copy.password.size());
    return copy;
}

void Emulator::updateLink(int index, const std::function<void(LinkModel&)>& change)
{
    Lock lock(d->mutex);
    if (index >= 0 && index < int(d->links.size()) && d->links[size_t(index)])
        change(*d->links[size_t(index)]);
    d->reconcile();
}

int Emulator::addPeer(const PeerModel& model)
{
    Lock lock(d->mutex);
    d->peers.push_back(std::make_unique<PeerModel>(model));
    d->trace(QStringLiteral("device added (product %1, PAN %2, address %3)")
                 .arg(model.product)
                 .arg(model.pan)
                 .arg(model.address));
    d->reconcile();
    return int(d->peers.size()) - 1;
}

PeerModel Emulator::peer(int index) const
{
    Lock lock(d->mutex);
    if (index < 0 || index >= int(d->peers.size()) || !d->peers[size_t(index)])
        return PeerModel();
    PeerModel copy = *d->peers[size_t(index)];
    // A buffer of the caller's own (see link()).
    copy.password = QByteArray(copy.password.constData(), copy.password.size());
    return copy;
}

void Emulator::updatePeer(int index, const std::function<void(PeerModel&)>& change)
{
    Lock lock(d->mutex);
    if (index >= 0 && index < int(d->peers.size()) && d->peers[size_t(index)])
        change(*d->peers[size_t(index)]);
    d->reconcile();
}

} // namespace emu
