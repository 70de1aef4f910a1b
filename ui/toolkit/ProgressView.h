#pragma once
// A percentage bar, whole or in segments, with its percentage written under it. The calibration
// page shows a sensor's level (33, 66, 100) on three segments: a segment lights when the filled
// width reaches its right end, or when the value reaches its share of the range, so a level is
// shown whole at any width. A range whose minimum equals its maximum shows empty until the value
// reaches it, then full.
#include <QColor>
#include <QProgressBar>

namespace OX
{

class ProgressView : public QProgressBar
{
    Q_OBJECT
    Q_PROPERTY(QColor trackColor READ trackColor WRITE setTrackColor NOTIFY trackColorChanged)
    Q_PROPERTY(QColor barColor READ barColor WRITE setBarColor NOTIFY barColorChanged)
    Q_PROPERTY(QColor textColor READ textColor WRITE setTextColor NOTIFY textColorChanged)
    Q_PROPERTY(int segmentCount READ segmentCount WRITE setSegmentCount NOTIFY segmentCountChanged)
public:
    explicit ProgressView(QWidget* parent = nullptr);

    QColor trackColor() const { return m_trackColor; }
    QColor barColor() const { return m_barColor; }
    QColor textColor() const { return m_textColor; }
    int segmentCount() const { return m_segmentCount; }
    void setTrackColor(const QColor& color);
    void setBarColor(const QColor& color);
    void setTextColor(const QColor& color);
    void setSegmentCount(int count);

    // The filled fraction, 0 to 1.
    double fraction() const;
    // How many segments show the bar colour now (0 without segments).
    int litSegments() const;
    // The text under the bar, "24%"; none while the bar has no value.
    QString text() const override;

    static constexpr int MinimumWidth = 96;
    static constexpr int MinimumHeight = 33;
    static constexpr int SegmentGap = 5;

signals:
    void trackColorChanged();
    void barColorChanged();
    void textColorChanged();
    void segmentCountChanged(int count);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Vertical (alignment exactly right) or horizontal.
    bool isVerticalForm() const;
    // Height of the bar above the text.
    int barHeight() const;
    // The length of one segment along an extent, and whether segment i is lit when filled
    // pixels of that extent are covered.
    int segmentLength(int extent) const;
    bool segmentLit(int i, int extent, int filled) const;
    void paintHorizontal(QPainter& p, int barHeight);
    void paintVertical(QPainter& p, int barHeight);

    QColor m_trackColor = Qt::transparent;
    QColor m_barColor = Qt::green;
    QColor m_textColor = Qt::white;
    int m_segmentCount = 0;
};

} // namespace OX
