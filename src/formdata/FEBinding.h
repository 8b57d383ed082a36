// FEBinding: how a form control's paths meet the shown record: reading a bound field into a control value,
// the truth of the enabled and visible paths, and writing a control's value back. No widgets.
#pragma once

#include "Alert.h"
#include "Value.h"

#include <QString>
#include <optional>

class OXDatabase;

// What a control gives when its value is read: its object value, only its text, or nothing.
struct FEControlValue {
    enum class Kind { None, Object, String };
    Kind kind = Kind::None;
    Value value;

    static FEControlValue object(const Value &value) { return {Kind::Object, value}; }
    static FEControlValue string(const QString &text) { return {Kind::String, Value(text)}; }
};

namespace FEBinding {
// The field a path names when it is a field of the table other than a relationship ("" otherwise).
QString boundField(const OXDatabase &database, const QString &table, const Value &info, const QString &pathKey);
// The same among every field, relationships included.
QString boundFieldOrRelationship(const OXDatabase &database, const QString &table, const Value &info,
                                 const QString &pathKey);

// The native value of a stored text for a field (the conversion of the field's datatype).
Value nativeValue(const OXDatabase &database, const QString &table, const QString &field, const QString &stored);

// The enabled and visible paths: a number is true when non-zero, a text unless it is empty; any other value
// decides nothing (nullopt).
std::optional<bool> truthOf(const Value &value);

// The outcome of writing a control's value into the shown record.
struct SaveResult {
    bool written = false;
    std::optional<Alert> refusal; // the field's rules refused the value (nothing written)
};

// Writes `value` into `field` of record `recordNumber`: an object value always, a text only for "Text" and
// "Options" fields (any other field with only a text saves nothing).
SaveResult save(OXDatabase &database, const QString &table, const QString &recordNumber, const QString &field,
                const FEControlValue &value);
} // namespace FEBinding
