// LMQueryOpening: how the document opens a saved query: which table (and form) it needs, the "Invalid Query"
// refusal, and the hook through which a filter asks the window to open a query of another table.
#pragma once

#include "Value.h"

#include <QString>
#include <functional>
#include <optional>

class MyDocument;
class QWidget;

namespace LMQueryOpening {
// Where a saved query opens.
struct Target {
    Value query;   // the saved definition (shared with the document's queries)
    QString table; // its content table, which exists
    QString form;  // in a form: the first form whose "Content Table" is the table; "" when there is none
};

// Finds the query by name and the table named by its "Table Name". When either is missing shows the sheet
// "Invalid Query" on `window` and answers nullopt.
std::optional<Target> targetForQuery(MyDocument &document, const QString &name, bool inForm, QWidget *window = nullptr);

// The window's switchToQueryView:inForm:, installed by the application shell: opens the query's table grid
// (or form) and loads the query into its filter with programaticallyOpenQuery.
using SwitchHandler = std::function<bool(MyDocument *document, const QString &name, bool inForm)>;
void setSwitchHandler(SwitchHandler handler);
// Asks the installed handler; without one (no window) answers false.
bool switchToQueryView(MyDocument *document, const QString &name, bool inForm);
} // namespace LMQueryOpening
