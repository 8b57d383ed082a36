// LMWildcard: a greedy glob matcher with backtracking to the last "*", linear in practice.
#include "LMWildcard.h"

bool LMWildcard::matches(const QString &pattern, const QString &text)
{
    const QString p = pattern.toCaseFolded();
    const QString t = text.toCaseFolded();
    qsizetype pi = 0, ti = 0;
    qsizetype starAt = -1, resumeAt = 0;
    while (ti < t.size()) {
        if (pi < p.size() && (p.at(pi) == QLatin1Char('?') || p.at(pi) == t.at(ti))) {
            ++pi;
            ++ti;
        } else if (pi < p.size() && p.at(pi) == QLatin1Char('*')) {
            starAt = pi++;
            resumeAt = ti;
        } else if (starAt >= 0) {
            // Let the last "*" swallow one more character and try again from there.
            pi = starAt + 1;
            ti = ++resumeAt;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p.at(pi) == QLatin1Char('*'))
        ++pi;
    return pi == p.size();
}

bool LMWildcard::contains(const QString &needle, const QString &text)
{
    return matches(QLatin1Char('*') + needle + QLatin1Char('*'), text);
}
