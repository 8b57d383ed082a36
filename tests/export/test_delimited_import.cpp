// Delimited-text import: the dialect record by record, files into new tables, conversions and bad input.
#include "LMCSVImporterExporter.h"
#include "LMDelimitedParser.h"
#include "LMImportProgress.h"
#include "LMRecordInserter.h"
#include "LMTSVImporterExporter.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "TestEnvironment.h"
#include "support/ExportFixture.h"

#include <QBuffer>
#include <QFile>
#include <QTest>

using namespace ExportFixture;
using Records = QList<QStringList>;

namespace {
Records parse(const QString &text, QChar separator, int pieceSize)
{
    Records records;
    LMDelimitedParser parser(separator, [&](QStringList &fields, qint64) {
        records << fields;
        return true;
    });
    for (qsizetype at = 0; at < text.size(); at += pieceSize)
        parser.feed(QStringView(text).mid(at, pieceSize));
    parser.finish();
    return records;
}

struct Progress : LMImportProgress {
    qint64 maximum = -1;
    qint64 last = -1;
    void setMaximum(qint64 m) override { maximum = m; }
    void setValue(qint64 v) override { last = v; }
};

// Imports a fixture with the first record's fields as column names (all "Text" unless `types` says).
std::optional<Alert> importFixture(MyDocument &doc, const QString &file, const QString &table, QStringList names = {},
                                   QStringList types = {})
{
    QFile data(dataPath(file));
    if (!data.open(QIODevice::ReadOnly))
        return Alert::make(QStringLiteral("missing fixture"), file);
    const bool tsv = file.endsWith(QLatin1String(".tsv"));
    if (names.isEmpty()) {
        std::optional<Alert> problem;
        const auto first =
            LMCSVImporterExporter::firstRecord(data, tsv ? QStringLiteral("\t") : QStringLiteral(","), &problem);
        if (!first)
            return problem;
        names = *first;
        data.seek(0);
    }
    const QList<bool> enabled(names.size(), true);
    return tsv ? LMTSVImporterExporter::importData(data, table, names, types, enabled, doc.database())
               : LMCSVImporterExporter::importData(data, table, names, types, enabled, doc.database());
}

// Stored rows without the id column.
Records storedRows(MyDocument &doc, const QString &table)
{
    Records result = rows(doc, table);
    for (QStringList &row : result)
        row.removeFirst();
    return result;
}
} // namespace

