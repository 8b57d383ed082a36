// PackageFiles: guarded copy and reads, guarded removal, and the owner records of working copies.
#include "PackageFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString kOwnerSuffix = QStringLiteral(".orvix-owner");

QString errnoText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("a named pipe");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("a device");
    return QStringLiteral("not a file or folder");
}

bool insideRoot(const QString &root, const QString &canonical)
{
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    return !canonical.isEmpty() && canonical.startsWith(canonicalRoot + QLatin1Char('/'));
}

// Opens a regular file for reading without blocking on a pipe and without following a final link.
int openRegular(const QString &path, QString *error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        *error = errnoText(errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        *error = QStringLiteral("it is %1").arg(kindOf(st.st_mode));
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

std::optional<QByteArray> readAll(int fd, QString *error)
{
    QByteArray bytes;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *error = errnoText(errno);
            return std::nullopt;
        }
        if (n == 0)
            return bytes;
        bytes.append(buffer, n);
    }
}

// Where a link inside the package `root` leads, when that is a regular file inside it; else empty.
QString linkedFileInside(const QString &root, const QString &path)
{
    const QFileInfo target(QFileInfo(path).canonicalFilePath());
    if (!target.exists() || !insideRoot(root, target.absoluteFilePath()))
        return QString();
    struct stat st {};
    if (::stat(QFile::encodeName(target.absoluteFilePath()).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return QString();
    return target.absoluteFilePath();
}

bool copyFile(const QString &from, const QString &to, QString *error)
{
    QString reason;
    const int fd = openRegular(from, &reason);
    if (fd < 0) {
        *error = QStringLiteral("\"%1\" cannot be read: %2").arg(QFileInfo(from).fileName(), reason);
        return false;
    }
    // In pieces: a database of a million rows would otherwise sit in memory whole while it is copied.
    QFile out(to);
    bool readFailed = false;
    bool written = out.open(QIODevice::WriteOnly);
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    while (written) {
        const ssize_t n = ::read(fd, buffer.data(), size_t(buffer.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            reason = errnoText(errno);
            readFailed = true;
            break;
        }
        if (n == 0)
            break;
        written = out.write(buffer.constData(), n) == n;
    }
    ::close(fd);
    if (readFailed || !written || !out.flush()) {
        *error = QStringLiteral("\"%1\" cannot be copied: %2")
                     .arg(QFileInfo(from).fileName(), readFailed ? reason : out.errorString());
        return false;
    }
    return true;
}

bool copyTree(const QString &root, const QString &from, const QString &to, const QString &relative, QString *error)
{
    if (!QDir().mkpath(to)) {
        *error = QStringLiteral("cannot create %1").arg(to);
        return false;
    }
    const QStringList names =
        QDir(from).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        const QString source = from + QLatin1Char('/') + name;
        const QString target = to + QLatin1Char('/') + name;
        const QString rel = relative.isEmpty() ? name : relative + QLatin1Char('/') + name;
        struct stat st {};
        if (::lstat(QFile::encodeName(source).constData(), &st) != 0) {
            *error = QStringLiteral("\"%1\" cannot be read: %2").arg(rel, errnoText(errno));
            return false;
        }
        if (S_ISDIR(st.st_mode)) {
            if (!copyTree(root, source, target, rel, error))
                return false;
        } else if (S_ISREG(st.st_mode)) {
            if (!copyFile(source, target, error))
                return false;
        } else if (S_ISLNK(st.st_mode)) {
            const QString linked = linkedFileInside(root, source);
            if (linked.isEmpty()) {
                *error = QStringLiteral("the entry \"%1\" is a link that does not lead to a file inside the document")
                             .arg(rel);
                return false;
            }
            if (!copyFile(linked, target, error))
                return false;
        } else {
            *error = QStringLiteral("the entry \"%1\" is %2").arg(rel, kindOf(st.st_mode));
            return false;
        }
    }
    return true;
}

QString ownerPath(const QString &workingLocation)
{
    QString location = workingLocation;
    while (location.endsWith(QLatin1Char('/')))
        location.chop(1);
    return location + kOwnerSuffix;
}

// The process's start time (field 22 of /proc/<pid>/stat), so a reused process id is not taken for the owner.
QByteArray processStart(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return QByteArray();
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    if (close < 0)
        return QByteArray();
    const QList<QByteArray> fields = text.mid(close + 2).split(' ');
    return fields.size() > 19 ? fields.at(19) : QByteArray();
}
} // namespace

QString PackageFiles::expandTilde(const QString &path)
{
    if (path == QLatin1String("~"))
        return QDir::homePath();
    if (path.startsWith(QLatin1String("~/")))
        return QDir::homePath() + path.mid(1);
    return path;
}

bool PackageFiles::copyDirectory(const QString &from, const QString &to, QString *error)
{
    QString reason;
    if (copyTree(from, from, to, QString(), &reason))
        return true;
    if (error)
        *error = reason;
    return false;
}

std::optional<QByteArray> PackageFiles::readRegularFile(const QString &root, const QString &relative, QString *error,
                                                        bool *missing)
{
    QString path = root + QLatin1Char('/') + relative;
    struct stat st {};
    if (missing)
        *missing = false;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) {
        const int code = errno;
        if (missing)
            *missing = code == ENOENT;
        if (error)
            *error = errnoText(code);
        return std::nullopt;
    }
    if (S_ISLNK(st.st_mode)) {
        path = linkedFileInside(root, path);
        if (path.isEmpty()) {
            if (error)
                *error = QStringLiteral("it is a link that does not lead to a file inside the document");
            return std::nullopt;
        }
    }
    QString reason;
    const int fd = openRegular(path, &reason);
    if (fd < 0) {
        if (error)
            *error = reason;
        return std::nullopt;
    }
    std::optional<QByteArray> bytes = readAll(fd, &reason);
    ::close(fd);
    if (!bytes && error)
        *error = reason;
    return bytes;
}

