#pragma once
// The "Link" page: the LINK modules the dongle knows on the headset's network, the identity of
// the one selected, and "Settings" to edit it on the LINK settings page of the preset under
// which the dongle knows it. While the page is shown the known LINKs are pinged every 30 s; a
// LINK that stops answering leaves the list. Once the page has gone, a query or ping still
// running ends quietly: it restarts nothing and touches no other page's footer.
#include "protocol/ChannelMap.h"
#include "ui/toolkit/Page.h"

#include <QTimer>

#include <memory>

class Link;
class QListWidget;

namespace Ui
{
class LinkSelectionPage;
}

namespace OX
{

class LinkSelectionPage : public Page
{
    Q_OBJECT
public:
    static constexpr int PingIntervalMs = 30000;
    static constexpr int SettingsSlideMs = 1000;
    static constexpr char const* IndoorPageName = "LinkIndoor";
    static constexpr char const* OutdoorPageName = "LinkOutdoor";

    LinkSelectionPage(PageContainer* container, QWidget* parent = nullptr);
    ~LinkSelectionPage() override;

    // 11 refreshes, 7 opens the selected LINK's settings page; anything else is the base's.
    bool perform(PageAction action) override;
    void retranslate() override;
    // Both lists emptied; nothing is selected.
    void pageWillAppear(QString const& from) override;
    bool pageShouldDisappear() override;
    // Stops the ping timer and ends the page's busy state; a ping or query still running is
    // left to end quietly.
    void pageWillDisappear(QString const& to, std::function<void()> done) override;
    void pageDidAppear() override;
    // A headset lost empties the page ("Settings" off); one found again fills it without Refresh.
    void updateWithHeadset(Headset* headset, HeadsetChangeMask mask) override;
    // Gone dongle: emptied, then back. A dongle with a headset again refills an emptied page.
    // Either LINK bit: the list is rebuilt.
    void updateWithDongle(Dongle* dongle, DongleChangeMask mask) override;
    void deviceFound(Dongle* dongle, NPP const& npp) override;

    // Stops the ping timer and queries the LINKs of the headset's channel map, "Settings" off
    // meanwhile; when one answers, the list is rebuilt and the timer started. Without a headset
    // the page shows no LINK and waits for one.
    void refreshDevices();
    // The five identity rows of link.
    void showValues(Link* link);

    void onLinkSelectionChanged();
    void onUpdateList();
    void onSchedulePing();
    // Pings the known LINKs one after another, then rebuilds the list and starts the timer.
    void onPing();

    // The preset under which the selected LINK is known; NoPreset when none is selected.
    OrvixDevice::Preset selectedPreset() const { return OrvixDevice::Preset(m_selectedPreset); }
    QListWidget* linkListWidget() const;
    QListWidget* parameterListWidget() const;
    bool isPingScheduled() const { return m_pingTimer.isActive(); }
    // Shown without a dongle or headset: emptied, and filled again when one comes.
    bool isAwaitingHeadset() const { return m_awaitingHeadset; }
    // What the page says is missing while it awaits a dongle or headset; empty otherwise.
    QString missingDeviceText() const;
    // Test seam: the ping interval (PingIntervalMs by default).
    void setPingInterval(int ms) { m_pingIntervalMs = ms; }

signals:
    void updateList();
    void schedulePing();

private:
    // True while what started in visit may still act on the page: the visit runs and the page
    // was not emptied since.
    bool isCurrentVisit(quint64 visit) const { return isVisit(visit) && !m_awaitingHeadset; }
    // A LINK is selected and no refresh query runs: "Settings" opens the page of what was read.
    bool canOpenSettings() const { return m_selectedPreset != OrvixDevice::NoPreset && !m_queryRunning; }
    // Stops the timer, ends the busy state and lets every query and chain of now end quietly.
    void endWork();
    // No dongle or headset: no LINK listed, nothing selected, nothing running.
    void showNoDevices();
    // Says which device is missing while the page awaits one, and nothing otherwise.
    void showMissingDevice();

    QTimer m_pingTimer;
    int m_pingIntervalMs = PingIntervalMs;
    quint8 m_selectedPreset = OrvixDevice::NoPreset;
    // The LINK chosen (Link::identity): a rebuild chooses it again only while the dongle knows it
    // under its preset, never another chair's LINK found there since.
    QString m_selectedLink;
    // The busy indicator is on for a ping chain of this page.
    bool m_busy = false;
    // A refresh query runs (the last one started is m_querySerial): "Settings" is off until it ends.
    bool m_queryRunning = false;
    quint64 m_querySerial = 0;
    // No headset to ask: the list is empty and no query or ping of before acts on it.
    bool m_awaitingHeadset = false;
    std::unique_ptr<Ui::LinkSelectionPage> m_ui;
};

} // namespace OX
