// Base64 in the one form stored everywhere: standard alphabet, "=" padding, no line breaks.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace Base64 {
QString encode(const QByteArray &bytes);
// Null when the text is not valid Base64.
std::optional<QByteArray> decode(const QString &text);
// Decodes leniently: invalid input gives empty bytes.
QByteArray decodeOrEmpty(const QString &text);
} // namespace Base64
