// FDSerializationServices: the stored text and data forms of numbers, geometry, colours and gradients in forms.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <optional>

class QTextDocument;
class Value;

namespace FDSerializationServices {
// Integers: the decimal text of a 32-bit signed value; reading takes the leading integer, 0 when none.
QString serializeInteger(qint64 value);
int unserializeInteger(const QString &text);
int unserializeInteger(const Value &value);
// Floats: the shortest text of the 32-bit float; reading takes the leading float, 0 when none.
QString serializeFloat(double value);
float unserializeFloat(const QString &text);
// The shortest decimal text of a 32-bit float ("20", "20.5"), the number form inside geometry texts.
QString floatText(double value);

// {{x, y}, {w, h}}, {w, h}, {x, y}, {location, length}. Readers take the numbers in order, 0 for missing ones.
QString serializeRect(const QRectF &rect);
QRectF unserializeRect(const QString &text);
QString serializeSize(const QSizeF &size);
QSizeF unserializeSize(const QString &text);
QString serializePoint(const QPointF &point);
QPointF unserializePoint(const QString &text);
QString serializeRange(qint64 location, qint64 length);
std::pair<qint64, qint64> unserializeRange(const QString &text);
// The numbers of a geometry text, in order (at most `limit`).
QList<double> numbersInText(const QString &text, int limit);

// Colours: archived data under the root key "key".
QByteArray serializeColor(const QColor &color);
std::optional<QColor> unserializeColor(const QByteArray &data);
// A colour from a stored value: archived data, or an archived colour object.
std::optional<QColor> colorFromValue(const Value &value);

// Gradients: "{" + each stop's archived colour as <hex> joined by ", " + "}"; "", "{}" and unreadable texts are none.
QString serializeGradient(const QList<QColor> &stops);
QList<QColor> unserializeGradient(const QString &text);

// Images: TIFF data; empty data or data that is no image gives a null image.
QByteArray serializeImage(const QImage &image);
QImage unserializeImage(const QByteArray &data);

// Attributed strings (shape titles): the stored rich-text form of the whole document (RichTextCodec). Reading
// also takes the plain text older forms stored, as unformatted text; anything else reads as an empty string.
Value serializeAttributedString(const QTextDocument &document);
void unserializeAttributedString(const Value &stored, QTextDocument &document);
// The stored form of unformatted text, and the characters of a stored attributed string (or of plain text).
Value attributedStringFromPlainText(const QString &text);
QString plainTextOfAttributedString(const Value &stored);
// The stored string with its characters replaced by `text`, keeping the paragraph and character format of its
// start (so a retyped title keeps its font).
Value replacingTextOfAttributedString(const Value &stored, const QString &text);
// Any stored attributed string in its current form: plain text becomes rich text; unreadable values empty.
Value normalizedAttributedString(const Value &stored);
} // namespace FDSerializationServices
