#include "app/InstanceSignal.h"

#include "app/PrivateFolder.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace InstanceSignal {

QString name()
{
    const QString override = qEnvironmentVariable("ORVIXTOOLS_INSTANCE_NAME");
    if (!override.isEmpty())
        return override;
#ifdef Q_OS_UNIX
    return QStringLiteral("OrvixTools-%1").arg(uint(::getuid()));
#else
    return QStringLiteral("OrvixTools");
#endif
}

QString socketPath(const QString& name)
{
    if (QDir::isAbsolutePath(name))
        return name;
    const QString folder = PrivateFolder::path();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(name);
}

bool listen(QLocalServer& server, const QString& name)
{
    const QString path = socketPath(name);
    if (path.isEmpty())
        return false;
    server.setSocketOptions(QLocalServer::UserAccessOption);
    if (server.listen(path))
        return true;
    // Only the copy that won the guard gets here, so a socket under this name is stale.
    if (server.serverError() == QAbstractSocket::AddressInUseError) {
        QLocalServer::removeServer(path);
        return server.listen(path);
    }
    return false;
}

bool send(const QString& name, int timeoutMs)
{
    const QString path = socketPath(name);
    if (path.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(path, QIODevice::ReadWrite);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    const char byte = kToggleByte;
    bool written = socket.write(&byte, 1) == 1;
    socket.flush();
    written = socket.waitForBytesWritten(timeoutMs) || (written && socket.bytesToWrite() == 0);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMs);
    return written;
}

} // namespace InstanceSignal
