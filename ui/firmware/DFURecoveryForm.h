#pragma once
// Step 5 of the firmware wizard, reached only from Connect for a LINK that does not answer: the
// dongle's XMODEM sender writes the recovery string over and over, without a time limit, until
// the LINK's bootloader asks for data; then "Continue" leads to Get firmware. No way back.
// Leaving the page ends the recovery string and gives the serial port back to the dongle.
#include "ui/firmware/DFUForm.h"
#include "ui/firmware/DFUSender.h"

#include <memory>

#include "protocol/XModem.h"

namespace OX
{

class DFURecoveryForm : public DFUForm
{
    Q_OBJECT
public:
    DFURecoveryForm(DFUFormDelegate& delegate, QWidget* parent = nullptr);
    ~DFURecoveryForm() override;

    void retranslate() override;
    void retranslateForm() override;
    void pageWillAppear() override;
    // Takes the sender and starts the recovery string.
    void pageDidAppear() override;
    // Forward: the port goes back to the dongle, then the move (none when the dongle is gone).
    void prepareForNavigation(NavigationDirection direction, std::function<void()> done) override;
    void pageAbandoned() override;

    void onDeviceConnected();

    XModem* sender() const { return m_sender.sender(); }

private:
    // The designer form (its class lives in the .cpp only, so that no other header sees it).
    struct Form;
    std::unique_ptr<Form> m_ui;
    DFUSender m_sender;
};

} // namespace OX
