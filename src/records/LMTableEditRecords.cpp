// LMTableEditView: adding, deleting, linking and unlinking records, and opening subtables.
#include "DesignVocabulary.h"
#include "LMInsertRecord.h"
#include "LMRecordQuestions.h"
#include "LMTableDataTableView.h"
#include "LMTableEditContainer.h"
#include "LMTableEditModel.h"
#include "LMTableEditView.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "Preferences.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"
#include "Ui.h"

namespace {
const QString kTooManyTitle = QStringLiteral("Too Many Records");
const QString kTooManyText = QStringLiteral("You can't add any more records to this subtable.");

QString quotedId(const QString &id)
{
    return QStringLiteral("'%1'").arg(id);
}
} // namespace

bool LMTableEditView::idListIsEmpty() const
{
    return m_idList.isEmpty() || m_idList == QLatin1String("'<null>'") || m_idList == QLatin1String("'(null)'") ||
           m_idList == QLatin1String("''");
}

void LMTableEditView::appendToIdList(const QString &id)
{
    if (idListIsEmpty())
        m_idList = quotedId(id);
    else
        m_idList += QStringLiteral(",'%1'").arg(id);
}

bool LMTableEditView::removeFromIdList(const QString &id)
{
    QStringList elements = m_idList.split(QLatin1Char(','));
    const bool removed = elements.removeAll(quotedId(id)) > 0;
    m_idList = elements.join(QLatin1Char(','));
    return removed;
}

void LMTableEditView::showTooManyRecords()
{
    showSheet(Alert::make(kTooManyTitle, kTooManyText));
}

// Runs the INSERT of a new empty row, links it in a subtable, and optionally starts editing it.
void LMTableEditView::writeNewRowAndEdit(bool startEditing)
{
    if (m_document)
        m_document->setChanged(true);
    m_database->performQuery(
        QStringLiteral("INSERT INTO %1 (`id`) VALUES (NULL)").arg(QLiteDatabase::quoteIdentifier(m_name)));
    // A failed INSERT leaves the last inserted id of some earlier row: nothing may be linked or selected.
    if (m_database->lastErrorID() != QLSuccess) {
        showSheet(Alert::make(
            QStringLiteral("An Error Occurred"),
            QStringLiteral("Please submit a bug report to tandrel. Error code %1").arg(m_database->lastError())));
        reload();
        return;
    }
    if (isSubtable()) {
        const std::shared_ptr<QLiteCursor> cursor =
            m_database->executeQuery(QStringLiteral("SELECT `id` FROM %1 WHERE id='%2'")
                                         .arg(QLiteDatabase::quoteIdentifier(m_name))
                                         .arg(m_database->lastRowInserted()));
        QString newId = cursor && cursor->rowCount() > 0
                            ? cursor->rowAtIndex(0)->stringForColumn(m_name + QStringLiteral(".id"))
                            : QString();
        if (DesignVocabulary::isNullLike(newId))
            newId.clear();
        if (!m_parent || newId.isEmpty() ||
            !m_parent->childUpdatedAdded(this, m_relationship, m_parentRowid, newId, m_isBackwards)) {
            Ui::instance().beep();
            // The refused row was never linked; leaving it would put an empty record into the other table.
            if (!newId.isEmpty())
                m_database->deleteFromTable(m_name, newId);
            showTooManyRecords();
            reload();
            return;
        }
        appendToIdList(newId);
    }
    reload();
    const int last = numberOfRows() - 1;
    if (last < 0)
        return;
    selectRow(last);
    if (startEditing)
        m_tableView->editColumn(m_model->columnCount() > 1 ? 1 : 0, last);
}

void LMTableEditView::addButton()
{
    writeNewRowAndEdit(true);
}

void LMTableEditView::removeButton()
{
    const int row = selectedRow();
    if (row < 0) {
        Ui::instance().beep();
        return;
    }
    if (!isSubtable()) {
        if (!LMRecordQuestions::confirmDelete(m_window))
            return;
        if (m_document)
            m_document->setChanged(true);
        m_database->deleteFromTable(m_name, m_model->idForRow(row));
        reload();
        m_tableView->setToNA();
        return;
    }
    if (idListIsEmpty()) {
        Ui::instance().beep();
        return;
    }
    switch (LMRecordQuestions::askNestedDelete(m_window)) {
    case LMRecordQuestions::NestedDelete::RemoveFromRelationship: uninsertButton(); break;
    case LMRecordQuestions::NestedDelete::DeleteFromDatabase: deleteSelectedFromDatabase(); break;
    case LMRecordQuestions::NestedDelete::Cancel: break;
    }
}

void LMTableEditView::deleteSelectedFromDatabase()
{
    const int row = selectedRow();
    const QString id = m_model->idForRow(row);
    if (id.isEmpty())
        return;
    if (m_document)
        m_document->setChanged(true);
    // The parent row's link goes too, so the parent field never lists a record that no longer exists.
    if (m_parent)
        m_parent->childUpdatedRemoved(this, m_relationship, m_parentRowid, id, m_isBackwards);
    m_database->deleteFromTable(m_name, id);
    removeFromIdList(id);
    reload();
    m_tableView->setToNA();
}

void LMTableEditView::uninsertButton()
{
    const int row = selectedRow();
    if (!isSubtable() || idListIsEmpty() || row < 0) {
        Ui::instance().beep();
        return;
    }
    const QString id = m_model->idForRow(row);
    removeFromIdList(id);
    if (m_parent)
        m_parent->childUpdatedRemoved(this, m_relationship, m_parentRowid, id, m_isBackwards);
    reload();
    m_tableView->setToNA();
    if (m_document)
        m_document->setChanged(true);
}

void LMTableEditView::insertButton()
{
    if (!isSubtable()) {
        addButton();
        showSheet(Alert::make(QStringLiteral("An Error Occurred"),
                              QStringLiteral("Please submit a bug report to tandrel. Error code %1")
                                  .arg(QStringLiteral("Relationship-less table calling -insertButton. Cleaned up "
                                                      "by calling -addButton: instead"))));
        return;
    }
    if (m_document)
        m_document->setChanged(true);
    if (m_insertSheet)
        m_insertSheet->deleteLater();
    m_insertSheet = new LMInsertRecord(this, m_window, m_database, m_name);
    m_insertSheet->open();
}

LMTableEditView *LMTableEditView::openSubtable(const QString &field, int row)
{
    if (!m_document)
        return nullptr;
    const Value lines = m_document->relationships().value(QStringLiteral("Lines"));
    for (int i = 0; i < lines.size(); ++i) {
        const Value record = lines.at(i);
        QString other;
        bool backwards = false;
        if (record.value(QStringLiteral("Start Table")).toString() == m_name &&
            record.value(QStringLiteral("Start Field")).toString() == field) {
            other = record.value(QStringLiteral("End Table")).toString();
        } else if (record.value(QStringLiteral("End Table")).toString() == m_name &&
                   record.value(QStringLiteral("End Field")).toString() == field) {
            other = record.value(QStringLiteral("Start Table")).toString();
            backwards = true;
        } else {
            continue;
        }
        // A record naming a table that is gone waits for the audit; it opens nothing.
        if (!m_database || !m_database->tablesList().contains(other))
            continue;
        const QString links = m_model->cellString(row, field);
        auto *subtable = new LMTableEditView(other, m_database, m_window, links, m_document, this,
                                             m_model->idForRow(row), record, backwards);
        if (m_container)
            m_container->addEditor(subtable, field);
        else
            subtable->setParent(this);
        return subtable;
    }
    return nullptr;
}
