#include "ui/toolkit/DeviceListWidget.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

#include "protocol/Print.h"
#include "ui/toolkit/Easing.h"
#include "ui/toolkit/Pixmap.h"
#include "ui/toolkit/Skin.h"

namespace OX
{

namespace
{

const QString CheckmarkBadge = QStringLiteral(":/device/icons/checkmark");
constexpr double Pi = 3.141592653589793;
constexpr double Sqrt2 = 1.4142135623730951;
constexpr int SideGap = 5; // between a disc and the widget's side
constexpr int BottomGap = 10; // between a disc and the widget's bottom
constexpr int HubPictureSide = 160;
constexpr int HubPictureTop = -25;
constexpr int HubPictureInset = 80;

} // namespace

// ---- Item ---------------------------------------------------------------------------------

DeviceListWidget::Item::Item(QString const& icon, bool enabled, Qt::CheckState state)
    : m_icon(icon)
    , m_enabled(enabled)
    , m_state(state)
{
}

void DeviceListWidget::Item::setParent(DeviceListWidget* parent)
{
    m_parent = parent;
}

void DeviceListWidget::Item::setChecked(bool checked)
{
    setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void DeviceListWidget::Item::setCheckState(Qt::CheckState state)
{
    m_state = state;
    repaintParent();
}

void DeviceListWidget::Item::setEnabled(bool enabled)
{
    m_enabled = enabled;
    repaintParent();
}

void DeviceListWidget::Item::repaintParent() const
{
    if (m_parent)
        m_parent->update();
}

QPixmap DeviceListWidget::Item::getPixmap(QSize size) const
{
    Pixmap picture(size);
    if (!m_enabled)
        picture.createIcon(m_icon, Skin::color(QStringLiteral("menuItemPassiveIconColor")));
    else if (m_state == Qt::Unchecked)
        picture.createIcon(m_icon, Skin::color(QStringLiteral("menuItemActiveIconColor")));
    else
        picture.createBadgedIcon(m_icon, CheckmarkBadge,
            Skin::color(QStringLiteral("menuItemActiveIconColor")), QColor(0, 255, 0), false);
    return picture;
}

// ---- DeviceListWidget ---------------------------------------------------------------------

DeviceListWidget::DeviceListWidget(QWidget* parent)
    : QWidget(parent)
{
}

DeviceListWidget::~DeviceListWidget()
{
    qDeleteAll(m_items);
}

void DeviceListWidget::appendItem(Item const& item)
{
    insertItem(m_items.size(), item);
}

void DeviceListWidget::insertItem(int index, Item const& item)
{
    auto* stored = new Item(item.icon(), item.isEnabled(), item.checkState());
    stored->setParent(this);
    m_items.insert(std::clamp(index, 0, int(m_items.size())), stored);
    update();
}

void DeviceListWidget::removeItem(int index)
{
    if (index >= 0 && index < m_items.size())
        delete m_items.takeAt(index);
    update();
}

DeviceListWidget::Item* DeviceListWidget::takeItem(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    Item* item = m_items.takeAt(index);
    update();
    return item;
}

void DeviceListWidget::clear()
{
    qDeleteAll(m_items);
    m_items.clear();
    update();
}

DeviceListWidget::Item* DeviceListWidget::itemAt(int index) const
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    return m_items.at(index);
}

double DeviceListWidget::discRadius(int n)
{
    const double t = easing(OX::map(10 - n, 1.0, 8.0, 0.0, 1.0), Linear);
    // Many items would make it negative and flip the discs; they shrink to points instead.
    return std::max(0.0, (t + 1) * 50);
}

QPointF DeviceListWidget::discCentre(int i, int n, QSize size)
{
    const int cx = (size.width() - 1) / 2;
    if (i <= 0 || n < 2)
        return QPointF(cx, LineY);
    const double r = discRadius(n);
    const double ry = size.height() - (BottomGap + r);
    const double rx = size.width() / 2 - (SideGap + r);
    const double step = 180.0 / (n - 1);
    const double start = 90.0 / (n - 1) + 180.0;
    const double a = ((i - 1) * step + start) * Pi / 180.0;
    return QPointF(std::cos(a) * rx + cx, LineY - std::sin(a) * ry);
}

void DeviceListWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int n = m_items.size();
    const double r = discRadius(n);
    const double d = r * Sqrt2;
    const int cx = (width() - 1) / 2;
    const QSize pictureSize(PictureSide, PictureSide);
    for (int i = 0; i < n; ++i) {
        const Item* item = m_items.at(i);
        p.save();
        p.setPen(Qt::transparent);
        p.setBrush(Skin::color(item->isEnabled() ? QStringLiteral("menuItemActiveBackgroundColor")
                                                 : QStringLiteral("menuItemPassiveBackgroundColor")));
        const QPixmap picture = item->getPixmap(pictureSize);
        if (i == 0) {
            // The hub: the lower half of a disc of radius 100 centred on the line.
            p.drawPie(QRectF(int(cx - HubRadius), LineY - HubRadius, 2 * HubRadius, 2 * HubRadius), 0, -2880);
            p.drawPixmap(
                QRect(int(cx - HubPictureInset), HubPictureTop, HubPictureSide, HubPictureSide), picture);
        } else {
            const QPointF c = discCentre(i, n, size());
            p.drawEllipse(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r));
            p.drawPixmap(QRect(int(c.x() - r / Sqrt2), int(c.y() - r / Sqrt2), int(d), int(d)), picture);
        }
        p.restore();
    }
    p.setPen(Qt::white);
    p.drawLine(0, LineY, width(), LineY);
}

} // namespace OX
