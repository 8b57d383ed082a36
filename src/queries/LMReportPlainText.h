// LMReportPlainText: the characters of a report's "Attributed String", whatever form it is stored in.
#pragma once

#include "Value.h"

#include <QString>

namespace LMReportPlainText {
// The plain text of a stored rich text: the rich-text codec's dictionary by its paragraphs, a string as it is,
// an archived object by its string attribute, data as HTML or as UTF-8 text. "" for anything else.
QString plainText(const Value &attributedString);
} // namespace LMReportPlainText
