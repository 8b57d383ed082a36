// FormattedText: the display text of a cell value with the field's opaque text attributes.
#pragma once

#include "Value.h"

#include <QString>

struct FormattedText {
    QString text;
    // The field's "Text Attributes" dictionary, or null when the text carries none.
    Value attributes;

    bool hasAttributes() const { return !attributes.isNull(); }
    bool operator==(const FormattedText &o) const { return text == o.text && attributes == o.attributes; }
};
