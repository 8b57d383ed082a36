// QLiteCursor: the cached result of one SELECT or PRAGMA, with values fetched on demand by row identifier.
#pragma once

#include "QLiteDatabase.h"
#include "Value.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

class QLiteIdentifierLoader;
class QLiteRow;
class QObject;
struct sqlite3_stmt;

// Where the rows of a query come from when only their identifiers are read at query time: `identifierSql`
// lists, in the query's own order, the values of `identifierColumn` of `table` for exactly the query's rows.
// It lets a cursor over a table without a ROWID column in its result still load identifiers only.
struct QLiteRowSource {
    QString table;
    QString identifierColumn;
    QString identifierSql;
    // Reads the identifiers on a thread of its own, so the cursor answers the first rows before the whole list
    // is read (only for a database file the connection shares with others and outside a transaction).
    bool inBackground = false;
    bool isValid() const { return !table.isEmpty() && !identifierColumn.isEmpty() && !identifierSql.isEmpty(); }
};

// Row identifiers in blocks of a fixed size: the list grows without copying itself, where a vector holds a
// million identifiers twice for a moment each time it doubles.
class QLiteIdentifierList {
public:
    static constexpr size_t kBlock = 65536;
    qint64 &operator[](size_t index) { return m_blocks[index / kBlock][index % kBlock]; }
    qint64 operator[](size_t index) const { return m_blocks[index / kBlock][index % kBlock]; }
    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    void clear()
    {
        m_blocks.clear();
        m_size = 0;
    }
    void push_back(qint64 value)
    {
        if (m_size == m_blocks.size() * kBlock)
            m_blocks.push_back(std::make_unique_for_overwrite<qint64[]>(kBlock));
        (*this)[m_size++] = value;
    }
    void grow(size_t count, qint64 fill)
    {
        for (size_t i = 0; i < count; ++i)
            push_back(fill);
    }
    void append(const std::vector<qint64> &values)
    {
        size_t done = 0;
        while (done < values.size()) {
            if (m_size == m_blocks.size() * kBlock)
                m_blocks.push_back(std::make_unique_for_overwrite<qint64[]>(kBlock));
            const size_t room = kBlock - m_size % kBlock;
            const size_t count = std::min(room, values.size() - done);
            std::copy_n(values.data() + done, count, &(*this)[m_size]);
            m_size += count;
            done += count;
        }
    }

private:
    std::vector<std::unique_ptr<qint64[]>> m_blocks;
    size_t m_size = 0;
};

class QLiteCursor : public std::enable_shared_from_this<QLiteCursor> {
public:
    // Use QLiteDatabase::performQuery; a cursor made here is empty until refresh().
    QLiteCursor(QLiteDatabase *database, const QString &sql, int cacheMethod, bool treatAsString,
                const QLiteRowSource &source = QLiteRowSource());
    ~QLiteCursor();

    QLiteCursor(const QLiteCursor &) = delete;
    QLiteCursor &operator=(const QLiteCursor &) = delete;

    // Waits for the whole identifier list when it is still being read.
    quint32 rowCount();
    // The rows known so far, without waiting; the same as rowCount() once the list is read.
    quint32 availableRowCount();
    bool isLoadingRows() const { return m_loader != nullptr; }
    // True when the last load read the identifiers on a thread of its own.
    bool readInBackground() const { return m_readInBackground; }
    // Runs on the cursor's thread once more rows may be available (at least once when the list is complete).
    void setRowsArrivedHandler(std::function<void()> handler) { m_rowsArrived = std::move(handler); }
    // The position of the row whose identifier (of the first row identifier column) is `id`, if any; waits for
    // more of the list only while it has not been found.
    std::optional<quint32> rowOfIdentifier(const QString &id);
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

