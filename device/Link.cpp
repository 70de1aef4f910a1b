#include "device/Link.h"

#include <QPointer>

#include "async/WaitBlock.h"
#include "device/Dongle.h"


namespace {

constexpr uchar CmdProtocol = 2;
constexpr uchar CmdVersion = 6;
constexpr uchar CmdState = LCPActive::Command;
constexpr uchar CmdBootloader = 13;
constexpr uchar CmdServiceMode = 15;
constexpr uchar CmdIdentity = 97;
constexpr uchar CmdParameters = 100;
constexpr uchar CmdExitService = 101;

// Offset of the node's own address in an identity record.
constexpr int NppAddressOffset = 19;

template <typename F>
F orNothing(F callback, F fallback)
{
    return callback ? std::move(callback) : std::move(fallback);
}

DongleResult invalidResponse()
{
    return DongleResult(DongleResult::InvalidResponse);
}

// A reply on the network pan from the LINK at address: another chair's LINK at the same
// address answers on its own network, and is not this one. For AnyAddress (the LINK on the
// dongle's cable, whose own network and address are not known) a reply from any.
PacketPredicate replyFrom(PacketID pid, quint8 flags, quint16 pan, quint8 address)
{
    PacketPredicate predicate(pid, flags);
    if (address != Link::AnyAddress) {
        predicate.pan.setExact(pan);
        predicate.src.setExact(address);
    }
    return predicate;
}

// An LCP reply with that command, under the given flags rule, from that LINK: another LINK's
// late answer to the same command is not this one's.
PacketPredicate commandReply(uchar command, quint8 flags, quint16 pan, quint8 address)
{
    PacketPredicate predicate = replyFrom(PacketID::LCP, flags, pan, address);
    predicate.data = DataPredicate::commandEcho(command);
    return predicate;
}

// The reply's payload when the reply is there and carries the expected packet id; false
// otherwise (a failure, or an answer that is not the one asked for).
bool replyPayload(UHRType const* header, PacketData const* body, PacketID pid, int minimumSize, PacketData& payload)
{
    if (!header || !body || header->PID != pid)
        return false;
    payload = Frame::payloadOf(*header, *body);
    return payload.size() >= minimumSize;
}

} // namespace

Link::Link(Link const& other, QObject* parent)
    : QObject(parent)
    , m_dongle(other.m_dongle)
    , m_pan(other.m_pan)
    , m_address(other.m_address)
    , m_version(other.m_version)
    , m_revision(other.m_revision)
    , m_serial(other.m_serial)
    , m_parameters(other.m_parameters)
    , m_active(other.m_active)
{
}

Link::Link(Dongle& dongle, NPP const& npp, QObject* parent)
    : QObject(parent)
    , m_dongle(dongle)
    , m_pan(npp.pan)
    , m_address(npp.address)
{
    takeIdentity(npp);
}

Link::Link(Dongle& dongle, quint16 pan, quint8 address, QObject* parent)
    : QObject(parent)
    , m_dongle(dongle)
    , m_pan(pan)
    , m_address(address)
{
}

Link::~Link() = default;

bool Link::isEqual(Link const& other) const
{
    return m_pan == other.m_pan && m_address == other.m_address;
}

QString Link::identity() const
{
    return identityOf(m_pan, m_address, m_serial);
}

QString Link::identityOf(quint16 pan, quint8 address, QString const& serial)
{
    return QStringLiteral("%1/%2/%3").arg(pan).arg(address).arg(serial);
}

void Link::updateFrom(Link const& other)
{
    m_version = other.m_version;
    m_revision = other.m_revision;
    m_serial = other.m_serial;
    m_parameters = other.m_parameters;
    m_active = other.m_active;
}

void Link::takeIdentity(NPP const& npp)
{
    m_version = npp.getVersion();
    m_revision = npp.revision;
    m_serial = npp.getSerialNumber();
}

QString Link::toString() const
{
    return QString::asprintf("LINK<%p> {\n\tversion:%d.%d.%d - (%d)\n\trevision: %d\n\tserial:%s\n\tPAN:%d\n\taddress:%d\n"
                             "\tactive:%s\n}",
                             static_cast<void const*>(this), int(m_version.major), int(m_version.minor),
                             int(m_version.fix), int(m_version.build), int(m_revision), m_serial.toUtf8().constData(),
                             int(m_pan), int(m_address), m_active ? "yes" : "no");
}

DongleVersion Link::versionFromWord(uchar lsb, uchar msb)
{
    return DongleVersion(uchar(lsb >> 6), msb, uchar(lsb & 0x3F), 0);
}

