#include "ui/firmware/FirmwarePage.h"

#include "ui_FirmwarePage.h"

#include "device/Dongle.h"
#include "ui/firmware/DFUConnectForm.h"
#include "ui/firmware/DFUFailedForm.h"
#include "ui/firmware/DFUGetFirmwareForm.h"
#include "ui/firmware/DFURecoveryForm.h"
#include "ui/firmware/DFUSucceededForm.h"
#include "ui/firmware/DFUUploadForm.h"
#include "ui/firmware/DFUWelcomeForm.h"
#include "ui/toolkit/PageContainer.h"

#include <QDebug>
#include <QPointer>
#include <QSet>
#include <QTextDocument>

#include <memory>
#include <utility>

namespace OX
{

struct FirmwarePage::Form : Ui::FirmwarePage {
};

FirmwarePage::FirmwarePage(PageContainer* container, QWidget* parent, StepFactory steps)
    : Page(container, parent)
    , m_ui(std::make_unique<Form>())
    , m_wizardDelegate(this)
{
    m_ui->setupUi(this);
    m_placeholder = m_ui->placeholder;
    if (steps) {
        steps(*this);
    } else {
        insertStep(new DFUWelcomeForm(*this), WelcomeStep);
        insertStep(new DFUConnectForm(*this), ConnectStep);
        insertStep(new DFUGetFirmwareForm(*this), GetFirmwareStep);
        insertStep(new DFUUploadForm(*this), UploadStep);
        insertStep(new DFUSucceededForm(*this), SucceededStep);
        insertStep(new DFURecoveryForm(*this), RecoveryStep);
    }
    m_failedForm = new DFUFailedForm(*this);

    // Recovery shares the Connect dot, so there is one dot less than steps.
    m_ui->stepper->setSteps(qMax(0, m_order.size() - 1), StepsWidget::Any, StepsWidget::Any);
    m_ui->prevButton->setText(QString());
    m_ui->prevButton->setEnabled(false);
    m_ui->nextButton->setEnabled(true);
    connect(m_ui->stepper, &StepsWidget::currentStepChanged, this, &FirmwarePage::onCurrentStepChanged);
    connect(m_ui->nextButton, &QPushButton::clicked, this, &FirmwarePage::onNextPressed);
}

FirmwarePage::~FirmwarePage()
{
    QSet<DFUForm*> forms;
    for (DFUForm* form : qAsConst(m_forms))
        forms.insert(form);
    forms.insert(m_failedForm);
    for (DFUForm* form : qAsConst(forms))
        delete form;
    if (m_placeholder && !m_placeholder->parent())
        delete m_placeholder;
}

void FirmwarePage::insertStep(DFUForm* form, int id)
{
    DFUForm* previous = m_forms.value(id);
    m_forms.insert(id, form);
    m_order.append(id);
    if (previous && previous != form && !m_forms.values().contains(previous))
        delete previous;
}

DFUForm* FirmwarePage::formAt(int position) const
{
    if (position < 0 || position >= m_order.size())
        return nullptr;
    return m_forms.value(m_order.at(position));
}

int FirmwarePage::idOf(DFUForm* form) const
{
    for (auto it = m_forms.cbegin(); it != m_forms.cend(); ++it) {
        if (it.value() == form)
            return it.key();
    }
    return 0;
}

std::function<void()> FirmwarePage::guarded(std::function<void()> fn)
{
    auto called = std::make_shared<bool>(false);
    const quint64 visit = this->visit();
    DFUForm* const step = m_current;
    return [this, fn = std::move(fn), called, visit, step] {
        if (*called || !isVisit(visit) || m_current != step)
            return; // called twice, or the page was left or the step abandoned since
        *called = true;
        fn();
    };
}

bool FirmwarePage::isStepVisit(const DFUForm* form, quint64 visit) const
{
    return form && form == m_current && isVisit(visit);
}

void FirmwarePage::abandonShownForm()
{
    if (DFUForm* step = std::exchange(m_current, nullptr))
        step->pageAbandoned();
}

// ---- switching forms -----------------------------------------------------------------------

void FirmwarePage::showPage(DFUForm* form, std::function<void()> done)
{
    if (!form)
        return;
    auto switchTo = guarded([this, form, done = std::move(done)] {
        DFUForm* old = formAt(m_visibleIndex);
        m_current = form;
        form->pageWillAppear();
        setPage(form, [this, form, old, done] {
            const int id = idOf(form);
            m_visibleIndex = id ? m_order.indexOf(id) : m_order.size();
            if (id == SucceededStep)
                m_outcomeAwaitsStep = false; // its instructions are on screen now
            if (old)
                old->pageDidDisappear();
            form->pageDidAppear();
            if (done)
                done();
        });
    });
    DFUForm* visible = formAt(m_visibleIndex);
    if (!visible) {
        switchTo();
        return;
    }
    if (!visible->pageShouldDisappear())
        return;
    visible->pageWillDisappear(switchTo);
}

void FirmwarePage::setPage(DFUForm* form, std::function<void()> done)
{
    QLayout* layout = m_ui->content->layout();
    while (QLayoutItem* item = layout->takeAt(0)) {
        if (QWidget* widget = item->widget())
            widget->setParent(nullptr);
        delete item;
    }
    layout->addWidget(form);
    form->show();
    m_shown = form;
    if (done)
        done();
}

// ---- page life ------------------------------------------------------------------------------

void FirmwarePage::retranslate()
{
    setWindowTitle(tr("Form"));
    if (m_placeholder)
        m_placeholder->setText(tr("Placeholder"));
    container->setTitle(tr("Firmware update"));
    container->setSubtitle(QString());
    container->setLeft(tr("Back"), PageAction::back, this);
    // The wizard moves with its own Next: no right button of the page shown before stays.
    container->setRight(QString(), PageAction::none, this, PageFooter::MainButton);
    container->setRight(QString(), PageAction::none, this, PageFooter::AlternativeButton);
}

void FirmwarePage::pageWillAppear(const QString&)
{
    abandonShownForm();
    m_outcomeAwaitsStep = false;
    retranslate();
    m_ui->stepper->reset();
    m_ui->prevButton->setEnabled(false);
    m_ui->nextButton->setEnabled(true);
    m_currentIndex = 0;
    m_visibleIndex = 0;
    DFUForm* first = formAt(0);
    if (!first)
        return;
    m_current = first;
    first->pageWillAppear();
    setPage(first, [this] {
        if (DFUForm* visible = formAt(m_visibleIndex))
            visible->pageDidAppear();
    });
}

void FirmwarePage::pageWillDisappear(const QString&, std::function<void()> done)
{
    abandonShownForm();
    // What the person never saw of the outcome is told over the page shown next, once.
    const Question unseen = takeUntoldOutcome();
    if (!unseen.text.isEmpty())
        askOnLeaving(unseen, {});
    done();
}

Page::Question FirmwarePage::takeUntoldOutcome()
{
    Question unseen = std::exchange(m_unseenOutcome, {});
    auto* succeeded = qobject_cast<DFUSucceededForm*>(m_forms.value(SucceededStep));
    if (std::exchange(m_outcomeAwaitsStep, false) && unseen.text.isEmpty() && succeeded)
        unseen = succeeded->outcome();
    return unseen;
}

void FirmwarePage::showEvent(QShowEvent* event)
{
    Page::showEvent(event);
    if (isOnScreen())
        m_unseenOutcome = {};
}

void FirmwarePage::updateWithHeadset(Headset*, HeadsetChangeMask) { }

bool FirmwarePage::pageShouldDisappear()
{
    QPointer<DFUUploadForm> upload = qobject_cast<DFUUploadForm*>(m_shown);
    if (!upload || !upload->isTransferring())
        return true;
    Question question = stopQuestion(
        tr("The firmware upload is still running. Do you want to stop it?"), tr("Stop upload"));
    question.about << QPointer<QObject>(getDongle());
    ask(question, [upload](int answer) {
        if (answer == 1 && upload)
            upload->stopTransfer();
    });
    return false;
}

Page::Question FirmwarePage::stopQuestion(const QString& text, const QString& stop) const
{
    Question question;
    question.icon = Icon::Warning;
    question.title = tr("Firmware update");
    question.text = text;
    question.informative = tr("A stopped upload leaves the LINK half-written: it does not start its firmware "
                              "until it is updated again in recovery mode.");
    question.buttons = QStringList { tr("Continue upload"), stop };
    // Ended on its own meanwhile (done, failed, or the dongle gone), there is nothing to stop.
    question.about << QPointer<QObject>(runningUpload());
    return question;
}

QObject* FirmwarePage::runningUpload() const
{
    auto* upload = qobject_cast<DFUUploadForm*>(m_forms.value(UploadStep));
    return upload ? upload->transfer() : nullptr;
}

Page::Question FirmwarePage::quitQuestion() const
{
    return stopQuestion(
        tr("A LINK firmware upload is running. Do you want to stop it and quit?"), tr("Stop and quit"));
}

void FirmwarePage::stopUpload()
{
    if (auto* upload = qobject_cast<DFUUploadForm*>(m_forms.value(UploadStep)))
        upload->stopTransfer();
}

void FirmwarePage::pageDidAppear()
{
    Page::pageDidAppear();
    // Nothing of the wizard keeps the footer busy: Back always leads out.
    container->setProgress(false);
}

void FirmwarePage::updateWithDongle(Dongle* dongle, DongleChangeMask)
{
    if (dongle)
        return;
    // The upload on screen, or a failure shown after it, in this visit: a LINK left half-written
    // by an upload of an earlier visit was told then, and no upload was cut now.
    auto* upload = qobject_cast<DFUUploadForm*>(m_forms.value(UploadStep));
    const bool halfWritten = appeared && upload && upload->shownIn() == visit()
        && (m_shown == upload || m_shown == m_failedForm) && upload->isLinkHalfWritten();
    abandonShownForm();
    if (!halfWritten) {
        Page::perform(PageAction::back);
        return;
    }
    // Leaving now would hide what the person must know before using the LINK again.
    stepFailed(upload,
        tr("The dongle was lost during the upload. The LINK was left half-written and does not start "
           "its firmware: connect the dongle and the LINK again, then update it in recovery mode."));
}

// ---- moves ----------------------------------------------------------------------------------

int FirmwarePage::wizardStepForward(int position)
{
    const int connect = m_order.indexOf(ConnectStep);
    if (position != connect) {
        if (position == m_order.indexOf(RecoveryStep))
            return m_order.indexOf(GetFirmwareStep);
        return position + 1;
    }
    if (m_recoveryMode && qobject_cast<DFUConnectForm*>(formAt(position))) {
        // Recovery shows the Connect dot: this step back and the step on after it cancel out.
        m_ui->stepper->setCurrentStep(m_ui->stepper->currentStep() - 1);
        return m_order.indexOf(RecoveryStep);
    }
    return position + 1;
}

int FirmwarePage::wizardStepBackward(int position)
{
    return position - 1;
}

void FirmwarePage::onNextPressed()
{
    navigateToNextStep(nullptr);
}

void FirmwarePage::navigateToNextStep(DFUForm*)
{
    const int count = m_order.size();
    if (m_currentIndex == count)
        return;
    DFUForm* form = formAt(m_currentIndex);
    if (!form)
        return;
    form->prepareForNavigation(DFUForm::Forward, guarded([this, count] {
        if (m_currentIndex >= 0 && m_currentIndex <= count) {
            const int next
                = m_wizardDelegate ? m_wizardDelegate->wizardStepForward(m_currentIndex) : m_currentIndex + 1;
            if (next >= 0 && next < count)
                m_currentIndex = next;
        }
        m_ui->stepper->setCurrentStep(m_ui->stepper->currentStep() + 1);
        showPage(formAt(m_currentIndex), [] {});
    }));
}

void FirmwarePage::navigateToPrevStep(DFUForm*)
{
    const int count = m_order.size();
    if (m_currentIndex == 0)
        return;
    if (!m_ui->stepper->setCurrentStep(m_ui->stepper->currentStep() - 1))
        return;
    DFUForm* form = formAt(m_currentIndex);
    if (!form)
        return;
    form->prepareForNavigation(DFUForm::Backward, guarded([this, count] {
        if (m_currentIndex >= 0 && m_currentIndex <= count) {
            const int previous = m_wizardDelegate ? m_wizardDelegate->wizardStepBackward(m_currentIndex)
                                                  : m_currentIndex - 1;
            if (previous >= 0 && previous < count)
                m_currentIndex = previous;
        }
        showPage(formAt(m_currentIndex), [] {});
    }));
}

void FirmwarePage::onCurrentStepChanged(int step)
{
    qDebug() << "Current step changed " << step << "!";
}

// ---- what the steps reach -------------------------------------------------------------------

void FirmwarePage::setNextStepEnabled(DFUForm*, bool enabled, const QString& text)
{
    if (text.isNull()) {
        if (!enabled)
            m_ui->nextButton->setText(QString());
    } else {
        m_ui->nextButton->setText(text);
    }
    m_ui->nextButton->setEnabled(enabled);
}

void FirmwarePage::stepFailed(DFUForm*, const QString& message)
{
    Question failure;
    failure.icon = Icon::Warning;
    failure.title = tr("Firmware update");
    failure.text = Qt::convertFromPlainText(message, Qt::WhiteSpaceNormal);
    keepIfUnseen(failure);
    m_failedForm->setMessage(message);
    showPage(m_failedForm, [] {});
}

void FirmwarePage::stepSucceeded(DFUForm*)
{
    // The succeeded step, reached with Finish, tells how to leave firmware update mode: the
    // dongle stays in it until it is plugged in again. Left before it, the page tells that.
    m_outcomeAwaitsStep = true;
}

void FirmwarePage::keepIfUnseen(Question outcome)
{
    m_unseenOutcome = isCovered() ? std::move(outcome) : Question {};
}

void FirmwarePage::setFormTitle(const QString& title)
{
    container->setSubtitle(title);
}

Dongle* FirmwarePage::getDongle()
{
    return container->getDongle();
}

void FirmwarePage::setLinkVersion(const DongleVersion& version)
{
    m_linkVersion = version;
}

DongleVersion FirmwarePage::linkVersion()
{
    return m_linkVersion;
}

void FirmwarePage::setFirmwarePath(const QString& path)
{
    m_firmwarePath = path;
}

QString FirmwarePage::firmwarePath()
{
    return m_firmwarePath;
}

void FirmwarePage::setRecoveryMode(bool recovery)
{
    m_recoveryMode = recovery;
}

bool FirmwarePage::recoveryMode()
{
    return m_recoveryMode;
}

void FirmwarePage::ask(Question question, std::function<void(int)> answer)
{
    Page::ask(std::move(question), std::move(answer));
}

void FirmwarePage::open(QDialog* dialog, About about, std::function<void(int)> answer)
{
    Page::open(dialog, std::move(about), std::move(answer));
}

void FirmwarePage::askOnLeaving(Question question, std::function<void(int)> answer)
{
    Page::askOnLeaving(std::move(question), std::move(answer));
}

} // namespace OX
