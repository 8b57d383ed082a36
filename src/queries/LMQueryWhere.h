// LMQueryWhere: the WHERE clause of a list of conditions; the filter view and the report language share it.
#pragma once

#include "Value.h"

#include <QList>
#include <QString>

namespace LMQueryWhere {
// A condition produces SQL only when it names table, field, operator and datatype, and has an operand
// unless its datatype is "Yes/No".
bool isComplete(const Value &condition);
// "`table`.`field` <fragment>" of one complete condition.
QString conditionSQL(const Value &condition);
// The clause, without the word WHERE: complete conditions in order, joined by " OR " when `parameterBoolean`
// is exactly "any", else by " AND "; empty when no condition is complete.
QString whereSQL(const QList<Value> &conditions, const QString &parameterBoolean);
// The same over a definition's "Parameters" and "Parameter Boolean".
QString whereSQLForQueryDictionary(const Value &definition);
} // namespace LMQueryWhere
