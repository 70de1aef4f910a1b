#pragma once
// A horizontal slider between a minus and a plus button, with its value written beside it.
// Every way a person moves it is reported at once: letting go of the handle, each press of a
// button, each arrow key, Page Up/Down and wheel step. Nothing waits to be reported, so no move
// is lost when the person leaves the page straight after it. While the handle is held (dragged,
// or jumped to a click on the groove) nothing is reported until it is let go. Only a value other
// than the one the owner has (set by code or reported last) is reported: a handle let go where it
// was reports nothing. A held handle whose release the slider cannot see (hidden, disabled, its
// window blocked or left) is let go where it is and reported. A value set by code shows at once
// and is not reported. However range and value are set (on the Slider or through a QAbstractSlider
// pointer), the handle and the Slider's own value stay the same.
#include <QAbstractSlider>
#include <QSlider>

class QLabel;

namespace OX
{

class IconButton;

class Slider : public QAbstractSlider
{
    Q_OBJECT
    Q_PROPERTY(QString postfix READ postfix WRITE setPostfix)
    Q_PROPERTY(double valueDisplayScale READ valueDisplayScale WRITE setValueDisplayScale)
    Q_PROPERTY(int valueDisplayPrecision READ valueDisplayPrecision WRITE setValueDisplayPrecision)
public:
    static constexpr int Spacing = 10;
    static constexpr int LabelMinimumWidth = 105;

    explicit Slider(QWidget* parent = nullptr);

    QString postfix() const { return m_postfix; }
    void setPostfix(const QString& postfix);
    double valueDisplayScale() const { return m_valueDisplayScale; }
    void setValueDisplayScale(double scale);
    int valueDisplayPrecision() const { return m_valueDisplayPrecision; }
    void setValueDisplayPrecision(int digits);

    // Shows value without reporting it.
    void setValue(int value);
    void setTickPosition(QSlider::TickPosition position);
    QSlider::TickPosition tickPosition() const;
    void setTickInterval(int interval);
    int tickInterval() const;

    // What the label shows now.
    QString displayText() const;

public slots:
    void onDecreaseClicked(bool checked);
    void onIncreaseClicked(bool checked);
    void onSliderValueChanged(int value);
    void onSliderReleased();

protected:
    void sliderChange(SliderChange change) override;
    // Keys and wheel steps over the buttons or the label move the handle like those over it.
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    // A new language brings its own decimal separator.
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void stepBy(int delta);
    // Takes the handle's value as this slider's own without reporting it.
    void follow(int value);
    void refreshLabel();
    // After a mouse press on the inner slider: a jump that left the handle free is reported now;
    // one that holds it is reported on release.
    void onPressed();
    // Reports the handle's value when it differs from the one the owner has.
    void reportMove();
    // Lets go of a held handle whose release will never come.
    void releaseHandle();

    QSlider* m_slider = nullptr;
    IconButton* m_decrease = nullptr;
    IconButton* m_increase = nullptr;
    QLabel* m_label = nullptr;
    // Set while code (not a person) moves the inner slider.
    bool m_fromCode = false;
    // Set while the inner slider handles a mouse press.
    bool m_pressing = false;
    // Set while this slider takes a value the person gave the handle.
    bool m_following = false;
    // The value the owner has: the last one set by code or reported.
    int m_known = 0;
    QString m_postfix = QStringLiteral("%");
    double m_valueDisplayScale = 1.0;
    int m_valueDisplayPrecision = 0;
};

} // namespace OX
