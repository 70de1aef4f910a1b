#include "ui/toolkit/AngleView.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

#include "ui/toolkit/Skin.h"

namespace OX
{

namespace
{

constexpr int Margin = 12; // the diameter leaves this much of the shorter side
constexpr int MinDotRadius = 2; // the centre dot stays visible on a small gauge
constexpr int DotDivisor = 20; // the dot's radius is the diameter over this

struct Layout {
    int w = 0;
    int h = 0;
    int d = 0; // diameter
    int r = 0; // radius
    int dot = 0; // centre dot radius
    int centre = 0; // direction of the sectors' middle, degrees counter-clockwise from 3 o'clock
};

Layout gaugeLayout(QRect const& rect, Qt::Orientation orientation)
{
    Layout l;
    l.w = rect.width();
    l.h = rect.height();
    l.d = std::min(l.w, l.h) - Margin;
    l.r = l.d / 2;
    l.dot = std::max(l.d / DotDivisor, MinDotRadius);
    l.centre = orientation == Qt::Vertical ? 0 : 90;
    return l;
}

void paintReference(QPainter& p, Layout const& l, Qt::Orientation orientation)
{
    p.save();
    p.setPen(QPen(Skin::color(QStringLiteral("angleViewColor")), 2));
    if (orientation == Qt::Vertical)
        p.drawLine(l.w - 1, 0, l.w - 1, l.h);
    else
        p.drawLine(0, 1, l.w, 1);
    p.restore();
}

void paintSector(QPainter& p, Layout const& l, float degrees, QString const& colorKey)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Skin::color(colorKey));
    const int span = int(degrees * 16);
    p.drawPie(QRect(l.w / 2 - l.r, l.h / 2 - l.r, l.d, l.d), l.centre * 16 - span / 2, span);
    p.restore();
}

void paintCircleAndDot(QPainter& p, Layout const& l)
{
    p.save();
    const QColor color = Skin::color(QStringLiteral("angleViewColor"));
    p.setPen(QPen(color, 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRect(l.w / 2 - l.r, l.h / 2 - l.r, 2 * l.r, 2 * l.r));
    p.setBrush(color);
    p.drawEllipse(QRect(l.w / 2 - l.dot, l.h / 2 - l.dot, 2 * l.dot, 2 * l.dot));
    p.restore();
}

} // namespace

AngleView::AngleView(QWidget* parent)
    : QWidget(parent)
{
}

AngleView::~AngleView() = default;

void AngleView::setOrientation(Qt::Orientation orientation)
{
    m_orientation = orientation;
    update();
}

void AngleView::setMaxAngle(float degrees)
{
    m_maxAngle = degrees;
    update();
}

void AngleView::setAngle(float degrees)
{
    m_angle = degrees;
    update();
}

void AngleView::setValue(float fraction)
{
    const float clamped = std::isnan(fraction) ? 0.0f : std::min(std::max(fraction, 0.0f), 1.0f);
    m_angle = clamped * m_maxAngle;
    update();
}

void AngleView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const Layout l = gaugeLayout(rect(), m_orientation);
    paintReference(p, l, m_orientation);
    paintSector(p, l, m_maxAngle, QStringLiteral("angleViewPassiveAreaColor"));
    paintSector(p, l, m_angle, QStringLiteral("angleViewActiveAreaColor"));
    paintCircleAndDot(p, l);
}

} // namespace OX
