#pragma once
// A small gauge showing one angle as a sector inside the widest angle possible, both centred on
// the direction that points at a reference line along one edge (the right edge when vertical,
// the top edge otherwise). The mouse-profile page shows the head's view angles with it.
#include <QWidget>

namespace OX
{

class AngleView : public QWidget
{
    Q_OBJECT
public:
    static constexpr float DefaultMaxAngle = 90.0f;
    static constexpr float DefaultAngle = 45.0f;

    explicit AngleView(QWidget* parent = nullptr);
    ~AngleView() override;

    void setOrientation(Qt::Orientation orientation);
    // The width of the passive sector, in degrees.
    void setMaxAngle(float degrees);
    // The width of the active sector, in degrees, taken as it is (it may exceed the maximum).
    void setAngle(float degrees);
    // The active sector as a fraction of the maximum, clamped to 0..1; NaN gives 0.
    void setValue(float fraction);

    float maxAngle() const { return m_maxAngle; }
    float angle() const { return m_angle; }
    Qt::Orientation orientation() const { return m_orientation; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    float m_maxAngle = DefaultMaxAngle;
    float m_angle = DefaultAngle;
    Qt::Orientation m_orientation = Qt::Vertical;
};

} // namespace OX
