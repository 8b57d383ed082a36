// Tests of report evaluation: the four passes, mail merge, variables, query formulas and the calculator.
#include "DateFormatter.h"
#include "LMCalculator.h"
#include "LMContactCard.h"
#include "LMReportDocument.h"
#include "LMReportParser.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "Preferences.h"
#include "ReferenceDate.h"
#include "TestEnvironment.h"
#include "support/ReportFixture.h"

#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QtTest>

namespace {
class ProgressRecorder : public LMReportParserDelegate {
public:
    void setProgressValue(float fraction) override { values << fraction; }
    QList<float> values;
};
} // namespace

class TestReportParser : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void plainEvaluation_data();
    void plainEvaluation();
    void noMarkupGivesIdenticalCopy();
    void replacementKeepsAttributes();
    void asTableInsertsTable();
    void mailMerge_data();
    void mailMerge();
    void mailMergeOfSomeRecords();
    void insertedDataIsNeverEvaluated();
    void variables_data();
    void variables();
    void contactCard_data();
    void contactCard();
    void cardValueLookingLikeVariableEnds();
    void queryFormulas_data();
    void queryFormulas();
    void queryFormulaLeavesNothingBehind();
    void calculatorCleaning_data();
    void calculatorCleaning();
    void calculatorFilter_data();
    void calculatorFilter();
    void calculatorThroughProcessSeam();
    void progressReachesOne();
    void storedReportEvaluates();

private:
    QString evaluate(const QString &text, const QString &contentTable = QString());
    QString writeCard(const QString &vcard);

    TestEnvironment m_environment;
    std::unique_ptr<MyDocument> m_document;
};

void TestReportParser::initTestCase()
{
    QString error;
    m_document = ReportFixture::salesDocument(&error);
    QVERIFY2(m_document, qPrintable(error));
    const Value paid = Value::dict({{"Type", Value("Parameters")},
                                    {"Table", Value("Sales")},
                                    {"Field", Value("Paid")},
                                    {"Datatype", Value("Yes/No")},
                                    {"Compare Op", Value("is yes")}});
    m_document->queries().append(Value::dict({{"Name", Value("Paid")},
                                              {"Table Name", Value("Sales")},
                                              {"Parameters", Value::array({paid})},
                                              {"Parameter Boolean", Value("all")}}));
    m_document->queries().append(Value::dict({{"Name", Value("Everything")}, {"Table Name", Value("Sales")}}));
    m_document->queries().append(Value::dict({{"Name", Value("Tableless")}}));
    m_document->setChanged(false);
    // 2024-03-15 12:34:56 UTC
    ReferenceDate::setClock([] { return 732198896.0; });
}

void TestReportParser::cleanup()
{
    LMCalculator::setProcessRunner({});
    Preferences::instance().removeValue(LMContactCard::preferenceKey());
}

QString TestReportParser::evaluate(const QString &text, const QString &contentTable)
{
    const std::unique_ptr<QTextDocument> templ = ReportFixture::textDocument(text);
    const std::unique_ptr<QTextDocument> result =
        LMReportParser::parseTextStorage(*templ, contentTable, *m_document->database());
    return result->toPlainText();
}

