// LMRecordQuestions: the questions every record editor (the grid and the form) asks before deleting a record.
#pragma once

class QWidget;

namespace LMRecordQuestions {
// Asks "Are you sure you want to delete this row?" when the preference "LMPromptWhenDelete" is on; true when the
// record may be deleted (always when the preference is off).
bool confirmDelete(QWidget *window);

enum class NestedDelete { RemoveFromRelationship, DeleteFromDatabase, Cancel };
// A related record's editor asks whether to remove the record from the relationship or delete it for good.
NestedDelete askNestedDelete(QWidget *window);
} // namespace LMRecordQuestions
