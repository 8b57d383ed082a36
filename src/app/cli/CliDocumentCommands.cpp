// orvix-cli commands over documents, tables and cells: new, tables, sql, add-table, add-row, set, get.
#include "CliRegistry.h"
#include "JsonValue.h"

#include "DesignVocabulary.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"
#include "SchemaNameRules.h"

#include <QFileInfo>
#include <QJsonObject>

namespace {
int runNew(CliContext &cli, const QStringList &args)
{
    if (QFileInfo::exists(args[0]))
        return cli.fail(QStringLiteral("\"%1\" already exists").arg(args[0]));
    QString error;
    auto doc = MyDocument::createNew(&error);
    if (!doc)
        return cli.fail(error);
    return cli.savePackage(*doc, args[0]) ? 0 : 1;
}

int runTables(CliContext &cli, const QStringList &args)
{
    auto doc = cli.openPackage(args[0]);
    if (!doc)
        return 1;
    for (const QString &name : doc->database()->tablesList())
        cli.out() << name << "\n";
    cli.out().flush();
    return 0;
}

int runSql(CliContext &cli, const QStringList &args)
{
    auto doc = cli.openPackageForWriting(args[0]);
    if (!doc)
        return 1;
    OXDatabase *db = doc->database();
    auto cursor = db->executeQuery(args[1]);
    if (db->lastErrorID() != 0)
        return cli.fail(db->lastError());
    if (!cursor) {
        doc->setChanged(true);
        return cli.savePackage(*doc, args[0]) ? 0 : 1;
    }
    const QStringList columns = cursor->columns();
    cli.out() << columns.join(QLatin1Char('\t')) << "\n";
    for (quint32 r = 0; r < cursor->rowCount(); ++r) {
        const auto row = cursor->rowAtIndex(r);
        QStringList cells;
        for (const QString &column : columns)
            cells << row->stringForColumn(column);
        cli.out() << cells.join(QLatin1Char('\t')) << "\n";
    }
    cli.out().flush();
    return 0;
}

int runAddTable(CliContext &cli, const QStringList &args)
{
    auto doc = cli.openPackageForWriting(args[0]);
    if (!doc)
        return 1;
    QJsonObject json;
    if (!cli.readJsonObject(args[1], QStringLiteral("a JSON table design"), &json))
        return 1;
    QString designError;
    const std::optional<Value> design = JsonValue::tableDesignFromJson(json, &designError);
    if (!design)
        return cli.fail(designError);

    const QString name = design->value(DesignKey::Name).toString();
    if (const auto alert = SchemaNameRules::checkTableName(name, doc->tables()))
        return cli.refuse(*alert);
    // Field names meet the design editor's rules too, before any of them reaches SQL.
    if (const auto alert = SchemaNameRules::checkFieldNames(design->value(DesignKey::Fields), true))
        return cli.refuse(*alert);
    OXDatabase *db = doc->database();
    if (!db->createTableFromDesign(*design) || db->lastErrorID() != 0)
        return cli.fail(QStringLiteral("the table could not be created: %1").arg(db->lastError()));
    db->createTableDesign(*design);
    doc->setChanged(true);
    return cli.savePackage(*doc, args[0]) ? 0 : 1;
}

int runAddRow(CliContext &cli, const QStringList &args)
{
    auto doc = cli.openPackageForWriting(args[0]);
    if (!doc)
        return 1;
    OXDatabase *db = doc->database();
    if (!db->tablesList().contains(args[1]))
        return cli.fail(QStringLiteral("no table named \"%1\"").arg(args[1]));
    db->executeQuery(QStringLiteral("INSERT INTO `%1` (`id`) VALUES (NULL)").arg(args[1]));
    if (db->lastErrorID() != 0)
        return cli.fail(db->lastError());
    const qint64 id = db->lastRowInserted();
    doc->setChanged(true);
    if (!cli.savePackage(*doc, args[0]))
        return 1;
    cli.out() << id << "\n";
    cli.out().flush();
    return 0;
}

// The table and field must exist, and the record too.
QString checkCell(OXDatabase *db, const QString &table, const QString &id, const QString &field)
{
    if (!db->tablesList().contains(table))
        return QStringLiteral("no table named \"%1\"").arg(table);
    if (!db->allNamesForTable(table).contains(field))
        return QStringLiteral("no field named \"%1\" in table \"%2\"").arg(field, table);
    bool ok = false;
    id.toLongLong(&ok);
    if (!ok)
        return QStringLiteral("\"%1\" is not a record id").arg(id);
    auto cursor = db->executeQuery(
        QStringLiteral("SELECT `id` FROM `%1` WHERE `id` = '%2'").arg(table, QLiteDatabase::prepareStringForQuery(id)));
    if (!cursor || cursor->rowCount() == 0)
        return QStringLiteral("no record %1 in table \"%2\"").arg(id, table);
    return QString();
}

// A cell command's package (PACKAGE TABLE ID FIELD …) with its table, field and record checked; null after
// saying what is wrong.
std::unique_ptr<MyDocument> openCell(CliContext &cli, const QStringList &args, bool forWriting)
{
    auto doc = forWriting ? cli.openPackageForWriting(args[0]) : cli.openPackage(args[0]);
    if (!doc)
        return nullptr;
    const QString problem = checkCell(doc->database(), args[1], args[2], args[3]);
    if (!problem.isEmpty()) {
        cli.fail(problem);
        return nullptr;
    }
    return doc;
}

int runSet(CliContext &cli, const QStringList &args)
{
    auto doc = openCell(cli, args, true);
    if (!doc)
        return 1;
    OXDatabase *db = doc->database();
    const QString &table = args[1], &id = args[2], &field = args[3];
    const Value native = db->removeFormattingFromString(args[4], table, field);
    if (const auto alert = db->insertNativeValue(native, table, field, id))
        return cli.refuse(*alert);
    return cli.savePackage(*doc, args[0]) ? 0 : 1;
}

int runGet(CliContext &cli, const QStringList &args)
{
    auto doc = openCell(cli, args, false);
    if (!doc)
        return 1;
    OXDatabase *db = doc->database();
    const QString &table = args[1], &id = args[2], &field = args[3];
    auto cursor = db->executeQuery(QStringLiteral("SELECT `%1` FROM `%2` WHERE `id` = '%3'")
                                       .arg(field, table, QLiteDatabase::prepareStringForQuery(id)));
    if (!cursor || cursor->rowCount() == 0)
        return cli.fail(db->lastError());
    const QString stored = cursor->rowAtIndex(0)->stringForColumn(table + QLatin1Char('.') + field);
    const Value native =
        db->dbToNativeForTable(DesignVocabulary::isNullLike(stored) ? QString() : stored, table, field);
    cli.out() << db->addFormattingToObject(native, table, field).text << "\n";
    cli.out().flush();
    return 0;
}

const CliRegistration registration({
    {"new", "PACKAGE", "create and save an empty document", 1, 1, runNew},
    {"tables", "PACKAGE", "print the table names, one per line, in design order", 1, 1, runTables},
    {"sql", "PACKAGE STATEMENT",
     "run SQL; a SELECT prints a tab-separated header line and rows,\nany other statement saves the document", 2, 2,
     runSql},
    {"add-table", "PACKAGE DESIGN.json",
     "add a table from a design {\"Name\": ..., \"Fields\": [...]}\n(what `design` prints reads back unchanged)", 2, 2,
     runAddTable},
    {"add-row", "PACKAGE TABLE", "add an empty record and print its id", 2, 2, runAddRow},
    {"set", "PACKAGE TABLE ID FIELD TEXT", "write one cell as a paste would (validated); exit 3 when refused", 5, 5,
     runSet},
    {"get", "PACKAGE TABLE ID FIELD", "print one cell's display text", 4, 4, runGet},
});
} // namespace
