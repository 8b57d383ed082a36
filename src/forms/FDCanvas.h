// FDCanvas: the in-memory form design: settings, controls back to front, selection, and reading/writing definitions.
#pragma once

#include "FDControl.h"
#include "Value.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QSizeF>
#include <QString>

class OXDatabase;

using FDControlList = QList<FDControlPtr>;

class FDCanvas : public QObject {
    Q_OBJECT
public:
    static constexpr qreal kNewCanvasSide = 400;
    static constexpr qreal kMinimumCanvasSide = 72;

    explicit FDCanvas(QObject *parent = nullptr);

    // Loads a form definition (kept: `dictionary` writes back into it).
    void setDictionary(const Value &definition);
    // Writes the model into the held definition and returns it; keys the canvas does not own stay untouched.
    Value dictionary();
    // The definition `dictionary` writes into (the document's own element once the form is stored).
    Value heldDictionary() const { return m_definition; }

    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    QString contentTable() const { return m_contentTable; }
    void setContentTable(const QString &table) { m_contentTable = table; }

    bool showGrid() const { return m_showGrid; }
    void setShowGrid(bool show);
    bool snapToGrid() const { return m_snapToGrid; }
    void setSnapToGrid(bool snap);
    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor &color);
    bool usesBackgroundColor() const { return m_usesBackgroundColor; }
    void setUsesBackgroundColor(bool uses);
    int minorLineSpacing() const { return m_minorLineSpacing; }
    void setMinorLineSpacing(int spacing);
    int majorLineInterval() const { return m_majorLineInterval; }
    void setMajorLineInterval(int interval);
    QColor minorLineColor() const { return m_minorLineColor; }
    void setMinorLineColor(const QColor &color);
    QColor majorLineColor() const { return m_majorLineColor; }
    void setMajorLineColor(const QColor &color);
    QSizeF canvasSize() const { return m_size; }
    // Sets the size as given (reading, generation); dragging the corner goes through resizeCanvas.
    void setCanvasSize(const QSizeF &size);
    // The corner handle: each side at least 72 points.
    void resizeCanvas(const QSizeF &size);

    // Back to front.
    const FDControlList &controls() const { return m_controls; }
    FDControlList resetControls(bool replace)
    {
        Q_UNUSED(replace)
        return m_controls;
    }
    int indexOf(const FDControl *control) const;
    FDControlPtr controlWithUUID(const QString &uuid) const;
    FDControlPtr controlNamed(const QString &scriptBridgeName) const;
    // Adds on top, or at `index` (undo puts controls back where they were).
    void addControl(const FDControlPtr &control, int index = -1);
    void removeControl(const FDControlPtr &control);

    const FDControlList &selection() const { return m_selection; }
    // Keeps the given order; null-free; controls not on this canvas are ignored.
    void selectControls(const FDControlList &controls);
    bool isSelected(const FDControl *control) const;
    // The selection in `controls` (z) order.
    FDControlList selectionInZOrder() const;
    void selectAll();

    // Z-order of the selection.
    void bringToFront();
    void sendToBack();
    void bringForwards();
    void sendBackwards();
    // Alignment of the selection against its first element; false (and a beep) with an empty selection.
    bool alignLeft();
    bool alignRight();
    bool alignTop();
    bool alignBottom();
    void lockUnlock();
    void showHideGrid() { setShowGrid(!m_showGrid); }
    void toggleSnapToGrid() { setSnapToGrid(!m_snapToGrid); }

    // Fills an empty canvas with one control per field of the content table; false when the table is unknown.
    bool autoGenerate(OXDatabase *database);

    // Pane refreshes after model changes (the inspector and the view listen).
    void alertSizePane() { emit sizePaneNeedsRefresh(); }
    void alertCanvasPane() { emit canvasPaneNeedsRefresh(); }
    void alertActionPane() { emit actionPaneNeedsRefresh(); }
    void alertOverlayDimensions() { emit changed(); }
    // Tells the views that frames or controls changed.
    void notifyChanged() { emit changed(); }

signals:
    void changed();
    void selectionChanged();
    void sizePaneNeedsRefresh();
    void canvasPaneNeedsRefresh();
    void actionPaneNeedsRefresh();

private:
    bool align(const std::function<QRectF(const QRectF &reference, const QRectF &frame)> &rule);
    void moveTo(const FDControlPtr &control, int index);

    Value m_definition = Value::dict();
    QString m_name;
    QString m_contentTable;
    bool m_showGrid = true;
    bool m_snapToGrid = true;
    QColor m_backgroundColor = Qt::white;
    QColor m_minorLineColor;
    QColor m_majorLineColor;
    int m_minorLineSpacing = 10;
    int m_majorLineInterval = 7;
    bool m_usesBackgroundColor = false;
    QSizeF m_size{kNewCanvasSide, kNewCanvasSide};
    FDControlList m_controls;
    FDControlList m_selection;
};
