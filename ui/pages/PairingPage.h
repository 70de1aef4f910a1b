#pragma once
// The pairing page ("Pairing"): builds the radio network of one headset. While it is shown the
// dongle is in service mode; it lists the headsets and LINK modules heard in service mode beside
// the headset's channel map, pairs a headset with this dongle or a LINK with the headset, removes
// a device from the network, and on leaving takes the whole network out of service mode (the
// page change always goes on, whatever the devices answer).
//
// Everything runs on the GUI thread. State changes go only through the setState signal; the
// pairing and removal chains outlive neither the dongle they began with nor the page (both are
// guarded), write no headset's map but the one the dongle held when they began, and never send
// a channel map that the wire form would cut short.
#include "protocol/ChannelMap.h"
#include "protocol/DongleResult.h"
#include "protocol/Records.h"
#include "ui/pages/FoundDeviceMap.h"
#include "ui/toolkit/Page.h"

#include <QMap>
#include <QPointer>

#include <functional>
#include <memory>

class Headset;
class QListWidget;

namespace Ui
{
class PairingPage;
}

namespace OX
{

class Defer;

class PairingPage : public Page
{
    Q_OBJECT
public:
    enum State {
        not_initialized_state = 0,
        entering_service_mode = 1,
        looking_for_headset_state = 2,
        waiting_for_cmap_state = 3,
        looking_for_devices_state = 4,
    };
    Q_ENUM(State)

    enum Hint {
        enter_service_mode_failed_hint = 0,
        service_mode_required_hint = 1,
        unnecessary_headset_hint = 2,
    };
    Q_ENUM(Hint)

    PairingPage(PageContainer* container, QWidget* parent = nullptr);
    ~PairingPage() override;

    void retranslate() override;
    // Forgets what the last visit found.
    void pageWillAppear(QString const& from) override;
    // Asks "Leaving pairing page" while no device was added to an empty network.
    bool pageShouldDisappear() override;
    // The network leaves service mode; done runs when that has ended, whatever its result.
    void pageWillDisappear(QString const& to, std::function<void()> done) override;
    // Enters service mode (again on every visit).
    void pageDidAppear() override;
    // Offers the network password page after a pairing or removal.
    void pageDidDisappear() override;
    void updateWithHeadset(Headset* headset, HeadsetChangeMask mask) override;
    void updateWithDongle(Dongle* dongle, DongleChangeMask mask) override;
    void deviceFound(Dongle* dongle, NPP const& record) override;

    // What tests read.
    State state() const { return m_state; }
    ChannelMap const& workingChannelMap() const { return m_workingChannelMap; }
    FoundDeviceMap const& foundHeadsets() const { return m_foundHeadsets; }
    FoundDeviceMap const& foundDevices() const { return m_foundDevices; }
    bool networkChanged() const { return m_networkChanged; }

    // Runs then once no pairing or removal is under way (at once when none is). Each ends, whatever
    // its result, once its last step has been answered or has timed out, or with its dongle.
    void afterOperations(std::function<void()> then);

signals:
    void setState(OX::PairingPage::State state);
    void showHint(OX::PairingPage::Hint hint);
    void showError(QString const& title, DongleResult result);
    void updateUI();

private slots:
    void onSetState(OX::PairingPage::State state);
    void onShowHint(OX::PairingPage::Hint hint);
    void onShowError(QString const& title, DongleResult result);
    void onUpdateUI();

    // Connected by name by the form.
    void on_headsetList_itemSelectionChanged();
    void on_deviceList_itemSelectionChanged();
    void on_channelList_itemSelectionChanged();
    void on_cmapRemoveButton_clicked();

private:
    void updateDongle(Dongle* dongle);
    void updateChannelMap(Headset* headset);
    void markHeadset(bool on);
    void markDevice(DeviceAddress const& address, bool on);
    // Lists found's devices in list, forgetting those at this dongle's PAN that belongs says are
    // in the network already.
    void listFound(QListWidget* list, FoundDeviceMap& found, std::function<bool(NPP const&)> const& belongs);
    void updateHeadsetList();
    void updateDeviceList();
    void enterServiceMode();
    // In state 1, goes on to state 2 (4 with a headset) once the dongle reports service mode.
    void continueInServiceMode();
    // False (and the list's selection undone) while the page has not reached service mode.
    bool acceptsPick(QListWidget* list);

