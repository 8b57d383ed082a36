// FDFormDesignWidget: the "Form Design" view's widgets: name bar, tool row, palette, canvas and inspector.
#pragma once

#include <QWidget>

class FDCanvasView;
class FDInspectorPane;
class FDPaletteView;
class LMFormDesignController;
class QCheckBox;
class QComboBox;
class QLineEdit;

class FDFormDesignWidget : public QWidget {
    Q_OBJECT
public:
    FDFormDesignWidget(LMFormDesignController *controller, QWidget *parent = nullptr);

    FDCanvasView *canvasView() const { return m_canvasView; }
    FDPaletteView *palette() const { return m_palette; }
    FDInspectorPane *inspector() const { return m_inspector; }
    QLineEdit *nameField() const { return m_name; }
    QComboBox *tablePopUp() const { return m_table; }
    QCheckBox *generateOption() const { return m_generate; }
    // The name bar's button: names a new form or renames this one.
    void applyNameBar();
    void refreshNameBar();

private:
    QWidget *buildToolRow();

    LMFormDesignController *m_controller;
    FDCanvasView *m_canvasView = nullptr;
    FDPaletteView *m_palette = nullptr;
    FDInspectorPane *m_inspector = nullptr;
    QLineEdit *m_name = nullptr;
    QComboBox *m_table = nullptr;
    QCheckBox *m_generate = nullptr;
};
