// FDCanvasEditor: the designer's undoable operations on a canvas: add, remove, move, nudge, resize, align, paste.
#pragma once

#include "FDCanvas.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QUndoStack>

class FDCanvasEditor : public QObject {
    Q_OBJECT
public:
    static constexpr qreal kPasteOffset = 10;

    // The stack is the document's; the editor's steps are taken off it by removeUndoActions.
    FDCanvasEditor(FDCanvas *canvas, QUndoStack *undoStack, QObject *parent = nullptr);
    ~FDCanvasEditor() override;

    FDCanvas *canvas() const { return m_canvas; }
    QUndoStack *undoStack() const { return m_undoStack; }

    // Undo registration: each registers the inverse of a change already made.
    void undoManager_addControls(const FDControlList &controls);
    void undoManager_removeControls(const FDControlList &controls, const QList<int> &indexes);
    void undoManager_setFrames(const QList<QRectF> &oldFrames, const FDControlList &controls);
    // Takes this editor's steps off the stack.
    void removeUndoActions();

    // Adds on top and selects them, undoably.
    void addControls(const FDControlList &controls);
    // A new control of a palette kind with its wrapper's top-left at `point`.
    FDControlPtr addControlOfKind(const QString &kindTitle, const QPointF &point);
    // A dropped serialized control: a wrapper at `point`, not drag-copyable.
    FDControlPtr dropControlData(const QByteArray &data, const QPointF &point);
    void deleteSelection();

    // Moving: one undo step per gesture, restoring every selected frame.
    void beginMove();
    // Moves every unlocked selected wrapper by `delta` from where the gesture began; snaps when the canvas does.
    void moveSelectionBy(const QPointF &delta);
    void endMove();
    // Arrow keys: 1 point, or the minor line spacing with Shift.
    void nudge(int dx, int dy, bool large);

    // Resizing one wrapper by a handle; false when the limits refuse it (the frame stays).
    void beginResize(const FDControlPtr &control);
    bool resizeBy(int handle, const QPointF &delta, bool symmetric, bool proportional);
    void endResize();
    // Sets the frame excluding label (size inspector), undoably.
    void setFrameExcludingLabel(const FDControlPtr &control, const QRectF &frame);

    bool align(const QString &edge);

    // The pasteboard payload of the selection (selection order), and paste of such a payload.
    QByteArray copyPayload() const;
    FDControlList pastePayload(const QByteArray &payload);
    // The same through the system clipboard.
    void copy();
    void cut();
    FDControlList paste();

    // Rubber band: selects every wrapper whose frame meets the band.
    void selectInRect(const QRectF &band);
    FDControlPtr controlAt(const QPointF &point) const;

signals:
    // Any undoable change (the owner marks the document changed).
    void modelChanged();

private:
    QList<QRectF> framesOf(const FDControlList &controls) const;
    void applyFrames(const FDControlList &controls, const QList<QRectF> &frames);

    QPointer<FDCanvas> m_canvas;
    // The document's stack; it may go before the editor when a window closes.
    QPointer<QUndoStack> m_undoStack;
    FDControlList m_gesture;
    QList<QRectF> m_gestureFrames;
    bool m_gestureMoved = false;
    FDControlPtr m_resizing;
    QRectF m_resizeStart;
    bool m_resized = false;

    friend class FDCanvasUndoCommand;
};
