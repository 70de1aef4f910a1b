#pragma once
// Step 1 of the firmware wizard: warns the user and, on "Continue", switches the dongle into
// pass-through, in which it relays its serial line to the LINK on its cable. No way back.
#include "ui/firmware/DFUForm.h"

#include <memory>

namespace Ui
{
class DFUWelcomeForm;
}

namespace OX
{

class DFUWelcomeForm : public DFUForm
{
    Q_OBJECT
public:
    DFUWelcomeForm(DFUFormDelegate& delegate, QWidget* parent = nullptr);
    ~DFUWelcomeForm() override;

    void retranslate() override;
    void retranslateForm() override;
    void pageWillAppear() override;
    // Forward: pass-through on, then the move; a missing or refusing dongle fails the step.
    void prepareForNavigation(NavigationDirection direction, std::function<void()> done) override;

private:
    std::unique_ptr<::Ui::DFUWelcomeForm> m_ui;
};

} // namespace OX
