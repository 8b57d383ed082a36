// NumberFormatter and DateFormatter: styles, patterns, lenient parsing, locales, time zones and field texts.
#include "DateFormatter.h"
#include "NumberFormatter.h"
#include "Preferences.h"
#include "TestEnvironment.h"

#include <QTest>
#include <unicode/timezone.h>

namespace {
// 2024-01-05 10:30:00 UTC, a Friday, in seconds since 2001-01-01 00:00:00 UTC.
constexpr double friday1030 = 726143400.0;
constexpr double fridayMidnight = 726105600.0;

const QString nnbsp = QString(QChar(0x202F)); // ICU 72 puts a narrow no-break space before AM/PM

void useTimeZone(const char16_t *id)
{
    icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone(id));
}
} // namespace

class TestFormatters : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void initTestCase() { useTimeZone(u"UTC"); }
    void cleanup()
    {
        useTimeZone(u"UTC");
        Preferences::instance().removeValue(QStringLiteral("LMUIDateFormat"));
        Preferences::instance().removeValue(QStringLiteral("LMUITimeFormat"));
    }

    void numberStyles_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain-integer") << ""
                                       << "en_US" << 3.0 << "3";
        QTest::newRow("plain-fraction") << ""
                                        << "en_US" << 2.5 << "2.5";
        QTest::newRow("none-no-grouping") << "None"
                                          << "en_US" << 1234567.891 << "1234567.891";
        QTest::newRow("plain-binary-noise") << "None"
                                            << "en_US" << 0.1 + 0.2 << "0.3";
        QTest::newRow("plain-tiny") << ""
                                    << "en_US" << 1e-20 << "0.00000000000000000001";
        QTest::newRow("plain-negative") << ""
                                        << "en_US" << -1234.5678 << "-1234.5678";
        QTest::newRow("decimal") << "Decimal"
                                 << "en_US" << -1234.5678 << "-1,234.568";
        QTest::newRow("currency") << "Currency"
                                  << "en_US" << 1234567.891 << "$1,234,567.89";
        QTest::newRow("currency-negative") << "Currency"
                                           << "en_US" << -1234.5678 << "-$1,234.57";
        QTest::newRow("percent") << "Percent"
                                 << "en_US" << 3.0 << "300%";
        QTest::newRow("percent-half-even") << "Percent"
                                           << "en_US" << 0.125 << "12%";
        QTest::newRow("scientific") << "Scientific"
                                    << "en_US" << 1234.5 << "1.2345E3";
        QTest::newRow("scientific-small") << "Scientific"
                                          << "en_US" << 0.00125 << "1.25E-3";
        QTest::newRow("spell-out") << "Spell Out"
                                   << "en_US" << 123.0 << "one hundred twenty-three";
        QTest::newRow("spell-out-fraction") << "Spell Out"
                                            << "en_US" << -2.5 << "minus two point five";
        // Spelling out clamps large magnitudes to 2^54 ("eighteen quadrillion…"); digits are written instead.
        QTest::newRow("spell-out-huge") << "Spell Out"
                                        << "en_US" << 1e20 << "100,000,000,000,000,000,000";
        QTest::newRow("spell-out-2^53") << "Spell Out"
                                        << "en_US" << 9007199254740992.0 << "9,007,199,254,740,992";
        QTest::newRow("pattern-grouped") << "#,##0.00"
                                         << "en_US" << 1234567.891 << "1,234,567.89";
        QTest::newRow("pattern-scientific") << "0.###E0"
                                            << "en_US" << -1234.5678 << "-1.235E3";
        QTest::newRow("pattern-negative-part") << "#,##0;(#,##0)"
                                               << "en_US" << -1234.5678 << "(1,235)";
        QTest::newRow("pattern-percent") << "0.0%"
                                         << "en_US" << 0.4567 << "45.7%";
        QTest::newRow("de-plain") << ""
                                  << "de_DE" << 2.5 << "2,5";
        QTest::newRow("de-decimal") << "Decimal"
                                    << "de_DE" << -1234.5678 << "-1.234,568";
        QTest::newRow("de-pattern") << "#,##0.00"
                                    << "de_DE" << 1234567.891 << "1.234.567,89";
        QTest::newRow("de-currency") << "Currency"
                                     << "de_DE" << 1234.5 << QString::fromUtf8("1.234,50\xC2\xA0\xE2\x82\xAC");
    }

    void numberStyles()
    {
        QFETCH(QString, format);
        QFETCH(QString, locale);
        QFETCH(double, value);
        QFETCH(QString, expected);
        const NumberFormatter formatter(format, QLocale(locale));
        QVERIFY(formatter.isValid());
        QCOMPARE(formatter.format(value), expected);
    }

    void badPatternFallsBackToPlainNumbers_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::newRow("two-decimal-points") << "#,##0.00.0";
        QTest::newRow("digit-before-optional") << "0#";
        QTest::newRow("two-exponents") << "#E0E0";
        QTest::newRow("open-quote") << "'";
    }

    void badPatternFallsBackToPlainNumbers()
    {
        QFETCH(QString, pattern);
        const NumberFormatter formatter(pattern, QLocale(QStringLiteral("en_US")));
        QVERIFY(!formatter.isValid());
        QCOMPARE(formatter.format(1234.5), QStringLiteral("1234.5"));
        QCOMPARE(formatter.parse(QStringLiteral("1234.5")), std::optional<double>(1234.5));
    }

    void numberParsing_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("parses");
        QTest::addColumn<double>("expected");
        QTest::newRow("decimal-grouped") << "Decimal"
                                         << "en_US"
                                         << "1,234.5" << true << 1234.5;
        QTest::newRow("decimal-plain") << "Decimal"
                                       << "en_US"
                                       << "1234.5" << true << 1234.5;
        QTest::newRow("decimal-spaces") << "Decimal"
                                        << "en_US"
                                        << "  -7 " << true << -7.0;
        QTest::newRow("currency-symbol") << "Currency"
                                         << "en_US"
                                         << "$1,234.50" << true << 1234.5;
        QTest::newRow("currency-bare") << "Currency"
                                       << "en_US"
                                       << "1234.5" << true << 1234.5;
        QTest::newRow("percent-sign") << "Percent"
                                      << "en_US"
                                      << "50%" << true << 0.5;
        // Lenient: the missing sign is understood, as the field shows "7%" for 0.07.
        QTest::newRow("percent-bare") << "Percent"
                                      << "en_US"
                                      << "7" << true << 0.07;
        QTest::newRow("scientific") << "Scientific"
                                    << "en_US"
                                    << "1.2345E3" << true << 1234.5;
        QTest::newRow("spell-out") << "Spell Out"
                                   << "en_US"
                                   << "one hundred twenty-three" << true << 123.0;
        QTest::newRow("spell-out-negative") << "Spell Out"
                                            << "en_US"
                                            << "minus five" << true << -5.0;
        QTest::newRow("spell-out-digits") << "Spell Out"
                                          << "en_US"
                                          << "42" << true << 42.0;
        QTest::newRow("pattern-parenthesised") << "#,##0;(#,##0)"
                                               << "en_US"
                                               << "(1,234)" << true << -1234.0;
        QTest::newRow("plain-exponent") << ""
                                        << "en_US"
                                        << "-2e3" << true << -2000.0;
        QTest::newRow("de-decimal") << "Decimal"
                                    << "de_DE"
                                    << "1.234,5" << true << 1234.5;
        QTest::newRow("de-plain-comma") << ""
                                        << "de_DE"
                                        << "1234,5" << true << 1234.5;
        QTest::newRow("de-machine-form") << "Decimal"
                                         << "de_DE"
                                         << "1234.5" << true << 1234.5;
        QTest::newRow("trailing-text") << "Decimal"
                                       << "en_US"
                                       << "12abc" << false << 0.0;
        QTest::newRow("empty") << "Decimal"
                               << "en_US"
                               << "" << false << 0.0;
        QTest::newRow("blank") << ""
                               << "en_US"
                               << "   " << false << 0.0;
        QTest::newRow("words") << "Decimal"
                               << "en_US"
                               << "abc" << false << 0.0;
        QTest::newRow("sign-only") << "Decimal"
                                   << "en_US"
                                   << "-" << false << 0.0;
        QTest::newRow("nan") << ""
                             << "en_US"
                             << "nan" << false << 0.0;
        QTest::newRow("infinity") << "Decimal"
                                  << "en_US" << QString(QChar(0x221E)) << false << 0.0;
        QTest::newRow("inf") << "Decimal"
                             << "en_US"
                             << "inf" << false << 0.0;
        QTest::newRow("spell-out-nonsense") << "Spell Out"
                                            << "en_US"
                                            << "one hundred bananas" << false << 0.0;
    }

    void numberParsing()
    {
        QFETCH(QString, format);
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(bool, parses);
        QFETCH(double, expected);
        const std::optional<double> value = NumberFormatter(format, QLocale(locale)).parse(text);
        QCOMPARE(value.has_value(), parses);
        if (parses)
            QCOMPARE(*value, expected);
    }

    void numberRoundTrips_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << ""
                               << "en_US" << 123456.789;
        QTest::newRow("decimal") << "Decimal"
                                 << "en_US" << -1234.5;
        QTest::newRow("currency") << "Currency"
                                  << "en_US" << 1234.5;
        QTest::newRow("percent") << "Percent"
                                 << "en_US" << 0.25;
        QTest::newRow("scientific") << "Scientific"
                                    << "en_US" << -0.00125;
        QTest::newRow("spell-out") << "Spell Out"
                                   << "en_US" << 1999.25;
        QTest::newRow("pattern") << "#,##0.00"
                                 << "en_US" << 1234.5;
        QTest::newRow("de-decimal") << "Decimal"
                                    << "de_DE" << 1234567.5;
        QTest::newRow("de-currency") << "Currency"
                                     << "de_DE" << -12.5;
    }

    void numberRoundTrips()
    {
        QFETCH(QString, format);
        QFETCH(QString, locale);
        QFETCH(double, value);
        const NumberFormatter formatter(format, QLocale(locale));
        const QString text = formatter.format(value);
        QCOMPARE(formatter.parse(text), std::optional<double>(value));
    }

    void formatterCopiesOutliveTheOriginal()
    {
        std::optional<NumberFormatter> original(std::in_place, QStringLiteral("Decimal"), QLocale("en_US"));
        const NumberFormatter number = *original;
        original.reset();
        QCOMPARE(number.format(1234.5), QStringLiteral("1,234.5"));

        std::optional<DateFormatter> date(std::in_place, DateFormatter::Medium, DateFormatter::None, QLocale("en_US"));
        const DateFormatter copy = *date;
        date.reset();
        QCOMPARE(copy.format(friday1030), QStringLiteral("Jan 5, 2024"));
    }

    void dateStyles_data()
    {
        using S = DateFormatter::Style;
        QTest::addColumn<S>("dateStyle");
        QTest::addColumn<S>("timeStyle");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        const QString am = nnbsp + QStringLiteral("AM");
        QTest::newRow("short") << S::Short << S::None << "en_US"
                               << "1/5/24";
        QTest::newRow("medium") << S::Medium << S::None << "en_US"
                                << "Jan 5, 2024";
        QTest::newRow("long") << S::Long << S::None << "en_US"
                              << "January 5, 2024";
        QTest::newRow("full") << S::Full << S::None << "en_US"
                              << "Friday, January 5, 2024";
        QTest::newRow("time-short") << S::None << S::Short << "en_US"
                                    << "10:30" + am;
        QTest::newRow("time-medium") << S::None << S::Medium << "en_US"
                                     << "10:30:00" + am;
        QTest::newRow("time-long") << S::None << S::Long << "en_US"
                                   << "10:30:00" + am + " UTC";
        QTest::newRow("time-full") << S::None << S::Full << "en_US"
                                   << "10:30:00" + am + " Coordinated Universal Time";
        QTest::newRow("short-short") << S::Short << S::Short << "en_US"
                                     << "1/5/24, 10:30" + am;
        QTest::newRow("medium-medium") << S::Medium << S::Medium << "en_US"
                                       << "Jan 5, 2024, 10:30:00" + am;
        QTest::newRow("long-long") << S::Long << S::Long << "en_US"
                                   << "January 5, 2024 at 10:30:00" + am + " UTC";
        QTest::newRow("full-short") << S::Full << S::Short << "en_US"
                                    << "Friday, January 5, 2024 at 10:30" + am;
        QTest::newRow("none-none") << S::None << S::None << "en_US"
                                   << "";
        QTest::newRow("de-short") << S::Short << S::None << "de_DE"
                                  << "05.01.24";
        QTest::newRow("de-long") << S::Long << S::None << "de_DE" << QString::fromUtf8("5. Januar 2024");
        QTest::newRow("de-medium-short") << S::Medium << S::Short << "de_DE"
                                         << "05.01.2024, 10:30";
    }

    void dateStyles()
    {
        QFETCH(DateFormatter::Style, dateStyle);
        QFETCH(DateFormatter::Style, timeStyle);
        QFETCH(QString, locale);
        QFETCH(QString, expected);
        const DateFormatter formatter(dateStyle, timeStyle, QLocale(locale));
        QVERIFY(formatter.isValid());
        const QString text = formatter.format(friday1030);
        QCOMPARE(text, expected);
        // Reading the text back gives the moment it shows: the day, or the day and the time.
        if (dateStyle == DateFormatter::None)
            return;
        const double shown = timeStyle == DateFormatter::None ? fridayMidnight : friday1030;
        QCOMPARE(formatter.parse(text), std::optional<double>(shown));
    }

    void bothStylesNoneParsesNothing()
    {
        const DateFormatter formatter(DateFormatter::None, DateFormatter::None, QLocale("en_US"));
        QVERIFY(!formatter.parse(QStringLiteral("2024-01-05")));
    }

    void datesUseTheLocalTimeZone()
    {
        useTimeZone(u"America/New_York");
        const DateFormatter formatter(DateFormatter::Short, DateFormatter::Short, QLocale("en_US"));
        QCOMPARE(formatter.format(friday1030), "1/5/24, 5:30" + nnbsp + "AM");
        QCOMPARE(formatter.parse(QStringLiteral("1/5/24, 5:30 AM")), std::optional<double>(friday1030));
        QCOMPARE(formatter.parse(QStringLiteral("2024-01-05 05:30")), std::optional<double>(friday1030));
        const DateFormatter dateOnly(DateFormatter::Medium, DateFormatter::None, QLocale("en_US"));
        QCOMPARE(dateOnly.parse(QStringLiteral("Jan 5, 2024")), std::optional<double>(fridayMidnight + 5 * 3600));
    }

    void datePatterns_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("input");
        QTest::addColumn<double>("parsed");
        QTest::newRow("iso-minutes") << "yyyy-MM-dd HH:mm"
                                     << "en_US"
                                     << "2024-01-05 10:30"
                                     << "2024-1-5 10:30" << friday1030;
        QTest::newRow("dotted") << "dd.MM.yyyy"
                                << "en_US"
                                << "05.01.2024"
                                << "5.1.2024" << fridayMidnight;
        QTest::newRow("words") << "EEE d MMM yy 'at' h a"
                               << "en_US"
                               << "Fri 5 Jan 24 at 10 AM"
                               << "Fri 5 Jan 24 at 10 AM" << friday1030 - 1800;
        QTest::newRow("de-words") << "EEEE, d. MMMM yyyy"
                                  << "de_DE"
                                  << "Freitag, 5. Januar 2024"
                                  << "Freitag, 5. Januar 2024" << fridayMidnight;
    }

    void datePatterns()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, locale);
        QFETCH(QString, expected);
        QFETCH(QString, input);
        QFETCH(double, parsed);
        const DateFormatter formatter = DateFormatter::withPattern(pattern, QLocale(locale));
        QVERIFY(formatter.isValid());
        QCOMPARE(formatter.format(friday1030), expected);
        QCOMPARE(formatter.parse(input), std::optional<double>(parsed));
    }

    void lenientDateParsing_data()
    {
        using S = DateFormatter::Style;
        QTest::addColumn<S>("dateStyle");
        QTest::addColumn<S>("timeStyle");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("parses");
        QTest::addColumn<double>("expected");
        QTest::newRow("medium-reads-short") << S::Medium << S::None << "1/5/24" << true << fridayMidnight;
        QTest::newRow("short-reads-medium") << S::Short << S::None << "Jan 5, 2024" << true << fridayMidnight;
        QTest::newRow("plain-space-before-am") << S::Short << S::Short << "1/5/24, 10:30 AM" << true << friday1030;
        QTest::newRow("spaces-around") << S::Short << S::None << "  1/5/24 " << true << fridayMidnight;
        // A short date read leniently would take 2024 for the month; the ISO form wins.
        QTest::newRow("iso-date") << S::Short << S::None << "2024-01-05" << true << fridayMidnight;
        QTest::newRow("iso-date-time") << S::Long << S::Long << "2024-01-05T10:30:00" << true << friday1030;
        QTest::newRow("iso-seconds") << S::Short << S::None << "2024-01-05 10:30:15" << true << friday1030 + 15;
        QTest::newRow("trailing-text") << S::Medium << S::None << "Jan 5, 2024 or so" << false << 0.0;
        QTest::newRow("nonsense") << S::Medium << S::Medium << "nonsense" << false << 0.0;
        QTest::newRow("empty") << S::Short << S::None << "" << false << 0.0;
    }

    void lenientDateParsing()
    {
        QFETCH(DateFormatter::Style, dateStyle);
        QFETCH(DateFormatter::Style, timeStyle);
        QFETCH(QString, text);
        QFETCH(bool, parses);
        QFETCH(double, expected);
        const std::optional<double> value = DateFormatter(dateStyle, timeStyle, QLocale("en_US")).parse(text);
        QCOMPARE(value.has_value(), parses);
        if (parses)
            QCOMPARE(*value, expected);
    }

    void styleFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("style"); // -1: not a style
        QTest::newRow("None") << "None" << 0;
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("short") << "short" << 1;
        QTest::newRow("SHORT") << "SHORT" << 1;
        QTest::newRow("1") << "1" << 1;
        QTest::newRow("Medium") << "Medium" << 2;
        QTest::newRow("2") << "2" << 2;
        QTest::newRow("lOnG") << "lOnG" << 3;
        QTest::newRow("3") << "3" << 3;
        QTest::newRow("Full") << "Full" << 4;
        QTest::newRow("4") << "4" << 4;
        QTest::newRow("5") << "5" << -1;
        QTest::newRow("-1") << "-1" << -1;
        QTest::newRow("Default") << "Default" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("pattern") << "yyyy-MM-dd" << -1;
        QTest::newRow("prefix") << "Shorter" << -1;
    }

    void styleFromText()
    {
        QFETCH(QString, text);
        QFETCH(int, style);
        const std::optional<DateFormatter::Style> parsed = DateFormatter::styleFromText(text);
        QCOMPARE(parsed ? int(*parsed) : -1, style);
    }

    void fieldFormats_data()
    {
        QTest::addColumn<QString>("dateFormat");
        QTest::addColumn<QString>("timeFormat");
        QTest::addColumn<QVariant>("datePreference"); // invalid: left at the registered default
        QTest::addColumn<QVariant>("timePreference");
        QTest::addColumn<QString>("expected");
        const QVariant unset;
        const QString am = nnbsp + QStringLiteral("AM");
        QTest::newRow("names") << "Short"
                               << "None" << unset << unset << "1/5/24";
        QTest::newRow("digits") << "1"
                                << "1" << unset << unset << "1/5/24, 10:30" + am;
        QTest::newRow("default-registered") << "Default"
                                            << "Default" << unset << unset << "Jan 5, 2024, 10:30:00" + am;
        QTest::newRow("default-preferences")
            << "Default"
            << "Default" << QVariant(4) << QVariant(1) << "Friday, January 5, 2024 at 10:30" + am;
        QTest::newRow("default-date-only") << "Default"
                                           << "None" << QVariant(3) << QVariant(4) << "January 5, 2024";
        QTest::newRow("default-time-only") << "None"
                                           << "Default" << QVariant(4) << QVariant(1) << "10:30" + am;
        QTest::newRow("preference-as-text") << "Default"
                                            << "" << QVariant("1") << unset << "1/5/24";
        QTest::newRow("preference-out-of-range") << "Default"
                                                 << "" << QVariant(9) << unset << "Jan 5, 2024";
        QTest::newRow("absent") << ""
                                << "" << unset << unset << "1/5/24";
        QTest::newRow("absent-date-with-time") << ""
                                               << "Medium" << unset << unset << "1/5/24, 10:30:00" + am;
        QTest::newRow("pattern-decides") << "yyyy/MM/dd"
                                         << "Full" << unset << unset << "2024/01/05";
        QTest::newRow("unknown-time-text") << "long"
                                           << "soon" << unset << unset << "January 5, 2024";
    }

    void fieldFormats()
    {
        QFETCH(QString, dateFormat);
        QFETCH(QString, timeFormat);
        QFETCH(QVariant, datePreference);
        QFETCH(QVariant, timePreference);
        QFETCH(QString, expected);
        if (datePreference.isValid())
            Preferences::instance().setValue(QStringLiteral("LMUIDateFormat"), datePreference);
        if (timePreference.isValid())
            Preferences::instance().setValue(QStringLiteral("LMUITimeFormat"), timePreference);
        const DateFormatter formatter = DateFormatter::forField(dateFormat, timeFormat, QLocale("en_US"));
        QCOMPARE(formatter.format(friday1030), expected);
    }
};

QTEST_GUILESS_MAIN(TestFormatters)
#include "test_formatters.moc"
