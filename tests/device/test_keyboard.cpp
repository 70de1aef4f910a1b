#include "device/Keyboard.h"

#include <QKeyEvent>
#include <gtest/gtest.h>

namespace {

QString ch(ushort u)
{
    return QString(QChar(u));
}

KeyCode fromEvent(int qtKey, quint32 nativeKey, const QString& text = QString())
{
    QKeyEvent e(QEvent::KeyPress, qtKey, Qt::NoModifier, 0, nativeKey, 0, text);
    return Keyboard::KeyCodeFromEvent(e);
}

} // namespace

TEST(KeyboardText, PrintableAsciiShowsUpperCase)
{
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0x61), "A");
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0x41), "A");
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0x63), "C");
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0x20), " ");
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0x7E), "~");
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0x7F), "?");
}

TEST(KeyboardText, ControlCharacters)
{
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0x00), ch(0x2400));
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0x03), ch(0x21B5));
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0x0D), ch(0x21B5));
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0x08), ch(0x232B));
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0x09), ch(0x21E5));
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0x1B), ch(0x238B));
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0x01), "?");
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0x1F), "?");
}

TEST(KeyboardText, ModifiersLeftAndRightAlike)
{
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0x80), ch(0x2303));
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0x84), ch(0x2303));
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0x81), ch(0x21E7));
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0x85), ch(0x21E7));
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0x82), ch(0x2325));
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0x86), ch(0x2325));
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0x83), "?");
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0x87), "?");
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0x88), "?");
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0xAF), "?");
}

TEST(KeyboardText, SpecialKeysAndGaps)
{
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0xB0), ch(0x21B5));
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0xB1), ch(0x238B));
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0xB2), ch(0x232B));
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0xB3), ch(0x21E5));
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0xC1), ch(0x21EA));
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0xC2), "F1");
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0xCB), "F10");
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0xCD), "F12");
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0xD2), ch(0x2912));
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0xD4), ch(0x2326));
    EXPECT_EQ(Keyboard::QStringFromKeyCode(0xDA), ch(0x25B2));
    for (int code : { 0xB4, 0xC0, 0xCE, 0xD1, 0xDB, 0xFF })
        EXPECT_EQ(Keyboard::QStringFromKeyCode(KeyCode(code)), "?") << code;
}

TEST(KeyboardText, EveryCodeHasText)
{
    for (int code = 0; code <= 0xFF; ++code) {
        const QString text = Keyboard::QStringFromKeyCode(KeyCode(code));
        EXPECT_FALSE(text.isEmpty()) << code;
        EXPECT_EQ(Keyboard::CStringFromKeyCode(KeyCode(code)), text.toUtf8()) << code;
    }
}

TEST(KeyboardText, CStringIsOwnedByCaller)
{
    QByteArray a = Keyboard::CStringFromKeyCode(0xD7);
    QByteArray b = Keyboard::CStringFromKeyCode(0xC2);
    EXPECT_EQ(a, QByteArray("\xE2\x96\xB6"));
    EXPECT_EQ(QByteArray(b.constData()), QByteArray("F1"));
    EXPECT_EQ(qstrlen(a.constData()), 3u);
}

TEST(KeyboardEvent, QtKeyInAsciiRangeIsTheCode)
{
    EXPECT_EQ(fromEvent(0x43, 0, "c"), 0x43);
    EXPECT_EQ(fromEvent(Qt::Key_Space, 0), 0x20);
    EXPECT_EQ(fromEvent(126, 0), 126);
    // The ASCII rule wins over the native table.
    EXPECT_EQ(fromEvent(0x41, 36), 0x41);
}

TEST(KeyboardEvent, MacNativeKeys)
{
    EXPECT_EQ(fromEvent(Qt::Key_Enter, 76), 0xB0);
    EXPECT_EQ(fromEvent(Qt::Key_Return, 36), 0xB0);
    EXPECT_EQ(fromEvent(Qt::Key_F1, 122), 0xC2);
    EXPECT_EQ(fromEvent(Qt::Key_F12, 111), 0xCD);
    EXPECT_EQ(fromEvent(Qt::Key_Up, 126), 0xDA);
    // A modifier alone has no dongle code.
    EXPECT_EQ(fromEvent(Qt::Key_Shift, 56), 0);
    EXPECT_EQ(Keyboard::nativeKeyCodeMap().size(), 27);
}

