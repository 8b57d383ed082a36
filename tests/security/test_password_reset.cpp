// Password reset by mail: each step, against an SMTP sink this test starts on the loopback address.
#include "LMLogin.h"
#include "LMLoginForgotPasswordController.h"
#include "LMMailer.h"
#include "MyDocument.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace {
// The sink: a Python script that stores each message it receives as JSON in a folder.
class SmtpSink {
public:
    explicit SmtpSink(const QString &folder, const QStringList &options = {}) : m_folder(folder)
    {
        QDir().mkpath(folder);
        m_process.start(QStringLiteral("python3"),
                        QStringList{QStringLiteral(ORVIX_TEST_DATA "/smtp_sink.py"), folder} + options);
        if (m_process.waitForStarted(10000) && m_process.waitForReadyRead(10000))
            m_port = m_process.readLine().trimmed().toInt();
    }
    ~SmtpSink()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }
    int port() const { return m_port; }
    QList<QJsonObject> messages() const
    {
        QList<QJsonObject> found;
        const QStringList names = QDir(m_folder).entryList({QStringLiteral("message-*.json")}, QDir::Files, QDir::Name);
        for (const QString &name : names) {
            QFile file(QDir(m_folder).filePath(name));
            if (file.open(QIODevice::ReadOnly))
                found << QJsonDocument::fromJson(file.readAll()).object();
        }
        return found;
    }

private:
    QString m_folder;
    QProcess m_process;
    int m_port = 0;
};

MailSettings loopback(int port)
{
    MailSettings settings;
    settings.host = QStringLiteral("127.0.0.1");
    settings.port = port;
    settings.security = QStringLiteral("none");
    settings.timeoutMs = 10000;
    return settings;
}

Value userNamed(const QString &name, const QString &email)
{
    return Value::dict(
        {{"Name", name}, {"Password", LMLogin::passwordHash("old")}, {"Group", "none"}, {"Email", email}});
}
} // namespace

