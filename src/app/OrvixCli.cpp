// OrvixCli: command dispatch and the commands over documents, tables and cells.
#include "OrvixCli.h"

#include "OrvixCliTransfer.h"

#include "JsonValue.h"
#include "LMRelationship.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"
#include "SchemaNameRules.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>

namespace {
const char *kUsage =
    "Usage: orvix-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  new PACKAGE                       create and save an empty document\n"
    "  tables PACKAGE                    print the table names, one per line, in design order\n"
    "  sql PACKAGE STATEMENT             run SQL; a SELECT prints a tab-separated header line and rows,\n"
    "                                    any other statement saves the document\n"
    "  add-table PACKAGE DESIGN.json     add a table from a design {\"Name\": ..., \"Fields\": [...]}\n"
    "  add-row PACKAGE TABLE             add an empty record and print its id\n"
    "  set PACKAGE TABLE ID FIELD TEXT   write one cell as a paste would (validated); exit 3 when refused\n"
    "  get PACKAGE TABLE ID FIELD        print one cell's display text\n"
    "  relate PACKAGE START_TABLE START_FIELD END_TABLE END_FIELD TYPE\n"
    "                                    add a relationship between two \"Relationship\" fields; END_FIELD \"-\"\n"
    "                                    makes it one-way; TYPE 0 one to one, 1 one to many, 2 many to many\n"
    "%1"
    "  --help                            show this text\n";
} // namespace

int OrvixCli::usage(int code)
{
    QTextStream &s = code == 0 ? m_out : m_err;
    s << QString::fromUtf8(kUsage).arg(QString::fromUtf8(OrvixCliTransfer::usage()));
    s.flush();
    return code;
}

int OrvixCli::fail(const QString &message, int code)
{
    m_err << "orvix-cli: " << message << "\n";
    m_err.flush();
    return code;
}

int OrvixCli::run(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return usage(2);
    const QString command = arguments.first();
    const QStringList args = arguments.mid(1);
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help"))
        return usage(0);
    if (command == QLatin1String("import") || command == QLatin1String("export")) {
        if (args.contains(QStringLiteral("--help")))
            return usage(0);
        OrvixCliTransfer transfer(m_out, m_err);
        return command == QLatin1String("import") ? transfer.runImport(args) : transfer.runExport(args);
    }

    struct Command {
        const char *name;
        int arguments;
        int (OrvixCli::*run)(const QStringList &);
    };
    static const Command commands[] = {
        {"new", 1, &OrvixCli::cmdNew},        {"tables", 1, &OrvixCli::cmdTables},
        {"sql", 2, &OrvixCli::cmdSql},        {"add-table", 2, &OrvixCli::cmdAddTable},
        {"add-row", 2, &OrvixCli::cmdAddRow}, {"set", 5, &OrvixCli::cmdSet},
        {"get", 4, &OrvixCli::cmdGet},        {"relate", 6, &OrvixCli::cmdRelate},
    };
    for (const Command &c : commands) {
        if (command != QLatin1String(c.name))
            continue;
        if (args.contains(QStringLiteral("--help")))
            return usage(0);
        if (args.size() != c.arguments)
            return fail(
                QStringLiteral("'%1' takes %2 argument(s) (see orvix-cli --help)").arg(command).arg(c.arguments), 2);
        return (this->*c.run)(args);
    }
    return fail(QStringLiteral("unknown command '%1' (see orvix-cli --help)").arg(command), 2);
}

std::unique_ptr<MyDocument> OrvixCli::openPackage(const QString &path)
{
    QString error;
    auto doc = MyDocument::open(path, QStringLiteral("Orvix"), &error);
    if (!doc)
        fail(error);
    return doc;
}

bool OrvixCli::savePackage(MyDocument &doc, const QString &path)
{
    QString error;
    if (doc.save(path, QStringLiteral("Orvix"), &error))
        return true;
    fail(error);
    return false;
}

int OrvixCli::cmdNew(const QStringList &args)
{
    if (QFileInfo::exists(args[0]))
        return fail(QStringLiteral("\"%1\" already exists").arg(args[0]));
    QString error;
    auto doc = MyDocument::createNew(&error);
    if (!doc)
        return fail(error);
    return savePackage(*doc, args[0]) ? 0 : 1;
}

int OrvixCli::cmdTables(const QStringList &args)
{
    auto doc = openPackage(args[0]);
    if (!doc)
        return 1;
    for (const QString &name : doc->database()->tablesList())
        m_out << name << "\n";
    m_out.flush();
    return 0;
}

int OrvixCli::cmdSql(const QStringList &args)
{
    auto doc = openPackage(args[0]);
    if (!doc)
        return 1;
    OXDatabase *db = doc->database();
    auto cursor = db->executeQuery(args[1]);
    if (db->lastErrorID() != 0)
        return fail(db->lastError());
    if (!cursor) {
        doc->setChanged(true);
        return savePackage(*doc, args[0]) ? 0 : 1;
    }
    const QStringList columns = cursor->columns();
    m_out << columns.join(QLatin1Char('\t')) << "\n";
    for (quint32 r = 0; r < cursor->rowCount(); ++r) {
        const auto row = cursor->rowAtIndex(r);
        QStringList cells;
        for (const QString &column : columns)
            cells << row->stringForColumn(column);
        m_out << cells.join(QLatin1Char('\t')) << "\n";
    }
    m_out.flush();
    return 0;
}

