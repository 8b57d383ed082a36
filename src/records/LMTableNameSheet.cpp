// LMTableNameSheet: one text sheet through the Ui seam, asked again after each refusal; the rules are the caller's.
#include "LMTableNameSheet.h"

#include "Ui.h"

namespace {
LMTableNameSheet::Prompt &installed()
{
    static LMTableNameSheet::Prompt prompt;
    return prompt;
}

std::optional<QString> promptThroughUi(LMTableNameSheet::Mode mode, const QString &currentName, QWidget *window)
{
    TextInputOptions options;
    options.title = LMTableNameSheet::title(mode);
    options.label = LMTableNameSheet::title(mode) + QLatin1Char(':');
    options.text = currentName;
    options.acceptButton = LMTableNameSheet::acceptButton(mode);
    return Ui::instance().runTextInput(options, window);
}
} // namespace

namespace LMTableNameSheet {
void setPrompt(Prompt prompt)
{
    installed() = std::move(prompt);
}

QString title(Mode mode)
{
    return mode == Mode::NewTable ? QStringLiteral("Name of the new table") : QStringLiteral("New name of the table");
}

QString acceptButton(Mode mode)
{
    return mode == Mode::NewTable ? QStringLiteral("OK") : QStringLiteral("Rename");
}

std::optional<QString> run(Mode mode, const QString &currentName, QWidget *window,
                           const std::function<std::optional<Alert>(const QString &)> &giveName)
{
    QString shown = currentName;
    for (;;) {
        const std::optional<QString> entered =
            installed() ? installed()(mode, shown, window) : promptThroughUi(mode, shown, window);
        if (!entered)
            return std::nullopt;
        const std::optional<Alert> refused = giveName(*entered);
        if (!refused)
            return *entered;
        Ui::instance().runAlert(*refused, window);
        shown = *entered;
    }
}
} // namespace LMTableNameSheet