QString TestReportParser::writeCard(const QString &vcard)
{
    const QString path = m_environment.path(QStringLiteral("me.vcf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    file.write(vcard.toUtf8());
    Preferences::instance().setValue(LMContactCard::preferenceKey(), path);
    return path;
}

void TestReportParser::plainEvaluation_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("data formula") << "Total: @@Sales.Amount.:sum@@."
                                  << "Total: 30.";
    QTest::newRow("blanks around components") << "@@ Sales . Amount . :average @@"
                                              << "10";
    QTest::newRow("two formulas") << "@@N.Y.:sum@@/@@N.:count@@"
                                  << "10/4";
    QTest::newRow("unknown table stays") << "@@Nosuchtable.x@@"
                                         << "@@Nosuchtable.x@@";
    QTest::newRow("bare table stays") << "@@Sales@@"
                                      << "@@Sales@@";
    QTest::newRow("column stays") << "a @@Sales.Name@@ b @@N.:count@@"
                                  << "a @@Sales.Name@@ b 4";
    QTest::newRow("no results") << "@@Sales.Amount.:lessThan(-1)@@"
                                << "No results";
    QTest::newRow("list lines") << "@@Sales.Name.:list(num)@@"
                                << "1. Apple\n2. banana\n3. Cherry";
    QTest::newRow("calculation") << "!!1/3!!"
                                 << "0.3333333333";
    QTest::newRow("calculation whole") << "!! 2*3 !!"
                                       << "6";
    QTest::newRow("calculation error stays") << "!!2+*3!!"
                                             << "!!2+*3!!";
    QTest::newRow("empty calculation stays") << "!!!!"
                                             << "!!!!";
    QTest::newRow("blank calculation stays") << "!! !!"
                                             << "!! !!";
    QTest::newRow("math library") << "!!sqrt(2)!!"
                                  << "1.4142135623";
    QTest::newRow("calculation over a formula") << "!!@@Sales.Amount.:sum@@*2!!"
                                                << "60";
    QTest::newRow("variable") << "$HELLO$"
                              << "Hi there!";
    QTest::newRow("unknown variable goes") << "a$FOO$b"
                                           << "ab";
}

void TestReportParser::plainEvaluation()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(evaluate(text), expected);
}

void TestReportParser::noMarkupGivesIdenticalCopy()
{
    QTextDocument templ;
    QTextCursor cursor(&templ);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(QStringLiteral("Plain "));
    cursor.insertText(QStringLiteral("bold @ ! $ text"), bold);
    const QString before = templ.toHtml();
    const std::unique_ptr<QTextDocument> result =
        LMReportParser::parseTextStorage(templ, QString(), *m_document->database());
    QCOMPARE(result->toHtml(), before);
    QCOMPARE(templ.toHtml(), before);
}

void TestReportParser::replacementKeepsAttributes()
{
    QTextDocument templ;
    QTextCursor cursor(&templ);
    QTextCharFormat italic;
    italic.setFontItalic(true);
    QTextCharFormat red;
    red.setForeground(Qt::red);
    cursor.insertText(QStringLiteral("Sum "));
    cursor.insertText(QStringLiteral("@"), red);
    cursor.insertText(QStringLiteral("@Sales.Amount.:sum@@"), italic);
    cursor.insertText(QStringLiteral(" end"), QTextCharFormat());
    const std::unique_ptr<QTextDocument> result =
        LMReportParser::parseTextStorage(templ, QString(), *m_document->database());
    QCOMPARE(result->toPlainText(), QStringLiteral("Sum 30 end"));
    // The value takes the attributes of the first character it replaced; its neighbours keep theirs.
    QTextCursor check(result.get());
    check.setPosition(5);
    QCOMPARE(check.charFormat().foreground().color(), QColor(Qt::red));
    QVERIFY(!check.charFormat().fontItalic());
    check.setPosition(6);
    QCOMPARE(check.charFormat().foreground().color(), QColor(Qt::red));
    check.setPosition(8);
    QVERIFY(!check.charFormat().fontItalic());
    QVERIFY(check.charFormat().foreground().style() == Qt::NoBrush);
}

