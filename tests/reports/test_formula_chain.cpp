// Tests of formula chains: grids, rows, columns, values and selections over the sales document.
#include "DesignFixture.h"
#include "LMReportParser.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "OXFormulaObject.h"
#include "TestEnvironment.h"
#include "support/ReportFixture.h"

#include <QtTest>

class TestFormulaChain : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void chain_data();
    void chain();
    void dateExtremesShowAsDates();
    void selectionKinds();
    void relationshipsReadLinksOnce();
    void textTableComesBack();
    void bigColumnsInAnyOrder();

private:
    std::optional<QString> evaluate(const QString &formula) const;
    TestEnvironment m_environment;
    std::unique_ptr<MyDocument> m_document;
};

void TestFormulaChain::initTestCase()
{
    QString error;
    m_document = ReportFixture::salesDocument(&error);
    QVERIFY2(m_document, qPrintable(error));
}

std::optional<QString> TestFormulaChain::evaluate(const QString &formula) const
{
    const OXObjectPtr object =
        LMReportParser::evaluateChain(*m_document->database(), LMReportParser::components(formula));
    if (!object)
        return std::nullopt;
    return object->insertedText();
}

void TestFormulaChain::chain_data()
{
    QTest::addColumn<QString>("formula");
    QTest::addColumn<bool>("evaluates");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *formula, const char *expected) {
        QTest::newRow(formula) << QString::fromUtf8(formula) << true << QString::fromUtf8(expected);
    };
    const auto none = [](const char *formula) {
        QTest::newRow(formula) << QString::fromUtf8(formula) << false << QString();
    };

    // Counting and the sums of a column with a text that reads as 0.
    row("Sales.:count", "3");
    row("Sales.Amount.:recordcount", "3");
    row("Sales.Amount.:sum", "30");
    row("Sales.Amount.:average", "10");
    row("Sales.Amount.:max", "20");
    row("Sales.Amount.:min", "0");
    row("Sales.Amount.:median", "10");
    row("Sales.Amount.:range", "20");
    row("Sales.Amount.:midRange", "10");
    row("Sales.Amount.:product", "0.000000");
    row("Sales.Amount.:rms", "12.90994448735806");
    none("Sales.Name.:sum");
    none("Sales.Day.:sum");
    none("Sales.Photo");
    none("Sales.Nosuchfield");
    none("Nosuchtable.Amount");
    none("Sales");
    none("Sales.Amount");
    none("Sales.2");
    // Averages of several kinds, medians of odd and even counts.
    row("N.Y.:sum", "10");
    row("N.Y.:mean", "2.5");
    row("N.Y.:median", "2.5");
    row("N.Y.:last(3).:median", "3");
    row("N.Y.:product", "24.000000");
    row("N.Y.:average(Geometric mean)", "2.213363839400643");
    row("N.Y.:avg(HARMONIC)", "1.92");
    row("N.Y.:avg(median)", "2.5");
    row("N.Y.:average(midrange)", "2.5");
    row("N.Y.:quadraticMean", "2.738612787525831");
    none("N.Y.:average(foo)");
    none("N.X.:harmonicMean");
    row("N.X.:geomean", "0");
    row("N.X.:mode", "2.5");
    // Slices and record numbers; a number column's stored text is SQLite's text of the REAL.
    row("N.Y.:first(2).:list", "1.0, 2.0");
    row("N.Y.:last(2).:list", "3.0, 4.0");
    row("N.Y.:first(99).:count", "4");
    row("N.:first(2).:count", "2");
    row("N.:last.Y", "4.0");
    row("N.3.Y", "3.0");
    row("N.Y.2", "2.0");
    none("N.5");
    none("N.Y.5");
    none("N.0");
    row("N.3.7.Y", "3.0");
    row("N.:tablename", "N");
    row("N.Y.:first", "1.0");
    // Lists in every style.
    row("Sales.Name.:list", "Apple, banana, Cherry");
    row("Sales.Name.:list(semicolon)", "Apple;\nbanana;\nCherry");
    row("Sales.Name.:list(NEWLINE)", "Apple\nbanana\nCherry");
    row("Sales.Name.:list(bullets)", "• Apple\n• banana\n• Cherry");
    row("Sales.Name.:list(asterisk)", "* Apple\n* banana\n* Cherry");
    row("Sales.Name.:list(numbered)", "1. Apple\n2. banana\n3. Cherry");
    row("Sales.Name.:list(Roman)", "I. Apple\nII. banana\nIII. Cherry");
    row("Sales.Name.:list(overkill)", "Indeed, this is complete overkill.");
    row("Sales.Name.:list(whatever)", "Apple, banana, Cherry");
    row("Sales.Name.:first(1).:list(num)", "1. Apple");
    // Sorting by native values, not text: 20, 10 and "abc" (0) descending.
    row("Sales.:desc(Amount).Name.:list", "Cherry, Apple, banana");
    row("Sales.:asc(Amount).Name.:list", "banana, Apple, Cherry");
    row("N.X.:sort.:list", "-2.5, 0.0, 2.0, 2.5");
    row("N.X.:descending.:list", "2.5, 2.0, 0.0, -2.5");
    row("Sales.Name.:sort.:list", "Apple, Cherry, banana");
    none("Sales.:sort(Nosuchfield)");
    row("Sales.Name.:distinct.:count", "3");
    // Empty table.
    row("E.:count", "0");
    row("E.X.:count", "0");
    row("E.X.:sum", "0");
    row("E.X.:product", "1.000000");
    row("E.X.:mode", "");
    row("E.X.:list(num)", "");
    none("E.X.:average");
    none("E.X.:max");
    none("E.X.:median");
    none("E.:first");
    // Scalar mathematics of one value.
    row("N.1.X.:round", "3");
    row("N.2.X.:round", "-3");
    row("N.1.X.:floor", "2");
    row("N.2.X.:abs", "2.5");
    row("N.3.X.:sqrt", "1.414214");
    row("N.3.X.:root(2)", "1.414214");
    row("N.3.X.:pow(3)", "8");
    row("N.3.X.:log(2)", "1");
    row("N.4.X.:cos", "1");
    row("N.4.X.:reciprocal", "inf");
    row("N.3.X.:reciprocal", "0.5");
    row("N.3.X.:ln.:exp", "2");
    none("N.3.X.:pow(0)");
    none("N.3.X.:log(0)");
    none("N.3.X.:root(0)");
    none("Sales.1.Name.:sqrt");
    none("N.3.X.:nosuchfunction");
    // Other value functions.
    row("Sales.1.Name.:length", "5");
    row("Sales.1.Name.:reverse", "elppA");
    row("Sales.1.Name.:tablename", "Sales");
    row("Sales.1.Name.anything", "Apple");
    row("Sales.2.Amount.:unformatted", "abc");
    row("N.Y.:first.:row.Y", "1.0");
    none("N.Y.:sum.:row");
    row("Sales.1.:id", "1");
    row("Sales.1.:grid.:count", "3");
    row("Sales.Amount.:lessThan(15).:grid.:count", "0");
    row("Sales.Amount.:grid.:count", "3");
    row("Sales.Amount.:first.:column.:sum", "30");
    // Selections run over the whole table.
    row("Sales.Amount.:lessThan(15).Name", "Apple");
    none("Sales.Amount.:lessThan(15).:count");
    row("Sales.Amount.:lessThan(-5)", "No results");
    row("Sales.Name.:startsWith(b).Name", "banana");
    row("Sales.Name.:contains(e).:count", "2");
    row("Sales.Name.:endsWith(RRY).Name", "Cherry");
    row("Sales.Name.:caseInsensitiveEqualTo(APPLE).Name", "Apple");
    row("Sales.Name.:equalTo(O'Hara)", "No results");
    row("Sales.Name.:isNotEqualTo(Apple).:count", "2");
    row("Sales.Paid.:isYes.:count", "2");
    row("Sales.Paid.:isNo.Name", "banana");
    none("Sales.Name.:isYes");
    none("Sales.Name.:lessThan(3)");
    row("Sales.Amount.:first(1).:equalTo(2,0).Name", "Cherry");
    // Relationships: one linked id gives a row, several a grid, none an empty grid.
    row("Sales.1.Customer.Name", "Ada");
    row("Sales.2.Customer.:count", "2");
    row("Sales.2.Customer.Name.:list", "Bob, Cy");
    row("Sales.3.Customer.:count", "0");
    row("Sales.Customer.:count", "3");
    row("Customers.Orders.:count", "3");
    row("Customers.2.Orders.Name", "banana");
}

