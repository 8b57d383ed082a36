// LMButtonBar: the add, remove, design, edit and run buttons under the source list, set up for the current mode.
#pragma once

#include <QWidget>

class QToolButton;

class LMButtonBar : public QWidget {
    Q_OBJECT
public:
    explicit LMButtonBar(QWidget *parent = nullptr);

    // Enables the buttons that mean something for `mode` with `selectedTitle` (empty: a heading).
    void setUpForMode(const QString &mode, const QString &selectedTitle);
    QToolButton *button(const QString &name) const; // "SB2_Plus", "SB2_Minus", "SB2_Design", "SB2_Edit", "SB2_Run"

signals:
    void addClicked();
    void removeClicked();
    void designClicked();
    void editClicked();
    void runClicked();

private:
    QToolButton *make(const QString &name, const QString &tip, void (LMButtonBar::*signal)());
};
