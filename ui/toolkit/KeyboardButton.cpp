#include "ui/toolkit/KeyboardButton.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QtDebug>

namespace OX
{

namespace
{
// The cap sits 3 px inside the smaller side; the label fills its upper part.
constexpr int CapInset = 3;
constexpr double UpTextFactor = 0.5;
constexpr int UpTextOffset = -12;
constexpr double DownTextFactor = 0.45;
constexpr int DownTextOffset = -8;
constexpr int LabelWeight = 75;
} // namespace

KeyboardButton::KeyboardButton(QWidget* parent)
    : QToolButton(parent)
{
    setCheckable(true);
    qRegisterMetaType<KeyCode>("KeyCode");
}

void KeyboardButton::setKeyCode(KeyCode code)
{
    m_keyCode = code;
    update();
}

void KeyboardButton::beginAssign()
{
    setFocus(Qt::OtherFocusReason);
}

void KeyboardButton::endAssign()
{
    clearFocus();
}

QString KeyboardButton::label() const
{
    return isChecked() ? QStringLiteral("?") : Keyboard::QStringFromKeyCode(m_keyCode);
}

void KeyboardButton::keyPressEvent(QKeyEvent* event)
{
    if (!isChecked()) {
        // No capture under way: the key works the button as on any button (Space checks it to
        // begin a capture) and leaves the assigned key alone.
        QToolButton::keyPressEvent(event);
        return;
    }
    const KeyCode code = Keyboard::KeyCodeFromEvent(event);
    qDebug("Key pressed: %d (0x%X) / %d (0x%X) / %s (0x%X)", event->key(), unsigned(event->key()),
        int(event->nativeVirtualKey()), event->nativeVirtualKey(),
        Keyboard::CStringFromKeyCode(code).constData(), unsigned(code));
    event->accept();
    clearFocus();
    setChecked(false);
    if (code == 0)
        return; // a key the dongle has no code for only ends the capture
    m_keyCode = code;
    emit keyCodeChanged(code);
}

void KeyboardButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const float s = float(qMin(width(), height()) - CapInset);
    const int side = int(s);
    const bool down = isDown();
    const QPixmap cap(QLatin1String(down ? KeyDownImage : KeyUpImage));
    const double factor = down ? DownTextFactor : UpTextFactor;
    const int offset = down ? DownTextOffset : UpTextOffset;
    p.drawPixmap(QRect(0, 0, side, side), cap, cap.rect());

    QFont font = p.font();
    font.setPointSize(qMax(1, int(s * 0.5 * factor)));
    font.setWeight(LabelWeight);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRect(0, offset, side, side), Qt::AlignHCenter | Qt::AlignVCenter, label());
}

} // namespace OX
