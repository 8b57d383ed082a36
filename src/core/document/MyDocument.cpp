// MyDocument: new, open, save and close of a package, and the operations on its named items.
#include "MyDocument.h"
#include "DesignVocabulary.h"

#include "Alert.h"
#include "KeyedArchive.h"
#include "LMBackupStore.h"
#include "LMTableDesignRecovery.h"
#include "LMUUID.h"
#include "OXDBMediaCache.h"
#include "OXDatabase.h"
#include "PackageCrypto.h"
#include "PackageFiles.h"
#include "PackageLock.h"
#include "PackageWriter.h"
#include "Resources.h"
#include "Ui.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUndoStack>
#include <QWidget>
#include <sqlite3.h>

namespace {
const QString kObjects = QStringLiteral("Objects");
const QString kMainDatabase = QStringLiteral("MainDatabase");
const QString kAccounts = QStringLiteral("Accounts");

QString newWorkingLocation()
{
    const QString location = QDir::tempPath() + QLatin1Char('/') + LMUUID::generate();
    PackageFiles::recordWorkingOwner(location);
    return location;
}
} // namespace

MyDocument::MyDocument() : m_undoStack(std::make_unique<QUndoStack>()) {}

MyDocument::~MyDocument()
{
    close();
}

QWidget *MyDocument::window() const
{
    return qobject_cast<QWidget *>(m_window.data());
}

void MyDocument::setWindow(QWidget *window)
{
    m_window = window;
}

QString MyDocument::normalizedType(const QString &type)
{
    return type == QLatin1String("com.tandrel.orvix") ? QStringLiteral("Orvix") : type;
}

QString MyDocument::bundleVersion()
{
    return QStringLiteral(ORVIX_VERSION);
}

bool MyDocument::openDatabase(const QString &path, QString *error)
{
    m_path = path;
    m_database = std::make_unique<OXDatabase>(m_path, this);
    if (!m_database->open()) {
        if (error)
            *error = QStringLiteral("The database could not be opened: %1").arg(m_database->lastError());
        m_database.reset();
        return false;
    }
    // Opening succeeds lazily on a file that is not SQLite; read the schema once so it fails here instead.
    sqlite3_stmt *statement = nullptr;
    const int rc =
        sqlite3_prepare_v2(m_database->handle(), "SELECT count(*) FROM sqlite_master", -1, &statement, nullptr);
    const bool readable = rc == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW;
    const QString message = QString::fromUtf8(sqlite3_errmsg(m_database->handle()));
    sqlite3_finalize(statement);
    if (!readable) {
        if (error)
            *error = QStringLiteral("The database of this document is damaged or is not a database: %1").arg(message);
        m_database->close();
        m_database.reset();
        return false;
    }
    m_mediaCache = std::make_unique<OXDBMediaCache>(m_database.get());
    return true;
}

