// PropertyList: format dispatch, plus the container identity and TIFF helpers shared with the keyed archiver.
#include "PropertyList.h"
#include "PropertyListInternal.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

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

size_t ContainerIdentity::shallowHash(const Value &v)
{
    size_t h = qHash(int(v.type())) ^ qHash(v.size());
    if (v.isObject())
        h ^= qHash(v.className());
    if (v.isDict() || v.isObject()) {
        for (const QString &key : v.keys())
            h = h * 31 + qHash(key);
    } else if (v.isArray()) {
        // A few scalar elements are enough to spread arrays that differ; equal ones share a bucket.
        const int n = qMin(v.size(), 8);
        for (int i = 0; i < n; ++i) {
            const Value item = v.at(i);
            h = h * 31 + qHash(int(item.type())) + qHash(item.stringValue());
        }
    }
    return h;
}

std::optional<quint64> ContainerIdentity::find(const Value &container) const
{
    const auto it = m_buckets.constFind(shallowHash(container));
    if (it == m_buckets.constEnd())
        return std::nullopt;
    for (const auto &entry : *it)
        if (entry.first.isSameContainer(container))
            return entry.second;
    return std::nullopt;
}

void ContainerIdentity::insert(const Value &container, quint64 index)
{
    m_buckets[shallowHash(container)].append({container, index});
}

QByteArray imageToTiff(const QImage &image)
{
    QByteArray bytes;
    if (image.isNull())
        return bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "tiff");
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

} // namespace PropertyListInternal
