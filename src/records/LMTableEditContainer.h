// LMTableEditContainer: the "Table Edit" view of a table: its toolbar, the data panel link and the tabs of
// its grid and the subtables opened from it (always the path from the table to the innermost subtable).
#pragma once

#include "LMIdentifiedView.h"
#include "LMViewController.h"
#include "ViewKind.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class LMDocumentNavigator;
class LMIdentifiedView;
class LMTableEditView;
class MyDocument;
class QAction;
class QButtonGroup;
class QStackedWidget;
class QTabBar;
class QWidget;

class LMTableEditContainer : public QObject, public LMViewController {
    Q_OBJECT
public:
    // Installs a query filter on one grid (the table's own and every subtable): typically
    // grid->setQueryFilter(filter, filterWidget).
    using FilterInstaller = std::function<void(LMTableEditView *grid)>;
    // `navigator` opens the table's other views (the mode buttons); may be null.
    LMTableEditContainer(MyDocument *document, const QString &tableName, QWidget *window,
                         LMDocumentNavigator *navigator = nullptr);
    ~LMTableEditContainer() override;

    // LMViewController
    QString identifier() const override { return m_identifier; }
    // "Query" when the tab shows the table through a saved or new query.
    void setIdentifier(const QString &identifier);
    LMIdentifiedView *view() override { return m_view; }
    void cleanUp() override;
    void refresh() override;
    void itemDidRename(ItemKind kind, const QString &oldName, const QString &newName) override;
    bool openInTextEditor() override;
    bool providesToolbar() const override { return true; }
    QStringList toolbarAllowedItemIdentifiers() const override;
    QStringList toolbarDefaultItemIdentifiers() const override { return toolbarAllowedItemIdentifiers(); }
    QAction *toolbarItem(const QString &itemIdentifier, bool willBeInserted) override;

    // The grids, table first.
    LMTableEditView *tableEditView() const;
    LMTableEditView *activeGrid() const;
    int tabCount() const { return int(m_grids.size()); }
    QString tabLabel(int index) const;
    int currentTab() const;
    QTabBar *tabBar() const { return m_tabBar; }
    // Appends a subtable, adds its tab labelled with the relationship field's name and selects it.
    void addEditor(LMTableEditView *grid, const QString &label);
    // Selecting a tab removes every tab after it and refreshes the selected grid.
    void selectTab(int index);

    // Toolbar commands (forwarded to the active grid).
    void addRowButtonPressed();
    void removeRowButtonPressed();
    void insertRowButtonPressed();
    void uninsertRowButtonPressed();
    void dataButton();
    void queryButton();
    // A mode button: "Table Design", "Table Data", "Form Design" or "Form Data".
    void switchToMode(const QString &mode);
    void updateToolbarItems();

    void setNavigator(LMDocumentNavigator *navigator) { m_navigator = navigator; }
    // Installs on the current grids at once and on every subtable opened later; without one every grid gets
    // the query filter view of its table.
    void setFilterInstaller(FilterInstaller installer);

private:
    void tabChanged(int index);
    void adopt(LMTableEditView *grid);
    // The installer's filter, else the query filter view of the grid's table.
    void installFilter(LMTableEditView *grid);
    QAction *makeAction(const QString &identifier, const QString &icon, void (LMTableEditContainer::*slot)());

    QString m_identifier = ViewKinds::identifier(ViewKind::TableEdit);
    MyDocument *m_document;
    QString m_tableName;
    QPointer<QWidget> m_window;
    QPointer<LMIdentifiedView> m_view;
    QTabBar *m_tabBar = nullptr;
    QStackedWidget *m_stack = nullptr;
    std::vector<std::unique_ptr<LMTableEditView>> m_grids;
    QHash<QString, QAction *> m_actions;
    QButtonGroup *m_modeButtons = nullptr;
    LMDocumentNavigator *m_navigator = nullptr;
    FilterInstaller m_filterInstaller;
    bool m_changingTabs = false;
};

// The "Table Edit" factory (registerRecordViews): the table's grid in a container.
std::unique_ptr<LMViewController> makeTableEditController(MyDocument *document, const QString &tableName,
                                                          QWidget *window, LMDocumentNavigator *navigator = nullptr);
