// PropertyList: binary ("bplist00") and XML property lists of Value trees, with bounded, validating readers.
#pragma once

#include "Value.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Value types map one to one, UIDs included. Three kinds have no plist form of their own:
// - Null: the binary writer stores the 0x00 null marker (read back as Null); the XML writer leaves a
//   null array element or dictionary entry out, and a null root becomes an empty <plist/>, which reads as Null.
// - Object: its attributes dictionary is written in its place (the class name is dropped).
// - Image: the dictionary {"TIFFRepresentation": TIFF bytes} is written in its place.
// A container shared by reference is written once in a binary plist and comes back shared.
// Writing fails (empty result and *error set) for a container that contains itself and for nesting deeper
// than maxDepth; reading fails the same way, and for every malformed or truncated input.
namespace PropertyList {
enum class Format { Binary, Xml };

constexpr int maxDepth = 512;

QByteArray write(const Value &root, Format format, QString *error = nullptr);
// Sniffs the format: "bplist" at the start is binary, anything else is read as XML.
std::optional<Value> read(const QByteArray &bytes, QString *error = nullptr);
std::optional<Value> readBinary(const QByteArray &bytes, QString *error = nullptr);
std::optional<Value> readXml(const QByteArray &bytes, QString *error = nullptr);
} // namespace PropertyList
