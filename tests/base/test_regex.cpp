// HVICURegex: Ruby-syntax matching over QString, UTF-16 ranges, named groups, errors and match iteration.
#include "HVICURegex.h"

#include <QTest>

using Ranges = QList<QPair<int, int>>;

class TestRegex : public QObject {
    Q_OBJECT
private slots:
    void findFirstReportsGroupsAndRanges()
    {
        HVICURegex re(QStringLiteral("(\\d+)-(x)?(\\d+)"));
        QVERIFY(re.isValid());
        QCOMPARE(re.captureCount(), 3);
        const auto m = re.findFirst(QStringLiteral("tel 12-345 end"));
        QVERIFY(m);
        QCOMPARE(m->ranges, (Ranges{{4, 6}, {4, 2}, {-1, 0}, {7, 3}}));
        QCOMPARE(m->captures, (QStringList{"12-345", "12", "", "345"}));
        QCOMPARE(m->start(), 4);
        QCOMPARE(m->length(), 6);
        QCOMPARE(m->captured(3), QStringLiteral("345"));
        QCOMPARE(m->captured(9), QString());
        QCOMPARE(m->start(9), -1);
        QVERIFY(!re.findFirst(QStringLiteral("no digits")));
    }

    void findFirstStartsAtOffsetButSeesTheWholeText()
    {
        HVICURegex re(QStringLiteral("\\bab"));
        const QString text = QStringLiteral("ab cab ab");
        const auto m = re.findFirst(text, 1);
        QVERIFY(m);
        // "cab" at 3 does not start a word; the search from 1 still knows what precedes each position.
        QCOMPARE(m->start(), 7);
        QVERIFY(!re.findFirst(text, 8));
        QVERIFY(!re.findFirst(text, 100));
        QCOMPARE(re.findFirst(text, -5)->start(), 0);
    }

    void rangesCountUtf16UnitsAfterNonBmpCharacters()
    {
        // U+1F600 and U+10348 are two UTF-16 units each.
        const QString text = QString::fromUtf8("\xF0\x9F\x98\x80 caf\xC3\xA9 \xF0\x90\x8D\x88=42");
        HVICURegex re(QStringLiteral("caf(.) (.)=(\\d+)"));
        const auto m = re.findFirst(text);
        QVERIFY(m);
        QCOMPARE(m->ranges, (Ranges{{3, 10}, {6, 1}, {8, 2}, {11, 2}}));
        QCOMPARE(m->captured(1), QString::fromUtf8("\xC3\xA9"));
        QCOMPARE(m->captured(2), QString::fromUtf8("\xF0\x90\x8D\x88"));
        QCOMPARE(text.mid(m->start(3), m->length(3)), QStringLiteral("42"));
    }

    void namedGroupsKeepNumberedGroupsCapturing()
    {
        HVICURegex re(QStringLiteral("(?<year>\\d{4})-(\\d\\d)-(?<day>\\d\\d)"));
        QVERIFY(re.isValid());
        // The capture-group option keeps the plain group numbered alongside the named ones.
        QCOMPARE(re.captureCount(), 3);
        QCOMPARE(re.groupNames(), (QStringList{"year", "day"}));
        const auto m = re.findFirst(QStringLiteral("on 2024-03-15."));
        QVERIFY(m);
        QCOMPARE(m->captured(QStringLiteral("year")), QStringLiteral("2024"));
        QCOMPARE(m->captured(2), QStringLiteral("03"));
        QCOMPARE(m->captured(QStringLiteral("day")), QStringLiteral("15"));
        QCOMPARE(m->names.value(QStringLiteral("day")), QList<int>{3});
        QCOMPARE(m->captured(QStringLiteral("missing")), QString());
    }

    void aNameUsedTwiceGivesTheGroupThatTookPart()
    {
        HVICURegex re(QStringLiteral("(?<n>a+)x|(?<n>b+)y"));
        QCOMPARE(re.groupNames(), QStringList{"n"});
        const auto m = re.findFirst(QStringLiteral("bby"));
        QVERIFY(m);
        QCOMPARE(m->names.value(QStringLiteral("n")), (QList<int>{1, 2}));
        QCOMPARE(m->captured(QStringLiteral("n")), QStringLiteral("bb"));
        QCOMPARE(re.findFirst(QStringLiteral("aax"))->captured(QStringLiteral("n")), QStringLiteral("aa"));
    }

