#include "ui/firmware/DFUSender.h"

#include "device/Dongle.h"
#include "protocol/XModem.h"
#include "ui/firmware/DFUFormDelegate.h"

namespace OX
{

DFUSender::DFUSender(DFUForm& step, DFUFormDelegate& delegate)
    : m_step(step)
    , m_delegate(delegate)
{
}

DFUSender::~DFUSender()
{
    if (m_sender)
        m_sender->disconnect(this);
}

bool DFUSender::take()
{
    Dongle* dongle = m_delegate.getDongle();
    if (!dongle) {
        m_delegate.stepFailed(&m_step, tr("Dongle not connected or lost."));
        return false;
    }
    XModem* sender = dongle->startXmodem();
    if (!sender || sender->isBusy()) {
        // No line to hand over, or a sender still busy with the upload of an earlier visit (it
        // stays with whoever holds it).
        m_delegate.stepFailed(&m_step, tr("Dongle error, could not start Xmodem."));
        return false;
    }
    letGo();
    m_sender = sender;
    connect(sender, &XModem::deviceConnected, this, &DFUSender::receiverReady);
    connect(sender, &XModem::uploadProgress, this, &DFUSender::progress);
    connect(sender, &XModem::uploadFinished, this, [this](bool success) {
        endTransfer();
        emit finished(success);
    });
    connect(sender, &QObject::destroyed, this, [this] {
        if (!m_transfer)
            return;
        // Gone with its dongle in the middle of an upload: a failure, told once control is back
        // in the event loop (never from inside the dongle's destruction).
        endTransfer();
        QMetaObject::invokeMethod(
            this, [this] { emit finished(false); }, Qt::QueuedConnection);
    });
    sender->start();
    return true;
}

void DFUSender::send(const QString& path)
{
    if (!m_sender || m_transfer)
        return;
    m_transfer = std::make_unique<QObject>();
    m_sender->sendFile(path);
}

void DFUSender::wakeLink()
{
    if (m_sender)
        m_sender->enableRecoveryMode();
}

void DFUSender::letGo()
{
    if (m_sender)
        m_sender->disconnect(this);
    m_sender = nullptr;
    endTransfer();
}

void DFUSender::endTransfer()
{
    // Released before it is deleted: whatever its going sets off finds no upload running.
    std::unique_ptr<QObject> ended = std::move(m_transfer);
}

bool DFUSender::giveBack()
{
    letGo();
    Dongle* dongle = m_delegate.getDongle();
    if (!dongle) {
        m_delegate.stepFailed(&m_step, tr("Dongle not connected or lost."));
        return false;
    }
    dongle->stopXmodem();
    return true;
}

void DFUSender::giveBackQuietly()
{
    const bool held = m_sender;
    letGo();
    Dongle* dongle = m_delegate.getDongle();
    if (held && dongle)
        dongle->stopXmodem();
}

} // namespace OX
