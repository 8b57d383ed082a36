// OrvixCliTransfer: options are checked before the package is touched; the work is the sheets' own code.
#include "OrvixCliTransfer.h"
#include "DesignVocabulary.h"
#include "LMExportFormats.h"

#include "LMExportController.h"
#include "LMHTMLImporterExporter.h"
#include "LMImportController.h"
#include "MyDocument.h"
#include "OXDatabase.h"

#include <QFile>
#include <QFileInfo>
#include <memory>

#include <cstdio>

namespace {
// Takes the value of an option that needs one; false when it is missing.
bool takeValue(const QStringList &args, int &i, QString &value)
{
    if (i + 1 >= args.size())
        return false;
    value = args[++i];
    return true;
}
} // namespace

int OrvixCliTransfer::fail(const QString &message, int code)
{
    m_err << "orvix-cli: " << message << "\n";
    m_err.flush();
    return code;
}

int OrvixCliTransfer::runImport(const QStringList &args)
{
    QStringList positional;
    QString table;
    bool tableGiven = false;
    QList<QPair<QString, QString>> types;
    QStringList skipped;
    bool noHeader = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        QString value;
        if (arg == QLatin1String("--no-header")) {
            noHeader = true;
        } else if (arg == QLatin1String("--table")) {
            if (!takeValue(args, i, table))
                return fail(QStringLiteral("--table needs a NAME"), 2);
            tableGiven = true;
        } else if (arg == QLatin1String("--type")) {
            if (!takeValue(args, i, value))
                return fail(QStringLiteral("--type needs COLUMN=DATATYPE"), 2);
            const int equals = int(value.lastIndexOf(QLatin1Char('=')));
            const QString type = value.mid(equals + 1);
            if (equals <= 0 || !LMImportController::columnTypes().contains(type))
                return fail(QStringLiteral("--type \"%1\": expected COLUMN=DATATYPE with DATATYPE one of %2")
                                .arg(value, LMImportController::columnTypes().join(QStringLiteral(", "))),
                            2);
            types.append({value.left(equals), type});
        } else if (arg == QLatin1String("--skip")) {
            if (!takeValue(args, i, value))
                return fail(QStringLiteral("--skip needs a COLUMN"), 2);
            skipped << value;
        } else if (arg.startsWith(QLatin1String("--"))) {
            return fail(QStringLiteral("unknown option '%1' for import (see orvix-cli --help)").arg(arg), 2);
        } else {
            positional << arg;
        }
    }
    if (positional.size() != 2)
        return fail(QStringLiteral("'import' takes PACKAGE FILE (see orvix-cli --help)"), 2);
    const QString &package = positional[0], &file = positional[1];
    if (!QFileInfo(file).isFile())
        return fail(QStringLiteral("no file \"%1\"").arg(file));

    QString error;
    std::unique_ptr<MyDocument> doc = MyDocument::openForWriting(package, QStringLiteral("Orvix"), &error);
    if (!doc)
        return fail(error);
    LMImportController controller(doc.get());
    if (const std::optional<Alert> problem = controller.setFile(file))
        return fail(problem->informativeText);
    if (noHeader)
        controller.setFirstRecordHoldsNames(false);
    if (tableGiven)
        controller.controlTextDidChange(table);
    if (!controller.tableNameOK())
        return fail(controller.tableName().isEmpty()
                        ? QStringLiteral("no table name is free; give one with --table")
                        : QStringLiteral("the table name \"%1\" is already used or has characters other than "
                                         "letters, digits, blanks, underscores and hyphens")
                              .arg(controller.tableName()));
    for (const auto &[column, type] : types) {
        const int row = controller.columnNamed(column);
        if (row < 0)
            return fail(QStringLiteral("no column named \"%1\" (the columns are: %2)")
                            .arg(column, controller.columnNames().join(QStringLiteral(", "))),
                        2);
        controller.setObjectValue(type, DesignKey::Type, row);
    }
    for (const QString &column : skipped) {
        const int row = controller.columnNamed(column);
        if (row < 0)
            return fail(QStringLiteral("no column named \"%1\" (the columns are: %2)")
                            .arg(column, controller.columnNames().join(QStringLiteral(", "))),
                        2);
        controller.setObjectValue(QStringLiteral("0"), QStringLiteral("Enabled"), row);
    }
    const QString name = controller.tableName();
    LMImportSummary summary;
    // Values that will not convert are put as an alert (standard error); --answer Cancel stops here.
    if (const std::optional<Alert> failure = controller.import(nullptr, &summary))
        return fail(failure->messageText + QStringLiteral(": ") + failure->informativeText);
    if (controller.cancelled())
        return 3;
    if (!doc->save(package, QStringLiteral("Orvix"), &error))
        return fail(error);
    m_out << "imported " << summary.inserted << " records into \"" << name << "\"";
    if (summary.failed > 0)
        m_out << " (" << summary.failed << " refused by the database)";
    if (summary.longRecords > 0)
        m_out << " (" << summary.longRecords << " with more fields than columns: the extra fields were left out)";
    m_out << "\n";
    m_out.flush();
    return 0;
}

