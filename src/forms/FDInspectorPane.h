// FDInspectorPane: the designer's inspector: attributes, size and springs, data bindings, name and actions, canvas.
#pragma once

#include <QPointer>
#include <QTabWidget>

class LMFormDesignController;
class QWidget;

class FDInspectorPane : public QTabWidget {
    Q_OBJECT
public:
    explicit FDInspectorPane(LMFormDesignController *controller, QWidget *parent = nullptr);

    void rebuildAttributes();
    void refreshSize();
    void refreshData();
    void refreshActions();
    void refreshCanvas();

private:
    LMFormDesignController *m_controller;
    QWidget *m_attributes = nullptr;
    QWidget *m_size = nullptr;
    QWidget *m_data = nullptr;
    QWidget *m_actions = nullptr;
    QWidget *m_canvasTab = nullptr;
    bool m_updating = false;
};