std::unique_ptr<MyDocument> MyDocument::createNew(QString *error)
{
    std::unique_ptr<MyDocument> doc(new MyDocument);
    const QString location = newWorkingLocation();
    // Only the user may read the working database (SQLite gives its journals the same permissions).
    {
        QFile file(location);
        if (file.open(QIODevice::WriteOnly))
            file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
    if (!doc->openDatabase(location, error))
        return nullptr;
    doc->m_database->performQuery(QStringLiteral(
        "CREATE TABLE `LM_Tables` (`id` INTEGER PRIMARY KEY AUTOINCREMENT, `tableName` TEXT, `columnName` TEXT, "
        "`columnType` TEXT, `unique` TEXT, `notNull` TEXT, `default` TEXT, `check` TEXT, `regex` TEXT, "
        "`format` TEXT)"));
    doc->m_database->performQuery(QStringLiteral(
        "CREATE TABLE `LM_SearchIndex` (`id` INTEGER PRIMARY KEY AUTOINCREMENT, `type` TEXT, `name` TEXT, "
        "`value` TEXT)"));
    if (doc->m_database->lastErrorID() != 0) {
        if (error)
            *error = doc->m_database->lastError();
        return nullptr;
    }
    return doc;
}

std::unique_ptr<MyDocument> MyDocument::open(const QString &packagePath, const QString &type, QString *error)
{
    return openPackage(packagePath, type, std::nullopt, error);
}

std::unique_ptr<MyDocument> MyDocument::openProtected(const QString &packagePath, const QString &password,
                                                      QString *error)
{
    return openPackage(packagePath, QStringLiteral("Orvix"), password, error);
}

bool MyDocument::isProtectedPackage(const QString &packagePath)
{
    const QDir package(PackageFiles::expandTilde(packagePath));
    for (const QString &entry : {kObjects, kMainDatabase, kAccounts}) {
        // Only a regular file is read: opening a pipe planted in a package would block.
        const QFileInfo info(package.filePath(entry));
        if (info.isSymLink() || !info.isFile())
            continue;
        QFile file(info.filePath());
        if (file.open(QIODevice::ReadOnly) && PackageCrypto::isSealed(file.read(16)))
            return true;
    }
    return false;
}

std::unique_ptr<MyDocument> MyDocument::openPackage(const QString &packagePath, const QString &type,
                                                    const std::optional<QString> &password, QString *error)
{
    auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return nullptr;
    };
    if (normalizedType(type) != QLatin1String("Orvix"))
        return fail(QStringLiteral("Documents of type \"%1\" cannot be opened as Orvix documents.").arg(type));
    QString package = QFileInfo(PackageFiles::expandTilde(packagePath)).absoluteFilePath();
    // A save that was cut off between its two renames is put right before the package is looked at.
    if (PackageWriter::hasLeftovers(package))
        PackageWriter::recoverInterruptedSave(package);
    const QFileInfo info(package);
    if (!info.exists())
        return fail(QStringLiteral("The document \"%1\" does not exist.").arg(packagePath));
    if (!info.isDir())
        return fail(QStringLiteral("\"%1\" is not an Orvix document: a document is a folder.").arg(packagePath));
    package = info.canonicalFilePath();
    // Shared: a save running now finishes its swap first, so the designs and the database read here match.
    const PackageLock lock(package, PackageLock::Mode::Shared);
    if (!lock.isLocked())
        return fail(lock.error());

    std::unique_ptr<MyDocument> doc(new MyDocument);
    if (isProtectedPackage(package)) {
        if (!password)
            return fail(QStringLiteral("The document \"%1\" is protected: its password is needed to open it.")
                            .arg(packagePath));
        doc->m_cipher = std::make_unique<PackageCipher>(*password);
    }
    QString objectsError;
    bool objectsMissing = false;
    std::optional<QByteArray> objects =
        PackageFiles::readRegularFile(package, kObjects, &objectsError, &objectsMissing);
    if (objects) {
        objects = doc->entryFromPackage(kObjects, *objects, &objectsError);
        if (!objects)
            return fail(objectsError);
    }
    if (objects && !doc->readDesigns(*objects, packagePath, error))
        return nullptr;
    if (!doc->m_relationships.isDict())
        doc->m_relationships = Value::dict();

    QString readError;
    bool accountsMissing = false;
    const std::optional<QByteArray> storedAccounts =
        PackageFiles::readRegularFile(package, kAccounts, &readError, &accountsMissing);
    if (!accountsMissing) {
        const std::optional<QByteArray> bytes = storedAccounts
                                                    ? doc->entryFromPackage(kAccounts, *storedAccounts, &readError)
                                                    : std::optional<QByteArray>();
        if (!bytes)
            return fail(QStringLiteral("The users of \"%1\" could not be read: %2").arg(packagePath, readError));
        const std::optional<Value> root = KeyedArchive::unarchiveTop(*bytes, &readError);
        if (!root || !doc->readAccounts(*root, &readError))
            return fail(QStringLiteral("The users of \"%1\" are damaged (%2).").arg(packagePath, readError));
    }

    const QString working = newWorkingLocation();
    QString copyError;
    // Only the user may read the working copy: it holds the open database in clear.
    const bool privateDirectory =
        QDir().mkpath(working) &&
        QFile::setPermissions(working, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!privateDirectory || !PackageFiles::copyDirectory(package, working, &copyError)) {
        PackageFiles::removeWorkingLocation(working);
        return fail(QStringLiteral("The document \"%1\" cannot be opened: %2.").arg(packagePath, copyError));
    }
    doc->m_workingDirectory = working;
    const QString databasePath = QDir(working).filePath(kMainDatabase);
    if (doc->m_cipher && QFileInfo::exists(databasePath)) {
        QString sealError;
        const std::optional<QByteArray> stored = PackageFiles::readRegularFile(working, kMainDatabase, &sealError);
        const std::optional<QByteArray> plain =
            stored ? doc->entryFromPackage(kMainDatabase, *stored, &sealError) : std::optional<QByteArray>();
        QSaveFile clear(databasePath);
        const bool written =
            plain && clear.open(QIODevice::WriteOnly) && clear.write(*plain) == plain->size() && clear.commit();
        if (plain && !written)
            sealError = QStringLiteral("The working copy could not be written: %1").arg(clear.errorString());
        if (!written) {
            doc->discardWorkingCopy();
            return fail(sealError);
        }
    }
    // Opening designs over an empty database would let the next save write designs without their tables.
    if (QFileInfo(databasePath).size() == 0 && doc->m_tables.size() > 0) {
        QStringList names;
        for (int i = 0; i < doc->m_tables.size(); ++i)
            names << QStringLiteral("\"%1\"").arg(doc->m_tables.at(i).value(DesignKey::Name).toString());
        const QString state = QFileInfo::exists(databasePath) ? QStringLiteral("empty") : QStringLiteral("missing");
        doc->discardWorkingCopy();
        return fail(QStringLiteral("The document \"%1\" cannot be opened: its database (the entry \"%2\") is %3, "
                                   "but its designs name the tables %4.")
                        .arg(packagePath, kMainDatabase, state, names.join(QStringLiteral(", "))));
    }
    if (!doc->openDatabase(databasePath, error)) {
        doc->discardWorkingCopy();
        return nullptr;
    }
    doc->m_fileName = package;
    doc->recoverMissingDesigns(packagePath, objects ? QString() : (objectsMissing ? QString() : objectsError),
                               !objects);
    return doc;
}

