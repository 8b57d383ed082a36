// LMTableEditContainer: toolbar items, subtable tabs and the view protocol of the record grid.
#include "LMTableEditContainer.h"

#include "LMDataPanel.h"
#include "LMDocumentNavigator.h"
#include "LMIdentifiedView.h"
#include "LMQueryFilterView.h"
#include "LMTableDataTableView.h"
#include "LMTableEditView.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "Resources.h"

#include <QAction>
#include <QButtonGroup>
#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidgetAction>

namespace {
const QString kModes = QStringLiteral("Modes");
const QString kAdd = QStringLiteral("Add Record");
const QString kDelete = QStringLiteral("Delete Record");
const QString kInsert = QStringLiteral("Insert Record");
const QString kUninsert = QStringLiteral("Uninsert Record");
const QString kData = QStringLiteral("Data");
const QString kQuery = QStringLiteral("Query");

QIcon resourceIcon(const QString &name)
{
    const QString path = Resources::path(QStringLiteral("icons/%1.svg").arg(name));
    return QFile::exists(path) ? QIcon(path) : QIcon();
}
} // namespace

LMTableEditContainer::LMTableEditContainer(MyDocument *document, const QString &tableName, QWidget *window,
                                           LMDocumentNavigator *navigator)
    : m_document(document), m_tableName(tableName), m_window(window), m_navigator(navigator)
{
    m_view = new LMIdentifiedView(identifier());
    m_view->setObjectName(QStringLiteral("LMTableEditContainer"));
    auto *layout = new QVBoxLayout(m_view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_tabBar = new QTabBar(m_view);
    m_tabBar->setDocumentMode(true);
    m_tabBar->setExpanding(false);
    layout->addWidget(m_tabBar);
    m_stack = new QStackedWidget(m_view);
    layout->addWidget(m_stack, 1);
    connect(m_tabBar, &QTabBar::currentChanged, this, &LMTableEditContainer::tabChanged);

    OXDatabase *database = document ? document->database() : nullptr;
    auto *grid = new LMTableEditView(tableName, database, window, QString(), document);
    m_changingTabs = true;
    adopt(grid);
    m_tabBar->addTab(tableName);
    m_changingTabs = false;
    for (const QString &item : toolbarAllowedItemIdentifiers())
        toolbarItem(item, false);
    updateToolbarItems();
}

LMTableEditContainer::~LMTableEditContainer()
{
    m_changingTabs = true;
    // Innermost subtables go first: each one still reaches its parent while it goes.
    while (!m_grids.empty())
        m_grids.pop_back();
    if (m_view && m_view->controller() != this)
        delete m_view;
}

void LMTableEditContainer::adopt(LMTableEditView *grid)
{
    grid->setParent(nullptr);
    grid->setContainer(this);
    m_grids.emplace_back(grid);
    m_stack->addWidget(grid->widget());
    m_stack->setCurrentWidget(grid->widget());
    connect(grid, &LMTableEditView::selectionChanged, this, &LMTableEditContainer::updateToolbarItems);
    connect(grid, &LMTableEditView::rowsReloaded, this, &LMTableEditContainer::updateToolbarItems);
    installFilter(grid);
}

void LMTableEditContainer::installFilter(LMTableEditView *grid)
{
    if (m_filterInstaller) {
        m_filterInstaller(grid);
        return;
    }
    // Without a saved query the filter starts from a new definition of the grid's table, closed.
    if (m_document) {
        auto *filter =
            new LMQueryFilterView(m_document, grid->tableName(),
                                  LMTableEditView::defaultQueryDefinition(grid->database(), grid->tableName()));
        // A query of another table chosen in the filter opens through the window.
        filter->setNavigator(m_navigator);
        grid->setQueryFilter(filter, filter);
    }
}

LMTableEditView *LMTableEditContainer::tableEditView() const
{
    return m_grids.empty() ? nullptr : m_grids.front().get();
}

LMTableEditView *LMTableEditContainer::activeGrid() const
{
    const int index = currentTab();
    return index >= 0 && index < int(m_grids.size()) ? m_grids[size_t(index)].get() : tableEditView();
}

QString LMTableEditContainer::tabLabel(int index) const
{
    return m_tabBar->tabText(index);
}
int LMTableEditContainer::currentTab() const
{
    return m_tabBar->currentIndex();
}

void LMTableEditContainer::addEditor(LMTableEditView *grid, const QString &label)
{
    m_changingTabs = true;
    adopt(grid);
    m_tabBar->addTab(label);
    m_tabBar->setCurrentIndex(m_tabBar->count() - 1);
    m_changingTabs = false;
    updateToolbarItems();
}

void LMTableEditContainer::selectTab(int index)
{
    if (index < 0 || index >= m_tabBar->count())
        return;
    if (m_tabBar->currentIndex() == index)
        tabChanged(index);
    else
        m_tabBar->setCurrentIndex(index);
}

void LMTableEditContainer::tabChanged(int index)
{
    if (m_changingTabs || index < 0)
        return;
    m_changingTabs = true;
    while (m_tabBar->count() > index + 1) {
        m_tabBar->removeTab(m_tabBar->count() - 1);
        m_grids.pop_back();
    }
    m_changingTabs = false;
    LMTableEditView *grid = m_grids[size_t(index)].get();
    m_stack->setCurrentWidget(grid->widget());
    grid->refresh();
    grid->refreshDataPanel();
    updateToolbarItems();
}

// --- View protocol

void LMTableEditContainer::cleanUp()
{
    LMDataPanel *panel = LMDataPanel::lazySharedManager();
    for (const auto &grid : m_grids) {
        grid->tableView()->commitPendingEdit();
        if (panel && panel->datasource() == grid.get()) {
            panel->complete();
            panel->documentDidBecomeInvalid();
        }
    }
}

void LMTableEditContainer::refresh()
{
    if (LMTableEditView *grid = activeGrid())
        grid->refresh();
    updateToolbarItems();
}

void LMTableEditContainer::itemDidRename(ItemKind kind, const QString &oldName, const QString &newName)
{
    if (kind == ItemKind::Table && oldName == m_tableName) {
        m_tableName = newName;
        m_tabBar->setTabText(0, newName);
    }
    for (const auto &grid : m_grids)
        grid->itemDidRename(kind, oldName, newName);
}

// --- Toolbar

QStringList LMTableEditContainer::toolbarAllowedItemIdentifiers() const
{
    return {kModes, kAdd, kDelete, kInsert, kUninsert, kData, kQuery};
}

void LMTableEditContainer::setIdentifier(const QString &identifier)
{
    m_identifier = identifier;
    if (m_view)
        m_view->setIdentifier(identifier);
}

QAction *LMTableEditContainer::makeAction(const QString &identifier, const QString &icon,
                                          void (LMTableEditContainer::*slot)())
{
    auto *action = new QAction(resourceIcon(icon), identifier, this);
    action->setObjectName(identifier);
    action->setToolTip(identifier);
    connect(action, &QAction::triggered, this, slot);
    m_actions.insert(identifier, action);
    return action;
}

QAction *LMTableEditContainer::toolbarItem(const QString &itemIdentifier, bool willBeInserted)
{
    Q_UNUSED(willBeInserted)
    if (QAction *existing = m_actions.value(itemIdentifier))
        return existing;
    if (itemIdentifier == kModes) {
        auto *action = new QWidgetAction(this);
        action->setObjectName(kModes);
        action->setText(kModes);
        auto *segments = new QWidget;
        auto *row = new QHBoxLayout(segments);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(0);
        m_modeButtons = new QButtonGroup(segments);
        m_modeButtons->setExclusive(true);
        for (const QString &mode : {QStringLiteral("Table Design"), QStringLiteral("Table Data"),
                                    QStringLiteral("Form Design"), QStringLiteral("Form Data")}) {
            auto *button = new QToolButton(segments);
            button->setText(mode);
            button->setObjectName(mode);
            button->setCheckable(true);
            button->setChecked(mode == QLatin1String("Table Data"));
            m_modeButtons->addButton(button);
            row->addWidget(button);
            connect(button, &QToolButton::clicked, this, [this, mode] { switchToMode(mode); });
        }
        action->setDefaultWidget(segments);
        m_actions.insert(kModes, action);
        return action;
    }
    if (itemIdentifier == kAdd)
        return makeAction(kAdd, QStringLiteral("SB2_Plus"), &LMTableEditContainer::addRowButtonPressed);
    if (itemIdentifier == kDelete)
        return makeAction(kDelete, QStringLiteral("SB2_Minus"), &LMTableEditContainer::removeRowButtonPressed);
    if (itemIdentifier == kInsert)
        return makeAction(kInsert, QStringLiteral("Relationships 16"), &LMTableEditContainer::insertRowButtonPressed);
    if (itemIdentifier == kUninsert)
        return makeAction(kUninsert, QStringLiteral("Relationships 16"),
                          &LMTableEditContainer::uninsertRowButtonPressed);
    if (itemIdentifier == kData)
        return makeAction(kData, QStringLiteral("SB2_Edit"), &LMTableEditContainer::dataButton);
    if (itemIdentifier == kQuery)
        return makeAction(kQuery, QStringLiteral("Query 16"), &LMTableEditContainer::queryButton);
    return nullptr;
}

void LMTableEditContainer::updateToolbarItems()
{
    LMTableEditView *grid = activeGrid();
    const bool onFirstTab = currentTab() <= 0;
    const bool hasRow = grid && grid->selectedRow() >= 0;
    if (QAction *a = m_actions.value(kInsert))
        a->setEnabled(!onFirstTab);
    if (QAction *a = m_actions.value(kUninsert))
        a->setEnabled(!onFirstTab && hasRow);
    if (QAction *a = m_actions.value(kDelete))
        a->setEnabled(hasRow);
}

void LMTableEditContainer::addRowButtonPressed()
{
    if (LMTableEditView *grid = activeGrid())
        grid->addButton();
}

void LMTableEditContainer::removeRowButtonPressed()
{
    if (LMTableEditView *grid = activeGrid())
        grid->removeButton();
}

void LMTableEditContainer::insertRowButtonPressed()
{
    if (LMTableEditView *grid = activeGrid())
        grid->insertButton();
}

void LMTableEditContainer::uninsertRowButtonPressed()
{
    if (LMTableEditView *grid = activeGrid())
        grid->uninsertButton();
}

void LMTableEditContainer::dataButton()
{
    if (LMTableEditView *grid = activeGrid()) {
        grid->toggleDataPanel();
        grid->refreshDataPanel();
    }
}

void LMTableEditContainer::queryButton()
{
    if (LMTableEditView *grid = activeGrid())
        grid->toggleQueryView();
}

void LMTableEditContainer::switchToMode(const QString &mode)
{
    if (m_modeButtons)
        for (QAbstractButton *button : m_modeButtons->buttons())
            button->setChecked(button->text() == QLatin1String("Table Data"));
    if (mode == QLatin1String("Table Data") || !m_navigator)
        return;
    cleanUp();
    const std::optional<ViewKind> kind = ViewKinds::fromIdentifier(mode);
    if (kind == ViewKind::TableDesign)
        m_navigator->switchToTableDesignView(m_tableName);
    else if (kind == ViewKind::FormDesign)
        m_navigator->switchToFormDesignView(m_tableName);
    else if (kind == ViewKind::FormData)
        m_navigator->switchToFormDataView(m_tableName);
}

bool LMTableEditContainer::openInTextEditor()
{
    LMTableEditView *grid = activeGrid();
    if (!grid || !grid->tableView() || !grid->tableView()->isFocusActive())
        return false;
    grid->tableView()->editInTable();
    return true;
}

void LMTableEditContainer::setFilterInstaller(FilterInstaller installer)
{
    m_filterInstaller = std::move(installer);
    for (const auto &grid : m_grids)
        installFilter(grid.get());
}

std::unique_ptr<LMViewController> makeTableEditController(MyDocument *document, const QString &tableName,
                                                          QWidget *window, LMDocumentNavigator *navigator)
{
    return std::make_unique<LMTableEditContainer>(document, tableName, window, navigator);
}
