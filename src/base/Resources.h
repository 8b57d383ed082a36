// Resources: where the application's run-time resource files are found.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace Resources {
// The resource folder: $ORVIX_RESOURCES, else share/orvix beside the program, else the source tree's resources/.
QString directory();
QString path(const QString &name);
std::optional<QByteArray> read(const QString &name);
} // namespace Resources
