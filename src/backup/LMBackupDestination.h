// LMBackupDestination: where the agent puts copies: a local folder or a server reached through libcurl.
#pragma once

#include "Value.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

class LMBackupDestination {
public:
    virtual ~LMBackupDestination() = default;
    // Whether a copy is a folder (local) or one tar file (servers).
    virtual bool storesFolders() const = 0;
    // Writes the package under `temporaryName`, then renames it to `finalName` once complete.
    virtual bool putFolder(const Value &wrapper, const QString &temporaryName, const QString &finalName,
                           QString *error) = 0;
    virtual bool putFile(const QByteArray &bytes, const QString &temporaryName, const QString &finalName,
                         QString *error) = 0;
    // Names of the entries in the destination folder; false when it cannot be listed.
    virtual bool list(QStringList *names, QString *error) = 0;
    virtual bool remove(const QString &name, QString *error) = 0;

    // A destination for the definition's kind, or null with *error saying why that kind is not served.
    static std::unique_ptr<LMBackupDestination> forDefinition(const Value &definition, QString *error);
};
