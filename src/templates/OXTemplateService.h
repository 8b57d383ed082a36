// OXTemplateService: the five requests to the template service at the base address from preferences.
#pragma once

#include "Value.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

class OXTemplateService : public QObject {
    Q_OBJECT
public:
    // The preference that holds the base address, and its default (the reference service on this machine).
    static inline const QString AddressKey = QStringLiteral("OXTemplateServiceAddress");
    static inline const QString DefaultAddress = QStringLiteral("http://127.0.0.1:8470");

    explicit OXTemplateService(QObject *parent = nullptr);
    static OXTemplateService &shared();

    QString baseAddress() const;

    QUrl searchUrl(const QString &pattern) const;
    QUrl infoUrl(const QString &uid) const;
    QUrl downloadUrl(const QString &uid) const;
    QUrl reportUrl(const QString &uid) const;
    QUrl uploadUrl() const;

    // Synchronous requests (the window waits for them, as for the upload); nullopt when the service failed.
    std::optional<Value> search(const QString &pattern);
    std::optional<Value> info(const QString &uid);
    bool report(const QString &uid);
    // The trimmed ASCII reply to the upload body ("" when nothing came back).
    QString upload(const QByteArray &body);
    // The body of an upload: "postData=…&data=…".
    static QByteArray uploadBody(const Value &templateDictionary, const QString &name, const QString &description,
                                 const QStringList &keywords, const QString &email, const QString &password);

    // An asynchronous download; the caller connects to the reply's signals.
    QNetworkReply *startDownload(const QString &uid);

private:
    std::optional<QByteArray> get(const QUrl &url);
    QNetworkAccessManager *m_network;
};
