// OXMovie: the native value of "Audio" and "Video" cells: a media file's bytes with its name and type.
#pragma once

#include "Value.h"

#include <QByteArray>
#include <QString>
#include <optional>

class OXMovie {
public:
    static inline const QString className = QStringLiteral("OXMovie");

    QByteArray data;  // the file's bytes
    QString fileName; // last path component of the file it came from
    QString type;     // MIME type, e.g. "video/mp4"

    // A movie made from the file at `path`; nullopt when it cannot be read.
    static std::optional<OXMovie> fromPath(const QString &path);

    // The keyed archive of the movie under the root key "key".
    QByteArray archivedData() const;
    static std::optional<OXMovie> fromArchivedData(const QByteArray &bytes);

    Value toValue() const;
    static std::optional<OXMovie> fromValue(const Value &value);
    static bool isMovieValue(const Value &value);

    bool operator==(const OXMovie &o) const { return data == o.data && fileName == o.fileName && type == o.type; }
};
