#include "app/RunGuard.h"

#include "app/PrivateFolder.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QtDebug>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString guardPath(const QString& name)
{
    const QString folder = PrivateFolder::path();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(name);
}

} // namespace

QString RunGuard::makeKeyHash(const QString& key, const QString& salt)
{
    QByteArray data;
    data.append(key.toUtf8());
    data.append(salt.toUtf8());
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex());
}

RunGuard::RunGuard(const QString& key)
    : key(key)
    , sharedmemKey(makeKeyHash(key, QStringLiteral("_sharedmemKey")))
    , m_guardFile(guardPath(sharedmemKey + QStringLiteral(".guard")))
{
}

RunGuard::~RunGuard()
{
    release();
}

int RunGuard::openGuardFile() const
{
    if (m_guardFile.isEmpty())
        return -1;
    const int fd = ::open(QFile::encodeName(m_guardFile).constData(),
        O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
    if (fd < 0) {
        qWarning().noquote()
            << QStringLiteral("Single-instance guard [%1] cannot be opened").arg(m_guardFile);
        return -1;
    }
    struct stat st {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        qWarning().noquote()
            << QStringLiteral("Single-instance guard [%1] refused: not a file of this user").arg(m_guardFile);
        ::close(fd);
        return -1;
    }
    return fd;
}

bool RunGuard::isAnotherRunning()
{
    if (m_heldFd >= 0)
        return false;
    const int fd = openGuardFile();
    if (fd < 0)
        return false;
    // Each open of the file is a lock of its own, so a second guard object of this very
    // process sees the first one as another holder.
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd); // also drops the shared lock taken just now
    return held;
}

bool RunGuard::tryToRun()
{
    if (m_heldFd >= 0)
        return true;
    const int fd = openGuardFile();
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    // The holder's process id, for a person looking at the folder.
    const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid()) + '\n';
    if (::ftruncate(fd, 0) == 0) {
        const ssize_t written = ::pwrite(fd, pid.constData(), size_t(pid.size()), 0);
        (void)written;
    }
    m_heldFd = fd;
    return true;
}

void RunGuard::release()
{
    if (m_heldFd < 0)
        return;
    // The file stays: removing it could let two starts lock two different files.
    if (::ftruncate(m_heldFd, 0) != 0) {
        // nothing to undo: the lock below is what counts
    }
    ::flock(m_heldFd, LOCK_UN);
    ::close(m_heldFd);
    m_heldFd = -1;
}
