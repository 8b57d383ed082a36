// Conversion between the text SQLite holds and the values cursors hand out, by declared datatype.
#pragma once

#include "Value.h"

#include <QString>

namespace QLite {
// True when values of `datatype` are not handed out as plain text.
bool datatypeNeedsConversion(const QString &datatype);
// The value of stored `text` for a column of `datatype`; unknown datatypes and unparsable text give the text.
Value valueForDatatype(const QString &datatype, const QString &text);
// The text a value is written as, so that valueForDatatype reads it back; null for a null value.
QString storedText(const Value &value);
} // namespace QLite
