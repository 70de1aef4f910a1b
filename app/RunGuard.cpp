#include "app/RunGuard.h"

#include <QCoreApplication>
#include <QCryptographicHash>

#include <cerrno>
#include <cstring>

#include <signal.h>

namespace {
// The segment holds the process id of the running instance.
constexpr int kSegmentSize = sizeof(qint64);
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

bool RunGuard::ownerIsAlive()
{
    // The holder writes its process id into the segment while it holds the semaphore, so a
    // reader under the same semaphore always sees it.
    qint64 pid = 0;
    if (sharedMem.size() < int(sizeof pid))
        return true; // not a segment of ours: leave it alone
    sharedMem.lock();
    std::memcpy(&pid, sharedMem.constData(), sizeof pid);
    sharedMem.unlock();
    if (pid <= 0)
        return false;
    if (pid == QCoreApplication::applicationPid())
        return true; // another guard object of this very process
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

void RunGuard::recordHolder(qint64 pid)
{
    if (sharedMem.size() < int(sizeof pid))
        return;
    sharedMem.lock();
    std::memcpy(sharedMem.data(), &pid, sizeof pid);
    sharedMem.unlock();
}

bool RunGuard::isAnotherRunning()
{
    if (sharedMem.isAttached())
        return false;

    memLock.acquire();
    bool isRunning = false;
    if (sharedMem.attach()) {
        // A killed holder's attachment can outlive the process by a few milliseconds (the
        // kernel finishes its teardown after the process was reaped), so the segment may
        // still be there although nobody runs: its recorded owner decides. A stale segment is
        // kept attached and taken over by tryToRun.
        isRunning = ownerIsAlive();
        if (isRunning)
            sharedMem.detach();
    }
    memLock.release();

    return isRunning;
}

bool RunGuard::tryToRun()
{
    // Asking again while holding the segment must not give it up.
    if (sharedMem.isAttached()) {
        memLock.acquire();
        recordHolder(QCoreApplication::applicationPid());
        memLock.release();
        return true;
    }
    if (isAnotherRunning())
        return false;

    memLock.acquire();
    bool result = sharedMem.isAttached() || sharedMem.create(kSegmentSize);
    if (!result && sharedMem.error() == QSharedMemory::AlreadyExists && sharedMem.attach()) {
        // The system derives the segment's key from a file's inode: a segment left behind by
        // an earlier run, whose key file is gone, can answer to the key of the file just made
        // for ours. Its recorded owner decides again.
        result = !ownerIsAlive();
        if (!result)
            sharedMem.detach();
    }
    if (result)
        recordHolder(QCoreApplication::applicationPid());
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
    if (sharedMem.isAttached()) {
        // The segment can outlive this detach (an attachment that the kernel has not dropped
        // yet keeps it): it must not name a holder any more.
        recordHolder(0);
        sharedMem.detach();
    }
    memLock.release();
}
