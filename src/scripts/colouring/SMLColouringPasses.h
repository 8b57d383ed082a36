// SMLColouringPasses: the colouring passes over a range of text, as a list of token runs with their style titles.
#pragma once

#include "ICUPattern.h"
#include "SMLSyntaxDefinition.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <vector>

// What a character was coloured as; each kind draws with one style entry (styleTitle()).
enum class SMLTokenKind : quint8 {
    Plain,
    Command,
    Instruction,
    Keyword,
    Function,
    Autocomplete,
    Variable,
    Number,
    Regex,
    String,
    Attribute,
    Comment,
};

// The style title ("Keywords", "/* Comments */"...) a kind is drawn with.
QString styleTitle(SMLTokenKind kind);

struct SMLTokenRun {
    qsizetype start = 0;
    qsizetype length = 0;
    SMLTokenKind kind = SMLTokenKind::Plain;
    bool operator==(const SMLTokenRun &o) const { return start == o.start && length == o.length && kind == o.kind; }
};

// Which token classes are coloured: the "Colour…" user defaults.
struct SMLColouringSwitches {
    bool commands = true;
    bool instructions = true;
    bool keywords = true;
    bool autocomplete = true;
    bool variables = true;
    bool strings = true;
    bool attributes = true;
    bool comments = true;
    bool multiLineStrings = false;
    bool onlyTillEndOfLine = false;
    // Missing defaults count as on (the editor's set-up writes them all on); the two line switches as off.
    static SMLColouringSwitches fromPreferences();
};

class SMLColouringPasses {
public:
    SMLColouringPasses(const SMLSyntaxDefinition &definition, const SMLColouringSwitches &switches);

    // Compiles the string, regex and number patterns for the definition and switches.
    void prepareRegularExpressions();

    // Runs every pass over [start, end) of `text` (a later pass overwrites an earlier one) and answers the
    // kind of each character of the range.
    std::vector<SMLTokenKind> colourRange(QStringView text, qsizetype start, qsizetype end) const;
    // The same as runs of equal kind, Plain runs included.
    QList<SMLTokenRun> runsForRange(QStringView text, qsizetype start, qsizetype end) const;
    static QList<SMLTokenRun> runsOf(const std::vector<SMLTokenKind> &kinds, qsizetype offset);

    const SMLSyntaxDefinition &definition() const { return m_definition; }
    const SMLColouringSwitches &switches() const { return m_switches; }
    const ICUPattern &firstStringPattern() const { return m_firstString; }
    const ICUPattern &secondStringPattern() const { return m_secondString; }
    const ICUPattern &regexPattern() const { return m_regex; }
    const ICUPattern &numberPattern() const { return m_number; }

    // The string pattern for quote `q`; `multiLine` lets it run over line ends, `second` gives the
    // second-quote variant that continues over a line end after an escaped character.
    static QString stringPattern(QChar q, bool multiLine, bool second);

private:
    struct Scan;
    void delimitedPass(Scan &scan, const QString &begin, const QString &end, SMLTokenKind kind) const;
    void wordPasses(Scan &scan) const;
    void variablePass(Scan &scan) const;
    void patternPass(Scan &scan, const ICUPattern &pattern, SMLTokenKind kind, bool stringTests) const;
    void regexPass(Scan &scan) const;
    void attributePass(Scan &scan) const;
    qsizetype nextCommentOpener(const Scan &scan, const QString &opener, qsizetype pos) const;
    void commentPasses(Scan &scan) const;

    SMLSyntaxDefinition m_definition;
    SMLColouringSwitches m_switches;
    ICUPattern m_firstString;
    ICUPattern m_secondString;
    ICUPattern m_regex;
    ICUPattern m_number;
};
