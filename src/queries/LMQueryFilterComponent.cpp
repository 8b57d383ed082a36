// LMQueryFilterComponent: the controls of one condition and how each choice is stored.
#include "LMQueryFilterComponent.h"
#include "DesignVocabulary.h"

#include "LMQueryDefinition.h"
#include "LMQueryFilterView.h"
#include "LMTokenField.h"
#include "OXDatabase.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolButton>

using namespace LMQueryDefinition;
using LMQueryOperators::OperandKind;

namespace {
QDateTime nowToTheSecond()
{
    QDateTime now = QDateTime::currentDateTime();
    return now.addMSecs(-now.time().msec());
}
} // namespace

LMQueryFilterComponent::LMQueryFilterComponent(const Value &dictionary, bool evenRow, LMQueryFilterView *filter,
                                               QWidget *parent)
    : QWidget(parent), m_dictionary(dictionary), m_filter(filter)
{
    if (evenRow) {
        setAutoFillBackground(true);
        QPalette p = palette();
        p.setColor(QPalette::Window, p.color(QPalette::AlternateBase));
        setPalette(p);
    }
    m_layout = new QHBoxLayout(this);
    m_layout->setContentsMargins(6, 1, 6, 1);
    m_fields = new QComboBox;
    m_fields->setPlaceholderText(QStringLiteral("Field"));
    m_fields->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_layout->addWidget(m_fields);
    m_operators = new QComboBox;
    m_operators->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_layout->addWidget(m_operators);
    m_layout->addStretch();
    m_add = new QToolButton;
    m_add->setText(QStringLiteral("+"));
    m_remove = new QToolButton;
    m_remove->setText(QStringLiteral("−"));
    m_layout->addWidget(m_remove);
    m_layout->addWidget(m_add);

    connect(m_fields, &QComboBox::activated, this, [this](int index) { path(m_fields->itemText(index), index); });
    connect(m_operators, &QComboBox::activated, this, [this](int index) { compareOp(m_operators->itemText(index)); });
    connect(m_add, &QToolButton::clicked, this, &LMQueryFilterComponent::addButton);
    connect(m_remove, &QToolButton::clicked, this, &LMQueryFilterComponent::removeButton);
    reload();
}

bool LMQueryFilterComponent::isDisplay() const
{
    return m_dictionary.value(kType).toString() == QLatin1String("Displays");
}

QStringList LMQueryFilterComponent::fieldTitles() const
{
    QStringList titles;
    for (int i = 0; i < m_fields->count(); ++i)
        titles.append(m_fields->itemText(i));
    return titles;
}

QStringList LMQueryFilterComponent::operatorTitles() const
{
    QStringList titles;
    for (int i = 0; i < m_operators->count(); ++i)
        titles.append(m_operators->itemText(i));
    return titles;
}

void LMQueryFilterComponent::reload()
{
    m_loading = true;
    buildFieldPopUp();
    m_operators->setVisible(!isDisplay());
    if (!isDisplay()) {
        fillOperators(m_dictionary.value(kDatatype).toString());
        const int stored = m_operators->findText(m_dictionary.value(kCompareOp).toString());
        if (stored >= 0)
            m_operators->setCurrentIndex(stored);
        replaceOperandControl();
        setOperandVisible(m_dictionary.contains(kCompareOp));
    }
    m_loading = false;
}

void LMQueryFilterComponent::buildFieldPopUp()
{
    const QSignalBlocker block(m_fields);
    m_fields->clear();
    OXDatabase *db = m_filter ? m_filter->database() : nullptr;
    if (db && m_filter)
        m_fields->addItems(db->namesForTable(m_filter->tableName()));
    const QString field = m_dictionary.value(kField).toString();
    if (!m_dictionary.contains(kField)) {
        m_fields->setCurrentIndex(-1);
        return;
    }
    // A field since deleted from the design still shows, as its condition still filters.
    if (m_fields->findText(field) < 0)
        m_fields->addItem(field);
    m_fields->setCurrentIndex(m_fields->findText(field));
}

void LMQueryFilterComponent::fillOperators(const QString &datatype)
{
    const QSignalBlocker block(m_operators);
    m_operators->clear();
    m_operators->addItems(LMQueryOperators::operatorsForDatatype(datatype));
    m_operators->setEnabled(m_operators->count() > 0);
}

void LMQueryFilterComponent::path(const QString &title, int index)
{
    if (m_fields->currentIndex() != index)
        m_fields->setCurrentIndex(index);
    m_dictionary.set(kField, Value(title));
    if (isDisplay()) {
        if (m_filter)
            m_filter->alertDelegate();
        return;
    }
    const QString table = m_dictionary.value(kTable).toString();
    OXDatabase *db = m_filter ? m_filter->database() : nullptr;
    const QString datatype = db ? db->typeForTable(table, title) : QString();
    m_dictionary.set(kDatatype, Value(datatype));
    fillOperators(datatype);
    const int previous = m_operators->findText(m_dictionary.value(kCompareOp).toString());
    m_operators->setCurrentIndex(previous >= 0 ? previous : (m_operators->count() > 0 ? 0 : -1));
    replaceOperandControl();
    storeCompareOp(m_operators->currentIndex() >= 0 ? m_operators->currentText() : QString());
    if (m_filter)
        m_filter->alertDelegate();
}

