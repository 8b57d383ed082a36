// LMTableDataTableView: focused cell, keyboard rules, edit endings and header clicks and drags.
#include "LMTableDataTableView.h"
#include "DesignVocabulary.h"

#include "LMTableDataDelegate.h"
#include "LMTableEditModel.h"
#include "LMTableEditView.h"
#include "OXDatabase.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>

LMTableDataTableView::LMTableDataTableView(LMTableEditView *dataSource, QWidget *parent)
    : QTableView(parent), m_dataSource(dataSource)
{
    setObjectName(QStringLiteral("LMTableDataTableView"));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed);
    setItemDelegate(new LMTableDataDelegate(this));
    setSortingEnabled(false);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setDropIndicatorShown(true);
    setTabKeyNavigation(false);
    setWordWrap(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    QHeaderView *header = horizontalHeader();
    header->setSectionsMovable(true);
    header->setStretchLastSection(false);
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int column) { m_dataSource->didClickTableColumn(column); });
    connect(header, &QHeaderView::sectionMoved, this, &LMTableDataTableView::sectionMoved);
}

LMTableEditModel *LMTableDataTableView::gridModel() const
{
    return m_dataSource->model();
}
OXDatabase *LMTableDataTableView::database() const
{
    return m_dataSource->database();
}
QString LMTableDataTableView::pureName() const
{
    return m_dataSource->pureName();
}
QString LMTableDataTableView::datatypeForColumn(int column) const
{
    return gridModel()->datatypeAt(column);
}

// --- Focused cell

QString LMTableDataTableView::focusedField() const
{
    const QString identifier = gridModel()->fieldAt(focusedColumn());
    return identifier.mid(identifier.lastIndexOf(QLatin1Char('.')) + 1);
}

bool LMTableDataTableView::hasValidFocus() const
{
    return m_focusActive && m_focusRow >= 0 && m_focusColumn >= 0 && m_focusRow < model()->rowCount() &&
           m_focusColumn < model()->columnCount();
}

void LMTableDataTableView::setFocusedCell(int row, int column)
{
    const bool changed = !m_focusActive || row != m_focusRow || column != m_focusColumn;
    m_focusActive = true;
    m_focusRow = row;
    m_focusColumn = column;
    const QModelIndex index = model()->index(row, column);
    // The row is selected even when the view had already made this cell current without selecting it.
    if (index.isValid() && (currentIndex() != index || !selectionModel()->isRowSelected(row, QModelIndex())))
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    viewport()->update();
    if (changed) {
        m_dataSource->focusedCellDidChange();
        emit focusedCellChanged();
        emit selectedRowChanged();
    }
}

void LMTableDataTableView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (current.isValid() && (!m_focusActive || current.row() != m_focusRow || current.column() != m_focusColumn))
        setFocusedCell(current.row(), current.column());
}