void TestReportParser::asTableInsertsTable()
{
    const std::unique_ptr<QTextDocument> templ =
        ReportFixture::textDocument(QStringLiteral("Before @@N.:asTable.:header.:showOnly(Y)@@ after"));
    const std::unique_ptr<QTextDocument> result =
        LMReportParser::parseTextStorage(*templ, QString(), *m_document->database());
    QTextTable *table = nullptr;
    for (QTextFrame *frame : result->rootFrame()->childFrames())
        table = table ? table : qobject_cast<QTextTable *>(frame);
    QVERIFY(table);
    QCOMPARE(table->rows(), 5);
    QCOMPARE(table->columns(), 1);
    QCOMPARE(table->cellAt(0, 0).firstCursorPosition().block().text(), QStringLiteral("Y"));
    QCOMPARE(table->cellAt(4, 0).firstCursorPosition().block().text(), QStringLiteral("4"));
    QVERIFY(result->toPlainText().startsWith(QStringLiteral("Before ")));
    QVERIFY(result->toPlainText().endsWith(QStringLiteral(" after")));
    QVERIFY(!result->toPlainText().contains(QStringLiteral("@@")));
}

void TestReportParser::mailMerge_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("pages");
    QTest::newRow("fields") << "<<Name>>: <<Amount>>"
                            << "Sales" << QStringList{"Apple: 10.0", "banana: abc", "Cherry: 20.0"};
    QTest::newRow("current page only") << "Page $CUR$ of @@Sales.:count@@"
                                       << "Sales" << QStringList{"Page 1 of 3", "Page 2 of 3", "Page 3 of 3"};
    QTest::newRow("CURRENT") << "<<Name>> $CURRENT$"
                             << "Sales" << QStringList{"Apple 1", "banana 2", "Cherry 3"};
    QTest::newRow("blank name stays") << "<< >> <<Name>>"
                                      << "Sales" << QStringList{"<< >> Apple", "<< >> banana", "<< >> Cherry"};
    QTest::newRow("null field") << "<<Customer>>"
                                << "Sales" << QStringList{"1", "2,3", "<null>"};
    QTest::newRow("unknown field stays") << "<<Nosuch>>"
                                         << "N" << QStringList{"<<Nosuch>>", "<<Nosuch>>", "<<Nosuch>>", "<<Nosuch>>"};
    QTest::newRow("calculation around a field") << "!!<<Amount>>*2!!"
                                                << "Sales" << QStringList{"20", "!!abc*2!!", "40"};
    QTest::newRow("formula around a field") << "@@Sales.<<id>>.Name@@"
                                            << "Sales" << QStringList{"Apple", "banana", "Cherry"};
    QTest::newRow("no content table") << "<<Name>>"
                                      << "None" << QStringList{""};
    QTest::newRow("empty table") << "<<X>>"
                                 << "E" << QStringList{""};
}

void TestReportParser::mailMerge()
{
    QFETCH(QString, text);
    QFETCH(QString, table);
    QFETCH(QStringList, pages);
    QCOMPARE(evaluate(text, table).split(QChar(12)), pages);
}

void TestReportParser::mailMergeOfSomeRecords()
{
    const std::unique_ptr<QTextDocument> templ = ReportFixture::textDocument(QStringLiteral("<<Name>> $CUR$"));
    const std::unique_ptr<QTextDocument> result =
        LMReportDocument::evaluate(*templ, QStringLiteral("Sales"), *m_document->database(),
                                   QStringList{QStringLiteral("3"), QStringLiteral("1")});
    QCOMPARE(result->toPlainText(), QStringLiteral("Cherry 1\fApple 2"));
}

void TestReportParser::insertedDataIsNeverEvaluated()
{
    // Data that looks like markup is shown as it is: no formula, variable or calculation runs from it.
    const QString markup = QStringLiteral("@@Sales.:count@@ $HELLO$ !!1+1!! @?Paid.:count?@ <<Name>>");
    ReportFixture::setCell(*m_document, QStringLiteral("Sales"), QStringLiteral("Name"), QStringLiteral("2"), markup);
    QCOMPARE(evaluate(QStringLiteral("<<Name>>|$HELLO$"), QStringLiteral("Sales")).split(QChar(12)).at(1),
             markup + QStringLiteral("|Hi there!"));
    QCOMPARE(evaluate(QStringLiteral("@@Sales.2.Name@@ @@N.:count@@")), markup + QStringLiteral(" 4"));
    ReportFixture::setCell(*m_document, QStringLiteral("Sales"), QStringLiteral("Name"), QStringLiteral("2"),
                           QStringLiteral("banana"));
}

