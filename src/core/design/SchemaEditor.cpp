// SchemaEditor: table creation, design commits that rebuild a table, and table renames.
#include "SchemaEditor.h"

#include "DesignReferences.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "QLiteCursor.h"
#include "SchemaNameRules.h"
#include "ValueCodec.h"

namespace {
QString quoted(const QString &name)
{
    return QLiteDatabase::quoteIdentifier(name);
}

QString quotedList(const QStringList &names)
{
    QStringList out;
    for (const QString &name : names)
        out << quoted(name);
    return out.join(QStringLiteral(", "));
}

// "`name` TYPE DEFAULT 'stored default' " for one field; an empty default is no default.
QString columnDefinition(const Value &field, const QString &sqlType)
{
    const Datatype type = Datatypes::fromName(field.value(DesignKey::Type).toString());
    const Value defaultValue = field.value(DesignKey::Default);
    const bool noDefault = defaultValue.isNull() || (defaultValue.isString() && defaultValue.toString().isEmpty());
    const QString stored = noDefault ? QString() : ValueCodec::nativeToDb(defaultValue, type, true);
    return QStringLiteral("%1 %2 DEFAULT '%3' ").arg(quoted(field.value(DesignKey::Name).toString()), sqlType, stored);
}

Alert bugReport(const QString &code)
{
    return Alert::make(QStringLiteral("An Error Occurred"),
                       QStringLiteral("Please submit a bug report to tandrel. Error code %1").arg(code));
}
} // namespace

QString SchemaEditor::sqlTypeForDatatype(Datatype datatype)
{
    switch (datatype) {
    case Datatype::PrimaryKey: return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case Datatype::Number:
    case Datatype::Date: return QStringLiteral("REAL");
    case Datatype::YesNo: return QStringLiteral("INTEGER");
    case Datatype::Text:
    case Datatype::Image:
    case Datatype::Audio:
    case Datatype::Video:
    case Datatype::List:
    case Datatype::Options:
    case Datatype::Attachment:
    case Datatype::FilePath:
    case Datatype::Relationship: return QStringLiteral("TEXT");
    case Datatype::Unknown: break;
    }
    return QString();
}

QString SchemaEditor::designBackupTableName()
{
    return QStringLiteral("^Orvix__Design__Backup^");
}

QString SchemaEditor::columnListForSchema(const Value &schema)
{
    QStringList columns;
    for (int i = 0; i < schema.size(); ++i) {
        const Value field = schema.at(i);
        if (field.value(DesignKey::Name).toString().isEmpty())
            continue;
        columns << columnDefinition(field,
                                    sqlTypeForDatatype(Datatypes::fromName(field.value(DesignKey::Type).toString())));
    }
    return columns.join(QStringLiteral(" ,"));
}

bool SchemaEditor::createTableFromDesign(const Value &tableDesign)
{
    const QString tableName = tableDesign.value(DesignKey::Name).toString();
    if (m_database.tablesList().contains(tableName))
        return false; // a known design: refused without touching SQLite
    // A design may come from a file, a template or a script: it meets the editor's name rules before any name
    // reaches SQL.
    std::optional<Alert> refused = SchemaNameRules::checkTableName(tableName, Value::array());
    if (!refused)
        refused = SchemaNameRules::checkFieldNames(tableDesign.value(DesignKey::Fields), true);
    if (refused) {
        m_database.setLastError(refused->messageText + QStringLiteral(": ") + refused->informativeText,
                                QLP_UnknownError);
        return false;
    }
    const Value fields = tableDesign.value(DesignKey::Fields);
    QStringList columns;
    for (int i = 0; i < fields.size(); ++i) {
        const Value field = fields.at(i);
        const QString typeName = field.value(DesignKey::Type).toString();
        const QString sqlType = sqlTypeForDatatype(Datatypes::fromName(typeName));
        if (sqlType.isEmpty()) {
            m_database.setLastError(QStringLiteral("The field \"%1\" has the unknown type \"%2\".")
                                        .arg(field.value(DesignKey::Name).toString(), typeName),
                                    QLP_UnknownError);
            return false;
        }
        columns << columnDefinition(field, sqlType);
    }
    m_database.performQuery(
        QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(tableName), columns.join(QLatin1Char(','))));
    return true;
}

