// KeyedArchive: encodes Value trees as keyed-archive object graphs and decodes them, sharing and cycles checked.
#include "KeyedArchive.h"
#include "PropertyList.h"
#include "PropertyListInternal.h"

#include <QHash>
#include <cstring>
#include <vector>

namespace {

using PropertyListInternal::ContainerIdentity;

const QString kClass = QStringLiteral("$class");
const QString kClasses = QStringLiteral("$classes");
const QString kClassName = QStringLiteral("$classname");
const QString kNull = QStringLiteral("$null");
const QString kKeys = QStringLiteral("NS.keys");
const QString kObjects = QStringLiteral("NS.objects");
const QString kTime = QStringLiteral("NS.time");
const QString kTiff = QStringLiteral("TIFFRepresentation");
const QString kArchiver = QStringLiteral("NSKeyedArchiver");

QString escapeKey(const QString &key)
{
    return key.startsWith(u'$') ? QLatin1Char('$') + key : key;
}
QString unescapeKey(const QString &key)
{
    return key.startsWith(QLatin1String("$$")) ? key.mid(1) : key;
}

// The identity of a scalar for storing equal ones once: kind plus exact bits.
QByteArray scalarKey(const Value &v)
{
    QByteArray key(1, char('0' + int(v.type())));
    switch (v.type()) {
    case Value::Type::Bool: key.append(v.toBool() ? '1' : '0'); break;
    case Value::Type::Int: key.append(QByteArray::number(v.toInt())); break;
    case Value::Type::Real:
    case Value::Type::Date: {
        const double d = v.isDate() ? v.toDate() : v.toDouble();
        key.append(reinterpret_cast<const char *>(&d), sizeof d);
        break;
    }
    case Value::Type::String:
        key.append(reinterpret_cast<const char *>(v.toString().utf16()), v.toString().size() * 2);
        break;
    case Value::Type::Data: key.append(v.toData()); break;
    case Value::Type::Uid: key.append(QByteArray::number(v.toUid())); break;
    default: break;
    }
    return key;
}

class Encoder {
public:
    QString error;
    Value objects = Value::array({Value(kNull)});

    std::optional<quint64> encode(const Value &v, int depth)
    {
        if (depth > PropertyList::maxDepth) {
            error = QStringLiteral("nesting deeper than %1 levels").arg(PropertyList::maxDepth);
            return std::nullopt;
        }
        switch (v.type()) {
        case Value::Type::Null: return 0;
        case Value::Type::Bool:
        case Value::Type::Int:
        case Value::Type::Real:
        case Value::Type::String:
        case Value::Type::Data:
        case Value::Type::Uid: return scalar(v, [&] { return v; });
        case Value::Type::Date:
            return scalar(v, [&] {
                return Value::dict({{kTime, Value(v.toDate())}, {kClass, classRecord(QStringLiteral("NSDate"))}});
            });
        case Value::Type::Image: {
            const quint64 index = append(Value());
            const quint64 tiff = append(Value(PropertyListInternal::imageToTiff(v.toImage())));
            objects.replace(int(index),
                            Value::dict({{kTiff, Value::uid(tiff)}, {kClass, classRecord(QStringLiteral("NSImage"))}}));
            return index;
        }
        case Value::Type::Array:
        case Value::Type::Dict:
        case Value::Type::Object: return container(v, depth);
        }
        return 0;
    }

private:
    QHash<QByteArray, quint64> m_scalars;
    QHash<QString, quint64> m_classes;
    ContainerIdentity m_containers;
    std::vector<bool> m_done;

    quint64 append(const Value &entry)
    {
        objects.append(entry);
        m_done.resize(size_t(objects.size()), true);
        return quint64(objects.size() - 1);
    }

    template <typename Make> quint64 scalar(const Value &v, Make make)
    {
        const QByteArray key = scalarKey(v);
        const auto it = m_scalars.constFind(key);
        if (it != m_scalars.constEnd())
            return *it;
        const quint64 index = append(make());
        m_scalars.insert(key, index);
        return index;
    }

