// QLiteCursor: loads a result by cache method, converts by datatype, fetches uncached cells by row identifier.
#include "QLiteCursor.h"

#include "LMUUID.h"
#include "NotificationCenter.h"
#include "QLiteConversion.h"
#include "QLiteDatabase.h"
#include "QLiteIdentifierLoader.h"
#include "QLiteRow.h"

#include <QObject>
#include <algorithm>
#include <limits>
#include <sqlite3.h>

namespace {
QString identifier(const QString &name)
{
    QString escaped = name;
    escaped.replace(QLatin1Char('`'), QLatin1String("``"));
    return QLatin1Char('`') + escaped + QLatin1Char('`');
}

QString literal(const QString &text)
{
    return QLatin1Char('\'') + QLiteDatabase::prepareStringForQuery(text) + QLatin1Char('\'');
}

QString columnText(sqlite3_stmt *statement, int index)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, index));
    // The byte count keeps NUL characters inside the text.
    return QString::fromUtf8(text, sqlite3_column_bytes(statement, index));
}
} // namespace

QLiteCursor::QLiteCursor(QLiteDatabase *database, const QString &sql, int cacheMethod, bool treatAsString,
                         const QLiteRowSource &source)
    : m_database(database), m_sql(sql), m_source(source), m_treatAsString(treatAsString),
      m_requestedCacheMethod(cacheMethod)
{
    if (database)
        m_closeObserver = NotificationCenter::defaultCenter().addObserver(
            QLP_QLiteDatabaseDidCloseNotification, database, [this](const Notification &) { databaseDidClose(); });
}

QLiteCursor::~QLiteCursor()
{
    m_loader.reset();
    if (m_registered && m_database)
        m_database->removePagedCursor(this);
    if (m_closeObserver)
        NotificationCenter::defaultCenter().removeObserver(m_closeObserver);
}

void QLiteCursor::databaseDidClose()
{
    if (m_registered && m_database)
        m_database->removePagedCursor(this);
    m_registered = false;
    m_loader.reset();
    m_pages.clear();
    m_database = nullptr;
    m_edits.clear();
}

void QLiteCursor::fail(const QString &message, int code)
{
    m_lastError = message;
    if (m_database)
        m_database->setLastError(message, code);
}

QStringList QLiteCursor::columnsForTable(const QString &table) const
{
    const QString prefix = table + QLatin1Char('.');
    QStringList result;
    for (const QString &name : m_columns)
        if (name.startsWith(prefix))
            result << name.mid(prefix.size());
    return result;
}

bool QLiteCursor::refresh()
{
    if (!m_database || !m_database->isDatabaseOpen()) {
        m_lastError = QStringLiteral("[QLiteDatabase performQuery:] failed because the database is closed.");
        return false;
    }
    return load();
}

QString QLiteCursor::lookupDatatype(const QString &table, const QString &column) const
{
    const Value schema = m_database->m_schema;
    if (!schema.isEmpty())
        return schema.value(table).value(column).toString();
    // Without the cache the schema table answers; its absence just means the type is unknown.
    const QString sql = QStringLiteral("SELECT %1 from %2 WHERE %3 = %4 AND %5 = %6;")
                            .arg(QLP_DatatypeIdentifier, QLP_SchemaTable, QLP_TableIdentifier, literal(table),
                                 QLP_ColumnIdentifier, literal(column));
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt *statement = nullptr;
    QString type;
    if (sqlite3_prepare_v2(m_database->m_db, utf8.constData(), int(utf8.size()), &statement, nullptr) == SQLITE_OK &&
        m_database->stepRetryingBusy(statement) == SQLITE_ROW)
        type = columnText(statement, 0);
    sqlite3_finalize(statement);
    return type;
}

Value QLiteCursor::readValue(const Slot &slot, sqlite3_stmt *statement, int index) const
{
    const int type = sqlite3_column_type(statement, index);
    if (type == SQLITE_NULL)
        return Value();
    if (!m_treatAsString && type == SQLITE_BLOB) {
        // Bytes are not text: reading them as UTF-8 would corrupt them.
        const auto *bytes = static_cast<const char *>(sqlite3_column_blob(statement, index));
        return Value(QByteArray(bytes, sqlite3_column_bytes(statement, index)));
    }
    const QString text = columnText(statement, index);
    if (m_treatAsString || !slot.needsConversion)
        return Value(text);
    return QLite::valueForDatatype(slot.datatype, text);
}

namespace {
constexpr qint64 kNoNumber = std::numeric_limits<qint64>::min();
} // namespace

