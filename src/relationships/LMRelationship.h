// LMRelationship: reading, checking and reshaping one relationship record of the document's "Lines".
#pragma once

#include "Value.h"

#include <QString>
#include <QStringList>
#include <optional>

class OXDatabase;

namespace LMRelationship {
// The record's "Start Table", "Start Field", "End Table" and "End Field" (a null string when absent).
QString startTable(const Value &record);
QString startField(const Value &record);
QString endTable(const Value &record);
QString endField(const Value &record);
// "Ends In Table" as the diagram writes it ("0"/"1") or as a boolean: true means one-way.
bool endsInTable(const Value &record);
bool hasInverse(const Value &record);
// "Relationship Type" read as an integer; absent counts as 0.
int relationshipType(const Value &record);

// A record of the diagram's key order: type, ends-in-table, start table and field, end table and field.
// An empty `endField` makes a one-way record without the "End Field" key.
Value makeRecord(const QString &startTable, const QString &startField, const QString &endTable, const QString &endField,
                 int relationshipType = 0);

// A link list split at ","; empty for a null-like text.
QStringList splitLinkList(const std::optional<QString> &list);

// A "Relationship" field takes part in one relationship only: false when `record` would share its start or
// (two-way) end field with one of `lines`.
bool isValidNewRecord(const Value &record, const Value &lines);

// Turns `record` (changed in place: it is shared with its collection) one-way (true: "End Field" removed) or
// two-way (false: the first "Relationship" field of the end table that no other record of `lines` uses as a
// start or end field, nor the record itself as its start field; with none it stays one-way).
// Answers whether the record ends up two-way.
bool setEndsInTable(Value record, bool endsInTable, OXDatabase &database, const Value &lines);
// The same against the document's own relationship lines.
bool setEndsInTable(Value record, bool endsInTable, OXDatabase &database);
} // namespace LMRelationship
