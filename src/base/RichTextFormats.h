// RichTextFormats: text format properties to and from the named dictionaries of the stored rich text.
#pragma once

#include "Value.h"

#include <QTextFormat>

namespace RichTextFormats {
// The known properties that are set on the format; internal ones (object index, table columns, cell spans) are
// left to the document's structure.
Value encode(const QTextFormat &format);
// Sets every known property of the dictionary on the format. False, with *error set, when a value has the wrong
// kind or the dictionary is not one.
bool apply(const Value &properties, QTextFormat &format, QString *error);
} // namespace RichTextFormats