void QLiteCursor::storeCell(size_t cellIndex, const Value &value)
{
    if (m_cacheMethod != 1) {
        m_pinned.insert(cellIndex, value);
        return;
    }
    CellState &state = m_states[cellIndex];
    if (state == CellState::Converted)
        m_converted.remove(cellIndex);
    if (value.isNull()) {
        state = CellState::Null;
    } else if (value.isString()) {
        m_laterTexts.insert(cellIndex, value.toString());
        state = CellState::Text;
    } else {
        m_converted.insert(cellIndex, value);
        state = CellState::Converted;
    }
}

QString QLiteCursor::cellText(size_t cellIndex) const
{
    auto later = m_laterTexts.constFind(cellIndex);
    if (later != m_laterTexts.constEnd())
        return *later;
    const size_t slotCount = m_slots.size();
    const size_t row = cellIndex / slotCount;
    if (row + 1 >= m_rowStarts.size() || cellIndex >= m_cellOffsets.size())
        return QString();
    const quint64 begin = m_rowStarts[row] + m_cellOffsets[cellIndex];
    const quint64 end =
        cellIndex % slotCount + 1 < slotCount ? m_rowStarts[row] + m_cellOffsets[cellIndex + 1] : m_rowStarts[row + 1];
    return QString::fromUtf8(m_arena.constData() + begin, qsizetype(end - begin));
}

Value QLiteCursor::cellValue(size_t cellIndex) const
{
    switch (m_states[cellIndex]) {
    case CellState::Text: return Value(cellText(cellIndex));
    case CellState::Converted: return m_converted.value(cellIndex);
    case CellState::Rowid: {
        const size_t slotCount = m_slots.size();
        return rowidValue(m_slots[cellIndex % slotCount], quint32(cellIndex / slotCount));
    }
    default: return Value();
    }
}

QString QLiteCursor::rowidText(quint32 row, int ordinal) const
{
    const size_t index = size_t(row) * size_t(m_rowidSlotCount) + size_t(ordinal);
    const qint64 number = m_rowidNumbers[index];
    return number != kNoNumber ? QString::number(number) : m_rowidTexts.value(index);
}

bool QLiteCursor::rowHasRowid(quint32 row) const
{
    for (int ordinal = 0; ordinal < m_rowidSlotCount; ++ordinal)
        if (!rowidText(row, ordinal).isEmpty())
            return true;
    return false;
}

QString QLiteCursor::uuidForRow(quint32 row) const
{
    if (row >= m_rowCount || m_rowidSlotCount == 0)
        return QString();
    auto found = m_uuids.constFind(row);
    if (found != m_uuids.constEnd())
        return *found;
    const QString uuid = rowHasRowid(row) ? LMUUID::generateFast() : QString();
    m_uuids.insert(row, uuid);
    return uuid;
}

void QLiteCursor::clearRows()
{
    m_loader.reset();
    m_states.clear();
    m_arena.clear();
    m_rowStarts.clear();
    m_cellOffsets.clear();
    m_laterTexts.clear();
    m_converted.clear();
    m_rowidNumbers.clear();
    m_rowidTexts.clear();
    m_uuids.clear();
    m_pinned.clear();
    m_pages.clear();
    m_rowCount = 0;
}

bool QLiteCursor::load()
{
    QLiteDatabase *db = m_database;
    m_columns.clear();
    m_tables.clear();
    m_slots.clear();
    m_slotByName.clear();
    clearRows();
    m_rowidSlotCount = 0;
    m_edits.clear();
    m_keyed = false;
    m_readInBackground = false;
    if (m_registered) {
        db->removePagedCursor(this);
        m_registered = false;
    }

    const int method = m_requestedCacheMethod == 0 ? db->cacheMethod() : m_requestedCacheMethod;
    if (method < 1 || method > 3) {
        fail(QStringLiteral("[QLiteCursor] failed because the cache method %1 is unknown.").arg(method),
             QLP_UnknownError);
        return false;
    }
    db->enableFullColumnNames();
    const QByteArray utf8 = m_sql.toUtf8();
    sqlite3_stmt *statement = nullptr;
    const int prepared = sqlite3_prepare_v2(db->m_db, utf8.constData(), int(utf8.size()), &statement, nullptr);
    if (prepared != SQLITE_OK) {
        fail(QString::fromUtf8(sqlite3_errmsg(db->m_db)), prepared);
        sqlite3_finalize(statement);
        return false;
    }
    if (!statement) { // only a comment after the keyword: an empty result
        db->clearLastError();
        return true;
    }
    if (!readLayout(statement, method)) {
        sqlite3_finalize(statement);
        return false;
    }
    if (m_keyed) {
        // The query itself never runs: its columns are known from preparing it.
        sqlite3_finalize(statement);
        bool sawNull = false;
        if (!startLoader() && !loadSourceIdentifiers(sawNull)) {
            if (!sawNull)
                return false;
            // An identifier that cannot be fetched by: the query's own rows decide after all.
            m_source = QLiteRowSource();
            return load();
        }
    } else {
        const bool loaded = m_cacheMethod == 1 ? loadEverything(statement) : loadIdentifiers(statement);
        sqlite3_finalize(statement);
        if (!loaded)
            return false;
    }
    if (m_cacheMethod != 1) {
        db->addPagedCursor(this);
        m_registered = true;
    }
    db->clearLastError();
    return true;
}

