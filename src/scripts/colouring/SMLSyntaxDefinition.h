// SMLSyntaxDefinition: the word lists, delimiters and character sets of one syntax, read from its resource.
#pragma once

#include "Value.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

class SMLSyntaxDefinition {
public:
    // Reads the plist resource `name` (for example "javascript"); the built-in definition when it cannot be read.
    static SMLSyntaxDefinition load(const QString &name);
    // The definition a dictionary describes; `colourAutocompleteWordsAsKeywords` is the user default of that name.
    static SMLSyntaxDefinition fromValue(const Value &dictionary, bool colourAutocompleteWordsAsKeywords = false);
    // Named "Standard", no word lists and no delimiters: every word, string and comment pass colours nothing.
    static SMLSyntaxDefinition builtIn();

    QString name;
    QString file;
    QStringList extensions;

    QSet<QString> keywords;
    QSet<QString> apiMethods;
    QSet<QString> autocompleteWords;
    // The three lists in that order, then sorted: the words offered for completion.
    QStringList keywordsAndAutocompleteWords;
    bool recolourKeywordIfAlreadyColoured = false;
    bool keywordsCaseSensitive = true;

    QString beginCommand, endCommand;
    QString beginInstruction, endInstruction;
    QString beginVariable, endVariable; // character sets
    QString firstString, secondString;
    QChar firstStringCharacter, secondStringCharacter; // null when the quote is not set
    QString firstSingleLineComment, secondSingleLineComment;
    QString beginFirstMultiLineComment, endFirstMultiLineComment;
    QString beginSecondMultiLineComment, endSecondMultiLineComment;
    QString functionDefinition, removeFromFunction;
    QString numberDefinition;

    bool isKeywordStart(QChar c) const;
    bool isKeywordEnd(QChar c) const;
    static bool isAttributeCharacter(QChar c);

    // The set a word belongs to, looked up as the definition says (lower-cased when not case sensitive).
    bool isKeyword(QStringView word) const { return contains(keywords, word); }
    bool isApiMethod(QStringView word) const { return contains(apiMethods, word); }
    bool isAutocompleteWord(QStringView word) const { return contains(autocompleteWords, word); }

private:
    bool contains(const QSet<QString> &set, QStringView word) const;

    QString m_excludeFromStart, m_excludeFromEnd, m_includeInStart, m_includeInEnd;
};
