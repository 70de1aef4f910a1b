#include "ui/firmware/DFUUploadForm.h"

#include "ui_DFUUploadForm.h"

#include "protocol/Print.h"
#include "protocol/XModem.h"
#include "ui/firmware/DFUFormDelegate.h"
#include "ui/firmware/FirmwareImage.h"

#include <QPixmap>
#include <QPointer>

#include <utility>

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
    , m_sender(*this, delegate)
{
    m_ui->setupUi(this);
    m_timer.setSingleShot(true);
    m_timer.setInterval(BootloaderWaitMs);
    connect(&m_timer, &QTimer::timeout, this, &DFUUploadForm::onTimeout);
    connect(&m_sender, &DFUSender::receiverReady, this, &DFUUploadForm::onDeviceConnected);
    connect(&m_sender, &DFUSender::finished, this, &DFUUploadForm::onUploadFinished);
    connect(&m_sender, &DFUSender::progress, this, &DFUUploadForm::onUploadProgress);
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
    m_shownIn = visit();
}

void DFUUploadForm::pageDidAppear()
{
    DFUForm::pageDidAppear();
    if (m_sender.take())
        m_timer.start();
}

void DFUUploadForm::onDeviceConnected()
{
    if (m_sender.isSending())
        return;
    const QString path = delegate.firmwarePath();
    m_timer.stop();
    // The file may have changed in the store since it was chosen: an image that is no firmware
    // now is refused before its first block.
    const QString problem = FirmwareImage::problemWith(path);
    if (!problem.isEmpty()) {
        if (m_sender.giveBack())
            delegate.stepFailed(this, problem);
        return;
    }
    m_linkWritten = true;
    QPointer<DFUUploadForm> self(this);
    m_sender.send(path);
    // A file that cannot be sent ends the upload inside send.
    if (self && m_sender.isSending())
        m_ui->progressMessage->setText(tr("Updating firmware"));
}

void DFUUploadForm::onUploadProgress(int percentage, long long remainingTime)
{
    m_ui->progressBar->setValue(percentage);
    m_ui->estimationInfo->setText(Print::remainingTimeFromSec(remainingTime));
}

void DFUUploadForm::onUploadFinished(bool success)
{
    if (success)
        m_linkWritten = false; // the bootloader confirmed the whole image, seen or not
    if (!isOnScreen()) {
        m_sender.giveBackQuietly(); // left while it ran: the port goes back
        if (std::exchange(m_leftBehind, false)) {
            // The person walked away from it: the outcome, and what to do next, over the page shown.
            Page::Question question;
            question.icon = success ? Page::Icon::Information : Page::Icon::Warning;
            question.title = success ? tr("Firmware update succeeded") : tr("Firmware update");
            question.text = success
                ? tr("The LINK firmware was updated. Remove the dongle, then disconnect the cable of the "
                     "LINK from the dongle. Connect the dongle again to leave firmware update mode.")
                : tr("The firmware upload did not complete. The LINK was left half-written and does "
                     "not start its firmware: connect the dongle and the LINK again, then update it in "
                     "recovery mode.");
            delegate.askOnLeaving(question, {});
        }
        return;
    }
    if (!m_sender.giveBack())
        return; // the dongle is gone: that failure is the outcome
    if (!success) {
        QString message = tr("Link firmware upload failed.");
        if (m_linkWritten) {
            // Blocks went to the LINK and the image was not confirmed: the person must know it
            // no longer starts, and how to revive it.
            message += QLatin1Char(' ')
                + tr("The LINK was left half-written and does not start its firmware: update it again "
                     "in recovery mode.");
        }
        delegate.stepFailed(this, message);
        return;
    }
    // Progress comes only once a speed can be told: a short image, or a fast line, finished at 0 %.
    m_ui->progressBar->setValue(m_ui->progressBar->maximum());
    m_ui->estimationInfo->clear();
    m_ui->statusIcon->setPixmap(QPixmap(SuccessIcon));
    m_ui->progressMessage->setText(tr("Upload finished"));
    delegate.setNextStepEnabled(this, true, tr("Finish"));
    delegate.stepSucceeded(this);
}

void DFUUploadForm::onTimeout()
{
    if (m_sender.giveBack())
        delegate.stepFailed(this, tr("Link firmware upload failed, waiting for start bootloader timed out."));
}

void DFUUploadForm::stopTransfer()
{
    if (!isTransferring())
        return;
    if (!m_sender.giveBack())
        return; // the dongle is gone: that failure is the outcome
    delegate.stepFailed(this,
        tr("The upload was stopped. The LINK was left half-written and does not start its firmware: "
           "update it again in recovery mode."));
}

void DFUUploadForm::pageAbandoned()
{
    m_timer.stop();
    if (!isTransferring()) {
        m_sender.giveBackQuietly();
        return;
    }
    // A running transfer ends by the sender's own limits. When the page was left (its visit has
    // changed since), the person no longer sees the step: the outcome is told over the page shown
    // then. A dongle lost on screen is told by the page itself.
    m_leftBehind = visit() != m_shownIn;
}

void DFUUploadForm::retranslateForm()
{
    retranslateKeeping(*m_ui, { m_ui->progressMessage, m_ui->estimationInfo });
}

} // namespace OX
