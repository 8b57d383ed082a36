// OXTemplateUploader: maps the service's status texts to alerts shown through the Ui seam.
#include "OXTemplateUploader.h"

#include "OXTemplateInfo.h"
#include "OXTemplateService.h"
#include "Preferences.h"
#include "Ui.h"

namespace OXTemplateUploader {

std::optional<Alert> alertForReply(const QString &reply)
{
    if (reply == QLatin1String("OK"))
        return std::nullopt;
    if (reply == QLatin1String("ERROR: No Data"))
        return Alert::make(QStringLiteral("The server did not recieve any data."), QString());
    if (reply == QLatin1String("ERROR: Too Large"))
        return Alert::make(QStringLiteral("The template is too large."),
                           QStringLiteral("Templates have a maximum size of 10MB. Please delete any superfluous "
                                          "items and try again."));
    if (reply == QLatin1String("ERROR: Invalid Email Address or Password"))
        return Alert::make(QStringLiteral("Invalid Email Address or Password."),
                           QStringLiteral("Please check the e-mail address and password of your template service "
                                          "account and try again."));
    if (reply == QLatin1String("ERROR: Name Already in Use"))
        return Alert::make(QStringLiteral("Name already in use."),
                           QStringLiteral("The template name you entered is already in use by another template. "
                                          "Please change it and try again."));
    if (reply.isEmpty())
        return Alert::make(QStringLiteral("Could not connect to the server."),
                           QStringLiteral("Please check your internet connection and try again later."));
    return Alert::make(QStringLiteral("An unknown error occurred."),
                       QStringLiteral("Please try again later. If the problem persists, please contact Tandrel."));
}

bool confirmAgreement(QWidget *window)
{
    const QString key = QStringLiteral("Don't show template agreement");
    if (Preferences::instance().boolValue(key))
        return true;
    Alert terms = Alert::make(
        QStringLiteral("Template service terms"),
        QStringLiteral("By uploading you confirm that you may share these designs and that they hold no personal "
                       "data. Templates are public to every user of the service and may be removed by its "
                       "moderators."),
        {QStringLiteral("Agree"), QStringLiteral("Cancel")});
    terms.suppressionText = QStringLiteral("Do not show this message again");
    bool suppressed = false;
    const int answer = Ui::instance().runSuppressibleAlert(terms, &suppressed, window);
    if (answer != 0)
        return false;
    Preferences::instance().setValue(key, suppressed);
    return true;
}

bool upload(const Upload &upload, QWidget *window)
{
    const QByteArray body = OXTemplateService::uploadBody(upload.templateDictionary, upload.name, upload.description,
                                                          upload.keywords, upload.email, upload.password);
    const QString reply = OXTemplateService::shared().upload(body);
    if (const std::optional<Alert> alert = alertForReply(reply)) {
        Ui::instance().runAlert(*alert, window);
        return false;
    }
    OXTemplateInfo::sharedManager().searchField(upload.name);
    return true;
}

bool reportTemplate(const QString &uid, QWidget *window)
{
    const Alert ask = Alert::make(
        QStringLiteral("Are you sure you want to report this template to a moderator?"),
        QStringLiteral("If you think a template is spam, reporting it will flag it for review by a moderator. We "
                       "remind users that we are not responsible for the content of templates."),
        {QStringLiteral("Report"), QStringLiteral("Cancel")});
    if (Ui::instance().runAlertButton(ask, window) != QLatin1String("Report"))
        return false;
    return OXTemplateService::shared().report(uid);
}

} // namespace OXTemplateUploader
