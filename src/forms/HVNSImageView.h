// HVNSImageView: the image well of a form: shows a stored image and takes a dropped, pasted or chosen one.
#pragma once

#include "HVFormWell.h"

#include <QImage>

class HVNSImageView : public HVFormWell {
    Q_OBJECT
public:
    // How the image fits the well (stored as "Image Scaling").
    enum Scaling { ProportionallyDown = 0, AxesIndependently = 1, NoScaling = 2, ProportionallyUpOrDown = 3 };
    // Where a smaller image sits (stored as "Image Alignment").
    enum Alignment { Center = 0, Top, TopLeft, TopRight, Left, Bottom, BottomLeft, BottomRight, Right };
    // The frame drawn around it (stored as "Image Frame Style").
    enum FrameStyle { NoFrame = 0, Photo = 1, GrayBezel = 2, Groove = 3, Button = 4 };

    explicit HVNSImageView(QWidget *parent = nullptr);

    // The image; an image narrower or lower than one point reads as no value.
    Value objectValue() const override;
    void setObjectValue(const Value &value) override;
    QImage image() const { return m_image; }

    void setImageScaling(int scaling);
    void setImageAlignment(int alignment);
    void setImageFrameStyle(int style);
    int imageScaling() const { return m_scaling; }
    int imageAlignment() const { return m_alignment; }
    int imageFrameStyle() const { return m_frameStyle; }
    void setAllowsCutCopyPaste(bool allows) { m_allowsCutCopyPaste = allows; }
    bool allowsCutCopyPaste() const { return m_allowsCutCopyPaste; }

    // The rectangle the image is drawn into inside `bounds` under the scaling and alignment settings.
    static QRectF imageRect(const QSizeF &imageSize, const QRectF &bounds, int scaling, int alignment);

    // Clipboard edits; each does nothing (and reports false) when not allowed or nothing to do.
    bool copy() const;
    bool cut();
    bool paste();
    // Empties an editable well.
    bool clear();

protected:
    Value valueFromFile(const QString &path) const override;
    Value valueFromMimeData(const QMimeData *mime) const override;
    FilePanelOptions openPanelOptions() const override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QImage m_image;
    int m_scaling = ProportionallyUpOrDown;
    int m_alignment = Center;
    int m_frameStyle = GrayBezel;
    bool m_allowsCutCopyPaste = true;
};
