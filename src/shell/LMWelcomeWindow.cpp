// LMWelcomeWindow: a start page that hands every choice to the application and steps aside once a document shows.
#include "LMWelcomeWindow.h"

#include "LMApplication.h"
#include "Preferences.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kShowKey = QStringLiteral("LMShowWelcomeScreen");
}

LMWelcomeWindow::LMWelcomeWindow(LMApplication *application, QWidget *parent)
    : QWidget(parent, Qt::Window), m_application(application)
{
    setObjectName(QStringLiteral("LMWelcomeWindow"));
    setWindowTitle(tr("Welcome to Orvix"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(tr("Welcome to Orvix"), this);
    QFont big = heading->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    heading->setFont(big);
    layout->addWidget(heading);
    layout->addWidget(new QLabel(tr("Start a new database, or open one you have."), this));

    auto *buttons = new QHBoxLayout;
    m_new = new QPushButton(tr("New Document"), this);
    m_new->setDefault(true);
    m_open = new QPushButton(tr("Open…"), this);
    buttons->addWidget(m_new);
    buttons->addWidget(m_open);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    layout->addWidget(new QLabel(tr("Recent documents"), this));
    m_recent = new QListWidget(this);
    layout->addWidget(m_recent, 1);

    m_showAtStart = new QCheckBox(tr("Show this window when Orvix starts"), this);
    m_showAtStart->setChecked(Preferences::instance().boolValue(kShowKey));
    layout->addWidget(m_showAtStart);

    connect(m_new, &QPushButton::clicked, this, &LMWelcomeWindow::newDocument);
    connect(m_open, &QPushButton::clicked, this, &LMWelcomeWindow::openDocument);
    connect(m_recent, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { openRecent(m_recent->row(item)); });
    connect(m_showAtStart, &QCheckBox::toggled, this, [](bool on) { Preferences::instance().setValue(kShowKey, on); });
    connect(m_application, &LMApplication::recentDocumentsChanged, this, &LMWelcomeWindow::fillRecent);
    fillRecent();
    resize(480, 360);
}

void LMWelcomeWindow::fillRecent()
{
    m_recent->clear();
    for (const QString &path : m_application->recentDocuments()) {
        // The name first, the folder after it, so documents of the same name can be told apart.
        const QFileInfo info(path);
        auto *item = new QListWidgetItem(
            QStringLiteral("%1 — %2").arg(info.completeBaseName(), QDir::toNativeSeparators(info.absolutePath())),
            m_recent);
        item->setData(Qt::UserRole, path);
        item->setToolTip(path);
    }
}

void LMWelcomeWindow::newDocument()
{
    m_application->newDocument();
    closeWhenADocumentIsOpen();
}

void LMWelcomeWindow::openDocument()
{
    m_application->openDocumentPanel();
    closeWhenADocumentIsOpen();
}

void LMWelcomeWindow::openRecent(int row)
{
    QListWidgetItem *item = m_recent->item(row);
    if (!item)
        return;
    m_application->openDocument(item->data(Qt::UserRole).toString());
    closeWhenADocumentIsOpen();
}

void LMWelcomeWindow::closeWhenADocumentIsOpen()
{
    if (!m_application->windows().isEmpty())
        close();
}