PacketPredicate Link::identityReply(quint16 pan, quint8 address)
{
    // An identity record of a LINK on this network that names this LINK's address: a
    // headset's or another LINK's identity (a service-mode beacon, say) is not this one's.
    PacketPredicate predicate(PacketID::NPP, PacketPredicate::AnyFlags);
    predicate.pan.setExact(pan);
    QByteArray pattern(NPP::FixedSize, '\0');
    QByteArray mask(NPP::FixedSize, '\0');
    pattern[0] = char(ProductID::Link);
    mask[0] = char(0xFF);
    if (address != AnyAddress) {
        pattern[NppAddressOffset] = char(address);
        mask[NppAddressOffset] = char(0xFF);
    }
    predicate.data = DataPredicate(pattern, mask);
    return predicate;
}

PacketPredicate Link::stateReply(quint16 pan, quint8 address)
{
    return commandReply(CmdState, 0, pan, address);
}

PacketPredicate Link::parametersReply(quint16 pan, quint8 address)
{
    return replyFrom(PacketID::LPP, PacketPredicate::AnyFlags, pan, address);
}

namespace {

void sendLcp(Dongle& dongle, quint16 pan, quint8 address, uchar command, PacketPredicate const& predicate,
             Dongle::ReplyCallback callback)
{
    const Header header(0, pan, dongle.profile().address, address, PacketID::LCP, 0);
    dongle.sendPacketWithPredicate(header, SCP(command, 0, 0).getData(), predicate, Link::TimeoutMs,
                                   std::move(callback));
}

} // namespace

namespace {

// The completion of a request whose reply carries a record: onReply gets the reply's payload
// when the request succeeded with a reply of packet id pid holding at least minimumSize bytes;
// onFailure gets the pipeline's error, or code 2 ("Invalid response") for any other answer.
Dongle::ReplyCallback expectReply(PacketID pid, int minimumSize,
                                  std::function<void(PacketData const&, DongleResult)> onReply,
                                  std::function<void(DongleResult)> onFailure)
{
    return [pid, minimumSize, onReply, onFailure](UHRType const* header, PacketData const* body,
                                                  DongleResult result) {
        if (result.code != DongleResult::Ok) {
            onFailure(result);
            return;
        }
        PacketData payload;
        if (!replyPayload(header, body, pid, minimumSize, payload)) {
            onFailure(invalidResponse());
            return;
        }
        onReply(payload, result);
    };
}

// The same for an LCP reply: onReply gets its command record.
Dongle::ReplyCallback expectCommand(std::function<void(SCP const&, DongleResult)> onReply,
                                    std::function<void(DongleResult)> onFailure)
{
    return expectReply(
            PacketID::LCP, SCP::SizeOf,
            [onReply](PacketData const& payload, DongleResult result) { onReply(SCP(payload), result); },
            std::move(onFailure));
}

// The completion of a request answered by the LINK's parameter record: the record becomes the
// Link's parameters while the Link exists; the callback gets them (or, for a Link deleted
// meanwhile, the record received).
Dongle::ReplyCallback storeParameters(QPointer<Link> self, std::function<void(LPP*, DongleResult)> callback)
{
    return expectReply(
            PacketID::LPP, LPP::SizeOf,
            [self, callback](PacketData const& payload, DongleResult result) {
                LPP received(payload);
                if (!self) {
                    callback(&received, result);
                    return;
                }
                self->setParameters(received);
                callback(&self->parameters(), result);
            },
            [callback](DongleResult result) { callback(nullptr, result); });
}

} // namespace

void Link::queryParameters(std::function<void(LPP*, DongleResult)> callback)
{
    callback = orNothing(std::move(callback), std::function<void(LPP*, DongleResult)>([](LPP*, DongleResult) {}));
    sendLcp(m_dongle, m_pan, m_address, CmdParameters, parametersReply(m_pan, m_address),
            storeParameters(QPointer<Link>(this), std::move(callback)));
}

void Link::applyParameters(
    LPP const& parameters, std::function<void(LPP*, DongleResult)> callback, QString const& meantFor)
{
    callback = orNothing(std::move(callback), std::function<void(LPP*, DongleResult)>([](LPP*, DongleResult) {}));
    const Header header(0, m_pan, m_dongle.profile().address, m_address, PacketID::LPP, 0);
    PacketPredicate predicate = parametersReply(m_pan, m_address);
    predicate.flags = 0;
    // Checked when the record goes out, not now: a search queued before it may meanwhile find
    // another chair's LINK at this address.
    Dongle::SendCheck stillMeant;
    if (!meantFor.isEmpty()) {
        stillMeant
            = [self = QPointer<Link>(this), dongle = &m_dongle, pan = m_pan, address = m_address, meantFor] {
                  // The LINK heard last at this address is the one there now, known or not yet.
                  const QString heard = dongle->heardLinkSerial(pan, address);
                  QString now = self ? self->identity() : meantFor;
                  if (now == meantFor && !heard.isEmpty())
                      now = identityOf(pan, address, heard);
                  if (now == meantFor)
                      return DongleResult();
                  return DongleResult(DongleResult::InvalidDongleState,
                      QStringLiteral("the record of LINK %1 is not sent to LINK %2").arg(meantFor, now));
              };
    }
    // What the LINK sends back is what it stored (it may have limited a value), not what was
    // sent.
    m_dongle.sendPacketWithPredicate(header, parameters.getData(), predicate, TimeoutMs,
        storeParameters(QPointer<Link>(this), std::move(callback)), std::move(stillMeant));
}

