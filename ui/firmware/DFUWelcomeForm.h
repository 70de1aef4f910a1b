#pragma once
// Step 1 of the firmware wizard: warns the user and, on "Continue", switches the dongle into
// pass-through, in which it relays its serial line to the LINK on its cable. No way back.
// A dongle stays in pass-through until it is plugged in again: the wizard run again on it goes
// on at once, since the switch would now go to the LINK and never be answered. For the same
// reason a switch still unanswered when the wizard is run again is waited for, not sent twice.
#include "ui/firmware/DFUForm.h"

#include <QPointer>

#include <memory>

class Dongle;

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
    // The dongle this step put into pass-through (null once it is gone).
    QPointer<Dongle> m_passThrough;
    // The switch asked last and not answered yet: its dongle (null once gone), its number, and
    // the move of the visit that waits for it.
    QPointer<Dongle> m_switching;
    quint64 m_switchNumber = 0;
    std::function<void()> m_waitingMove;
    quint64 m_waitingVisit = 0;
};

} // namespace OX
