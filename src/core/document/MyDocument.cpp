// MyDocument: new, open, save and close of a package, and the operations on its named items.
#include "MyDocument.h"

#include "Alert.h"
#include "KeyedArchive.h"
#include "LMUUID.h"
#include "OXDBMediaCache.h"
#include "OXDatabase.h"
#include "PackageFiles.h"
#include "Resources.h"
#include "Ui.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUndoStack>
#include <QWidget>
#include <sqlite3.h>

namespace {
const QString kObjects = QStringLiteral("Objects");
const QString kMainDatabase = QStringLiteral("MainDatabase");

QString newWorkingLocation()
{
    return QDir::tempPath() + QLatin1Char('/') + LMUUID::generate();
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
    if (!doc->openDatabase(newWorkingLocation(), error))
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
    auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return nullptr;
    };
    if (normalizedType(type) != QLatin1String("Orvix"))
        return fail(QStringLiteral("Documents of type \"%1\" cannot be opened as Orvix documents.").arg(type));
    const QString package = QFileInfo(PackageFiles::expandTilde(packagePath)).absoluteFilePath();
    const QFileInfo info(package);
    if (!info.exists())
        return fail(QStringLiteral("The document \"%1\" does not exist.").arg(packagePath));
    if (!info.isDir())
        return fail(QStringLiteral("\"%1\" is not an Orvix document: a document is a folder.").arg(packagePath));

    std::unique_ptr<MyDocument> doc(new MyDocument);
    const QString objectsPath = QDir(package).filePath(kObjects);
    if (QFileInfo::exists(objectsPath)) {
        QFile file(objectsPath);
        if (!file.open(QIODevice::ReadOnly))
            return fail(
                QStringLiteral("The designs of \"%1\" could not be read: %2").arg(packagePath, file.errorString()));
        QString archiveError;
        // A damaged design archive is refused: opening it empty would let the next save erase the designs.
        const std::optional<Value> root = KeyedArchive::unarchiveTop(file.readAll(), &archiveError);
        if (!root || !root->isDict())
            return fail(QStringLiteral("The designs of \"%1\" are damaged (%2).").arg(packagePath, archiveError));
        struct Slot {
            const char *key;
            Value *target;
        };
        const Slot arrays[] = {{"Tables", &doc->m_tables},
                               {"Queries", &doc->m_queries},
                               {"Forms", &doc->m_forms},
                               {"Reports", &doc->m_reports},
                               {"Scripts", &doc->m_scripts}};
        for (const Slot &slot : arrays) {
            const Value v = root->value(QLatin1String(slot.key));
            if (v.isNull())
                continue;
            if (!v.isArray())
                return fail(QStringLiteral("The designs of \"%1\" are damaged (\"%2\" is not a list).")
                                .arg(packagePath, QLatin1String(slot.key)));
            *slot.target = v;
        }
        const Value relationships = root->value(QStringLiteral("Relationships"));
        if (!relationships.isNull() && !relationships.isDict())
            return fail(QStringLiteral("The designs of \"%1\" are damaged (\"Relationships\" is not a dictionary).")
                            .arg(packagePath));
        if (relationships.isDict())
            doc->m_relationships = relationships.deepCopy();
    }
    if (!doc->m_relationships.isDict())
        doc->m_relationships = Value::dict();

    const QString working = newWorkingLocation();
    QString copyError;
    if (!PackageFiles::copyDirectory(package, working, &copyError)) {
        PackageFiles::removeWorkingLocation(working);
        return fail(QStringLiteral("The document could not be copied to its working location: %1").arg(copyError));
    }
    doc->m_workingDirectory = working;
    if (!doc->openDatabase(QDir(working).filePath(kMainDatabase), error)) {
        PackageFiles::removeWorkingLocation(working);
        doc->m_workingDirectory.clear();
        return nullptr;
    }
    doc->m_fileName = package;
    return doc;
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
    root.set(QStringLiteral("Tables"), m_tables);
    root.set(QStringLiteral("Queries"), m_queries);
    root.set(QStringLiteral("Forms"), m_forms);
    root.set(QStringLiteral("Reports"), m_reports);
    root.set(QStringLiteral("Scripts"), m_scripts);
    root.set(QStringLiteral("Relationships"), m_relationships.isDict() ? m_relationships : Value::dict());
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
    if (QFileInfo(package).exists() && !QFileInfo(package).isDir())
        return fail(QStringLiteral("\"%1\" is a file, not a document folder.").arg(packagePath));
    if (!QDir().mkpath(package))
        return fail(QStringLiteral("The folder \"%1\" could not be created.").arg(packagePath));

    // Each entry is written beside its final name and renamed into place, so a failure keeps the old one whole.
    QString stepError;
    if (!PackageFiles::backupDatabase(m_database->handle(), QDir(package).filePath(kMainDatabase), &stepError))
        return fail(QStringLiteral("The database could not be saved: %1").arg(stepError));
    if (!PackageFiles::writeFileAtomically(QDir(package).filePath(kObjects), KeyedArchive::archiveTop(archiveRoot()),
                                           &stepError))
        return fail(QStringLiteral("The designs could not be saved: %1").arg(stepError));
    const std::optional<QByteArray> pkgInfo = Resources::read(QStringLiteral("PkgInfoTemplate"));
    if (!pkgInfo)
        return fail(QStringLiteral("The resource \"PkgInfoTemplate\" is missing."));
    if (!QDir().mkpath(QDir(package).filePath(QStringLiteral("Contents"))) ||
        !PackageFiles::writeFileAtomically(QDir(package).filePath(QStringLiteral("Contents/PkgInfo")), *pkgInfo,
                                           &stepError))
        return fail(QStringLiteral("The package information could not be saved: %1").arg(stepError));

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
    PackageFiles::removeWorkingLocation(m_workingDirectory.isEmpty() ? m_path : m_workingDirectory);
    m_workingDirectory.clear();
    m_path.clear();
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
        if (collection.at(i).value(QStringLiteral("Name")).toString() == name)
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
    Value design = Value::dict({{QStringLiteral("Name"), name}});
    items.append(design);
    setChanged(true);
    return design;
}

void MyDocument::seedDefaultUsersAndGroups()
{
    const Value fullAccess = Value::dict({{QStringLiteral("Table Edit"), QStringLiteral("ABC")}});
    if (m_groups.isEmpty())
        m_groups.append(Value::dict(
            {{QStringLiteral("Name"), QStringLiteral("Administrators")}, {QStringLiteral("Permissions"), fullAccess}}));
    if (m_users.isEmpty())
        m_users.append(Value::dict({{QStringLiteral("Name"), QStringLiteral("Admin")},
                                    {QStringLiteral("Group"), QStringLiteral("Administrators")},
                                    {QStringLiteral("Password"), QStringLiteral("")},
                                    {QStringLiteral("Permissions"), fullAccess.deepCopy()}}));
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
        if (identifier != QLatin1String("Overview") && !identifier.isEmpty()) {
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
        QString quoted = name;
        quoted.replace(QLatin1Char('`'), QStringLiteral("``"));
        m_database->performQuery(QStringLiteral("DROP TABLE IF EXISTS `%1`").arg(quoted));
        if (m_database->lastErrorID() != QLSuccess) {
            Ui::instance().runAlert(
                Alert::make(QStringLiteral("The table could not be deleted"), m_database->lastError()), window());
            return false;
        }
        m_database->deleteTableDesign(name);
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
