// PackageWriter: the sibling package, its durable writes, the directory exchange and the recovery of leftovers.
#include "PackageWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#ifndef RENAME_EXCHANGE
#define RENAME_EXCHANGE (1 << 1)
#endif

namespace {
const QString kSaving = QStringLiteral("saving-");
const QString kOld = QStringLiteral("old-");
const QString kSwapMarker = QStringLiteral("swap");

QString errnoText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

QString parentOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

// The prefix of every name a save of `package` puts beside it.
QString siblingPrefix(const QString &package)
{
    return parentOf(package) + QStringLiteral("/.") + QFileInfo(package).fileName() + QLatin1Char('.');
}

QString uniqueSuffix()
{
    return QStringLiteral("%1-%2").arg(::getpid()).arg(QRandomGenerator::system()->generate64(), 0, 16);
}

bool syncPath(const QString &path, bool directory, QString *error)
{
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC | (directory ? O_DIRECTORY : 0));
    if (fd < 0 || ::fsync(fd) != 0) {
        const int saved = errno;
        if (fd >= 0)
            ::close(fd);
        if (error)
            *error = QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), errnoText(saved));
        return false;
    }
    ::close(fd);
    return true;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

// Creates `path` new with `bytes` and syncs it.
bool writeNewFile(const QString &path, const QByteArray &bytes, mode_t mode, QString *error)
{
    const int fd = ::open(native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    const bool written = fd >= 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    const int saved = errno;
    if (fd >= 0 && ::close(fd) != 0 && written) {
        if (error)
            *error = errnoText(errno);
        return false;
    }
    if (!written && error)
        *error = errnoText(saved);
    return written;
}

bool copyRegularFile(const QString &from, const QString &to, mode_t mode, QString *error)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(from, source.errorString());
        return false;
    }
    const int fd = ::open(native(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    bool ok = fd >= 0;
    while (ok && !source.atEnd()) {
        const QByteArray chunk = source.read(1 << 20);
        ok = !chunk.isEmpty() && writeAll(fd, chunk);
    }
    ok = ok && ::fsync(fd) == 0;
    const int saved = errno;
    if (fd >= 0)
        ::close(fd);
    if (!ok && error)
        *error = QStringLiteral("%1: %2").arg(to, errnoText(saved));
    return ok;
}

int exchange(const QString &a, const QString &b)
{
    return int(
        ::syscall(SYS_renameat2, AT_FDCWD, native(a).constData(), AT_FDCWD, native(b).constData(), RENAME_EXCHANGE));
}

// Test hook: "kill:N" ends the process at the Nth step of a save, "fail:N" makes that step fail as a full
// disk would. Read from ORVIX_SAVE_FAULT; nothing else sets it.
struct FaultPlan {
    enum Kind { None, Kill, Fail } kind = None;
    int step = 0;
};

FaultPlan faultPlan()
{
    const QString request = qEnvironmentVariable("ORVIX_SAVE_FAULT");
    FaultPlan plan;
    const int colon = request.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return plan;
    const QString kind = request.left(colon);
    plan.step = request.mid(colon + 1).toInt();
    plan.kind = kind == QLatin1String("kill")   ? FaultPlan::Kill
                : kind == QLatin1String("fail") ? FaultPlan::Fail
                                                : FaultPlan::None;
    return plan;
}

void syncDirectoriesBelow(const QString &root, QStringList &failures)
{
    const QFileInfoList entries =
        QDir(root).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &entry : entries)
        syncDirectoriesBelow(entry.absoluteFilePath(), failures);
    QString error;
    if (!syncPath(root, true, &error))
        failures << error;
}

void removeTree(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}
} // namespace

PackageWriter::PackageWriter(const QString &packagePath)
{
    const QFileInfo info(QDir::cleanPath(QFileInfo(packagePath).absoluteFilePath()));
    // A package reached through a link is written where it really is; the link stays a link.
    m_package = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
}

PackageWriter::~PackageWriter()
{
    if (!m_committed && !m_staging.isEmpty())
        removeTree(m_staging);
}

