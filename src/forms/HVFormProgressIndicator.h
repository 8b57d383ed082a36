// HVFormProgressIndicator: a progress bar whose value is a double, or, when indeterminate, whether it animates.
#pragma once

#include "Value.h"

#include <QProgressBar>

class HVFormProgressIndicator : public QProgressBar {
    Q_OBJECT
public:
    explicit HVFormProgressIndicator(QWidget *parent = nullptr);

    bool isIndeterminate() const { return m_indeterminate; }
    void setIndeterminate(bool indeterminate);
    void setMinValue(double value);
    void setMaxValue(double value);
    double doubleValue() const { return m_value; }
    bool isAnimating() const { return m_animating; }
    void startAnimation();
    void stopAnimation();

    Value objectValue() const;
    void setObjectValue(const Value &value);

private:
    void refreshBar();

    bool m_indeterminate = false;
    bool m_animating = false;
    double m_min = 0;
    double m_max = 100;
    double m_value = 0;
};
