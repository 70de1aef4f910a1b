// The single requests the application makes of the dongle and, through its radio, of the
// devices it hears; and the two fixed request lists (keyboard shortcuts, mouse profile).
//
// Local requests go to the dongle itself: DCP with PAN, source and destination 0, answered by
// the echo of its own record within 1000 ms. Remote requests carry PAN 1, the dongle's own address
// as source and the device's address as destination, and are answered by an ACK within 3000 ms,
// or refused at once by an error record from the device.
#include "device/Dongle.h"

#include <QLoggingCategory>
#include <QPointer>

#include "async/WaitBlock.h"
#include "device/MouseProfile.h"

Q_DECLARE_LOGGING_CATEGORY(lcDongle)

namespace
{

constexpr quint16 RemotePAN = 1;
constexpr uchar AnyFlags = 0xFF;

DataPredicate makeData(QByteArray const& pattern, QByteArray const& mask)
{
    return DataPredicate(pattern, mask);
}

Header localHeader()
{
    return Header(0, 0, 0, 0, PacketID::DCP, 0);
}

// The payload of the echo that answers a local command: this very record. Commands come in
// quick runs of the same command with another value (press, release; auto-zero on, then off;
// entering service mode, then leaving it as a page is left; the settings of one mouse profile,
// then another's). A busy dongle echoes the copies of the one before late, after the next has
// gone out: taken for its echo, that would end the next request as done, its copies still in
// the port would be dropped, and the dongle would keep the value before (a key held, the
// dongle left in service mode, a setting reported written that is not).
DataPredicate echoOf(SCP const& scp)
{
    const QByteArray bytes = scp.getData().bytes();
    return DataPredicate(bytes, QByteArray(bytes.size(), char(0xFF)));
}

// The answer to a remote request: from the device at address, to this dongle, on the service
// PAN. A device that will not take the request says so at once with an error record from its
// address: the request ends refused, not asked again and not waited out as silence.
PacketPredicate remoteReply(quint16 address, quint16 own, PacketID pid, quint8 flags, DataPredicate const& data = {})
{
    PacketPredicate predicate(RemotePAN, address, own, pid, flags);
    predicate.data = data;
    predicate.refusedBy.setExact(address);
    return predicate;
}

SCPDescriptor localDescriptor(SCP const& scp)
{
    return SCPDescriptor(0, 0, 0, PacketID::DCP, scp.getData(), echoOf(scp), Dongle::LocalTimeoutMs,
        PacketPredicate::EchoFlag);
}

Dongle::ResultCallback orNothing(Dongle::ResultCallback callback)
{
    if (callback)
        return callback;
    return [](DongleResult) {};
}

} // namespace

void Dongle::sendLocalCommand(SCP const& scp, ResultCallback callback, std::function<void()> onSuccess)
{
    callback = orNothing(std::move(callback));
    // The echo, not a notice of the same command (a key list would otherwise run ahead of
    // its own writes and leave keys held).
    PacketPredicate predicate(localHeader(), PacketPredicate::EchoFlag);
    predicate.data = echoOf(scp);
    sendPacketWithPredicate(localHeader(), scp.getData(), predicate, LocalTimeoutMs,
        [callback, onSuccess](UHRType const*, PacketData const*, DongleResult result) {
            if (result.code == DongleResult::Ok && onSuccess)
                onSuccess();
            callback(result);
        });
}

void Dongle::setHeadsetStream(bool on, ResultCallback callback)
{
    sendLocalCommand(SCP(1, 0, on ? 1 : 0), std::move(callback));
}

void Dongle::setZero(ResultCallback callback)
{
    sendLocalCommand(SCP(9, 0, 0), std::move(callback));
}

void Dongle::switchClick(MouseButton button, ResultCallback callback)
{
    sendLocalCommand(SCP(10, 0, uchar(button)), std::move(callback));
}

void Dongle::keyPress(KeyCode key, KeyPressAction action, ResultCallback callback)
{
    sendLocalCommand(SCP(17, key, uchar(action)), std::move(callback));
}

void Dongle::setMouseAutoZero(bool on, ResultCallback callback)
{
    sendLocalCommand(SCP(18, 0, on ? 1 : 0), std::move(callback));
}

