#include "ui/toolkit/DeviceWidget.h"

#include <QEvent>

#include "ui/toolkit/Pixmap.h"
#include "ui_DeviceWidget.h"

namespace OX
{

namespace
{
const QString CheckIcon = QStringLiteral(":/device/icons/check");
} // namespace

DeviceWidget::DeviceWidget(QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::DeviceWidget>())
{
    m_ui->setupUi(this);
    m_ui->checkmarkIcon->hide();
    const Pixmap check(QIcon(CheckIcon), QSize(CheckSide, CheckSide));
    m_ui->checkmarkIcon->setPixmap(check.getTintedCopy(QColor(0, 255, 0)));
    m_ui->serialTitle->hide();
    m_ui->serialLabel->hide();
}

DeviceWidget::~DeviceWidget() = default;

QSize DeviceWidget::sizeHint() const
{
    // As wide as the titles of the language in use need, so that a longer title never squeezes
    // the check mark out of the row; a list narrower than that scrolls.
    return QSize(qMax(SizeHint.width(), QWidget::sizeHint().width()), SizeHint.height());
}

void DeviceWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        m_ui->retranslateUi(this);
    QWidget::changeEvent(event);
}

void DeviceWidget::setPAN(uint16_t pan)
{
    m_pan = pan;
    m_ui->panLabel->setText(QStringLiteral("%1").arg(pan));
}

void DeviceWidget::setSerial(QString const& serial)
{
    m_serial = serial;
    m_ui->serialLabel->setText(serial);
    m_ui->serialTitle->setVisible(!serial.isEmpty());
    m_ui->serialLabel->setVisible(!serial.isEmpty());
}

void DeviceWidget::setIcon(QString const& path)
{
    m_icon = path;
    updateIcon();
}

void DeviceWidget::setBadge(QString const& path)
{
    m_badge = path;
    if (!m_icon.isNull())
        updateIcon();
}

void DeviceWidget::setIconColor(QColor const& color)
{
    m_iconColor = color;
    setStyleSheet(QStringLiteral("QLabel { color: %1; } ").arg(color.name()));
    if (!m_icon.isNull())
        updateIcon();
}

void DeviceWidget::setAddress(DeviceAddress const& address)
{
    m_address = address;
    m_ui->addressLabel->setText(addressText());
}

QString DeviceWidget::addressText() const
{
    if (m_address.port != 0)
        return QStringLiteral("%1/%2").arg(m_address.address).arg(m_address.port);
    return QStringLiteral("%1").arg(m_address.address);
}

void DeviceWidget::setPreset(OrvixDevice::Preset preset)
{
    m_preset = preset;
}

void DeviceWidget::setChecked(bool checked)
{
    m_checked = checked;
    m_ui->checkmarkIcon->setVisible(checked);
}

void DeviceWidget::updateIcon()
{
    const QSize side(IconSide, IconSide);
    if (m_badge.isNull()) {
        const Pixmap icon(QIcon(m_icon), side);
        m_ui->iconLabel->setPixmap(icon.getTintedCopy(m_iconColor));
        return;
    }
    Pixmap badged(side);
    badged.createBadgedIcon(m_icon, m_badge, m_iconColor, m_iconColor, false);
    m_ui->iconLabel->setPixmap(badged);
}

} // namespace OX