std::unique_ptr<MyDocument> MyDocument::openForWriting(const QString &packagePath, const QString &type, QString *error,
                                                       const std::optional<QString> &password)
{
    auto lock = std::make_unique<PackageLock>(PackageFiles::expandTilde(packagePath), PackageLock::Mode::Exclusive);
    if (!lock->isLocked()) {
        if (error)
            *error = lock->error();
        return nullptr;
    }
    std::unique_ptr<MyDocument> doc = openPackage(packagePath, type, password, error);
    if (doc)
        doc->m_writeLock = std::move(lock);
    return doc;
}

bool MyDocument::readDesigns(const QByteArray &bytes, const QString &packagePath, QString *error)
{
    auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    QString archiveError;
    // A damaged design archive is refused: opening it empty would let the next save erase the designs.
    const std::optional<Value> root = KeyedArchive::unarchiveTop(bytes, &archiveError);
    if (!root || !root->isDict())
        return fail(QStringLiteral("The designs of \"%1\" are damaged (%2).").arg(packagePath, archiveError));
    struct Slot {
        ItemKind kind;
        Value *target;
    };
    const Slot arrays[] = {{ItemKind::Table, &m_tables},
                           {ItemKind::Query, &m_queries},
                           {ItemKind::Form, &m_forms},
                           {ItemKind::Report, &m_reports},
                           {ItemKind::Script, &m_scripts}};
    for (const Slot &slot : arrays) {
        const Value v = root->value(ItemKinds::mode(slot.kind));
        if (v.isNull())
            continue;
        if (!v.isArray())
            return fail(QStringLiteral("The designs of \"%1\" are damaged (\"%2\" is not a list).")
                            .arg(packagePath, ItemKinds::mode(slot.kind)));
        *slot.target = v;
    }
    const Value relationships = root->value(RelationshipKey::Relationships);
    if (!relationships.isNull() && !relationships.isDict())
        return fail(QStringLiteral("The designs of \"%1\" are damaged (\"Relationships\" is not a dictionary).")
                        .arg(packagePath));
    if (relationships.isDict())
        m_relationships = relationships.deepCopy();
    const Value backups = root->value(QStringLiteral("Backups"));
    if (backups.isArray())
        m_backups = LMBackupStore::fromStoredForm(backups);
    return true;
}

