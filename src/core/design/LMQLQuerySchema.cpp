// Schema changes on the connection: design commits that rebuild a table, renames of tables and fields with
// every design that names them, the relationship audit hook and atomic writes.
#include "DesignVocabulary.h"
#include "OXDatabase.h"

#include "MyDocument.h"
#include "QLiteCursor.h"
#include "SchemaNameRules.h"

namespace {
const QString kName = QStringLiteral("Name");
const QString kFields = QStringLiteral("Fields");
const QString kType = QStringLiteral("Type");
const QString kTable = QStringLiteral("Table");
const QString kField = QStringLiteral("Field");
const QString kLines = QStringLiteral("Lines");
const QString kBoxes = QStringLiteral("Boxes");
const QString kStartTable = QStringLiteral("Start Table");
const QString kStartField = QStringLiteral("Start Field");
const QString kEndTable = QStringLiteral("End Table");
const QString kEndField = QStringLiteral("End Field");
const QString kContentTable = QStringLiteral("Content Table");
const QString kTableName = QStringLiteral("Table Name");
const QString kSavepoint = QStringLiteral("orvix_atomic_writes");

OXDatabase::RelationshipAuditor &installedAuditor()
{
    static OXDatabase::RelationshipAuditor auditor;
    return auditor;
}

QString quotedList(const QStringList &names)
{
    QStringList quoted;
    for (const QString &name : names)
        quoted << OXDatabase::quoteIdentifier(name);
    return quoted.join(QStringLiteral(", "));
}

// Replaces `key` with `newValue` in every dictionary of `entries` where `match` holds.
template <typename Match>
void replaceWhere(const Value &entries, const QString &key, const QString &newValue, Match match)
{
    for (int i = 0; i < entries.size(); ++i) {
        Value entry = entries.at(i);
        if (entry.isDict() && match(entry))
            entry.set(key, newValue);
    }
}

bool stringEquals(const Value &entry, const QString &key, const QString &text)
{
    const Value v = entry.value(key);
    return v.isString() && v.toString() == text;
}
} // namespace

LMTableDesignCommit LMTableDesignCommit::forDesign(const Value &tableDesign)
{
    LMTableDesignCommit commit;
    commit.tableName = tableDesign.value(kName).toString();
    commit.schema = tableDesign.value(kFields).isArray() ? tableDesign.value(kFields).deepCopy() : Value::array();
    for (int i = 0; i < commit.schema.size(); ++i) {
        const QString name = commit.schema.at(i).value(kName).toString();
        commit.columnMapLeft << name;
        commit.columnMapRight << name;
    }
    return commit;
}

LMTableDesignCommit LMTableDesignCommit::forNewTable(const QString &tableName)
{
    LMTableDesignCommit commit;
    commit.tableName = tableName;
    commit.schema = Value::array({DesignVocabulary::idField()});
    commit.columnMapLeft << QString();
    commit.columnMapRight << QString();
    commit.isNewTable = true;
    return commit;
}

QString OXDatabase::designBackupTableName()
{
    return QStringLiteral("^Orvix__Design__Backup^");
}

QString OXDatabase::columnListForSchema(const Value &schema) const
{
    QStringList columns;
    for (int i = 0; i < schema.size(); ++i) {
        const Value field = schema.at(i);
        const QString name = field.value(kName).toString();
        if (name.isEmpty())
            continue;
        const QString type = field.value(kType).toString();
        // Like createTableFromDesign: an empty default is no default, not the 0 of a number or yes/no.
        const Value defaultValue = field.value(QStringLiteral("Default"));
        const bool noDefault = defaultValue.isNull() || (defaultValue.isString() && defaultValue.toString().isEmpty());
        const QString stored = noDefault ? QString() : nativeToDb(defaultValue, type, true);
        columns << QStringLiteral("%1 %2 DEFAULT '%3' ").arg(quoteIdentifier(name), sqlTypeForDatatype(type), stored);
    }
    return columns.join(QStringLiteral(" ,"));
}

