#include "ui/firmware/DFUUploadForm.h"

#include "ui_DFUUploadForm.h"

#include "device/Dongle.h"
#include "protocol/Print.h"
#include "protocol/XModem.h"
#include "ui/firmware/DFUFormDelegate.h"
#include "ui/firmware/FirmwareImage.h"

#include <QPixmap>

namespace OX
{

namespace
{
const QString InfoIcon = QStringLiteral(":/icons/info");
const QString SuccessIcon = QStringLiteral(":/icons/success");
} // namespace

DFUUploadForm::DFUUploadForm(DFUFormDelegate& delegate, QWidget* parent)
    : DFUForm(delegate, parent)
    , m_ui(std::make_unique<::Ui::DFUUploadForm>())
{
    m_ui->setupUi(this);
    m_timer.setSingleShot(true);
    m_timer.setInterval(BootloaderWaitMs);
    connect(&m_timer, &QTimer::timeout, this, &DFUUploadForm::onTimeout);
}

DFUUploadForm::~DFUUploadForm() = default;

void DFUUploadForm::retranslate()
{
    delegate.setFormTitle(tr("Upload"));
}

void DFUUploadForm::pageWillAppear()
{
    retranslate();
    delegate.setNextStepEnabled(this, false, tr("Finish"));
    delegate.setFormTitle(tr("Upload"));
    m_ui->progressBar->setValue(0);
    m_ui->estimationInfo->clear();
    m_ui->progressMessage->setText(tr("Waiting for link to start bootloader"));
    m_ui->statusIcon->setPixmap(QPixmap(InfoIcon));
    m_linkWritten = false;
}

void DFUUploadForm::pageDidAppear()
{
    DFUForm::pageDidAppear();
    Dongle* dongle = delegate.getDongle();
    if (!dongle) {
        delegate.stepFailed(this, tr("Dongle not connected or lost."));
        return;
    }
    XModem* sender = dongle->startXmodem();
    if (!sender || sender->isBusy()) {
        // No sender, or one still busy with the transfer of an earlier visit.
        delegate.stepFailed(this, tr("Dongle error, could not start Xmodem."));
        return;
    }
    m_abandoned = false;
    m_transferring = false;
    m_sender = sender;
    connect(sender, &XModem::deviceConnected, this, &DFUUploadForm::onDeviceConnected);
    connect(sender, &XModem::uploadFinished, this, &DFUUploadForm::onUploadFinished);
    connect(sender, &XModem::uploadProgress, this, &DFUUploadForm::onUploadProgress);
    sender->start();
    m_timer.start();
}

void DFUUploadForm::onDeviceConnected()
{
    if (!m_sender || m_transferring)
        return;
    const QString path = delegate.firmwarePath();
    m_timer.stop();
    // The file may have changed in the store since it was chosen: an image that is no firmware
    // now is refused before its first block.
    const QString problem = FirmwareImage::problemWith(path);
    if (!problem.isEmpty()) {
        if (cleanUp())
            delegate.stepFailed(this, problem);
        return;
    }
    m_transferring = true;
    m_linkWritten = true;
    QPointer<DFUUploadForm> self(this);
    m_sender->sendFile(path);
    // A file that cannot be sent ends the upload inside sendFile.
    if (self && m_sender && m_transferring)
        m_ui->progressMessage->setText(tr("Updating firmware"));
}

void DFUUploadForm::onUploadProgress(int percentage, long long remainingTime)
{
    m_ui->progressBar->setValue(percentage);
    m_ui->estimationInfo->setText(Print::remainingTimeFromSec(remainingTime));
}

void DFUUploadForm::onUploadFinished(bool success)
{
    m_transferring = false;
    if (m_abandoned) {
        releaseQuietly();
        return;
    }
    if (!cleanUp())
        return; // the dongle is gone: that failure is the outcome
    if (!success) {
        delegate.stepFailed(this, tr("Link firmware upload failed."));
        return;
    }
    m_linkWritten = false;
    m_ui->estimationInfo->clear();
    m_ui->statusIcon->setPixmap(QPixmap(SuccessIcon));
    m_ui->progressMessage->setText(tr("Upload finished"));
    delegate.setNextStepEnabled(this, true, tr("Finish"));
}

void DFUUploadForm::onTimeout()
{
    if (!cleanUp())
        return;
    delegate.stepFailed(this, tr("Link firmware upload failed, waiting for start bootloader timed out."));
}

bool DFUUploadForm::cleanUp()
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

void DFUUploadForm::stopTransfer()
{
    if (!isTransferring())
        return;
    m_transferring = false;
    if (!cleanUp())
        return; // the dongle is gone: that failure is the outcome
    delegate.stepFailed(this,
        tr("The upload was stopped. The LINK was left half-written and does not start its firmware: "
           "update it again in recovery mode."));
}

void DFUUploadForm::pageAbandoned()
{
    m_timer.stop();
    if (m_transferring && m_sender) {
        m_abandoned = true; // the sender ends the transfer by its own limits
        return;
    }
    releaseQuietly();
}

void DFUUploadForm::releaseQuietly()
{
    m_abandoned = false;
    m_transferring = false;
    const bool held = m_sender;
    if (m_sender)
        m_sender->disconnect(this);
    m_sender = nullptr;
    Dongle* dongle = delegate.getDongle();
    if (held && dongle)
        dongle->stopXmodem();
}

} // namespace OX
