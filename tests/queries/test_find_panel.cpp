// Tests of the find panel's engine: literal and regular-expression find (ranges, wrapping, backwards,
// selected text only, empty matches, syntaxes and options), replace, replace all, templates, history, colours.
#include "HVICURegex.h"
#include "OGReplaceExpression.h"
#include "OXFileFindController.h"
#include "OXFileFindView.h"
#include "OXFindHistory.h"
#include "OXRegexSettings.h"
#include "Preferences.h"
#include "TestEnvironment.h"

#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QtTest>

namespace {
const QString kText = QStringLiteral("one two One two one");

struct Editor {
    QPlainTextEdit edit;
    std::shared_ptr<OXFindTextView> view = std::make_shared<OXFindTextView>(&edit);
    explicit Editor(const QString &text, int location = 0, int length = 0)
    {
        edit.setPlainText(text);
        view->setSelectedRange(location, length);
    }
    QPair<int, int> selection() const { return {view->selectionLocation(), view->selectionLength()}; }
};

struct Switches {
    bool backwards = false, wrap = true, ignoreCase = true, selectedOnly = false;
};

void configure(OXFileFindController &c, const Switches &s, const QString &find)
{
    c.setWrapAround(s.wrap);
    c.setIgnoreCase(s.ignoreCase);
    c.setSelectedTextOnly(s.selectedOnly);
    c.setSelectedTextOnly(true); // so that setting the find string does not search yet
    c.setFindString(find);
    c.setSelectedTextOnly(s.selectedOnly);
}
} // namespace

class TestFindPanel : public QObject {
    Q_OBJECT
private slots:
    void init();
    void literalFind_data();
    void literalFind();
    void regexFind_data();
    void regexFind();
    void regexOptions_data();
    void regexOptions();
    void settingsDefaults();
    void templates_data();
    void templates();
    void settingFindStringSearchesAsYouType();
    void replaceAndUndo();
    void replaceAll_data();
    void replaceAll();
    void replaceAndFindMovesOn();
    void richTextViewWorksToo();
    void history();
    void fieldColours();
    void panelWiring();

private:
    TestEnvironment m_env;
};

void TestFindPanel::init()
{
    m_env.ui().reset();
    for (const QString &key : OXRegexSettings::optionTitles())
        Preferences::instance().removeValue(key);
    Preferences::instance().removeValue(OXRegexSettings::syntaxKey());
    OXRegexSettings::registerDefaults();
}

void TestFindPanel::literalFind_data()
{
    QTest::addColumn<int>("location");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("oldSearch");
    QTest::addColumn<bool>("backwards");
    QTest::addColumn<bool>("wrap");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<bool>("selectedOnly");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("foundAt");
    QTest::addColumn<int>("foundLength");
    // kText: "one two One two one": one@0, two@4, One@8, two@12, one@16.
    QTest::newRow("forward from the start") << 0 << 0 << "one"
                                            << "" << false << true << true << false << 1 << 0 << 3;
    QTest::newRow("forward after a match, any case") << 0 << 3 << "one"
                                                     << "" << false << true << true << false << 1 << 8 << 3;
    QTest::newRow("forward, case counts") << 0 << 3 << "one"
                                          << "" << false << true << false << false << 1 << 16 << 3;
    QTest::newRow("backward before the selection") << 8 << 3 << "one"
                                                   << "" << true << true << true << false << 1 << 0 << 3;
    QTest::newRow("backward from the start wraps to the last") << 0 << 0 << "one"
                                                               << "" << true << true << true << false << 1 << 16 << 3;
    QTest::newRow("backward from the start without wrap") << 0 << 0 << "one"
                                                          << "" << true << false << true << false << 0 << 0 << 0;
    QTest::newRow("forward at the end wraps") << 16 << 3 << "one"
                                              << "" << false << true << true << false << 1 << 0 << 3;
    QTest::newRow("forward at the end without wrap") << 16 << 3 << "one"
                                                     << "" << false << false << true << false << 0 << 16 << 3;
    QTest::newRow("selected text only stays inside") << 4 << 10 << "two"
                                                     << "" << false << true << true << true << 1 << 4 << 3;
    QTest::newRow("selected text only never wraps") << 4 << 6 << "one"
                                                    << "" << false << true << true << true << 0 << 4 << 6;
    QTest::newRow("typing starts again at the previous match") << 0 << 2 << "one"
                                                               << "on" << false << true << true << false << 1 << 0 << 3;
    QTest::newRow("not in the text") << 0 << 0 << "three"
                                     << "" << false << true << true << false << 0 << 0 << 0;
}

