#pragma once
// A horizontal slider between a minus and a plus button, with its value written beside it. It
// reports a value only when the user lets go of the handle or presses a button, so a page writes
// a setting once per choice, never while the handle travels. A value set by code shows at once
// and is not reported. However range and value are set (on the Slider or through a
// QAbstractSlider pointer), the handle and the Slider's own value stay the same.
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
    void on_decrease_buttonClicked(bool checked);
    void on_increase_buttonClicked(bool checked);
    void on_slider_valueChanged(int value);
    void on_slider_released();

protected:
    void sliderChange(SliderChange change) override;

private:
    void stepBy(int delta);
    void refreshLabel();

    QSlider* m_slider = nullptr;
    IconButton* m_decrease = nullptr;
    IconButton* m_increase = nullptr;
    QLabel* m_label = nullptr;
    QString m_postfix = QStringLiteral("%");
    double m_valueDisplayScale = 1.0;
    int m_valueDisplayPrecision = 0;
};

} // namespace OX