class TestDelimitedImport : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void dialect_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<Records>("records");
        const QString c = QStringLiteral(",");
        QTest::newRow("quoted separator") << "a,\"b,c\",d" << c << Records{{"a", "b,c", "d"}};
        QTest::newRow("doubled quotes") << "\"say \"\"hi\"\"\"" << c << Records{{"say \"hi\""}};
        QTest::newRow("empty quoted field is empty") << "a,\"\",b" << c << Records{{"a", "", "b"}};
        QTest::newRow("every field quoted, some empty")
            << "\"x\",\"\",\"y\"\n\"\",\"\",\"\"" << c << Records{{"x", "", "y"}, {"", "", ""}};
        QTest::newRow("a record of one empty quoted field") << "\"\"\nx" << c << Records{{""}, {"x"}};
        QTest::newRow("quote inside an unquoted field is literal") << "a\"b\"c,d" << c << Records{{"a\"b\"c", "d"}};
        QTest::newRow("doubled quote in an unquoted field is one") << "a\"\"b,c" << c << Records{{"a\"b", "c"}};
        QTest::newRow("quote pair at the end of a quoted field") << "\"ab\"\"\",x" << c << Records{{"ab\"", "x"}};
        QTest::newRow("text after the closing quote is kept") << "\"ab\"cd,e" << c << Records{{"abcd", "e"}};
        QTest::newRow("CR LF gives no empty records") << "a,b\r\nc,d\r\n" << c << Records{{"a", "b"}, {"c", "d"}, {""}};
        QTest::newRow("blank lines are skipped") << "a\n\n\r\n\nb" << c << Records{{"a"}, {"b"}};
        QTest::newRow("last record without line break") << "a,b\nc,d" << c << Records{{"a", "b"}, {"c", "d"}};
        QTest::newRow("blanks belong to the field") << " a , b \n" << c << Records{{" a ", " b "}, {""}};
        QTest::newRow("line breaks inside quotes") << "\"x\ny\r\nz\",w" << c << Records{{"x\ny\r\nz", "w"}};
        QTest::newRow("a line of only separators") << ",,\nx" << c << Records{{"", "", ""}, {"x"}};
        QTest::newRow("tab separator keeps commas") << "a,b\tc\n"
                                                    << "\t" << Records{{"a,b", "c"}, {""}};
        QTest::newRow("multi-character delimiter uses its first") << "a;b|c"
                                                                  << ";|" << Records{{"a", "b|c"}};
        QTest::newRow("empty text is one empty record") << "" << c << Records{{""}};
        QTest::newRow("non-ASCII text") << "Zoë,日本\n" << c << Records{{"Zoë", "日本"}, {""}};
    }
    void dialect()
    {
        QFETCH(QString, text);
        QFETCH(QString, separator);
        QFETCH(Records, records);
        const QChar sep = LMCSVImporterExporter::separatorCharacter(separator);
        // Whole, and one character at a time: a quote pair or CR LF split across pieces reads the same.
        QCOMPARE(parse(text, sep, int(std::max<qsizetype>(1, text.size()))), records);
        QCOMPARE(parse(text, sep, 1), records);
    }

    void parseStringReturnsFirstRecordOrInserts()
    {
        auto doc = newDocument();
        QVERIFY(addTable(*doc, QStringLiteral("T"), {{"a", "Text"}, {"b", "Text"}}));
        Value options =
            Value::dict({{QStringLiteral("Delimiter"), QStringLiteral(",")}, {QStringLiteral("Get Col Names"), true}});
        QCOMPARE(LMCSVImporterExporter::parseString("x,\"y,z\"\n1,2\n", options, nullptr, doc->database()),
                 QStringList({"x", "y,z"}));
        QCOMPARE(rows(*doc, "T").size(), 0);

        options = Value::dict({{QStringLiteral("Delimiter"), QStringLiteral(",")},
                               {QStringLiteral("Table Name"), QStringLiteral("T")},
                               {QStringLiteral("Column Names"), Value(QStringList{"a", "b"})},
                               {QStringLiteral("Column Enabled"), Value::array({Value(true), Value(false)})}});
        QVERIFY(LMCSVImporterExporter::parseString("1,2\n,5\n3\n", options, nullptr, doc->database()).isEmpty());
        // The disabled column is left out (its default fills it); ",5" has nothing in the enabled column.
        QCOMPARE(storedRows(*doc, "T"), Records({{"1", ""}, {"3", ""}}));

        LMCSVImporterExporter::doInsertDataArray({"O'Neil", "x"}, 99, options, doc->database());
        QCOMPARE(storedRows(*doc, "T").last(), QStringList({"O'Neil", ""}));
    }

    void importsFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<Records>("stored");
        QTest::newRow("CR LF, quotes, blanks; first line is a record too")
            << "people_crlf.csv"
            << Records{{"Name", "Town", "Note"},
                       {"Ann", "Lyon, FR", "She said \"hi\""},
                       {"Bob", "Oslo", ""},
                       {"Cy \"C\" D", "  Rome  ", ""}};
        QTest::newRow("ragged rows padded and cut; empty record skipped")
            << "ragged.csv" << Records{{"a", "b", "c"}, {"1", "2", ""}, {"3", "4", "5"}, {"7", "", ""}};
        QTest::newRow("no final line break") << "no_final_newline.csv" << Records{{"x", "y"}, {"1", "2"}, {"3", "4"}};
        QTest::newRow("final line breaks add nothing")
            << "trailing_newlines.csv" << Records{{"x", "y"}, {"1", "2"}, {"3", "4"}};
        QTest::newRow("quoted line break")
            << "quoted_newline.csv" << Records{{"Name", "Note"}, {"Ann", "one\nline two"}, {"Bob", "x\"y\"z"}};
        QTest::newRow("tab-separated") << "people.tsv"
                                       << Records{{"Name", "Place"}, {"Ann", "Lyon, FR"}, {"Bo\tb", "Oslo"}};
    }
    void importsFiles()
    {
        QFETCH(QString, file);
        QFETCH(Records, stored);
        auto doc = newDocument();
        const auto failure = importFixture(*doc, file, QStringLiteral("Imported"));
        QVERIFY2(!failure, failure ? qPrintable(failure->informativeText) : "");
        QCOMPARE(storedRows(*doc, "Imported"), stored);
        QCOMPARE(doc->database()->tablesList(), QStringList{"Imported"});
        QCOMPARE(LMCSVImporterExporter::sepValsSeparator(), QStringLiteral(","));
    }

    void designHasKeyFieldThenEnabledColumns()
    {
        const Value design =
            LMCSVImporterExporter::importDesign("T", {"a", "b", "c"}, {"Text", "Number", "Date"}, {true, false, true});
        QCOMPARE(design.value("Name").toString(), QStringLiteral("T"));
        QVERIFY(design.value("Creation Date").isDate());
        const Value fields = design.value("Fields");
        QCOMPARE(fields.size(), 3);
        QCOMPARE(fields.at(0).value("Name").toString(), QStringLiteral("id"));
        QCOMPARE(fields.at(0).value("Type").toString(), QStringLiteral("Primary Key"));
        QCOMPARE(fields.at(0).value("Unique").toBool(), true);
        QCOMPARE(fields.at(0).value("Not Null").toBool(), true);
        QCOMPARE(fields.at(2).value("Name").toString(), QStringLiteral("c"));
        QCOMPARE(fields.at(2).value("Type").toString(), QStringLiteral("Date"));
        QCOMPARE(fields.at(2).value("Unique").toBool(), false);
        QCOMPARE(fields.at(2).value("Yes Value").toString(), QStringLiteral("Yes"));
        QCOMPARE(fields.at(2).value("No Value").toString(), QStringLiteral("No"));
        QCOMPARE(LMCSVImporterExporter::columnDefinitions(design),
                 QStringLiteral("`id` INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL DEFAULT ''  ,"
                                "`a` TEXT DEFAULT ''  ,`c` TEXT DEFAULT '' "));
    }

    void importRecordsTheDesignAndKeepsOrder()
    {
        auto doc = newDocument();
        QVERIFY(!importFixture(*doc, "people.tsv", "T", {"Name", "Place"}, {"Text", "File Path"}));
        const Value design = doc->tableNamed("T");
        QCOMPARE(doc->database()->allNamesForTable("T"), QStringList({"id", "Name", "Place"}));
        QCOMPARE(doc->database()->typeForTable("T", "Place"), QStringLiteral("File Path"));
        QVERIFY(design.value("Fields").at(0).value("Unique").toBool());
        QCOMPARE(rows(*doc, "T", {"id"}), Records({{"1"}, {"2"}, {"3"}}));
    }

    void convertsDatesAndYesNo()
    {
        auto doc = newDocument();
        QVERIFY(!importFixture(*doc, "dates_yesno.csv", "T", {"What", "When", "Done"}, {"Text", "Date", "Yes/No"}));
        const QString day = QString::number(732153600);
        QCOMPARE(storedRows(*doc, "T"), Records({{"What", "When", "Done"},
                                                 {"first", day, "1"},
                                                 {"second", QString::number(732153600 + 37800), "0"},
                                                 {"third", day, "1"},
                                                 // Day and month the wrong way round for the locale: kept.
                                                 {"fourth", "15/03/2024", "0"},
                                                 {"fifth", "soon", "maybe"},
                                                 {"sixth", "", ""}}));
        // A stored date reads back as the moment typed.
        const Value native = doc->database()->dbToNativeForTable(day, "T", "When");
        QCOMPARE(native.toDateTime(), QDateTime(QDate(2024, 3, 15), QTime(0, 0), Qt::UTC));
    }

    void numberColumnsKeepNumericAffinity()
    {
        auto doc = newDocument();
        QVERIFY(!importFixture(*doc, "no_final_newline.csv", "T", {"x", "y"}, {"Number", "Text"}));
        QCOMPARE(storedRows(*doc, "T"), Records({{"x", "y"}, {"1.0", "2"}, {"3.0", "4"}}));
    }

    void badInputCreatesNothing_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("informative");
        QTest::newRow("invalid UTF-8") << "invalid_utf8.csv"
                                       << "The file is not UTF-8 text.";
        QTest::newRow("ends inside a UTF-8 sequence") << "cut_utf8.csv"
                                                      << "The file is not UTF-8 text.";
        QTest::newRow("binary") << "binary.csv"
                                << "The file holds binary data, not text.";
        QTest::newRow("empty") << "empty.csv"
                               << "The file holds no records.";
        QTest::newRow("only blank lines") << "blank_lines.csv"
                                          << "The file holds no records.";
        QTest::newRow("quote never closed") << "unclosed_quote.csv"
                                            << "A quoted field that begins in record 2 is never closed.";
    }
    void badInputCreatesNothing()
    {
        QFETCH(QString, file);
        QFETCH(QString, informative);
        auto doc = newDocument();
        // Column names given, so the import itself meets the bad text.
        const auto failure = importFixture(*doc, file, "T", {"a", "b"});
        QVERIFY(failure);
        QCOMPARE(failure->messageText, QStringLiteral("The file could not be imported"));
        QCOMPARE(failure->informativeText, informative);
        QVERIFY(doc->database()->tablesList().isEmpty());
        QVERIFY(!doc->database()->allTables().contains("T"));
        QVERIFY(!doc->database()->isTransactionActive());
        // The first record of such a file cannot be read either.
        QFile data(dataPath(file));
        QVERIFY(data.open(QIODevice::ReadOnly));
        std::optional<Alert> problem;
        // (Those whose fault lies after the first record show it only on import.)
        if (file != QLatin1String("unclosed_quote.csv") && file != QLatin1String("cut_utf8.csv")) {
            QVERIFY(!LMCSVImporterExporter::firstRecord(data, ",", &problem));
            QVERIFY(problem);
        }
    }

    void refusedNamesCreateNothing_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("message");
        QTest::newRow("back quote in a column") << "T" << QStringList{"a`b", "c"} << "Unsuitable Characters";
        QTest::newRow("quote in a column") << "T" << QStringList{"it's", "c"} << "Unsuitable Characters";
        QTest::newRow("key column name in capitals")
            << "T" << QStringList{"ID", "c"} << "The file could not be imported";
        QTest::newRow("same name twice, any case") << "T" << QStringList{"Name", "name"} << "Name Already Exists";
        QTest::newRow("quote in the table name") << "T\"x" << QStringList{"a", "b"} << "Unsuitable Characters";
        QTest::newRow("existing table, other case") << "existing" << QStringList{"a", "b"} << "Name Already Exists";
    }
    void refusedNamesCreateNothing()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, names);
        QFETCH(QString, message);
        auto doc = newDocument();
        QVERIFY(addTable(*doc, "Existing", {{"a", "Text"}}));
        const auto failure = importFixture(*doc, "no_final_newline.csv", table, names);
        QVERIFY(failure);
        QCOMPARE(failure->messageText, message);
        QCOMPARE(doc->database()->tablesList(), QStringList{"Existing"});
        QCOMPARE(doc->database()->allTables().contains(table, Qt::CaseInsensitive),
                 table.compare("existing", Qt::CaseInsensitive) == 0);
    }

    void tenMegabyteFieldAndProgress()
    {
        auto doc = newDocument();
        const QByteArray big(10 * 1024 * 1024, 'x');
        QByteArray file = "a,b\n\"" + big + "\nend\",2\n";
        QBuffer buffer(&file);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        Progress progress;
        const auto failure =
            LMCSVImporterExporter::importData(buffer, "T", {"a", "b"}, {}, {true, true}, doc->database(), &progress);
        QVERIFY(!failure);
        const Records stored = rows(*doc, "T", {"a", "b"});
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored[1][0].size(), big.size() + 4);
        QVERIFY(stored[1][0].endsWith("x\nend"));
        QCOMPARE(stored[1][1], QStringLiteral("2"));
        QCOMPARE(progress.maximum, qint64(file.size()));
        QCOMPARE(progress.last, qint64(file.size()));
    }

    void refusedRecordsDoNotStopTheOthers()
    {
        // More records than one batch holds, with a refused one and skipped ones among them.
        auto doc = newDocument();
        doc->database()->performQuery(
            "CREATE TABLE `C` (`id` INTEGER PRIMARY KEY AUTOINCREMENT, `v` TEXT CHECK (`v` <> 'bad'), `w` TEXT)");
        QCOMPARE(doc->database()->lastErrorID(), 0);
        Records expected;
        qint64 skipped = 0;
        {
            LMRecordInserter inserter(doc->database(), "C", {"v", "w"}, {true, true});
            QVERIFY(inserter.isValid());
            for (int i = 0; i < 300; ++i) {
                const QStringList record = i == 70       ? QStringList{"bad", "x"}
                                           : i % 50 == 3 ? QStringList{"", ""}
                                                         : QStringList{QString::number(i), "w"};
                if (inserter.insert(record) == LMRecordInserter::Result::Skipped)
                    ++skipped;
                else if (i != 70)
                    expected << record;
            }
            inserter.flush();
            QCOMPARE(inserter.failed(), qint64(1));
            QCOMPARE(inserter.inserted(), qint64(expected.size()));
        }
        QCOMPARE(skipped, qint64(6));
        QCOMPARE(rows(*doc, "C", {"v", "w"}), expected);
        // The ids follow the file's order.
        const Records ids = rows(*doc, "C", {"id", "v"});
        for (int i = 1; i < ids.size(); ++i)
            QVERIFY(ids[i][0].toInt() > ids[i - 1][0].toInt() && ids[i][1].toInt() > ids[i - 1][1].toInt());
    }

    void tsvRestoresTheSeparatorAfterFailure()
    {
        auto doc = newDocument();
        QFile data(dataPath("invalid_utf8.csv"));
        QVERIFY(data.open(QIODevice::ReadOnly));
        QVERIFY(LMTSVImporterExporter::importData(data, "T", {"a"}, {}, {true}, doc->database()));
        QCOMPARE(LMCSVImporterExporter::sepValsSeparator(), QStringLiteral(","));
    }
};

QTEST_MAIN(TestDelimitedImport)
#include "test_delimited_import.moc"
