#include "ui/toolkit/PropertyWidget.h"

#include "ui/toolkit/IconButton.h"
#include "ui_PropertyWidget.h"

namespace OX
{

PropertyWidget::PropertyWidget(QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::PropertyWidget>())
{
    m_ui->setupUi(this);
}

PropertyWidget::~PropertyWidget() = default;

QSize PropertyWidget::sizeHint() const
{
    return SizeHint;
}

void PropertyWidget::setIcon(const QString& path)
{
    m_icon = path;
    m_ui->iconButton->setIcon(QIcon(path));
}

void PropertyWidget::setIconColor(const QColor& color)
{
    m_iconColor = color;
    m_ui->iconButton->setIconColor(color);
}

void PropertyWidget::setKey(const QString& key)
{
    m_key = key;
    m_ui->keyLabel->setText(key);
}

void PropertyWidget::setValue(const QString& value)
{
    m_value = value;
    m_ui->valueLabel->setText(value);
}

IconButton* PropertyWidget::iconButton() const
{
    return m_ui->iconButton;
}

QString PropertyWidget::keyText() const
{
    return m_ui->keyLabel->text();
}

QString PropertyWidget::valueText() const
{
    return m_ui->valueLabel->text();
}

} // namespace OX
