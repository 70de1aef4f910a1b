#pragma once
// A key cap that captures one key press for a key assignment. The owner checks it and calls
// beginAssign(); the next key press ends the capture, and a key the dongle knows becomes the
// button's code (keyCodeChanged). A key without a code only ends the capture.
#include "device/Keyboard.h"

#include <QToolButton>

namespace OX
{

class KeyboardButton : public QToolButton
{
    Q_OBJECT
    Q_PROPERTY(KeyCode keyCode READ keyCode WRITE setKeyCode)
public:
    explicit KeyboardButton(QWidget* parent = nullptr);

    KeyCode keyCode() const { return m_keyCode; }
    // Stores and repaints, without a signal.
    void setKeyCode(KeyCode code);

    // Takes the keyboard focus so that the next key press reaches the button.
    void beginAssign();
    // Gives the focus up.
    void endAssign();

    // The cap's label: "?" while capturing, else the key's text.
    QString label() const;

    // The key cap images, up and pressed.
    static constexpr const char* KeyUpImage = ":/images/key_up";
    static constexpr const char* KeyDownImage = ":/images/key_down";

signals:
    void keyCodeChanged(KeyCode code);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    KeyCode m_keyCode = 0;
};

} // namespace OX
