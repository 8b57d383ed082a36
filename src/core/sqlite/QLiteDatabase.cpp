// QLiteDatabase: connection lifecycle, statement execution, transactions, schema helpers and change notifications.
#include "QLiteDatabase.h"

#include "QLiteCursor.h"
#include "ReferenceDate.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <sqlite3.h>

namespace {
// SQLite's busy handler already waits up to the busy timeout inside each step; beyond that a few
// re-steps, then the busy error is reported instead of waiting forever.
constexpr int kBusyRetries = 2;
constexpr int kBeginBusyTimeout = 1000;

const QString kClosedPerform = QStringLiteral("[QLiteDatabase performQuery:] failed because the database is closed.");
const QString kClosedExecute =
    QStringLiteral("[QLiteDatabase QLP_performExecuteQuery:] failed because the database is closed.");
const QString kNilExecute = QStringLiteral("[QLiteDatabase QLP_performExecuteQuery:] failed because the query is nil.");
// SQLite reads SQL text only up to a NUL, so anything after one would be dropped without notice.
const QString kNulInQuery =
    QStringLiteral("[QLiteDatabase performQuery:] failed because the query contains a NUL character.");

QString expandTilde(const QString &path)
{
    if (path == QLatin1String("~"))
        return QDir::homePath();
    if (path.startsWith(QLatin1String("~/")))
        return QDir::homePath() + path.mid(1);
    return path;
}

bool startsWithKeyword(const QString &sql, QLatin1String keyword)
{
    return sql.size() >= keyword.size() &&
           QStringView(sql).left(keyword.size()).compare(keyword, Qt::CaseInsensitive) == 0;
}

QString errorMessage(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

QString quoted(const QString &text)
{
    return QLatin1Char('\'') + QLiteDatabase::prepareStringForQuery(text) + QLatin1Char('\'');
}

// A plain or database-qualified name stays as written (the caller may name "temp.x"); any other is quoted.
QString identifierForDrop(const QString &name)
{
    static const QRegularExpression plain(QStringLiteral("\\A([A-Za-z_][A-Za-z0-9_]*\\.)?[A-Za-z_][A-Za-z0-9_]*\\z"));
    return plain.match(name).hasMatch() ? name : QLiteDatabase::quoteIdentifier(name);
}

bool isBlank(QChar c)
{
    return c.isSpace();
}
} // namespace

QLiteDatabase::QLiteDatabase(const QString &path, QObject *parent) : QObject(parent), m_path(expandTilde(path)) {}

QLiteDatabase::~QLiteDatabase()
{
    if (m_db)
        close();
    for (int token : m_observerTokens)
        NotificationCenter::distributedCenter().removeObserver(token);
}

void QLiteDatabase::setLastError(const QString &message, int code)
{
    m_lastError = message;
    m_lastErrorID = code;
    if (m_debugMode && code != QLSuccess)
        qInfo().noquote() << "QLiteDatabase error" << code << message;
}

bool QLiteDatabase::open()
{
    return open(true, 2, false, false);
}

bool QLiteDatabase::open(bool createSchemaTable, int cacheMethod, bool exposeSQLOnNotify, bool debugMode)
{
    if (m_db)
        return true;
    m_debugMode = debugMode;
    if (m_debugMode)
        qInfo().noquote() << "QLiteDatabase open" << m_path;
    const QByteArray file = QFile::encodeName(m_path);
    const int rc = sqlite3_open(file.constData(), &m_db);
    if (rc != SQLITE_OK) {
        const QString message = m_db ? errorMessage(m_db) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(m_db);
        m_db = nullptr;
        setLastError(message, rc);
        return false;
    }
    m_observerTokens << NotificationCenter::distributedCenter().addObserver(
        QLP_QLiteDatabaseDidChangeNotification, nullptr, [this](const Notification &n) { databaseDidChange(n); });
    m_cacheMethod = cacheMethod;
    m_notifySQLStatement = exposeSQLOnNotify;
    sqlite3_busy_timeout(m_db, m_busyTimeout);

    if (createSchemaTable) {
        clearLastError();
        const QStringList existing = allTables();
        // A file that is not a database fails here already; without this check it would look empty.
        bool ok = m_lastErrorID == QLSuccess;
        if (ok && existing.isEmpty())
            ok = createTable(QLP_SchemaTable, {QLP_TableIdentifier, QLP_ColumnIdentifier, QLP_DatatypeIdentifier},
                             {QLString, QLString, QLString});
        if (!ok) {
            const QString message = m_lastError;
            const int code = m_lastErrorID;
            for (int token : m_observerTokens)
                NotificationCenter::distributedCenter().removeObserver(token);
            m_observerTokens.clear();
            sqlite3_close_v2(m_db);
            m_db = nullptr;
            setLastError(message, code);
            return false;
        }
    }

    m_saveChangesWhenClosing = true;
    m_processID = quint32(QCoreApplication::applicationPid());
    rebuildDatatypeCache();
    clearLastError();
    sqlite3_commit_hook(m_db, &QLiteDatabase::commitHook, this);
    return true;
}

bool QLiteDatabase::close()
{
    return closeSavingChanges(m_saveChangesWhenClosing);
}

bool QLiteDatabase::closeSavingChanges(bool saveChanges)
{
    if (!m_db)
        return false;
    if (m_debugMode)
        qInfo().noquote() << "QLiteDatabase close" << m_path;
    for (int token : m_observerTokens)
        NotificationCenter::distributedCenter().removeObserver(token);
    m_observerTokens.clear();

    if (saveChanges && !m_modifiedCursors.empty())
        save();
    else if (isTransactionActive())
        rollbackTransaction();

    const QStringList temporary = temporaryTables();
    if (!temporary.isEmpty()) {
        const bool opened = !isTransactionActive() && beginTransaction();
        for (const QString &table : temporary)
            dropTable(table);
        if (opened)
            commitTransaction();
    }
    flushCommitNotifications();
    sqlite3_commit_hook(m_db, nullptr, nullptr);

    int rc = sqlite3_close(m_db);
    if (rc != SQLITE_OK) {
        setLastError(errorMessage(m_db), rc);
        // Never leak the handle: the zombie form finishes closing once its statements are gone.
        sqlite3_close_v2(m_db);
    } else {
        clearLastError();
    }
    m_db = nullptr;
    NotificationCenter::defaultCenter().post(QLP_QLiteDatabaseDidCloseNotification, this);
    m_modifiedCursors.clear();
    return rc == SQLITE_OK;
}

void QLiteDatabase::setDatabasePath(const QString &path)
{
    m_path = expandTilde(path);
}

void QLiteDatabase::setBusyTimeout(int milliseconds)
{
    m_busyTimeout = milliseconds;
    if (m_db)
        sqlite3_busy_timeout(m_db, milliseconds);
}

std::shared_ptr<QLiteCursor> QLiteDatabase::performQuery(const QString &sql, int cacheMethod, bool treatAsString)
{
    if (m_debugMode)
        qInfo().noquote() << "QLiteDatabase performQuery" << sql;
    if (!m_db) {
        setLastError(kClosedPerform, QLP_UnknownError);
        return nullptr;
    }
    if (sql.contains(QChar(0))) {
        setLastError(kNulInQuery, QLP_UnknownError);
        return nullptr;
    }
    if (startsWithKeyword(sql, QLatin1String("select")) || startsWithKeyword(sql, QLatin1String("pragma")))
        return runCursor(std::make_shared<QLiteCursor>(this, sql, cacheMethod, treatAsString));
    performExecuteQuery(sql);
    flushCommitNotifications();
    return nullptr;
}

std::shared_ptr<QLiteCursor> QLiteDatabase::performQuery(const QString &sql, int cacheMethod,
                                                         const QLiteRowSource &source)
{
    if (!source.isValid() || !startsWithKeyword(sql, QLatin1String("select")) || !m_db || sql.contains(QChar(0)))
        return performQuery(sql, cacheMethod);
    if (m_debugMode)
        qInfo().noquote() << "QLiteDatabase performQuery" << sql;
    return runCursor(std::make_shared<QLiteCursor>(this, sql, cacheMethod, false, source));
}

std::shared_ptr<QLiteCursor> QLiteDatabase::runCursor(const std::shared_ptr<QLiteCursor> &cursor)
{
    const bool loaded = cursor->refresh();
    flushCommitNotifications();
    return loaded ? cursor : nullptr;
}

void QLiteDatabase::willWriteThroughHandle()
{
    // Copied: a cursor may go away while it is told.
    const std::vector<QLiteCursor *> cursors(m_pagedCursors.begin(), m_pagedCursors.end());
    for (QLiteCursor *cursor : cursors)
        cursor->databaseWillChange();
}

QLiteDatabase::ChangeStamp QLiteDatabase::changeStamp() const
{
    ChangeStamp stamp;
    if (!m_db)
        return stamp;
    stamp.changes = sqlite3_total_changes64(m_db);
    // Counts commits of other connections too, which sqlite3_total_changes64 does not see.
    sqlite3_file_control(m_db, "main", SQLITE_FCNTL_DATA_VERSION, &stamp.dataVersion);
    return stamp;
}

bool QLiteDatabase::performExecuteQuery(const QString &sql)
{
    if (sql.isNull()) {
        setLastError(kNilExecute, QLP_UnknownError);
        return false;
    }
    if (!m_db) {
        setLastError(kClosedExecute, QLP_UnknownError);
        return false;
    }
    if (m_notifySQLStatement)
        postStatementNotification(sql);
    sqlite3_busy_timeout(m_db, m_busyTimeout);
    enableFullColumnNames();

    clearLastError();
    const QByteArray utf8 = sql.toUtf8();
    const char *tail = utf8.constData();
    while (*tail) {
        sqlite3_stmt *statement = nullptr;
        const char *next = nullptr;
        const int prepared = sqlite3_prepare_v2(m_db, tail, -1, &statement, &next);
        if (prepared != SQLITE_OK) {
            setLastError(errorMessage(m_db), prepared);
            break;
        }
        if (statement && !sqlite3_stmt_readonly(statement))
            willWriteThroughHandle();
        if (statement) {
            const int rc = stepRetryingBusy(statement);
            const bool failed = rc != SQLITE_DONE && rc != SQLITE_ROW && rc != SQLITE_OK;
            const QString message = failed ? errorMessage(m_db) : QString();
            sqlite3_finalize(statement);
            if (failed)
                setLastError(message, rc);
            else
                clearLastError();
        }
        if (!next || next == tail || m_lastErrorID != QLSuccess)
            break;
        tail = next;
    }
    return m_lastErrorID == QLSuccess;
}

int QLiteDatabase::stepRetryingBusy(sqlite3_stmt *statement)
{
    int rc = sqlite3_step(statement);
    for (int retry = 0; rc == SQLITE_BUSY && retry < kBusyRetries; ++retry)
        rc = sqlite3_step(statement);
    return rc;
}

void QLiteDatabase::enableFullColumnNames()
{
    // Deprecated pragmas that SQLite still honours: result columns come out as "table.column".
    sqlite3_exec(m_db, "PRAGMA short_column_names = OFF;", nullptr, nullptr, nullptr);
    sqlite3_exec(m_db, "PRAGMA full_column_names = ON;", nullptr, nullptr, nullptr);
}

QString QLiteDatabase::prepareStringForQuery(const QString &text)
{
    if (text.isNull())
        return QString();
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return out;
}

QString QLiteDatabase::quoteIdentifier(const QString &name, QChar quote)
{
    QString doubled = name;
    doubled.replace(quote, QString(2, quote));
    return quote + doubled + quote;
}

qint64 QLiteDatabase::lastRowInserted() const
{
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

quint64 QLiteDatabase::rowCountInTable(const QString &table)
{
    auto cursor = performQuery(QStringLiteral("SELECT COUNT(*) FROM %1").arg(quoteIdentifier(table)));
    if (!cursor || cursor->rowCount() == 0)
        return 0;
    const qint64 count = cursor->valueForColumn(QStringLiteral("COUNT(*)"), 0).toInt();
    return count > 0 ? quint64(count) : 0;
}

// Transactions

bool QLiteDatabase::beginDeferredTransaction()
{
    return beginTransactionWith("BEGIN DEFERRED TRANSACTION;");
}
bool QLiteDatabase::beginImmediateTransaction()
{
    return beginTransactionWith("BEGIN IMMEDIATE TRANSACTION;");
}
bool QLiteDatabase::beginExclusiveTransaction()
{
    return beginTransactionWith("BEGIN EXCLUSIVE TRANSACTION;");
}

bool QLiteDatabase::beginTransactionWith(const char *sql)
{
    if (!m_db) {
        setLastError(kClosedExecute, QLP_UnknownError);
        return false;
    }
    if (isTransactionActive())
        return false;
    if (m_notifySQLStatement)
        postStatementNotification(QString::fromLatin1(sql));
    sqlite3_busy_timeout(m_db, qMin(kBeginBusyTimeout, m_busyTimeout));
    sqlite3_stmt *statement = nullptr;
    const int prepared = sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr);
    if (prepared != SQLITE_OK) {
        setLastError(errorMessage(m_db), prepared);
        sqlite3_busy_timeout(m_db, m_busyTimeout);
        return false;
    }
    int rc = sqlite3_step(statement);
    for (int retry = 0; rc == SQLITE_BUSY && retry < kBusyRetries; ++retry) {
        if (isTransactionActive())
            sqlite3_exec(m_db, "ROLLBACK TRANSACTION;", nullptr, nullptr, nullptr);
        sqlite3_reset(statement);
        rc = sqlite3_step(statement);
    }
    if (rc != SQLITE_DONE && rc != SQLITE_OK) {
        setLastError(errorMessage(m_db), rc);
        if (isTransactionActive())
            sqlite3_exec(m_db, "ROLLBACK TRANSACTION;", nullptr, nullptr, nullptr);
    } else {
        clearLastError();
    }
    sqlite3_finalize(statement);
    sqlite3_busy_timeout(m_db, m_busyTimeout);
    return m_lastErrorID == QLSuccess;
}

bool QLiteDatabase::commitTransaction()
{
    if (!isTransactionActive()) {
        // SQLite ends a transaction by itself after some failures (a full disk, an I/O error); say so, and why.
        const QString earlier = m_lastErrorID != QLSuccess ? m_lastError : QString();
        setLastError(earlier.isEmpty() ? QStringLiteral("no transaction was open to commit")
                                       : QStringLiteral("the transaction had already ended after: %1").arg(earlier),
                     QLP_UnknownError);
        return false;
    }
    const bool ok = performExecuteQuery(QStringLiteral("COMMIT TRANSACTION;"));
    flushCommitNotifications();
    return ok;
}

bool QLiteDatabase::rollbackTransaction()
{
    if (!isTransactionActive())
        return false;
    return performExecuteQuery(QStringLiteral("ROLLBACK TRANSACTION;"));
}

bool QLiteDatabase::isTransactionActive() const
{
    return m_db && sqlite3_get_autocommit(m_db) == 0;
}

// Schema

QStringList QLiteDatabase::allTables()
{
    auto databases = performQuery(QStringLiteral("PRAGMA database_list"), 1);
    if (!databases)
        return {};
    QStringList names;
    for (const Value &v : databases->valuesForColumn(QStringLiteral("name")))
        names << v.toString();
    const bool prefixed = names.size() > 1;
    QStringList result;
    for (const QString &database : names) {
        auto master = performQuery(QStringLiteral("SELECT * FROM %1.sqlite_master;").arg(database), 1, true);
        if (!master)
            return {};
        // The temporary database reports its master table as sqlite_temp_master.
        QString column;
        for (const QString &c : master->columns())
            if (c.endsWith(QLatin1String(".tbl_name")))
                column = c;
        for (const Value &v : master->valuesForColumn(column)) {
            const QString name = prefixed && !database.startsWith(QLatin1String("main"))
                                     ? database + QLatin1Char('.') + v.toString()
                                     : v.toString();
            if (!result.contains(name))
                result << name;
        }
    }
    return result;
}

QStringList QLiteDatabase::tables()
{
    QStringList result = allTables();
    result.removeAll(QLP_SchemaTable);
    return result;
}

QStringList QLiteDatabase::columnsForTable(const QString &table)
{
    return parseCreateStatement(table).first;
}

QStringList QLiteDatabase::datatypesForTable(const QString &table)
{
    return parseCreateStatement(table).second;
}

std::pair<QStringList, QStringList> QLiteDatabase::parseCreateStatement(const QString &table)
{
    QString prefix;
    QString name = table;
    const int dot = table.indexOf(QLatin1Char('.'));
    if (dot >= 0) {
        prefix = table.left(dot + 1);
        name = table.mid(dot + 1);
    }
    QStringList statements;
    for (const char *master : {"sqlite_master", "sqlite_temp_master"}) {
        auto cursor = performQuery(QStringLiteral("SELECT sql FROM %1%2 WHERE tbl_name = %3;")
                                       .arg(prefix, QLatin1String(master), quoted(name)),
                                   1, true);
        if (!cursor)
            continue;
        const QString column = cursor->columns().value(0);
        for (const Value &v : cursor->valuesForColumn(column))
            if (v.isString())
                statements << v.toString();
        if (!statements.isEmpty())
            break;
    }
    // Indexes and triggers of the table share its tbl_name; the table's own statement is the one wanted.
    static const QRegularExpression notTable(QStringLiteral("^\\s*CREATE\\s+(UNIQUE\\s+)?(INDEX|TRIGGER)\\b"),
                                             QRegularExpression::CaseInsensitiveOption);
    QString sql;
    for (const QString &s : statements)
        if (!notTable.match(s).hasMatch()) {
            sql = s;
            break;
        }
    const int open = sql.indexOf(QLatin1Char('('));
    if (open < 0)
        return {};
    const QString body = sql.mid(open + 1, sql.size() - open - 2);
    QStringList columns;
    QStringList types;
    for (const QString &raw : body.split(QLatin1Char(','))) {
        int start = 0;
        while (start < raw.size() && isBlank(raw.at(start)))
            ++start;
        const QString piece = raw.mid(start);
        if (piece.trimmed().isEmpty())
            continue;
        int blank = 0;
        while (blank < piece.size() && !isBlank(piece.at(blank)))
            ++blank;
        const QString type = piece.mid(blank + 1).trimmed();
        columns << piece.left(blank);
        types << (type == QLatin1String("TEXT") ? QLString : type);
    }
    return {columns, types};
}

void QLiteDatabase::rebuildDatatypeCache()
{
    Value cache = Value::dict();
    for (const QString &table : allTables()) {
        const auto [columns, types] = parseCreateStatement(table);
        if (columns.isEmpty()) {
            cache = Value::dict();
            break;
        }
        Value entry = Value::dict();
        for (int i = 0; i < columns.size(); ++i)
            entry.set(columns.at(i), types.value(i));
        cache.set(table, entry);
    }
    m_schema = cache;
}

bool QLiteDatabase::hasSchemaTable()
{
    if (!m_db)
        return false;
    sqlite3_stmt *statement = nullptr;
    bool found = false;
    if (sqlite3_prepare_v2(m_db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'QLP_SchemaTable';", -1,
                           &statement, nullptr) == SQLITE_OK) {
        found = stepRetryingBusy(statement) == SQLITE_ROW;
    }
    sqlite3_finalize(statement);
    return found;
}

bool QLiteDatabase::createTable(const QString &name, const QStringList &columns, const QStringList &datatypes)
{
    return createTableImpl(name, columns, datatypes, false);
}

bool QLiteDatabase::createTemporaryTable(const QString &name, const QStringList &columns, const QStringList &datatypes)
{
    return createTableImpl(name, columns, datatypes, true);
}

bool QLiteDatabase::createTableImpl(const QString &name, const QStringList &columnList, const QStringList &typeList,
                                    bool temporary)
{
    // The names go into the statement as they are and are read back by the CREATE parser, so only plain
    // identifiers are accepted: anything else could end the statement.
    static const QRegularExpression plainName(QStringLiteral("\\A[A-Za-z_][A-Za-z0-9_]*\\z"));
    const bool plain = plainName.match(name).hasMatch() &&
                       std::all_of(columnList.begin(), columnList.end(),
                                   [](const QString &c) { return plainName.match(c.trimmed()).hasMatch(); });
    if (name.isEmpty() || columnList.isEmpty() || typeList.isEmpty() || columnList.size() != typeList.size() ||
        !plain) {
        setLastError(QStringLiteral("QLite:createTable has failed because the supplied parameters are incorrect."),
                     QLP_UnknownError);
        return false;
    }
    for (const QString &type : typeList)
        if (!type.isEmpty() && !QLite::standardDatatypes.contains(type)) {
            setLastError(QStringLiteral("QLite:createTable has failed because one or more datatypes are not standard."),
                         QLP_UnknownError);
            return false;
        }
    if (!m_db) {
        setLastError(kClosedPerform, QLP_UnknownError);
        return false;
    }
    QStringList columns = columnList;
    QStringList types = typeList;
    int key = -1;
    for (int i = 0; i < columns.size() && key < 0; ++i)
        if (types.at(i) == QLRecordUIDDatatype || QLite::isRowidKeyword(columns.at(i)))
            key = i;
    if (key < 0) {
        columns.prepend(QLRecordUID);
        types.prepend(QLRecordUIDDatatype);
    } else {
        types[key] = QLRecordUIDDatatype;
    }

    QStringList definitions;
    for (int i = 0; i < columns.size(); ++i) {
        if (columns.at(i).trimmed().isEmpty()) {
            setLastError(QStringLiteral("QLite:createTable has failed while constructing the query."),
                         QLP_UnknownError);
            return false;
        }
        const QString &type = types.at(i);
        definitions << (type.isEmpty()
                            ? columns.at(i)
                            : columns.at(i) + QLatin1Char(' ') + (type == QLString ? QStringLiteral("TEXT") : type));
    }
    const QString sql = (temporary ? QStringLiteral("CREATE TEMPORARY TABLE ") : QStringLiteral("CREATE TABLE ")) +
                        name + QLatin1Char('(') + definitions.join(QLatin1Char(',')) + QStringLiteral(");");

    const bool opened = !isTransactionActive();
    if (opened && !beginTransaction())
        return false;
    bool ok = performExecuteQuery(sql);
    // A connection opened without the schema table still creates tables; the CREATE text carries the types.
    if (ok && hasSchemaTable()) {
        const QStringList schemaColumns{QLP_TableIdentifier, QLP_ColumnIdentifier, QLP_DatatypeIdentifier};
        for (int i = 0; ok && i < columns.size(); ++i) {
            QStringList values;
            for (const QString &v : {name, columns.at(i), types.at(i)})
                values << quoted(v);
            ok = performExecuteQuery(
                QStringLiteral("INSERT INTO %1(%2) VALUES(%3);")
                    .arg(QLP_SchemaTable, schemaColumns.join(QLatin1Char(',')), values.join(QLatin1Char(','))));
        }
    }
    if (opened) {
        if (ok) {
            ok = commitTransaction();
        } else {
            const QString message = m_lastError;
            const int code = m_lastErrorID;
            rollbackTransaction();
            setLastError(message, code);
        }
    }
    if (ok) {
        rebuildDatatypeCache();
        clearLastError();
    }
    flushCommitNotifications();
    return ok;
}

bool QLiteDatabase::dropTable(const QString &name)
{
    if (name.isNull()) {
        setLastError(QStringLiteral("QLite:dropTable has failed because the supplied parameter is nil."),
                     QLP_UnknownError);
        return false;
    }
    if (!m_db) {
        setLastError(kClosedPerform, QLP_UnknownError);
        return false;
    }
    const bool opened = !isTransactionActive();
    if (opened && !beginTransaction())
        return false;
    bool ok = performExecuteQuery(QStringLiteral("DROP TABLE %1;").arg(identifierForDrop(name)));
    if (ok && hasSchemaTable())
        ok = performExecuteQuery(
            QStringLiteral("DELETE FROM %1 WHERE %2 = %3;").arg(QLP_SchemaTable, QLP_TableIdentifier, quoted(name)));
    if (opened) {
        if (ok) {
            ok = commitTransaction();
        } else {
            const QString message = m_lastError;
            const int code = m_lastErrorID;
            rollbackTransaction();
            setLastError(message, code);
        }
    }
    if (ok) {
        rebuildDatatypeCache();
        clearLastError();
    }
    flushCommitNotifications();
    return ok;
}

QStringList QLiteDatabase::temporaryTables()
{
    auto cursor = performQuery(QStringLiteral("SELECT * FROM sqlite_temp_master;"), 1, true);
    if (!cursor)
        return {};
    QStringList result;
    for (const Value &v : cursor->valuesForColumn(QStringLiteral("sqlite_temp_master.tbl_name")))
        if (!result.contains(v.toString()))
            result << v.toString();
    return result;
}

bool QLiteDatabase::save()
{
    if (!m_db) {
        setLastError(QStringLiteral("The database is closed."), QLP_UnknownError);
        return false;
    }
    if (m_modifiedCursors.empty()) {
        setLastError(QStringLiteral("The database doesn't have unsaved changes."), QLP_UnknownError);
        return false;
    }
    const bool opened = !isTransactionActive();
    if (opened && !beginTransaction())
        return false;
    bool ok = true;
    for (const auto &cursor : m_modifiedCursors) {
        ok = cursor->saveEdits();
        if (!ok)
            break;
    }
    if (opened) {
        if (ok) {
            ok = commitTransaction();
        } else {
            const QString message = m_lastError;
            const int code = m_lastErrorID;
            rollbackTransaction();
            setLastError(message, code);
        }
    }
    if (ok) {
        for (const auto &cursor : m_modifiedCursors)
            cursor->commitEdits();
        m_modifiedCursors.clear();
    }
    flushCommitNotifications();
    return ok;
}

void QLiteDatabase::markCursorModified(const std::shared_ptr<QLiteCursor> &cursor)
{
    m_modifiedCursors.insert(cursor);
}

// Notifications

Value QLiteDatabase::notificationUserInfo() const
{
    return Value::dict({{QLP_ProcessID, Value(m_processID)},
                        {QLDatabasePathIdentifier, Value(m_path)},
                        {QLTimestampIdentifier, Value::date(ReferenceDate::now())}});
}

void QLiteDatabase::postStatementNotification(const QString &sql)
{
    Value info = notificationUserInfo();
    info.set(QLSQLStatementIdentifier, sql);
    NotificationCenter::distributedCenter().post(QLDatabaseHasSentSQLStatementNotification, this, info);
}

int QLiteDatabase::commitHook(void *context)
{
    // SQLite forbids using the connection from inside the hook, and observers may well run SQL:
    // only note the commit here and post once the statement has finished.
    static_cast<QLiteDatabase *>(context)->m_commitPending = true;
    return 0;
}

void QLiteDatabase::flushCommitNotifications()
{
    if (m_flushing)
        return;
    m_flushing = true;
    while (m_commitPending) {
        m_commitPending = false;
        NotificationCenter::distributedCenter().post(QLP_QLiteDatabaseDidChangeNotification, this,
                                                     notificationUserInfo());
    }
    m_flushing = false;
}

void QLiteDatabase::databaseDidChange(const Notification &notification)
{
    const Value info = notification.userInfo;
    if (!m_db || info.value(QLDatabasePathIdentifier).toString() != m_path)
        return;
    const bool otherProcess =
        notification.fromOtherProcess || quint32(info.value(QLP_ProcessID).toInt()) != m_processID;
    if (otherProcess) {
        // The caller's view of the last error must not change because another process wrote.
        const QString message = m_lastError;
        const int code = m_lastErrorID;
        rebuildDatatypeCache();
        setLastError(message, code);
    }
    NotificationCenter::defaultCenter().post(QLDatabaseHasChangedNotification, this, info);
}
