#pragma once
// The dongle's XMODEM sender as a step of the firmware wizard holds it: taken from the dongle
// with its serial port, followed through a guarded pointer (it goes with the dongle) and always
// given back, after which the dongle has its line again. A step that cannot take it, or finds the
// dongle gone when it gives it back, gets the failed form with the reason ("Dongle not connected
// or lost.", "Dongle error, could not start Xmodem.").
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class XModem;

namespace OX
{

class DFUForm;
class DFUFormDelegate;

class DFUSender : public QObject
{
    Q_OBJECT
public:
    DFUSender(DFUForm& step, DFUFormDelegate& delegate);
    // Gives nothing back: a step gives the sender back when its work ends.
    ~DFUSender() override;

    // Takes the dongle's sender and starts it watching for the LINK's loader. False, after the
    // failed form, without a dongle, a line to hand over or a sender free of an earlier upload.
    bool take();
    // Sends the file at path; the outcome comes as finished, perhaps before this returns.
    void send(const QString& path);
    // Fills the line with the recovery string until the loader answers (receiverReady).
    void wakeLink();
    // Lets go of the sender and gives the port back to the dongle; an upload still running ends
    // without finished. False, after the failed form, when the dongle is gone.
    bool giveBack();
    // The same without a word, for a step that was left.
    void giveBackQuietly();

    bool isHeld() const { return m_sender; }
    // An upload started with send runs and has not finished.
    bool isSending() const { return m_transfer && m_sender; }
    // Lives exactly as long as the upload started with send, however it ends (finished, given
    // back, or gone with the dongle); null without one. A question about the upload names it.
    QObject* transfer() const { return m_transfer.get(); }
    XModem* sender() const { return m_sender.data(); }

signals:
    // The LINK's loader asks for data.
    void receiverReady();
    void progress(int percent, qint64 secondsLeft);
    // The one outcome of the upload started with send (a failure when the sender went with its
    // dongle meanwhile).
    void finished(bool success);

private:
    void letGo();
    // The upload has ended: its transfer object goes, closing any question about it.
    void endTransfer();

    DFUForm& m_step;
    DFUFormDelegate& m_delegate;
    QPointer<XModem> m_sender;
    std::unique_ptr<QObject> m_transfer; // while an upload runs
};

} // namespace OX
