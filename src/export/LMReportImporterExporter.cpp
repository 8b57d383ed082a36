// LMReportImporterExporter: find, evaluate, then the writer of the type's row in LMExportFormats; nothing is
// written for a report that cannot be produced.
#include "LMReportImporterExporter.h"
#include "DesignVocabulary.h"

#include "LMExportFormats.h"
#include "LMOdtWriter.h"
#include "LMReportDocument.h"
#include "LMReportPageLayout.h"
#include "LMReportPrinter.h"
#include "LMRtfWriter.h"
#include "MyDocument.h"
#include "OXDatabase.h"

#include <QBuffer>
#include <QLoggingCategory>
#include <QTextDocument>

Q_LOGGING_CATEGORY(lcReportExport, "orvix.export.report", QtInfoMsg)

namespace {
// The evaluated report and its page layout; nullopt when there is no such report or it has no template.
struct Evaluated {
    std::unique_ptr<QTextDocument> text;
    QPageLayout layout;
};

std::optional<Evaluated> evaluateReport(const QString &name, MyDocument &document, QString *error)
{
    const Value report = document.reportNamed(name);
    if (report.isNull() || report.value(DesignKey::AttributedString).isNull()) {
        if (error)
            *error = report.isNull() ? QStringLiteral("There is no report named \"%1\".").arg(name)
                                     : QStringLiteral("The report \"%1\" has no text.").arg(name);
        return std::nullopt;
    }
    if (!document.database()) {
        if (error)
            *error = QStringLiteral("The document is not open.");
        return std::nullopt;
    }
    const std::unique_ptr<QTextDocument> templ = LMReportDocument::templateForReport(report);
    Evaluated result;
    result.text = LMReportDocument::evaluate(*templ, LMReportDocument::contentTable(report), *document.database());
    result.layout = LMReportPageLayout::fromPrintInfo(report.value(DesignKey::PrintInfo));
    return result;
}

QString points(double value)
{
    return QString::number(value, 'f', 2) + QStringLiteral("pt");
}
} // namespace

namespace LMReportImporterExporter {

QStringList types()
{
    return LMExportFormats::extensions(LMExportSource::Report);
}

QByteArray html(const QTextDocument &evaluated, const QPageLayout &layout)
{
    QString text = evaluated.toHtml();
    const QSizeF paper = LMReportPageLayout(layout).paperSize();
    const QMarginsF m = layout.margins(QPageLayout::Point);
    const QString page = QStringLiteral("@page { size: %1 %2; margin: %3 %4 %5 %6; }\n")
                             .arg(points(paper.width()), points(paper.height()), points(m.top()), points(m.right()),
                                  points(m.bottom()), points(m.left()));
    const QString styleTag = QStringLiteral("<style type=\"text/css\">\n");
    const qsizetype at = text.indexOf(styleTag);
    if (at >= 0)
        text.insert(at + styleTag.size(), page);
    else
        text.replace(QStringLiteral("<head>"), QStringLiteral("<head>") + styleTag + page + QStringLiteral("</style>"));
    return text.toUtf8();
}

std::optional<QByteArray> plainText(QTextDocument &evaluated, const QPageLayout &)
{
    QString text = evaluated.toPlainText();
    text.prepend(QChar(QChar::ByteOrderMark));
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

std::optional<QByteArray> rtf(QTextDocument &evaluated, const QPageLayout &layout)
{
    LMReportPrinter::breakPagesAtFormFeeds(evaluated);
    return LMRtfWriter::write(evaluated, layout);
}

std::optional<QByteArray> odt(QTextDocument &evaluated, const QPageLayout &layout)
{
    LMReportPrinter::breakPagesAtFormFeeds(evaluated);
    return LMOdtWriter::write(evaluated, layout);
}

std::optional<QByteArray> htmlDocument(QTextDocument &evaluated, const QPageLayout &layout)
{
    LMReportPrinter::breakPagesAtFormFeeds(evaluated);
    return html(evaluated, layout);
}

bool writeEncoded(QIODevice &out, const QString &report, MyDocument &document, const QString &type, Encoder encoder,
                  QString *error)
{
    std::optional<Evaluated> evaluated = evaluateReport(report, document, error);
    if (!evaluated)
        return false;
    const std::optional<QByteArray> data = encoder(*evaluated->text, evaluated->layout);
    if (!data) {
        if (error)
            *error = QStringLiteral("The report \"%1\" could not be written as %2.").arg(report, type);
        return false;
    }
    qCDebug(lcReportExport, "data = %d", int(data->size()));
    if (out.write(*data) != data->size()) {
        if (error)
            *error = out.errorString();
        return false;
    }
    return true;
}

bool writePdf(QIODevice &out, const QString &report, MyDocument &document, QString *error)
{
    std::optional<Evaluated> evaluated = evaluateReport(report, document, error);
    if (!evaluated)
        return false;
    LMReportPrinter::breakPagesAtFormFeeds(*evaluated->text);
    if (!LMReportPrinter::writePdf(*evaluated->text, evaluated->layout, out, report)) {
        if (error)
            *error = QStringLiteral("The PDF could not be written.");
        return false;
    }
    return true;
}

bool writeReport(QIODevice &out, const QString &report, MyDocument &document, const QString &type, QString *error)
{
    // Types are matched exactly here: "PDF" is no type.
    const LMExportFormat *format =
        types().contains(type) ? LMExportFormats::find(LMExportSource::Report, type) : nullptr;
    if (!format) {
        if (error)
            *error = QStringLiteral("Unknown report type \"%1\".").arg(type);
        return false;
    }
    return format->write(out, document, report, Value(), error);
}

std::optional<QByteArray> exportReport(const QString &report, MyDocument &document, const QString &type, const Value &)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!writeReport(buffer, report, document, type))
        return std::nullopt;
    return buffer.data();
}

} // namespace LMReportImporterExporter
