// SMLColouringPasses: each pass marks the characters it recognises; later passes overwrite earlier ones.
#include "SMLColouringPasses.h"

#include "Preferences.h"

#include <unicode/uregex.h>

QString styleTitle(SMLTokenKind kind)
{
    switch (kind) {
    case SMLTokenKind::Plain: return QStringLiteral("Plain Text");
    case SMLTokenKind::Keyword:
    case SMLTokenKind::Command: return QStringLiteral("Keywords");
    case SMLTokenKind::Function:
    case SMLTokenKind::Attribute: return QStringLiteral("Functions");
    case SMLTokenKind::Autocomplete:
    case SMLTokenKind::Instruction:
    case SMLTokenKind::Variable: return QStringLiteral("Classes");
    case SMLTokenKind::Number: return QStringLiteral("Numbers");
    case SMLTokenKind::Regex: return QStringLiteral("/Regexes/");
    case SMLTokenKind::String: return QStringLiteral("\"Strings\"");
    case SMLTokenKind::Comment: return QStringLiteral("/* Comments */");
    }
    return QStringLiteral("Plain Text");
}

SMLColouringSwitches SMLColouringSwitches::fromPreferences()
{
    const Preferences &prefs = Preferences::instance();
    const auto on = [&prefs](const char *key) {
        const QString name = QString::fromLatin1(key);
        return prefs.value(name).isNull() || prefs.boolValue(name);
    };
    SMLColouringSwitches s;
    s.commands = on("ColourCommands");
    s.instructions = on("ColourInstructions");
    s.keywords = on("ColourKeywords");
    s.autocomplete = on("ColourAutocomplete");
    s.variables = on("ColourVariables");
    s.strings = on("ColourStrings");
    s.attributes = on("ColourAttributes");
    s.comments = on("ColourComments");
    s.multiLineStrings = prefs.boolValue(QStringLiteral("ColourMultiLineStrings"));
    s.onlyTillEndOfLine = prefs.boolValue(QStringLiteral("OnlyColourTillTheEndOfLine"));
    return s;
}

// The range being coloured: one kind per character of [start, end).
struct SMLColouringPasses::Scan {
    QStringView text;
    qsizetype start;
    qsizetype end;
    std::vector<SMLTokenKind> kinds;

    SMLTokenKind at(qsizetype pos) const { return kinds[size_t(pos - start)]; }
    void set(qsizetype from, qsizetype to, SMLTokenKind kind)
    {
        from = std::max(from, start);
        to = std::min(to, end);
        for (qsizetype i = from; i < to; ++i)
            kinds[size_t(i - start)] = kind;
    }
    qsizetype lineEnd(qsizetype pos) const
    {
        while (pos < end && text[pos] != u'\n' && text[pos] != u'\r')
            ++pos;
        return pos;
    }
    // Inside a string or a regular-expression literal: delimiters there are text, not syntax.
    bool inLiteral(qsizetype pos) const
    {
        const SMLTokenKind k = at(pos);
        return k == SMLTokenKind::String || k == SMLTokenKind::Regex;
    }
    qsizetype find(const QString &what, qsizetype from) const
    {
        const qsizetype i = text.indexOf(what, from);
        return (i < 0 || i + what.size() > end) ? -1 : i;
    }
};

SMLColouringPasses::SMLColouringPasses(const SMLSyntaxDefinition &definition, const SMLColouringSwitches &switches)
    : m_definition(definition), m_switches(switches)
{
    prepareRegularExpressions();
}

QString SMLColouringPasses::stringPattern(QChar q, bool multiLine, bool second)
{
    const QString e = q.isLetterOrNumber() ? QString(q) : QStringLiteral("\\") + q;
    // "^" lets a literal open the text, which has no character before its quote.
    QString pattern;
    if (multiLine)
        pattern = QStringLiteral("(?:^|\\W)%1[^%1\\\\]*+(?:\\\\(?:.|$)[^%1\\\\]*+)*+%1");
    else if (!second)
        pattern = QStringLiteral("(?:^|\\W)%1[^%1\\\\\\r\\n]*+(?:\\\\(?:.|$)[^%1\\\\\\r\\n]*+)*+%1");
    else
        pattern = QStringLiteral("(?:^|\\W)%1[^%1\\\\\\r\\n]*+(?:\\\\(?:.|$)[^%1\\\\]*+)*+%1");
    return pattern.arg(e);
}

