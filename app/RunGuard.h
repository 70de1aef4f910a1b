#pragma once
// Lets only one copy of the application run at a time: the running copy holds a small
// shared-memory segment; every test or change of it is made under a system semaphore, the
// only lock shared between processes.
#include <QSharedMemory>
#include <QString>
#include <QSystemSemaphore>

class RunGuard
{
public:
    explicit RunGuard(const QString& key);
    ~RunGuard();

    RunGuard(const RunGuard&) = delete;
    RunGuard& operator=(const RunGuard&) = delete;

    // True when another live process holds the segment.
    bool isAnotherRunning();
    // True when this process now holds the segment (it is the running instance).
    bool tryToRun();
    // Gives up the segment if this process holds it.
    void release();

private:
    friend struct RunGuardTestAccess;

    // Lower-case hexadecimal SHA-1 of the UTF-8 bytes of key followed by those of salt.
    static QString makeKeyHash(const QString& key, const QString& salt);

    // With the segment attached and the semaphore held: whether the process recorded in it
    // still exists; and recording a holder (0 for none).
    bool ownerIsAlive();
    void recordHolder(qint64 pid);

    const QString key;
    const QString memLockKey;
    const QString sharedmemKey;

    QSharedMemory sharedMem;
    QSystemSemaphore memLock;
};
