// OXTemplateService: builds the request addresses and bodies and waits for replies in a local event loop.
#include "OXTemplateService.h"

#include "Base64.h"
#include "KeyedArchive.h"
#include "Preferences.h"
#include "PropertyList.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {
// Every query and form value is escaped whole: "+", "/", "=" and "&" would otherwise change Base64 and the
// form's structure on the way to the service.
QString escaped(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

QNetworkRequest requestFor(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(60000);
    return request;
}
} // namespace

OXTemplateService::OXTemplateService(QObject *parent) : QObject(parent), m_network(new QNetworkAccessManager(this)) {}

OXTemplateService &OXTemplateService::shared()
{
    static OXTemplateService *service = new OXTemplateService;
    return *service;
}

QString OXTemplateService::baseAddress() const
{
    QString base = Preferences::instance().stringValue(AddressKey);
    if (base.isEmpty())
        base = DefaultAddress;
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base;
}

QUrl OXTemplateService::searchUrl(const QString &pattern) const
{
    return QUrl(QStringLiteral("%1/orvix/Templates/oxsearch.php5?pattern=%2").arg(baseAddress(), escaped(pattern)));
}

QUrl OXTemplateService::infoUrl(const QString &uid) const
{
    return QUrl(QStringLiteral("%1/orvix/Templates/oxtemplinfo.php5?uid=%2").arg(baseAddress(), escaped(uid)));
}

QUrl OXTemplateService::downloadUrl(const QString &uid) const
{
    return QUrl(baseAddress() + QStringLiteral("/orvix/Templates/oxdownload.php5?uid=%1").arg(escaped(uid)));
}

QUrl OXTemplateService::reportUrl(const QString &uid) const
{
    return QUrl(QStringLiteral("%1/orvix/Templates/oxreport.php5?uid=%2").arg(baseAddress(), escaped(uid)));
}

QUrl OXTemplateService::uploadUrl() const
{
    return QUrl(QStringLiteral("%1/orvix/Templates/oxupload.php5").arg(baseAddress()));
}

std::optional<QByteArray> OXTemplateService::get(const QUrl &url)
{
    QNetworkReply *reply = m_network->get(requestFor(url));
    QEventLoop loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError)
        return std::nullopt;
    return reply->readAll();
}

std::optional<Value> OXTemplateService::search(const QString &pattern)
{
    const std::optional<QByteArray> body = get(searchUrl(pattern));
    if (!body)
        return std::nullopt;
    const std::optional<Value> list = PropertyList::read(*body);
    if (!list || !list->isArray())
        return std::nullopt;
    return list;
}

std::optional<Value> OXTemplateService::info(const QString &uid)
{
    const std::optional<QByteArray> body = get(infoUrl(uid));
    if (!body)
        return std::nullopt;
    const std::optional<Value> info = PropertyList::read(*body);
    if (!info || !info->isDict())
        return std::nullopt;
    return info;
}

bool OXTemplateService::report(const QString &uid)
{
    return get(reportUrl(uid)).has_value();
}

QByteArray OXTemplateService::uploadBody(const Value &templateDictionary, const QString &name,
                                         const QString &description, const QStringList &keywords, const QString &email,
                                         const QString &password)
{
    const Value fields = Value::dict({{QStringLiteral("name"), name},
                                      {QStringLiteral("description"), description},
                                      {QStringLiteral("keywords"), keywords.join(QStringLiteral(", "))},
                                      {QStringLiteral("submitterEmail"), email},
                                      {QStringLiteral("submitterPassword"), password}});
    const QString postData = QString::fromUtf8(PropertyList::write(fields, PropertyList::Format::Xml));
    const QString once = Base64::encode(KeyedArchive::archive(templateDictionary, QStringLiteral("key")));
    const QString twice = Base64::encode(once.toLatin1());
    return QStringLiteral("postData=%1&data=%2").arg(escaped(postData), escaped(twice)).toLatin1();
}

QString OXTemplateService::upload(const QByteArray &body)
{
    QNetworkRequest request = requestFor(uploadUrl());
    request.setRawHeader("Content-Length", QByteArray::number(body.size()));
    request.setRawHeader("Content-Type", "application/x-www-form-urlencoded");
    QNetworkReply *reply = m_network->post(request, body);
    QEventLoop loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError && reply->error() < QNetworkReply::ContentAccessDenied)
        return QString();
    return QString::fromLatin1(reply->readAll()).trimmed();
}

QNetworkReply *OXTemplateService::startDownload(const QString &uid)
{
    return m_network->get(requestFor(downloadUrl(uid)));
}
