// FDControlNaming: renaming controls in the action pane (the name scripts use to reach a control).
#pragma once

#include <QString>

class FDCanvas;

namespace FDControlNaming {
// One ASCII letter, then ASCII letters, digits, "_" and "$".
bool isValidName(const QString &name);
// controlName: applies `name` to the selected controls, or refuses it (beep) and answers false.
bool controlName(FDCanvas *canvas, const QString &name);
} // namespace FDControlNaming