void TestFindPanel::literalFind()
{
    QFETCH(int, location);
    QFETCH(int, length);
    QFETCH(QString, find);
    QFETCH(QString, oldSearch);
    QFETCH(bool, backwards);
    QFETCH(bool, wrap);
    QFETCH(bool, ignoreCase);
    QFETCH(bool, selectedOnly);
    QFETCH(int, result);
    QFETCH(int, foundAt);
    QFETCH(int, foundLength);
    Editor editor(kText, location, length);
    OXFileFindController_Normal c;
    c.setTextView(editor.view);
    configure(c, {backwards, wrap, ignoreCase, selectedOnly}, find);
    QCOMPARE(int(c.search(backwards, oldSearch)), result);
    QCOMPARE(editor.selection(), qMakePair(foundAt, foundLength));
    QCOMPARE(m_env.ui().beeps(), result == 0 ? 1 : 0);
    QCOMPARE(editor.view->findIndicatorCount(), result == 1 ? 1 : 0);
}

void TestFindPanel::regexFind_data()
{
    QTest::addColumn<QString>("syntax");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("location");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("backwards");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("foundAt");
    QTest::addColumn<int>("foundLength");
    QTest::newRow("first match forward") << "Ruby (default)"
                                         << "t\\w+" << 0 << 0 << false << 1 << 4 << 3;
    QTest::newRow("last match backward") << ""
                                         << "o\\w*" << 8 << 3 << true << 1 << 6 << 1;
    QTest::newRow("backward wraps to the last") << ""
                                                << "O\\w+" << 0 << 0 << true << 1 << 16 << 3;
    QTest::newRow("invalid pattern") << ""
                                     << "(one" << 4 << 3 << false << -1 << 4 << 3;
    QTest::newRow("POSIX basic groups") << "POSIX Basic"
                                        << "t\\(w\\)o" << 0 << 0 << false << 1 << 4 << 3;
    QTest::newRow("Ruby treats \\( as a parenthesis") << "Ruby (default)"
                                                      << "t\\(w\\)o" << 0 << 0 << false << 0 << 0 << 0;
    QTest::newRow("POSIX extended") << "POSIX Extended"
                                    << "t(w)o+" << 5 << 0 << false << 1 << 12 << 3;
    QTest::newRow("Emacs") << "Emacs"
                           << "t\\(w\\|x\\)o" << 0 << 0 << false << 1 << 4 << 3;
    QTest::newRow("grep") << "grep"
                          << "o\\(ne\\)" << 1 << 0 << false << 1 << 8 << 3;
    QTest::newRow("GNU") << "GNU"
                         << "\\bOne\\b" << 1 << 0 << false << 1 << 8 << 3;
    QTest::newRow("Java") << "Java"
                          << "t[w]o(?= one)" << 5 << 0 << false << 1 << 12 << 3;
    QTest::newRow("Perl") << "Perl"
                          << "one(?= two)" << 1 << 0 << false << 1 << 8 << 3;
    QTest::newRow("unknown syntax is Ruby") << "Klingon"
                                            << "t\\w+" << 0 << 0 << false << 1 << 4 << 3;
}

void TestFindPanel::regexFind()
{
    QFETCH(QString, syntax);
    QFETCH(QString, pattern);
    QFETCH(int, location);
    QFETCH(int, length);
    QFETCH(bool, backwards);
    QFETCH(int, result);
    QFETCH(int, foundAt);
    QFETCH(int, foundLength);
    OXRegexSettings::setSyntaxTitle(syntax);
    Editor editor(kText, location, length);
    OXFileFindController_Regex c;
    c.setTextView(editor.view);
    configure(c, {}, pattern);
    QCOMPARE(int(c.search(backwards)), result);
    QCOMPARE(editor.selection(), qMakePair(foundAt, foundLength));
    QCOMPARE(m_env.ui().beeps(), result == 0 ? 1 : 0);
}

