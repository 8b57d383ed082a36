// LMReportTextTableSheet: the sheet that writes a text-table formula ("@@Table.:asTable...@@") from a table, the
// fields to show, a record limit, header, side column, data and alternating colours.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class MyDocument;
class QWidget;

namespace LMReportTextTableSheet {
// Colours as six hex digits, lower case, without "#".
inline const QString defaultHeaderColour = QStringLiteral("e1e1e1");
inline const QString defaultSideColour = QStringLiteral("e1e1e1");
inline const QString defaultDataColour = QStringLiteral("ffffff");
inline const QString defaultAlternatingColour = QStringLiteral("edf4ff");

struct Settings {
    QString table;
    QStringList fields; // the table's fields in design order
    QList<bool> shown;  // one per field
    bool limit = false;
    QString first = QStringLiteral("1");
    QString count; // the record count of the table when the table is chosen
    bool header = false;
    QString headerColour = defaultHeaderColour;
    bool side = false;
    QString sideColour = defaultSideColour;
    QString dataColour = defaultDataColour;
    bool alternating = false;
    QString alternatingColour = defaultAlternatingColour;
};

// The settings a table starts with: its fields all shown, the limit 1 to its record count. Nullopt when the
// document has no such table.
std::optional<Settings> settingsForTable(MyDocument &document, const QString &table);
// The formula for the settings; a bare ":header", ":side" or ":alternating" when the colour is the default, so
// the formula gets the built-in colours.
QString formula(const Settings &settings);
// An HTML sample of the table the settings draw (three rows), for the sheet's live preview.
QString sampleHtml(const Settings &settings);

// Runs the sheet: the settings the user accepted, or nullopt. Tests replace it.
using Prompt = std::function<std::optional<Settings>(MyDocument &document, QWidget *window)>;
void setPrompt(Prompt prompt);
// The formula to insert, or nullopt when the sheet was cancelled or names no table of the document.
std::optional<QString> run(MyDocument &document, QWidget *window);
} // namespace LMReportTextTableSheet
