// FDFormJson: a stored form definition as JSON and back, for the command line.
#pragma once

#include "Value.h"

#include <QJsonObject>
#include <QJsonValue>
#include <optional>

// Plain values map to JSON as they are; frames and integers stay in their stored texts. The other kinds are tagged
// as orvix-cli tags designs ({"$real": 5}, {"$data": Base64}, {"$date": seconds}, {"$image": Base64 TIFF},
// {"$class": name, "$attributes": {...}}, {"$dict": {...}}), and stored archives are shown decoded:
// {"$color": [r, g, b, a]} for an archived colour, {"$archive": root} for another single-object archive (a
// control). Reading the JSON of a form gives back a form that writes the same JSON.
namespace FDFormJson {
QJsonValue toJson(const Value &value);
// Nullopt (with `error`) for JSON that cannot be a stored value.
std::optional<Value> fromJson(const QJsonValue &json, QString *error = nullptr);
} // namespace FDFormJson
