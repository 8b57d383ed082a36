// ArchivedColor: colours as class-tagged archive objects (preferences, forms, styles).
#pragma once

#include "Value.h"

#include <QByteArray>
#include <QColor>
#include <optional>

namespace ArchivedColor {
Value toValue(const QColor &color);
std::optional<QColor> fromValue(const Value &value);
// The keyed archive of one colour under the root key "key".
QByteArray archive(const QColor &color);
std::optional<QColor> unarchive(const QByteArray &bytes);
} // namespace ArchivedColor