void MyDocument::recoverMissingDesigns(const QString &packagePath, const QString &objectsError, bool objectsLost)
{
    QStringList recovered;
    for (const QString &table : LMTableDesignRecovery::userTables(m_database->handle())) {
        if (indexOfItemNamed(m_tables, table) >= 0)
            continue;
        m_tables.append(LMTableDesignRecovery::designForTable(m_database->handle(), table));
        recovered << QStringLiteral("\"%1\"").arg(table);
    }
    if (recovered.isEmpty())
        return;
    const QString name = QFileInfo(packagePath).fileName();
    const QString tables = recovered.join(QStringLiteral(", "));
    QString informative;
    if (!objectsLost)
        informative = QStringLiteral("The tables %1 of \"%2\" had no design; they were given designs rebuilt from "
                                     "their columns.")
                          .arg(tables, name);
    else
        informative = QStringLiteral("The entry \"%1\" of \"%2\" %3, so the tables %4 were given designs rebuilt "
                                     "from their columns. Its queries, forms, reports, scripts and relationships "
                                     "could not be recovered.")
                          .arg(kObjects, name,
                               objectsError.isEmpty() ? QStringLiteral("is missing")
                                                      : QStringLiteral("could not be read (%1)").arg(objectsError),
                               tables);
    Ui::instance().runAlert(Alert::make(QStringLiteral("The designs of this document were incomplete"), informative),
                            window());
    // Saved with the next save, so the tables stay visible.
    setChanged(true);
}

void MyDocument::discardWorkingCopy()
{
    if (m_database) {
        m_mediaCache.reset();
        m_database->close();
        m_database.reset();
    }
    PackageFiles::removeWorkingLocation(m_workingDirectory);
    PackageFiles::forgetWorkingOwner(m_workingDirectory);
    m_workingDirectory.clear();
    m_path.clear();
}

Value MyDocument::relationships()
{
    if (!m_relationships.isDict())
        m_relationships = Value::dict();
    return m_relationships;
}

Value MyDocument::archiveRoot() const
{
    Value root = Value::dict();
    root.set(QStringLiteral("Version"), bundleVersion());
    for (const ItemKind kind : ItemKinds::all())
        root.set(ItemKinds::mode(kind), collection(kind));
    root.set(RelationshipKey::Relationships, m_relationships.isDict() ? m_relationships : Value::dict());
    // Kept so a user's backup definitions survive closing the document; passwords are sealed.
    if (!m_backups.isEmpty())
        root.set(QStringLiteral("Backups"), LMBackupStore::storedForm(m_backups));
    return root;
}

bool MyDocument::save(const QString &packagePath, const QString &type, QString *error)
{
    auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    if (!m_database)
        return fail(QStringLiteral("The document is closed."));
    if (normalizedType(type) != QLatin1String("Orvix"))
        return fail(QStringLiteral("Documents cannot be saved as \"%1\".").arg(type));
    if (m_viewHost)
        m_viewHost->cleanUpAllViews();

    const QString package = QFileInfo(PackageFiles::expandTilde(packagePath)).absoluteFilePath();
    QString archiveError;
    const QByteArray archive = KeyedArchive::archiveTop(archiveRoot(), &archiveError);
    if (archive.isEmpty())
        return fail(QStringLiteral("The designs could not be saved: %1").arg(archiveError));
    QString stepError;
    const std::optional<QByteArray> objects = entryForSave(kObjects, archive, &stepError);
    if (!objects)
        return fail(QStringLiteral("The designs could not be saved: %1").arg(stepError));
    const Value accountsValue = accountsRoot();
    std::optional<QByteArray> accounts;
    if (!accountsValue.isNull()) {
        accounts = entryForSave(kAccounts, KeyedArchive::archiveTop(accountsValue), &stepError);
        if (!accounts)
            return fail(QStringLiteral("The users could not be saved: %1").arg(stepError));
    }
    const std::optional<QByteArray> pkgInfo = Resources::read(QStringLiteral("PkgInfoTemplate"));
    if (!pkgInfo)
        return fail(QStringLiteral("The resource \"PkgInfoTemplate\" is missing."));

    // The whole package is built beside the old one and switched in one step (see PackageWriter).
    PackageWriter writer(package);
    if (!writer.begin(&stepError))
        return fail(QStringLiteral("The document could not be saved: %1").arg(stepError));
    if (!writeDatabaseEntry(writer, &stepError))
        return fail(QStringLiteral("The database could not be saved: %1").arg(stepError));
    if (!writer.writeFile(kObjects, *objects, &stepError))
        return fail(QStringLiteral("The designs could not be saved: %1").arg(stepError));
    if (accounts && !writer.writeFile(kAccounts, *accounts, &stepError))
        return fail(QStringLiteral("The users could not be saved: %1").arg(stepError));
    if (!writer.writeFile(QStringLiteral("Contents/PkgInfo"), *pkgInfo, &stepError))
        return fail(QStringLiteral("The package information could not be saved: %1").arg(stepError));
    if (!writer.commit(&stepError))
        return fail(QStringLiteral("The document could not be saved: %1").arg(stepError));

    m_fileName = package;
    setChanged(false);
    if (m_viewHost)
        m_viewHost->documentDidSave();
    emit didSave(package);
    return true;
}

