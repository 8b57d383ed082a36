// LMTableEditView: links between a subtable's records and its parent row, through the relationship manager.
#include "LMInsertRecord.h"
#include "LMRelationshipManager.h"
#include "LMTableEditView.h"
#include "Ui.h"

bool LMTableEditView::childUpdatedAdded(LMTableEditView *child, const Value &relationship, const QString &parentRowid,
                                        const QString &addedIndex, bool backwards)
{
    Q_UNUSED(child)
    LMRelationshipManager manager(m_database, relationship);
    return backwards ? manager.addRowIndexToRowAtChildIndex(addedIndex, parentRowid)
                     : manager.addRowIndexToRowAtParentIndex(addedIndex, parentRowid);
}

bool LMTableEditView::childUpdatedRemoved(LMTableEditView *child, const Value &relationship, const QString &parentRowid,
                                          const QString &removedIndex, bool backwards)
{
    Q_UNUSED(child)
    LMRelationshipManager manager(m_database, relationship);
    return backwards ? manager.removeRowIndexToRowAtChildIndex(removedIndex, parentRowid)
                     : manager.removeRowIndexFromRowAtParentIndex(removedIndex, parentRowid);
}

void LMTableEditView::insertButtonSheetEnded(const QString &rowid)
{
    LMRelationshipManager manager(m_database, m_relationship);
    // A one-to-one parent row that already holds a link takes no other (the parent row is an end row
    // when the subtable was opened from the end side).
    const std::optional<QString> existing = m_isBackwards ? manager.rawRowIndexesOfRowAtChildIndex(m_parentRowid)
                                                          : manager.rawRowIndexesOfRowAtParentIndex(m_parentRowid);
    if (manager.relationshipType() == 0 && existing) {
        showTooManyRecords();
        reload();
        return;
    }
    if (m_parent && m_parent->childUpdatedAdded(this, m_relationship, m_parentRowid, rowid, m_isBackwards)) {
        appendToIdList(rowid);
        reload();
        return;
    }
    showTooManyRecords();
    reload();
}

LMInsertRecord *LMTableEditView::insertSheet() const
{
    return m_insertSheet.data();
}
