#include "ui/toolkit/ToolButton.h"

#include <QMouseEvent>

namespace OX
{

ToolButton::ToolButton(QWidget* parent)
    : QToolButton(parent)
{
    connect(&m_blinkTimer, &QTimer::timeout, this, &ToolButton::onChangeImage);
}

void ToolButton::setIcon(const QIcon& icon)
{
    m_steadyIcon = icon;
    QToolButton::setIcon(icon);
}

void ToolButton::startBlinking(const QIcon& first, const QIcon& second, int ms)
{
    m_phase = false;
    m_steadyIcon = first;
    m_blinkIcon = second;
    QToolButton::setIcon(first);
    m_blinkTimer.start(ms);
}

void ToolButton::stopBlinking()
{
    QToolButton::setIcon(m_steadyIcon);
    m_blinkTimer.stop();
}

void ToolButton::onChangeImage()
{
    QToolButton::setIcon(m_phase ? m_steadyIcon : m_blinkIcon);
    m_phase = !m_phase;
}

void ToolButton::mouseReleaseEvent(QMouseEvent* event)
{
    QToolButton::mouseReleaseEvent(event);
    // As with the left button, a press taken off the button before its release clicks nothing:
    // moving the pointer away is how a person thinks better of it.
    const bool other = event->button() == Qt::RightButton || event->button() == Qt::MiddleButton;
    if (other && hitButton(event->pos()))
        click();
}

} // namespace OX