void TestFormulaChain::chain()
{
    QFETCH(QString, formula);
    QFETCH(bool, evaluates);
    QFETCH(QString, expected);
    const std::optional<QString> result = evaluate(formula);
    QCOMPARE(result.has_value(), evaluates);
    if (evaluates)
        QCOMPARE(*result, expected);
}

void TestFormulaChain::dateExtremesShowAsDates()
{
    // The largest date is shown with the field's date format; a count of the same column is a plain number.
    const std::optional<QString> latest = evaluate(QStringLiteral("Sales.Day.:max"));
    const std::optional<QString> third = evaluate(QStringLiteral("Sales.3.Day"));
    QVERIFY(latest && third);
    QCOMPARE(*latest, *third);
    QVERIFY(!latest->isEmpty());
    QVERIFY(*latest != QLatin1String("172800"));
    QCOMPARE(evaluate(QStringLiteral("Sales.Day.:min")), evaluate(QStringLiteral("Sales.1.Day")));
    QCOMPARE(evaluate(QStringLiteral("Sales.Day.:count")), std::optional<QString>(QStringLiteral("3")));
    QCOMPARE(evaluate(QStringLiteral("Sales.Day.:list")).value_or(QString()).count(QLatin1Char(',')), 2);
    // The formatted and unformatted texts of a date are shown as they are, not formatted once more.
    QCOMPARE(evaluate(QStringLiteral("Sales.3.Day.:format")), third);
    QCOMPARE(evaluate(QStringLiteral("Sales.3.Day.:unformatted")).value_or(QString()).toDouble(), 172800.0);
    QCOMPARE(evaluate(QStringLiteral("Sales.3.Day.:length")), std::optional<QString>(QString::number(third->size())));
}

