// LMRelationship: record accessors, the validity rule of a new record and turning records one- or two-way.
#include "LMRelationship.h"
#include "DesignVocabulary.h"

#include "MyDocument.h"
#include "OXDatabase.h"

namespace {
QString stringOf(const Value &record, const QString &key)
{
    const Value v = record.value(key);
    return v.isString() ? v.toString() : QString();
}

bool sameField(const QString &tableA, const QString &fieldA, const QString &tableB, const QString &fieldB)
{
    return !fieldA.isEmpty() && tableA == tableB && fieldA == fieldB;
}
} // namespace

namespace LMRelationship {

QString startTable(const Value &record)
{
    return stringOf(record, RelationshipKey::StartTable);
}
QString startField(const Value &record)
{
    return stringOf(record, RelationshipKey::StartField);
}
QString endTable(const Value &record)
{
    return stringOf(record, RelationshipKey::EndTable);
}
QString endField(const Value &record)
{
    return stringOf(record, RelationshipKey::EndField);
}

bool endsInTable(const Value &record)
{
    const Value v = record.value(RelationshipKey::EndsInTable);
    if (v.isString()) {
        const QString text = v.toString().trimmed();
        return text.compare(QLatin1String("YES"), Qt::CaseInsensitive) == 0 ||
               text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || text.toLongLong() != 0;
    }
    return v.isNumber() && v.toBool();
}

bool hasInverse(const Value &record)
{
    return !endsInTable(record);
}

int relationshipType(const Value &record)
{
    const Value v = record.value(RelationshipKey::RelationshipType);
    if (v.isString())
        return v.toString().trimmed().toInt();
    return v.isNumber() ? int(v.toInt()) : 0;
}

Value makeRecord(const QString &start, const QString &startFieldName, const QString &end, const QString &endFieldName,
                 int type)
{
    Value record = Value::dict();
    record.set(RelationshipKey::RelationshipType, QString::number(type));
    record.set(RelationshipKey::EndsInTable, endFieldName.isEmpty() ? QStringLiteral("1") : QStringLiteral("0"));
    record.set(RelationshipKey::StartTable, start);
    record.set(RelationshipKey::StartField, startFieldName);
    record.set(RelationshipKey::EndTable, end);
    if (!endFieldName.isEmpty())
        record.set(RelationshipKey::EndField, endFieldName);
    return record;
}

QStringList splitLinkList(const std::optional<QString> &list)
{
    if (!list || DesignVocabulary::isNullLike(*list))
        return {};
    return list->split(QLatin1Char(','));
}

bool isValidNewRecord(const Value &record, const Value &lines)
{
    const QString nStart = startTable(record), nStartField = startField(record);
    const QString nEnd = endTable(record), nEndField = endField(record);
    const bool nTwoWay = hasInverse(record);
    for (int i = 0; i < lines.size(); ++i) {
        const Value r = lines.at(i);
        if (r.isSameContainer(record))
            continue;
        const bool rTwoWay = hasInverse(r);
        if (sameField(startTable(r), startField(r), nStart, nStartField))
            return false;
        if (rTwoWay && sameField(endTable(r), endField(r), nStart, nStartField))
            return false;
        if (nTwoWay && sameField(startTable(r), startField(r), nEnd, nEndField))
            return false;
        if (rTwoWay && nTwoWay && sameField(endTable(r), endField(r), nEnd, nEndField))
            return false;
    }
    return true;
}

bool setEndsInTable(Value record, bool oneWay, OXDatabase &database, const Value &lines)
{
    if (!oneWay) {
        const QString end = endTable(record);
        for (const QString &candidate : database.relationshipNamesForTable(end)) {
            // The record's own start field is taken too when the relationship links a table to itself.
            bool used = sameField(startTable(record), startField(record), end, candidate);
            for (int i = 0; i < lines.size() && !used; ++i) {
                const Value other = lines.at(i);
                if (other.isSameContainer(record))
                    continue;
                used = sameField(startTable(other), startField(other), end, candidate) ||
                       (hasInverse(other) && sameField(endTable(other), endField(other), end, candidate));
            }
            if (!used) {
                record.set(RelationshipKey::EndField, candidate);
                record.set(RelationshipKey::EndsInTable, QStringLiteral("0"));
                return true;
            }
        }
    }
    record.remove(RelationshipKey::EndField);
    record.set(RelationshipKey::EndsInTable, QStringLiteral("1"));
    return false;
}

bool setEndsInTable(Value record, bool oneWay, OXDatabase &database)
{
    MyDocument *document = database.document();
    const Value lines = document ? document->relationships().value(RelationshipKey::Lines) : Value::array();
    return setEndsInTable(record, oneWay, database, lines);
}

} // namespace LMRelationship
