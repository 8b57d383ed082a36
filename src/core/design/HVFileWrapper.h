// HVFileWrapper: the native value of "Attachment" cells: one file's name, path, icon and bytes.
#pragma once

#include "Value.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>

class QWidget;

class HVFileWrapper {
public:
    static inline const QString className = QStringLiteral("HVFileWrapper");

    QString name; // the file's last path component
    QString path;
    QImage icon;
    QByteArray data;

    // Reads the file at `path` (initWithPath:); nullopt when it cannot be read.
    static std::optional<HVFileWrapper> fromPath(const QString &path);

    // The keyed archive of the wrapper under the root key "key".
    QByteArray archivedData() const;
    static std::optional<HVFileWrapper> wrapperWithArchivedData(const QByteArray &bytes);

    // The class-tagged value views and scripts pass around.
    Value toValue() const;
    static std::optional<HVFileWrapper> fromValue(const Value &value);
    static bool isWrapperValue(const Value &value);

    bool operator==(const HVFileWrapper &o) const;

    // "Export Attachment": asks where to save the bytes and writes them there, or alerts when they cannot be
    // written. False when cancelled or failed.
    bool exportThroughSavePanel(QWidget *window) const;
};
