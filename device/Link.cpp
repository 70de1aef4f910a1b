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

// An LCP reply with that command, under the given flags rule.
PacketPredicate commandReply(uchar command, quint8 flags)
{
    PacketPredicate predicate(PacketID::LCP, flags);
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
    pattern[NppAddressOffset] = char(address);
    mask[NppAddressOffset] = char(0xFF);
    predicate.data = DataPredicate(pattern, mask);
    return predicate;
}

PacketPredicate Link::stateReply(quint8 address)
{
    PacketPredicate predicate = commandReply(CmdState, 0);
    // Only from this LINK: a late state reply of another LINK is not this one's state.
    predicate.src.setExact(address);
    return predicate;
}

PacketPredicate Link::parametersReply(quint8 address)
{
    PacketPredicate predicate(PacketID::LPP, PacketPredicate::AnyFlags);
    predicate.src.setExact(address);
    return predicate;
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

void Link::queryParameters(std::function<void(LPP*, DongleResult)> callback)
{
    callback = orNothing(std::move(callback), std::function<void(LPP*, DongleResult)>([](LPP*, DongleResult) {}));
    QPointer<Link> self(this);
    sendLcp(m_dongle, m_pan, m_address, CmdParameters, parametersReply(m_address),
            [self, callback](UHRType const* header, PacketData const* body, DongleResult result) {
                if (result.code != DongleResult::Ok) {
                    callback(nullptr, result);
                    return;
                }
                PacketData payload;
                if (!replyPayload(header, body, PacketID::LPP, LPP::SizeOf, payload)) {
                    callback(nullptr, invalidResponse());
                    return;
                }
                LPP parameters(payload);
                if (!self) {
                    callback(&parameters, result);
                    return;
                }
                self->m_parameters = parameters;
                callback(&self->m_parameters, result);
            });
}

void Link::applyParameters(LPP const& parameters, std::function<void(LPP*, DongleResult)> callback)
{
    callback = orNothing(std::move(callback), std::function<void(LPP*, DongleResult)>([](LPP*, DongleResult) {}));
    QPointer<Link> self(this);
    const Header header(0, m_pan, m_dongle.profile().address, m_address, PacketID::LPP, 0);
    PacketPredicate predicate = parametersReply(m_address);
    predicate.flags = 0;
    m_dongle.sendPacketWithPredicate(
            header, parameters.getData(), predicate, TimeoutMs,
            [self, callback](UHRType const* header, PacketData const* body, DongleResult result) {
                if (result.code != DongleResult::Ok) {
                    callback(nullptr, result);
                    return;
                }
                PacketData payload;
                if (!replyPayload(header, body, PacketID::LPP, LPP::SizeOf, payload)) {
                    callback(nullptr, invalidResponse());
                    return;
                }
                // What the LINK stored (it may have limited a value), not what was sent.
                LPP stored(payload);
                if (!self) {
                    callback(&stored, result);
                    return;
                }
                self->m_parameters = stored;
                callback(&self->m_parameters, result);
            });
}

void Link::queryState(std::function<void(LCPActive::State, DongleResult)> callback)
{
    callback = orNothing(std::move(callback),
                         std::function<void(LCPActive::State, DongleResult)>([](LCPActive::State, DongleResult) {}));
    QPointer<Link> self(this);
    sendLcp(m_dongle, m_pan, m_address, CmdState, stateReply(m_address),
            [self, callback](UHRType const* header, PacketData const* body, DongleResult result) {
                if (result.code != DongleResult::Ok) {
                    callback(LCPActive::Unknown, result);
                    return;
                }
                PacketData payload;
                if (!replyPayload(header, body, PacketID::LCP, SCP::SizeOf, payload)) {
                    callback(LCPActive::Unknown, invalidResponse());
                    return;
                }
                const SCP scp(payload);
                if (self)
                    self->m_active = scp.msb == LCPActive::Active;
                callback(LCPActive::State(scp.msb), result);
            });
}

void Link::queryNPP(std::function<void(NPP*, DongleResult)> callback, bool copyIdentity)
{
    callback = orNothing(std::move(callback), std::function<void(NPP*, DongleResult)>([](NPP*, DongleResult) {}));
    QPointer<Link> self(this);
    sendLcp(m_dongle, m_pan, m_address, CmdIdentity, identityReply(m_pan, m_address),
            [self, callback, copyIdentity](UHRType const* header, PacketData const* body, DongleResult result) {
                if (result.code != DongleResult::Ok) {
                    callback(nullptr, result);
                    return;
                }
                PacketData payload;
                if (!replyPayload(header, body, PacketID::NPP, NPP::FixedSize, payload)) {
                    callback(nullptr, invalidResponse());
                    return;
                }
                NPP npp(payload);
                if (copyIdentity && self)
                    self->takeIdentity(npp);
                callback(&npp, result);
            });
}

void Link::exitServiceMode(std::function<void(DongleResult)> callback)
{
    callback = orNothing(std::move(callback), std::function<void(DongleResult)>([](DongleResult) {}));
    sendLcp(m_dongle, ServicePAN, m_address, CmdExitService, commandReply(CmdExitService, 0),
            [callback](UHRType const* header, PacketData const* body, DongleResult result) {
                if (result.code != DongleResult::Ok) {
                    callback(result);
                    return;
                }
                PacketData payload;
                callback(replyPayload(header, body, PacketID::LCP, SCP::SizeOf, payload) ? result : invalidResponse());
            });
}

void Link::startBootloader(std::function<void(DongleResult)> callback)
{
    callback = orNothing(std::move(callback), std::function<void(DongleResult)>([](DongleResult) {}));
    sendLcp(m_dongle, m_pan, m_address, CmdBootloader, commandReply(CmdBootloader, 0x01),
            [callback](UHRType const* header, PacketData const* body, DongleResult result) {
                if (result.code != DongleResult::Ok) {
                    callback(result);
                    return;
                }
                PacketData payload;
                callback(replyPayload(header, body, PacketID::LCP, SCP::SizeOf, payload) ? result : invalidResponse());
            });
}

void Link::queryVersion(std::function<void(DongleVersion*, DongleResult)> callback)
{
    callback = orNothing(std::move(callback),
                         std::function<void(DongleVersion*, DongleResult)>([](DongleVersion*, DongleResult) {}));
    sendLcp(m_dongle, m_pan, m_address, CmdVersion, commandReply(CmdVersion, 0),
            [callback](UHRType const* header, PacketData const* body, DongleResult result) {
                if (result.code != DongleResult::Ok) {
                    callback(nullptr, result);
                    return;
                }
                PacketData payload;
                if (!replyPayload(header, body, PacketID::LCP, SCP::SizeOf, payload)) {
                    callback(nullptr, invalidResponse());
                    return;
                }
                const SCP scp(payload);
                DongleVersion version = versionFromWord(scp.lsb, scp.msb);
                callback(&version, result);
            });
}

void Link::queryProtocol(std::function<void(quint8, DongleResult)> callback)
{
    callback = orNothing(std::move(callback), std::function<void(quint8, DongleResult)>([](quint8, DongleResult) {}));
    sendLcp(m_dongle, m_pan, m_address, CmdProtocol, commandReply(CmdProtocol, 0),
            [callback](UHRType const* header, PacketData const* body, DongleResult result) {
                if (result.code != DongleResult::Ok) {
                    callback(0, result);
                    return;
                }
                PacketData payload;
                if (!replyPayload(header, body, PacketID::LCP, SCP::SizeOf, payload)) {
                    callback(0, invalidResponse());
                    return;
                }
                callback(SCP(payload).lsb, result);
            });
}

void Link::queryServiceMode(std::function<void(bool, DongleResult)> callback)
{
    callback = orNothing(std::move(callback), std::function<void(bool, DongleResult)>([](bool, DongleResult) {}));
    sendLcp(m_dongle, m_pan, m_address, CmdServiceMode, commandReply(CmdServiceMode, 0),
            [callback](UHRType const* header, PacketData const* body, DongleResult result) {
                if (result.code != DongleResult::Ok) {
                    callback(false, result);
                    return;
                }
                PacketData payload;
                if (!replyPayload(header, body, PacketID::LCP, SCP::SizeOf, payload)) {
                    callback(false, invalidResponse());
                    return;
                }
                callback(SCP(payload).lsb != 0, result);
            });
}