bool QLiteCursor::readLayout(sqlite3_stmt *statement, int method)
{
    const int resultColumns = sqlite3_column_count(statement);
    for (int i = 0; i < resultColumns; ++i) {
        const char *rawName = sqlite3_column_name(statement, i);
        if (!rawName) {
            fail(QStringLiteral("[QLiteCursor] failed because SQLite did not report a column name."), QLP_UnknownError);
            m_columns.clear();
            m_tables.clear();
            m_slots.clear();
            m_slotByName.clear();
            return false;
        }
        const QString name = QString::fromUtf8(rawName);
        if (m_slotByName.contains(name))
            continue; // a repeated name is one dictionary key; its first column stands for it
        Slot slot;
        slot.name = name;
        slot.resultIndex = i;
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        slot.table = dot >= 0 ? name.left(dot) : name;
        slot.column = dot >= 0 ? name.mid(dot + 1) : name;
        slot.isRowid = dot >= 0 && QLite::isRowidKeyword(slot.column);
        m_slotByName.insert(name, int(m_slots.size()));
        m_slots.push_back(slot);
        m_columns << name;
        if (!m_tables.contains(slot.table))
            m_tables << slot.table;
    }

    // A row source stands for the row identifier when every column comes from its table.
    const QString keyName = m_source.table + QLatin1Char('.') + m_source.identifierColumn;
    if (method != 1 && m_source.isValid() && m_slotByName.contains(keyName) &&
        m_tables == QStringList{m_source.table}) {
        m_keyed = true;
        for (Slot &slot : m_slots)
            slot.isRowid = slot.name == keyName;
    }

    // Tables without their row identifier in the result can only be served from the cache.
    bool everyTableHasRowid = !m_tables.isEmpty();
    QHash<QString, int> rowidOfTable;
    for (int s = 0; s < int(m_slots.size()); ++s)
        if (m_slots[size_t(s)].isRowid && !rowidOfTable.contains(m_slots[size_t(s)].table)) {
            rowidOfTable.insert(m_slots[size_t(s)].table, s);
            m_slots[size_t(s)].rowidOrdinal = m_rowidSlotCount++;
        }
    for (Slot &slot : m_slots) {
        slot.rowidSlot = rowidOfTable.value(slot.table, -1);
        if (slot.rowidSlot < 0)
            everyTableHasRowid = false;
        if (!m_treatAsString && slot.name.contains(QLatin1Char('.'))) {
            slot.datatype = lookupDatatype(slot.table, slot.column);
            slot.needsConversion = QLite::datatypeNeedsConversion(slot.datatype);
        }
    }
    m_cacheMethod = everyTableHasRowid ? method : 1;
    if (m_cacheMethod == 1 && m_keyed) {
        m_keyed = false;
        for (Slot &slot : m_slots)
            slot.isRowid = slot.name.contains(QLatin1Char('.')) && QLite::isRowidKeyword(slot.column);
    }
    return true;
}

namespace {
// The positions of the slots that hold a row identifier, in slot order.
template <class Slots> std::vector<int> rowidSlotIndexes(const Slots &all)
{
    std::vector<int> indexes;
    for (int s = 0; s < int(all.size()); ++s)
        if (all[size_t(s)].rowidOrdinal >= 0)
            indexes.push_back(s);
    return indexes;
}
} // namespace

