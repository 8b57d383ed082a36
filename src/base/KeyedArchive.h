// KeyedArchive: the standard keyed-archive layout ($archiver, $version, $top, $objects) over a binary property list.
#pragma once

#include "Value.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Layout written: {"$version": 100000, "$archiver": "NSKeyedArchiver", "$top": {key: UID}, "$objects": [...]},
// with "$null" first in $objects (UID 0 is nil). Strings, numbers, data and UIDs are plain $objects entries
// (equal ones stored once); dates, arrays, dictionaries, objects and images are records with a "$class" UID
// pointing at a class record {"$classes": [...], "$classname": name}, one per class name.
// - Object(className, attrs): one record whose attribute keys are stored directly, every value by UID
//   (a key starting with "$" is stored with one more "$" in front). Reading also accepts inline scalars.
// - Image: an "NSImage" record whose "TIFFRepresentation" holds the TIFF bytes.
// A container referenced twice is stored once and unarchives as one shared container. A container that contains
// itself cannot be archived, and an archive whose references form a cycle is rejected.
namespace KeyedArchive {
// Archives one root value under a root key of $top (the usual key is "key", some callers use "root").
// Empty on failure, with *error set.
QByteArray archive(const Value &root, const QString &rootKey = QStringLiteral("root"), QString *error = nullptr);
std::optional<Value> unarchive(const QByteArray &bytes, const QString &rootKey = QStringLiteral("root"),
                               QString *error = nullptr);
// Archives a dictionary whose every key becomes a key of $top, in the dictionary's order.
QByteArray archiveTop(const Value &topDictionary, QString *error = nullptr);
// The dictionary of every $top key, decoded, in $top order.
std::optional<Value> unarchiveTop(const QByteArray &bytes, QString *error = nullptr);
} // namespace KeyedArchive
