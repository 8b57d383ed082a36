// Value: the shared-reference value tree every stored design, property list and archive is made of.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <memory>
#include <utility>

class Value {
public:
    enum class Type { Null, Bool, Int, Real, String, Data, Date, Array, Dict, Object, Uid, Image };

    Value();
    ~Value();
    Value(const Value &);
    Value &operator=(const Value &);
    Value(Value &&) noexcept;
    Value &operator=(Value &&) noexcept;
    Value(std::nullptr_t);
    Value(bool b);
    Value(int i);
    Value(qint64 i);
    Value(quint32 i);
    Value(double d);
    Value(const QString &s);
    Value(const char *s);
    Value(const QByteArray &data);
    Value(const QImage &image);
    Value(const QStringList &list);

    static Value date(double secondsSinceReferenceDate);
    static Value dateTime(const QDateTime &dt);
    static Value array(std::initializer_list<Value> items = {});
    static Value dict();
    static Value dict(std::initializer_list<std::pair<QString, Value>> entries);
    static Value uid(quint64 uid);
    // An archived object of a class; its encoded attributes live in a dictionary shared by reference.
    static Value object(const QString &className, const Value &attributes = Value::dict());

    Type type() const { return m_type; }
    bool isNull() const { return m_type == Type::Null; }
    bool isBool() const { return m_type == Type::Bool; }
    bool isInt() const { return m_type == Type::Int; }
    bool isReal() const { return m_type == Type::Real; }
    bool isNumber() const { return m_type == Type::Bool || m_type == Type::Int || m_type == Type::Real; }
    bool isString() const { return m_type == Type::String; }
    bool isData() const { return m_type == Type::Data; }
    bool isDate() const { return m_type == Type::Date; }
    bool isArray() const { return m_type == Type::Array; }
    bool isDict() const { return m_type == Type::Dict; }
    bool isObject() const { return m_type == Type::Object; }
    bool isUid() const { return m_type == Type::Uid; }
    bool isImage() const { return m_type == Type::Image; }

    // Scalar reads. Numbers read across kinds like the platform's number objects do;
    // a string reads as a number by its leading numeric text.
    bool toBool() const;
    qint64 toInt() const;
    double toDouble() const;
    QString toString() const; // the string itself, or "" for any other kind
    QByteArray toData() const;
    double toDate() const; // seconds since 2001-01-01 00:00:00 UTC
    QDateTime toDateTime() const;
    quint64 toUid() const;
    QImage toImage() const;
    QStringList toStringList() const; // the string elements of an array

    // Text of any value: strings as they are, numbers in their standard form, null as "<null>".
    QString description() const;
    // Like description, but "" for containers and null: the platform's stringValue.
    QString stringValue() const;

    // Arrays (shared: appending through a copy changes the original).
    int size() const;
    bool isEmpty() const { return size() == 0; }
    Value at(int index) const;
    void append(const Value &v);
    void insert(int index, const Value &v);
    void replace(int index, const Value &v);
    void removeAt(int index);
    int indexOf(const Value &v) const;
    QList<Value> toList() const;

    // Dictionaries (shared, insertion-ordered).
    bool contains(const QString &key) const;
    Value value(const QString &key) const;
    Value value(const QString &key, const Value &fallback) const;
    Value operator[](const QString &key) const { return value(key); }
    void set(const QString &key, const Value &v);
    void remove(const QString &key);
    QStringList keys() const;
    // Empties an array or dictionary in place.
    void clear();

    // Archived objects.
    QString className() const;
    Value attributes() const;

    // A copy that shares no container with this one (the platform's mutable deep copy).
    Value deepCopy() const;
    // True when both share the same container (or are the same scalar kind and value).
    bool isSameContainer(const Value &other) const;
    // The identity of the shared container (array, dictionary or object); null for scalars.
    const void *containerId() const;

    bool operator==(const Value &other) const;
    bool operator!=(const Value &other) const { return !(*this == other); }

    static QString numberText(double d);

private:
    struct ArrayData;
    struct DictData;
    struct ObjectData;

    Type m_type = Type::Null;
    union {
        bool b;
        qint64 i;
        double d;
        quint64 u;
    } m_scalar{};
    QString m_string;
    QByteArray m_data;
    std::shared_ptr<QImage> m_image;
    std::shared_ptr<ArrayData> m_array;
    std::shared_ptr<DictData> m_dict;
    std::shared_ptr<ObjectData> m_object;

    Value deepCopyImpl(QHash<const void *, Value> &seen) const;
};

Q_DECLARE_METATYPE(Value)
