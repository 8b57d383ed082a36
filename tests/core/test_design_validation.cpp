// Tests of the validating write of one cell (rules, their order and alerts) and of deleting a row.
#include "DesignFixture.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "QLiteCursor.h"
#include "TestEnvironment.h"

#include <QtTest>

using namespace DesignFixture;

namespace {
const QString kTable = QStringLiteral("People");

Alert alert(const char *message, const QString &informative)
{
    return Alert::make(QString::fromUtf8(message), informative);
}

Alert invalidNumber(const QString &c)
{
    return alert(
        "Number is invalid",
        QStringLiteral("The number you entered did not pass the validation checks required by field \"%1\"").arg(c));
}

Alert invalidValue(const QString &c)
{
    return alert(
        "Value is invalid",
        QStringLiteral("The value you entered did not pass the validation checks required by field \"%1\"").arg(c));
}

const Alert kDatabaseError = Alert::make(
    QStringLiteral("Internal Error"),
    QStringLiteral("The database encountered an unknown error. It's probably a bug in the program, or a corrupt "
                   "database. Please report."));
} // namespace

class TestDesignValidation : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void notNull_data();
    void notNull();
    void uniqueRefusesExistingValues();
    void checksRunInOrder();
    void regex_data();
    void regex();
    void regexOnlyForText();
    void numberRounding_data();
    void numberRounding();
    void bounds_data();
    void bounds();
    void awkwardTextSurvives_data();
    void awkwardTextSurvives();
    void nonIntegerRowidDoesNotInject();
    void missingFieldOrColumn();
    void successMarksDocumentChanged();
    void deleteFromTable();

private:
    Value field(const QString &name) const { return m_doc->database()->fieldForTable(kTable, name); }
    QString cell(const QString &column, const QString &id) const { return cellText(*m_doc, kTable, column, id); }
    // REAL columns read back in SQLite's own number text ("5.0" for a stored "5"): compare by value.
    void verifyNumberCell(const QString &id, const QString &expected) const
    {
        const QString actual = cell("Amount", id);
        QCOMPARE(actual.isEmpty(), expected.isEmpty());
        QCOMPARE(Value(actual).toDouble(), Value(expected).toDouble());
    }
    OXDatabase *db() const { return m_doc->database(); }

    TestEnvironment m_env;
    std::unique_ptr<MyDocument> m_doc;
    QString m_row1, m_row2;
};

void TestDesignValidation::init()
{
    const Value design = table(
        kTable, {DesignFixture::field("Name", "Text", {{"Not Null", true}}),
                 DesignFixture::field("Code", "Text", {{"Unique", true}}),
                 DesignFixture::field("Strict", "Text", {{"Not Null", true}, {"Unique", true}, {"Regex", "^[A-Z]+$"}}),
                 DesignFixture::field("Pattern", "Text"), DesignFixture::field("Amount", "Number"),
                 DesignFixture::field("Notes", "Text"), DesignFixture::field("Photo", "Image")});
    QString error;
    m_doc = newDocumentWithTable(design, &error);
    QVERIFY2(m_doc, qPrintable(error));
    m_row1 = insertRow(*m_doc, kTable);
    m_row2 = insertRow(*m_doc, kTable);
    QCOMPARE(m_row1, QStringLiteral("1"));
    QCOMPARE(m_row2, QStringLiteral("2"));
    m_env.ui().reset();
}

void TestDesignValidation::cleanup()
{
    m_doc.reset();
}

void TestDesignValidation::notNull_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("refused");
    QTest::newRow("empty") << "" << true;
    QTest::newRow("<null>") << "<null>" << true;
    QTest::newRow("(null)") << "(null)" << true;
    QTest::newRow("blank is data") << " " << false;
    QTest::newRow("text") << "Ada" << false;
}

