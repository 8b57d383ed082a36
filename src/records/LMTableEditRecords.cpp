// LMTableEditView: the record buttons (asking, then LMRecordCommands, then reloading), and opening subtables.
#include "LMInsertRecord.h"
#include "LMRecordQuestions.h"
#include "LMTableDataTableView.h"
#include "LMTableEditContainer.h"
#include "LMTableEditModel.h"
#include "LMTableEditView.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "Ui.h"

void LMTableEditView::showTooManyRecords()
{
    showSheet(LMRecordCommands::tooManyRecords());
}

// Adds a new empty row (linked in a subtable), selects it and optionally starts editing it.
void LMTableEditView::writeNewRowAndEdit(bool startEditing)
{
    const LMRecordCommands::Added added = m_records.addRecord(m_name, !m_parent.isNull());
    if (added.outcome != LMRecordCommands::Added::Outcome::Added) {
        if (added.outcome == LMRecordCommands::Added::Outcome::Refused)
            Ui::instance().beep();
        if (added.alert)
            showSheet(*added.alert);
        reload();
        return;
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
        m_records.deleteRecord(m_name, m_model->idForRow(row));
        reload();
        m_tableView->setToNA();
        return;
    }
    if (m_links.isEmpty()) {
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
    m_records.deleteLinkedRecord(m_name, id, !m_parent.isNull());
    reload();
    m_tableView->setToNA();
}

void LMTableEditView::uninsertButton()
{
    const int row = selectedRow();
    if (!isSubtable() || m_links.isEmpty() || row < 0) {
        Ui::instance().beep();
        return;
    }
    m_records.unlinkRecord(m_model->idForRow(row), !m_parent.isNull());
    reload();
    m_tableView->setToNA();
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
