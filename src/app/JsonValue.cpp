// JsonValue: JSON numbers become integers when whole, booleans stay booleans.
#include "JsonValue.h"

#include <QJsonArray>
#include <cmath>

Value JsonValue::fromJson(const QJsonValue &json)
{
    switch (json.type()) {
    case QJsonValue::Bool: return Value(json.toBool());
    case QJsonValue::Double: {
        const double d = json.toDouble();
        if (d == std::floor(d) && std::fabs(d) < 9e15)
            return Value(static_cast<qint64>(d));
        return Value(d);
    }
    case QJsonValue::String: return Value(json.toString());
    case QJsonValue::Array: {
        Value out = Value::array();
        for (const QJsonValue &item : json.toArray())
            out.append(fromJson(item));
        return out;
    }
    case QJsonValue::Object: {
        Value out = Value::dict();
        const QJsonObject object = json.toObject();
        for (auto it = object.begin(); it != object.end(); ++it)
            out.set(it.key(), fromJson(it.value()));
        return out;
    }
    default: return Value();
    }
}

namespace {
Value newField(const QString &name, const QString &type)
{
    return Value::dict({{"Name", name},
                        {"Type", type},
                        {"Primary Key", false},
                        {"Unique", false},
                        {"Not Null", false},
                        {"Default", ""},
                        {"Check", ""},
                        {"Regex", ""},
                        {"Format", ""},
                        {"Yes Value", "Yes"},
                        {"No Value", "No"}});
}

Value idField()
{
    return Value::dict({{"Name", "id"},
                        {"Type", "Primary Key"},
                        {"Unique", true},
                        {"Not Null", true},
                        {"Default", ""},
                        {"Check", ""},
                        {"Regex", ""},
                        {"Format", ""},
                        {"Yes Value", "Yes"},
                        {"No Value", "No"}});
}
} // namespace

std::optional<Value> JsonValue::tableDesignFromJson(const QJsonObject &json, QString *error)
{
    auto fail = [error](const QString &message) -> std::optional<Value> {
        if (error)
            *error = message;
        return std::nullopt;
    };
    if (!json.value(QStringLiteral("Name")).isString())
        return fail(QStringLiteral("the design has no \"Name\""));
    if (!json.value(QStringLiteral("Fields")).isArray())
        return fail(QStringLiteral("the design has no \"Fields\" list"));
    Value fields = Value::array();
    const QJsonArray jsonFields = json.value(QStringLiteral("Fields")).toArray();
    for (const QJsonValue &item : jsonFields) {
        if (!item.isObject())
            return fail(QStringLiteral("every entry of \"Fields\" must be a field dictionary"));
        const Value given = fromJson(item);
        const QString name = given.value(QStringLiteral("Name")).toString();
        const QString type = given.value(QStringLiteral("Type"), Value("Text")).toString();
        Value field = name == QLatin1String("id") ? idField() : newField(name, type);
        for (const QString &key : given.keys())
            field.set(key, given.value(key));
        fields.append(field);
    }
    if (fields.isEmpty() || fields.at(0).value(QStringLiteral("Name")).toString() != QLatin1String("id")) {
        for (int i = 0; i < fields.size(); ++i)
            if (fields.at(i).value(QStringLiteral("Name")).toString() == QLatin1String("id"))
                return fail(QStringLiteral("the field \"id\" must come first"));
        fields.insert(0, idField());
    }
    if (fields.at(0).value(QStringLiteral("Type")).toString() != QLatin1String("Primary Key"))
        return fail(QStringLiteral("the field \"id\" must be of type \"Primary Key\""));
    return Value::dict({{"Name", json.value(QStringLiteral("Name")).toString()}, {"Fields", fields}});
}