int OrvixCli::cmdAddTable(const QStringList &args)
{
    auto doc = openPackage(args[0]);
    if (!doc)
        return 1;
    QFile file(args[1]);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read \"%1\": %2").arg(args[1], file.errorString()));
    QJsonParseError parseError;
    const QJsonDocument json = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !json.isObject())
        return fail(QStringLiteral("\"%1\" is not a JSON table design: %2").arg(args[1], parseError.errorString()));
    QString designError;
    const std::optional<Value> design = JsonValue::tableDesignFromJson(json.object(), &designError);
    if (!design)
        return fail(designError);

    const QString name = design->value(QStringLiteral("Name")).toString();
    if (const auto alert = SchemaNameRules::checkTableName(name, doc->tables()))
        return fail(alert->messageText + QStringLiteral(": ") + alert->informativeText);
    OXDatabase *db = doc->database();
    if (!db->createTableFromDesign(*design) || db->lastErrorID() != 0)
        return fail(QStringLiteral("the table could not be created: %1").arg(db->lastError()));
    db->createTableDesign(*design);
    doc->setChanged(true);
    return savePackage(*doc, args[0]) ? 0 : 1;
}

int OrvixCli::cmdAddRow(const QStringList &args)
{
    auto doc = openPackage(args[0]);
    if (!doc)
        return 1;
    OXDatabase *db = doc->database();
    if (!db->tablesList().contains(args[1]))
        return fail(QStringLiteral("no table named \"%1\"").arg(args[1]));
    db->executeQuery(QStringLiteral("INSERT INTO `%1` (`id`) VALUES (NULL)").arg(args[1]));
    if (db->lastErrorID() != 0)
        return fail(db->lastError());
    const qint64 id = db->lastRowInserted();
    doc->setChanged(true);
    if (!savePackage(*doc, args[0]))
        return 1;
    m_out << id << "\n";
    m_out.flush();
    return 0;
}

namespace {
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
} // namespace

int OrvixCli::cmdSet(const QStringList &args)
{
    auto doc = openPackage(args[0]);
    if (!doc)
        return 1;
    OXDatabase *db = doc->database();
    const QString &table = args[1], &id = args[2], &field = args[3];
    const QString problem = checkCell(db, table, id, field);
    if (!problem.isEmpty())
        return fail(problem);
    const Value native = db->removeFormattingFromString(args[4], table, field);
    if (const auto alert = db->insertNativeValue(native, table, field, id)) {
        m_err << alert->messageText << "\n" << alert->informativeText << "\n";
        m_err.flush();
        return 3;
    }
    return savePackage(*doc, args[0]) ? 0 : 1;
}

int OrvixCli::cmdGet(const QStringList &args)
{
    auto doc = openPackage(args[0]);
    if (!doc)
        return 1;
    OXDatabase *db = doc->database();
    const QString &table = args[1], &id = args[2], &field = args[3];
    const QString problem = checkCell(db, table, id, field);
    if (!problem.isEmpty())
        return fail(problem);
    auto cursor = db->executeQuery(QStringLiteral("SELECT `%1` FROM `%2` WHERE `id` = '%3'")
                                       .arg(field, table, QLiteDatabase::prepareStringForQuery(id)));
    if (!cursor || cursor->rowCount() == 0)
        return fail(db->lastError());
    const QString stored = cursor->rowAtIndex(0)->stringForColumn(table + QLatin1Char('.') + field);
    const bool empty = stored == QLatin1String("<null>") || stored == QLatin1String("(null)");
    const Value native = db->dbToNativeForTable(empty ? QString() : stored, table, field);
    m_out << db->addFormattingToObject(native, table, field).text << "\n";
    m_out.flush();
    return 0;
}

int OrvixCli::cmdRelate(const QStringList &args)
{
    auto doc = openPackage(args[0]);
    if (!doc)
        return 1;
    OXDatabase *db = doc->database();
    const QString startTable = args[1], startField = args[2], endTable = args[3];
    const QString endField = args[4] == QLatin1String("-") ? QString() : args[4];
    bool typeOk = false;
    const int type = args[5].toInt(&typeOk);
    if (!typeOk || type < 0 || type > 2)
        return fail(QStringLiteral("the relationship type must be 0, 1 or 2, not \"%1\"").arg(args[5]), 2);
    for (const QString &table : {startTable, endTable})
        if (!db->tablesList().contains(table))
            return fail(QStringLiteral("no table named \"%1\"").arg(table));
    if (!db->relationshipNamesForTable(startTable).contains(startField))
        return fail(QStringLiteral("\"%1\" is not a Relationship field of \"%2\"").arg(startField, startTable));
    if (!endField.isEmpty() && !db->relationshipNamesForTable(endTable).contains(endField))
        return fail(QStringLiteral("\"%1\" is not a Relationship field of \"%2\"").arg(endField, endTable));

    Value relationships = doc->relationships();
    Value lines = relationships.value(QStringLiteral("Lines"));
    if (!lines.isArray()) {
        lines = Value::array();
        relationships.set(QStringLiteral("Lines"), lines);
    }
    const Value record = LMRelationship::makeRecord(startTable, startField, endTable, endField, type);
    if (!LMRelationship::isValidNewRecord(record, lines))
        return fail(QStringLiteral("a field of this relationship already takes part in another one"));
    lines.append(record);
    doc->setChanged(true);
    return savePackage(*doc, args[0]) ? 0 : 1;
}