void TestFormulaChain::selectionKinds()
{
    OXDatabase &db = *m_document->database();
    const auto kind = [&](const QString &formula) {
        const OXObjectPtr object = LMReportParser::evaluateChain(db, LMReportParser::components(formula));
        return object ? int(object->kind()) : -1;
    };
    QCOMPARE(kind(QStringLiteral("Sales.Amount.:lessThan(15)")), int(OXFormulaObject::Kind::Row));
    QCOMPARE(kind(QStringLiteral("Sales.Name.:contains(e)")), int(OXFormulaObject::Kind::Grid));
    QCOMPARE(kind(QStringLiteral("Sales.Amount.:lessThan(-5)")), int(OXFormulaObject::Kind::Text));
    QCOMPARE(kind(QStringLiteral("Sales.1.Customer")), int(OXFormulaObject::Kind::Row));
    QCOMPARE(kind(QStringLiteral("Sales.2.Customer")), int(OXFormulaObject::Kind::Grid));
    QCOMPARE(kind(QStringLiteral("Sales.:asTable")), int(OXFormulaObject::Kind::TextTable));
    QCOMPARE(kind(QStringLiteral("Sales.Name")), int(OXFormulaObject::Kind::Column));
}

void TestFormulaChain::relationshipsReadLinksOnce()
{
    // A link list with blanks and null-like parts still names the right records.
    ReportFixture::setCell(*m_document, QStringLiteral("Sales"), QStringLiteral("Customer"), QStringLiteral("3"),
                           QStringLiteral(" 3, <null>,1 "));
    QCOMPARE(evaluate(QStringLiteral("Sales.3.Customer.Name.:list")),
             std::optional<QString>(QStringLiteral("Cy, Ada")));
    QCOMPARE(evaluate(QStringLiteral("Sales.Customer.:count")), std::optional<QString>(QStringLiteral("5")));
    ReportFixture::setCell(*m_document, QStringLiteral("Sales"), QStringLiteral("Customer"), QStringLiteral("3"),
                           QString());
}

void TestFormulaChain::textTableComesBack()
{
    // Option functions chain on the same text table; an unknown option or a field component gives nothing.
    OXDatabase &db = *m_document->database();
    const OXObjectPtr table = LMReportParser::evaluateChain(
        db, LMReportParser::components(QStringLiteral("Sales.:asTable.:header.:limit(2, 1).:side(FF0000)")));
    QVERIFY(table);
    QCOMPARE(int(table->kind()), int(OXFormulaObject::Kind::TextTable));
    QVERIFY(!LMReportParser::evaluateChain(db, LMReportParser::components(QStringLiteral("Sales.:asTable.Name"))));
    QVERIFY(!LMReportParser::evaluateChain(db, LMReportParser::components(QStringLiteral("Sales.:asTable.:bogus"))));
}

void TestFormulaChain::bigColumnsInAnyOrder()
{
    // Enough records for a column to be read in one pass over the table, in table order and reordered.
    QString error;
    const std::unique_ptr<MyDocument> document = DesignFixture::newDocument(
        {DesignFixture::table(QStringLiteral("Big"),
                              {DesignFixture::field(QStringLiteral("V"), QStringLiteral("Number"))})},
        &error);
    QVERIFY2(document, qPrintable(error));
    OXDatabase &db = *document->database();
    db.performQuery(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2500) "
                                   "INSERT INTO Big (V) SELECT i FROM n"));
    QCOMPARE(db.lastErrorID(), 0);
    const auto evaluate = [&](const char *formula) {
        const OXObjectPtr object =
            LMReportParser::evaluateChain(db, LMReportParser::components(QString::fromUtf8(formula)));
        return object ? object->insertedText().value_or(QStringLiteral("(no text)")) : QStringLiteral("(nothing)");
    };
    QCOMPARE(evaluate("Big.V.:sum"), QStringLiteral("3126250"));
    QCOMPARE(evaluate("Big.:desc(V).V.:first"), QStringLiteral("2500.0"));
    QCOMPARE(evaluate("Big.:desc(V).V.:last(3).:list"), QStringLiteral("3.0, 2.0, 1.0"));
    QCOMPARE(evaluate("Big.:desc(V).V.:median"), QStringLiteral("1250.5"));
    QCOMPARE(evaluate("Big.V.:desc.:first(2).:list"), QStringLiteral("2500.0, 2499.0"));
    db.performQuery(QStringLiteral("DELETE FROM Big WHERE id = 7"));
    QCOMPARE(evaluate("Big.V.:sum"), QStringLiteral("3126243"));
}

QTEST_MAIN(TestFormulaChain)
#include "test_formula_chain.moc"