    Value classRecord(const QString &name)
    {
        auto it = m_classes.constFind(name);
        if (it == m_classes.constEnd()) {
            QStringList chain{name};
            if (name == u"NSMutableArray")
                chain << QStringLiteral("NSArray");
            else if (name == u"NSMutableDictionary")
                chain << QStringLiteral("NSDictionary");
            if (name != u"NSObject")
                chain << QStringLiteral("NSObject");
            const quint64 index = append(Value::dict({{kClasses, Value(chain)}, {kClassName, Value(name)}}));
            it = m_classes.insert(name, index);
        }
        return Value::uid(*it);
    }

    std::optional<quint64> container(const Value &v, int depth)
    {
        if (const auto known = m_containers.find(v)) {
            if (!m_done[*known]) {
                error = QStringLiteral("a container contains itself");
                return std::nullopt;
            }
            return known;
        }
        const quint64 index = append(Value());
        m_done[index] = false;
        m_containers.insert(v, index);
        Value record = Value::dict();
        if (v.isArray()) {
            Value refs = Value::array();
            for (const Value &item : v.toList()) {
                const auto ref = encode(item, depth + 1);
                if (!ref)
                    return std::nullopt;
                refs.append(Value::uid(*ref));
            }
            record.set(kObjects, refs);
            record.set(kClass, classRecord(QStringLiteral("NSMutableArray")));
        } else if (v.isDict()) {
            Value keys = Value::array();
            Value values = Value::array();
            for (const QString &key : v.keys()) {
                keys.append(Value::uid(scalar(Value(key), [&] { return Value(key); })));
                const auto ref = encode(v.value(key), depth + 1);
                if (!ref)
                    return std::nullopt;
                values.append(Value::uid(*ref));
            }
            record.set(kKeys, keys);
            record.set(kObjects, values);
            record.set(kClass, classRecord(QStringLiteral("NSMutableDictionary")));
        } else {
            // Attributes are stored by UID, numbers included, so every value is read the same way.
            const Value attributes = v.attributes();
            for (const QString &key : attributes.keys()) {
                const auto ref = encode(attributes.value(key), depth + 1);
                if (!ref)
                    return std::nullopt;
                record.set(escapeKey(key), Value::uid(*ref));
            }
            record.set(kClass, classRecord(v.className()));
        }
        objects.replace(int(index), record);
        m_done[index] = true;
        return index;
    }
};

class Decoder {
public:
    QString error;

    explicit Decoder(const Value &objects) : m_objects(objects)
    {
        m_state.assign(size_t(objects.size()), Unread);
        m_values.resize(size_t(objects.size()));
    }

    // A $top or attribute value: a UID is a reference, anything else stands for itself.
    std::optional<Value> inlineValue(const Value &v, int depth)
    {
        if (depth > PropertyList::maxDepth)
            return fail(QStringLiteral("nesting deeper than %1 levels").arg(PropertyList::maxDepth));
        if (v.isUid())
            return reference(v.toUid(), depth);
        if (!v.isArray() && !v.isDict())
            return v;
        // A container the property list shares is decoded once and stays shared; copying it at every place it
        // is referenced would let a small archive expand without bound.
        const auto known = m_inline.constFind(v.containerId());
        if (known != m_inline.constEnd())
            return known->second;
        std::optional<Value> decoded = inlineContainer(v, depth);
        if (decoded)
            m_inline.insert(v.containerId(), {v, *decoded});
        return decoded;
    }

private:
    enum State : quint8 { Unread, Reading, Read };
    Value m_objects;
    std::vector<State> m_state;
    std::vector<Value> m_values;
    // Source container identity -> (source kept alive, decoded value).
    QHash<const void *, std::pair<Value, Value>> m_inline;

