// LMGotoRowSheet: the sheet that asks for the number of the row a grid should select.
#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;

class LMGotoRowSheet : public QDialog {
    Q_OBJECT
public:
    // `finished` gets the typed text when the user presses Go.
    LMGotoRowSheet(QWidget *window, int rowCount, std::function<void(const QString &)> finished);

    QLineEdit *numberField() const { return m_field; }
    void accept() override;

private:
    QLineEdit *m_field;
    std::function<void(const QString &)> m_finished;
};
