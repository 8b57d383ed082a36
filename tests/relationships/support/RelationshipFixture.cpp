// RelationshipFixture: builds the two related tables and reads their cells back.
#include "RelationshipFixture.h"
#include "DesignVocabulary.h"

#include "LMTableDesignCommit.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"

namespace RelationshipFixture {

Value field(const QString &name, const QString &type)
{
    Value f = DesignVocabulary::blankField();
    f.set(QStringLiteral("Name"), name);
    f.set(QStringLiteral("Type"), type);
    return f;
}

namespace {
bool addTable(OXDatabase &db, const QString &name, const QStringList &relationshipFields, int rows)
{
    Value fields = Value::array({DesignVocabulary::idField(), field(QStringLiteral("Name"), QStringLiteral("Text"))});
    for (const QString &f : relationshipFields)
        fields.append(field(f, QStringLiteral("Relationship")));
    const Value design = Value::dict({{QStringLiteral("Name"), Value(name)}, {QStringLiteral("Fields"), fields}});
    if (!db.createTableFromDesign(design) || db.lastErrorID() != 0)
        return false;
    db.createTableDesign(design);
    for (int i = 0; i < rows; ++i) {
        db.performQuery(QStringLiteral("INSERT INTO `%1` (Name) VALUES ('%1 %2')").arg(name).arg(i + 1));
        if (db.lastErrorID() != 0)
            return false;
    }
    return true;
}
} // namespace

std::unique_ptr<MyDocument> newDocument(int rows, QString *error)
{
    std::unique_ptr<MyDocument> document = MyDocument::createNew(error);
    if (!document)
        return nullptr;
    OXDatabase &db = *document->database();
    if (!addTable(db, QStringLiteral("People"), {QStringLiteral("Employer"), QStringLiteral("Mentor")}, rows) ||
        !addTable(db, QStringLiteral("Companies"), {QStringLiteral("Staff"), QStringLiteral("Board")}, rows)) {
        if (error)
            *error = db.lastError();
        return nullptr;
    }
    document->relationships().set(QStringLiteral("Lines"), Value::array());
    return document;
}

Value record(const QString &startTable, const QString &startField, const QString &endTable, const QString &endField,
             const QString &type)
{
    Value r = Value::dict({{QStringLiteral("Relationship Type"), Value(type)},
                           {QStringLiteral("Ends In Table"), Value(endField.isEmpty() ? "1" : "0")},
                           {QStringLiteral("Start Table"), Value(startTable)},
                           {QStringLiteral("Start Field"), Value(startField)},
                           {QStringLiteral("End Table"), Value(endTable)}});
    if (!endField.isEmpty())
        r.set(QStringLiteral("End Field"), endField);
    return r;
}

QString cell(MyDocument &document, const QString &table, const QString &column, const QString &id)
{
    const std::shared_ptr<QLiteCursor> cursor =
        document.database()->executeQuery(QStringLiteral("SELECT `%1` FROM `%2` WHERE id='%3'").arg(column, table, id));
    if (!cursor || cursor->rowCount() == 0)
        return QString();
    return cursor->rowAtIndex(0)->stringForColumn(table + QLatin1Char('.') + column);
}

QStringList column(MyDocument &document, const QString &table, const QString &columnName)
{
    QStringList out;
    const std::shared_ptr<QLiteCursor> cursor =
        document.database()->executeQuery(QStringLiteral("SELECT `%1` FROM `%2` ORDER BY id").arg(columnName, table));
    for (quint32 i = 0; cursor && i < cursor->rowCount(); ++i)
        out << cursor->rowAtIndex(i)->stringForColumn(table + QLatin1Char('.') + columnName);
    return out;
}

} // namespace RelationshipFixture

char *toString(const Value &value)
{
    return qstrdup(value.description().toUtf8().constData());
}