    std::optional<Value> inlineContainer(const Value &v, int depth)
    {
        if (v.isArray()) {
            Value out = Value::array();
            for (const Value &item : v.toList()) {
                const auto decoded = inlineValue(item, depth + 1);
                if (!decoded)
                    return std::nullopt;
                out.append(*decoded);
            }
            return out;
        }
        if (v.isDict()) {
            Value out = Value::dict();
            for (const QString &key : v.keys()) {
                const auto decoded = inlineValue(v.value(key), depth + 1);
                if (!decoded)
                    return std::nullopt;
                out.set(key, *decoded);
            }
            return out;
        }
        return v;
    }

    std::nullopt_t fail(const QString &message)
    {
        if (error.isEmpty())
            error = message;
        return std::nullopt;
    }

    std::optional<Value> reference(quint64 uid, int depth)
    {
        if (uid == 0)
            return Value();
        if (uid >= m_state.size())
            return fail(QStringLiteral("object reference %1 out of range").arg(uid));
        if (m_state[uid] == Read)
            return m_values[uid];
        if (m_state[uid] == Reading)
            return fail(QStringLiteral("cyclic object reference"));
        m_state[uid] = Reading;
        const auto v = entry(m_objects.at(int(uid)), depth);
        if (!v)
            return std::nullopt;
        m_state[uid] = Read;
        m_values[uid] = *v;
        return v;
    }

    std::optional<QString> className(const Value &classRef)
    {
        if (!classRef.isUid() || classRef.toUid() == 0 || classRef.toUid() >= m_state.size())
            return fail(QStringLiteral("invalid $class reference"));
        const Value record = m_objects.at(int(classRef.toUid()));
        if (!record.isDict() || !record.value(kClassName).isString())
            return fail(QStringLiteral("class record without $classname"));
        return record.value(kClassName).toString();
    }

    std::optional<Value> references(const Value &list, int depth)
    {
        if (!list.isArray())
            return fail(QStringLiteral("NS.objects or NS.keys is not an array"));
        return inlineValue(list, depth);
    }

    std::optional<Value> entry(const Value &e, int depth)
    {
        if (depth > PropertyList::maxDepth)
            return fail(QStringLiteral("nesting deeper than %1 levels").arg(PropertyList::maxDepth));
        if (e.isUid()) // a UID stored as a value of its own
            return e;
        if (!e.isDict() || !e.contains(kClass))
            return inlineValue(e, depth);
        const auto name = className(e.value(kClass));
        if (!name)
            return std::nullopt;
        if (*name == u"NSArray" || *name == u"NSMutableArray")
            return e.contains(kObjects) ? references(e.value(kObjects), depth) : Value::array();
        if (*name == u"NSDictionary" || *name == u"NSMutableDictionary")
            return dictionary(e, depth);
        if (*name == u"NSDate")
            return Value::date(e.value(kTime).toDouble());
        if (*name == u"NSNull")
            return Value();
        if ((*name == u"NSString" || *name == u"NSMutableString") && e.contains(QStringLiteral("NS.string")))
            return inlineValue(e.value(QStringLiteral("NS.string")), depth);
        if ((*name == u"NSData" || *name == u"NSMutableData") && e.contains(QStringLiteral("NS.data")))
            return inlineValue(e.value(QStringLiteral("NS.data")), depth);
        Value attributes = Value::dict();
        for (const QString &key : e.keys()) {
            if (key == kClass)
                continue;
            const auto decoded = inlineValue(e.value(key), depth + 1);
            if (!decoded)
                return std::nullopt;
            attributes.set(unescapeKey(key), *decoded);
        }
        if (*name == u"NSImage" && attributes.value(kTiff).isData()) {
            // An image whose bytes do not decode stays an object, so nothing is lost.
            if (const auto image = PropertyListInternal::imageFromTiff(attributes.value(kTiff).toData()))
                return Value(*image);
        }
        return Value::object(*name, attributes);
    }

