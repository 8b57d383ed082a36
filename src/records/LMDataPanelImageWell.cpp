// LMDataPanelImageWell: shows an image scaled into the well and takes image files and pasted images.
#include "LMDataPanelImageWell.h"

#include <QImageReader>
#include <QLabel>
#include <QMimeData>
#include <QPixmap>
#include <QVBoxLayout>

LMDataPanelImageWell::LMDataPanelImageWell(QWidget *parent) : LMDataPanelWell(parent)
{
    m_picture = new QLabel(this);
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setMinimumSize(64, 64);
    m_picture->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    contentLayout()->addWidget(m_picture);
    updatePicture();
}

Value LMDataPanelImageWell::objectValue() const
{
    return m_image.isNull() ? Value() : Value(m_image);
}

void LMDataPanelImageWell::setObjectValue(const Value &value)
{
    m_image = value.isImage() ? value.toImage() : QImage();
    updatePicture();
}

Value LMDataPanelImageWell::valueFromFile(const QString &path) const
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    return image.isNull() ? Value() : Value(image);
}

Value LMDataPanelImageWell::valueFromMimeData(const QMimeData *mime) const
{
    if (!mime || !mime->hasImage())
        return Value();
    const QImage image = qvariant_cast<QImage>(mime->imageData());
    return image.isNull() ? Value() : Value(image);
}

FilePanelOptions LMDataPanelImageWell::openPanelOptions() const
{
    FilePanelOptions options;
    options.title = tr("Choose Image");
    options.nameFilters = {tr("Images (*.png *.jpg *.jpeg *.gif *.bmp *.tif *.tiff *.webp)"), tr("All files (*)")};
    return options;
}

void LMDataPanelImageWell::resizeEvent(QResizeEvent *event)
{
    LMDataPanelWell::resizeEvent(event);
    updatePicture();
}

void LMDataPanelImageWell::updatePicture()
{
    if (m_image.isNull()) {
        m_picture->setPixmap(QPixmap());
        m_picture->setText(tr("Drop an image here"));
        setCaption(QString());
        return;
    }
    const QSize room = m_picture->size().boundedTo(m_image.size());
    m_picture->setPixmap(QPixmap::fromImage(
        m_image.scaled(room.expandedTo(QSize(1, 1)), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    setCaption(tr("%1 × %2").arg(m_image.width()).arg(m_image.height()));
}
