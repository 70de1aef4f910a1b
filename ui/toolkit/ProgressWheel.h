#pragma once
// The small spinning busy indicator of the page footer: twelve capsules fading round a circle,
// turning a twelfth of a turn per tick. Stopped, it paints nothing unless asked to stay
// displayed, then frozen at its last angle.
#include <QColor>
#include <QWidget>

namespace OX
{

class ProgressWheel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int delay READ animationDelay WRITE setAnimationDelay)
    Q_PROPERTY(bool displayedWhenStopped READ isDisplayedWhenStopped WRITE setDisplayedWhenStopped)
    Q_PROPERTY(QColor color READ color WRITE setColor)
public:
    explicit ProgressWheel(QWidget* parent = nullptr);

    int animationDelay() const { return m_delay; }
    bool isAnimated() const { return m_timerId != -1; }
    bool isDisplayedWhenStopped() const { return m_displayedWhenStopped; }
    QColor color() const { return m_color; }
    int angle() const { return m_angle; }

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int w) const override { return w; }

    static constexpr int DefaultDelay = 40; // ms per tick
    static constexpr int CapsuleCount = 12;
    static constexpr int StepDegrees = 30;

public slots:
    // From angle 0, unless already turning.
    void startAnimation();
    void stopAnimation();
    // At least 1 ms; a turning wheel restarts its timer with the new delay.
    void setAnimationDelay(int delay);
    void setDisplayedWhenStopped(bool state);
    void setColor(const QColor& color);

protected:
    void timerEvent(QTimerEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int m_angle = 0;
    int m_timerId = -1;
    int m_delay = DefaultDelay;
    bool m_displayedWhenStopped = false;
    QColor m_color = Qt::white;
};

} // namespace OX
