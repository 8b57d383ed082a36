// FDFormJson: a stored form definition as JSON and back, for the command line.
#pragma once

#include "Value.h"

#include <QJsonObject>
#include <QJsonValue>
#include <optional>

// Plain values map to JSON as they are; frames stay in their stored text. The values JSON has no form for are
// tagged objects: {"$color": [r, g, b, a]} for archived colours, {"$archive": ...} for other single-object
// archives (a control: {"$class": name, attributes...}), {"$data": Base64} for other data, {"$image": Base64
// TIFF} and {"$date": seconds}. Reading the JSON of a form gives back a form that writes the same JSON.
namespace FDFormJson {
QJsonValue toJson(const Value &value);
// Nullopt (with `error`) for JSON that cannot be a stored value.
std::optional<Value> fromJson(const QJsonValue &json, QString *error = nullptr);
} // namespace FDFormJson
