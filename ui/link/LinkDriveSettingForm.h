#pragma once
// The LINK's drive settings: reversed forward drive, a sound while reversing and the delay before
// reversing starts. The reversed box shows what the chair does (any non-zero polarity byte is
// reversed); only a user's action writes the page's record, never a refresh.
#include "ui/toolkit/LinkForm.h"

#include <memory>

namespace Ui
{
class LinkDriveSettingForm;
}

namespace OX
{

class LinkDriveSettingForm : public LinkForm
{
    Q_OBJECT
public:
    // Shows the record at once.
    LinkDriveSettingForm(LPP& parameters, QWidget* parent = nullptr);
    ~LinkDriveSettingForm() override;

    void updateUi(LPP::ChangeMask mask) override;
    void retranslate() override;

    // Connected in the constructor (not by name): each writes its field, then reports it.
    void onReverseDriveChanged(int state);
    void onReversingAudioChanged(int state);
    void onReversingDelayChanged(int value);

protected:
    void changeEvent(QEvent* event) override;

private:
    std::unique_ptr<Ui::LinkDriveSettingForm> m_ui;
    ShownPosition m_delayShown;
};

} // namespace OX
