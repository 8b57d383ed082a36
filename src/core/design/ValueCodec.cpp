// ValueCodec: conversion of cell values between their native form and the text stored in SQLite.
#include "ValueCodec.h"

#include "Base64.h"
#include "HVFileWrapper.h"
#include "OXMovie.h"
#include "QLiteDatabase.h"

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

// The stored text of a value of the right class for the datatype; nullopt for any other value.
std::optional<QString> storedText(const Value &value, Datatype datatype)
{
    switch (datatype) {
    case Datatype::PrimaryKey:
    case Datatype::Text:
    case Datatype::FilePath:
    case Datatype::Relationship: return textOf(value);
    case Datatype::Number:
        if (value.isNumber() || value.isString())
            return Value::numberText(value.toDouble());
        break;
    case Datatype::Date:
        if (value.isDate())
            return ValueCodec::stringFromDate(value);
        break;
    case Datatype::YesNo:
        if (value.isNumber() || value.isString())
            return ValueCodec::yesNoFromBool(value.toBool());
        break;
    case Datatype::List:
        if (value.isArray())
            return ValueCodec::listFromArray(value);
        break;
    case Datatype::Options:
        if (value.isString())
            return value.toString();
        break;
    case Datatype::Image:
    case Datatype::Audio:
    case Datatype::Video:
    case Datatype::Attachment:
        if (const std::optional<QByteArray> media = ValueCodec::dataForNativeObject(value, datatype))
            return Base64::encode(*media);
        break;
    case Datatype::Unknown: break;
    }
    return std::nullopt;
}
} // namespace

namespace ValueCodec {
QString stringFromDate(const Value &date)
{
    return QString::number(static_cast<qint64>(std::llround(date.toDate())));
}

Value dateFromString(const QString &text)
{
    return Value::date(std::round(Value(text).toDouble()));
}

QString listFromArray(const Value &array)
{
    return array.toStringList().join(kListJoin);
}

Value arrayFromList(const QString &list)
{
    return Value(list.split(kListJoin));
}

QString yesNoFromBool(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

bool boolFromYesNo(const QString &text)
{
    if (text == QLatin1String("1") || text == QLatin1String("YES"))
        return true;
    if (text != QLatin1String("0") && text != QLatin1String("NO"))
        qCDebug(lcDesign) << "BOOL parse error";
    return false;
}

std::optional<QByteArray> dataForNativeObject(const Value &value, Datatype datatype)
{
    if (datatype == Datatype::Image && value.isImage())
        return tiffData(value.toImage());
    QByteArray archive;
    if ((datatype == Datatype::Audio || datatype == Datatype::Video) && OXMovie::isMovieValue(value))
        archive = OXMovie::fromValue(value)->archivedData();
    else if (datatype == Datatype::Attachment && HVFileWrapper::isWrapperValue(value))
        archive = HVFileWrapper::fromValue(value)->archivedData();
    // An archive that could not be written comes back empty.
    if (archive.isEmpty())
        return std::nullopt;
    return archive;
}

QString nativeToDb(const Value &value, Datatype datatype, bool shouldEscape)
{
    if (value.isNull())
        return QStringLiteral("");
    // A value of the wrong class (or an unknown datatype) survives only as text.
    QString result = storedText(value, datatype).value_or(value.isString() ? value.toString() : QString());
    if (shouldEscape && !result.isNull())
        result = QLiteDatabase::prepareStringForQuery(result);
    return result;
}

QString nativeToDb(const Value &value, const QString &datatype, bool shouldEscape)
{
    return nativeToDb(value, Datatypes::fromName(datatype), shouldEscape);
}

QString nativeToDbForField(const Value &value, const Value &field, bool shouldEscape)
{
    const Datatype type = Datatypes::fromName(field.value(DesignKey::Type).toString());
    Value native = value;
    if (type == Datatype::Options && value.isNumber() && !value.isBool()) {
        // A chooser hands over the index of the chosen option.
        native = field.value(DesignKey::Options).at(static_cast<int>(value.toInt()));
    }
    return nativeToDb(native, type, shouldEscape);
}

Value dbToNative(const QString &text, Datatype datatype)
{
    if (text.isEmpty())
        return Value();
    switch (datatype) {
    case Datatype::PrimaryKey:
    case Datatype::Text:
    case Datatype::Options:
    case Datatype::FilePath:
    case Datatype::Relationship: return Value(text);
    case Datatype::Number: return Value(Value(text).toDouble());
    case Datatype::Date: return dateFromString(text);
    case Datatype::YesNo: return Value(boolFromYesNo(text));
    case Datatype::List: return arrayFromList(text);
    case Datatype::Image: {
        const QImage image = imageFromData(Base64::decodeOrEmpty(text));
        return image.isNull() ? Value() : Value(image);
    }
    case Datatype::Audio:
    case Datatype::Video: {
        const std::optional<OXMovie> movie = OXMovie::fromArchivedData(Base64::decodeOrEmpty(text));
        return movie ? movie->toValue() : Value();
    }
    case Datatype::Attachment: {
        const std::optional<HVFileWrapper> wrapper =
            HVFileWrapper::wrapperWithArchivedData(Base64::decodeOrEmpty(text));
        return wrapper ? wrapper->toValue() : Value();
    }
    case Datatype::Unknown: break;
    }
    return Value();
}

Value dbToNative(const QString &text, const QString &datatype)
{
    return dbToNative(text, Datatypes::fromName(datatype));
}
} // namespace ValueCodec
