// FDControlArchiver: controls (and colours and the pasteboard payload) as keyed archives under the root key "key".
#pragma once

#include "Value.h"

#include <QByteArray>
#include <QString>
#include <optional>

// A control is an archived object: its stored class name plus the attributes it encodes.
namespace FDControlArchiver {
QByteArray archiveControl(const Value &control);
// Null when the data cannot be decoded; the error is logged.
std::optional<Value> unarchiveControl(const QByteArray &data);
// The entry named `name` in `definitions` unarchived from its "Default" data.
std::optional<Value> defaultControlWithName(const QString &name, const Value &definitions);
} // namespace FDControlArchiver

// The two directions as a value transformer: forward unarchives, reverse archives.
class FDControlArchiverTransformer {
public:
    static bool allowsReverseTransformation() { return true; }
    static Value transformedValue(const Value &data);
    static Value reverseTransformedValue(const Value &control);
};
