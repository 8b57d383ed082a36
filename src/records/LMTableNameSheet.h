// LMTableNameSheet: the sheet that names a new table or renames one; it stays up until a name is accepted or
// the user cancels, showing the refusal of each name that breaks the table name rules.
#pragma once

#include "Alert.h"

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace LMTableNameSheet {
enum class Mode { NewTable, Rename };

// Asks for a name: the entered text, or nullopt when cancelled. Tests replace it.
using Prompt = std::function<std::optional<QString>(Mode mode, const QString &currentName, QWidget *window)>;
void setPrompt(Prompt prompt);

// The sheet's texts.
QString title(Mode mode);
QString acceptButton(Mode mode);

// Runs the sheet: each entered name goes to `giveName`, whose refusal is shown (through the Ui seam) before
// asking again. The accepted name, or nullopt when the user cancelled.
std::optional<QString> run(Mode mode, const QString &currentName, QWidget *window,
                           const std::function<std::optional<Alert>(const QString &)> &giveName);
} // namespace LMTableNameSheet
