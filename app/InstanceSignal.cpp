#include "app/InstanceSignal.h"

#include "app/PrivateFolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace InstanceSignal {

namespace
{
// Between two attempts to reach a server that is not there yet.
constexpr int kRetryMs = 20;
} // namespace

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

bool send(const QString& name, int timeoutMs, int serverWaitMs)
{
    const QString path = socketPath(name);
    if (path.isEmpty())
        return false;
    QLocalSocket socket;
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        socket.connectToServer(path, QIODevice::ReadWrite);
        if (socket.waitForConnected(timeoutMs))
            break;
        // The running copy listens once its window is drawn: until then there is no server (no
        // socket, or a stale one that refuses), and it is asked again while the time lasts.
        const QLocalSocket::LocalSocketError error = socket.error();
        socket.abort();
        const bool notYet
            = error == QLocalSocket::ServerNotFoundError || error == QLocalSocket::ConnectionRefusedError;
        if (!notYet || waited.elapsed() + kRetryMs >= serverWaitMs)
            return false;
        QThread::msleep(kRetryMs);
    }
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
