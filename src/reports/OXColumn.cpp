// OXColumn: the functions of a column of one field.
#include "OXColumn.h"

#include "DesignVocabulary.h"
#include "OXColumnStatistics.h"
#include "OXDatabase.h"
#include "OXFormulaText.h"
#include "OXGrid.h"
#include "OXRecordReader.h"
#include "OXRow.h"
#include "OXValue.h"

#include <QSet>

namespace {
bool among(const QString &name, std::initializer_list<const char *> names)
{
    for (const char *n : names)
        if (name == QLatin1String(n))
            return true;
    return false;
}

// Selection templates by function: the condition with %1 the field and %2 the value.
struct SelectionRule {
    const char *name;
    std::optional<Datatype> requiredType; // none: any type
    const char *condition;
};
const SelectionRule kSelections[] = {
    {"equalTo", std::nullopt, "`%1`='%2'"},
    {"isNotEqualTo", std::nullopt, "`%1`!='%2'"},
    {"lessThan", Datatype::Number, "`%1`<'%2'"},
    {"greaterThan", Datatype::Number, "`%1`>'%2'"},
    {"lessThanOrEqualTo", Datatype::Number, "`%1`<='%2'"},
    {"greaterThanOrEqualTo", Datatype::Number, "`%1`>='%2'"},
    {"startsWith", Datatype::Text, "`%1` LIKE '%2%'"},
    {"endsWith", Datatype::Text, "`%1` LIKE '%%2'"},
    {"contains", Datatype::Text, "`%1` LIKE '%%2%'"},
    {"caseInsensitiveEqualTo", Datatype::Text, "`%1` LIKE '%2'"},
};
} // namespace

Datatype OXColumn::fieldType() const
{
    return Datatypes::fromName(database().typeForTable(tableName(), columnName()));
}

std::optional<QStringList> OXColumn::storedTexts() const
{
    return OXRecordReader::column(database(), tableName(), columnName(), rowids());
}

OXObjectPtr OXColumn::withRowids(const QStringList &ids) const
{
    return std::make_shared<OXColumn>(database(), descriptionWithoutRowids(), ids);
}

OXObjectPtr OXColumn::valueOfRecord(const QString &id) const
{
    Value d = descriptionWithoutRowids();
    d.set(kRowid, id);
    return std::make_shared<OXValue>(database(), d, m_rowids);
}

OXObjectPtr OXColumn::rowAtIndex(qint64 n)
{
    const QStringList ids = rowids();
    if (n < 1 || n > ids.size())
        return nullptr;
    return valueOfRecord(ids.at(int(n - 1)));
}

OXObjectPtr OXColumn::callFunction(const QString &name, const OXArguments &args)
{
    if (OXObjectPtr result = recordFunction(name, args))
        return result;
    if (OXObjectPtr result = numberFunction(name, args))
        return result;
    return selection(name, args);
}

// Functions on the records themselves, for any field type.
OXObjectPtr OXColumn::recordFunction(const QString &name, const OXArguments &args)
{
    const QStringList ids = rowids();
    if (args.none()) {
        if (among(name, {"count", "rowcount", "recordcount"}))
            return plainValueWithString(QString::number(ids.size()));
        if (among(name, {"first", "last"}))
            return ids.isEmpty() ? nullptr : valueOfRecord(name == QLatin1String("first") ? ids.first() : ids.last());
        if (among(name, {"tablename", "table"}))
            return plainValueWithString(tableName());
        if (among(name, {"grid"})) {
            Value d = descriptionWithoutRowids();
            d.remove(kColumnName);
            return std::make_shared<OXGrid>(database(), d, m_rowids);
        }
        if (among(name, {"distinct"})) {
            QStringList unique;
            QSet<QString> seen;
            for (const QString &id : ids)
                if (!seen.contains(id)) {
                    seen.insert(id);
                    unique << id;
                }
            return withRowids(unique);
        }
    }
    const bool ascending = among(name, {"sort", "asc", "ascending"});
    if (args.none() && (ascending || among(name, {"desc", "descending"}))) {
        const std::optional<QStringList> sorted =
            OXRecordReader::sortedIds(database(), tableName(), columnName(), ids, !ascending);
        return sorted ? withRowids(*sorted) : nullptr;
    }
    if (name == QLatin1String("list") && (args.none() || args.one())) {
        const std::optional<QStringList> texts = storedTexts();
        if (!texts)
            return nullptr;
        return plainValueWithString(OXFormulaText::list(*texts, args.none() ? QStringLiteral("Comma") : args.first()));
    }
    if (args.one() && among(name, {"first", "last"})) {
        // More than there are gives all records; none or fewer gives an empty column.
        const int n = int(qBound<qint64>(0, recordNumber(args.first()).value_or(0), ids.size()));
        return withRowids(name == QLatin1String("first") ? ids.mid(0, n) : ids.mid(ids.size() - n));
    }
    return nullptr;
}

OXObjectPtr OXColumn::numberFunction(const QString &name, const OXArguments &args)
{
    QString aggregate = name;
    if (args.one() && among(name, {"average", "avg"}))
        aggregate = OXColumnStatistics::averageKind(args.first());
    else if (!args.none() || !OXColumnStatistics::isAggregate(name))
        return nullptr;
    if (aggregate.isEmpty())
        return nullptr;
    const Datatype type = fieldType();
    if (type != Datatype::Number && !(type == Datatype::Date && OXColumnStatistics::takesDates(aggregate)))
        return nullptr;
    const std::optional<QStringList> texts = storedTexts();
    if (!texts)
        return nullptr;
    QList<long double> numbers;
    numbers.reserve(texts->size());
    for (const QString &text : *texts)
        numbers << OXFormulaText::leadingDouble(text);
    const std::optional<QString> result = OXColumnStatistics::aggregate(aggregate, numbers, *texts);
    return result ? valueWithString(*result) : nullptr;
}

OXObjectPtr OXColumn::selection(const QString &name, const OXArguments &args)
{
    QString condition;
    const QString field = QLiteDatabase::escapeQuotesFromString(columnName());
    if (args.none() && among(name, {"isYes", "isNo"})) {
        // "Yes/No" cells hold "1" or "0"; "YES" and "NO" are read the same way.
        if (fieldType() != Datatype::YesNo)
            return nullptr;
        condition = name == QLatin1String("isYes") ? QStringLiteral("`%1` IN ('1','YES')").arg(field)
                                                   : QStringLiteral("`%1` IN ('0','NO')").arg(field);
    } else if (!args.none()) {
        for (const SelectionRule &rule : kSelections) {
            if (name != QLatin1String(rule.name))
                continue;
            if (rule.requiredType && fieldType() != *rule.requiredType)
                return nullptr;
            condition =
                QString::fromLatin1(rule.condition).arg(field, QLiteDatabase::escapeQuotesFromString(args.joined()));
        }
    }
    if (condition.isEmpty())
        return nullptr;
    const std::optional<QStringList> ids = OXRecordReader::selectIds(database(), tableName(), condition);
    if (!ids || ids->isEmpty())
        return std::make_shared<OXPlainText>(database(), QStringLiteral("No results"));
    Value d = Value::dict({{kTableName, Value(tableName())}});
    if (ids->size() == 1) {
        d.set(kRowid, ids->first());
        return std::make_shared<OXRow>(database(), d);
    }
    return std::make_shared<OXGrid>(database(), d, *ids);
}
