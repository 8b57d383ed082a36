// FDFormJson: tagged objects for data, colours, controls, images and dates.
#include "FDFormJson.h"

#include "ArchivedColor.h"
#include "FDControlArchiver.h"
#include "FDSerializationServices.h"
#include "KeyedArchive.h"

#include <QJsonArray>
#include <cmath>

namespace FDFormJson {
namespace {
constexpr int kMaxDepth = 256;

QJsonValue dataToJson(const QByteArray &data, int depth);

QJsonValue toJsonAt(const Value &value, int depth)
{
    if (depth > kMaxDepth)
        return QJsonValue();
    switch (value.type()) {
    case Value::Type::Null: return QJsonValue();
    case Value::Type::Bool: return value.toBool();
    case Value::Type::Int: return double(value.toInt());
    case Value::Type::Real: {
        // JSON numbers have no kind: a real that looks like an integer says that it is a real.
        const double d = value.toDouble();
        if (d == std::floor(d) && std::fabs(d) < 9e15)
            return QJsonObject{{"$real", d}};
        return d;
    }
    case Value::Type::String: return value.toString();
    case Value::Type::Data: return dataToJson(value.toData(), depth);
    case Value::Type::Date: return QJsonObject{{"$date", value.toDate()}};
    case Value::Type::Uid: return double(value.toUid());
    case Value::Type::Image:
        return QJsonObject{
            {"$image", QString::fromLatin1(FDSerializationServices::serializeImage(value.toImage()).toBase64())}};

    case Value::Type::Array: {
        QJsonArray array;
        for (int i = 0; i < value.size(); ++i)
            array.append(toJsonAt(value.at(i), depth + 1));
        return array;
    }
    case Value::Type::Dict: {
        QJsonObject object;
        bool tagLike = false;
        for (const QString &key : value.keys()) {
            tagLike = tagLike || key.startsWith(u'$');
            object.insert(key, toJsonAt(value.value(key), depth + 1));
        }
        // A dictionary whose keys could be read as a tag says that it is a dictionary.
        return tagLike ? QJsonObject{{"$dict", object}} : object;
    }
    case Value::Type::Object:
        return QJsonObject{{"$class", value.className()}, {"$attributes", toJsonAt(value.attributes(), depth + 1)}};
    }
    return QJsonValue();
}

QJsonValue dataToJson(const QByteArray &data, int depth)
{
    // Only archives that come back whole are shown decoded; anything else stays as its bytes.
    if (std::optional<Value> root = KeyedArchive::unarchive(data, QStringLiteral("key"))) {
        if (const std::optional<QColor> color = ArchivedColor::fromValue(*root)) {
            if (ArchivedColor::archive(*color) == data)
                return QJsonObject{
                    {"$color", QJsonArray{color->redF(), color->greenF(), color->blueF(), color->alphaF()}}};
        }
        // JSON objects keep no key order, so the archive made again holds the same values, not the same bytes.
        const QJsonValue decoded = toJsonAt(*root, depth + 1);
        std::optional<Value> again = fromJson(decoded);
        if (again && *again == *root)
            return QJsonObject{{"$archive", decoded}};
    }
    return QJsonObject{{"$data", QString::fromLatin1(data.toBase64())}};
}

std::optional<Value> fromJsonAt(const QJsonValue &json, int depth, QString *error)
{
    if (depth > kMaxDepth) {
        if (error)
            *error = QStringLiteral("nested too deeply");
        return std::nullopt;
    }
    switch (json.type()) {
    case QJsonValue::Null:
    case QJsonValue::Undefined: return Value();
    case QJsonValue::Bool: return Value(json.toBool());
    case QJsonValue::Double: {
        const double d = json.toDouble();
        if (d == std::floor(d) && std::fabs(d) < 9e15)
            return Value(qint64(d));
        return Value(d);
    }
    case QJsonValue::String: return Value(json.toString());
    case QJsonValue::Array: {
        Value array = Value::array();
        for (const QJsonValue &element : json.toArray()) {
            std::optional<Value> v = fromJsonAt(element, depth + 1, error);
            if (!v)
                return std::nullopt;
            array.append(*v);
        }
        return array;
    }
    case QJsonValue::Object: break;
    }
    const QJsonObject object = json.toObject();
    if (object.contains("$color")) {
        const QJsonArray c = object.value("$color").toArray();
        const QColor color = QColor::fromRgbF(float(c.at(0).toDouble()), float(c.at(1).toDouble()),
                                              float(c.at(2).toDouble()), float(c.at(3).toDouble(1)));
        return Value(ArchivedColor::archive(color));
    }
    if (object.contains("$data"))
        return Value(QByteArray::fromBase64(object.value("$data").toString().toLatin1()));
    if (object.contains("$image"))
        return Value(FDSerializationServices::unserializeImage(
            QByteArray::fromBase64(object.value("$image").toString().toLatin1())));
    if (object.contains("$real"))
        return Value(object.value("$real").toDouble());
    if (object.contains("$date"))
        return Value::date(object.value("$date").toDouble());
    if (object.contains("$archive")) {
        std::optional<Value> root = fromJsonAt(object.value("$archive"), depth + 1, error);
        if (!root)
            return std::nullopt;
        QString archiveError;
        const QByteArray data = KeyedArchive::archive(*root, QStringLiteral("key"), &archiveError);
        if (data.isEmpty()) {
            if (error)
                *error = archiveError;
            return std::nullopt;
        }
        return Value(data);
    }
    if (object.contains("$class")) {
        std::optional<Value> attributes = fromJsonAt(object.value("$attributes"), depth + 1, error);
        if (!attributes)
            return std::nullopt;
        return Value::object(object.value("$class").toString(), attributes->isDict() ? *attributes : Value::dict());
    }
    const QJsonObject entries = object.contains("$dict") ? object.value("$dict").toObject() : object;
    Value dict = Value::dict();
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        std::optional<Value> v = fromJsonAt(it.value(), depth + 1, error);
        if (!v)
            return std::nullopt;
        dict.set(it.key(), *v);
    }
    return dict;
}
} // namespace

QJsonValue toJson(const Value &value)
{
    return toJsonAt(value, 0);
}

std::optional<Value> fromJson(const QJsonValue &json, QString *error)
{
    return fromJsonAt(json, 0, error);
}
} // namespace FDFormJson
