#pragma once
// What the toolbar and the crosshair overlay need of the windowing system beyond Qt's window
// flags. On Linux/X11 the flags (no focus, shown without activating) already make a window the
// window manager never focuses, so the focus call only checks its handle; the task bar and the
// window switcher are told to leave the window out, and whether a compositing manager runs is
// asked once per change of the screens, not per use.
class QWidget;

class NativeWindow
{
public:
    // Makes the window of the native handle (an X11 window id, never dereferenced) one that
    // never takes the focus; a null handle logs "Unknown window id, unable to set focus policy".
    static void setNotToGrapFocus(void* nativeView);

    // From now on, each time window is shown the task bar and the pager leave it out (X11:
    // _NET_WM_STATE_SKIP_TASKBAR and _NET_WM_STATE_SKIP_PAGER, set before the window is mapped).
    static void keepOffTaskbar(QWidget* window);

    // True when a compositing manager runs on the display (clear pixels of a translucent window
    // then show what lies beneath; without one they show black). Asked of the display once,
    // again after a screen is added, removed or made the primary one.
    static bool hasCompositingManager();
    // How often the display has been asked (test seam).
    static int compositorQueries();
};