QStringList SchemaEditor::rebuildStatements(const QString &table, const QString &createTable,
                                            const QStringList &newColumns, const QStringList &oldColumns)
{
    const QString backup = designBackupTableName();
    QStringList statements;
    statements << QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quoted(table), quoted(backup)) << createTable;
    if (!newColumns.isEmpty())
        statements << QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4")
                          .arg(quoted(table), quotedList(newColumns), quotedList(oldColumns), quoted(backup));
    // The copy sets the new table's id counter to its highest row; keep the old counter so the ids of
    // deleted rows, which link lists may still hold, are never handed out again.
    const std::shared_ptr<QLiteCursor> sequence = m_database.executeQuery(
        QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = 'sqlite_sequence'"));
    if (sequence && sequence->rowCount() > 0) {
        const QString t = QLiteDatabase::prepareStringForQuery(table);
        const QString b = QLiteDatabase::prepareStringForQuery(backup);
        statements << QStringLiteral("UPDATE sqlite_sequence SET seq = (SELECT seq FROM sqlite_sequence WHERE "
                                     "name = '%2') WHERE name = '%1' AND seq < (SELECT seq FROM "
                                     "sqlite_sequence WHERE name = '%2')")
                          .arg(t, b)
                   << QStringLiteral("INSERT INTO sqlite_sequence (name, seq) SELECT '%1', seq FROM "
                                     "sqlite_sequence WHERE name = '%2' AND NOT EXISTS (SELECT 1 FROM "
                                     "sqlite_sequence WHERE name = '%1')")
                          .arg(t, b);
    }
    statements << QStringLiteral("DROP TABLE %1").arg(quoted(backup));
    return statements;
}

bool SchemaEditor::runAtomically(const QStringList &statements)
{
    if (!m_database.beginAtomicWrites())
        return false;
    for (const QString &statement : statements) {
        m_database.performQuery(statement);
        if (m_database.lastErrorID() != QLSuccess) {
            m_database.rollbackAtomicWrites();
            return false;
        }
    }
    return m_database.commitAtomicWrites();
}

LMTableDesignCommit::Result SchemaEditor::commitTableRevised(LMTableDesignCommit &commit)
{
    MyDocument *document = m_database.document();
    if (document)
        document->setChanged(true);
    if (commit.doNotCommit)
        return LMTableDesignCommit::Result::Cancelled;

    // Work on copies: a failed commit leaves the editor's change set as it was.
    Value schema = Value::array();
    QStringList left, right;
    for (int i = 0; i < commit.schema.size(); ++i) {
        const Value field = commit.schema.at(i);
        const QString name = field.value(DesignKey::Name).toString();
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
        m_database.setLastError(refused->messageText + QStringLiteral(": ") + refused->informativeText,
                                QLP_UnknownError);
        return LMTableDesignCommit::Result::Failed;
    }
    const QString createTable = QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(table), columnListForSchema(schema));

    QStringList statements;
    if (commit.isNewTable) {
        statements << createTable;
    } else {
        const Value stored = m_database.tableDesign(table);
        if (stored.isDict() && stored.value(DesignKey::Fields) == schema)
            return LMTableDesignCommit::Result::Unchanged;
        QStringList newColumns, oldColumns;
        for (int i = 0; i < left.size(); ++i) {
            if (right.at(i).isEmpty())
                continue;
            newColumns << left.at(i);
            oldColumns << right.at(i);
        }
        statements = rebuildStatements(table, createTable, newColumns, oldColumns);
    }
    if (!runAtomically(statements))
        return LMTableDesignCommit::Result::Failed;

    DesignReferences references = DesignReferences::of(document);
    for (const auto &rename : renames)
        references.renameField(rename.first, rename.second, table);
    m_database.catalogue().updateTableDesign(
        table, Value::dict({{DesignKey::Fields, schema.deepCopy()}, {DesignKey::Name, Value(table)}}));
    m_database.auditRelationships();

    commit.schema = schema;
    commit.columnMapLeft = left;
    commit.columnMapRight = left;
    commit.columnsToClear.clear();
    commit.isNewTable = false;
    return LMTableDesignCommit::Result::Committed;
}

std::optional<Alert> SchemaEditor::renameTable(const QString &oldName, const QString &newName, const void *sender)
{
    if (std::optional<Alert> refused = SchemaNameRules::checkTableName(newName, m_database.design(), oldName))
        return refused;
    if (!m_database.tablesList().contains(oldName))
        return bugReport(QString::number(QLP_UnknownError));
    if (oldName == newName)
        return std::nullopt;
    // SQLite sees a name that differs only in letter case as taken, so such a rename goes through a
    // passing name.
    QStringList steps;
    if (oldName.compare(newName, Qt::CaseInsensitive) == 0)
        steps << oldName << QStringLiteral("^Orvix__Rename^") << newName;
    else
        steps << oldName << newName;
    QStringList statements;
    for (int i = 1; i < steps.size(); ++i)
        statements << QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quoted(steps.at(i - 1)), quoted(steps.at(i)));
    if (!runAtomically(statements))
        return bugReport(QString::number(m_database.lastErrorID()));
    MyDocument *document = m_database.document();
    DesignReferences references = DesignReferences::of(document);
    references.renameTableDesign(oldName, newName);
    if (document) {
        document->setChanged(true);
        document->itemDidRename(ItemKind::Table, oldName, newName, sender);
    }
    references.renameTableReferences(oldName, newName);
    return std::nullopt;
}
