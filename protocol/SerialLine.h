#pragma once
// What a read failure on a serial line means, for every reader of the line (the dongle's frame
// reader and the XMODEM sender alike).
//
// On a pseudo-terminal or a USB serial line, a read notification with nothing to read leaves
// errno at EAGAIN, which the port reports as ResourceError (or ReadError) and after which it
// stops watching the line. Such a failure on a live line is no loss: the error is cleared and
// the line read again from the event loop.
#include <QSerialPort>
#include <QTimer>

#include <functional>

namespace SerialLine
{

// Why a read failure of port means that its line is gone: the port is closed, the line hung
// up, or its device node vanished. Empty for any other error, or a read failure on a live line.
// (The port's own error text is no reason: after a read of nothing it names a stale errno.)
QString goneReason(QSerialPort* port, QSerialPort::SerialPortError error);

// True when goneReason names a reason.
bool isGone(QSerialPort* port, QSerialPort::SerialPortError error);

// True for the errors a read failure is reported as.
inline bool isReadFailure(QSerialPort::SerialPortError error)
{
    return error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
}

// Closes a port whose line is given up. What it has not sent yet, in its own buffer and in the
// line's, is dropped first: on a USB serial line whose device stopped reading, closing with
// bytes unsent waits in the kernel for up to the driver's closing wait (30 s).
void giveUp(QSerialPort& port);

// Stops the port watching the line until resumeReading. A ReadError leaves it watching a line
// that keeps polling readable, so that every pass of the event loop would read and fail again.
void pauseReading(QSerialPort& port);

// Clears the port's error and makes it watch the line again. Call it from the event loop, not
// from inside the port's own error signal.
void resumeReading(QSerialPort& port);

// Reads a live line again after failed reads without spinning: after each failure the port
// stops watching the line, and the line is read again (by resume, from the event loop) after a
// pause that doubles while the failures go on, from FirstMs up to MaxMs. A received byte
// starts again from the first pause.
class ReadRetry
{
public:
    static constexpr int FirstMs = 5;
    static constexpr int MaxMs = 250;

    ReadRetry(QObject* owner, std::function<void()> resume);
    // After a read failure on a live line of port.
    void failed(QSerialPort& port);
    // A byte was received.
    void received() { m_pauseMs = FirstMs; }
    // The line is read again after the first pause, whatever came before.
    void restart();
    void stop() { m_timer.stop(); }

private:
    QTimer m_timer;
    int m_pauseMs = FirstMs;
};

} // namespace SerialLine
