// PropertyListInternal: helpers the plist writers and the keyed archiver share (container identity, TIFF images).
#pragma once

#include "Value.h"

#include <QHash>
#include <QList>
#include <optional>
#include <utility>

namespace PropertyListInternal {

// Maps containers, by identity, to an index. The containers are kept referenced, so an identity is never reused
// by another container while the map lives.
class ContainerIdentity {
public:
    std::optional<quint64> find(const Value &container) const;
    void insert(const Value &container, quint64 index);

private:
    QHash<const void *, std::pair<Value, quint64>> m_indexes;
};

QByteArray imageToTiff(const QImage &image);
// Null when the bytes are not a readable image.
std::optional<QImage> imageFromTiff(const QByteArray &bytes);
// The dictionary an image stands for where only plain values can be stored.
Value imageAttributes(const QImage &image);

QByteArray writeBinary(const Value &root, QString *error);

// What a decoded tree stands for when every shared container is counted at each place it appears: a reader
// shares a container that is referenced twice, but whoever walks or copies the result meets it every time.
constexpr quint64 maxDecodedObjects = 4'000'000;
constexpr quint64 maxDecodedBytes = quint64(1) << 30;
// False, with `error` set, when `root` stands for more than maxDecodedObjects values or maxDecodedBytes of
// strings and data, or nests deeper than PropertyList::maxDepth through shared containers. Linear in the
// distinct containers, however many times they are shared.
// `rootDepth` -1 measures a container that is no level of its own (the keyed archive's $top).
bool checkDecodedSize(const Value &root, QString *error, int rootDepth = 0);
QByteArray writeXml(const Value &root, QString *error);

} // namespace PropertyListInternal
