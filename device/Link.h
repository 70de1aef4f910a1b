#pragma once
// A LINK module on the radio network (the wheelchair interface the headset drives through the
// dongle): its network identity, what it told about itself, its drive parameters, and the
// requests the application sends it.
//
// Every request is one packet through the dongle's send pipeline with a 3000 ms reply time-out
// and its retries; its callback is called exactly once, on the GUI thread. A reply is believed
// only when it is the one the request asked for: the right packet id, flags and command, from
// this LINK on its network. A Link deleted while a request is in flight is not written to; the
// callback still gets the request's result.
#include <QObject>
#include <QString>

#include <functional>

#include "protocol/DongleResult.h"
#include "protocol/LPP.h"
#include "protocol/Records.h"

class Dongle;
class PacketPredicate;

// The LINK's state record: laid out like an SCP record (command 7, value lsb, value msb); the
// msb is the state.
struct LCPActive {
    enum State : quint8 {
        Inactive = 0,
        Active = 1,
        // Passed when no state could be read.
        Unknown = 2,
    };
    static constexpr uchar Command = 7;

    uchar command = Command;
    uchar lsb = 0;
    uchar msb = 0;
};

class Link : public QObject {
    Q_OBJECT
public:
    static constexpr int TimeoutMs = 3000;
    // The LINKs in service mode listen on this network id.
    static constexpr quint16 ServicePAN = 1;
    // A Link for this address (the LINK on the dongle's cable, which answers with an address
    // of its own) accepts its replies from any source.
    static constexpr quint8 AnyAddress = 0;

    // Copies every field.
    Link(Link const& other, QObject* parent = nullptr);
    // The identity of an NPP: PAN, address, version, build, revision and serial; default
    // parameters; not active.
    Link(Dongle& dongle, NPP const& npp, QObject* parent = nullptr);
    // A LINK known only by its PAN and address.
    Link(Dongle& dongle, quint16 pan, quint8 address, QObject* parent = nullptr);
    ~Link() override;

    // Same PAN and address.
    bool isEqual(Link const& other) const;
    // Which LINK this is: PAN, address and serial ("pan/address/serial"). Another chair's LINK
    // at the same address has another one.
    QString identity() const;
    static QString identityOf(quint16 pan, quint8 address, QString const& serial);

    // Takes identity, parameters and active flag of another object for the same LINK.
    void updateFrom(Link const& other);
    QString toString() const;

    // ---- Requests (each callback must not be empty; it is called once) ----------------------
    // LCP 100, answered by the LINK's parameter record, which becomes this Link's parameters.
    void queryParameters(std::function<void(LPP*, DongleResult)> callback);
    // Sends the record; what the LINK sends back (it may have limited values) becomes this
    // Link's parameters. A record meant for one LINK (meantFor, its identity()) goes out only
    // if, when its turn in the dongle's queue comes, this Link still is that LINK and no
    // other LINK's identity was heard at its address since; otherwise
    // nothing is sent and the callback gets code 11 ("Invalid dongle state": what the dongle
    // knows at that address is not what the record was meant for). An empty meantFor sends
    // to whatever LINK answers at this address.
    void applyParameters(LPP const& parameters, std::function<void(LPP*, DongleResult)> callback,
        QString const& meantFor = QString());
    // LCP 7: the state byte (1 active); LCPActive::Unknown on failure.
    void queryState(std::function<void(LCPActive::State, DongleResult)> callback);
    // LCP 97: the LINK's identity record; copyIdentity takes version, build, revision and
    // serial from it.
    void queryNPP(std::function<void(NPP*, DongleResult)> callback, bool copyIdentity);
    // LCP 101, addressed with the service PAN 1 whatever this Link's PAN.
    void exitServiceMode(std::function<void(DongleResult)> callback);
    // LCP 13: the LINK restarts into its firmware loader.
    void startBootloader(std::function<void(DongleResult)> callback);
    // LCP 6: the firmware version (major in the top two bits of the lsb, fix in its low six,
    // minor in the msb; build 0). Not stored.
    void queryVersion(std::function<void(DongleVersion*, DongleResult)> callback);
    // LCP 2: the protocol revision the LINK speaks (0 on failure).
    void queryProtocol(std::function<void(quint8, DongleResult)> callback);
    // LCP 15: true while the LINK is in service mode (false on failure).
    void queryServiceMode(std::function<void(bool, DongleResult)> callback);

    // The replies this LINK's identity, state and parameter requests accept: on this LINK's
    // network, from this LINK's address (or from any for AnyAddress).
    static PacketPredicate identityReply(quint16 pan, quint8 address);
    static PacketPredicate stateReply(quint16 pan, quint8 address);
    static PacketPredicate parametersReply(quint16 pan, quint8 address);

    // The version word of a version reply.
    static DongleVersion versionFromWord(uchar lsb, uchar msb);

    // ---- Fields -------------------------------------------------------------------------------
    Dongle& dongle() const { return m_dongle; }
    quint16 pan() const { return m_pan; }
    quint8 address() const { return m_address; }
    DongleVersion version() const { return m_version; }
    quint16 build() const { return m_version.build; }
    quint8 revision() const { return m_revision; }
    QString serial() const { return m_serial; }
    LPP const& parameters() const { return m_parameters; }
    LPP& parameters() { return m_parameters; }
    void setParameters(LPP const& parameters) { m_parameters = parameters; }
    bool isActive() const { return m_active; }
    void setActive(bool active) { m_active = active; }

private:
    void takeIdentity(NPP const& npp);

    Dongle& m_dongle;
    quint16 m_pan = 0;
    quint8 m_address = 0;
    DongleVersion m_version;
    quint8 m_revision = 0;
    QString m_serial;
    LPP m_parameters;
    bool m_active = false;
};
