// LMTSVImporterExporter: sets the shared separator to a tab around each CSV operation and back to ",".
#include "LMTSVImporterExporter.h"

namespace {
struct TabSeparator {
    TabSeparator() { LMCSVImporterExporter::setSepValsSeparator(QStringLiteral("\t")); }
    ~TabSeparator() { LMCSVImporterExporter::setSepValsSeparator(QStringLiteral(",")); }
};
} // namespace

std::optional<Alert> LMTSVImporterExporter::importData(QIODevice &data, const QString &table,
                                                       const QStringList &columnNames, const QStringList &columnTypes,
                                                       const QList<bool> &columnEnabled, OXDatabase *db,
                                                       LMImportProgress *progress, LMImportSummary *summary,
                                                       const LMImportOptions &options)
{
    TabSeparator tab;
    return LMCSVImporterExporter::importData(data, table, columnNames, columnTypes, columnEnabled, db, progress,
                                             summary, options);
}

QByteArray LMTSVImporterExporter::exportTable(const QString &table, OXDatabase *db)
{
    TabSeparator tab;
    return LMCSVImporterExporter::exportTable(table, db);
}

bool LMTSVImporterExporter::exportTable(QIODevice &out, const QString &table, OXDatabase *db, QString *error)
{
    TabSeparator tab;
    return LMCSVImporterExporter::exportTable(out, table, db, error);
}

bool LMTSVImporterExporter::exportTable(QIODevice &out, const QString &table, OXDatabase *db,
                                        const LMDelimitedExportOptions &options, QString *error)
{
    TabSeparator tab;
    return LMCSVImporterExporter::exportTable(out, table, db, options, error);
}
