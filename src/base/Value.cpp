// Value: scalar reads, shared containers, deep copy and deep equality.
#include "Value.h"

#include <QTimeZone>
#include <cmath>

namespace {
const QDateTime &referenceDate()
{
    static const QDateTime ref(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    return ref;
}

// The platform reads a number from a string by its leading numeric text: "12abc" is 12, "abc" is 0.
double leadingDouble(const QString &s)
{
    const QByteArray bytes = s.trimmed().toUtf8();
    char *end = nullptr;
    const double d = std::strtod(bytes.constData(), &end);
    return end == bytes.constData() ? 0.0 : d;
}
} // namespace

struct Value::ArrayData {
    QList<Value> items;
};
struct Value::DictData {
    QStringList order;
    QHash<QString, Value> map;
};
struct Value::ObjectData {
    QString className;
    Value attributes;
};

Value::Value() = default;
Value::Value(std::nullptr_t) {}
Value::~Value() = default;
Value::Value(const Value &) = default;
Value &Value::operator=(const Value &) = default;
Value::Value(Value &&) noexcept = default;
Value &Value::operator=(Value &&) noexcept = default;

Value::Value(bool b) : m_type(Type::Bool)
{
    m_scalar.b = b;
}
Value::Value(int i) : m_type(Type::Int)
{
    m_scalar.i = i;
}
Value::Value(qint64 i) : m_type(Type::Int)
{
    m_scalar.i = i;
}
Value::Value(quint32 i) : m_type(Type::Int)
{
    m_scalar.i = i;
}
Value::Value(double d) : m_type(Type::Real)
{
    m_scalar.d = d;
}
Value::Value(const QString &s) : m_type(Type::String), m_string(s) {}
Value::Value(const char *s) : m_type(Type::String), m_string(QString::fromUtf8(s)) {}
Value::Value(const QByteArray &data) : m_type(Type::Data), m_data(data) {}
Value::Value(const QImage &image) : m_type(Type::Image), m_image(std::make_shared<QImage>(image)) {}
Value::Value(const QStringList &list) : m_type(Type::Array), m_array(std::make_shared<ArrayData>())
{
    for (const QString &s : list)
        m_array->items.append(Value(s));
}

Value Value::date(double secondsSinceReferenceDate)
{
    Value v;
    v.m_type = Type::Date;
    v.m_scalar.d = secondsSinceReferenceDate;
    return v;
}

Value Value::dateTime(const QDateTime &dt)
{
    return date(referenceDate().msecsTo(dt) / 1000.0);
}

Value Value::array(std::initializer_list<Value> items)
{
    Value v;
    v.m_type = Type::Array;
    v.m_array = std::make_shared<ArrayData>();
    for (const Value &item : items)
        v.m_array->items.append(item);
    return v;
}

Value Value::dict()
{
    Value v;
    v.m_type = Type::Dict;
    v.m_dict = std::make_shared<DictData>();
    return v;
}

Value Value::dict(std::initializer_list<std::pair<QString, Value>> entries)
{
    Value v = dict();
    for (const auto &e : entries)
        v.set(e.first, e.second);
    return v;
}

Value Value::uid(quint64 uid)
{
    Value v;
    v.m_type = Type::Uid;
    v.m_scalar.u = uid;
    return v;
}

Value Value::object(const QString &className, const Value &attributes)
{
    Value v;
    v.m_type = Type::Object;
    v.m_object = std::make_shared<ObjectData>();
    v.m_object->className = className;
    v.m_object->attributes = attributes.isDict() ? attributes : Value::dict();
    return v;
}

bool Value::toBool() const
{
    switch (m_type) {
    case Type::Bool: return m_scalar.b;
    case Type::Int: return m_scalar.i != 0;
    case Type::Real: return m_scalar.d != 0.0;
    case Type::String: {
        // The platform's boolValue: "Y", "y", "T", "t" or a non-zero number.
        const QString t = m_string.trimmed();
        if (t.isEmpty())
            return false;
        const QChar c = t.at(0).toUpper();
        if (c == u'Y' || c == u'T')
            return true;
        return leadingDouble(t) != 0.0;
    }
    default: return false;
    }
}

qint64 Value::toInt() const
{
    switch (m_type) {
    case Type::Bool: return m_scalar.b ? 1 : 0;
    case Type::Int: return m_scalar.i;
    case Type::Real: {
        const double d = m_scalar.d;
        if (std::isnan(d))
            return 0;
        if (d >= 9.2e18)
            return std::numeric_limits<qint64>::max();
        if (d <= -9.2e18)
            return std::numeric_limits<qint64>::min();
        return static_cast<qint64>(d);
    }
    case Type::String: return Value(leadingDouble(m_string)).toInt();
    case Type::Uid: return static_cast<qint64>(m_scalar.u);
    default: return 0;
    }
}

double Value::toDouble() const
{
    switch (m_type) {
    case Type::Bool: return m_scalar.b ? 1.0 : 0.0;
    case Type::Int: return static_cast<double>(m_scalar.i);
    case Type::Real: return m_scalar.d;
    case Type::Date: return m_scalar.d;
    case Type::String: return leadingDouble(m_string);
    default: return 0.0;
    }
}

QString Value::toString() const
{
    return m_type == Type::String ? m_string : QString();
}
QByteArray Value::toData() const
{
    return m_type == Type::Data ? m_data : QByteArray();
}
double Value::toDate() const
{
    return m_type == Type::Date ? m_scalar.d : 0.0;
}

QDateTime Value::toDateTime() const
{
    if (m_type != Type::Date)
        return {};
    return referenceDate().addMSecs(static_cast<qint64>(std::llround(m_scalar.d * 1000.0)));
}

quint64 Value::toUid() const
{
    return m_type == Type::Uid ? m_scalar.u : 0;
}
QImage Value::toImage() const
{
    return m_image ? *m_image : QImage();
}

QStringList Value::toStringList() const
{
    QStringList out;
    if (m_array)
        for (const Value &v : m_array->items)
            if (v.isString())
                out.append(v.m_string);
    return out;
}

QString Value::numberText(double d)
{
    if (std::isnan(d))
        return QStringLiteral("nan");
    if (std::isinf(d))
        return d > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
    // Integral values print without a fraction or exponent (3 for 3.0), others in their shortest exact form.
    if (d == std::floor(d) && std::fabs(d) < 1e15)
        return QString::number(static_cast<qint64>(d));
    return QString::number(d, 'g', QLocale::FloatingPointShortest);
}

QString Value::stringValue() const
{
    switch (m_type) {
    case Type::String: return m_string;
    case Type::Bool: return m_scalar.b ? QStringLiteral("1") : QStringLiteral("0");
    case Type::Int: return QString::number(m_scalar.i);
    case Type::Real: return numberText(m_scalar.d);
    default: return QString();
    }
}

QString Value::description() const
{
    switch (m_type) {
    case Type::Null: return QStringLiteral("<null>");
    case Type::Bool:
    case Type::Int:
    case Type::Real:
    case Type::String: return stringValue();
    case Type::Data: return QStringLiteral("<") + QString::fromLatin1(m_data.toHex()) + QStringLiteral(">");
    case Type::Date: return toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss +0000"));
    case Type::Uid: return QStringLiteral("<CFUID %1>").arg(m_scalar.u);
    case Type::Image: return QStringLiteral("<image>");
    case Type::Object: return QStringLiteral("<%1>").arg(m_object->className);
    case Type::Array: {
        QStringList parts;
        for (const Value &v : m_array->items)
            parts << v.description();
        return QStringLiteral("(") + parts.join(QStringLiteral(", ")) + QStringLiteral(")");
    }
    case Type::Dict: {
        QStringList parts;
        for (const QString &k : m_dict->order)
            parts << k + QStringLiteral(" = ") + m_dict->map.value(k).description();
        return QStringLiteral("{") + parts.join(QStringLiteral("; ")) + QStringLiteral("}");
    }
    }
    return QString();
}

int Value::size() const
{
    if (m_array)
        return int(m_array->items.size());
    if (m_dict)
        return int(m_dict->order.size());
    return 0;
}

Value Value::at(int index) const
{
    if (!m_array || index < 0 || index >= m_array->items.size())
        return Value();
    return m_array->items.at(index);
}

void Value::append(const Value &v)
{
    if (m_array)
        m_array->items.append(v);
}

void Value::insert(int index, const Value &v)
{
    if (m_array)
        m_array->items.insert(qBound(0, index, int(m_array->items.size())), v);
}

void Value::replace(int index, const Value &v)
{
    if (m_array && index >= 0 && index < m_array->items.size())
        m_array->items[index] = v;
}

void Value::removeAt(int index)
{
    if (m_array && index >= 0 && index < m_array->items.size())
        m_array->items.removeAt(index);
}

int Value::indexOf(const Value &v) const
{
    if (!m_array)
        return -1;
    for (int i = 0; i < m_array->items.size(); ++i)
        if (m_array->items.at(i) == v)
            return i;
    return -1;
}

QList<Value> Value::toList() const
{
    return m_array ? m_array->items : QList<Value>();
}

bool Value::contains(const QString &key) const
{
    const Value &d = m_object ? m_object->attributes : *this;
    return d.m_dict && d.m_dict->map.contains(key);
}

Value Value::value(const QString &key) const
{
    return value(key, Value());
}

Value Value::value(const QString &key, const Value &fallback) const
{
    const Value &d = m_object ? m_object->attributes : *this;
    if (!d.m_dict)
        return fallback;
    auto it = d.m_dict->map.constFind(key);
    return it == d.m_dict->map.constEnd() ? fallback : *it;
}

void Value::set(const QString &key, const Value &v)
{
    Value &d = m_object ? m_object->attributes : *this;
    if (!d.m_dict)
        return;
    if (!d.m_dict->map.contains(key))
        d.m_dict->order.append(key);
    d.m_dict->map.insert(key, v);
}

void Value::remove(const QString &key)
{
    Value &d = m_object ? m_object->attributes : *this;
    if (!d.m_dict || !d.m_dict->map.remove(key))
        return;
    d.m_dict->order.removeOne(key);
}

QStringList Value::keys() const
{
    const Value &d = m_object ? m_object->attributes : *this;
    return d.m_dict ? d.m_dict->order : QStringList();
}

void Value::clear()
{
    if (m_array)
        m_array->items.clear();
    if (m_dict) {
        m_dict->order.clear();
        m_dict->map.clear();
    }
}

QString Value::className() const
{
    return m_object ? m_object->className : QString();
}
Value Value::attributes() const
{
    return m_object ? m_object->attributes : Value();
}

bool Value::isSameContainer(const Value &other) const
{
    if (m_type != other.m_type)
        return false;
    if (m_array)
        return m_array == other.m_array;
    if (m_dict)
        return m_dict == other.m_dict;
    if (m_object)
        return m_object == other.m_object;
    return *this == other;
}

const void *Value::containerId() const
{
    if (m_array)
        return m_array.get();
    if (m_dict)
        return m_dict.get();
    return m_object.get();
}

Value Value::deepCopy() const
{
    QHash<const void *, Value> seen;
    return deepCopyImpl(seen);
}

Value Value::deepCopyImpl(QHash<const void *, Value> &seen) const
{
    // Shared sub-containers stay shared (once) in the copy, and a cycle cannot recurse forever.
    const void *key = m_array    ? static_cast<const void *>(m_array.get())
                      : m_dict   ? static_cast<const void *>(m_dict.get())
                      : m_object ? static_cast<const void *>(m_object.get())
                                 : nullptr;
    if (!key)
        return *this;
    if (seen.contains(key))
        return seen.value(key);
    Value copy;
    if (m_array) {
        copy = Value::array();
        seen.insert(key, copy);
        for (const Value &v : m_array->items)
            copy.m_array->items.append(v.deepCopyImpl(seen));
    } else if (m_dict) {
        copy = Value::dict();
        seen.insert(key, copy);
        for (const QString &k : m_dict->order)
            copy.set(k, m_dict->map.value(k).deepCopyImpl(seen));
    } else {
        copy = Value::object(m_object->className, Value::dict());
        seen.insert(key, copy);
        copy.m_object->attributes = m_object->attributes.deepCopyImpl(seen);
    }
    return copy;
}

bool Value::operator==(const Value &o) const
{
    if (isNumber() && o.isNumber()) {
        if (m_type == Type::Real || o.m_type == Type::Real)
            return toDouble() == o.toDouble();
        return toInt() == o.toInt();
    }
    if (m_type != o.m_type)
        return false;
    switch (m_type) {
    case Type::Null: return true;
    case Type::String: return m_string == o.m_string;
    case Type::Data: return m_data == o.m_data;
    case Type::Date: return m_scalar.d == o.m_scalar.d;
    case Type::Uid: return m_scalar.u == o.m_scalar.u;
    case Type::Image: return m_image == o.m_image || *m_image == *o.m_image;
    case Type::Array: return m_array == o.m_array || m_array->items == o.m_array->items;
    case Type::Dict: {
        if (m_dict == o.m_dict)
            return true;
        if (m_dict->map.size() != o.m_dict->map.size())
            return false;
        for (auto it = m_dict->map.constBegin(); it != m_dict->map.constEnd(); ++it) {
            auto jt = o.m_dict->map.constFind(it.key());
            if (jt == o.m_dict->map.constEnd() || !(*it == *jt))
                return false;
        }
        return true;
    }
    case Type::Object:
        return m_object == o.m_object ||
               (m_object->className == o.m_object->className && m_object->attributes == o.m_object->attributes);
    default: return false;
    }
}
