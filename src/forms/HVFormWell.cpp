// HVFormWell: drop, choose and the editable flag, shared by the image, movie, attachment and file-path wells.
#include "HVFormWell.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

namespace {
// The first local file named by the drag data; empty when there is none.
QString firstLocalFile(const QMimeData *mime)
{
    if (!mime)
        return QString();
    for (const QUrl &url : mime->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return QString();
}
} // namespace

HVFormWell::HVFormWell(QWidget *parent) : QFrame(parent)
{
    setAcceptDrops(true);
}

void HVFormWell::setEditable(bool editable)
{
    m_editable = editable;
    setAcceptDrops(editable);
}

FilePanelOptions HVFormWell::openPanelOptions() const
{
    return FilePanelOptions{};
}

void HVFormWell::takeValue(const Value &value)
{
    setObjectValue(value);
    emit objectValueEdited();
}

bool HVFormWell::takeFile(const QString &path)
{
    if (!m_editable || path.isEmpty())
        return false;
    const Value value = valueFromFile(path);
    if (value.isNull())
        return false;
    takeValue(value);
    return true;
}

bool HVFormWell::takeMimeData(const QMimeData *mime)
{
    if (!m_editable || !mime)
        return false;
    const QString path = firstLocalFile(mime);
    if (!path.isEmpty())
        return takeFile(path);
    const Value value = valueFromMimeData(mime);
    if (!value.isNull()) {
        takeValue(value);
        return true;
    }
    return acceptsWithoutValue(mime);
}

void HVFormWell::chooseFile()
{
    if (!m_editable)
        return;
    const QStringList paths = Ui::instance().runOpenPanel(openPanelOptions(), window());
    if (!paths.isEmpty() && !takeFile(paths.first()))
        Ui::instance().beep();
}

bool HVFormWell::canTake(const QMimeData *mime) const
{
    if (!m_editable || !mime)
        return false;
    return !firstLocalFile(mime).isEmpty() || !valueFromMimeData(mime).isNull() || acceptsWithoutValue(mime);
}

void HVFormWell::dragEnterEvent(QDragEnterEvent *event)
{
    if (canTake(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void HVFormWell::dragMoveEvent(QDragMoveEvent *event)
{
    if (canTake(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void HVFormWell::dropEvent(QDropEvent *event)
{
    if (takeMimeData(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void HVFormWell::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (m_editable && event->button() == Qt::LeftButton) {
        chooseFile();
        event->accept();
        return;
    }
    QFrame::mouseDoubleClickEvent(event);
}
