// LMDataPanelWell: drop handling and the "Choose…" button shared by the image, movie, attachment and path wells.
#include "LMDataPanelWell.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

LMDataPanelWell::LMDataPanelWell(QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setAcceptDrops(true);
    auto *outer = new QVBoxLayout(this);
    m_content = new QVBoxLayout;
    outer->addLayout(m_content, 1);
    m_caption = new QLabel(this);
    m_caption->setAlignment(Qt::AlignCenter);
    m_caption->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_caption->setWordWrap(true);
    outer->addWidget(m_caption);
    m_buttons = new QHBoxLayout;
    m_buttons->addStretch(1);
    m_chooseButton = new QPushButton(tr("Choose…"), this);
    m_buttons->addWidget(m_chooseButton);
    outer->addLayout(m_buttons);
    connect(m_chooseButton, &QPushButton::clicked, this, &LMDataPanelWell::chooseFile);
}

void LMDataPanelWell::setCaption(const QString &text)
{
    m_caption->setText(text);
}

FilePanelOptions LMDataPanelWell::openPanelOptions() const
{
    return FilePanelOptions{};
}

bool LMDataPanelWell::takeFile(const QString &path)
{
    const Value value = valueFromFile(path);
    if (value.isNull()) {
        Ui::instance().beep();
        return false;
    }
    setObjectValue(value);
    emit valueChangedByUser(this);
    return true;
}

void LMDataPanelWell::chooseFile()
{
    const QStringList paths = Ui::instance().runOpenPanel(openPanelOptions(), window());
    if (!paths.isEmpty())
        takeFile(paths.first());
}

Value LMDataPanelWell::valueFromDrop(const QMimeData *mime) const
{
    if (!mime)
        return Value();
    for (const QUrl &url : mime->urls()) {
        if (url.isLocalFile())
            return valueFromFile(url.toLocalFile());
    }
    return valueFromMimeData(mime);
}

void LMDataPanelWell::dragEnterEvent(QDragEnterEvent *event)
{
    const QMimeData *mime = event->mimeData();
    bool hasFile = false;
    for (const QUrl &url : mime->urls())
        hasFile = hasFile || url.isLocalFile();
    if (hasFile || !valueFromMimeData(mime).isNull())
        event->acceptProposedAction();
    else
        event->ignore();
}

void LMDataPanelWell::dragMoveEvent(QDragMoveEvent *event)
{
    event->acceptProposedAction();
}

void LMDataPanelWell::dropEvent(QDropEvent *event)
{
    const Value value = valueFromDrop(event->mimeData());
    if (value.isNull()) {
        event->ignore();
        Ui::instance().beep();
        return;
    }
    event->acceptProposedAction();
    setObjectValue(value);
    emit valueChangedByUser(this);
}
