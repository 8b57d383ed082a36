// ImageBytes: Qt's image writers and readers over an in-memory buffer.
#include "ImageBytes.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

namespace ImageBytes {
QByteArray write(const QImage &image, const char *format)
{
    if (image.isNull())
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image))
        return {};
    return bytes;
}

QImage read(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(256); // MiB
    return reader.read();
}
} // namespace ImageBytes
