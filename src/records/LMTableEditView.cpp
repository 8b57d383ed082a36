// LMTableEditView: construction, the standard query, cell values and edits, sorting, column moves, renames.
#include "LMTableEditView.h"
#include "DesignVocabulary.h"

#include "LMGridFilter.h"
#include "LMQueryDefinition.h"
#include "LMTableDataTableView.h"
#include "LMTableEditContainer.h"
#include "LMTableEditModel.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"
#include "Ui.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
QString backQuoted(const QString &name)
{
    return QLiteDatabase::quoteIdentifier(name);
}
} // namespace

LMTableEditView::LMTableEditView(const QString &name, OXDatabase *database, QWidget *window,
                                 const QString &commaIndexes, MyDocument *document, LMTableEditView *parent,
                                 const QString &parentRowid, const Value &relationship, bool isBackwards)
    : m_name(name), m_database(database), m_window(window), m_document(document), m_parent(parent),
      m_links(database, relationship, parentRowid, isBackwards, commaIndexes)
{
    if (name.isEmpty() || !database || database->tableDesign(name).isNull())
        Ui::instance().runAlert(Alert::make(QStringLiteral("Error - Invalid Table Name"),
                                            QStringLiteral("Please submit a bug report to tandrel.")),
                                m_window);
    m_model = new LMTableEditModel(this);
    m_model->setDatabase(database);
    m_model->setTableName(name);
    m_model->setWriter([this](const Value &value, int column, int row) {
        return !setObjectValue(value, m_model->hasFields() ? m_model->fieldAt(column) : QString(), row);
    });
    buildWidget();
    resetColumns();
    reload();
}

// The panel forgets this grid through ~LMDataPanelClient; it has committed already when it lost key status.
LMTableEditView::~LMTableEditView()
{
    delete m_widget;
}

void LMTableEditView::buildWidget()
{
    m_widget = new QWidget;
    m_widget->setObjectName(QStringLiteral("LMTableEditView"));
    auto *layout = new QVBoxLayout(m_widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_filterArea = new QVBoxLayout;
    layout->addLayout(m_filterArea);
    m_tableView = new LMTableDataTableView(this, m_widget);
    m_tableView->setModel(m_model);
    layout->addWidget(m_tableView, 1);

    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(4, 2, 4, 2);
    const auto button = [&](const QString &name, const QString &text, void (LMTableEditView::*slot)()) {
        auto *b = new QToolButton(m_widget);
        b->setObjectName(name);
        b->setText(text);
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, this, slot);
        bar->addWidget(b);
    };
    button(QStringLiteral("firstRow"), QStringLiteral("|◀"), &LMTableEditView::gotoFirstRow);
    button(QStringLiteral("previousRow"), QStringLiteral("◀"), &LMTableEditView::gotoPreviousRow);
    m_rowNumberField = new QLineEdit(m_widget);
    m_rowNumberField->setObjectName(QStringLiteral("rowNumberField"));
    m_rowNumberField->setMaximumWidth(70);
    m_rowNumberField->setAlignment(Qt::AlignCenter);
    connect(m_rowNumberField, &QLineEdit::textEdited, this, [this](const QString &text) { gotoRowText(text, false); });
    connect(m_rowNumberField, &QLineEdit::returnPressed, this, [this] { gotoRowText(m_rowNumberField->text(), true); });
    bar->addWidget(m_rowNumberField);
    button(QStringLiteral("nextRow"), QStringLiteral("▶"), &LMTableEditView::gotoNextRow);
    button(QStringLiteral("lastRow"), QStringLiteral("▶|"), &LMTableEditView::gotoLastRow);
    button(QStringLiteral("gotoRow"), QStringLiteral("Go to…"), &LMTableEditView::gotoSheetButton);
    bar->addStretch(1);
    layout->addLayout(bar);

    connect(m_tableView, &LMTableDataTableView::selectedRowChanged, this, [this] {
        updateRowNumberField();
        emit selectionChanged();
    });
}

// --- Query filter

void LMTableEditView::setQueryFilter(LMGridFilter *filter, QWidget *filterWidget)
{
    const QString before = queriedStdSelect();
    if (m_filterWidget && m_filterWidget != filterWidget)
        delete m_filterWidget;
    m_filter = filter;
    m_filterWidget = filterWidget;
    if (filterWidget)
        m_filterArea->addWidget(filterWidget);
    if (filter)
        filter->setChangeHandler([this] { queryFilterDidChange(); });
    // A closed filter restricts nothing, so the rows shown stay right without another SELECT.
    if (queriedStdSelect() != before)
        reload();
}

bool LMTableEditView::isQueryOpen() const
{
    return m_filter && m_filter->isOpen();
}

void LMTableEditView::toggleQueryView()
{
    if (m_filter)
        m_filter->toggleQueryView();
    reload();
}

void LMTableEditView::queryFilterDidChange()
{
    reload();
}

Value LMTableEditView::defaultQueryDefinition(OXDatabase *database, const QString &table)
{
    return LMQueryDefinition::gridDefinition(table, database ? database->allNamesForTable(table) : QStringList());
}

