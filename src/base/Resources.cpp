// Resources: lookup of the resource folder.
#include "Resources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

QString Resources::directory()
{
    const QString fromEnv = qEnvironmentVariable("ORVIX_RESOURCES");
    if (!fromEnv.isEmpty() && QFileInfo(fromEnv).isDir())
        return fromEnv;
    if (QCoreApplication::instance()) {
        const QString installed =
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/orvix"));
        if (QFileInfo(installed).isDir())
            return QDir::cleanPath(installed);
    }
    return QStringLiteral(ORVIX_RESOURCE_DIR);
}

QString Resources::path(const QString &name)
{
    return QDir(directory()).filePath(name);
}

std::optional<QByteArray> Resources::read(const QString &name)
{
    QFile file(path(name));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}
