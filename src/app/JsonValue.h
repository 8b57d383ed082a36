// JsonValue: table designs written as JSON, read into design dictionaries.
#pragma once

#include "Value.h"

#include <QJsonObject>
#include <QJsonValue>
#include <optional>

namespace JsonValue {
Value fromJson(const QJsonValue &json);
// {"Name": ..., "Fields": [...]} with every field given the keys of a new field, and "id" put first when absent.
std::optional<Value> tableDesignFromJson(const QJsonObject &json, QString *error);
} // namespace JsonValue
