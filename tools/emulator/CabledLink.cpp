// Pass-through: the dongle hands its line to the LINK on its cable, whose firmware answers a
// few framed commands and whose bootloader receives a new image with XMODEM-1K.
#include "tools/emulator/EmulatorImpl.h"
#include "tools/emulator/XmodemReceiver.h"

namespace emu {

using Lock = std::unique_lock<std::recursive_mutex>;

namespace {
QString modeName(CabledLinkMode m)
{
    switch (m) {
    case CabledLinkMode::Firmware: return QStringLiteral("firmware");
    case CabledLinkMode::Restarting: return QStringLiteral("restarting");
    case CabledLinkMode::Bootloader: return QStringLiteral("bootloader");
    case CabledLinkMode::Dead: return QStringLiteral("dead");
    }
    return QString();
}

XmodemReceiver::Faults loaderFaults(const CabledLinkModel& m)
{
    XmodemReceiver::Faults f;
    f.nakBlock = m.nakBlock;
    f.silentBlock = m.silentBlock;
    f.lostAck = m.lostAck;
    f.answerBlockWith = m.answerBlockWith;
    switch (m.eotAnswer) {
    case CabledLinkModel::EotAnswer::Ack: f.eotAnswer = XmodemReceiver::EotAnswer::Ack; break;
    case CabledLinkModel::EotAnswer::Nak: f.eotAnswer = XmodemReceiver::EotAnswer::Nak; break;
    case CabledLinkModel::EotAnswer::Silence: f.eotAnswer = XmodemReceiver::EotAnswer::Silence; break;
    }
    f.eotFaults = m.eotFaults;
    f.eotAckAfterSilence = m.eotAckAfterSilence;
    f.beaconLimit = m.beaconLimit;
    return f;
}

QString loaderBytesText(const QByteArray& b)
{
    QStringList parts;
    for (char c : b) {
        switch (c) {
        case XmodemReceiver::READY: parts << QStringLiteral("C"); break;
        case XmodemReceiver::ACK: parts << QStringLiteral("ACK"); break;
        case XmodemReceiver::NAK: parts << QStringLiteral("NAK"); break;
        case XmodemReceiver::CAN: parts << QStringLiteral("CAN"); break;
        default: parts << QStringLiteral("0x%1").arg(uint8_t(c), 2, 16, QLatin1Char('0')); break;
        }
    }
    return parts.join(QLatin1Char(' '));
}
} // namespace

void Emulator::Impl::enterPassthrough()
{
    if (master < 0)
        return;
    dongleM.passthrough = true;
    ptDecoder.reset();
    cancel(loaderTask);
    loader.reset();
    cabledMode = cabledM.dead ? CabledLinkMode::Dead : CabledLinkMode::Firmware;
    if (cabledMode == CabledLinkMode::Dead) {
        loader = std::make_unique<XmodemReceiver>(loaderFaults(cabledM));
        loader->enterDead(cabledM.recoveryString);
    }
    trace(QStringLiteral("pass-through: the line belongs to the cabled LINK (%1%2)")
              .arg(modeName(cabledMode))
              .arg(cabledM.connected ? QString() : QStringLiteral(", not connected")));
    reconcile();
}

void Emulator::Impl::leavePassthrough()
{
    if (!dongleM.passthrough)
        return;
    dongleM.passthrough = false;
    cancel(loaderTask);
    loader.reset();
    cabledMode = cabledM.dead ? CabledLinkMode::Dead : CabledLinkMode::Firmware;
    decoder.reset();
    trace(QStringLiteral("pass-through ended"));
    reconcile();
}

void Emulator::Impl::writeLoader(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return;
    trace(QStringLiteral("-> app (cable) %1").arg(loaderBytesText(bytes)));
    pushBytes(bytes);
}

void Emulator::Impl::startLoader()
{
    cancel(loaderTask);
    if (!dongleM.passthrough || master < 0)
        return;
    cabledMode = CabledLinkMode::Bootloader;
    loaderBytes = 0;
    loader = std::make_unique<XmodemReceiver>(loaderFaults(cabledM));
    trace(QStringLiteral("cabled LINK: bootloader waiting for an image"));
    writeLoader(loader->enterBootloader());
    loaderTask = schedule(scaled(qMax(1, cabledM.beaconIntervalMs)), [this] { loaderTick(); });
}

void Emulator::Impl::loaderTick()
{
    loaderTask = 0;
    if (!loader || cabledMode != CabledLinkMode::Bootloader || !dongleM.passthrough)
        return;
    const auto before = loader->state();
    writeLoader(loader->tick());
    loaderTask = schedule(scaled(qMax(1, cabledM.beaconIntervalMs)), [this] { loaderTick(); });
    // An EOT acknowledged after its silence completes the upload here.
    loaderStateChanged(before);
    changed.notify_all();
}

void Emulator::Impl::loaderStateChanged(XmodemReceiver::State before)
{
    if (!loader)
        return;
    const auto after = loader->state();
    if (after == XmodemReceiver::State::Complete && before != XmodemReceiver::State::Complete) {
        image = loader->image();
        ++uploads;
        trace(QStringLiteral("cabled LINK: image of %1 bytes received").arg(image.size()));
        cancel(loaderTask);
        schedule(scaled(cabledM.restartDelayMs), [this] {
            if (cabledMode != CabledLinkMode::Bootloader)
                return;
            cabledM.major = cabledM.nextMajor;
            cabledM.minor = cabledM.nextMinor;
            cabledM.fix = cabledM.nextFix;
            cabledM.dead = false;
            cabledMode = CabledLinkMode::Firmware;
            loader.reset();
            ptDecoder.reset();
            trace(QStringLiteral("cabled LINK: restarted into firmware %1.%2.%3")
                      .arg(cabledM.major)
                      .arg(cabledM.minor)
                      .arg(cabledM.fix));
            changed.notify_all();
        });
    } else if (after == XmodemReceiver::State::Cancelled && before != XmodemReceiver::State::Cancelled) {
        trace(QStringLiteral("cabled LINK: transfer cancelled, the bootloader restarts"));
        cancel(loaderTask);
        schedule(scaled(cabledM.restartDelayMs), [this] {
            if (cabledMode == CabledLinkMode::Bootloader)
                startLoader();
        });
    }
}

void Emulator::Impl::onPassthroughBytes(const QByteArray& bytes)
{
    if (!cabledM.connected) {
        trace(QStringLiteral("<- app (cable, nothing connected) %1 bytes").arg(bytes.size()));
        return;
    }
    switch (cabledMode) {
    case CabledLinkMode::Firmware:
        for (const auto& e : ptDecoder.feed(bytes)) {
            if (e.kind == FrameDecoder::Event::Good)
                onAppFrame(e.frame, e.raw, true);
            else
                error(QStringLiteral("invalid bytes from the application to the cabled LINK: ") + e.describe());
        }
        return;
    case CabledLinkMode::Restarting:
        trace(QStringLiteral("<- app (cable, restarting) %1 bytes ignored").arg(bytes.size()));
        return;
    case CabledLinkMode::Dead:
    case CabledLinkMode::Bootloader: {
        if (!loader)
            return;
        const auto before = loader->state();
        loaderBytes += bytes.size();
        if (bytes.size() == XmodemReceiver::FRAME_SIZE && bytes[0] == XmodemReceiver::STX)
            trace(QStringLiteral("<- app (cable) block %1").arg(uint8_t(bytes[1])));
        else
            trace(QStringLiteral("<- app (cable) %1").arg(hex(bytes, 16)));
        const QByteArray answer = loader->feed(bytes);
        const auto after = loader->state();
        if (before == XmodemReceiver::State::Dead && after != XmodemReceiver::State::Dead) {
            trace(QStringLiteral("cabled LINK: recovery string seen, bootloader started"));
            cabledMode = CabledLinkMode::Bootloader;
            cancel(loaderTask);
            loaderTask = schedule(scaled(qMax(1, cabledM.beaconIntervalMs)), [this] { loaderTick(); });
        }
        writeLoader(answer);
        loaderStateChanged(before);
        changed.notify_all();
        return;
    }
    }
}

void Emulator::Impl::handleCabledFrame(const Frame& f)
{
    if (cabledMode != CabledLinkMode::Firmware)
        return;
    // The cabled LINK answers whatever PAN and address the frame carries, from its own address
    // when it has one.
    Frame r;
    r.flags = 0;
    r.pan = f.pan;
    r.src = cabledM.address != 0 ? cabledM.address : f.dst;
    r.dst = f.src;
    r.channel = 0;
    const int delay = int(scaled(cabledM.replyDelayMs));
    auto scp = [&](uint8_t command, uint16_t value, uint8_t flags = 0) {
        r.pid = pid::LCP;
        r.flags = flags;
        r.payload = scpBytes16(command, value);
        later(delay, [this, r] { emitFrame(r, true, false); });
    };
    if (f.pid != pid::LCP) {
        trace(QStringLiteral("   cabled LINK: %1 not answered").arg(pidName(f.pid)));
        return;
    }
    switch (f.cmd()) {
    case lcp::Version: scp(lcp::Version, cabledM.versionWord()); return;
    case lcp::ServiceQuery: scp(lcp::ServiceQuery, cabledM.serviceMode ? 1 : 0); return;
    case lcp::Protocol: scp(lcp::Protocol, cabledM.revision); return;
    case lcp::Identity: {
        Identity id = cabledM.identity();
        id.pan = f.pan;
        id.address = uint8_t(r.src);
        r.pid = pid::NPP;
        r.payload = id.encode();
        later(delay, [this, r] { emitFrame(r, true, false); });
        return;
    }
    case lcp::Bootloader:
        scp(lcp::Bootloader, 0, 0x01);
        later(delay, [this] {
            cabledMode = CabledLinkMode::Restarting;
            trace(QStringLiteral("cabled LINK: restarting into its bootloader"));
            schedule(scaled(cabledM.restartDelayMs), [this] {
                if (cabledMode == CabledLinkMode::Restarting)
                    startLoader();
            });
        });
        return;
    default:
        trace(QStringLiteral("   cabled LINK: command %1 not answered").arg(f.cmd()));
        return;
    }
}

// ---------------------------------------------------------------- Emulator

CabledLinkModel Emulator::cabledLink() const
{
    Lock lock(d->mutex);
    return d->cabledM;
}

void Emulator::updateCabledLink(const std::function<void(CabledLinkModel&)>& change)
{
    Lock lock(d->mutex);
    const bool wasDead = d->cabledM.dead;
    change(d->cabledM);
    if (!d->dongleM.passthrough && wasDead != d->cabledM.dead)
        d->cabledMode = d->cabledM.dead ? CabledLinkMode::Dead : CabledLinkMode::Firmware;
}

CabledLinkMode Emulator::cabledLinkMode() const
{
    Lock lock(d->mutex);
    return d->cabledMode;
}

void Emulator::leavePassthrough()
{
    Lock lock(d->mutex);
    d->leavePassthrough();
}

QByteArray Emulator::receivedImage() const
{
    Lock lock(d->mutex);
    return d->image;
}

int Emulator::uploadsCompleted() const
{
    Lock lock(d->mutex);
    return d->uploads;
}

int Emulator::bootloaderBytesReceived() const
{
    Lock lock(d->mutex);
    return d->loaderBytes;
}

} // namespace emu
