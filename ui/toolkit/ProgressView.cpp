#include "ui/toolkit/ProgressView.h"

#include <QPainter>
#include <QResizeEvent>
#include <QtDebug>

namespace OX
{

namespace
{
constexpr int TextGap = 11; // between the bar and the text's height
constexpr int TextBaseline = 5; // above the bottom edge
} // namespace

ProgressView::ProgressView(QWidget* parent)
    : QProgressBar(parent)
{
    setMinimumSize(MinimumWidth, MinimumHeight);
}

void ProgressView::setTrackColor(const QColor& color)
{
    m_trackColor = color;
    emit trackColorChanged();
    update();
}

void ProgressView::setBarColor(const QColor& color)
{
    m_barColor = color;
    emit barColorChanged();
    update();
}

void ProgressView::setTextColor(const QColor& color)
{
    m_textColor = color;
    emit textColorChanged();
    update();
}

void ProgressView::setSegmentCount(int count)
{
    m_segmentCount = count;
    emit segmentCountChanged(count);
    update();
}

double ProgressView::fraction() const
{
    const qint64 range = qint64(maximum()) - minimum();
    if (range <= 0)
        return value() >= maximum() ? 1.0 : 0.0;
    return qBound(0.0, double(qint64(value()) - minimum()) / double(range), 1.0);
}

QString ProgressView::text() const
{
    // A bar without a value (new, or reset) sits one below its minimum: it shows no number
    // rather than one outside its range ("-1%").
    if (value() < minimum())
        return QString();
    return QString::asprintf("%d%%", value());
}

bool ProgressView::isVerticalForm() const
{
    return alignment() == Qt::AlignRight;
}

int ProgressView::barHeight() const
{
    return height() - TextGap - fontMetrics().height();
}

int ProgressView::segmentLength(int extent) const
{
    return (extent - SegmentGap * m_segmentCount + SegmentGap) / m_segmentCount;
}

bool ProgressView::segmentLit(int i, int extent, int filled) const
{
    const int s = segmentLength(extent);
    if (filled >= i * (s + SegmentGap) + s)
        return true;
    // The value's own share of the range: 33, 66 and 100 of 0..100 for three segments.
    const qint64 range = qint64(maximum()) - minimum();
    if (range <= 0)
        return value() >= maximum();
    const qint64 share = minimum() + (i + 1) * range / m_segmentCount;
    return value() >= share;
}

int ProgressView::litSegments() const
{
    if (m_segmentCount < 1)
        return 0;
    const int extent = isVerticalForm() ? barHeight() : width();
    const int filled = int(fraction() * extent);
    int lit = 0;
    for (int i = 0; i < m_segmentCount; ++i)
        lit += segmentLit(i, extent, filled) ? 1 : 0;
    return lit;
}

void ProgressView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int b = barHeight();
    if (isVerticalForm())
        paintVertical(p, b);
    else
        paintHorizontal(p, b);

    const QString label = text();
    const QFontMetrics metrics = fontMetrics();
    p.setPen(m_textColor);
    p.drawText(QPoint((width() - metrics.horizontalAdvance(label)) / 2, height() - TextBaseline), label);
}

void ProgressView::paintHorizontal(QPainter& p, int b)
{
    const int w = width();
    const int filled = int(fraction() * w);
    if (m_segmentCount < 1) {
        p.fillRect(0, 0, w, height(), m_trackColor);
        p.fillRect(0, 0, filled, height(), m_barColor);
        return;
    }
    const int s = segmentLength(w);
    for (int i = 0; i < m_segmentCount; ++i)
        p.fillRect(i * (s + SegmentGap), 0, s, b, segmentLit(i, w, filled) ? m_barColor : m_trackColor);
}

void ProgressView::paintVertical(QPainter& p, int b)
{
    const int w = width();
    const int filled = int(fraction() * b);
    if (m_segmentCount < 1) {
        p.fillRect(0, 0, w, b, m_trackColor);
        p.fillRect(0, b - filled, w, filled, m_barColor);
        p.setPen(m_textColor);
        p.drawLine(0, 0, w, 0);
        p.drawLine(0, b, w, b);
        return;
    }
    // Segments stacked from the bottom, each lit as the filled height reaches its top.
    const int s = segmentLength(b);
    for (int i = 0; i < m_segmentCount; ++i)
        p.fillRect(
            0, b - i * (s + SegmentGap) - s, w, s, segmentLit(i, b, filled) ? m_barColor : m_trackColor);
}

void ProgressView::resizeEvent(QResizeEvent* event)
{
    qDebug() << "Progress Resize:" << event->size() << "/" << event->oldSize();
    QProgressBar::resizeEvent(event);
}

} // namespace OX
