// OXScriptValues: how script values and the document's native values cross the bridge.
#pragma once

#include "Value.h"

#include <QJSValue>
#include <QString>

class QJSEngine;

namespace OXScriptValues {
// The text a bridge function works with: "" for missing, undefined, null and non-text kinds; integral numbers
// as integers; other numbers in single precision with six decimals; a list by its first element.
QString checkString(const QJSValue &value);
// Null and undefined (before normalisation): the scripts' way to say "remove".
bool isNullish(const QJSValue &value);
// Native values as the script sees them: dates as Date, data as ArrayBuffer, collections as arrays and objects.
QJSValue toScriptValue(QJSEngine &engine, const Value &value);
// A script value as a native value (for values written into the document).
Value fromScriptValue(const QJSValue &value);
QJSValue stringList(QJSEngine &engine, const QStringList &list);
} // namespace OXScriptValues