bool QLiteCursor::loadEverything(sqlite3_stmt *statement)
{
    QLiteDatabase *db = m_database;
    const std::vector<int> rowidSlots = rowidSlotIndexes(m_slots);
    const size_t slotCount = m_slots.size();

    int rc;
    while ((rc = db->stepRetryingBusy(statement)) == SQLITE_ROW) {
        const size_t row = m_rowCount++;
        m_states.resize(m_states.size() + slotCount, CellState::Unloaded);
        if (!rowidSlots.empty()) {
            m_rowidNumbers.grow(rowidSlots.size(), kNoNumber);
            for (int s : rowidSlots) {
                const Slot &slot = m_slots[size_t(s)];
                const size_t index = row * rowidSlots.size() + size_t(slot.rowidOrdinal);
                const int type = sqlite3_column_type(statement, slot.resultIndex);
                if (type == SQLITE_NULL)
                    continue;
                if (type == SQLITE_INTEGER) {
                    // SQLite's text of an integer is its plain decimal form, so the number stands for the text.
                    m_rowidNumbers[index] = sqlite3_column_int64(statement, slot.resultIndex);
                    m_states[row * slotCount + size_t(s)] = CellState::Rowid;
                } else {
                    m_rowidTexts.insert(index, columnText(statement, slot.resultIndex));
                }
            }
        }
        const quint64 rowStart = quint64(m_arena.size());
        m_rowStarts.push_back(rowStart);
        for (size_t s = 0; s < slotCount; ++s) {
            const Slot &slot = m_slots[s];
            const size_t cellIndex = row * slotCount + s;
            m_cellOffsets.push_back(quint32(quint64(m_arena.size()) - rowStart));
            if (m_states[cellIndex] == CellState::Rowid)
                continue;
            const int type = sqlite3_column_type(statement, slot.resultIndex);
            if (type == SQLITE_NULL) {
                m_states[cellIndex] = CellState::Null;
            } else if (m_treatAsString || (type != SQLITE_BLOB && !slot.needsConversion)) {
                // The bytes go straight into the arena; they become a string only when the cell is read.
                const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, slot.resultIndex));
                const int bytes = sqlite3_column_bytes(statement, slot.resultIndex);
                // Doubling keeps appends amortised constant; growing by each text would copy the arena often.
                if (m_arena.size() + bytes > m_arena.capacity())
                    m_arena.reserve(qMax<qsizetype>(m_arena.capacity() * 2, m_arena.size() + bytes + 4096));
                m_arena.append(text, bytes);
                m_states[cellIndex] = CellState::Text;
            } else {
                storeCell(cellIndex, readValue(slot, statement, slot.resultIndex));
            }
        }
    }
    m_rowStarts.push_back(quint64(m_arena.size()));
    m_arena.squeeze();
    m_rowStarts.shrink_to_fit();
    m_cellOffsets.shrink_to_fit();
    m_states.shrink_to_fit();
    if (rc != SQLITE_DONE) {
        fail(QString::fromUtf8(sqlite3_errmsg(db->m_db)), rc);
        clearRows();
        return false;
    }
    return true;
}

bool QLiteCursor::loadIdentifiers(sqlite3_stmt *statement)
{
    QLiteDatabase *db = m_database;
    const std::vector<int> rowidSlots = rowidSlotIndexes(m_slots);
    const size_t slotCount = m_slots.size();
    int rc;
    while ((rc = db->stepRetryingBusy(statement)) == SQLITE_ROW) {
        const size_t row = m_rowCount++;
        m_rowidNumbers.grow(rowidSlots.size(), kNoNumber);
        bool keepRow = false;
        for (int s : rowidSlots) {
            const Slot &slot = m_slots[size_t(s)];
            const size_t index = row * rowidSlots.size() + size_t(slot.rowidOrdinal);
            const int type = sqlite3_column_type(statement, slot.resultIndex);
            if (type == SQLITE_NULL)
                keepRow = true;
            else if (type == SQLITE_INTEGER)
                m_rowidNumbers[index] = sqlite3_column_int64(statement, slot.resultIndex);
            else
                m_rowidTexts.insert(index, columnText(statement, slot.resultIndex));
        }
        if (!keepRow)
            continue;
        // An outer join without a match: nothing to fetch by later, so keep the whole row now.
        for (size_t s = 0; s < slotCount; ++s) {
            const Slot &slot = m_slots[s];
            if (slot.isRowid && !rowidText(quint32(row), slot.rowidOrdinal).isEmpty())
                continue;
            m_pinned.insert(row * slotCount + s, readValue(slot, statement, slot.resultIndex));
        }
    }
    if (rc != SQLITE_DONE) {
        fail(QString::fromUtf8(sqlite3_errmsg(db->m_db)), rc);
        clearRows();
        return false;
    }
    return true;
}

