// FDControlKinds: every control kind a form can hold, its stored class, default size and default attributes.
#pragma once

#include "Value.h"

#include <QList>
#include <QSizeF>
#include <QString>

struct FDControlKind {
    QString title;     // the palette's name for it ("Text Field")
    QString className; // the stored "Class"
    QSizeF size;       // default size of the control proper
    bool hasValue = true;
};

namespace FDControlKinds {
// The kinds the controls palette offers, in palette order.
const QList<FDControlKind> &paletteKinds();
const FDControlKind *kindTitled(const QString &title);
// A new control of a palette kind with its default attributes (null for an unknown title).
Value makeControl(const QString &title);
// The control the program creates for a field, and its size; null for datatypes that get no control.
Value controlForField(const Value &field, QSizeF *size = nullptr);
// The class name of a control value ("" when it is not an archived object).
QString classOf(const Value &control);
// The palette title that best describes a control (by class and the attributes that tell kinds apart).
QString titleOf(const Value &control);
} // namespace FDControlKinds