LMTableDesignCommit::Result OXDatabase::commitTableRevised(LMTableDesignCommit &commit)
{
    if (m_document)
        m_document->setChanged(true);
    if (commit.doNotCommit)
        return LMTableDesignCommit::Result::Cancelled;

    // Work on copies: a failed commit leaves the editor's change set as it was.
    Value schema = Value::array();
    QStringList left, right;
    for (int i = 0; i < commit.schema.size(); ++i) {
        const Value field = commit.schema.at(i);
        const QString name = field.value(kName).toString();
        if (name.isEmpty())
            continue;
        schema.append(field.deepCopy());
        left << (i < commit.columnMapLeft.size() ? commit.columnMapLeft.at(i) : name);
        right << (i < commit.columnMapRight.size() ? commit.columnMapRight.at(i) : QString());
    }

    QList<QPair<QString, QString>> renames;
    for (int i = 0; i < left.size(); ++i)
        if (!left.at(i).isEmpty() && !right.at(i).isEmpty() && left.at(i) != right.at(i))
            renames << qMakePair(right.at(i), left.at(i));

    for (const QString &cleared : commit.columnsToClear)
        for (QString &old : right)
            if (old == cleared)
                old.clear();

    const QString table = commit.tableName;
    // Columns kept under their stored name stay as they are; new and renamed ones meet the editor's rules.
    QStringList unchanged;
    for (int i = 0; i < left.size(); ++i)
        if (!commit.isNewTable && left.at(i) == right.at(i))
            unchanged << left.at(i);
    if (std::optional<Alert> refused = SchemaNameRules::checkFieldNames(schema, true, unchanged)) {
        setLastError(refused->messageText + QStringLiteral(": ") + refused->informativeText, QLP_UnknownError);
        return LMTableDesignCommit::Result::Failed;
    }
    const QString columnList = columnListForSchema(schema);
    const QString createTable = QStringLiteral("CREATE TABLE %1 (%2)").arg(quoteIdentifier(table), columnList);

    QStringList statements;
    if (commit.isNewTable) {
        statements << createTable;
    } else {
        const Value stored = tableDesign(table);
        if (stored.isDict() && stored.value(kFields) == schema)
            return LMTableDesignCommit::Result::Unchanged;
        QStringList newColumns, oldColumns;
        for (int i = 0; i < left.size(); ++i) {
            if (right.at(i).isEmpty())
                continue;
            newColumns << left.at(i);
            oldColumns << right.at(i);
        }
        const QString backup = designBackupTableName();
        statements << QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quoteIdentifier(table), quoteIdentifier(backup))
                   << createTable;
        if (!newColumns.isEmpty())
            statements << QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4")
                              .arg(quoteIdentifier(table), quotedList(newColumns), quotedList(oldColumns),
                                   quoteIdentifier(backup));
        // The copy sets the new table's id counter to its highest row; keep the old counter so the ids of
        // deleted rows, which link lists may still hold, are never handed out again.
        const std::shared_ptr<QLiteCursor> sequence = executeQuery(
            QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = 'sqlite_sequence'"));
        if (sequence && sequence->rowCount() > 0) {
            const QString t = prepareStringForQuery(table), b = prepareStringForQuery(backup);
            statements << QStringLiteral("UPDATE sqlite_sequence SET seq = (SELECT seq FROM sqlite_sequence WHERE "
                                         "name = '%2') WHERE name = '%1' AND seq < (SELECT seq FROM "
                                         "sqlite_sequence WHERE name = '%2')")
                              .arg(t, b)
                       << QStringLiteral("INSERT INTO sqlite_sequence (name, seq) SELECT '%1', seq FROM "
                                         "sqlite_sequence WHERE name = '%2' AND NOT EXISTS (SELECT 1 FROM "
                                         "sqlite_sequence WHERE name = '%1')")
                              .arg(t, b);
        }
        statements << QStringLiteral("DROP TABLE %1").arg(quoteIdentifier(backup));
    }

    if (!beginAtomicWrites())
        return LMTableDesignCommit::Result::Failed;
    for (const QString &statement : statements) {
        performQuery(statement);
        if (lastErrorID() != QLSuccess) {
            rollbackAtomicWrites();
            return LMTableDesignCommit::Result::Failed;
        }
    }
    if (!commitAtomicWrites())
        return LMTableDesignCommit::Result::Failed;

    for (const auto &rename : renames)
        renameField(rename.first, rename.second, table);
    updateTableDesign(table, Value::dict({{kFields, schema.deepCopy()}, {kName, Value(table)}}));
    auditRelationships();

    commit.schema = schema;
    commit.columnMapLeft = left;
    commit.columnMapRight = left;
    commit.columnsToClear.clear();
    commit.isNewTable = false;
    return LMTableDesignCommit::Result::Committed;
}

void OXDatabase::renameField(const QString &oldName, const QString &newName, const QString &table)
{
    if (!m_document)
        return;
    const Value lines = m_document->relationships().value(kLines);
    replaceWhere(lines, kStartField, newName, [&](const Value &line) {
        return stringEquals(line, kStartTable, table) && stringEquals(line, kStartField, oldName);
    });
    replaceWhere(lines, kEndField, newName, [&](const Value &line) {
        return stringEquals(line, kEndTable, table) && stringEquals(line, kEndField, oldName);
    });
    const Value queries = m_document->queries();
    for (int i = 0; i < queries.size(); ++i) {
        for (const QString &list : {QStringLiteral("Displays"), QStringLiteral("Parameters")})
            replaceWhere(queries.at(i).value(list), kField, newName, [&](const Value &entry) {
                return stringEquals(entry, kTable, table) && stringEquals(entry, kField, oldName);
            });
    }
}

