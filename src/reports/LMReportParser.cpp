// LMReportParser: evaluation order, mail merge, data and calculation formulas and the insertion of results.
#include "LMReportParser.h"

#include "HVICURegex.h"
#include "LMCalculator.h"
#include "LMReportPrinter.h"
#include "LMReportText.h"
#include "OXDatabase.h"
#include "OXGrid.h"
#include "OXRecordReader.h"
#include "OXTextTable.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace {
const HVICURegex &fieldPattern()
{
    static const HVICURegex pattern(QStringLiteral("<<(?<name>[^>]+)>>"));
    return pattern;
}
const HVICURegex &dataPattern()
{
    static const HVICURegex pattern(QStringLiteral("@@([^@]+)@@"));
    return pattern;
}
const HVICURegex &calculationPattern()
{
    static const HVICURegex pattern(QStringLiteral("!!([^!\\n]+)!!"));
    return pattern;
}
int countMatches(const QString &text, const QString &pattern)
{
    return int(HVICURegex(pattern).findAll(text).size());
}
} // namespace

std::unique_ptr<QTextDocument> LMReportParser::parseTextStorage(const QTextDocument &text, const QString &contentTable,
                                                                OXDatabase &owner)
{
    LMReportParser parser(text, contentTable, owner);
    parser.parse();
    return parser.takeOutput();
}

LMReportParser::LMReportParser(const QTextDocument &text, const QString &contentTable, OXDatabase &owner)
    : m_contentTable(contentTable), m_template(text.clone()), m_text(text.clone()), m_owner(owner)
{
    const QStringList tableFields = m_owner.allNamesForTable(m_contentTable);
    for (const HVICURegex::Match &field : fieldPattern().findAll(m_template->toPlainText())) {
        const QString name = field.captured(QStringLiteral("name")).trimmed();
        if (tableFields.contains(name) && !m_mergeFields.contains(name))
            m_mergeFields << name;
    }
}

LMReportParser::~LMReportParser() = default;

std::unique_ptr<QTextDocument> LMReportParser::takeOutput()
{
    m_working.reset();
    return std::move(m_text);
}

void LMReportParser::setProgressValue(float value)
{
    if (m_delegate)
        m_delegate->setProgressValue(value);
}

void LMReportParser::reportProgress()
{
    setProgressValue(m_formulaCount == 0 ? 1.0f : float(m_processed) / float(m_formulaCount));
}

QStringList LMReportParser::components(const QString &formula)
{
    QStringList parts = formula.split(QLatin1Char('.'));
    for (QString &part : parts)
        part = part.trimmed();
    return parts;
}

void LMReportParser::parse()
{
    const QString plain = m_text->toPlainText();
    static const HVICURegex mergeMarkup(QStringLiteral("(<<[^>]+>>|\\$(CUR|CURRENT)\\$)"));
    const std::optional<HVICURegex::Match> merge = mergeMarkup.findFirst(plain);
    m_formulaCount = quint32(
        countMatches(plain, QStringLiteral("@@([^@]+)@@")) + countMatches(plain, QStringLiteral("@\\?([^@]+)\\?@")) +
        countMatches(plain, QStringLiteral("!!([^!]+)!!")) + countMatches(plain, QStringLiteral("<<([^>]+)>>")));
    m_processed = 0;

    if (!merge || merge->length() == 0) {
        m_working = std::make_unique<LMReportText>(m_text.get());
        runPasses();
        m_working.reset();
        return;
    }

    QStringList ids;
    if (m_recordIds) {
        ids = *m_recordIds;
    } else if (!m_contentTable.isEmpty()) {
        ids = OXRecordReader::allIds(m_owner, m_contentTable).value_or(QStringList());
    }
    m_formulaCount *= quint32(ids.size());

    auto result = std::make_unique<QTextDocument>();
    result->setDefaultFont(m_template->defaultFont());
    result->setDocumentMargin(m_template->documentMargin());
    QTextCursor end(result.get());
    for (int i = 0; i < ids.size(); ++i) {
        m_pageLabel = QString::number(i + 1);
        const std::unique_ptr<QTextDocument> page = mailMergeTextStorageForPage(ids.at(i));
        end.movePosition(QTextCursor::End);
        if (i > 0) {
            // The page's first paragraph joins the form feed's; the feed remembers its paragraph format, so the
            // page that starts there can have it back (LMReportPrinter::breakPagesAtFormFeeds).
            QTextCursor feed(result.get());
            feed.setPosition(end.position() - 1);
            feed.setPosition(end.position(), QTextCursor::KeepAnchor);
            QTextCharFormat remembered;
            remembered.setProperty(LMReportPrinter::pageBlockFormatProperty,
                                   QVariant::fromValue<QTextFormat>(page->begin().blockFormat()));
            feed.mergeCharFormat(remembered);
        }
        end.insertFragment(QTextDocumentFragment(page.get()));
        if (i + 1 < ids.size()) {
            end.movePosition(QTextCursor::End);
            end.insertText(QString(QChar(12)), QTextCharFormat());
        }
    }
    m_pageLabel.reset();
    m_text = std::move(result);
}

