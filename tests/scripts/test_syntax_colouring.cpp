// Tests of the colouring passes on small scripts, and of the engine on an editor: incremental recolouring,
// the current line, bracket matching and completion words.
#include "MyDocument.h"
#include "OXScriptViewController.h"
#include "OXSyntaxHighlighterController.h"
#include "OXSyntaxPrefController.h"
#include "Preferences.h"
#include "SMLColouringPasses.h"
#include "SMLSyntaxColouring.h"
#include "TestEnvironment.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QtTest>

namespace {
// The coloured runs of `text` as "start:length:title" words, Plain runs left out.
QString tokens(const SMLColouringPasses &passes, const QString &text)
{
    QStringList words;
    for (const SMLTokenRun &run : passes.runsForRange(text, 0, text.size())) {
        if (run.kind != SMLTokenKind::Plain)
            words.append(QStringLiteral("%1:%2:%3").arg(run.start).arg(run.length).arg(styleTitle(run.kind)));
    }
    return words.join(u' ');
}
} // namespace

class TestSyntaxColouring : public QObject {
    Q_OBJECT
    TestEnvironment env;

    SMLColouringPasses javascript(SMLColouringSwitches switches = {})
    {
        return SMLColouringPasses(SMLSyntaxDefinition::load(QStringLiteral("javascript")), switches);
    }

private slots:
    void tokenRanges_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        // Strings take the one character before their quote; a string may open the text.
        QTest::newRow("string after blank") << "var x = \"a\";"
                                            << "0:3:Keywords 7:4:\"Strings\"";
        QTest::newRow("strings opening the text") << "\"a\" + 'b'"
                                                  << "0:3:\"Strings\" 5:4:\"Strings\"";
        QTest::newRow("escaped quote") << "s = 'it\\'s';"
                                       << "3:8:\"Strings\"";
        QTest::newRow("unclosed string") << "s = \"abc"
                                         << "";
        QTest::newRow("url in a string is no comment") << "s = \"http://x\"; t = 1;"
                                                       << "3:11:\"Strings\" 20:1:Numbers";
        // Regular-expression literals against division.
        QTest::newRow("regex literal") << "x = /ab+c/g;"
                                       << "4:6:/Regexes/";
        QTest::newRow("regex after return") << "return /x/.test(s)"
                                            << "0:6:Keywords 7:3:/Regexes/";
        QTest::newRow("division") << "y = (a) / 2 / 3;"
                                  << "10:1:Numbers 14:1:Numbers";
        QTest::newRow("division by names") << "z = a / b / c;"
                                           << "";
        QTest::newRow("division then comment") << "a = b / c; // d / e"
                                               << "11:8:/* Comments */";
        // Comments.
        QTest::newRow("line comment with a string") << "a = 1; // note \"x\""
                                                    << "4:1:Numbers 7:11:/* Comments */";
        QTest::newRow("url in a block comment") << "/* see http://a */ z = 1;"
                                                << "0:18:/* Comments */ 23:1:Numbers";
        QTest::newRow("string spilling out of a comment") << "/* if \"a */ b = \"c\";"
                                                          << "0:11:/* Comments */ 15:4:\"Strings\"";
        QTest::newRow("unclosed block comment") << "x /* open\ny"
                                                << "2:9:/* Comments */";
        QTest::newRow("block opener in a line comment") << "// a /* b\nc = 2;"
                                                        << "0:9:/* Comments */ 14:1:Numbers";
        // Keywords, numbers, the namespaces and their functions.
        QTest::newRow("keywords and numbers") << "for (var i = 0x1F; i < 2.5e3; i++) {}"
                                              << "0:3:Keywords 5:3:Keywords 13:4:Numbers 23:5:Numbers";
        QTest::newRow("digits inside names") << "a1 = b2;"
                                             << "";
        QTest::newRow("keyword inside a name") << "format = forx;"
                                               << "";
        QTest::newRow("namespace and function") << "Tools.Log(x)"
                                                << "0:5:Classes 6:3:Functions";
        QTest::newRow("keyword in a string") << "'if'"
                                             << "0:4:\"Strings\"";
    }

    void tokenRanges()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(tokens(javascript(), text), expected);
    }

    void switchesAndDefinitionFlags()
    {
        SMLColouringSwitches off;
        off.strings = false;
        off.comments = false;
        off.keywords = false;
        QCOMPARE(tokens(javascript(off), "var s = 'a'; // c"), QString());

        // Without the resource the built-in definition colours no words, strings or comments.
        const SMLColouringPasses builtIn(SMLSyntaxDefinition::builtIn(), {});
        QCOMPARE(builtIn.definition().name, QStringLiteral("Standard"));
        QCOMPARE(tokens(builtIn, "var s = 'a'; // c"), QString());

        // Case-insensitive keywords: the keyword list is lower-cased and so is every word looked up.
        Value dict = Value::dict({{"keywords", Value(QStringList{"SELECT", "from"})},
                                  {"apiMethods", Value(QStringList{"Count"})},
                                  {"keywordsCaseSensitive", false}});
        const SMLColouringPasses insensitive(SMLSyntaxDefinition::fromValue(dict), {});
        QCOMPARE(tokens(insensitive, "select a FROM b Count"), QStringLiteral("0:6:Keywords 9:4:Keywords"));

        // Already-coloured words keep their first colour unless the definition asks for recolouring.
        dict = Value::dict({{"keywords", Value(QStringList{"sum"})}, {"apiMethods", Value(QStringList{"sum"})}});
        QCOMPARE(tokens(SMLColouringPasses(SMLSyntaxDefinition::fromValue(dict), {}), "sum"),
                 QStringLiteral("0:3:Keywords"));
        dict.set("recolourKeywordIfAlreadyColoured", true);
        QCOMPARE(tokens(SMLColouringPasses(SMLSyntaxDefinition::fromValue(dict), {}), "sum"),
                 QStringLiteral("0:3:Functions"));
        // A number pattern that does not compile colours no numbers and breaks nothing else.
        const SMLColouringPasses badNumbers(
            SMLSyntaxDefinition::fromValue(Value::dict({{"numberDefinition", "(\\d"}, {"firstString", "\""}})), {});
        QVERIFY(!badNumbers.numberPattern().isValid());
        QCOMPARE(tokens(badNumbers, "x = 1 + \"2\""), QStringLiteral("7:4:\"Strings\""));
        // Gathered words become keywords when the user default asks for it, and are offered sorted.
        const SMLSyntaxDefinition gathered = SMLSyntaxDefinition::fromValue(dict, true);
        QCOMPARE(gathered.keywordsAndAutocompleteWords, QStringList({"sum", "sum"}));
    }

    void multiLineStrings()
    {
        SMLColouringSwitches switches;
        QCOMPARE(tokens(javascript(switches), "a = \"x\ny\";"), QString());
        switches.multiLineStrings = true;
        QCOMPARE(tokens(javascript(switches), "a = \"x\ny\";"), QStringLiteral("3:6:\"Strings\""));
    }

    void commandsInstructionsVariablesAttributes()
    {
        const Value dict = Value::dict({{"beginCommand", "<"},
                                        {"endCommand", ">"},
                                        {"beginInstruction", "<?"},
                                        {"endInstruction", "?>"},
                                        {"beginVariable", "$"},
                                        {"endVariable", " ;"}});
        const SMLColouringPasses passes(SMLSyntaxDefinition::fromValue(dict), {});
        QCOMPARE(tokens(passes, "<a href=x> $v; <?p?>"),
                 QStringLiteral("0:3:Keywords 3:4:Functions 7:3:Keywords 11:2:Classes 15:5:Classes"));
    }

    void engineColoursOnlyWhatAnEditTouches()
    {
        QPlainTextEdit editor;
        editor.resize(500, 300);
        editor.show();
        QString text;
        for (int i = 0; i < 3000; ++i)
            text += QStringLiteral("var a%1 = 'x'; // line\n").arg(i);
        editor.setPlainText(text);
        OXSyntaxHighlighterController host(&editor);
        host.awakeFromNib();
        SMLSyntaxColouring *engine = host.engine();
        QVERIFY(engine);
        QCOMPARE(engine->kindAt(0), SMLTokenKind::Keyword);
        QCOMPARE(engine->kindAt(text.size() - 3), SMLTokenKind::Comment);

        // One keystroke in the middle recolours its line and then the visible lines, never the whole text.
        const qsizetype before = engine->recolouredCharacters();
        QTextCursor cursor(editor.document()->findBlockByNumber(1500));
        cursor.insertText(QStringLiteral("v"));
        QCOMPARE(engine->lastRecolouredRange().first, qsizetype(editor.document()->findBlockByNumber(1500).position()));
        engine->flushPendingRecolour();
        QVERIFY(engine->recolouredCharacters() - before < text.size() / 20);
        // "vvar" is no keyword any more; the line's comment still is one.
        const int line = editor.document()->findBlockByNumber(1500).position();
        QCOMPARE(engine->kindAt(line), SMLTokenKind::Plain);
        QCOMPARE(engine->kindAt(line + 20), SMLTokenKind::Comment);

        // An unclosed block comment above colours the lines below it that are recoloured.
        QTextCursor top(editor.document()->findBlockByNumber(2));
        top.insertText(QStringLiteral("/*"));
        engine->flushPendingRecolour();
        QCOMPARE(engine->kindAt(editor.document()->findBlockByNumber(4).position()), SMLTokenKind::Comment);
        const QTextBlock far = editor.document()->findBlockByNumber(2500);
        engine->recolourRange(far.position(), far.position() + 1);
        QCOMPARE(engine->kindAt(far.position()), SMLTokenKind::Comment);
        QCOMPARE(engine->lastRecolouredRange().first, qsizetype(editor.document()->findBlockByNumber(2).position()));
    }

    void currentLineAndBraces()
    {
        QPlainTextEdit editor;
        editor.setPlainText(QStringLiteral("f(a(b)\nx"));
        OXSyntaxHighlighterController host(&editor);
        host.awakeFromNib();
        SMLSyntaxColouring *engine = host.engine();
        QTextCursor cursor = editor.textCursor();
        cursor.setPosition(6);
        editor.setTextCursor(cursor);
        QCOMPARE(engine->highlightedLine(), std::make_pair(qsizetype(0), qsizetype(6)));

        // Typing ")" after "(a(b)" flashes the first "(".
        QTest::keyClicks(&editor, QStringLiteral(")"));
        QCOMPARE(engine->flashedBrace(), qsizetype(1));
        QCOMPARE(env.ui().beeps(), 0);
        // One with nothing to match beeps.
        cursor.movePosition(QTextCursor::End);
        editor.setTextCursor(cursor);
        QTest::keyClicks(&editor, QStringLiteral("]"));
        QCOMPARE(engine->flashedBrace(), qsizetype(-1));
        QCOMPARE(env.ui().beeps(), 1);
        QCOMPARE(engine->highlightedLine().first, qsizetype(8));
        // Stepping back over a closer examines it too; jumps of more than one character do not.
        QTest::keyClick(&editor, Qt::Key_Left);
        QCOMPARE(env.ui().beeps(), 2);
        cursor.setPosition(7);
        editor.setTextCursor(cursor);
        QCOMPARE(env.ui().beeps(), 2);
        // Deleting a character moves the caret back without stepping over anything.
        cursor.setPosition(7);
        editor.setTextCursor(cursor);
        QTest::keyClick(&editor, Qt::Key_Backspace);
        QCOMPARE(editor.toPlainText(), QStringLiteral("f(a(b)\nx]"));
        cursor.setPosition(8);
        editor.setTextCursor(cursor);
        QTest::keyClick(&editor, Qt::Key_Backspace); // the caret comes to rest before "]"
        QCOMPARE(env.ui().beeps(), 2);
        QCOMPARE(SMLSyntaxColouring::matchingOpeningBrace(u"{[(])}", 5), qsizetype(0));
        QCOMPARE(SMLSyntaxColouring::matchingOpeningBrace(u"a)", 1), qsizetype(-1));

        Preferences::instance().setValue(QStringLiteral("ShowMatchingBraces"), false);
        QTest::keyClicks(&editor, QStringLiteral(")"));
        QCOMPARE(env.ui().beeps(), 2);
        Preferences::instance().removeValue(QStringLiteral("ShowMatchingBraces"));
    }

    void completionWords()
    {
        QPlainTextEdit editor;
        editor.setPlainText(QStringLiteral("var formula = 1;"));
        OXSyntaxHighlighterController host(&editor);
        host.awakeFromNib();
        QCOMPARE(host.engine()->completions(QStringLiteral("fo")), QStringList({"Form", "for"}));
        Preferences::instance().setValue(QStringLiteral("AutocompleteIncludeStandardWords"), true);
        QCOMPARE(host.engine()->completions(QStringLiteral("fo")), QStringList({"Form", "for", "formula"}));
        Preferences::instance().removeValue(QStringLiteral("AutocompleteIncludeStandardWords"));
    }

    void scriptEditorColoursAndCompletes()
    {
        auto doc = MyDocument::createNew();
        QVERIFY(doc);
        Value script = Value::dict({{"Name", "S"}, {"Code String", "var s = 'x'; // c"}});
        doc->scripts().append(script);
        OXScriptViewController editor(doc.get(), nullptr, script);
        QVERIFY(editor.highlighter() && editor.highlighter()->engine());
        SMLSyntaxColouring *engine = editor.highlighter()->engine();
        QCOMPARE(engine->kindAt(0), SMLTokenKind::Keyword);
        QCOMPARE(engine->kindAt(9), SMLTokenKind::String);
        QCOMPARE(engine->kindAt(14), SMLTokenKind::Comment);
        editor.setText(QStringLiteral("x = 2;"));
        QCOMPARE(engine->kindAt(4), SMLTokenKind::Number);
        QCOMPARE(editor.highlighter()->valueForKey("isSyntaxColoured").toBool(), true);
        QVERIFY(editor.highlighter()->valueForKey("other").isNull());
        QVERIFY(editor.codeSense());
    }

    void styleEntriesGiveFormats()
    {
        QPlainTextEdit editor;
        editor.setPlainText(QStringLiteral("var x"));
        OXSyntaxHighlighterController host(&editor);
        host.awakeFromNib();
        SMLSyntaxColouring *engine = host.engine();
        // A title without an entry: the plain engine font, no colour.
        const QTextCharFormat plain = engine->formatForTitle(QStringLiteral("Plain"));
        QVERIFY(!plain.hasProperty(QTextFormat::ForegroundBrush));
        QCOMPARE(plain.fontFamilies().toStringList(), QStringList{OXSyntaxHighlighterController::defaultFontName()});
        QCOMPARE(plain.fontPointSize(), 11.0);
        // The default style's keywords are bold and coloured with alpha forced to 1.
        OXSyntaxPrefController prefs;
        prefs.setColor(QColor::fromRgbF(0.2f, 0.4f, 0.6f, 0.5f), QStringLiteral("Keywords"), true);
        const QTextCharFormat keyword = engine->formatForTitle(QStringLiteral("Keywords"));
        QCOMPARE(keyword.fontWeight(), int(QFont::Bold));
        QCOMPARE(keyword.foreground().color().alphaF(), 1.0);
        QVERIFY(qAbs(keyword.foreground().color().blueF() - 0.6) < 0.001);
        prefs.setTextAttribute(QStringLiteral("Underline"), true, QStringLiteral("Keywords"));
        QVERIFY(engine->formatForTitle(QStringLiteral("Keywords")).fontUnderline());
        // A style without entries draws everything plainly.
        OXSyntaxPrefController::setCurrentStyle({});
        QVERIFY(!engine->formatForTitle(QStringLiteral("Keywords")).hasProperty(QTextFormat::ForegroundBrush));
        QVERIFY(OXSyntaxPrefController::setStyleNamed(QStringLiteral("Cupertino")));
    }
};

QTEST_MAIN(TestSyntaxColouring)
#include "test_syntax_colouring.moc"
