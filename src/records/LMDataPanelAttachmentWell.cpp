// LMDataPanelAttachmentWell: icon and name of the attached file; drops and "Choose…" attach, "Export…" saves.
#include "LMDataPanelAttachmentWell.h"

#include "Ui.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

LMDataPanelAttachmentWell::LMDataPanelAttachmentWell(QWidget *parent) : LMDataPanelWell(parent)
{
    m_icon = new QLabel(this);
    m_icon->setAlignment(Qt::AlignCenter);
    m_icon->setMinimumSize(48, 48);
    contentLayout()->addWidget(m_icon, 1);
    m_exportButton = new QPushButton(tr("Export…"), this);
    buttonLayout()->insertWidget(0, m_exportButton);
    connect(m_exportButton, &QPushButton::clicked, this, &LMDataPanelAttachmentWell::exportAttachment);
    updateLook();
}

Value LMDataPanelAttachmentWell::objectValue() const
{
    return m_wrapper ? m_wrapper->toValue() : Value();
}

void LMDataPanelAttachmentWell::setObjectValue(const Value &value)
{
    m_wrapper = HVFileWrapper::fromValue(value);
    updateLook();
}

Value LMDataPanelAttachmentWell::valueFromFile(const QString &path) const
{
    if (QFileInfo(path).isDir())
        return Value();
    const std::optional<HVFileWrapper> wrapper = HVFileWrapper::fromPath(path);
    return wrapper ? wrapper->toValue() : Value();
}

bool LMDataPanelAttachmentWell::exportAttachment()
{
    if (!m_wrapper) {
        Ui::instance().beep();
        return false;
    }
    return m_wrapper->exportThroughSavePanel(window());
}

void LMDataPanelAttachmentWell::updateLook()
{
    m_exportButton->setEnabled(bool(m_wrapper));
    if (!m_wrapper) {
        m_icon->setPixmap(QPixmap());
        m_icon->setText(tr("Drop a file here"));
        setCaption(QString());
        return;
    }
    if (!m_wrapper->icon.isNull())
        m_icon->setPixmap(
            QPixmap::fromImage(m_wrapper->icon.scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    else
        m_icon->setText(QString());
    setCaption(tr("%1 (%2)").arg(m_wrapper->name, QLocale().formattedDataSize(m_wrapper->data.size())));
}
