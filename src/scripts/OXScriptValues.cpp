// OXScriptValues: conversions at the script bridge.
#include "OXScriptValues.h"

#include <QDateTime>
#include <QJSEngine>
#include <QVariant>
#include <cmath>

namespace OXScriptValues {

QString checkString(const QJSValue &value)
{
    if (value.isString())
        return value.toString();
    if (value.isNumber()) {
        const double d = value.toNumber();
        if (std::isfinite(d) && std::trunc(d) == d && std::fabs(d) < 9.2e18)
            return QString::number(qlonglong(d));
        return QString::asprintf("%f", double(float(d)));
    }
    if (value.isArray()) {
        if (value.property(QStringLiteral("length")).toInt() == 0)
            return QString();
        return checkString(value.property(0));
    }
    return QString();
}

bool isNullish(const QJSValue &value)
{
    return value.isNull() || value.isUndefined();
}

QJSValue toScriptValue(QJSEngine &engine, const Value &value)
{
    switch (value.type()) {
    case Value::Type::Bool: return QJSValue(value.toBool());
    case Value::Type::Int: return QJSValue(double(value.toInt()));
    case Value::Type::Real: return QJSValue(value.toDouble());
    case Value::Type::String: return QJSValue(value.toString());
    case Value::Type::Date: return engine.toScriptValue(value.toDateTime());
    case Value::Type::Data: return engine.toScriptValue(value.toData());
    case Value::Type::Array: {
        QJSValue array = engine.newArray(quint32(value.size()));
        for (int i = 0; i < value.size(); ++i)
            array.setProperty(quint32(i), toScriptValue(engine, value.at(i)));
        return array;
    }
    case Value::Type::Dict: {
        QJSValue object = engine.newObject();
        for (const QString &key : value.keys())
            object.setProperty(key, toScriptValue(engine, value.value(key)));
        return object;
    }
    default: return QJSValue(QJSValue::NullValue);
    }
}

Value fromScriptValue(const QJSValue &value)
{
    if (isNullish(value))
        return Value();
    if (value.isBool())
        return Value(value.toBool());
    if (value.isNumber()) {
        const double d = value.toNumber();
        if (std::isfinite(d) && std::trunc(d) == d && std::fabs(d) < 9.2e18)
            return Value(qint64(d));
        return Value(d);
    }
    if (value.isString())
        return Value(value.toString());
    if (value.isDate())
        return Value::dateTime(value.toDateTime());
    if (value.isArray()) {
        Value array = Value::array();
        const int length = value.property(QStringLiteral("length")).toInt();
        for (int i = 0; i < length; ++i)
            array.append(fromScriptValue(value.property(quint32(i))));
        return array;
    }
    return Value(value.toString());
}

QJSValue stringList(QJSEngine &engine, const QStringList &list)
{
    QJSValue array = engine.newArray(quint32(list.size()));
    for (int i = 0; i < list.size(); ++i)
        array.setProperty(quint32(i), list[i]);
    return array;
}

} // namespace OXScriptValues