bool PackageWriter::fault(const char *step, QString *error)
{
    ++m_step;
    static thread_local FaultPlan plan;
    if (m_step == 1)
        plan = faultPlan();
    if (plan.kind == FaultPlan::None || plan.step != m_step)
        return true;
    if (plan.kind == FaultPlan::Kill)
        ::kill(::getpid(), SIGKILL);
    if (error)
        *error = QStringLiteral("%1: %2").arg(QLatin1String(step), errnoText(ENOSPC));
    return false;
}

bool PackageWriter::begin(QString *error)
{
    m_step = 0;
    m_lock = std::make_unique<PackageLock>(m_package, PackageLock::Mode::Exclusive);
    if (!m_lock->isLocked()) {
        if (error)
            *error = m_lock->error();
        return false;
    }
    // Under the exclusive lock no other save is running, so whatever lies beside the package is a leftover.
    removeLeftovers(m_package);
    const QFileInfo existing(m_package);
    if (existing.exists() && !existing.isDir()) {
        if (error)
            *error = QStringLiteral("\"%1\" is a file, not a document folder.").arg(existing.fileName());
        return false;
    }
    if (!QDir().mkpath(parentOf(m_package))) {
        if (error)
            *error = QStringLiteral("the folder \"%1\" could not be created").arg(parentOf(m_package));
        return false;
    }
    m_staging = siblingPrefix(m_package) + kSaving + uniqueSuffix();
    if (!fault("create", error))
        return false;
    if (::mkdir(native(m_staging).constData(), 0755) != 0) {
        const int saved = errno;
        m_staging.clear();
        if (error)
            *error = QStringLiteral("cannot create a folder beside \"%1\": %2")
                         .arg(QFileInfo(m_package).fileName(), errnoText(saved));
        return false;
    }
    return copyUnchangedEntries(error);
}

namespace {
// Entries a save writes itself (Accounts only when there are any), and SQLite's side files, which must never sit beside
// a new database: a stale journal would be rolled back into it.
bool writtenBySave(const QString &relative)
{
    static const QStringList names = {QStringLiteral("MainDatabase"),
                                      QStringLiteral("Objects"),
                                      QStringLiteral("Accounts"),
                                      QStringLiteral("Contents/PkgInfo"),
                                      QStringLiteral("MainDatabase-journal"),
                                      QStringLiteral("MainDatabase-wal"),
                                      QStringLiteral("MainDatabase-shm")};
    return names.contains(relative);
}

bool copyTree(const QString &from, const QString &to, const QString &relative, QString *error)
{
    const QFileInfoList entries =
        QDir(from).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo &entry : entries) {
        const QString rel = relative.isEmpty() ? entry.fileName() : relative + QLatin1Char('/') + entry.fileName();
        if (writtenBySave(rel))
            continue;
        const QString target = to + QLatin1Char('/') + entry.fileName();
        struct stat st {};
        if (::lstat(native(entry.absoluteFilePath()).constData(), &st) != 0)
            continue; // gone meanwhile
        if (S_ISDIR(st.st_mode)) {
            if (::mkdir(native(target).constData(), st.st_mode & 07777) != 0) {
                if (error)
                    *error = QStringLiteral("%1: %2").arg(rel, errnoText(errno));
                return false;
            }
            if (!copyTree(entry.absoluteFilePath(), target, rel, error))
                return false;
        } else if (S_ISREG(st.st_mode)) {
            // The old package is removed after the switch, so sharing the unchanged file's data is safe.
            if (::link(native(entry.absoluteFilePath()).constData(), native(target).constData()) != 0 &&
                !copyRegularFile(entry.absoluteFilePath(), target, st.st_mode & 07777, error))
                return false;
        } else if (S_ISLNK(st.st_mode)) {
            // A link is kept as the link it is, never followed.
            char buffer[4096];
            const ssize_t n = ::readlink(native(entry.absoluteFilePath()).constData(), buffer, sizeof buffer - 1);
            if (n > 0) {
                buffer[n] = '\0';
                if (::symlink(buffer, native(target).constData()) != 0) {
                    if (error)
                        *error = QStringLiteral("%1: %2").arg(rel, errnoText(errno));
                    return false;
                }
            }
        }
        // Pipes, sockets and devices are not document content; they are not carried over.
    }
    return true;
}
} // namespace

