// JsonValue: table designs read from JSON (values themselves go through ValueJson, the one JSON converter).
#pragma once

#include "Value.h"

#include <QJsonObject>
#include <optional>

namespace JsonValue {
// {"Name": ..., "Fields": [...]} with every field given the keys of a new field, and "id" put first when absent.
std::optional<Value> tableDesignFromJson(const QJsonObject &json, QString *error);
} // namespace JsonValue
