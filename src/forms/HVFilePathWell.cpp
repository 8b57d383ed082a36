// HVFilePathWell: the first dropped file name becomes the path; the text is elided in the middle to fit.
#include "HVFilePathWell.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>

HVFilePathWell::HVFilePathWell(QWidget *parent) : HVFormWell(parent)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(3, 1, 3, 1);
    layout->setSpacing(4);
    m_icon = new QLabel(this);
    m_icon->setFixedSize(16, 16);
    m_text = new QLabel(this);
    m_text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_icon);
    layout->addWidget(m_text, 1);
    updateLook();
}

Value HVFilePathWell::objectValue() const
{
    return Value(m_path);
}

void HVFilePathWell::setObjectValue(const Value &value)
{
    m_path = value.isNull() ? QString() : value.stringValue();
    updateLook();
}

Value HVFilePathWell::valueFromFile(const QString &path) const
{
    return Value(QDir::cleanPath(path));
}

bool HVFilePathWell::acceptsWithoutValue(const QMimeData *mime) const
{
    return mime && mime->hasImage();
}

FilePanelOptions HVFilePathWell::openPanelOptions() const
{
    FilePanelOptions options;
    options.title = tr("Choose File or Folder");
    return options;
}

void HVFilePathWell::resizeEvent(QResizeEvent *event)
{
    HVFormWell::resizeEvent(event);
    updateLook();
}

void HVFilePathWell::updateLook()
{
    m_text->setText(m_text->fontMetrics().elidedText(m_path, Qt::ElideMiddle, qMax(0, m_text->width())));
    m_text->setToolTip(m_path);
    if (m_path.isEmpty()) {
        m_icon->setPixmap(QPixmap());
        return;
    }
    const QFileInfo info(m_path);
    const QIcon icon =
        info.exists() ? QFileIconProvider().icon(info) : QFileIconProvider().icon(QFileIconProvider::File);
    m_icon->setPixmap(icon.pixmap(16, 16));
}
