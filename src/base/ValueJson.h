// ValueJson: stored values as JSON and back, the one converter behind every JSON the command line prints or reads.
//
// Plain JSON carries strings, booleans, integers, arrays and dictionaries as they are. The other kinds are
// tagged so that what is printed reads back unchanged: {"$real": 5} (a whole real number), {"$data": BASE64},
// {"$date": SECONDS}, {"$uid": N}, {"$image": BASE64}, {"$class": NAME, "$attributes": {...}} (an archived
// object) and {"$dict": {...}} (a dictionary with a key that starts with "$"). Where archives are shown decoded,
// data holding a single-object archive (root key "key") is written as {"$color": [r, g, b, a]} for a colour
// and {"$archive": ROOT} for anything else that archives back to the same values.
#pragma once

#include "Value.h"

#include <QJsonValue>
#include <QString>
#include <optional>

namespace ValueJson {
struct Options {
    // Single-object archives in data shown decoded ("$color", "$archive") instead of as their bytes.
    bool decodeArchives = false;
    // The image file format of "$image" (designs use PNG; forms keep their images as TIFF).
    const char *imageFormat = "PNG";
};
// The options forms are shown with: archives decoded, images as TIFF.
inline Options formOptions()
{
    return Options{true, "TIFF"};
}

QJsonValue toJson(const Value &value, const Options &options = Options());
// Nullopt (with `error`) for JSON that cannot be a stored value (nested too deeply, an archive that does not
// archive). Any tag is read, whichever options wrote it; an image in any format Qt reads.
std::optional<Value> fromJson(const QJsonValue &json, QString *error = nullptr);
} // namespace ValueJson
