// LMTableDesignFormQuestion: the "Create Form?" question and its suppression check box, asked through the Ui seam.
#pragma once

#include "Alert.h"

#include <QString>

class MyDocument;
class QWidget;

namespace LMTableDesignFormQuestion {
struct Answer {
    QString button;
    bool suppress = false; // the "do not ask again" box was checked
};
// Asks through Ui::runSuppressibleAlert with a "Do not ask again" box.
Answer ask(const Alert &alert, QWidget *window);

// Makes the form the answers "Create" and "Create and open" ask for; the forms library installs it.
// Answers the new form's name, or "" when none was made (or no generator is installed).
using FormGenerator = QString (*)(MyDocument *document, const QString &table);
void setFormGenerator(FormGenerator generator);
QString generateForm(MyDocument *document, const QString &table);
} // namespace LMTableDesignFormQuestion