bool PackageFiles::removeWorkingLocation(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QString temp = QDir(QDir::tempPath()).canonicalPath();
    const QFileInfo info(path);
    const QString canonical = info.exists() ? info.canonicalFilePath() : QString();
    if (canonical.isEmpty() || temp.isEmpty() || !canonical.startsWith(temp + QLatin1Char('/')))
        return false;
    if (info.isDir() && !info.isSymLink())
        return QDir(canonical).removeRecursively();
    return QFile::remove(canonical);
}

void PackageFiles::recordWorkingOwner(const QString &workingLocation)
{
    QFile owner(ownerPath(workingLocation));
    if (owner.open(QIODevice::WriteOnly | QIODevice::Truncate))
        owner.write(QByteArray::number(qint64(::getpid())) + ' ' + processStart(::getpid()) + '\n');
}

void PackageFiles::forgetWorkingOwner(const QString &workingLocation)
{
    QFile::remove(ownerPath(workingLocation));
}

int PackageFiles::removeStaleWorkingCopies()
{
    const QDir temp(QDir::tempPath());
    int removed = 0;
    const QStringList owners = temp.entryList({QStringLiteral("*") + kOwnerSuffix}, QDir::Files | QDir::Hidden);
    for (const QString &name : owners) {
        QFile owner(temp.filePath(name));
        if (!owner.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> fields = owner.readAll().trimmed().split(' ');
        owner.close();
        bool ok = false;
        const qint64 pid = fields.value(0).toLongLong(&ok);
        if (!ok || pid <= 0)
            continue;
        const QByteArray start = processStart(pid);
        // Alive when the process is there and started when the record says; an unreadable start keeps it.
        if (!start.isEmpty() && (fields.size() < 2 || fields.at(1) == start))
            continue;
        if (start.isEmpty() && (::kill(pid_t(pid), 0) == 0 || errno == EPERM))
            continue;
        const QString location = temp.filePath(name.chopped(kOwnerSuffix.size()));
        for (const QString &suffix :
             {QString(), QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")})
            removeWorkingLocation(location + suffix);
        QFile::remove(temp.filePath(name));
        ++removed;
    }
    return removed;
}
