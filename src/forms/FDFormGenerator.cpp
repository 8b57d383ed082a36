// FDFormGenerator: a 400 × 400 canvas named after the table, auto-generated and stored in the document.
#include "FDFormGenerator.h"

#include "FDCanvas.h"
#include "FDKeys.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "Ui.h"

namespace FDFormGenerator {
Value generatedDefinition(OXDatabase *database, const QString &table, const QString &formName)
{
    FDCanvas canvas;
    canvas.setName(formName);
    canvas.setContentTable(table);
    // A form for a table that does not exist would show nothing; none is made.
    if (!canvas.autoGenerate(database))
        return Value();
    return canvas.dictionary();
}

bool generateFormWithWindow(MyDocument *document, const QString &table, const QString &formName)
{
    if (!document || !document->database())
        return false;
    const QString name = formName.isEmpty() ? table : formName;
    if (name.isEmpty() || MyDocument::indexOfItemNamed(document->forms(), name) >= 0)
        return false;
    const Value definition = generatedDefinition(document->database(), table, name);
    if (!definition.isDict() || definition.isEmpty())
        return false;
    document->forms().append(definition);
    if (document->viewHost())
        document->viewHost()->reloadSourceList();
    document->setChanged(true);
    return true;
}

QString generateFormForTable(MyDocument *document, const QString &table)
{
    return generateFormWithWindow(document, table) ? table : QString();
}
bool addForm(MyDocument *document, const Value &definition)
{
    if (!document || !definition.isDict())
        return false;
    const QString name = definition.value(FDKeys::kName).toString();
    if (name.isEmpty() || MyDocument::indexOfItemNamed(document->forms(), name) >= 0) {
        Ui::instance().beep();
        return false;
    }
    // Stored as given: the designer reads any definition, and keys it does not know stay as they are.
    document->forms().append(definition.deepCopy());
    if (document->viewHost())
        document->viewHost()->reloadSourceList();
    document->setChanged(true);
    return true;
}
} // namespace FDFormGenerator
