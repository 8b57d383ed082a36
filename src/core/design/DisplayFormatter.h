// DisplayFormatter: the text a cell value shows by its field's design, and the value pasted display text gives.
#pragma once

#include "FormattedText.h"
#include "Value.h"

#include <QString>
#include <memory>

class DateFormatter;
class NumberFormatter;

// The formatter of one field: a number formatter for "Number", a date formatter for "Date", else neither.
struct FieldFormatter {
    std::shared_ptr<NumberFormatter> number;
    std::shared_ptr<DateFormatter> date;

    bool isNull() const { return !number && !date; }
    QString format(const Value &value) const;
    // The native value of display text; null when the text does not parse.
    Value parse(const QString &text) const;
};

// Each call reads only the field design dictionary it is given (null for a missing field).
namespace DisplayFormatter {
FieldFormatter formatterForField(const Value &field);
// The text with the field's "Text Attributes", when it has a dictionary of them.
FormattedText textFormatString(const QString &text, const Value &field);
FormattedText addFormattingToObject(const Value &value, const Value &field);
Value removeFormattingFromString(const QString &text, const Value &field);
} // namespace DisplayFormatter
