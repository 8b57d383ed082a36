// orvix-cli eval, report-eval, formula, report and report-template: reports evaluated and exported end to end
// on a real package.
#include "TestEnvironment.h"
#include "support/CliRunner.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
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
        // Letter paper, one-inch margins.
        writeFile(env.path("Sheet.json"), R"({"Name": "Sheet", "Content Table": "Items",
            "Attributed String": "<<Name>>", "Print Info": {"Print Info Version": 1, "Paper Name": "Letter",
            "Paper Width": 612, "Paper Height": 792, "Orientation": "Portrait", "Left Margin": 72,
            "Top Margin": 72, "Right Margin": 72, "Bottom Margin": 72}})");
        QCOMPARE(cli({"add-report", package, env.path("Sheet.json")}).code, 0);
    }

    void reportExportsToAFile()
    {
        const QString pdf = env.path("sheet.pdf");
        CliResult r = cli({"report", package, "Sheet", "--format", "pdf", "-o", pdf});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        if (!QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty()) {
            QProcess info;
            info.start(QStringLiteral("pdfinfo"), {pdf});
            QVERIFY(info.waitForFinished(30000));
            const QString text = QString::fromUtf8(info.readAllStandardOutput());
            QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n"))), qPrintable(text));
            QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Page size:\\s+612 x 792 pts"))),
                     qPrintable(text));
        }
        // Plain text to standard output: UTF-16 with its byte-order mark, pages split by form feeds.
        r = cli({"report", package, "Stock", "--format", "txt"});
        QCOMPARE(r.code, 0);
        const QString text =
            QString::fromUtf16(reinterpret_cast<const char16_t *>(r.out.constData()) + 1, r.out.size() / 2 - 1);
        QCOMPARE(r.out.left(2), QByteArray("\xFF\xFE")); // the mark, little-endian on this machine
        QCOMPARE(text, QStringLiteral("Pen costs 2.0, page 1\fInk costs 5.5, page 2\fPad costs 4.0, page 3"));
    }

    void reportRefusesWhatItCannotWrite_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::newRow("unknown report") << QStringList{"Missing", "--format", "rtf"} << 1;
        QTest::newRow("unknown format") << QStringList{"Sheet", "--format", "xls"} << 2;
        QTest::newRow("no format") << QStringList{"Sheet", "rtf", "x"} << 2;
        QTest::newRow("locked") << QStringList{"Locked", "--format", "odt"} << 3;
    }

    void reportRefusesWhatItCannotWrite()
    {
        QFETCH(QStringList, args);
        const QString out = env.path("refused.out");
        const CliResult r = cli(QStringList{"report", package} + args + QStringList{"-o", out});
        QTEST(r.code, "code");
        QVERIFY(!QFile::exists(out));
    }

    void reportTemplateReadsHtml()
    {
        const QString copy = env.path("Copy.orvix");
        QCOMPARE(cli({"new", copy}).code, 0);
        writeFile(env.path("R.json"), R"({"Name": "R", "Content Table": "None", "Attributed String": ""})");
        QCOMPARE(cli({"add-report", copy, env.path("R.json")}).code, 0);
        writeFile(env.path("r.html"), "<p>Total <b>!!6*7!!</b></p>");
        CliResult r = cli({"report-template", copy, "R", env.path("r.html")});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        r = cli({"report", copy, "R", "--format", "html"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.text().contains(QStringLiteral("font-weight:700;\">42</span>")), qPrintable(r.text()));
        QCOMPARE(cli({"report-template", copy, "Nope", env.path("r.html")}).code, 1);
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
