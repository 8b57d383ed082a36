// orvix-cli search, find-text and relationships end to end on the bundled sample and small files.
#include "TestEnvironment.h"
#include "support/CliRunner.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

class TestCliSearch : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void searchPrintsRankedResultsByKind()
    {
        const QString sample = QStringLiteral(ORVIX_SAMPLE_PATH);
        // "Oslo" is a city of a company: the data pass finds Companies once.
        const CliResult oslo = cli({"search", sample, "oslo", "--timing"});
        QCOMPARE(oslo.code, 0);
        QCOMPARE(oslo.text(), QStringLiteral("Tables\tCompanies\t1\n"));
        QVERIFY(oslo.err.contains("first_results_s="));
        // "peo": the name (contains) and the design's "Name" rank People (the table and its generated form) first;
        // the "Friends" query filters People; the sample's reports follow: the summary's text speaks of people,
        // and the letter's content table is People; the Summary script reads People's values.
        QCOMPARE(cli({"search", sample, "peo"}).text(),
                 QStringLiteral("Tables\tPeople\t2\nQueries\tFriends\t1\nForms\tPeople\t2\nReports\tCompany "
                                "Summary\t2\nReports\tLetter\t1\nScripts\tSummary\t1\n"));
        // One character searches the names only.
        QCOMPARE(cli({"search", sample, "o"}).text(),
                 QStringLiteral("Tables\tPeople\t1\nTables\tCompanies\t1\nForms\tPeople\t1\nForms\tCompanies\t1\n"
                                "Reports\tCompany Summary\t1\n"));
        QCOMPARE(cli({"search", sample, "zzzz"}).text(), QString());
        QCOMPARE(cli({"search", sample, "x", "--fast"}).code, 2);
    }

    void findTextListsAndReplaces()
    {
        const QString file = env.path("t.txt");
        writeFile(file, "one two One\ntwo one\n");
        const CliResult literal = cli({"find-text", file, "one"});
        QCOMPARE(literal.code, 0);
        QCOMPARE(literal.text(), QStringLiteral("0\t3\tone\n8\t3\tOne\n16\t3\tone\n"));
        QVERIFY(!literal.err.contains("beep"));
        QCOMPARE(cli({"find-text", file, "one", "--case"}).text(), QStringLiteral("0\t3\tone\n16\t3\tone\n"));
        const CliResult replaced = cli({"find-text", file, "(\\w+) (\\w+)", "--regex", "--replace", "\\2 \\1"});
        QCOMPARE(replaced.code, 0);
        QCOMPARE(replaced.text(), QStringLiteral("two one One\none two\n"));
        QVERIFY(replaced.err.contains("replaced=2"));
        const CliResult invalid = cli({"find-text", file, "(", "--regex"});
        QCOMPARE(invalid.code, 1);
        QVERIFY(invalid.err.contains("not a valid regular expression"));
        QCOMPARE(cli({"find-text", file, "three"}).code, 1);
    }

    void relationshipsPrintsTheStoredDiagram()
    {
        const CliResult r = cli({"relationships", QStringLiteral(ORVIX_SAMPLE_PATH)});
        QCOMPARE(r.code, 0);
        const QJsonObject stored = QJsonDocument::fromJson(r.out).object();
        const QJsonArray lines = stored.value("Lines").toArray();
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.at(0).toObject().value("Start Field").toString(), QString("Employer"));
        QCOMPARE(lines.at(0).toObject().value("End Field").toString(), QString("Staff"));
    }
};

QTEST_GUILESS_MAIN(TestCliSearch)
#include "test_cli_search.moc"
