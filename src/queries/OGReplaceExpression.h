// OGReplaceExpression: a replacement template expanded for one regular-expression match.
#pragma once

#include "HVICURegex.h"

#include <QString>

class OGReplaceExpression {
public:
    // Escapes start with a backslash: \0 or \& the whole match, \1 to \9 a numbered group, \k<name> a named
    // group, \` the text before the match, \' the text after it, \+ the last group that took part, \\ a
    // backslash, \t \n \r a tab, newline or return. Any other escaped character stands for itself.
    explicit OGReplaceExpression(const QString &templateText) : m_template(templateText) {}

    // `subject` is the text the match was found in (for \` and \').
    QString replaceMatchedString(const HVICURegex::Match &match, const QString &subject) const;

private:
    QString m_template;
};
