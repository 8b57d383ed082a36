// LMTableDesignFormQuestion: a QMessageBox with a check box on the desktop, the Ui seam elsewhere.
#include "LMTableDesignFormQuestion.h"

#include "QtUi.h"
#include "Ui.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>

namespace {
LMTableDesignFormQuestion::Presenter &installed()
{
    static LMTableDesignFormQuestion::Presenter presenter;
    return presenter;
}

LMTableDesignFormQuestion::Answer askWithCheckBox(const Alert &alert, QWidget *window)
{
    QMessageBox box(window);
    box.setIcon(QMessageBox::Question);
    box.setText(alert.messageText);
    box.setInformativeText(alert.informativeText);
    if (window)
        box.setWindowModality(Qt::WindowModal);
    QList<QAbstractButton *> buttons;
    for (const QString &title : alert.buttons)
        buttons << box.addButton(title, QMessageBox::AcceptRole);
    if (!buttons.isEmpty())
        box.setDefaultButton(qobject_cast<QPushButton *>(buttons.constFirst()));
    auto *check = new QCheckBox(QStringLiteral("Do not ask again"));
    box.setCheckBox(check);
    box.exec();
    const int index = int(buttons.indexOf(box.clickedButton()));
    return {index < 0 ? QString() : alert.buttons.at(index), check->isChecked()};
}
} // namespace

namespace LMTableDesignFormQuestion {
void setPresenter(Presenter presenter)
{
    installed() = std::move(presenter);
}

Answer ask(const Alert &alert, QWidget *window)
{
    if (installed())
        return installed()(alert, window);
    if (dynamic_cast<QtUi *>(&Ui::instance()))
        return askWithCheckBox(alert, window);
    return {Ui::instance().runAlertButton(alert, window), false};
}
} // namespace LMTableDesignFormQuestion
