// PropertyList: format dispatch, plus the container identity and TIFF helpers shared with the keyed archiver.
#include "PropertyList.h"
#include "PropertyListInternal.h"

#include <QBuffer>
#include <QHash>
#include <QImageReader>
#include <QImageWriter>
#include <QSet>
#include <algorithm>
#include <limits>

namespace PropertyList {

QByteArray write(const Value &root, Format format, QString *error)
{
    return format == Format::Binary ? PropertyListInternal::writeBinary(root, error)
                                    : PropertyListInternal::writeXml(root, error);
}

std::optional<Value> read(const QByteArray &bytes, QString *error)
{
    if (bytes.startsWith("bplist"))
        return readBinary(bytes, error);
    return readXml(bytes, error);
}

} // namespace PropertyList

namespace PropertyListInternal {

std::optional<quint64> ContainerIdentity::find(const Value &container) const
{
    const auto it = m_indexes.constFind(container.containerId());
    if (it == m_indexes.constEnd())
        return std::nullopt;
    return it->second;
}

void ContainerIdentity::insert(const Value &container, quint64 index)
{
    m_indexes.insert(container.containerId(), {container, index});
}

QByteArray imageToTiff(const QImage &image)
{
    QByteArray bytes;
    if (image.isNull())
        return bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "tiff");
    writer.setCompression(1); // LZW
    writer.write(image);
    return bytes;
}

std::optional<QImage> imageFromTiff(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return QImage();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    return image;
}

Value imageAttributes(const QImage &image)
{
    return Value::dict({{QStringLiteral("TIFFRepresentation"), Value(imageToTiff(image))}});
}

namespace {
struct DecodedSize {
    quint64 objects = 1;
    quint64 bytes = 0;
    int height = 0;
};

quint64 saturatingAdd(quint64 a, quint64 b)
{
    return a > std::numeric_limits<quint64>::max() - b ? std::numeric_limits<quint64>::max() : a + b;
}

class SizeMeter {
public:
    QString error;

    std::optional<DecodedSize> measure(const Value &v, int depth)
    {
        if (depth > PropertyList::maxDepth)
            return fail(QStringLiteral("nesting deeper than %1 levels").arg(PropertyList::maxDepth));
        switch (v.type()) {
        case Value::Type::String: return DecodedSize{1, quint64(v.toString().size()) * 2, 0};
        case Value::Type::Data: return DecodedSize{1, quint64(v.toData().size()), 0};
        case Value::Type::Image: return DecodedSize{1, quint64(v.toImage().sizeInBytes()), 0};
        case Value::Type::Array:
        case Value::Type::Dict:
        case Value::Type::Object: return container(v, depth);
        default: return DecodedSize{};
        }
    }

private:
    QHash<const void *, DecodedSize> m_measured;
    QSet<const void *> m_open;

    std::nullopt_t fail(const QString &message)
    {
        if (error.isEmpty())
            error = message;
        return std::nullopt;
    }

    std::optional<DecodedSize> container(const Value &v, int depth)
    {
        const void *id = v.containerId();
        const auto known = m_measured.constFind(id);
        if (known != m_measured.constEnd()) {
            if (depth + known->height > PropertyList::maxDepth)
                return fail(QStringLiteral("nesting deeper than %1 levels").arg(PropertyList::maxDepth));
            return *known;
        }
        if (m_open.contains(id))
            return fail(QStringLiteral("cyclic object reference"));
        m_open.insert(id);
        DecodedSize total;
        const auto add = [&](const Value &child, quint64 keyBytes) {
            const std::optional<DecodedSize> part = measure(child, depth + 1);
            if (!part)
                return false;
            total.objects = saturatingAdd(total.objects, part->objects);
            total.bytes = saturatingAdd(saturatingAdd(total.bytes, part->bytes), keyBytes);
            total.height = std::max(total.height, part->height + 1);
            if (total.objects > maxDecodedObjects || total.bytes > maxDecodedBytes) {
                fail(QStringLiteral("the content would expand beyond %1 values or %2 MiB")
                         .arg(maxDecodedObjects)
                         .arg(maxDecodedBytes >> 20));
                return false;
            }
            return true;
        };
        if (v.isArray()) {
            for (const Value &item : v.toList())
                if (!add(item, 0))
                    return std::nullopt;
        } else {
            const Value dict = v.isDict() ? v : v.attributes();
            for (const QString &key : dict.keys())
                if (!add(dict.value(key), quint64(key.size()) * 2))
                    return std::nullopt;
        }
        m_open.remove(id);
        m_measured.insert(id, total);
        return total;
    }
};
} // namespace

bool checkDecodedSize(const Value &root, QString *error, int rootDepth)
{
    SizeMeter meter;
    if (meter.measure(root, rootDepth))
        return true;
    if (error)
        *error = meter.error;
    return false;
}

} // namespace PropertyListInternal
