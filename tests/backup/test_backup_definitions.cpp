// Tests of backup definitions: new values, kind rules, the controller's edits, storage and the manual backup.
#include "BackupCredentials.h"
#include "LMBackupController.h"
#include "LMBackupDefinition.h"
#include "LMPackageWrapper.h"
#include "MyDocument.h"
#include "NotificationCenter.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace LMBackupDefinition;

class TestBackupDefinitions : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        qputenv("ORVIX_BACKUP_KEY_FILE", m_env->path(QStringLiteral("keys/backup.key")).toUtf8());
    }
    void cleanup() { m_env.reset(); }

    void newDefinitionHasTheTableValues()
    {
        const Value expected = Value::dict({
            {"Name", "Untitled"},
            {"Type", "FTP"},
            {"Delete rule", "Maintain all"},
            {"Server goes online", false},
            {"File is opened", false},
            {"File is saved", false},
            {"File is closed", false},
            {"Lumora is launched", false},
            {"Lumora is quit", false},
            {"Backup at every", false},
            {"Backup at every time", Value::date(0)},
            {"Backup at every number", 1},
            {"Backup at every units", "hours"},
            {"Alert user with dialog", false},
            {"Email this address", false},
            {"Email this address text", ""},
            {"Retry when media next goes online", false},
            {"Retry after", false},
            {"Retry after number", 1},
            {"Retry after units", "seconds"},
        });
        const Value made = newDefinition();
        QCOMPARE(made.keys(), expected.keys());
        for (const QString &key : expected.keys()) {
            QCOMPARE(made.value(key).type(), expected.value(key).type());
            QVERIFY2(made.value(key) == expected.value(key), qPrintable(key));
        }
        for (const char *absent : {"Server", "Username", "Password", "Directory", "Delete rule delete after"})
            QVERIFY(!made.contains(QLatin1String(absent)));
        // Each new definition is its own dictionary.
        QVERIFY(!newDefinition().isSameContainer(made));
    }

    void kindRules_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("credentials");
        QTest::addColumn<bool>("server");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("icon");
        QTest::newRow("ftp") << "FTP" << true << true << "FTP - host.example"
                             << "Backup_FTP";
        QTest::newRow("sftp") << "Secure FTP" << true << true << "Secure FTP - host.example"
                              << "Backup_SFTP";
        QTest::newRow("dav") << "WebDAV" << true << true << "WebDAV - host.example"
                             << "Backup_Dav";
        QTest::newRow("sdav") << "Secure WebDAV" << true << true << "Secure WebDAV - host.example"
                              << "Backup_SDav";
        QTest::newRow("mac") << ".Mac" << true << false << ""
                             << "Backup_DotMac";
        QTest::newRow("file") << "File" << false << false << ""
                              << "Backup_File";
    }
    void kindRules()
    {
        QFETCH(QString, kind);
        QFETCH(bool, credentials);
        QFETCH(bool, server);
        QFETCH(QString, description);
        QFETCH(QString, icon);
        LMBackupController controller(nullptr, Value::array());
        controller.addButton();
        QVERIFY(controller.server(QStringLiteral("host.example")));
        controller.type(kind);
        QCOMPARE(controller.selected().value("Type").toString(), kind);
        QCOMPARE(controller.fieldState().username, credentials);
        QCOMPARE(controller.fieldState().password, credentials);
        QCOMPARE(controller.fieldState().server, server);
        QCOMPARE(controller.descriptionLine(), description);
        QCOMPARE(iconName(kind), icon);
    }

    void controllerEditsTheLiveArray()
    {
        std::unique_ptr<MyDocument> doc = MyDocument::createNew();
        LMBackupController controller(doc.get(), doc->backups());
        QCOMPARE(controller.selectedIndex(), -1);
        controller.addButton();
        controller.addButton();
        QCOMPARE(doc->backups().size(), 2);
        QCOMPARE(controller.selectedIndex(), 1);
        QVERIFY(doc->isChanged());

        controller.backupName(QStringLiteral("Nightly"));
        QVERIFY(controller.server(QStringLiteral("ftp.example")));
        QCOMPARE(controller.descriptionLine(), QStringLiteral("FTP - ftp.example"));
        // An empty server is refused with a beep and keeps the stored one.
        QVERIFY(!controller.server(QString()));
        QCOMPARE(m_env->ui().beeps(), 1);
        QCOMPARE(doc->backups().at(1).value("Server").toString(), QStringLiteral("ftp.example"));

        controller.deleteRuleDeleteAfter(14);
        QCOMPARE(doc->backups().at(1).value("Delete rule").toString(), QStringLiteral("Delete after"));
        QCOMPARE(doc->backups().at(1).value("Delete rule delete after").toInt(), 14);
        controller.deleteRuleJustKeepLatest();
        QCOMPARE(doc->backups().at(1).value("Delete rule").toString(), QStringLiteral("Just keep latest"));
        controller.setFlag(Key::FileIsSaved, true);
        controller.setNumber(Key::RetryAfterNumber, 5);
        controller.setUnits(Key::RetryAfterUnits, QStringLiteral("minutes"));
        controller.emailThisAddress_(true);
        controller.emailThisAddress_Text(QStringLiteral("me@example.org"));
        const Value edited = doc->backups().at(1);
        QCOMPARE(edited.value("File is saved").toBool(), true);
        QCOMPARE(edited.value("Retry after number").toInt(), 5);
        QCOMPARE(edited.value("Retry after units").toString(), QStringLiteral("minutes"));
        QCOMPARE(edited.value("Email this address").toBool(), true);
        QCOMPARE(edited.value("Email this address text").toString(), QStringLiteral("me@example.org"));
        // The first definition was not touched.
        QCOMPARE(doc->backups().at(0).value("Name").toString(), QStringLiteral("Untitled"));

        controller.removeButton();
        QCOMPARE(doc->backups().size(), 1);
        QCOMPARE(controller.selectedIndex(), 0);
    }

    void definitionsAreSavedWithSealedPasswords()
    {
        std::unique_ptr<MyDocument> doc = MyDocument::createNew();
        LMBackupController controller(doc.get(), doc->backups());
        controller.addButton();
        controller.username(QStringLiteral("ann"));
        controller.password(QStringLiteral("s3cret-pässword"));
        controller.directory(QStringLiteral("/copies"));
        const Value before = doc->backups().deepCopy();
        const QString package = m_env->path(QStringLiteral("Saved.orvix"));
        QVERIFY(doc->save(package));
        doc->close();

        QFile objects(QDir(package).filePath(QStringLiteral("Objects")));
        QVERIFY(objects.open(QIODevice::ReadOnly));
        const QByteArray bytes = objects.readAll();
        QVERIFY(!bytes.contains("s3cret"));
        QVERIFY(!bytes.contains(QStringLiteral("s3cret-pässword").toUtf8()));
        QVERIFY(bytes.contains("Backups"));
        const QFileInfo key(BackupCredentials::keyFilePath());
        QVERIFY(key.exists());
        QCOMPARE(key.permissions(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);

        std::unique_ptr<MyDocument> reopened = MyDocument::open(package);
        QVERIFY(reopened);
        QVERIFY(reopened->backups() == before);
    }

    void sealedPasswordsResistTampering()
    {
        const QString sealed = BackupCredentials::seal(QStringLiteral("pw"));
        QVERIFY(sealed.startsWith(QStringLiteral("aesgcm1:")));
        QCOMPARE(BackupCredentials::open(sealed).value_or(QString()), QStringLiteral("pw"));
        QVERIFY(BackupCredentials::seal(QStringLiteral("pw")) != sealed); // a fresh nonce each time
        QString altered = sealed;
        altered[altered.size() - 3] = altered[altered.size() - 3] == QLatin1Char('A') ? 'B' : 'A';
        QVERIFY(!BackupCredentials::open(altered));
        QVERIFY(!BackupCredentials::open(QStringLiteral("pw")));
    }

    void manualBackupPostsTheDefinitionAndThePackage()
    {
        std::unique_ptr<MyDocument> doc = MyDocument::createNew();
        const QString package = m_env->path(QStringLiteral("Posted.orvix"));
        QVERIFY(doc->save(package));
        LMBackupController controller(doc.get(), doc->backups());
        controller.addButton();
        controller.type(Kind::File);
        controller.directory(QStringLiteral("/tmp/somewhere"));
        controller.password(QStringLiteral("pw"));

        QList<Notification> received;
        const int token = NotificationCenter::distributedCenter().addObserver(
            BackupNotification, nullptr, [&](const Notification &n) { received.append(n); });
        QVERIFY(controller.manuallyDoBackup());
        NotificationCenter::distributedCenter().removeObserver(token);

        QCOMPARE(received.size(), 1);
        QCOMPARE(received[0].name, QStringLiteral("LMAddEventNotification"));
        QVERIFY(received[0].object == nullptr);
        const Value info = received[0].userInfo;
        const Value definition = controller.selected();
        for (const QString &key : definition.keys())
            if (key != Key::Password)
                QVERIFY2(info.value(key) == definition.value(key), qPrintable(key));
        QVERIFY(!info.contains(Key::Password));
        QCOMPARE(BackupCredentials::open(info.value(Key::SealedPassword).toString()).value_or(QString()),
                 QStringLiteral("pw"));
        // A mutable copy was posted: the live definition has no wrapper.
        QVERIFY(!definition.contains(Key::FileWrapper));

        const Value wrapper = info.value(Key::FileWrapper);
        QVERIFY(LMPackageWrapper::isDirectoryWrapper(wrapper));
        QCOMPARE(LMPackageWrapper::name(wrapper), QStringLiteral("Posted.orvix"));
        const QString copy = m_env->path(QStringLiteral("Unwrapped.orvix"));
        QVERIFY(LMPackageWrapper::write(wrapper, copy));
        for (const QString &entry :
             {QStringLiteral("Objects"), QStringLiteral("MainDatabase"), QStringLiteral("Contents/PkgInfo")}) {
            QFile a(QDir(package).filePath(entry)), b(QDir(copy).filePath(entry));
            QVERIFY2(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly), qPrintable(entry));
            QCOMPARE(b.readAll(), a.readAll());
        }
    }

    void manualBackupOfAnUnsavedDocumentIsRefused()
    {
        std::unique_ptr<MyDocument> doc = MyDocument::createNew();
        LMBackupController controller(doc.get(), doc->backups());
        int posted = 0;
        const int token = NotificationCenter::distributedCenter().addObserver(BackupNotification, nullptr,
                                                                              [&](const Notification &) { ++posted; });
        QVERIFY(!controller.manuallyDoBackup()); // nothing selected
        QCOMPARE(m_env->ui().beeps(), 1);
        controller.addButton();
        QVERIFY(!controller.manuallyDoBackup());
        NotificationCenter::distributedCenter().removeObserver(token);
        QCOMPARE(posted, 0);
        QVERIFY(m_env->ui().lastAlert());
        QCOMPARE(m_env->ui().lastAlert()->messageText, QStringLiteral("The document has not been saved yet."));
    }

    void wrapperRefusesUnsafeNames()
    {
        Value children = Value::dict();
        children.set(QStringLiteral(".."),
                     Value::object(QStringLiteral("HVFileWrapper"),
                                   Value::dict({{"NSFilename", ".."}, {"Data", QByteArray("x")}})));
        const Value wrapper =
            Value::object(QStringLiteral("HVFileWrapper"),
                          Value::dict({{"NSFilename", "Evil.orvix"}, {"Directory", true}, {"Children", children}}));
        QString error;
        QVERIFY(!LMPackageWrapper::write(wrapper, m_env->path(QStringLiteral("evil")), &error));
        QVERIFY(error.contains(QStringLiteral("unsafe")));
    }

private:
    std::unique_ptr<TestEnvironment> m_env;
};

QTEST_MAIN(TestBackupDefinitions)
#include "test_backup_definitions.moc"
