#pragma once
// The full-screen crosshair overlay: a countdown shown while the headset, just become active
// on this computer, waits for the mouse to be zeroed. The count runs in one-second ticks,
// with or without the overlay; at its end the completion is called once.
#include <QPointer>
#include <QWidget>

#include <functional>

class OrvixDirector;
class QTimer;
class QVariantAnimation;

class CrossWindow : public QWidget {
    Q_OBJECT
public:
    // One tick of the countdown.
    static constexpr int TickMs = 1000;

    CrossWindow(QWidget* parent, OrvixDirector* director);
    ~CrossWindow() override;

    void setDirector(OrvixDirector* director);

    // Counts milliseconds down in ticks; when visual, over the primary screen with the
    // overlay and its animation. done is called once, at the tick where no more than one tick
    // remained. A running countdown is replaced (its completion is not called).
    void runCrossView(bool visual, int milliseconds, std::function<void()> done);
    // Stops the countdown without calling its completion.
    void abortCrossView();
    // While the tick timer runs or the overlay is visible.
    bool isRunning() const;

    int remainingMs() const { return m_remaining; }
    bool isVisual() const { return m_visual; }
    // The value the countdown animation shows (milliseconds left).
    int displayedMs() const { return m_displayed; }

    // Test seam: the real duration of one tick (each still counts for TickMs).
    void setTickInterval(int ms);

signals:
    // The countdown ended (before its completion is called).
    void applySignal();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void onTick();

    QPointer<OrvixDirector> m_director;
    QTimer* m_tick;
    QVariantAnimation* m_countdown;
    QVariantAnimation* m_fade;
    std::function<void()> m_done;
    int m_remaining = 0;
    int m_total = 0;
    int m_displayed = 0;
    double m_opacity = 1.0;
    bool m_visual = false;
    int m_tickInterval = TickMs;
};
