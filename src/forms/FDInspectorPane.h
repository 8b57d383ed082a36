// FDInspectorPane: the designer's inspector: attributes, size and springs, data bindings, name and actions, canvas.
#pragma once

#include <QPointer>
#include <QTabWidget>
#include <memory>

class LMFormDesignController;
class FDAttributeInspector;
class QFormLayout;
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
    // The font section of the attributes page, when the selection has text.
    void addFontPanel(QFormLayout *form, const std::shared_ptr<FDAttributeInspector> &inspector);

    LMFormDesignController *m_controller;
    QWidget *m_attributes = nullptr;
    QWidget *m_size = nullptr;
    QWidget *m_data = nullptr;
    QWidget *m_actions = nullptr;
    QWidget *m_canvasTab = nullptr;
    bool m_updating = false;
};
