// Ui: the installed implementation; without one, a silent implementation that answers the first button.
#include "Ui.h"

#include "ScriptedUi.h"

namespace {
Ui *g_installed = nullptr;
}

QString Ui::runAlertButton(const Alert &alert, QWidget *window)
{
    const int index = runAlert(alert, window);
    return index >= 0 && index < alert.buttons.size() ? alert.buttons.at(index) : QString();
}

Ui &Ui::instance()
{
    if (g_installed)
        return *g_installed;
    // Headless programs (the command-line tool) get answers without any window.
    static ScriptedUi fallback;
    return fallback;
}

void Ui::install(Ui *ui)
{
    g_installed = ui;
}
