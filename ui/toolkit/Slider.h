#pragma once
// A horizontal slider between a minus and a plus button, with its value written beside it.
// Every way a person moves it is reported: letting go of the handle and each button press at
// once; arrow keys, Page Up/Down and the mouse wheel once the burst settles (SettleMs after the
// last step, or sooner when the slider loses focus or is hidden). While the handle is dragged
// nothing is reported, so a page writes a setting once per choice. A value set by code shows
// at once and is not reported (a move still waiting to settle is then dropped). However range
// and value are set (on the Slider or through a QAbstractSlider pointer), the handle and the
// Slider's own value stay the same.
#include <QAbstractSlider>
#include <QSlider>

class QLabel;
class QTimer;

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
    // Quiet time after a key or wheel step before the value is reported.
    static constexpr int SettleMs = 250;

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
    void hideEvent(QHideEvent* event) override;
    // A new language brings its own decimal separator.
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void stepBy(int delta);
    // Takes value as this slider's own without reporting it.
    void follow(int value);
    void refreshLabel();
    // Reports a key or wheel move still waiting to settle.
    void reportSettled();

    QSlider* m_slider = nullptr;
    IconButton* m_decrease = nullptr;
    IconButton* m_increase = nullptr;
    QLabel* m_label = nullptr;
    QTimer* m_settle = nullptr;
    // Set while code (not a person) moves the inner slider.
    bool m_fromCode = false;
    QString m_postfix = QStringLiteral("%");
    double m_valueDisplayScale = 1.0;
    int m_valueDisplayPrecision = 0;
};

} // namespace OX
