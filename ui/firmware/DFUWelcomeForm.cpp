#include "ui/firmware/DFUWelcomeForm.h"

#include "ui_DFUWelcomeForm.h"

#include "device/Dongle.h"
#include "ui/firmware/DFUFormDelegate.h"

#include <QPointer>

#include <utility>

namespace OX
{

DFUWelcomeForm::DFUWelcomeForm(DFUFormDelegate& delegate, QWidget* parent)
    : DFUForm(delegate, parent)
    , m_ui(std::make_unique<::Ui::DFUWelcomeForm>())
{
    m_ui->setupUi(this);
}

DFUWelcomeForm::~DFUWelcomeForm() = default;

void DFUWelcomeForm::retranslate()
{
    delegate.setNextStepEnabled(this, true, tr("Continue"));
    delegate.setFormTitle(tr("Welcome"));
}

void DFUWelcomeForm::pageWillAppear()
{
    retranslate();
    delegate.setNextStepEnabled(this, true, tr("Continue"));
    delegate.setFormTitle(tr("Welcome"));
}

void DFUWelcomeForm::prepareForNavigation(NavigationDirection direction, std::function<void()> done)
{
    if (direction != Forward)
        return;
    delegate.setNextStepEnabled(this, false, tr("Continue"));
    Dongle* dongle = delegate.getDongle();
    if (!dongle) {
        delegate.stepFailed(this, tr("Dongle not connected or lost."));
        return;
    }
    if (dongle == m_passThrough) {
        done();
        return;
    }
    m_waitingMove = done;
    m_waitingVisit = visit();
    if (m_switching == dongle)
        return; // asked on an earlier visit and not answered yet: that answer moves this one
    m_switching = dongle;
    const quint64 number = ++m_switchNumber;
    QPointer<DFUWelcomeForm> self(this);
    QPointer<Dongle> switched(dongle);
    dongle->enterPasshroughtMode([self, switched, number](DongleResult result) {
        if (!self)
            return;
        if (result.code == DongleResult::Ok && switched)
            self->m_passThrough = switched;
        if (number != self->m_switchNumber)
            return; // a switch of a dongle gone since: another was asked after it
        self->m_switching = nullptr;
        const std::function<void()> move = std::exchange(self->m_waitingMove, {});
        if (!move || !self->isVisit(self->m_waitingVisit))
            return; // the step was left before the dongle answered
        if (result.code != DongleResult::Ok)
            self->delegate.stepFailed(self, tr("Unable to enter firmware update mode."));
        else
            move();
    });
}

void DFUWelcomeForm::retranslateForm()
{
    m_ui->retranslateUi(this);
}

} // namespace OX
