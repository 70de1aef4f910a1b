// The profiles page's uploads (apply, trial, list click), the list operations (add, remove,
// reset, rename in place), its questions and its error box.
#include "ui/pages/ProfilesPage.h"

#include "ui_ProfilesPage.h"

#include "app/OrvixDirector.h"
#include "app/Settings.h"
#include "device/Dongle.h"
#include "ui/pages/ProfileListModel.h"
#include "ui/toolkit/PageContainer.h"
#include "ui/toolkit/ProfileSelectionDialog.h"
#include "ui/toolkit/TimeoutDialog.h"

#include <QCoreApplication>
#include <QDebug>
#include <QPointer>
#include <QPushButton>

#include <algorithm>

namespace OX
{

namespace
{

// Not translated: the director's busy indicator shows it as it stands.
const char UploadText[] = "Upload mouse\nprofile";
// The built-in names are shown translated in this context (the selection dialog does so).
const char BaseProfileContext[] = "MouseProfile";
const char DefaultProfileName[] = "default";

QString trialTitle()
{
    return ProfilesPage::tr("Testing in progress");
}

QString trialQuestion()
{
    return ProfilesPage::tr(
        "Is it confortable? Do you want to keep changes?\n\nAfter 30 seconds the settings "
        "will be reverted to the last state.");
}

// The base selection names a new profile only when it creates one.
QString selectionTitle(bool creating)
{
    return creating ? ProfilesPage::tr("Create profile") : ProfilesPage::tr("Reset profile");
}

// What an upload that ProfileManager refused at once (no dongle, nothing selected) reports.
DongleResult refused()
{
    return DongleResult(DongleResult::NoDongle);
}

// A failure the page reports. An upload that the dongle's removal ended is not one: the loss is
// the news, and the next dongle gets the selected profile when it connects.
bool failed(DongleResult const& result)
{
    return result.code != DongleResult::Ok && result.code != DongleResult::DongleRemoved;
}

// The failure's text, with the warning that the dongle may run with settings other than the
// profile shown when the profile could not be written back either.
QString failureText(DongleResult const& result, QString const& text)
{
    if (!ProfileManager::settingsMayDiffer(result))
        return text;
    return text + QStringLiteral("\n\n") + ProfileManager::settingsMayDifferText();
}

void showProgress(OrvixDirector* director)
{
    if (director)
        director->showInfinityProgress(QString::fromLatin1(UploadText));
}

void hideProgress(OrvixDirector* director)
{
    if (director)
        director->hideIninityProgress();
}

} // namespace

MouseProfile const& ProfilesPage::baseProfileFromName(QString const& name)
{
    for (MouseProfile const* base : { &MouseProfile::Restricted, &MouseProfile::Tremor }) {
        const QByteArray key = base->name().toLatin1();
        const QString shown = QCoreApplication::translate(BaseProfileContext, key.constData());
        if (name.compare(base->name(), Qt::CaseInsensitive) == 0
            || name.compare(shown, Qt::CaseInsensitive) == 0)
            return *base;
    }
    return MouseProfile::Normal;
}

bool ProfilesPage::perform(PageAction action)
{
    if ((action == PageAction::apply || action == PageAction::tryIt) && uploading())
        return true; // an upload is on its way: its answer decides what is shown
    switch (action) {
    case PageAction::apply: {
        QPointer<ProfilesPage> self(this);
        applyProfile(m_edited, [self]() {
            if (self)
                emit self->updateFooter();
        });
        return true;
    }
    case PageAction::tryIt: {
        Settings* settings = selectionSettings();
        if (!settings || m_trialDialog)
            return true; // one trial at a time: its question is open, or about to open
        QPointer<ProfilesPage> self(this);
        auto onTested = [self](DongleResult result) {
            if (self && failed(result))
                emit self->showError(tr("Test Profile"), tr("Profile upload failed"));
        };
        if (!settings->test(m_edited, onTested)) {
            // Nothing was sent: no trial to keep or revert.
            onTested(refused());
            return true;
        }
        onTestingStart();
        return true;
    }
    default:
        return Page::perform(action);
    }
}

void ProfilesPage::applyProfile(MouseProfile& profile, std::function<void()> completion)
{
    Settings* settings = selectionSettings();
    if (!settings) {
        if (completion)
            completion();
        return;
    }
    showProgress(container->getDirector());
    QPointer<ProfilesPage> self(this);
    ++m_uploading;
    auto onApplied = [self, completion](DongleResult result) {
        if (!self)
            return;
        --self->m_uploading;
        // The indicator goes first, so that it does not spin behind the error box.
        hideProgress(self->container->getDirector());
        if (failed(result))
            emit self->showError(tr("Apply Profile"), failureText(result, tr("Profile upload failed")));
        if (completion)
            completion();
    };
    if (!settings->apply(profile, onApplied))
        onApplied(refused());
}

// ---- trial -----------------------------------------------------------------------------------

void ProfilesPage::onTestingStart()
{
    m_trialTimer.start(m_trialMs);
    m_tried = m_edited;
    auto* dialog = new TimeoutDialog(this);
    m_trialDialog = dialog;
    dialog->setWindowFlags(dialog->windowFlags() | Qt::WindowStaysOnTopHint);
    dialog->setWindowTitle(trialTitle());
    dialog->setMessage(trialQuestion());
    dialog->setDuration(m_trialMs); // the clock shows the time the trial timer leaves
    // The trial is on this dongle: once it is gone, the question goes unanswered and the
    // dongle that comes next gets the selected profile when it connects.
    About about;
    if (Dongle* dongle = container->getDongle())
        about << dongle;
    open(dialog, about, [this](int result) {
        m_trialDialog = nullptr;
        onTestingFinished();
        Settings* settings = selectionSettings();
        if (!settings)
            return;
        if (result == QDialog::Accepted) {
            m_edited = m_tried;
            perform(PageAction::apply);
        } else
            m_edited = *settings->selectedProfile();
        updateUi(*settings, false);
    });
}

void ProfilesPage::retranslateDialogs()
{
    if (m_trialDialog) {
        m_trialDialog->setWindowTitle(trialTitle());
        m_trialDialog->setMessage(trialQuestion());
    }
    for (auto* dialog : findChildren<ProfileSelectionDialog*>(QString(), Qt::FindDirectChildrenOnly))
        dialog->setWindowTitle(selectionTitle(dialog->isNameFieldVisible()));
}

void ProfilesPage::pageDidDisappear()
{
    if (m_trialTimer.isActive())
        onTestingFinished();
    Page::pageDidDisappear();
}

void ProfilesPage::updateWithDongle(Dongle* dongle, DongleChangeMask)
{
    if (!dongle)
        m_trialTimer.stop();
}

void ProfilesPage::onTestingFinished()
{
    endTrial({});
}

void ProfilesPage::endTrial(std::function<void()> reverted)
{
    m_trialTimer.stop();
    Settings* settings = selectionSettings();
    if (!settings) {
        if (reverted)
            reverted();
        return;
    }
    QPointer<ProfilesPage> self(this);
    auto onReverted = [self, reverted](DongleResult result) {
        if (self && failed(result))
            emit self->showError(tr("Testing Profile"), failureText(result, tr("Revert profile failed")));
        if (reverted)
            reverted();
    };
    if (!settings->applySelected(onReverted))
        onReverted(refused());
}

// ---- list --------------------------------------------------------------------------------------

void ProfilesPage::onProfileClicked(QModelIndex const& index)
{
    Settings* settings = container->getSettings();
    if (!settings || !index.isValid())
        return;
    qDebug() << "Profile selected: " << index.row() << " / " << settings->selectedIndex();
    Settings* selection = selectionSettings();
    if (selection && !selection->selectedProfile()->isEqual(m_edited, false)) {
        const QPersistentModelIndex row(index);
        ask(choice(tr("Profile selected"),
                tr("You have changes in your selected profile. Do you want to dismiss changes?"),
                tr("Dismiss changes"), tr("Stay on profile")),
            [this, row](int answer) {
                Settings* settings = container->getSettings();
                if (!settings)
                    return;
                if (answer == 0 && row.isValid())
                    selectProfile(*settings, row.row());
                else
                    updateUi(*settings, true);
            });
        return;
    }
    selectProfile(*settings, index.row());
}

void ProfilesPage::selectProfile(Settings& settings, int row)
{
    qDebug() << "Apply profile";
    showProgress(container->getDirector());
    QPointer<ProfilesPage> self(this);
    QPointer<MouseProfile> chosen(settings.profileAt(row));
    auto onApplied = [self, chosen](DongleResult result) {
        if (!self)
            return;
        hideProgress(self->container->getDirector());
        Settings* settings = self->container->getSettings();
        if (result.code == DongleResult::DongleRemoved && chosen && settings
            && !self->container->getDongle()) {
            // The dongle left during the upload: the choice is kept as one made without a dongle
            // (nothing is sent, so this ends here).
            self->selectProfile(*settings, settings->indexOf(chosen->name()));
            return;
        }
        emit self->updateProfile();
        Settings* selection = self->selectionSettings();
        if (result.code == DongleResult::Ok) {
            // The list may have been shown anew since the click (the person left and came back,
            // a profile was added): the highlight is the profile the dongle now has. A name being
            // typed in place is not taken by moving the highlight: its editor does so as it closes.
            const auto editors = self->m_ui->mouseProfilesListView->viewport()->findChildren<QWidget*>(
                QString(), Qt::FindDirectChildrenOnly);
            const bool typing
                = std::any_of(editors.begin(), editors.end(), [](QWidget* w) { return !w->isHidden(); });
            if (selection && !typing)
                self->showSelectedRow(*selection);
            return;
        }
        // The dongle kept the profile it had, and so did the selection: the list shows that one
        // again, so that no edit is made under the name of the row clicked.
        if (selection)
            self->updateUi(*selection, true);
        if (failed(result))
            emit self->showError(tr("Select Profile"), failureText(result, tr("Profile selection failed")));
    };
    // Not sent (no dongle): nothing failed, and the choice, stored, is shown as the one selected.
    if (!uploadSelection(settings, row, onApplied))
        onApplied(DongleResult(DongleResult::Ok));
}

bool ProfilesPage::uploadSelection(Settings& settings, int row, std::function<void(DongleResult)> done)
{
    QPointer<ProfilesPage> self(this);
    ++m_uploading;
    auto onApplied = [self, done](DongleResult result) {
        if (!self)
            return;
        --self->m_uploading;
        done(result);
    };
    if (settings.apply(row, onApplied))
        return true;
    --m_uploading;
    // No dongle: nothing was sent, and nothing failed. The choice is stored, and the next dongle
    // gets the selected profile as it connects.
    MouseProfile const* chosen = settings.profileAt(row);
    if (chosen && row != settings.selectedIndex() && settings.setSelectedProfile(chosen->name()))
        settings.sync();
    return false;
}

void ProfilesPage::onAddProfileClicked()
{
    if (uploading())
        return;
    auto* dialog = new ProfileSelectionDialog(selectionTitle(true), this);
    dialog->setNameFieldVisible(true);
    open(dialog, {}, [this, dialog](int result) {
        if (result != QDialog::Accepted)
            return;
        const QString base = dialog->getSelectedProfile();
        QString name = dialog->getProfileName().trimmed();
        if (name.isEmpty())
            name = base;
        MouseProfile const& model = baseProfileFromName(base);
        Settings* settings = container->getSettings();
        if (!settings)
            return;
        const bool hadSelection = settings->hasSelectedProfile();
        // The store refuses a name listed in any letter case: "tremor" beside "Tremor" becomes
        // "tremor 1", as "Tremor" becomes "Tremor 1".
        settings->addProfile(MouseProfile(settings->profileName(name, Qt::CaseInsensitive), model));
        // The first profile of an empty list is the selected one: it is edited from now on, not
        // the settings of the profile removed last.
        if (!hadSelection && settings->hasSelectedProfile())
            m_edited = *settings->selectedProfile();
        updateUi(*settings, true);
    });
}

void ProfilesPage::onRemoveProfileClicked()
{
    const QModelIndex index = m_ui->mouseProfilesListView->currentIndex();
    Settings* settings = container->getSettings();
    if (!settings || !index.isValid() || uploading())
        return;
    // The stored name of the row, never a text being edited in place.
    MouseProfile const* stored = settings->profileAt(index.row());
    if (!stored)
        return;
    const QString name = stored->name();
    if (name.toLower() == QLatin1String(DefaultProfileName)) {
        emit showError(tr("Delete profile"), tr("Deleting \"default\" profile is not possible!"));
        return;
    }
    settings->removeProfile(name);
    Settings* selection = selectionSettings();
    if (!selection) {
        updateUi(*settings, true);
        return;
    }
    m_edited = *selection->selectedProfile();
    updateUi(*selection, true);
    QPointer<ProfilesPage> self(this);
    uploadSelection(*selection, selection->selectedIndex(), [self](DongleResult result) {
        if (self && failed(result))
            emit self->showError(tr("Remove Profile"), failureText(result, tr("Profile selection failed")));
    });
}

void ProfilesPage::onResetProfileClicked()
{
    if (uploading())
        return; // the upload's answer would load the selected profile over the choice
    auto* dialog = new ProfileSelectionDialog(selectionTitle(false), this);
    dialog->setNameFieldVisible(false);
    open(dialog, {}, [this, dialog](int result) {
        Settings* settings = container->getSettings();
        if (result != QDialog::Accepted || !settings)
            return;
        m_edited = baseProfileFromName(dialog->getSelectedProfile());
        updateUi(*settings, false);
    });
}

void ProfilesPage::onRowRenamed(QModelIndex const& index)
{
    if (m_loadingList || !index.isValid())
        return;
    Settings* settings = container->getSettings();
    MouseProfile const* stored = settings ? settings->profileAt(index.row()) : nullptr;
    if (!stored)
        return;
    const QString oldName = stored->name();
    const QString typed = index.data(Qt::DisplayRole).toString();
    const QString newName = typed.trimmed();
    // The row shows the name stored, never the text typed around it.
    auto showName = [this, &index](QString const& name) {
        m_loadingList = true;
        m_listModel->setData(index, name, Qt::DisplayRole);
        m_loadingList = false;
    };
    if (newName == oldName) {
        if (typed != oldName)
            showName(oldName);
        return;
    }
    // A refused name changes nothing: the row shows the stored name again, and the person is
    // told why.
    const int taken = settings->indexOf(newName);
    QString refusal;
    if (newName.isEmpty())
        refusal = tr("A profile needs a name.");
    else if (taken != -1 && taken != index.row())
        refusal = tr("A profile named \"%1\" already exists.").arg(settings->profileAt(taken)->name());
    else if (oldName.toLower() == QLatin1String(DefaultProfileName)
        || newName.toLower() == QLatin1String(DefaultProfileName))
        refusal = tr("The name \"default\" belongs to the default profile.");
    const bool renamed = refusal.isEmpty() && settings->renameProfile(oldName, newName);
    qDebug() << "Profile renamed: " << oldName << " -> " << newName << (renamed ? "" : "(refused)");
    showName(renamed ? newName : oldName);
    if (!renamed)
        emit showError(
            tr("Rename profile"), refusal.isEmpty() ? tr("The profile could not be renamed.") : refusal);
}

// ---- questions and errors ------------------------------------------------------------------

Page::Question ProfilesPage::choice(
    QString const& informative, QString const& text, QString const& first, QString const& second)
{
    Question question;
    question.informative = informative;
    question.text = text;
    question.buttons = QStringList { first, second };
    return question;
}

bool ProfilesPage::pageShouldDisappear()
{
    Settings* settings = selectionSettings();
    if (!settings || settings->selectedProfile()->isEqual(m_edited, false))
        return true;
    return askBeforeLeaving(
        choice(tr("Leave mouse profile settings"),
            tr("You have changes in your selected profile. Do you want to apply changes?"),
            tr("Stay on page"), tr("Dismiss and Leave page")),
        [](int answer) { return answer != 0; });
}

void ProfilesPage::onShowError(QString const& title, QString const& text)
{
    if (!isVisit(visit())) {
        // The person left before the dongle answered: the director tells it over whatever page
        // is shown now.
        if (OrvixDirector* director = container->getDirector())
            emit director->showMessage(OrvixDirector::warning, title, text);
        return;
    }
    // Opened from the event loop: an upload's failure may be reported while the dongle is being
    // deleted.
    Question question;
    question.icon = Icon::Warning;
    question.title = title;
    question.text = text;
    ask(question);
}

} // namespace OX