    void findAllReturnsSuccessiveMatches_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<Ranges>("expected");
        QTest::newRow("words") << "\\w+"
                               << "one, two  three" << Ranges{{0, 3}, {5, 3}, {10, 5}};
        QTest::newRow("non-overlapping") << "aa"
                                         << "aaaaa" << Ranges{{0, 2}, {2, 2}};
        QTest::newRow("none") << "z"
                              << "abc" << Ranges{};
        // An empty match moves the search on, so these end instead of looping.
        QTest::newRow("empty-pattern") << ""
                                       << "ab" << Ranges{{0, 0}, {1, 0}, {2, 0}};
        QTest::newRow("star") << "x*"
                              << "axxb" << Ranges{{0, 0}, {1, 2}, {3, 0}, {4, 0}};
        QTest::newRow("empty-text") << "^"
                                    << "" << Ranges{{0, 0}};
        QTest::newRow("surrogate-pair") << "" << QString::fromUtf8("\xF0\x9F\x98\x80") << Ranges{{0, 0}, {2, 0}};
        QTest::newRow("line-anchors") << "^\\d+$"
                                      << "12\nab\n34" << Ranges{{0, 2}, {6, 2}};
    }

    void findAllReturnsSuccessiveMatches()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(Ranges, expected);
        HVICURegex re(pattern);
        QVERIFY(re.isValid());
        Ranges found;
        for (const HVICURegex::Match &m : re.findAll(text))
            found.append(m.ranges.first());
        QCOMPARE(found, expected);
    }

    void rubySyntax_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("hex-digit") << "\\h+"
                                   << "ghost c0ffee"
                                   << "c0ffee";
        QTest::newRow("hex-digits") << "x\\h+"
                                    << "id=0xBEEFzz"
                                    << "xBEEF";
        QTest::newRow("not-hex") << "\\H+"
                                 << "c0ffee!"
                                 << "!";
        QTest::newRow("string-anchors") << "\\Aab|cd\\z"
                                        << "xab\ncd"
                                        << "cd";
        QTest::newRow("posix-bracket") << "[[:upper:]]+"
                                       << "abcDEFg"
                                       << "DEF";
        QTest::newRow("backreference-by-name") << "(?<q>['\"]).*?\\k<q>"
                                               << "say \"hi\" now"
                                               << "\"hi\"";
        QTest::newRow("inline-case") << "(?i:abc)D"
                                     << "xABCD"
                                     << "ABCD";
        QTest::newRow("lookbehind") << "(?<=\\$)\\d+"
                                    << "cost $45"
                                    << "45";
        QTest::newRow("unicode-property")
            << "\\p{Greek}+" << QString::fromUtf8("x\xCE\xB1\xCE\xB2y") << QString::fromUtf8("\xCE\xB1\xCE\xB2");
    }

    void rubySyntax()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        HVICURegex re(pattern);
        QVERIFY2(re.isValid(), qPrintable(re.errorString()));
        const auto m = re.findFirst(text);
        QVERIFY(m);
        QCOMPARE(m->captured(0), expected);
    }

    void caseInsensitiveOption()
    {
        const QString text = QStringLiteral("Hello WORLD");
        QVERIFY(!HVICURegex(QStringLiteral("world")).findFirst(text));
        const auto m = HVICURegex(QStringLiteral("world"), true).findFirst(text);
        QVERIFY(m);
        QCOMPARE(m->ranges.first(), (QPair<int, int>{6, 5}));
        QVERIFY(HVICURegex(QString::fromUtf8("\xC3\xA9t\xC3\xA9"), true)
                    .matchesWhole(QString::fromUtf8("\xC3\x89T\xC3\x89")));
    }

    void invalidPatternIsAnErrorValue_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("error");
        QTest::newRow("open-group") << "(abc"
                                    << "end pattern with unmatched parenthesis";
        QTest::newRow("close-group") << "abc)"
                                     << "unmatched close parenthesis";
        QTest::newRow("bad-class") << "[z-a]"
                                   << "empty range in char class";
        QTest::newRow("nothing-to-repeat") << "*a"
                                           << "target of repeat operator is not specified";
        QTest::newRow("undefined-name") << "\\k<nope>"
                                        << "undefined name <nope> reference";
    }

    void invalidPatternIsAnErrorValue()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, error);
        HVICURegex re(pattern);
        QVERIFY(!re.isValid());
        QCOMPARE(re.errorString(), error);
        QVERIFY(!re.findFirst(QStringLiteral("abc")));
        QVERIFY(re.findAll(QStringLiteral("abc")).isEmpty());
        QVERIFY(!re.matchesWhole(QStringLiteral("abc")));
        QCOMPARE(re.captureCount(), 0);
    }

    void anchoredValidation_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("found");
        QTest::addColumn<bool>("whole");
        QTest::newRow("digits") << "^\\d+$"
                                << "123" << true << true;
        QTest::newRow("trailing-letter") << "^\\d+$"
                                         << "12a" << false << false;
        QTest::newRow("empty") << "^\\d+$"
                               << "" << false << false;
        // Ruby's ^ and $ are line anchors: searching finds a matching line, the whole text does not match.
        QTest::newRow("second-line-bad") << "^\\d+$"
                                         << "12\nab" << true << false;
        QTest::newRow("first-alternative-shorter") << "a|ab"
                                                   << "ab" << true << true;
        QTest::newRow("needs-backtracking") << "(a|ab)(c|bcd)"
                                            << "abcd" << true << true;
        QTest::newRow("prefix-only") << "ab"
                                     << "abc" << true << false;
        QTest::newRow("extended-comment") << "(?x) \\d+ # digits"
                                          << "123" << true << true;
        QTest::newRow("alternation-stays-grouped") << "a|b"
                                                   << "ab" << true << false;
    }

    void anchoredValidation()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(bool, found);
        QFETCH(bool, whole);
        HVICURegex re(pattern);
        QCOMPARE(!re.findAll(text).isEmpty(), found);
        QCOMPARE(re.matchesWhole(text), whole);
    }

    void movedRegexKeepsWorking()
    {
        HVICURegex a(QStringLiteral("b+"));
        HVICURegex b(std::move(a));
        QCOMPARE(b.findFirst(QStringLiteral("abbc"))->captured(0), QStringLiteral("bb"));
        HVICURegex c(QStringLiteral("x"));
        c = std::move(b);
        QCOMPARE(c.pattern(), QStringLiteral("b+"));
        QVERIFY(c.matchesWhole(QStringLiteral("bbb")));
    }
};

QTEST_GUILESS_MAIN(TestRegex)
#include "test_regex.moc"
