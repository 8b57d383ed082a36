// LMIcons: looks up "<name>.svg" then "<name>.png" under the resource folder's icons/, caching the result.
#include "LMIcons.h"

#include "Resources.h"

#include <QFileInfo>
#include <QHash>

QIcon LMIcons::icon(const QString &name)
{
    static QHash<QString, QIcon> cache;
    const auto it = cache.constFind(name);
    if (it != cache.constEnd())
        return *it;
    QIcon result;
    for (const char *extension : {".svg", ".png"}) {
        const QString path = Resources::path(QStringLiteral("icons/") + name + QLatin1String(extension));
        if (QFileInfo::exists(path)) {
            result = QIcon(path);
            break;
        }
    }
    cache.insert(name, result);
    return result;
}
