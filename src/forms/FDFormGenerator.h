// FDFormGenerator: a form made in one step from a table (the design editor's "Create Form?" and the CLI).
#pragma once

#include "Value.h"

#include <QString>

class MyDocument;
class OXDatabase;

namespace FDFormGenerator {
// The generated definition of a form named `formName` for `table`; null when the table does not exist.
Value generatedDefinition(OXDatabase *database, const QString &table, const QString &formName);
// generateFormWithWindow:name: — appends a generated form named `formName` (the table's name when empty) to the
// document's forms; false when a form of that name exists or the table does not.
bool generateFormWithWindow(MyDocument *document, const QString &table, const QString &formName = QString());
// The same for the design editor's question: the new form's name, or "" when none was made.
QString generateFormForTable(MyDocument *document, const QString &table);
// Adds a whole form definition (the command line's add-form) with the name checks of the name sheet: a name
// that is empty or another form's beeps and adds nothing.
bool addForm(MyDocument *document, const Value &definition);
} // namespace FDFormGenerator
