// The painting of the head angle view: the picture, the cross through the pivot, every angle in
// its visualization with its handle and label (once over the head at half strength, once outside
// at full strength), the range and scale of the angle being dragged, and the live needle.
#include "ui/toolkit/HeadAngleView.h"

#include <QLocale>
#include <QPainter>

#include <cmath>

namespace OX
{

namespace
{

constexpr int LabelWeight = 75;
constexpr double InsideStrength = 0.5;
constexpr double OutsideStrength = 1.0;
constexpr int ScaleTicks = 45; // every 2 degrees from 0 to 88
constexpr int TickStep = 2;
constexpr int TickInner = 5; // beyond the radius
constexpr int TickOuter = 15;
constexpr int TickOuterTenth = 20;
constexpr int HandleLighter = 180;
constexpr int FadeEasing = 16; // the exponential ease-in
constexpr int LinearFade = 0;
constexpr int FadeSteps = 8;
QColor const RangeColor(0, 255, 0);
QColor const LabelColor(Qt::white);
QColor const CrossColor(Qt::white);
QColor const NeedleColor(Qt::magenta);
constexpr int NeedleWidth = 3;

// Sector angles are the painter's: counter-clockwise from 3 o'clock, in sixteenths of a degree.
int sectorAngle(double a, double s)
{
    double const value = (90.0 - s * a) * 16.0;
    return std::isfinite(value) ? int(value) : 0;
}

QPen dashedPen(QColor const& color)
{
    QPen pen(color, 2);
    pen.setDashPattern({ 2, 4 });
    return pen;
}

QString labelText(double value)
{
    return QLocale().toString(value, 'f', 1) + QChar(0x00B0); // the degree sign
}

} // namespace

void HeadAngleView::paintEvent(QPaintEvent*)
{
    preparePictures();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!m_scaledImage.isNull())
        painter.drawPixmap(imageSquare(), m_scaledImage);

    QFont font = painter.font();
    font.setPointSize(LabelPointSize);
    font.setWeight(LabelWeight);
    painter.setFont(font);
    painter.setPen(QPen(CrossColor, 1));
    painter.drawLine(QPointF(0, m_pivot.y()), QPointF(width(), m_pivot.y()));
    painter.drawLine(QPointF(m_pivot.x(), 0), QPointF(m_pivot.x(), height()));

    double const r = radius();
    painter.setClipRegion(m_insideRegion);
    paintAngles(painter, r, InsideStrength);
    painter.setClipRegion(m_outsideRegion);
    paintAngles(painter, r, OutsideStrength);
    painter.setClipping(false);

