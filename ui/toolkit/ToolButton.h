#pragma once
// The icon button of the sidebar toolbar. While a command is under way it can blink between two
// icons; a release of the right or middle mouse button clicks it as the left button does, so a
// head click mapped to any button works it.
#include <QIcon>
#include <QTimer>
#include <QToolButton>

namespace OX
{

class ToolButton : public QToolButton
{
    Q_OBJECT
public:
    explicit ToolButton(QWidget* parent = nullptr);

    // The steady icon; shown at once, or at the next blink tick or stop while blinking.
    void setIcon(const QIcon& icon);
    // The icon shown when not blinking; icon() is the one on screen, which may be a blink's.
    const QIcon& steadyIcon() const { return m_steadyIcon; }
    // Alternates first (at once) and second every ms milliseconds; first becomes the steady icon.
    void startBlinking(const QIcon& first, const QIcon& second, int ms);
    // Stops blinking and shows the steady icon.
    void stopBlinking();

    bool isBlinking() const { return m_blinkTimer.isActive(); }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private slots:
    void onChangeImage();

private:
    QIcon m_steadyIcon;
    QIcon m_blinkIcon;
    QTimer m_blinkTimer;
    bool m_phase = false;
};

} // namespace OX
