#pragma once
// One segment of a segmented choice: a checkable push button that forms group side by side.
// Its whole look (dotted frame, the active colour when checked, rounded outer ends chosen by
// object name) comes from the application style sheet.
#include <QPushButton>

namespace OX
{

class SegmentButton : public QPushButton
{
    Q_OBJECT
    Q_PROPERTY(SegmentPosition segmentPosition READ segmentPosition WRITE setSegmentPosition NOTIFY
            segmentPositionChanged)
public:
    enum SegmentPosition { Left = 0, Middle = 1, Right = 2 };
    Q_ENUM(SegmentPosition)

    explicit SegmentButton(QWidget* parent = nullptr);

    SegmentPosition segmentPosition() const { return m_segmentPosition; }
    void setSegmentPosition(SegmentPosition pos) { m_segmentPosition = pos; }

signals:
    void segmentPositionChanged(SegmentPosition pos);

private:
    SegmentPosition m_segmentPosition = Middle;
};

} // namespace OX
