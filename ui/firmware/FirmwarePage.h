#pragma once
// The page "Firmware": a wizard that updates the firmware of a LINK module cabled to the dongle.
// It shows one step form at a time above a row of Prev, the step dots and Next. The page decides
// which step follows which (with a detour through Recovery for a LINK that no longer starts);
// each step decides when its own work is done and calls back only through DFUFormDelegate.
//
// Steps by id, in order: Welcome 1, Connect 2, Get firmware 3, Upload 4, Succeeded 6, Recovery 5;
// the failed form stands apart and is shown by stepFailed. Every visit starts again at Welcome;
// the LINK version, the firmware path and the recovery flag survive visits. The page sets the
// whole footer when it appears (Back only) and never leaves it busy. The page's one visit token
// serves the steps too: a step's work and every pending move act only while the visit they began
// in runs and their step is still the one on screen. Leaving the page or losing the dongle tells
// the step on screen (DFUForm::pageAbandoned), after which nothing it started moves the wizard.
// Every visit shows a step at most once: the wizard only goes forward and starts at Welcome.
#include "ui/firmware/DFUFormDelegate.h"
#include "ui/firmware/WizardDelegate.h"
#include "ui/toolkit/Page.h"

#include <QLabel>
#include <QList>
#include <QMap>

#include <functional>
#include <memory>

namespace OX
{

class DFUFailedForm;
class DFUForm;

class FirmwarePage : public Page, public WizardDelegate, public DFUFormDelegate
{
    Q_OBJECT
public:
    enum StepId : int {
        WelcomeStep = 1,
        ConnectStep = 2,
        GetFirmwareStep = 3,
        UploadStep = 4,
        RecoveryStep = 5,
        SucceededStep = 6,
    };

    // For tests: registers other steps (with insertStep) instead of the seven forms.
    using StepFactory = std::function<void(FirmwarePage& page)>;

    FirmwarePage(PageContainer* container, QWidget* parent = nullptr, StepFactory steps = StepFactory());
    // Deletes every step form and the failed form.
    ~FirmwarePage() override;

    // Registers form (owned from now on) under id and appends id to the step order; a form
    // registered before under that id is deleted.
    void insertStep(DFUForm* form, int id);
    // Switches the content to form: the form on screen is asked to leave (it may refuse, or
    // take its time), then form gets pageWillAppear, is put in place and gets pageDidAppear.
    void showPage(DFUForm* form, std::function<void()> done);
    // Takes whatever the content holds out (not deleted), puts form in, then calls done.
    void setPage(DFUForm* form, std::function<void()> done);

    // Page
    void retranslate() override;
    void pageWillAppear(const QString& name) override;
    // While an upload runs, Back asks whether to stop it: false, and the transfer goes on unless
    // the person stops it (the failed form then says what the LINK was left as). A transfer that
    // ends while the question is open closes it unanswered.
    bool pageShouldDisappear() override;
    // A step's failure that came while Help covered the page, and was left there unseen, is told
    // over the page shown next; so is an upload's success whose succeeded step was never shown
    // (how to leave firmware update mode), whether the page was left from the step or from Help.
    void pageWillDisappear(const QString& name, std::function<void()> done) override;
    void pageDidAppear() override;
    void updateWithHeadset(Headset* headset, HeadsetChangeMask mask) override;
    // Without a dongle the step on screen is told and the page goes back; after an upload that
    // left the LINK half-written it stays instead, on the failed form that says so.
    void updateWithDongle(Dongle* dongle, DongleChangeMask mask) override;

    // WizardDelegate: Connect with the recovery flag set leads to Recovery, Recovery to Get
    // firmware, anything else to the next position.
    int wizardStepForward(int position) override;
    int wizardStepBackward(int position) override;

