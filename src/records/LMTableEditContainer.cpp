// LMTableEditContainer: the record grid in the shared record container: grid tabs, filters, the data panel.
#include "LMTableEditContainer.h"

#include "LMDataPanel.h"
#include "LMDocumentNavigator.h"
#include "LMQueryFilterView.h"
#include "LMTableDataTableView.h"
#include "LMTableEditView.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "ViewKind.h"

#include <QTabBar>

namespace {
// One grid as an editor of the container; owns the grid.
class GridEditor : public LMRecordEditor {
public:
    explicit GridEditor(LMTableEditView *grid) : m_grid(grid) {}
    LMTableEditView *grid() const { return m_grid.get(); }

    QWidget *editorWidget() const override { return m_grid->widget(); }
    void addRecord() override { m_grid->addButton(); }
    void deleteRecord() override { m_grid->removeButton(); }
    void insertRecord() override { m_grid->insertButton(); }
    void uninsertRecord() override { m_grid->uninsertButton(); }
    void toggleDataPanel() override
    {
        m_grid->toggleDataPanel();
        m_grid->refreshDataPanel();
    }
    void toggleQueryFilter() override { m_grid->toggleQueryView(); }
    void editorSelected() override
    {
        m_grid->refresh();
        m_grid->refreshDataPanel();
    }
    void refreshEditor() override { m_grid->refresh(); }
    void commitEditor() override
    {
        m_grid->tableView()->commitPendingEdit();
        LMDataPanel *panel = LMDataPanel::lazySharedManager();
        if (panel && panel->datasource() == m_grid.get()) {
            panel->complete();
            panel->documentDidBecomeInvalid();
        }
    }
    bool showsRecord() const override { return m_grid->selectedRow() >= 0; }

private:
    std::unique_ptr<LMTableEditView> m_grid;
};
} // namespace

LMTableEditContainer::LMTableEditContainer(MyDocument *document, const QString &tableName, QWidget *window,
                                           LMDocumentNavigator *navigator)
    : LMRecordContainer(ViewKinds::identifier(ViewKind::TableEdit), QStringLiteral("Table Data"), window, navigator),
      m_document(document), m_tableName(tableName)
{
    view()->setObjectName(QStringLiteral("LMTableEditContainer"));
    OXDatabase *database = document ? document->database() : nullptr;
    addEditor(new LMTableEditView(tableName, database, window, QString(), document), tableName);
    for (const QString &item : toolbarAllowedItemIdentifiers())
        toolbarItem(item, false);
    updateToolbarItems();
}

LMTableEditContainer::~LMTableEditContainer() = default;

LMTableEditView *LMTableEditContainer::gridAt(int index) const
{
    auto *editor = static_cast<GridEditor *>(editorAt(index));
    return editor ? editor->grid() : nullptr;
}

void LMTableEditContainer::addEditor(LMTableEditView *grid, const QString &label)
{
    grid->setParent(nullptr);
    grid->setContainer(this);
    connect(grid, &LMTableEditView::selectionChanged, this, &LMTableEditContainer::updateToolbarItems);
    connect(grid, &LMTableEditView::rowsReloaded, this, &LMTableEditContainer::updateToolbarItems);
    installFilter(grid);
    addEditorTab(std::make_unique<GridEditor>(grid), label);
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
        filter->setNavigator(navigator());
        grid->setQueryFilter(filter, filter);
    }
}

LMTableEditView *LMTableEditContainer::tableEditView() const
{
    return gridAt(0);
}

LMTableEditView *LMTableEditContainer::activeGrid() const
{
    LMTableEditView *grid = gridAt(currentTab());
    return grid ? grid : tableEditView();
}

// --- View protocol

void LMTableEditContainer::itemDidRename(ItemKind kind, const QString &oldName, const QString &newName)
{
    if (kind == ItemKind::Table && oldName == m_tableName) {
        m_tableName = newName;
        setTabLabel(0, newName);
    }
    for (int i = 0; i < tabCount(); ++i)
        gridAt(i)->itemDidRename(kind, oldName, newName);
}

void LMTableEditContainer::switchToMode(const QString &mode)
{
    resetModeButtons();
    if (mode == QLatin1String("Table Data") || !navigator())
        return;
    cleanUp();
    const std::optional<ViewKind> kind = ViewKinds::fromIdentifier(mode);
    if (kind == ViewKind::TableDesign)
        navigator()->switchToTableDesignView(m_tableName);
    else if (kind == ViewKind::FormDesign)
        navigator()->switchToFormDesignView(m_tableName);
    else if (kind == ViewKind::FormData)
        navigator()->switchToFormDataView(m_tableName);
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
    for (int i = 0; i < tabCount(); ++i)
        installFilter(gridAt(i));
}

std::unique_ptr<LMViewController> makeTableEditController(MyDocument *document, const QString &tableName,
                                                          QWidget *window, LMDocumentNavigator *navigator)
{
    return std::make_unique<LMTableEditContainer>(document, tableName, window, navigator);
}
