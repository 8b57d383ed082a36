// OXFormScriptHost: the form a script runs for (data entry implements it), reached through the bridge's Form
// functions: the shown record, the last field written, and the controls by their names.
#pragma once

#include "Value.h"

#include <QString>
#include <optional>

class OXFormScriptHost {
public:
    virtual ~OXFormScriptHost() = default;

    // The id of the record shown, "" for none.
    virtual QString currentRowid() const = 0;
    // The field written last, "" for none.
    virtual QString lastEditedField() const = 0;
    // The value of the control with that "Script Bridge Name"; nullopt when no control has that name.
    virtual std::optional<Value> controlValue(const QString &name) const = 0;
    virtual void setControlValue(const QString &name, const Value &value) = 0;
    // An attribute ("Tooltip", "Enabled", "Visible", "Label", compared without case, or one the attribute table
    // lists for the control's class); nullopt when the control or the attribute is unknown.
    virtual std::optional<Value> controlAttribute(const QString &name, const QString &attribute) const = 0;
    virtual void setControlAttribute(const QString &name, const QString &attribute, const Value &value) = 0;
};
