// PackageLock: the advisory lock that lets one writer at a time change a document package.
#pragma once

#include <QString>

// The lock is a flock(2) on a hidden file beside the package ("<dir>/.<Name>.orvix.lock"), not inside it:
// a save swaps the whole package directory, and a lock inside would move away with the old one. Readers take it
// shared (so they never copy a package half-way through a swap), writers exclusive. Within one process the
// lock is counted per package, so a command that holds it across open and save can still call save. The lock
// file is never deleted: removing it would let two processes lock two different files of the same name.
class PackageLock {
public:
    enum class Mode { Shared, Exclusive };

    // Waits up to `waitMs` for the lock. isLocked() is false when it stays taken (error() then names the
    // package) or cannot be made; a package whose folder refuses the lock file is read without a lock, and one
    // on a file system without locks is used unguarded.
    PackageLock(const QString &packagePath, Mode mode, int waitMs = defaultWaitMs());
    ~PackageLock();
    PackageLock(const PackageLock &) = delete;
    PackageLock &operator=(const PackageLock &) = delete;

    bool isLocked() const { return m_locked; }
    QString error() const { return m_error; }

    static QString lockFilePath(const QString &packagePath);
    // How long a second writer waits ("ORVIX_LOCK_WAIT_MS" overrides it, for tests), in milliseconds.
    static int defaultWaitMs();

private:
    QString m_key;
    bool m_locked = false;
    QString m_error;
};
