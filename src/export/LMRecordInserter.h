// LMRecordInserter: inserts parsed records into one table through prepared INSERTs with bound values, in batches.
#pragma once

#include "DateFormatter.h"
#include "DesignVocabulary.h"
#include "NumberFormatter.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringEncoder>
#include <QStringList>
#include <optional>

class OXDatabase;
struct sqlite3_stmt;

class LMRecordInserter {
public:
    enum class Result { Inserted, Skipped, Failed };

    // `names` has one entry per column of the file; `enabled` one flag per column (missing flags count as
    // enabled); `types` the datatypes of the columns, used to convert texts (missing types mean "Text").
    LMRecordInserter(OXDatabase *db, const QString &table, const QStringList &names, const QList<bool> &enabled,
                     const QStringList &types = QStringList());
    ~LMRecordInserter();
    LMRecordInserter(const LMRecordInserter &) = delete;
    LMRecordInserter &operator=(const LMRecordInserter &) = delete;

    // False when the statement could not be prepared (no enabled column, unknown table); see error().
    bool isValid() const { return m_statement != nullptr; }
    QString error() const { return m_error; }

    // Pads or cuts the record to the columns, leaves out disabled ones, converts and queues it; queued
    // records go in, several per statement, when the batch is full and at flush(). A record whose remaining
    // values are all empty is skipped (Skipped); Failed only when the inserter is not valid.
    Result insert(const QStringList &record);
    // Inserts the queued records. A batch the database refuses is tried again record by record, so one
    // refused record does not stop the others. Also done by the destructor.
    void flush();
    qint64 inserted() const { return m_inserted; }
    qint64 failed() const { return m_failed; }

    // The stored form of `text` for a column of `datatype`: dates that parse (ISO 8601, the locale's short
    // date or short date and time) become seconds since the reference date, yes/no/true/false/1/0 become
    // "1" or "0", numbers (plain, or grouped, currency or percent in the locale's form) their standard text;
    // any other text stays as it is.
    QString convert(const QString &text, Datatype datatype) const;
    // The same, or nullopt when a non-empty text does not convert to `datatype` (it would be kept as text).
    std::optional<QString> converted(const QString &text, Datatype datatype) const;

private:
    std::optional<double> parseDate(const QString &text) const;
    std::optional<double> parseNumber(const QString &text) const;
    // Binds the values of `records` queued records from the first of them on, then steps once.
    bool step(sqlite3_stmt *statement, int first, int records);

    sqlite3_stmt *m_statement = nullptr;      // one record
    sqlite3_stmt *m_batchStatement = nullptr; // m_batch records
    int m_batch = 1;
    int m_pending = 0;
    qint64 m_inserted = 0;
    qint64 m_failed = 0;
    QString m_error;
    QList<int> m_positions;  // file positions of the enabled columns
    QList<Datatype> m_types; // datatype of each enabled column
    QList<bool> m_isText;    // per enabled column: stored as read, without conversion
    QStringList m_converted; // the converted texts of the other columns
    QByteArray m_utf8;       // the queued records' texts one after the other; must live until the step
    QList<qsizetype> m_ends; // where each queued text ends in m_utf8
    QStringEncoder m_encoder{QStringEncoder::Utf8};
    DateFormatter m_shortDate;
    DateFormatter m_shortDateTime;
    QList<NumberFormatter> m_numberForms; // the locale's number forms tried after a plain number
};
