#pragma once
// A small pop-up that points at a widget: a rounded box with an arrow on the side facing the
// widget, a drop shadow, a fade in and out. It follows its target: it moves with it and hides
// and reappears with the target's window, but only while it is wanted: once hideBubble has run,
// nothing but the next showBubble brings it back. Target and window are held by guarded
// pointers, so a deleted target is never touched (the bubble hides with it).
#include <QDialog>
#include <QEasingCurve>
#include <QPointer>

class QHBoxLayout;
class QPropertyAnimation;

namespace OX
{

class Bubble : public QDialog
{
    Q_OBJECT
public:
    // Where the bubble stands relative to its target; the arrow is on the opposite side.
    enum Direction { Left = 0, Right = 1, Above = 2, Below = 3 };
    Q_ENUM(Direction)

    static constexpr int FadeMs = 350;
    static constexpr int CornerRadius = 10;
    static constexpr int SideArrowDepth = 8;
    static constexpr double SideArrowHalfHeight = 6.5;
    static constexpr int EndArrowDepth = 13;
    static constexpr int EndArrowHalfWidth = 8;

    // The bubble takes content into its layout; it has no parent window.
    explicit Bubble(QWidget* content);
    ~Bubble() override;

    bool eventFilter(QObject* watched, QEvent* event) override;

    // Points the bubble at target from direction and fades it in, unless the target's window
    // is not the active one (then it appears when that window is activated). A fade-out under
    // way is turned back from where it stands.
    virtual void showBubble(QWidget* target, Direction direction);
    // Fades a visible bubble out. It stays hidden until the next showBubble.
    void hideBubble();

    QWidget* target() const { return m_target; }
    Direction direction() const { return m_direction; }
    // True from showBubble until hideBubble: the bubble shows whenever its target's window does.
    bool isWanted() const { return m_wanted; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Puts the bubble beside its target by the current direction, moved inside the screen
    // where it would cross the screen's edge.
    void setPosition();
    // The space of the target's screen beside target in direction (the whole screen's width or
    // height above and below); empty without a screen.
    static QRect roomBeside(QWidget* target, Direction direction);

private slots:
    void onHideAnimationFinished();
    void onShowAnimationFinished();

private:
    void watch(QWidget* target);
    void startShowAnimation(qreal from);
    // An opacity animation of FadeMs from from to to that calls finished at its end; not started.
    QPropertyAnimation* fade(qreal from, qreal to, QEasingCurve::Type curve, void (Bubble::*finished)());

    QPointer<QWidget> m_target;
    QPointer<QWidget> m_targetWindow;
    QWidget* m_content = nullptr;
    QHBoxLayout* m_layout = nullptr;
    QPointer<QPropertyAnimation> m_hideAnimation;
    QPointer<QPropertyAnimation> m_showAnimation;
    Direction m_direction = Left;
    bool m_wanted = false;
};

} // namespace OX
