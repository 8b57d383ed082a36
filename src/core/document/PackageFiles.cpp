// PackageFiles: copy, atomic write, online backup, guarded removal.
#include "PackageFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>
#include <sqlite3.h>

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
    const QDir source(from);
    if (!QDir().mkpath(to)) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(to);
        return false;
    }
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString entry = it.next();
        const QFileInfo info = it.fileInfo();
        const QString target = QDir(to).filePath(source.relativeFilePath(entry));
        if (info.isDir() && !info.isSymLink()) {
            if (!QDir().mkpath(target)) {
                if (error)
                    *error = QStringLiteral("cannot create %1").arg(target);
                return false;
            }
        } else if (!QFile::copy(entry, target)) {
            if (error)
                *error = QStringLiteral("cannot copy %1").arg(entry);
            return false;
        }
    }
    return true;
}

bool PackageFiles::writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool PackageFiles::backupDatabase(sqlite3 *db, const QString &path, QString *error)
{
    const QString temporary = path + QStringLiteral(".saving");
    QFile::remove(temporary);
    sqlite3 *target = nullptr;
    int rc = sqlite3_open(QFile::encodeName(temporary).constData(), &target);
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
    const QString message = target ? QString::fromUtf8(sqlite3_errmsg(target)) : QStringLiteral("out of memory");
    sqlite3_close(target);
    if (rc != SQLITE_OK) {
        QFile::remove(temporary);
        if (error)
            *error = message;
        return false;
    }
    // rename(2) replaces the old file in one step.
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(temporary);
        if (error)
            *error = QStringLiteral("cannot replace %1").arg(path);
        return false;
    }
    return true;
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