void TestReportParser::variables_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    const double now = ReferenceDate::now();
    QTest::newRow("date") << "$DATE$" << DateFormatter(DateFormatter::Long, DateFormatter::None).format(now);
    QTest::newRow("time") << "$TIME$" << DateFormatter(DateFormatter::None, DateFormatter::Short).format(now);
    QTest::newRow("date pattern") << "$DATE(yyyy-MM-dd)$"
                                  << "2024-03-15";
    QTest::newRow("time pattern") << "$TIME(HH:mm)$"
                                  << "12:34";
    QTest::newRow("empty options do not match") << "$DATE()$"
                                                << "$DATE()$";
    QTest::newRow("lower case stays") << "$date$"
                                      << "$date$";
    QTest::newRow("hello") << "$HELLO$!"
                           << "Hi there!!";
    QTest::newRow("hello with options") << "$HELLO(x)$"
                                        << "";
    QTest::newRow("MY without options") << "[$MY$]"
                                        << "[]";
    QTest::newRow("unknown") << "[$FOO$]"
                             << "[]";
    QTest::newRow("joined after removal") << "$$FOO$HELLO$"
                                          << "Hi there!";
}

void TestReportParser::variables()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(evaluate(text), expected);
}

void TestReportParser::contactCard_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("name") << "Name"
                          << "Ada Lovelace";
    QTest::newRow("first name") << "first name"
                                << "Ada";
    QTest::newRow("surname") << "Surname"
                             << "Lovelace";
    QTest::newRow("last name") << "Last Name"
                               << "Lovelace";
    QTest::newRow("street") << "Road"
                            << "12 St James's Square";
    QTest::newRow("city") << "Town"
                          << "London";
    QTest::newRow("state") << "County"
                           << "Greater London";
    QTest::newRow("postcode") << "Postcode"
                              << "SW1Y 4JH";
    QTest::newRow("zip") << "ZIP code"
                         << "SW1Y 4JH";
    QTest::newRow("country") << "Country"
                             << "United Kingdom";
    QTest::newRow("address") << "Address"
                             << "12 St James's Square\nLondon, Greater London SW1Y 4JH\nUnited Kingdom";
    QTest::newRow("email address") << "email address"
                                   << "ada@example.org";
    QTest::newRow("e-mail does not match") << "e-mail"
                                           << "";
    QTest::newRow("web site") << "Web Site"
                              << "https://example.org/ada";
    QTest::newRow("organisation") << "Organisation"
                                  << "Analytical Engines, Ltd";
    QTest::newRow("company") << "Company Name"
                             << "Analytical Engines, Ltd";
    QTest::newRow("job") << "Job title"
                         << "Programmer";
    QTest::newRow("no match") << "Shoe size"
                              << "";
}

void TestReportParser::contactCard()
{
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QCOMPARE(evaluate(QStringLiteral("$MY(%1)$").arg(key)), QString());
    QVERIFY(!writeCard(QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lovelace;Ada;;;\r\nFN:Ada Lovelace\r\n"
                                      "ORG:Analytical Engines\\, Ltd;Research\r\nTITLE:Program\r\n mer\r\n"
                                      "item1.EMAIL;TYPE=INTERNET:ada@example.org\r\nEMAIL:second@example.org\r\n"
                                      "URL:https://example.org/ada\r\n"
                                      "ADR;TYPE=HOME:;;12 St James's Square;London;Greater London;SW1Y 4JH;United "
                                      "Kingdom\r\nEND:VCARD\r\n"))
                 .isEmpty());
    QCOMPARE(evaluate(QStringLiteral("$MY(%1)$").arg(key)), expected);
}

