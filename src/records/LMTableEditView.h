// LMTableEditView: the controller of one record grid (a table's own grid or a subtable): its query,
// cell values, edits, record commands, subtables, navigation and column sizes.
#pragma once

#include "Alert.h"
#include "ItemKind.h"
#include "LMColumnSizing.h"
#include "LMDataPanelClient.h"
#include "LMInsertRecord.h"
#include "LMRecordCommands.h"
#include "LMSubtableLinks.h"
#include "QLiteDatabase.h"
#include "Value.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class LMGotoRowSheet;
class LMGridFilter;
class LMTableDataTableView;
class LMTableEditContainer;
class LMTableEditModel;
class MyDocument;
class OXDatabase;
class QLineEdit;
class QLiteCursor;
class QVBoxLayout;
class QWidget;

class LMTableEditView : public QObject, public LMDataPanelClient, public LMInsertRecordDelegate {
    Q_OBJECT
public:
    // initWithName:database:window:commaIndexes:document:parent:parentRowid:relationship:isBackwards:
    // A top-level grid passes a null `commaIndexes`, no parent and a null relationship.
    LMTableEditView(const QString &name, OXDatabase *database, QWidget *window, const QString &commaIndexes,
                    MyDocument *document, LMTableEditView *parent = nullptr, const QString &parentRowid = QString(),
                    const Value &relationship = Value(), bool isBackwards = false);
    ~LMTableEditView() override;

    // The widget of this grid: query filter area, grid and row navigation bar.
    QWidget *widget() const { return m_widget; }
    LMTableDataTableView *tableView() const { return m_tableView; }
    LMTableEditModel *model() const { return m_model; }
    LMTableEditContainer *container() const { return m_container; }
    void setContainer(LMTableEditContainer *container) { m_container = container; }

    QString tableName() const { return m_name; }
    QString pureName() const override { return m_name; }
    OXDatabase *database() const override { return m_database; }
    MyDocument *document() const { return m_document; }
    QWidget *window() const { return m_window; }
    LMTableEditView *parentGrid() const { return m_parent; }
    QString parentRowid() const { return m_links.parentRowid(); }
    Value relationship() const { return m_links.relationship(); }
    bool isBackwards() const { return m_links.isBackwards(); }
    bool isSubtable() const { return m_links.isSubtable(); }
    // idList: the linked ids as '3','17'; empty for a top-level grid.
    QString indices() const override { return m_links.idList(); }
    const LMSubtableLinks &links() const { return m_links; }

    // --- Query filter: the filter and the widget shown above the grid (owned by the grid's widget).
    void setQueryFilter(LMGridFilter *filter, QWidget *filterWidget);
    LMGridFilter *queryView() const { return m_filter; }
    bool isQueryOpen() const;
    void toggleQueryView();
    void queryFilterDidChange();
    // The query definition a filter starts with when the grid is shown without a saved query.
    static Value defaultQueryDefinition(OXDatabase *database, const QString &table);

    // --- Query and rows.
    QString standardQuery(bool allColumns) const;
    QString queriedStdSelect() const { return standardQuery(false); }
    // The ids of the standard query's rows, in its order.
    QString identifierQuery() const;
    // Re-runs the standard query and shows the result (the "reload" of every operation).
    void reload();
    void refreshData() { reload(); }
    void refresh();
    std::shared_ptr<QLiteCursor> rows() const { return m_rows; }
    int numberOfRows() const;

    // --- Cells. `field` is the column identifier (the field name).
    QString datatypeForColumn(const QString &field) const;
    // With `stored` false the display value; with true the stored native value (media by a single-row SELECT).
    Value objectValueForTableColumn(const QString &field, int row, bool stored = false);
    // setObjectValue: writes one cell; the refusal (also shown as a sheet) comes back, nullopt otherwise.
    std::optional<Alert> setObjectValue(const Value &value, const QString &field, int row);

    // --- Sorting: 0 ascending, 1 descending, -1 none.
    void didClickTableColumn(int column);
    QString sortField() const { return m_sortField; }
    bool sortAscending() const { return m_sortAscending; }

    // --- Column moves: answers whether the field moved in the design.
    bool moveColumnAtIndex(int from, int to);

