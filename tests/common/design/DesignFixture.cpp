// DesignFixture: builds designs, documents and rows for the tests of every layer above the core.
#include "DesignFixture.h"

#include "MyDocument.h"
#include "OXDatabase.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"

namespace DesignFixture {

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
    Value list = Value::array({idField()});
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

std::unique_ptr<MyDocument> newDocumentWithTable(const Value &design, QString *error)
{
    return newDocument({design}, error);
}

QString insertRow(MyDocument &document, const QString &table)
{
    OXDatabase *db = document.database();
    db->performQuery(QStringLiteral("INSERT INTO `%1` DEFAULT VALUES").arg(table));
    if (db->lastErrorID() != 0)
        return QString();
    return QString::number(db->lastRowInserted());
}

QString cellText(MyDocument &document, const QString &table, const QString &column, const QString &id)
{
    const std::shared_ptr<QLiteCursor> cursor =
        document.database()->executeQuery(QStringLiteral("SELECT `%1` FROM `%2` WHERE id='%3'").arg(column, table, id));
    if (!cursor || cursor->rowCount() == 0)
        return QString();
    return cursor->rowAtIndex(0)->stringForColumn(table + QLatin1Char('.') + column);
}

} // namespace DesignFixture

char *toString(const Value &value)
{
    return qstrdup(value.description().toUtf8().constData());
}
