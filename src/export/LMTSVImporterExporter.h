// LMTSVImporterExporter: the delimited-text operations with the tab as separator.
#pragma once

#include "LMCSVImporterExporter.h"

class LMTSVImporterExporter {
public:
    static std::optional<Alert> importData(QIODevice &data, const QString &table, const QStringList &columnNames,
                                           const QStringList &columnTypes, const QList<bool> &columnEnabled,
                                           OXDatabase *db, LMImportProgress *progress = nullptr,
                                           LMImportSummary *summary = nullptr, const LMImportOptions &options = {});
    static QByteArray exportTable(const QString &table, OXDatabase *db);
    static bool exportTable(QIODevice &out, const QString &table, OXDatabase *db, QString *error = nullptr);
    static bool exportTable(QIODevice &out, const QString &table, OXDatabase *db,
                            const LMDelimitedExportOptions &options, QString *error = nullptr);
};
