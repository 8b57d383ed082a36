// OXDatabase: display text of cell values and the reverse reading of pasted display text.
#include "DesignVocabulary.h"
#include "OXDatabase.h"

#include "DateFormatter.h"
#include "NumberFormatter.h"

namespace {
const QString kTextAttributes = QStringLiteral("Text Attributes");
const QString kListSeparator = QStringLiteral("List Separator");
// The stored list form; used when a field names no separator of its own.
const QString kDefaultListSeparator = QStringLiteral(", ");

QString listSeparator(const Value &field)
{
    const Value separator = field.value(kListSeparator);
    return separator.isString() && !separator.toString().isEmpty() ? separator.toString() : kDefaultListSeparator;
}

} // namespace

QString FieldFormatter::format(const Value &value) const
{
    if (number)
        return number->format(value.toDouble());
    if (date)
        return date->format(value.toDate());
    return value.stringValue();
}

Value FieldFormatter::parse(const QString &text) const
{
    if (number) {
        const std::optional<double> parsed = number->parse(text);
        return parsed ? Value(*parsed) : Value();
    }
    if (date) {
        const std::optional<double> parsed = date->parse(text);
        return parsed ? Value::date(*parsed) : Value();
    }
    return Value(text);
}

FieldFormatter OXDatabase::formatterForTable(const QString &table, const QString &column) const
{
    const Value field = fieldForTable(table, column);
    const QString type = field.value(QStringLiteral("Type")).toString();
    FieldFormatter formatter;
    if (type == QLatin1String("Number"))
        formatter.number = std::make_shared<NumberFormatter>(field.value(QStringLiteral("Format")).toString());
    else if (type == QLatin1String("Date"))
        formatter.date = std::make_shared<DateFormatter>(
            DateFormatter::forField(field.value(QStringLiteral("Date Format")).toString(),
                                    field.value(QStringLiteral("Time Format")).toString()));
    return formatter;
}

FormattedText OXDatabase::textFormatString(const QString &text, const QString &table, const QString &column) const
{
    const Value attributes = objectForKey(kTextAttributes, table, column);
    return FormattedText{text, attributes.isDict() ? attributes : Value()};
}

FormattedText OXDatabase::addFormattingToObject(const Value &value, const QString &table, const QString &column) const
{
    if (value.isNull())
        return FormattedText{};
    const Value field = fieldForTable(table, column);
    const QString type = field.value(QStringLiteral("Type")).toString();
    const auto attributed = [&](const QString &text) { return textFormatString(text, table, column); };

    if (type == QLatin1String("Primary Key"))
        return FormattedText{value.toString(), Value()};
    if (type == QLatin1String("Text"))
        return value.isString() ? attributed(value.toString()) : FormattedText{};
    if (type == QLatin1String("Number")) {
        if (!value.isNumber() && !value.isString())
            return FormattedText{};
        return attributed(formatterForTable(table, column).format(Value(value.toDouble())));
    }
    if (type == QLatin1String("Date")) {
        const Value date = value.isString() ? dateFromString(value.toString()) : value;
        if (!date.isDate())
            return FormattedText{};
        return attributed(formatterForTable(table, column).format(date));
    }
    if (type == QLatin1String("Yes/No"))
        return attributed(value.toBool() ? field.value(QStringLiteral("Yes Value")).toString()
                                         : field.value(QStringLiteral("No Value")).toString());
    if (type == QLatin1String("List"))
        return attributed(value.isArray() ? value.toStringList().join(listSeparator(field)) : value.stringValue());
    if (type == QLatin1String("Options"))
        return attributed(value.isString() ? value.toString() : value.description());
    if (Datatypes::isMedia(type))
        return FormattedText{QStringLiteral("<%1>").arg(type.toLower()), Value()};
    if (value.isString())
        return FormattedText{value.toString(), Value()};
    const QString text = value.stringValue();
    return FormattedText{value.isNumber() ? text : value.description(), Value()};
}

Value OXDatabase::removeFormattingFromString(const QString &text, const QString &table, const QString &column) const
{
    const Value field = fieldForTable(table, column);
    const QString type = field.value(QStringLiteral("Type")).toString();
    if (type == QLatin1String("Number") || type == QLatin1String("Date"))
        return formatterForTable(table, column).parse(text);
    if (type == QLatin1String("Yes/No"))
        return Value(text == field.value(QStringLiteral("Yes Value")).toString());
    if (type == QLatin1String("List"))
        return Value(text.split(listSeparator(field)));
    return Value(text);
}