bool QLiteCursor::loadSourceIdentifiers(bool &sawNull)
{
    QLiteDatabase *db = m_database;
    const QByteArray utf8 = m_source.identifierSql.toUtf8();
    sqlite3_stmt *statement = nullptr;
    const int prepared = sqlite3_prepare_v2(db->m_db, utf8.constData(), int(utf8.size()), &statement, nullptr);
    if (prepared != SQLITE_OK || !statement) {
        fail(prepared != SQLITE_OK ? QString::fromUtf8(sqlite3_errmsg(db->m_db))
                                   : QStringLiteral("[QLiteCursor] failed because the row source is empty."),
             prepared != SQLITE_OK ? prepared : QLP_UnknownError);
        sqlite3_finalize(statement);
        return false;
    }
    int rc;
    while ((rc = db->stepRetryingBusy(statement)) == SQLITE_ROW) {
        const int type = sqlite3_column_type(statement, 0);
        if (type == SQLITE_NULL) {
            sawNull = true;
            break;
        }
        ++m_rowCount;
        if (type == SQLITE_INTEGER) {
            m_rowidNumbers.push_back(sqlite3_column_int64(statement, 0));
        } else {
            m_rowidTexts.insert(m_rowidNumbers.size(), columnText(statement, 0));
            m_rowidNumbers.push_back(kNoNumber);
        }
    }
    if (!sawNull && rc != SQLITE_DONE)
        fail(QString::fromUtf8(sqlite3_errmsg(db->m_db)), rc);
    sqlite3_finalize(statement);
    if (sawNull || rc != SQLITE_DONE) {
        clearRows();
        return false;
    }
    // No shrink_to_fit: its copy would briefly hold the ids twice, and growth by doubling wastes little.
    return true;
}

std::optional<int> QLiteCursor::slotIndex(const QString &column) const
{
    auto it = m_slotByName.constFind(column);
    if (it == m_slotByName.constEnd())
        return std::nullopt;
    return *it;
}

std::optional<Value> QLiteCursor::fetchValue(const QString &column, quint32 row)
{
    if (row >= m_rowCount && m_loader)
        takeIdentifiers(size_t(row) + 1);
    if (row >= m_rowCount)
        return std::nullopt;
    const QString uuid = m_edits.isEmpty() && column != QLP_UUID ? QString() : uuidForRow(row);
    if (!uuid.isEmpty()) {
        if (column == QLP_UUID)
            return Value(uuid);
        auto edits = m_edits.constFind(uuid);
        if (edits != m_edits.constEnd() && edits->contains(column))
            return edits->value(column);
    }
    const std::optional<int> s = slotIndex(column);
    if (!s)
        return std::nullopt;
    const size_t slotCount = m_slots.size();
    const size_t cellIndex = row * slotCount + size_t(*s);
    if (m_cacheMethod == 1) {
        if (m_states[cellIndex] != CellState::Unloaded)
            return cellValue(cellIndex);
        return std::nullopt;
    }
    auto pinned = m_pinned.constFind(cellIndex);
    if (pinned != m_pinned.constEnd())
        return *pinned;
    const Slot &slot = m_slots[size_t(*s)];
    if (slot.rowidOrdinal >= 0)
        return rowidValue(slot, row);
    if (slot.rowidSlot < 0)
        return std::nullopt;
    const Page *page = pageForRow(row);
    if (!page)
        return std::nullopt;
    return page->cells[size_t(row % quint32(m_rowsPerPage)) * slotCount + size_t(*s)];
}

Value QLiteCursor::rowidValue(const Slot &slot, quint32 row) const
{
    const QString text = rowidText(row, slot.rowidOrdinal);
    if (m_treatAsString || !slot.needsConversion)
        return Value(text);
    return QLite::valueForDatatype(slot.datatype, text);
}

Value QLiteCursor::valueForColumn(const QString &column, quint32 row)
{
    return fetchValue(column, row).value_or(Value());
}

QList<Value> QLiteCursor::valuesForColumn(const QString &column)
{
    finishLoading();
    QList<Value> values;
    values.reserve(qsizetype(m_rowCount));
    for (quint32 row = 0; row < m_rowCount; ++row)
        if (std::optional<Value> v = fetchValue(column, row))
            values << *v;
    return values;
}

std::optional<QLiteRow> QLiteCursor::rowAtIndex(quint32 index)
{
    if (index >= m_rowCount && m_loader)
        takeIdentifiers(size_t(index) + 1);
    std::shared_ptr<QLiteCursor> self = weak_from_this().lock();
    if (index >= m_rowCount || !self) {
        fail(QStringLiteral("[QLiteCursor rowAtIndex:] failed: index %1 is out of bounds.").arg(index),
             QLP_UnknownError);
        return std::nullopt;
    }
    return QLiteRow(self, index);
}

