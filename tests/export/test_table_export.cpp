// Table export: delimited text quoting, SQL scripts per target (loaded back into the sqlite3 shell) and HTML pages.
#include "LMCSVImporterExporter.h"
#include "LMHTMLImporterExporter.h"
#include "LMSQLImporterExporter.h"
#include "LMTSVImporterExporter.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "Resources.h"
#include "TestEnvironment.h"
#include "support/ExportFixture.h"

#include <QBuffer>
#include <QProcess>
#include <QTest>

using namespace ExportFixture;
using Records = QList<QStringList>;

namespace {
// 1970-01-01 00:00:30 UTC in seconds since the reference date.
const QString kThirtySeconds = QStringLiteral("-978307170");

std::unique_ptr<MyDocument> thingsDocument()
{
    auto doc = newDocument();
    if (!addTable(*doc, "Things",
                  {{"Name", "Text"},
                   {"Pic", "Image"},
                   {"Note", "Text"},
                   {"Count", "Number"},
                   {"When", "Date"},
                   {"OK", "Yes/No"}}))
        return nullptr;
    if (!insertRow(*doc, "Things", {"a", "iVBORw0KGgo=", "O'Neil", "2.5", kThirtySeconds, "1"}))
        return nullptr;
    return doc;
}

QString sqlScript(MyDocument &doc, const QString &target)
{
    return QString::fromUtf8(LMSQLImporterExporter::exportTable(
        "Things", doc.database(), Value::dict({{QStringLiteral("OX_SQL_Target"), Value(target)}})));
}

QString html(MyDocument &doc, const QString &table, const QString &doctype, bool stylesheet = false, bool format = true)
{
    return QString::fromUtf8(
        LMHTMLImporterExporter::exportTable(table, doc.database(),
                                            Value::dict({{QStringLiteral("OX_HTML_Doctype"), Value(doctype)},
                                                         {QStringLiteral("OX_HTML_AddStylesheet"), Value(stylesheet)},
                                                         {QStringLiteral("OX_HTML_FormatData"), Value(format)}})));
}
} // namespace