void TestFindPanel::regexOptions_data()
{
    QTest::addColumn<QString>("option"); // the option turned to `on`; "" for the defaults
    QTest::addColumn<bool>("on");
    QTest::addColumn<QString>("syntax");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("foundAt"); // -1: not found
    QTest::addColumn<int>("foundLength");
    // Text "ab\ncd ab".
    QTest::newRow("^ matches at a line start by default") << "" << true << ""
                                                          << "^cd" << 3 << 2;
    QTest::newRow("line boundaries off: ^ only at the start") << "^ and $ Match Line Boundaries" << false << ""
                                                              << "^cd" << -1 << 0;
    QTest::newRow("line boundaries off: $ only at the end") << "^ and $ Match Line Boundaries" << false << ""
                                                            << "ab$" << 6 << 2;
    QTest::newRow("Perl syntax honours line boundaries") << "" << true << "Perl"
                                                         << "^cd" << 3 << 2;
    QTest::newRow("dot stops at newlines by default") << "" << true << ""
                                                      << "b.c" << -1 << 0;
    QTest::newRow("dot matches newlines") << "Dot Matches Newlines" << true << ""
                                          << "b.c" << 1 << 3;
    QTest::newRow("free spacing") << "Free Spacing" << true << ""
                                  << "c d # comment" << 3 << 2;
    QTest::newRow("empty matches ignored by default") << "" << true << ""
                                                      << "x*" << -1 << 0;
    QTest::newRow("empty matches found when allowed") << "Ignore Empty Matches" << false << ""
                                                      << "x*" << 1 << 0;
}

void TestFindPanel::regexOptions()
{
    QFETCH(QString, option);
    QFETCH(bool, on);
    QFETCH(QString, syntax);
    QFETCH(QString, pattern);
    QFETCH(int, foundAt);
    QFETCH(int, foundLength);
    if (!option.isEmpty())
        OXRegexSettings::setOption(option, on);
    OXRegexSettings::setSyntaxTitle(syntax);
    Editor editor("ab\ncd ab");
    OXFileFindController_Regex c;
    c.setTextView(editor.view);
    configure(c, {false, false, true, false}, pattern);
    const OXFindResult result = c.search(false);
    QCOMPARE(result, foundAt < 0 ? OXFindResult::NotFound : OXFindResult::Found);
    if (foundAt >= 0)
        QCOMPARE(editor.selection(), qMakePair(foundAt, foundLength));
}

void TestFindPanel::settingsDefaults()
{
    QCOMPARE(OXRegexSettings::syntaxTitle(), QString("Ruby (default)"));
    QCOMPARE(OXRegexSettings::syntax(), HVICURegex::Syntax::Ruby);
    QCOMPARE(OXRegexSettings::option("Dot Matches Newlines"), false);
    QCOMPARE(OXRegexSettings::option("^ and $ Match Line Boundaries"), true);
    QCOMPARE(OXRegexSettings::option("Free Spacing"), false);
    QCOMPARE(OXRegexSettings::option("Ignore Empty Matches"), true);
    QCOMPARE(OXRegexSettings::option("Capture Numbered Groups"), true);
    QCOMPARE(
        OXRegexSettings::regexOptions(true),
        unsigned(HVICURegex::IgnoreCaseOption | HVICURegex::NegateSingleLineOption | HVICURegex::FindNotEmptyOption));
    OXRegexSettings::setSyntaxTitle("Java");
    QCOMPARE(Preferences::instance().stringValue("OXFF Syntax Type"), QString("Java"));
    QCOMPARE(OXRegexSettings::syntax(), HVICURegex::Syntax::Java);
    OXRegexSettings::setSyntaxTitle("");
    QCOMPARE(OXRegexSettings::syntax(), HVICURegex::Syntax::Ruby);
    OXRegexSettings::setOption("Capture Numbered Groups", false);
    QVERIFY(OXRegexSettings::regexOptions(false) & HVICURegex::DontCaptureGroupOption);
}

