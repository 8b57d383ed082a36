// LMQueryFilterHeader: a heading row of the query filter: "Main" (query name, Save, Open, Rename) or
// "Parameters" (the all/any pop-up).
#pragma once

#include "Value.h"

#include <QPointer>
#include <QWidget>

class LMQueryFilterView;
class QComboBox;
class QLabel;
class QPushButton;

class LMQueryFilterHeader : public QWidget {
    Q_OBJECT
public:
    LMQueryFilterHeader(const QString &type, LMQueryFilterView *filter, QWidget *parent = nullptr);

    QString type() const { return m_type; }

    // "Parameters": the user chose "all" or "any".
    void paramBoolean(const QString &title);
    // Shows the definition's "Parameter Boolean" without storing anything.
    void showParameterBoolean(const Value &definition);

    // "Main".
    void saveButton();
    void openButton();
    void renameButton();
    void setQueryNameTitle(const QString &name);
    QString queryNameTitle() const { return m_name; }

    QComboBox *booleanPopUp() const { return m_boolean; }
    QPushButton *button(const QString &title) const;

private:
    QString m_type;
    QString m_name;
    QPointer<LMQueryFilterView> m_filter;
    QLabel *m_title = nullptr;
    QComboBox *m_boolean = nullptr;
    QList<QPushButton *> m_buttons;
};
