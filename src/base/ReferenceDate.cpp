// Reference-date arithmetic and the replaceable clock.
#include "ReferenceDate.h"

#include <QTimeZone>
#include <cmath>

namespace {
std::function<double()> &clockFunction()
{
    static std::function<double()> clock;
    return clock;
}
} // namespace

QDateTime ReferenceDate::referenceDate()
{
    return QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
}

QDateTime ReferenceDate::toDateTime(double seconds)
{
    return referenceDate().addMSecs(static_cast<qint64>(std::llround(seconds * 1000.0)));
}

double ReferenceDate::fromDateTime(const QDateTime &dateTime)
{
    return referenceDate().msecsTo(dateTime) / 1000.0;
}

double ReferenceDate::now()
{
    if (clockFunction())
        return clockFunction()();
    return fromDateTime(QDateTime::currentDateTimeUtc());
}

void ReferenceDate::setClock(std::function<double()> clock)
{
    clockFunction() = std::move(clock);
}
