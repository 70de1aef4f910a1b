#pragma once
// Step 2 of the firmware wizard: the user cables the LINK to the dongle; "Connect" reads the
// LINK's firmware version and checks that it is in service mode. A LINK outside service mode is
// asked for again; a LINK that does not answer is offered the recovery path, which sets the
// page's recovery flag so that the wizard takes the Recovery step next. No way back.
#include "ui/firmware/DFUForm.h"

#include "protocol/DongleResult.h"

#include <memory>

namespace Ui
{
class DFUConnectForm;
}

namespace OX
{

class DFUConnectForm : public DFUForm
{
    Q_OBJECT
public:
    DFUConnectForm(DFUFormDelegate& delegate, QWidget* parent = nullptr);
    ~DFUConnectForm() override;

    void retranslate() override;
    void retranslateForm() override;
    // Also clears the recovery flag, so that only a "Yes" of this pass leads to Recovery.
    void pageWillAppear() override;
    void prepareForNavigation(NavigationDirection direction, std::function<void()> done) override;

private:
    // The end of the version and service-mode chain, by its result code.
    void finishConnect(DongleResult const& result, quint64 visit, std::function<void()> const& done);
    // Asks whether to revive the LINK; "Yes" sets the recovery flag and moves on.
    void askForRecovery(quint64 visit, std::function<void()> const& done);

    std::unique_ptr<::Ui::DFUConnectForm> m_ui;
};

} // namespace OX
