// HVFormSegmentedControl: checkable tool buttons in an exclusive group.
#include "HVFormSegmentedControl.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QToolButton>

HVFormSegmentedControl::HVFormSegmentedControl(QWidget *parent) : QWidget(parent), m_group(new QButtonGroup(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setLabels({});
}

void HVFormSegmentedControl::setLabels(const QStringList &labels)
{
    for (QAbstractButton *button : m_group->buttons()) {
        m_group->removeButton(button);
        delete button;
    }
    m_labels = labels.isEmpty() ? QStringList{QString()} : labels;
    for (int i = 0; i < m_labels.size(); ++i) {
        auto *segment = new QToolButton(this);
        segment->setText(m_labels.at(i));
        segment->setCheckable(true);
        segment->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        m_group->addButton(segment, i);
        layout()->addWidget(segment);
    }
}

int HVFormSegmentedControl::selectedSegment() const
{
    return m_group->checkedId();
}

void HVFormSegmentedControl::setSelectedSegment(int index)
{
    if (QAbstractButton *button = m_group->button(index))
        button->setChecked(true);
}

Value HVFormSegmentedControl::objectValue() const
{
    const int selected = selectedSegment();
    if (m_lastSetWasNumber)
        return Value(selected);
    return Value(selected >= 0 ? m_labels.value(selected) : QString());
}

void HVFormSegmentedControl::setObjectValue(const Value &value)
{
    m_lastSetWasNumber = value.isNumber();
    if (value.isNumber()) {
        const qint64 index = value.toInt();
        if (index >= 0 && index < m_labels.size())
            setSelectedSegment(int(index));
        return;
    }
    const int index = int(m_labels.indexOf(value.stringValue()));
    if (index >= 0)
        setSelectedSegment(index);
}
