// OXFormulaText: printed forms of formula results.
#include "OXFormulaText.h"

#include <QByteArray>
#include <cstdio>

namespace OXFormulaText {

QString numberText(long double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.16g", static_cast<double>(value));
    return QString::fromLatin1(buffer);
}

QString cleanDecimalText(const QString &text)
{
    QString s = text.trimmed();
    if (s.startsWith(QLatin1Char('.')))
        s.prepend(QLatin1Char('0'));
    while (s.size() >= 2 && s.endsWith(QLatin1Char('0')))
        s.chop(1);
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    return s;
}

QString cleanedText(double value)
{
    return cleanDecimalText(QString::asprintf("%f", value));
}

QString romanNumeral(qint64 number)
{
    static const char *const thousands[] = {"", "M", "MM", "MMM"};
    static const char *const hundreds[] = {"", "C", "CC", "CCC", "CD", "D", "DC", "DCC", "DCCC", "CM"};
    static const char *const tens[] = {"", "X", "XX", "XXX", "XL", "L", "LX", "LXX", "LXXX", "XC"};
    static const char *const ones[] = {"", "I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX"};
    if (number < 1 || number > 3999)
        return QString::number(number);
    return QLatin1String(thousands[number / 1000]) + QLatin1String(hundreds[(number / 100) % 10]) +
           QLatin1String(tens[(number / 10) % 10]) + QLatin1String(ones[number % 10]);
}

namespace {
QString prefixed(const QStringList &texts, const QString &first, const QString &between)
{
    return texts.isEmpty() ? QString() : first + texts.join(between);
}

template <typename Label> QString numberedLines(const QStringList &texts, Label label)
{
    QStringList lines;
    for (int i = 0; i < texts.size(); ++i)
        lines << label(i + 1) + QStringLiteral(". ") + texts.at(i);
    return lines.join(QLatin1Char('\n'));
}
} // namespace

QString list(const QStringList &texts, const QString &style)
{
    const auto is = [&](const char *pattern) { return wildcardMatches(QLatin1String(pattern), style); };
    if (is("semicolon"))
        return texts.join(QStringLiteral(";\n"));
    if (is("plain") || is("newline"))
        return texts.join(QLatin1Char('\n'));
    if (is("bul*"))
        return prefixed(texts, QStringLiteral("• "), QStringLiteral("\n• "));
    if (is("ast*"))
        return prefixed(texts, QStringLiteral("* "), QStringLiteral("\n* "));
    if (is("num*"))
        return numberedLines(texts, [](int n) { return QString::number(n); });
    if (is("roman*"))
        return numberedLines(texts, [](int n) { return romanNumeral(n); });
    if (is("overkill"))
        return QStringLiteral("Indeed, this is complete overkill.");
    return texts.join(QStringLiteral(", "));
}

bool wildcardMatches(const QString &pattern, const QString &text)
{
    const QString p = pattern.toCaseFolded();
    const QString t = text.toCaseFolded();
    // Iterative matching with one backtrack point for the last "*" seen.
    int pi = 0, ti = 0, star = -1, resume = 0;
    while (ti < t.size()) {
        if (pi < p.size() && (p.at(pi) == QLatin1Char('?') || p.at(pi) == t.at(ti))) {
            ++pi;
            ++ti;
        } else if (pi < p.size() && p.at(pi) == QLatin1Char('*')) {
            star = pi++;
            resume = ti;
        } else if (star >= 0) {
            pi = star + 1;
            ti = ++resume;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p.at(pi) == QLatin1Char('*'))
        ++pi;
    return pi == p.size();
}

double leadingDouble(const QString &text)
{
    // Decimal text only, whatever the locale: sign, digits, one point, then an exponent when digits follow.
    int i = 0;
    const int n = int(text.size());
    const auto digit = [&](int at) {
        return at < n && text.at(at) >= QLatin1Char('0') && text.at(at) <= QLatin1Char('9');
    };
    while (i < n && text.at(i).isSpace())
        ++i;
    const int start = i;
    if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        ++i;
    bool any = false;
    while (digit(i)) {
        ++i;
        any = true;
    }
    if (i < n && text.at(i) == QLatin1Char('.')) {
        ++i;
        while (digit(i)) {
            ++i;
            any = true;
        }
    }
    if (!any)
        return 0.0;
    if (i < n && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        int j = i + 1;
        if (j < n && (text.at(j) == QLatin1Char('+') || text.at(j) == QLatin1Char('-')))
            ++j;
        if (digit(j)) {
            while (digit(j))
                ++j;
            i = j;
        }
    }
    return text.mid(start, i - start).toLatin1().toDouble();
}

} // namespace OXFormulaText
