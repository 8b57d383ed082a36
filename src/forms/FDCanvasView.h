// FDCanvasView: the design canvas on screen: grid, controls as live widgets, handles, and the mouse and keys
// that drive the canvas editor.
#pragma once

#include "FDCanvas.h"

#include <QFont>
#include <QHash>
#include <QPointer>
#include <QWidget>

class FDCanvasEditor;

class FDCanvasView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHandleSize = 6;

    explicit FDCanvasView(FDCanvasEditor *editor, QWidget *parent = nullptr);

    FDCanvas *canvas() const;
    // Rebuilds the controls' widgets and geometry from the model.
    void sync();
    // The handle under a point of the selected control, or -1.
    int handleAt(const FDControlPtr &control, const QPointF &point) const;
    QRectF handleRect(const FDControlPtr &control, int handle) const;
    QRectF canvasHandleRect() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    enum class Gesture { None, Move, Resize, RubberBand, CanvasResize };
    struct Shown {
        QPointer<QWidget> widget;
        Value control; // the attributes the widget was built from
    };
    class Overlay;

    void paintOverlay(QPainter &painter);
    void editLabel(const FDControlPtr &control);

    FDCanvasEditor *m_editor;
    QHash<const FDControl *, Shown> m_shown;
    Overlay *m_overlay = nullptr;
    Gesture m_gesture = Gesture::None;
    QPointF m_pressPoint;
    QRectF m_band;
    QSizeF m_canvasStart;
    int m_handle = -1;
    QFont m_labelFont;

    friend class Overlay;
};
