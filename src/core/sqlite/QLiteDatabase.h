// QLiteDatabase: one SQLite connection with statement execution, cursors, transactions and schema helpers.
#pragma once

#include "NotificationCenter.h"
#include "QLiteConstants.h"
#include "Value.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <set>

struct sqlite3;
struct sqlite3_stmt;
class QLiteCursor;
struct QLiteRowSource;

class QLiteDatabase : public QObject {
    Q_OBJECT
public:
    // Stores the tilde-expanded path; does not open.
    explicit QLiteDatabase(const QString &path, QObject *parent = nullptr);
    ~QLiteDatabase() override;

    QLiteDatabase(const QLiteDatabase &) = delete;
    QLiteDatabase &operator=(const QLiteDatabase &) = delete;

    bool open();
    bool open(bool createSchemaTable, int cacheMethod = 2, bool exposeSQLOnNotify = false, bool debugMode = false);
    bool close();
    bool closeSavingChanges(bool save);

    bool isDatabaseOpen() const { return m_db != nullptr; }
    QString databasePath() const { return m_path; }
    void setDatabasePath(const QString &path);
    int cacheMethod() const { return m_cacheMethod; }
    void setCacheMethod(int method) { m_cacheMethod = method; }
    // Also the wait of every later statement: execution reapplies it before running.
    void setBusyTimeout(int milliseconds);

    int lastErrorID() const { return m_lastErrorID; }
    QString lastError() const { return m_lastError; }

    // A cursor for a text that starts with "select" or "pragma"; otherwise runs every statement and returns null.
    std::shared_ptr<QLiteCursor> performQuery(const QString &sql, int cacheMethod = 0, bool treatAsString = false);
    // A SELECT whose cursor, under methods 2 and 3, reads only the identifiers `source` lists when it runs.
    std::shared_ptr<QLiteCursor> performQuery(const QString &sql, int cacheMethod, const QLiteRowSource &source);

    // Changes to the database so far, by this connection (counted at once) or committed by others.
    struct ChangeStamp {
        qint64 changes = -1;
        int dataVersion = -1;
        bool operator==(const ChangeStamp &other) const = default;
    };
    ChangeStamp changeStamp() const;

    static QString prepareStringForQuery(const QString &text);
    static QString escapeQuotesFromString(const QString &text) { return prepareStringForQuery(text); }
    // `name` between two `quote` characters, every quote inside doubled, so any name stays one identifier.
    static QString quoteIdentifier(const QString &name, QChar quote = QLatin1Char('`'));

    qint64 lastRowInserted() const;
    quint64 rowCountInTable(const QString &table);

    bool beginTransaction() { return beginDeferredTransaction(); }
    bool beginDeferredTransaction();
    bool beginImmediateTransaction();
    bool beginExclusiveTransaction();
    bool commitTransaction();
    bool rollbackTransaction();
    bool isTransactionActive() const;

    QStringList tables();
    QStringList allTables();
    QStringList columnsForTable(const QString &table);
    QStringList datatypesForTable(const QString &table);
    bool createTable(const QString &name, const QStringList &columns, const QStringList &datatypes);
    bool createTemporaryTable(const QString &name, const QStringList &columns, const QStringList &datatypes);
    bool dropTable(const QString &name);
    QStringList temporaryTables();
    // Writes the pending edits of every modified cursor in one transaction.
    bool save();

    // Table name -> (column name -> datatype name).
    Value datatypeCache() const { return m_schema; }
    sqlite3 *handle() const { return m_db; }
    // Call before writing through handle(): cursors that read after their query ran hear of the change first
    // (a cursor still reading its ids finishes, so the write neither waits for nor changes that list).
    void willWriteThroughHandle();
    bool isInDebugMode() const { return m_debugMode; }

protected:
    void setLastError(const QString &message, int code);
    void clearLastError() { setLastError(QString(), QLSuccess); }

private:
    friend class QLiteCursor;

    bool performExecuteQuery(const QString &sql);
    bool beginTransactionWith(const char *statement);
    bool createTableImpl(const QString &name, const QStringList &columns, const QStringList &datatypes, bool temporary);
    // Column names and declared types from the table's CREATE statement.
    std::pair<QStringList, QStringList> parseCreateStatement(const QString &table);
    void rebuildDatatypeCache();
    void enableFullColumnNames();
    // Steps past busy results a bounded number of times; SQLite's busy wait runs inside each step.
    int stepRetryingBusy(sqlite3_stmt *statement);
    bool hasSchemaTable();
    Value notificationUserInfo() const;
    void postStatementNotification(const QString &sql);
    void flushCommitNotifications();
    void databaseDidChange(const Notification &notification);
    void markCursorModified(const std::shared_ptr<QLiteCursor> &cursor);
    // Cursors that fetch values after the query ran hear of every statement that may write before it runs.
    void addPagedCursor(QLiteCursor *cursor) { m_pagedCursors.insert(cursor); }
    void removePagedCursor(QLiteCursor *cursor) { m_pagedCursors.erase(cursor); }
    std::shared_ptr<QLiteCursor> runCursor(const std::shared_ptr<QLiteCursor> &cursor);
    static int commitHook(void *context);

    sqlite3 *m_db = nullptr;
    QString m_path;
    int m_cacheMethod = 2;
    Value m_schema = Value::dict();
    int m_lastErrorID = QLSuccess;
    QString m_lastError;
    quint32 m_processID = 0;
    std::set<std::shared_ptr<QLiteCursor>> m_modifiedCursors;
    std::set<QLiteCursor *> m_pagedCursors;
    bool m_notifySQLStatement = false;
    bool m_debugMode = false;
    bool m_saveChangesWhenClosing = false;
    int m_busyTimeout = 3000;
    bool m_commitPending = false;
    bool m_flushing = false;
    QList<int> m_observerTokens;
};
