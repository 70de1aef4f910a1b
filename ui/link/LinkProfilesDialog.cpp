#include "ui/link/LinkProfilesDialog.h"

#include "ui_LinkProfilesDialog.h"

#include <QDebug>
#include <QIcon>
#include <QPushButton>
#include <QStandardItemModel>

#include <map>

namespace OX
{

namespace
{

// The built-in profiles by name, made afresh each time (the dialog keeps no list).
std::map<QString, LinkProfile> builtInProfiles()
{
    std::map<QString, LinkProfile> profiles;
    for (LinkProfile const* profile :
        { &LinkProfile::Normal, &LinkProfile::Restricted, &LinkProfile::Tremor })
        profiles.emplace(profile->name, *profile);
    return profiles;
}

} // namespace

LinkProfilesDialog::LinkProfilesDialog(QString const& title, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::LinkProfilesDialog>())
{
    m_ui->setupUi(this);
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    setWindowTitle(title);

    m_ui->comboBox->addItem(QString());
    const QIcon icon(QStringLiteral(":/icons/wheelchair"));
    for (auto const& entry : builtInProfiles())
        m_ui->comboBox->addItem(icon, entry.first, entry.first);
    // The placeholder cannot be chosen.
    if (auto* model = qobject_cast<QStandardItemModel*>(m_ui->comboBox->model())) {
        QStandardItem* placeholder = model->item(0);
        placeholder->setFlags(placeholder->flags() & ~Qt::ItemIsEnabled);
    }
    connect(m_ui->comboBox, &QComboBox::textActivated, this, &LinkProfilesDialog::onProfileActivated);

    retranslate();
    okButton()->setEnabled(false);
    // The key that presses the default button cancels.
    QPushButton* cancel = m_ui->buttonBox->button(QDialogButtonBox::Cancel);
    okButton()->setAutoDefault(false);
    cancel->setDefault(true);
}

LinkProfilesDialog::~LinkProfilesDialog() = default;

void LinkProfilesDialog::retranslate()
{
    m_ui->comboBox->setItemText(0, tr("Select profile"));
    okButton()->setText(tr("Reset parameters"));
}

bool LinkProfilesDialog::event(QEvent* event)
{
    if (event->type() != QEvent::LanguageChange)
        return QDialog::event(event);
    const QString title = windowTitle();
    m_ui->retranslateUi(this);
    setWindowTitle(title);
    // The button box hears of the change after the dialog: the OK text is set once it has.
    const bool handled = QDialog::event(event);
    retranslate();
    return handled;
}

LinkProfile LinkProfilesDialog::selectedProfile() const
{
    const QString name = m_ui->comboBox->currentData().toString();
    const std::map<QString, LinkProfile> profiles = builtInProfiles();
    const auto found = profiles.find(name);
    if (name.isEmpty() || found == profiles.end())
        return LinkProfile();
    LinkProfile profile(found->second);
    profile.defined = true;
    return profile;
}

QPushButton* LinkProfilesDialog::okButton() const
{
    return m_ui->buttonBox->button(QDialogButtonBox::Ok);
}

void LinkProfilesDialog::onProfileActivated(QString const& text)
{
    qDebug().noquote() << "Link profile " + text + " selected.";
    okButton()->setEnabled(true);
}

} // namespace OX