void LMQueryFilterComponent::compareOp(const QString &title)
{
    const int index = m_operators->findText(title);
    if (index >= 0 && m_operators->currentIndex() != index)
        m_operators->setCurrentIndex(index);
    storeCompareOp(title);
    if (m_filter)
        m_filter->alertDelegate();
}

void LMQueryFilterComponent::storeCompareOp(const QString &title)
{
    if (title.isEmpty()) {
        // A field without operators (media) leaves nothing to compare: the condition stays incomplete
        // instead of keeping the operator and operand of the field chosen before.
        m_dictionary.remove(kCompareOp);
        m_dictionary.remove(kOperand);
        setOperandVisible(false);
        return;
    }
    m_dictionary.set(kCompareOp, Value(title));
    if (Datatypes::is(m_dictionary.value(kDatatype).toString(), Datatype::YesNo)) {
        m_dictionary.remove(kOperand);
        setOperandVisible(false);
        return;
    }
    setOperandVisible(true);
    const Value current = operandControlValue();
    if (current.isNull())
        m_dictionary.remove(kOperand);
    else
        m_dictionary.set(kOperand, current);
}

void LMQueryFilterComponent::operand(const Value &value)
{
    if (m_loading)
        return;
    if (value.isNull())
        m_dictionary.remove(kOperand);
    else
        m_dictionary.set(kOperand, value);
    if (m_filter)
        m_filter->alertDelegate();
}

void LMQueryFilterComponent::replaceOperandControl()
{
    const bool wasLoading = m_loading;
    m_loading = true;
    if (m_operandControl) {
        m_layout->removeWidget(m_operandControl);
        m_operandControl->deleteLater();
        m_operandControl = nullptr;
    }
    m_operandKind = LMQueryOperators::operandKindForDatatype(m_dictionary.value(kDatatype).toString());
    const Value stored = m_dictionary.value(kOperand);
    const int at = m_layout->indexOf(m_operators) + 1;
    switch (m_operandKind) {
    case OperandKind::Text: {
        auto *edit = new QLineEdit;
        edit->setMinimumWidth(140);
        if (!stored.isNull() && !stored.isDate())
            edit->setText(LMQueryOperators::operandText(stored, QString()));
        connect(edit, &QLineEdit::textEdited, this, [this](const QString &text) { operand(Value(text)); });
        m_operandControl = edit;
        break;
    }
    case OperandKind::Date: {
        auto *picker = new QDateTimeEdit(stored.isDate() ? stored.toDateTime().toLocalTime() : nowToTheSecond());
        picker->setCalendarPopup(true);
        picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        connect(picker, &QDateTimeEdit::dateTimeChanged, this,
                [this](const QDateTime &dt) { operand(Value::dateTime(dt)); });
        m_operandControl = picker;
        break;
    }
    case OperandKind::Tokens: {
        auto *tokens = new LMTokenField;
        tokens->setMinimumWidth(140);
        if (stored.isArray())
            tokens->setTokens(stored.toStringList());
        else if (stored.isString() && !stored.toString().isEmpty())
            tokens->setTokens(OXDatabase::arrayFromList(stored.toString()).toStringList());
        connect(tokens, &LMTokenField::tokensEdited, this, [this](const QStringList &list) { operand(Value(list)); });
        m_operandControl = tokens;
        break;
    }
    case OperandKind::None: break;
    }
    if (m_operandControl)
        m_layout->insertWidget(at, m_operandControl);
    m_loading = wasLoading;
}

Value LMQueryFilterComponent::operandControlValue() const
{
    if (auto *tokens = qobject_cast<LMTokenField *>(m_operandControl))
        return Value(tokens->tokens());
    if (auto *edit = qobject_cast<QLineEdit *>(m_operandControl))
        return Value(edit->text());
    if (auto *picker = qobject_cast<QDateTimeEdit *>(m_operandControl))
        return Value::dateTime(picker->dateTime());
    return Value();
}

void LMQueryFilterComponent::setOperandVisible(bool visible)
{
    if (m_operandControl)
        m_operandControl->setVisible(visible);
}

void LMQueryFilterComponent::addButton()
{
    if (m_filter && !isDisplay())
        m_filter->addParameterComponentAfter(m_dictionary);
    else if (m_filter)
        m_filter->addDisplayComponent();
}

void LMQueryFilterComponent::removeButton()
{
    if (!m_filter)
        return;
    if (isDisplay())
        m_filter->removeDisplayComponentWithObject(m_dictionary);
    else
        m_filter->removeParameterComponentWithObject(m_dictionary);
}
