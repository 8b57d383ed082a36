// OGReplaceExpression: one pass over the template, escapes resolved against the match.
#include "OGReplaceExpression.h"

namespace {
QString lastParticipatingGroup(const HVICURegex::Match &match)
{
    for (int group = int(match.ranges.size()) - 1; group > 0; --group) {
        if (match.start(group) >= 0)
            return match.captured(group);
    }
    return QString();
}
} // namespace

QString OGReplaceExpression::replaceMatchedString(const HVICURegex::Match &match, const QString &subject) const
{
    QString out;
    const QString &t = m_template;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c != QLatin1Char('\\') || i + 1 >= t.size()) {
            out += c;
            continue;
        }
        const QChar e = t.at(++i);
        if (e.isDigit() && e.unicode() < 128) {
            out += match.captured(e.digitValue());
        } else if (e == QLatin1Char('&')) {
            out += match.captured(0);
        } else if (e == QLatin1Char('k') && i + 1 < t.size() && t.at(i + 1) == QLatin1Char('<')) {
            const qsizetype close = t.indexOf(QLatin1Char('>'), i + 2);
            if (close < 0) {
                out += QStringLiteral("k<");
                ++i;
                continue;
            }
            const QString name = t.mid(i + 2, close - i - 2);
            bool isNumber = false;
            const int number = name.toInt(&isNumber);
            out += isNumber ? match.captured(number) : match.captured(name);
            i = close;
        } else if (e == QLatin1Char('`')) {
            out += subject.left(qMax(0, match.start()));
        } else if (e == QLatin1Char('\'')) {
            out += subject.mid(match.start() + match.length());
        } else if (e == QLatin1Char('+')) {
            out += lastParticipatingGroup(match);
        } else if (e == QLatin1Char('t')) {
            out += QLatin1Char('\t');
        } else if (e == QLatin1Char('n')) {
            out += QLatin1Char('\n');
        } else if (e == QLatin1Char('r')) {
            out += QLatin1Char('\r');
        } else {
            out += e;
        }
    }
    return out;
}
