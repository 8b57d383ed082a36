// SQL export of names that hold the target's own quote: each dialect doubles it, so the script stays one statement.
#include "LMSQLImporterExporter.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "TestEnvironment.h"

#include <QTest>
#include <sqlite3.h>

class TestIdentifierQuoting : public QObject {
    Q_OBJECT
    TestEnvironment env;

    // A table and field whose names came from an older package: the name rules of today would refuse them.
    std::unique_ptr<MyDocument> quotedNamesDocument()
    {
        auto doc = MyDocument::createNew();
        doc->database()->performQuery(
            "CREATE TABLE `Odd``s \"t\"` (`id` INTEGER PRIMARY KEY AUTOINCREMENT, `we``ird \"x\"` TEXT)");
        doc->database()->performQuery("INSERT INTO `Odd``s \"t\"` (`we``ird \"x\"`) VALUES ('v')");
        Value fields = Value::array({Value::dict({{"Name", "id"}, {"Type", "Primary Key"}}),
                                     Value::dict({{"Name", "we`ird \"x\""}, {"Type", "Text"}})});
        doc->tables().append(Value::dict({{"Name", "Odd`s \"t\""}, {"Fields", fields}}));
        return doc;
    }

private slots:
    void everyDialectDoublesItsQuote_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("insertHead");
        QTest::newRow("MySQL") << "MySQL"
                               << "INSERT INTO `Odd``s \"t\"` (`id`, `we``ird \"x\"`) VALUES (";
        QTest::newRow("SQLite") << "SQLite"
                                << "INSERT INTO `Odd``s \"t\"` (`id`, `we``ird \"x\"`) VALUES (";
        QTest::newRow("PostgreSQL") << "PostgreSQL"
                                    << "INSERT INTO \"Odd`s \"\"t\"\"\" (\"id\", \"we`ird \"\"x\"\"\") VALUES (";
        QTest::newRow("MS SQL Server") << "MS SQL Server"
                                       << "INSERT INTO \"Odd`s \"\"t\"\"\" (\"id\", \"we`ird \"\"x\"\"\") VALUES (";
    }
    void everyDialectDoublesItsQuote()
    {
        QFETCH(QString, target);
        QFETCH(QString, insertHead);
        auto doc = quotedNamesDocument();
        const QString script = QString::fromUtf8(LMSQLImporterExporter::exportTable(
            "Odd`s \"t\"", doc->database(), Value::dict({{"OX_SQL_Target", Value(target)}})));
        QVERIFY2(script.contains(insertHead), qPrintable(script));
        if (target != "SQLite")
            return;
        // The SQLite script loads as written and gives back the one table with its one row.
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(":memory:", &db), SQLITE_OK);
        char *message = nullptr;
        const int rc = sqlite3_exec(db, script.toUtf8().constData(), nullptr, nullptr, &message);
        const QString error = message ? QString::fromUtf8(message) : QString();
        sqlite3_free(message);
        sqlite3_stmt *s = nullptr;
        QCOMPARE(rc, SQLITE_OK);
        QCOMPARE(sqlite3_prepare_v2(db, "SELECT \"we`ird \"\"x\"\"\" FROM \"Odd`s \"\"t\"\"\"", -1, &s, nullptr),
                 SQLITE_OK);
        QCOMPARE(sqlite3_step(s), SQLITE_ROW);
        QCOMPARE(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 0))), QString("v"));
        sqlite3_finalize(s);
        sqlite3_close(db);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }
};

QTEST_MAIN(TestIdentifierQuoting)
#include "test_identifier_quoting.moc"