void LMTableDataTableView::setToNA()
{
    m_focusActive = false;
    m_focusRow = -1;
    m_focusColumn = -1;
    if (selectionModel()) {
        selectionModel()->clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
    viewport()->update();
    m_dataSource->completeDataPanel();
    m_dataSource->focusedCellDidChange();
    emit focusedCellChanged();
    emit selectedRowChanged();
}

int LMTableDataTableView::selectedRow() const
{
    if (!selectionModel())
        return -1;
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void LMTableDataTableView::selectRowAndFocus(int row)
{
    int column = m_focusColumn;
    if (!m_focusActive || column < 0 || column >= model()->columnCount() || isColumnHidden(column))
        column = qMax(0, shownColumnFrom(0, 1));
    setFocusedCell(row, column);
    scrollTo(model()->index(row, column));
}

// --- Keyboard

void LMTableDataTableView::moveFocusColumn(int delta)
{
    if (!hasValidFocus())
        return;
    const int column = shownColumnFrom(m_focusColumn, delta < 0 ? -1 : 1);
    if (column < 1)
        return;
    setFocusedCell(m_focusRow, column);
    scrollTo(model()->index(m_focusRow, column));
}

int LMTableDataTableView::shownColumnFrom(int column, int step) const
{
    for (int c = column + step; c >= 1 && c < model()->columnCount(); c += step)
        if (!isColumnHidden(c))
            return c;
    return -1;
}

bool LMTableDataTableView::event(QEvent *event)
{
    // Tab and Shift-Tab move the focused cell instead of the keyboard focus.
    if (event->type() == QEvent::KeyPress && state() != EditingState) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            tabFromFocusedCell(key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    return QTableView::event(event);
}

void LMTableDataTableView::tabFromFocusedCell(bool backwards)
{
    if (!hasValidFocus())
        return;
    if (shownColumnFrom(m_focusColumn, backwards ? -1 : 1) >= 1) {
        moveFocusColumn(backwards ? -1 : 1);
        return;
    }
    // Past the last column, Tab goes on as it does from an edit, so records can be entered with the keyboard
    // alone through a check box at the end of the row.
    if (!backwards && model()->columnCount() > 1)
        textDidEndEditing(QAbstractItemDelegate::EditNextItem, m_focusColumn, m_focusRow);
}

void LMTableDataTableView::keyPressEvent(QKeyEvent *event)
{
    // The standard shortcuts do what the "Actions" menu's commands of the same names do.
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut) ||
        event->matches(QKeySequence::Paste)) {
        const QStringList titles =
            hasValidFocus() ? contextMenuTitles(datatypeForColumn(m_focusColumn)) : QStringList();
        if (event->matches(QKeySequence::Copy) && titles.contains(QStringLiteral("Copy")))
            copy();
        else if (event->matches(QKeySequence::Cut) && titles.contains(QStringLiteral("Cut")))
            cut();
        else if (event->matches(QKeySequence::Paste) && titles.contains(QStringLiteral("Paste")))
            paste();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (hasValidFocus())
            editColumn(m_focusColumn, m_focusRow);
        return;
    case Qt::Key_Left: moveFocusColumn(-1); return;
    case Qt::Key_Right: moveFocusColumn(1); return;
    case Qt::Key_Delete:
        // Delete clears the focused cell as the "Clear" command does; typing a character edits it.
        if (hasValidFocus() && event->modifiers() == Qt::NoModifier) {
            clear();
            return;
        }
        break;
    case Qt::Key_Space:
        // The space shows the cell in the panel; passed on, it would start an in-place edit that replaces
        // the cell's text with a blank.
        if (hasValidFocus()) {
            m_dataSource->showDataPanel();
            m_dataSource->refreshDataPanel();
            return;
        }
        break;
    default: break;
    }
    QTableView::keyPressEvent(event);
}

void LMTableDataTableView::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && !(model()->flags(index) & Qt::ItemIsEditable)) {
        const QString type = datatypeForColumn(index.column());
        if (!Datatypes::is(type, Datatype::YesNo) && !Datatypes::is(type, Datatype::Relationship)) {
            setFocusedCell(index.row(), index.column());
            editColumn(index.column(), index.row());
            return;
        }
    }
    QTableView::mouseDoubleClickEvent(event);
}

// --- Editing

QWidget *LMTableDataTableView::currentEditor() const
{
    return m_editIndex.isValid() ? indexWidget(m_editIndex) : nullptr;
}

void LMTableDataTableView::commitPendingEdit()
{
    QWidget *editor = currentEditor();
    if (!editor)
        return;
    m_editIndex = QPersistentModelIndex();
    m_editRow = m_editColumn = -1;
    commitData(editor);
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void LMTableDataTableView::editColumn(int column, int row)
{
    const QModelIndex index = model()->index(row, column);
    if (!index.isValid())
        return;
    setFocusedCell(row, column);
    const QString type = datatypeForColumn(column);
    const QString field = gridModel()->fieldAt(column);
    if (Datatypes::isMedia(type)) {
        m_dataSource->showDataPanel();
        m_dataSource->refreshDataPanel();
        return;
    }
    if (Datatypes::is(type, Datatype::Relationship)) {
        m_dataSource->setObjectValue(Value(), field, row);
        return;
    }
    if (Datatypes::is(type, Datatype::YesNo)) {
        toggleBoolean();
        return;
    }
    // A date is typed in the cell; the panel, beside the window, offers its calendar without the keyboard.
    if (Datatypes::is(type, Datatype::Date)) {
        m_dataSource->showDataPanel();
        m_dataSource->refreshDataPanel();
    }
    scrollTo(index);
    setCurrentIndex(index);
    edit(index, QAbstractItemView::AllEditTriggers, nullptr);
}

bool LMTableDataTableView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    const bool started = QTableView::edit(index, trigger, event);
    if (started && state() == EditingState) {
        m_editIndex = index;
        m_editRow = index.row();
        m_editColumn = index.column();
    }
    return started;
}

void LMTableDataTableView::commitData(QWidget *editor)
{
    // A sheet shown by a refusal takes the focus from the editor, which would commit again.
    if (m_committing)
        return;
    auto *line = qobject_cast<QLineEdit *>(editor);
    const QString typed = line ? line->text() : QString();
    m_commitRefused = false;
    m_committing = true;
    QTableView::commitData(editor);
    m_committing = false;
    // The reload after the write has put the stored value back into the editor; the user's text returns.
    if (m_commitRefused && line && line->text() != typed)
        line->setText(typed);
}