    std::optional<Value> dictionary(const Value &e, int depth)
    {
        if (!e.contains(kKeys) && !e.contains(kObjects))
            return Value::dict();
        const auto keys = references(e.value(kKeys), depth);
        const auto values = keys ? references(e.value(kObjects), depth) : std::nullopt;
        if (!values)
            return std::nullopt;
        if (keys->size() != values->size())
            return fail(QStringLiteral("NS.keys and NS.objects differ in length"));
        Value dict = Value::dict();
        for (int i = 0; i < keys->size(); ++i) {
            const Value key = keys->at(i);
            if (!key.isString() && !(key.isNumber() && !key.isBool()))
                return fail(QStringLiteral("dictionary key is not a string"));
            dict.set(key.isString() ? key.toString() : key.stringValue(), values->at(i));
        }
        return dict;
    }
};

std::optional<Value> decodeTop(const QByteArray &bytes, QString *error)
{
    auto failed = [&](const QString &message) -> std::optional<Value> {
        if (error)
            *error = QStringLiteral("keyed archive: ") + message;
        return std::nullopt;
    };
    QString plistError;
    const auto plist = PropertyList::read(bytes, &plistError);
    if (!plist)
        return failed(plistError);
    if (!plist->isDict() || !plist->value(QStringLiteral("$objects")).isArray() ||
        !plist->value(QStringLiteral("$top")).isDict())
        return failed(QStringLiteral("not a keyed archive ($objects or $top missing)"));
    const Value archiver = plist->value(QStringLiteral("$archiver"));
    if (!archiver.isNull() && archiver.toString() != kArchiver)
        return failed(QStringLiteral("unknown archiver \"%1\"").arg(archiver.description()));
    Decoder decoder(plist->value(QStringLiteral("$objects")));
    const Value top = plist->value(QStringLiteral("$top"));
    Value out = Value::dict();
    for (const QString &key : top.keys()) {
        const auto v = decoder.inlineValue(top.value(key), 0);
        if (!v)
            return failed(decoder.error);
        out.set(key, *v);
    }
    QString sizeError;
    if (!PropertyListInternal::checkDecodedSize(out, &sizeError, -1))
        return failed(sizeError);
    return out;
}

} // namespace

namespace KeyedArchive {

QByteArray archiveTop(const Value &topDictionary, QString *error)
{
    auto failed = [&](const QString &message) {
        if (error)
            *error = QStringLiteral("keyed archive: ") + message;
        return QByteArray();
    };
    if (!topDictionary.isDict())
        return failed(QStringLiteral("the top is not a dictionary"));
    Encoder encoder;
    Value top = Value::dict();
    for (const QString &key : topDictionary.keys()) {
        const auto uid = encoder.encode(topDictionary.value(key), 0);
        if (!uid)
            return failed(encoder.error);
        top.set(key, Value::uid(*uid));
    }
    const Value plist = Value::dict({{QStringLiteral("$version"), Value(100000)},
                                     {QStringLiteral("$archiver"), Value(kArchiver)},
                                     {QStringLiteral("$top"), top},
                                     {QStringLiteral("$objects"), encoder.objects}});
    QString plistError;
    const QByteArray bytes = PropertyList::write(plist, PropertyList::Format::Binary, &plistError);
    if (bytes.isEmpty())
        return failed(plistError);
    return bytes;
}

QByteArray archive(const Value &root, const QString &rootKey, QString *error)
{
    return archiveTop(Value::dict({{rootKey, root}}), error);
}

std::optional<Value> unarchiveTop(const QByteArray &bytes, QString *error)
{
    return decodeTop(bytes, error);
}

std::optional<Value> unarchive(const QByteArray &bytes, const QString &rootKey, QString *error)
{
    const auto top = decodeTop(bytes, error);
    if (!top)
        return std::nullopt;
    if (!top->contains(rootKey)) {
        if (error)
            *error = QStringLiteral("keyed archive: no root object under \"%1\"").arg(rootKey);
        return std::nullopt;
    }
    return top->value(rootKey);
}

} // namespace KeyedArchive
