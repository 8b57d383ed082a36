// HVFileWrapper: reading a file into a wrapper and its archived form.
#include "HVFileWrapper.h"

#include "KeyedArchive.h"
#include "Ui.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QMimeDatabase>
#include <QPainter>
#include <QSaveFile>

namespace {
const QString kRootKey = QStringLiteral("key");
const int kIconSize = 32;

// A plain document shape, used where the desktop theme offers no icon (or no GUI is running).
QImage genericIcon()
{
    QImage image(kIconSize, kIconSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(QColor(90, 90, 90));
    painter.setBrush(Qt::white);
    painter.drawRect(6, 2, 20, 27);
    painter.drawLine(10, 10, 22, 10);
    painter.drawLine(10, 15, 22, 15);
    painter.drawLine(10, 20, 22, 20);
    return image;
}

QImage iconForFile(const QString &path)
{
    // QIcon needs a running GUI application; the command-line tool has none.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        const QMimeType mime = QMimeDatabase().mimeTypeForFile(path);
        QIcon icon = QIcon::fromTheme(mime.iconName());
        if (icon.isNull())
            icon = QIcon::fromTheme(mime.genericIconName());
        if (!icon.isNull()) {
            const QImage image = icon.pixmap(kIconSize, kIconSize).toImage();
            if (!image.isNull())
                return image;
        }
    }
    return genericIcon();
}
} // namespace

std::optional<HVFileWrapper> HVFileWrapper::fromPath(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Read straight from the file: attachments can be large and are not kept anywhere else.
    HVFileWrapper wrapper;
    wrapper.data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    wrapper.path = path;
    wrapper.name = QFileInfo(path).fileName();
    wrapper.icon = iconForFile(path);
    return wrapper;
}

Value HVFileWrapper::toValue() const
{
    return Value::object(className, Value::dict({{QStringLiteral("name"), Value(name)},
                                                 {QStringLiteral("path"), Value(path)},
                                                 {QStringLiteral("icon"), icon.isNull() ? Value() : Value(icon)},
                                                 {QStringLiteral("data"), Value(data)}}));
}

bool HVFileWrapper::isWrapperValue(const Value &value)
{
    return value.isObject() && value.className() == className;
}

std::optional<HVFileWrapper> HVFileWrapper::fromValue(const Value &value)
{
    if (!isWrapperValue(value))
        return std::nullopt;
    const Value attributes = value.attributes();
    HVFileWrapper wrapper;
    wrapper.name = attributes.value(QStringLiteral("name")).toString();
    wrapper.path = attributes.value(QStringLiteral("path")).toString();
    wrapper.icon = attributes.value(QStringLiteral("icon")).toImage();
    wrapper.data = attributes.value(QStringLiteral("data")).toData();
    return wrapper;
}

QByteArray HVFileWrapper::archivedData() const
{
    return KeyedArchive::archive(toValue(), kRootKey);
}

std::optional<HVFileWrapper> HVFileWrapper::wrapperWithArchivedData(const QByteArray &bytes)
{
    const std::optional<Value> root = KeyedArchive::unarchive(bytes, kRootKey);
    if (!root)
        return std::nullopt;
    return fromValue(*root);
}

bool HVFileWrapper::operator==(const HVFileWrapper &o) const
{
    return name == o.name && path == o.path && data == o.data &&
           icon.convertToFormat(QImage::Format_ARGB32) == o.icon.convertToFormat(QImage::Format_ARGB32);
}

bool HVFileWrapper::exportThroughSavePanel(QWidget *window) const
{
    FilePanelOptions options;
    options.title = QStringLiteral("Export Attachment");
    options.suggestedName = name;
    const QString target = Ui::instance().runSavePanel(options, window);
    if (target.isEmpty())
        return false;
    // Written beside and renamed, so a failed export never leaves half a file in place of an existing one.
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        Ui::instance().runAlert(Alert::make(QStringLiteral("The attachment could not be exported."),
                                            QStringLiteral("\"%1\" could not be written.").arg(target)),
                                window);
        return false;
    }
    return true;
}
