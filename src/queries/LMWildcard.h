// LMWildcard: case-insensitive matching of a whole text against a pattern whose "*" and "?" are wildcards.
#pragma once

#include <QString>

namespace LMWildcard {
// "*" stands for any run of characters (also none), "?" for exactly one; everything else is literal and
// compared without regard to case. The pattern must cover the whole text.
bool matches(const QString &pattern, const QString &text);
// Whether `text` contains `needle` in the sense of the pattern "*needle*" (the needle's wildcards still count).
bool contains(const QString &needle, const QString &text);
} // namespace LMWildcard
