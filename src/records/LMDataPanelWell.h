// LMDataPanelWell: the common frame of the panel's value wells: an object value, file drops and a "Choose…" button.
#pragma once

#include "Ui.h"
#include "Value.h"

#include <QFrame>
#include <QString>

class QLabel;
class QMimeData;
class QPushButton;
class QHBoxLayout;
class QVBoxLayout;

class LMDataPanelWell : public QFrame {
    Q_OBJECT
public:
    explicit LMDataPanelWell(QWidget *parent = nullptr);

    // The native value the well holds; null when it holds none.
    virtual Value objectValue() const = 0;
    // Shows a value (null clears the well); never reports a change.
    virtual void setObjectValue(const Value &value) = 0;

    // Takes the file at `path` as the well's new value as a drop does; false when the file does not fit.
    bool takeFile(const QString &path);
    // Runs the open panel and takes the chosen file.
    void chooseFile();

    QPushButton *chooseButton() const { return m_chooseButton; }
    QLabel *captionLabel() const { return m_caption; }

signals:
    // The user put a new value into the well (drop or "Choose…"); the panel commits it at once.
    void valueChangedByUser(QWidget *well);

protected:
    // The value made from a file; null when the file cannot become one.
    virtual Value valueFromFile(const QString &path) const = 0;
    // A mime payload other than local files that the well takes (an image for the image well).
    virtual Value valueFromMimeData(const QMimeData *) const { return Value(); }
    virtual FilePanelOptions openPanelOptions() const;

    QVBoxLayout *contentLayout() const { return m_content; }
    QHBoxLayout *buttonLayout() const { return m_buttons; }
    void setCaption(const QString &text);

    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    Value valueFromDrop(const QMimeData *mime) const;

    QVBoxLayout *m_content = nullptr;
    QHBoxLayout *m_buttons = nullptr;
    QLabel *m_caption = nullptr;
    QPushButton *m_chooseButton = nullptr;
};
