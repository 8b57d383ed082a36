// orvix-cli over accounts and protection: add-user, add-group, users, login, protect and unprotect, end to end.
#include "MyDocument.h"
#include "OXDatabase.h"
#include "TestEnvironment.h"

#include <QDirIterator>
#include <QProcess>
#include <QTest>

namespace {
struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run cli(const QStringList &args, const QByteArray &input = QByteArray(), const QString &password = QString())
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.remove("ORVIX_PASSWORD");
    if (!password.isNull())
        env.insert("ORVIX_PASSWORD", password);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ORVIX_CLI_PATH), args);
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

QByteArray packageBytes(const QString &package)
{
    QByteArray bytes;
    QDirIterator it(package, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            bytes += file.readAll();
    }
    return bytes;
}
} // namespace

class TestSecurityCli : public QObject {
    Q_OBJECT
    TestEnvironment env;

    QString makePackage(const QString &name)
    {
        const QString package = env.path(name);
        auto doc = MyDocument::createNew();
        doc->database()->performQuery("CREATE TABLE `Secrets` (`id` INTEGER PRIMARY KEY AUTOINCREMENT, `v` TEXT)");
        doc->database()->performQuery("INSERT INTO `Secrets` (`v`) VALUES ('QuietHarborWords')");
        doc->tables().append(Value::dict({{"Name", "Secrets"}}));
        if (!doc->save(package))
            return QString();
        return package;
    }

private slots:
    void usersAndLogin()
    {
        const QString package = makePackage("people.orvix");
        QVERIFY(!package.isEmpty());
        Run r = cli({"add-group", package, "Staff", "--sections", "Overview,Tables"});
        QCOMPARE(r.code, 0);
        r = cli({"add-user", package, "Ann", "--admin", "--email", "ann@example.org"}, "ann-pw\n");
        QVERIFY2(r.code == 0, qPrintable(r.err));
        r = cli({"add-user", package, "Bob", "--group", "Staff"}, "bob-pw\n");
        QVERIFY2(r.code == 0, qPrintable(r.err));
        r = cli({"add-user", package, "Bob"}, "again\n");
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("already a user named \"Bob\""));
        r = cli({"add-user", package, "Cy"}, "");
        QCOMPARE(r.code, 1); // no password given

        r = cli({"users", package});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out,
                 QStringLiteral("Ann\tnone\tadmin\tOverview,Tables,Queries,Forms,Reports,Scripts\tann@example.org\n"
                                "Bob\tStaff\t-\tOverview,Tables\t\n"
                                "group\tStaff\tOverview,Tables\n"));

        r = cli({"login", package, "Bob"}, "bob-pw\n");
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringLiteral("Overview\nTables\n"));
        r = cli({"login", package, "Ann"}, "ann-pw\n");
        QCOMPARE(r.out, QStringLiteral("Overview\nTables\nQueries\nForms\nReports\nScripts\nAdmin\n"));
        r = cli({"login", package, "Bob"}, "ann-pw\n");
        QCOMPARE(r.code, 3);
        QCOMPARE(r.out, QString());
        QVERIFY(r.err.contains("beep\n"));
        QVERIFY(r.err.contains("alert: Login refused | The user name or the password is not correct."));

        // The package keeps no password or digest of one in a form that is quick to test.
        QVERIFY(!packageBytes(package).contains("ann-pw"));

        r = cli({"remove-user", package, "Bob"});
        QCOMPARE(r.code, 0);
        QCOMPARE(cli({"login", package, "Bob"}, "bob-pw\n").code, 3);
    }

    void securityLevel()
    {
        const QString package = makePackage("level.orvix");
        QCOMPARE(cli({"security-level", package}).out, QStringLiteral("not set\n"));
        Run r = cli({"--answer", "Cancel", "security-level", package, "High"});
        QCOMPARE(r.code, 3);
        QVERIFY(r.err.contains("This setting permits only one admin user."));
        QCOMPARE(cli({"security-level", package, "High"}).code, 0);
        QCOMPARE(cli({"security-level", package}).out, QStringLiteral("High\n"));
    }

    void protectAndUnprotect()
    {
        const QString package = makePackage("vault.orvix");
        QCOMPARE(cli({"add-user", package, "Ann"}, "ann-pw\n").code, 0);
        Run r = cli({"protect", package}, "vault key\n");
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(MyDocument::isProtectedPackage(package));
        const QByteArray stored = packageBytes(package);
        QVERIFY(!stored.contains("QuietHarborWords"));
        QVERIFY(!stored.contains("Secrets"));

        // Without the password nothing opens; with it, from the environment or the first input line, it does.
        r = cli({"users", package});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("is protected"), qPrintable(r.err));
        r = cli({"users", package}, QByteArray(), "wrong key");
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("password is wrong"), qPrintable(r.err));
        r = cli({"users", package}, QByteArray(), "vault key");
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.startsWith("Ann\t"));
        r = cli({"login", package, "Ann"}, "vault key\nann-pw\n");
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(cli({"login", package, "Ann"}, "vault key\nnot-it\n").code, 3);

        // The master password changes only with the current one; the package then opens with the new one.
        r = cli({"set-master-password", package}, "vault key\nwrong\nnew key\n");
        QCOMPARE(r.code, 3);
        r = cli({"set-master-password", package}, "vault key\nvault key\nnew key\n");
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(cli({"users", package}, QByteArray(), "vault key").code, 1);
        QCOMPARE(cli({"users", package}, QByteArray(), "new key").code, 0);

        r = cli({"unprotect", package}, "new key\n");
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(!MyDocument::isProtectedPackage(package));
        QVERIFY(packageBytes(package).contains("QuietHarborWords"));
        QCOMPARE(cli({"users", package}).code, 0);
    }
};

QTEST_MAIN(TestSecurityCli)
#include "test_security_cli.moc"
