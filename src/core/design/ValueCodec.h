// ValueCodec: a cell's native value to the text SQLite stores and back, by datatype.
#pragma once

#include "DesignVocabulary.h"
#include "Value.h"

#include <QByteArray>
#include <QString>
#include <optional>

// A null QString stands for nil throughout. Stored forms: numbers in their standard text, dates as whole
// seconds since the reference date, Yes/No as "1"/"0", lists joined by ", ", media as Base64 of their bytes.
namespace ValueCodec {
// `shouldEscape` doubles quotes for a statement literal. A value of the wrong class (or an unknown datatype)
// survives only as text; a null value is "".
QString nativeToDb(const Value &value, Datatype datatype, bool shouldEscape = true);
QString nativeToDb(const Value &value, const QString &datatype, bool shouldEscape = true);
// As nativeToDb for the field's own type; an "Options" field given a number stores the option at that index.
QString nativeToDbForField(const Value &value, const Value &field, bool shouldEscape = true);
// Empty text and text a media type cannot decode give null.
Value dbToNative(const QString &text, Datatype datatype);
Value dbToNative(const QString &text, const QString &datatype);

// Raw bytes of a media value (TIFF of an image, archive of a movie or file wrapper); nullopt otherwise.
std::optional<QByteArray> dataForNativeObject(const Value &value, Datatype datatype);

QString stringFromDate(const Value &date);
Value dateFromString(const QString &text);
QString listFromArray(const Value &array);
Value arrayFromList(const QString &list);
QString yesNoFromBool(bool value);
// "1" and "YES" are true; anything else false.
bool boolFromYesNo(const QString &text);
} // namespace ValueCodec
