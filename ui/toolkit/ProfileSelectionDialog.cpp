#include "ui/toolkit/ProfileSelectionDialog.h"

#include "ui_ProfileSelectionDialog.h"

#include "device/MouseProfile.h"

#include <QCoreApplication>
#include <QDebug>
#include <QIcon>

namespace OX
{

namespace
{

const char ProfileContext[] = "MouseProfile";

// The built-in profiles offered as bases, in the order shown.
const MouseProfile* const Bases[]
    = { &MouseProfile::Normal, &MouseProfile::Restricted, &MouseProfile::Tremor };
constexpr int BaseCount = int(sizeof(Bases) / sizeof(Bases[0]));

} // namespace

ProfileSelectionDialog::ProfileSelectionDialog(const QString& title, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::ProfileSelectionDialog>())
{
    m_ui->setupUi(this);
    setWindowTitle(title);
    const QIcon icon(QStringLiteral(":/icons/user"));
    for (int i = 0; i < BaseCount; ++i)
        m_ui->profilesComboBox->addItem(icon, QString());
    showBaseNames();
    connect(
        m_ui->profilesComboBox, &QComboBox::textActivated, this, &ProfileSelectionDialog::onProfileActivated);
    m_ui->profileNameTitle->hide();
    m_ui->profileName->hide();
    adjustSize();
}

ProfileSelectionDialog::~ProfileSelectionDialog() = default;

void ProfileSelectionDialog::showBaseNames()
{
    for (int i = 0; i < BaseCount; ++i) {
        const QString shown
            = QCoreApplication::translate(ProfileContext, Bases[i]->name().toLatin1().constData());
        m_ui->profilesComboBox->setItemText(i, shown);
        m_ui->profilesComboBox->setItemData(i, shown);
    }
}

void ProfileSelectionDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        const QString title = windowTitle();
        m_ui->retranslateUi(this);
        setWindowTitle(title);
        showBaseNames();
    }
    QDialog::changeEvent(event);
}

void ProfileSelectionDialog::setNameFieldVisible(bool visible)
{
    m_nameFieldVisible = visible;
    m_ui->profileNameTitle->setVisible(visible);
    m_ui->profileName->setVisible(visible);
    adjustSize();
}

QString ProfileSelectionDialog::getSelectedProfile() const
{
    return m_ui->profilesComboBox->currentData(Qt::UserRole).toString();
}

QString ProfileSelectionDialog::getProfileName() const
{
    return m_ui->profileName->text();
}

void ProfileSelectionDialog::onProfileActivated(const QString& name)
{
    qDebug() << "Profile " << name << "selected";
}

} // namespace OX