    // DFUFormDelegate
    void setNextStepEnabled(DFUForm* form, bool enabled, const QString& text) override;
    void navigateToNextStep(DFUForm* form) override;
    void navigateToPrevStep(DFUForm* form) override;
    void stepFailed(DFUForm* form, const QString& message) override;
    void stepSucceeded(DFUForm* form) override;
    void setFormTitle(const QString& title) override;
    Dongle* getDongle() override;
    void setLinkVersion(const DongleVersion& version) override;
    DongleVersion linkVersion() override;
    void setFirmwarePath(const QString& path) override;
    QString firmwarePath() override;
    void setRecoveryMode(bool recovery) override;
    bool recoveryMode() override;
    void ask(Question question, std::function<void(int)> answer) override;
    void open(QDialog* dialog, About about, std::function<void(int)> answer) override;
    void askOnLeaving(Question question, std::function<void(int)> answer) override;
    quint64 pageVisit() const override { return visit(); }
    bool isStepVisit(const DFUForm* form, quint64 visit) const override;

    // Connected in the constructor.
    void onNextPressed();
    void onCurrentStepChanged(int step);

    // A LINK firmware transfer runs (shown or left behind): an object that lives as long as it,
    // for a question about it to name; null otherwise. Quitting now would cut it.
    QObject* runningUpload() const;
    // Whether to stop that transfer and quit (button 1) or let it go on (0), about the transfer.
    Question quitQuestion() const;
    // Ends that transfer at once, as the person's "Stop upload" does.
    void stopUpload();
    // What the person has not seen of how the update ended: a failure that came while Help covered
    // the page, or an upload that ended well whose succeeded step (how to leave firmware update
    // mode) was never reached; empty text when there is none. Taken, it is not told again.
    Question takeUntoldOutcome();

    // Readers for tests and the walks.
    DFUForm* stepForm(int id) const { return m_forms.value(id); }
    DFUFailedForm* failedForm() const { return m_failedForm; }
    // The form in the content area (null before the first visit).
    DFUForm* shownForm() const { return m_shown; }
    int currentIndex() const { return m_currentIndex; }
    // -1 before the first visit, the number of steps while the failed form is shown.
    int visibleIndex() const { return m_visibleIndex; }
    QList<int> stepOrder() const { return m_order; }

protected:
    // Back from Help, the page shows what came meanwhile.
    void showEvent(QShowEvent* event) override;

private:
    // The form at position, or null outside the step order.
    DFUForm* formAt(int position) const;
    // The step id under which form is registered (first in id order), 0 when none.
    int idOf(DFUForm* form) const;
    // Tells the step on screen that its work is over; from now on nothing it started counts.
    void abandonShownForm();
    // Whether to stop the running transfer: text, with "Continue upload" and stop as buttons.
    Question stopQuestion(const QString& text, const QString& stop) const;
    // Keeps outcome to tell on leaving when it came while Help covers the page; forgets it else.
    void keepIfUnseen(Question outcome);
    // Calls fn once, and only while the page's visit and its step on screen are those of now.
    std::function<void()> guarded(std::function<void()> fn);

    // The designer form (its class lives in the .cpp only, so that no other header sees it).
    struct Form;
    std::unique_ptr<Form> m_ui;
    QLabel* m_placeholder = nullptr; // detached from the content by the first step shown
    QMap<int, DFUForm*> m_forms;
    QList<int> m_order;
    int m_currentIndex = 0;
    WizardDelegate* m_wizardDelegate = nullptr;
    int m_visibleIndex = -1;
    DFUFailedForm* m_failedForm = nullptr;
    DFUForm* m_shown = nullptr;
    // The step whose work counts: the one on screen, null once it was abandoned.
    DFUForm* m_current = nullptr;
    DongleVersion m_linkVersion;
    QString m_firmwarePath;
    bool m_recoveryMode = false;
    Question m_unseenOutcome; // shown by the page while Help covered it
    // An upload ended well in this visit and the succeeded step, which says how to leave firmware
    // update mode, has not been shown yet.
    bool m_outcomeAwaitsStep = false;
};

} // namespace OX
