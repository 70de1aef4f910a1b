#include "device/Keyboard.h"

#include <QKeyEvent>

#include <limits>

namespace {

// Built once on first use (thread-safe), only read afterwards.
const QMap<int, KeyCode>& nativeTable()
{
    static const QMap<int, KeyCode> table = {
        { 36, 0xB0 },  // return
        { 76, 0xB0 },  // keypad enter
        { 53, 0xB1 },  // escape
        { 51, 0xB2 },  // backspace
        { 48, 0xB3 },  // tab
        { 57, 0xC1 },  // caps lock
        { 122, 0xC2 }, // F1
        { 120, 0xC3 }, // F2
        { 99, 0xC4 },  // F3
        { 118, 0xC5 }, // F4
        { 96, 0xC6 },  // F5
        { 97, 0xC7 },  // F6
        { 98, 0xC8 },  // F7
        { 100, 0xC9 }, // F8
        { 101, 0xCA }, // F9
        { 109, 0xCB }, // F10
        { 103, 0xCC }, // F11
        { 111, 0xCD }, // F12
        { 115, 0xD2 }, // home
        { 116, 0xD3 }, // page up
        { 117, 0xD4 }, // forward delete
        { 119, 0xD5 }, // end
        { 121, 0xD6 }, // page down
        { 124, 0xD7 }, // right arrow
        { 123, 0xD8 }, // left arrow
        { 125, 0xD9 }, // down arrow
        { 126, 0xDA }, // up arrow
    };
    return table;
}

const QMap<int, KeyCode>& x11Table()
{
    static const QMap<int, KeyCode> table = {
        { 0xFF0D, 0xB0 }, // Return
        { 0xFF8D, 0xB0 }, // KP_Enter
        { 0xFF1B, 0xB1 }, // Escape
        { 0xFF08, 0xB2 }, // BackSpace
        { 0xFF09, 0xB3 }, // Tab
        { 0xFE20, 0xB3 }, // ISO_Left_Tab (shift + tab)
        { 0xFFE5, 0xC1 }, // Caps_Lock
        { 0xFFBE, 0xC2 }, // F1
        { 0xFFBF, 0xC3 },
        { 0xFFC0, 0xC4 },
        { 0xFFC1, 0xC5 },
        { 0xFFC2, 0xC6 },
        { 0xFFC3, 0xC7 },
        { 0xFFC4, 0xC8 },
        { 0xFFC5, 0xC9 },
        { 0xFFC6, 0xCA },
        { 0xFFC7, 0xCB },
        { 0xFFC8, 0xCC },
        { 0xFFC9, 0xCD }, // F12
        { 0xFF50, 0xD2 }, // Home
        { 0xFF55, 0xD3 }, // Prior (page up)
        { 0xFFFF, 0xD4 }, // Delete
        { 0xFF57, 0xD5 }, // End
        { 0xFF56, 0xD6 }, // Next (page down)
        { 0xFF53, 0xD7 }, // Right
        { 0xFF51, 0xD8 }, // Left
        { 0xFF54, 0xD9 }, // Down
        { 0xFF52, 0xDA }, // Up
    };
    return table;
}

QString fromCodePoint(ushort u)
{
    return QString(QChar(u));
}

} // namespace

namespace Keyboard {

const QMap<int, KeyCode>& nativeKeyCodeMap()
{
    return nativeTable();
}

const QMap<int, KeyCode>& x11KeySymMap()
{
    return x11Table();
}

QString QStringFromKeyCode(KeyCode code)
{
    if (code <= 0x1F) {
        switch (code) {
        case 0x00: return fromCodePoint(0x2400);
        case 0x03: return fromCodePoint(0x21B5);
        case 0x08: return fromCodePoint(0x232B);
        case 0x09: return fromCodePoint(0x21E5);
        case 0x0D: return fromCodePoint(0x21B5);
        case 0x1B: return fromCodePoint(0x238B);
        default: return QStringLiteral("?");
        }
    }
    if (code <= 0x7E)
        return QString(QChar(ushort(code)).toUpper());
    if (code >= 0x80 && code <= 0x86) {
        switch (code - 0x80) {
        case 0:
        case 4: return fromCodePoint(0x2303); // control
        case 1:
        case 5: return fromCodePoint(0x21E7); // shift
        case 2:
        case 6: return fromCodePoint(0x2325); // alt (option)
        default: return QStringLiteral("?"); // command has no glyph of its own here
        }
    }
    if (code >= 0xC2 && code <= 0xCD)
        return QStringLiteral("F%1").arg(code - 0xC2 + 1);
    switch (code) {
    case 0xB0: return fromCodePoint(0x21B5);
    case 0xB1: return fromCodePoint(0x238B);
    case 0xB2: return fromCodePoint(0x232B);
    case 0xB3: return fromCodePoint(0x21E5);
    case 0xC1: return fromCodePoint(0x21EA);
    case 0xD2: return fromCodePoint(0x2912);
    case 0xD3: return fromCodePoint(0x2191);
    case 0xD4: return fromCodePoint(0x2326);
    case 0xD5: return fromCodePoint(0x2913);
    case 0xD6: return fromCodePoint(0x2193);
    case 0xD7: return fromCodePoint(0x25B6);
    case 0xD8: return fromCodePoint(0x25C0);
    case 0xD9: return fromCodePoint(0x25BC);
    case 0xDA: return fromCodePoint(0x25B2);
    default: return QStringLiteral("?");
    }
}

QByteArray CStringFromKeyCode(KeyCode code)
{
    return QStringFromKeyCode(code).toUtf8();
}

KeyCode keyCodeFromQtKey(int qtKey)
{
    if (qtKey >= 1 && qtKey <= 126)
        return KeyCode(qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return KeyCode(0xC2 + (qtKey - Qt::Key_F1));
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 0xB0;
    case Qt::Key_Escape: return 0xB1;
    case Qt::Key_Backspace: return 0xB2;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 0xB3;
    case Qt::Key_CapsLock: return 0xC1;
    case Qt::Key_Home: return 0xD2;
    case Qt::Key_PageUp: return 0xD3;
    case Qt::Key_Delete: return 0xD4;
    case Qt::Key_End: return 0xD5;
    case Qt::Key_PageDown: return 0xD6;
    case Qt::Key_Right: return 0xD7;
    case Qt::Key_Left: return 0xD8;
    case Qt::Key_Down: return 0xD9;
    case Qt::Key_Up: return 0xDA;
    default: return 0;
    }
}

KeyCode KeyCodeFromEvent(const QKeyEvent& event)
{
    const int qtKey = event.key();
    if (qtKey >= 1 && qtKey <= 126)
        return KeyCode(qtKey);

    const quint32 native = event.nativeVirtualKey();
    if (native == 0)
        return keyCodeFromQtKey(qtKey);
    if (native <= quint32(std::numeric_limits<int>::max())) {
        const QMap<int, KeyCode>& mac = nativeTable();
        auto it = mac.constFind(int(native));
        if (it != mac.constEnd())
            return it.value();
        const QMap<int, KeyCode>& x11 = x11Table();
        it = x11.constFind(int(native));
        if (it != x11.constEnd())
            return it.value();
    }
    return 0;
}

KeyCode KeyCodeFromEvent(const QKeyEvent* event)
{
    return event ? KeyCodeFromEvent(*event) : KeyCode(0);
}

bool isKeyPress(KeyPressAction action)
{
    return quint8(action) < 2;
}

bool isKeyRelease(KeyPressAction action)
{
    return quint8(action) == 2 || quint8(action) == 3;
}

} // namespace Keyboard
