// Seconds since the reference date (2001-01-01 00:00:00 UTC) and the replaceable clock behind "now".
#pragma once

#include <QDateTime>
#include <functional>

namespace ReferenceDate {
QDateTime referenceDate();
QDateTime toDateTime(double secondsSinceReference);
double fromDateTime(const QDateTime &dateTime);
// Now, in seconds since the reference date, through the clock tests may fix.
double now();
// Replaces the clock; an empty function restores the system clock.
void setClock(std::function<double()> clock);
} // namespace ReferenceDate
