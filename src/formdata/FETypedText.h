// FETypedText: the value a control would hold after a user typed or chose `text` in it, without a widget
// (the command-line tool writes through controls this way).
#pragma once

#include "FEBinding.h"

#include <QString>
#include <optional>

class OXDatabase;

namespace FETypedText {
// The value the control of `className` (with its archived `control`) gives for the text, bound to `field` of
// `table`; nullopt when the control could not take the text (a choice it does not offer, a date it cannot
// read), as a user could not have entered it.
std::optional<FEControlValue> valueForText(const QString &className, const Value &control, const QString &text,
                                           const OXDatabase &database, const QString &table, const QString &field);
} // namespace FETypedText
