// OXDatabase: value conversion, forwarded to ValueCodec with the field's type from the catalogue.
#include "OXDatabase.h"

#include "ValueCodec.h"

QString OXDatabase::stringFromDate(const Value &date)
{
    return ValueCodec::stringFromDate(date);
}

Value OXDatabase::dateFromString(const QString &text)
{
    return ValueCodec::dateFromString(text);
}

QString OXDatabase::listFromArray(const Value &array)
{
    return ValueCodec::listFromArray(array);
}

Value OXDatabase::arrayFromList(const QString &list)
{
    return ValueCodec::arrayFromList(list);
}

QString OXDatabase::yesNoFromBool(bool value)
{
    return ValueCodec::yesNoFromBool(value);
}

bool OXDatabase::boolFromYesNo(const QString &text)
{
    return ValueCodec::boolFromYesNo(text);
}

std::optional<QByteArray> OXDatabase::dataForNativeObjectOfType(const Value &value, const QString &datatype)
{
    return ValueCodec::dataForNativeObject(value, Datatypes::fromName(datatype));
}

std::optional<QByteArray> OXDatabase::dataForNativeObject(const Value &value, const QString &table,
                                                          const QString &column) const
{
    return ValueCodec::dataForNativeObject(value, catalogue().datatypeForTable(table, column));
}

QString OXDatabase::nativeToDb(const Value &value, const QString &datatype, bool shouldEscape)
{
    return ValueCodec::nativeToDb(value, datatype, shouldEscape);
}

QString OXDatabase::nativeToDbForTable(const Value &value, const QString &table, const QString &column,
                                       bool shouldEscape) const
{
    return ValueCodec::nativeToDbForField(value, fieldForTable(table, column), shouldEscape);
}

Value OXDatabase::dbToNative(const QString &text, const QString &datatype)
{
    return ValueCodec::dbToNative(text, datatype);
}

Value OXDatabase::dbToNativeForTable(const QString &text, const QString &table, const QString &column) const
{
    return ValueCodec::dbToNative(text, catalogue().datatypeForTable(table, column));
}
