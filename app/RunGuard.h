#pragma once
// Lets only one copy of the application run at a time: the running copy holds an exclusive
// lock on a guard file in this user's private folder (never in a folder that other users may
// write). The system drops the lock with the process, so a crashed copy leaves nothing that
// blocks the next start, and a file planted by another account is never taken as ours.
#include <QString>

class RunGuard
{
public:
    explicit RunGuard(const QString& key);
    ~RunGuard();

    RunGuard(const RunGuard&) = delete;
    RunGuard& operator=(const RunGuard&) = delete;

    // True when another holder (another process, or another guard object) holds the guard.
    bool isAnotherRunning();
    // True when this object now holds the guard (it is the running instance).
    bool tryToRun();
    // Gives up the guard if this object holds it.
    void release();

    // The guard file; empty when no private folder can be had.
    QString guardFile() const { return m_guardFile; }

private:
    friend struct RunGuardTestAccess;

    // Lower-case hexadecimal SHA-1 of the UTF-8 bytes of key followed by those of salt.
    static QString makeKeyHash(const QString& key, const QString& salt);

    // Opens (or makes, owner-only) the guard file; -1 when it cannot be had or is not a
    // regular file of this user.
    int openGuardFile() const;

    const QString key;
    const QString sharedmemKey;
    const QString m_guardFile;
    int m_heldFd = -1;
};
