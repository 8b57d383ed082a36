// OXColumnStatistics: the aggregates of a number column, accumulated in long double, with their printed forms.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace OXColumnStatistics {
// The aggregate called `name` of `numbers` (the stored texts read as numbers; `texts` the stored texts
// themselves, for the mode); none for an unknown name or where the aggregate has no value.
std::optional<QString> aggregate(const QString &name, const QList<long double> &numbers, const QStringList &texts);
// The aggregate an `average(kind)` argument chooses ("mean", "median", "geometric*" ...); empty for none.
QString averageKind(const QString &kind);
// Whether `name` is one of the number aggregates; `dates` too for those that also take "Date" fields.
bool isAggregate(const QString &name);
bool takesDates(const QString &name);
} // namespace OXColumnStatistics
