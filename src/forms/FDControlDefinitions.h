// FDControlDefinitions: the resource tables of control attributes ("Control Def 3.plist") and of actions and
// outlets ("FDControlDef"), and the class family they are looked up by.
#pragma once

#include "Value.h"

#include <QString>
#include <QStringList>

namespace FDControlDefinitions {
// Dictionaries keyed by class name, read once from the resources (empty when a resource is missing).
Value attributeDefinitions();
Value actionDefinitions();
// Whether a control of class `className` is a kind of `ancestor` (itself, or a subclass of it).
bool isKindOf(const QString &className, const QString &ancestor);
// The "Properties" of the first attribute entry, in the table's order, whose class the control is a kind of;
// null when there is none.
Value propertiesForClass(const QString &className);
QStringList actionsForClass(const QString &className);
QStringList outletsForClass(const QString &className);
} // namespace FDControlDefinitions