Value QLiteCursor::rowValues(quint32 row)
{
    Value values = Value::dict();
    if (row >= m_rowCount)
        return values;
    for (const QString &column : std::as_const(m_columns))
        if (std::optional<Value> v = fetchValue(column, row))
            values.set(column, *v);
    if (const QString uuid = uuidForRow(row); !uuid.isEmpty())
        values.set(QLP_UUID, uuid);
    return values;
}

bool QLiteCursor::setValue(const Value &value, const QString &column, quint32 row)
{
    if (row >= m_rowCount && m_loader)
        takeIdentifiers(size_t(row) + 1);
    const std::optional<int> s = slotIndex(column);
    const bool addressable = row < m_rowCount && s && m_slots[size_t(*s)].rowidSlot >= 0 &&
                             !m_slots[size_t(*s)].isRowid && m_rowidSlotCount > 0 &&
                             !rowidText(row, m_slots[size_t(m_slots[size_t(*s)].rowidSlot)].rowidOrdinal).isEmpty();
    std::shared_ptr<QLiteCursor> self = weak_from_this().lock();
    if (!addressable || !self || !m_database) {
        fail(QStringLiteral("[QLiteRow setValue:forColumn:] failed because the row has no identifier for column %1.")
                 .arg(column),
             QLP_UnknownError);
        return false;
    }
    m_edits[uuidForRow(row)].insert(column, value);
    m_database->markCursorModified(self);
    return true;
}

bool QLiteCursor::saveEdits()
{
    QLiteDatabase *db = m_database;
    if (!db)
        return false;
    finishLoading();
    for (quint32 row = 0; row < m_rowCount && !m_edits.isEmpty(); ++row) {
        auto edits = m_edits.constFind(uuidForRow(row));
        if (edits == m_edits.constEnd())
            continue;
        for (auto it = edits->constBegin(); it != edits->constEnd(); ++it) {
            const Slot &slot = m_slots[size_t(*slotIndex(it.key()))];
            const Slot &rowid = m_slots[size_t(slot.rowidSlot)];
            const QString id = rowidText(row, rowid.rowidOrdinal);
            const QString text = QLite::storedText(it.value());
            const QString sql =
                QStringLiteral("UPDATE %1 SET %2 = %3 WHERE %4 = %5;")
                    .arg(identifier(slot.table), identifier(slot.column),
                         text.isNull() ? QStringLiteral("NULL") : literal(text), identifier(rowid.column), literal(id));
            if (!db->performExecuteQuery(sql))
                return false;
        }
    }
    return true;
}

void QLiteCursor::commitEdits()
{
    for (quint32 row = 0; row < m_rowCount && !m_edits.isEmpty(); ++row) {
        auto edits = m_edits.constFind(uuidForRow(row));
        if (edits == m_edits.constEnd())
            continue;
        for (auto it = edits->constBegin(); it != edits->constEnd(); ++it)
            storeCell(row * m_slots.size() + size_t(*slotIndex(it.key())), it.value());
    }
    m_edits.clear();
}

// --- Pages: methods 2 and 3 read the values of a page of rows with one statement per table.

void QLiteCursor::setPaging(int rowsPerPage, int pagesKept)
{
    m_rowsPerPage = qMax(1, rowsPerPage);
    m_pagesKept = qMax(1, pagesKept);
    m_pages.clear();
}

std::vector<std::pair<quint32, quint32>> QLiteCursor::loadedRowRanges() const
{
    std::vector<std::pair<quint32, quint32>> ranges;
    if (m_cacheMethod == 1) {
        if (m_rowCount > 0)
            ranges.emplace_back(0, quint32(m_rowCount));
        return ranges;
    }
    std::vector<quint32> numbers;
    for (const auto &entry : m_pages)
        numbers.push_back(entry.first);
    std::sort(numbers.begin(), numbers.end());
    for (quint32 number : numbers) {
        const quint32 first = number * quint32(m_rowsPerPage);
        const quint32 end = quint32(qMin<quint64>(quint64(first) + quint64(m_rowsPerPage), m_rowCount));
        if (!ranges.empty() && ranges.back().second == first)
            ranges.back().second = end;
        else
            ranges.emplace_back(first, end);
    }
    return ranges;
}

void QLiteCursor::databaseWillChange()
{
    // The list must be the one the query saw: it is read to its end before this connection writes, which also
    // keeps the reading connection from holding the change up.
    finishLoading();
    if (m_cacheMethod == 3) {
        m_pages.clear();
        return;
    }
    // What was read stays as it was read; only pages read after the change may go and come back.
    for (auto &entry : m_pages)
        entry.second.kept = true;
}

