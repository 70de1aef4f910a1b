#include "protocol/SerialLine.h"

#include <QFile>
#include <QSocketNotifier>

#include <poll.h>

namespace SerialLine
{

QString goneReason(QSerialPort* port, QSerialPort::SerialPortError error)
{
    if (!port || !isReadFailure(error))
        return QString();
    if (!port->isOpen())
        return QStringLiteral("the port is closed");
    // A hung-up line (or one whose other end closed) polls as hung up or failed.
    pollfd line { int(port->handle()), POLLIN, 0 };
    if (::poll(&line, 1, 0) == 1 && (line.revents & (POLLHUP | POLLERR | POLLNVAL)))
        return QStringLiteral("the line hung up");
    // A removed USB device takes its node with it.
    const QString name = port->portName();
    const QString node = name.startsWith(QLatin1Char('/')) ? name : QStringLiteral("/dev/") + name;
    if (!QFile::exists(node))
        return node + QStringLiteral(" vanished");
    return QString();
}

bool isGone(QSerialPort* port, QSerialPort::SerialPortError error)
{
    return !goneReason(port, error).isEmpty();
}

void giveUp(QSerialPort& port)
{
    if (!port.isOpen())
        return;
    port.clear(QSerialPort::Output);
    port.close();
}

void pauseReading(QSerialPort& port)
{
    // The port's read watcher is its own child; a paused one is enabled again by the next read.
    for (QSocketNotifier* watcher :
        port.findChildren<QSocketNotifier*>(QString(), Qt::FindDirectChildrenOnly))
        if (watcher->type() == QSocketNotifier::Read)
            watcher->setEnabled(false);
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

ReadRetry::ReadRetry(QObject* owner, std::function<void()> resume)
{
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, owner, std::move(resume));
}

void ReadRetry::failed(QSerialPort& port)
{
    pauseReading(port);
    if (m_timer.isActive())
        return;
    m_timer.start(m_pauseMs);
    m_pauseMs = qMin(2 * m_pauseMs, MaxMs);
}

void ReadRetry::restart()
{
    m_pauseMs = FirstMs;
    m_timer.start(m_pauseMs);
}

} // namespace SerialLine