void MyDocument::close()
{
    if (!m_database)
        return;
    emit aboutToClose();
    m_mediaCache.reset();
    m_database->close();
    m_database.reset();
    // Only the private working copy is deleted; the package changes only through save.
    const QString location = m_workingDirectory.isEmpty() ? m_path : m_workingDirectory;
    PackageFiles::removeWorkingLocation(location);
    PackageFiles::forgetWorkingOwner(location);
    m_workingDirectory.clear();
    m_path.clear();
    m_writeLock.reset();
}

void MyDocument::setChanged(bool changed)
{
    const bool was = isChanged();
    m_changeCount = changed ? m_changeCount + 1 : 0;
    if (was != isChanged())
        emit changedStateChanged(isChanged());
}

bool MyDocument::saveDatabase()
{
    return m_database && m_database->save();
}

int MyDocument::indexOfItemNamed(const Value &collection, const QString &name)
{
    for (int i = 0; i < collection.size(); ++i)
        if (collection.at(i).value(DesignKey::Name).toString() == name)
            return i;
    return -1;
}

Value MyDocument::itemNamed(const Value &collection, const QString &name)
{
    const int index = indexOfItemNamed(collection, name);
    return index < 0 ? Value() : collection.at(index);
}

void MyDocument::itemDidRename(ItemKind kind, const QString &oldName, const QString &newName, const void *sender)
{
    if (m_viewHost)
        m_viewHost->broadcastRename(kind, oldName, newName, sender);
}

void MyDocument::itemDidDelete(ItemKind kind, const QString &name)
{
    if (m_viewHost)
        m_viewHost->broadcastDelete(kind, name);
}

Value MyDocument::collection(ItemKind kind) const
{
    switch (kind) {
    case ItemKind::Table: return m_tables;
    case ItemKind::Query: return m_queries;
    case ItemKind::Form: return m_forms;
    case ItemKind::Report: return m_reports;
    case ItemKind::Script: return m_scripts;
    }
    return Value();
}

Value MyDocument::addNewDesign(ItemKind kind)
{
    Value items = collection(kind);
    const QString base = ItemKinds::info(kind).newLabel;
    QString name = base;
    for (int n = 2; indexOfItemNamed(items, name) >= 0; ++n)
        name = QStringLiteral("%1 %2").arg(base).arg(n);
    Value design = Value::dict({{DesignKey::Name, name}});
    items.append(design);
    setChanged(true);
    return design;
}

void MyDocument::seedDefaultUsersAndGroups()
{
    const Value fullAccess = Value::dict({{QStringLiteral("Table Edit"), QStringLiteral("ABC")}});
    if (m_groups.isEmpty())
        m_groups.append(
            Value::dict({{AccountKey::Name, QStringLiteral("Administrators")}, {AccountKey::Permissions, fullAccess}}));
    if (m_users.isEmpty())
        m_users.append(Value::dict({{AccountKey::Name, QStringLiteral("Admin")},
                                    {AccountKey::Group, QStringLiteral("Administrators")},
                                    {AccountKey::Password, QStringLiteral("")},
                                    {AccountKey::Permissions, fullAccess.deepCopy()}}));
}

