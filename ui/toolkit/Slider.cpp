#include "ui/toolkit/Slider.h"

#include "ui/toolkit/IconButton.h"
#include "ui/toolkit/Pixmap.h"
#include "ui/toolkit/SliderStyle.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QWheelEvent>

#include <algorithm>
#include <functional>

namespace OX
{

namespace
{

const QColor ButtonIconColor = Qt::white;

QIcon whiteIcon(const QString& resource)
{
    return QIcon(Pixmap(resource).getTintedCopy(ButtonIconColor));
}

// The handle's slider, telling its owner around each mouse press: a click on the groove jumps
// the handle there before the drag that follows has begun.
class InnerSlider : public QSlider
{
public:
    InnerSlider(std::function<void(bool)> pressing, QWidget* parent)
        : QSlider(Qt::Horizontal, parent)
        , m_pressing(std::move(pressing))
    {
    }

    // A key handed on by the slider around this one: handled here or left ignored, so that Qt
    // takes it on to the parent rather than back to the slider it came from.
    void takeKey(QKeyEvent* event) { QSlider::keyPressEvent(event); }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        m_pressing(true);
        QSlider::mousePressEvent(event);
        m_pressing(false);
    }

private:
    std::function<void(bool)> m_pressing;
};

} // namespace

Slider::Slider(QWidget* parent)
    : QAbstractSlider(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setSpacing(Spacing);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    m_decrease = new IconButton(this);
    m_decrease->setObjectName(QStringLiteral("decrease_button"));
    m_decrease->setIcon(whiteIcon(QStringLiteral(":/icons/remove")));
    m_slider = new InnerSlider(
        [this](bool pressing) {
            m_pressing = pressing;
            if (!pressing)
                onPressed();
        },
        this);
    m_slider->setObjectName(QStringLiteral("slider"));
    auto* style = new SliderStyle(m_slider->style());
    style->setParent(m_slider);
    m_slider->setStyle(style);
    m_increase = new IconButton(this);
    m_increase->setObjectName(QStringLiteral("increase_button"));
    m_increase->setIcon(whiteIcon(QStringLiteral(":/icons/add")));
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("label"));
    m_label->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Minimum);
    m_label->setMinimumWidth(LabelMinimumWidth);

    layout->addWidget(m_decrease);
    layout->addWidget(m_slider);
    layout->addWidget(m_increase);
    layout->addWidget(m_label);

    // The inner slider starts from this slider's own range and value.
    m_slider->setRange(minimum(), maximum());
    m_slider->setSingleStep(singleStep());
    m_slider->setPageStep(pageStep());
    m_slider->setValue(QAbstractSlider::value());

    connect(m_slider, &QSlider::valueChanged, this, &Slider::onSliderValueChanged);
    connect(m_slider, &QSlider::sliderReleased, this, &Slider::onSliderReleased);
    connect(m_decrease, &QAbstractButton::clicked, this, &Slider::onDecreaseClicked);
    connect(m_increase, &QAbstractButton::clicked, this, &Slider::onIncreaseClicked);
    refreshLabel();
}

void Slider::setPostfix(const QString& postfix)
{
    m_postfix = postfix;
    refreshLabel();
}

void Slider::setValueDisplayScale(double scale)
{
    m_valueDisplayScale = scale;
    refreshLabel();
}

void Slider::setValueDisplayPrecision(int digits)
{
    m_valueDisplayPrecision = digits;
    refreshLabel();
}

void Slider::setValue(int value)
{
    const QSignalBlocker quiet(this);
    QAbstractSlider::setValue(value);
    m_known = QAbstractSlider::value(); // also when a held handle is already there
}

void Slider::follow(int value)
{
    const QSignalBlocker quiet(this);
    m_following = true;
    QAbstractSlider::setValue(value);
    m_following = false;
}

void Slider::setTickPosition(QSlider::TickPosition position)
{
    m_slider->setTickPosition(position);
}

QSlider::TickPosition Slider::tickPosition() const
{
    return m_slider->tickPosition();
}

void Slider::setTickInterval(int interval)
{
    m_slider->setTickInterval(interval);
}

int Slider::tickInterval() const
{
    return m_slider->tickInterval();
}

QString Slider::displayText() const
{
    return m_label->text();
}

void Slider::onDecreaseClicked(bool)
{
    stepBy(-singleStep());
}

void Slider::onIncreaseClicked(bool)
{
    stepBy(singleStep());
}

void Slider::stepBy(int delta)
{
    // A button moves the handle as a key does.
    m_slider->setValue(std::clamp(m_slider->value() + delta, minimum(), maximum()));
    reportMove();
}

void Slider::onSliderValueChanged(int value)
{
    follow(value); // the handle moved: this slider follows it
    refreshLabel();
    // A key, Page Up/Down or a wheel step is reported at once, as a button press is. A held
    // handle reports when let go; code reports nothing.
    if (!m_fromCode && !m_pressing && !m_slider->isSliderDown())
        reportMove();
}

void Slider::onSliderReleased()
{
    reportMove();
}

void Slider::onPressed()
{
    if (!m_slider->isSliderDown())
        reportMove();
}

void Slider::reportMove()
{
    const int value = m_slider->value();
    if (value == m_known)
        return;
    m_known = value;
    emit valueChanged(value);
}

void Slider::keyPressEvent(QKeyEvent* event)
{
    // Not sent as a new event: one the handle's slider ignores (a letter, Escape) would come
    // back up here and go round between the two until the stack ran out.
    static_cast<InnerSlider*>(m_slider)->takeKey(event);
}

void Slider::wheelEvent(QWheelEvent* event)
{
    QCoreApplication::sendEvent(m_slider, event);
}

void Slider::sliderChange(SliderChange change)
{
    if (m_slider) {
        // Code sets range, steps or value: what the inner slider does now is not a person's move.
        const bool wasFromCode = m_fromCode;
        m_fromCode = true;
        switch (change) {
        case SliderRangeChange:
            m_slider->setRange(minimum(), maximum());
            break;
        case SliderOrientationChange:
            m_slider->setOrientation(orientation());
            break;
        case SliderStepsChange:
            m_slider->setSingleStep(singleStep());
            m_slider->setPageStep(pageStep());
            break;
        case SliderValueChange:
            if (!m_following)
                m_known = QAbstractSlider::value();
            m_slider->setValue(QAbstractSlider::value());
            break;
        }
        m_fromCode = wasFromCode;
    }
    QAbstractSlider::sliderChange(change);
}

void Slider::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        refreshLabel();
    QAbstractSlider::changeEvent(event);
}

bool Slider::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Hide:
    case QEvent::WindowBlocked: // a dialog over the window keeps the release from the slider
    case QEvent::WindowDeactivate:
        releaseHandle();
        break;
    default:
        break;
    }
    return QAbstractSlider::event(event);
}

void Slider::releaseHandle()
{
    // Still held, the handle would show a value its owner never heard of, and the keys and wheel
    // steps after it would go unreported too.
    if (!m_slider || !m_slider->isSliderDown())
        return;
    QMouseEvent release(
        QEvent::MouseButtonRelease, QPointF(), QPointF(), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_slider, &release);
}

void Slider::refreshLabel()
{
    if (!m_label || !m_slider)
        return;
    const double shown = m_slider->value() * m_valueDisplayScale;
    const QString number = QLocale().toString(shown, 'f', m_valueDisplayPrecision);
    m_label->setText(QStringLiteral("%1%2").arg(number, m_postfix));
}

} // namespace OX