// --- Query and rows

QString LMTableEditView::standardQuery(bool allColumns) const
{
    QStringList columns;
    if (m_database) {
        const QStringList names = m_database->allNamesForTable(m_name);
        const QStringList types = m_database->allTypesForTable(m_name);
        for (int i = 0; i < names.size(); ++i)
            if (allColumns || !Datatypes::isMedia(types.value(i)))
                columns << backQuoted(names[i]);
    }
    return QStringLiteral("SELECT ") + (columns.isEmpty() ? QStringLiteral("*") : columns.join(", ")) +
           restrictionAndOrder();
}

QString LMTableEditView::identifierQuery() const
{
    return QStringLiteral("SELECT `id`") + restrictionAndOrder();
}

QString LMTableEditView::restrictionAndOrder() const
{
    QString sql = QStringLiteral(" FROM %1 ").arg(backQuoted(m_name));
    const bool open = isQueryOpen();
    const QString filterClause = open ? m_filter->whereClause() : QString();
    if (!isSubtable()) {
        if (open && !filterClause.isEmpty())
            sql += QStringLiteral(" WHERE %1 ").arg(filterClause);
    } else if (!open || filterClause.isEmpty()) {
        sql += QStringLiteral(" WHERE id IN (%1) ").arg(m_links.idList());
    } else {
        sql += QStringLiteral(" WHERE (%1) AND (id IN (%2)) ").arg(filterClause, m_links.idList());
    }
    if (!m_sortField.isEmpty())
        sql += QStringLiteral("ORDER BY %1 %2").arg(backQuoted(m_sortField), m_sortAscending ? "ASC" : "DESC");
    return sql;
}

void LMTableEditView::reload()
{
    const QString sql = queriedStdSelect();
    const int method = OXDatabase::cacheMethodPreference();
    // The same rows in the same order as the grid's own statement: the cursor reads only their ids at first
    // and the other values a page at a time, so a large table opens without reading every row.
    QLiteRowSource source;
    if (m_database && m_model->columnOfField(DesignKey::IdFieldName) >= 0)
        source = QLiteRowSource{m_name, DesignKey::IdFieldName, identifierQuery()};
    m_rows.reset();
    m_model->releaseRows();
    m_rows = m_database ? m_database->performQuery(sql, method, source) : nullptr;
    m_loadedQuery = sql;
    m_loadedCacheMethod = method;
    m_loadedStamp = m_database ? m_database->changeStamp() : QLiteDatabase::ChangeStamp();
    showRows();
}

void LMTableEditView::showRows()
{
    m_model->setRows(m_rows);
    showDisplayedColumns();
    updateRowNumberField();
    scheduleAutosize();
    emit rowsReloaded();
}

void LMTableEditView::showDisplayedColumns()
{
    // An open saved query shows only the fields it lists.
    const QStringList shown = isQueryOpen() ? m_filter->displayedFields() : QStringList();
    for (int c = 0; c < m_model->columnCount(); ++c)
        m_tableView->setColumnHidden(c, !shown.isEmpty() && !shown.contains(m_model->fieldAt(c)));
}

bool LMTableEditView::rowsAreCurrent() const
{
    // A cursor whose connection closed (the document reverted) reads nothing more.
    return m_rows && m_database && m_rows->database() == m_database && m_loadedQuery == queriedStdSelect() &&
           m_loadedCacheMethod == OXDatabase::cacheMethodPreference() && m_loadedStamp == m_database->changeStamp();
}

int LMTableEditView::numberOfRows() const
{
    return m_rows ? int(m_rows->rowCount()) : 0;
}

void LMTableEditView::refresh()
{
    resetColumns();
    m_sizing.setNeedsAutosize();
    // A grid that was just made (or shown again with nothing changed) already shows what the query gives.
    if (rowsAreCurrent())
        showRows();
    else
        reload();
    if (m_filter)
        m_filter->refresh();
    m_tableView->setToNA();
}

void LMTableEditView::resetColumns()
{
    m_sizing.clearWidths();
    m_model->resetColumns();
    QHeaderView *header = m_tableView->horizontalHeader();
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const bool isRelationship = Datatypes::fromName(m_model->datatypeAt(c)) == Datatype::Relationship;
        const int width = header->sectionSizeHint(c);
        header->setSectionResizeMode(c, isRelationship ? QHeaderView::Fixed : QHeaderView::Interactive);
        header->resizeSection(c, isRelationship ? qMax(width, 42) : width);
        if (m_model->hasFields())
            m_sizing.rememberWidth(m_model->fieldAt(c), width);
    }
    m_tableView->sizeLastColumnToFit();
    const int sortColumn = m_model->columnOfField(m_sortField);
    if (sortColumn < 0)
        m_sortField.clear();
    else
        m_model->setSortType(sortColumn, m_sortAscending ? 0 : 1);
    m_tableView->updateSortIndicator();
}

// --- Cells

