// LMIcons: the application's images by resource name ("Tables 16", "SB2_Plus"), read from resources/icons.
#pragma once

#include <QIcon>
#include <QString>

namespace LMIcons {
// The icon of that name; an empty icon when the resource is missing.
QIcon icon(const QString &name);
} // namespace LMIcons