    // --- Records.
    void addButton();
    // addButton without starting an edit: the end of an in-place edit picks the cell to edit itself.
    void addButtonWithoutEditing() { writeNewRowAndEdit(false); }
    void removeButton();
    void insertButton();
    void uninsertButton();
    void insertButtonSheetEnded(const QString &rowid) override;
    LMInsertRecord *insertSheet() const;
    bool childUpdatedAdded(LMTableEditView *child, const Value &relationship, const QString &parentRowid,
                           const QString &addedIndex, bool backwards);
    bool childUpdatedRemoved(LMTableEditView *child, const Value &relationship, const QString &parentRowid,
                             const QString &removedIndex, bool backwards);
    // Opens the subtable of a "Relationship" cell; null when no relationship record names the field.
    LMTableEditView *openSubtable(const QString &field, int row);

    // --- Rows and navigation.
    int selectedRow() const;
    void selectRow(int row);
    void gotoFirstRow();
    void gotoPreviousRow();
    void gotoNextRow();
    void gotoLastRow();
    // A number typed into the row-number field; `onReturn` when the user pressed Return.
    void gotoRowText(const QString &text, bool onReturn);
    QLineEdit *rowNumberField() const { return m_rowNumberField; }
    // gotoSheetButton: a sheet asking for a row number; gotoSheetFinished: its answer, as typed on Return.
    void gotoSheetButton();
    void gotoSheetFinished(const QString &text) { gotoRowText(text, true); }
    LMGotoRowSheet *gotoSheet() const;

    // --- Sizes.
    double widthOfValue(const Value &value, const QString &datatype, int column) const;
    void buildAutosizingInformation();
    static int samplesPerColumn(int columns);
    int lastAutosizeSamples() const { return m_sizing.lastSamples(); }
    bool needsAutosize() const { return m_sizing.needsAutosize(); }
    QHash<QString, double> widths() const { return m_sizing.widths(); }
    const LMColumnSizing &sizing() const { return m_sizing; }
    // A shown "Text", "Number" or "Date" value wider (system font, size 12) than the remembered width
    // raises the remembered width of its column.
    void noteDisplayedText(int column, const QString &text);

    // --- Broadcasts and modes.
    void itemDidRename(ItemKind kind, const QString &oldName, const QString &newName);
    void switchToEditDesignCounterpart();

    // --- Data panel (the focused cell). LMDataPanelClient:
    Value storedValueForColumn(const QString &field, int row) override
    {
        return objectValueForTableColumn(field, row, true);
    }
    std::optional<Alert> setValueForColumn(const Value &value, const QString &field, int row) override
    {
        return setObjectValue(value, field, row);
    }
    void reloadTableView() override;
    void refreshDataPanel();
    void completeDataPanel();
    void showDataPanel();
    void toggleDataPanel();
    void focusedCellDidChange();

    // Replaces the opener of "Reveal in Finder…" and "Open" (tests); an empty function restores the desktop's.
    static void setUrlOpener(std::function<bool(const QString &path, bool reveal)> opener);
    static bool openPath(const QString &path, bool reveal);

signals:
    void rowsReloaded();
    void selectionChanged();

private:
    void buildWidget();
    QString restrictionAndOrder() const;
    void showRows();
    void showDisplayedColumns();
    // True while the rows shown are what the standard query would give now.
    bool rowsAreCurrent() const;
    void resetColumns();
    void scheduleAutosize();
    void writeNewRowAndEdit(bool startEditing);
    void showTooManyRecords();
    void showSheet(const Alert &alert);
    void deleteSelectedFromDatabase();
    void updateRowNumberField();
    void widenColumnFor(const Value &value, int column);

    QString m_name;
    OXDatabase *m_database = nullptr;
    QPointer<QWidget> m_window;
    MyDocument *m_document = nullptr;
    QPointer<LMTableEditView> m_parent;
    LMSubtableLinks m_links;
    LMRecordCommands m_records{m_database, m_document, m_links};
    LMTableEditContainer *m_container = nullptr;

    QWidget *m_widget = nullptr;
    QVBoxLayout *m_filterArea = nullptr;
    LMTableDataTableView *m_tableView = nullptr;
    LMTableEditModel *m_model = nullptr;
    QLineEdit *m_rowNumberField = nullptr;
    LMGridFilter *m_filter = nullptr;
    QPointer<QWidget> m_filterWidget;
    QPointer<LMInsertRecord> m_insertSheet;
    QPointer<LMGotoRowSheet> m_gotoSheet;

    std::shared_ptr<QLiteCursor> m_rows;
    QString m_loadedQuery;
    int m_loadedCacheMethod = 0;
    QLiteDatabase::ChangeStamp m_loadedStamp;
    QString m_sortField;
    bool m_sortAscending = true;
    LMColumnSizing m_sizing;
};