void TestDesignValidation::notNull()
{
    QFETCH(QString, value);
    QFETCH(bool, refused);
    QVERIFY(!db()->insertDbValue(QStringLiteral("before"), kTable, "Name", m_row1, false));
    const std::optional<Alert> result = db()->insertNativeValue(Value(value), kTable, "Name", m_row1);
    if (refused) {
        QVERIFY(result);
        QCOMPARE(*result, alert("Value is Null", "The field \"Name\" requires you to enter data"));
        QCOMPARE(cell("Name", m_row1), QStringLiteral("before"));
    } else {
        QVERIFY(!result);
        QCOMPARE(cell("Name", m_row1), value);
    }
    // A nil native value is refused too.
    QVERIFY(db()->insertNativeValue(Value(), kTable, "Name", m_row2));
}

void TestDesignValidation::uniqueRefusesExistingValues()
{
    const Alert notUnique =
        alert("Value isn't Unique", "The field \"Code\" requires that the value you enter is unique");
    QVERIFY(!db()->insertNativeValue(Value("O'Neil"), kTable, "Code", m_row1));
    std::optional<Alert> result = db()->insertNativeValue(Value("O'Neil"), kTable, "Code", m_row2);
    QVERIFY(result);
    QCOMPARE(*result, notUnique);
    QCOMPARE(cell("Code", m_row2), QStringLiteral(""));
    // The row being written counts: its own current value is refused as well.
    result = db()->insertNativeValue(Value("O'Neil"), kTable, "Code", m_row1);
    QVERIFY(result);
    QCOMPARE(*result, notUnique);
    // Comparison is exact.
    QVERIFY(!db()->insertNativeValue(Value("o'neil"), kTable, "Code", m_row2));
    QCOMPARE(cell("Code", m_row2), QStringLiteral("o'neil"));
    // The escaped entry point checks the same unescaped value.
    result = db()->insertDbValue(QStringLiteral("O''Neil"), kTable, "Code", m_row2, true);
    QVERIFY(result);
    QCOMPARE(*result, notUnique);
}

void TestDesignValidation::checksRunInOrder()
{
    // "Strict": not null, unique and a pattern; each failing value shows the first rule it breaks.
    QVERIFY(!db()->insertNativeValue(Value("ABC"), kTable, "Strict", m_row1));
    std::optional<Alert> result = db()->insertNativeValue(Value(""), kTable, "Strict", m_row2);
    QVERIFY(result);
    QCOMPARE(result->messageText, QStringLiteral("Value is Null"));
    // A value that is both taken and off-pattern is refused as not unique first.
    db()->performQuery(QStringLiteral("UPDATE `People` SET `Strict`='abc' WHERE id=1"));
    result = db()->insertNativeValue(Value("abc"), kTable, "Strict", m_row2);
    QVERIFY(result);
    QCOMPARE(result->messageText, QStringLiteral("Value isn't Unique"));
    result = db()->insertNativeValue(Value("abd"), kTable, "Strict", m_row2);
    QVERIFY(result);
    QCOMPARE(*result, invalidValue("Strict"));
    QVERIFY(!db()->insertNativeValue(Value("ABD"), kTable, "Strict", m_row2));
}

void TestDesignValidation::regex_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("anchored digits 123") << "^\\d+$"
                                         << "123" << true;
    QTest::newRow("anchored digits 12a") << "^\\d+$"
                                         << "12a" << false;
    QTest::newRow("anchored digits empty") << "^\\d+$"
                                           << "" << false;
    QTest::newRow("anchored digits second line") << "^\\d+$"
                                                 << "123\nabc" << false;
    QTest::newRow("unanchored is wrapped") << "\\d+"
                                           << "a123" << false;
    QTest::newRow("unanchored whole") << "\\d+"
                                      << "123" << true;
    QTest::newRow("trailing anchor only") << "\\d+$"
                                          << "77" << true;
    QTest::newRow("trailing anchor refuses") << "\\d+$"
                                             << "x77" << false;
    QTest::newRow("alternation is whole") << "a|b"
                                          << "axyz" << false;
    QTest::newRow("alternation second") << "a|b"
                                        << "b" << true;
    QTest::newRow("lone caret checks nothing") << "^"
                                               << "anything" << true;
    QTest::newRow("lone dollar checks nothing") << "$"
                                                << "anything" << true;
    QTest::newRow("ruby hex class") << "\\h+"
                                    << "ff09" << true;
    QTest::newRow("case sensitive") << "[a-z]+"
                                    << "ABC" << false;
    QTest::newRow("non-BMP") << "^.$" << QString::fromUtf8("\xF0\x9F\x98\x80") << true;
    QTest::newRow("invalid pattern refuses") << "["
                                             << "[" << false;
}

