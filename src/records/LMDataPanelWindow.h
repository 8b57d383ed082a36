// LMDataPanelWindow: the floating utility window of the data panel; reports key, close and minimise to the panel.
#pragma once

#include <QWidget>

class LMDataPanel;

class LMDataPanelWindow : public QWidget {
    Q_OBJECT
public:
    explicit LMDataPanelWindow(LMDataPanel *manager);

    // Whether the panel is the active (key) window right now.
    bool isKey() const { return m_key; }

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    LMDataPanel *m_manager;
    bool m_key = false;
};