bool MyDocument::removeItemNamed(ItemKind itemKind, const QString &name)
{
    const QString kind = ItemKinds::info(itemKind).noun;
    const bool isTable = itemKind == ItemKind::Table;
    Value collection = this->collection(itemKind);
    if (isTable) {
        if (!m_database || !m_database->tablesList().contains(name))
            return false;
    } else if (indexOfItemNamed(collection, name) < 0) {
        return false;
    }

    const QStringList tabs = m_viewHost ? m_viewHost->openTabIdentifiers() : QStringList();
    for (const QString &identifier : tabs) {
        if (identifier != ItemKinds::overview() && !identifier.isEmpty()) {
            Ui::instance().runAlert(
                Alert::make(QStringLiteral("Please close all non-overview tabs"),
                            QStringLiteral("You must close all non-overview tabs before deleting this %1.").arg(kind)),
                window());
            return false;
        }
    }

    const Alert confirm = Alert::make(
        QStringLiteral("Confirm Delete"),
        QStringLiteral("Are you sure you want to delete the '%1' %2? Deleting this %2 may break other objects "
                       "referencing it (e.g. a script).")
            .arg(name, kind),
        {QStringLiteral("Delete"), QStringLiteral("Cancel")});
    if (Ui::instance().runAlertButton(confirm, window()) != QLatin1String("Delete"))
        return false;

    if (isTable) {
        // Drop first: a design removed for a table that stays would leave rows no view can reach.
        m_database->performQuery(QStringLiteral("DROP TABLE IF EXISTS %1").arg(QLiteDatabase::quoteIdentifier(name)));
        if (m_database->lastErrorID() != QLSuccess) {
            Ui::instance().runAlert(
                Alert::make(QStringLiteral("The table could not be deleted"), m_database->lastError()), window());
            return false;
        }
        m_database->deleteTableDesign(name);
        // Every relationship record of the table goes now (one audit removes one), so no subtable of another
        // table is left pointing at a table that is gone.
        const int records = relationships().value(RelationshipKey::Lines).size();
        for (int pass = 0; pass <= records && m_database->auditRelationships(); ++pass) {
        }
    } else {
        collection.removeAt(indexOfItemNamed(collection, name));
    }

    if (m_viewHost)
        m_viewHost->reloadSourceList();
    itemDidDelete(itemKind, name);
    if (m_viewHost)
        m_viewHost->refreshAllViews();
    setChanged(true);
    return true;
}

bool MyDocument::removeTableNamed(const QString &name)
{
    return removeItemNamed(ItemKind::Table, name);
}
bool MyDocument::removeQueryNamed(const QString &name)
{
    return removeItemNamed(ItemKind::Query, name);
}
bool MyDocument::removeFormNamed(const QString &name)
{
    return removeItemNamed(ItemKind::Form, name);
}
bool MyDocument::removeReportNamed(const QString &name)
{
    return removeItemNamed(ItemKind::Report, name);
}
bool MyDocument::removeScriptNamed(const QString &name)
{
    return removeItemNamed(ItemKind::Script, name);
}

bool MyDocument::removeUserNamed(const QString &name)
{
    const int index = indexOfItemNamed(m_users, name);
    if (index < 0)
        return false;
    m_users.removeAt(index);
    if (m_viewHost) {
        m_viewHost->reloadSourceList();
        m_viewHost->refreshAllViews();
    }
    setChanged(true);
    return true;
}

bool MyDocument::vacuuuuuum()
{
    if (!m_database)
        return false;
    const Alert alert =
        Alert::make(QStringLiteral("Are you sure you want to clean the database"),
                    QStringLiteral("Cleaning the database will reduce the size and may increase performace."),
                    {QStringLiteral("Clean"), QStringLiteral("Cancel")});
    if (Ui::instance().runAlertButton(alert, window()) != QLatin1String("Clean"))
        return false;
    m_database->performQuery(QStringLiteral("VACUUM"));
    setChanged(true);
    return m_database->lastErrorID() == 0;
}

std::optional<QByteArray> MyDocument::entryForSave(const QString &entry, const QByteArray &plain, QString *error)
{
    if (!m_cipher)
        return plain;
    QByteArray sealed = m_cipher->seal(entry, plain, error);
    if (sealed.isEmpty())
        return std::nullopt;
    return sealed;
}

