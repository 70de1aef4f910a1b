// The dongle's side of the headset: the status stream that creates, updates and keeps alive
// the one headset the dongle hears, its initialisation (identity, channel map, turbo, keys and
// click), its loss, and the notices the dongle passes on to it.
#include "device/Dongle.h"

#include <QLoggingCategory>

#include "device/Headset.h"

Q_DECLARE_LOGGING_CATEGORY(lcDongle)

namespace {

// The addresses at which a headset drives a LINK or a chair: while it actively controls one
// of them it is not available to this computer.
constexpr uchar LinkAddress = 3;
constexpr uchar ChairAddress = 6;

char const* controlName(quint8 control)
{
    return control != 0 ? "active" : "passive";
}

// True when the turbo option was given on the command line.
bool turboRequested(QCommandLineParser const* options)
{
    if (!options)
        return false;
    // optionNames() lists the options given without warning about options never declared.
    const QStringList given = options->optionNames();
    return given.contains(QStringLiteral("turbo")) || given.contains(QStringLiteral("t"));
}

// Hands a headset to the event loop for deletion; until then the dongle owns it, so that a
// dongle destroyed first takes it along.
void retire(Dongle* dongle, Headset* headset)
{
    headset->watchdog().stop();
    QObject::disconnect(headset, nullptr, dongle, nullptr);
    headset->setParent(dongle);
    headset->deleteLater();
}

} // namespace

void Dongle::processSHP(UHRType const& header, RingBuffer& ring)
{
    const PacketData payload(ring.peek(0, header.payloadLength()), PacketData::LittleEndian);
    if (payload.size() < SHP::SizeOf) {
        // A cut status would read as zeros (revision 0, no device): it is not taken.
        qCDebug(lcDongle) << "SHP too short:" << payload.size() << "bytes";
        return;
    }
    // A stopped dongle has let its headset go and takes no new one.
    if (!isRunning())
        return;
    const SHP status(payload);

    // A status of another headset (another PAN or address) means the headset was swapped: the
    // old one is lost first, and this status makes the new one below.
    if (Headset* headset = m_headset) {
        if (header.PAN != headset->pan() || quint16(header.S) != headset->address()) {
            qCDebug(lcDongle) << "Headset swapped: PAN" << header.PAN << "address" << header.S;
            headsetLost(headset);
            if (m_headset || !isRunning())
                return;
        }
    }
    if (Headset* headset = m_headset) {
        const bool failed = headset->error().code != DongleResult::Ok;
        const bool acknowledged = headset->isErrorAcknowledged();
        if (failed && acknowledged) {
            qCDebug(lcDongle) << " ... invalid headset ...";
            headset->watchdog().wakeup();
        } else if (failed) {
            // The director has not answered the failure yet.
        } else if (acknowledged) {
            // The director asked for another try: this headset goes, the next status makes a
            // new one. It is reported lost like any headset that goes (so that no listener
            // keeps it) and deleted later, since its requests and callers may still be on the
            // stack.
            qCDebug(lcDongle) << "Headset failed to initialize:";
            headsetLost(headset);
        } else if (!headset->isRunning()) {
            qCDebug(lcDongle) << "Headset not running ...(initializing)";
        } else {
            QPointer<Headset> guard(headset);
            const qint64 silence = headset->silentForMs();
            const HeadsetChangeMask mask = headset->update(status);
            // A listener of the update may have removed the headset.
            if (guard && m_headset == headset)
                notifyHeadsetUpdated(headset, mask);
            // A stream that comes back after a silence may be another headset with the same
            // PAN and address: its identity record, heard by processNPP, tells.
            if (silence >= Headset::IdentityCheckAfterSilenceMs && guard && m_headset == headset) {
                qCDebug(lcDongle) << "Headset heard again after" << silence << "ms, identity asked";
                headset->queryNPP([](NPP*, DongleResult) {});
            }
        }
        return;
    }

    const quint16 expected = m_expectedRevision;
    DongleResult* last = m_delegate ? m_delegate->lastError() : nullptr;
    if (status.revision != expected) {
        if (last && last->code == DongleResult::InvalidRevision)
            return;
        qCDebug(lcDongle) << "Headset found, revision check failed";
        qCDebug(lcDongle).noquote() << QStringLiteral(" - [") + QString::number(status.revision) + QStringLiteral("/")
                        + QString::number(expected) + QStringLiteral("]");
        if (m_delegate) {
            DongleResult result(DongleResult::InvalidRevision);
            result.text = tr("Headset revision mismatch");
            m_delegate->dongleError(this, result);
        }
        return;
    }
    if (status.control != 0 && (status.moduleAddress == ChairAddress || status.moduleAddress == LinkAddress)) {
        if (last && last->code == DongleResult::InvalidDongleState)
            return;
        qCDebug(lcDongle) << "Headset found, but not available: controlling LINK";
        if (m_delegate) {
            DongleResult result(DongleResult::InvalidDongleState);
            result.text = tr("Headset not available while controlling LINK/Chair");
            m_delegate->dongleError(this, result);
        }
        return;
    }
    auto* headset = new Headset(*this, status, header.PAN, header.S);
    headsetFound(headset);
    // Clears an error reported before.
    if (m_delegate)
        m_delegate->dongleError(this, DongleResult());
}

