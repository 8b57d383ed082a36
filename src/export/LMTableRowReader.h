// LMTableRowReader: streams "SELECT * FROM `table`" one row at a time, giving each design field's stored text.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class OXDatabase;
struct sqlite3_stmt;

class LMTableRowReader {
public:
    // `fields` are the design's field names; a field without a column in the table reads as empty.
    LMTableRowReader(OXDatabase *db, const QString &table, const QStringList &fields);
    ~LMTableRowReader();
    LMTableRowReader(const LMTableRowReader &) = delete;
    LMTableRowReader &operator=(const LMTableRowReader &) = delete;

    bool isValid() const { return m_statement != nullptr; }
    QString error() const { return m_error; }

    // Steps to the next row; false at the end or on an error (then error() is set).
    bool next();
    // The stored text of field `index` of the current row as UTF-8; empty for NULL and missing columns.
    // It shares the statement's buffer: valid until the next step (copy it to keep it).
    QByteArray utf8(int index) const;
    QString text(int index) const { return QString::fromUtf8(utf8(index)); }
    // The same bytes without a QByteArray: the text and its length (empty text for NULL and missing columns).
    const char *data(int index, qsizetype *length) const;
    // The number in field `index`: a stored number exactly as SQLite holds it, or text that is a whole finite
    // number (blanks around it allowed); nullopt for NULL, empty and any other text.
    std::optional<double> number(int index) const;

private:
    sqlite3_stmt *m_statement = nullptr;
    QList<int> m_columns; // result column of each field, -1 when absent
    QString m_error;
    OXDatabase *m_db = nullptr;
};

// Runs a streaming export into memory: its bytes, or empty when it failed.
QByteArray exportToBytes(const std::function<bool(QIODevice &out)> &write);