bool PackageWriter::copyUnchangedEntries(QString *error)
{
    if (!QFileInfo(m_package).isDir())
        return true;
    if (!fault("copy", error))
        return false;
    QString copyError;
    if (!copyTree(m_package, m_staging, QString(), &copyError)) {
        if (error)
            *error = QStringLiteral("the other entries of the document could not be copied: %1").arg(copyError);
        return false;
    }
    return true;
}

bool PackageWriter::writeDatabase(const QString &name, sqlite3 *db, QString *error)
{
    const QString path = m_staging + QLatin1Char('/') + name;
    if (!fault("database", error))
        return false;
    sqlite3 *target = nullptr;
    int rc = sqlite3_open_v2(native(path).constData(), &target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    QString message;
    if (rc == SQLITE_OK) {
        sqlite3_backup *backup = sqlite3_backup_init(target, "main", db, "main");
        if (backup) {
            rc = sqlite3_backup_step(backup, -1);
            sqlite3_backup_finish(backup);
            rc = rc == SQLITE_DONE ? SQLITE_OK : rc;
        } else {
            rc = sqlite3_errcode(target);
        }
    }
    if (rc != SQLITE_OK)
        message = target ? QString::fromUtf8(sqlite3_errmsg(target)) : QString::fromUtf8(sqlite3_errstr(rc));
    if (rc == SQLITE_OK && sqlite3_errcode(target) != SQLITE_OK && sqlite3_errcode(target) != SQLITE_DONE)
        message = QString::fromUtf8(sqlite3_errmsg(target));
    if (target && sqlite3_close(target) != SQLITE_OK && message.isEmpty())
        message = QString::fromUtf8(sqlite3_errmsg(target));
    if (rc != SQLITE_OK) {
        if (message.isEmpty() || message == QLatin1String("not an error"))
            message = QString::fromUtf8(sqlite3_errstr(rc));
        if (error)
            *error = message;
        return false;
    }
    QString syncError;
    if (!fault("sync database", error))
        return false;
    if (!syncPath(path, false, &syncError)) {
        if (error)
            *error = syncError;
        return false;
    }
    return true;
}

bool PackageWriter::writeFile(const QString &relativePath, const QByteArray &bytes, QString *error)
{
    const QString path = m_staging + QLatin1Char('/') + relativePath;
    const QString folder = parentOf(path);
    if (!QFileInfo(folder).isDir() && ::mkdir(native(folder).constData(), 0755) != 0) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QFileInfo(folder).fileName(), errnoText(errno));
        return false;
    }
    if (!fault("write", error))
        return false;
    return writeNewFile(path, bytes, 0644, error);
}

