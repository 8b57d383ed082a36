// LMQueryFilterHeader: a heading row of the query filter: "Main" (query name, Save, Open, Rename) or
// "Parameters" (the all/any pop-up) or "Displays" (the fields the grid shows).
#pragma once

#include "Value.h"

#include <QPointer>
#include <QWidget>

class LMQueryFilterView;
class QComboBox;
class QLabel;
class QMenu;
class QToolButton;
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

    // "Displays": the menu button's title follows the filter's shown fields; the menu, built when it opens,
    // has one checkable entry per field.
    void showDisplayedFields();
    QToolButton *fieldsButton() const { return m_fieldsButton; }
    QMenu *fieldsMenu() const { return m_fieldsMenu; }

    QComboBox *booleanPopUp() const { return m_boolean; }
    QPushButton *button(const QString &title) const;

private:
    QString m_type;
    QString m_name;
    QPointer<LMQueryFilterView> m_filter;
    QLabel *m_title = nullptr;
    QComboBox *m_boolean = nullptr;
    QToolButton *m_fieldsButton = nullptr;
    QMenu *m_fieldsMenu = nullptr;
    QList<QPushButton *> m_buttons;
};
