#include "app/PrivateFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtDebug>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace PrivateFolder
{

namespace
{

QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

QString ownName()
{
    return QStringLiteral("OrvixTools-%1").arg(uint(::geteuid()));
}

} // namespace

namespace
{

// Why folder is no real folder (not a link) of this user, with its mode; empty when it is one.
QString notOwn(const QString& folder, mode_t* mode)
{
    struct stat st {
    };
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder))
        return QStringLiteral("not an absolute path");
    if (::lstat(QFile::encodeName(folder).constData(), &st) != 0)
        return errno == ENOENT ? QStringLiteral("missing") : errnoText();
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("it is a symbolic link");
    if (!S_ISDIR(st.st_mode))
        return QStringLiteral("it is not a directory");
    if (st.st_uid != ::geteuid())
        return QStringLiteral("it belongs to another user");
    *mode = st.st_mode;
    return QString();
}

} // namespace

bool isOwn(const QString& folder, QString* why)
{
    mode_t mode = 0;
    const QString reason = notOwn(folder, &mode);
    if (why)
        *why = reason;
    return reason.isEmpty();
}

bool isPrivate(const QString& folder, QString* why)
{
    mode_t mode = 0;
    QString reason = notOwn(folder, &mode);
    if (reason.isEmpty() && (mode & 077) != 0)
        reason = QStringLiteral("others may enter it");
    if (why)
        *why = reason;
    return reason.isEmpty();
}

bool ensure(const QString& folder, QString* why)
{
    const QByteArray native = QFile::encodeName(folder);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
        if (why)
            *why = errnoText();
        return false;
    }
    QString reason;
    if (isPrivate(folder, &reason))
        return true;
    if (reason == QLatin1String("others may enter it") && ::chmod(native.constData(), 0700) == 0)
        return isPrivate(folder, why);
    if (why)
        *why = reason;
    return false;
}

QString path()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    QString why;
    if (!runtime.isEmpty()) {
        if (isPrivate(runtime, &why))
            return QDir::cleanPath(runtime);
        qWarning().noquote() << QStringLiteral("XDG_RUNTIME_DIR [%1] not used: %2").arg(runtime, why);
    }
    const QStringList candidates {
        QDir(QDir::tempPath()).filePath(ownName()),
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)).filePath(ownName()),
    };
    for (const QString& candidate : candidates) {
        if (!QDir::isAbsolutePath(candidate))
            continue;
        QDir().mkpath(QFileInfo(candidate).path());
        if (ensure(candidate, &why))
            return QDir::cleanPath(candidate);
        qWarning().noquote() << QStringLiteral("Private folder [%1] not used: %2").arg(candidate, why);
    }
    return QString();
}

} // namespace PrivateFolder
