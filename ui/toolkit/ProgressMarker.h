#pragma once
// The numbered circle of a vertical step list. Markers stacked in a column draw one continuous
// line through their circles: the first has no line above, the last none below.
#include <QColor>
#include <QWidget>

namespace OX
{

class ProgressMarker : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(QColor disabledColor READ disabledColor WRITE setDisabledColor NOTIFY disabledColorChanged)
public:
    ProgressMarker(QWidget* parent, int number);

    int number() const { return m_number; }
    bool isFirst() const { return m_first; }
    bool isLast() const { return m_last; }
    // No repaint of their own.
    void setFirst(bool first) { m_first = first; }
    void setLast(bool last) { m_last = last; }

    QColor color() const { return m_color; }
    QColor disabledColor() const { return m_disabledColor; }
    // Store and repaint.
    void setColor(const QColor& color);
    void setDisabledColor(const QColor& color);

    // The circle's rectangle at the current width.
    QRectF circleRect() const;

signals:
    // Declared for the style sheet; the writes do not emit them.
    void colorChanged(const QColor& color);
    void disabledColorChanged(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_diameterRatio = 0.8;
    int m_number;
    bool m_first = false;
    bool m_last = false;
    QColor m_color = Qt::magenta;
    QColor m_disabledColor;
};

} // namespace OX
