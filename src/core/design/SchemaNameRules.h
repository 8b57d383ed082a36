// SchemaNameRules: which table and field names the editor, the import sheet and the command line accept.
#pragma once

#include "Alert.h"
#include "Value.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace SchemaNameRules {
// A new table name, or the new name of `renaming` (empty for a new table), against the designs in `tables`.
std::optional<Alert> checkTableName(const QString &name, const Value &tables, const QString &renaming = QString());
// A field name against the other field names of the table (the field's own name excluded by the caller).
std::optional<Alert> checkFieldName(const QString &name, const QStringList &otherFieldNames);
// Every field name of a design's "Fields" array, each against the others; the alert's text names the field.
// Empty names pass unless `requireNames` (a table created straight from a design has no rows to drop them).
// Names in `stored` are columns the table already has under that name: kept as they are, whatever today's rules.
std::optional<Alert> checkFieldNames(const Value &fields, bool requireNames, const QStringList &stored = {});
} // namespace SchemaNameRules
