// JsonValue: JSON numbers become integers when whole, booleans stay booleans.
#include "JsonValue.h"
#include "DesignVocabulary.h"

#include <QBuffer>
#include <QImage>
#include <QJsonArray>

#include <QJsonArray>
#include <cmath>

namespace {
// A tagged value: a JSON object of exactly one "$" key, or the two keys of an archived object.
std::optional<Value> fromTagged(const QJsonObject &object)
{
    if (object.size() == 2 && object.value(QStringLiteral("$class")).isString() &&
        object.value(QStringLiteral("$attributes")).isObject())
        return Value::object(object.value(QStringLiteral("$class")).toString(),
                             JsonValue::fromJson(object.value(QStringLiteral("$attributes"))));
    if (object.size() != 1)
        return std::nullopt;
    const QString tag = object.constBegin().key();
    const QJsonValue inner = object.constBegin().value();
    if (tag == QLatin1String("$real") && inner.isDouble())
        return Value(inner.toDouble());
    if (tag == QLatin1String("$date") && inner.isDouble())
        return Value::date(inner.toDouble());
    if (tag == QLatin1String("$uid") && inner.isDouble())
        return Value::uid(quint64(inner.toDouble()));
    if (tag == QLatin1String("$data") && inner.isString())
        return Value(QByteArray::fromBase64(inner.toString().toLatin1()));
    if (tag == QLatin1String("$image") && inner.isString())
        return Value(QImage::fromData(QByteArray::fromBase64(inner.toString().toLatin1()), "PNG"));
    if (tag == QLatin1String("$dict") && inner.isObject()) {
        Value out = Value::dict();
        const QJsonObject dict = inner.toObject();
        for (auto it = dict.constBegin(); it != dict.constEnd(); ++it)
            out.set(it.key(), JsonValue::fromJson(it.value()));
        return out;
    }
    return std::nullopt;
}

QJsonObject tagged(const char *tag, const QJsonValue &inner)
{
    return QJsonObject{{QLatin1String(tag), inner}};
}
} // namespace

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
        const QJsonObject object = json.toObject();
        if (const auto value = fromTagged(object))
            return *value;
        Value out = Value::dict();
        for (auto it = object.constBegin(); it != object.constEnd(); ++it)
            out.set(it.key(), fromJson(it.value()));
        return out;
    }
    default: return Value();
    }
}

QJsonValue JsonValue::toJson(const Value &value)
{
    switch (value.type()) {
    case Value::Type::Null: return QJsonValue();
    case Value::Type::Bool: return value.toBool();
    case Value::Type::Int: return double(value.toInt());
    case Value::Type::Real: {
        const double d = value.toDouble();
        if (d == std::floor(d) && std::fabs(d) < 9e15)
            return tagged("$real", d);
        return d;
    }
    case Value::Type::String: return value.toString();
    case Value::Type::Data: return tagged("$data", QString::fromLatin1(value.toData().toBase64()));
    case Value::Type::Date: return tagged("$date", value.toDate());
    case Value::Type::Uid: return tagged("$uid", double(value.toUid()));
    case Value::Type::Image: {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        value.toImage().save(&buffer, "PNG");
        return tagged("$image", QString::fromLatin1(png.toBase64()));
    }
    case Value::Type::Array: {
        QJsonArray out;
        for (int i = 0; i < value.size(); ++i)
            out.append(toJson(value.at(i)));
        return out;
    }
    case Value::Type::Dict: {
        QJsonObject out;
        bool needsTag = false;
        for (const QString &key : value.keys()) {
            out.insert(key, toJson(value.value(key)));
            needsTag = needsTag || key.startsWith(QLatin1Char('$'));
        }
        if (needsTag)
            return tagged("$dict", out);
        return out;
    }
    case Value::Type::Object:
        return QJsonObject{{QStringLiteral("$class"), value.className()},
                           {QStringLiteral("$attributes"), toJson(value.attributes())}};
    }
    return QJsonValue();
}

std::optional<Value> JsonValue::tableDesignFromJson(const QJsonObject &json, QString *error)
{
    auto fail = [error](const QString &message) -> std::optional<Value> {
        if (error)
            *error = message;
        return std::nullopt;
    };
    if (!json.value(DesignKey::Name).isString())
        return fail(QStringLiteral("the design has no \"Name\""));
    if (!json.value(DesignKey::Fields).isArray())
        return fail(QStringLiteral("the design has no \"Fields\" list"));
    Value fields = Value::array();
    const QJsonArray jsonFields = json.value(DesignKey::Fields).toArray();
    for (const QJsonValue &item : jsonFields) {
        if (!item.isObject())
            return fail(QStringLiteral("every entry of \"Fields\" must be a field dictionary"));
        const Value given = fromJson(item);
        const QString name = given.value(DesignKey::Name).toString();
        const QString type = given.value(DesignKey::Type, Value(Datatypes::name(Datatype::Text))).toString();
        Value field =
            name == DesignKey::IdFieldName ? DesignVocabulary::idField() : DesignVocabulary::blankField(name, type);
        for (const QString &key : given.keys())
            field.set(key, given.value(key));
        fields.append(field);
    }
    if (fields.isEmpty() || fields.at(0).value(DesignKey::Name).toString() != DesignKey::IdFieldName) {
        for (int i = 0; i < fields.size(); ++i)
            if (fields.at(i).value(DesignKey::Name).toString() == DesignKey::IdFieldName)
                return fail(QStringLiteral("the field \"id\" must come first"));
        fields.insert(0, DesignVocabulary::idField());
    }
    if (!Datatypes::is(fields.at(0).value(DesignKey::Type).toString(), Datatype::PrimaryKey))
        return fail(QStringLiteral("the field \"id\" must be of type \"Primary Key\""));
    Value design =
        Value::dict({{DesignKey::Name, json.value(DesignKey::Name).toString()}, {DesignKey::Fields, fields}});
    // Keys beside the name and fields (kept by other tools) come back as they were written.
    for (auto it = json.constBegin(); it != json.constEnd(); ++it)
        if (it.key() != DesignKey::Name && it.key() != DesignKey::Fields)
            design.set(it.key(), fromJson(it.value()));
    return design;
}
