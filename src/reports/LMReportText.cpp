// LMReportText: markup search and replacement on the working rich text.
#include "LMReportText.h"

#include "OXTextTable.h"

#include <QTextCursor>
#include <QTextDocument>

namespace {
// The plain-text form of inserted text: what QTextDocument::toPlainText shows for each character.
QString asPlain(QString text)
{
    for (QChar &ch : text) {
        switch (ch.unicode()) {
        case '\r':
        case QChar::ParagraphSeparator:
        case QChar::LineSeparator:
        case 0xfdd0:
        case 0xfdd1: ch = QLatin1Char('\n'); break;
        case QChar::Nbsp: ch = QLatin1Char(' '); break;
        default: break;
        }
    }
    return text;
}
} // namespace

LMReportText::LMReportText(QTextDocument *document) : m_document(document), m_plain(document->toPlainText()) {}

bool LMReportText::isInserted(int position) const
{
    for (const auto &range : m_inserted) {
        if (position < range.first)
            return false;
        if (position < range.second)
            return true;
    }
    return false;
}

std::optional<HVICURegex::Match> LMReportText::find(const HVICURegex &pattern, int from) const
{
    while (from <= m_plain.size()) {
        std::optional<HVICURegex::Match> match = pattern.findFirst(m_plain, from);
        if (!match)
            return std::nullopt;
        const int start = match->start();
        const int last = start + qMax(match->length(), 1) - 1;
        if (!isInserted(start) && !isInserted(last))
            return match;
        from = start + 1;
    }
    return std::nullopt;
}

void LMReportText::noteReplacement(int start, int removed, int inserted)
{
    const int end = start + removed;
    const int delta = inserted - removed;
    QList<QPair<int, int>> ranges;
    bool added = inserted == 0;
    for (const auto &range : m_inserted) {
        if (range.second <= start) {
            ranges << range;
            continue;
        }
        if (range.first < end)
            continue; // inside the replaced markup
        if (!added) {
            ranges << qMakePair(start, start + inserted);
            added = true;
        }
        ranges << qMakePair(range.first + delta, range.second + delta);
    }
    if (!added)
        ranges << qMakePair(start, start + inserted);
    m_inserted = ranges;
}

int LMReportText::replace(int start, int length, const QString &text)
{
    QTextCursor first(m_document);
    first.setPosition(start + 1);
    const QTextCharFormat format = first.charFormat();
    QTextCursor cursor(m_document);
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    if (!text.isEmpty())
        cursor.insertText(text, format);
    m_plain.replace(start, length, asPlain(text));
    noteReplacement(start, length, int(text.size()));
    return int(text.size());
}

int LMReportText::replaceWithTable(int start, int length, const OXTextTable &table)
{
    QTextCursor cursor(m_document);
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    const int before = m_document->characterCount();
    table.insertInto(cursor);
    const int inserted = m_document->characterCount() - before;
    m_plain = m_document->toPlainText();
    noteReplacement(start, length, inserted);
    return inserted;
}
