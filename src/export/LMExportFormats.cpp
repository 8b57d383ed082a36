// LMExportFormats: the table of formats; table writers read the database, report writers evaluate the report first.
#include "LMExportFormats.h"

#include "LMCSVImporterExporter.h"
#include "LMHTMLImporterExporter.h"
#include "LMReportImporterExporter.h"
#include "LMSQLImporterExporter.h"
#include "LMTSVImporterExporter.h"
#include "MyDocument.h"

#include <QStringList>

namespace {
LMDelimitedExportOptions delimited(const Value &options)
{
    return {options.value(LMExportFormats::kCsvHeader).toBool(),
            options.value(LMExportFormats::kCsvFormatData).toBool()};
}

bool writeCsv(QIODevice &out, MyDocument &document, const QString &name, const Value &options, QString *error)
{
    LMCSVImporterExporter::setSepValsSeparator(QStringLiteral(","));
    return LMCSVImporterExporter::exportTable(out, name, document.database(), delimited(options), error);
}

bool writeTsv(QIODevice &out, MyDocument &document, const QString &name, const Value &options, QString *error)
{
    return LMTSVImporterExporter::exportTable(out, name, document.database(), delimited(options), error);
}

bool writeSql(QIODevice &out, MyDocument &document, const QString &name, const Value &options, QString *error)
{
    return LMSQLImporterExporter::exportTable(out, name, document.database(), options, error);
}

bool writeHtml(QIODevice &out, MyDocument &document, const QString &name, const Value &options, QString *error)
{
    return LMHTMLImporterExporter::exportTable(out, name, document.database(), options, error);
}

// A report format: the report evaluated, then encoded as `extension`.
LMExportFormat report(const QString &extension, const QString &title, LMReportImporterExporter::Encoder encoder)
{
    return {
        LMExportSource::Report, extension, title,
        [extension, encoder](QIODevice &out, MyDocument &document, const QString &name, const Value &, QString *error) {
            return LMReportImporterExporter::writeEncoded(out, name, document, extension, encoder, error);
        }};
}
} // namespace

namespace LMExportFormats {

const QList<LMExportFormat> &of(LMExportSource source)
{
    static const QList<LMExportFormat> tables{
        {LMExportSource::Table, QStringLiteral("csv"), QStringLiteral("Comma Separated"), writeCsv},
        {LMExportSource::Table, QStringLiteral("tsv"), QStringLiteral("Tab Delimited"), writeTsv},
        {LMExportSource::Table, QStringLiteral("sql"), QStringLiteral("SQL"), writeSql},
        {LMExportSource::Table, QStringLiteral("html"), QStringLiteral("HTML"), writeHtml},
    };
    // "Word" is RTF in a .doc file, as word processors read it.
    static const QList<LMExportFormat> reports{
        report(QStringLiteral("doc"), QStringLiteral("Word"), LMReportImporterExporter::rtf),
        report(QStringLiteral("rtf"), QStringLiteral("RTF"), LMReportImporterExporter::rtf),
        report(QStringLiteral("txt"), QStringLiteral("Plain Text"), LMReportImporterExporter::plainText),
        report(QStringLiteral("odt"), QStringLiteral("OpenDocument Text"), LMReportImporterExporter::odt),
        report(QStringLiteral("html"), QStringLiteral("HTML"), LMReportImporterExporter::htmlDocument),
        {LMExportSource::Report, QStringLiteral("pdf"), QStringLiteral("PDF"),
         [](QIODevice &out, MyDocument &document, const QString &name, const Value &, QString *error) {
             return LMReportImporterExporter::writePdf(out, name, document, error);
         }},
    };
    return source == LMExportSource::Report ? reports : tables;
}

const LMExportFormat *find(LMExportSource source, const QString &extension)
{
    for (const LMExportFormat &format : of(source))
        if (format.extension.compare(extension, Qt::CaseInsensitive) == 0)
            return &format;
    return nullptr;
}

QStringList extensions(LMExportSource source)
{
    QStringList list;
    for (const LMExportFormat &format : of(source))
        list << format.extension;
    return list;
}

} // namespace LMExportFormats