void TestReportParser::cardValueLookingLikeVariableEnds()
{
    writeCard(QStringLiteral("BEGIN:VCARD\nN:$MY(Name)$;$HELLO$\nEND:VCARD\n"));
    QCOMPARE(evaluate(QStringLiteral("$MY(Name)$ $HELLO$")), QStringLiteral("$HELLO$ $MY(Name)$ Hi there!"));
}

void TestReportParser::queryFormulas_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("sum") << "@?Paid.Amount.:sum?@"
                         << "30";
    QTest::newRow("names") << "@?Paid.Name.:list?@"
                           << "Apple, Cherry";
    QTest::newRow("two formulas") << "@?Paid.:count?@ @?Paid.:count?@"
                                  << "2 2";
    QTest::newRow("table name") << "@?Paid.:tablename?@"
                                << "?Paid";
    QTest::newRow("no conditions") << "@?Everything.:count?@"
                                   << "3";
    QTest::newRow("unknown query stays") << "@?Nosuch.:count?@"
                                         << "@?Nosuch.:count?@";
    QTest::newRow("no table stays") << "@?Tableless.:count?@"
                                    << "@?Tableless.:count?@";
    QTest::newRow("failing chain stays") << "@?Paid.Nosuch.:sum?@"
                                         << "@?Paid.Nosuch.:sum?@";
    QTest::newRow("with data formula") << "@@Sales.:count@@ @?Paid.:count?@"
                                       << "3 2";
}

void TestReportParser::queryFormulas()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(evaluate(text), expected);
}

void TestReportParser::queryFormulaLeavesNothingBehind()
{
    OXDatabase &db = *m_document->database();
    const QStringList tablesBefore = db.tablesList();
    QCOMPARE(evaluate(QStringLiteral("@?Paid.Amount.:sum?@ @?Paid.Nosuch?@ @?Paid.:asTable?@")).left(3),
             QStringLiteral("30 "));
    QCOMPARE(db.tablesList(), tablesBefore);
    QVERIFY(!db.temporaryTables().contains(QStringLiteral("?Paid")));
    QVERIFY(!m_document->isChanged());
    // A document table whose name is the temporary one is neither removed nor read.
    Value shadow = Value::dict({{"Name", Value("?Paid")}, {"Fields", Value::array()}});
    db.createTableDesign(shadow);
    QCOMPARE(evaluate(QStringLiteral("@?Paid.:count?@")), QStringLiteral("2"));
    QVERIFY(db.tablesList().contains(QStringLiteral("?Paid")));
    db.deleteTableDesign(QStringLiteral("?Paid"));
}

void TestReportParser::calculatorCleaning_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("expected");
    QTest::newRow("fraction") << ".5000000000\n"
                              << "0.5";
    QTest::newRow("whole with zeros") << "12.0000000000\n"
                                      << "12";
    QTest::newRow("no point") << "6\n"
                              << "6\n";
    QTest::newRow("negative") << "-.2500000000"
                              << "-.25";
    QTest::newRow("zero") << "0.0000000000"
                          << "0";
}

void TestReportParser::calculatorCleaning()
{
    QFETCH(QString, output);
    QFETCH(QString, expected);
    QCOMPARE(LMCalculator::cleanOutput(output), expected);
}

void TestReportParser::calculatorFilter_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<bool>("arithmetic");
    QTest::newRow("operators") << "(1+2)*3/4-5%6^2" << true;
    QTest::newRow("functions") << "s(1) + c (2) + sqrt(4) + l(e(1))" << true;
    QTest::newRow("comparison") << "2 >= 1" << true;
    QTest::newRow("variable") << "x" << false;
    QTest::newRow("assignment") << "scale=100" << false;
    QTest::newRow("statements") << "1;2" << false;
    QTest::newRow("loop") << "while(1){}" << false;
    QTest::newRow("function without call") << "sqrt" << false;
    QTest::newRow("definition") << "define f(x){return x}" << false;
    QTest::newRow("quote") << "\"text\"" << false;
}