void TestDesignValidation::regex()
{
    QFETCH(QString, pattern);
    QFETCH(QString, value);
    QFETCH(bool, accepted);
    field("Pattern").set("Regex", Value(pattern));
    const std::optional<Alert> result = db()->insertNativeValue(Value(value), kTable, "Pattern", m_row1);
    if (accepted) {
        QVERIFY2(!result, qPrintable(result ? result->informativeText : QString()));
        QCOMPARE(cell("Pattern", m_row1), value);
    } else {
        QVERIFY(result);
        QCOMPARE(*result, invalidValue("Pattern"));
        QCOMPARE(cell("Pattern", m_row1), QStringLiteral(""));
    }
}

void TestDesignValidation::regexOnlyForText()
{
    field("Amount").set("Regex", Value("^x$"));
    QVERIFY(!db()->insertNativeValue(Value(5.0), kTable, "Amount", m_row1));
    verifyNumberCell(m_row1, "5");
}

void TestDesignValidation::numberRounding_data()
{
    QTest::addColumn<bool>("isInteger");
    QTest::addColumn<bool>("isPositive");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("beeps");
    QTest::newRow("integer rounds up") << true << false << "3.6"
                                       << "4" << 1;
    QTest::newRow("integer half away from zero") << true << false << "-3.5"
                                                 << "-4" << 1;
    QTest::newRow("integer unchanged") << true << false << "3"
                                       << "3" << 0;
    QTest::newRow("positive drops fraction") << false << true << "-3.7"
                                             << "3" << 1;
    QTest::newRow("positive of positive fraction") << false << true << "2.9"
                                                   << "2" << 1;
    QTest::newRow("positive unchanged") << false << true << "5"
                                        << "5" << 0;
    QTest::newRow("integer then positive") << true << true << "-3.7"
                                           << "4" << 1;
    QTest::newRow("neither") << false << false << "2.5"
                             << "2.5" << 0;
    QTest::newRow("empty stays empty") << true << true << ""
                                       << "" << 0;
}

void TestDesignValidation::numberRounding()
{
    QFETCH(bool, isInteger);
    QFETCH(bool, isPositive);
    QFETCH(QString, input);
    QFETCH(QString, stored);
    QFETCH(int, beeps);
    Value amount = field("Amount");
    amount.set("IsInteger", Value(isInteger));
    amount.set("IsPositive", Value(isPositive));
    QVERIFY(!db()->insertDbValue(input, kTable, "Amount", m_row1, false));
    verifyNumberCell(m_row1, stored);
    QCOMPARE(m_env.ui().beeps(), beeps);
}

