// HVAttachmentWell: the attachment well of a form: a file wrapper with its icon and name, and its export.
#pragma once

#include "HVFileWrapper.h"
#include "HVFormWell.h"

#include <optional>

class QLabel;
class QPushButton;

class HVAttachmentWell : public HVFormWell {
    Q_OBJECT
public:
    explicit HVAttachmentWell(QWidget *parent = nullptr);

    // The wrapper (an HVFileWrapper value) or null.
    Value objectValue() const override;
    void setObjectValue(const Value &value) override;
    std::optional<HVFileWrapper> wrapper() const { return m_wrapper; }

    // The wrapper's archived data (empty without one); setData rebuilds the wrapper from it (none when unreadable).
    QByteArray data() const;
    void setData(const QByteArray &data);

    // In a form the well shows an "Export" button, enabled exactly when it holds a wrapper.
    void setInForm(bool inForm);
    bool isInForm() const { return m_inForm; }
    QPushButton *exportButton() const { return m_exportButton; }

    // Saves the file through a save panel titled "Export Attachment"; false when there is nothing to export,
    // the panel was cancelled or the write failed (a failure is reported with an alert).
    bool exportAttachment();

protected:
    Value valueFromFile(const QString &path) const override;

private:
    void updateLook();

    std::optional<HVFileWrapper> m_wrapper;
    bool m_inForm = false;
    QLabel *m_icon = nullptr;
    QLabel *m_name = nullptr;
    QPushButton *m_exportButton = nullptr;
};
