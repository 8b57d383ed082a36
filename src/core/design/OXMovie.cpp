// OXMovie: reading a media file into a movie value and its archived form.
#include "OXMovie.h"

#include "KeyedArchive.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>

namespace {
const QString kRootKey = QStringLiteral("key");
}

std::optional<OXMovie> OXMovie::fromPath(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    OXMovie movie;
    movie.data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    movie.fileName = QFileInfo(path).fileName();
    movie.type = QMimeDatabase().mimeTypeForFileNameAndData(path, movie.data).name();
    return movie;
}

Value OXMovie::toValue() const
{
    return Value::object(className, Value::dict({{QStringLiteral("name"), Value(fileName)},
                                                 {QStringLiteral("type"), Value(type)},
                                                 {QStringLiteral("data"), Value(data)}}));
}

bool OXMovie::isMovieValue(const Value &value)
{
    return value.isObject() && value.className() == className;
}

std::optional<OXMovie> OXMovie::fromValue(const Value &value)
{
    if (!isMovieValue(value))
        return std::nullopt;
    const Value attributes = value.attributes();
    OXMovie movie;
    movie.fileName = attributes.value(QStringLiteral("name")).toString();
    movie.type = attributes.value(QStringLiteral("type")).toString();
    movie.data = attributes.value(QStringLiteral("data")).toData();
    return movie;
}

QByteArray OXMovie::archivedData() const
{
    return KeyedArchive::archive(toValue(), kRootKey);
}

std::optional<OXMovie> OXMovie::fromArchivedData(const QByteArray &bytes)
{
    const std::optional<Value> root = KeyedArchive::unarchive(bytes, kRootKey);
    if (!root)
        return std::nullopt;
    return fromValue(*root);
}
