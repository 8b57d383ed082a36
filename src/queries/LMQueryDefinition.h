// LMQueryDefinition: the keys and the starting forms of a query definition and its condition and display entries.
#pragma once

#include "Value.h"

#include "DesignVocabulary.h"

#include <QString>
#include <QStringList>

namespace LMQueryDefinition {
inline const QString &kName = DesignKey::Name;
inline const QString &kTableName = DesignKey::TableName;
inline const QString kParameters = QStringLiteral("Parameters");
inline const QString kDisplays = QStringLiteral("Displays");
inline const QString kParameterBoolean = QStringLiteral("Parameter Boolean");
inline const QString kPageSize = QStringLiteral("Page Size");
inline const QString kSelectedPage = QStringLiteral("Selected Page");

inline const QString &kType = DesignKey::Type;
inline const QString kTable = QStringLiteral("Table");
inline const QString kField = QStringLiteral("Field");
inline const QString kDatatype = QStringLiteral("Datatype");
inline const QString kCompareOp = QStringLiteral("Compare Op");
inline const QString kOperand = QStringLiteral("Operand");

// A condition with nothing chosen yet: only "Type" "Parameters".
Value emptyCondition();
// A display entry of one field.
Value display(const QString &table, const QString &field);

// What a filter opened without a definition starts with: three empty conditions, "ALL", page -1 / 0.
Value newDefinition();
// What a record grid without a saved query hands its filter: one display per field and one empty condition.
Value gridDefinition(const QString &table, const QStringList &fieldNames);

// The displays that have both "Table" and "Field" and whose table is not "None".
QList<Value> usableDisplays(const Value &definition);
} // namespace LMQueryDefinition
