// LMTableEditView: links between a subtable's records and its parent row, through LMSubtableLinks.
#include "LMInsertRecord.h"
#include "LMTableEditView.h"

bool LMTableEditView::childUpdatedAdded(LMTableEditView *child, const Value &relationship, const QString &parentRowid,
                                        const QString &addedIndex, bool backwards)
{
    Q_UNUSED(child)
    return LMSubtableLinks::linkInParent(m_database, relationship, parentRowid, addedIndex, backwards);
}

bool LMTableEditView::childUpdatedRemoved(LMTableEditView *child, const Value &relationship, const QString &parentRowid,
                                          const QString &removedIndex, bool backwards)
{
    Q_UNUSED(child)
    return LMSubtableLinks::unlinkInParent(m_database, relationship, parentRowid, removedIndex, backwards);
}

void LMTableEditView::insertButtonSheetEnded(const QString &rowid)
{
    if (!m_records.linkExistingRecord(rowid, !m_parent.isNull()))
        showTooManyRecords();
    reload();
}

LMInsertRecord *LMTableEditView::insertSheet() const
{
    return m_insertSheet.data();
}
