// LMQueryOperators: the comparison operators each datatype offers, its operand control, and the SQL of one
// condition.
#pragma once

#include "Value.h"

#include <QString>
#include <QStringList>

namespace LMQueryOperators {
enum class OperandKind { None, Text, Date, Tokens };

// The operator titles of the pop-up, in their order; empty for media and unknown datatypes.
const QStringList &operatorsForDatatype(const QString &datatype);
OperandKind operandKindForDatatype(const QString &datatype);

// The operand as the text placed between the quotes, before quote escaping: dates as stored seconds, token
// lists in the stored list form (items joined with ", "), anything else as its text.
QString operandText(const Value &operand, const QString &datatype);
// The comparison after the column ("='x'", "LIKE'%x%'", …); "=''" for an operator the datatype does not
// offer, and nothing for such an operator on a "Date".
QString sqlFragment(const QString &datatype, const QString &compareOp, const Value &operand);
} // namespace LMQueryOperators
