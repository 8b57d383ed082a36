// HVNSImageView: paints the image under its scaling and alignment rules; drops, paste and double-click set it.
#include "HVNSImageView.h"

#include <QApplication>
#include <QClipboard>
#include <QImageReader>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>

HVNSImageView::HVNSImageView(QWidget *parent) : HVFormWell(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setImageFrameStyle(GrayBezel);
}

Value HVNSImageView::objectValue() const
{
    if (m_image.isNull())
        return Value();
    const QSizeF points = m_image.deviceIndependentSize();
    if (points.width() < 1 || points.height() < 1)
        return Value();
    return Value(m_image);
}

void HVNSImageView::setObjectValue(const Value &value)
{
    m_image = value.isImage() ? value.toImage() : QImage();
    update();
}

void HVNSImageView::setImageScaling(int scaling)
{
    m_scaling = scaling;
    update();
}

void HVNSImageView::setImageAlignment(int alignment)
{
    m_alignment = alignment;
    update();
}

void HVNSImageView::setImageFrameStyle(int style)
{
    m_frameStyle = style;
    switch (style) {
    case NoFrame: setFrameStyle(QFrame::NoFrame); break;
    case Photo: setFrameStyle(QFrame::Box | QFrame::Plain); break;
    case Groove: setFrameStyle(QFrame::Box | QFrame::Sunken); break;
    case Button: setFrameStyle(QFrame::Panel | QFrame::Raised); break;
    default: setFrameStyle(QFrame::StyledPanel | QFrame::Sunken); break;
    }
    update();
}

QRectF HVNSImageView::imageRect(const QSizeF &imageSize, const QRectF &bounds, int scaling, int alignment)
{
    if (imageSize.isEmpty() || bounds.isEmpty())
        return QRectF();
    QSizeF size = imageSize;
    switch (scaling) {
    case AxesIndependently: size = bounds.size(); break;
    case NoScaling: break;
    case ProportionallyDown:
        if (size.width() > bounds.width() || size.height() > bounds.height())
            size.scale(bounds.size(), Qt::KeepAspectRatio);
        break;
    default: size.scale(bounds.size(), Qt::KeepAspectRatio); break;
    }
    const qreal left = bounds.left(), right = bounds.right() - size.width();
    const qreal top = bounds.top(), bottom = bounds.bottom() - size.height();
    const qreal midX = bounds.left() + (bounds.width() - size.width()) / 2;
    const qreal midY = bounds.top() + (bounds.height() - size.height()) / 2;
    qreal x = midX, y = midY;
    switch (alignment) {
    case Top: y = top; break;
    case TopLeft: x = left, y = top; break;
    case TopRight: x = right, y = top; break;
    case Left: x = left; break;
    case Bottom: y = bottom; break;
    case BottomLeft: x = left, y = bottom; break;
    case BottomRight: x = right, y = bottom; break;
    case Right: x = right; break;
    default: break;
    }
    return QRectF(QPointF(x, y), size);
}

void HVNSImageView::paintEvent(QPaintEvent *event)
{
    HVFormWell::paintEvent(event);
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF bounds = QRectF(contentsRect()).adjusted(2, 2, -2, -2);
    painter.setClipRect(bounds);
    painter.drawImage(imageRect(m_image.deviceIndependentSize(), bounds, m_scaling, m_alignment), m_image);
}

Value HVNSImageView::valueFromFile(const QString &path) const
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    return image.isNull() ? Value() : Value(image);
}

Value HVNSImageView::valueFromMimeData(const QMimeData *mime) const
{
    if (!mime || !mime->hasImage())
        return Value();
    const QImage image = qvariant_cast<QImage>(mime->imageData());
    return image.isNull() ? Value() : Value(image);
}

FilePanelOptions HVNSImageView::openPanelOptions() const
{
    FilePanelOptions options;
    options.title = tr("Choose Image");
    options.nameFilters = {tr("Images (*.png *.jpg *.jpeg *.gif *.bmp *.tif *.tiff *.webp)"), tr("All files (*)")};
    return options;
}

bool HVNSImageView::copy() const
{
    if (!m_allowsCutCopyPaste || objectValue().isNull())
        return false;
    QApplication::clipboard()->setImage(m_image);
    return true;
}

bool HVNSImageView::cut()
{
    if (!isEditable() || !copy())
        return false;
    takeValue(Value());
    return true;
}

bool HVNSImageView::paste()
{
    if (!m_allowsCutCopyPaste || !isEditable())
        return false;
    const Value value = valueFromMimeData(QApplication::clipboard()->mimeData());
    if (value.isNull())
        return false;
    takeValue(value);
    return true;
}

bool HVNSImageView::clear()
{
    if (!isEditable() || m_image.isNull())
        return false;
    takeValue(Value());
    return true;
}

void HVNSImageView::keyPressEvent(QKeyEvent *event)
{
    bool done = false;
    if (event->matches(QKeySequence::Copy))
        done = copy();
    else if (event->matches(QKeySequence::Cut))
        done = cut();
    else if (event->matches(QKeySequence::Paste))
        done = paste();
    else if (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace)
        done = clear();
    else {
        HVFormWell::keyPressEvent(event);
        return;
    }
    if (!done)
        Ui::instance().beep();
    event->accept();
}