void SMLColouringPasses::prepareRegularExpressions()
{
    const bool multi = m_switches.multiLineStrings;
    m_firstString = m_definition.firstStringCharacter.isNull()
                        ? ICUPattern()
                        : ICUPattern(stringPattern(m_definition.firstStringCharacter, multi, false), UREGEX_MULTILINE);
    m_secondString = m_definition.secondStringCharacter.isNull()
                         ? ICUPattern()
                         : ICUPattern(stringPattern(m_definition.secondStringCharacter, multi, true), UREGEX_MULTILINE);
    m_regex = ICUPattern(stringPattern(u'/', false, false), UREGEX_MULTILINE);
    m_number = m_definition.numberDefinition.isEmpty() ? ICUPattern() : ICUPattern(m_definition.numberDefinition);
}

std::vector<SMLTokenKind> SMLColouringPasses::colourRange(QStringView text, qsizetype start, qsizetype end) const
{
    start = std::clamp<qsizetype>(start, 0, text.size());
    end = std::clamp<qsizetype>(end, start, text.size());
    Scan scan{text, start, end, std::vector<SMLTokenKind>(size_t(end - start), SMLTokenKind::Plain)};
    if (start == end)
        return std::move(scan.kinds);
    const SMLSyntaxDefinition &d = m_definition;
    if (m_switches.commands)
        delimitedPass(scan, d.beginCommand, d.endCommand, SMLTokenKind::Command);
    if (m_switches.instructions)
        delimitedPass(scan, d.beginInstruction, d.endInstruction, SMLTokenKind::Instruction);
    wordPasses(scan);
    if (m_switches.variables)
        variablePass(scan);
    patternPass(scan, m_number, SMLTokenKind::Number, false);
    if (m_switches.strings) {
        regexPass(scan);
        patternPass(scan, m_firstString, SMLTokenKind::String, true);
        patternPass(scan, m_secondString, SMLTokenKind::String, true);
    }
    if (m_switches.attributes)
        attributePass(scan);
    if (m_switches.comments)
        commentPasses(scan);
    // A string that an earlier pass took for something else gets its colour back.
    if (m_switches.strings)
        patternPass(scan, m_firstString, SMLTokenKind::String, true);
    return std::move(scan.kinds);
}

QList<SMLTokenRun> SMLColouringPasses::runsOf(const std::vector<SMLTokenKind> &kinds, qsizetype offset)
{
    QList<SMLTokenRun> runs;
    size_t i = 0;
    while (i < kinds.size()) {
        size_t j = i + 1;
        while (j < kinds.size() && kinds[j] == kinds[i])
            ++j;
        runs.append({offset + qsizetype(i), qsizetype(j - i), kinds[i]});
        i = j;
    }
    return runs;
}

QList<SMLTokenRun> SMLColouringPasses::runsForRange(QStringView text, qsizetype start, qsizetype end) const
{
    start = std::clamp<qsizetype>(start, 0, text.size());
    return runsOf(colourRange(text, start, end), start);
}

void SMLColouringPasses::delimitedPass(Scan &scan, const QString &begin, const QString &end, SMLTokenKind kind) const
{
    if (begin.isEmpty() || end.isEmpty())
        return;
    qsizetype pos = scan.start;
    while ((pos = scan.find(begin, pos)) >= 0) {
        const qsizetype close = scan.find(end, pos + begin.size());
        qsizetype stop = close >= 0 ? close + end.size() : scan.end;
        if (m_switches.onlyTillEndOfLine)
            stop = std::min(stop, scan.lineEnd(pos));
        scan.set(pos, stop, kind);
        pos = std::max(stop, pos + 1);
    }
}

