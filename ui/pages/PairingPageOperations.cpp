// The pairing page's device operations: a headset paired with this dongle, a LINK paired with
// the headset, a device removed from the headset's network, and the channel-map upload they share.
#include "ui/pages/PairingPage.h"

#include <QDebug>
#include <QListWidget>
#include <QPointer>

#include <utility>

#include "app/OrvixDirector.h"
#include "async/Promise.h"
#include "device/Dongle.h"
#include "device/Headset.h"
#include "device/Link.h"
#include "ui_PairingPage.h"

namespace OX
{

namespace
{

// An entry written by these operations: port 1 with the enabled bit.
constexpr uchar EnabledPortOne = 0x81;

struct Role {
    quint8 address;
    OrvixDevice::Preset preset;
};
// By the answer's button index.
constexpr Role HeadsetRoles[] = { { 4, OrvixDevice::PC1 }, { 5, OrvixDevice::PC2 } };
constexpr Role LinkRoles[] = { { 3, OrvixDevice::LinkDrive }, { 6, OrvixDevice::LinkOutdoorDrive } };

// A device command's completion that settles the chain's node by its result.
std::function<void(DongleResult)> settle(Defer const& node, std::function<void()> onSuccess = {})
{
    return [node, onSuccess](DongleResult result) {
        if (result.code != DongleResult::Ok) {
            node.reject(result);
            return;
        }
        if (onSuccess)
            onSuccess();
        node.resolve();
    };
}

// The dongle an operation began with is gone: its step cannot run.
DongleResult dongleGone()
{
    return DongleResult(DongleResult::DongleRemoved);
}

// A ninth device would not fit the channel map's wire form and would silently be cut off.
DongleResult networkFull()
{
    return DongleResult(DongleResult::InvalidCommand,
        PairingPage::tr("The network is full: a headset can hold %1 devices").arg(ChannelMap::MaxEntries));
}

bool isLinkPreset(uchar preset)
{
    return preset == OrvixDevice::LinkDrive || preset == OrvixDevice::LinkActuator
        || preset == OrvixDevice::LinkOutdoorDrive;
}

bool isComputerPreset(uchar preset)
{
    return preset == OrvixDevice::PC1 || preset == OrvixDevice::PC2;
}

// Entries that a device of one kind may hold: every LINK role is a LINK, both computer roles a
// dongle.
bool sameKind(OrvixDevice const& a, OrvixDevice const& b)
{
    return (isLinkPreset(a.preset) && isLinkPreset(b.preset))
        || (isComputerPreset(a.preset) && isComputerPreset(b.preset)) || a.type() == b.type();
}

// An entry of map at entry's address (any port) that another kind of device holds, or null: a
// device given that address would answer to it together with that device.
OrvixDevice const* otherDeviceAt(ChannelMap const& map, OrvixDevice const& entry)
{
    for (OrvixDevice const& d : map.devices) {
        if (d.address == entry.address && !sameKind(d, entry))
            return &d;
    }
    return nullptr;
}

DongleResult addressTaken(OrvixDevice const& other)
{
    return DongleResult(DongleResult::InvalidCommand,
        PairingPage::tr("Address %1 of this network belongs to another device (%2): remove it first, or "
                        "pair in the other role")
            .arg(int(other.address))
            .arg(OrvixDevice::QStringFromPreset(other.validPreset())));
}

bool samePlace(OrvixDevice const& a, OrvixDevice const& b)
{
    return a.address == b.address && a.portNumber() == b.portNumber();
}

// The index of the first entry of map at entry's address and port, or -1.
int indexOfPlace(ChannelMap const& map, OrvixDevice const& entry)
{
    for (int i = 0; i < map.size(); ++i) {
        if (samePlace(map.at(i), entry))
            return i;
    }
    return -1;
}

// The headset the dongle hears now when it is the one record names; null otherwise.
Headset* heardHeadset(Dongle* dongle, NPP const& record)
{
    Headset* headset = dongle ? dongle->headset() : nullptr;
    return headset && headset->pan() == record.pan && headset->address() == record.address ? headset
                                                                                           : nullptr;
}

bool holdsSameDevice(ChannelMap const& map, OrvixDevice const& entry)
{
    for (OrvixDevice const& d : map.devices) {
        if (samePlace(d, entry) && d.type() == entry.type())
            return true;
    }
    return false;
}

} // namespace

bool PairingPage::fitsWorkingMap(OrvixDevice const& entry) const
{
    return holdsSameDevice(m_workingChannelMap, entry) || m_workingChannelMap.size() < ChannelMap::MaxEntries;
}

bool PairingPage::refusesEntry(OrvixDevice const& entry, QString const& failedTitle)
{
    if (!fitsWorkingMap(entry)) {
        emit showError(failedTitle.arg(tr("Set CMAP")), networkFull());
        return true;
    }
    if (OrvixDevice const* other = otherDeviceAt(m_workingChannelMap, entry)) {
        emit showError(failedTitle.arg(tr("Set Address")), addressTaken(*other));
        return true;
    }
    return false;
}

bool PairingPage::addToWorkingMap(OrvixDevice const& entry)
{
    if (holdsSameDevice(m_workingChannelMap, entry))
        return true;
    if (m_workingChannelMap.size() >= ChannelMap::MaxEntries)
        return false;
    m_workingChannelMap.devices.append(entry);
    return true;
}

Headset* PairingPage::stillHeld(QPointer<Dongle> const& dongle, QPointer<Headset> const& asked)
{
    // A headset switched on in place of the one asked about is not written with a map that is
    // not its own.
    Headset* held = dongle ? dongle->headset() : nullptr;
    return held && held == asked ? held : nullptr;
}

void PairingPage::uploadChannelMap(ChannelMap const& map, std::function<void(DongleResult)> done)
{
    Headset* headset = container->getHeadset();
    if (!headset) {
        done(DongleResult(DongleResult::NoHeadset));
        return;
    }
    headset->setChannelMap(map, std::move(done));
}

void PairingPage::reportFailure(
    Dongle* dongle, QString const& title, DongleResult const& result, QString const& leftIn)
{
    // Unplugged: the step under way may or may not have been taken, whatever its result says.
    // Told after the loss has run its course (the page may be going back on it); when the
    // application quits, nobody is left to tell.
    if (!dongle || !dongle->isRunning()) {
        if (!std::exchange(m_cutShort, true))
            QMetaObject::invokeMethod(this, &PairingPage::tellCutShort, Qt::QueuedConnection);
        return;
    }
    qWarning().noquote() << title << result.toStringHelper() << leftIn;
    if (isVisit(visit())) {
        if (result.code == DongleResult::InvalidDongleState && m_state != not_initialized_state)
            emit showHint(service_mode_required_hint);
        else
            tellError(title, result, leftIn);
        return;
    }
    // Left (or leaving): told once all the same, by the director over whatever page is shown,
    // with what the devices were left with.
    QString text = result.toStringHelper();
    if (!leftIn.isEmpty())
        text += QStringLiteral("\n\n") + leftIn;
    if (OrvixDirector* director = container->getDirector())
        emit director->showMessage(OrvixDirector::warning, title, text);
}

void PairingPage::tellCutShort()
{
    OrvixDirector* director = container->getDirector();
    if (std::exchange(m_cutShort, false) && director)
        emit director->showMessage(OrvixDirector::warning, tr("Pairing"),
            tr("The dongle was unplugged while a device was being paired or removed. The dongle, the "
               "headset or a LINK may already have a new address, network or device list. Once the "
               "dongle is back, pair or remove the device again on the Pairing page."));
}

void PairingPage::bindHeadset(NPP record)
{
    m_ui->headsetList->clearSelection();
    Dongle* asked = container->getDongle();
    if (!asked)
        return;
    Question question;
    question.title = tr("Pair with headset");
    question.informative = tr("Are you sure you want to pair headset\n\n%1\n\nwith this dongle?")
                               .arg(record.getSerialNumber());
    question.buttons = QStringList { tr("Pair as computer #1"), tr("Pair as computer #2"), tr("No") };
    question.about = { asked };
    // A headset heard here is the one whose map takes this dongle: the question goes with it, so
    // that the dongle never leaves its network for a headset that is gone.
    if (Headset* heard = heardHeadset(asked, record))
        question.about << heard;
    ask(question, [this, record](int answer) { pairHeadset(record, answer); });
}

void PairingPage::pairHeadset(NPP record, int answer)
{
    QPointer<Dongle> dongle(container->getDongle());
    if ((answer != 0 && answer != 1) || !dongle)
        return;
    const Role role = HeadsetRoles[answer];
    const OrvixDevice entry(role.address, EnabledPortOne, role.preset);
    // Not translated: the title stays English in every language.
    const QString failedTitle = QStringLiteral("Pair headset with dongle (%1) failed");
    const QMap<QString, QString> leftIn {
        { tr("Set Address"), tr("This dongle was left as it was.") },
        { tr("Set PAN"), tr("This dongle stays on its own network; the headset was not changed.") },
        { tr("Set CMAP"),
            tr("This dongle has joined the headset's network, but the headset's device list does not "
               "hold it: pair the headset again.") },
    };
    if (refusesEntry(entry, failedTitle))
        return;
    // Only the headset the dongle holds can take this dongle into its map: for any other the
    // dongle would leave its network and the map step fail.
    const QPointer<Headset> heard(heardHeadset(dongle, record));
    if (!heard) {
        emit showError(failedTitle.arg(tr("Set CMAP")), DongleResult(DongleResult::NoHeadset));
        return;
    }

    const Defer chain = Promise::create(tr("Set Address"), [dongle, role](Defer& step) {
        if (!dongle)
            return step.reject(dongleGone());
        // The dongle is the target: it changes its own address.
        const quint8 own = dongle->profile().address;
        if (own == role.address)
            return step.resolve();
        dongle->setDeviceAddress(own, role.address, settle(step));
    }).then(tr("Set PAN"), [dongle, record, heard](Defer& step) {
        if (!dongle)
            return step.reject(dongleGone());
        if (!heard)
            return step.reject(DongleResult(DongleResult::NoHeadset)); // gone since the address
        // The dongle joins the headset's network.
        if (dongle->profile().pan == record.pan)
            return step.resolve();
        dongle->setDevicePAN(dongle->profile().address, record.pan, settle(step));
    });
    appendToNetwork(chain, dongle, entry,
        { failedTitle, tr("Bind headset failed"), tr("Bind headset done"), leftIn, heard });
}

void PairingPage::bindLink(NPP record)
{
    m_ui->deviceList->clearSelection();
    Dongle* asked = container->getDongle();
    if (!asked)
        return;
    if (m_workingChannelMap.isEmpty()) {
        emit showError(tr("Bind Link"), DongleResult(DongleResult::QueryChannelMapFailed));
        return;
    }
    Question question;
    question.title = tr("Pair with headset");
    question.informative
        = tr("Are you sure you want to pair LINK\n\n%1\n\nwith this headset?").arg(record.getSerialNumber());
    question.buttons = QStringList { tr("As Primary Chair"), tr("As Secondary Chair"), tr("No") };
    // The LINK is paired into this headset's map: the question goes with the headset, so that no
    // LINK is moved onto the network with no map to enter.
    question.about = { asked, asked->headset() };
    ask(question, [this, record](int answer) { pairLink(record, answer); });
}

void PairingPage::pairLink(NPP record, int answer)
{
    QPointer<Dongle> dongle(container->getDongle());
    if ((answer != 0 && answer != 1) || !dongle || !dongle->headset())
        return;
    const Role role = LinkRoles[answer];
    const OrvixDevice entry(role.address, EnabledPortOne, role.preset);
    const QString failedTitle = tr("Pair link with headset (%1) failed");
    const QMap<QString, QString> leftIn {
        { tr("Set PAN"), tr("The LINK was left as it was.") },
        { tr("Set Address"),
            tr("The LINK has joined this network under its old address; the headset's device list does "
               "not hold it: pair the LINK again.") },
        { tr("Set CMAP"),
            tr("The LINK has joined this network, but the headset's device list does not hold it: pair "
               "the LINK again.") },
    };
    if (refusesEntry(entry, failedTitle))
        return;
    // Offered again when it is heard again. The rows follow at once: a row picked while the chain
    // runs is the LINK it shows.
    m_foundDevices.removeAt(m_foundDevices.indexOf(record));
    updateDeviceList();

    // Both commands go to the address the LINK reported, on the service PAN that a LINK in
    // service mode hears whatever its own PAN: the PAN first, then the address, so that both
    // reach a LINK that takes each at once as well as one that takes them on leaving service mode.
    // Past its PAN, the LINK is this network's (a refused or unanswered PAN leaves it as it was).
    auto joined = std::make_shared<bool>(false);
    QPointer<PairingPage> self(this);
    const Defer chain = Promise::create(tr("Set PAN"), [dongle, record](Defer& step) {
        if (!dongle)
            return step.reject(dongleGone());
        const quint16 pan = dongle->profile().pan;
        if (pan == record.pan)
            return step.resolve();
        dongle->setDevicePAN(record.address, pan,
            settle(step, [pan] { qDebug().noquote() << QStringLiteral("LINK PAN [%1] did SET").arg(pan); }));
    }).then(tr("Set Address"), [self, dongle, record, role, joined](Defer& step) {
        *joined = true;
        if (!dongle)
            return step.reject(dongleGone());
        if (record.address == role.address)
            return step.resolve();
        dongle->setDeviceAddress(record.address, role.address, settle(step, [self, record, role] {
            qDebug().noquote() << QStringLiteral("LINK address [%1] did SET").arg(role.address);
            // Until it leaves service mode, a LINK may still be heard, and answer, where it was.
            if (self)
                self->m_movedLinks.append({ record.getSerialNumber(), record.address, role.address });
        }));
    });
    // Left meanwhile: the network's leaving passed over this LINK, which was not in the map yet.
    // Once joined it leaves service mode too, where it answers: at its new address or, until it
    // leaves, its old one. Not while a new visit holds the network in service mode.
    auto leaveIfLeft = [self, dongle, record, role, joined, asked = visit()] {
        if (*joined && dongle && (!self || (!self->isVisit(asked) && !self->isVisit(self->visit()))))
            dongle->exitLinkServiceMode(record.address == role.address
                    ? QList<quint8> { role.address }
                    : QList<quint8> { role.address, record.address },
                [](DongleResult) {});
    };
    appendToNetwork(chain, dongle, entry,
        { failedTitle, tr("Bind LINK failed"), tr("Bind LINK done"), leftIn, dongle->headset(),
            leaveIfLeft });
}

void PairingPage::appendToNetwork(
    Defer const& chain, QPointer<Dongle> const& dongle, OrvixDevice const& entry, Outcome const& outcome)
{
    QPointer<PairingPage> self(this);
    auto failed = std::make_shared<bool>(false);
    ++m_operations;
    chain
        .then(tr("Set CMAP"),
            [self, dongle, entry, headset = outcome.headset](Defer& step) {
                if (!self || !stillHeld(dongle, headset))
                    return step.reject(DongleResult(DongleResult::NoHeadset));
                if (!self->addToWorkingMap(entry))
                    return step.reject(networkFull());
                self->uploadChannelMap(self->m_workingChannelMap, settle(step, [entry] {
                    qDebug().noquote() << QStringLiteral("Device [%1] did append to CMAP")
                                              .arg(QStringFromOrvixDevice(entry));
                }));
            })
        .fail(outcome.failedName,
            [self, dongle, outcome, failed](DongleResult result, QString const& failedStep) {
                *failed = true;
                if (self)
                    self->reportFailure(dongle, outcome.failedTitle.arg(failedStep), result,
                        outcome.leftIn.value(failedStep));
            })
        .finally(
            outcome.doneName, [self, failed, ended = outcome.ended](DongleResult result, QString const&) {
                if (ended)
                    ended();
                if (!self)
                    return;
                emit self->updateUI();
                // Only a device really added may need the network's password.
                if (!*failed && result.code == DongleResult::Ok)
                    self->onNetworkChanged();
                self->operationEnded();
            });
}

void PairingPage::afterOperations(std::function<void()> then)
{
    if (m_operations == 0)
        return then();
    m_afterOperations << std::move(then);
}

void PairingPage::operationEnded()
{
    if (--m_operations > 0)
        return;
    for (auto const& then : std::exchange(m_afterOperations, {}))
        then();
}

void PairingPage::removeChannel(OrvixDevice entry)
{
    // A removal moves the device off the network, then writes the headset's map: never begun
    // without the headset, which would leave the device moved and still in its map.
    Dongle* asked = container->getDongle();
    Headset* headset = asked ? asked->headset() : nullptr;
    if (!headset)
        return;
    if (m_workingChannelMap.isEmpty()) {
        emit showError(tr("Remove device failed"), DongleResult(DongleResult::QueryChannelMapFailed));
        return;
    }
    Question question;
    question.title = tr("Remove device");
    question.informative = tr("Are you sure you want to remove\n\n%1\n\nfrom the network?")
                               .arg(OrvixDevice::QStringFromPreset(entry.validPreset()));
    question.buttons = QStringList { tr("Yes"), tr("No") };
    question.about = { asked, headset };
    ask(question, [this, entry](int answer) { removeFromNetwork(entry, answer); });
}

void PairingPage::removeFromNetwork(OrvixDevice entry, int answer)
{
    QPointer<Dongle> dongle(container->getDongle());
    if (answer != 0 || !dongle || !dongle->headset())
        return;
    m_ui->channelList->clearSelection();
    if (indexOfPlace(m_workingChannelMap, entry) < 0)
        return;

    QPointer<PairingPage> self(this);
    const QPointer<Headset> asked(dongle->headset());
    const QMap<QString, QString> leftIn {
        { tr("Set PAN"), tr("The device is still in the network.") },
        { tr("Set CMAP"),
            tr("The device has left the network, but the headset's device list still holds it.") },
    };
    auto failed = std::make_shared<bool>(false);
    ++m_operations;
    Defer chain = Promise::create(tr("Set PAN"), [self, dongle, entry](Defer& step) {
        if (!dongle)
            return step.reject(dongleGone());
        // Back to the service PAN (for this dongle's own entry, the dongle itself, whose row
        // then shows it), at the address the device answers to now.
        const bool own = entry.address == dongle->profile().address;
        dongle->atFirstAnswering(
            self ? self->answeringAddressesOf(dongle, entry.address)
                 : dongle->serviceAddressesOf(entry.address),
            [dongle](quint8 address, Dongle::ResultCallback answered) {
                if (!dongle)
                    return answered(dongleGone());
                dongle->setDevicePAN(address, Link::ServicePAN, std::move(answered));
            },
            settle(step, [self, dongle, own] {
                if (self && dongle && own)
                    self->updateDongle(dongle);
            }));
    });
    chain = chain.then(tr("Set CMAP"), [self, dongle, asked, entry](Defer& step) {
        Headset* headset = stillHeld(dongle, asked);
        if (!self || !headset)
            return step.reject(DongleResult(DongleResult::NoHeadset));
        // Looked up again: a headset update may have replaced the working map meanwhile.
        const int i = indexOfPlace(self->m_workingChannelMap, entry);
        if (i < 0)
            return step.resolve();
        self->m_workingChannelMap.devices.remove(i);
        headset->setChannelMap(self->m_workingChannelMap, settle(step));
    });
    if (isLinkPreset(entry.preset)) {
        chain = chain.then(tr("Leave Service Mode"), [self, dongle, entry](Defer& step) {
            if (!dongle)
                return step.resolve();
            // Its result does not fail the chain.
            Defer node = step;
            dongle->exitLinkServiceMode(self ? self->answeringAddressesOf(dongle, entry.address)
                                             : dongle->serviceAddressesOf(entry.address),
                [node](DongleResult) { node.resolve(); });
        });
    }
    chain
        .fail(tr("Remove failed"),
            [self, dongle, leftIn, failed](DongleResult result, QString const& failedStep) {
                *failed = true;
                if (self)
                    self->reportFailure(dongle, tr("Remove device (%1) failed").arg(failedStep), result,
                        leftIn.value(failedStep));
            })
        .finally(QString(), [self, failed](DongleResult result, QString const&) {
            if (!self)
                return;
            if (!*failed && result.code == DongleResult::Ok)
                self->onNetworkChanged();
            self->operationEnded();
        });
}

} // namespace OX
