#pragma once
// Tick marks for a QSlider under our style sheet: once the sheet styles a slider's groove and
// handle, the style draws no tick marks of its own. Installed on a slider, this draws them after
// the slider has painted itself, where its tick position and interval ask, in the skin's colour.
#include <QObject>
#include <QRect>

class QSlider;

namespace OX
{

class SliderTicks : public QObject
{
    Q_OBJECT
public:
    // Draws slider's ticks from now on, beyond its handle, and makes the slider tall (or wide)
    // enough for them; owned by the slider.
    static void install(QSlider* slider);
    // Where slider's handle is drawn now, in its own coordinates.
    static QRect handleRect(QSlider const* slider);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit SliderTicks(QSlider* slider);
    void paintTicks(QSlider* slider) const;

    bool m_painting = false;
};

} // namespace OX
