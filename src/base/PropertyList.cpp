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

} // namespace PropertyListInternal
