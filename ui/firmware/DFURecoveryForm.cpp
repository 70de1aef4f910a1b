#include "ui/firmware/DFURecoveryForm.h"

#include "protocol/XModem.h"
#include "ui/firmware/DFUFormDelegate.h"

// After every header of ours: the designer's class lives in OX::Ui.
#include "ui_DFURecoveryForm.h"

namespace OX
{

struct DFURecoveryForm::Form : Ui::DFURecoveryForm {
};

DFURecoveryForm::DFURecoveryForm(DFUFormDelegate& delegate, QWidget* parent)
    : DFUForm(delegate, parent)
    , m_ui(std::make_unique<Form>())
    , m_sender(*this, delegate)
{
    m_ui->setupUi(this);
    connect(&m_sender, &DFUSender::receiverReady, this, &DFURecoveryForm::onDeviceConnected);
}

DFURecoveryForm::~DFURecoveryForm() = default;

void DFURecoveryForm::retranslate()
{
    delegate.setFormTitle(tr("Recovery mode"));
}

void DFURecoveryForm::pageWillAppear()
{
    retranslate();
    delegate.setNextStepEnabled(this, false, tr("Continue"));
    delegate.setFormTitle(tr("Recovery mode"));
}

void DFURecoveryForm::pageDidAppear()
{
    DFUForm::pageDidAppear();
    if (m_sender.take())
        m_sender.wakeLink();
}

void DFURecoveryForm::onDeviceConnected()
{
    delegate.setNextStepEnabled(this, true, tr("Continue"));
}

void DFURecoveryForm::prepareForNavigation(NavigationDirection direction, std::function<void()> done)
{
    if (direction != Forward)
        return;
    if (m_sender.giveBack())
        done();
}

void DFURecoveryForm::pageAbandoned()
{
    m_sender.giveBackQuietly();
}

void DFURecoveryForm::retranslateForm()
{
    m_ui->retranslateUi(this);
}

} // namespace OX
