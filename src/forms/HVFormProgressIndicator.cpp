// HVFormProgressIndicator: a range of 0 to 0 is how a progress bar shows an animation without an end.
#include "HVFormProgressIndicator.h"

#include <cmath>

namespace {
constexpr int kSteps = 1000;
} // namespace

HVFormProgressIndicator::HVFormProgressIndicator(QWidget *parent) : QProgressBar(parent)
{
    setTextVisible(false);
    refreshBar();
}

void HVFormProgressIndicator::setIndeterminate(bool indeterminate)
{
    m_indeterminate = indeterminate;
    refreshBar();
}

void HVFormProgressIndicator::setMinValue(double value)
{
    m_min = value;
    refreshBar();
}

void HVFormProgressIndicator::setMaxValue(double value)
{
    m_max = value;
    refreshBar();
}

void HVFormProgressIndicator::startAnimation()
{
    m_animating = true;
    refreshBar();
}

void HVFormProgressIndicator::stopAnimation()
{
    m_animating = false;
    refreshBar();
}

Value HVFormProgressIndicator::objectValue() const
{
    return m_indeterminate ? Value(m_animating) : Value(m_value);
}

void HVFormProgressIndicator::setObjectValue(const Value &value)
{
    if (m_indeterminate) {
        value.toBool() ? startAnimation() : stopAnimation();
        return;
    }
    const double d = value.toDouble();
    m_value = std::isfinite(d) ? d : 0;
    refreshBar();
}

void HVFormProgressIndicator::refreshBar()
{
    if (m_indeterminate) {
        setRange(0, m_animating ? 0 : 1);
        setValue(0);
        return;
    }
    setRange(0, kSteps);
    const double span = m_max - m_min;
    const double fraction = span > 0 ? (m_value - m_min) / span : 0;
    setValue(int(std::lround(qBound(0.0, fraction, 1.0) * kSteps)));
}