void TestFindPanel::templates_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("expected");
    QTest::newRow("numbered groups") << "(\\w+)@(\\w+)"
                                     << "me@host"
                                     << "\\2 at \\1"
                                     << "host at me";
    QTest::newRow("whole match two ways") << "b+"
                                          << "abbc"
                                          << "[\\0|\\&]"
                                          << "[bb|bb]";
    QTest::newRow("named group") << "(?<user>\\w+)@"
                                 << "me@host"
                                 << "\\k<user>!"
                                 << "me!";
    QTest::newRow("numbered by \\k") << "(\\w)(\\w)"
                                     << "xy"
                                     << "\\k<2>"
                                     << "y";
    QTest::newRow("before and after") << "b"
                                      << "abc"
                                      << "\\'\\`"
                                      << "ca";
    QTest::newRow("last group that took part") << "(a)|(b)"
                                               << "b"
                                               << "<\\+>"
                                               << "<b>";
    QTest::newRow("escapes") << "b"
                             << "b"
                             << "\\\\\\t\\n\\q"
                             << "\\\t\nq";
    QTest::newRow("missing group is empty") << "b"
                                            << "b"
                                            << "[\\5]"
                                            << "[]";
    QTest::newRow("trailing backslash stays") << "b"
                                              << "b"
                                              << "x\\"
                                              << "x\\";
}

void TestFindPanel::templates()
{
    QFETCH(QString, pattern);
    QFETCH(QString, subject);
    QFETCH(QString, replacement);
    QFETCH(QString, expected);
    HVICURegex regex(pattern);
    QVERIFY2(regex.isValid(), qPrintable(regex.errorString()));
    const std::optional<HVICURegex::Match> m = regex.findFirst(subject);
    QVERIFY(m);
    QCOMPARE(OGReplaceExpression(replacement).replaceMatchedString(*m, subject), expected);
}

void TestFindPanel::settingFindStringSearchesAsYouType()
{
    Editor editor(kText);
    OXFileFindController_Normal c;
    c.setTextView(editor.view);
    // Each keystroke searches again from the previous match, so the match grows in place.
    QCOMPARE(c.setFindString("t"), OXFindResult::Found);
    QCOMPARE(editor.selection(), qMakePair(4, 1));
    QCOMPARE(c.setFindString("tw"), OXFindResult::Found);
    QCOMPARE(editor.selection(), qMakePair(4, 2));
    QCOMPARE(c.setFindString("two"), OXFindResult::Found);
    QCOMPARE(editor.selection(), qMakePair(4, 3));
    // With "Selected Text Only" the string is only remembered.
    c.setSelectedTextOnly(true);
    c.setFindString("one");
    QCOMPARE(editor.selection(), qMakePair(4, 3));
    QCOMPARE(c.findString(), QString("one"));
}

void TestFindPanel::replaceAndUndo()
{
    Editor editor(kText, 4, 3);
    OXFileFindController_Normal c;
    c.setTextView(editor.view);
    c.setReplaceString("2");
    QVERIFY(c.replace());
    QCOMPARE(editor.edit.toPlainText(), QString("one 2 One two one"));
    QCOMPARE(editor.selection(), qMakePair(4, 1));
    editor.edit.undo();
    QCOMPARE(editor.edit.toPlainText(), kText);
    // Nothing selected: a beep and no change.
    editor.view->setSelectedRange(2, 0);
    QVERIFY(!c.replace());
    QCOMPARE(m_env.ui().beeps(), 1);
    QCOMPARE(editor.edit.toPlainText(), kText);

    // A regular-expression replace expands the template for the selected match.
    Editor regexEditor("key=value", 0, 9);
    OXFileFindController_Regex r;
    r.setTextView(regexEditor.view);
    configure(r, {}, "(\\w+)=(\\w+)");
    r.setReplaceString("\\2=\\1");
    QVERIFY(r.replace());
    QCOMPARE(regexEditor.edit.toPlainText(), QString("value=key"));
}

