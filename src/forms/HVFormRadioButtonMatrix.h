// HVFormRadioButtonMatrix: a column of radio buttons whose value is the title of the chosen row.
#pragma once

#include "Value.h"

#include <QStringList>
#include <QWidget>

class QButtonGroup;

class HVFormRadioButtonMatrix : public QWidget {
    Q_OBJECT
public:
    explicit HVFormRadioButtonMatrix(QWidget *parent = nullptr);

    QStringList options() const { return m_options; }
    // Rebuilds the rows, none chosen.
    void setOptions(const QStringList &options);
    // The chosen row's title, "" when none is chosen.
    Value objectValue() const;
    // Chooses the last row whose title equals the value's text, or no row.
    void setObjectValue(const Value &value);

private:
    QStringList m_options;
    QButtonGroup *m_group;
};
