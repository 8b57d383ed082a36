// LMReportDocument: decoding and encoding of the template and the evaluation entry point for views and tools.
#include "LMReportDocument.h"
#include "DesignVocabulary.h"

#include "LMReportParser.h"
#include "RichTextCodec.h"

#include <QLoggingCategory>

#include <QTextDocument>

Q_LOGGING_CATEGORY(lcReportDocument, "orvix.reports.document")

namespace LMReportDocument {

std::unique_ptr<QTextDocument> templateForReport(const Value &report)
{
    auto document = std::make_unique<QTextDocument>();
    const Value stored = report.value(DesignKey::AttributedString);
    if (stored.isDict()) {
        QString error;
        if (!RichTextCodec::decode(stored, *document, &error))
            qCWarning(lcReportDocument).noquote() << "Unreadable report template:" << error;
        return document;
    }
    // A report written by hand (a tool's JSON) may hold its template as plain text.
    document->setPlainText(stored.toString());
    return document;
}

Value storedTemplate(const QTextDocument &document)
{
    return RichTextCodec::encode(document);
}

QString contentTable(const Value &report)
{
    const QString table = report.value(DesignKey::ContentTable).toString();
    return table == QLatin1String("None") ? QString() : table;
}

std::optional<Alert> lockedAlert(const Value &report)
{
    if (!report.value(DesignKey::Locked).toBool())
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
