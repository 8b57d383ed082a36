// SMLSyntaxDefinition: reading a syntax definition dictionary and the character-set tests of the word scan.
#include "SMLSyntaxDefinition.h"

#include "Preferences.h"
#include "PropertyList.h"
#include "Resources.h"

#include <algorithm>

namespace {
QStringList stringList(const Value &dict, const QString &key)
{
    const Value list = dict.value(key);
    return list.isArray() ? list.toStringList() : QStringList();
}

QString stringOf(const Value &dict, const QString &key)
{
    return dict.value(key).toString();
}
} // namespace

SMLSyntaxDefinition SMLSyntaxDefinition::load(const QString &name)
{
    const auto bytes = Resources::read(name + QStringLiteral(".plist"));
    if (!bytes)
        return builtIn();
    const auto root = PropertyList::read(*bytes);
    if (!root || !root->isDict())
        return builtIn();
    return fromValue(*root, Preferences::instance().boolValue(QStringLiteral("ColourAutocompleteWordsAsKeywords")));
}

SMLSyntaxDefinition SMLSyntaxDefinition::builtIn()
{
    SMLSyntaxDefinition definition;
    definition.name = QStringLiteral("Standard");
    definition.file = QStringLiteral("standard");
    return definition;
}

SMLSyntaxDefinition SMLSyntaxDefinition::fromValue(const Value &dict, bool colourAutocompleteWordsAsKeywords)
{
    SMLSyntaxDefinition d;
    d.name = stringOf(dict, QStringLiteral("name"));
    d.file = stringOf(dict, QStringLiteral("file"));
    d.extensions = stringList(dict, QStringLiteral("extensions"));
    d.recolourKeywordIfAlreadyColoured = dict.value(QStringLiteral("recolourKeywordIfAlreadyColoured")).toBool();
    const Value caseSensitive = dict.value(QStringLiteral("keywordsCaseSensitive"));
    d.keywordsCaseSensitive = caseSensitive.isNull() || caseSensitive.toBool();

    QStringList keywordList = stringList(dict, QStringLiteral("keywords"));
    const QStringList apiList = stringList(dict, QStringLiteral("apiMethods"));
    const QStringList autocompleteList = stringList(dict, QStringLiteral("autocompleteWords"));
    QStringList all = keywordList + apiList + autocompleteList;
    if (!d.keywordsCaseSensitive) {
        for (QString &word : keywordList)
            word = word.toLower();
    }
    d.keywords = QSet<QString>(keywordList.begin(), keywordList.end());
    d.apiMethods = QSet<QString>(apiList.begin(), apiList.end());
    d.autocompleteWords = QSet<QString>(autocompleteList.begin(), autocompleteList.end());
    if (colourAutocompleteWordsAsKeywords)
        d.keywords = QSet<QString>(all.begin(), all.end());
    std::sort(all.begin(), all.end());
    d.keywordsAndAutocompleteWords = all;

    d.beginCommand = stringOf(dict, QStringLiteral("beginCommand"));
    d.endCommand = stringOf(dict, QStringLiteral("endCommand"));
    d.beginInstruction = stringOf(dict, QStringLiteral("beginInstruction"));
    d.endInstruction = stringOf(dict, QStringLiteral("endInstruction"));
    d.beginVariable = stringOf(dict, QStringLiteral("beginVariable"));
    d.endVariable = stringOf(dict, QStringLiteral("endVariable"));
    d.firstString = stringOf(dict, QStringLiteral("firstString"));
    d.secondString = stringOf(dict, QStringLiteral("secondString"));
    if (!d.firstString.isEmpty())
        d.firstStringCharacter = d.firstString.at(0);
    if (!d.secondString.isEmpty())
        d.secondStringCharacter = d.secondString.at(0);
    d.firstSingleLineComment = stringOf(dict, QStringLiteral("firstSingleLineComment"));
    d.secondSingleLineComment = stringOf(dict, QStringLiteral("secondSingleLineComment"));
    d.beginFirstMultiLineComment = stringOf(dict, QStringLiteral("beginFirstMultiLineComment"));
    d.endFirstMultiLineComment = stringOf(dict, QStringLiteral("endFirstMultiLineComment"));
    d.beginSecondMultiLineComment = stringOf(dict, QStringLiteral("beginSecondMultiLineComment"));
    d.endSecondMultiLineComment = stringOf(dict, QStringLiteral("endSecondMultiLineComment"));
    d.functionDefinition = stringOf(dict, QStringLiteral("functionDefinition"));
    d.removeFromFunction = stringOf(dict, QStringLiteral("removeFromFunction"));
    d.numberDefinition = stringOf(dict, QStringLiteral("numberDefinition"));
    d.m_excludeFromStart = stringOf(dict, QStringLiteral("excludeFromKeywordStartCharacterSet"));
    d.m_excludeFromEnd = stringOf(dict, QStringLiteral("excludeFromKeywordEndCharacterSet"));
    d.m_includeInStart = stringOf(dict, QStringLiteral("includeInKeywordStartCharacterSet"));
    d.m_includeInEnd = stringOf(dict, QStringLiteral("includeInKeywordEndCharacterSet"));
    return d;
}

bool SMLSyntaxDefinition::isKeywordStart(QChar c) const
{
    // The definition's additions win over its removals, which win over the built-in set.
    if (!m_includeInStart.isEmpty() && m_includeInStart.contains(c))
        return true;
    if (!m_excludeFromStart.isEmpty() && m_excludeFromStart.contains(c))
        return false;
    return c.isLetter() || c == u'_' || c == u':' || c == u'@' || c == u'#';
}

bool SMLSyntaxDefinition::isKeywordEnd(QChar c) const
{
    if (!m_includeInEnd.isEmpty() && m_includeInEnd.contains(c))
        return true;
    if (!m_excludeFromEnd.isEmpty() && m_excludeFromEnd.contains(c))
        return false;
    if (c == u'_')
        return false;
    return c.isSpace() || c.isSymbol() || c.isPunct() || c == u'\n' || c == u'\r' || c == QChar::LineSeparator ||
           c == QChar::ParagraphSeparator;
}

bool SMLSyntaxDefinition::isAttributeCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u' ' || c == u'-';
}

bool SMLSyntaxDefinition::contains(const QSet<QString> &set, QStringView word) const
{
    if (set.isEmpty())
        return false;
    if (keywordsCaseSensitive)
        return set.contains(QString::fromRawData(word.data(), word.size())); // no copy of the word
    return set.contains(word.toString().toLower());
}