    painter.setPen(QPen(NeedleColor, NeedleWidth, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(m_pivot, pointAt(r, monitoringAngle(), Clockwise));
}

void HeadAngleView::paintAngles(QPainter& painter, double radius, double strength)
{
    int const alpha = int(strength * 255);
    int const darkFactor = int((1 - strength) * 30 + 100);
    QColor green = RangeColor;
    green.setAlpha(alpha);
    for (QString const& name : qAsConst(m_names)) {
        Angle& angle = m_angles[name];
        double const s = angle.orientation == CounterClockwise ? -1.0 : 1.0;
        QColor color = angle.color;
        color.setAlpha(alpha);
        QColor const dark = color.darker(darkFactor);
        bool const dragged = name == m_activeName;

        if (dragged) {
            painter.save();
            painter.setPen(Qt::NoPen);
            painter.setBrush(green);
            QRectF const sector(
                int(m_pivot.x() - radius), int(m_pivot.y() - radius), int(2 * radius), int(2 * radius));
            int const start = sectorAngle(angle.minimum, s);
            painter.drawPie(sector, start, sectorAngle(angle.maximum, s) - start);
            painter.restore();
            paintScale(painter, angle, radius, green);
        }
        if (m_activeName.isNull())
            paintShape(painter, angle, radius, dark);

        angle.handle = pointAt(radius + HandleDistance, angle.value, angle.orientation);
        angle.handleRect = QRectF(
            angle.handle.x() - HandleSize / 2.0, angle.handle.y() - HandleSize / 2.0, HandleSize, HandleSize);
        if (angle.editable && (m_activeName.isNull() || dragged))
            paintHandle(painter, angle, radius, dragged ? green : dark);
    }
}

void HeadAngleView::paintShape(QPainter& painter, Angle const& angle, double radius, QColor const& dark)
{
    double const s = angle.orientation == CounterClockwise ? -1.0 : 1.0;
    bool const invert = angle.orientation == CounterClockwise;
    QRectF const sector(
        int(m_pivot.x() - radius), int(m_pivot.y() - radius), int(2 * radius), int(2 * radius));
    int const start = sectorAngle(angle.minimum, s);
    int const at = sectorAngle(angle.value, s);
    QLineF const valueLine(m_pivot, pointAt(radius, angle.value, angle.orientation));
    QColor clear = dark;
    clear.setAlpha(0);

    painter.save();
    painter.setPen(Qt::NoPen);
    switch (angle.visualization) {
    case Pie:
    case PieDashedLine:
        painter.setBrush(dark);
        painter.drawPie(sector, start, at - start);
        if (angle.visualization == PieDashedLine) {
            painter.setPen(dashedPen(angle.color));
            painter.drawLine(valueLine);
        }
        break;
    case SolidLine:
        painter.setPen(QPen(dark, 2));
        painter.drawLine(valueLine);
        break;
    case DashedLine:
        painter.setPen(dashedPen(angle.color));
        painter.drawLine(valueLine);
        break;
    case FadingPie:
        painter.setBrush(gradientMake(
            m_pivot, angle.minimum, clear, angle.value, dark, EasingFunction(LinearFade), 0, invert));
        painter.drawPie(sector, start, at - start);
        painter.setPen(dashedPen(angle.color));
        painter.drawLine(valueLine);
        break;
    case FadingToBottom: {
        // Down to where the circle meets the bottom edge; where it does not reach it (a short or
        // wide view), down to the circle's lowest point.
        double const below = height() - m_pivot.y();
        double const reach = radius * radius - below * below;
        double bottom = 180.0;
        if (reach >= 0.0) {
            QPointF const edge(m_pivot.x() + s * std::sqrt(reach), height());
            bottom = angleBetween(m_pivot, QPointF(m_pivot.x(), m_pivot.y() - radius), m_pivot, edge, invert);
            if (bottom < 0.0 || (bottom == 0.0 && below > 0.0))
                bottom = 180.0; // the edge straight below the pivot
        }
        painter.setBrush(gradientMake(
            m_pivot, angle.value, dark, bottom, clear, EasingFunction(FadeEasing), FadeSteps, invert));
        painter.drawPie(sector, at, sectorAngle(bottom, s) - at);
        break;
    }
    default:
        break;
    }
    painter.restore();
}

void HeadAngleView::paintScale(QPainter& painter, Angle const& angle, double radius, QColor const& color)
{
    painter.save();
    painter.setPen(QPen(color, 1));
    for (int i = 0; i < ScaleTicks; ++i) {
        int const degrees = i * TickStep;
        double const outer = radius + (degrees % 10 == 0 ? TickOuterTenth : TickOuter);
        painter.drawLine(pointAt(radius + TickInner, degrees, angle.orientation),
            pointAt(outer, degrees, angle.orientation));
    }
    painter.restore();
}

void HeadAngleView::paintHandle(QPainter& painter, Angle const& angle, double r, QColor const& color)
{
    painter.save();
    painter.setPen(QPen(color.lighter(HandleLighter)));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(m_pivot, angle.handle);
    painter.setBrush(color);
    painter.drawEllipse(angle.handleRect);

    QString const text = labelText(angle.value);
    double const y = m_pivot.y() - (r + HandleDistance);
    double const x = angle.orientation == CounterClockwise
        ? m_pivot.x() - painter.fontMetrics().horizontalAdvance(text) - r / 2
        : m_pivot.x() + r / 2;
    painter.setPen(LabelColor);
    painter.drawText(QPointF(x, y), text);
    painter.restore();
}

QConicalGradient gradientMake(QPointF const& center, double a, QColor const& color1, double b,
    QColor const& color2, EasingFunction easingFunction, int steps, bool invert)
{
    double const s = invert ? -1.0 : 1.0;
    QConicalGradient gradient(center, 90.0 - s * a);
    double const p0 = invert ? 1.0 : 0.0;
    // Stops outside 0 to 1 (b before a) are left out, as the gradient itself would.
    auto stop = [&gradient](double position, QColor const& color) {
        if (position >= 0.0 && position <= 1.0)
            gradient.setColorAt(position, color);
    };
    stop(p0, color2);
    double const f = (a - b + 360.0) / 360.0;
    if (steps < 1) {
        stop(std::abs(p0 - f), color2);
    } else {
        for (int i = 0; i < steps; ++i) {
            double const t = double(i) / steps;
            double const position = f + i * (1.0 - f) / steps;
            stop(std::abs(p0 - position), interpolateColor(color2, color1, easing(t, easingFunction)));
        }
    }
    stop(std::abs(p0 - 1.0), color1);
    return gradient;
}

} // namespace OX
