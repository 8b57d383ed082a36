// Tests of the backup agent: folder and FTP copies, the delete rules, unserved kinds, interrupted copies, D-Bus.
#include "LMBackupAgent.h"
#include "LMBackupDefinition.h"
#include "LMPackageWrapper.h"
#include "MyDocument.h"
#include "NotificationCenter.h"
#include "TestEnvironment.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimeZone>

using namespace LMBackupDefinition;

namespace {
const QDateTime kNow = QDateTime(QDate(2026, 6, 15), QTime(12, 0, 0), QTimeZone::utc());

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

QStringList copiesIn(const QString &folder, const QString &package = QStringLiteral("Shop.orvix"))
{
    QStringList names;
    for (const QString &name : QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        if (LMBackupAgent::copyTime(package, name).isValid())
            names << name;
    return names;
}
} // namespace

class TestBackupAgent : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qputenv("ORVIX_BACKUP_KEY_FILE", m_env.path(QStringLiteral("backup.key")).toUtf8());
        std::unique_ptr<MyDocument> doc = MyDocument::createNew();
        m_package = m_env.path(QStringLiteral("Shop.orvix"));
        QVERIFY(doc->save(m_package));
    }

    void copiesIntoAFolder()
    {
        const QString folder = m_env.path(QStringLiteral("plain"));
        LMBackupAgent agent;
        agent.setClock([] { return kNow; });
        const LMBackupResult result = agent.perform(request(Kind::File, folder));
        QVERIFY2(result.ok, qPrintable(result.message));
        QCOMPARE(result.copyName, QStringLiteral("Shop 2026-06-15 12.00.00.orvix"));
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{result.copyName});
        // The copy opens as a document.
        std::unique_ptr<MyDocument> copy = MyDocument::open(QDir(folder).filePath(result.copyName));
        QVERIFY(copy);
        // A second copy within the same second keeps the first one.
        const LMBackupResult again = agent.perform(request(Kind::File, folder));
        QVERIFY(again.ok);
        QCOMPARE(copiesIn(folder).size(), 2);
    }

    void deleteRules_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<int>("days");
        QTest::addColumn<QStringList>("kept"); // besides the new copy
        const QStringList all = {"Shop 2026-06-01 12.00.00.orvix", "Shop 2026-06-10 12.00.00.orvix",
                                 "Shop 2026-06-14 12.00.00.orvix"};
        QTest::newRow("maintain all") << "Maintain all" << 0 << all;
        QTest::newRow("just keep latest") << "Just keep latest" << 0 << QStringList();
        QTest::newRow("delete after 5 days") << "Delete after" << 5 << all.mid(1);
        QTest::newRow("delete after 1 day") << "Delete after" << 1 << all.mid(2);
        QTest::newRow("delete after 0 days keeps all") << "Delete after" << 0 << all;
    }
    void deleteRules()
    {
        QFETCH(QString, rule);
        QFETCH(int, days);
        QFETCH(QStringList, kept);
        const QString folder = m_env.path(QStringLiteral("rules-%1").arg(QTest::currentDataTag()));
        LMBackupAgent agent;
        for (const QDateTime &when : {kNow.addDays(-14), kNow.addDays(-5), kNow.addDays(-1)}) {
            agent.setClock([when] { return when; });
            QVERIFY(agent.perform(request(Kind::File, folder)).ok);
        }
        // Files that are not this agent's copies of this document are never touched.
        QVERIFY(QDir().mkpath(QDir(folder).filePath(QStringLiteral("Other 2026-01-01 00.00.00.orvix"))));
        QFile notes(QDir(folder).filePath(QStringLiteral("notes.txt")));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.close();

        agent.setClock([] { return kNow; });
        Value definition = request(Kind::File, folder);
        setDeleteRule(definition, rule, days);
        const LMBackupResult result = agent.perform(definition);
        QVERIFY2(result.ok, qPrintable(result.message));
        QStringList expected = kept;
        expected << result.copyName;
        expected.sort();
        QStringList actual = copiesIn(folder);
        actual.sort();
        QCOMPARE(actual, expected);
        QVERIFY(QFile::exists(QDir(folder).filePath(QStringLiteral("notes.txt"))));
        QVERIFY(QFile::exists(QDir(folder).filePath(QStringLiteral("Other 2026-01-01 00.00.00.orvix"))));
        QCOMPARE(result.deleted.size(), 3 - kept.size());
    }

    void unservedKindsAreReported_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("message");
        QTest::newRow(".Mac") << ".Mac"
                              << "x"
                              << "Backups of the kind \".Mac\" cannot be made by this agent.";
        QTest::newRow("unknown") << "Carrier pigeon"
                                 << "x"
                                 << "Backups of the kind \"Carrier pigeon\" cannot be made by this agent.";
        QTest::newRow("file without folder") << "File"
                                             << ""
                                             << "The backup \"Untitled\" has no folder.";
    }
    void unservedKindsAreReported()
    {
        QFETCH(QString, kind);
        QFETCH(QString, directory);
        QFETCH(QString, message);
        LMBackupAgent agent;
        QList<LMBackupResult> finished;
        connect(&agent, &LMBackupAgent::backupFinished, this, [&](const LMBackupResult &r) { finished << r; });
        const LMBackupResult result = agent.perform(request(kind, directory));
        QVERIFY(!result.ok);
        QCOMPARE(result.message, message);
        QCOMPARE(finished.size(), 1);
    }

    void copiesToAnFtpServer()
    {
        // Debian's interpreter, where python3-pyftpdlib installs the server.
        const QString python = QStringLiteral("/usr/bin/python3");
        if (!QFile::exists(python) || QProcess::execute(python, {"-c", "import pyftpdlib"}) != 0)
            QSKIP("python3-pyftpdlib is not installed");
        const QString root = m_env.path(QStringLiteral("ftp-root"));
        QVERIFY(QDir().mkpath(root));
        const quint16 port = freePort();
        QProcess server;
        server.start(python, {"-m", "pyftpdlib", "-i", "127.0.0.1", "-p", QString::number(port), "-w", "-d", root, "-u",
                              "ann", "-P", "pw"});
        QVERIFY(server.waitForStarted());
        QTcpSocket probe;
        QTRY_VERIFY_WITH_TIMEOUT(([&] {
                                     probe.abort();
                                     probe.connectToHost(QHostAddress::LocalHost, port);
                                     return probe.waitForConnected(200);
                                 }()),
                                 10000);
        probe.abort();

        Value definition = request(Kind::FTP, QStringLiteral("/nightly"));
        definition.set(Key::Server, QStringLiteral("127.0.0.1:%1").arg(port));
        definition.set(Key::Username, QStringLiteral("ann"));
        definition.set(Key::Password, QStringLiteral("pw"));
        LMBackupAgent agent;
        agent.setClock([] { return kNow.addDays(-3); });
        const LMBackupResult first = agent.perform(definition);
        QVERIFY2(first.ok, qPrintable(first.message));
        QCOMPARE(first.copyName, QStringLiteral("Shop 2026-06-12 12.00.00.orvix.tar"));
        const QString uploaded = QDir(root).filePath(QStringLiteral("nightly/") + first.copyName);
        QVERIFY(QFile::exists(uploaded));
        QProcess tar;
        tar.start(QStringLiteral("tar"), {"-tf", uploaded});
        QVERIFY(tar.waitForFinished());
        const QStringList entries = QString::fromUtf8(tar.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        for (const char *entry : {"Shop.orvix/Objects", "Shop.orvix/MainDatabase", "Shop.orvix/Contents/PkgInfo"})
            QVERIFY2(entries.contains(QLatin1String(entry)), entry);
        // No temporary name is left behind on the server.
        QCOMPARE(QDir(QDir(root).filePath(QStringLiteral("nightly"))).entryList(QDir::Files | QDir::Hidden).size(), 1);

        setDeleteRule(definition, DeleteRule::JustKeepLatest);
        agent.setClock([] { return kNow; });
        const LMBackupResult second = agent.perform(definition);
        QVERIFY2(second.ok, qPrintable(second.message));
        QCOMPARE(second.deleted, QStringList{first.copyName});
        QCOMPARE(QDir(QDir(root).filePath(QStringLiteral("nightly"))).entryList(QDir::Files | QDir::Hidden),
                 QStringList{second.copyName});

        // Wrong credentials are reported, not dropped.
        definition.set(Key::Password, QStringLiteral("wrong"));
        const LMBackupResult refused = agent.perform(definition);
        QVERIFY(!refused.ok);
        QVERIFY2(refused.message.startsWith(QStringLiteral("The upload failed")), qPrintable(refused.message));
        server.kill();
        server.waitForFinished();
    }

    void aKilledCopyLeavesNothingThatLooksWhole()
    {
        const QString folder = m_env.path(QStringLiteral("killed"));
        QProcess agent;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("ORVIX_BACKUP_AGENT_PAUSE_MS"), QStringLiteral("60000"));
        agent.setProcessEnvironment(environment);
        agent.start(QStringLiteral(ORVIX_BACKUP_AGENT_PATH), {"--package", m_package, "--to", folder});
        QVERIFY(agent.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(
            !QDir(folder).entryList({QStringLiteral(".*.partial")}, QDir::Dirs | QDir::Hidden).isEmpty(), 20000);
        agent.kill();
        QVERIFY(agent.waitForFinished());
        QVERIFY(copiesIn(folder).isEmpty());

        // The next run makes a whole copy.
        QProcess again;
        again.start(QStringLiteral(ORVIX_BACKUP_AGENT_PATH), {"--package", m_package, "--to", folder});
        QVERIFY(again.waitForFinished(30000));
        QCOMPARE(again.exitCode(), 0);
        QCOMPARE(copiesIn(folder).size(), 1);
        QVERIFY(MyDocument::open(QDir(folder).filePath(copiesIn(folder).first())));
    }

    void receivesRequestsOverTheSessionBus()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
            QSKIP("dbus-daemon is not installed");
        // A private session bus, so the test neither needs nor disturbs the user's.
        QProcess bus;
        bus.start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address=1"});
        QVERIFY(bus.waitForStarted());
        QVERIFY(bus.waitForReadyRead(10000));
        const QByteArray address = bus.readLine().trimmed();
        QVERIFY(!address.isEmpty());
        QDBusConnection connection = QDBusConnection::connectToBus(QString::fromUtf8(address), QStringLiteral("test"));
        QVERIFY(connection.isConnected());

        const QString folder = m_env.path(QStringLiteral("bus"));
        QProcess agent;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromUtf8(address));
        agent.setProcessEnvironment(environment);
        agent.start(QStringLiteral(ORVIX_BACKUP_AGENT_PATH), {"--once"});
        QVERIFY(agent.waitForReadyRead(20000));
        QCOMPARE(agent.readLine().trimmed(), QByteArray("listening"));

        // Another process hands the backup over, as the application does.
        QProcess sender;
        sender.setProcessEnvironment(environment);
        sender.start(QStringLiteral(ORVIX_BACKUP_AGENT_PATH), {"--send", "--package", m_package, "--to", folder});
        QVERIFY(sender.waitForFinished(30000));
        QCOMPARE(sender.exitCode(), 0);
        QVERIFY(agent.waitForFinished(30000));
        QCOMPARE(agent.exitCode(), 0);
        QCOMPARE(copiesIn(folder).size(), 1);
        bus.kill();
        bus.waitForFinished();
    }

private:
    Value request(const QString &kind, const QString &directory)
    {
        Value definition = newDefinition();
        definition.set(Key::Type, kind);
        definition.set(Key::Directory, directory);
        definition.set(Key::FileWrapper, LMPackageWrapper::wrap(m_package));
        return definition;
    }

    TestEnvironment m_env;
    QString m_package;
};

QTEST_MAIN(TestBackupAgent)
#include "test_backup_agent.moc"
