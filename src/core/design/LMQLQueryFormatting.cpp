// OXDatabase: display formatting, forwarded to DisplayFormatter with the field's design from the catalogue.
#include "OXDatabase.h"

FieldFormatter OXDatabase::formatterForTable(const QString &table, const QString &column) const
{
    return DisplayFormatter::formatterForField(fieldForTable(table, column));
}

FormattedText OXDatabase::textFormatString(const QString &text, const QString &table, const QString &column) const
{
    return DisplayFormatter::textFormatString(text, fieldForTable(table, column));
}

FormattedText OXDatabase::addFormattingToObject(const Value &value, const QString &table, const QString &column) const
{
    return DisplayFormatter::addFormattingToObject(value, fieldForTable(table, column));
}

Value OXDatabase::removeFormattingFromString(const QString &text, const QString &table, const QString &column) const
{
    return DisplayFormatter::removeFormattingFromString(text, fieldForTable(table, column));
}
