// LMCellImages: media cell buttons, cached per name.
#include "LMCellImages.h"

#include "Resources.h"

#include <QFile>
#include <QHash>
#include <QIcon>
#include <QPainter>

namespace {
QString glyphFor(const QString &name)
{
    if (name == QLatin1String("ViewImageButton"))
        return QStringLiteral("IMG");
    if (name == QLatin1String("ViewAudioButton"))
        return QStringLiteral("♪");
    if (name == QLatin1String("ViewVideoButton"))
        return QStringLiteral("▶");
    return QStringLiteral("…");
}

QPixmap drawn(const QString &name)
{
    QPixmap pixmap(26, 14);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(110, 110, 110));
    painter.setBrush(QColor(235, 235, 235));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 25, 13), 4, 4);
    QFont font = painter.font();
    font.setPixelSize(9);
    painter.setFont(font);
    painter.setPen(QColor(60, 60, 60));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, glyphFor(name));
    return pixmap;
}
} // namespace

QPixmap LMCellImages::image(const QString &name)
{
    static QHash<QString, QPixmap> cache;
    auto found = cache.constFind(name);
    if (found != cache.constEnd())
        return *found;
    QPixmap pixmap;
    for (const QString &suffix : {QStringLiteral(".svg"), QStringLiteral(".png")}) {
        const QString path = Resources::path(QStringLiteral("icons/") + name + suffix);
        if (QFile::exists(path)) {
            pixmap = QIcon(path).pixmap(26, 14);
            break;
        }
    }
    if (pixmap.isNull())
        pixmap = drawn(name);
    cache.insert(name, pixmap);
    return pixmap;
}
