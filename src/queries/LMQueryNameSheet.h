// LMQueryNameSheet: the sheet that asks for a query's name when it is saved or renamed.
#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

class LMQueryNameSheet : public QDialog {
    Q_OBJECT
public:
    // `accept` gets the entered name and answers whether it was taken (the sheet then closes); `cancel` runs
    // when the sheet is dismissed.
    LMQueryNameSheet(const QString &name, bool renaming, std::function<bool(const QString &)> accept,
                     std::function<void()> cancel, QWidget *parent = nullptr);

    QLineEdit *nameField() const { return m_field; }
    QString buttonTitle() const;
    // The two buttons, as a click does them.
    void pressSave();
    void pressCancel();

private:
    std::function<bool(const QString &)> m_accept;
    std::function<void()> m_cancel;
    QLineEdit *m_field = nullptr;
    QPushButton *m_save = nullptr;
    bool m_done = false;
};
