// orvix-cli commands over reports: eval, report-eval, formula, report (export) and report-template.
#include "CliRegistry.h"
#include "DesignVocabulary.h"

#include "LMContactCard.h"
#include "LMReportDocument.h"
#include "LMReportImporterExporter.h"
#include "LMReportParser.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "OXFormulaObject.h"

#include <QFile>
#include <QSaveFile>
#include <QTextDocument>

namespace {
struct Options {
    QStringList positional;
    QString table;
    std::optional<QStringList> records;
    bool html = false;
};

// Positional arguments and the options --table TABLE, --record ID (repeatable), --my-card FILE, --html.
std::optional<Options> parseOptions(const QStringList &args, CliContext &cli)
{
    Options options;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--html")) {
            options.html = true;
        } else if (a == QLatin1String("--table") && hasValue) {
            options.table = args.at(++i);
        } else if (a == QLatin1String("--record") && hasValue) {
            if (!options.records)
                options.records = QStringList();
            options.records->append(args.at(++i));
        } else if (a == QLatin1String("--my-card") && hasValue) {
            LMContactCard::setCardFile(args.at(++i));
        } else if (a.startsWith(QLatin1String("--"))) {
            cli.fail(QStringLiteral("unknown or incomplete option %1").arg(a), 2);
            return std::nullopt;
        } else {
            options.positional << a;
        }
    }
    return options;
}

// A report command ready to run: its options and the package its first argument names.
struct Prepared {
    Options options;
    std::unique_ptr<MyDocument> document;
    int status = 0; // the exit status when there is no document
};

// Parses the options, checks that `count` positional arguments were given and opens the package the first one
// names; no document, with the exit status, when one of these fails.
Prepared prepare(CliContext &cli, const QStringList &args, qsizetype count)
{
    Prepared prepared;
    std::optional<Options> parsed = parseOptions(args, cli);
    if (!parsed) {
        prepared.status = 2;
        return prepared;
    }
    if (parsed->positional.size() != count) {
        prepared.status = cli.usage(2);
        return prepared;
    }
    prepared.options = std::move(*parsed);
    prepared.document = cli.openPackage(prepared.options.positional.at(0));
    prepared.status = prepared.document ? 0 : 1;
    return prepared;
}

void print(const QTextDocument &document, bool html, QTextStream &out)
{
    out << (html ? document.toHtml() : document.toPlainText());
    if (!html)
        out << "\n";
    out.flush();
}

int runEval(CliContext &cli, const QStringList &args)
{
    const Prepared run = prepare(cli, args, 2);
    if (!run.document)
        return run.status;
    const Options &options = run.options;
    MyDocument *document = run.document.get();
    QTextDocument templ;
    templ.setPlainText(options.positional.at(1));
    const std::unique_ptr<QTextDocument> result =
        LMReportDocument::evaluate(templ, options.table, *document->database(), options.records);
    print(*result, options.html, cli.out());
    return 0;
}

int runReportEval(CliContext &cli, const QStringList &args)
{
    const Prepared run = prepare(cli, args, 2);
    if (!run.document)
        return run.status;
    const Options &options = run.options;
    MyDocument *document = run.document.get();
    const Value report = document->reportNamed(options.positional.at(1));
    if (report.isNull()) {
        return cli.fail(QStringLiteral("no report named \"%1\"").arg(options.positional.at(1)));
    }
    if (const std::optional<Alert> locked = LMReportDocument::lockedAlert(report))
        return cli.refuse(*locked);
    const std::unique_ptr<QTextDocument> templ = LMReportDocument::templateForReport(report);
    const std::unique_ptr<QTextDocument> result = LMReportDocument::evaluate(
        *templ, LMReportDocument::contentTable(report), *document->database(), options.records);
    print(*result, options.html, cli.out());
    return 0;
}

int runFormula(CliContext &cli, const QStringList &args)
{
    const Prepared run = prepare(cli, args, 3);
    if (!run.document)
        return run.status;
    const Options &options = run.options;
    MyDocument *document = run.document.get();
    QStringList components = LMReportParser::components(options.positional.at(2));
    components.prepend(options.positional.at(1));
    const OXObjectPtr result = LMReportParser::evaluateChain(*document->database(), components);
    const std::optional<QString> text = result ? result->insertedText() : std::nullopt;
    if (!text)
        return cli.fail(QStringLiteral("the formula gives no text"));
    cli.out() << *text << "\n";
    cli.out().flush();
    return 0;
}

