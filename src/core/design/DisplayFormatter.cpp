// DisplayFormatter: display text of cell values and the reverse reading of pasted display text.
#include "DisplayFormatter.h"

#include "DateFormatter.h"
#include "DesignVocabulary.h"
#include "NumberFormatter.h"
#include "ValueCodec.h"

namespace {
// Not one of the keys every field has: only fields given attributes in the design editor carry it.
const QString kTextAttributes = QStringLiteral("Text Attributes");
// The stored list form; used when a field names no separator of its own.
const QString kDefaultListSeparator = QStringLiteral(", ");

QString listSeparator(const Value &field)
{
    const Value separator = field.value(DesignKey::ListSeparator);
    return separator.isString() && !separator.toString().isEmpty() ? separator.toString() : kDefaultListSeparator;
}

Datatype datatypeOf(const Value &field)
{
    return Datatypes::fromName(field.value(DesignKey::Type).toString());
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

namespace DisplayFormatter {
FieldFormatter formatterForField(const Value &field)
{
    FieldFormatter formatter;
    const Datatype type = datatypeOf(field);
    if (type == Datatype::Number)
        formatter.number = std::make_shared<NumberFormatter>(field.value(DesignKey::Format).toString());
    else if (type == Datatype::Date)
        formatter.date = std::make_shared<DateFormatter>(DateFormatter::forField(
            field.value(DesignKey::DateFormat).toString(), field.value(DesignKey::TimeFormat).toString()));
    return formatter;
}

FormattedText textFormatString(const QString &text, const Value &field)
{
    const Value attributes = field.value(kTextAttributes);
    return FormattedText{text, attributes.isDict() ? attributes : Value()};
}

FormattedText addFormattingToObject(const Value &value, const Value &field)
{
    const QString typeName = field.value(DesignKey::Type).toString();
    const Datatype type = Datatypes::fromName(typeName);
    const auto attributed = [&](const QString &text) { return textFormatString(text, field); };
    // A Yes/No never set is No wherever it shows; any other empty value shows nothing.
    if (value.isNull())
        return type == Datatype::YesNo ? attributed(field.value(DesignKey::NoValue).toString()) : FormattedText{};

    switch (type) {
    case Datatype::PrimaryKey: return FormattedText{value.toString(), Value()};
    case Datatype::Text: return value.isString() ? attributed(value.toString()) : FormattedText{};
    case Datatype::Number:
        if (!value.isNumber() && !value.isString())
            return FormattedText{};
        return attributed(formatterForField(field).format(Value(value.toDouble())));
    case Datatype::Date: {
        const Value date = value.isString() ? ValueCodec::dateFromString(value.toString()) : value;
        if (!date.isDate())
            return FormattedText{};
        return attributed(formatterForField(field).format(date));
    }
    case Datatype::YesNo:
        return attributed(value.toBool() ? field.value(DesignKey::YesValue).toString()
                                         : field.value(DesignKey::NoValue).toString());
    case Datatype::List:
        return attributed(value.isArray() ? value.toStringList().join(listSeparator(field)) : value.stringValue());
    case Datatype::Options: return attributed(value.isString() ? value.toString() : value.description());
    case Datatype::Image:
    case Datatype::Audio:
    case Datatype::Video:
    case Datatype::Attachment: return FormattedText{QStringLiteral("<%1>").arg(typeName.toLower()), Value()};
    case Datatype::FilePath:
    case Datatype::Relationship:
    case Datatype::Unknown: break;
    }
    if (value.isString())
        return FormattedText{value.toString(), Value()};
    const QString text = value.stringValue();
    return FormattedText{value.isNumber() ? text : value.description(), Value()};
}

Value removeFormattingFromString(const QString &text, const Value &field)
{
    switch (datatypeOf(field)) {
    case Datatype::Number:
    case Datatype::Date: return formatterForField(field).parse(text);
    case Datatype::YesNo: return Value(text == field.value(DesignKey::YesValue).toString());
    case Datatype::List: return Value(text.split(listSeparator(field)));
    default: return Value(text);
    }
}
} // namespace DisplayFormatter
