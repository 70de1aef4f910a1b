#include "ui/link/LinkPage.h"

#include <QMetaEnum>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QtDebug>

#include <utility>

#include "app/OrvixDirector.h"
#include "app/Settings.h"
#include "device/Dongle.h"
#include "device/Headset.h"
#include "device/Link.h"
#include "ui/link/LinkProfilesDialog.h"
#include "ui_LinkPage.h"

namespace OX
{

namespace
{

const char* const StateNames[] = {
    "Not initialized",
    "Looking for link",
    "Querying devices(link)",
    "Querying parameters",
    "Applying parameters",
    "Initialized",
};

// The states in which the footer shows that the LINK is being asked.
bool isBusy(LinkPage::State state)
{
    return state == LinkPage::querying_devices_state || state == LinkPage::querying_parameters_state
        || state == LinkPage::applying_parameters_state;
}

// The title of the reset dialog, in the current language.
QString resetTitle()
{
    return LinkPage::tr("Reset Parameters");
}

QString hintName(LinkPage::Hint hint)
{
    return QString::fromLatin1(QMetaEnum::fromType<LinkPage::Hint>().valueToKey(hint));
}

} // namespace

LinkPage::LinkPage(PageContainer* container, OrvixDevice::Preset preset, QWidget* parent)
    : Page(container, parent)
    , m_preset(preset)
    , m_ui(new Ui::LinkPage)
{
    m_ui->setupUi(this);
    buildNavigator();
    m_ui->general->delegate = this;
    m_ui->drive->delegate = this;
    m_ui->turn->delegate = this;
    // The fourteen forms are built when the page first appears: the window creates every page at
    // start, and most people never open this one.

    qRegisterMetaType<OX::LinkPage::State>("State");
    qRegisterMetaType<OX::LinkPage::Hint>("Hint");
    connect(this, &LinkPage::showHint, this, &LinkPage::onShowHint);
    connect(this, &LinkPage::showError, this, &LinkPage::onShowError);
    connect(this, &LinkPage::updateUi, this, &LinkPage::onUpdateUi);
    connect(this, &LinkPage::setState, this, &LinkPage::onSetState);
    connect(m_ui->tabWidget, &QTabWidget::currentChanged, this, &LinkPage::onTabChanged);
    connect(m_ui->nextButton, &QPushButton::clicked, this, &LinkPage::onNextPressed);
    connect(m_ui->prevButton, &QPushButton::clicked, this, &LinkPage::onPrevPressed);
}

LinkPage::~LinkPage() = default;

QString LinkPage::QStringFromState(State state)
{
    const int index = int(state);
    if (index < 0 || index > int(initialized_state))
        return QStringLiteral("Unknown");
    return QString::fromLatin1(StateNames[index]);
}

QTabWidget* LinkPage::tabWidget() const
{
    return m_ui->tabWidget;
}

QPushButton* LinkPage::prevButton() const
{
    return m_ui->prevButton;
}

QPushButton* LinkPage::nextButton() const
{
    return m_ui->nextButton;
}

LinkViewController* LinkPage::currentController() const
{
    return qobject_cast<LinkViewController*>(m_ui->tabWidget->currentWidget());
}

// ---- State ------------------------------------------------------------------------------------

void LinkPage::onSetState(State state)
{
    if (state == m_state)
        return;
    qDebug().nospace().noquote() << "Link page state [" << QStringFromState(m_state) << "] changed to ["
                                 << QStringFromState(state) << "]";
    m_state = state;
    switch (state) {
    case not_initialized_state:
        if (onScreen())
            container->setProgress(false);
        emit updateUi(false);
        break;
    case looking_for_link_state:
        if (onScreen())
            container->setProgress(false);
        emit updateUi(false);
        emit showHint(link_not_connected_hint);
        break;
    case querying_devices_state:
    case querying_parameters_state:
    case applying_parameters_state:
        if (onScreen())
            container->setProgress(true);
        // The LINK's answer becomes the working record: an edit made before it comes would be lost.
        emit updateUi(false);
        break;
    case initialized_state:
        qDebug().noquote() << m_parameters.toString();
        if (onScreen())
            container->setProgress(false);
        // An unconfirmed apply returns into the forms, but only where the user sees it: the next
        // visit takes the LINK's record afresh and then this one again. Another LINK found under
        // the preset meanwhile (another chair) keeps its own record: the apply was not for it.
        if (m_pendingApply.defined && onScreen()) {
            Link* link = container->getLink(m_preset);
            if (link && identity(*link) == m_pendingLink)
                m_parameters = m_pendingApply.parameters;
            else
                qWarning() << "An apply for another LINK is dropped:" << m_pendingLink;
            m_pendingApply.defined = false;
        }
        emit updateUi(true);
        break;
    }
}

// ---- The LINK --------------------------------------------------------------------------------

void LinkPage::searchLink()
{
    qDebug() << "SEARCH LINK ...";
    Dongle* dongle = container->getDongle();
    Headset* headset = dongle ? dongle->headset() : nullptr;
    if (!headset) {
        Page::perform(PageAction::back);
        return;
    }
    emit setState(querying_devices_state);
    if (m_searchDongle != dongle) {
        m_searchDongle = dongle;
        m_searches = 0;
    }
    ++m_searches;
    QPointer<LinkPage> self(this);
    const OrvixDevice::Preset own = m_preset;
    const quint64 visit = this->visit();
    auto answered = std::make_shared<bool>(false);
    const QPointer<Dongle> searched(dongle);
    dongle->queryDevices(
        headset->channelMap(),
        [self, own, answered, visit](OrvixDevice::Preset preset, DongleResult result) {
            qDebug().nospace().noquote()
                << "### query devices returned ### [" << OrvixDevice::QStringFromPreset(preset) << "] => "
                << result.toStringHelper();
            if (!self || preset != own)
                return;
            *answered = true;
            if (self->visit() != visit)
                return; // the person left: the next visit takes the LINK afresh, and the backup stays

            if (result.code == DongleResult::Ok && self->initializeParameters())
                emit self->setState(initialized_state);
            else
                emit self->setState(looking_for_link_state);
        },
        [self, answered, visit, searched](QList<OrvixDevice::Preset>*) {
            if (!self)
                return;
            if (searched && searched == self->m_searchDongle)
                --self->m_searches;
            if (self->m_state != querying_devices_state || !self->onScreen())
                return;
            if (self->visit() != visit) {
                // The visit that came while this search ran waited for it: it takes the record now.
                if (!self->earlierSearchRuns())
                    emit self->setState(
                        self->initializeParameters() ? initialized_state : looking_for_link_state);
            } else if (!*answered) {
                // A channel map without this preset's LINK never reports it: the search ends
                // unanswered instead of leaving the page busy for good.
                emit self->setState(looking_for_link_state);
            }
        });
}

bool LinkPage::initializeParameters()
{
    Link* link = container->getLink(m_preset);
    if (!link)
        return false;
    if (!m_recordLink.isEmpty() && identity(*link) != m_recordLink)
        qWarning().noquote() << "The record of LINK" << m_recordLink << "and its edits are dropped:"
                             << "the preset now holds LINK" << identity(*link);
    m_parameters = link->parameters();
    m_recordLink = identity(*link);
    const QStringList problems = m_parameters.outOfLimits();
    if (!problems.isEmpty())
        tellOutOfLimits(tr("The LINK's own record"), problems.join(QLatin1Char('\n')));
    Settings* settings = container->getSettings();
    if (!settings)
        return true;
    const StoredBackup stored = storedBackup(*settings);
    const LinkProfile& backup = stored.profile;
    if (stored.isAnotherLinks(m_recordLink)) {
        // Another chair's LINK shares the preset: its backup is never offered to this one, and
        // is replaced by this one's record only when the person says so.
        qInfo().noquote() << "The backup" << backupName() << "is LINK" << stored.takenFrom << "'s; LINK"
                          << m_recordLink << "has none";
        if (problems.isEmpty())
            emit showHint(save_backup);
        return true;
    }
    // A backup stored before the LINK was noted with it is the first LINK's seen since.
    if (backup.defined && stored.takenFrom.isEmpty())
        settings->setLinkProfileLink(backupName(), m_recordLink);
    // A record outside the limits is never offered as the backup: the stored one stays, and
    // "Restore" still offers it.
    if (!problems.isEmpty())
        return true;
    if (!backup.defined) {
        // Stored without a question, but not without a word when the settings cannot keep it.
        if (!storeBackup(*settings, m_parameters, m_recordLink))
            tellBackupNotSaved();
    } else if (!backup.parameters.isEqual(m_parameters))
        emit showHint(save_backup);
    return true;
}

void LinkPage::applyParameters(LPP const& record)
{
    Link* link = container->getLink(m_preset);
    if (!link) {
        emit setState(looking_for_link_state);
        return;
    }
    if (takeAnotherLinksRecord()) {
        // The record is another LINK's: this one is never sent it, and shows its own now.
        emit updateUi(true);
        return;
    }
    emit setState(applying_parameters_state);
    m_pendingApply = LinkProfile(QString::fromLatin1(ApplyProfileName), record);
    m_pendingLink = identity(*link);
    const quint64 serial = ++m_applySerial;
    QPointer<LinkPage> self(this);
    const quint64 sent = visit();
    // The reply is copied at once: the Link may be gone by the time it comes. The record goes out
    // only to the LINK it is meant for: one queued behind a search that finds another chair's LINK
    // here is not sent (code 11).
    link->applyParameters(record, [self, sent, serial](LPP* reply, DongleResult result) {
        if (!self)
            return;
        const bool lost
            = result.code != DongleResult::InvalidCommand && (result.code != DongleResult::Ok || !reply);
        if (lost && !self->isVisit(sent)) {
            // The person left before the LINK answered and sees no "Link not present": the
            // director tells over whatever is shown now that the record never reached the LINK.
            self->tellApplyLost(result.text);
        } else if (lost && self->isCovered()) {
            // Help covers the page: "Link not present" waits there, and leaving from Help says
            // why instead.
            self->m_applyLostUnseen = result.text;
        }
        if (serial != self->m_applySerial) {
            // A newer apply went out before this reply came (the person left, came back and
            // applied again): its record is the one kept until the LINK confirms it, and its own
            // reply settles the page. This one only changed what the LINK holds.
            self->updateFooter();
            return;
        }
        if (self->onScreen() && !self->isVisit(sent)) {
            // A later visit took the LINK's record afresh and owns the page: the reply only
            // settles whether the record sent is still to come back, and whether the forms now
            // differ from what the LINK holds.
            if (result.code == DongleResult::Ok || result.code == DongleResult::InvalidCommand
                || result.code == DongleResult::InvalidDongleState)
                self->m_pendingApply.defined = false;
            self->updateFooter();
            return;
        }
        if (result.code == DongleResult::InvalidDongleState) {
            // Another chair's LINK came under the preset before the record went out: it was never
            // sent, and comes back for no LINK. On screen the forms take the new LINK's record, once
            // the dongle has read it (a search that only heard of it yet is asked again).
            qWarning().noquote() << "The record of LINK" << self->m_pendingLink
                                 << "was not sent:" << result.detail;
            self->m_pendingApply.defined = false;
            if (!self->onScreen())
                emit self->setState(looking_for_link_state);
            else if (self->takeAnotherLinksRecord())
                emit self->setState(initialized_state);
            else
                self->searchLink();
            return;
        }
        if (result.code == DongleResult::InvalidCommand) {
            // Refused before anything was sent: the LINK is there, the record is not fit for it.
            self->m_pendingApply.defined = false;
            self->tellOutOfLimits(tr("The record to apply"), result.detail);
            emit self->setState(initialized_state);
            return;
        }
        if (lost) {
            emit self->showError(result.toStringHelper(), tr("Link lost, save parameters failed"));
            emit self->setState(looking_for_link_state);
            return;
        }
        self->m_parameters = *reply;
        self->m_recordLink = self->m_pendingLink;
        self->m_pendingApply.defined = false;
        emit self->setState(initialized_state);
    }, m_pendingLink);
}

void LinkPage::tellApplyLost(QString const& detail)
{
    if (OrvixDirector* director = container->getDirector())
        emit director->showMessage(OrvixDirector::warning, tr("Link"),
            tr("Link lost, save parameters failed") + QStringLiteral("\n\n") + detail);
}

void LinkPage::showEvent(QShowEvent* event)
{
    Page::showEvent(event);
    if (isOnScreen())
        m_applyLostUnseen.reset(); // back from Help: "Link not present" says it
}

bool LinkPage::revertParameters()
{
    Link* link = container->getLink(m_preset);
    if (!link)
        return false;
    m_parameters = link->parameters();
    m_recordLink = identity(*link);
    return true;
}

QString LinkPage::identity(Link const& link)
{
    return link.identity();
}

bool LinkPage::earlierSearchRuns() const
{
    return m_searches > 0 && m_searchDongle && m_searchDongle == container->getDongle();
}

bool LinkPage::takeAnotherLinksRecord()
{
    Link* link = container->getLink(m_preset);
    return link && identity(*link) != m_recordLink && initializeParameters();
}

QString LinkPage::backupName() const
{
    // The drive LINK keeps the name every backup had before each page got its own.
    return QString::fromLatin1(
        m_preset == OrvixDevice::LinkOutdoorDrive ? OutdoorBackupProfileName : BackupProfileName);
}

LinkProfile LinkPage::backupOf(QString const& link, QString* problems) const
{
    Settings* settings = container->getSettings();
    if (!settings)
        return LinkProfile(backupName());
    const StoredBackup stored = storedBackup(*settings, problems);
    return stored.isAnotherLinks(link) ? LinkProfile(backupName()) : stored.profile;
}

bool LinkPage::StoredBackup::isAnotherLinks(QString const& link) const
{
    if (!profile.defined || takenFrom.isEmpty())
        return false;
    // "pan/address/serial": a LINK that told no serial is known by where it sits only.
    const QString serial = takenFrom.section(QLatin1Char('/'), 2);
    const QString linkSerial = link.section(QLatin1Char('/'), 2);
    if (serial.isEmpty() || linkSerial.isEmpty())
        return takenFrom != link;
    return serial != linkSerial;
}

LinkPage::StoredBackup LinkPage::storedBackup(Settings const& settings, QString* problems) const
{
    return { settings.linkProfile(backupName(), problems), settings.linkProfileLink(backupName()) };
}

bool LinkPage::storeBackup(Settings& settings, LPP const& record, QString const& link)
{
    return settings.setLinkProfile(backupName(), record, link);
}

bool LinkPage::backupDiffers() const
{
    const LinkProfile backup = backupOf(m_recordLink);
    return backup.defined && !backup.parameters.isEqual(m_parameters);
}

bool LinkPage::restoreParameters()
{
    QString problems;
    const LinkProfile backup = backupOf(m_recordLink, &problems);
    if (!problems.isEmpty())
        tellOutOfLimits(tr("The backup"), problems);
    if (!backup.defined || backup.parameters.isEqual(m_parameters))
        return false;
    m_parameters = backup.parameters;
    return true;
}

bool LinkPage::resetParameters()
{
    // The chosen built-in becomes the working record once the dialog is answered, in this visit.
    auto* dialog = new LinkProfilesDialog(resetTitle(), this);
    open(dialog, {}, [this, dialog](int result) {
        const LinkProfile chosen = dialog->selectedProfile();
        if (result != QDialog::Accepted || !chosen.defined)
            return;
        m_parameters = chosen.parameters;
        emit updateUi(true);
    });
    return false;
}

void LinkPage::updateFooter()
{
    if (!onScreen())
        return; // the footer belongs to another page
    Link* link = container->getLink(m_preset);
    if (!link) {
        container->setRight(QString(), PageAction::none, this, PageFooter::MainButton);
        container->setRight(QString(), PageAction::none, this, PageFooter::AlternativeButton);
    } else if (!m_parameters.isEqual(link->parameters())) {
        container->setRight(tr("Apply"), PageAction::apply, this, PageFooter::MainButton);
        container->setRight(tr("Revert"), PageAction::revert, this, PageFooter::AlternativeButton);
    } else if (backupDiffers()) {
        container->setRight(QStringLiteral("Reset"), PageAction::reset, this, PageFooter::MainButton);
        container->setRight(
            QStringLiteral("Restore"), PageAction::restore, this, PageFooter::AlternativeButton);
    } else {
        container->setRight(QStringLiteral("Reset"), PageAction::reset, this, PageFooter::MainButton);
        container->setRight(QString(), PageAction::none, this, PageFooter::AlternativeButton);
    }
}

bool LinkPage::perform(PageAction action)
{
    switch (action) {
    case PageAction::apply:
        applyParameters(m_parameters);
        updateFooter();
        return true;
    case PageAction::reset:
        resetParameters();
        emit updateUi(true);
        return true;
    case PageAction::restore:
        restoreParameters();
        emit updateUi(true);
        return true;
    case PageAction::revert:
        revertParameters();
        emit updateUi(true);
        return true;
    default:
        return Page::perform(action);
    }
}

// ---- Boxes ------------------------------------------------------------------------------------

void LinkPage::onShowHint(Hint hint)
{
    // A page nobody sees asks nothing (a search or an apply that ended after the person left, or
    // while the page slides out); one "Link not present" box stands for a run of lost-link states.
    if (!appeared || !onScreen() || (hint == link_not_connected_hint && isVisit(m_linkHintVisit)))
        return;
    qDebug().nospace().noquote() << "SHOW HINT [" << hintName(hint) << "]";
    // "Save" keeps the LINK's record as it was when asked: by the answer the working record may
    // already hold an unconfirmed apply brought back, which never was on the LINK.
    const LPP shown = m_parameters;
    const QString shownLink = m_recordLink;
    Question question;
    question.icon = Icon::Information;
    question.about << QPointer<QObject>(container->getDongle());
    if (hint == link_not_connected_hint) {
        m_linkHintVisit = visit();
        question.text = tr("Link not present");
        question.informative
            = tr("Turn link ON or exit service mode by long tap on Link's button (red indicator light will "
                 "off).")
            + QStringLiteral("\n\n") + tr("Press cancel to leave Link settings page.");
        question.buttons = QStringList { tr("Retry"), tr("Cancel") };
    } else {
        question.text = tr("Save settings");
        question.informative = tr("Before changing the settings, would you like Orvix Tools to save this "
                                  "version as a back up?")
            + QStringLiteral("\n\n")
            + tr("If you select yes, you will be able to revert back to the current settings after making "
                 "changes that you end up not liking.");
        question.buttons = QStringList { tr("Save"), tr("Don't save") };
    }
    ask(question, [this, hint, shown, shownLink](int answer) {
        qDebug().nospace().noquote() << "HIDE HINT [" << hintName(hint) << "]";
        if (hint == link_not_connected_hint) {
            m_linkHintVisit = 0;
            if (answer == 0)
                searchLink();
            else
                Page::perform(PageAction::back);
        } else if (answer == 0) {
            // Another chair's LINK found meanwhile is asked about its own record: the first
            // one's would be offered to it as this preset's backup.
            Link* link = container->getLink(m_preset);
            if (link && identity(*link) != shownLink) {
                qWarning().noquote() << "The backup of LINK" << shownLink
                                     << "is not saved: the preset now holds" << identity(*link);
                return;
            }
            if (Settings* settings = container->getSettings()) {
                // Refused, the stored backup stays as it was; the box says why nothing was saved.
                if (!storeBackup(*settings, shown, shownLink)) {
                    const QStringList problems = shown.outOfLimits();
                    if (!problems.isEmpty())
                        tellOutOfLimits(tr("The LINK's own record"), problems.join(QLatin1Char('\n')));
                    else
                        tellBackupNotSaved();
                }
                updateFooter();
            }
        }
    });
}

void LinkPage::tellOutOfLimits(QString const& source, QString const& problems)
{
    qWarning().noquote() << "LINK parameters outside their limits:" << problems;
    if (!onScreen())
        return; // what was refused stays in the log; nobody sees the page to be told
    Question question;
    question.icon = Icon::Warning;
    question.text = tr("Parameters outside their limits");
    question.informative
        = tr("%1 holds parameters outside the LINK's limits; such a record is never sent:").arg(source)
        + QStringLiteral("\n\n") + problems;
    ask(question);
}

void LinkPage::tellBackupNotSaved()
{
    qWarning().noquote() << "The backup" << backupName()
                         << "could not be saved: the settings cannot be written";
    if (!onScreen())
        return;
    Question question;
    question.icon = Icon::Warning;
    question.text = tr("Backup not saved");
    question.informative
        = tr("The backup could not be saved because your settings cannot be written. It can be "
             "restored only until OrvixTools quits.");
    ask(question);
}

void LinkPage::onShowError(QString const& message, QString const& recovery)
{
    qDebug().nospace().noquote() << "Error:" << message << " (" << recovery << ")";
}

// ---- Refresh and edits -------------------------------------------------------------------------

void LinkPage::onUpdateUi(bool enable)
{
    if (LinkViewController* controller = currentController())
        controller->updateUi(m_currentKey, LPP::ChangeMask::all);
    m_ui->prevButton->setEnabled(!m_navigator.getPrevOf(m_currentKey).isEmpty());
    m_ui->nextButton->setEnabled(!m_navigator.getNextOf(m_currentKey).isEmpty());
    updateFooter();
    setEnabled(enable);
}

void LinkPage::onLinkParametersChanged(LPP::ChangeMask mask)
{
    qDebug().nospace().noquote() << "LINK PARAMS CHANGED[" << quint32(mask)
                                 << "]: " << m_parameters.toString();
    updateFooter();
}

void LinkPage::retranslate()
{
    m_ui->retranslateUi(this);
    if (LinkViewController* controller = currentController())
        controller->retranslate();
    container->setTitle(tr("Link"));
    container->setSubtitle(QString());
    container->setLeft(tr("Back"), PageAction::back, this);
    // The reset dialog open over the page carries the page's title.
    for (auto* dialog : findChildren<LinkProfilesDialog*>(QString(), Qt::FindDirectChildrenOnly))
        dialog->setWindowTitle(resetTitle());
    updateFooter();
}

// ---- Life cycle -------------------------------------------------------------------------------

void LinkPage::pageWillAppear(QString const&)
{
    if (m_forms.isEmpty())
        buildForms();
    setActive(QStringLiteral("general"));
    updateWizard();
    emit setState(not_initialized_state);
    retranslate();
}

void LinkPage::pageDidAppear()
{
    Page::pageDidAppear();
    if (earlierSearchRuns()) {
        // The LINK found under the preset may yet change: the search's end takes the record.
        emit setState(querying_devices_state);
        return;
    }
    emit setState(initializeParameters() ? initialized_state : looking_for_link_state);
}

bool LinkPage::pageShouldDisappear()
{
    Link* link = container->getLink(m_preset);
    if (!link || m_parameters.isEqual(link->parameters()))
        return true;
    // The record shown is on its way to the LINK, or kept until it confirms it: leaving drops
    // nothing, so there is nothing to dismiss (a failure after leaving is told all the same).
    if (m_pendingApply.defined && m_parameters.isEqual(m_pendingApply.parameters))
        return true;
    Question question;
    question.text = tr("You have changes in your selected link profile. Do you want to apply changes?");
    question.informative = tr("Link settings about to leave");
    question.buttons = QStringList { tr("Stay on page"), tr("Dismiss and leave page") };
    // Leaving applies nothing: the back action runs again, this time without the question.
    return askBeforeLeaving(question, [](int answer) { return answer != 0; });
}

void LinkPage::pageWillDisappear(QString const&, std::function<void()> done)
{
    // Only a busy state of this page's own is ended: the page coming in has set its footer already.
    if (isBusy(m_state))
        container->setProgress(false);
    if (auto const unseen = std::exchange(m_applyLostUnseen, std::nullopt))
        tellApplyLost(*unseen); // left from Help
    if (done)
        done();
}

void LinkPage::updateWithHeadset(Headset* headset, HeadsetChangeMask mask)
{
    if (LinkViewController* controller = currentController())
        controller->updateWithHeadset(headset, mask);
}

void LinkPage::updateWithDongle(Dongle* dongle, DongleChangeMask mask)
{
    qDebug().nospace() << "Dongle updated: [" << quint32(mask) << "]";
    if (!appeared || !onScreen()) {
        qDebug() << "- not visible yet";
        return;
    }
    qDebug().nospace().noquote() << " -visible [" << QStringFromState(m_state) << "]";
    if (!dongle) {
        // Nothing of the LINK can be reached: no busy footer, no right button, no form to edit,
        // whether or not the way back is open.
        emit setState(not_initialized_state);
        Page::perform(PageAction::back);
        return;
    }
    const bool known = dongle->links().value(m_preset, nullptr) != nullptr;
    if (!dongle->headset() && !known) {
        Page::perform(PageAction::back);
        return;
    }
    if (known) {
        // Another chair's LINK found under the preset (a search of an earlier visit, a refresh):
        // the forms take its record. While the LINK is asked, the end of the asking does it.
        if (m_state == initialized_state && takeAnotherLinksRecord())
            emit updateUi(true);
        return;
    }
    if (m_state != querying_devices_state)
        emit setState(looking_for_link_state);
}

} // namespace OX
