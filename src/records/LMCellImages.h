// LMCellImages: the button images of media cells ("ViewImageButton", …), from resources or drawn.
#pragma once

#include <QPixmap>
#include <QString>

namespace LMCellImages {
// The image named `name`: resources/icons/<name>.svg or .png when present, else a drawn button.
QPixmap image(const QString &name);
} // namespace LMCellImages
