#include "app/RunGuard.h"

#include <QCryptographicHash>

namespace {
constexpr int kSegmentSize = 8;
}

QString RunGuard::makeKeyHash(const QString& key, const QString& salt)
{
    QByteArray data;
    data.append(key.toUtf8());
    data.append(salt.toUtf8());
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex());
}

RunGuard::RunGuard(const QString& key)
    : key(key)
    , memLockKey(makeKeyHash(key, QStringLiteral("_memLockKey")))
    , sharedmemKey(makeKeyHash(key, QStringLiteral("_sharedmemKey")))
    , sharedMem(sharedmemKey)
    , memLock(memLockKey, 1, QSystemSemaphore::Open)
{
    // A crashed instance leaves its segment behind with no process attached: attaching and
    // detaching again makes the system drop it.
    memLock.acquire();
    {
        QSharedMemory fix(sharedmemKey);
        fix.attach();
    }
    memLock.release();
}

RunGuard::~RunGuard()
{
    release();
}

bool RunGuard::isAnotherRunning()
{
    if (sharedMem.isAttached())
        return false;

    memLock.acquire();
    const bool isRunning = sharedMem.attach();
    if (isRunning)
        sharedMem.detach();
    memLock.release();

    return isRunning;
}

bool RunGuard::tryToRun()
{
    // Asking again while holding the segment must not give it up.
    if (sharedMem.isAttached())
        return true;
    if (isAnotherRunning())
        return false;

    memLock.acquire();
    const bool result = sharedMem.create(kSegmentSize);
    memLock.release();
    if (!result) {
        release();
        return false;
    }
    return true;
}

void RunGuard::release()
{
    memLock.acquire();
    if (sharedMem.isAttached())
        sharedMem.detach();
    memLock.release();
}