TEST(KeyboardEvent, X11KeySymFallback)
{
    EXPECT_EQ(fromEvent(Qt::Key_Return, 0xFF0D), 0xB0);
    EXPECT_EQ(fromEvent(Qt::Key_Enter, 0xFF8D), 0xB0);
    EXPECT_EQ(fromEvent(Qt::Key_Escape, 0xFF1B), 0xB1);
    EXPECT_EQ(fromEvent(Qt::Key_Backspace, 0xFF08), 0xB2);
    EXPECT_EQ(fromEvent(Qt::Key_Tab, 0xFF09), 0xB3);
    EXPECT_EQ(fromEvent(Qt::Key_Backtab, 0xFE20), 0xB3);
    EXPECT_EQ(fromEvent(Qt::Key_F5, 0xFFC2), 0xC6);
    EXPECT_EQ(fromEvent(Qt::Key_F12, 0xFFC9), 0xCD);
    EXPECT_EQ(fromEvent(Qt::Key_Left, 0xFF51), 0xD8);
    EXPECT_EQ(fromEvent(Qt::Key_Right, 0xFF53), 0xD7);
    EXPECT_EQ(fromEvent(Qt::Key_Delete, 0xFFFF), 0xD4);
    EXPECT_EQ(fromEvent(Qt::Key_Shift, 0xFFE1), 0);   // Shift_L
    EXPECT_EQ(fromEvent(Qt::Key_Control, 0xFFE3), 0); // Control_L
    // Every X11 entry lies outside the macOS range so the two tables never collide.
    const auto& x11 = Keyboard::x11KeySymMap();
    for (auto it = x11.constBegin(); it != x11.constEnd(); ++it)
        EXPECT_FALSE(Keyboard::nativeKeyCodeMap().contains(it.key())) << it.key();
    // The X11 table covers exactly the keys of the macOS table.
    QSet<KeyCode> mac, lin;
    for (KeyCode c : Keyboard::nativeKeyCodeMap())
        mac.insert(c);
    for (KeyCode c : x11)
        lin.insert(c);
    EXPECT_EQ(mac, lin);
}

TEST(KeyboardEvent, NoNativeKeyFallsBackToQtKey)
{
    EXPECT_EQ(fromEvent(Qt::Key_Return, 0), 0xB0);
    EXPECT_EQ(fromEvent(Qt::Key_Escape, 0), 0xB1);
    EXPECT_EQ(fromEvent(Qt::Key_F5, 0), 0xC6);
    EXPECT_EQ(fromEvent(Qt::Key_Down, 0), 0xD9);
    EXPECT_EQ(fromEvent(Qt::Key_PageUp, 0), 0xD3);
    EXPECT_EQ(fromEvent(Qt::Key_CapsLock, 0), 0xC1);
    EXPECT_EQ(fromEvent(Qt::Key_Meta, 0), 0);
    EXPECT_EQ(fromEvent(Qt::Key_F13, 0), 0);
    EXPECT_EQ(fromEvent(Qt::Key_unknown, 0), 0);
    // An unknown native key is not second-guessed by the Qt key.
    EXPECT_EQ(fromEvent(Qt::Key_Return, 0x12345), 0);
    EXPECT_EQ(Keyboard::KeyCodeFromEvent(static_cast<const QKeyEvent*>(nullptr)), 0);
    QKeyEvent f5(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier, 0, 0xFFC2, 0);
    EXPECT_EQ(Keyboard::KeyCodeFromEvent(&f5), 0xC6);
}

TEST(KeyboardAction, PressAndRelease)
{
    EXPECT_TRUE(Keyboard::isKeyPress(KeyPressAction(0)));
    EXPECT_TRUE(Keyboard::isKeyPress(pressKey));
    EXPECT_FALSE(Keyboard::isKeyPress(releaseKey));
    EXPECT_FALSE(Keyboard::isKeyPress(releaseAllKeys));
    EXPECT_TRUE(Keyboard::isKeyRelease(releaseKey));
    EXPECT_TRUE(Keyboard::isKeyRelease(releaseAllKeys));
    EXPECT_FALSE(Keyboard::isKeyRelease(pressKey));
    EXPECT_FALSE(Keyboard::isKeyRelease(KeyPressAction(0)));
    EXPECT_FALSE(Keyboard::isKeyRelease(KeyPressAction(4)));
    EXPECT_FALSE(Keyboard::isKeyPress(KeyPressAction(4)));
}
