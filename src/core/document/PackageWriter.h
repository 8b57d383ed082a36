// PackageWriter: replaces a whole document package in one atomic step, so an interrupted save leaves the old or the
// new package, never a mix.
#pragma once

#include "PackageLock.h"

#include <QByteArray>
#include <QString>
#include <memory>

struct sqlite3;

// How a save works (the package "<dir>/Name.orvix" is a directory; its readers open it by path):
// 1. Take the package's exclusive lock (PackageLock) and remove what earlier interrupted saves left beside it.
// 2. Build the new package in a sibling "<dir>/.Name.orvix.saving-<pid>-<random>": entries the save does not
//    write are hard-linked (or copied) from the current package; MainDatabase, Objects and Contents/PkgInfo are
//    written fresh. Every file and directory is fsync'ed.
// 3. Exchange the two directories with renameat2(RENAME_EXCHANGE): one step, after which the path names the new
//    package and the sibling holds the old one. The parent directory is fsync'ed, then the sibling is removed.
//    A new package is simply renamed into place.
// 4. Where the file system refuses the exchange, a marker "<dir>/.Name.orvix.swap" naming the old package's
//    parking place is written (and synced) first, then the package is renamed aside and the new one into place.
//    If that is interrupted between the renames, the next open or save finds the marker and puts the old
//    package back.
// Any failure before step 3 removes the sibling and leaves the package as it was; a kill leaves only a sibling,
// which the next save or open removes. Names starting with ".Name.orvix." beside the package belong to it.
class PackageWriter {
public:
    explicit PackageWriter(const QString &packagePath);
    ~PackageWriter();
    PackageWriter(const PackageWriter &) = delete;
    PackageWriter &operator=(const PackageWriter &) = delete;

    // Locks, cleans up and prepares the new package beside the old. False with `error` set on failure.
    bool begin(QString *error);
    // Copies the open database `db` consistently (online backup) to the new package's `name`.
    bool writeDatabase(const QString &name, sqlite3 *db, QString *error);
    // Writes `bytes` as the new package's entry `relativePath` (intermediate folders are created).
    bool writeFile(const QString &relativePath, const QByteArray &bytes, QString *error);
    // Makes everything durable and switches the package to the new content.
    bool commit(QString *error);

    // Finishes or undoes what an interrupted save left beside `packagePath`. Needs the exclusive lock, which it
    // takes briefly itself; false (nothing done) while another writer holds it.
    static bool recoverInterruptedSave(const QString &packagePath);
    // True when names of an interrupted save lie beside the package.
    static bool hasLeftovers(const QString &packagePath);

private:
    bool fault(const char *step, QString *error);
    bool copyUnchangedEntries(QString *error);
    static void removeLeftovers(const QString &packagePath);

    QString m_package;
    QString m_staging;
    std::unique_ptr<PackageLock> m_lock;
    bool m_committed = false;
    int m_step = 0;
};
