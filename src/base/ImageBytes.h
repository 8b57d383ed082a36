// ImageBytes: an image as the bytes of an image file and back, for stored values that carry images.
#pragma once

#include <QByteArray>
#include <QImage>

namespace ImageBytes {
// The image in `format` ("TIFF", "PNG", …); empty for a null image or a failed write.
QByteArray write(const QImage &image, const char *format);
// The image in any format Qt reads; null for bytes that are none, or for an image larger than a poster
// (refused instead of allocated for).
QImage read(const QByteArray &bytes);
} // namespace ImageBytes
