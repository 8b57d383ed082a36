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
    qint64 skipped = 0; // records whose values were all empty
    qint64 failed = 0;  // INSERTs the database refused; the import went on with the next record
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
                                           LMImportSummary *summary = nullptr);
    static std::optional<Alert> importData(const QByteArray &data, const QString &table, const QStringList &columnNames,
                                           const QStringList &columnTypes, const QList<bool> &columnEnabled,
                                           OXDatabase *db, LMImportProgress *progress = nullptr,
                                           LMImportSummary *summary = nullptr);

    // The design an import creates and its column definitions (used by importData; public for tests).
    static Value importDesign(const QString &table, const QStringList &columnNames, const QStringList &columnTypes,
                              const QList<bool> &columnEnabled);
    static QString columnDefinitions(const Value &design);

    // The table as delimited text in UTF-8: no header, "\n" between records, media as "<type>".
    static QByteArray exportTable(const QString &table, OXDatabase *db);
    // The same bytes written to `out` as the rows are read; false when the table cannot be read or written.
    static bool exportTable(QIODevice &out, const QString &table, OXDatabase *db, QString *error = nullptr);

    static Alert importFailure(const QString &informative);
};
