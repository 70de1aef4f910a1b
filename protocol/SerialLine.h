#pragma once
// What a read failure on a serial line means, for every reader of the line (the dongle's frame
// reader and the XMODEM sender alike).
//
// On a pseudo-terminal or a USB serial line, a read notification with nothing to read leaves
// errno at EAGAIN, which the port reports as ResourceError (or ReadError) and after which it
// stops watching the line. Such a failure on a live line is no loss: the error is cleared and
// the line read again from the event loop.
#include <QSerialPort>

namespace SerialLine
{

// True when a read failure of port comes from a line that is gone: the port is closed, the
// line hung up, or its device node vanished. Any other error, or a read failure on a live line,
// gives false.
bool isGone(QSerialPort* port, QSerialPort::SerialPortError error);

// True for the errors a read failure is reported as.
inline bool isReadFailure(QSerialPort::SerialPortError error)
{
    return error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
}

// Clears the port's error and makes it watch the line again. Call it from the event loop, not
// from inside the port's own error signal.
void resumeReading(QSerialPort& port);

} // namespace SerialLine
