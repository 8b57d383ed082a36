// FDSerializationServices: number texts read like the platform's intValue/floatValue; geometry in brace texts.
#include "FDSerializationServices.h"

#include "ArchivedColor.h"
#include "ImageBytes.h"
#include "RichTextCodec.h"
#include "Value.h"

#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace FDSerializationServices {
namespace {
// The longest number text worth reading; anything longer is not a coordinate.
constexpr int kMaxNumberLength = 64;

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// The leading number of `text` from `pos` (blanks skipped), as the platform's scanner reads it.
std::optional<double> scanNumber(const QString &text, qsizetype &pos, bool integerOnly)
{
    while (pos < text.size() && isSpace(text.at(pos)))
        ++pos;
    const qsizetype start = pos;
    qsizetype i = pos;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+'))
        ++i;
    qsizetype digits = 0;
    while (i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 128) {
        ++i;
        ++digits;
    }
    if (!integerOnly && i < text.size() && text.at(i) == u'.') {
        ++i;
        while (i < text.size() && text.at(i).unicode() < 128 && text.at(i).isDigit()) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (!integerOnly && i < text.size() && (text.at(i) == u'e' || text.at(i) == u'E')) {
        qsizetype j = i + 1;
        if (j < text.size() && (text.at(j) == u'-' || text.at(j) == u'+'))
            ++j;
        qsizetype expDigits = 0;
        while (j < text.size() && text.at(j).unicode() < 128 && text.at(j).isDigit()) {
            ++j;
            ++expDigits;
        }
        if (expDigits > 0)
            i = j;
    }
    pos = i;
    const QString number = text.mid(start, qMin<qsizetype>(i - start, kMaxNumberLength));
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok)
        return integerOnly ? std::optional<double>(number.startsWith(u'-') ? -HUGE_VAL : HUGE_VAL) : std::nullopt;
    return value;
}
} // namespace

QString serializeInteger(qint64 value)
{
    return QString::number(static_cast<qint32>(value));
}

