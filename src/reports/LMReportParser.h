// LMReportParser: evaluates a report template: mail-merge fields, variables, data, query and calculation
// formulas, on a private copy of the rich text.
#pragma once

#include "DateFormatter.h"
#include "OXFormulaObject.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class LMReportText;
class OXDatabase;
class QTextDocument;

// Receives the evaluation's progress (the preview bar of the report view).
class LMReportParserDelegate {
public:
    virtual ~LMReportParserDelegate() = default;
    // The fraction of markup handled so far, 0 to 1; the receiver redraws at once.
    virtual void setProgressValue(float fraction) = 0;
};

class LMReportParser {
public:
    // Evaluates a copy of `text` and answers it; `contentTable` drives a mail merge ("None" or "" for none).
    static std::unique_ptr<QTextDocument> parseTextStorage(const QTextDocument &text, const QString &contentTable,
                                                           OXDatabase &owner);

    LMReportParser(const QTextDocument &text, const QString &contentTable, OXDatabase &owner);
    ~LMReportParser();
    LMReportParser(const LMReportParser &) = delete;
    LMReportParser &operator=(const LMReportParser &) = delete;

    void setDelegate(LMReportParserDelegate *delegate) { m_delegate = delegate; }
    // Limits a mail merge to these records, in this order, instead of every record of the content table.
    void setRecordIds(const QStringList &ids) { m_recordIds = ids; }

    void parse();
    // The evaluated copy; owned by the parser until taken.
    QTextDocument *output() const { return m_text.get(); }
    std::unique_ptr<QTextDocument> takeOutput();

    // One mail-merge page: a fresh copy of the template evaluated for one record.
    std::unique_ptr<QTextDocument> mailMergeTextStorageForPage(const QString &recordId);

    // The passes over the working text.
    void parseVariableGetters();
    void parseVariableSetters() {}
    void parseDataFormulas();
    void parseQueryFormulas();
    void parseCalculationFormulas();

    void setProgressValue(float value);
    quint32 formulaCount() const { return m_formulaCount; }
    quint32 processed() const { return m_processed; }

    // A date in a predefined style: the time only when `isTime`, else the date only.
    static QString applyFormatType(DateFormatter::Style style, double date, bool isTime);
    static QString applyFormatString(const QString &pattern, double date);
    // One field of the user's own card; "" when there is none.
    static QString valueForAddressBookKey(const QString &key);
    // The value of one variable with its options (none when written without).
    QString variableValue(const QString &name, const std::optional<QString> &options) const;

    // The object a data or query formula's components lead to, from the start grid of its first component.
    static OXObjectPtr evaluateChain(OXDatabase &database, const QStringList &components);
    // The components of a formula: split at ".", each trimmed.
    static QStringList components(const QString &formula);

private:
    void runPasses();
    void reportProgress();
    // Replaces the markup by a chain's result; answers the next scan position.
    int insertResult(const OXObjectPtr &result, int start, int length);
    int evaluateQueryFormula(const QStringList &parts, int start, int length);
    // The stored texts of the template's mail-merge fields for one record, read with one statement; a field
    // the table lacks is absent.
    QHash<QString, QString> mergeFieldsOfRecord(const QString &recordId) const;

    QString m_contentTable;
    std::unique_ptr<QTextDocument> m_template;
    std::unique_ptr<QTextDocument> m_text;
    OXDatabase &m_owner;
    LMReportParserDelegate *m_delegate = nullptr;
    std::optional<QStringList> m_recordIds;
    // The text the passes edit: the copy itself or one mail-merge page.
    std::unique_ptr<LMReportText> m_working;
    quint32 m_formulaCount = 0;
    quint32 m_processed = 0;
    std::optional<QString> m_pageLabel;
    // The template's field names that are fields of the content table, read for each page.
    QStringList m_mergeFields;
};
