// FEControlAttributes: the attributes of a live form control that scripts read and write beyond the fixed four,
// as the attribute table ("Control Def 3.plist") lists them for the control's class.
#pragma once

#include "Value.h"

#include <QString>
#include <optional>

class FEControl;

namespace FEControlAttributes {
// The property of the table entry for `className` whose "Key" or "Label" is `attribute`, compared without
// case; null when the class lists no such attribute.
Value propertyFor(const QString &className, const QString &attribute);
// A value converted by a property's "Type" ("NSString", "NSArray", "NSDate", "BOOL", "int", "enum", "float",
// "double", "NSNumber", "NSColor"); colours are written as text ("#rrggbb", or a colour name).
Value converted(const QString &type, const Value &value);
// The attribute as a script sees it: what the widget shows where it shows it, else the control's own stored
// attribute (null when it has none), converted by the type; colours as "#rrggbb" text, a shape's title as
// plain text. nullopt when the control's class has no such attribute.
std::optional<Value> read(const FEControl &control, const QString &attribute);
// Converts by the type, keeps the value in the control's attributes and shows it in the widget; false when
// the control's class has no such attribute. The form's stored design does not change.
bool write(FEControl &control, const QString &attribute, const Value &value);
} // namespace FEControlAttributes
