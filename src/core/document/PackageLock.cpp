// PackageLock: flock on a file beside the package, counted per process so nested holders share one descriptor.
#include "PackageLock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
struct Held {
    int fd = -1;
    int count = 0;
    PackageLock::Mode mode = PackageLock::Mode::Shared;
};

QMutex &heldMutex()
{
    static QMutex mutex;
    return mutex;
}

QHash<QString, Held> &heldLocks()
{
    static QHash<QString, Held> locks;
    return locks;
}

// One flock attempt loop; true when locked, false when the time ran out or flock failed for another reason.
bool lockWithin(int fd, PackageLock::Mode mode, int waitMs, int *failure)
{
    const int operation = (mode == PackageLock::Mode::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        if (::flock(fd, operation) == 0)
            return true;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            *failure = errno;
            return false;
        }
        if (timer.elapsed() >= waitMs) {
            *failure = EWOULDBLOCK;
            return false;
        }
        QThread::msleep(20);
    }
}
} // namespace

QString PackageLock::lockFilePath(const QString &packagePath)
{
    const QFileInfo info(QDir::cleanPath(QFileInfo(packagePath).absoluteFilePath()));
    // The lock belongs to the real package, whichever link it was named through.
    const QString canonical = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    const QFileInfo real(canonical);
    return real.absolutePath() + QStringLiteral("/.") + real.fileName() + QStringLiteral(".lock");
}

int PackageLock::defaultWaitMs()
{
    bool ok = false;
    const int fromEnvironment = qEnvironmentVariableIntValue("ORVIX_LOCK_WAIT_MS", &ok);
    return ok && fromEnvironment >= 0 ? fromEnvironment : 3000;
}

PackageLock::PackageLock(const QString &packagePath, Mode mode, int waitMs) : m_key(lockFilePath(packagePath))
{
    const QString name = QFileInfo(packagePath).fileName();
    QMutexLocker locker(&heldMutex());
    Held &held = heldLocks()[m_key];
    if (held.count > 0 && (held.mode == Mode::Exclusive || mode == Mode::Shared)) {
        ++held.count;
        m_locked = true;
        return;
    }
    int fd = held.fd;
    if (fd < 0) {
        fd = ::open(QFile::encodeName(m_key).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0 && mode == Mode::Shared)
            fd = ::open(QFile::encodeName(m_key).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) {
            const int saved = errno;
            heldLocks().remove(m_key);
            // Without a lock file there can be no writer either (its save needs the same folder), so reading
            // goes ahead; writing does not.
            m_locked = mode == Mode::Shared;
            if (!m_locked)
                m_error = QStringLiteral("The document \"%1\" cannot be locked for writing: %2")
                              .arg(name, QString::fromLocal8Bit(std::strerror(saved)));
            else
                m_key.clear();
            return;
        }
    }
    int failure = 0;
    if (!lockWithin(fd, mode, waitMs, &failure) && (failure == ENOLCK || failure == ENOSYS || failure == EOPNOTSUPP)) {
        // A file system without locks (some network shares): the package stays usable, unguarded as before.
        if (held.count == 0) {
            ::close(fd);
            heldLocks().remove(m_key);
        }
        m_key.clear();
        m_locked = true;
        return;
    }
    if (failure != 0) {
        if (held.count == 0) {
            ::close(fd);
            heldLocks().remove(m_key);
        } else {
            // A failed upgrade may have dropped the shared lock this process still counts on.
            ::flock(fd, LOCK_SH);
        }
        m_error = failure == EWOULDBLOCK
                      ? QStringLiteral("The document \"%1\" is in use by another program; try again when it is done.")
                            .arg(name)
                      : QStringLiteral("The document \"%1\" cannot be locked: %2")
                            .arg(name, QString::fromLocal8Bit(std::strerror(failure)));
        return;
    }
    held.fd = fd;
    held.mode = held.count > 0 && held.mode == Mode::Exclusive ? Mode::Exclusive : mode;
    ++held.count;
    m_locked = true;
}

PackageLock::~PackageLock()
{
    if (!m_locked || m_key.isEmpty())
        return;
    QMutexLocker locker(&heldMutex());
    auto it = heldLocks().find(m_key);
    if (it == heldLocks().end())
        return;
    if (--it->count > 0)
        return;
    ::flock(it->fd, LOCK_UN);
    ::close(it->fd);
    heldLocks().erase(it);
}
