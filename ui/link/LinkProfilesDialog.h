#pragma once
// Chooses one of the built-in LINK profiles (Normal, Restricted, Tremor) to reset the parameters
// being edited. It never lists the stored profiles or the backup, sends nothing and changes
// nothing: the caller reads the chosen profile once the dialog is accepted.
#include "device/LinkProfile.h"

#include <QDialog>

#include <memory>

namespace Ui
{
class LinkProfilesDialog;
}

class QPushButton;

namespace OX
{

class LinkProfilesDialog : public QDialog
{
    Q_OBJECT
public:
    LinkProfilesDialog(QString const& title, QWidget* parent = nullptr);
    ~LinkProfilesDialog() override;

    // The chosen built-in, defined; an empty, undefined profile while "Select profile" is current.
    LinkProfile selectedProfile() const;
    // "Reset parameters": disabled until a profile is chosen.
    QPushButton* okButton() const;

    // Connected in the constructor (not by name).
    void onProfileActivated(QString const& text);

private:
    std::unique_ptr<Ui::LinkProfilesDialog> m_ui;
};

} // namespace OX
