// HVFormPopUpButton: a pop-up menu whose items can all be replaced at once.
#pragma once

#include "Value.h"

#include <QComboBox>

class HVFormPopUpButton : public QComboBox {
    Q_OBJECT
public:
    explicit HVFormPopUpButton(QWidget *parent = nullptr) : QComboBox(parent) {}

    // Replaces every item.
    void setItemTitles(const QStringList &titles);
    Value objectValue() const { return Value(currentText()); }
    void setObjectValue(const Value &value) { setCurrentIndex(findText(value.stringValue())); }
};
