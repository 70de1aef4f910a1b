#include "ui/firmware/DFUWelcomeForm.h"

#include "ui_DFUWelcomeForm.h"

#include "device/Dongle.h"
#include "ui/firmware/DFUFormDelegate.h"

#include <QPointer>

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
    QPointer<DFUWelcomeForm> self(this);
    QPointer<Dongle> switched(dongle);
    const quint64 visit = this->visit();
    dongle->enterPasshroughtMode([self, switched, visit, done](DongleResult result) {
        if (self && result.code == DongleResult::Ok)
            self->m_passThrough = switched;
        if (!self || !self->isVisit(visit))
            return; // the step was left before the dongle answered
        if (result.code != DongleResult::Ok)
            self->delegate.stepFailed(self, tr("Unable to enter firmware update mode."));
        else
            done();
    });
}

void DFUWelcomeForm::retranslateForm()
{
    m_ui->retranslateUi(this);
}

} // namespace OX
