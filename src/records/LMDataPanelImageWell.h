// LMDataPanelImageWell: the image well of the data panel for "Image" fields.
#pragma once

#include "LMDataPanelWell.h"

#include <QImage>

class QLabel;

class LMDataPanelImageWell : public LMDataPanelWell {
    Q_OBJECT
public:
    explicit LMDataPanelImageWell(QWidget *parent = nullptr);

    Value objectValue() const override;
    void setObjectValue(const Value &value) override;

protected:
    Value valueFromFile(const QString &path) const override;
    Value valueFromMimeData(const QMimeData *mime) const override;
    FilePanelOptions openPanelOptions() const override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void updatePicture();

    QImage m_image;
    QLabel *m_picture = nullptr;
};