void OXDatabase::renameTableDesign(const QString &oldName, const QString &newName)
{
    if (!m_document)
        return;
    Value design = tableDesign(oldName);
    if (design.isDict())
        design.set(kName, newName);
    const Value relationships = m_document->relationships();
    const auto named = [&](const QString &key) {
        return [&, key](const Value &entry) { return stringEquals(entry, key, oldName); };
    };
    replaceWhere(relationships.value(kBoxes), kName, newName, named(kName));
    replaceWhere(relationships.value(kLines), kStartTable, newName, named(kStartTable));
    replaceWhere(relationships.value(kLines), kEndTable, newName, named(kEndTable));
}

void OXDatabase::renameTableReferences(const QString &oldName, const QString &newName)
{
    if (!m_document)
        return;
    const auto named = [&](const QString &key) {
        return [&, key](const Value &entry) { return stringEquals(entry, key, oldName); };
    };
    replaceWhere(m_document->reports(), kContentTable, newName, named(kContentTable));
    replaceWhere(m_document->forms(), kContentTable, newName, named(kContentTable));
    const Value queries = m_document->queries();
    replaceWhere(queries, kTableName, newName, named(kTableName));
    for (int i = 0; i < queries.size(); ++i)
        for (const QString &list : {QStringLiteral("Displays"), QStringLiteral("Parameters")})
            replaceWhere(queries.at(i).value(list), kTable, newName, named(kTable));
}

std::optional<Alert> OXDatabase::renameTable(const QString &oldName, const QString &newName, const void *sender)
{
    if (std::optional<Alert> refused = SchemaNameRules::checkTableName(newName, design(), oldName))
        return refused;
    if (!tablesList().contains(oldName))
        return Alert::make(
            QStringLiteral("An Error Occurred"),
            QStringLiteral("Please submit a bug report to tandrel. Error code %1").arg(QLP_UnknownError));
    if (oldName == newName)
        return std::nullopt;
    // SQLite sees a name that differs only in letter case as taken, so such a rename goes through a
    // passing name.
    QStringList steps;
    if (oldName.compare(newName, Qt::CaseInsensitive) == 0)
        steps << oldName << QStringLiteral("^Orvix__Rename^") << newName;
    else
        steps << oldName << newName;
    bool renamed = beginAtomicWrites();
    if (renamed) {
        for (int i = 1; renamed && i < steps.size(); ++i) {
            performQuery(QStringLiteral("ALTER TABLE %1 RENAME TO %2")
                             .arg(quoteIdentifier(steps.at(i - 1)), quoteIdentifier(steps.at(i))));
            renamed = lastErrorID() == QLSuccess;
        }
        if (renamed)
            renamed = commitAtomicWrites();
        else
            rollbackAtomicWrites();
    }
    if (!renamed)
        return Alert::make(QStringLiteral("An Error Occurred"),
                           QStringLiteral("Please submit a bug report to tandrel. Error code %1").arg(lastErrorID()));
    renameTableDesign(oldName, newName);
    if (m_document) {
        m_document->setChanged(true);
        m_document->itemDidRename(ItemKind::Table, oldName, newName, sender);
    }
    renameTableReferences(oldName, newName);
    return std::nullopt;
}

void OXDatabase::setRelationshipAuditor(RelationshipAuditor auditor)
{
    installedAuditor() = std::move(auditor);
}

bool OXDatabase::hasRelationshipAuditor()
{
    return bool(installedAuditor());
}

bool OXDatabase::auditRelationships()
{
    const RelationshipAuditor auditor = installedAuditor();
    return auditor ? auditor(*this) : false;
}

bool OXDatabase::beginAtomicWrites()
{
    if (isTransactionActive()) {
        performQuery(QStringLiteral("SAVEPOINT %1").arg(kSavepoint));
        if (lastErrorID() != QLSuccess)
            return false;
        m_atomicUsesSavepoint << true;
        return true;
    }
    if (!beginTransaction())
        return false;
    m_atomicUsesSavepoint << false;
    return true;
}

bool OXDatabase::commitAtomicWrites()
{
    if (m_atomicUsesSavepoint.isEmpty())
        return false;
    const bool savepoint = m_atomicUsesSavepoint.takeLast();
    if (savepoint) {
        performQuery(QStringLiteral("RELEASE SAVEPOINT %1").arg(kSavepoint));
        return lastErrorID() == QLSuccess;
    }
    if (commitTransaction())
        return true;
    // A commit that did not land leaves the transaction open; undo it so nothing half-done stays.
    const QString message = lastError();
    const int code = lastErrorID();
    if (isTransactionActive())
        rollbackTransaction();
    setLastError(message, code);
    return false;
}

void OXDatabase::rollbackAtomicWrites()
{
    if (m_atomicUsesSavepoint.isEmpty())
        return;
    const bool savepoint = m_atomicUsesSavepoint.takeLast();
    const QString message = lastError();
    const int code = lastErrorID();
    if (savepoint)
        performQuery(QStringLiteral("ROLLBACK TO SAVEPOINT %1; RELEASE SAVEPOINT %1").arg(kSavepoint));
    else if (isTransactionActive())
        rollbackTransaction();
    setLastError(message, code);
}