void LMTableDataTableView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    // The focus leaving for a refusal's sheet must not close the editor whose value is being written.
    if (m_committing)
        return;
    // A refused value keeps the cell in editing, so the typed text is neither lost nor carried on.
    if (m_commitRefused && hint != QAbstractItemDelegate::RevertModelCache && hint != QAbstractItemDelegate::NoHint &&
        editor == currentEditor()) {
        m_commitRefused = false;
        editor->setFocus();
        return;
    }
    m_commitRefused = false;
    const int row = m_editRow;
    const int column = m_editColumn;
    m_editIndex = QPersistentModelIndex();
    m_editRow = m_editColumn = -1;
    // The delegate has already committed (or, for Escape, not); the movement is ours to decide.
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    if (row >= 0 && column >= 0)
        textDidEndEditing(hint, column, row);
}

void LMTableDataTableView::moveEditTo(int column, int row)
{
    const QModelIndex index = model()->index(row, column);
    if (index.isValid() && (model()->flags(index) & Qt::ItemIsEditable)) {
        setFocusedCell(row, column);
        scrollTo(index);
        setCurrentIndex(index);
        edit(index, QAbstractItemView::AllEditTriggers, nullptr);
        return;
    }
    setFocusedCell(row, column);
    scrollTo(index);
}

void LMTableDataTableView::textDidEndEditing(QAbstractItemDelegate::EndEditHint hint, int column, int row)
{
    // All the rows, not only those read so far: past the last of them a new record is added.
    const int rows = m_dataSource->numberOfRows();
    const int columns = model()->columnCount();
    switch (hint) {
    case QAbstractItemDelegate::SubmitModelCache: // Return
        if (row >= rows - 1) {
            m_dataSource->addButtonWithoutEditing();
            if (row + 1 < model()->rowCount())
                moveEditTo(column, row + 1);
        } else {
            selectRowAndFocus(row + 1);
            moveEditTo(column, row + 1);
        }
        break;
    case QAbstractItemDelegate::EditNextItem: { // Tab
        const int first = shownColumnFrom(0, 1);
        if (const int next = shownColumnFrom(column, 1); next >= 1) {
            moveEditTo(next, row);
        } else if (row < rows - 1) {
            selectRowAndFocus(row + 1);
            moveEditTo(qMax(0, first), row + 1);
        } else if (columns > 1 && first >= 1) {
            m_dataSource->addButtonWithoutEditing();
            if (row + 1 < model()->rowCount())
                moveEditTo(first, row + 1);
        }
        break;
    }
    case QAbstractItemDelegate::EditPreviousItem: // Shift-Tab
        if (const int previous = shownColumnFrom(column, -1); previous >= 1) {
            moveEditTo(previous, row);
        } else if (column >= 1 && row > 0) {
            selectRowAndFocus(row - 1);
            moveEditTo(qMax(0, shownColumnFrom(columns, -1)), row - 1);
        }
        break;
    default: break;
    }
}

// --- Columns

void LMTableDataTableView::sectionMoved(int logical, int oldVisual, int newVisual)
{
    Q_UNUSED(logical)
    if (m_undoingMove)
        return;
    moveColumn(oldVisual, newVisual);
}

void LMTableDataTableView::moveColumn(int from, int to)
{
    const bool accepted = from != 0 && to != 0 && from != to && m_dataSource->moveColumnAtIndex(from, to);
    // The grid shows its columns in design order only: a drag is undone visually either way, and an
    // accepted move shows through the columns rebuilt from the changed design.
    QHeaderView *header = horizontalHeader();
    m_undoingMove = true;
    for (int visual = 0; visual < header->count(); ++visual)
        if (header->logicalIndex(visual) != visual)
            header->moveSection(header->visualIndex(visual), visual);
    m_undoingMove = false;
    if (accepted)
        m_dataSource->refresh();
}

void LMTableDataTableView::sizeLastColumnToFit()
{
    if (!model() || model()->columnCount() == 0)
        return;
    int last = shownColumnFrom(model()->columnCount(), -1);
    if (last < 0)
        last = model()->columnCount() - 1;
    QHeaderView *header = horizontalHeader();
    int used = 0;
    for (int c = 0; c < last; ++c)
        if (!isColumnHidden(c))
            used += header->sectionSize(c);
    const int available = viewport()->width() - used;
    if (available > header->sectionSize(last) && header->sectionResizeMode(last) != QHeaderView::Fixed)
        header->resizeSection(last, available);
}

void LMTableDataTableView::updateSortIndicator()
{
    QHeaderView *header = horizontalHeader();
    for (int c = 0; c < model()->columnCount(); ++c) {
        const int type = gridModel()->sortType(c);
        if (type >= 0) {
            header->setSortIndicator(c, type == 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
            header->setSortIndicatorShown(true);
            return;
        }
    }
    header->setSortIndicatorShown(false);
    header->setSortIndicator(-1, Qt::AscendingOrder);
}
