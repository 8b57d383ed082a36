// HVFormWell: the common frame of a form's media wells: an object value, an editable flag and file drops.
#pragma once

#include "Ui.h"
#include "Value.h"

#include <QFrame>

class QMimeData;

class HVFormWell : public QFrame {
    Q_OBJECT
public:
    explicit HVFormWell(QWidget *parent = nullptr);

    // The native value the well holds; null when it holds none.
    virtual Value objectValue() const = 0;
    // Shows a value (null clears the well); never emits objectValueEdited.
    virtual void setObjectValue(const Value &value) = 0;

    // A well that is not editable shows its value but takes no drop, paste or chosen file.
    bool isEditable() const { return m_editable; }
    void setEditable(bool editable);

    // Applies the well's drop rule to drag data as a drop does: true when the well took it (the value may be
    // unchanged for payloads the well accepts without using), false when it refused and kept its value.
    bool takeMimeData(const QMimeData *mime);
    // Takes a file as if it had been dropped; false (value unchanged) when the file does not fit.
    bool takeFile(const QString &path);
    // Runs the open panel and takes the chosen file.
    void chooseFile();

signals:
    // The user put a new value into the well (drop, paste, chosen file or clear).
    void objectValueEdited();

protected:
    // The value made from a file; null when the file cannot become one.
    virtual Value valueFromFile(const QString &path) const = 0;
    // The value carried by drag data other than local files (image data, file contents); null for none.
    virtual Value valueFromMimeData(const QMimeData *) const { return Value(); }
    // Whether drag data the well does not turn into a value is still accepted (and ignored).
    virtual bool acceptsWithoutValue(const QMimeData *) const { return false; }
    virtual FilePanelOptions openPanelOptions() const;
    // Takes a value the user gave, reporting it.
    void takeValue(const Value &value);

    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    bool canTake(const QMimeData *mime) const;

    bool m_editable = true;
};
