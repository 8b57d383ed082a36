// LMRelationshipsViewController: wires the model's change signal to the drawing and the pane.
#include "LMRelationshipsViewController.h"

#include "LMIdentifiedView.h"
#include "LMRelationshipsDiagram.h"
#include "LMRelationshipsOptionsPane.h"
#include "LMRelationshipsView.h"
#include "OXDatabase.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

LMRelationshipsViewController::LMRelationshipsViewController(OXDatabase *database, const Value &relationships)
    : m_database(database), m_diagram(std::make_unique<LMRelationshipsDiagram>(database, relationships))
{
}

LMRelationshipsViewController::~LMRelationshipsViewController() = default;

LMIdentifiedView *LMRelationshipsViewController::view()
{
    if (m_view)
        return m_view;
    m_view = new LMIdentifiedView(identifier());
    auto *layout = new QHBoxLayout(m_view);
    auto *left = new QVBoxLayout;
    auto *bar = new QHBoxLayout;
    auto *add = new QPushButton(QStringLiteral("Add Tables…"));
    add->setObjectName(QStringLiteral("LMRelationshipsAddTables"));
    bar->addWidget(add);
    bar->addStretch();
    left->addLayout(bar);

    m_chooser = new QFrame;
    m_chooser->setObjectName(QStringLiteral("LMRelationshipsTableChooser"));
    static_cast<QFrame *>(m_chooser)->setFrameShape(QFrame::StyledPanel);
    auto *chooserLayout = new QVBoxLayout(m_chooser);
    chooserLayout->addWidget(new QLabel(QStringLiteral("Choose the tables to show:")));
    m_chooserList = new QListWidget;
    m_chooserList->setMaximumHeight(160);
    chooserLayout->addWidget(m_chooserList);
    auto *buttons = new QHBoxLayout;
    auto *all = new QPushButton(QStringLiteral("Add All"));
    auto *cancel = new QPushButton(QStringLiteral("Cancel"));
    auto *ok = new QPushButton(QStringLiteral("OK"));
    ok->setDefault(true);
    buttons->addWidget(all);
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(ok);
    chooserLayout->addLayout(buttons);
    m_chooser->hide();
    left->addWidget(m_chooser);

    m_diagramView = new LMRelationshipsView(m_diagram.get());
    left->addWidget(m_diagramView, 1);
    layout->addLayout(left, 1);
    m_pane = new LMRelationshipsOptionsPane(m_diagram.get());
    layout->addWidget(m_pane);

    QObject::connect(add, &QPushButton::clicked, m_view, [this] { showTableChooser(); });
    QObject::connect(m_chooserList, &QListWidget::itemChanged, m_view, [this](QListWidgetItem *item) {
        m_diagram->setChooserValue(m_chooserList->row(item), item->checkState() == Qt::Checked);
    });
    QObject::connect(ok, &QPushButton::clicked, m_view, [this] {
        m_diagram->editOKButton();
        m_chooser->hide();
    });
    QObject::connect(all, &QPushButton::clicked, m_view, [this] {
        m_diagram->editAllButton();
        m_chooser->hide();
    });
    QObject::connect(cancel, &QPushButton::clicked, m_view, [this] {
        m_diagram->editCancelButton();
        m_chooser->hide();
    });
    QObject::connect(m_diagram.get(), &LMRelationshipsDiagram::changed, m_view, [this] { changed(); });
    return m_view;
}

void LMRelationshipsViewController::showTableChooser()
{
    if (!m_chooser)
        return;
    m_diagram->editCancelButton();
    reloadChooser();
    m_chooser->show();
}

void LMRelationshipsViewController::reloadChooser()
{
    if (!m_chooserList)
        return;
    const QSignalBlocker block(m_chooserList);
    m_chooserList->clear();
    const QStringList tables = m_diagram->chooserTables();
    for (int i = 0; i < tables.size(); ++i) {
        auto *item = new QListWidgetItem(tables.at(i), m_chooserList);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(m_diagram->chooserValue(i) ? Qt::Checked : Qt::Unchecked);
    }
}

void LMRelationshipsViewController::changed()
{
    if (m_diagramView)
        m_diagramView->redraw();
    if (m_pane)
        m_pane->reload();
}

void LMRelationshipsViewController::refresh()
{
    m_diagram->refresh();
    reloadChooser();
    changed();
}

std::optional<Value> LMRelationshipsViewController::cleanUpAndArchive()
{
    return m_diagram->cleanUpAndArchive();
}

void LMRelationshipsViewController::itemDidRename(ItemKind kind, const QString &oldName, const QString &newName)
{
    if (kind != ItemKind::Table)
        return;
    m_diagram->renameTable(oldName, newName);
    refresh();
}

void LMRelationshipsViewController::itemDidDelete(ItemKind kind, const QString &)
{
    if (kind == ItemKind::Table)
        refresh();
}
