#pragma once
// The re-centre countdown. Before the head pointer is re-zeroed the person holds the head still:
// with visual feedback a transparent overlay over the primary screen shows red lines crossing at
// its centre, four brackets meeting there once a second and the time left; without it the count
// only ticks once a second. Either way the director's audio feedback sounds once a second. Clicks
// pass through the overlay and it never takes the focus. Each run completes exactly once (one
// applySignal, one call of its completion) unless it is aborted or replaced by the next run.
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>

class OrvixDirector;
class OXCrossView;
class QGraphicsScene;
class QGraphicsSimpleTextItem;
class QParallelAnimationGroup;
class QPropertyAnimation;
class QTimer;

namespace Ui
{
class CrossWindow;
}

class CrossWindow : public QMainWindow
{
    Q_OBJECT
    Q_PROPERTY(int duration READ duration WRITE setDuration NOTIFY durationChanged)
public:
    // One tick of the silent count, and one pass of the brackets.
    static constexpr int TickMs = 1000;
    static constexpr int PassTimeMs = 1000;
    // The scene the brackets and the text live in (centred on the window).
    static constexpr int SceneSize = 1000;
    static constexpr int LineWidth = 4;

    // director may be null: the count then runs without sound.
    CrossWindow(QWidget* parent, OrvixDirector* director);
    ~CrossWindow() override;

    // Counts time milliseconds down (a negative time counts as 0), over the primary screen when
    // show, else in silent one-second ticks (at least one). A run under way is aborted first. done
    // is called once when the count completes, never when it is aborted; a shown run of 0 ms
    // completes before this returns and never shows the overlay.
    void runCrossView(bool show, int time, std::function<void()> done);
    // Stops the count without applySignal or the completion; hides the overlay.
    void abortCrossView();
    // While the tick timer runs or the overlay is visible.
    bool isRunning() const;

    // The time left in milliseconds (the countdown animation writes it while shown).
    int duration() const { return m_remaining; }
    void setDuration(int ms) { m_remaining = ms; }

    // The countdown text for ms left: minutes, seconds and hundredths ("00:04:25" for 4250).
    static QString countdownText(int ms);

    // Test seam: the real length of one silent tick (each still counts TickMs).
    void setTickInterval(int ms);

signals:
    // A count completed (before its completion is called).
    void applySignal();
    // Declared for the property; nothing emits it.
    void durationChanged();

public slots:
    // One silent tick: sound, count down, complete at the last.
    void onTimerTimeout();
    // The shown count reached 0.
    void onTimeout();
    // The brackets met once more: sound.
    void animationFinished();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Ends the run under way: overlay hidden, applySignal, completion; once per run.
    void complete();
    // Sized to and placed on the primary screen's whole area.
    void fitToScreen();
    void onScreensChanged();
    void playFeedback();
    // One frame of the shown count: the time left into the text, then the shape around it.
    void updateFrame();
    // Without a compositing manager the window is cut down to what it draws, else its clear
    // pixels would show black.
    void updateShape();

    QPointer<OrvixDirector> m_director;
    std::unique_ptr<Ui::CrossWindow> m_ui;
    QTimer* m_tick;
    int m_remaining = 0;
    bool m_shown = false;
    bool m_running = false;
    bool m_shaped = false;
    std::function<void()> m_done;
    QGraphicsScene* m_scene;
    std::array<OXCrossView*, 4> m_markers {};
    QGraphicsSimpleTextItem* m_text;
    QPropertyAnimation* m_countdown;
    QParallelAnimationGroup* m_markerAnimations;
    int m_tickInterval = TickMs;
};