void TestReportParser::calculatorFilter()
{
    QFETCH(QString, expression);
    QFETCH(bool, arithmetic);
    QCOMPARE(LMCalculator::isArithmetic(expression), arithmetic);
}

void TestReportParser::calculatorThroughProcessSeam()
{
    QStringList inputs;
    bool bounded = true;
    LMCalculator::setProcessRunner([&](const QString &program, const QStringList &arguments, const QByteArray &input,
                                       int timeoutMs) -> std::optional<QByteArray> {
        inputs << program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')) + QLatin1Char('|') +
                      QString::fromUtf8(input);
        bounded = bounded && timeoutMs > 0;
        if (input.contains("9"))
            return std::nullopt; // ran out of time
        if (input.contains("8"))
            return QByteArray("Runtime error (func=(main), adr=3): Divide by zero\n");
        return QByteArray("(standard_in) 1: syntax error\n");
    });
    QCOMPARE(evaluate(QStringLiteral("!!1+1!! !!9^9^9!! !!8/0!! !!x!!")),
             QStringLiteral("!!1+1!! !!9^9^9!! Runtime error (func=(main), adr=3): Divide by zero !!x!!"));
    QCOMPARE(inputs.size(), 3);
    QVERIFY2(bounded, "a calculation is always bounded in time");
    QCOMPARE(inputs.first(), QStringLiteral("/usr/bin/bc -lq|scale = 10; 1+1\n"));
}

void TestReportParser::progressReachesOne()
{
    const std::unique_ptr<QTextDocument> templ =
        ReportFixture::textDocument(QStringLiteral("<<Name>> @@Sales.:count@@ !!1+1!! @?Paid.:count?@"));
    ProgressRecorder recorder;
    LMReportDocument::evaluate(*templ, QStringLiteral("Sales"), *m_document->database(), std::nullopt, &recorder);
    QVERIFY(!recorder.values.isEmpty());
    for (int i = 1; i < recorder.values.size(); ++i)
        QVERIFY(recorder.values.at(i) >= recorder.values.at(i - 1));
    QCOMPARE(recorder.values.last(), 1.0f);
}

void TestReportParser::storedReportEvaluates()
{
    // The template goes through its stored form and back with its attributes; evaluation leaves it unchanged.
    QTextDocument templ;
    QTextCursor cursor(&templ);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(QStringLiteral("<<Name>>"), bold);
    cursor.insertText(QStringLiteral(" owes @@Sales.Amount.:sum@@"), QTextCharFormat());
    const Value stored = LMReportDocument::storedTemplate(templ);
    Value report =
        Value::dict({{"Name", Value("Dues")}, {"Content Table", Value("Sales")}, {"Attributed String", stored}});
    const std::unique_ptr<QTextDocument> decoded = LMReportDocument::templateForReport(report);
    QCOMPARE(decoded->toPlainText(), templ.toPlainText());
    const std::unique_ptr<QTextDocument> result = LMReportDocument::evaluate(
        *decoded, LMReportDocument::contentTable(report), *m_document->database(), QStringList{QStringLiteral("1")});
    QCOMPARE(result->toPlainText(), QStringLiteral("Apple owes 30"));
    QTextCursor check(result.get());
    check.setPosition(2);
    QCOMPARE(check.charFormat().fontWeight(), int(QFont::Bold));
    check.setPosition(8);
    QVERIFY(check.charFormat().fontWeight() != int(QFont::Bold));
    QCOMPARE(report.value(QStringLiteral("Attributed String")), stored);
    report.set(QStringLiteral("Content Table"), QStringLiteral("None"));
    QCOMPARE(LMReportDocument::contentTable(report), QString());
    QVERIFY(!LMReportDocument::lockedAlert(report));
    report.set(QStringLiteral("Locked"), true);
    QCOMPARE(LMReportDocument::lockedAlert(report)->informativeText,
             QStringLiteral("This object is locked. You cannot use it."));
}

QTEST_MAIN(TestReportParser)
#include "test_report_parser.moc"
