// MyDocument: one open database document: its package, working copy, connection and design collections.
#pragma once

#include "ItemKind.h"
#include "Value.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>

class OXDatabase;
class OXDBMediaCache;
class PackageCipher;
class LMLogin;
class PackageLock;
class QUndoStack;
class QWidget;

// What the document needs from the views open in its window's tabs (the window registers them).
class DocumentViewHost {
public:
    virtual ~DocumentViewHost() = default;
    // Every open editor commits its pending edits.
    virtual void cleanUpAllViews() = 0;
    virtual void broadcastRename(ItemKind kind, const QString &oldName, const QString &newName, const void *sender) = 0;
    virtual void broadcastDelete(ItemKind kind, const QString &name) = 0;
    // Identifiers of the open tabs' views ("Overview", "" or an item's kind).
    virtual QStringList openTabIdentifiers() const = 0;
    virtual void refreshAllViews() = 0;
    virtual void reloadSourceList() = 0;
    virtual void documentDidSave() {}
};

class MyDocument : public QObject {
    Q_OBJECT
public:
    // A new, untitled document with an empty database in its own working location.
    static std::unique_ptr<MyDocument> createNew(QString *error = nullptr);
    // Opens the package at `packagePath` (type "Orvix" or "com.tandrel.orvix"). Null with `error` set when
    // the package cannot be opened (not a directory, corrupt Objects, database that is not SQLite or is missing
    // while the designs name tables, an entry that is not a file or folder). Tables without a design (Objects
    // missing or unreadable) get designs rebuilt from their columns, with a warning through the Ui.
    static std::unique_ptr<MyDocument> open(const QString &packagePath, const QString &type = QStringLiteral("Orvix"),
                                            QString *error = nullptr);
    // Opens a protected package with its password; a wrong password or a changed file is refused.
    static std::unique_ptr<MyDocument> openProtected(const QString &packagePath, const QString &password,
                                                     QString *error = nullptr);
    // True when the package's entries are stored encrypted.
    static bool isProtectedPackage(const QString &packagePath);
    // Opens like open() (or openProtected() when a password is given) and keeps the package's writer lock until close,
    // so no other program changes the package between this open and the save (for commands that open, change and save
    // in one go). Null with `error` naming the package when another writer holds it past the wait.
    static std::unique_ptr<MyDocument> openForWriting(const QString &packagePath,
                                                      const QString &type = QStringLiteral("Orvix"),
                                                      QString *error = nullptr,
                                                      const std::optional<QString> &password = std::nullopt);
    ~MyDocument() override;

    static QString normalizedType(const QString &type);
    static QString bundleVersion();

    // Writes the package at `packagePath`. False with `error` set when it could not be written; the previous
    // package then stays as it was.
    bool save(const QString &packagePath, const QString &type = QStringLiteral("Orvix"), QString *error = nullptr);
    void close();
    bool isClosed() const { return m_database == nullptr; }

    // The package this document was last opened from or saved to ("" for a new document).
    QString fileName() const { return m_fileName; }
    // Path of the working database file.
    QString path() const { return m_path; }

    OXDatabase *database() const { return m_database.get(); }
    OXDBMediaCache *mediaCache() const { return m_mediaCache.get(); }
    // The current user's login (security layer); null means no login was needed.
    LMLogin *login() const { return m_login.get(); }
    void setLogin(std::shared_ptr<LMLogin> login) { m_login = std::move(login); }
    QWidget *window() const;
    void setWindow(QWidget *window);
    DocumentViewHost *viewHost() const { return m_viewHost; }
    // The document's undo history, shared by its editors (each removes its own steps when it closes).
    QUndoStack *undoStack() const { return m_undoStack.get(); }
    void setViewHost(DocumentViewHost *host) { m_viewHost = host; }

    // The collections, shared: editing an element changes the document's own.
    Value tables() const { return m_tables; }
    Value queries() const { return m_queries; }
    Value forms() const { return m_forms; }
    Value reports() const { return m_reports; }
    Value scripts() const { return m_scripts; }
    Value backups() const { return m_backups; }
    Value users() const { return m_users; }
    Value groups() const { return m_groups; }
    Value relationships();
    // The collection of one kind (tables: their designs).
    Value collection(ItemKind kind) const;
    Value databaseInfo() const { return m_databaseInfo; }
    void setBackups(const Value &backups) { m_backups = backups; }
    void setUsers(const Value &users) { m_users = users; }
    void setGroups(const Value &groups) { m_groups = groups; }

    qint32 securityLevel() const { return m_securityLevel; }
    void setSecurityLevel(qint32 level) { m_securityLevel = level; }
    bool levelSet() const { return m_securityLevel != 0; }

