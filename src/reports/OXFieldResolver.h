// OXFieldResolver: what a field name means on a grid or a row: a column or value, or the linked records.
#pragma once

#include "OXFormulaObject.h"

namespace OXFieldResolver {
// `records` are the ids of the grid (fromGrid) or the row's one id. A relationship field gives the linked
// records of the other table (one id: a row, else a grid); a media field gives nothing; any other field a
// column (from a grid) or a value (from a row).
OXObjectPtr resolve(const OXFormulaObject &object, const QString &field, const QStringList &records, bool fromGrid);
} // namespace OXFieldResolver
