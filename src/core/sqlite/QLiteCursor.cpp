// QLiteCursor: loads a result by cache method, converts by datatype, fetches uncached cells by row identifier.
#include "QLiteCursor.h"

#include "LMUUID.h"
#include "NotificationCenter.h"
#include "QLiteConversion.h"
#include "QLiteDatabase.h"
#include "QLiteRow.h"

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

QLiteCursor::QLiteCursor(QLiteDatabase *database, const QString &sql, int cacheMethod, bool treatAsString)
    : m_database(database), m_sql(sql), m_treatAsString(treatAsString), m_requestedCacheMethod(cacheMethod)
{
    if (database)
        m_closeObserver = NotificationCenter::defaultCenter().addObserver(
            QLP_QLiteDatabaseDidCloseNotification, database, [this](const Notification &) { databaseDidClose(); });
}

QLiteCursor::~QLiteCursor()
{
    if (m_closeObserver)
        NotificationCenter::defaultCenter().removeObserver(m_closeObserver);
}

void QLiteCursor::databaseDidClose()
{
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
        const Slot &slot = m_slots[cellIndex % slotCount];
        const QString text = rowidText(quint32(cellIndex / slotCount), slot.rowidOrdinal);
        if (m_treatAsString || !slot.needsConversion)
            return Value(text);
        return QLite::valueForDatatype(slot.datatype, text);
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

bool QLiteCursor::load()
{
    QLiteDatabase *db = m_database;
    m_columns.clear();
    m_tables.clear();
    m_slots.clear();
    m_slotByName.clear();
    m_states.clear();
    m_arena.clear();
    m_rowStarts.clear();
    m_cellOffsets.clear();
    m_laterTexts.clear();
    m_converted.clear();
    m_rowidNumbers.clear();
    m_rowidTexts.clear();
    m_uuids.clear();
    m_rowCount = 0;
    m_rowidSlotCount = 0;
    m_edits.clear();

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

    // Column layout, worked out once for the whole result.
    const int resultColumns = sqlite3_column_count(statement);
    std::vector<int> slotOfResult(size_t(resultColumns), -1);
    for (int i = 0; i < resultColumns; ++i) {
        const char *rawName = sqlite3_column_name(statement, i);
        if (!rawName) {
            sqlite3_finalize(statement);
            fail(QStringLiteral("[QLiteCursor] failed because SQLite did not report a column name."), QLP_UnknownError);
            m_columns.clear();
            m_slots.clear();
            m_slotByName.clear();
            return false;
        }
        const QString name = QString::fromUtf8(rawName);
        auto found = m_slotByName.constFind(name);
        if (found != m_slotByName.constEnd())
            continue; // a repeated name is one dictionary key; its first column stands for it
        Slot slot;
        slot.name = name;
        slot.resultIndex = i;
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        slot.table = dot >= 0 ? name.left(dot) : name;
        slot.column = dot >= 0 ? name.mid(dot + 1) : name;
        slot.isRowid = dot >= 0 && QLite::isRowidKeyword(slot.column);
        slotOfResult[size_t(i)] = int(m_slots.size());
        m_slotByName.insert(name, int(m_slots.size()));
        m_slots.push_back(slot);
        m_columns << name;
        if (!m_tables.contains(slot.table))
            m_tables << slot.table;
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

    std::vector<int> rowidSlots;
    for (int s = 0; s < int(m_slots.size()); ++s)
        if (m_slots[size_t(s)].rowidOrdinal >= 0)
            rowidSlots.push_back(s);
    const size_t slotCount = m_slots.size();

    int rc;
    while ((rc = db->stepRetryingBusy(statement)) == SQLITE_ROW) {
        const size_t row = m_rowCount++;
        m_states.resize(m_states.size() + slotCount, CellState::Unloaded);
        bool cacheAll = m_cacheMethod == 1;
        if (!rowidSlots.empty()) {
            m_rowidNumbers.resize(m_rowidNumbers.size() + rowidSlots.size(), kNoNumber);
            for (int s : rowidSlots) {
                const Slot &slot = m_slots[size_t(s)];
                const size_t index = row * rowidSlots.size() + size_t(slot.rowidOrdinal);
                const int type = sqlite3_column_type(statement, slot.resultIndex);
                if (type == SQLITE_NULL) {
                    // An outer join without a match: nothing to fetch by later, so keep the whole row now.
                    cacheAll = true;
                    continue;
                }
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
            if ((!cacheAll && !slot.isRowid) || m_states[cellIndex] == CellState::Rowid)
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
        const QString message = QString::fromUtf8(sqlite3_errmsg(db->m_db));
        sqlite3_finalize(statement);
        m_states.clear();
        m_arena.clear();
        m_rowStarts.clear();
        m_cellOffsets.clear();
        m_laterTexts.clear();
        m_converted.clear();
        m_rowidNumbers.clear();
        m_rowidTexts.clear();
        m_uuids.clear();
        m_rowCount = 0;
        fail(message, rc);
        return false;
    }
    sqlite3_finalize(statement);
    db->clearLastError();
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
    const size_t cellIndex = row * m_slots.size() + size_t(*s);
    if (m_states[cellIndex] != CellState::Unloaded)
        return cellValue(cellIndex);
    const Slot &slot = m_slots[size_t(*s)];
    if (slot.rowidSlot < 0)
        return std::nullopt;
    std::optional<Value> value = fetchFromDatabase(slot, row);
    if (value && m_cacheMethod == 2)
        storeCell(cellIndex, *value);
    return value;
}

std::optional<Value> QLiteCursor::fetchFromDatabase(const Slot &slot, quint32 row)
{
    QLiteDatabase *db = m_database;
    const Slot &rowid = m_slots[size_t(slot.rowidSlot)];
    const QString id = rowidText(row, rowid.rowidOrdinal);
    if (!db || !db->isDatabaseOpen() || id.isEmpty())
        return std::nullopt;
    // Identifiers are quoted so that table and column names with blanks or quotes still work.
    const QString sql =
        QStringLiteral("SELECT %1 FROM %2 WHERE %3 = %4;")
            .arg(identifier(slot.column), identifier(slot.table), identifier(rowid.column), literal(id));
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt *statement = nullptr;
    const int prepared = sqlite3_prepare_v2(db->m_db, utf8.constData(), int(utf8.size()), &statement, nullptr);
    if (prepared != SQLITE_OK) {
        fail(QString::fromUtf8(sqlite3_errmsg(db->m_db)), prepared);
        sqlite3_finalize(statement);
        return std::nullopt;
    }
    std::optional<Value> value;
    const int rc = db->stepRetryingBusy(statement);
    if (rc == SQLITE_ROW)
        value = readValue(slot, statement, 0);
    else if (rc == SQLITE_DONE)
        value = Value();
    else
        fail(QString::fromUtf8(sqlite3_errmsg(db->m_db)), rc);
    sqlite3_finalize(statement);
    return value;
}

Value QLiteCursor::valueForColumn(const QString &column, quint32 row)
{
    return fetchValue(column, row).value_or(Value());
}

QList<Value> QLiteCursor::valuesForColumn(const QString &column)
{
    QList<Value> values;
    values.reserve(qsizetype(m_rowCount));
    for (quint32 row = 0; row < m_rowCount; ++row)
        if (std::optional<Value> v = fetchValue(column, row))
            values << *v;
    return values;
}

std::optional<QLiteRow> QLiteCursor::rowAtIndex(quint32 index)
{
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
