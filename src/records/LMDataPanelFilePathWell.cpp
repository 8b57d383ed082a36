// LMDataPanelFilePathWell: shows a path with the file's icon; drops and "Choose…" set it, folders included.
#include "LMDataPanelFilePathWell.h"

#include <QDesktopServices>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

LMDataPanelFilePathWell::LMDataPanelFilePathWell(QWidget *parent) : LMDataPanelWell(parent)
{
    m_icon = new QLabel(this);
    m_icon->setAlignment(Qt::AlignCenter);
    m_icon->setMinimumSize(48, 48);
    contentLayout()->addWidget(m_icon, 1);
    m_revealButton = new QPushButton(tr("Reveal"), this);
    m_openButton = new QPushButton(tr("Open"), this);
    buttonLayout()->insertWidget(0, m_revealButton);
    buttonLayout()->insertWidget(1, m_openButton);
    connect(m_revealButton, &QPushButton::clicked, this, &LMDataPanelFilePathWell::reveal);
    connect(m_openButton, &QPushButton::clicked, this, &LMDataPanelFilePathWell::open);
    updateLook();
}

Value LMDataPanelFilePathWell::objectValue() const
{
    return m_hasPath ? Value(m_path) : Value();
}

void LMDataPanelFilePathWell::setObjectValue(const Value &value)
{
    m_hasPath = value.isString();
    m_path = m_hasPath ? value.toString() : QString();
    updateLook();
}

Value LMDataPanelFilePathWell::valueFromFile(const QString &path) const
{
    // A path is taken as it is; aliases and links resolve to what they point at, like the import panel does.
    const QFileInfo info(path);
    if (!info.exists())
        return Value();
    const QString target = info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
    return Value(target.isEmpty() ? info.absoluteFilePath() : target);
}

FilePanelOptions LMDataPanelFilePathWell::openPanelOptions() const
{
    FilePanelOptions options;
    options.title = tr("Choose File or Folder");
    return options;
}

void LMDataPanelFilePathWell::reveal()
{
    if (m_path.isEmpty() || !QFileInfo::exists(m_path)) {
        Ui::instance().beep();
        return;
    }
    const QFileInfo info(m_path);
    QDesktopServices::openUrl(QUrl::fromLocalFile(info.isDir() ? info.absoluteFilePath() : info.absolutePath()));
}

void LMDataPanelFilePathWell::open()
{
    if (m_path.isEmpty() || !QFileInfo::exists(m_path)) {
        Ui::instance().beep();
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_path));
}

void LMDataPanelFilePathWell::updateLook()
{
    const bool exists = !m_path.isEmpty() && QFileInfo::exists(m_path);
    m_revealButton->setEnabled(exists);
    m_openButton->setEnabled(exists);
    setCaption(m_path);
    if (m_path.isEmpty()) {
        m_icon->setPixmap(QPixmap());
        m_icon->setText(tr("Drop a file or folder here"));
        return;
    }
    m_icon->setText(QString());
    m_icon->setPixmap(QFileIconProvider().icon(QFileInfo(m_path)).pixmap(48, 48));
}