int OrvixCliTransfer::runExport(const QStringList &args)
{
    QStringList positional;
    QString format, target, doctype, output;
    bool stylesheet = false, raw = false, toFile = false, noHeader = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == QLatin1String("--format")) {
            if (!takeValue(args, i, format))
                return fail(QStringLiteral("--format needs csv, tsv, sql or html"), 2);
        } else if (arg == QLatin1String("--sql-target")) {
            if (!takeValue(args, i, target))
                return fail(QStringLiteral("--sql-target needs a TARGET"), 2);
        } else if (arg == QLatin1String("--doctype")) {
            if (!takeValue(args, i, doctype))
                return fail(QStringLiteral("--doctype needs a DOCTYPE"), 2);
        } else if (arg == QLatin1String("--stylesheet")) {
            stylesheet = true;
        } else if (arg == QLatin1String("--raw")) {
            raw = true;
        } else if (arg == QLatin1String("--no-header")) {
            noHeader = true;
        } else if (arg == QLatin1String("-o") || arg == QLatin1String("--output")) {
            if (!takeValue(args, i, output))
                return fail(QStringLiteral("-o needs a FILE"), 2);
            toFile = true;
        } else if (arg.startsWith(QLatin1Char('-'))) {
            return fail(QStringLiteral("unknown option '%1' for export (see orvix-cli --help)").arg(arg), 2);
        } else {
            positional << arg;
        }
    }
    if (positional.size() != 2)
        return fail(QStringLiteral("'export' takes PACKAGE TABLE (see orvix-cli --help)"), 2);
    static const QStringList formats = {QStringLiteral("csv"), QStringLiteral("tsv"), QStringLiteral("sql"),
                                        QStringLiteral("html")};
    if (!formats.contains(format))
        return fail(QStringLiteral("--format must be csv, tsv, sql or html"), 2);
    if (!target.isEmpty() && !LMExportController::sqlTargets().contains(target))
        return fail(QStringLiteral("--sql-target must be one of %1")
                        .arg(LMExportController::sqlTargets().join(QStringLiteral(", "))),
                    2);
    if (!doctype.isEmpty() && !LMHTMLImporterExporter::doctypes().contains(doctype))
        return fail(QStringLiteral("--doctype must be one of %1")
                        .arg(LMHTMLImporterExporter::doctypes().join(QStringLiteral(", "))),
                    2);
    if (toFile && output.isEmpty())
        return fail(QStringLiteral("-o needs a FILE"), 2);

    const QString &package = positional[0], &table = positional[1];
    QString error;
    std::unique_ptr<MyDocument> doc = MyDocument::open(package, QStringLiteral("Orvix"), &error);
    if (!doc)
        return fail(error);
    LMExportController controller(doc.get());
    if (!controller.setSource(table))
        return fail(QStringLiteral("no table named \"%1\"").arg(table));
    controller.selectFormatForExtension(format);
    if (!target.isEmpty())
        controller.setOption(LMExportFormats::kSqlTarget, target);
    if (!doctype.isEmpty())
        controller.setOption(LMExportFormats::kHtmlDoctype, doctype);
    controller.setOption(LMExportFormats::kHtmlAddStylesheet, stylesheet);
    controller.setOption(LMExportFormats::kHtmlFormatData, !raw);
    controller.setOption(LMExportFormats::kCsvFormatData, !raw);
    controller.setOption(LMExportFormats::kCsvHeader, !noHeader);

    if (toFile) {
        if (const std::optional<Alert> failure = controller.writeToPath(output))
            return fail(failure->informativeText);
        return 0;
    }
    m_out.flush();
    QFile standardOutput;
    if (!standardOutput.open(stdout, QIODevice::WriteOnly))
        return fail(QStringLiteral("standard output cannot be written"));
    if (!controller.writeData(standardOutput, &error))
        return fail(error);
    if (!standardOutput.flush())
        return fail(QStringLiteral("standard output cannot be written: %1").arg(standardOutput.errorString()));
    return 0;
}
