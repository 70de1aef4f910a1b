#include "ui/toolkit/SliderTicks.h"

#include "ui/toolkit/Skin.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>

namespace OX
{

namespace
{
constexpr int TickLength = 4;
constexpr int TickGap = 2;
} // namespace

void SliderTicks::install(QSlider* slider)
{
    if (!slider)
        return;
    // Room for the ticks on both sides, so that the groove stays in the middle.
    const int room = 2 * (TickGap + TickLength);
    if (slider->orientation() == Qt::Horizontal)
        slider->setMinimumHeight(slider->sizeHint().height() + room);
    else
        slider->setMinimumWidth(slider->sizeHint().width() + room);
    slider->installEventFilter(new SliderTicks(slider));
}

SliderTicks::SliderTicks(QSlider* slider)
    : QObject(slider)
{
}

bool SliderTicks::eventFilter(QObject* watched, QEvent* event)
{
    auto* slider = qobject_cast<QSlider*>(watched);
    if (!slider || event->type() != QEvent::Paint || m_painting)
        return false;
    // The slider paints itself first (this filter lets that one paint event through), then the
    // ticks go over it, within the same paint event.
    m_painting = true;
    QCoreApplication::sendEvent(slider, event);
    m_painting = false;
    paintTicks(slider);
    return true;
}

QRect SliderTicks::handleRect(QSlider const* slider)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.upsideDown = slider->invertedAppearance() != (slider->orientation() == Qt::Vertical);
    option.tickPosition = slider->tickPosition();
    option.tickInterval = slider->tickInterval();
    option.subControls = QStyle::SC_SliderHandle;
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
}

void SliderTicks::paintTicks(QSlider* slider) const
{
    const int interval = slider->tickInterval() > 0 ? slider->tickInterval() : slider->pageStep();
    if (slider->tickPosition() == QSlider::NoTicks || interval <= 0 || slider->maximum() <= slider->minimum())
        return;
    const QRect handle = handleRect(slider);
    const bool horizontal = slider->orientation() == Qt::Horizontal;
    const int length = horizontal ? handle.width() : handle.height();
    const int span = (horizontal ? slider->width() : slider->height()) - length;
    if (span <= 0)
        return;
    const bool upsideDown = slider->invertedAppearance() != !horizontal;

    QPainter painter(slider);
    painter.setPen(
        Skin::color(QLatin1String(slider->isEnabled() ? "placeholderWidgetColor" : "disabledWidgetColor")));
    const bool above = slider->tickPosition() & QSlider::TicksAbove;
    const bool below = slider->tickPosition() & QSlider::TicksBelow;
    for (qint64 value = slider->minimum(); value <= slider->maximum(); value += interval) {
        const int at = QStyle::sliderPositionFromValue(
                           slider->minimum(), slider->maximum(), int(value), span, upsideDown)
            + length / 2;
        if (horizontal) {
            if (above)
                painter.drawLine(at, handle.top() - TickGap, at, handle.top() - TickGap - TickLength);
            if (below)
                painter.drawLine(at, handle.bottom() + TickGap, at, handle.bottom() + TickGap + TickLength);
        } else {
            if (above)
                painter.drawLine(handle.left() - TickGap, at, handle.left() - TickGap - TickLength, at);
            if (below)
                painter.drawLine(handle.right() + TickGap, at, handle.right() + TickGap + TickLength, at);
        }
    }
}

} // namespace OX
