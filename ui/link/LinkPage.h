#pragma once
// The settings page of the LINK module known under one preset ("LinkIndoor": Link Drive,
// "LinkOutdoor": Link Outdoor Drive). It edits one working record on fourteen forms, walked
// through as a wizard whose furthest step both pages share, and sends it to the LINK only on
// "Apply"; the LINK's answer becomes the working record. A backup in the settings, the LINK's own
// record and the built-in profiles bring a record back. Nothing is applied or stored on leaving.
//
// The page asks its container for the LINK, dongle and settings at each use and keeps none.
// While it is not on screen a search or apply still ends (its state changes and an unconfirmed
// apply is kept for the next visit), but it touches neither the footer nor shows a box; an apply
// that failed after the person left is told by the director. The forms wait while the LINK is
// asked, since its answer becomes the working record, and a visit waits for the end of a search
// an earlier one left running. A record is only ever sent to the LINK it was read from.
#include "device/LinkProfile.h"
#include "protocol/ChannelMap.h"
#include "protocol/LPP.h"
#include "ui/link/LinkNavigator.h"
#include "ui/toolkit/Page.h"
#include "ui/toolkit/ViewControllerDelegate.h"

#include <QMap>
#include <QPointer>

#include <memory>
#include <optional>

class Dongle;
class Link;
class QPushButton;
class QTabWidget;
class Settings;

namespace Ui
{
class LinkPage;
}

namespace OX
{

class LinkForm;
class LinkViewController;

class LinkPage : public Page, public ViewControllerDelegate
{
    Q_OBJECT
public:
    enum State : qint32 {
        not_initialized_state = 0,
        looking_for_link_state = 1,
        querying_devices_state = 2,
        querying_parameters_state = 3,
        applying_parameters_state = 4,
        initialized_state = 5,
    };
    Q_ENUM(State)
    enum Hint : qint32 {
        link_not_connected_hint = 0,
        save_backup = 1,
    };
    Q_ENUM(Hint)

    // The names of the LINK profiles kept to come back to: one per page, since the two pages edit
    // two LINKs, and a record restored from the other LINK's backup would drive this one. The
    // settings note beside it which LINK a backup was taken from: another chair's LINK under the
    // same preset is never offered it, and replaces it only when the person says so.
    static constexpr char const* BackupProfileName = "backup";
    static constexpr char const* OutdoorBackupProfileName = "backup outdoor";
    static constexpr char const* ApplyProfileName = "apply";

    LinkPage(PageContainer* container, OrvixDevice::Preset preset, QWidget* parent = nullptr);
    ~LinkPage() override;

    // "Not initialized" ... "Initialized"; "Unknown" above 5.
    static QString QStringFromState(State state);

    OrvixDevice::Preset preset() const { return m_preset; }
    State state() const { return m_state; }
    // The record every form edits.
    LPP const& parameters() const { return m_parameters; }
    QString currentKey() const { return m_currentKey; }
    // An apply was started and the LINK has not confirmed it.
    bool hasPendingApply() const { return m_pendingApply.defined; }
    QTabWidget* tabWidget() const;
    QPushButton* prevButton() const;
    QPushButton* nextButton() const;
    // The form listed under key; null for an unknown key and before the page first appeared.
    LinkForm* form(QString const& key) const;

    // Queries the headset's LINKs and takes this preset's; back without dongle or headset.
    void searchLink();
    // The LINK's record becomes the working record; the backup is created or offered. False
    // when no LINK of the preset is known.
    bool initializeParameters();
    void applyParameters(LPP const& record);
    bool revertParameters();
    bool restoreParameters();
    bool resetParameters();
    void updateFooter();

    // The wizard.
    void setActive(QString const& key);
    void updateWizard();
    LinkViewController* tabByName(QString const& name) const;
    LinkViewController* setCurrentTabByName(QString const& name);

    bool perform(PageAction action) override;
    void retranslate() override;
    void pageWillAppear(QString const& from) override;
    // Asks before dropping edits that were not applied: false, and the back action is taken
    // again once the person chose to leave.
    bool pageShouldDisappear() override;
    void pageWillDisappear(QString const& to, std::function<void()> done) override;
    void pageDidAppear() override;
    void updateWithHeadset(Headset* headset, HeadsetChangeMask mask) override;
    void updateWithDongle(Dongle* dongle, DongleChangeMask mask) override;