class TestTableExport : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void delimitedQuoting_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("tabs");
        QTest::addColumn<QString>("written");
        QTest::newRow("plain") << "abc" << false << "abc";
        QTest::newRow("separator is quoted") << "b,c" << false << "\"b,c\"";
        QTest::newRow("comma in TSV is not") << "b,c" << true << "b,c";
        QTest::newRow("tab in TSV is quoted") << "b\tc" << true << "\"b\tc\"";
        QTest::newRow("line feed is quoted") << "x\ny" << false << "\"x\ny\"";
        QTest::newRow("carriage return is quoted") << "x\ry" << true << "\"x\ry\"";
        QTest::newRow("only a quote: enclosed and doubled") << "\"" << false << "\"\"\"\"";
        QTest::newRow("quote inside: enclosed and doubled") << "a\"b" << true << "\"a\"\"b\"";
        QTest::newRow("quote and separator") << "say \"hi\", ok" << false << "\"say \"\"hi\"\", ok\"";
        QTest::newRow("blanks kept") << "  x  " << false << "  x  ";
        QTest::newRow("empty") << "" << false << "";
        QTest::newRow("non-ASCII") << "Zoë 日本" << false << "Zoë 日本";
    }
    void delimitedQuoting()
    {
        QFETCH(QString, value);
        QFETCH(bool, tabs);
        QFETCH(QString, written);
        auto doc = newDocument();
        QVERIFY(addTable(*doc, "T", {{"v", "Text"}, {"w", "Text"}}));
        QVERIFY(insertRow(*doc, "T", {value, "z"}));
        const QString sep = tabs ? QStringLiteral("\t") : QStringLiteral(",");
        const QByteArray out = tabs ? LMTSVImporterExporter::exportTable("T", doc->database())
                                    : LMCSVImporterExporter::exportTable("T", doc->database());
        QCOMPARE(QString::fromUtf8(out), "1" + sep + written + sep + "z");
        QCOMPARE(LMCSVImporterExporter::sepValsSeparator(), QStringLiteral(","));
    }

    void delimitedLayoutAndPlaceholders()
    {
        auto doc = thingsDocument();
        QVERIFY(doc);
        QVERIFY(insertRow(*doc, "Things", {QString(), QString(), "x,y", QString(), QString(), QString()}));
        // No header, "\n" between records and none after the last; media as placeholders; NULL as empty.
        QCOMPARE(QString::fromUtf8(LMCSVImporterExporter::exportTable("Things", doc->database())),
                 QStringLiteral("1,a,<image>,O'Neil,2.5,%1.0,1\n2,,<image>,\"x,y\",,,").arg(kThirtySeconds));
        QVERIFY(LMCSVImporterExporter::exportTable("Nope", doc->database()).isEmpty());
    }

    void delimitedHeaderAndValuesAsShown()
    {
        auto doc = newDocument();
        QVERIFY(addTable(*doc, "Books",
                         {{"Title", "Text"},
                          {"Year", "Number"},
                          {"Bought", "Date"},
                          {"Read", "Yes/No"},
                          {"Tags", "List"},
                          {"Cover", "Image"}}));
        // A date shown with its time, and a list shown with its own separator.
        Value fields = doc->tableNamed("Books").value("Fields");
        fields.at(3).set("Time Format", "Short");
        fields.at(5).set("List Separator", "; ");
        // 2024-03-15 10:30 UTC; a Yes/No never set; text an older import kept in a number cell.
        QVERIFY(insertRow(*doc, "Books", {"Dune, \"1\"", "1965", "732191400", "1", "sf, classic", "x"}));
        QVERIFY(insertRow(*doc, "Books", {"Emma", "abc", "", "", "", ""}));
        LMDelimitedExportOptions options;
        options.header = true;
        options.valuesAsShown = true;
        const auto exported = [&](const QString &table, bool tabs) {
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            const bool ok = tabs ? LMTSVImporterExporter::exportTable(buffer, table, doc->database(), options)
                                 : LMCSVImporterExporter::exportTable(buffer, table, doc->database(), options);
            return ok ? QString::fromUtf8(buffer.data()) : QStringLiteral("failed");
        };
        QCOMPARE(exported("Books", false),
                 QStringLiteral("id,Title,Year,Bought,Read,Tags,Cover\n"
                                "1,\"Dune, \"\"1\"\"\",1965,2024-03-15 10:30,Yes,sf; classic,<image>\n"
                                "2,Emma,abc,,No,,<image>"));
        QCOMPARE(exported("Books", true).section('\n', 0, 0),
                 QStringLiteral("id\tTitle\tYear\tBought\tRead\tTags\tCover"));
        // The stored form stays available.
        options.valuesAsShown = false;
        QCOMPARE(exported("Books", false).section('\n', 1, 1),
                 QStringLiteral("1,\"Dune, \"\"1\"\"\",1965.0,732191400.0,1,\"sf, classic\",<image>"));
        // An empty table is its header alone; without a header, nothing.
        QVERIFY(addTable(*doc, "Empty", {{"A", "Text"}, {"B", "Number"}}));
        QCOMPARE(exported("Empty", false), QStringLiteral("id,A,B"));
        options.header = false;
        QCOMPARE(exported("Empty", false), QString());
    }

    void delimitedRoundTrip()
    {
        const QStringList values = {"plain",     "b,c",   "x\ny\r\nz", "\"",      "a\"\"b", "  pad  ",
                                    "tab\there", "end\"", "\"start",   "日本,語", "a\"b\"c"};
        for (const bool tabs : {false, true}) {
            auto doc = newDocument();
            QVERIFY(addTable(*doc, "T", {{"v", "Text"}}));
            for (const QString &v : values)
                QVERIFY(insertRow(*doc, "T", {v}));
            const QByteArray out = tabs ? LMTSVImporterExporter::exportTable("T", doc->database())
                                        : LMCSVImporterExporter::exportTable("T", doc->database());
            QBuffer buffer;
            buffer.setData(out);
            QVERIFY(buffer.open(QIODevice::ReadOnly));
            const auto failure =
                tabs ? LMTSVImporterExporter::importData(buffer, "Back", {"n", "v"}, {}, {true, true}, doc->database())
                     : LMCSVImporterExporter::importData(buffer, "Back", {"n", "v"}, {}, {true, true}, doc->database());
            QVERIFY(!failure);
            QCOMPARE(rows(*doc, "Back", {"v"}), rows(*doc, "T", {"v"}));
        }
    }

    void sqlScriptPerTarget_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("script");
        // Dates as each server keeps moments: seconds since 1970 for SQLite, timestamps for the servers.
        const auto rowValues = [](const QString &date) {
            return QStringLiteral("VALUES ('1', 'a', '<image>', 'O''Neil', '2.5', '%1', '1');\n").arg(date);
        };
        QTest::newRow("MySQL")
            << "MySQL"
            << "CREATE TABLE IF NOT EXISTS `Things` (`id` INTEGER PRIMARY KEY auto_increment, `Name` TEXT, "
               "`Pic` TEXT, `Note` TEXT, `Count` REAL, `When` DATETIME, `OK` BOOLEAN);\n\n"
               "INSERT INTO `Things` (`id`, `Name`, `Pic`, `Note`, `Count`, `When`, `OK`) " +
                   rowValues("1970-01-01 00:00:30");
        QTest::newRow("SQLite")
            << "SQLite"
            << "CREATE TABLE IF NOT EXISTS `Things` (`id` INTEGER PRIMARY KEY AUTOINCREMENT, `Name` TEXT, "
               "`Pic` TEXT, `Note` TEXT, `Count` REAL, `When` TIMESTAMP, `OK` BOOLEAN);\n\n"
               "INSERT INTO `Things` (`id`, `Name`, `Pic`, `Note`, `Count`, `When`, `OK`) " +
                   rowValues("30");
        QTest::newRow("PostgreSQL: two blanks after TABLE, the key's sequence moved on")
            << "PostgreSQL"
            << "CREATE TABLE  \"Things\" (\"id\" SERIAL PRIMARY KEY, \"Name\" TEXT, \"Pic\" TEXT, \"Note\" TEXT, "
               "\"Count\" DOUBLE PRECISION, \"When\" TIMESTAMP, \"OK\" BOOLEAN);\n\n"
               "INSERT INTO \"Things\" (\"id\", \"Name\", \"Pic\", \"Note\", \"Count\", \"When\", \"OK\") " +
                   rowValues("1970-01-01 00:00:30") +
                   "SELECT setval(pg_get_serial_sequence('\"Things\"', 'id'), MAX(\"id\")) FROM \"Things\";\n";
        QTest::newRow("MS SQL Server: one SET IDENTITY_INSERT before the rows")
            << "MS SQL Server"
            << "CREATE TABLE  \"Things\" (\"id\" INTEGER PRIMARY KEY IDENTITY(1,1), \"Name\" NVARCHAR(MAX), "
               "\"Pic\" NVARCHAR(MAX), \"Note\" NVARCHAR(MAX), \"Count\" FLOAT, \"When\" DATETIME2, \"OK\" BIT);\n\n"
               "\nSET IDENTITY_INSERT \"Things\" ON;\n\n"
               "INSERT INTO \"Things\" (\"id\", \"Name\", \"Pic\", \"Note\", \"Count\", \"When\", \"OK\") "
               "VALUES ('1', N'a', N'<image>', N'O''Neil', '2.5', '1970-01-01T00:00:30', '1');\n";
        QTest::newRow("any other target")
            << "Oracle"
            << "CREATE TABLE IF NOT EXISTS `Things` (`id` TEXT, `Name` TEXT, `Pic` TEXT, `Note` TEXT, `Count` REAL, "
               "`When` TIMESTAMP, `OK` BOOLEAN);\n\n"
               "INSERT INTO `Things` (`id`, `Name`, `Pic`, `Note`, `Count`, `When`, `OK`) " +
                   rowValues("30");
    }
    void sqlScriptPerTarget()
    {
        QFETCH(QString, target);
        QFETCH(QString, script);
        auto doc = thingsDocument();
        QVERIFY(doc);
        QCOMPARE(sqlScript(*doc, target), script);
        // One statement per row, in order, and exactly one identity statement however many rows.
        QVERIFY(insertRow(*doc, "Things", {"b", "", "", "", "", ""}));
        const QString two = sqlScript(*doc, target);
        QCOMPARE(two.count("INSERT INTO"), 2);
        QVERIFY(two.indexOf("'a'") < two.indexOf("'b'"));
        QCOMPARE(two.count("SET IDENTITY_INSERT"), target == QLatin1String("MS SQL Server") ? 1 : 0);
    }

    void sqlValuesThatNeedCare_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("written");
        QTest::newRow("empty date is NULL") << "SQLite"
                                            << ""
                                            << "NULL";
        QTest::newRow("date text that is no moment is NULL") << "PostgreSQL"
                                                             << "soon"
                                                             << "NULL";
        QTest::newRow("date before 1970 as a timestamp") << "MySQL"
                                                         << "-2545776000"
                                                         << "'1920-05-01 00:00:00'";
        QTest::newRow("date rounded to the second") << "SQLite"
                                                    << "-978307169.6"
                                                    << "'30'";
        QTest::newRow("backslash doubled for MySQL") << "MySQL"
                                                     << "a\\b"
                                                     << "'a\\\\b'";
        QTest::newRow("backslash kept for SQLite") << "SQLite"
                                                   << "a\\b"
                                                   << "'a\\b'";
    }
    void sqlValuesThatNeedCare()
    {
        QFETCH(QString, target);
        QFETCH(QString, stored);
        QFETCH(QString, written);
        auto doc = newDocument();
        QVERIFY(addTable(*doc, "T", {{"When", "Date"}, {"Text", "Text"}}));
        const bool date = !stored.contains('\\');
        QVERIFY(insertRow(*doc, "T", {date ? stored : QString(""), date ? QString("x") : stored}));
        const QString values = QString::fromUtf8(LMSQLImporterExporter::exportTable(
            "T", doc->database(), Value::dict({{QStringLiteral("OX_SQL_Target"), Value(target)}})));
        QVERIFY2(values.contains(date ? "VALUES ('1', " + written + ", 'x');" : "VALUES ('1', NULL, " + written + ");"),
                 qPrintable(values));
    }

    void sqliteScriptLoadsBackToTheSameRows()
    {
        auto doc = newDocument();
        QVERIFY(addTable(*doc, "Mixed", {{"Name", "Text"}, {"Count", "Number"}, {"OK", "Yes/No"}, {"Note", "Text"}}));
        const Records input = {{"O'Neil", "2.5", "1", "line one\nline \"two\""},
                               {"Zoë, 日本", "-3.0", "0", "back\\slash; DROP TABLE x; --"},
                               {"", "", "", "'"}};
        for (const QStringList &row : input)
            QVERIFY(insertRow(*doc, "Mixed", row));
        const QString scriptPath = env.path("mixed.sql");
        QVERIFY(writeFile(scriptPath, LMSQLImporterExporter::exportTable(
                                          "Mixed", doc->database(),
                                          Value::dict({{QStringLiteral("OX_SQL_Target"), Value("SQLite")}}))));
        const QString dbPath = env.path("loaded.db");
        QProcess load;
        load.setStandardInputFile(scriptPath);
        load.start("sqlite3", {"-bail", dbPath});
        QVERIFY(load.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(load.readAllStandardError()), QString());
        QCOMPARE(load.exitCode(), 0);

        QProcess read;
        read.start("sqlite3", {"-ascii", dbPath, "SELECT * FROM `Mixed` ORDER BY `id`"});
        QVERIFY(read.waitForFinished(30000));
        QCOMPARE(read.exitCode(), 0);
        Records loaded;
        for (const QString &line :
             QString::fromUtf8(read.readAllStandardOutput()).split(QChar(0x1E), Qt::SkipEmptyParts))
            loaded << line.split(QChar(0x1F));
        // The same texts, with the number columns read as numbers by both; the Yes/No never set is No.
        Records expected = rows(*doc, "Mixed");
        QCOMPARE(expected[2][3], QString());
        expected[2][3] = QStringLiteral("0");
        QCOMPARE(loaded, expected);
    }

    void htmlEntities_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("encoded");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("ampersand first") << "a&lt;"
                                         << "a&amp;lt;";
        QTest::newRow("angle brackets") << "<b>"
                                        << "&lt;b&gt;";
        QTest::newRow("quotes") << "\"O'Neil\""
                                << "&quot;O&apos;Neil&quot;";
        QTest::newRow("blank") << "two words"
                               << "two&nbsp;words";
        QTest::newRow("tab after blanks") << "a\tb"
                                          << "a&nbsp;&nbsp;&nbsp;&nbsp;b";
        QTest::newRow("line feed") << "a\nb"
                                   << "a<br/>b";
    }
    void htmlEntities()
    {
        QFETCH(QString, text);
        QFETCH(QString, encoded);
        QCOMPARE(LMHTMLImporterExporter::htmlEntities(text), encoded);
    }

    void htmlWholePage()
    {
        auto doc = newDocument();
        QVERIFY(addTable(*doc, "Pets", {{"Name", "Text"}, {"Pic", "Image"}}));
        QVERIFY(insertRow(*doc, "Pets", {"O'Neil & co", "x"}));
        QCOMPARE(html(*doc, "Pets", "XHTML 1.0 Strict"),
                 QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n"
                                "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\"\n"
                                "\t\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\n\n"
                                "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\" lang=\"en\">\n"
                                "<head>\n\t<title>Pets</title>\n</head>\n\n<!-- Valid (X)HTML -->\n\n<body>\n"
                                "\t<h1 class=\"oxtitle\">Pets</h1>\n"
                                "\t<table class=\"oxtable\">\n\t\t<tr>\n\t\t\t<th>id</th>\n\t\t\t<th>Name</th>\n"
                                "\t\t\t<th>Pic</th>\n\t\t</tr>\n"
                                "\t\t<tr>\n\t\t\t<td>1</td>\n\t\t\t<td>O&apos;Neil&nbsp;&amp;&nbsp;co</td>\n"
                                "\t\t\t<td>&lt;image&gt;</td>\n\t\t</tr>\n"
                                "\t</table>\n</body>\n</html>"));
    }

    void htmlDoctypes_data()
    {
        QTest::addColumn<QString>("doctype");
        QTest::addColumn<QString>("start");
        QTest::addColumn<bool>("meta");
        QTest::newRow("HTML 4 Transitional")
            << "HTML 4 Transitional"
            << "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\"\n"
               "\t\"http://www.w3.org/TR/html4/loose.dtd\">\n\n<html lang=\"en\">\n<head>\n"
            << true;
        QTest::newRow("HTML 4 Strict") << "HTML 4 Strict"
                                       << "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01//EN\"\n"
                                          "\t\"http://www.w3.org/TR/html4/strict.dtd\">\n\n<html lang=\"en\">\n<head>\n"
                                       << true;
        QTest::newRow("XHTML 1.0 Transitional")
            << "XHTML 1.0 Transitional"
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n"
               "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\"\n"
               "\t\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\n\n"
               "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\" lang=\"en\">\n<head>\n"
            << false;
        QTest::newRow("XHTML 1.1") << "XHTML 1.1"
                                   << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n"
                                      "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\"\n"
                                      "\t\"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\">\n\n"
                                      "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\">\n<head>\n"
                                   << false;
        QTest::newRow("unknown is XHTML 1.0 Strict")
            << "HTML 5"
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n"
               "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\"\n"
               "\t\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\n\n"
               "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\" lang=\"en\">\n<head>\n"
            << false;
    }
    void htmlDoctypes()
    {
        QFETCH(QString, doctype);
        QFETCH(QString, start);
        QFETCH(bool, meta);
        auto doc = thingsDocument();
        QVERIFY(doc);
        const QString page = html(*doc, "Things", doctype);
        QVERIFY2(page.startsWith(start), qPrintable(page.left(300)));
        const QString metaLine =
            QStringLiteral("<head>\n\t<meta http-equiv=\"Content-Type\" content=\"text/html;charset=utf-8\" >\n"
                           "\t<title>Things</title>\n");
        QCOMPARE(page.contains(metaLine), meta);
        QVERIFY(page.endsWith("\t</table>\n</body>\n</html>"));
    }

    void htmlJustTableAndStylesheet()
    {
        auto doc = thingsDocument();
        QVERIFY(doc);
        const QString table = html(*doc, "Things", "Just <table>", true);
        QVERIFY(table.startsWith("\t<table class=\"oxtable\">\n"));
        QVERIFY(table.endsWith("</table>"));
        QVERIFY(!table.contains("<style"));

        const std::optional<QByteArray> css = Resources::read("HTMLExportStyle.css");
        QVERIFY(css && !css->isEmpty());
        const QString styled = html(*doc, "Things", "XHTML 1.1", true);
        QVERIFY(styled.contains("\t<title>Things</title>\n\n\t<style type=\"text/css\">\n" + QString::fromUtf8(*css) +
                                "\n\t</style>\n</head>\n"));
        QVERIFY(!html(*doc, "Things", "XHTML 1.1", false).contains("<style"));
    }

    void htmlFormattedOrRawCells()
    {
        auto doc = thingsDocument();
        QVERIFY(doc);
        QVERIFY(insertRow(*doc, "Things", {"", "", "", "", "", ""}));
        const auto cells = [](const QString &page) {
            QStringList out;
            for (const QString &line : page.split('\n'))
                if (line.startsWith("\t\t\t<td>"))
                    out << line.mid(7, line.size() - 12);
            return out;
        };
        OXDatabase *db = doc->database();
        const QString date = LMHTMLImporterExporter::htmlEntities(
            db->addFormattingToObject(db->dbToNativeForTable(kThirtySeconds, "Things", "When"), "Things", "When").text);
        const QString yes = db->addFormattingToObject(db->dbToNativeForTable("1", "Things", "OK"), "Things", "OK").text;
        QCOMPARE(cells(html(*doc, "Things", "Just <table>", false, true)).mid(0, 7),
                 QStringList({"1", "a", "&lt;image&gt;", "O&apos;Neil", "2.5", date, yes}));
        // A Yes/No never set shows as No.
        QCOMPARE(cells(html(*doc, "Things", "Just <table>", false, true)).mid(7),
                 QStringList({"2", "", "&lt;image&gt;", "", "", "", "No"}));
        QCOMPARE(cells(html(*doc, "Things", "Just <table>", false, false)),
                 QStringList({"1", "a", "&lt;image&gt;", "O&apos;Neil", "2.5", "30", "1", "2", "", "&lt;image&gt;", "",
                              "", "", ""}));
        QVERIFY(date != QLatin1String("30"));
    }
};

QTEST_MAIN(TestTableExport)
#include "test_table_export.moc"
