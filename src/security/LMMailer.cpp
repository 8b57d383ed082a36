// LMMailer: a small blocking SMTP client on QSslSocket (EHLO, STARTTLS, AUTH PLAIN or LOGIN, MAIL, RCPT, DATA).
#include "LMMailer.h"

#include "Preferences.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QSslSocket>
#include <QUuid>

MailSettings MailSettings::fromPreferences()
{
    Preferences &prefs = Preferences::instance();
    MailSettings settings;
    settings.host = prefs.stringValue(QStringLiteral("LMMailHost")).trimmed();
    const int port = prefs.intValue(QStringLiteral("LMMailPort"));
    const QString security = prefs.stringValue(QStringLiteral("LMMailSecurity")).toLower();
    if (!security.isEmpty())
        settings.security = security;
    settings.port = port > 0 ? port : (settings.security == QLatin1String("tls") ? 465 : 587);
    settings.user = prefs.stringValue(QStringLiteral("LMMailUser"));
    settings.password = prefs.stringValue(QStringLiteral("LMMailPassword"));
    return settings;
}

QByteArray LMMailer::composeMessage(const QString &from, const QString &to, const QString &subject, const QString &body)
{
    const QByteArray boundary = "orvix-" + QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
    QByteArray text = body.toUtf8();
    text.replace("\r\n", "\n");
    text.replace("\n", "\r\n");
    QByteArray m;
    m += "From: " + from.toUtf8() + "\r\n";
    m += "To: " + to.toUtf8() + "\r\n";
    m += "Subject: " + subject.toUtf8() + "\r\n";
    m += "X-Mailer: Apple Message\r\n";
    m += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n";
    m += "Mime-Version: 1.0\r\n";
    m += "\r\n";
    m += "--" + boundary + "\r\n";
    m += "Content-Type: text/plain; charset=utf-8\r\n";
    m += "Content-Transfer-Encoding: 8bit\r\n";
    m += "\r\n";
    m += text;
    if (!text.endsWith("\r\n"))
        m += "\r\n";
    m += "--" + boundary + "--\r\n";
    return m;
}

namespace {
class Session {
public:
    Session(const MailSettings &settings, QString *error) : m_settings(settings), m_error(error) {}

    bool fail(const QString &message)
    {
        if (m_error)
            *m_error = message;
        m_socket.abort();
        return false;
    }

    // Reads one (possibly multi-line) reply and checks its code class.
    bool expect(int wanted, QByteArray *lines = nullptr)
    {
        QByteArray all;
        for (;;) {
            while (!m_socket.canReadLine()) {
                if (!m_socket.waitForReadyRead(m_settings.timeoutMs))
                    return fail(QStringLiteral("The mail server did not answer: %1").arg(m_socket.errorString()));
            }
            const QByteArray line = m_socket.readLine();
            all += line;
            if (line.size() < 4 || line.at(3) != '-') {
                m_lastReply = all.trimmed();
                if (lines)
                    *lines = all;
                const int code = line.left(3).toInt();
                if (code / 100 != wanted / 100)
                    return fail(QStringLiteral("The mail server refused: %1").arg(QString::fromUtf8(m_lastReply)));
                return true;
            }
        }
    }

    bool command(const QByteArray &line, int wanted, QByteArray *reply = nullptr)
    {
        m_socket.write(line + "\r\n");
        if (!m_socket.waitForBytesWritten(m_settings.timeoutMs))
            return fail(QStringLiteral("The mail server could not be written to: %1").arg(m_socket.errorString()));
        return expect(wanted, reply);
    }

    bool run(const QString &from, const QString &to, const QByteArray &message)
    {
        const bool implicitTls = m_settings.security == QLatin1String("tls");
        if (implicitTls)
            m_socket.connectToHostEncrypted(m_settings.host, quint16(m_settings.port));
        else
            m_socket.connectToHost(m_settings.host, quint16(m_settings.port));
        const bool connected = implicitTls ? m_socket.waitForEncrypted(m_settings.timeoutMs)
                                           : m_socket.waitForConnected(m_settings.timeoutMs);
        if (!connected)
            return fail(QStringLiteral("The mail server %1 could not be reached: %2")
                            .arg(m_settings.host, m_socket.errorString()));
        QByteArray hello = QHostInfo::localHostName().toUtf8();
        if (hello.isEmpty())
            hello = "localhost";
        QByteArray features;
        if (!expect(220) || !command("EHLO " + hello, 250, &features))
            return false;
        if (m_settings.security == QLatin1String("starttls")) {
            if (!features.toUpper().contains("STARTTLS"))
                return fail(QStringLiteral("The mail server does not offer STARTTLS."));
            if (!command("STARTTLS", 220))
                return false;
            m_socket.startClientEncryption();
            if (!m_socket.waitForEncrypted(m_settings.timeoutMs))
                return fail(QStringLiteral("The secure connection failed: %1").arg(m_socket.errorString()));
            if (!command("EHLO " + hello, 250, &features))
                return false;
        }
        if (!m_settings.user.isEmpty() && !authenticate(features))
            return false;
        if (!command("MAIL FROM:<" + from.toUtf8() + ">", 250) || !command("RCPT TO:<" + to.toUtf8() + ">", 250) ||
            !command("DATA", 354))
            return false;
        // Dot-stuffing: a line that starts with "." gets a second one.
        QByteArray data = message;
        if (data.startsWith('.'))
            data.prepend('.');
        data.replace("\r\n.", "\r\n..");
        if (!data.endsWith("\r\n"))
            data += "\r\n";
        m_socket.write(data);
        if (!command(".", 250))
            return false;
        command("QUIT", 221);
        m_socket.disconnectFromHost();
        return true;
    }

    bool authenticate(const QByteArray &features)
    {
        // A password never crosses the network in clear; loopback stays on this machine.
        const QHostAddress peer = m_socket.peerAddress();
        if (!m_socket.isEncrypted() && !peer.isLoopback())
            return fail(
                QStringLiteral("Orvix will not send the mail password over a connection that is not encrypted."));
        const QByteArray upper = features.toUpper();
        const QByteArray user = m_settings.user.toUtf8();
        const QByteArray password = m_settings.password.toUtf8();
        if (upper.contains("PLAIN"))
            return command("AUTH PLAIN " + (QByteArray(1, '\0') + user + QByteArray(1, '\0') + password).toBase64(),
                           235);
        if (upper.contains("LOGIN"))
            return command("AUTH LOGIN", 334) && command(user.toBase64(), 334) && command(password.toBase64(), 235);
        return fail(QStringLiteral("The mail server offers no sign-in Orvix knows (PLAIN or LOGIN)."));
    }

private:
    const MailSettings &m_settings;
    QString *m_error;
    QSslSocket m_socket;
    QByteArray m_lastReply;
};
} // namespace

bool LMMailer::send(const MailSettings &settings, const QString &from, const QString &to, const QByteArray &message,
                    QString *error)
{
    if (!settings.isConfigured()) {
        if (error)
            *error = QStringLiteral("No mail server is configured.");
        return false;
    }
    Session session(settings, error);
    return session.run(from, to, message);
}
