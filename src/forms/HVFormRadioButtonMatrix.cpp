// HVFormRadioButtonMatrix: rows are rebuilt whenever the options change.
#include "HVFormRadioButtonMatrix.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

HVFormRadioButtonMatrix::HVFormRadioButtonMatrix(QWidget *parent) : QWidget(parent), m_group(new QButtonGroup(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}

void HVFormRadioButtonMatrix::setOptions(const QStringList &options)
{
    for (QAbstractButton *button : m_group->buttons()) {
        m_group->removeButton(button);
        delete button;
    }
    m_options = options;
    for (int i = 0; i < options.size(); ++i) {
        auto *row = new QRadioButton(options.at(i), this);
        m_group->addButton(row, i);
        layout()->addWidget(row);
    }
}

Value HVFormRadioButtonMatrix::objectValue() const
{
    const int chosen = m_group->checkedId();
    return Value(chosen >= 0 ? m_options.value(chosen) : QString());
}

void HVFormRadioButtonMatrix::setObjectValue(const Value &value)
{
    const QString text = value.stringValue();
    const int row = int(m_options.lastIndexOf(text));
    // A group with a chosen row keeps one unless exclusivity is lifted for a moment.
    m_group->setExclusive(false);
    for (QAbstractButton *button : m_group->buttons())
        button->setChecked(m_group->id(button) == row);
    m_group->setExclusive(true);
}
