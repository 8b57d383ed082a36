// Tests of the printed forms: number text, cleaned "%f" text, Roman numerals, wildcards, number reading.
#include "LMCalculator.h"
#include "OXFormulaText.h"

#include <QtTest>

class TestFormulaText : public QObject {
    Q_OBJECT
private slots:
    void numberText_data();
    void numberText();
    void cleanedText_data();
    void cleanedText();
    void romanNumeral_data();
    void romanNumeral();
    void twelveRomanLines();
    void wildcard_data();
    void wildcard();
    void leadingDouble_data();
    void leadingDouble();
};

void TestFormulaText::numberText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole") << 30.0 << "30";
    QTest::newRow("fraction") << 2.5 << "2.5";
    QTest::newRow("negative") << -0.125 << "-0.125";
    QTest::newRow("sixteen digits") << 1.0 / 3.0 << "0.3333333333333333";
    QTest::newRow("large") << 1e20 << "1e+20";
    QTest::newRow("tiny") << 1e-7 << "1e-07";
}

void TestFormulaText::numberText()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(OXFormulaText::numberText(value), expected);
}

void TestFormulaText::cleanedText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("sqrt 2") << 1.4142135623730951 << "1.414214";
    QTest::newRow("whole") << 3.0 << "3";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("half") << 0.5 << "0.5";
    QTest::newRow("tens keep their zero") << 10.0 << "10";
    QTest::newRow("negative") << -2.5 << "-2.5";
    QTest::newRow("infinity") << qInf() << "inf";
}

void TestFormulaText::cleanedText()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(OXFormulaText::cleanedText(value), expected);
}

void TestFormulaText::romanNumeral_data()
{
    QTest::addColumn<qint64>("number");
    QTest::addColumn<QString>("expected");
    QTest::newRow("1") << qint64(1) << "I";
    QTest::newRow("4") << qint64(4) << "IV";
    QTest::newRow("9") << qint64(9) << "IX";
    QTest::newRow("14") << qint64(14) << "XIV";
    QTest::newRow("40") << qint64(40) << "XL";
    QTest::newRow("90") << qint64(90) << "XC";
    QTest::newRow("400") << qint64(400) << "CD";
    QTest::newRow("1994") << qint64(1994) << "MCMXCIV";
    QTest::newRow("3999") << qint64(3999) << "MMMCMXCIX";
    QTest::newRow("4000 in decimal") << qint64(4000) << "4000";
    QTest::newRow("0 in decimal") << qint64(0) << "0";
    QTest::newRow("negative in decimal") << qint64(-3) << "-3";
}

void TestFormulaText::romanNumeral()
{
    QFETCH(qint64, number);
    QFETCH(QString, expected);
    QCOMPARE(OXFormulaText::romanNumeral(number), expected);
}

void TestFormulaText::twelveRomanLines()
{
    QStringList texts;
    for (int i = 0; i < 12; ++i)
        texts << QStringLiteral("t%1").arg(i + 1);
    const QStringList lines = OXFormulaText::list(texts, QStringLiteral("roman")).split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 12);
    QCOMPARE(lines.first(), QStringLiteral("I. t1"));
    QCOMPARE(lines.at(8), QStringLiteral("IX. t9"));
    QCOMPARE(lines.last(), QStringLiteral("XII. t12"));
}

void TestFormulaText::wildcard_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matches");
    QTest::newRow("case") << "Email*"
                          << "email address" << true;
    QTest::newRow("hyphen") << "Email*"
                            << "e-mail" << false;
    QTest::newRow("one character") << "Organi?ation"
                                   << "organisation" << true;
    QTest::newRow("one is not none") << "Organi?ation"
                                     << "organiation" << false;
    QTest::newRow("inner star") << "*Site*"
                                << "Web site" << true;
    QTest::newRow("whole text") << "mean"
                                << "means" << false;
    QTest::newRow("star matches empty") << "Post*"
                                        << "post" << true;
    QTest::newRow("backtracking") << "*a*b"
                                  << "xaxxbxb" << true;
}

void TestFormulaText::wildcard()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(bool, matches);
    QCOMPARE(OXFormulaText::wildcardMatches(pattern, text), matches);
}

void TestFormulaText::leadingDouble_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("plain") << "12" << 12.0;
    QTest::newRow("prefix") << "12abc" << 12.0;
    QTest::newRow("blanks") << "  -3.5" << -3.5;
    QTest::newRow("exponent") << "1.5e3" << 1500.0;
    QTest::newRow("dangling exponent") << "2e" << 2.0;
    QTest::newRow("none") << "abc" << 0.0;
    QTest::newRow("null text") << "<null>" << 0.0;
    QTest::newRow("hex is not read") << "0x10" << 0.0;
    QTest::newRow("leading point") << ".25" << 0.25;
}

void TestFormulaText::leadingDouble()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(OXFormulaText::leadingDouble(text), expected);
}

QTEST_MAIN(TestFormulaText)
#include "test_formula_text.moc"
