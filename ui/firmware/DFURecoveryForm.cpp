#include "ui/firmware/DFURecoveryForm.h"

#include "device/Dongle.h"
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
{
    m_ui->setupUi(this);
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
    Dongle* dongle = delegate.getDongle();
    if (!dongle) {
        delegate.stepFailed(this, tr("Dongle not connected or lost."));
        return;
    }
    XModem* sender = dongle->startXmodem();
    if (!sender || sender->isBusy()) {
        delegate.stepFailed(this, tr("Dongle error, could not start Xmodem."));
        return;
    }
    m_sender = sender;
    connect(sender, &XModem::deviceConnected, this, &DFURecoveryForm::onDeviceConnected);
    sender->start();
    sender->enableRecoveryMode();
}

void DFURecoveryForm::onDeviceConnected()
{
    delegate.setNextStepEnabled(this, true, tr("Continue"));
}

void DFURecoveryForm::prepareForNavigation(NavigationDirection direction, std::function<void()> done)
{
    if (direction != Forward)
        return;
    if (cleanUp())
        done();
}

bool DFURecoveryForm::cleanUp()
{
    if (m_sender)
        m_sender->disconnect(this);
    m_sender = nullptr;
    Dongle* dongle = delegate.getDongle();
    if (!dongle) {
        delegate.stepFailed(this, tr("Dongle not connected or lost."));
        return false;
    }
    dongle->stopXmodem();
    return true;
}

void DFURecoveryForm::pageAbandoned()
{
    if (!m_sender)
        return; // never started, or gone with the dongle
    m_sender->disconnect(this);
    m_sender = nullptr;
    if (Dongle* dongle = delegate.getDongle())
        dongle->stopXmodem();
}

} // namespace OX