int unserializeInteger(const QString &text)
{
    qsizetype pos = 0;
    const std::optional<double> number = scanNumber(text, pos, true);
    if (!number)
        return 0;
    // Out-of-range texts saturate, as intValue does.
    if (*number >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (*number <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(*number);
}

int unserializeInteger(const Value &value)
{
    if (value.isNumber())
        return int(std::clamp<qint64>(value.toInt(), std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    return unserializeInteger(value.toString());
}

QString floatText(double value)
{
    const float f = static_cast<float>(value);
    if (std::isnan(f))
        return QStringLiteral("nan");
    if (f == 0.0f)
        return QStringLiteral("0");
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, f);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString serializeFloat(double value)
{
    return floatText(value);
}

float unserializeFloat(const QString &text)
{
    qsizetype pos = 0;
    const std::optional<double> number = scanNumber(text, pos, false);
    return number ? static_cast<float>(*number) : 0.0f;
}

QList<double> numbersInText(const QString &text, int limit)
{
    QList<double> numbers;
    qsizetype pos = 0;
    while (pos < text.size() && numbers.size() < limit) {
        const QChar c = text.at(pos);
        if (c.isDigit() || c == u'-' || c == u'+' || c == u'.') {
            qsizetype at = pos;
            if (std::optional<double> n = scanNumber(text, at, false)) {
                numbers.append(std::isfinite(static_cast<float>(*n)) ? double(static_cast<float>(*n)) : 0.0);
                pos = at;
                continue;
            }
        }
        ++pos;
    }
    return numbers;
}

namespace {
double nth(const QList<double> &numbers, int i)
{
    return i < numbers.size() ? numbers.at(i) : 0.0;
}
} // namespace

QString serializeRect(const QRectF &r)
{
    return QStringLiteral("{{%1, %2}, {%3, %4}}")
        .arg(floatText(r.x()), floatText(r.y()), floatText(r.width()), floatText(r.height()));
}

QRectF unserializeRect(const QString &text)
{
    const QList<double> n = numbersInText(text, 4);
    return QRectF(nth(n, 0), nth(n, 1), nth(n, 2), nth(n, 3));
}

QString serializeSize(const QSizeF &size)
{
    return QStringLiteral("{%1, %2}").arg(floatText(size.width()), floatText(size.height()));
}

QSizeF unserializeSize(const QString &text)
{
    const QList<double> n = numbersInText(text, 2);
    return QSizeF(nth(n, 0), nth(n, 1));
}

QString serializePoint(const QPointF &point)
{
    return QStringLiteral("{%1, %2}").arg(floatText(point.x()), floatText(point.y()));
}

QPointF unserializePoint(const QString &text)
{
    const QList<double> n = numbersInText(text, 2);
    return QPointF(nth(n, 0), nth(n, 1));
}

QString serializeRange(qint64 location, qint64 length)
{
    return QStringLiteral("{%1, %2}").arg(location).arg(length);
}

std::pair<qint64, qint64> unserializeRange(const QString &text)
{
    const QList<double> n = numbersInText(text, 2);
    return {qint64(nth(n, 0)), qint64(nth(n, 1))};
}

QByteArray serializeColor(const QColor &color)
{
    return ArchivedColor::archive(color);
}

std::optional<QColor> unserializeColor(const QByteArray &data)
{
    if (data.isEmpty())
        return std::nullopt;
    return ArchivedColor::unarchive(data);
}

std::optional<QColor> colorFromValue(const Value &value)
{
    if (value.isData())
        return unserializeColor(value.toData());
    return ArchivedColor::fromValue(value);
}

QString serializeGradient(const QList<QColor> &stops)
{
    QStringList parts;
    for (const QColor &stop : stops)
        parts.append(QLatin1Char('<') + QString::fromLatin1(serializeColor(stop).toHex()) + QLatin1Char('>'));
    return QLatin1Char('{') + parts.join(QStringLiteral(", ")) + QLatin1Char('}');
}

QList<QColor> unserializeGradient(const QString &text)
{
    if (text.size() <= 2)
        return {};
    const QString inside = text.mid(1, text.size() - 2);
    QList<QColor> stops;
    for (QString part : inside.split(QStringLiteral(", "))) {
        part = part.trimmed();
        if (part.startsWith(u'<') && part.endsWith(u'>'))
            part = part.mid(1, part.size() - 2);
        const QByteArray data = QByteArray::fromHex(part.toLatin1());
        const std::optional<QColor> color = unserializeColor(data);
        // A stop that is not a colour makes the whole gradient unreadable: no gradient rather than a wrong one.
        if (!color)
            return {};
        stops.append(*color);
    }
    return stops;
}

QByteArray serializeImage(const QImage &image)
{
    return ImageBytes::write(image, "tiff");
}

QImage unserializeImage(const QByteArray &data)
{
    // A stored image larger than a poster is not a form picture: it reads as none.
    return ImageBytes::read(data);
}

Value serializeAttributedString(const QTextDocument &document)
{
    return RichTextCodec::encode(document);
}

void unserializeAttributedString(const Value &stored, QTextDocument &document)
{
    if (stored.isString()) {
        document.setPlainText(stored.toString());
        return;
    }
    // A value that is not a readable document leaves the title empty rather than half read.
    if (!stored.isDict() || !RichTextCodec::decode(stored, document))
        document.clear();
}

Value attributedStringFromPlainText(const QString &text)
{
    QTextDocument document;
    document.setPlainText(text);
    return RichTextCodec::encode(document);
}

QString plainTextOfAttributedString(const Value &stored)
{
    if (stored.isString())
        return stored.toString();
    if (!stored.isDict())
        return QString();
    QTextDocument document;
    unserializeAttributedString(stored, document);
    return document.toPlainText();
}

Value replacingTextOfAttributedString(const Value &stored, const QString &text)
{
    QTextDocument document;
    unserializeAttributedString(stored, document);
    QTextCursor start(&document);
    const QTextBlockFormat blockFormat = start.blockFormat();
    if (!document.isEmpty())
        start.movePosition(QTextCursor::NextCharacter);
    const QTextCharFormat charFormat = start.charFormat();
    document.clear();
    QTextCursor cursor(&document);
    cursor.setBlockFormat(blockFormat);
    cursor.setBlockCharFormat(charFormat);
    cursor.insertText(text, charFormat);
    return RichTextCodec::encode(document);
}

Value normalizedAttributedString(const Value &stored)
{
    QTextDocument document;
    unserializeAttributedString(stored, document);
    return RichTextCodec::encode(document);
}
} // namespace FDSerializationServices
