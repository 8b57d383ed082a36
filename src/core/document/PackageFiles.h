// PackageFiles: the file operations behind a document package: a copy that refuses hostile entries, reads of
// regular files only, and the working copies' owner records and cleanup.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace PackageFiles {
QString expandTilde(const QString &path);
// Copies the package `from` to the new directory `to`. Only folders and regular files are copied (a link to a
// regular file inside the package is copied as that file); anything else (a pipe, socket or device, a link
// leading out of the package) refuses the copy with `error` naming the entry.
bool copyDirectory(const QString &from, const QString &to, QString *error);
// The bytes of the regular file `path`, never blocking on a pipe or following a link out of `root`. Null with
// `error` set (the system's reason) when it is missing, unreadable or not a regular file; `missing` tells
// which.
std::optional<QByteArray> readRegularFile(const QString &root, const QString &relative, QString *error,
                                          bool *missing = nullptr);
// Deletes a working copy (file or directory), but only when it lies inside the system temporary directory.
bool removeWorkingLocation(const QString &path);

// A working copy "<tmp>/<uuid>" has an owner record "<tmp>/<uuid>.orvix-owner" naming the process that uses it,
// so a copy left by a process that is gone can be recognised and removed at the next start.
void recordWorkingOwner(const QString &workingLocation);
void forgetWorkingOwner(const QString &workingLocation);
// Removes every working copy whose owner process has ended; returns how many.
int removeStaleWorkingCopies();
} // namespace PackageFiles
