// LMReportDocument: decoding and encoding of the template and the evaluation entry point for views and tools.
#include "LMReportDocument.h"

#include "LMReportParser.h"

#include <QTextDocument>

namespace LMReportDocument {

std::unique_ptr<QTextDocument> templateForReport(const Value &report)
{
    // Until the rich-text archive codec is in place the template is kept as HTML (or plain) text.
    auto document = std::make_unique<QTextDocument>();
    const Value stored = report.value(QStringLiteral("Attributed String"));
    const QString text = stored.isData() ? QString::fromUtf8(stored.toData()) : stored.toString();
    if (Qt::mightBeRichText(text))
        document->setHtml(text);
    else
        document->setPlainText(text);
    return document;
}

Value storedTemplate(const QTextDocument &document)
{
    return Value(document.toHtml());
}

QString contentTable(const Value &report)
{
    const QString table = report.value(QStringLiteral("Content Table")).toString();
    return table == QLatin1String("None") ? QString() : table;
}

std::optional<Alert> lockedAlert(const Value &report)
{
    if (!report.value(QStringLiteral("Locked")).toBool())
        return std::nullopt;
    return Alert::make(QStringLiteral("Locked Object"), QStringLiteral("This object is locked. You cannot use it."));
}

std::unique_ptr<QTextDocument> evaluate(const QTextDocument &templateDocument, const QString &contentTable,
                                        OXDatabase &database, const std::optional<QStringList> &recordIds,
                                        LMReportParserDelegate *delegate)
{
    LMReportParser parser(templateDocument, contentTable, database);
    parser.setDelegate(delegate);
    if (recordIds)
        parser.setRecordIds(*recordIds);
    parser.parse();
    return parser.takeOutput();
}

} // namespace LMReportDocument