void TestDesignValidation::bounds_data()
{
    QTest::addColumn<QString>("lop");
    QTest::addColumn<Value>("lo");
    QTest::addColumn<QString>("hop");
    QTest::addColumn<Value>("hi");
    QTest::addColumn<double>("x");
    QTest::addColumn<bool>("passes");
    QTest::newRow("< ≤ : 0") << "<" << Value(0) << "≤" << Value(10) << 0.0 << false;
    QTest::newRow("< ≤ : 10") << "<" << Value(0) << "≤" << Value(10) << 10.0 << true;
    QTest::newRow("< ≤ : 10.5") << "<" << Value(0) << "≤" << Value(10) << 10.5 << false;
    QTest::newRow("< ≤ : numeric text bounds") << "<" << Value("0") << "≤" << Value("10") << 5.0 << true;
    QTest::newRow("> alone: lo > x") << ">" << Value(10) << "" << Value() << 5.0 << true;
    QTest::newRow("> alone fails") << ">" << Value(10) << "" << Value() << 15.0 << false;
    QTest::newRow("≥ alone at bound") << "≥" << Value(10) << "" << Value() << 10.0 << true;
    QTest::newRow("≥ alone fails") << "≥" << Value(10) << "" << Value() << 11.0 << false;
    QTest::newRow("≤ alone at bound") << "≤" << Value(10) << "" << Value() << 10.0 << true;
    QTest::newRow("≤ alone fails") << "≤" << Value(10) << "" << Value() << 9.0 << false;
    QTest::newRow("= holds skips upper") << "=" << Value(5) << "<" << Value(0) << 5.0 << true;
    QTest::newRow("= fails") << "=" << Value(5) << "" << Value() << 6.0 << false;
    QTest::newRow("≠ holds skips upper") << "≠" << Value(5) << "<" << Value(0) << 6.0 << true;
    QTest::newRow("≠ fails") << "≠" << Value(5) << "" << Value() << 5.0 << false;
    QTest::newRow("upper >") << "<" << Value(0) << ">" << Value(3) << 4.0 << true;
    QTest::newRow("upper > fails") << "<" << Value(0) << ">" << Value(3) << 2.0 << false;
    QTest::newRow("upper ≥") << "<" << Value(0) << "≥" << Value(3) << 3.0 << true;
    QTest::newRow("upper ≥ fails") << "<" << Value(0) << "≥" << Value(3) << 2.0 << false;
    QTest::newRow("upper <") << "<" << Value(0) << "<" << Value(3) << 2.0 << true;
    QTest::newRow("upper < fails at bound") << "<" << Value(0) << "<" << Value(3) << 3.0 << false;
    QTest::newRow("upper =") << "<" << Value(0) << "=" << Value(7) << 7.0 << true;
    QTest::newRow("upper = fails") << "<" << Value(0) << "=" << Value(7) << 8.0 << false;
    QTest::newRow("upper ≠ fails") << "<" << Value(0) << "≠" << Value(7) << 7.0 << false;
    QTest::newRow("upper x-text no bound") << "<" << Value(0) << "x (none)" << Value(1) << 99.0 << true;
    QTest::newRow("no lower: anything") << "" << Value() << "" << Value() << -1e9 << true;
    QTest::newRow("x-text lower: anything") << "x" << Value(100) << "" << Value() << 1.0 << true;
    QTest::newRow("upper alone enforced") << "" << Value() << "<" << Value(10) << 11.0 << false;
    QTest::newRow("upper alone passes") << "" << Value() << "<" << Value(10) << 9.0 << true;
    QTest::newRow("unknown operator fails") << "~" << Value(0) << "" << Value() << 1.0 << false;
}

void TestDesignValidation::bounds()
{
    QFETCH(QString, lop);
    QFETCH(Value, lo);
    QFETCH(QString, hop);
    QFETCH(Value, hi);
    QFETCH(double, x);
    QFETCH(bool, passes);
    Value amount = field("Amount");
    if (!lop.isEmpty())
        amount.set("CheckLowerBoundOperator", Value(lop));
    if (!hop.isEmpty())
        amount.set("CheckUpperBoundOperator", Value(hop));
    amount.set("CheckLowerBound", lo);
    amount.set("CheckUpperBound", hi);
    const std::optional<Alert> result = db()->insertNativeValue(Value(x), kTable, "Amount", m_row1);
    if (passes) {
        QVERIFY(!result);
        verifyNumberCell(m_row1, Value::numberText(x));
    } else {
        QVERIFY(result);
        QCOMPARE(*result, invalidNumber("Amount"));
        QCOMPARE(cell("Amount", m_row1), QStringLiteral(""));
    }
}

void TestDesignValidation::awkwardTextSurvives_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("quotes") << "it's \"quoted\" ''twice''";
    QTest::newRow("injection attempt") << "x'; DROP TABLE `People`; --";
    QTest::newRow("backquote") << "a`b";
    QTest::newRow("NUL inside") << QString::fromUtf16(u"before\0after", 12);
    QTest::newRow("NUL only") << QString(QChar(0));
    QTest::newRow("non-BMP") << QString::fromUtf8("\xF0\x9F\x98\x80 \xF0\x9D\x84\x9E");
    QTest::newRow("newlines and tabs") << "line1\nline2\r\n\tend";
    QTest::newRow("percent signs") << "%1 %2 %d %@";
}

