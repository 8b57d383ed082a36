// QtUi: the desktop implementation of the Ui seam with Qt Widgets; alerts on a window are window-modal sheets.
#pragma once

#include "Ui.h"

class QtUi : public Ui {
public:
    int runAlert(const Alert &alert, QWidget *window = nullptr) override;
    std::optional<QString> runTextInput(const TextInputOptions &options, QWidget *window = nullptr) override;
    int runSuppressibleAlert(const Alert &alert, bool *suppressed, QWidget *window = nullptr) override;
    void beep() override;
    QStringList runOpenPanel(const FilePanelOptions &options, QWidget *window = nullptr) override;
    QString runSavePanel(const FilePanelOptions &options, QWidget *window = nullptr) override;
    bool isNewTabModifierHeld() override;
    bool isAlternateModifierHeld() override;
};