class TestPasswordReset : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void init() { env.ui().reset(); }

    void temporaryPasswordRange()
    {
        for (int i = 0; i < 200; ++i) {
            const QString text = LMLoginForgotPasswordController::makeTemporaryPassword();
            bool ok = false;
            const qint64 n = text.toLongLong(&ok);
            QVERIFY(ok);
            QVERIFY(n >= 0 && n < 9999999);
            QCOMPARE(QString::number(n), text);
        }
    }

    void notConfigured()
    {
        auto doc = MyDocument::createNew();
        LMLoginForgotPasswordController reset(userNamed("Ann", "ann@example.org"), doc.get());
        reset.setMailSettings(MailSettings());
        QCOMPARE(reset.step(), 1);
        QCOMPARE(reset.buttonTitle(), QStringLiteral("Send"));
        QCOMPARE(reset.email(), QStringLiteral("ann@example.org"));
        QVERIFY(!reset.send());
        QCOMPARE(reset.step(), 0); // "OK" cancels the reset
        const Alert *alert = env.ui().lastAlert();
        QCOMPARE(alert->messageText, QStringLiteral("Mail app not configured"));
        QCOMPARE(alert->informativeText, QStringLiteral("Mail.app is not configured to send mail. Please configure it "
                                                        "or contact an admin to reset your password"));
        QCOMPARE(alert->buttons, QStringList{"OK"});
    }

    void sendFailure_data()
    {
        QTest::addColumn<QStringList>("sinkOptions");
        QTest::addColumn<bool>("sinkRunning");
        QTest::newRow("server refuses the message") << QStringList{"--reject-data"} << true;
        QTest::newRow("wrong sign-in") << QStringList{"--user", "mailer", "--password", "other"} << true;
        QTest::newRow("nobody listening") << QStringList{} << false;
    }

    void sendFailure()
    {
        QFETCH(QStringList, sinkOptions);
        QFETCH(bool, sinkRunning);
        int port = 0;
        std::unique_ptr<SmtpSink> sink;
        if (sinkRunning) {
            sink = std::make_unique<SmtpSink>(env.path(QStringLiteral("fail-%1").arg(QTest::currentDataTag())),
                                              sinkOptions);
            port = sink->port();
            QVERIFY(port > 0);
        } else {
            // A port that was free a moment ago.
            SmtpSink probe(env.path("probe"));
            port = probe.port();
        }
        auto doc = MyDocument::createNew();
        Value user = userNamed("Ann", "ann@example.org");
        LMLoginForgotPasswordController reset(user, doc.get());
        MailSettings settings = loopback(port);
        settings.user = QStringLiteral("mailer");
        settings.password = QStringLiteral("pw");
        reset.setMailSettings(settings);
        QVERIFY(!reset.send());
        QCOMPARE(env.ui().lastAlert()->messageText, QStringLiteral("Send error occurred"));
        QCOMPARE(env.ui().lastAlert()->informativeText,
                 QStringLiteral("An error occurred while trying to send the email"));
        QCOMPARE(reset.step(), 1);
        QCOMPARE(user.value("Password").toString(), LMLogin::passwordHash("old")); // nothing changed
        if (sink)
            QVERIFY(sink->messages().isEmpty());
    }

    void fiveSteps_data()
    {
        QTest::addColumn<QStringList>("sinkOptions");
        QTest::addColumn<QString>("auth");
        QTest::newRow("no sign-in") << QStringList{} << "";
        QTest::newRow("AUTH PLAIN") << QStringList{"--user", "mailer", "--password", "pw"} << "PLAIN";
    }

    void fiveSteps()
    {
        QFETCH(QStringList, sinkOptions);
        QFETCH(QString, auth);
        SmtpSink sink(env.path(QStringLiteral("sink-%1").arg(QTest::currentDataTag())), sinkOptions);
        QVERIFY(sink.port() > 0);
        const QString package = env.path(QStringLiteral("Clinic %1.orvix").arg(QTest::currentDataTag()));
        auto doc = MyDocument::createNew();
        Value user = userNamed("Ann", "ann@example.org");
        doc->users().append(user);
        QVERIFY(doc->save(package));

        LMLoginForgotPasswordController reset(user, doc.get());
        MailSettings settings = loopback(sink.port());
        if (!auth.isEmpty()) {
            settings.user = QStringLiteral("mailer");
            settings.password = QStringLiteral("pw");
        }
        reset.setMailSettings(settings);
        QVERIFY(reset.send());
        QCOMPARE(reset.step(), 3);
        QCOMPARE(reset.buttonTitle(), QStringLiteral("Next"));

        const QList<QJsonObject> messages = sink.messages();
        QCOMPARE(messages.size(), 1);
        const QJsonObject message = messages.first();
        QCOMPARE(message.value("from").toString(), QStringLiteral("<passwords@tandrel.com>"));
        QCOMPARE(message.value("to").toArray().first().toString(), QStringLiteral("<ann@example.org>"));
        QCOMPARE(message.value("auth").toString(), auth);
        const QString data = message.value("data").toString();
        const QString headers = data.section(QStringLiteral("\r\n\r\n"), 0, 0);
        QCOMPARE(headers.split(QStringLiteral("\r\n")).mid(0, 4),
                 QStringList({"From: passwords@tandrel.com", "To: ann@example.org", "Subject: Orvix Password Request",
                              "X-Mailer: Apple Message"}));
        const QRegularExpression boundaryHeader(
            QStringLiteral("\r\nContent-Type: multipart/mixed; boundary=\"([^\"]+)\"\r\nMime-Version: 1.0$"));
        const QRegularExpressionMatch boundary = boundaryHeader.match(headers);
        QVERIFY2(boundary.hasMatch(), qPrintable(headers));
        const QString marker = QStringLiteral("--") + boundary.captured(1);
        const QRegularExpression bodyPattern(
            QRegularExpression::escape(marker + "\r\nContent-Type: text/plain; charset=utf-8\r\n"
                                                "Content-Transfer-Encoding: 8bit\r\n\r\n"
                                                "Ann,\r\n\r\nYou are recieving this message because you requested a "
                                                "new password for your user account of an Orvix database. Your new "
                                                "details are as follows:\r\n\r\nDatabase name:Clinic ") +
            QStringLiteral("[^\r]*\r\nUsername:Ann\r\nNew Temporary Password:(\\d+)\r\n") +
            QRegularExpression::escape(marker + "--\r\n") + "$");
        const QRegularExpressionMatch body = bodyPattern.match(data);
        QVERIFY2(body.hasMatch(), qPrintable(data));
        QVERIFY(data.contains(QStringLiteral("Database name:Clinic %1\r\n").arg(QTest::currentDataTag())));
        const QString temporary = body.captured(1);

        // Step 3: a wrong temporary password is refused, the right one goes on.
        QVERIFY(!reset.enterTemporaryPassword(temporary + "0"));
        QCOMPARE(env.ui().lastAlert()->messageText, QStringLiteral("Incorrect password"));
        QCOMPARE(env.ui().lastAlert()->informativeText,
                 QStringLiteral("The temporary password you entered was incorrect. Please check it for any spelling "
                                "mistakes"));
        QCOMPARE(reset.step(), 3);
        QVERIFY(reset.enterTemporaryPassword(temporary));
        QCOMPARE(reset.step(), 4);

        // Step 4: the two new entries must agree; then the digest is stored and the document saved.
        QVERIFY(!reset.setNewPassword("fresh", "Fresh"));
        QCOMPARE(env.ui().lastAlert()->messageText, QStringLiteral("Passwords don't match"));
        QCOMPARE(env.ui().lastAlert()->informativeText,
                 QStringLiteral("The passwords you entered did not match. Please retype"));
        QVERIFY(reset.setNewPassword("fresh", "fresh"));
        QCOMPARE(reset.step(), 5);
        QCOMPARE(reset.buttonTitle(), QStringLiteral("Finish"));
        // Saving keeps a salted verifier of the new digest in the record.
        QVERIFY(LMLogin::passwordMatches(user.value("Password").toString(), LMLogin::passwordHash("fresh")));
        QVERIFY(!LMLogin::passwordMatches(user.value("Password").toString(), LMLogin::passwordHash("old")));
        QVERIFY(!doc->isChanged());
        {
            auto reopened = MyDocument::open(package);
            QVERIFY(reopened);
            QVERIFY(!LMLogin::checkUsername("Ann", "fresh", reopened->users()).isNull());
            QVERIFY(LMLogin::checkUsername("Ann", "old", reopened->users()).isNull());
        }

        // Step 5: the user is logged in.
        auto login = reset.finish();
        QVERIFY(login);
        QCOMPARE(login->userName(), QStringLiteral("Ann"));
        QCOMPARE(login->typedPassword(), QStringLiteral("fresh"));
        QCOMPARE(doc->login(), login.get());
    }

    void stepsCannotBeSkipped()
    {
        auto doc = MyDocument::createNew();
        LMLoginForgotPasswordController reset(userNamed("Ann", "ann@example.org"), doc.get());
        QVERIFY(!reset.enterTemporaryPassword(QString())); // nothing was sent: even "" is refused
        QVERIFY(!reset.setNewPassword("a", "a"));
        QVERIFY(!reset.finish());
    }

    void authLoginAndDotStuffing()
    {
        // A server offering only LOGIN, and a body line that starts with a dot, arrive intact.
        SmtpSink sink(env.path("login-sink"), {"--user", "u", "--password", "p", "--login-only"});
        MailSettings settings = loopback(sink.port());
        settings.user = QStringLiteral("u");
        settings.password = QStringLiteral("p");
        const QByteArray message =
            LMMailer::composeMessage("a@example.org", "b@example.org", "Dots", ".hidden\n..two\nend");
        QString error;
        QVERIFY2(LMMailer::send(settings, "a@example.org", "b@example.org", message, &error), qPrintable(error));
        const QList<QJsonObject> messages = sink.messages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().value("auth").toString(), QStringLiteral("LOGIN"));
        QCOMPARE(messages.first().value("data").toString().toUtf8(), message);
    }
};

QTEST_MAIN(TestPasswordReset)
#include "test_password_reset.moc"
