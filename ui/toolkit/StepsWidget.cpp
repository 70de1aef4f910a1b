#include "ui/toolkit/StepsWidget.h"

#include <QPainter>

#include <algorithm>

namespace OX
{

namespace
{

constexpr double GapFraction = 0.1;
constexpr double MinimumGap = 2.0;
constexpr double VerticalMargin = 4.0;

} // namespace

StepsWidget::StepsWidget(QWidget* parent)
    : QWidget(parent)
{
}

void StepsWidget::setSteps(int steps, Access forward, Access backward)
{
    m_steps = steps;
    m_forward = forward;
    m_backward = backward;
    m_currentStep = 0;
    update();
}

bool StepsWidget::setCurrentStep(int step)
{
    if (m_steps < 1)
        return false; // nowhere to go: never step to -1
    const int d = step - m_currentStep;
    int next = m_currentStep;
    if (d > 0) {
        if (m_forward == None || (d > 1 && m_forward != Any))
            return false;
        next = std::min(m_currentStep + d, m_steps - 1);
    } else if (d < 0) {
        if (m_backward == None || (-d > 1 && m_backward != Any))
            return false;
        next = std::max(m_currentStep + d, 0);
    } else {
        return false;
    }
    if (next == m_currentStep)
        return false;
    m_currentStep = next;
    emit currentStepChanged(next);
    update();
    return true;
}

void StepsWidget::reset()
{
    m_currentStep = 0;
    update();
}

void StepsWidget::setDotColor(const QColor& color)
{
    m_dotColor = color;
    update();
}

void StepsWidget::setVisitedColor(const QColor& color)
{
    m_visitedColor = color;
    update();
}

void StepsWidget::setActiveColor(const QColor& color)
{
    m_activeColor = color;
    update();
}

void StepsWidget::paintEvent(QPaintEvent*)
{
    const int n = m_steps;
    if (n < 1)
        return;
    const double w = width();
    const double h = height();
    const double r = std::min(double(m_largestRadius), (h - VerticalMargin) * 0.5);
    const double small = 2.0 * r / m_currentFactor;
    const double large = m_currentFactor * small;
    const double gap = std::max(GapFraction * large, MinimumGap);
    if (gap * (n + 1) + large * n > w)
        return;

    double pitch = large + gap;
    double x0 = gap;
    switch (m_alignment) {
    case 0:
        break;
    case 1:
        x0 = w - n * pitch;
        break;
    case 2:
        x0 = (gap - n * pitch + w) * 0.5;
        break;
    default:
        pitch = (w - n * large) / (n + 1) + large;
        x0 = pitch - large;
        break;
    }

    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < n; ++i) {
        const bool current = i == m_currentStep;
        const double diameter = current ? large : small;
        QColor color = m_dotColor;
        if (current)
            color = m_activeColor;
        else if (i < m_currentStep && m_forward != Any)
            color = m_visitedColor;
        p.setBrush(color);
        const QPointF centre(x0 + i * pitch + large / 2, h / 2);
        p.drawEllipse(centre, diameter / 2, diameter / 2);
    }
}

} // namespace OX