// report PACKAGE NAME --format TYPE [-o FILE]: the exported document to a file or standard output.
int runReport(CliContext &cli, const QStringList &args)
{
    QStringList positional;
    QString format;
    QString output;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--format") && hasValue)
            format = args.at(++i);
        else if ((a == QLatin1String("-o") || a == QLatin1String("--output")) && hasValue)
            output = args.at(++i);
        else if (a.startsWith(QLatin1Char('-')))
            return cli.fail(QStringLiteral("unknown or incomplete option %1").arg(a), 2);
        else
            positional << a;
    }
    if (positional.size() != 2 || format.isEmpty())
        return cli.usage(2);
    if (!LMReportImporterExporter::types().contains(format))
        return cli.fail(QStringLiteral("unknown format \"%1\" (one of %2)")
                            .arg(format, LMReportImporterExporter::types().join(QStringLiteral(", "))),
                        2);
    const std::unique_ptr<MyDocument> document = cli.openPackage(positional.at(0));
    if (!document)
        return 1;
    const Value report = document->reportNamed(positional.at(1));
    if (const std::optional<Alert> locked = LMReportDocument::lockedAlert(report))
        return cli.refuse(*locked);
    QString error;
    if (output.isEmpty()) {
        cli.out().flush();
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly))
            return cli.fail(QStringLiteral("standard output cannot be written"));
        if (!LMReportImporterExporter::writeReport(out, positional.at(1), *document, format, &error))
            return cli.fail(error);
        return 0;
    }
    // Written beside and renamed when whole: a report that cannot be produced leaves no file.
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly))
        return cli.fail(QStringLiteral("\"%1\" cannot be written: %2").arg(output, file.errorString()));
    if (!LMReportImporterExporter::writeReport(file, positional.at(1), *document, format, &error)) {
        file.cancelWriting();
        return cli.fail(error);
    }
    if (!file.commit())
        return cli.fail(QStringLiteral("\"%1\" cannot be written: %2").arg(output, file.errorString()));
    return 0;
}

// report-template PACKAGE NAME FILE: the report's template from an HTML (or, by its extension, plain text) file.
int runReportTemplate(CliContext &cli, const QStringList &args)
{
    QFile source(args.at(2));
    if (!source.open(QIODevice::ReadOnly))
        return cli.fail(QStringLiteral("\"%1\" cannot be read: %2").arg(args.at(2), source.errorString()));
    const QString text = QString::fromUtf8(source.readAll());
    const std::unique_ptr<MyDocument> document = cli.openPackageForWriting(args.at(0));
    if (!document)
        return 1;
    Value report = document->reportNamed(args.at(1));
    if (report.isNull())
        return cli.fail(QStringLiteral("no report named \"%1\"").arg(args.at(1)));
    QTextDocument templ;
    if (args.at(2).endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
        templ.setPlainText(text);
    else
        templ.setHtml(text);
    report.set(DesignKey::AttributedString, LMReportDocument::storedTemplate(templ));
    document->setChanged(true);
    return cli.savePackage(*document, args.at(0)) ? 0 : 1;
}

const CliRegistration registration({
    {"eval", "PACKAGE TEXT [--table TABLE] [--record ID]... [--my-card FILE] [--html]",
     "evaluate report markup in TEXT as a report would and print the result;\n"
     "with --table a mail merge, pages separated by form feeds (only the\n"
     "--record ids when given); --my-card names the vCard that $MY(...)$ reads",
     2, -1, runEval},
    {"report-eval", "PACKAGE REPORT [--record ID]... [--my-card FILE] [--html]",
     "evaluate a stored report over its content table; print plain text or HTML", 2, -1, runReportEval},
    {"report", "PACKAGE NAME --format txt|rtf|doc|odt|html|pdf [-o FILE]",
     "export a stored report evaluated over its content table, with its page setup, to FILE or standard\n"
     "output (txt: UTF-16 with a byte-order mark; doc: RTF); no file for a report that cannot be produced",
     4, 6, runReport},
    {"report-template", "PACKAGE NAME FILE.html", "set a report's rich-text template from an HTML file (.txt: plain)",
     3, 3, runReportTemplate},
    {"formula", "PACKAGE TABLE FORMULA", "print the text of one formula chain on TABLE (\"Amount.:sum\")", 3, 3,
     runFormula},
});
} // namespace
