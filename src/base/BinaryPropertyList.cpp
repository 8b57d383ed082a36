// BinaryPropertyList: the "bplist00" writer and a reader that validates every offset, count and reference.
#include "PropertyList.h"
#include "PropertyListInternal.h"

#include <QtEndian>
#include <cstring>
#include <limits>
#include <vector>

namespace {

using PropertyListInternal::ContainerIdentity;

constexpr int trailerSize = 32;
constexpr int headerSize = 8;

void appendBigEndian(QByteArray &out, quint64 value, int size)
{
    for (int i = size - 1; i >= 0; --i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

int bytesFor(quint64 value)
{
    if (value <= 0xFF)
        return 1;
    if (value <= 0xFFFF)
        return 2;
    if (value <= 0xFFFFFFFFull)
        return 4;
    return 8;
}

QByteArray encodeInt(qint64 i)
{
    QByteArray out;
    // Non-negative values take the smallest unsigned width; negative ones are always 8-byte signed.
    const int size = i < 0 ? 8 : bytesFor(quint64(i));
    const int power = size == 1 ? 0 : size == 2 ? 1 : size == 4 ? 2 : 3;
    out.append(char(0x10 | power));
    appendBigEndian(out, quint64(i), size);
    return out;
}

QByteArray markerWithCount(quint8 kind, quint64 count)
{
    QByteArray out;
    if (count < 15) {
        out.append(char((kind << 4) | count));
    } else {
        out.append(char((kind << 4) | 0xF));
        out.append(encodeInt(qint64(count)));
    }
    return out;
}

QByteArray encodeDouble(quint8 marker, double d)
{
    QByteArray out(1, char(marker));
    quint64 bits;
    std::memcpy(&bits, &d, sizeof bits);
    appendBigEndian(out, bits, 8);
    return out;
}

QByteArray encodeString(const QString &s)
{
    bool ascii = true;
    for (QChar c : s)
        if (c.unicode() >= 128) {
            ascii = false;
            break;
        }
    if (ascii) {
        QByteArray out = markerWithCount(0x5, quint64(s.size()));
        out.append(s.toLatin1());
        return out;
    }
    QByteArray out = markerWithCount(0x6, quint64(s.size()));
    for (QChar c : s)
        appendBigEndian(out, c.unicode(), 2);
    return out;
}

QByteArray encodeScalar(const Value &v)
{
    switch (v.type()) {
    case Value::Type::Null: return QByteArray(1, '\x00');
    case Value::Type::Bool: return QByteArray(1, v.toBool() ? '\x09' : '\x08');
    case Value::Type::Int: return encodeInt(v.toInt());
    case Value::Type::Real: return encodeDouble(0x23, v.toDouble());
    case Value::Type::Date: return encodeDouble(0x33, v.toDate());
    case Value::Type::String: return encodeString(v.toString());
    case Value::Type::Data: {
        QByteArray out = markerWithCount(0x4, quint64(v.toData().size()));
        out.append(v.toData());
        return out;
    }
    case Value::Type::Uid: {
        const int size = bytesFor(v.toUid());
        QByteArray out(1, char(0x80 | (size - 1)));
        appendBigEndian(out, v.toUid(), size);
        return out;
    }
    default: return {};
    }
}

class Writer {
public:
    QString error;

    std::optional<quint64> add(const Value &v, int depth)
    {
        if (depth > PropertyList::maxDepth) {
            error = QStringLiteral("nesting deeper than %1 levels").arg(PropertyList::maxDepth);
            return std::nullopt;
        }
        switch (v.type()) {
        case Value::Type::Object: return add(v.attributes(), depth);
        case Value::Type::Image: return add(PropertyListInternal::imageAttributes(v.toImage()), depth);
        case Value::Type::Array:
        case Value::Type::Dict: return addContainer(v, depth);
        default: return addScalar(encodeScalar(v));
        }
    }

    QByteArray finish(quint64 top) const
    {
        const quint64 count = quint64(m_objects.size());
        const int refSize = bytesFor(count - 1);
        QByteArray out("bplist00");
        std::vector<quint64> offsets;
        offsets.reserve(m_objects.size());
        for (const Object &o : m_objects) {
            offsets.push_back(quint64(out.size()));
            if (!o.isContainer) {
                out.append(o.bytes);
                continue;
            }
            out.append(markerWithCount(o.kind, quint64(o.refs.size()) / (o.kind == 0xD ? 2 : 1)));
            for (quint64 ref : o.refs)
                appendBigEndian(out, ref, refSize);
        }
        const quint64 tableOffset = quint64(out.size());
        const int offsetSize = bytesFor(offsets.empty() ? 0 : offsets.back());
        for (quint64 offset : offsets)
            appendBigEndian(out, offset, offsetSize);
        out.append(QByteArray(6, '\0'));
        out.append(char(offsetSize));
        out.append(char(refSize));
        appendBigEndian(out, count, 8);
        appendBigEndian(out, top, 8);
        appendBigEndian(out, tableOffset, 8);
        return out;
    }

private:
    struct Object {
        bool isContainer = false;
        quint8 kind = 0;     // 0xA array, 0xD dictionary
        QByteArray bytes;    // a scalar's whole encoding
        QList<quint64> refs; // a dictionary's key references, then its value references
    };
    QList<Object> m_objects;
    std::vector<bool> m_done;
    QHash<QByteArray, quint64> m_scalars;
    ContainerIdentity m_containers;

    quint64 addScalar(const QByteArray &bytes)
    {
        // Equal scalars are stored once: identical encodings are identical values.
        const auto it = m_scalars.constFind(bytes);
        if (it != m_scalars.constEnd())
            return *it;
        const quint64 index = quint64(m_objects.size());
        m_objects.append(Object{false, 0, bytes, {}});
        m_done.push_back(true);
        m_scalars.insert(bytes, index);
        return index;
    }

    std::optional<quint64> addContainer(const Value &v, int depth)
    {
        if (const auto known = m_containers.find(v)) {
            if (!m_done[*known]) {
                error = QStringLiteral("a container contains itself");
                return std::nullopt;
            }
            return known;
        }
        const quint64 index = quint64(m_objects.size());
        m_objects.append(Object{true, quint8(v.isArray() ? 0xA : 0xD), {}, {}});
        m_done.push_back(false);
        m_containers.insert(v, index);
        QList<quint64> refs;
        if (v.isArray()) {
            for (const Value &item : v.toList()) {
                const auto ref = add(item, depth + 1);
                if (!ref)
                    return std::nullopt;
                refs.append(*ref);
            }
        } else {
            const QStringList keys = v.keys();
            QList<quint64> values;
            for (const QString &key : keys) {
                refs.append(addScalar(encodeString(key)));
                const auto ref = add(v.value(key), depth + 1);
                if (!ref)
                    return std::nullopt;
                values.append(*ref);
            }
            refs.append(values);
        }
        m_objects[index].refs = refs;
        m_done[index] = true;
        return index;
    }
};

class Reader {
public:
    QString error;

    explicit Reader(const QByteArray &bytes)
        : m_data(reinterpret_cast<const uchar *>(bytes.constData())), m_size(quint64(bytes.size()))
    {
    }

    std::optional<Value> read()
    {
        if (!readTrailer())
            return std::nullopt;
        return object(m_top, 0);
    }

private:
    enum State : quint8 { Unread, Reading, Read };
    const uchar *m_data;
    quint64 m_size;
    int m_offsetSize = 0;
    int m_refSize = 0;
    quint64 m_count = 0;
    quint64 m_top = 0;
    quint64 m_tableOffset = 0;
    std::vector<quint64> m_offsets;
    std::vector<State> m_state;
    std::vector<Value> m_values;

    bool fail(const QString &message)
    {
        if (error.isEmpty())
            error = message;
        return false;
    }

    quint64 bigEndian(quint64 pos, int size) const
    {
        quint64 v = 0;
        for (int i = 0; i < size; ++i)
            v = (v << 8) | m_data[pos + quint64(i)];
        return v;
    }

    bool readTrailer()
    {
        if (m_size < quint64(headerSize + trailerSize + 2))
            return fail(QStringLiteral("file too short"));
        if (std::memcmp(m_data, "bplist00", headerSize) != 0)
            return fail(QStringLiteral("not a binary property list (wrong header)"));
        const quint64 t = m_size - trailerSize;
        m_offsetSize = m_data[t + 6];
        m_refSize = m_data[t + 7];
        m_count = bigEndian(t + 8, 8);
        m_top = bigEndian(t + 16, 8);
        m_tableOffset = bigEndian(t + 24, 8);
        if (m_offsetSize < 1 || m_offsetSize > 8)
            return fail(QStringLiteral("invalid offset size %1").arg(m_offsetSize));
        if (m_refSize < 1 || m_refSize > 8)
            return fail(QStringLiteral("invalid object reference size %1").arg(m_refSize));
        if (m_count == 0)
            return fail(QStringLiteral("no objects"));
        if (m_top >= m_count)
            return fail(QStringLiteral("top object out of range"));
        if (m_tableOffset <= quint64(headerSize) || m_tableOffset >= t)
            return fail(QStringLiteral("offset table outside the file"));
        if (m_count > (t - m_tableOffset) / quint64(m_offsetSize))
            return fail(QStringLiteral("object count exceeds the file"));
        if (m_refSize < 8 && m_count - 1 > (quint64(1) << (8 * m_refSize)) - 1)
            return fail(QStringLiteral("object count exceeds the reference size"));
        m_offsets.resize(m_count);
        for (quint64 i = 0; i < m_count; ++i) {
            const quint64 offset = bigEndian(m_tableOffset + i * quint64(m_offsetSize), m_offsetSize);
            if (offset < quint64(headerSize) || offset >= m_tableOffset)
                return fail(QStringLiteral("object offset outside the object area"));
            m_offsets[i] = offset;
        }
        m_state.assign(m_count, Unread);
        m_values.resize(m_count);
        return true;
    }

    // The remaining bytes of the object area from pos.
    quint64 remaining(quint64 pos) const { return pos >= m_tableOffset ? 0 : m_tableOffset - pos; }

    bool readCount(quint64 &pos, quint8 low, quint64 &count)
    {
        if (low != 0xF) {
            count = low;
            return true;
        }
        if (remaining(pos) < 1)
            return fail(QStringLiteral("truncated count"));
        const quint8 marker = m_data[pos];
        const int size = 1 << (marker & 0xF);
        if ((marker >> 4) != 0x1 || size > 8)
            return fail(QStringLiteral("invalid count"));
        if (remaining(pos + 1) < quint64(size))
            return fail(QStringLiteral("truncated count"));
        count = bigEndian(pos + 1, size);
        pos += 1 + quint64(size);
        return true;
    }

    std::optional<Value> object(quint64 index, int depth)
    {
        if (depth > PropertyList::maxDepth) {
            fail(QStringLiteral("nesting deeper than %1 levels").arg(PropertyList::maxDepth));
            return std::nullopt;
        }
        if (m_state[index] == Read)
            return m_values[index];
        if (m_state[index] == Reading) {
            fail(QStringLiteral("cyclic object reference"));
            return std::nullopt;
        }
        m_state[index] = Reading;
        std::optional<Value> v = parse(m_offsets[index], depth);
        if (!v)
            return std::nullopt;
        m_values[index] = *v;
        m_state[index] = Read;
        return v;
    }

    std::optional<Value> truncated()
    {
        fail(QStringLiteral("truncated object"));
        return std::nullopt;
    }

    std::optional<Value> parse(quint64 pos, int depth)
    {
        const quint8 marker = m_data[pos++];
        const quint8 kind = marker >> 4;
        const quint8 low = marker & 0xF;
        switch (kind) {
        case 0x0:
            if (low == 0x0)
                return Value();
            if (low == 0x8 || low == 0x9)
                return Value(low == 0x9);
            break;
        case 0x1: return parseInt(pos, low);
        case 0x2:
        case 0x3: return parseReal(pos, marker);
        case 0x4:
        case 0x5:
        case 0x6:
        case 0x7: {
            quint64 count = 0;
            if (!readCount(pos, low, count))
                return std::nullopt;
            const quint64 unit = kind == 0x6 ? 2 : 1;
            if (count > remaining(pos) / unit)
                return truncated();
            const char *p = reinterpret_cast<const char *>(m_data + pos);
            if (kind == 0x4)
                return Value(QByteArray(p, qsizetype(count)));
            if (kind == 0x5)
                return Value(QString::fromLatin1(p, qsizetype(count)));
            if (kind == 0x7)
                return Value(QString::fromUtf8(p, qsizetype(count)));
            QString s(qsizetype(count), Qt::Uninitialized);
            for (quint64 i = 0; i < count; ++i)
                s[qsizetype(i)] = QChar(char16_t(bigEndian(pos + 2 * i, 2)));
            return Value(s);
        }
        case 0x8: {
            const int size = low + 1;
            if (size > 8)
                break;
            if (remaining(pos) < quint64(size))
                return truncated();
            return Value::uid(bigEndian(pos, size));
        }
        case 0xA:
        case 0xC:
        case 0xD: return parseContainer(pos, kind, low, depth);
        default: break;
        }
        fail(QStringLiteral("unknown object type 0x%1").arg(marker, 2, 16, QLatin1Char('0')));
        return std::nullopt;
    }

    std::optional<Value> parseInt(quint64 pos, quint8 low)
    {
        if (low > 4) {
            fail(QStringLiteral("invalid integer size"));
            return std::nullopt;
        }
        const int size = 1 << low;
        if (remaining(pos) < quint64(size))
            return truncated();
        if (size < 8) // narrower integers are unsigned
            return Value(qint64(bigEndian(pos, size)));
        if (size == 8)
            return Value(qint64(bigEndian(pos, 8)));
        // 16 bytes: accepted only where the value fits 64 bits signed.
        const quint64 high = bigEndian(pos, 8);
        const quint64 lowPart = bigEndian(pos + 8, 8);
        const bool negative = qint64(lowPart) < 0;
        if ((high == 0 && !negative) || (high == ~quint64(0) && negative))
            return Value(qint64(lowPart));
        fail(QStringLiteral("integer out of range"));
        return std::nullopt;
    }

    std::optional<Value> parseReal(quint64 pos, quint8 marker)
    {
        if (marker == 0x22) {
            if (remaining(pos) < 4)
                return truncated();
            const quint32 bits = quint32(bigEndian(pos, 4));
            float f;
            std::memcpy(&f, &bits, sizeof f);
            return Value(double(f));
        }
        if (marker == 0x23 || marker == 0x33) {
            if (remaining(pos) < 8)
                return truncated();
            const quint64 bits = bigEndian(pos, 8);
            double d;
            std::memcpy(&d, &bits, sizeof d);
            return marker == 0x33 ? Value::date(d) : Value(d);
        }
        fail(QStringLiteral("unknown object type 0x%1").arg(marker, 2, 16, QLatin1Char('0')));
        return std::nullopt;
    }

    std::optional<quint64> ref(quint64 pos)
    {
        const quint64 r = bigEndian(pos, m_refSize);
        if (r >= m_count) {
            fail(QStringLiteral("object reference out of range"));
            return std::nullopt;
        }
        return r;
    }

    std::optional<Value> parseContainer(quint64 pos, quint8 kind, quint8 low, int depth)
    {
        quint64 count = 0;
        if (!readCount(pos, low, count))
            return std::nullopt;
        const quint64 refsPerEntry = kind == 0xD ? 2 : 1;
        // Checked before anything is allocated: the references must fit in the bytes that are there.
        if (count > remaining(pos) / (refsPerEntry * quint64(m_refSize)))
            return truncated();
        const quint64 rs = quint64(m_refSize);
        if (kind != 0xD) {
            Value array = Value::array();
            for (quint64 i = 0; i < count; ++i) {
                const auto r = ref(pos + i * rs);
                if (!r)
                    return std::nullopt;
                const auto item = object(*r, depth + 1);
                if (!item)
                    return std::nullopt;
                array.append(*item);
            }
            return array;
        }
        Value dict = Value::dict();
        for (quint64 i = 0; i < count; ++i) {
            const auto keyRef = ref(pos + i * rs);
            const auto valueRef = ref(pos + (count + i) * rs);
            if (!keyRef || !valueRef)
                return std::nullopt;
            const auto key = object(*keyRef, depth + 1);
            if (!key)
                return std::nullopt;
            if (!key->isString()) {
                fail(QStringLiteral("dictionary key is not a string"));
                return std::nullopt;
            }
            const auto value = object(*valueRef, depth + 1);
            if (!value)
                return std::nullopt;
            dict.set(key->toString(), *value);
        }
        return dict;
    }
};

} // namespace

namespace PropertyListInternal {

QByteArray writeBinary(const Value &root, QString *error)
{
    Writer writer;
    const auto top = writer.add(root, 0);
    if (!top) {
        if (error)
            *error = QStringLiteral("binary property list: ") + writer.error;
        return {};
    }
    return writer.finish(*top);
}

} // namespace PropertyListInternal

namespace PropertyList {

std::optional<Value> readBinary(const QByteArray &bytes, QString *error)
{
    Reader reader(bytes);
    std::optional<Value> v = reader.read();
    if (!v && error)
        *error = QStringLiteral("binary property list: ") + reader.error;
    // Shared references keep the read linear, but a walk of the result would expand them all.
    QString sizeError;
    if (v && !PropertyListInternal::checkDecodedSize(*v, &sizeError)) {
        if (error)
            *error = QStringLiteral("binary property list: ") + sizeError;
        return std::nullopt;
    }
    return v;
}

} // namespace PropertyList
