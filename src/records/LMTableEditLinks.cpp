// LMTableEditView: links between a subtable's records and its parent row, through the relationship manager.
#include "LMInsertRecord.h"
#include "LMTableEditView.h"
#include "Ui.h"

bool LMTableEditView::childUpdatedAdded(LMTableEditView *child, const Value &relationship, const QString &parentRowid,
                                        const QString &addedIndex, bool backwards)
{
    Q_UNUSED(child)
    Q_UNUSED(relationship)
    Q_UNUSED(parentRowid)
    Q_UNUSED(addedIndex)
    Q_UNUSED(backwards)
    return false;
}

bool LMTableEditView::childUpdatedRemoved(LMTableEditView *child, const Value &relationship, const QString &parentRowid,
                                          const QString &removedIndex, bool backwards)
{
    Q_UNUSED(child)
    Q_UNUSED(relationship)
    Q_UNUSED(parentRowid)
    Q_UNUSED(removedIndex)
    Q_UNUSED(backwards)
    return false;
}

void LMTableEditView::insertButtonSheetEnded(const QString &rowid)
{
    Q_UNUSED(rowid)
    showTooManyRecords();
    reload();
}

LMInsertRecord *LMTableEditView::insertSheet() const
{
    return m_insertSheet.data();
}
