// OXTemplateUploader: uploads a template and reports one to the moderators, with every reply's alert.
#pragma once

#include "Alert.h"
#include "Value.h"

#include <QStringList>
#include <optional>

class QWidget;

namespace OXTemplateUploader {
struct Upload {
    Value templateDictionary;
    QString name, description, email, password;
    QStringList keywords;
};
// The alert a reply text calls for, or nullopt for "OK".
std::optional<Alert> alertForReply(const QString &reply);
// The service's terms, unless the user ticked "do not show again" before (user default "Don't show template
// agreement"). True when accepted.
bool confirmAgreement(QWidget *window = nullptr);
// Sends the upload; on "OK" searches the service for the new name. False after showing the reply's alert.
bool upload(const Upload &upload, QWidget *window = nullptr);
// Asks first; "Report" sends the report request. True when it was sent.
bool reportTemplate(const QString &uid, QWidget *window = nullptr);
} // namespace OXTemplateUploader
