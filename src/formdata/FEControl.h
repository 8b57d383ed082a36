// FEControl: one live control of a form in data entry: the wrapped widget, its read-only label, its info and
// the value it exchanges with the record (the data-entry twin of FDControl).
#pragma once

#include "FEBinding.h"
#include "OXDatabase.h"
#include "Value.h"

#include <QPointer>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QWidget>

class QLabel;

class FEControl : public QWidget {
    Q_OBJECT
public:
    // Wraps `control` (of the stored class `className`) with a "Label:" label; the control becomes its child.
    static FEControl *fecontrolFromControl(QWidget *control, const QString &className, QWidget *parent = nullptr);

    QWidget *nsControl() const { return m_control; }
    void setNSControl(QWidget *control);
    QString className() const { return m_className; }
    QLabel *label() const { return m_label; }

    // The control as its archive describes it (class and attributes); scripts change its attributes.
    Value archivedControl() const { return m_archived; }
    void setArchivedControl(const Value &control) { m_archived = control; }

    Value info() const { return m_info; }
    // Takes "Label Text", when present, as the label's text.
    void setInfo(const Value &info);
    QString uuid() const;
    QString name() const;
    void labelTextChanged(const QString &text);

    // The area right of the label (label width plus the 4-point gap); the control fills it.
    QRectF frameExcludingLabel() const;
    void setFrameExcludingLabel(const QRectF &rect);
    int resizeMask() const { return m_resizeMask; }
    void setResizeMask(int mask) { m_resizeMask = mask; }
    // The frame the form view lays the control out from when it resizes (its springs and struts).
    QRectF originalFrame() const { return m_originalFrame; }
    void setOriginalFrame(const QRectF &frame) { m_originalFrame = frame; }

    // --- Value exchange (mb_objectValue / objectValue / stringValue).
    // What the control offers: its object value, only its text, or nothing (buttons, labels, shapes).
    FEControlValue readValue() const;
    // Shows a value: through the control's object value, or its text for a text-only control (text values
    // only); answers whether the control took it.
    bool writeValue(const Value &value);
    // Empties the control (nil, or the empty string).
    void clearValue();
    bool acceptsOptions() const;
    void setOptions(const QStringList &options);
    bool isPopUpMenu() const;
    // Replaces every item of a pop-up menu and selects `selected`, else the first item.
    void setPopUpItems(const QStringList &items, const QString &selected);
    bool acceptsFormatter() const;
    void setFormatter(const FieldFormatter &formatter) { m_formatter = formatter; }
    // A control with an action of its own (anything a user can act on).
    bool hasAction() const;

signals:
    // The user acted on the control (a text control: editing ended).
    void controlActed(FEControl *control);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit FEControl(QWidget *parent);
    void connectAction();
    void layoutParts();

    QPointer<QWidget> m_control;
    QString m_className;
    QLabel *m_label = nullptr;
    Value m_info = Value::dict();
    Value m_archived;
    qreal m_labelWidth = 0;
    int m_resizeMask = 36;
    QRectF m_originalFrame;
    FieldFormatter m_formatter;
    bool m_listValued = false;
};
