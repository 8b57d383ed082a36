// LMDataPanelFilePathWell: the file-path well of the data panel for "File Path" fields.
#pragma once

#include "LMDataPanelWell.h"

class LMDataPanelFilePathWell : public LMDataPanelWell {
    Q_OBJECT
public:
    explicit LMDataPanelFilePathWell(QWidget *parent = nullptr);

    Value objectValue() const override;
    void setObjectValue(const Value &value) override;

    QString path() const { return m_path; }
    // The desktop's file manager on the folder of the path, and the default application on the path.
    void reveal();
    void open();

protected:
    Value valueFromFile(const QString &path) const override;
    FilePanelOptions openPanelOptions() const override;

private:
    void updateLook();

    QString m_path;
    bool m_hasPath = false;
    QLabel *m_icon = nullptr;
    QPushButton *m_revealButton = nullptr;
    QPushButton *m_openButton = nullptr;
};