void Link::queryState(std::function<void(LCPActive::State, DongleResult)> callback)
{
    callback = orNothing(std::move(callback),
                         std::function<void(LCPActive::State, DongleResult)>([](LCPActive::State, DongleResult) {}));
    QPointer<Link> self(this);
    sendLcp(m_dongle, m_pan, m_address, CmdState, stateReply(m_pan, m_address),
            expectCommand(
                    [self, callback](SCP const& scp, DongleResult result) {
                        if (self)
                            self->m_active = scp.msb == LCPActive::Active;
                        callback(LCPActive::State(scp.msb), result);
                    },
                    [callback](DongleResult result) { callback(LCPActive::Unknown, result); }));
}

void Link::queryNPP(std::function<void(NPP*, DongleResult)> callback, bool copyIdentity)
{
    callback = orNothing(std::move(callback), std::function<void(NPP*, DongleResult)>([](NPP*, DongleResult) {}));
    QPointer<Link> self(this);
    sendLcp(m_dongle, m_pan, m_address, CmdIdentity, identityReply(m_pan, m_address),
            expectReply(
                    PacketID::NPP, NPP::FixedSize,
                    [self, callback, copyIdentity](PacketData const& payload, DongleResult result) {
                        NPP npp(payload);
                        if (copyIdentity && self)
                            self->takeIdentity(npp);
                        callback(&npp, result);
                    },
                    [callback](DongleResult result) { callback(nullptr, result); }));
}

void Link::exitServiceMode(std::function<void(DongleResult)> callback)
{
    callback = orNothing(std::move(callback), std::function<void(DongleResult)>([](DongleResult) {}));
    sendLcp(m_dongle, ServicePAN, m_address, CmdExitService, commandReply(CmdExitService, 0, ServicePAN, m_address),
            expectCommand([callback](SCP const&, DongleResult result) { callback(result); }, callback));
}

void Link::startBootloader(std::function<void(DongleResult)> callback)
{
    callback = orNothing(std::move(callback), std::function<void(DongleResult)>([](DongleResult) {}));
    sendLcp(m_dongle, m_pan, m_address, CmdBootloader, commandReply(CmdBootloader, 0x01, m_pan, m_address),
            expectCommand([callback](SCP const&, DongleResult result) { callback(result); }, callback));
}

void Link::queryVersion(std::function<void(DongleVersion*, DongleResult)> callback)
{
    callback = orNothing(std::move(callback),
                         std::function<void(DongleVersion*, DongleResult)>([](DongleVersion*, DongleResult) {}));
    sendLcp(m_dongle, m_pan, m_address, CmdVersion, commandReply(CmdVersion, 0, m_pan, m_address),
            expectCommand(
                    [callback](SCP const& scp, DongleResult result) {
                        DongleVersion version = versionFromWord(scp.lsb, scp.msb);
                        callback(&version, result);
                    },
                    [callback](DongleResult result) { callback(nullptr, result); }));
}

void Link::queryProtocol(std::function<void(quint8, DongleResult)> callback)
{
    callback = orNothing(std::move(callback), std::function<void(quint8, DongleResult)>([](quint8, DongleResult) {}));
    sendLcp(m_dongle, m_pan, m_address, CmdProtocol, commandReply(CmdProtocol, 0, m_pan, m_address),
            expectCommand([callback](SCP const& scp, DongleResult result) { callback(scp.lsb, result); },
                          [callback](DongleResult result) { callback(0, result); }));
}

void Link::queryServiceMode(std::function<void(bool, DongleResult)> callback)
{
    callback = orNothing(std::move(callback), std::function<void(bool, DongleResult)>([](bool, DongleResult) {}));
    sendLcp(m_dongle, m_pan, m_address, CmdServiceMode, commandReply(CmdServiceMode, 0, m_pan, m_address),
            expectCommand([callback](SCP const& scp, DongleResult result) { callback(scp.lsb != 0, result); },
                          [callback](DongleResult result) { callback(false, result); }));
}
