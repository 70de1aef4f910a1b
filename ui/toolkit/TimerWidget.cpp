#include "ui/toolkit/TimerWidget.h"

#include <QPainter>
#include <QPropertyAnimation>

namespace OX
{

namespace
{
constexpr int DialMargin = 10;
constexpr int RingWidth = 5;
constexpr int TwelveOClock = 90 * 16; // sixteenths of a degree
constexpr int FullCircle = 360 * 16;
} // namespace

TimerWidget::TimerWidget(QWidget* parent)
    : QWidget(parent)
{
}

TimerWidget::~TimerWidget() = default;

void TimerWidget::setProgress(int progress)
{
    m_progress = qBound(0, progress, 100);
    update();
}

void TimerWidget::setTrackColor(const QColor& color)
{
    m_trackColor = color;
    update();
}

void TimerWidget::setProgressColor(const QColor& color)
{
    m_progressColor = color;
    update();
}

void TimerWidget::setTextColor(const QColor& color)
{
    m_textColor = color;
    update();
}

void TimerWidget::start(int ms, bool reverse)
{
    if (m_animation) {
        // The replaced clock ends silently. It may be the one reporting its end right now, so
        // it goes at the next turn of the event loop (or with the widget).
        m_animation->disconnect(this);
        m_animation->stop();
        m_animation->deleteLater();
    }
    ms = qMax(0, ms); // a negative time ends at once
    m_totalSeconds = ms / 1000.0f;
    m_reverse = reverse;
    m_animation = new QPropertyAnimation(this, "progress", this);
    m_animation->setDuration(ms);
    m_animation->setStartValue(reverse ? 100 : 0);
    m_animation->setEndValue(reverse ? 0 : 100);
    connect(m_animation, &QPropertyAnimation::finished, this, &TimerWidget::onAnimationFinished);
    m_animation->start();
}

bool TimerWidget::isRunning() const
{
    return m_animation && m_animation->state() == QAbstractAnimation::Running;
}

int TimerWidget::shownSeconds() const
{
    return int(((100 - m_progress) / 100.0f) * m_totalSeconds);
}

void TimerWidget::onAnimationFinished()
{
    emit timeout();
}

void TimerWidget::paintEvent(QPaintEvent*)
{
    const int s = qMin(width(), height());
    const int r = (s - DialMargin) / 2;
    const QRect dial(int(width() * 0.5) - r, int(height() * 0.5) - r, s - DialMargin, s - DialMargin);

    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::transparent);
    p.setPen(QPen(m_trackColor, RingWidth));
    p.drawEllipse(dial);
    p.setPen(QPen(m_progressColor, RingWidth));
    p.drawArc(dial, TwelveOClock, -int(m_progress / 100.0 * FullCircle));

    QFont font = p.font();
    font.setPixelSize(qMax(1, int(s * 0.5)));
    p.setFont(font);
    p.setPen(m_textColor);
    p.drawText(dial, Qt::AlignCenter, QString::number(shownSeconds()));
}

} // namespace OX
