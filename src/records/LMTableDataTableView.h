// LMTableDataTableView: the grid widget: a table view with a focused cell, its keyboard rules, the
// per-datatype cell commands of the "Actions" menu, in-place edit endings and drops onto cells.
#pragma once

#include "Value.h"

#include <QAbstractItemDelegate>
#include <QPersistentModelIndex>
#include <QStringList>
#include <QTableView>

class LMTableEditModel;
class LMTableEditView;
class OXDatabase;
class QMenu;
class QMimeData;

class LMTableDataTableView : public QTableView {
    Q_OBJECT
public:
    LMTableDataTableView(LMTableEditView *dataSource, QWidget *parent = nullptr);

    LMTableEditView *dataSource() const { return m_dataSource; }
    LMTableEditModel *gridModel() const;
    OXDatabase *database() const;
    QString pureName() const;
    QString datatypeForColumn(int column) const;

    // --- Focused cell.
    bool isFocusActive() const { return m_focusActive; }
    int focusedRow() const { return m_focusActive ? m_focusRow : -1; }
    int focusedColumn() const { return m_focusActive ? m_focusColumn : -1; }
    // The field of the focused cell (the part after the last "." of the column identifier).
    QString focusedField() const;
    void setFocusedCell(int row, int column);
    void setToNA();
    int selectedRow() const;
    // Selects the row and makes the focused cell active on it (keeping its column, else column 1).
    void selectRowAndFocus(int row);

    // --- Editing. Begins editing a cell in place, or hands the cell to the data panel or subtable.
    void editColumn(int column, int row);
    bool isEditingCell() const { return state() == QAbstractItemView::EditingState; }
    QWidget *currentEditor() const;
    // Commits and closes an open in-place editor without moving on (before saving or switching views).
    void commitPendingEdit();
    // Called while an edit commits when the value was refused: the cell stays in editing with the typed text.
    void noteRefusedEdit() { m_commitRefused = true; }

    // --- Cell commands on the focused cell.
    static QStringList contextMenuTitles(const QString &datatype);
    QMenu *buildContextMenu();
    void cut();
    void copy();
    void paste();
    void clear();
    void setToZero();
    void setToToday();
    void toggleBoolean();
    void editInTable();
    void editInDataPanel();
    void importFileIntoCell();
    void exportCellToFile();
    void revealFilePathInFinder();
    void openFilePath();
    void refreshDataPane();

    // Writes the value a drop of `data` carries into the cell; false when the drop has no usable data.
    bool dropMimeDataOnCell(const QMimeData *data, int row, int column);

    // --- Columns.
    // Drags of the header land here: refused moves (and any move of the first column) are undone.
    void moveColumn(int from, int to);
    void sizeLastColumnToFit();
    void updateSortIndicator();

signals:
    void selectedRowChanged();
    void focusedCellChanged();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void commitData(QWidget *editor) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    bool hasValidFocus() const;
    Value storedFocusedValue() const;
    void write(const Value &value);
    void moveFocusColumn(int delta);
    // The nearest data column from `column` in the direction of `step` (+1 or -1) that an open query does
    // not hide; -1 when there is none. The id column is never a target.
    int shownColumnFrom(int column, int step) const;
    // Moves on to a cell at the end of an edit: edits it when it is edited in place, else only focuses it
    // (moving through a check box or a media cell must not change or open it).
    void moveEditTo(int column, int row);
    void tabFromFocusedCell(bool backwards);
    void textDidEndEditing(QAbstractItemDelegate::EndEditHint hint, int column, int row);
    void sectionMoved(int logical, int oldVisual, int newVisual);

    LMTableEditView *m_dataSource;
    bool m_focusActive = false;
    int m_focusRow = -1;
    int m_focusColumn = -1;
    QPersistentModelIndex m_editIndex;
    int m_editRow = -1;
    int m_editColumn = -1;
    bool m_undoingMove = false;
    bool m_commitRefused = false;
    bool m_committing = false;
};
