// CheckedCellWriter: writes one cell only when the value meets its field's rules, and deletes one row.
#pragma once

#include "Alert.h"
#include "Value.h"

#include <QString>
#include <optional>

class OXDatabase;

// The rules run in order: not null, unique, then the pattern of a "Text" field or the rounding and bounds of a
// "Number" field. Every refusal comes back as the alert to show; nothing is written on refusal.
class CheckedCellWriter {
public:
    // `database` is not owned; its document (if any) is marked changed and keeps its media cache current.
    explicit CheckedCellWriter(OXDatabase &database) : m_database(database) {}

    std::optional<Alert> insertNativeValue(const Value &value, const QString &table, const QString &column,
                                           const QString &row);
    // `value` is stored text; `escaped` says it has already been through prepareStringForQuery.
    std::optional<Alert> insertDbValue(const QString &value, const QString &table, const QString &column,
                                       const QString &row, bool escaped = true);
    // Deletes one row (nothing for an id whose integer value is 0); false when the statement failed.
    bool deleteFromTable(const QString &table, const QString &row);

    // The rules that need no database. The whole value must match `pattern` (its own "^"/"$" dropped); an
    // empty pattern passes.
    static std::optional<Alert> checkRegex(const QString &value, const QString &pattern, const QString &column);
    // Rounds (IsInteger) or makes positive (IsPositive) `value` in place, beeping when that changed it, then
    // checks the field's bounds. An empty value passes.
    static std::optional<Alert> checkNumber(QString &value, const Value &field, const QString &column);

private:
    std::optional<Alert> validateCell(QString &value, const QString &table, const QString &column);
    std::optional<Alert> checkUnique(const QString &value, const QString &table, const QString &column);

    OXDatabase &m_database;
};