void TestDesignValidation::awkwardTextSurvives()
{
    QFETCH(QString, value);
    QVERIFY(!db()->insertNativeValue(Value(value), kTable, "Notes", m_row1));
    QCOMPARE(cell("Notes", m_row1), value);
    QVERIFY(!db()->insertDbValue(OXDatabase::prepareStringForQuery(value), kTable, "Notes", m_row2, true));
    QCOMPARE(cell("Notes", m_row2), value);
    QCOMPARE(db()->rowCountInTable(kTable), quint64(2));
}

void TestDesignValidation::nonIntegerRowidDoesNotInject()
{
    QVERIFY(!db()->insertNativeValue(Value("one"), kTable, "Notes", "1' OR '1'='1"));
    QCOMPARE(cell("Notes", m_row1), QStringLiteral("one"));
    QCOMPARE(cell("Notes", m_row2), QStringLiteral(""));
    QVERIFY(!db()->insertNativeValue(Value("two"), kTable, "Notes", "2 OR 1=1"));
    QCOMPARE(cell("Notes", m_row1), QStringLiteral("one"));
    QCOMPARE(cell("Notes", m_row2), QStringLiteral("two"));
}

void TestDesignValidation::missingFieldOrColumn()
{
    std::optional<Alert> result = db()->insertNativeValue(Value("x"), kTable, "Nowhere", m_row1);
    QVERIFY(result);
    QCOMPARE(*result, Alert::make("Internal Error", "An internal error occurred. Datatype is nil at LMQLQuery-768. "
                                                    "Please report to tandrel"));
    QVERIFY(db()->insertNativeValue(Value("x"), "NoTable", "Name", m_row1));

    // A designed field without a column: the write fails and says so.
    Value fields = db()->tableDesign(kTable).value("Fields");
    fields.append(DesignFixture::field("Ghost", "Text"));
    fields.append(DesignFixture::field("UniqueGhost", "Text", {{"Unique", true}}));
    result = db()->insertNativeValue(Value("x"), kTable, "Ghost", m_row1);
    QVERIFY(result);
    QCOMPARE(*result, kDatabaseError);
    // A uniqueness check that cannot run does not pass the value.
    result = db()->insertNativeValue(Value("x"), kTable, "UniqueGhost", m_row1);
    QVERIFY(result);
    QCOMPARE(*result, kDatabaseError);
}

void TestDesignValidation::successMarksDocumentChanged()
{
    m_doc->setChanged(false);
    QVERIFY(db()->insertNativeValue(Value(""), kTable, "Name", m_row1));
    QVERIFY(!m_doc->isChanged());
    QVERIFY(!db()->insertNativeValue(Value("Ada"), kTable, "Name", m_row1));
    QVERIFY(m_doc->isChanged());
}

void TestDesignValidation::deleteFromTable()
{
    db()->performQuery(QStringLiteral("INSERT INTO `People` (id, Notes) VALUES (0, 'zero')"));
    QCOMPARE(db()->lastErrorID(), 0);
    QCOMPARE(db()->rowCountInTable(kTable), quint64(3));
    for (const QString &id : {QStringLiteral("0"), QStringLiteral("abc"), QStringLiteral("")})
        QVERIFY(db()->deleteFromTable(kTable, id));
    QCOMPARE(db()->rowCountInTable(kTable), quint64(3));
    QCOMPARE(cell("Notes", "0"), QStringLiteral("zero"));
    // The id is quoted, so text after the number cannot widen the delete.
    QVERIFY(db()->deleteFromTable(kTable, "1' OR '1'='1"));
    QCOMPARE(db()->rowCountInTable(kTable), quint64(3));
    QVERIFY(db()->deleteFromTable(kTable, m_row2));
    QCOMPARE(db()->rowCountInTable(kTable), quint64(2));
    QVERIFY(cell("Notes", m_row2).isNull());
    QCOMPARE(cell("Notes", m_row1), QStringLiteral(""));
    QVERIFY(!db()->deleteFromTable("NoTable", m_row1));
}

QTEST_MAIN(TestDesignValidation)
#include "test_design_validation.moc"
