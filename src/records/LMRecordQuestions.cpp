// LMRecordQuestions: the delete questions shared by the grid and the form editors.
#include "LMRecordQuestions.h"

#include "Preferences.h"
#include "Ui.h"

namespace LMRecordQuestions {
bool confirmDelete(QWidget *window)
{
    if (!Preferences::instance().boolValue(QStringLiteral("LMPromptWhenDelete")))
        return true;
    const Alert ask = Alert::make(QStringLiteral("Are you sure you want to delete this row?"),
                                  QStringLiteral("This action cannot be undone."),
                                  {QStringLiteral("Delete"), QStringLiteral("Don't Delete")});
    return Ui::instance().runAlertButton(ask, window) == QLatin1String("Delete");
}

NestedDelete askNestedDelete(QWidget *window)
{
    const Alert ask = Alert::make(
        QStringLiteral("What do you want to delete?"),
        QStringLiteral(
            "Do you want to delete this record from just the relationship or permanently from the database?"),
        {QStringLiteral("Remove from Relationship"), QStringLiteral("Delete from Database"), QStringLiteral("Cancel")});
    const QString answer = Ui::instance().runAlertButton(ask, window);
    if (answer == QLatin1String("Remove from Relationship"))
        return NestedDelete::RemoveFromRelationship;
    if (answer == QLatin1String("Delete from Database"))
        return NestedDelete::DeleteFromDatabase;
    return NestedDelete::Cancel;
}
} // namespace LMRecordQuestions
