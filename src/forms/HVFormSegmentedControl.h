// HVFormSegmentedControl: a row of segments whose value is the chosen label, or its index when set by number.
#pragma once

#include "Value.h"

#include <QStringList>
#include <QWidget>

class QButtonGroup;

class HVFormSegmentedControl : public QWidget {
    Q_OBJECT
public:
    explicit HVFormSegmentedControl(QWidget *parent = nullptr);

    QStringList labels() const { return m_labels; }
    // An empty list gives one segment with an empty label.
    void setLabels(const QStringList &labels);
    void setOptions(const QStringList &options) { setLabels(options); }
    int selectedSegment() const;
    void setSelectedSegment(int index);
    // The selected index as a number when the last value set was a number, else the selected label.
    Value objectValue() const;
    // A number selects that index when it is in range; a text selects the first segment with that label.
    void setObjectValue(const Value &value);

private:
    QStringList m_labels;
    QButtonGroup *m_group;
    bool m_lastSetWasNumber = false;
};
