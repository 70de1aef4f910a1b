#pragma once
// Step 4 of the firmware wizard: waits up to 5000 ms for the LINK's bootloader to ask for data,
// then sends the chosen firmware file to it with the dongle's XMODEM sender, showing the
// percentage and the time left. "Finish" becomes available only after an upload the bootloader
// acknowledged; any failure shows the failed form and nothing after it reports success.
//
// The sender belongs to the dongle (it goes with it); the step holds it through a DFUSender and
// always gives the serial port back to the dongle when it is done with it. Leaving the page while
// the step waits ends the wait quietly; a transfer already running ends by the sender's own
// limits (or with the dongle), gives the port back and says how it ended over the page shown
// then. From the first block sent until the
// bootloader confirms the whole image, the LINK holds a half-written firmware: the step says so
// when the transfer is stopped or fails, and the page when the dongle goes.
#include "ui/firmware/DFUForm.h"
#include "ui/firmware/DFUSender.h"

#include <QTimer>

#include <memory>

#include "protocol/XModem.h"

namespace Ui
{
class DFUUploadForm;
}

namespace OX
{

class DFUUploadForm : public DFUForm
{
    Q_OBJECT
public:
    static constexpr int BootloaderWaitMs = 5000;

    DFUUploadForm(DFUFormDelegate& delegate, QWidget* parent = nullptr);
    ~DFUUploadForm() override;

    void retranslate() override;
    void retranslateForm() override;
    // Next disabled ("Finish"), progress 0, "Waiting for link to start bootloader".
    void pageWillAppear() override;
    // Takes the sender, starts it and the bootloader wait.
    void pageDidAppear() override;
    void pageAbandoned() override;

    void onDeviceConnected();
    void onUploadFinished(bool success);
    void onUploadProgress(int percentage, long long remainingTime);
    void onTimeout();
    // A transfer runs: the bootloader asked for the image and it is not all sent.
    bool isTransferring() const { return m_sender.isSending(); }
    // Lives as long as the running transfer (null without one): a question about the transfer
    // names it, so that the question closes unanswered once the transfer has ended.
    QObject* transfer() const { return m_sender.transfer(); }
    // The LINK took part of an image and did not confirm a whole one since: it starts no firmware
    // until it is updated again in recovery mode.
    bool isLinkHalfWritten() const { return m_linkWritten; }
    // The page's visit the step last came up in.
    quint64 shownIn() const { return m_shownIn; }
    // Ends a running transfer at once, gives the port back and shows the failed form with the
    // state the LINK is left in. Nothing without a running transfer.
    void stopTransfer();

    // For tests: a shorter bootloader wait.
    void setBootloaderWaitMs(int ms) { m_timer.setInterval(ms); }
    bool isWaitingForBootloader() const { return m_timer.isActive(); }
    XModem* sender() const { return m_sender.sender(); }

private:
    std::unique_ptr<::Ui::DFUUploadForm> m_ui;
    DFUSender m_sender;
    QTimer m_timer;
    bool m_linkWritten = false;
    quint64 m_shownIn = 0; // the page's visit the step last appeared in
    // The page was left while the transfer ran: its outcome is told over the page shown then.
    bool m_leftBehind = false;
};

} // namespace OX
