// OXValue: one text of a formula: a field of one record, or a computed text keeping its table and field.
#pragma once

#include "OXFormulaObject.h"

class OXValue : public OXFormulaObject {
public:
    OXValue(OXDatabase &database, const Value &description, std::optional<QStringList> rowids = std::nullopt)
        : OXFormulaObject(database, description, std::move(rowids))
    {
    }
    Kind kind() const override { return Kind::Value; }

    // Every non-function component leaves a value as it is.
    OXObjectPtr parseFormulaComponent(const QString &component) override;

    // The "String Value", else the stored text of the field for the record; none when no row comes back.
    std::optional<QString> unformattedText() const;
    // The unformatted text converted to the field's native value and back with its display format.
    std::optional<QString> formattedText() const;
    // What a report inserts: unformatted for "Number" fields, formatted for other fields.
    std::optional<QString> stringValue() const;
    std::optional<QString> insertedText() const override { return stringValue(); }

protected:
    OXObjectPtr callFunction(const QString &name, const OXArguments &args) override;

private:
    OXObjectPtr mathFunction(const QString &name, const OXArguments &args) const;
    bool fieldExists() const;
    bool isNumberField() const;
};
