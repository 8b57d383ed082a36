// LMReportParser: the variables pass, date texts and the user's own card.
#include "LMContactCard.h"
#include "LMReportParser.h"
#include "LMReportText.h"
#include "ReferenceDate.h"

QString LMReportParser::applyFormatType(DateFormatter::Style style, double date, bool isTime)
{
    const DateFormatter formatter =
        isTime ? DateFormatter(DateFormatter::None, style) : DateFormatter(style, DateFormatter::None);
    return formatter.format(date);
}

QString LMReportParser::applyFormatString(const QString &pattern, double date)
{
    const DateFormatter formatter = DateFormatter::withPattern(pattern);
    return formatter.isValid() ? formatter.format(date) : QString();
}

QString LMReportParser::valueForAddressBookKey(const QString &key)
{
    const std::optional<LMContactCard> card = LMContactCard::myCard();
    return card ? card->valueForKey(key) : QString();
}

QString LMReportParser::variableValue(const QString &name, const std::optional<QString> &options) const
{
    const double now = ReferenceDate::now();
    const bool isDate = name == QLatin1String("DATE");
    const bool isTime = name == QLatin1String("TIME");
    if ((isDate || isTime) && !options)
        return applyFormatType(isDate ? DateFormatter::Long : DateFormatter::Short, now, isTime);
    if (isDate || isTime)
        return applyFormatString(*options, now);
    if (name == QLatin1String("HELLO") && !options)
        return QStringLiteral("Hi there!");
    if (name == QLatin1String("MY") && options)
        return valueForAddressBookKey(*options);
    if (name == QLatin1String("CURRENT") || name == QLatin1String("CUR"))
        return m_pageLabel.value_or(QString());
    return QString();
}

void LMReportParser::parseVariableGetters()
{
    static const HVICURegex pattern(QStringLiteral("\\$(?<name>[A-Z]+)(?<options>(\\([^\\)]+\\))?)\\$"));
    // Every search starts again from the beginning; a value is inserted text and is never matched again, so
    // the pass ends even when a value looks like a variable.
    while (const std::optional<HVICURegex::Match> match = m_working->find(pattern, 0)) {
        const QString group = match->captured(QStringLiteral("options"));
        const std::optional<QString> options =
            group.isEmpty() ? std::nullopt : std::optional<QString>(group.mid(1, group.size() - 2));
        const QString value = variableValue(match->captured(QStringLiteral("name")), options);
        m_working->replace(match->start(), match->length(), value);
    }
}
