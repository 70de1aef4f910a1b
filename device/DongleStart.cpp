// Bringing the dongle into service: out of service mode, headset status stream on, and its
// profile read and checked against the protocol revision this application speaks.
#include "device/Dongle.h"

#include <QLoggingCategory>

#include "async/Promise.h"
#include "async/WaitBlock.h"

Q_DECLARE_LOGGING_CATEGORY(lcDongle)

namespace {

// Dongle parameters read by the profile query, in the order they are requested.
constexpr uchar ParamRevision = 16;
constexpr uchar ParamPAN = 15;
constexpr uchar ParamAddress = 20;
constexpr uchar ParamState = 64;
constexpr uchar ParamACATKey = 31;
constexpr uchar ParamRange = 8;
constexpr uchar ParamFilter = 12;
constexpr uchar ParamMouseMode = 30;
constexpr uchar ParamMouseSpeed = 27;
constexpr uchar ProfileParameters[] = { ParamRevision, ParamPAN,   ParamAddress,   ParamState,     ParamACATKey,
                                        ParamRange,    ParamFilter, ParamMouseMode, ParamMouseSpeed };

// The dongle's identity request (SCP 43), answered by its NPP.
constexpr uchar IdentityCommand = 43;

// Stores one parameter reply into the profile.
void applyParameter(DongleProfile& profile, SCP const& scp, PacketData const& payload)
{
    switch (scp.command) {
    case ParamRevision:
        profile.revision = scp.value();
        break;
    case ParamPAN:
        profile.pan = scp.value();
        break;
    case ParamAddress:
        profile.address = scp.lsb;
        break;
    case ParamState:
        profile.state = scp.lsb;
        break;
    case ParamACATKey:
        profile.setACATKey(DCPACATKey(payload));
        break;
    case ParamRange:
        profile.setRange(DCPRange(payload));
        break;
    case ParamFilter:
        profile.setFilter(DCPFilter(payload));
        break;
    case ParamMouseMode:
        profile.setMouseMode(DCPMouseMode(payload));
        break;
    case ParamMouseSpeed:
        profile.setMouseSpeed(DCPMouseSpeed(payload));
        break;
    default:
        break;
    }
}

} // namespace

void Dongle::start(ResultCallback callback)
{
    if (!callback)
        callback = [](DongleResult) {};
    m_initialized = false;
    m_stateDuringStart = -1;
    m_running = true;
    m_progress.start(QStringLiteral("Initializing\ndongle"), Progress::Finite);

    OX::Defer chain = OX::Promise::create(
            [this](OX::Defer& step) {
                OX::Defer node = step;
                // Whatever the answer (a dongle not in service mode may not answer), go on.
                exitServiceMode([this, node](DongleResult) {
                    m_progress.setProgress(0.33);
                    node.resolve();
                });
            },
            QStringLiteral("Exit service mode"));
    chain = chain.then(
            [this](OX::Defer& step) {
                OX::Defer node = step;
                setHeadsetStream(true, [this, node](DongleResult result) {
                    m_progress.setProgress(0.66);
                    if (result.code != DongleResult::Ok)
                        node.reject(result);
                    else
                        node.resolve();
                });
            },
            QStringLiteral("Set headset stream"));
    chain = chain.then(
            [this](OX::Defer& step) {
                OX::Defer node = step;
                queryProfile([this, node](DongleProfile* profile, DongleResult result) {
                    m_progress.setProgress(1.0);
                    // The dongle may have announced another state since it answered the read
                    // (leaving service mode takes it a while): the last word heard counts.
                    if (profile && m_stateDuringStart >= 0)
                        profile->state = quint8(m_stateDuringStart);
                    if (result.code == DongleResult::Ok && profile) {
                        qCDebug(lcDongle, "Profile: %s", qUtf8Printable(profile->toString(1)));
                        m_initialized = true;
                        m_profile = *profile;
                        node.resolve();
                    } else {
                        m_initialized = false;
                        // A revision mismatch still shows what the dongle reported.
                        if (profile)
                            m_profile = *profile;
                        node.reject(result);
                    }
                });
            },
            QStringLiteral("Query profile"));
    chain.finally(
            [this, callback](DongleResult result, QString step) {
                qCDebug(lcDongle).noquote() << QStringLiteral("Dongle initialization ") + result.toStringHelper()
                                + QStringLiteral("[") + step + QStringLiteral("]");
                m_progress.clear();
                callback(result);
            },
            QStringLiteral("Dongle Init"));
}

void Dongle::queryProfile(std::function<void(DongleProfile*, DongleResult)> callback)
{
    if (!callback)
        callback = [](DongleProfile*, DongleResult) {};
    auto profile = std::make_shared<DongleProfile>();

    // Queued on the send queue before the parameter list, so it completes first.
    queryNPP([profile](NPP* npp, DongleResult) {
        if (!npp)
            return; // the identity stays unknown; the query goes on
        profile->version = npp->getVersion();
        profile->serial = npp->getSerialNumber();
    });

    QList<SCPDescriptor> list;
    for (uchar command : ProfileParameters)
        list.append(SCPDescriptor(0, 0, 0, PacketID::DCP, SCP(command, 0, 0).getData(),
                                  DataPredicate::commandEcho(command), LocalTimeoutMs, PacketPredicate::EchoFlag));
    sendPackets(
            list,
            [profile](UHRType const& header, PacketData const& body) {
                if (header.PID != PacketID::DCP)
                    return;
                const PacketData payload = Frame::payloadOf(header, body);
                if (payload.size() < SCP::SizeOf)
                    return;
                applyParameter(*profile, SCP(payload), payload);
            },
            [profile, callback](DongleResult result) {
                if (result.code != DongleResult::Ok) {
                    callback(nullptr, result);
                    return;
                }
                DongleProfile copy(*profile);
                if (copy.revision != protocolRevision())
                    callback(&copy, DongleResult(DongleResult::InvalidRevision));
                else
                    callback(&copy, result);
            });
}

void Dongle::queryNPP(std::function<void(NPP*, DongleResult)> callback)
{
    if (!callback)
        callback = [](NPP*, DongleResult) {};
    const Header header(0, 0, 0, 0, PacketID::DCP, 0);
    // Only the dongle's own identity record answers: product 2, with PAN, source and destination
    // 0 as the dongle answers its own queries. Another computer's dongle announcing itself in
    // service mode is a dongle too, but not this one.
    PacketPredicate predicate(0, 0, 0, PacketID::NPP, PacketPredicate::AnyFlags);
    predicate.data = DataPredicate::productMatch(quint8(ProductID::Dongle));
    sendPacketWithPredicate(header, SCP(IdentityCommand, 0, 0).getData(), predicate, LocalTimeoutMs,
                            [callback](UHRType const* reply, PacketData const* body, DongleResult result) {
                                if (!reply || !body) {
                                    callback(nullptr, result);
                                    return;
                                }
                                const PacketData payload = Frame::payloadOf(*reply, *body);
                                // A record cut short would give the dongle a cut serial number.
                                if (payload.size() < NPP::FixedSize) {
                                    callback(nullptr, DongleResult(DongleResult::InvalidResponse));
                                    return;
                                }
                                NPP npp(payload);
                                callback(&npp, result);
                            });
}
