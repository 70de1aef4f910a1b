#pragma once
// What the toolbar and the crosshair overlay need of the windowing system beyond Qt's window
// flags. On Linux/X11 the flags (no focus, shown without activating) already make a window the
// window manager never focuses, so the focus call only checks its handle.
class NativeWindow
{
public:
    // Makes the window of the native handle (an X11 window id, never dereferenced) one that
    // never takes the focus; a null handle logs "Unknown window id, unable to set focus policy".
    static void setNotToGrapFocus(void* nativeView);

    // True when a compositing manager runs on the display (clear pixels of a translucent window
    // then show what lies beneath; without one they show black).
    static bool hasCompositingManager();
};
