// PackageFiles: the file operations behind a document package: copying, atomic replacement, cleanup.
#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;

namespace PackageFiles {
QString expandTilde(const QString &path);
// Copies the directory tree `from` to the new directory `to`.
bool copyDirectory(const QString &from, const QString &to, QString *error);
// Replaces `path` with `bytes` through a file beside it, so the old content survives any failure.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error);
// Copies the open database `db` consistently (online backup) to `path`, replacing it atomically.
bool backupDatabase(sqlite3 *db, const QString &path, QString *error);
// Deletes a working copy (file or directory), but only when it lies inside the system temporary directory.
bool removeWorkingLocation(const QString &path);
} // namespace PackageFiles
