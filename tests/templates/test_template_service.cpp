// Tests of the template client against the reference service on the loopback address: every request and reply.
#include "MyDocument.h"
#include "OXDatabase.h"
#include "OXTemplateDownloader.h"
#include "OXTemplateFile.h"
#include "OXTemplateInfo.h"
#include "OXTemplateService.h"
#include "OXTemplateUploader.h"
#include "Preferences.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

namespace {
struct Recorder : OXTemplateDownloaderDelegate {
    QStringList calls;
    void downloadOrInsertDidProgress(double progress, const QString &uid) override
    {
        calls << QStringLiteral("progress %1 %2").arg(progress).arg(uid);
    }
    void downloadOrInsertDidEnd(const QString &uid) override { calls << QStringLiteral("end ") + uid; }
    void refreshDownloadedList() override { calls << QStringLiteral("refresh"); }
};
} // namespace

class TestTemplateService : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qputenv("HOME", m_env.path(QStringLiteral("home")).toUtf8());
        QDir().mkpath(m_env.path(QStringLiteral("home")));
        QFile accounts(m_env.path(QStringLiteral("accounts")));
        QVERIFY(accounts.open(QIODevice::WriteOnly));
        accounts.write("ann@example.org pw\n");
        accounts.close();
        m_service.start(
            QStringLiteral(ORVIX_TEMPLATE_SERVICE_PATH),
            {"--root", m_env.path(QStringLiteral("served")), "--port", "0", "--accounts", accounts.fileName()});
        QVERIFY(m_service.waitForReadyRead(20000));
        const QString line = QString::fromUtf8(m_service.readLine()).trimmed();
        QVERIFY2(line.startsWith(QStringLiteral("listening on 127.0.0.1:")), qPrintable(line));
        m_base = QStringLiteral("http://127.0.0.1:") + line.section(QLatin1Char(':'), -1);
        Preferences::instance().setValue(OXTemplateService::AddressKey, m_base);
        OXTemplateInfo::sharedManager().reload();
    }
    void cleanupTestCase()
    {
        m_service.kill();
        m_service.waitForFinished();
    }
    void init() { m_env.ui().reset(); }

    void requestAddresses()
    {
        OXTemplateService &s = OXTemplateService::shared();
        QCOMPARE(s.searchUrl(QStringLiteral("a b&c+d")).toString(QUrl::FullyEncoded),
                 m_base + QStringLiteral("/orvix/Templates/oxsearch.php5?pattern=a%20b%26c%2Bd"));
        QCOMPARE(s.infoUrl(QStringLiteral("U1")).toString(),
                 m_base + QStringLiteral("/orvix/Templates/oxtemplinfo.php5?uid=U1"));
        QCOMPARE(s.downloadUrl(QStringLiteral("U1")).toString(),
                 m_base + QStringLiteral("/orvix/Templates/oxdownload.php5?uid=U1"));
        QCOMPARE(s.reportUrl(QStringLiteral("U1")).toString(),
                 m_base + QStringLiteral("/orvix/Templates/oxreport.php5?uid=U1"));
        QCOMPARE(s.uploadUrl().toString(), m_base + QStringLiteral("/orvix/Templates/oxupload.php5"));
    }

    void uploadBodyIsDoubleBase64()
    {
        const Value tmpl = Value::dict({{"Tables", Value::array()}});
        const QByteArray body = OXTemplateService::uploadBody(tmpl, QStringLiteral("N"), QStringLiteral("D"),
                                                              {QStringLiteral("a"), QStringLiteral("b")},
                                                              QStringLiteral("e@x"), QStringLiteral("p+w"));
        QVERIFY(body.startsWith("postData="));
        const int amp = body.indexOf("&data=");
        QVERIFY(amp > 0);
        const QByteArray post = QByteArray::fromPercentEncoding(body.mid(9, amp - 9));
        QVERIFY(post.contains("<key>keywords</key>\n\t<string>a, b</string>"));
        QVERIFY(post.contains("<string>p+w</string>"));
        const QByteArray data = QByteArray::fromPercentEncoding(body.mid(amp + 6));
        const QByteArray once = QByteArray::fromBase64(data);
        QCOMPARE(OXTemplateFile::decode(once).value_or(Value()), tmpl);
    }

    void replyTexts_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("informative");
        QTest::newRow("no data") << "ERROR: No Data"
                                 << "The server did not recieve any data."
                                 << "";
        QTest::newRow("too large") << "ERROR: Too Large"
                                   << "The template is too large."
                                   << "Templates have a maximum size of 10MB. Please delete any superfluous items "
                                      "and try again.";
        QTest::newRow("account") << "ERROR: Invalid Email Address or Password"
                                 << "Invalid Email Address or Password."
                                 << "Please check the e-mail address and password of your template service account "
                                    "and try again.";
        QTest::newRow("name") << "ERROR: Name Already in Use"
                              << "Name already in use."
                              << "The template name you entered is already in use by another template. Please "
                                 "change it and try again.";
        QTest::newRow("other") << "ERROR: Disk full"
                               << "An unknown error occurred."
                               << "Please try again later. If the problem persists, please contact Tandrel.";
        QTest::newRow("empty") << ""
                               << "Could not connect to the server."
                               << "Please check your internet connection and try again later.";
    }
    void replyTexts()
    {
        QFETCH(QString, reply);
        QFETCH(QString, message);
        QFETCH(QString, informative);
        const std::optional<Alert> alert = OXTemplateUploader::alertForReply(reply);
        QVERIFY(alert);
        QCOMPARE(alert->messageText, message);
        QCOMPARE(alert->informativeText, informative);
        QVERIFY(!OXTemplateUploader::alertForReply(QStringLiteral("OK")));
    }

    void uploadSearchInfoDownloadInsertReport()
    {
        std::unique_ptr<MyDocument> sample = MyDocument::open(QStringLiteral(ORVIX_SAMPLE_PATH));
        QVERIFY(sample);
        OXTemplateUploader::Upload upload;
        upload.templateDictionary = OXTemplateFile::pack(*sample, {{}, {}, {}, {}, {}, true});
        upload.name = QStringLiteral("Contacts & Firms");
        upload.description = QStringLiteral("People + their employers");
        upload.keywords = {QStringLiteral("people"), QStringLiteral("crm")};
        upload.email = QStringLiteral("ann@example.org");
        upload.password = QStringLiteral("pw");
        QVERIFY(OXTemplateUploader::upload(upload));
        QVERIFY(m_env.ui().alerts().isEmpty());
        // The upload searched for its name: the new template is known now.
        const QString uid = OXTemplateInfo::sharedManager().uidForName(upload.name);
        QVERIFY(!uid.isEmpty());

        // The reply texts of refused uploads, from the service itself.
        QVERIFY(!OXTemplateUploader::upload(upload));
        QCOMPARE(m_env.ui().lastAlert()->messageText, QStringLiteral("Name already in use."));
        OXTemplateUploader::Upload wrong = upload;
        wrong.name = QStringLiteral("Other");
        wrong.password = QStringLiteral("nope");
        QVERIFY(!OXTemplateUploader::upload(wrong));
        QCOMPARE(m_env.ui().lastAlert()->messageText, QStringLiteral("Invalid Email Address or Password."));
        QCOMPARE(OXTemplateService::shared().upload("postData=x"), QStringLiteral("ERROR: No Data"));
        OXTemplateUploader::Upload large = upload;
        large.name = QStringLiteral("Large");
        large.templateDictionary = Value::dict({{"Blob", QByteArray(11 * 1024 * 1024, 'x')}});
        QVERIFY(!OXTemplateUploader::upload(large));
        QCOMPARE(m_env.ui().lastAlert()->messageText, QStringLiteral("The template is too large."));

        // Search and info.
        OXTemplateInfo &info = OXTemplateInfo::sharedManager();
        QVERIFY(!info.searchField(QString()));
        QVERIFY(info.searchField(QStringLiteral("employers")));
        QVERIFY(info.names().contains(upload.name));
        const Value full = info.infoForUid(uid);
        QCOMPARE(full.value("Name").toString(), upload.name);
        QCOMPARE(full.value("Keywords").toString(), QStringLiteral("people, crm"));
        QCOMPARE(full.value("Description").toString(), upload.description);
        const std::optional<Value> found = OXTemplateService::shared().search(QStringLiteral("nothing like it"));
        QVERIFY(found && found->isEmpty());

        // Download and insert into an empty document.
        std::unique_ptr<MyDocument> empty = MyDocument::createNew();
        Recorder recorder;
        OXTemplateDownloader downloader;
        downloader.setDocument(empty.get());
        downloader.setDelegate(&recorder);
        QSignalSpy finished(&downloader, &OXTemplateDownloader::finished);
        downloader.downloadAndInsertTemplateWithUID(uid);
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.at(0).at(1).toBool(), true);
        QVERIFY(recorder.calls.contains(QStringLiteral("refresh")));
        QCOMPARE(recorder.calls.last(), QStringLiteral("end ") + uid);
        QVERIFY(QFileInfo::exists(QDir::home().filePath(
            QStringLiteral("Library/Application Support/Tandrel/Orvix/Downloaded Templates/%1.oxtemplate").arg(uid))));
        QCOMPARE(empty->database()->tablesList(), sample->database()->tablesList());
        QCOMPARE(info.downloadedTemplates().size(), 1);
        QCOMPARE(info.downloadedTemplates().at(0).value("Uid").toString(), uid);

        // Report, after the question.
        m_env.ui().answer(QStringLiteral("Cancel"));
        QVERIFY(!OXTemplateUploader::reportTemplate(uid));
        m_env.ui().answer(QStringLiteral("Report"));
        QVERIFY(OXTemplateUploader::reportTemplate(uid));
        const Alert &asked = *m_env.ui().lastAlert();
        QCOMPARE(asked.messageText, QStringLiteral("Are you sure you want to report this template to a moderator?"));
        QCOMPARE(
            asked.informativeText,
            QStringLiteral("If you think a template is spam, reporting it will flag it for review by a "
                           "moderator. We remind users that we are not responsible for the content of templates."));
        QCOMPARE(asked.buttons, QStringList({"Report", "Cancel"}));
        QFile reports(m_env.path(QStringLiteral("served/reports.txt")));
        QVERIFY(reports.open(QIODevice::ReadOnly));
        const QList<QByteArray> reported = reports.readAll().trimmed().split('\n');
        QCOMPARE(reported.size(), 1);
        QVERIFY(reported[0].endsWith(uid.toUtf8()));

        // Inserting a template already in the folder does not ask the service again, even when it is gone.
        Preferences::instance().setValue(OXTemplateService::AddressKey, QStringLiteral("http://127.0.0.1:1"));
        std::unique_ptr<MyDocument> second = MyDocument::createNew();
        downloader.setDocument(second.get());
        recorder.calls.clear();
        downloader.downloadAndInsertTemplateWithUID(uid);
        QCOMPARE(recorder.calls, QStringList({QStringLiteral("progress 1 ") + uid, QStringLiteral("end ") + uid}));
        QCOMPARE(second->database()->tablesList(), sample->database()->tablesList());
        Preferences::instance().setValue(OXTemplateService::AddressKey, m_base);
    }

    void failedDownloadChangesNothing()
    {
        std::unique_ptr<MyDocument> empty = MyDocument::createNew();
        Recorder recorder;
        OXTemplateDownloader downloader;
        downloader.setDocument(empty.get());
        downloader.setDelegate(&recorder);
        QSignalSpy finished(&downloader, &OXTemplateDownloader::finished);
        downloader.downloadTemplateWithUID(QStringLiteral("NoSuchTemplate"), true);
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.at(0).at(1).toBool(), false);
        QCOMPARE(recorder.calls, QStringList{QStringLiteral("end NoSuchTemplate")});
        QVERIFY(!QFileInfo::exists(OXTemplateFile::pathForUid(QStringLiteral("NoSuchTemplate"))));
        QVERIFY(empty->tables().isEmpty());
    }

    void noServiceMeansCouldNotConnect()
    {
        QTcpServer closed;
        closed.listen(QHostAddress::LocalHost, 0);
        const quint16 port = closed.serverPort();
        closed.close();
        Preferences::instance().setValue(OXTemplateService::AddressKey,
                                         QStringLiteral("http://127.0.0.1:%1").arg(port));
        OXTemplateUploader::Upload upload;
        upload.templateDictionary = Value::dict();
        upload.name = QStringLiteral("X");
        QVERIFY(!OXTemplateUploader::upload(upload));
        QCOMPARE(m_env.ui().lastAlert()->messageText, QStringLiteral("Could not connect to the server."));
        Preferences::instance().setValue(OXTemplateService::AddressKey, m_base);
    }

    void agreementIsAskedUntilSuppressed()
    {
        m_env.ui().answer(QStringLiteral("Cancel"));
        QVERIFY(!OXTemplateUploader::confirmAgreement());
        m_env.ui().answer(QStringLiteral("Agree"));
        m_env.ui().answerSuppression(true);
        QVERIFY(OXTemplateUploader::confirmAgreement());
        QVERIFY(Preferences::instance().boolValue(QStringLiteral("Don't show template agreement")));
        const int shown = int(m_env.ui().alerts().size());
        QVERIFY(OXTemplateUploader::confirmAgreement());
        QCOMPARE(int(m_env.ui().alerts().size()), shown);
    }

private:
    TestEnvironment m_env;
    QProcess m_service;
    QString m_base;
};

QTEST_MAIN(TestTemplateService)
#include "test_template_service.moc"
