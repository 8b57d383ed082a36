// LMReportDocument: the stored report record as the evaluator sees it: its template and content table.
#pragma once

#include "Alert.h"
#include "Value.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class LMReportParserDelegate;
class OXDatabase;
class QTextDocument;

namespace LMReportDocument {
// The report's "Attributed String" as a document (empty when it has none). The one place that decodes it.
std::unique_ptr<QTextDocument> templateForReport(const Value &report);
// The stored form of a template document, for "Attributed String". The one place that encodes it.
Value storedTemplate(const QTextDocument &document);
// The report's "Content Table"; "" when it has none or the user chose "None".
QString contentTable(const Value &report);
// The alert shown instead of opening a report whose "Locked" is true; none for a report that may be opened.
std::optional<Alert> lockedAlert(const Value &report);
// Evaluates a template for a content table: every record of it, or only `recordIds` when given.
std::unique_ptr<QTextDocument> evaluate(const QTextDocument &templateDocument, const QString &contentTable,
                                        OXDatabase &database, const std::optional<QStringList> &recordIds = {},
                                        LMReportParserDelegate *delegate = nullptr);
} // namespace LMReportDocument
