// LMReportText: the working text of an evaluation: finds markup, replaces it keeping the markup's attributes,
// and remembers which text was inserted so that inserted data is never evaluated as markup.
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <optional>

#include "HVICURegex.h"

class OXTextTable;
class QTextDocument;

class LMReportText {
public:
    // `document` is not owned and must outlive this object; every edit of it goes through here.
    explicit LMReportText(QTextDocument *document);

    QTextDocument *document() const { return m_document; }
    // The document's plain text, kept in step with every edit (one character per document position).
    const QString &plainText() const { return m_plain; }

    // The first match at or after `from` whose first and last characters were not inserted by an earlier
    // replacement; matches of inserted text are passed over.
    std::optional<HVICURegex::Match> find(const HVICURegex &pattern, int from) const;

    // Replaces [start, start + length) by `text` with the character format of the first replaced character;
    // the new text is marked as inserted. Answers the inserted length.
    int replace(int start, int length, const QString &text);
    // Replaces [start, start + length) by a paragraph break and the rendered table. Answers the inserted length.
    int replaceWithTable(int start, int length, const OXTextTable &table);

    bool isInserted(int position) const;

private:
    void noteReplacement(int start, int removed, int inserted);

    QTextDocument *m_document;
    QString m_plain;
    // Sorted, disjoint [start, end) ranges of inserted text.
    QList<QPair<int, int>> m_inserted;
};
