// GridFixture: designs, documents and rows for the record grid tests.
#include "GridFixture.h"

#include "MyDocument.h"
#include "OXDatabase.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"

#include <sqlite3.h>

namespace GridFixture {

Value field(const QString &name, const QString &type, Entries extra)
{
    Value f = Value::dict({{QStringLiteral("Name"), Value(name)},
                           {QStringLiteral("Type"), Value(type)},
                           {QStringLiteral("Primary Key"), Value(false)},
                           {QStringLiteral("Unique"), Value(false)},
                           {QStringLiteral("Not Null"), Value(false)},
                           {QStringLiteral("Default"), Value("")},
                           {QStringLiteral("Check"), Value("")},
                           {QStringLiteral("Regex"), Value("")},
                           {QStringLiteral("Format"), Value("")},
                           {QStringLiteral("Yes Value"), Value("Yes")},
                           {QStringLiteral("No Value"), Value("No")}});
    for (const auto &entry : extra)
        f.set(entry.first, entry.second);
    return f;
}

Value table(const QString &name, const QList<Value> &fields)
{
    Value id = field(QStringLiteral("id"), QStringLiteral("Primary Key"),
                     {{QStringLiteral("Unique"), Value(true)}, {QStringLiteral("Not Null"), Value(true)}});
    id.remove(QStringLiteral("Primary Key"));
    Value list = Value::array({id});
    for (const Value &f : fields)
        list.append(f);
    return Value::dict({{QStringLiteral("Name"), Value(name)}, {QStringLiteral("Fields"), list}});
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

QString insertRow(MyDocument &document, const QString &table)
{
    OXDatabase *db = document.database();
    db->performQuery(QStringLiteral("INSERT INTO `%1` DEFAULT VALUES").arg(table));
    if (db->lastErrorID() != 0)
        return QString();
    return QString::number(db->lastRowInserted());
}

void setCell(MyDocument &document, const QString &table, const QString &column, const QString &id, const QString &text)
{
    document.database()->performQuery(QStringLiteral("UPDATE `%1` SET `%2` = '%3' WHERE id = '%4'")
                                          .arg(table, column, OXDatabase::prepareStringForQuery(text), id));
}

QString cellText(MyDocument &document, const QString &table, const QString &column, const QString &id)
{
    const std::shared_ptr<QLiteCursor> cursor =
        document.database()->executeQuery(QStringLiteral("SELECT `%1` FROM `%2` WHERE id='%3'").arg(column, table, id));
    if (!cursor || cursor->rowCount() == 0)
        return QString();
    return cursor->rowAtIndex(0)->stringForColumn(table + QLatin1Char('.') + column);
}

int rowCount(MyDocument &document, const QString &table)
{
    return int(document.database()->rowCountInTable(table));
}

int totalChanges(MyDocument &document)
{
    return sqlite3_total_changes(document.database()->handle());
}

} // namespace GridFixture

char *toString(const Value &value)
{
    return qstrdup(value.description().toUtf8().constData());
}