std::optional<QByteArray> MyDocument::entryFromPackage(const QString &entry, const QByteArray &stored, QString *error)
{
    if (!m_cipher)
        return stored;
    // In a protected package every entry is sealed; a clear one would be a substitute.
    if (!PackageCrypto::isSealed(stored)) {
        if (error)
            *error =
                QStringLiteral("The protected document's entry \"%1\" is not encrypted; it was replaced.").arg(entry);
        return std::nullopt;
    }
    return m_cipher->unseal(entry, stored, error);
}

bool MyDocument::writeDatabaseEntry(PackageWriter &writer, QString *error)
{
    if (!m_cipher)
        return writer.writeDatabase(kMainDatabase, m_database->handle(), error);
    // The database is copied in memory, so no clear copy of it is ever written beside the sealed one.
    sqlite3_int64 size = 0;
    unsigned char *image = sqlite3_serialize(m_database->handle(), "main", &size, 0);
    if (!image) {
        if (error)
            *error = QString::fromUtf8(sqlite3_errmsg(m_database->handle()));
        return false;
    }
    QByteArray plain(reinterpret_cast<const char *>(image), qsizetype(size));
    sqlite3_free(image);
    const std::optional<QByteArray> sealed = entryForSave(kMainDatabase, plain, error);
    plain.fill('\0');
    return sealed && writer.writeFile(kMainDatabase, *sealed, error);
}

Value MyDocument::accountsRoot()
{
    if (m_users.isEmpty() && m_groups.isEmpty() && m_securityLevel == 0 && m_masterPassword.isEmpty())
        return Value();
    // A password digest is fast to attack, so the package keeps only a salted, slow verifier of it.
    for (int i = 0; i < m_users.size(); ++i) {
        Value user = m_users.at(i);
        const QString password = user.value(AccountKey::Password).toString();
        if (!password.isEmpty() && !PackageCrypto::isVerifier(password))
            user.set(AccountKey::Password, PackageCrypto::makeVerifier(password.toUtf8()));
    }
    Value root = Value::dict();
    root.set(QStringLiteral("Version"), bundleVersion());
    root.set(QStringLiteral("Users"), m_users);
    root.set(QStringLiteral("Groups"), m_groups);
    root.set(QStringLiteral("SecurityLevel"), Value(qint64(m_securityLevel)));
    root.set(QStringLiteral("MasterPassword"), m_masterPassword);
    return root;
}

bool MyDocument::readAccounts(const Value &root, QString *error)
{
    const Value users = root.value(QStringLiteral("Users"));
    const Value groups = root.value(QStringLiteral("Groups"));
    if (!root.isDict() || (!users.isNull() && !users.isArray()) || (!groups.isNull() && !groups.isArray())) {
        if (error)
            *error = QStringLiteral("the users or groups are not lists");
        return false;
    }
    if (users.isArray())
        m_users = users;
    if (groups.isArray())
        m_groups = groups;
    const qint64 level = root.value(QStringLiteral("SecurityLevel")).toInt();
    m_securityLevel = level >= 0 && level <= 3 ? qint32(level) : 0;
    const QString master = root.value(QStringLiteral("MasterPassword")).toString();
    m_masterPassword = PackageCrypto::isVerifier(master) ? master : QString();
    return true;
}

bool MyDocument::masterPasswordMatches(const QString &password) const
{
    if (m_masterPassword.isEmpty())
        return password.isEmpty();
    return PackageCrypto::matchesVerifier(password.toUtf8(), m_masterPassword);
}

void MyDocument::setMasterPassword(const QString &password)
{
    m_masterPassword = password.isEmpty() ? QString() : PackageCrypto::makeVerifier(password.toUtf8());
    if (m_cipher) {
        if (password.isEmpty())
            m_cipher.reset();
        else
            m_cipher = std::make_unique<PackageCipher>(password);
    }
    setChanged(true);
}

bool MyDocument::protect(const QString &masterPassword, QString *error)
{
    if (m_masterPassword.isEmpty() || !masterPasswordMatches(masterPassword)) {
        if (error)
            *error = m_masterPassword.isEmpty() ? QStringLiteral("The document has no master password; set one first.")
                                                : QStringLiteral("The master password is not correct.");
        return false;
    }
    m_cipher = std::make_unique<PackageCipher>(masterPassword);
    setChanged(true);
    return true;
}

void MyDocument::unprotect()
{
    if (!m_cipher)
        return;
    m_cipher.reset();
    setChanged(true);
}