void Dongle::headsetFound(Headset* headset)
{
    m_headset = headset;
    connect(headset, &Headset::headsetLost, this, &Dongle::headsetLost);
    qCDebug(lcDongle) << "headset found";

    if (turboRequested(m_options)) {
        headset->setTurboMode(true, [](DongleResult result) {
            if (result.code == DongleResult::Ok)
                qCDebug(lcDongle) << "Turbomode ON";
            else
                qCDebug(lcDongle) << "Couldn't set turbo mode";
        });
    }

    // The completions act only on this very headset while it is still the current one: a
    // headset lost (or replaced) meanwhile gets nothing, and a new one is not given another's
    // identity or map.
    QPointer<Headset> found(headset);
    headset->queryNPP([this, found](NPP* npp, DongleResult) {
        if (npp && found && m_headset == found.data())
            headsetApplyIdentity(*npp);
    });
    headset->queryChannelMap([this, found](ChannelMap*, DongleResult result) {
        if (!found || m_headset != found.data())
            return;
        Headset* current = found.data();
        if (result.code == DongleResult::Ok) {
            connect(current, &Headset::headsetControlChanged, this, &Dongle::headsetControlChanged,
                    Qt::UniqueConnection);
            connect(current, &Headset::headsetDeviceChanged, this, &Dongle::headsetDeviceChanged,
                    Qt::UniqueConnection);
            current->watchdog().start();
            notifyDongleUpdated(DongleChangeMask::headsetFound);
            if (m_delegate && found && m_headset == current)
                m_delegate->headsetFound(this, current);
            if (found && m_headset == current)
                notifyHeadsetUpdated(current, HeadsetChangeMask::all);
        } else {
            current->setError(DongleResult(DongleResult::QueryChannelMapFailed, result.text));
            notifyHeadsetUpdated(current, HeadsetChangeMask::error);
        }
    });
    keyPress(0, releaseAllKeys, [](DongleResult) {});
    switchClick(MouseButton::Left, [](DongleResult) {});
}

void Dongle::headsetLost(Headset* headset)
{
    qCDebug(lcDongle) << "Headset lost";
    // Only the current headset can be lost; a stale signal of one already gone changes
    // nothing.
    if (!m_headset || headset != m_headset)
        return;
    m_headset = nullptr;
    QObject::disconnect(headset, nullptr, this, nullptr);
    headset->watchdog().stop();
    if (m_delegate)
        m_delegate->headsetLost(this, headset);
    notifyHeadsetUpdated(nullptr, HeadsetChangeMask::all);
    notifyDongleUpdated(DongleChangeMask::headsetLost);
    // The pointer handed to the delegate stays valid during the calls above.
    retire(this, headset);
}

void Dongle::headsetControlChanged(Headset* headset, quint8 previous, quint8 current)
{
    qCDebug(lcDongle, "Dongle: headset control status changed from (%s) to (%s)", controlName(previous),
            controlName(current));
    if (m_delegate)
        m_delegate->headsetStatusChanged(this, headset, current != 0, false);
}

void Dongle::headsetDeviceChanged(Headset* headset, OrvixDevice previous, OrvixDevice current)
{
    const ChannelMap& map = headset->channelMap();
    const int previousIndex = Headset::indexOf(map, previous);
    const int currentIndex = Headset::indexOf(map, current);
    if (currentIndex < 0) {
        qCDebug(lcDongle).noquote() << QStringLiteral("Dongle: headset controlled device changed  to ")
                        + QStringFromOrvixDevice(current) + QStringLiteral(", invalid device (missing from channel map)");
        return;
    }
    qCDebug(lcDongle).noquote() << QStringLiteral("Dongle: headset controlled device changed from ")
                    + QStringFromOrvixDevice(previous) + QStringLiteral(" to ") + QStringFromOrvixDevice(current);
    if (m_delegate)
        m_delegate->headsetChannelChanged(this, headset, previousIndex, currentIndex);
}

void Dongle::notifyHeadsetUpdated(Headset* headset, HeadsetChangeMask mask)
{
    if (m_delegate)
        m_delegate->headsetUpdated(this, headset, mask);
}

// ---- Hooks of the receive dispatch and the commands ------------------------------------------

void Dongle::headsetSetClickButton(quint8 button)
{
    if (m_headset)
        m_headset->setClickButton(button);
}

quint32 Dongle::headsetModifierMask() const
{
    return m_headset ? m_headset->modifierMask() : quint32(HeadsetControlMask::none);
}

void Dongle::headsetSetModifierMask(quint32 mask)
{
    if (m_headset)
        m_headset->setModifierMask(mask);
}

bool Dongle::headsetApplyIdentity(NPP const& npp)
{
    Headset* headset = m_headset;
    if (!headset || npp.pan != headset->pan() || npp.address != quint8(headset->address()))
        return false;
    if (headset->isOtherHeadset(npp)) {
        // Another headset answers at this PAN and address: the one we had is lost, and the
        // next status makes the new one.
        qCDebug(lcDongle).noquote() << QStringLiteral("Headset swapped: serial ") + npp.getSerialNumber()
                + QStringLiteral(" heard, ") + headset->serial() + QStringLiteral(" known");
        headsetLost(headset);
        return false;
    }
    headset->setIdentity(npp);
    return true;
}

void Dongle::headsetSetOffline()
{
    if (m_headset)
        m_headset->setOnline(false);
}

ChannelMap Dongle::headsetChannelMap() const
{
    return m_headset ? m_headset->channelMap() : ChannelMap();
}

void Dongle::headsetDiscard()
{
    Headset* headset = m_headset;
    if (!headset)
        return;
    m_headset = nullptr;
    headset->watchdog().stop();
    QObject::disconnect(headset, nullptr, this, nullptr);
    delete headset;
}

void Dongle::headsetDropForServiceMode()
{
    Headset* headset = m_headset;
    if (!headset)
        return;
    headset->watchdog().stop();
    emit headset->headsetLost(headset);
}