    // Methods 2 and 3 fetch the values of a page of rows with one statement; at most `pagesKept` pages stay
    // loaded, the least recently used going first. A page loaded before the table changed is never dropped
    // under method 2 (it keeps what it read); under method 3 it is read again.
    void setPaging(int rowsPerPage, int pagesKept);
    int rowsPerPage() const { return m_rowsPerPage; }
    int loadedPageCount() const { return int(m_pages.size()); }
    // Rows whose values are in memory, as sorted [first, end) ranges: every row under method 1.
    std::vector<std::pair<quint32, quint32>> loadedRowRanges() const;
    // True when the identifiers came from the row source rather than from the query itself.
    bool usesRowSource() const { return m_keyed; }
    // The connection is about to change the database: method 2 keeps every loaded page from then on,
    // method 3 forgets them.
    void databaseWillChange();

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

    struct Page {
        std::vector<Value> cells; // rows of the page x slots; identifier slots stay null
        QLiteDatabase::ChangeStamp stamp;
        quint64 lastUse = 0;
        bool kept = false;
    };

    bool load();
    bool readLayout(sqlite3_stmt *statement, int method);
    bool loadEverything(sqlite3_stmt *statement);
    bool loadIdentifiers(sqlite3_stmt *statement);
    // Reads the row source's identifiers; false with `sawNull` set when one of them is NULL.
    bool loadSourceIdentifiers(bool &sawNull);
    // Starts reading the row source's identifiers on a thread and waits for the first page of them; false
    // when they cannot be read there (the caller reads them here instead).
    bool startLoader();
    // Moves the identifiers read so far into the list, first waiting for `wanted` rows in all (or the end).
    // False when the loader failed before handing over any: the list is empty and this connection must read it.
    bool takeIdentifiers(size_t wanted);
    void finishLoading() { takeIdentifiers(std::numeric_limits<size_t>::max()); }
    void loaderDidFinish();
    void clearRows();
    const Page *pageForRow(quint32 row);
    bool loadPage(quint32 number, Page &page);
    void dropPagesBeyondLimit(quint32 keep);
    void fail(const QString &message, int code);
    // Result column `index` of the current row of `statement`, as the slot's datatype says.
    Value readValue(const Slot &slot, sqlite3_stmt *statement, int index) const;
    void storeCell(size_t cellIndex, const Value &value);
    Value cellValue(size_t cellIndex) const;
    QString cellText(size_t cellIndex) const;
    // The text of one row identifier ("" for NULL), `ordinal` among the row identifier slots.
    QString rowidText(quint32 row, int ordinal) const;
    bool rowHasRowid(quint32 row) const;
    Value rowidValue(const Slot &slot, quint32 row) const;
    // The row's UUID, made on first request; empty for a row without identifiers.
    QString uuidForRow(quint32 row) const;
    QString lookupDatatype(const QString &table, const QString &column) const;
    std::optional<int> slotIndex(const QString &column) const;
    void databaseDidClose();

    QPointer<QLiteDatabase> m_database;
    QString m_sql;
    QLiteRowSource m_source;
    bool m_keyed = false;
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
    QLiteIdentifierList m_rowidNumbers;
    QHash<size_t, QString> m_rowidTexts;
    // UUIDs are made when a row first needs one (edits, the "UUID" column); rows without identifiers have none.
    mutable QHash<quint32, QString> m_uuids;
    int m_rowidSlotCount = 0;
    size_t m_rowCount = 0;
    // Methods 2 and 3: cells held apart from pages (rows without identifiers, saved edits) and the pages.
    QHash<size_t, Value> m_pinned;
    std::unordered_map<quint32, Page> m_pages;
    int m_rowsPerPage = 256;
    int m_pagesKept = 64;
    quint64 m_useClock = 0;
    bool m_registered = false;
    // UUID -> (column -> pending value)
    QHash<QString, QHash<QString, Value>> m_edits;
    // While identifiers are read on another thread; the context receives its end on this thread.
    std::unique_ptr<QLiteIdentifierLoader> m_loader;
    std::unique_ptr<QObject> m_loaderContext;
    std::function<void()> m_rowsArrived;
    bool m_readInBackground = false;
};
