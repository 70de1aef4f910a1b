#pragma once
// The page "Profiles": how the headset drives the pointer. The user picks a control mode, edits
// its parameters on a private copy of the selected mouse profile (the edited profile), keeps
// named profiles (add, remove, reset, rename in place), uploads the edited profile into the
// selected slot ("Apply") or tries it for 30 seconds ("Try It"), after which the dongle gets the
// selected profile back unless the user keeps the change. Loading a profile never edits it, so
// the footer offers "Apply" only for a real change; every upload ends with the busy indicator
// hidden, also when it is refused at once.
#include "device/Keyboard.h"
#include "device/MouseProfile.h"
#include "protocol/DongleResult.h"
#include "ui/toolkit/Page.h"
#include "ui/toolkit/TimeoutDialog.h"

#include <QPersistentModelIndex>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

class QModelIndex;
class QTime;

namespace Ui
{
class ProfilesPage;
}

namespace OX
{

class ProfileListModel;

class ProfilesPage : public Page
{
    Q_OBJECT
public:
    // How long a tried profile stays on the dongle before the selected one is put back.
    static constexpr int TrialMs = 30000;
    // The gauges' widest angle: two radians.
    static constexpr float MaxViewAngleDegrees = 114.59156f;
    static constexpr int SliderScale = 100;

    ProfilesPage(PageContainer* container, QWidget* parent = nullptr);
    ~ProfilesPage() override;

    // Loads the controls from the edited profile without changing it; with reloadList the list
    // is rebuilt first and highlights the selected profile.
    void updateUi(Settings const& settings, bool reloadList);
    // Shows a control mode in the buttons and stacks (mode 0 changes nothing).
    void setControlMode(MouseMode mode);
    // Shows automatic or timer set-center; never writes the edited profile.
    void setAutoZero(bool automatic, int seconds);
    // Uploads profile's settings into the selected slot; completion runs once, also when nothing
    // could be sent.
    void applyProfile(MouseProfile& profile, std::function<void()> completion);

    // 4 applies, 5 tries (neither while one of the page's uploads runs); both true. Others go to
    // the base page.
    bool perform(PageAction action) override;
    void retranslate() override;
    void pageWillAppear(QString const& from) override;
    bool pageShouldDisappear() override;
    void pageDidAppear() override;
    // A trial still running when the page goes is reverted at once: nobody can answer it now.
    void pageDidDisappear() override;
    // Without a dongle a trial has nothing left to revert: its timer stops.
    void updateWithDongle(Dongle* dongle, DongleChangeMask mask) override;

    // The trial: the tried profile is uploaded, the question asked; the selected profile goes
    // back when the trial timer fires or the question is answered (twice when both happen).
    void onTestingStart();
    void onTestingFinished();
    void onACATKeyCodeChanged(KeyCode key);
    // Edited profile := selected profile, controls reloaded (list untouched).
    void onProfileChanged();
    void onUpdateFooter();
    void onShowError(QString const& title, QString const& text);

    // What is being edited (for tests and the footer).
    MouseProfile const& editedProfile() const { return m_edited; }
    // From "Try It" until the tried profile was reverted.
    bool isTrialRunning() const { return m_trialTimer.isActive(); }
    // Ends the trial: the selected profile goes back to the dongle; reverted (when given) runs
    // once that upload has ended, whatever its result, or at once when there is nothing to send.
    void endTrial(std::function<void()> reverted);
    // For tests only: a shorter trial than TrialMs.
    void setTrialDuration(int ms) { m_trialMs = ms; }
    // The built-in profile a base-profile name names, in English or in the interface's language
    // (as the selection dialog shows them); Normal for anything else.
    static MouseProfile const& baseProfileFromName(QString const& name);

signals:
    void updateProfile();
    void updateFooter();
    void showError(QString const& title, QString const& text);

private:
    // The titles and question of the page's dialogs open now, in the current language.
    void retranslateDialogs();
    // Connected in the constructor (not by name).
    void onAbsoluteChosen();
    void onRelativeChosen();
    void onSingleKeystrokeChosen();
    void onAutomaticCenterChosen();
    void onTimerCenterChosen();
    void onCenterTimeChanged(QTime const& time);
    void onAudioFeedbackToggled(int state);
    void onVisualFeedbackToggled(int state);
    void onTremorFilterChanged(int value);
    void onHorizontalRangeChanged(int value);
    void onVerticalRangeChanged(int value);
    void onAutoRangeToggled(int state);
    void onMouseSpeedChanged(int value);
    void onKeyCaptureToggled(bool on);
    void onAddProfileClicked();
    void onRemoveProfileClicked();
    void onResetProfileClicked();
    void onProfileClicked(QModelIndex const& index);
    // A row edited in place renames its stored profile, or goes back to the stored name.
    void onRowRenamed(QModelIndex const& index);

    // The settings when a stored profile is selected; null otherwise (the page then acts as
    // without settings wherever the selected profile is needed).
    Settings* selectionSettings() const;
    void connectForm();
    void showSkTodoText();
    // A question with the page's two buttons.
    static Question choice(
        QString const& informative, QString const& text, QString const& first, QString const& second);
    // The list highlights the selected profile.
    void showSelectedRow(Settings const& settings);
    // Uploads the stored profile at row, which becomes the selected one once the dongle took it;
    // with no dongle, or once the dongle left during the upload, it is selected and stored as is.
    void selectProfile(Settings& settings, int row);
    // The upload of a selection (a list click, the profile selected after a removal): done runs
    // once with the dongle's answer, while the page exists. Without a dongle the row is selected
    // and stored at once, for the next dongle to get as it connects, and false is returned.
    bool uploadSelection(Settings& settings, int row, std::function<void(DongleResult)> done);

    std::unique_ptr<Ui::ProfilesPage> m_ui;
    MouseProfile m_edited;
    QTimer m_trialTimer;
    // The trial's question, from "Try It" until it is answered or closed, and the settings tried:
    // "keep it" stores these, whatever reloaded the edited profile meanwhile.
    QPointer<TimeoutDialog> m_trialDialog;
    MouseProfile m_tried;
    // The list click waiting out the double-click interval, its row and the visit it came in.
    QTimer m_rowClick;
    QPersistentModelIndex m_clickedRow;
    quint64 m_clickVisit = 0;
    // The page's uploads under way (a list click, "Apply", a removal's re-selection): until the
    // dongle answered, "Apply", "Try It", Add, Remove and Reset start nothing, however reached
    // (the busy veil stops only the mouse), so that the answer alone decides what the controls,
    // the list and the store hold.
    bool uploading() const { return m_uploading > 0; }
    int m_uploading = 0;
    int m_trialMs = TrialMs;
    ProfileListModel* m_listModel = nullptr; // owned as a child
    bool m_loadingList = false;
};

} // namespace OX
