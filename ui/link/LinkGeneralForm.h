#pragma once
// The LINK's general settings: how the headset is re-centred (automatically or by a timer and its
// seconds), the tremor filter, and the fifth switch driven by a face wink with its long-press
// limit. Only a user's action writes the page's record; showing a record never changes it.
#include "ui/toolkit/LinkForm.h"

#include <memory>

namespace Ui
{
class LinkGeneralForm;
}

namespace OX
{

class LinkGeneralForm : public LinkForm
{
    Q_OBJECT
public:
    // Shows its designer state until the page's first updateUi.
    LinkGeneralForm(LPP& parameters, QWidget* parent = nullptr);
    ~LinkGeneralForm() override;

    void updateUi(LPP::ChangeMask mask) override;
    void retranslate() override;

    // Connected in the constructor (not by name): each writes its field, then reports it.
    void onCenterTimerPressed();
    void onCenterDelayEdited(int seconds);
    void onTremorFilterChanged(int value);
    void onFifthSwitchToggled(int state);
    void onFifthSwitchLongPressToggled(int state);
    void onFifthSwitchDelayChanged(int value);

protected:
    void changeEvent(QEvent* event) override;

private:
    void showCenterDelay();
    void showFifthSwitch();

    std::unique_ptr<Ui::LinkGeneralForm> m_ui;
    ShownPosition m_tremorShown;
};

} // namespace OX
