#pragma once
// Chooses the built-in mouse profile a new profile starts from and, when asked, a name for it.
// The choice is the profile's name as shown in the current language.
#include <QDialog>

#include <memory>

namespace Ui
{
class ProfileSelectionDialog;
}

namespace OX
{

class ProfileSelectionDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ProfileSelectionDialog(const QString& title, QWidget* parent = nullptr);
    ~ProfileSelectionDialog() override;

    void setNameFieldVisible(bool visible);
    bool isNameFieldVisible() const { return m_nameFieldVisible; }
    // The chosen base profile's shown name.
    QString getSelectedProfile() const;
    // The name as typed, untrimmed (empty: the owner makes one up).
    QString getProfileName() const;

    // Connected in the constructor (not by name).
    void onProfileActivated(const QString& name);

protected:
    // A language change while the dialog is open re-applies its texts and the base names, so
    // that the choice is named in the language its owner reads it in; the title stays the
    // owner's.
    void changeEvent(QEvent* event) override;

private:
    void showBaseNames();

    std::unique_ptr<Ui::ProfileSelectionDialog> m_ui;
    bool m_nameFieldVisible = false;
};

} // namespace OX
