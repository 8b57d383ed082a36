// LMTableNameSheet: a small window-modal dialog with one text field; the rules are the caller's.
#include "LMTableNameSheet.h"

#include "Ui.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
LMTableNameSheet::Prompt &installed()
{
    static LMTableNameSheet::Prompt prompt;
    return prompt;
}

std::optional<QString> promptWithDialog(LMTableNameSheet::Mode mode, const QString &currentName, QWidget *window)
{
    QDialog dialog(window);
    dialog.setWindowTitle(LMTableNameSheet::title(mode));
    if (window)
        dialog.setWindowModality(Qt::WindowModal);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(LMTableNameSheet::title(mode) + QLatin1Char(':')));
    auto *field = new QLineEdit(currentName);
    field->selectAll();
    layout->addWidget(field);
    auto *buttons = new QDialogButtonBox;
    buttons->addButton(LMTableNameSheet::acceptButton(mode), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return field->text();
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
            installed() ? installed()(mode, shown, window) : promptWithDialog(mode, shown, window);
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
