// LMCSVImporterExporter: delimited-text import into a new table and export of a table, with a process-wide separator.
#pragma once

#include "Alert.h"
#include "Value.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class LMImportProgress;
class OXDatabase;
class QIODevice;

// What an import did, for the caller's messages.
struct LMImportSummary {
    qint64 inserted = 0;
    qint64 skipped = 0;     // records whose values were all empty
    qint64 failed = 0;      // INSERTs the database refused; the import went on with the next record
    qint64 longRecords = 0; // records with more fields than there are columns; the extra fields were left out
};

// How a file is read beyond its columns.
struct LMImportOptions {
    bool firstRecordHoldsNames = false; // the first record named the columns and is not imported
};

// Values that will not convert to their column's datatype, and records longer than the first, found before
// anything is imported.
struct LMImportCheck {
    struct Column {
        QString name;
        QString type;
        qint64 count = 0;
        QStringList examples; // the first few, in file order
    };
    QList<Column> columns;      // only the columns that have such values, in file order
    qint64 longRecords = 0;     // records with more fields than there are columns
    qint64 firstLongRecord = 0; // its number in the file, counted from 1

    bool isClean() const { return columns.isEmpty() && longRecords == 0; }
    // The question asked before importing: buttons "Import as Text" (or "Import") and "Cancel".
    Alert alert() const;
};

// How a table is written as delimited text. The class operations' defaults are the bare form: no header, stored
// texts; the export sheet and orvix-cli turn both on unless asked for the raw form.
struct LMDelimitedExportOptions {
    bool header = false;        // a first line with the field names
    bool valuesAsShown = false; // numbers, yes/no and lists as the field shows them, dates in ISO 8601
};

class LMCSVImporterExporter {
public:
    static QString sepValsSeparator();
    static void setSepValsSeparator(const QString &separator);
    // The first character of a separator text; "," for an empty one.
    static QChar separatorCharacter(const QString &separator);

    // Parses a whole text. With "Get Col Names" true returns the first record's fields and inserts nothing;
    // otherwise inserts every record into "Table Name" and returns an empty list.
    static QStringList parseString(const QString &text, const Value &options, LMImportProgress *progress,
                                   OXDatabase *db);
    // Inserts one record with the options' table, column names and enabled flags (`row` is not used).
    static void doInsertDataArray(const QStringList &record, qint64 row, const Value &options, OXDatabase *db);

    // The first record of a file, read with `separator`; nullopt with `alert` set when the file cannot be
    // read, is not UTF-8 text, is binary, holds no record or never closes its first quote.
    static std::optional<QStringList> firstRecord(QIODevice &data, const QString &separator,
                                                  std::optional<Alert> *alert = nullptr);

    // Creates the table `table` (key field "id" first, then every enabled column) and inserts every record
    // of `data`, the first line included. All of it happens in one exclusive transaction and the design is
    // recorded only after the commit, so a failure leaves neither table nor design behind. Null on success,
    // else the alert to show.
    static std::optional<Alert> importData(QIODevice &data, const QString &table, const QStringList &columnNames,
                                           const QStringList &columnTypes, const QList<bool> &columnEnabled,
                                           OXDatabase *db, LMImportProgress *progress = nullptr,
                                           LMImportSummary *summary = nullptr, const LMImportOptions &options = {});
    static std::optional<Alert> importData(const QByteArray &data, const QString &table, const QStringList &columnNames,
                                           const QStringList &columnTypes, const QList<bool> &columnEnabled,
                                           OXDatabase *db, LMImportProgress *progress = nullptr,
                                           LMImportSummary *summary = nullptr, const LMImportOptions &options = {});

    // Reads the whole of `data` as importData would and tells what would not convert; nullopt with `alert` set
    // when the file cannot be read.
    static std::optional<LMImportCheck> checkData(QIODevice &data, const QStringList &columnNames,
                                                  const QStringList &columnTypes, const QList<bool> &columnEnabled,
                                                  const LMImportOptions &options, std::optional<Alert> *alert);

    // The design an import creates and its column definitions (used by importData; public for tests).
    static Value importDesign(const QString &table, const QStringList &columnNames, const QStringList &columnTypes,
                              const QList<bool> &columnEnabled);
    static QString columnDefinitions(const Value &design);

    // The table as delimited text in UTF-8: no header, "\n" between records, media as "<type>".
    static QByteArray exportTable(const QString &table, OXDatabase *db);
    // The same bytes written to `out` as the rows are read; false when the table cannot be read or written.
    static bool exportTable(QIODevice &out, const QString &table, OXDatabase *db, QString *error = nullptr);
    // With a header line and/or values as shown. An empty table with a header is the header alone.
    static bool exportTable(QIODevice &out, const QString &table, OXDatabase *db,
                            const LMDelimitedExportOptions &options, QString *error = nullptr);
    // The ISO 8601 pattern of the parts a date field shows ("yyyy-MM-dd", then " HH:mm" or " HH:mm:ss").
    static QString isoDatePattern(const Value &field);

    static Alert importFailure(const QString &informative);
};