const QLiteCursor::Page *QLiteCursor::pageForRow(quint32 row)
{
    QLiteDatabase *db = m_database;
    const quint32 number = row / quint32(m_rowsPerPage);
    // A page is read with all its rows, so every identifier it covers must be known first.
    if (m_loader) {
        takeIdentifiers(size_t(number + 1) * size_t(m_rowsPerPage));
        if (m_cacheMethod == 1 || row >= m_rowCount) // the list was read again another way
            return nullptr;
    }
    auto found = m_pages.find(number);
    if (found != m_pages.end() && (m_cacheMethod == 2 || (db && found->second.stamp == db->changeStamp()))) {
        found->second.lastUse = ++m_useClock;
        return &found->second;
    }
    Page page;
    if (!loadPage(number, page))
        return nullptr;
    page.lastUse = ++m_useClock;
    m_pages[number] = std::move(page);
    dropPagesBeyondLimit(number);
    return &m_pages[number];
}

bool QLiteCursor::loadPage(quint32 number, Page &page)
{
    QLiteDatabase *db = m_database;
    if (!db || !db->isDatabaseOpen())
        return false;
    const quint32 first = number * quint32(m_rowsPerPage);
    const quint32 end = quint32(qMin<quint64>(quint64(first) + quint64(m_rowsPerPage), m_rowCount));
    const size_t slotCount = m_slots.size();
    // Rows of the page that are gone from the table read as NULL, as a fetch by identifier finds nothing.
    page.cells.assign(size_t(end - first) * slotCount, Value());
    for (const Slot &rowid : m_slots) {
        if (rowid.rowidOrdinal < 0)
            continue;
        const int rowidIndex = m_slotByName.value(rowid.name);
        std::vector<int> wanted;
        QStringList columns{identifier(rowid.column)};
        for (int s = 0; s < int(slotCount); ++s)
            if (m_slots[size_t(s)].rowidSlot == rowidIndex && s != rowidIndex) {
                wanted.push_back(s);
                columns << identifier(m_slots[size_t(s)].column);
            }
        QHash<QString, QList<quint32>> rowsById;
        QStringList ids;
        for (quint32 row = first; row < end; ++row) {
            const QString id = rowidText(row, rowid.rowidOrdinal);
            if (id.isEmpty())
                continue;
            QList<quint32> &rows = rowsById[id];
            if (rows.isEmpty())
                ids << (m_rowidNumbers[size_t(row) * size_t(m_rowidSlotCount) + size_t(rowid.rowidOrdinal)] != kNoNumber
                            ? id
                            : literal(id));
            rows << row - first;
        }
        if (wanted.empty() || ids.isEmpty())
            continue;
        const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 IN (%4);")
                                .arg(columns.join(QStringLiteral(", ")), identifier(rowid.table),
                                     identifier(rowid.column), ids.join(QLatin1Char(',')));
        const QByteArray utf8 = sql.toUtf8();
        sqlite3_stmt *statement = nullptr;
        const int prepared = sqlite3_prepare_v2(db->m_db, utf8.constData(), int(utf8.size()), &statement, nullptr);
        if (prepared != SQLITE_OK) {
            fail(QString::fromUtf8(sqlite3_errmsg(db->m_db)), prepared);
            sqlite3_finalize(statement);
            return false;
        }
        int rc;
        while ((rc = db->stepRetryingBusy(statement)) == SQLITE_ROW) {
            const auto rows = rowsById.constFind(columnText(statement, 0));
            if (rows == rowsById.constEnd())
                continue;
            for (size_t i = 0; i < wanted.size(); ++i) {
                const Value value = readValue(m_slots[size_t(wanted[i])], statement, int(i) + 1);
                for (quint32 local : *rows)
                    page.cells[size_t(local) * slotCount + size_t(wanted[i])] = value;
            }
        }
        if (rc != SQLITE_DONE)
            fail(QString::fromUtf8(sqlite3_errmsg(db->m_db)), rc);
        sqlite3_finalize(statement);
        if (rc != SQLITE_DONE)
            return false;
    }
    page.stamp = db->changeStamp();
    return true;
}

void QLiteCursor::dropPagesBeyondLimit(quint32 keep)
{
    QLiteDatabase *db = m_database;
    const QLiteDatabase::ChangeStamp now = db ? db->changeStamp() : QLiteDatabase::ChangeStamp();
    while (m_pages.size() > size_t(m_pagesKept)) {
        auto oldest = m_pages.end();
        for (auto it = m_pages.begin(); it != m_pages.end(); ++it) {
            // A page read before a change holds what the table was then: reading it again would differ.
            const bool droppable =
                it->first != keep && !it->second.kept && (m_cacheMethod == 3 || it->second.stamp == now);
            if (droppable && (oldest == m_pages.end() || it->second.lastUse < oldest->second.lastUse))
                oldest = it;
        }
        if (oldest == m_pages.end())
            return;
        m_pages.erase(oldest);
    }
}

