// The dongle's operations on the radio network: reading one LINK, walking a channel map for
// its LINKs (kept in the known-LINK map), checking that a known LINK still answers, and taking
// headset, LINKs and dongle out of service mode. The multi-step operations are chains of named
// steps that report their progress as a list of named items.
#include "device/Dongle.h"

#include <QLoggingCategory>
#include <QPointer>
#include <QStringList>

#include "async/Promise.h"
#include "async/WaitBlock.h"
#include "device/Headset.h"
#include "device/Link.h"

Q_DECLARE_LOGGING_CATEGORY(lcDongle)

namespace {

constexpr uchar CmdIdentity = 97;
constexpr uchar CmdState = LCPActive::Command;
constexpr uchar CmdParameters = 100;

const QString HeadsetItem = QStringLiteral("headset");
const QString DongleItem = QStringLiteral("Dongle");

// An entry of a channel map that the network operations talk to: a LINK module, with its
// validated preset and that preset's name (also the key and text of its progress item).
struct LinkEntry {
    OrvixDevice device;
    OrvixDevice::Preset preset;
    QString name;
};

// The LINK entries of map in order. Only "Link Drive" and "Link Outdoor Drive" are LINK
// modules here; every other entry is passed over.
QList<LinkEntry> linkEntries(ChannelMap const& map)
{
    QList<LinkEntry> entries;
    for (OrvixDevice const& device : map.devices) {
        const OrvixDevice::Preset preset = device.validPreset();
        if (preset == OrvixDevice::LinkDrive || preset == OrvixDevice::LinkOutdoorDrive)
            entries.append({ device, preset, OrvixDevice::QStringFromPreset(preset) });
    }
    return entries;
}

// ---- Progress by named items ----------------------------------------------------------------

void addItem(Progress::Context& progress, QString const& key, QString const& text)
{
    progress.steps.insert(key, text);
    progress.stepKeys.append(key);
}

void selectItem(Progress::Context& progress, QString const& key)
{
    progress.currentStep = key;
    const auto it = progress.steps.constFind(key);
    if (it != progress.steps.constEnd())
        progress.setMessage(it.value());
}

// Reports the fraction of the items done: the item's position among the distinct items, in
// the order they were added. An item added twice (two LINK entries of one preset) counts once,
// so the fraction never exceeds 1; its second completion, after later items, never takes the
// fraction back.
void completeItem(Progress::Context& progress, QString const& key)
{
    if (progress.steps.isEmpty())
        return;
    QStringList distinct;
    for (QString const& k : qAsConst(progress.stepKeys))
        if (!distinct.contains(k))
            distinct.append(k);
    const int position = distinct.indexOf(key) + 1; // 0 when the key is not there
    const int count = qMax(distinct.size(), progress.steps.size());
    const double done = qBound(0.0, double(position) / double(count), 1.0);
    progress.setProgress(qMax(progress.value, done));
}

// Hands a Link to the event loop for deletion: whoever still has it on the stack finishes
// first. Until then the dongle owns it, so that a dongle destroyed first takes it along.
void retire(Dongle* dongle, Link* link)
{
    link->setParent(dongle);
    link->deleteLater();
}

} // namespace

// ---- One LINK ---------------------------------------------------------------------------------

void Dongle::queryLink(quint16 pan, quint8 address, std::function<void(Link*, DongleResult)> callback)
{
    if (!callback)
        callback = [](Link*, DongleResult) {};
    const quint16 own = m_profile.address;
    auto descriptor = [&](uchar command, PacketPredicate const& reply) {
        SCPDescriptor d(pan, own, address, PacketID::LCP, SCP(command, 0, 0).getData(), DataPredicate(),
                        Link::TimeoutMs, 0);
        // The replies that the Link's own requests accept, and nothing else: a headset's or
        // another LINK's answer is never taken for this LINK's.
        d.predicate = reply;
        d.useStoredPredicate = true;
        return d;
    };
    QList<SCPDescriptor> list;
    list << descriptor(CmdIdentity, Link::identityReply(pan, address)) << descriptor(CmdState, Link::stateReply(pan, address))
         << descriptor(CmdParameters, Link::parametersReply(pan, address));

    struct Records {
        NPP npp;
        LPP parameters;
        LCPActive state;
        bool haveIdentity = false;
        bool haveParameters = false;
        bool haveState = false;
    };
    auto records = std::make_shared<Records>();
    sendPackets(
            list,
            [records](UHRType const& header, PacketData const& body) {
                const PacketData payload = Frame::payloadOf(header, body);
                switch (header.PID) {
                case PacketID::NPP:
                    if (payload.size() >= NPP::FixedSize) {
                        records->npp.set(NPP(payload));
                        records->haveIdentity = true;
                    }
                    break;
                case PacketID::LPP:
                    if (payload.size() >= LPP::SizeOf) {
                        records->parameters.set(LPP(payload));
                        records->haveParameters = true;
                    }
                    break;
                case PacketID::LCP:
                    if (payload.size() >= SCP::SizeOf) {
                        const SCP scp(payload);
                        if (scp.command == LCPActive::Command) {
                            records->state.msb = scp.msb;
                            records->haveState = true;
                        }
                    }
                    break;
                default:
                    break;
                }
            },
            [this, records, callback](DongleResult result) {
                if (result.code != DongleResult::Ok) {
                    callback(nullptr, result);
                    return;
                }
                // A record cut short is no answer: its missing bytes would read as zeros.
                if (!records->haveIdentity || !records->haveParameters || !records->haveState) {
                    callback(nullptr, DongleResult(DongleResult::InvalidResponse));
                    return;
                }
                if (records->npp.revision != protocolRevision()) {
                    callback(nullptr, DongleResult(DongleResult::InvalidRevision));
                    return;
                }
                Link link(*this, records->npp, nullptr);
                link.setParameters(records->parameters);
                link.setActive(records->state.msb == LCPActive::Active);
                callback(&link, result);
            });
}

