// FDControlWidgets: the real Qt widget that shows each control kind, built from its archived attributes.
#pragma once

#include "Value.h"

class QWidget;

namespace FDControlWidgets {
// A widget for the control (a shape paints itself, a group is an empty frame); never null.
QWidget *createWidget(const Value &control, QWidget *parent);
} // namespace FDControlWidgets