QString LMTableEditView::datatypeForColumn(const QString &field) const
{
    return m_database ? m_database->typeForTable(m_name, field) : QString();
}

Value LMTableEditView::objectValueForTableColumn(const QString &field, int row, bool stored)
{
    const int column = m_model->columnOfField(field);
    if (column < 0 || row < 0 || row >= numberOfRows())
        return Value();
    const QString type = m_model->datatypeAt(column);
    if (!stored || !Datatypes::isMedia(type))
        return m_model->displayValue(column, row);
    const QString id = m_model->idForRow(row);
    const std::shared_ptr<QLiteCursor> cursor = m_database->executeQuery(
        QStringLiteral("SELECT %1 FROM %2 WHERE id='%3'")
            .arg(backQuoted(field), backQuoted(m_name), OXDatabase::escapeQuotesFromString(id)));
    if (!cursor || cursor->rowCount() == 0)
        return Value();
    const QString text = cursor->rowAtIndex(0)->stringForColumn(m_name + QLatin1Char('.') + field);
    return m_database->dbToNativeForTable(DesignVocabulary::isNullLike(text) ? QString() : text, m_name, field);
}

namespace {
// "Nothing is written when equal": for text-like cells every null-like value counts as the same empty value.
bool sameDisplayValue(const Value &a, const Value &b)
{
    const auto empty = [](const Value &v) { return v.isNull() || (v.isString() && v.toString().isEmpty()); };
    if (empty(a) || empty(b))
        return empty(a) && empty(b);
    return a == b;
}
} // namespace

std::optional<Alert> LMTableEditView::setObjectValue(const Value &value, const QString &field, int row)
{
    if (m_document)
        m_document->setChanged(true);
    if (field == DesignKey::IdFieldName || row < 0 || row >= numberOfRows())
        return std::nullopt;
    const int column = m_model->columnOfField(field);
    const Datatype type = Datatypes::fromName(m_model->datatypeAt(column));
    if (type == Datatype::Relationship) {
        openSubtable(field, row);
        return std::nullopt;
    }
    if ((type == Datatype::Text || type == Datatype::Number || type == Datatype::Date || type == Datatype::FilePath) &&
        sameDisplayValue(value, m_model->displayValue(column, row)))
        return std::nullopt;
    const QString id = m_model->idForRow(row);
    std::optional<Alert> alert = m_database->insertNativeValue(value, m_name, field, id);
    reload();
    if (alert)
        showSheet(*alert);
    refreshDataPanel();
    widenColumnFor(value, column);
    return alert;
}

void LMTableEditView::showSheet(const Alert &alert)
{
    Ui::instance().runAlert(alert, m_window);
}

// --- Sorting

void LMTableEditView::didClickTableColumn(int column)
{
    if (!m_model->hasFields() || column < 0 || column >= m_model->columnCount())
        return;
    // The selection follows the record to its new place, not the row number it had.
    const int selected = selectedRow();
    const QString selectedId = selected >= 0 ? m_model->idForRow(selected) : QString();
    const int focusedColumn = m_tableView->focusedColumn();
    const QString field = m_model->fieldAt(column);
    if (m_sortField == field && m_sortAscending) {
        m_sortAscending = false;
        m_model->setSortType(column, 1);
    } else if (m_sortField == field) {
        m_sortField.clear();
        m_model->setSortType(column, -1);
    } else {
        m_sortField = field;
        m_sortAscending = true;
        m_model->setSortType(column, 0);
    }
    m_tableView->updateSortIndicator();
    reload();
    if (selectedId.isEmpty())
        return;
    for (int row = 0; row < numberOfRows(); ++row) {
        if (m_model->idForRow(row) == selectedId) {
            m_tableView->setFocusedCell(row, focusedColumn >= 0 ? focusedColumn : (m_model->columnCount() > 1 ? 1 : 0));
            m_tableView->scrollTo(m_model->index(row, m_tableView->focusedColumn()));
            updateRowNumberField();
            return;
        }
    }
}

// --- Column moves

bool LMTableEditView::moveColumnAtIndex(int from, int to)
{
    if (isQueryOpen() || !m_database)
        return false;
    Value fields = m_database->tableDesign(m_name).value(DesignKey::Fields);
    if (!fields.isArray() || from < 0 || to < 0 || from >= fields.size() || to >= fields.size())
        return false;
    if (from == to)
        return true;
    const Value moved = fields.at(from);
    fields.removeAt(from);
    fields.insert(to, moved);
    if (m_document)
        m_document->setChanged(true);
    return true;
}

void LMTableEditView::itemDidRename(ItemKind kind, const QString &oldName, const QString &newName)
{
    if (kind == ItemKind::Table && oldName == m_name) {
        m_name = newName;
        m_model->setTableName(newName);
        reload();
    } else if (kind == ItemKind::Query && m_filter) {
        m_filter->itemDidRename(kind, oldName, newName);
    }
}

void LMTableEditView::switchToEditDesignCounterpart()
{
    if (m_container)
        m_container->switchToMode(ViewKinds::identifier(ViewKind::TableDesign));
}