// --- Identifiers read on another thread.

quint32 QLiteCursor::rowCount()
{
    finishLoading();
    return quint32(m_rowCount);
}

quint32 QLiteCursor::availableRowCount()
{
    if (m_loader)
        takeIdentifiers(0);
    return quint32(m_rowCount);
}

std::optional<quint32> QLiteCursor::rowOfIdentifier(const QString &id)
{
    if (m_loader)
        takeIdentifiers(0);
    if (m_rowidSlotCount == 0 || id.isEmpty())
        return std::nullopt;
    bool isNumber = false;
    const qint64 number = id.toLongLong(&isNumber);
    // Only the plain decimal form of an integer stands for it, as it does in the list.
    const bool plain = isNumber && QString::number(number) == id;
    const size_t stride = size_t(m_rowidSlotCount);
    // The rows known so far first: a row near the top is found without waiting for the rest of the list.
    for (size_t row = 0;; ++row) {
        if (row == m_rowCount) {
            if (!m_loader)
                return std::nullopt;
            takeIdentifiers(row + 1);
            if (row == m_rowCount)
                return std::nullopt;
        }
        const size_t index = row * stride;
        const qint64 stored = m_rowidNumbers[index];
        if (stored != kNoNumber ? plain && stored == number : m_rowidTexts.value(index) == id)
            return quint32(row);
    }
}

bool QLiteCursor::startLoader()
{
    QLiteDatabase *db = m_database;
    if (!m_source.inBackground || !db || !sqlite3_get_autocommit(db->m_db))
        return false;
    // Another connection sees only what is committed to a file: not a database in memory, nor one inside a
    // transaction (checked above).
    const char *file = sqlite3_db_filename(db->m_db, "main");
    if (!file || !*file)
        return false;
    m_loaderContext = std::make_unique<QObject>();
    // The loader's thread is joined before the context goes, so the pointer stays good while it is used.
    QObject *context = m_loaderContext.get();
    std::weak_ptr<QLiteCursor> weak = weak_from_this();
    m_loader = std::make_unique<QLiteIdentifierLoader>(
        QByteArray(file), m_source.identifierSql.toUtf8(), db->m_busyTimeout, kNoNumber, [context, weak] {
            // On the loader's thread: the cursor hears of it on its own.
            QMetaObject::invokeMethod(
                context,
                [weak] {
                    if (std::shared_ptr<QLiteCursor> cursor = weak.lock())
                        cursor->loaderDidFinish();
                },
                Qt::QueuedConnection);
        });
    // False when it could not be read there (a table of this connection only, say): this connection reads it.
    m_readInBackground = takeIdentifiers(size_t(m_rowsPerPage));
    return m_readInBackground;
}

bool QLiteCursor::takeIdentifiers(size_t wanted)
{
    if (!m_loader)
        return true;
    QLiteIdentifierLoader::Batch batch;
    const size_t known = m_rowCount;
    const QLiteIdentifierLoader::State state = m_loader->take(batch, wanted > known ? wanted - known : 0);
    if (!batch.chunks.empty()) {
        // Each piece goes as soon as it is copied, so the list is not held twice.
        for (std::vector<qint64> &chunk : batch.chunks) {
            m_rowidNumbers.append(chunk);
            std::vector<qint64>().swap(chunk);
        }
        for (auto &text : batch.texts)
            m_rowidTexts.insert(known + text.first, std::move(text.second));
        m_rowCount = m_rowidNumbers.size();
    }
    if (state == QLiteIdentifierLoader::State::Running)
        return true;
    m_loader.reset();
    if (state == QLiteIdentifierLoader::State::Done)
        return true;
    // Read again here from the start. Nothing has written since the loader began (writes wait for it), so this
    // connection sees the same rows.
    m_rowidNumbers.clear();
    m_rowidTexts.clear();
    m_uuids.clear();
    m_rowCount = 0;
    if (known == 0)
        return false;
    bool sawNull = false;
    if (!loadSourceIdentifiers(sawNull) && sawNull) {
        // An identifier that cannot be fetched by: the query's own rows decide after all.
        m_source = QLiteRowSource();
        load();
    }
    return true;
}

void QLiteCursor::loaderDidFinish()
{
    if (m_loader)
        takeIdentifiers(0);
    if (m_rowsArrived)
        m_rowsArrived();
}
