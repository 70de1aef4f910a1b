#include "ui/toolkit/ProgressWheel.h"

#include <QPainter>
#include <QTimerEvent>

namespace OX
{

namespace
{
constexpr int HintSide = 20;
constexpr double InnerRatio = 0.38;
constexpr int LargeWheel = 32; // above this side capsules are slimmer
constexpr double SlimCapsule = 0.23;
constexpr double WideCapsule = 0.35;
} // namespace

ProgressWheel::ProgressWheel(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::NoFocus);
}

QSize ProgressWheel::sizeHint() const
{
    return QSize(HintSide, HintSide);
}

void ProgressWheel::startAnimation()
{
    if (m_timerId != -1)
        return;
    m_angle = 0;
    m_timerId = startTimer(m_delay);
}

void ProgressWheel::stopAnimation()
{
    if (m_timerId != -1)
        killTimer(m_timerId);
    m_timerId = -1;
    update();
}

void ProgressWheel::setAnimationDelay(int delay)
{
    m_delay = qMax(1, delay); // a timer needs a positive interval
    if (m_timerId != -1) {
        killTimer(m_timerId);
        m_timerId = startTimer(m_delay);
    }
}

void ProgressWheel::setDisplayedWhenStopped(bool state)
{
    m_displayedWhenStopped = state;
    update();
}

void ProgressWheel::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void ProgressWheel::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timerId)
        return QWidget::timerEvent(event);
    m_angle = (m_angle + StepDegrees) % 360;
    update();
}

void ProgressWheel::paintEvent(QPaintEvent*)
{
    if (!isAnimated() && !m_displayedWhenStopped)
        return;
    const int w = qMin(width(), height());
    const int outer = int((w - 1) * 0.5);
    const int inner = int((w - 1) * 0.5 * InnerRatio);
    const int length = outer - inner;
    const int capsule = int(length * (w > LargeWheel ? SlimCapsule : WideCapsule));
    const int radius = capsule / 2;

    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    for (int k = 0; k < CapsuleCount; ++k) {
        QColor c = m_color;
        c.setAlphaF(1.0 - double(k) / CapsuleCount);
        p.save();
        p.translate(width() / 2, height() / 2);
        p.rotate(m_angle - StepDegrees * k);
        p.setBrush(c);
        p.drawRoundedRect(QRect(int(-capsule * 0.5), -outer, capsule, length), radius, radius);
        p.restore();
    }
}

} // namespace OX
