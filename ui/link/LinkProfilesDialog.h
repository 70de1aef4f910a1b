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

protected:
    // A language change while the dialog is open re-applies its texts; the title stays its
    // caller's, the OK button keeps saying "Reset parameters" rather than the plain OK that its
    // button box puts back.
    bool event(QEvent* event) override;

private:
    void retranslate();

    std::unique_ptr<Ui::LinkProfilesDialog> m_ui;
};

} // namespace OX
