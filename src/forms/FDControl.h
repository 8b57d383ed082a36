// FDControl: the designer's wrapper of one control: label, 4-point margin, info dictionary, lock and resize mask.
#pragma once

#include "Value.h"

#include <QByteArray>
#include <QFont>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <memory>

class FDCanvas;

class FDControl {
public:
    // The gap between the label and the control's area, and the selection margin around the control.
    static constexpr qreal kLabelGap = 4;
    static constexpr qreal kMargin = 4;
    static constexpr int kDefaultResizeMask = 36;

    // Wraps a control (an archived object) with a label "Label:", a fresh info dictionary and an untitled name.
    // The wrapper is placed so that the control keeps `controlFrame` when one is given.
    static std::shared_ptr<FDControl> fdcontrolFromControl(const Value &control, FDCanvas *canvas);
    // Unarchives a control from serialized data and wraps it at (0, 0), keeping the data; null when unreadable.
    static std::shared_ptr<FDControl> fdcontrolFromData(const QByteArray &data, FDCanvas *canvas);
    // A wrapper for a stored entry whose control could not be read: it keeps the stored class and data unchanged.
    static std::shared_ptr<FDControl> unreadable(const QString &className, const QByteArray &data, FDCanvas *canvas);

    // The wrapped control (class name and attributes; shared, edited in place by the inspector).
    Value control() const { return m_control; }
    void setControl(const Value &control);
    QString className() const;
    bool isReadable() const { return m_readable; }

    Value info() const { return m_info; }
    // Also copies "Label Text", when present, into the label and lays the label out again.
    void setInfo(const Value &info);
    QString uuid() const { return m_info.value(QStringLiteral("UUID")).toString(); }

    QString labelText() const { return m_labelText; }
    qreal labelWidth() const { return m_labelWidth; }
    // Sizes the label to its new text without moving the control, stores "Label Text" and offers it as a name.
    void labelTextChanged(const QString &text);
    void refreshLabel();
    // The width a label needs for `text` in the label font (13-point system font).
    static qreal labelWidthFor(const QString &text);
    static QFont labelFont();

    // The wrapper frame: label, gap and the control's area with its margin.
    QRectF frame() const { return m_frame; }
    void setFrame(const QRectF &frame) { m_frame = frame; }
    QRectF frameExcludingLabel() const;
    void setFrameExcludingLabel(const QRectF &rect);
    // The control proper: the frame excluding the label, less the margin.
    QRectF controlFrame() const;
    QRectF labelFrame() const;

    int resizeMask() const { return m_resizeMask; }
    void setResizeMask(int mask) { m_resizeMask = mask & 63; }
    bool isLocked() const { return m_locked; }
    void setLocked(bool locked) { m_locked = locked; }
    bool isDragCopyable() const { return m_dragCopyable; }
    void setDragCopyable(bool copyable) { m_dragCopyable = copyable; }

    // The serialized control: the cached data, made when none is cached.
    QByteArray getData();
    // The stored data of an unreadable entry, or a fresh archive of the control.
    QByteArray controlData() const;

    FDCanvas *canvas() const { return m_canvas; }
    void setCanvas(FDCanvas *canvas) { m_canvas = canvas; }

    // Naming ("Script Bridge Name").
    QString scriptBridgeName() const;
    QStringList sbNames() const;
    void tryToGiveName(const QString &name);
    void giveUntitledName();

    // "<seconds since 2001>-<random()>".
    static QString makeUUID();

private:
    FDControl() = default;
    void setLabelText(const QString &text);

    Value m_control;
    Value m_info = Value::dict();
    QByteArray m_data;
    bool m_readable = true;
    QString m_unreadableClass;
    QString m_labelText = QStringLiteral("Label:");
    qreal m_labelWidth = 0;
    QRectF m_frame;
    int m_resizeMask = kDefaultResizeMask;
    bool m_locked = false;
    bool m_dragCopyable = false;
    FDCanvas *m_canvas = nullptr;
};

using FDControlPtr = std::shared_ptr<FDControl>;
