// FDFormJson: a stored form definition as JSON and back, for the command line: the shared ValueJson converter
// with stored archives shown decoded ({"$color": [r, g, b, a]} for an archived colour, {"$archive": root} for
// another single-object archive, such as a control) and images as TIFF. Frames and integers stay in their
// stored texts. Reading the JSON of a form gives back a form that writes the same JSON.
#pragma once

#include "ValueJson.h"

namespace FDFormJson {
inline QJsonValue toJson(const Value &value)
{
    return ValueJson::toJson(value, ValueJson::formOptions());
}
// Nullopt (with `error`) for JSON that cannot be a stored value.
inline std::optional<Value> fromJson(const QJsonValue &json, QString *error = nullptr)
{
    return ValueJson::fromJson(json, error);
}
} // namespace FDFormJson