void TestFindPanel::replaceAll_data()
{
    QTest::addColumn<bool>("regex");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<bool>("selectedOnly");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("expected");
    QTest::newRow("literal, any case") << false << "one"
                                       << "1" << true << false << 3 << "1 two 1 two 1";
    QTest::newRow("literal, case counts") << false << "one"
                                          << "1" << false << false << 2 << "1 two One two 1";
    QTest::newRow("literal inside the selection") << false << "two"
                                                  << "2" << true << true << 1 << "one 2 One two one";
    QTest::newRow("regex with template") << true << "(\\w)(\\w+)"
                                         << "\\2\\1" << true << false << 5 << "neo wot neO wot neo";
    QTest::newRow("regex inside the selection") << true << "o"
                                                << "0" << true << true << 2 << "one tw0 0ne two one";
    QTest::newRow("regex without a match beeps") << true << "z+"
                                                 << "" << true << false << 0 << kText;
    QTest::newRow("invalid regex changes nothing") << true << "["
                                                   << "" << true << false << 0 << kText;
}

void TestFindPanel::replaceAll()
{
    QFETCH(bool, regex);
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(bool, ignoreCase);
    QFETCH(bool, selectedOnly);
    QFETCH(int, count);
    QFETCH(QString, expected);
    // The selection covers "two One" (4..11).
    Editor editor(kText, 4, 7);
    std::unique_ptr<OXFileFindController> c;
    if (regex)
        c = std::make_unique<OXFileFindController_Regex>();
    else
        c = std::make_unique<OXFileFindController_Normal>();
    c->setTextView(editor.view);
    configure(*c, {false, true, ignoreCase, selectedOnly}, find);
    c->setReplaceString(replacement);
    QCOMPARE(c->replaceAll(), count);
    QCOMPARE(editor.edit.toPlainText(), expected);
    if (count > 0) {
        editor.edit.undo();
        QCOMPARE(editor.edit.toPlainText(), kText);
    }
}

void TestFindPanel::replaceAndFindMovesOn()
{
    Editor editor(kText, 0, 3);
    OXFileFindController_Normal c;
    c.setTextView(editor.view);
    configure(c, {}, "one");
    c.setReplaceString("1");
    QCOMPARE(c.replaceAndFind(), OXFindResult::Found);
    QCOMPARE(editor.edit.toPlainText(), QString("1 two One two one"));
    QCOMPARE(editor.selection(), qMakePair(6, 3));
}

void TestFindPanel::richTextViewWorksToo()
{
    QTextEdit edit;
    edit.setHtml("<p>first <b>line</b></p><p>second line</p>");
    auto view = std::make_shared<OXFindTextView>(&edit);
    OXFileFindController_Regex c;
    c.setTextView(view);
    configure(c, {}, "^second");
    QCOMPARE(c.search(false), OXFindResult::Found);
    QCOMPARE(edit.textCursor().selectedText(), QString("second"));
    c.setReplaceString("2nd");
    QVERIFY(c.replace());
    QCOMPARE(edit.toPlainText(), QString("first line\n2nd line"));
}

void TestFindPanel::history()
{
    OXFindHistory h;
    QCOMPARE(h.items().size(), 3);
    QCOMPARE(h.items().at(1).title, QString("Clear Menu"));
    QCOMPARE(h.items().at(1).tag, -1);
    for (int i = 1; i <= 12; ++i)
        h.add(QString("s%1").arg(i), i % 2 == 0);
    h.add("s12", false);        // already there
    h.add("Clear Menu", false); // never remembered
    h.add("", false);
    QCOMPARE(h.items().size(), 13);
    QCOMPARE(h.remembered(), QStringList({"s12", "s11", "s10", "s9", "s8", "s7", "s6", "s5", "s4", "s3"}));
    QString text;
    bool regex = false;
    QVERIFY(h.choose(3, &text, &regex));
    QCOMPARE(text, QString("s12"));
    QVERIFY(regex);
    QVERIFY(h.choose(4, &text, &regex));
    QVERIFY(!regex);
    QVERIFY(!h.choose(1, &text, &regex));
    h.clear();
    QCOMPARE(h.items().size(), 3);
    QVERIFY(h.remembered().isEmpty());
}