std::unique_ptr<QTextDocument> LMReportParser::mailMergeTextStorageForPage(const QString &recordId)
{
    std::unique_ptr<QTextDocument> page(m_template->clone());
    m_working = std::make_unique<LMReportText>(page.get());
    const QHash<QString, QString> fields = mergeFieldsOfRecord(recordId);
    int p = 0;
    while (const std::optional<HVICURegex::Match> match = m_working->find(fieldPattern(), p)) {
        if (match->length() == 0)
            break;
        const QString name = match->captured(QStringLiteral("name")).trimmed();
        ++m_processed;
        if (name.isEmpty()) {
            p = match->start() + match->length();
            continue;
        }
        // A field the table lacks cannot be read: its markup stays, like any markup that cannot be evaluated.
        const auto text = fields.constFind(name);
        if (text == fields.constEnd()) {
            p = match->start() + match->length();
            continue;
        }
        p = match->start() + m_working->replace(match->start(), match->length(), *text);
    }
    reportProgress();
    runPasses();
    m_working.reset();
    return page;
}

QHash<QString, QString> LMReportParser::mergeFieldsOfRecord(const QString &recordId) const
{
    QHash<QString, QString> texts;
    if (m_mergeFields.isEmpty())
        return texts;
    QStringList columns;
    for (const QString &name : m_mergeFields)
        columns << QLatin1Char('`') + name + QLatin1Char('`');
    const std::shared_ptr<QLiteCursor> cursor = m_owner.executeQuery(
        QStringLiteral("SELECT %1 FROM `%2` WHERE id='%3'")
            .arg(columns.join(QStringLiteral(", ")), m_contentTable, QLiteDatabase::prepareStringForQuery(recordId)));
    if (!cursor || cursor->rowCount() == 0)
        return texts;
    const QLiteRow row = *cursor->rowAtIndex(0);
    for (const QString &name : m_mergeFields)
        texts.insert(name, row.stringForColumn(m_contentTable + QLatin1Char('.') + name));
    return texts;
}

void LMReportParser::runPasses()
{
    parseVariableGetters();
    parseDataFormulas();
    parseQueryFormulas();
    parseCalculationFormulas();
}

OXObjectPtr LMReportParser::evaluateChain(OXDatabase &database, const QStringList &parts)
{
    OXObjectPtr object = OXGrid::initStartGrid(database, parts.value(0));
    for (int i = 1; object && i < parts.size(); ++i)
        object = object->parseFormulaComponent(parts.at(i));
    return object;
}

int LMReportParser::insertResult(const OXObjectPtr &result, int start, int length)
{
    if (!result)
        return start + length;
    if (result->kind() == OXFormulaObject::Kind::TextTable)
        return start + m_working->replaceWithTable(start, length, static_cast<const OXTextTable &>(*result));
    const std::optional<QString> text = result->insertedText();
    if (!text)
        return start + length;
    return start + m_working->replace(start, length, *text);
}

void LMReportParser::parseDataFormulas()
{
    int p = 0;
    for (;;) {
        reportProgress();
        const std::optional<HVICURegex::Match> match = m_working->find(dataPattern(), p);
        if (!match || match->length() == 0)
            break;
        const OXObjectPtr result = evaluateChain(m_owner, components(match->captured(1)));
        p = insertResult(result, match->start(), match->length());
        ++m_processed;
    }
}

void LMReportParser::parseCalculationFormulas()
{
    int p = 0;
    for (;;) {
        reportProgress();
        const std::optional<HVICURegex::Match> match = m_working->find(calculationPattern(), p);
        if (!match || match->length() == 0)
            break;
        ++m_processed;
        const QString expression = match->captured(1).trimmed();
        const std::optional<QString> answer =
            expression.isEmpty() ? std::nullopt : LMCalculator::performMathOperation(expression);
        if (!answer || (answer->size() > 13 && answer->startsWith(QLatin1String("(standard_in)")))) {
            p = match->start() + match->length();
            continue;
        }
        p = match->start() + m_working->replace(match->start(), match->length(), answer->trimmed());
    }
}
