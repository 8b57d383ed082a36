// QueryFixture: documents, rows and conditions for the query filter tests.
#include "QueryFixture.h"

#include "OXDatabase.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"

namespace QueryFixture {

Value field(const QString &name, const QString &type, Entries extra)
{
    Value f = Value::dict({{"Name", Value(name)},
                           {"Type", Value(type)},
                           {"Primary Key", Value(false)},
                           {"Unique", Value(false)},
                           {"Not Null", Value(false)},
                           {"Default", Value("")},
                           {"Check", Value("")},
                           {"Regex", Value("")},
                           {"Format", Value("")},
                           {"Yes Value", Value("Yes")},
                           {"No Value", Value("No")}});
    for (const auto &entry : extra)
        f.set(entry.first, entry.second);
    return f;
}

namespace {
Value idField()
{
    return Value::dict({{"Name", Value("id")},
                        {"Type", Value("Primary Key")},
                        {"Unique", Value(true)},
                        {"Not Null", Value(true)},
                        {"Default", Value("")},
                        {"Check", Value("")},
                        {"Regex", Value("")},
                        {"Format", Value("")},
                        {"Yes Value", Value("Yes")},
                        {"No Value", Value("No")}});
}

Value tableDesign(const QString &name, const QList<Value> &fields)
{
    Value list = Value::array({idField()});
    for (const Value &f : fields)
        list.append(f);
    return Value::dict({{"Name", Value(name)}, {"Fields", list}});
}
} // namespace

Value peopleDesign()
{
    return tableDesign("People", {field("Name", "Text"),
                                  field("Kind", "Options", {{"Options", Value::array({"Friend", "Family", "Work"})}}),
                                  field("Path", "File Path"), field("Age", "Number"), field("Born", "Date"),
                                  field("Member", "Yes/No"), field("Tags", "List", {{"List Separator", Value(" / ")}}),
                                  field("Photo", "Image"), field("Clip", "Audio"), field("Film", "Video"),
                                  field("Doc", "Attachment"), field("Friends", "Relationship")});
}

Value petsDesign()
{
    return tableDesign("Pets", {field("Name", "Text")});
}

std::unique_ptr<MyDocument> newDocument(const QList<Value> &designs, QString *error)
{
    QString message;
    std::unique_ptr<MyDocument> document = MyDocument::createNew(&message);
    if (!document) {
        if (error)
            *error = QStringLiteral("createNew failed: ") + message;
        return nullptr;
    }
    OXDatabase *db = document->database();
    for (const Value &design : designs) {
        if (!db->createTableFromDesign(design) || db->lastErrorID() != 0) {
            if (error)
                *error = QStringLiteral("createTableFromDesign failed: ") + db->lastError();
            return nullptr;
        }
        db->createTableDesign(design);
    }
    return document;
}

QString addPerson(MyDocument &document, const QList<std::pair<QString, Value>> &values)
{
    OXDatabase *db = document.database();
    db->performQuery(QStringLiteral("INSERT INTO `People` DEFAULT VALUES"));
    if (db->lastErrorID() != 0)
        return QString();
    const QString id = QString::number(db->lastRowInserted());
    for (const auto &[column, value] : values)
        if (db->insertNativeValue(value, QStringLiteral("People"), column, id))
            return QString();
    return id;
}

QStringList idsWhere(MyDocument &document, const QString &table, const QString &where)
{
    OXDatabase *db = document.database();
    QString sql = QStringLiteral("SELECT `id` FROM `%1`").arg(table);
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE %1").arg(where);
    sql += QStringLiteral(" ORDER BY `id`");
    const std::shared_ptr<QLiteCursor> cursor = db->executeQuery(sql);
    if (!cursor || db->lastErrorID() != 0)
        return {QStringLiteral("error: ") + db->lastError()};
    QStringList ids;
    for (int i = 0; i < int(cursor->rowCount()); ++i)
        ids.append(cursor->rowAtIndex(i)->stringForColumn(table + QStringLiteral(".id")));
    return ids;
}

Value condition(const QString &table, const QString &field, const QString &datatype, const QString &op,
                const Value &operand)
{
    Value c = Value::dict({{"Type", Value("Parameters")},
                           {"Table", Value(table)},
                           {"Field", Value(field)},
                           {"Datatype", Value(datatype)},
                           {"Compare Op", Value(op)}});
    if (!operand.isNull())
        c.set("Operand", operand);
    return c;
}
} // namespace QueryFixture

char *toString(const Value &value)
{
    return qstrdup(value.description().toUtf8().constData());
}
