// LMMailer: the SMTP client that delivers password-reset messages, with its settings from the preferences.
#pragma once

#include <QByteArray>
#include <QString>

struct MailSettings {
    QString host; // "" when no server is configured
    int port = 25;
    // "none", "starttls" (upgrade after EHLO) or "tls" (TLS from the first byte)
    QString security = QStringLiteral("starttls");
    QString user;
    QString password;
    int timeoutMs = 15000;

    bool isConfigured() const { return !host.isEmpty(); }
    // "LMMailHost", "LMMailPort", "LMMailSecurity", "LMMailUser", "LMMailPassword".
    static MailSettings fromPreferences();
};

namespace LMMailer {
// A MIME message with one plain-text part; lines end in CRLF.
QByteArray composeMessage(const QString &from, const QString &to, const QString &subject, const QString &body);
// Delivers `message` by SMTP; false with `error` set when any step of the exchange fails.
bool send(const MailSettings &settings, const QString &from, const QString &to, const QByteArray &message,
          QString *error);
} // namespace LMMailer
