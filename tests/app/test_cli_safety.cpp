// orvix-cli and data safety: hostile field names are refused, a busy package is reported, tidy cleans up.
#include "PackageLock.h"
#include "TestEnvironment.h"
#include "support/CliRunner.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

class TestCliSafety : public QObject {
    Q_OBJECT
    TestEnvironment env;
    QString package;

private slots:
    void initTestCase()
    {
        package = env.path("Safe.orvix");
        QCOMPARE(cli({"new", package}).code, 0);
        writeFile(env.path("people.json"), R"({"Name": "People", "Fields": [{"Name": "Name", "Type": "Text"}]})");
        QCOMPARE(cli({"add-table", package, env.path("people.json")}).code, 0);
        QCOMPARE(cli({"sql", package, "INSERT INTO People (Name) VALUES ('Ada')"}).code, 0);
    }

    void hostileFieldNamesAreRefused()
    {
        writeFile(
            env.path("evil.json"),
            "{\"Name\": \"Evil\", \"Fields\": [{\"Name\": \"a` TEXT); DROP TABLE People; --\", \"Type\": \"Text\"}]}");
        const CliResult r = cli({"add-table", package, env.path("evil.json")});
        QCOMPARE(r.code, 3);
        QCOMPARE(r.err, QString("alert: Unsuitable Characters | Field \"a` TEXT); DROP TABLE People; --\": Field names "
                                "may only contain letters, numbers, spaces, underscores and hyphens. Empty names will "
                                "be ignored. Please choose another.\n"));
        QCOMPARE(cli({"sql", package, "SELECT Name FROM People"}).text(), QString("People.Name\nAda\n"));
        QCOMPARE(cli({"tables", package}).text(), QString("People\n"));
    }

    void aBusyPackageIsReportedByName()
    {
        const int fd = ::open(QFile::encodeName(PackageLock::lockFilePath(package)).constData(), O_RDWR);
        QVERIFY(fd >= 0);
        QCOMPARE(::flock(fd, LOCK_EX), 0);
        qputenv("ORVIX_LOCK_WAIT_MS", "100");
        const CliResult r = cli({"add-row", package, "People"});
        qunsetenv("ORVIX_LOCK_WAIT_MS");
        ::close(fd);
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err,
                 QString("orvix-cli: The document \"Safe.orvix\" is in use by another program; try again when it is "
                         "done.\n"));
        QCOMPARE(cli({"add-row", package, "People"}).code, 0);
    }

    void tidyPutsRightWhatInterruptedSavesLeft()
    {
        const QString parent = QFileInfo(package).absolutePath();
        QVERIFY(QDir().mkpath(parent + "/.Safe.orvix.saving-1-dead/Contents"));
        const CliResult r = cli({"tidy", package});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.text().endsWith(package + ": interrupted save cleaned up\n"), qPrintable(r.text()));
        QVERIFY(!QFileInfo::exists(parent + "/.Safe.orvix.saving-1-dead"));
        QVERIFY(cli({"tidy", package}).text().endsWith(package + ": nothing to clean up\n"));
    }
};

QTEST_MAIN(TestCliSafety)
#include "test_cli_safety.moc"