    // The master password is kept as a salted verifier only; "" matches when none is set.
    bool hasMasterPassword() const { return !m_masterPassword.isEmpty(); }
    bool masterPasswordMatches(const QString &password) const;
    // Stores a new master password ("" removes it); a protected document is then sealed with the new one.
    void setMasterPassword(const QString &password);
    // Protection: the package's entries are written encrypted with the master password.
    bool isProtected() const { return m_cipher != nullptr; }
    // Needs the current master password; false with `error` set otherwise.
    bool protect(const QString &masterPassword, QString *error = nullptr);
    void unprotect();

    // The only way to mark the document edited (true) or saved (false).
    void setChanged(bool changed);
    bool isChanged() const { return m_changeCount > 0; }
    bool saveDatabase();

    // Named items: exact, case-sensitive, first match in array order.
    static Value itemNamed(const Value &collection, const QString &name);
    static int indexOfItemNamed(const Value &collection, const QString &name);
    Value tableNamed(const QString &name) const { return itemNamed(m_tables, name); }
    Value queryNamed(const QString &name) const { return itemNamed(m_queries, name); }
    Value formNamed(const QString &name) const { return itemNamed(m_forms, name); }
    Value reportNamed(const QString &name) const { return itemNamed(m_reports, name); }
    Value scriptNamed(const QString &name) const { return itemNamed(m_scripts, name); }

    void itemDidRename(ItemKind kind, const QString &oldName, const QString &newName, const void *sender);
    void itemDidDelete(ItemKind kind, const QString &name);

    // A new design of `kind` (a report or a script) under a name no item of that kind has ("New Report",
    // "New Report 2", …), appended to its collection; the document is marked edited.
    Value addNewDesign(ItemKind kind);
    // Gives a document without accounts the "Administrators" group and its "Admin" user (empty password).
    void seedDefaultUsersAndGroups();

    // Removes an item with the document's checks (open tabs, confirmation), then tells the views.
    bool removeItemNamed(ItemKind kind, const QString &name);
    bool removeTableNamed(const QString &name);
    bool removeQueryNamed(const QString &name);
    bool removeFormNamed(const QString &name);
    bool removeReportNamed(const QString &name);
    bool removeScriptNamed(const QString &name);
    bool removeUserNamed(const QString &name);

    // Asks, then compacts the database.
    bool vacuuuuuum();

signals:
    // Sent before the connection closes (the data panel lets go of this document's values).
    void aboutToClose();
    void changedStateChanged(bool changed);
    void didSave(const QString &packagePath);

private:
    MyDocument();
    static std::unique_ptr<MyDocument> openPackage(const QString &packagePath, const QString &type,
                                                   const std::optional<QString> &password, QString *error);
    bool openDatabase(const QString &path, QString *error);
    bool readDesigns(const QByteArray &bytes, const QString &packagePath, QString *error);
    // Gives every user table without a design one rebuilt from its columns, and says so.
    void recoverMissingDesigns(const QString &packagePath, const QString &objectsError, bool objectsLost);
    void discardWorkingCopy();
    Value archiveRoot() const;
    // Users, groups, the security level and the master password's verifier; null when there is nothing.
    Value accountsRoot();
    bool readAccounts(const Value &root, QString *error);
    // The only place entry bytes change on their way to and from the package (sealed when protected).
    std::optional<QByteArray> entryForSave(const QString &entry, const QByteArray &plain, QString *error);
    std::optional<QByteArray> entryFromPackage(const QString &entry, const QByteArray &stored, QString *error);
    bool writeDatabaseEntry(class PackageWriter &writer, QString *error);

    std::unique_ptr<PackageLock> m_writeLock; // held from openForWriting until close
    std::shared_ptr<LMLogin> m_login;
    qint32 m_securityLevel = 0;
    QString m_masterPassword; // a PackageCrypto verifier, or ""
    std::unique_ptr<PackageCipher> m_cipher;
    QString m_path;
    QString m_workingDirectory; // the <tmp>/<uuid> directory of an opened package, else empty
    QString m_fileName;
    std::unique_ptr<OXDatabase> m_database;
    std::unique_ptr<OXDBMediaCache> m_mediaCache;
    Value m_databaseInfo = Value::dict();
    Value m_relationships;
    Value m_tables = Value::array();
    Value m_queries = Value::array();
    Value m_forms = Value::array();
    Value m_reports = Value::array();
    Value m_scripts = Value::array();
    Value m_backups = Value::array();
    Value m_groups = Value::array();
    Value m_users = Value::array();
    int m_changeCount = 0;
    QPointer<QObject> m_window; // the document window, for sheets; not owned
    DocumentViewHost *m_viewHost = nullptr;
    std::unique_ptr<QUndoStack> m_undoStack;
};
