// OXColumnStatistics: sums, means, median, mode, extremes and products of a number column.
#include "OXColumnStatistics.h"

#include "OXFormulaText.h"

#include <QHash>
#include <algorithm>
#include <cmath>

namespace OXColumnStatistics {

namespace {
using Numbers = QList<long double>;

long double sum(const Numbers &x)
{
    long double s = 0;
    for (long double v : x)
        s += v;
    return s;
}

long double product(const Numbers &x)
{
    long double p = 1;
    for (long double v : x)
        p *= v;
    return p;
}

Numbers sorted(Numbers x)
{
    std::sort(x.begin(), x.end());
    return x;
}

long double extreme(const Numbers &x, bool largest)
{
    long double best = x.first();
    for (long double v : x)
        if (largest ? v > best : v < best)
            best = v;
    return best;
}

long double median(const Numbers &x)
{
    const Numbers s = sorted(x);
    const qsizetype n = s.size();
    if (n % 2 == 1)
        return s.at((n + 1) / 2 - 1);
    return (s.at(n / 2 - 1) + s.at(n / 2)) / 2;
}

std::optional<QString> mode(const QStringList &texts)
{
    // Ties go to the text that appears first.
    QHash<QString, int> counts;
    QString best;
    int bestCount = 0;
    for (const QString &t : texts) {
        const int c = ++counts[t];
        if (c > bestCount) {
            bestCount = c;
            best = t;
        }
    }
    return best;
}
} // namespace

bool isAggregate(const QString &name)
{
    static const QStringList names = {
        QStringLiteral("sum"),           QStringLiteral("total"),         QStringLiteral("average"),
        QStringLiteral("avg"),           QStringLiteral("mean"),          QStringLiteral("max"),
        QStringLiteral("min"),           QStringLiteral("median"),        QStringLiteral("mode"),
        QStringLiteral("range"),         QStringLiteral("midRange"),      QStringLiteral("product"),
        QStringLiteral("geomean"),       QStringLiteral("geometricMean"), QStringLiteral("harmonicMean"),
        QStringLiteral("quadraticMean"), QStringLiteral("rms"),           QStringLiteral("rootMeanSquare")};
    return names.contains(name);
}

bool takesDates(const QString &name)
{
    return name == QLatin1String("max") || name == QLatin1String("min") || name == QLatin1String("median");
}

QString averageKind(const QString &kind)
{
    const auto is = [&](const char *pattern) { return OXFormulaText::wildcardMatches(QLatin1String(pattern), kind); };
    if (is("mean"))
        return QStringLiteral("mean");
    if (is("median"))
        return QStringLiteral("median");
    if (is("mode"))
        return QStringLiteral("mode");
    if (is("geomean") || is("geometric*"))
        return QStringLiteral("geomean");
    if (is("harmonic*"))
        return QStringLiteral("harmonicMean");
    if (is("quadratic*"))
        return QStringLiteral("quadraticMean");
    if (is("midrange"))
        return QStringLiteral("midRange");
    return QString();
}

std::optional<QString> aggregate(const QString &name, const Numbers &x, const QStringList &texts)
{
    const auto number = [](long double v) { return std::optional<QString>(OXFormulaText::numberText(v)); };
    const auto is = [&](std::initializer_list<const char *> names) {
        for (const char *n : names)
            if (name == QLatin1String(n))
                return true;
        return false;
    };
    if (is({"sum", "total"}))
        return number(sum(x));
    if (is({"product"}))
        return QString::asprintf("%Lf", product(x));
    if (is({"mode"}))
        return mode(texts);
    if (x.isEmpty())
        return std::nullopt;
    const long double n = x.size();
    if (is({"average", "avg", "mean"}))
        return number(sum(x) / n);
    if (is({"max", "min"}))
        return number(extreme(x, name == QLatin1String("max")));
    if (is({"median"}))
        return number(median(x));
    if (is({"range"})) {
        const Numbers s = sorted(x);
        return number(s.last() - s.first());
    }
    if (is({"midRange"})) {
        const Numbers s = sorted(x);
        return number((s.first() + s.last()) / 2);
    }
    if (is({"geomean", "geometricMean"}))
        return number(std::pow(product(x), 1.0L / n));
    if (is({"harmonicMean"})) {
        long double reciprocals = 0;
        for (long double v : x) {
            if (v == 0)
                return std::nullopt;
            reciprocals += 1 / v;
        }
        return number(n / reciprocals);
    }
    if (is({"quadraticMean", "rms", "rootMeanSquare"})) {
        long double squares = 0;
        for (long double v : x)
            squares += v * v;
        return number(std::sqrt(squares / n));
    }
    return std::nullopt;
}

} // namespace OXColumnStatistics
