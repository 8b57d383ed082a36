// orvix-cli import and export: end to end on real packages, their outputs, and one-line errors with exit codes.
#include "TestEnvironment.h"
#include "support/CliRunner.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {
QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestCliTransfer : public QObject {
    Q_OBJECT
    TestEnvironment env;
    QString package;

private slots:
    void initTestCase()
    {
        package = env.path("Transfer.orvix");
        QCOMPARE(cli({"new", package}).code, 0);
        writeFile(env.path("people.csv"), "Name,Born,Member,Notes\n\"Smith, J\",2024-03-15,yes,x\nO'Neil,,no,y\n");
        const CliResult r = cli({"import", package, env.path("people.csv"), "--table", "People", "--type", "Born=Date",
                                 "--type", "Member=Yes/No", "--skip", "Notes"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        // The first record names the columns and is not imported.
        QCOMPARE(QString::fromUtf8(r.out), QStringLiteral("imported 2 records into \"People\"\n"));
        QCOMPARE(r.err, QString());
    }

    void importSavesTheTableWithTypes()
    {
        QCOMPARE(cli({"tables", package}).out, QByteArray("People\n"));
        const CliResult r = cli({"sql", package, "SELECT * FROM People ORDER BY id"});
        QCOMPARE(r.code, 0);
        QCOMPARE(QString::fromUtf8(r.out), QStringLiteral("People.id\tPeople.Name\tPeople.Born\tPeople.Member\n"
                                                          "1\tSmith, J\t732153600\t1\n"
                                                          "2\tO'Neil\t\t0\n"));
        QCOMPARE(cli({"get", package, "People", "1", "Member"}).out, QByteArray("Yes\n"));
    }

    void importProposesNamesLikeTheSheet()
    {
        const QString other = env.path("Other.orvix");
        QCOMPARE(cli({"new", other}).code, 0);
        writeFile(env.path("data.tsv"), "id\tCity\nx\tOslo, NO\n");
        const CliResult r = cli({"import", other, env.path("data.tsv"), "--type", "untitled0=Number"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        // "x" is no number: said on standard error before importing, then kept as text.
        QCOMPARE(r.err,
                 QStringLiteral("alert: Some values do not fit their columns | 1 value of \"untitled0\" cannot be read "
                                "as Number, for example \"x\". Import these values as text, or cancel and choose "
                                "other types.\n"));
        QCOMPARE(cli({"export", other, "data", "--format", "csv"}).out,
                 QByteArray("id,untitled0,City\n1,x,\"Oslo, NO\""));
        // The file's name is taken now; the next import of it gets "untitled 1".
        QCOMPARE(cli({"import", other, env.path("data.tsv")}).out,
                 QByteArray("imported 1 records into \"untitled 1\"\n"));
        // Every record as data, and a cancelled import that creates nothing.
        QCOMPARE(cli({"import", other, env.path("data.tsv"), "--no-header", "--table", "All"}).out,
                 QByteArray("imported 2 records into \"All\"\n"));
        QCOMPARE(cli({"sql", other, "SELECT untitled0, untitled1 FROM `All`"}).out,
                 QByteArray("All.untitled0\tAll.untitled1\nid\tCity\nx\tOslo, NO\n"));
        const CliResult cancelled = cli({"--answer", "Cancel", "import", other, env.path("data.tsv"), "--table",
                                         "Never", "--type", "untitled0=Number"});
        QCOMPARE(cancelled.code, 3);
        QVERIFY(cancelled.out.isEmpty());
        QVERIFY(cancelled.err.startsWith("alert: Some values do not fit their columns | "));
        QCOMPARE(cli({"tables", other}).out, QByteArray("data\nuntitled 1\nAll\n"));
    }

    void exportFormats_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QByteArray>("contains");
        QTest::newRow("csv: header, values as shown")
            << QStringList{"--format", "csv"} << QByteArray("id,Name,Born,Member\n1,\"Smith, J\",2024-03-15,Yes\n")
            << QByteArray("\n2,O'Neil,,No");
        QTest::newRow("csv raw") << QStringList{"--format", "csv", "--raw"}
                                 << QByteArray("id,Name,Born,Member\n1,\"Smith, J\",732153600,1\n")
                                 << QByteArray("\n2,O'Neil,,0");
        QTest::newRow("csv raw, no header")
            << QStringList{"--format", "csv", "--raw", "--no-header"} << QByteArray("1,\"Smith, J\",732153600,1\n")
            << QByteArray("\n2,O'Neil,,0");
        QTest::newRow("tsv") << QStringList{"--format", "tsv"}
                             << QByteArray("id\tName\tBorn\tMember\n1\tSmith, J\t2024-03-15\tYes\n")
                             << QByteArray("\n2\tO'Neil\t\tNo");
        QTest::newRow("sql default MySQL")
            << QStringList{"--format", "sql"}
            << QByteArray("CREATE TABLE IF NOT EXISTS `People` (`id` INTEGER PRIMARY KEY auto_increment")
            << QByteArray("VALUES ('1', 'Smith, J', '2024-03-15 00:00:00', '1');\n");
        QTest::newRow("sql PostgreSQL") << QStringList{"--format", "sql", "--sql-target", "PostgreSQL"}
                                        << QByteArray("CREATE TABLE  \"People\" (")
                                        << QByteArray("VALUES ('2', 'O''Neil', NULL, '0');\n");
        QTest::newRow("html formatted") << QStringList{"--format", "html"} << QByteArray("<?xml version=\"1.0\"")
                                        << QByteArray("<td>Yes</td>");
        QTest::newRow("html raw, just the table, HTML 4")
            << QStringList{"--format", "html", "--raw", "--doctype", "Just <table>"}
            << QByteArray("\t<table class=\"oxtable\">") << QByteArray("<td>1710460800</td>");
        QTest::newRow("html with stylesheet")
            << QStringList{"--format", "html", "--stylesheet", "--doctype", "HTML 4 Strict"}
            << QByteArray("<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01//EN\"")
            << QByteArray("<style type=\"text/css\">");
    }
    void exportFormats()
    {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, start);
        QFETCH(QByteArray, contains);
        const CliResult r = cli(QStringList{"export", package, "People"} + options);
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY2(r.out.startsWith(start), r.out.left(200).constData());
        QVERIFY2(r.out.contains(contains), r.out.constData());
        // -o writes the same bytes to a file.
        const QString path = env.path("out.bin");
        const CliResult toFile = cli(QStringList{"export", package, "People", "-o", path} + options);
        QCOMPARE(toFile.code, 0);
        QVERIFY(toFile.out.isEmpty());
        QCOMPARE(readFile(path), r.out);
    }

    void errorsAreOneLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("code");
        const QString missing = QDir::tempPath() + "/no/such/package.orvix";
        QTest::newRow("export: unknown table")
            << QStringList{"export", "PKG", "Nope", "--format", "csv"} << "no table named \"Nope\"" << 1;
        QTest::newRow("export: unknown format") << QStringList{"export", "PKG", "People", "--format", "xml"}
                                                << "--format must be csv, tsv, sql or html" << 2;
        QTest::newRow("export: no format")
            << QStringList{"export", "PKG", "People"} << "--format must be csv, tsv, sql or html" << 2;
        QTest::newRow("export: bad target")
            << QStringList{"export", "PKG", "People", "--format", "sql", "--sql-target", "Oracle"}
            << "--sql-target must be one of" << 2;
        QTest::newRow("export: bad doctype")
            << QStringList{"export", "PKG", "People", "--format", "html", "--doctype", "HTML 5"}
            << "--doctype must be one of" << 2;
        QTest::newRow("export: unknown option")
            << QStringList{"export", "PKG", "People", "--format", "csv", "--zip"} << "unknown option '--zip'" << 2;
        QTest::newRow("export: no such package")
            << QStringList{"export", missing, "People", "--format", "csv"} << "" << 1;
        QTest::newRow("import: bad datatype")
            << QStringList{"import", "PKG", "CSV", "--type", "Name=Blob"} << "expected COLUMN=DATATYPE" << 2;
        QTest::newRow("import: unknown column")
            << QStringList{"import", "PKG", "CSV", "--skip", "Nope"} << "no column named \"Nope\"" << 2;
        QTest::newRow("import: taken table name") << QStringList{"import", "PKG", "CSV", "--table", "people"}
                                                  << "the table name \"people\" is already used" << 1;
        QTest::newRow("import: missing file")
            << QStringList{"import", "PKG", "/no/such.csv"} << "no file \"/no/such.csv\"" << 1;
        QTest::newRow("import: not UTF-8") << QStringList{"import", "PKG", "BAD"} << "The file is not UTF-8 text." << 1;
        QTest::newRow("import: no arguments") << QStringList{"import", "PKG"} << "'import' takes PACKAGE FILE" << 2;
    }
    void errorsAreOneLine()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        QFETCH(int, code);
        writeFile(env.path("bad.csv"), "a,b\n\xff\xfe,x\n");
        args.replaceInStrings(QRegularExpression("^PKG$"), package);
        args.replaceInStrings(QRegularExpression("^CSV$"), env.path("people.csv"));
        args.replaceInStrings(QRegularExpression("^BAD$"), env.path("bad.csv"));
        const QByteArray before = readFile(package + "/Objects");
        const CliResult r = cli(args);
        QCOMPARE(r.code, code);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(r.err.startsWith("orvix-cli: ") && r.err.endsWith("\n") && r.err.count('\n') == 1, qPrintable(r.err));
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        // Nothing was saved.
        QCOMPARE(readFile(package + "/Objects"), before);
        QCOMPARE(cli({"tables", package}).out, QByteArray("People\n"));
    }

    void corruptPackageIsReported()
    {
        const QString broken = env.path("Broken.orvix");
        QVERIFY(QDir().mkpath(broken));
        writeFile(broken + "/Objects", "garbage");
        for (const QStringList &args : {QStringList{"export", broken, "People", "--format", "csv"},
                                        QStringList{"import", broken, env.path("people.csv")}}) {
            const CliResult r = cli(args);
            QCOMPARE(r.code, 1);
            QVERIFY2(r.err.startsWith("orvix-cli: ") && r.err.count('\n') == 1, qPrintable(r.err));
        }
    }

    void helpDocumentsBothCommands()
    {
        const CliResult r = cli({"--help"});
        QCOMPARE(r.code, 0);
        const QString text = QString::fromUtf8(r.out);
        for (const char *part :
             {"import PACKAGE FILE [--table NAME] [--type COLUMN=DATATYPE]... [--skip COLUMN]... [--no-header]",
              "export PACKAGE TABLE --format csv|tsv|sql|html", "--sql-target", "--doctype", "--stylesheet", "--raw",
              "[--no-header] [-o FILE]", "add-table", "get PACKAGE"})
            QVERIFY2(text.contains(QLatin1String(part)), part);
        QCOMPARE(cli({"export", "--help"}).out, r.out);
    }
};

QTEST_MAIN(TestCliTransfer)
#include "test_cli_transfer.moc"