    void viewWillAppear(QString const& identifier) override;
    void viewDidAppear(QString const& identifier) override;
    void viewWillDisappear(QString const& identifier) override;
    void viewDidDisappear(QString const& identifier) override;

    // Connected in the constructor.
    void onShowHint(OX::LinkPage::Hint hint);
    void onShowError(QString const& message, QString const& recovery);
    void onUpdateUi(bool enable);
    void onSetState(OX::LinkPage::State state);
    void onLinkParametersChanged(LPP::ChangeMask mask);
    void onTabChanged(int index);
    void onNextPressed();
    void onPrevPressed();

signals:
    void showHint(OX::LinkPage::Hint hint);
    void showError(QString const& message, QString const& recovery);
    void updateUi(bool enable);
    void setState(OX::LinkPage::State state);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // From pageWillAppear to pageWillDisappear: the footer is this page's.
    bool onScreen() const { return isVisit(visit()); }
    void buildNavigator();
    void buildForms();
    void watch(LinkForm* form);
    // The view controller of the current tab (each of the three is one).
    LinkViewController* currentController() const;
    // The name of this page's backup profile.
    QString backupName() const;
    // The stored backup and the LINK noted with it (empty: stored by an earlier version, which
    // noted none; such a backup is the first LINK's seen since).
    struct StoredBackup {
        LinkProfile profile;
        QString takenFrom;
        // Taken from a LINK other than link (Link::identity): never offered to it. The LINK
        // paired again, under another PAN or address, keeps its serial and its backup.
        bool isAnotherLinks(QString const& link) const;
    };
    StoredBackup storedBackup(Settings const& settings, QString* problems = nullptr) const;
    // The stored backup when it is link's (Link::identity): taken from it, or from a LINK not
    // told (stored by an earlier version). Another LINK's backup is an undefined profile.
    LinkProfile backupOf(QString const& link, QString* problems = nullptr) const;
    // Stores record as the backup taken from link; false when the settings did not keep it.
    bool storeBackup(Settings& settings, LPP const& record, QString const& link);
    // The backup when the settings hold one of the working record's LINK that differs from it.
    bool backupDiffers() const;
    // The LINK a record was sent to, told from another found later under the same preset.
    static QString identity(Link const& link);
    // When the LINK held for the preset is another than the one the working record came from
    // (another chair's found under the preset), takes its own record as a fresh visit would and
    // drops what was edited for the first one. True when the record was taken again.
    bool takeAnotherLinksRecord();
    // A search this page started still runs on the dongle plugged in: it may yet put another LINK
    // under the preset, so a visit that comes meanwhile waits for its end to take a record.
    bool earlierSearchRuns() const;
    // Tells that a record (source names it) has parameters outside the
    // LINK's limits (problems) and was not taken or sent.
    void tellOutOfLimits(QString const& source, QString const& problems);
    // Tells that the backup the person asked for is in use but the settings file kept no copy.
    void tellBackupNotSaved();
    // The director tells, over the page shown, that an apply never reached the LINK (detail: why).
    void tellApplyLost(QString const& detail);

    OrvixDevice::Preset m_preset;
    LinkNavigator m_navigator;
    QString m_currentKey;
    // The key setActive brings to the front while it switches tabs.
    QString m_askedKey;
    QMap<QString, QString> m_helpAnchors;
    QMap<QString, LinkForm*> m_forms; // owned by their view controllers; built on first appearing
    State m_state = not_initialized_state;
    LPP m_parameters;
    // The LINK the working record came from (read, reverted or confirmed): only it is sent it.
    QString m_recordLink;
    LinkProfile m_pendingApply;
    // The LINK the pending apply was sent to: it comes back into the forms for that LINK only.
    QString m_pendingLink;
    // Counts the applies sent: only the reply of the latest one settles m_pendingApply, which
    // holds the latest record sent.
    quint64 m_applySerial = 0;
    // Why an apply never reached the LINK, when that came while Help covered the page and the
    // person has not come back to it since.
    std::optional<QString> m_applyLostUnseen;
    std::unique_ptr<Ui::LinkPage> m_ui;
    // The searches started on m_searchDongle that have not ended.
    int m_searches = 0;
    QPointer<Dongle> m_searchDongle;
    // The visit whose "Link not present" box waits for its answer (0: none).
    quint64 m_linkHintVisit = 0;
};

} // namespace OX
