// OXRecordReader: record reads for formula objects, batched so a column of many records costs few statements.
#include "OXRecordReader.h"

#include "DesignVocabulary.h"
#include "OXDatabase.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace OXRecordReader {

namespace {
// Ids per statement when a column is read in batches: short statements, few of them.
constexpr int kBatch = 500;
// Above this many records a column is read with one statement over the whole table.
constexpr int kWholeTable = 4 * kBatch;

QString quoted(const QString &text)
{
    return QLatin1Char('\'') + QLiteDatabase::prepareStringForQuery(text) + QLatin1Char('\'');
}

QString columnKey(const QString &table, const QString &field)
{
    return table + QLatin1Char('.') + field;
}

// Compares native values by their natural order; null sorts first.
int compareNative(const Value &a, const Value &b)
{
    if (a.isNull() || b.isNull())
        return int(!a.isNull()) - int(!b.isNull());
    if (a.isString() && b.isString())
        return a.toString().compare(b.toString());
    if ((a.isNumber() || a.isDate()) && (b.isNumber() || b.isDate())) {
        const double x = a.isDate() ? a.toDate() : a.toDouble();
        const double y = b.isDate() ? b.toDate() : b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return a.description().compare(b.description());
}
} // namespace

Transaction::Transaction(OXDatabase &database) : m_database(database)
{
    if (!m_database.isTransactionActive())
        m_began = m_database.beginTransaction();
}

Transaction::~Transaction()
{
    if (m_began)
        m_database.commitTransaction();
}

std::optional<QStringList> allIds(OXDatabase &database, const QString &table)
{
    const std::shared_ptr<QLiteCursor> cursor =
        database.executeQuery(QStringLiteral("SELECT `id` FROM `%1`").arg(table));
    if (!cursor)
        return std::nullopt;
    QStringList ids;
    ids.reserve(int(cursor->rowCount()));
    const QString key = columnKey(table, DesignKey::IdFieldName);
    for (quint32 i = 0; i < cursor->rowCount(); ++i)
        ids << cursor->rowAtIndex(i)->stringForColumn(key);
    return ids;
}

std::optional<QString> cell(OXDatabase &database, const QString &table, const QString &field, const QString &id)
{
    const std::shared_ptr<QLiteCursor> cursor =
        database.executeQuery(QStringLiteral("SELECT `%1` FROM `%2` WHERE id=%3").arg(field, table, quoted(id)));
    if (!cursor || cursor->rowCount() == 0)
        return std::nullopt;
    const QString text = cursor->rowAtIndex(0)->stringForColumn(columnKey(table, field));
    if (text.isNull())
        return std::nullopt;
    return text;
}

std::optional<QStringList> column(OXDatabase &database, const QString &table, const QString &field,
                                  const QStringList &ids)
{
    Transaction transaction(database);
    // One statement per batch of distinct ids; an id the batch did not return as written (" 7", "07") is
    // read on its own, as every record would be.
    QHash<QString, QString> texts;
    QStringList pending;
    const QString key = columnKey(table, field);
    const QString idKey = columnKey(table, DesignKey::IdFieldName);
    const auto flush = [&]() {
        if (pending.isEmpty())
            return true;
        QStringList quotedIds;
        for (const QString &id : pending)
            quotedIds << quoted(id);
        const std::shared_ptr<QLiteCursor> cursor = database.executeQuery(
            QStringLiteral("SELECT `id`, `%1` FROM `%2` WHERE `id` IN (%3)").arg(field, table, quotedIds.join(", ")));
        pending.clear();
        if (!cursor)
            return false;
        for (quint32 i = 0; i < cursor->rowCount(); ++i) {
            const QLiteRow row = *cursor->rowAtIndex(i);
            texts.insert(row.stringForColumn(idKey), row.stringForColumn(key));
        }
        return true;
    };
    if (ids.size() > kWholeTable) {
        // Most of a big table: one pass over the table costs less than many lists of ids.
        const std::shared_ptr<QLiteCursor> cursor =
            database.executeQuery(QStringLiteral("SELECT `id`, `%1` FROM `%2`").arg(field, table));
        if (!cursor)
            return std::nullopt;
        const quint32 rows = cursor->rowCount();
        // The usual case, every record in table order, needs no lookup by id.
        QStringList inOrder;
        inOrder.reserve(int(rows));
        for (quint32 i = 0; i < rows && i < quint32(ids.size()); ++i) {
            const QLiteRow row = *cursor->rowAtIndex(i);
            if (row.stringForColumn(idKey) != ids.at(int(i)))
                break;
            inOrder << row.stringForColumn(key);
        }
        if (inOrder.size() == ids.size()) {
            for (const QString &text : std::as_const(inOrder))
                if (text.isNull())
                    return std::nullopt;
            return inOrder;
        }
        texts.reserve(int(rows));
        for (quint32 i = 0; i < rows; ++i) {
            const QLiteRow row = *cursor->rowAtIndex(i);
            texts.insert(row.stringForColumn(idKey), row.stringForColumn(key));
        }
    } else {
        QSet<QString> seen;
        for (const QString &id : ids) {
            if (seen.contains(id))
                continue;
            seen.insert(id);
            pending << id;
            if (pending.size() == kBatch && !flush())
                return std::nullopt;
        }
        if (!flush())
            return std::nullopt;
    }

    QStringList values;
    values.reserve(ids.size());
    for (const QString &id : ids) {
        auto found = texts.constFind(id);
        if (found == texts.constEnd()) {
            const std::optional<QString> text = cell(database, table, field, id);
            if (!text)
                return std::nullopt;
            found = texts.insert(id, *text);
        }
        if (found->isNull())
            return std::nullopt;
        values << *found;
    }
    return values;
}

std::optional<QStringList> sortedIds(OXDatabase &database, const QString &table, const QString &field,
                                     const QStringList &ids, bool descending)
{
    const std::optional<QStringList> texts = column(database, table, field, ids);
    if (!texts)
        return std::nullopt;
    const QString type = database.typeForTable(table, field);
    const Datatype datatype = Datatypes::fromName(type);
    std::vector<int> order(size_t(ids.size()));
    std::iota(order.begin(), order.end(), 0);
    if (datatype == Datatype::Number || datatype == Datatype::Date) {
        // Numbers and dates order by their value; an empty cell (no value) comes first.
        std::vector<std::pair<bool, double>> keys;
        keys.reserve(size_t(texts->size()));
        for (const QString &text : *texts) {
            const Value native = OXDatabase::dbToNative(text, type);
            const double key = native.isDate() ? native.toDate() : native.toDouble();
            // A "nan" text has no order: it goes with the empty cells.
            if (native.isNull() || std::isnan(key))
                keys.emplace_back(false, 0.0);
            else
                keys.emplace_back(true, key);
        }
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return descending ? keys[b] < keys[a] : keys[a] < keys[b]; });
    } else {
        QList<Value> natives;
        natives.reserve(texts->size());
        for (const QString &text : *texts)
            natives << OXDatabase::dbToNative(text, type);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const int c = compareNative(natives.at(a), natives.at(b));
            return descending ? c > 0 : c < 0;
        });
    }
    QStringList sorted;
    sorted.reserve(ids.size());
    for (int i : order)
        sorted << ids.at(i);
    return sorted;
}

std::optional<QStringList> selectIds(OXDatabase &database, const QString &table, const QString &condition)
{
    const std::shared_ptr<QLiteCursor> cursor =
        database.executeQuery(QStringLiteral("SELECT id FROM `%1` WHERE %2").arg(table, condition));
    if (!cursor)
        return std::nullopt;
    QStringList ids;
    const QString key = columnKey(table, DesignKey::IdFieldName);
    for (quint32 i = 0; i < cursor->rowCount(); ++i)
        ids << cursor->rowAtIndex(i)->stringForColumn(key);
    return ids;
}

} // namespace OXRecordReader