bool PackageWriter::commit(QString *error)
{
    if (m_staging.isEmpty()) {
        if (error)
            *error = QStringLiteral("the save was not started");
        return false;
    }
    if (!fault("sync folders", error))
        return false;
    QStringList failures;
    syncDirectoriesBelow(m_staging, failures);
    if (!failures.isEmpty()) {
        if (error)
            *error = failures.first();
        return false;
    }
    const QString parent = parentOf(m_package);
    if (!QFileInfo::exists(m_package)) {
        if (!fault("rename", error))
            return false;
        if (::rename(native(m_staging).constData(), native(m_package).constData()) != 0) {
            if (error)
                *error = errnoText(errno);
            return false;
        }
        m_staging.clear();
    } else {
        if (!fault("exchange", error))
            return false;
        const bool forceFallback = qEnvironmentVariableIsSet("ORVIX_SAVE_NO_EXCHANGE");
        if (forceFallback || exchange(m_staging, m_package) != 0) {
            const int saved = forceFallback ? EINVAL : errno;
            if (saved != EINVAL && saved != ENOSYS && saved != ENOTSUP && saved != EOPNOTSUPP) {
                if (error)
                    *error = errnoText(saved);
                return false;
            }
            // No exchange here: park the old package under a name the marker records, then move the new in.
            const QString old = siblingPrefix(m_package) + kOld + uniqueSuffix();
            const QString marker = siblingPrefix(m_package) + kSwapMarker;
            QString markerError;
            QFile::remove(marker);
            if (!writeNewFile(marker, QFileInfo(old).fileName().toUtf8(), 0644, &markerError) ||
                !syncPath(parent, true, &markerError)) {
                QFile::remove(marker);
                if (error)
                    *error = markerError;
                return false;
            }
            if (!fault("park old", error)) {
                QFile::remove(marker);
                return false;
            }
            if (::rename(native(m_package).constData(), native(old).constData()) != 0) {
                const int code = errno;
                QFile::remove(marker);
                if (error)
                    *error = errnoText(code);
                return false;
            }
            if (!fault("place new", error)) {
                ::rename(native(old).constData(), native(m_package).constData());
                QFile::remove(marker);
                return false;
            }
            if (::rename(native(m_staging).constData(), native(m_package).constData()) != 0) {
                const int code = errno;
                ::rename(native(old).constData(), native(m_package).constData());
                QFile::remove(marker);
                if (error)
                    *error = errnoText(code);
                return false;
            }
            m_staging = old;
            syncPath(parent, true, nullptr);
            QFile::remove(marker);
        }
    }
    m_committed = true;
    // From here the new package is in place; what follows only tidies up.
    QString ignored;
    if (fault("sync parent", &ignored))
        syncPath(parent, true, nullptr);
    if (!m_staging.isEmpty() && fault("remove old", &ignored))
        removeTree(m_staging);
    m_staging.clear();
    return true;
}

bool PackageWriter::hasLeftovers(const QString &packagePath)
{
    const QFileInfo info(QDir::cleanPath(QFileInfo(packagePath).absoluteFilePath()));
    const QString package = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    const QString prefix = QStringLiteral(".") + QFileInfo(package).fileName() + QLatin1Char('.');
    const QStringList names = QDir(parentOf(package)).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    for (const QString &name : names)
        if (name.startsWith(prefix + kSaving) || name.startsWith(prefix + kOld) || name == prefix + kSwapMarker)
            return true;
    return false;
}

bool PackageWriter::recoverInterruptedSave(const QString &packagePath)
{
    PackageWriter writer(packagePath);
    PackageLock lock(writer.m_package, PackageLock::Mode::Exclusive);
    if (!lock.isLocked())
        return false;
    removeLeftovers(writer.m_package);
    return true;
}

void PackageWriter::removeLeftovers(const QString &package)
{
    const QString parent = parentOf(package);
    const QString prefix = QStringLiteral(".") + QFileInfo(package).fileName() + QLatin1Char('.');
    const QString marker = parent + QLatin1Char('/') + prefix + kSwapMarker;
    QFile markerFile(marker);
    if (markerFile.open(QIODevice::ReadOnly)) {
        const QString old = QString::fromUtf8(markerFile.readAll()).trimmed();
        markerFile.close();
        // Interrupted between the two renames of a save without exchange: the old package goes back.
        if (old.startsWith(prefix + kOld) && !old.contains(QLatin1Char('/')) && !QFileInfo::exists(package) &&
            QFileInfo(parent + QLatin1Char('/') + old).isDir()) {
            ::rename(native(parent + QLatin1Char('/') + old).constData(), native(package).constData());
            syncPath(parent, true, nullptr);
        }
        QFile::remove(marker);
    }
    const QStringList names = QDir(parent).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    for (const QString &name : names)
        if (name.startsWith(prefix + kSaving) || name.startsWith(prefix + kOld))
            removeTree(parent + QLatin1Char('/') + name);
}
