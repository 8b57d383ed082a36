// orvix-cli eval, report-eval and formula: report markup evaluated end to end on a real package.
#include "TestEnvironment.h"
#include "support/CliRunner.h"

#include <QTest>

class TestCliReports : public QObject {
    Q_OBJECT
    TestEnvironment env;
    QString package;

private slots:
    void initTestCase()
    {
        package = env.path("Shop.orvix");
        QCOMPARE(cli({"new", package}).code, 0);
        writeFile(env.path("Items.json"), R"({"Name": "Items", "Fields": [
            {"Name": "Name", "Type": "Text"}, {"Name": "Price", "Type": "Number"}]})");
        QCOMPARE(cli({"add-table", package, env.path("Items.json")}).code, 0);
        QCOMPARE(cli({"sql", package,
                      "INSERT INTO Items (Name, Price) VALUES ('Pen', '2'), ('Ink', '5.5'), "
                      "('Pad', '4')"})
                     .code,
                 0);
        writeFile(env.path("Stock.json"), R"({"Name": "Stock", "Content Table": "Items",
            "Attributed String": "<<Name>> costs <<Price>>, page $CUR$"})");
        QCOMPARE(cli({"add-report", package, env.path("Stock.json")}).code, 0);
        writeFile(env.path("Locked.json"), R"({"Name": "Locked", "Locked": true, "Attributed String": "x"})");
        QCOMPARE(cli({"add-report", package, env.path("Locked.json")}).code, 0);
    }

    void evalPrintsTheEvaluatedText()
    {
        const CliResult r = cli({"eval", package, "Total @@Items.Price.:sum@@, !!2*21!!, @@Items.Name.:list(num)@@"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.text(), QStringLiteral("Total 11.5, 42, 1. Pen\n2. Ink\n3. Pad\n"));
    }

    void evalMergesOnePagePerRecord()
    {
        CliResult r = cli({"eval", package, "<<Name>> $CUR$", "--table", "Items"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.text(), QStringLiteral("Pen 1\fInk 2\fPad 3\n"));
        r = cli({"eval", package, "<<Name>> $CUR$", "--table", "Items", "--record", "3", "--record", "1"});
        QCOMPARE(r.text(), QStringLiteral("Pad 1\fPen 2\n"));
    }

    void evalReadsTheCardGiven()
    {
        writeFile(env.path("me.vcf"), "BEGIN:VCARD\nN:Byron;Ada\nEMAIL:ada@example.org\nEND:VCARD\n");
        const CliResult r = cli({"eval", package, "$MY(Name)$ <$MY(Email)$>", "--my-card", env.path("me.vcf")});
        QCOMPARE(r.text(), QStringLiteral("Ada Byron <ada@example.org>\n"));
    }

    void reportEvalUsesTheStoredReport()
    {
        CliResult r = cli({"report-eval", package, "Stock"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.text(), QStringLiteral("Pen costs 2.0, page 1\fInk costs 5.5, page 2\fPad costs 4.0, page 3\n"));
        r = cli({"report-eval", package, "Stock", "--html"});
        QVERIFY(r.text().contains(QStringLiteral("<html")));
        QVERIFY(r.text().contains(QStringLiteral("Ink costs 5.5")));
        r = cli({"report-eval", package, "Locked"});
        QCOMPARE(r.code, 3);
        QCOMPARE(r.err.trimmed(), QStringLiteral("alert: Locked Object | This object is locked. You cannot use it."));
        r = cli({"report-eval", package, "Missing"});
        QCOMPARE(r.code, 1);
    }

    void formulaPrintsOneResult_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");
        QTest::newRow("sum") << QStringList{"Items", "Price.:sum"} << 0 << "11.5\n";
        QTest::newRow("sorted") << QStringList{"Items", ":desc(Price).:first.Name"} << 0 << "Ink\n";
        QTest::newRow("no result") << QStringList{"Items", "Price"} << 1 << "";
        QTest::newRow("no table") << QStringList{"Nosuch", ":count"} << 1 << "";
    }

    void formulaPrintsOneResult()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, out);
        const CliResult r = cli(QStringList{"formula", package} + args);
        QCOMPARE(r.code, code);
        QCOMPARE(r.text(), out);
    }
};

QTEST_MAIN(TestCliReports)
#include "test_cli_reports.moc"
