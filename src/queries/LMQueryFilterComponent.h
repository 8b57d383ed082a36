// LMQueryFilterComponent: one row of the query filter: a field pop-up, an operator pop-up, the operand control
// of the field's datatype, and the add and remove buttons. It edits its condition dictionary in place.
#pragma once

#include "LMQueryOperators.h"
#include "Value.h"

#include <QPointer>
#include <QWidget>

class LMQueryFilterView;
class LMTokenField;
class QComboBox;
class QDateTimeEdit;
class QHBoxLayout;
class QLineEdit;
class QToolButton;

class LMQueryFilterComponent : public QWidget {
    Q_OBJECT
public:
    // `dictionary` is a condition ("Type" "Parameters") or a display ("Type" "Displays") of `filter`'s definition.
    LMQueryFilterComponent(const Value &dictionary, bool evenRow, LMQueryFilterView *filter, QWidget *parent = nullptr);

    Value dictionary() const { return m_dictionary; }
    bool isDisplay() const;

    // The user chose field `title` (at `index` of the field pop-up).
    void path(const QString &title, int index);
    // The user chose an operator.
    void compareOp(const QString &title);
    // The user edited the operand (a string, a date or an array of strings).
    void operand(const Value &value);
    // Inserts a row of the same kind after this one / removes this one.
    void addButton();
    void removeButton();

    // Rebuilds the controls from the dictionary (after the design changed).
    void reload();

    QComboBox *fieldPopUp() const { return m_fields; }
    QComboBox *operatorPopUp() const { return m_operators; }
    QStringList fieldTitles() const;
    QStringList operatorTitles() const;
    LMQueryOperators::OperandKind operandKind() const { return m_operandKind; }
    // The operand control now shown (null for "Yes/No" and media fields): a QLineEdit, a QDateTimeEdit or an
    // LMTokenField.
    QWidget *operandControl() const { return m_operandControl; }

private:
    void buildFieldPopUp();
    void fillOperators(const QString &datatype);
    void replaceOperandControl();
    Value operandControlValue() const;
    void storeCompareOp(const QString &title);
    void setOperandVisible(bool visible);

    Value m_dictionary;
    QPointer<LMQueryFilterView> m_filter;
    QHBoxLayout *m_layout = nullptr;
    QComboBox *m_fields = nullptr;
    QComboBox *m_operators = nullptr;
    QWidget *m_operandControl = nullptr;
    LMQueryOperators::OperandKind m_operandKind = LMQueryOperators::OperandKind::None;
    QToolButton *m_add = nullptr;
    QToolButton *m_remove = nullptr;
    bool m_loading = false;
};
