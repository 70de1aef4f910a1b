#include "ui/toolkit/HeadAngleView.h"

#include <QApplication>
#include <QBitmap>
#include <QEvent>
#include <QLineF>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>
#include <QVector3D>
#include <QtMath>

#include <cmath>

namespace OX
{

namespace
{

constexpr int ButtonMargin = 40; // the button spans half the view less this

// Black pixels of a mask are inside the clip.
QRegion regionOf(QPixmap const& mask)
{
    if (mask.isNull())
        return QRegion();
    return QRegion(QBitmap::fromImage(mask.toImage(), Qt::ThresholdDither | Qt::MonoOnly));
}

} // namespace

HeadAngleView::HeadAngleView(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setAlignment(Qt::AlignLeft);
    layout->setContentsMargins(20, 0, 0, 10);
    layout->addItem(new QSpacerItem(20, 20, QSizePolicy::Minimum, QSizePolicy::Expanding));
    m_centerButton = new QPushButton(this);
    layout->addWidget(m_centerButton);
    connect(m_centerButton, &QPushButton::clicked, this, &HeadAngleView::onResetButtonClicked);
    retranslate();
    recalculate();
}

HeadAngleView::~HeadAngleView() = default;

void HeadAngleView::setImage(QImage const& image, QPoint const& pivotOffset, Plane plane)
{
    m_image = image;
    m_imageSource = nullptr;
    m_alpha = QImage();
    m_pivotOffset = pivotOffset;
    m_plane = plane;
    recalculate();
    update();
}

void HeadAngleView::setImageSource(std::function<QImage()> source, QPoint const& pivotOffset, Plane plane)
{
    setImage(QImage(), pivotOffset, plane);
    m_imageSource = std::move(source);
}

void HeadAngleView::setSnap(double step)
{
    m_snap = step;
    update();
}

bool HeadAngleView::addAngle(QString const& name, double minimum, double maximum, double value,
    Orientation orientation, QColor const& color, Visualization visualization, bool editable)
{
    if (m_angles.contains(name))
        return false;
    Angle angle;
    angle.value = value;
    angle.minimum = minimum;
    angle.maximum = maximum;
    angle.orientation = orientation;
    angle.visualization = visualization;
    angle.color = color;
    angle.editable = editable;
    m_names.append(name);
    m_angles.insert(name, angle);
    update();
    return true;
}

bool HeadAngleView::setLimits(QString const& name, double minimum, double maximum)
{
    auto it = m_angles.find(name);
    if (it == m_angles.end())
        return false;
    it->minimum = minimum;
    it->maximum = maximum;
    update();
    return true;
}

bool HeadAngleView::setAngle(QString const& name, double value)
{
    auto it = m_angles.find(name);
    if (it == m_angles.end())
        return false;
    it->value = value;
    // A value given mid-drag (a record read meanwhile) is what a lost release goes back to.
    if (name == m_activeName)
        m_pressValue = value;
    update();
    return true;
}

bool HeadAngleView::setColor(QString const& name, QColor const& color)
{
    auto it = m_angles.find(name);
    if (it == m_angles.end())
        return false;
    it->color = color;
    update();
    return true;
}

double HeadAngleView::getAngle(QString const& name) const
{
    return m_angles.value(name).value;
}

double HeadAngleView::getMinimum(QString const& name) const
{
    return m_angles.value(name).minimum;
}

double HeadAngleView::getMaximum(QString const& name) const
{
    return m_angles.value(name).maximum;
}

void HeadAngleView::setMonitor(QQuaternion const& orientation, Axis axis)
{
    if (!m_reference)
        m_reference = std::make_unique<QQuaternion>(orientation);
    m_monitor = orientation;
    m_axis = axis;
    update();
}

void HeadAngleView::retranslate()
{
    m_centerButton->setText(tr("&Set center"));
}

void HeadAngleView::onResetButtonClicked()
{
    m_reference.reset();
}

float HeadAngleView::monitoringAngle() const
{
    if (!m_reference)
        return 0.0f;
    QQuaternion const q = m_reference->inverted() * m_monitor;
    float pitch = 0.0f, yaw = 0.0f, roll = 0.0f;
    q.getEulerAngles(&pitch, &yaw, &roll);
    float angle = 0.0f;
    switch (m_axis) {
    case Pitch:
        angle = pitch;
        break;
    case Yaw:
        angle = -yaw;
        break;
    case Roll:
        angle = roll;
        break;
    default:
        break;
    }
    return std::isfinite(angle) ? angle : 0.0f;
}

double HeadAngleView::radius() const
{
    // Never below 0: a view narrower than the margins draws its sectors as points.
    return std::max(0.0, (m_size - std::max(0.1 * m_size, 70.0)) * 0.5);
}

QPointF HeadAngleView::pointAt(double distance, double a, Orientation orientation) const
{
    double const s = orientation == CounterClockwise ? -1.0 : 1.0;
    double const radians = qDegreesToRadians(s * a);
    return QPointF(m_pivot.x() + distance * std::sin(radians), m_pivot.y() - distance * std::cos(radians));
}

QRect HeadAngleView::imageSquare() const
{
    return QRect(int(m_center.x() - m_size / 2), int(m_center.y() - m_size / 2), m_size, m_size);
}

void HeadAngleView::recalculate()
{
    m_center = QPointF(width() * 0.5, height() * 0.5);
    m_size = std::min(width(), height());
    if (m_image.isNull() || m_image.width() <= 0) {
        m_pivot = m_center;
    } else {
        double const scale = double(m_size) / m_image.width();
        m_pivot = QPointF(m_pivotOffset.x() * scale + m_center.x(), m_pivotOffset.y() * scale + m_center.y());
    }
    m_picturesStale = true;
    int const buttonWidth = std::max(0, width() / 2 - ButtonMargin);
    m_centerButton->setMinimumWidth(buttonWidth);
    m_centerButton->setMaximumWidth(buttonWidth);
}

void HeadAngleView::preparePictures()
{
    if (m_imageSource) {
        const std::function<QImage()> source = std::move(m_imageSource);
        m_imageSource = nullptr;
        m_image = source();
        recalculate();
    }
    if (!m_picturesStale)
        return;
    m_picturesStale = false;
    m_scaledImage = QPixmap();
    if (m_image.isNull() || m_image.width() <= 0) {
        m_insideMask = genMask(QImage(), false);
        m_outsideMask = genMask(QImage(), true);
    } else {
        if (m_alpha.isNull())
            m_alpha = m_image.createAlphaMask().convertToFormat(QImage::Format_Grayscale8);
        m_insideMask = genMask(m_alpha, false);
        m_outsideMask = genMask(m_alpha, true);
        if (m_size > 0)
            m_scaledImage = QPixmap::fromImage(
                m_image.scaled(m_size, m_size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    m_insideRegion = regionOf(m_insideMask);
    m_outsideRegion = regionOf(m_outsideMask);
}

QPixmap HeadAngleView::genMask(QImage const& mask, bool invert) const
{
    QImage image(size(), QImage::Format_Grayscale8);
    if (image.isNull())
        return QPixmap();
    image.fill(invert ? Qt::black : Qt::white);
    if (!mask.isNull()) {
        QImage gray = mask;
        if (invert)
            gray.invertPixels();
        QPainter painter(&image);
        painter.drawImage(imageSquare(), gray);
    }
    return QPixmap::fromImage(image);
}

void HeadAngleView::mousePressEvent(QMouseEvent* event)
{
    if (!m_activeName.isNull()) {
        // A second button pressed during a drag takes no other handle: the angle being dragged
        // would stay where it was left, shown but never reported.
        if (event->buttons() != event->button())
            return;
        // No button was down before this one: the drag's release went elsewhere.
        cancelDrag();
    }
    for (auto it = m_angles.cbegin(); it != m_angles.cend(); ++it) {
        if (it->editable && it->handleRect.contains(event->localPos())) {
            m_activeName = it.key();
            m_pressPos = event->localPos();
            m_pressValue = it->value;
            m_dragging = false;
            update();
            return;
        }
    }
}

void HeadAngleView::mouseMoveEvent(QMouseEvent* event)
{
    auto it = m_angles.find(m_activeName);
    if (m_activeName.isNull() || it == m_angles.end())
        return;
    // A hand (or a head steering the pointer) seldom holds still through a click: a handle is
    // dragged only once the pointer has left the press, or a click would move it under the pointer.
    if (!m_dragging && (event->localPos() - m_pressPos).manhattanLength() < QApplication::startDragDistance())
        return;
    m_dragging = true;
    // Measured from straight up in every plane, as the angles are drawn, so the handle follows
    // the pointer.
    QPointF const up(m_pivot.x(), 0.0);
    double angle = angleBetween(m_pivot, up, m_pivot, event->localPos(), it->orientation == CounterClockwise);
    if (m_snap > 0)
        angle = std::round(angle / m_snap) * m_snap;
    it->value = std::max(std::min(angle, it->maximum), it->minimum);
    update();
}

void HeadAngleView::mouseReleaseEvent(QMouseEvent*)
{
    if (m_activeName.isNull())
        return;
    QString const name = m_activeName;
    m_activeName = QString();
    update();
    emit angleChanged(name, m_angles.value(name).value);
}

void HeadAngleView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    recalculate();
}

void HeadAngleView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        cancelDrag();
    QWidget::changeEvent(event);
}

void HeadAngleView::hideEvent(QHideEvent* event)
{
    cancelDrag();
    QWidget::hideEvent(event);
}

bool HeadAngleView::event(QEvent* event)
{
    // A dialog over the window, or another window taken, keeps the release from the view.
    if (event->type() == QEvent::WindowBlocked || event->type() == QEvent::WindowDeactivate)
        cancelDrag();
    return QWidget::event(event);
}

void HeadAngleView::cancelDrag()
{
    // Left as dragged, the handle would show a value its owner never heard of (a LINK form would
    // apply the old one), and the next press anywhere would drag it on.
    auto it = m_angles.find(m_activeName);
    if (m_activeName.isNull() || it == m_angles.end())
        return;
    it->value = m_pressValue;
    m_activeName = QString();
    m_dragging = false;
    update();
}

double angleBetween(QPointF a1, QPointF a2, QPointF b1, QPointF b2, bool invert)
{
    QPointF const u = a2 - a1;
    QPointF const v = b2 - b1;
    double const lengths = std::hypot(u.x(), u.y()) * std::hypot(v.x(), v.y());
    if (lengths <= 0.0)
        return 0.0;
    double const cosine = std::max(-1.0, std::min(1.0, (u.x() * v.x() + u.y() * v.y()) / lengths));
    double const magnitude = qRadiansToDegrees(std::acos(cosine));
    float const z = QVector3D::normal(
        QVector3D(float(u.x()), float(u.y()), 0.0f), QVector3D(float(v.x()), float(v.y()), 0.0f))
                        .z();
    double const sign = z > 0.0f ? 1.0 : (z < 0.0f ? -1.0 : 0.0);
    return magnitude * sign * (invert ? -1.0 : 1.0);
}

QPointF rotateLine(QPointF center, QPointF point, double angle)
{
    double const a = qDegreesToRadians(angle);
    QPointF const d = point - center;
    return QPointF(center.x() + std::cos(a) * d.x() - std::sin(a) * d.y(),
        center.y() + std::sin(a) * d.x() + std::cos(a) * d.y());
}

QColor interpolateColor(QColor a, QColor b, double t)
{
    auto mix = [t](qreal from, qreal to) { return std::max(0.0, std::min(1.0, from + (to - from) * t)); };
    return QColor::fromRgbF(mix(a.redF(), b.redF()), mix(a.greenF(), b.greenF()), mix(a.blueF(), b.blueF()),
        mix(a.alphaF(), b.alphaF()));
}

} // namespace OX
