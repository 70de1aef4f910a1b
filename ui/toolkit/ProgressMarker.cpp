#include "ui/toolkit/ProgressMarker.h"

#include <QFontMetricsF>
#include <QPainter>

namespace OX
{

namespace
{
constexpr int CirclePenWidth = 2;
constexpr int LinePenWidth = 10;
} // namespace

ProgressMarker::ProgressMarker(QWidget* parent, int number)
    : QWidget(parent)
    , m_number(number)
{
}

void ProgressMarker::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void ProgressMarker::setDisabledColor(const QColor& color)
{
    m_disabledColor = color;
    update();
}

QRectF ProgressMarker::circleRect() const
{
    const double w = width();
    const double d = m_diameterRatio * w;
    const double m = (w - d) * 0.5;
    return QRectF(m, m, d, d);
}

void ProgressMarker::paintEvent(QPaintEvent*)
{
    const QRectF circle = circleRect();
    const double d = circle.width();
    const double m = circle.y();

    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(isEnabled() ? m_color : m_disabledColor, LinePenWidth, Qt::SolidLine, Qt::FlatCap);

    // The connecting line first, ending where the ring begins, so neither its width nor its
    // ends ever cover the number.
    p.setPen(pen);
    const int x = width() / 2;
    if (!m_first)
        p.drawLine(QPointF(x, 0), QPointF(x, m));
    if (!m_last)
        p.drawLine(QPointF(x, m + d), QPointF(x, height()));

    pen.setWidth(CirclePenWidth);
    p.setPen(pen);
    p.drawEllipse(circle);
    // A line of text as high as the circle.
    QFont font = p.font();
    const double scale = d / QFontMetricsF(font).height();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(qMax(1.0, font.pointSizeF() * scale));
    else
        font.setPixelSize(qMax(1, int(font.pixelSize() * scale)));
    p.setFont(font);
    p.drawText(circle, Qt::AlignCenter, QString::number(m_number));
}

} // namespace OX