void Dongle::enterPasshroughtMode(ResultCallback callback)
{
    sendLocalCommand(SCP(22, 0, 0), std::move(callback));
}

void Dongle::enterServiceMode(ResultCallback callback)
{
    sendLocalCommand(SCP(37, 1, 1), std::move(callback), [this] { serviceModeChanged(); });
}

void Dongle::exitServiceMode(ResultCallback callback)
{
    sendLocalCommand(SCP(37, 0, 0), std::move(callback), [this] {
        // The dongle is out once it answered; its state notice may come later still, and a
        // service-mode command sent meanwhile would be refused by the dongle.
        if (m_profile.state == quint8(DongleState::SERV_M))
            m_profile.state = quint8(DongleState::IDLE);
        serviceModeChanged();
    });
}

void Dongle::serviceModeChanged()
{
    // Entering or leaving service mode, every device has taken its new address.
    m_addressChanges.clear();
    // The headset is lost to a service-mode change; it is found again by its next status.
    if (m_headset)
        headsetDropForServiceMode();
    notifyDongleUpdated(DongleChangeMask::statusChanged);
}

bool Dongle::requireServiceMode(ResultCallback const& callback)
{
    if (m_profile.state == quint8(DongleState::SERV_M))
        return true;
    qCDebug(lcDongle, "Refused: the dongle is in state %s, not in service mode",
        QStringFromDongleState(int(m_profile.state)));
    callback(DongleResult(DongleResult::InvalidDongleState));
    return false;
}

bool Dongle::setPAN(quint16 pan, ResultCallback callback)
{
    callback = orNothing(std::move(callback));
    if (!requireServiceMode(callback))
        return false;
    sendLocalCommand(SCP(5, pan), std::move(callback), [this, pan] { m_profile.pan = pan; });
    return true;
}

bool Dongle::setDeviceAddress(quint16 address, quint16 newAddress, ResultCallback callback)
{
    callback = orNothing(std::move(callback));
    if (!requireServiceMode(callback))
        return false;
    const quint16 own = m_profile.address;
    if (address == own) {
        sendLocalCommand(SCP(19, newAddress), std::move(callback),
            [this, newAddress] { m_profile.address = quint8(newAddress & 0xFF); });
        return true;
    }
    const Header header(0, RemotePAN, own, address, PacketID::GRCP, 0);
    const PacketPredicate predicate = remoteReply(
        address, own, PacketID::ACK, 0, makeData(QByteArray("\x40\x01", 2), QByteArray("\xFF\xFF", 2)));
    QPointer<Dongle> self(this);
    sendPacketWithPredicate(header, SCP(1, newAddress).getData(), predicate, RemoteTimeoutMs,
        [self, address, newAddress, callback](UHRType const*, PacketData const*, DongleResult result) {
            if (self && result.code == DongleResult::Ok)
                self->noteAddressChange(quint8(address), quint8(newAddress));
            callback(result);
        });
    return true;
}

void Dongle::noteAddressChange(quint8 from, quint8 to)
{
    for (int i = m_addressChanges.size() - 1; i >= 0; --i) {
        AddressChange const& c = m_addressChanges.at(i);
        if (c.from == from || c.to == to || c.to == from)
            m_addressChanges.removeAt(i);
    }
    if (from != to)
        m_addressChanges.append({ from, to, AddressChange::Unheard });
}

void Dongle::noteHeardAt(quint16 source)
{
    for (AddressChange& c : m_addressChanges) {
        if (source == c.to)
            c.heard = AddressChange::AtNew;
        else if (source == c.from)
            c.heard = AddressChange::AtOld;
    }
}

QList<quint8> Dongle::serviceAddressesOf(quint8 address) const
{
    for (AddressChange const& c : m_addressChanges) {
        if (c.to != address)
            continue;
        switch (c.heard) {
        case AddressChange::AtOld:
            return { c.from };
        case AddressChange::AtNew:
            return { c.to };
        case AddressChange::Unheard:
            return { c.to, c.from };
        }
    }
    return { address };
}

