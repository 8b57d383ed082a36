// HVFormTextViewScrollView: multi-line text whose value is its whole text.
#pragma once

#include "Value.h"

#include <QPlainTextEdit>

class HVFormTextViewScrollView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit HVFormTextViewScrollView(QWidget *parent = nullptr) : QPlainTextEdit(parent) {}

    Value objectValue() const { return Value(toPlainText()); }
    // A null value shows the empty string.
    void setObjectValue(const Value &value) { setPlainText(value.isNull() ? QString() : value.stringValue()); }
};
