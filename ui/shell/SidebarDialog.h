#pragma once
// The on-screen toolbar: for a person who works the computer with the head alone, the rest of
// the mouse and keyboard. A strip of large buttons that stays on top, docks to a screen edge and
// never takes the focus from the application being worked in. It shows what the headset
// controls and its battery, and sends the head click's button, the held modifiers and copy, cut
// and paste to the dongle. Every command frees its button when the dongle completes it, whatever
// the result; modifiers held when the headset goes are let go on the computer. Without a
// director nothing reads settings or devices.
#include "device/DongleDelegate.h"
#include "device/Keyboard.h"
#include "protocol/DongleResult.h"
#include "protocol/Records.h"

#include <QDialog>
#include <QIcon>
#include <QList>
#include <QMetaObject>
#include <QPoint>
#include <QPointer>

#include <functional>
#include <memory>

class Dongle;
class Headset;
class OrvixDirector;
class QHBoxLayout;
class QPropertyAnimation;
class QScreen;
class Settings;

namespace OX
{
class ToolButton;
}

namespace Ui
{
class SidebarDialog;
}

class SidebarDialog : public QDialog
{
    Q_OBJECT
public:
    enum DockSide : int {
        Left = 0,
        Right = 1,
        Top = 2,
        Bottom = 3,
    };
    enum LayoutPosition : int {
        Vertical = 0, // docks left or right
        Horizontal = 1, // docks top or bottom
    };

    // The form's own size, and the share of the screen's shorter side the toolbar takes at scale 1.
    static constexpr int FormWidth = 51;
    static constexpr int FormHeight = 566;
    static constexpr float ScreenShare = 0.98f;
    // Docking slides at this speed.
    static constexpr double PixelsPerSecond = 5000.0;
    static constexpr int BlinkMs = 500;
    static constexpr int FadeMs = 500;
    // The side of every icon the toolbar builds.
    static constexpr int IconSide = 64;
    // A pending field with no command under way.
    static constexpr quint8 NoAction = 0xFF;

    // Badge, badge colour and the commands under way.
    class State
    {
    public:
        enum StatusBadge : quint32 {
            Start = 0, // no headset yet: the logo alone
            Initialize = 1, // headset not initialised yet
            SettingsBadge = 2,
            Mouse = 3, // controls this computer
            Controller = 4, // a drive
            Actuator = 5,
            Imac = 6, // another computer
            ChairMouse = 7,
            Error = 8, // no headset or no dongle
            UnknownDevice = 9,
        };
        enum BadgeColor : quint32 {
            Natural = 0,
            Active = 1,
            Passive = 2,
            ErrorColor = 3,
        };

        StatusBadge badge = Start;
        quint8 shiftPending = NoAction;
        quint8 commandPending = NoAction;
        quint8 altPending = NoAction;
        quint8 copyPending = NoAction;
        quint8 cutPending = NoAction;
        quint8 pastePending = NoAction;
        BadgeColor color = Natural;

        static QIcon getStatusIcon(StatusBadge badge, BadgeColor color);
        // battery_0 to battery_5 by percent ÷ 16.666666 rounded half away from zero, minus 1.
        static QIcon getBatteryIcon(float percent);
        static int batteryIndex(float percent);
        static QIcon getShiftActionIcon(quint32 modifiers);
        static QIcon getAltActionIcon(quint32 modifiers);
        static QIcon getCommandActionIcon(quint32 modifiers);
        static QIcon getMouseIcon(MouseButton button);
        static QIcon getScrollIcon(MouseButton button);
        static QIcon getMouseBlinkIcon(const QIcon& icon, MouseButton button);
        static QIcon getScrollBlinkIcon(const QIcon& icon, MouseButton button);
        static QIcon getCopyActionIcon(quint8 action);
        static QIcon getCutActionIcon(quint8 action);
        static QIcon getPasteActionIcon(quint8 action);
        // What the headset controls now, as a badge.
        static StatusBadge getBadge(const Headset* headset, const Dongle* dongle);

        // Badges 1 and 2 always take the natural colour, 8 and 9 the error colour.
        void setStatusColor(BadgeColor color);
        BadgeColor getStatusColor() const { return color; }
    };

    explicit SidebarDialog(QWidget* parent = nullptr);
    ~SidebarDialog() override;

    // Follows the director's dongle, headset, status, channel and settings signals (earlier
    // connections dropped), applies its settings and shows the director's headset (the look of
    // a missing one when there is none).
    void attach(OrvixDirector* director);
    void detach();
    OrvixDirector* director() const;

    // Refreshes the icons from the director's headset, then shows and raises the toolbar (out of
    // a minimised state).
    void show();

    // scale and opacity as the settings store them, each 0 to 1.
    void setScale(float scale);
    void setOpacity(float opacity);
    void changeLayoutPosition(LayoutPosition position);

