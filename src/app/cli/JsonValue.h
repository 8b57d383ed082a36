// JsonValue: designs written as JSON and read back into design dictionaries.
//
// Plain JSON carries strings, booleans, integers, arrays and dictionaries as they are. The other kinds are
// tagged so that what is printed reads back unchanged: {"$real": 5} (a whole real number), {"$data": BASE64},
// {"$date": SECONDS}, {"$uid": N}, {"$image": BASE64 PNG}, {"$class": NAME, "$attributes": {...}} (an archived
// object) and {"$dict": {...}} (a dictionary with a key that starts with "$").
#pragma once

#include "Value.h"

#include <QJsonObject>
#include <QJsonValue>
#include <optional>

namespace JsonValue {
Value fromJson(const QJsonValue &json);
QJsonValue toJson(const Value &value);
// {"Name": ..., "Fields": [...]} with every field given the keys of a new field, and "id" put first when absent.
std::optional<Value> tableDesignFromJson(const QJsonObject &json, QString *error);
} // namespace JsonValue
