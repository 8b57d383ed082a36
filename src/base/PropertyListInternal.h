// PropertyListInternal: helpers the plist writers and the keyed archiver share (container identity, TIFF images).
#pragma once

#include "Value.h"

#include <QHash>
#include <QList>
#include <optional>
#include <utility>

namespace PropertyListInternal {

// Maps containers, by identity, to an index. Value exposes identity only as isSameContainer, so containers
// are bucketed by a shallow content hash and told apart by identity inside a bucket.
class ContainerIdentity {
public:
    std::optional<quint64> find(const Value &container) const;
    void insert(const Value &container, quint64 index);

private:
    static size_t shallowHash(const Value &container);
    QHash<size_t, QList<std::pair<Value, quint64>>> m_buckets;
};

QByteArray imageToTiff(const QImage &image);
// Null when the bytes are not a readable image.
std::optional<QImage> imageFromTiff(const QByteArray &bytes);
// The dictionary an image stands for where only plain values can be stored.
Value imageAttributes(const QImage &image);

QByteArray writeBinary(const Value &root, QString *error);
QByteArray writeXml(const Value &root, QString *error);

} // namespace PropertyListInternal