    // Dock to that edge of the window's screen (the primary screen when the toolbar is stuck
    // to it), sliding there.
    void attachLeft();
    void attachRight();
    void attachTop();
    void attachBottom();
    // Slides the window to target, then calls done (also for a move of no length). A move still
    // under way stops where it is and never calls its done.
    void animateTo(QPoint& target, std::function<void()> done);

    void sendMouseAction(
        MouseButton button, std::function<void(MouseButton)> started, std::function<void(DongleResult)> done);
    void sendModifierAction(HeadsetControlMask::ModifierOptions option, KeyCode key,
        std::function<void(KeyPressAction)> started, std::function<void(DongleResult)> done);
    // Lets go on the computer of the modifier keys dongle holds for headset, or may hold: a
    // press or shortcut sent from the toolbar counts as held before the dongle confirms it, and
    // after a release that failed (nothing when neither). Once the headset or the application
    // is gone, no button releases them, and the dongle keeps them held until a headset is found
    // again. A failed shortcut is let go of at once.
    static void releaseHeldKeys(Dongle* dongle, const Headset* headset);

    // The buttons (connected in the constructor).
    void onSetLocationClicked();
    void onStatusClicked();
    void onKeyboardClicked();
    // Whether the keyboard button shows that the last keyboard did not come up.
    bool keyboardFailureShown() const { return m_keyboardFailed; }
    void onMouseClicked();
    void onScrollClicked();
    void onAltClicked();
    void onCmdClicked();
    void onShiftClicked();
    void onCopyClicked();
    void onCutClicked();
    void onPasteClicked();

    DockSide dockSide() const { return m_dockSide; }
    LayoutPosition layoutPosition() const { return m_layoutPosition; }
    int baseWidth() const { return m_baseWidth; }
    int baseHeight() const { return m_baseHeight; }
    const State& state() const { return m_state; }
    // The base size factor for a screen's available area (the form is 51 × 566).
    static float baseFactor(const QSize& available);

signals:
    // The user clicked the status button.
    void statusIconAction();
    // Hides the toolbar.
    void hideSignal();

public slots:
    void onDongleUpdated(Dongle* dongle, DongleChangeMask mask);
    void onHeadsetUpdated(Headset* headset, HeadsetChangeMask mask);
    void onHeadsetStatusChanged(Headset* headset, bool active);
    void onHeadsetChannelChanged(Headset* headset, int index);
    void onSettingsChanged(Settings* settings);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Hidden by the application (the main window hidden with the toolbar not set to stay), it
    // lets go of the modifiers it holds: no button is left on screen to release them.
    void hideEvent(QHideEvent* event) override;

private:
    // The size at scale 1 from the primary screen's area for windows.
    void updateBaseSize();
    // The size at the scale set, for the layout in force.
    QSize scaledSize() const;
    // Docks again to the edge it is docked to.
    void redock();
    // A screen came, went or changed its area: sized and docked again, once the change settles.
    void onScreensChanged();
    // The shape at path tinted with the skin's colour colorKey.
    static QIcon tintedIcon(const QString& path, const char* colorKey);
    enum class Edge { Left, Right, Top, Bottom };
    // On the screen with the area on (a drag's), else the screen of the window's corner.
    void dock(Edge edge, const QRect* on = nullptr);
    void fadeTo(double opacity);
    void retranslate();
    void showKeyboardFailure(bool failed);
    QList<OX::ToolButton*> headsetButtons() const;
    Dongle* dongle() const;
    Headset* headset() const;
    Settings* settings() const;
    // One modifier button: its pending field, option and key.
    void modifierClicked(OX::ToolButton* button, quint8 State::*pending,
        HeadsetControlMask::ModifierOptions option, KeyCode key);
    // One of copy, cut and paste.
    void shortcutClicked(OX::ToolButton* button, quint8 State::*pending, QIcon (*icon)(quint8),
        void (Dongle::*send)(std::function<void(DongleResult)>));

    QPointer<OrvixDirector> m_director;
    QList<QMetaObject::Connection> m_connections;
    DockSide m_dockSide = Left;
    int m_baseHeight = 0;
    int m_baseWidth = 0;
    float m_effectiveScale = 1.f;
    State m_state;
    QPoint m_lastPos;
    bool m_dragging = false;
    bool m_keyboardFailed = false;
    bool m_screensChanging = false;
    QHBoxLayout* m_horizontalLayout = nullptr;
    QPointer<QPropertyAnimation> m_move; // the docking move under way
    QPointer<QPropertyAnimation> m_fade; // the opacity change under way for the pointer
    bool m_pointerOver = false;
    LayoutPosition m_layoutPosition = Vertical;
    std::unique_ptr<Ui::SidebarDialog> m_ui;
};
