// orvix-cli: every command end to end on real packages, with its output and exit codes.
#include "TestEnvironment.h"
#include "support/CliRunner.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

class TestCli : public QObject {
    Q_OBJECT
    TestEnvironment env;
    QString package;

private slots:
    void initTestCase()
    {
        package = env.path("Cli.orvix");
        const CliResult made = cli({"new", package});
        QCOMPARE(made.code, 0);
        writeFile(env.path("people.json"),
                  R"({"Name": "People", "Fields": [
                       {"Name": "Name", "Type": "Text", "Not Null": true},
                       {"Name": "Age", "Type": "Number", "CheckLowerBound": 0, "CheckLowerBoundOperator": "\u2264"},
                       {"Name": "Member", "Type": "Yes/No", "Yes Value": "Yes", "No Value": "No"},
                       {"Name": "Code", "Type": "Text", "Regex": "^[0-9]+$"}]})");
        const CliResult added = cli({"add-table", package, env.path("people.json")});
        QVERIFY2(added.code == 0, qPrintable(added.err));
    }

    void tablesAreListedInDesignOrder()
    {
        writeFile(env.path("alpha.json"), R"({"Name": "Alpha", "Fields": [{"Name": "Title", "Type": "Text"}]})");
        QCOMPARE(cli({"add-table", package, env.path("alpha.json")}).code, 0);
        const CliResult r = cli({"tables", package});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.text(), QStringLiteral("People\nAlpha\n"));
    }

    void addTableRefusesBadAndDuplicateNames_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("message");
        QTest::newRow("characters") << QByteArray(R"({"Name": "Bad/Name", "Fields": []})") << "Unsuitable Characters";
        QTest::newRow("duplicate, any case")
            << QByteArray(R"({"Name": "people", "Fields": []})") << "Name Already Exists";
        QTest::newRow("not a design") << QByteArray("[1, 2]") << "not a JSON table design";
        QTest::newRow("unknown datatype")
            << QByteArray(R"({"Name": "T", "Fields": [{"Name": "x", "Type": "Blob"}]})") << "could not be created";
    }
    void addTableRefusesBadAndDuplicateNames()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, message);
        writeFile(env.path("bad.json"), json);
        const CliResult r = cli({"add-table", package, env.path("bad.json")});
        QVERIFY(r.code != 0);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(r.err.count('\n'), 1);
    }

    void cellsAreWrittenValidatedAndFormatted()
    {
        const CliResult row = cli({"add-row", package, "People"});
        QCOMPARE(row.code, 0);
        const QString id = row.text().trimmed();
        QVERIFY(id.toInt() > 0);

        QCOMPARE(cli({"set", package, "People", id, "Name", "O'Hara \"Q\" 😀"}).code, 0);
        QCOMPARE(cli({"get", package, "People", id, "Name"}).text(), QStringLiteral("O'Hara \"Q\" 😀\n"));
        QCOMPARE(cli({"set", package, "People", id, "Member", "Yes"}).code, 0);
        QCOMPARE(cli({"get", package, "People", id, "Member"}).text(), QStringLiteral("Yes\n"));

        const CliResult refused = cli({"set", package, "People", id, "Code", "12a"});
        QCOMPARE(refused.code, 3);
        QCOMPARE(refused.err, QStringLiteral("alert: Value is invalid | The value you entered did not pass the "
                                             "validation checks required by field \"Code\"\n"));
        const CliResult empty = cli({"set", package, "People", id, "Name", ""});
        QCOMPARE(empty.code, 3);
        QVERIFY(empty.err.startsWith("alert: Value is Null | "));
        // --answer answers the refusal's alert; a title that is not one of its buttons is reported.
        const CliResult answered = cli({"--answer", "OK", "set", package, "People", id, "Code", "x"});
        QCOMPARE(answered.code, 3);
        QCOMPARE(answered.err.count('\n'), 1);
        const CliResult wrong = cli({"set", package, "People", id, "Code", "x", "--answer", "Maybe"});
        QCOMPARE(wrong.code, 3);
        QVERIFY2(wrong.err.contains("--answer \"Maybe\" is not a button of this alert (OK)"), qPrintable(wrong.err));
        QCOMPARE(cli({"get", package, "People", id, "Code"}).text(), QStringLiteral("\n"));

        const CliResult select = cli({"sql", package, "SELECT `Name`, `Member` FROM `People` WHERE id = " + id});
        QCOMPARE(select.code, 0);
        QCOMPARE(select.text(), QStringLiteral("People.Name\tPeople.Member\nO'Hara \"Q\" 😀\t1\n"));
    }

    void rowsPrintsAWindowOfTheGridOrder()
    {
        writeFile(env.path("many.json"), R"({"Name": "Many", "Fields": [{"Name": "Label", "Type": "Text"}]})");
        QCOMPARE(cli({"add-table", package, env.path("many.json")}).code, 0);
        QCOMPARE(cli({"sql", package,
                      "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM n WHERE x<1000) "
                      "INSERT INTO `Many` (`Label`) SELECT printf('L%04d', x) FROM n"})
                     .code,
                 0);
        QCOMPARE(cli({"rows", package, "Many", "998", "5"}).text(),
                 QStringLiteral("Many.id\tMany.Label\n998\tL0998\n999\tL0999\n1000\tL1000\n"));
        QCOMPARE(cli({"rows", package, "Many", "1", "2", "--sort", "Label", "--desc"}).text(),
                 QStringLiteral("Many.id\tMany.Label\n1000\tL1000\n999\tL0999\n"));
        const CliResult missing = cli({"rows", package, "Many", "--sort", "Nope"});
        QCOMPARE(missing.code, 1);
        QVERIFY(missing.err.contains("no field named \"Nope\""));
        QCOMPARE(cli({"rows", package, "Many", "0"}).code, 2);
    }

    void sqlStatementsAreSavedAndErrorsReported()
    {
        QCOMPARE(cli({"sql", package, "INSERT INTO `People` (`Name`) VALUES ('Zed')"}).code, 0);
        const CliResult count = cli({"sql", package, "SELECT COUNT(*) FROM `People` WHERE `Name` = 'Zed'"});
        QCOMPARE(count.text().split('\n').value(1), QStringLiteral("1"));
        const CliResult bad = cli({"sql", package, "SELEKT nothing"});
        QVERIFY(bad.code != 0);
        QVERIFY(bad.err.contains("syntax error"));
    }

    void errorsAreOneClearLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no package") << QStringList{"tables", "/nonexistent/Nope.orvix"};
        QTest::newRow("unknown table") << QStringList{"add-row", "@", "Nope"};
        QTest::newRow("unknown field") << QStringList{"get", "@", "People", "1", "Nope"};
        QTest::newRow("missing record") << QStringList{"get", "@", "People", "999", "Name"};
        QTest::newRow("bad id") << QStringList{"get", "@", "People", "1 OR 1=1", "Name"};
        QTest::newRow("bad option") << QStringList{"tables"};
        QTest::newRow("unknown command") << QStringList{"frobnicate"};
    }
    void errorsAreOneClearLine()
    {
        QFETCH(QStringList, args);
        args.replaceInStrings("@", package);
        const CliResult r = cli(args);
        QVERIFY(r.code != 0);
        QVERIFY(r.err.startsWith("orvix-cli: "));
        QCOMPARE(r.err.count('\n'), 1);
    }

    void relationshipsAreCheckedAndSaved()
    {
        writeFile(env.path("owners.json"), R"({"Name": "Owners", "Fields": [{"Name": "Name", "Type": "Text"},
                                                {"Name": "Pets", "Type": "Relationship"}]})");
        writeFile(env.path("pets.json"), R"({"Name": "Pets", "Fields": [{"Name": "Name", "Type": "Text"},
                                              {"Name": "Owner", "Type": "Relationship"}]})");
        QCOMPARE(cli({"add-table", package, env.path("owners.json")}).code, 0);
        QCOMPARE(cli({"add-table", package, env.path("pets.json")}).code, 0);

        const CliResult notRelationship = cli({"relate", package, "Owners", "Name", "Pets", "Owner", "1"});
        QCOMPARE(notRelationship.code, 1);
        QVERIFY(notRelationship.err.contains("is not a Relationship field"));
        QCOMPARE(cli({"relate", package, "Owners", "Pets", "Pets", "Owner", "7"}).code, 2);

        const CliResult made = cli({"relate", package, "Owners", "Pets", "Pets", "Owner", "2"});
        QVERIFY2(made.code == 0, qPrintable(made.err));
        // Each run opens the package afresh, so the refusal shows the first record was saved.
        const CliResult again = cli({"relate", package, "Pets", "Owner", "Owners", "-", "0"});
        QCOMPARE(again.code, 1);
        QVERIFY(again.err.contains("already takes part"));
    }

    void helpDocumentsEveryCommand()
    {
        const CliResult r = cli({"--help"});
        QCOMPARE(r.code, 0);
        for (const char *command : {"new", "tables", "sql", "add-table", "add-row", "set", "get", "relate", "objects",
                                    "design", "add-query", "add-report", "add-script", "import", "export"})
            QVERIFY2(r.text().contains(QString("  %1 ").arg(command)), command);
    }

    // What `design` prints, `add-table` reads back into exactly the same design, for every sample table.
    void designRoundTripsThroughAddTable()
    {
        const QString sample = QStringLiteral(ORVIX_SAMPLE_PATH);
        const QString copy = env.path("RoundTrip.orvix");
        QCOMPARE(cli({"new", copy}).code, 0);
        const CliResult tables = cli({"tables", sample});
        QCOMPARE(tables.code, 0);
        const QStringList names = tables.text().split('\n', Qt::SkipEmptyParts);
        QVERIFY(names.size() >= 2);
        for (const QString &name : names) {
            const CliResult design = cli({"design", sample, name});
            QVERIFY2(design.code == 0, qPrintable(design.err));
            writeFile(env.path(name + ".json"), design.out);
            const CliResult added = cli({"add-table", copy, env.path(name + ".json")});
            QVERIFY2(added.code == 0, qPrintable(added.err));
            QCOMPARE(cli({"design", copy, name}).out, design.out);
        }
        // The sample's designs use every kind the tagged JSON carries except images: check those through objects.
        const CliResult objects = cli({"objects", sample});
        QCOMPARE(objects.code, 0);
        QVERIFY(objects.text().contains("\"Tables\""));
        QVERIFY(objects.text().contains("\"Relationships\""));
        QVERIFY(objects.text().contains("\"Name\": \"People\""));
        QCOMPARE(cli({"design", sample, "Nope"}).code, 1);
    }

    void itemsAreAddedFromJsonWithTheNameRule_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("query") << "add-query" << QByteArray(R"({"Name": "Adults", "Table Name": "People"})") << 0 << "";
        QTest::newRow("query again") << "add-query" << QByteArray(R"({"Name": "Adults", "Table Name": "People"})") << 3
                                     << "beep";
        QTest::newRow("query of no table")
            << "add-query" << QByteArray(R"({"Name": "Lost", "Table Name": "Gone"})") << 3
            << "alert: Invalid Query | This does not have a valid content table and cannot be opened.";
        QTest::newRow("query with every tagged kind")
            << "add-query"
            << QByteArray(R"({"Name": "Tagged", "Table Name": "People", "Limit": {"$real": 5}, "Ratio": 0.5,
                              "Blob": {"$data": "AAE="}, "When": {"$date": 12.5}, "Ref": {"$uid": 7},
                              "Colour": {"$class": "NSColor", "$attributes": {"Red": {"$real": 1}}},
                              "Odd": {"$dict": {"$x": 1}}, "Nothing": null, "On": true})")
            << 0 << "";
        QTest::newRow("report") << "add-report"
                                << QByteArray(R"({"Name": "List", "Content Table": "People", "Print Info": {}})") << 0
                                << "";
        QTest::newRow("report without table")
            << "add-report" << QByteArray(R"({"Name": "Letter", "Content Table": "None"})") << 0 << "";
        QTest::newRow("script") << "add-script"
                                << QByteArray(R"({"Name": "Hello", "Code String": "function main() {}"})") << 0 << "";
        QTest::newRow("script without name") << "add-script" << QByteArray(R"({"Code String": ""})") << 3 << "beep";
        QTest::newRow("script without code")
            << "add-script" << QByteArray(R"({"Name": "Empty"})") << 3 << "alert: Invalid Script";
    }
    void itemsAreAddedFromJsonWithTheNameRule()
    {
        QFETCH(QString, command);
        QFETCH(QByteArray, json);
        QFETCH(int, code);
        QFETCH(QString, message);
        writeFile(env.path("item.json"), json);
        const CliResult r = cli({command, package, env.path("item.json")});
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        if (code == 0) {
            // The item is stored with every key as given, types included.
            const CliResult objects = cli({"objects", package});
            const QJsonObject stored = QJsonDocument::fromJson(objects.out).object();
            const QString kind = command == "add-query" ? "Queries" : command == "add-report" ? "Reports" : "Scripts";
            const QJsonObject given = QJsonDocument::fromJson(json).object();
            bool found = false;
            for (const QJsonValue &item : stored.value(kind).toArray())
                found = found || item.toObject() == given;
            QVERIFY2(found, qPrintable(objects.text()));
        }
    }

    void corruptPackageIsReported()
    {
        const QString broken = env.path("Broken.orvix");
        QVERIFY(QDir().mkpath(broken));
        writeFile(broken + "/Objects", "garbage");
        const CliResult r = cli({"tables", broken});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("damaged"));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
