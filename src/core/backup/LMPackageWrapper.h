// LMPackageWrapper: a file wrapper of a whole package folder, as a value that crosses processes.
#pragma once

#include "Value.h"

#include <QString>

// The wrapper is the archived object "HVFileWrapper" with "NSFilename" (the folder's name), "Path" (where it
// was read) and "Directory" true; its "Children" map each entry's name to a nested wrapper, a file's wrapper
// holding its bytes under "Data". A package larger than the inline limit travels by its "Path" alone.
namespace LMPackageWrapper {
inline constexpr qint64 kInlineLimit = 32 * 1024 * 1024;

Value wrap(const QString &directory, QString *error = nullptr, qint64 inlineLimit = kInlineLimit);
bool isDirectoryWrapper(const Value &wrapper);
QString name(const Value &wrapper);
QString path(const Value &wrapper);
// Whether the bytes travel inside the wrapper (else the agent reads them from "Path").
bool hasContents(const Value &wrapper);
// Writes the wrapper's tree into the new folder `destination` (which must not exist yet).
bool write(const Value &wrapper, const QString &destination, QString *error = nullptr);
} // namespace LMPackageWrapper