void SMLColouringPasses::wordPasses(Scan &scan) const
{
    const SMLSyntaxDefinition &d = m_definition;
    const bool keywords = m_switches.keywords && !d.keywords.isEmpty();
    const bool api = !d.apiMethods.isEmpty();
    const bool autocomplete = !d.autocompleteWords.isEmpty();
    if (!keywords && !api && !autocomplete)
        return;
    const bool recolour = d.recolourKeywordIfAlreadyColoured;
    // One scan does the keyword, API-method and autocomplete passes in that order for each word: with the
    // already-coloured test the first set that knows the word wins, without it the last one does.
    qsizetype i = scan.start;
    const QStringView text = scan.text;
    while (i < scan.end) {
        if (!d.isKeywordStart(text[i])) {
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        while (j < scan.end && !d.isKeywordEnd(text[j]))
            ++j;
        const QStringView word = text.mid(i, j - i);
        bool coloured = scan.at(i) != SMLTokenKind::Plain;
        const auto apply = [&](bool member, SMLTokenKind kind) {
            if (member && (!coloured || recolour)) {
                scan.set(i, j, kind);
                coloured = true;
            }
        };
        apply(keywords && d.isKeyword(word), SMLTokenKind::Keyword);
        apply(api && d.isApiMethod(word), SMLTokenKind::Function);
        apply(autocomplete && d.isAutocompleteWord(word), SMLTokenKind::Autocomplete);
        i = j;
    }
}

void SMLColouringPasses::variablePass(Scan &scan) const
{
    const SMLSyntaxDefinition &d = m_definition;
    if (d.beginVariable.isEmpty())
        return;
    qsizetype i = scan.start;
    while (i < scan.end) {
        if (!d.beginVariable.contains(scan.text[i])) {
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        const qsizetype lineEnd = scan.lineEnd(i);
        // Without an end set a variable ends where a word would.
        while (j < lineEnd &&
               !(d.endVariable.isEmpty() ? d.isKeywordEnd(scan.text[j]) : d.endVariable.contains(scan.text[j])))
            ++j;
        scan.set(i, j, SMLTokenKind::Variable);
        i = j;
    }
}

void SMLColouringPasses::patternPass(Scan &scan, const ICUPattern &pattern, SMLTokenKind kind, bool stringTests) const
{
    if (!pattern.isValid())
        return;
    ICUMatcher matcher(pattern, scan.text);
    // The character before the range belongs to the region, so a literal opening a line keeps its "\W".
    matcher.setRegion(scan.start > 0 ? scan.start - 1 : 0, scan.end);
    bool found = matcher.findNext();
    while (found) {
        const qsizetype mStart = matcher.start();
        const qsizetype mEnd = matcher.end();
        if (!stringTests) {
            scan.set(mStart, mEnd, kind);
            found = matcher.findNext();
            continue;
        }
        const QChar quote = scan.text[mEnd - 1];
        const qsizetype quotePos = (mStart == 0 && scan.text[0] == quote) ? 0 : mStart + 1;
        // A quote that is part of a comment or a regular expression opens nothing; look again after it.
        if (quotePos >= scan.start && quotePos < scan.end &&
            (scan.at(quotePos) == SMLTokenKind::Comment || scan.at(quotePos) == SMLTokenKind::Regex)) {
            found = matcher.findFrom(quotePos + 1);
            continue;
        }
        // The character before the quote is part of the match; it keeps a colour it already has.
        const bool keepBefore = quotePos > mStart && quotePos - 1 >= scan.start &&
                                scan.at(quotePos - 1) != SMLTokenKind::Plain &&
                                scan.at(quotePos - 1) != SMLTokenKind::String;
        scan.set(keepBefore ? quotePos : mStart, mEnd, kind);
        found = matcher.findNext();
    }
}

namespace {
// Whether a "/" at `slash` can open a regular-expression literal: it must stand where an expression starts, not
// after an operand (where it divides).
bool slashOpensRegex(QStringView text, qsizetype slash)
{
    qsizetype p = slash - 1;
    while (p >= 0 && (text[p] == u' ' || text[p] == u'\t' || text[p] == u'\n' || text[p] == u'\r'))
        --p;
    if (p < 0)
        return true;
    const QChar c = text[p];
    if (c == u')' || c == u']')
        return false;
    if (c.isLetterOrNumber() || c == u'_' || c == u'$') {
        qsizetype b = p;
        while (b > 0 && (text[b - 1].isLetterOrNumber() || text[b - 1] == u'_' || text[b - 1] == u'$'))
            --b;
        static const QStringList operatorWords{
            QStringLiteral("return"), QStringLiteral("typeof"), QStringLiteral("instanceof"), QStringLiteral("in"),
            QStringLiteral("of"),     QStringLiteral("new"),    QStringLiteral("delete"),     QStringLiteral("void"),
            QStringLiteral("throw"),  QStringLiteral("case"),   QStringLiteral("do"),         QStringLiteral("else"),
            QStringLiteral("yield"),  QStringLiteral("await")};
        const QStringView word = text.mid(b, p - b + 1);
        for (const QString &w : operatorWords) {
            if (word == w)
                return true;
        }
        return false;
    }
    return true;
}
} // namespace

void SMLColouringPasses::regexPass(Scan &scan) const
{
    if (!m_regex.isValid())
        return;
    ICUMatcher matcher(m_regex, scan.text);
    matcher.setRegion(scan.start > 0 ? scan.start - 1 : 0, scan.end);
    bool found = matcher.findNext();
    while (found) {
        const qsizetype mStart = matcher.start();
        const qsizetype mEnd = matcher.end();
        const qsizetype slash = scan.text[mStart] == u'/' && mStart == 0 ? mStart : mStart + 1;
        // "//" and "/*" open comments, and a "/" after an operand divides.
        const bool empty = mEnd - slash <= 2;
        const bool comment = !empty && scan.text[slash + 1] == u'*';
        if (empty || comment || !slashOpensRegex(scan.text, slash)) {
            found = matcher.findFrom(slash + 1);
            continue;
        }
        scan.set(slash, mEnd, SMLTokenKind::Regex);
        found = matcher.findNext();
    }
}

void SMLColouringPasses::attributePass(Scan &scan) const
{
    // Attributes are the "name=" parts inside commands.
    qsizetype i = scan.start;
    while (i < scan.end) {
        if (scan.at(i) != SMLTokenKind::Command || scan.text[i] != u'=') {
            ++i;
            continue;
        }
        // The name before "=", blanks between them allowed.
        qsizetype nameEnd = i;
        while (nameEnd > scan.start && scan.at(nameEnd - 1) == SMLTokenKind::Command && scan.text[nameEnd - 1] == u' ')
            --nameEnd;
        qsizetype b = nameEnd;
        while (b > scan.start && scan.at(b - 1) == SMLTokenKind::Command && scan.text[b - 1] != u' ' &&
               SMLSyntaxDefinition::isAttributeCharacter(scan.text[b - 1]))
            --b;
        scan.set(b, nameEnd, SMLTokenKind::Attribute);
        ++i;
    }
}

qsizetype SMLColouringPasses::nextCommentOpener(const Scan &scan, const QString &opener, qsizetype pos) const
{
    if (opener.isEmpty())
        return -1;
    // "#" and "%" are operators in many languages, so they open a comment only at the start of a line.
    const bool lineStartOnly = opener == QLatin1String("#") || opener == QLatin1String("%");
    while ((pos = scan.find(opener, pos)) >= 0) {
        // An opener inside a literal is text.
        if (scan.inLiteral(pos)) {
            ++pos;
            continue;
        }
        if (lineStartOnly) {
            qsizetype b = pos;
            while (b > 0 && (scan.text[b - 1] == u' ' || scan.text[b - 1] == u'\t'))
                --b;
            if (b > 0 && scan.text[b - 1] != u'\n' && scan.text[b - 1] != u'\r') {
                ++pos;
                continue;
            }
        }
        return pos;
    }
    return -1;
}

void SMLColouringPasses::commentPasses(Scan &scan) const
{
    const SMLSyntaxDefinition &d = m_definition;
    struct Opener {
        QString begin;
        QString end; // empty: a line comment
    };
    std::vector<Opener> openers;
    for (const QString &line : {d.firstSingleLineComment, d.secondSingleLineComment}) {
        if (!line.isEmpty())
            openers.push_back({line, QString()});
    }
    const std::pair<QString, QString> blocks[] = {{d.beginFirstMultiLineComment, d.endFirstMultiLineComment},
                                                  {d.beginSecondMultiLineComment, d.endSecondMultiLineComment}};
    for (const auto &[begin, end] : blocks) {
        if (!begin.isEmpty() && !end.isEmpty())
            openers.push_back({begin, end});
    }
    if (openers.empty())
        return;
    // Line and block comments in one walk from left to right, so that an opener inside a comment of the other
    // kind ("//" in a block comment, "/*" after "//") is text; the first opener met wins, line comments first.
    std::vector<qsizetype> next(openers.size());
    for (size_t k = 0; k < openers.size(); ++k)
        next[k] = nextCommentOpener(scan, openers[k].begin, scan.start);
    qsizetype pos = scan.start;
    while (true) {
        int best = -1;
        for (size_t k = 0; k < openers.size(); ++k) {
            if (next[k] >= 0 && next[k] < pos)
                next[k] = nextCommentOpener(scan, openers[k].begin, pos);
            if (next[k] >= 0 && (best < 0 || next[k] < next[size_t(best)]))
                best = int(k);
        }
        if (best < 0)
            return;
        const Opener &o = openers[size_t(best)];
        const qsizetype at = next[size_t(best)];
        qsizetype stop;
        if (o.end.isEmpty()) {
            stop = scan.lineEnd(at);
        } else {
            const qsizetype close = scan.find(o.end, at + o.begin.size());
            // An unclosed block comment runs to the end of what is coloured.
            stop = close >= 0 ? close + o.end.size() : scan.end;
            if (m_switches.onlyTillEndOfLine && close < 0)
                stop = scan.lineEnd(at);
        }
        // A literal that seemed to open inside the comment and run on after it was never a literal: the rest
        // becomes plain text again, and the last strings pass finds the real strings there.
        const SMLTokenKind spilled = stop > at && stop < scan.end ? scan.at(stop - 1) : SMLTokenKind::Plain;
        scan.set(at, stop, SMLTokenKind::Comment);
        if (spilled == SMLTokenKind::String || spilled == SMLTokenKind::Regex) {
            qsizetype e = stop;
            while (e < scan.end && scan.at(e) == spilled)
                ++e;
            scan.set(stop, e, SMLTokenKind::Plain);
        }
        pos = std::max(stop, at + 1);
    }
}
