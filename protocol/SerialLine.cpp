#include "protocol/SerialLine.h"

#include <QFile>

#include <poll.h>

namespace SerialLine
{

bool isGone(QSerialPort* port, QSerialPort::SerialPortError error)
{
    if (!port || !isReadFailure(error))
        return false;
    if (!port->isOpen())
        return true;
    // A hung-up line (or one whose other end closed) polls as hung up or failed.
    pollfd line { int(port->handle()), POLLIN, 0 };
    if (::poll(&line, 1, 0) == 1 && (line.revents & (POLLHUP | POLLERR | POLLNVAL)))
        return true;
    // A removed USB device takes its node with it.
    const QString name = port->portName();
    return !QFile::exists(name.startsWith(QLatin1Char('/')) ? name : QStringLiteral("/dev/") + name);
}

void resumeReading(QSerialPort& port)
{
    if (!port.isOpen())
        return;
    port.clearError();
    // A read (even of nothing) makes the port watch the line again; the bytes it holds stay in
    // its buffer for whoever reads them.
    char byte;
    port.peek(&byte, 1);
}

} // namespace SerialLine
