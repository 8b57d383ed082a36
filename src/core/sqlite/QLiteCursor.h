// QLiteCursor: the cached result of one SELECT or PRAGMA, with values fetched on demand by row identifier.
#pragma once

#include "QLiteDatabase.h"
#include "Value.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

class QLiteRow;
struct sqlite3_stmt;

class QLiteCursor : public std::enable_shared_from_this<QLiteCursor> {
public:
    // Use QLiteDatabase::performQuery; a cursor made here is empty until refresh().
    QLiteCursor(QLiteDatabase *database, const QString &sql, int cacheMethod, bool treatAsString);
    ~QLiteCursor();

    QLiteCursor(const QLiteCursor &) = delete;
    QLiteCursor &operator=(const QLiteCursor &) = delete;

    quint32 rowCount() const { return quint32(m_rowCount); }
    quint32 columnCount() const { return quint32(m_columns.size()); }
    // Result column names ("table.column" for columns of a table), each once.
    QStringList columns() const { return m_columns; }
    QStringList tables() const { return m_tables; }
    QStringList columnsForTable(const QString &table) const;

    std::optional<QLiteRow> rowAtIndex(quint32 index);
    // Null for NULL cells and for columns the result does not have.
    Value valueForColumn(const QString &column, quint32 row);
    // The values of one column in row order, skipping rows where the column is absent.
    QList<Value> valuesForColumn(const QString &column);
    // Reloads the result; false when the connection is closed or the load fails.
    bool refresh();
    QString sqlQuery() const { return m_sql; }
    int cacheMethod() const { return m_cacheMethod; }
    bool treatAsString() const { return m_treatAsString; }
    QLiteDatabase *database() const { return m_database.data(); }
    // The error of the last failed operation on this cursor (also recorded on the connection).
    QString lastError() const { return m_lastError; }

    // Row-level operations, used by QLiteRow.
    std::optional<Value> fetchValue(const QString &column, quint32 row);
    Value rowValues(quint32 row);
    bool setValue(const Value &value, const QString &column, quint32 row);
    bool hasUnsavedEdits() const { return !m_edits.isEmpty(); }
    // Writes pending edits with UPDATE statements; the caller owns the transaction.
    bool saveEdits();
    // Folds saved edits into the cached values once their transaction has committed.
    void commitEdits();

private:
    // Rowid: a row identifier cell whose value is the text of its integer, kept in m_rowidNumbers.
    enum class CellState : quint8 { Unloaded, Null, Text, Converted, Rowid };
    struct Slot {
        QString name;          // result column name
        QString table;         // text before the last "."
        QString column;        // text after the last "."
        QString datatype;      // from the connection's datatype cache, empty when unknown
        int rowidSlot = -1;    // the slot holding this table's row identifier, -1 when none
        int rowidOrdinal = -1; // for a row identifier slot: its position among them
        int resultIndex = 0;   // first result column with this name
        bool isRowid = false;
        bool needsConversion = false;
    };

    bool load();
    void fail(const QString &message, int code);
    // Result column `index` of the current row of `statement`, as the slot's datatype says.
    Value readValue(const Slot &slot, sqlite3_stmt *statement, int index) const;
    void storeCell(size_t cellIndex, const Value &value);
    Value cellValue(size_t cellIndex) const;
    QString cellText(size_t cellIndex) const;
    // The text of one row identifier ("" for NULL), `ordinal` among the row identifier slots.
    QString rowidText(quint32 row, int ordinal) const;
    bool rowHasRowid(quint32 row) const;
    // The row's UUID, made on first request; empty for a row without identifiers.
    QString uuidForRow(quint32 row) const;
    QString lookupDatatype(const QString &table, const QString &column) const;
    std::optional<Value> fetchFromDatabase(const Slot &slot, quint32 row);
    std::optional<int> slotIndex(const QString &column) const;
    void databaseDidClose();

    QPointer<QLiteDatabase> m_database;
    QString m_sql;
    bool m_treatAsString;
    int m_requestedCacheMethod;
    int m_cacheMethod = 1;
    QString m_lastError;
    int m_closeObserver = 0;

    QStringList m_columns;
    QStringList m_tables;
    std::vector<Slot> m_slots;
    QHash<QString, int> m_slotByName;
    // Row-major cell states, one byte each. Texts read while loading are kept as UTF-8 in one arena: a row
    // starts at m_rowStarts[row] (one more entry ends the last row) and its cells at the offsets relative to
    // that start in m_cellOffsets (a row's text stays far below 4 GiB: SQLite limits a row to 1 GB).
    // Texts stored later (fetched cells, saved edits) live in m_laterTexts, which takes precedence. Other
    // values live in m_converted.
    std::vector<CellState> m_states;
    QByteArray m_arena;
    std::vector<quint64> m_rowStarts;
    std::vector<quint32> m_cellOffsets;
    QHash<size_t, QString> m_laterTexts;
    QHash<size_t, Value> m_converted;
    // Row identifiers, row-major per row identifier slot: the integer when the identifier is one (the
    // usual case, no string kept per row); kNoNumber with the text in m_rowidTexts ("" for NULL) otherwise.
    std::vector<qint64> m_rowidNumbers;
    QHash<size_t, QString> m_rowidTexts;
    // UUIDs are made when a row first needs one (edits, the "UUID" column); rows without identifiers have none.
    mutable QHash<quint32, QString> m_uuids;
    int m_rowidSlotCount = 0;
    size_t m_rowCount = 0;
    // UUID -> (column -> pending value)
    QHash<QString, QHash<QString, Value>> m_edits;
};