    // The operations (PairingPageOperations.cpp). Each asks first, then runs a chain of named
    // steps ending in a failure handler and a final step.
    void bindHeadset(NPP record);
    void bindLink(NPP record);
    // How a bind ends: the title of a failure (%1 the step), the names of the chain's failure
    // handler and final step, and by step name what a failure there left the devices with.
    struct Outcome {
        QString failedTitle, failedName, doneName;
        QMap<QString, QString> leftIn;
        // The headset whose map takes the entry: the one the dongle held when the operation began
        // (the working map is its map). No other headset's map is written (null: none).
        QPointer<Headset> headset;
        // Runs once the chain has ended, whatever its result (may be empty).
        std::function<void()> ended;
    };
    // The end both binds share: entry into the headset's channel map after the chain's steps,
    // a failure reported as outcome says, the lists refreshed at the end.
    void appendToNetwork(
        Defer const& chain, QPointer<Dongle> const& dongle, OrvixDevice const& entry, Outcome const& outcome);
    void removeChannel(OrvixDevice entry);
    // The headset whose map a step writes: the one asked about, while the dongle still holds it.
    static Headset* stillHeld(QPointer<Dongle> const& dongle, QPointer<Headset> const& asked);
    // The chains, run with the answer to the operation's question (only button 0 or 1 runs one).
    void pairHeadset(NPP record, int answer);
    void pairLink(NPP record, int answer);
    void removeFromNetwork(OrvixDevice entry, int answer);
    void uploadChannelMap(ChannelMap const& map, std::function<void(DongleResult)> done);
    // The adding rule of "Set CMAP": false (nothing changed) when entry would be a ninth device.
    bool addToWorkingMap(OrvixDevice const& entry);
    // Whether entry could be added now (it is there already, or there is room).
    bool fitsWorkingMap(OrvixDevice const& entry) const;
    // Refuses, with an error box titled failedTitle, a pairing whose entry does not fit the
    // working map or whose address another kind of device of the network holds already.
    bool refusesEntry(OrvixDevice const& entry, QString const& failedTitle);
    // A failed operation is told once: in the visit, hint 1 for code 11, otherwise the error box;
    // after the person left, the director's message. leftIn says what the devices were left
    // with. Once the dongle the operation began with has stopped or gone, only that the loss cut
    // an operation short (tellCutShort).
    void reportFailure(
        Dongle* dongle, QString const& title, DongleResult const& result, QString const& leftIn);
    // The error box, with leftIn below the result.
    void tellError(QString const& title, DongleResult const& result, QString const& leftIn);
    // An operation cut short by the loss of its dongle: told by the director from the event loop,
    // once however many operations the loss cut short.
    void tellCutShort();

    // A pairing or removal has ended well: the network password page is offered on leaving, or
    // at once when the page has already gone.
    void onNetworkChanged();
    // Asks whether to open the network password page (over the page shown next).
    void offerPasswordChange();
    // Whether a device heard belongs to the headset's network (the working map holds it).
    bool inWorkingMap(NPP const& record) const;
    // Where a LINK heard belongs: a LINK given a new address in this visit that is still heard
    // at its old one takes that address, and the network's PAN, only on leaving service mode.
    NPP placeOf(NPP const& record, quint16 pan) const;
    // Where the device of the network at address may answer now, the likelier first: as the
    // dongle knows it, then where a LINK paired in this visit was last heard.
    QList<quint8> answeringAddressesOf(Dongle* dongle, quint8 address) const;
    void showStateText();

    std::unique_ptr<Ui::PairingPage> m_ui;
    State m_state = not_initialized_state;
    bool m_networkChanged = false;
    // The page has gone (pageDidDisappear) and not begun to appear again.
    bool m_disappeared = false;
    FoundDeviceMap m_foundHeadsets;
    FoundDeviceMap m_foundDevices;
    ChannelMap m_workingChannelMap;
    NPP m_headsetNPP;
    // A channel map without this dongle came before any headset identity: the headset is
    // offered when its identity arrives.
    bool m_offerHeadsetOnIdentity = false;
    // The LINKs given a new address in this visit: serial number, address then, new address.
    struct MovedLink {
        QString serial;
        quint8 from;
        quint8 to;
    };
    QList<MovedLink> m_movedLinks;
    // The pairings and removals under way, and what waits for their end.
    int m_operations = 0;
    QList<std::function<void()>> m_afterOperations;
    void operationEnded();
    // The loss of the dongle cut an operation short and that is still to be told.
    bool m_cutShort = false;
    char const* m_stateText;
};

} // namespace OX
