// SQL export loaded into real servers: PostgreSQL and MariaDB started on 127.0.0.1, and SQLite; values read back.
#include "LMSQLImporterExporter.h"
#include "MyDocument.h"
#include "TestEnvironment.h"
#include "support/ExportFixture.h"
#include "support/SqlServers.h"

#include <QTest>

using namespace ExportFixture;

namespace {
// Seconds since the reference date of 2024-03-15 10:30:00 UTC and of 1920-05-01 00:00:00 UTC.
const QString kMarch2024 = QStringLiteral("732191400");
const QString kMay1920 = QStringLiteral("-2545776000");

std::unique_ptr<MyDocument> everyTypeDocument()
{
    auto doc = newDocument();
    if (!addTable(*doc, "Every",
                  {{"Name", "Text"},
                   {"Count", "Number"},
                   {"When", "Date"},
                   {"OK", "Yes/No"},
                   {"Pic", "Image"},
                   {"Tags", "List"},
                   {"Choice", "Options"},
                   {"Path", "File Path"}}))
        return nullptr;
    const QList<QStringList> rows = {
        {"O'Neil \\ \"q\" Zoë 日本", "1234567.891", kMarch2024, "1", "iVBORw0KGgo=", "a, b", "x", "/tmp/x y"},
        // Empty values, as cells that were never set hold them.
        {"", "", "", "", "", "", "", ""},
        // NULL cells, a negative number, a date before 1970, a No.
        {QString(), "-0.5", kMay1920, "0", QString(), QString(), QString(), QString()},
        // Text that is no number, moment or yes/no (kept as text by older imports).
        {"junk", "abc", "soon", "maybe", "", "", "", ""},
    };
    for (const QStringList &row : rows)
        if (!insertRow(*doc, "Every", row))
            return nullptr;
    return doc;
}

// The loaded rows as every server gives them back: dates as seconds since 1970, Yes/No as 1 or 0.
const QString kExpected =
    QStringLiteral("1\tO'Neil \\ \"q\" Zoë 日本\t1234567.891\t1710498600\t1\t<image>\ta, b\tx\t/tmp/x y\n"
                   "2\tNULL\tNULL\tNULL\t0\tNULL\tNULL\tNULL\tNULL\n"
                   "3\tNULL\t-0.5\t-1567468800\t0\tNULL\tNULL\tNULL\tNULL\n"
                   "4\tjunk\tNULL\tNULL\t0\tNULL\tNULL\tNULL\tNULL\n");
} // namespace

class TestSqlServers : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void scriptLoadsAndGivesBackTheValues_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("select");
        QTest::addColumn<QString>("dateType");
        QTest::addColumn<QString>("insertWithoutId");
        QTest::newRow("PostgreSQL") << "PostgreSQL"
                                    << "SELECT id, \"Name\", \"Count\", EXTRACT(EPOCH FROM \"When\")::bigint, "
                                       "\"OK\"::int, \"Pic\", \"Tags\", \"Choice\", \"Path\" FROM \"Every\" ORDER BY id"
                                    << "SELECT pg_typeof(\"When\"), pg_typeof(\"OK\"), pg_typeof(\"Count\") FROM "
                                       "\"Every\" LIMIT 1"
                                    << "INSERT INTO \"Every\" (\"Name\") VALUES ('added')";
        QTest::newRow("MySQL on MariaDB")
            << "MySQL"
            << "SELECT id, Name, Count, TIMESTAMPDIFF(SECOND, '1970-01-01 00:00:00', `When`), OK, Pic, Tags, "
               "Choice, Path FROM Every ORDER BY id"
            << "SELECT GROUP_CONCAT(DATA_TYPE ORDER BY ORDINAL_POSITION SEPARATOR ' ') FROM "
               "information_schema.COLUMNS WHERE TABLE_NAME = 'Every' AND COLUMN_NAME IN ('When', 'OK', 'Count')"
            << "INSERT INTO Every (Name) VALUES ('added')";
        QTest::newRow("SQLite") << "SQLite"
                                << "SELECT id, Name, Count, `When`, OK, Pic, Tags, Choice, Path FROM Every ORDER BY id"
                                << "SELECT typeof(`When`) || ' ' || typeof(OK) || ' ' || typeof(Count) FROM Every "
                                   "LIMIT 1"
                                << "INSERT INTO Every (Name) VALUES ('added')";
    }
    void scriptLoadsAndGivesBackTheValues()
    {
        QFETCH(QString, target);
        QFETCH(QString, select);
        QFETCH(QString, dateType);
        QFETCH(QString, insertWithoutId);
        auto doc = everyTypeDocument();
        QVERIFY(doc);
        const QString script = env.path(target + ".sql");
        QVERIFY(writeFile(
            script, LMSQLImporterExporter::exportTable(
                        "Every", doc->database(), Value::dict({{QStringLiteral("OX_SQL_Target"), Value(target)}}))));

        std::unique_ptr<SqlServer> server = target == QLatin1String("PostgreSQL") ? makePostgresServer()
                                            : target == QLatin1String("MySQL")    ? makeMariaDbServer()
                                                                                  : makeSqliteFile();
        // Without the packages this cannot run; in CI that is a failure, since the install script adds them.
        if (!server->installed() && qEnvironmentVariableIsEmpty("CI"))
            QSKIP("the server's packages are not installed: run scripts/install-deps.sh");
        QString error;
        QVERIFY2(server->start(&error), qPrintable(error));
        QVERIFY2(server->load(script, &error), qPrintable(error + "\n" + QString::fromUtf8(readFile(script))));

        QCOMPARE(server->query(select, &error), kExpected);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        // Dates, yes/no and numbers land in the server's own types, not in text.
        const QString types = server->query(dateType, &error).trimmed();
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QHash<QString, QString> expectedTypes = {
            {"PostgreSQL", "timestamp without time zone\tboolean\tdouble precision"},
            {"MySQL", "double datetime tinyint"},
            {"SQLite", "integer integer real"}};
        QCOMPARE(types, expectedTypes.value(target));
        // The key goes on after the ids written, so rows added on the server do not collide with them.
        server->query(insertWithoutId, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }
};

QTEST_MAIN(TestSqlServers)
#include "test_sql_servers.moc"
