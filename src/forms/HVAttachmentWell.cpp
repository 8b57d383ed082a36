// HVAttachmentWell: the first dropped file becomes a new wrapper; "Export" writes its bytes where the user says.
#include "HVAttachmentWell.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

HVAttachmentWell::HVAttachmentWell(QWidget *parent) : HVFormWell(parent)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    m_icon = new QLabel(this);
    m_icon->setAlignment(Qt::AlignCenter);
    m_icon->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_name = new QLabel(this);
    m_name->setAlignment(Qt::AlignCenter);
    m_name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_exportButton = new QPushButton(tr("Export"), this);
    m_exportButton->setVisible(false);
    layout->addWidget(m_icon, 1);
    layout->addWidget(m_name);
    layout->addWidget(m_exportButton, 0, Qt::AlignHCenter);
    connect(m_exportButton, &QPushButton::clicked, this, &HVAttachmentWell::exportAttachment);
    updateLook();
}

Value HVAttachmentWell::objectValue() const
{
    return m_wrapper ? m_wrapper->toValue() : Value();
}

void HVAttachmentWell::setObjectValue(const Value &value)
{
    m_wrapper = HVFileWrapper::fromValue(value);
    updateLook();
}

QByteArray HVAttachmentWell::data() const
{
    return m_wrapper ? m_wrapper->archivedData() : QByteArray();
}

void HVAttachmentWell::setData(const QByteArray &data)
{
    m_wrapper = data.isEmpty() ? std::nullopt : HVFileWrapper::wrapperWithArchivedData(data);
    updateLook();
}

void HVAttachmentWell::setInForm(bool inForm)
{
    m_inForm = inForm;
    m_exportButton->setVisible(inForm);
}

Value HVAttachmentWell::valueFromFile(const QString &path) const
{
    if (QFileInfo(path).isDir())
        return Value();
    const std::optional<HVFileWrapper> wrapper = HVFileWrapper::fromPath(path);
    return wrapper ? wrapper->toValue() : Value();
}

bool HVAttachmentWell::exportAttachment()
{
    if (!m_wrapper)
        return false;
    return m_wrapper->exportThroughSavePanel(window());
}

void HVAttachmentWell::updateLook()
{
    m_exportButton->setEnabled(bool(m_wrapper));
    if (!m_wrapper) {
        m_icon->setPixmap(QPixmap());
        m_name->clear();
        return;
    }
    QPixmap icon;
    if (!m_wrapper->icon.isNull())
        icon = QPixmap::fromImage(m_wrapper->icon.scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    else
        icon = QFileIconProvider().icon(QFileIconProvider::File).pixmap(48, 48);
    m_icon->setPixmap(icon);
    m_name->setText(m_wrapper->name);
    m_name->setToolTip(m_wrapper->name);
}