bool Dongle::setDevicePAN(quint16 address, quint16 pan, ResultCallback callback)
{
    callback = orNothing(std::move(callback));
    if (!requireServiceMode(callback))
        return false;
    const quint16 own = m_profile.address;
    if (address == own)
        return setPAN(pan, std::move(callback));
    const Header header(0, RemotePAN, own, address, PacketID::GRCP, 0);
    const PacketPredicate predicate = remoteReply(
        address, own, PacketID::ACK, 0, makeData(QByteArray("\x40\x00", 2), QByteArray("\xFF\xFF", 2)));
    sendPacketWithPredicate(header, SCP(0, pan).getData(), predicate, RemoteTimeoutMs,
        [callback](UHRType const*, PacketData const*, DongleResult result) { callback(result); });
    return true;
}

bool Dongle::setDevicePassword(quint16 address, QString const& password, ResultCallback callback)
{
    callback = orNothing(std::move(callback));
    if (!requireServiceMode(callback))
        return false;
    const quint16 own = m_profile.address;
    // Always the remote form, also to the dongle's own address.
    const Header header(0, RemotePAN, own, address, PacketID::KEY, 0);
    // The dongle itself answers with the same header, reply flag set.
    const PacketPredicate predicate = address == own
        ? remoteReply(own, own, PacketID::KEY, 0x01)
        : remoteReply(address, own, PacketID::ACK, AnyFlags,
            makeData(QByteArray("\x2A\x00", 2), QByteArray("\xFF\x00", 2)));
    sendPacketWithPredicate(header, GPP(password).getData(), predicate, RemoteTimeoutMs,
        [callback](UHRType const*, PacketData const*, DongleResult result) { callback(result); });
    return true;
}

void Dongle::sendKeyboardAction(std::list<KeyCode> const& keys, ResultCallback callback)
{
    callback = orNothing(std::move(callback));
    QList<SCPDescriptor> list;
    for (KeyCode key : keys)
        list.append(localDescriptor(SCP(17, key, uchar(pressKey))));
    list.append(localDescriptor(SCP(17, 0, uchar(releaseAllKeys))));
    sendPackets(
        list, [](UHRType const&, PacketData const&) {}, callback);
}

void Dongle::copyAction(ResultCallback callback)
{
    sendKeyboardAction({ 0x83, 0x63 }, std::move(callback));
}

void Dongle::cutAction(ResultCallback callback)
{
    sendKeyboardAction({ 0x83, 0x78 }, std::move(callback));
}

void Dongle::pasteAction(ResultCallback callback)
{
    sendKeyboardAction({ 0x83, 0x76 }, std::move(callback));
}

void Dongle::applyMouseProfile(MouseProfile const& profile, ResultCallback callback)
{
    callback = orNothing(std::move(callback));
    const int mode = int(profile.controlMode());
    if (mode < int(MouseMode::Absolute) || mode > int(MouseMode::ACAT)) {
        // A stored profile may hold a mode the dongle has none of: writing it could leave the
        // person without a working head mouse. Nothing is written; the dongle keeps the
        // settings it works with, and the refusal comes after the lists queued before.
        const DongleResult refused(DongleResult::InvalidCommand,
            QStringLiteral("control mode %1 is none of absolute (1), relative (2) or ACAT (3)").arg(mode));
        qCWarning(lcDongle).noquote() << "Mouse profile refused:" << refused.detail;
        auto answer = [callback, refused](DongleResult result) {
            callback(result.code == DongleResult::Ok ? refused : result);
        };
        sendPackets(
            {}, [](UHRType const&, PacketData const&) {}, answer);
        return;
    }
    QList<SCPDescriptor> list;
    list.append(localDescriptor(SCP(25, 0, uchar(int(profile.controlMode()) & 0xFF))));
    list.append(localDescriptor(SCP(18, 0, profile.autoZeroEnable() ? 1 : 0)));
    list.append(localDescriptor(SCP(3, 0, percentFromFraction(profile.tremorFilter()))));
    list.append(localDescriptor(SCP(2, percentFromFraction(profile.verticalViewAnglePercent()),
        percentFromFraction(profile.horizontalViewAnglePercent()))));
    list.append(localDescriptor(SCP(28, 0, profile.autorange() ? 1 : 0)));
    list.append(localDescriptor(SCP(26, 0, percentFromFraction(profile.mouseSpeedPercent()))));
    list.append(localDescriptor(SCP(24, 0, profile.ACATKeyCode())));
    sendPackets(
        list, [](UHRType const&, PacketData const&) {}, callback);
}
