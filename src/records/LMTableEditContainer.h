// LMTableEditContainer: the "Table Edit" view of a table: its toolbar, the data panel link and the tabs of
// its grid and the subtables opened from it (always the path from the table to the innermost subtable).
#pragma once

#include "LMRecordContainer.h"
#include "ViewKind.h"

#include <QString>
#include <functional>
#include <memory>

class LMDocumentNavigator;
class LMTableEditView;
class MyDocument;
class QWidget;

class LMTableEditContainer : public LMRecordContainer {
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
    void itemDidRename(ItemKind kind, const QString &oldName, const QString &newName) override;
    bool openInTextEditor() override;

    // The grids, table first.
    LMTableEditView *tableEditView() const;
    LMTableEditView *activeGrid() const;
    // Appends a subtable, adds its tab labelled with the relationship field's name and selects it.
    void addEditor(LMTableEditView *grid, const QString &label);

    void switchToMode(const QString &mode) override;

    // Installs on the current grids at once and on every subtable opened later; without one every grid gets
    // the query filter view of its table.
    void setFilterInstaller(FilterInstaller installer);

private:
    LMTableEditView *gridAt(int index) const;
    // The installer's filter, else the query filter view of the grid's table.
    void installFilter(LMTableEditView *grid);

    MyDocument *m_document;
    QString m_tableName;
    FilterInstaller m_filterInstaller;
};

// The "Table Edit" factory (registerRecordViews): the table's grid in a container.
std::unique_ptr<LMViewController> makeTableEditController(MyDocument *document, const QString &tableName,
                                                          QWidget *window, LMDocumentNavigator *navigator = nullptr);
