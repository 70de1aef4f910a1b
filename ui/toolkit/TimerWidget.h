#pragma once
// A circular countdown clock: an arc fills (or empties, in reverse) while the number in the
// middle counts the whole seconds left (or gone). The widget owns its one animation: a restart
// replaces the running one, whose end is then never reported.
#include <QColor>
#include <QWidget>

class QPropertyAnimation;

namespace OX
{

class TimerWidget : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int progress READ progress WRITE setProgress NOTIFY progressChanged)
    Q_PROPERTY(QColor trackColor READ trackColor WRITE setTrackColor NOTIFY trackColorChanged)
    Q_PROPERTY(QColor progressColor READ progressColor WRITE setProgressColor NOTIFY progressColorChanged)
    Q_PROPERTY(QColor textColor READ textColor WRITE setTextColor NOTIFY textColorChanged)
public:
    explicit TimerWidget(QWidget* parent = nullptr);
    ~TimerWidget() override;

    int progress() const { return m_progress; }
    // Clamps to 0..100 and repaints.
    void setProgress(int progress);

    QColor trackColor() const { return m_trackColor; }
    QColor progressColor() const { return m_progressColor; }
    QColor textColor() const { return m_textColor; }
    void setTrackColor(const QColor& color);
    void setProgressColor(const QColor& color);
    void setTextColor(const QColor& color);

    // Runs the clock for ms milliseconds from empty (or, reverse, from full), then emits
    // timeout(). A clock still running is replaced; a negative time ends at once.
    void start(int ms, bool reverse);
    bool isRunning() const;

    // The number the dial shows: the whole seconds left at the current progress.
    int shownSeconds() const;

signals:
    // Declared for the style sheet and bindings; the writes do not emit them.
    void progressChanged(int progress);
    void trackColorChanged();
    void progressColorChanged();
    void textColorChanged();
    void timeout();

private slots:
    void onAnimationFinished();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_trackColor = Qt::lightGray;
    QColor m_progressColor = Qt::cyan;
    QColor m_textColor = Qt::black;
    int m_progress = 45;
    float m_totalSeconds = 0;
    bool m_reverse = false;
    QPropertyAnimation* m_animation = nullptr;
};

} // namespace OX
