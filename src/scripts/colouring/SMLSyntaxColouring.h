// SMLSyntaxColouring: colours a script editor's text as it changes, highlights its current line and braces.
#pragma once

#include "SMLColouringPasses.h"

#include <QObject>
#include <QPointer>
#include <QTextCharFormat>
#include <QTextEdit>

#include <array>
#include <memory>

class QPlainTextEdit;
class QTimer;

// What the engine asks of the window it colours for.
class SMLSyntaxColouringHost {
public:
    virtual ~SMLSyntaxColouringHost() = default;
    virtual QPlainTextEdit *firstTextView() const = 0;
    virtual bool isSyntaxColoured() const = 0;
};

class SMLSyntaxColouring : public QObject {
    Q_OBJECT
public:
    // initWithDocument: reads the "javascript" definition and the current style, and starts watching the
    // host's text view.
    explicit SMLSyntaxColouring(SMLSyntaxColouringHost *host);
    ~SMLSyntaxColouring() override;

    void setSyntaxDefinition();
    void setSyntaxDefinition(const SMLSyntaxDefinition &definition);
    void prepareRegularExpressions();
    // Formats of every token kind from the current style, and the view's background and caret colours.
    void setColours();

    // Recolours the visible lines of the text view.
    void pageRecolour();
    void pageRecolourTextView(QPlainTextEdit *textView);
    // Recolours the lines that [start, end) touches (widened back to a block comment open before them).
    void recolourRange(qsizetype start, qsizetype end);
    void removeColoursFromRange(qsizetype start, qsizetype end);
    // The text format a style title gives: colour, bold, italic, underline over the engine's font.
    QTextCharFormat formatForTitle(const QString &title) const;
    // Gives [start, end) the format of a title, until the next recolouring of its lines.
    void setColorForTitle(const QString &title, qsizetype start, qsizetype end);
    void setColour(qsizetype start, qsizetype end) { setColorForTitle(QStringLiteral("Plain"), start, end); }

    // The current line's background (the line of [start, end)).
    void highlightLineRange(qsizetype start, qsizetype end);
    // The caret moved: the current line and the bracket it stepped over.
    void textViewDidChangeSelection();
    // The words that complete `partial`, as the editor's completion offers them.
    QStringList completions(const QString &partial) const;

    // The position of the bracket that opens the one at `closing`, or -1.
    static qsizetype matchingOpeningBrace(QStringView text, qsizetype closing);

    // What tests and tools read back: the kind a character was coloured as, the last recoloured range, the
    // flashed bracket (-1 when none) and the highlighted line.
    SMLTokenKind kindAt(qsizetype position) const;
    std::pair<qsizetype, qsizetype> lastRecolouredRange() const { return m_lastRange; }
    qsizetype recolouredCharacters() const { return m_recolouredCharacters; }
    qsizetype flashedBrace() const { return m_flashedBrace; }
    std::pair<qsizetype, qsizetype> highlightedLine() const { return m_highlightedLine; }
    // Runs the deferred recolouring of the visible lines now.
    void flushPendingRecolour();
    const SMLColouringPasses &passes() const { return *m_passes; }
    const SMLSyntaxDefinition &definition() const { return m_passes->definition(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void contentsChanged(int position, int removed, int added);
    void schedulePageRecolour();
    void applyKinds(qsizetype start, const std::vector<SMLTokenKind> &kinds);
    void updateExtraSelections();
    qsizetype widenedStart(QStringView text, qsizetype start) const;

    SMLSyntaxColouringHost *m_host = nullptr;
    QPointer<QPlainTextEdit> m_view;
    std::unique_ptr<SMLColouringPasses> m_passes;
    std::array<QTextCharFormat, 12> m_formats;
    QColor m_lineColour;
    QColor m_flashColour;
    QTimer *m_pageTimer = nullptr;
    QTimer *m_flashTimer = nullptr;
    int m_observer = 0;
    bool m_applying = false;
    bool m_deletedSinceSelection = false;
    qsizetype m_lastCaret = 0;
    std::pair<qsizetype, qsizetype> m_lastRange{-1, -1};
    qsizetype m_recolouredCharacters = 0;
    std::pair<qsizetype, qsizetype> m_highlightedLine{-1, -1};
    qsizetype m_flashedBrace = -1;
    QList<QTextEdit::ExtraSelection> m_lineSelection;
    QList<QTextEdit::ExtraSelection> m_flashSelection;
};
