// HVFilePathWell: the file-path well of a form: shows a path with its file's icon; a dropped file sets it.
#pragma once

#include "HVFormWell.h"

class QLabel;

class HVFilePathWell : public HVFormWell {
    Q_OBJECT
public:
    explicit HVFilePathWell(QWidget *parent = nullptr);

    // The path as text ("" when none).
    Value objectValue() const override;
    void setObjectValue(const Value &value) override;
    QString path() const { return m_path; }
    QLabel *pathLabel() const { return m_text; }

protected:
    Value valueFromFile(const QString &path) const override;
    // Image data on the drag is accepted but does not change the path.
    bool acceptsWithoutValue(const QMimeData *mime) const override;
    FilePanelOptions openPanelOptions() const override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateLook();

    QString m_path;
    QLabel *m_icon = nullptr;
    QLabel *m_text = nullptr;
};
