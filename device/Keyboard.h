#pragma once
// The dongle's keyboard speaks a one-byte key-code space of its own. These functions show a
// key code as text and turn a key pressed on this computer into the dongle's code.
#include <QByteArray>
#include <QMap>
#include <QString>
#include <QtGlobal>

class QKeyEvent;

// One key of the dongle's keyboard: 0x20-0x7E printable ASCII, 0x80-0x87 modifiers
// (left control, shift, alt, command, then the right ones), 0xB0-0xDA special keys.
typedef quint8 KeyCode;

// The value msb of the keyboard command: press sets the key as held, release clears it,
// releaseAllKeys (sent with key code 0) clears every held key.
enum KeyPressAction : quint8 {
    pressKey = 1,
    releaseKey = 2,
    releaseAllKeys = 3,
};

namespace Keyboard {

// Display text of a key code; "?" for every code without one.
QString QStringFromKeyCode(KeyCode code);

// The same text as UTF-8; the caller owns the bytes (print with "%s" via constData()).
QByteArray CStringFromKeyCode(KeyCode code);

// The dongle key code of a key event, 0 when the key has none (modifiers alone give 0).
KeyCode KeyCodeFromEvent(const QKeyEvent& event);
// The same for a pointer; a null event gives 0.
KeyCode KeyCodeFromEvent(const QKeyEvent* event);

// True for actions below 2 (0 and 1).
bool isKeyPress(KeyPressAction action);
// True for release (2) and release all (3).
bool isKeyRelease(KeyPressAction action);

// macOS virtual key code -> dongle key code (27 entries). Built on first use, read-only after.
const QMap<int, KeyCode>& nativeKeyCodeMap();
// X11 keysym -> dongle key code for the same keys; consulted only when the macOS table has
// no entry for the event's native key. Keysyms of these keys lie far above the macOS range.
const QMap<int, KeyCode>& x11KeySymMap();
// Qt key -> dongle key code, used only for events that carry no native key at all.
KeyCode keyCodeFromQtKey(int qtKey);

} // namespace Keyboard
