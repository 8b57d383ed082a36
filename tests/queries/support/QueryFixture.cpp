// QueryFixture: documents, rows and conditions for the query filter tests.
#include "QueryFixture.h"

#include "OXDatabase.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"

namespace QueryFixture {

Value peopleDesign()
{
    return DesignFixture::table(
        "People",
        {field("Name", "Text"), field("Kind", "Options", {{"Options", Value::array({"Friend", "Family", "Work"})}}),
         field("Path", "File Path"), field("Age", "Number"), field("Born", "Date"), field("Member", "Yes/No"),
         field("Tags", "List", {{"List Separator", Value(" / ")}}), field("Photo", "Image"), field("Clip", "Audio"),
         field("Film", "Video"), field("Doc", "Attachment"), field("Friends", "Relationship")});
}

Value petsDesign()
{
    return DesignFixture::table("Pets", {field("Name", "Text")});
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