void TestFindPanel::fieldColours()
{
    Editor editor(kText);
    OXFileFindController_Normal literal;
    literal.setTextView(editor.view);
    configure(literal, {}, "(");
    literal.search(false);
    QCOMPARE(literal.fieldColor(), QColor(Qt::white));

    OXFileFindController_Regex regex;
    regex.setTextView(editor.view);
    configure(regex, {}, "(");
    QCOMPARE(regex.search(false), OXFindResult::Invalid);
    QCOMPARE(regex.fieldColor(), QColor::fromRgbF(0.984f, 0.937f, 0.929f));
    configure(regex, {}, "zzz");
    QCOMPARE(regex.search(false), OXFindResult::NotFound);
    QCOMPARE(regex.fieldColor(), QColor::fromRgbF(0.951f, 0.984f, 0.929f));
}

void TestFindPanel::panelWiring()
{
    QPlainTextEdit edit;
    edit.setPlainText(kText);
    OXFileFindView panel;
    panel.setTextView(&edit);
    QVERIFY(panel.isHidden());
    // "Use selection": the panel shows with the selected text as the find string.
    OXFindTextView(&edit).setSelectedRange(4, 3);
    panel.performFileFindPanelAction(OXFileFindView::UseSelection);
    QVERIFY(!panel.isHidden());
    QCOMPARE(panel.findField()->text(), QString("two"));
    // Find next and previous through the tags; each find is remembered once.
    panel.performFileFindPanelAction(OXFileFindView::FindNext);
    QCOMPARE(edit.textCursor().selectionStart(), 12);
    panel.performFileFindPanelAction(OXFileFindView::FindPrevious);
    QCOMPARE(edit.textCursor().selectionStart(), 4);
    QCOMPARE(panel.history().remembered(), QStringList{"two"});
    // Typing searches as the text grows but is not remembered.
    panel.findField()->clear();
    QTest::keyClicks(panel.findField(), "On");
    QCOMPARE(edit.textCursor().selectedText(), QString("On"));
    QCOMPARE(panel.history().remembered(), QStringList{"two"});
    // The regular-expression switch changes the placeholders and colours the fields.
    QCOMPARE(panel.findField()->placeholderText(), QString("Find"));
    panel.setRegex(true);
    QCOMPARE(panel.findField()->placeholderText(), QString("Find Expression"));
    QCOMPARE(panel.replaceField()->placeholderText(), QString("Replace Expression"));
    panel.findField()->setText("[");
    QCOMPARE(panel.find(false), OXFindResult::Invalid);
    QCOMPARE(panel.findField()->palette().color(QPalette::Base), QColor::fromRgbF(0.984f, 0.937f, 0.929f));
    QCOMPARE(panel.history().remembered(), QStringList{"two"}); // an invalid pattern is not remembered
    panel.findField()->setText("t(w)o");
    QCOMPARE(panel.find(false), OXFindResult::Found);
    QCOMPARE(panel.replaceField()->palette().color(QPalette::Base), QColor::fromRgbF(0.951f, 0.984f, 0.929f));
    // Choosing a history item restores its text and its switch.
    panel.historyMenu(4); // "two", found literally
    QCOMPARE(panel.findField()->text(), QString("two"));
    QVERIFY(!panel.isRegex());
    panel.historyMenu(1); // "Clear Menu"
    QVERIFY(panel.history().remembered().isEmpty());
    // The options menu toggles and stores an option; the syntax menu stores its title.
    panel.regexOptionsMenu("Free Spacing");
    QVERIFY(OXRegexSettings::option("Free Spacing"));
    panel.syntaxMode("Perl");
    QCOMPARE(OXRegexSettings::syntaxTitle(), QString("Perl"));
    QStringList checked;
    for (QAction *a : panel.regexMenu()->actions())
        if (a->isChecked())
            checked << a->text();
    QCOMPARE(checked, QStringList({"^ and $ Match Line Boundaries", "Free Spacing", "Ignore Empty Matches",
                                   "Capture Numbered Groups"}));
    // Replace all through the panel, then Done hides it.
    panel.setRegex(false);
    panel.findField()->setText("one");
    panel.replaceField()->setText("1");
    QCOMPARE(panel.replaceAll(), 3);
    QCOMPARE(edit.toPlainText(), QString("1 two 1 two 1"));
    panel.close();
    QVERIFY(panel.isHidden());
}

QTEST_MAIN(TestFindPanel)
#include "test_find_panel.moc"
