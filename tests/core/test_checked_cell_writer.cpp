// Tests of CheckedCellWriter's rules that need no database: number rounding and bounds, and text patterns.
#include "CheckedCellWriter.h"
#include "DesignFixture.h"
#include "TestEnvironment.h"

#include <QtTest>

class TestCheckedCellWriter : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env.ui().reset(); }
    void checkNumber_data();
    void checkNumber();
    void checkRegex_data();
    void checkRegex();

private:
    TestEnvironment m_env;
};

void TestCheckedCellWriter::checkNumber_data()
{
    QTest::addColumn<Value>("extra"); // keys set on a "Number" field
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("rewritten");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<bool>("passes");
    const auto with = [](std::initializer_list<std::pair<QString, Value>> e) { return Value::dict(e); };
    const Value integer = with({{"IsInteger", true}});
    const Value positive = with({{"IsPositive", true}});
    QTest::newRow("plain number kept") << Value::dict() << "2.5"
                                       << "2.5" << 0 << true;
    QTest::newRow("empty stays empty") << integer << ""
                                       << "" << 0 << true;
    QTest::newRow("null-like stays") << positive << "<null>"
                                     << "<null>" << 0 << true;
    QTest::newRow("integer rounds and beeps") << integer << "2.6"
                                              << "3" << 1 << true;
    QTest::newRow("integer already whole: no beep") << integer << "4"
                                                    << "4" << 0 << true;
    QTest::newRow("positive truncates the magnitude") << positive << "-2.7"
                                                      << "2" << 1 << true;
    QTest::newRow("both: rounded first") << with({{"IsInteger", true}, {"IsPositive", true}}) << "-2.6"
                                         << "3" << 1 << true;
    // The bounds judge the value as rewritten, not as typed.
    QTest::newRow("bound met after rounding") << with({{"IsInteger", true},
                                                       {"CheckLowerBoundOperator", "x"},
                                                       {"CheckUpperBoundOperator", "≤"},
                                                       {"CheckUpperBound", 10}})
                                              << "10.4"
                                              << "10" << 1 << true;
    QTest::newRow("bound broken after rounding") << with({{"IsInteger", true},
                                                          {"CheckLowerBoundOperator", "x"},
                                                          {"CheckUpperBoundOperator", "<"},
                                                          {"CheckUpperBound", 10}})
                                                 << "9.6"
                                                 << "10" << 1 << false;
}

void TestCheckedCellWriter::checkNumber()
{
    QFETCH(Value, extra);
    QFETCH(QString, value);
    QFETCH(QString, rewritten);
    QFETCH(int, beeps);
    QFETCH(bool, passes);
    Value field = DesignFixture::field("Amount", "Number");
    for (const QString &key : extra.keys())
        field.set(key, extra.value(key));
    const std::optional<Alert> refused = CheckedCellWriter::checkNumber(value, field, "Amount");
    QCOMPARE(value, rewritten);
    QCOMPARE(m_env.ui().beeps(), beeps);
    QCOMPARE(!refused, passes);
    if (refused) {
        QCOMPARE(refused->messageText, QStringLiteral("Number is invalid"));
        QCOMPARE(refused->informativeText,
                 QStringLiteral("The number you entered did not pass the validation checks required by field "
                                "\"Amount\""));
    }
}

void TestCheckedCellWriter::checkRegex_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("passes");
    QTest::newRow("whole value must match") << "[A-Z]+"
                                            << "ABc" << false;
    QTest::newRow("own anchors dropped") << "^[A-Z]+$"
                                         << "ABC" << true;
    QTest::newRow("second line does not rescue") << "[a-z]+"
                                                 << "AB\ncd" << false;
    QTest::newRow("empty pattern passes") << ""
                                          << "anything" << true;
    QTest::newRow("a bare anchor is empty") << "^"
                                            << "anything" << true;
    QTest::newRow("invalid pattern refuses") << "([a-z"
                                             << "abc" << false;
}

void TestCheckedCellWriter::checkRegex()
{
    QFETCH(QString, pattern);
    QFETCH(QString, value);
    QFETCH(bool, passes);
    const std::optional<Alert> refused = CheckedCellWriter::checkRegex(value, pattern, "Code");
    QCOMPARE(!refused, passes);
    if (refused)
        QCOMPARE(refused->informativeText,
                 QStringLiteral("The value you entered did not pass the validation checks required by field "
                                "\"Code\""));
    QCOMPARE(m_env.ui().beeps(), 0);
}

QTEST_GUILESS_MAIN(TestCheckedCellWriter)
#include "test_checked_cell_writer.moc"
