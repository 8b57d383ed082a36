// ValueJson: tags for the kinds JSON lacks; a tagged object has exactly its tag keys, anything else is a dictionary.
#include "ValueJson.h"

#include "ArchivedColor.h"
#include "ImageBytes.h"
#include "KeyedArchive.h"

#include <QJsonArray>
#include <QJsonObject>
#include <cmath>

namespace ValueJson {
namespace {
constexpr int kMaxDepth = 256;
const QString kArchiveRoot = QStringLiteral("key");

QJsonObject tagged(const char *tag, const QJsonValue &inner)
{
    return QJsonObject{{QLatin1String(tag), inner}};
}

// JSON numbers have no kind: a real that looks like an integer says that it is a real.
bool looksWhole(double d)
{
    return d == std::floor(d) && std::fabs(d) < 9e15;
}

std::optional<Value> fromJsonAt(const QJsonValue &json, int depth, QString *error);

QJsonValue toJsonAt(const Value &value, const Options &options, int depth);

QJsonValue dataToJson(const QByteArray &data, const Options &options, int depth)
{
    // Only archives that come back whole are shown decoded; anything else stays as its bytes.
    if (options.decodeArchives) {
        if (std::optional<Value> root = KeyedArchive::unarchive(data, kArchiveRoot)) {
            if (const std::optional<QColor> color = ArchivedColor::fromValue(*root)) {
                if (ArchivedColor::archive(*color) == data)
                    return tagged("$color",
                                  QJsonArray{color->redF(), color->greenF(), color->blueF(), color->alphaF()});
            }
            // JSON objects keep no key order, so the archive made again holds the same values, not the same bytes.
            const QJsonValue decoded = toJsonAt(*root, options, depth + 1);
            std::optional<Value> again = fromJsonAt(decoded, 0, nullptr);
            if (again && *again == *root)
                return tagged("$archive", decoded);
        }
    }
    return tagged("$data", QString::fromLatin1(data.toBase64()));
}

QJsonValue toJsonAt(const Value &value, const Options &options, int depth)
{
    if (depth > kMaxDepth)
        return QJsonValue();
    switch (value.type()) {
    case Value::Type::Null: return QJsonValue();
    case Value::Type::Bool: return value.toBool();
    case Value::Type::Int: return double(value.toInt());
    case Value::Type::Real: {
        const double d = value.toDouble();
        return looksWhole(d) ? QJsonValue(tagged("$real", d)) : QJsonValue(d);
    }
    case Value::Type::String: return value.toString();
    case Value::Type::Data: return dataToJson(value.toData(), options, depth);
    case Value::Type::Date: return tagged("$date", value.toDate());
    case Value::Type::Uid: return tagged("$uid", double(value.toUid()));
    case Value::Type::Image:
        return tagged("$image",
                      QString::fromLatin1(ImageBytes::write(value.toImage(), options.imageFormat).toBase64()));
    case Value::Type::Array: {
        QJsonArray out;
        for (int i = 0; i < value.size(); ++i)
            out.append(toJsonAt(value.at(i), options, depth + 1));
        return out;
    }
    case Value::Type::Dict: {
        QJsonObject out;
        bool tagLike = false;
        for (const QString &key : value.keys()) {
            out.insert(key, toJsonAt(value.value(key), options, depth + 1));
            tagLike = tagLike || key.startsWith(QLatin1Char('$'));
        }
        // A dictionary whose keys could be read as a tag says that it is a dictionary.
        return tagLike ? QJsonValue(tagged("$dict", out)) : QJsonValue(out);
    }
    case Value::Type::Object:
        return QJsonObject{{QStringLiteral("$class"), value.className()},
                           {QStringLiteral("$attributes"), toJsonAt(value.attributes(), options, depth + 1)}};
    }
    return QJsonValue();
}

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

// A tagged value: nullopt when `object` is no tag (a plain dictionary); `failed` set when it is one that
// cannot be read.
std::optional<Value> fromTagged(const QJsonObject &object, int depth, QString *error, bool &failed)
{
    if (object.size() == 2 && object.value(QStringLiteral("$class")).isString() &&
        object.value(QStringLiteral("$attributes")).isObject()) {
        std::optional<Value> attributes = fromJsonAt(object.value(QStringLiteral("$attributes")), depth + 1, error);
        if (!attributes) {
            failed = true;
            return std::nullopt;
        }
        return Value::object(object.value(QStringLiteral("$class")).toString(),
                             attributes->isDict() ? *attributes : Value::dict());
    }
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
        return Value(ImageBytes::read(QByteArray::fromBase64(inner.toString().toLatin1())));
    if (tag == QLatin1String("$color") && inner.isArray()) {
        const QJsonArray c = inner.toArray();
        const QColor color = QColor::fromRgbF(float(c.at(0).toDouble()), float(c.at(1).toDouble()),
                                              float(c.at(2).toDouble()), float(c.at(3).toDouble(1)));
        return Value(ArchivedColor::archive(color));
    }
    if (tag == QLatin1String("$archive")) {
        std::optional<Value> root = fromJsonAt(inner, depth + 1, error);
        QString archiveError;
        const QByteArray data = root ? KeyedArchive::archive(*root, kArchiveRoot, &archiveError) : QByteArray();
        if (data.isEmpty()) {
            failed = true;
            if (root)
                fail(error, archiveError);
            return std::nullopt;
        }
        return Value(data);
    }
    if (tag == QLatin1String("$dict") && inner.isObject()) {
        Value out = Value::dict();
        const QJsonObject dict = inner.toObject();
        for (auto it = dict.constBegin(); it != dict.constEnd(); ++it) {
            std::optional<Value> v = fromJsonAt(it.value(), depth + 1, error);
            if (!v) {
                failed = true;
                return std::nullopt;
            }
            out.set(it.key(), *v);
        }
        return out;
    }
    return std::nullopt;
}

std::optional<Value> fromJsonAt(const QJsonValue &json, int depth, QString *error)
{
    if (depth > kMaxDepth) {
        fail(error, QStringLiteral("nested too deeply"));
        return std::nullopt;
    }
    switch (json.type()) {
    case QJsonValue::Null:
    case QJsonValue::Undefined: return Value();
    case QJsonValue::Bool: return Value(json.toBool());
    case QJsonValue::Double: {
        const double d = json.toDouble();
        return looksWhole(d) ? Value(qint64(d)) : Value(d);
    }
    case QJsonValue::String: return Value(json.toString());
    case QJsonValue::Array: {
        Value out = Value::array();
        for (const QJsonValue &item : json.toArray()) {
            std::optional<Value> v = fromJsonAt(item, depth + 1, error);
            if (!v)
                return std::nullopt;
            out.append(*v);
        }
        return out;
    }
    case QJsonValue::Object: break;
    }
    const QJsonObject object = json.toObject();
    bool failed = false;
    if (std::optional<Value> value = fromTagged(object, depth, error, failed))
        return value;
    if (failed)
        return std::nullopt;
    Value out = Value::dict();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        std::optional<Value> v = fromJsonAt(it.value(), depth + 1, error);
        if (!v)
            return std::nullopt;
        out.set(it.key(), *v);
    }
    return out;
}
} // namespace

QJsonValue toJson(const Value &value, const Options &options)
{
    return toJsonAt(value, options, 0);
}

std::optional<Value> fromJson(const QJsonValue &json, QString *error)
{
    return fromJsonAt(json, 0, error);
}
} // namespace ValueJson