void Dongle::queryLink(OrvixDevice const& device, std::function<void(Link*, DongleResult)> callback)
{
    queryLink(m_profile.pan, device.address, std::move(callback));
}

// ---- The LINKs of a channel map ------------------------------------------------------------------

void Dongle::queryDevices(ChannelMap const& map, std::function<void(OrvixDevice::Preset, DongleResult)> onDevice,
                          std::function<void(QList<OrvixDevice::Preset>*)> onDone)
{
    if (!onDevice)
        onDevice = [](OrvixDevice::Preset, DongleResult) {};
    if (!onDone)
        onDone = [](QList<OrvixDevice::Preset>*) {};
    auto found = std::make_shared<QList<OrvixDevice::Preset>>();
    m_progress.start(tr("Query Devices"), Progress::Infinite | Progress::Finite);

    OX::Defer chain = OX::Promise::createResolved(QStringLiteral("Query Devices"));
    for (LinkEntry const& link : linkEntries(map)) {
        const OrvixDevice entry = link.device;
        const OrvixDevice::Preset preset = link.preset;
        const QString name = link.name;
        addItem(m_progress, name, name);
        chain = chain.then(
                [this, entry, preset, name, found, onDevice](OX::Defer& step) {
                    OX::Defer node = step;
                    qCDebug(lcDongle).noquote() << QStringLiteral("** Query LINK [") + name + QStringLiteral("] ")
                                    + QStringFromOrvixDevice(entry) + QStringLiteral(" ...");
                    selectItem(m_progress, name);
                    queryLink(entry, [this, node, preset, name, found, onDevice](Link* link, DongleResult result) {
                        completeItem(m_progress, name);
                        Link* held = m_links.value(preset, nullptr);
                        if (result.code != DongleResult::Ok || !link) {
                            if (held) {
                                m_links.remove(preset);
                                retire(this, held);
                            }
                        } else {
                            found->append(preset);
                            if (held && held->isEqual(*link)) {
                                // The same LINK: the object callers may hold stays, and what it
                                // shows is what the LINK just said (never stale parameters).
                                held->updateFrom(*link);
                            } else {
                                if (held) {
                                    m_links.remove(preset);
                                    retire(this, held);
                                }
                                m_links.insert(preset, new Link(*link, nullptr));
                            }
                        }
                        onDevice(preset, result);
                        notifyDongleUpdated(DongleChangeMask::linkFound);
                        // A LINK that failed does not stop the walk.
                        node.resolve();
                    });
                },
                QStringLiteral("Query LINK"));
    }
    chain.finally(
            [this, found, onDone](DongleResult, QString) {
                m_progress.clear();
                onDone(found.get());
            },
            QStringLiteral("Query Devices Completition"));
}

void Dongle::pingLink(OrvixDevice::Preset preset, std::function<void(DongleResult)> callback)
{
    Link* link = m_links.value(preset, nullptr);
    if (!link)
        return;
    if (!callback)
        callback = [](DongleResult) {};
    QPointer<Link> pinged(link);
    link->queryState([this, preset, pinged, callback](LCPActive::State, DongleResult result) {
        // Only the LINK that failed is forgotten: one stored for the preset meanwhile (or a map
        // emptied by stop) is left alone.
        if (result.code != DongleResult::Ok && pinged && m_links.value(preset, nullptr) == pinged.data()) {
            m_links.remove(preset);
            // Released once control is back in the event loop, so that whoever hears of the
            // loss can still look at it; handed over now, while the dongle surely exists.
            retire(this, pinged.data());
            notifyDongleUpdated(DongleChangeMask::linkLost);
        }
        callback(result);
    });
}

