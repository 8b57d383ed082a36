// OXFieldResolver: field names on grids and rows, following relationship lines with one read of the links.
#include "OXFieldResolver.h"

#include "DesignVocabulary.h"
#include "LMRelationship.h"
#include "MyDocument.h"
#include "OXColumn.h"
#include "OXDatabase.h"
#include "OXGrid.h"
#include "OXRow.h"
#include "OXValue.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"

#include <QHash>

namespace OXFieldResolver {

namespace {
// The table at the other end of the last relationship line that starts or ends at (table, field).
std::optional<QString> relatedTable(OXDatabase &database, const QString &table, const QString &field)
{
    MyDocument *document = database.document();
    if (!document)
        return std::nullopt;
    const Value lines = document->relationships().value(RelationshipKey::Lines);
    std::optional<QString> target;
    for (int i = 0; i < lines.size(); ++i) {
        const Value line = lines.at(i);
        if (LMRelationship::startTable(line) == table && LMRelationship::startField(line) == field)
            target = LMRelationship::endTable(line);
        else if (LMRelationship::endTable(line) == table && LMRelationship::endField(line) == field)
            target = LMRelationship::startTable(line);
    }
    return target;
}

QString quoted(const QString &text)
{
    return QLatin1Char('\'') + QLiteDatabase::prepareStringForQuery(text) + QLatin1Char('\'');
}

// The link lists of the records, read with one statement, in the order of `records`.
std::optional<QStringList> linkedIds(OXDatabase &database, const QString &table, const QString &field,
                                     const QStringList &records, bool fromGrid)
{
    QString sql;
    if (fromGrid) {
        QStringList quotedIds;
        for (const QString &id : records)
            quotedIds << quoted(id);
        sql = QStringLiteral("SELECT `id`, `%1` FROM `%2` WHERE `id` IN (%3)").arg(field, table, quotedIds.join(", "));
    } else {
        sql = QStringLiteral("SELECT `id`, `%1` FROM `%2` WHERE `id`=%3").arg(field, table, quoted(records.value(0)));
    }
    const std::shared_ptr<QLiteCursor> cursor = database.executeQuery(sql);
    if (!cursor)
        return std::nullopt;
    QHash<QString, QString> lists;
    const QString idKey = table + QStringLiteral(".id");
    const QString key = table + QLatin1Char('.') + field;
    for (quint32 i = 0; i < cursor->rowCount(); ++i) {
        const QLiteRow row = *cursor->rowAtIndex(i);
        lists.insert(row.stringForColumn(idKey), row.stringForColumn(key));
    }
    QStringList ids;
    for (const QString &record : records) {
        const QString list = fromGrid ? lists.value(record) : (lists.isEmpty() ? QString() : *lists.cbegin());
        for (const QString &id : LMRelationship::splitLinkList(list)) {
            const QString trimmed = id.trimmed();
            if (!DesignVocabulary::isNullLike(trimmed))
                ids << trimmed;
        }
    }
    return ids;
}
} // namespace

OXObjectPtr resolve(const OXFormulaObject &object, const QString &field, const QStringList &records, bool fromGrid)
{
    OXDatabase &database = object.database();
    const QString table = object.tableName();
    const QString type = database.typeForTable(table, field);
    if (const std::optional<QString> target = relatedTable(database, table, field)) {
        if (Datatypes::fromName(type) != Datatype::Relationship)
            return nullptr;
        const std::optional<QStringList> ids = linkedIds(database, table, field, records, fromGrid);
        if (!ids)
            return nullptr;
        Value d = Value::dict({{OXFormulaObject::kTableName, Value(*target)}});
        if (ids->size() == 1) {
            d.set(OXFormulaObject::kRowid, ids->first());
            return std::make_shared<OXRow>(database, d);
        }
        return std::make_shared<OXGrid>(database, d, *ids);
    }
    if (Datatypes::isMedia(type))
        return nullptr;
    Value d = object.descriptionWithoutRowids();
    d.remove(OXFormulaObject::kStringValue);
    d.set(OXFormulaObject::kColumnName, field);
    if (fromGrid)
        return std::make_shared<OXColumn>(database, d, object.rowidList());
    return std::make_shared<OXValue>(database, d, object.rowidList());
}

} // namespace OXFieldResolver
