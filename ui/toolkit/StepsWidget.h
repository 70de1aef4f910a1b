#pragma once
// The row of dots that shows where a wizard stands. It also decides how far the current step may
// move: forward and backward each allow no move, one step, or any number of steps. A move outside
// the rules is refused and changes nothing; a widget with no steps accepts no move at all.
#include <QColor>
#include <QWidget>

namespace OX
{

class StepsWidget : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor dotColor READ dotColor WRITE setDotColor NOTIFY dotColorChanged)
    Q_PROPERTY(QColor visitedColor READ visitedColor WRITE setVisitedColor NOTIFY visitedColorChanged)
    Q_PROPERTY(QColor activeColor READ activeColor WRITE setActiveColor NOTIFY activeColorChanged)
public:
    enum Access { None = 0, Single = 1, Any = 2 };
    Q_ENUM(Access)

    static constexpr int DefaultSteps = 3;
    static constexpr int DefaultLargestRadius = 12;
    static constexpr int SpreadAlignment = 3;
    static constexpr double DefaultCurrentFactor = 1.6;

    explicit StepsWidget(QWidget* parent = nullptr);

    // Stores the rules and goes back to the first step (no signal).
    void setSteps(int steps, Access forward, Access backward);
    // Moves to step within the rules, stopping at the first and last step; true and
    // currentStepChanged when the step changed.
    bool setCurrentStep(int step);
    // Back to the first step, without a signal.
    void reset();

    int steps() const { return m_steps; }
    int currentStep() const { return m_currentStep; }

    QColor dotColor() const { return m_dotColor; }
    void setDotColor(const QColor& color);
    QColor visitedColor() const { return m_visitedColor; }
    void setVisitedColor(const QColor& color);
    QColor activeColor() const { return m_activeColor; }
    void setActiveColor(const QColor& color);

signals:
    void currentStepChanged(int step);
    void dotColorChanged();
    void visitedColorChanged();
    void activeColorChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_steps = DefaultSteps;
    int m_currentStep = 0;
    Access m_forward = Single;
    Access m_backward = None;
    int m_largestRadius = DefaultLargestRadius;
    int m_alignment = SpreadAlignment;
    double m_currentFactor = DefaultCurrentFactor;
    QColor m_dotColor = Qt::white;
    QColor m_visitedColor = Qt::gray;
    QColor m_activeColor = Qt::cyan;
};

} // namespace OX