QString Dongle::heardLinkSerial(quint16 pan, quint8 address) const
{
    return m_heardLinks.value(quint32(pan) << 8 | address);
}

void Dongle::linksDiscard()
{
    const QList<Link*> links = m_links.values();
    m_links.clear();
    qDeleteAll(links);
}

// ---- Leaving service mode ------------------------------------------------------------------------

void Dongle::exitLinkServiceMode(QList<quint8> addresses, std::function<void(DongleResult)> done)
{
    atFirstAnswering(
            std::move(addresses),
            [this](quint8 address, ResultCallback answered) {
                // Lives until its request has completed.
                auto link = std::make_shared<Link>(*this, Link::ServicePAN, address, nullptr);
                link->exitServiceMode([link, answered](DongleResult result) { answered(result); });
            },
            std::move(done));
}

void Dongle::atFirstAnswering(
        QList<quint8> addresses, std::function<void(quint8, ResultCallback)> request, ResultCallback done)
{
    if (addresses.isEmpty()) {
        done(DongleResult(DongleResult::Ok));
        return;
    }
    const quint8 address = addresses.takeFirst();
    QPointer<Dongle> self(this);
    request(address, [self, addresses, request, done](DongleResult result) {
        if (result.code != DongleResult::TimedOut || !self || addresses.isEmpty())
            done(result);
        else
            self->atFirstAnswering(addresses, request, done);
    });
}

bool Dongle::networkLeaveServiceMode(std::function<void(DongleResult)> callback)
{
    if (m_profile.state != quint8(DongleState::SERV_M))
        return false;
    if (!callback)
        callback = [](DongleResult) {};
    if (!m_headset) {
        exitServiceMode(callback);
        return true;
    }
    const ChannelMap map = m_headset->channelMap();
    m_progress.start(tr("Leave Service"), Progress::Infinite | Progress::Finite);

    // Every item is in the list before the first step reports.
    addItem(m_progress, HeadsetItem, tr("Headset"));
    const QList<LinkEntry> links = linkEntries(map);
    for (LinkEntry const& entry : links)
        addItem(m_progress, entry.name, entry.name);
    addItem(m_progress, DongleItem, tr("Dongle"));

    // No step rejects: each goes on to the next whatever its request's result, so that every
    // device is asked. The first failure is kept and is the operation's result: a device that
    // did not leave service mode is not reported as done.
    auto failure = std::make_shared<DongleResult>(DongleResult::Ok);
    auto note = [failure](DongleResult const& result) {
        if (result.code != DongleResult::Ok && failure->code == DongleResult::Ok)
            *failure = result;
    };
    OX::Defer chain = OX::Promise::create(
            [this, note](OX::Defer& step) {
                OX::Defer node = step;
                selectItem(m_progress, HeadsetItem);
                if (!m_headset) {
                    completeItem(m_progress, HeadsetItem);
                    node.resolve();
                    return;
                }
                m_headset->exitServiceMode([this, node, note](DongleResult result) {
                    note(result);
                    completeItem(m_progress, HeadsetItem);
                    node.resolve();
                });
            },
            QStringLiteral("Headset"));
    for (LinkEntry const& entry : links) {
        chain = chain.then(
                [this, entry, note](OX::Defer& step) {
                    OX::Defer node = step;
                    selectItem(m_progress, entry.name);
                    QPointer<Dongle> self(this);
                    exitLinkServiceMode(serviceAddressesOf(entry.device.address),
                                        [self, node, entry, note](DongleResult result) {
                                            // A LINK of the map that answers at none of its
                                            // addresses is taken as switched off, and so out of
                                            // service mode: only one that answered and did not
                                            // leave is a failure.
                                            if (result.code == DongleResult::TimedOut)
                                                qInfo().noquote() << "Leave service mode:" << entry.name
                                                                  << "did not answer";
                                            else
                                                note(result);
                                            if (self)
                                                completeItem(self->m_progress, entry.name);
                                            node.resolve();
                                        });
                },
                QString());
    }
    chain = chain.then(
            [this, note](OX::Defer& step) {
                OX::Defer node = step;
                selectItem(m_progress, DongleItem);
                exitServiceMode([this, node, note](DongleResult result) {
                    note(result);
                    completeItem(m_progress, DongleItem);
                    node.resolve();
                });
            },
            QStringLiteral("Dongle"));
    chain.finally(
            [this, callback, failure](DongleResult result, QString) {
                m_progress.clear();
                callback(failure->code != DongleResult::Ok ? *failure : result);
            },
            QStringLiteral("Finally"));
    return true;
}
