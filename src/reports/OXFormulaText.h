// OXFormulaText: the printed forms of formula results (numbers, cleaned "%f" text, Roman numerals, lists).
#pragma once

#include <QString>
#include <QStringList>

namespace OXFormulaText {
// A double as a number object prints it: at most 16 significant digits, no trailing zeros, no point for
// whole numbers.
QString numberText(long double value);
// "%f" of the value, trimmed, "0" before a leading ".", trailing zeros dropped while two characters remain,
// then a final "." dropped.
QString cleanedText(double value);
// The same cleaning on a text that already holds a number with a fraction.
QString cleanDecimalText(const QString &text);
// 1 to 3999 as a Roman numeral; any other number in decimal.
QString romanNumeral(qint64 number);
// Texts joined in a list style ("comma", "semicolon", "plain", "newline", "bul*", "ast*", "num*", "roman*",
// "overkill"; anything else is "comma").
QString list(const QStringList &texts, const QString &style);
// Case-insensitive match of the whole text against a pattern with "*" (any run) and "?" (one character).
bool wildcardMatches(const QString &pattern, const QString &text);
// The number at the start of a text, as the platform reads a double (leading blanks skipped, 0 without one).
double leadingDouble(const QString &text);
} // namespace OXFormulaText
