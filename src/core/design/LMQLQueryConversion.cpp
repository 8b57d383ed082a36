// OXDatabase: conversion of cell values between their native form and the text stored in SQLite.
#include "OXDatabase.h"

#include "Base64.h"
#include "HVFileWrapper.h"
#include "OXMovie.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QLoggingCategory>
#include <cmath>

Q_LOGGING_CATEGORY(lcDesign, "orvix.design", QtWarningMsg)

namespace {
const QString kListJoin = QStringLiteral(", ");

// The text of a value handed to a datatype whose native value is text: strings as they are, numbers in
// their standard form; any other kind has no text (nil).
QString textOf(const Value &value)
{
    if (value.isString())
        return value.toString();
    if (value.isNumber())
        return value.stringValue();
    return QString();
}

std::optional<QByteArray> tiffData(const QImage &image)
{
    if (image.isNull())
        return std::nullopt;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "tiff");
    // LZW: still TIFF for every reader, a fraction of the size for pictures with flat areas.
    writer.setCompression(1);
    if (!writer.write(image))
        return std::nullopt;
    return bytes;
}

QImage imageFromData(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return reader.read();
}
} // namespace

QString OXDatabase::stringFromDate(const Value &date)
{
    return QString::number(static_cast<qint64>(std::llround(date.toDate())));
}

Value OXDatabase::dateFromString(const QString &text)
{
    return Value::date(std::round(Value(text).toDouble()));
}

QString OXDatabase::listFromArray(const Value &array)
{
    return array.toStringList().join(kListJoin);
}

Value OXDatabase::arrayFromList(const QString &list)
{
    return Value(list.split(kListJoin));
}

QString OXDatabase::yesNoFromBool(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

bool OXDatabase::boolFromYesNo(const QString &text)
{
    if (text == QLatin1String("1") || text == QLatin1String("YES"))
        return true;
    if (text != QLatin1String("0") && text != QLatin1String("NO"))
        qCDebug(lcDesign) << "BOOL parse error";
    return false;
}

std::optional<QByteArray> OXDatabase::dataForNativeObjectOfType(const Value &value, const QString &datatype)
{
    if (datatype == QLatin1String("Image") && value.isImage())
        return tiffData(value.toImage());
    QByteArray archive;
    if ((datatype == QLatin1String("Audio") || datatype == QLatin1String("Video")) && OXMovie::isMovieValue(value))
        archive = OXMovie::fromValue(value)->archivedData();
    else if (datatype == QLatin1String("Attachment") && HVFileWrapper::isWrapperValue(value))
        archive = HVFileWrapper::fromValue(value)->archivedData();
    // An archive that could not be written comes back empty.
    if (archive.isEmpty())
        return std::nullopt;
    return archive;
}

std::optional<QByteArray> OXDatabase::dataForNativeObject(const Value &value, const QString &table,
                                                          const QString &column) const
{
    return dataForNativeObjectOfType(value, typeForTable(table, column));
}

QString OXDatabase::nativeToDb(const Value &value, const QString &datatype, bool shouldEscape)
{
    if (value.isNull())
        return QStringLiteral("");
    QString result;
    bool handled = true;
    if (datatype == QLatin1String("Primary Key") || datatype == QLatin1String("Text") ||
        datatype == QLatin1String("File Path") || datatype == QLatin1String("Relationship")) {
        result = textOf(value);
    } else if (datatype == QLatin1String("Number") && (value.isNumber() || value.isString())) {
        result = Value::numberText(value.toDouble());
    } else if (datatype == QLatin1String("Date") && value.isDate()) {
        result = stringFromDate(value);
    } else if (datatype == QLatin1String("Yes/No") && (value.isNumber() || value.isString())) {
        result = yesNoFromBool(value.toBool());
    } else if (datatype == QLatin1String("List") && value.isArray()) {
        result = listFromArray(value);
    } else if (datatype == QLatin1String("Options") && value.isString()) {
        result = value.toString();
    } else if (const std::optional<QByteArray> media = dataForNativeObjectOfType(value, datatype)) {
        result = Base64::encode(*media);
    } else {
        handled = false;
    }
    // A value of the wrong class (or an unknown datatype) survives only as text.
    if (!handled)
        result = value.isString() ? value.toString() : QString();
    if (shouldEscape && !result.isNull())
        result = prepareStringForQuery(result);
    return result;
}

QString OXDatabase::nativeToDbForTable(const Value &value, const QString &table, const QString &column,
                                       bool shouldEscape) const
{
    const QString type = typeForTable(table, column);
    Value native = value;
    if (type == QLatin1String("Options") && value.isNumber() && !value.isBool()) {
        // A chooser hands over the index of the chosen option.
        const Value options = objectForKey(QStringLiteral("Options"), table, column);
        native = options.at(static_cast<int>(value.toInt()));
    }
    return nativeToDb(native, type, shouldEscape);
}

Value OXDatabase::dbToNative(const QString &text, const QString &datatype)
{
    if (text.isEmpty())
        return Value();
    if (datatype == QLatin1String("Primary Key") || datatype == QLatin1String("Text") ||
        datatype == QLatin1String("Options") || datatype == QLatin1String("File Path") ||
        datatype == QLatin1String("Relationship"))
        return Value(text);
    if (datatype == QLatin1String("Number"))
        return Value(Value(text).toDouble());
    if (datatype == QLatin1String("Date"))
        return dateFromString(text);
    if (datatype == QLatin1String("Yes/No"))
        return Value(boolFromYesNo(text));
    if (datatype == QLatin1String("List"))
        return arrayFromList(text);
    if (datatype == QLatin1String("Image")) {
        const QImage image = imageFromData(Base64::decodeOrEmpty(text));
        return image.isNull() ? Value() : Value(image);
    }
    if (datatype == QLatin1String("Audio") || datatype == QLatin1String("Video")) {
        const std::optional<OXMovie> movie = OXMovie::fromArchivedData(Base64::decodeOrEmpty(text));
        return movie ? movie->toValue() : Value();
    }
    if (datatype == QLatin1String("Attachment")) {
        const std::optional<HVFileWrapper> wrapper =
            HVFileWrapper::wrapperWithArchivedData(Base64::decodeOrEmpty(text));
        return wrapper ? wrapper->toValue() : Value();
    }
    return Value();
}

Value OXDatabase::dbToNativeForTable(const QString &text, const QString &table, const QString &column) const
{
    return dbToNative(text, typeForTable(table, column));
}
