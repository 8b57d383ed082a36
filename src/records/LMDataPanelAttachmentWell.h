// LMDataPanelAttachmentWell: the attachment well of the data panel: shows a file wrapper and exports it.
#pragma once

#include "HVFileWrapper.h"
#include "LMDataPanelWell.h"

#include <optional>

class LMDataPanelAttachmentWell : public LMDataPanelWell {
    Q_OBJECT
public:
    explicit LMDataPanelAttachmentWell(QWidget *parent = nullptr);

    Value objectValue() const override;
    void setObjectValue(const Value &value) override;

    // Writes the attachment's bytes to a file chosen in a save panel; false when cancelled or failed
    // (a failure is reported with an alert).
    bool exportAttachment();
    QPushButton *exportButton() const { return m_exportButton; }

protected:
    Value valueFromFile(const QString &path) const override;

private:
    void updateLook();

    std::optional<HVFileWrapper> m_wrapper;
    QLabel *m_icon = nullptr;
    QPushButton *m_exportButton = nullptr;
};
