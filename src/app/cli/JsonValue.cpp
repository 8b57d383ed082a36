// JsonValue: a table design from JSON: the fields completed from the vocabulary's templates, "id" first.
#include "JsonValue.h"
#include "DesignVocabulary.h"

#include "ValueJson.h"

#include <QJsonArray>

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
        QString valueError;
        const std::optional<Value> read = ValueJson::fromJson(item, &valueError);
        if (!read)
            return fail(valueError);
        const Value &given = *read;
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
    for (auto it = json.constBegin(); it != json.constEnd(); ++it) {
        if (it.key() != DesignKey::Name && it.key() != DesignKey::Fields) {
            QString valueError;
            const std::optional<Value> value = ValueJson::fromJson(it.value(), &valueError);
            if (!value)
                return fail(valueError);
            design.set(it.key(), *value);
        }
    }
    return design;
}
