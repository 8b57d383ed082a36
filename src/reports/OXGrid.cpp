// OXGrid: record numbers, fields, slices, sorting and the text table of a grid.
#include "OXGrid.h"
#include "DesignVocabulary.h"

#include "OXDatabase.h"
#include "OXFieldResolver.h"
#include "OXRecordReader.h"
#include "OXRow.h"
#include "OXTextTable.h"

OXObjectPtr OXGrid::initStartGrid(OXDatabase &database, const QString &tableName)
{
    if (tableName.isEmpty() || !database.tablesList().contains(tableName))
        return nullptr;
    const std::optional<QStringList> ids = OXRecordReader::allIds(database, tableName);
    if (!ids)
        return nullptr;
    return std::make_shared<OXGrid>(database, Value::dict({{kTableName, Value(tableName)}}), *ids);
}

OXObjectPtr OXGrid::withRowids(const QStringList &ids) const
{
    return std::make_shared<OXGrid>(database(), descriptionWithoutRowids(), ids);
}

OXObjectPtr OXGrid::rowWithId(const QString &id) const
{
    Value d = descriptionWithoutRowids();
    d.set(kRowid, id);
    return std::make_shared<OXRow>(database(), d, m_rowids);
}

OXObjectPtr OXGrid::rowAtIndex(qint64 n)
{
    const QStringList ids = rowids();
    if (n < 1 || n > ids.size())
        return nullptr;
    return rowWithId(ids.at(int(n - 1)));
}

OXObjectPtr OXGrid::columnNamed(const QString &field)
{
    const QString table = tableName();
    if (!database().tablesList().contains(table) || !database().allNamesForTable(table).contains(field))
        return nullptr;
    return OXFieldResolver::resolve(*this, field, rowids(), true);
}

OXObjectPtr OXGrid::callFunction(const QString &name, const OXArguments &args)
{
    const QStringList ids = rowids();
    const auto is = [&](std::initializer_list<const char *> names) {
        for (const char *n : names)
            if (name == QLatin1String(n))
                return true;
        return false;
    };
    if (args.none()) {
        if (is({"count", "rowcount", "recordcount"}))
            return valueWithString(QString::number(ids.size()));
        if (is({"first", "last"}))
            return ids.isEmpty() ? nullptr : rowWithId(name == QLatin1String("first") ? ids.first() : ids.last());
        if (is({"id"}))
            return columnNamed(DesignKey::IdFieldName);
        if (is({"tablename", "table"}))
            return plainValueWithString(tableName());
        if (is({"asTable"}))
            return std::make_shared<OXTextTable>(database(), descriptionWithoutRowids(), m_rowids);
        return nullptr;
    }
    if (!args.one())
        return nullptr;
    if (is({"first", "last"})) {
        // More than there are gives all records; none or fewer gives an empty grid.
        const int n = int(qBound<qint64>(0, recordNumber(args.first()).value_or(0), ids.size()));
        return withRowids(name == QLatin1String("first") ? ids.mid(0, n) : ids.mid(ids.size() - n));
    }
    const bool ascending = is({"sort", "asc", "ascending"});
    if (ascending || is({"desc", "descending"})) {
        const QString field = args.first();
        if (!database().allNamesForTable(tableName()).contains(field))
            return nullptr;
        const std::optional<QStringList> sorted =
            OXRecordReader::sortedIds(database(), tableName(), field, ids, !ascending);
        return sorted ? withRowids(*sorted) : nullptr;
    }
    return nullptr;
}
