#pragma once
// Real X input and screen reads for the toolbar and crosshair tests.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLockFile>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>

namespace x11test
{

inline bool canClick()
{
    return !QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty();
}

// Tests that click through the X server or read its focus run one at a time on a display (the
// test command runs test processes side by side on one X server).
class InputLock
{
public:
    InputLock()
        : m_file(QDir::temp().filePath(
            QStringLiteral("orvix-x11-input-%1.lock")
                .arg(QString::fromLocal8Bit(qgetenv("DISPLAY")).remove(QLatin1Char(':')))))
    {
        m_file.setStaleLockTime(0);
        m_file.lock();
    }

private:
    QLockFile m_file;
};

// A left click through the X server at a global point.
inline bool click(const QPoint& at)
{
    return QProcess::execute(QStringLiteral("xdotool"),
               { QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                   QStringLiteral("click"), QStringLiteral("1") })
        == 0;
}

// The pointer moved through the X server to a global point, no button held.
inline bool move(const QPoint& at)
{
    return QProcess::execute(QStringLiteral("xdotool"),
               { QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()) })
        == 0;
}

// Gives window the X input focus explicitly. Without a window manager the server's focus
// otherwise follows the pointer, and a click anywhere would move it whatever the windows ask.
inline bool focus(QWidget* window)
{
    return QProcess::execute(QStringLiteral("xdotool"),
               { QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(window->winId()) })
        == 0;
}

// What the screen shows now.
inline QImage screen()
{
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage();
}

// A full-screen window of one colour that counts the presses it receives.
class Backdrop : public QWidget
{
public:
    int presses = 0;
    explicit Backdrop(const QColor& color)
    {
        setAutoFillBackground(true);
        QPalette p = palette();
        p.setColor(QPalette::Window, color);
        setPalette(p);
        setStyleSheet(QStringLiteral("background: %1").arg(color.name()));
    }

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
};

} // namespace x11test
