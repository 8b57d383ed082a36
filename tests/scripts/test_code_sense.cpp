// Tests of the script knowledge base, code sense in an editor, and the codesense and highlight commands.
#include "MyDocument.h"
#include "OXCodeSenseController.h"
#include "OXJavascriptRunController.h"
#include "OXScriptKnowledgeBase.h"
#include "PropertyList.h"
#include "Resources.h"
#include "TestEnvironment.h"

#include <QPlainTextEdit>
#include <QProcess>
#include <QtTest>

class TestCodeSense : public QObject {
    Q_OBJECT
    TestEnvironment env;

    static int cli(const QStringList &arguments, QString *out)
    {
        QProcess process;
        process.start(QStringLiteral(ORVIX_CLI_PATH), arguments);
        process.waitForFinished(60000);
        *out = QString::fromUtf8(process.readAllStandardOutput());
        return process.exitCode();
    }

    static const OXScriptKnowledgeBase &base() { return OXScriptKnowledgeBase::sharedKnowledgeBase(); }

private slots:
    void pathUnderTheCaret_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("path");
        QTest::newRow("word") << "x = Fo" << QStringList{"Fo"};
        QTest::newRow("dot before caret") << "Form." << QStringList{"Form", ""};
        QTest::newRow("dotted prefix") << "if (Data.Ro" << QStringList{"Data", "Ro"};
        QTest::newRow("three levels") << "a.b.c" << QStringList{"a", "b", "c"};
        QTest::newRow("two dots end the scan") << "a..b" << QStringList{"b"};
        QTest::newRow("underscore is not collected") << "my_var" << QStringList{"var"};
        QTest::newRow("dollar is not collected") << "$x" << QStringList{"x"};
        QTest::newRow("after a call") << "f().le" << QStringList{"le"};
        QTest::newRow("nothing") << "x = " << QStringList{};
    }

    void pathUnderTheCaret()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, path);
        QCOMPARE(OXCodeSenseController::pathBeforeCaret(text, text.size()), path);
    }

    void matches_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("matches");
        QTest::newRow("namespace and keyword") << "Fo" << QStringList{"Form", "for"};
        QTest::newRow("keywords only") << "wh" << QStringList{"while"};
        QTest::newRow("functions of a namespace by prefix")
            << "Form.C" << QStringList{"ContentTable()", "ControlNamed()", "CurrentRowID()"};
        QTest::newRow("prefix is case sensitive in the base") << "Form.c" << QStringList{};
        QTest::newRow("same name in two namespaces") << "Orvix.Ve" << QStringList{"Version()"};
        QTest::newRow("value and values") << "Data.Val" << QStringList{"Value()", "Values()"};
        QTest::newRow("unknown namespace") << "Math.f" << QStringList{};
        QTest::newRow("namespace under the wrong parent") << "Tools.Data.R" << QStringList{};
        QTest::newRow("empty") << "" << QStringList{};
    }

    void matches()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, matches);
        QCOMPARE(
            OXCodeSenseController::matchesForPath(OXCodeSenseController::pathBeforeCaret(text, text.size()), base()),
            matches);
    }

    void everyFunctionOfANamespaceAfterItsDot()
    {
        const QStringList all = OXCodeSenseController::matchesForPath({"Document", ""}, base());
        QCOMPARE(all, QStringList({"Save()", "Close()", "Version()"}));
        // The namespaces hang under "Scripts", which is no namespace a script can name.
        QVERIFY(OXCodeSenseController::matchesForPath({"Scripts", ""}, base()).isEmpty());
        QVERIFY(!all.contains("Document"));
    }

    void documentation_data()
    {
        QTest::addColumn<QString>("proto");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no arguments") << "String Form.Name()"
                                      << "String|Form|Name||";
        QTest::newRow("typed arguments") << "Number Tools.Choose(String title, String message)"
                                         << "Number|Tools|Choose|title,message|String,String";
        QTest::newRow("untyped argument") << "void Data.AddRow(table, Number n)"
                                          << "void|Data|AddRow|table,n|,Number";
        QTest::newRow("no dot") << "void Name()"
                                << "";
        QTest::newRow("no parenthesis") << "void Data.Rows"
                                        << "";
        QTest::newRow("no blank") << "Data.Rows()"
                                  << "";
    }

    void documentation()
    {
        QFETCH(QString, proto);
        QFETCH(QString, expected);
        const Value doc = OXScriptKnowledgeBase::parsePrototype(proto);
        if (expected.isEmpty()) {
            QVERIFY(doc.isNull());
            return;
        }
        const QString flat =
            QStringList{doc.value("Return Type").toString(), doc.value("Namespace").toString(),
                        doc.value("Name").toString(), doc.value("Argument Names").toStringList().join(u','),
                        doc.value("Argument Types").toStringList().join(u',')}
                .join(u'|');
        QCOMPARE(flat, expected);
    }

    void documentationFromTheBase()
    {
        const Value doc = base().documentationForSuggestion("SetValue()");
        QCOMPARE(doc.value("Namespace").toString(), QStringLiteral("Data"));
        QCOMPARE(doc.value("Argument Names").toStringList(), QStringList({"table", "field", "id", "value"}));
        QVERIFY(doc.value("Description").toString().contains("record"));
        QVERIFY(base().documentationForSuggestion("Form").isNull()); // a namespace page has no prototype
        QVERIFY(base().documentationForSuggestion("Nothing()").isNull());
        // Pages outside the scripting part, loops in parents and a broken document.
        QString error;
        const OXScriptKnowledgeBase small = OXScriptKnowledgeBase::fromXml(
            "<root><page><title>Scripts</title><articleType>Scripting</articleType></page>"
            "<page><title>A</title><articleType>Scripting</articleType><parent>Scripts</parent></page>"
            "<page><title>Ab()</title><articleType>Scripting</articleType><parent>A</parent></page>"
            "<page><title>Ac()</title><articleType>Help</articleType><parent>A</parent></page>"
            "<page><title>L</title><articleType>Scripting</articleType><parent>M</parent></page>"
            "<page><title>M</title><articleType>Scripting</articleType><parent>L</parent></page>"
            "<page><title>Lx()</title><articleType>Scripting</articleType><parent>L</parent></page></root>",
            &error);
        QVERIFY(error.isEmpty());
        QCOMPARE(small.suggestionsForPath({"A", ""}), QStringList{"Ab()"});
        QCOMPARE(small.suggestionsForPath({"L", "L"}), QStringList{});
        QCOMPARE(small.parentTitleOfNode(small.nodeWithName("Ab()")), QStringLiteral("A"));
        QVERIFY(OXScriptKnowledgeBase::fromXml("<root><page>", &error).pages().isEmpty());
        QVERIFY(!error.isEmpty());
    }

    void definitionListsComeFromTheBase()
    {
        // The colouring definition's API methods and namespace words are the base's functions and namespaces.
        const auto definition = PropertyList::read(*Resources::read("javascript.plist"));
        QVERIFY(definition && definition->isDict());
        QStringList functions, namespaces;
        for (const OXKnowledgePage &page : base().pages()) {
            if (page.parent == QLatin1String("Scripts"))
                namespaces.append(page.title);
            else if (page.title.endsWith(QLatin1String("()")) && !functions.contains(page.title.chopped(2)))
                functions.append(page.title.chopped(2));
        }
        functions.sort();
        QCOMPARE(definition->value("apiMethods").toStringList(), functions);
        QCOMPARE(definition->value("autocompleteWords").toStringList(), namespaces);
        for (const QString &word : OXCodeSenseController::namespaceWords())
            QVERIFY(namespaces.contains(word));
        for (const QString &word : OXCodeSenseController::keywords())
            QVERIFY2(definition->value("keywords").toStringList().contains(word), qPrintable(word));
    }

    void everyDocumentedFunctionExists()
    {
        // What the base documents is what a script can call: each page is a function of its namespace object.
        auto doc = MyDocument::createNew();
        QVERIFY(doc);
        OXJavascriptRunController controller(QString(), doc.get());
        QVERIFY(controller.run());
        int functions = 0;
        for (const OXKnowledgePage &page : base().pages()) {
            if (!page.title.endsWith(QLatin1String("()")))
                continue;
            const QString call = page.parent + u'.' + page.title.chopped(2);
            QCOMPARE(controller.executeCode(QStringLiteral("typeof ") + call).toString(), QStringLiteral("function"));
            QVERIFY2(page.proto.contains(call + u'('), qPrintable(page.proto));
            ++functions;
        }
        QVERIFY(functions > 30);
        QCOMPARE(controller.executeCode(QStringLiteral("Orvix.Version()")).toString(),
                 controller.executeCode(QStringLiteral("Document.Version()")).toString());
    }

    void completingInAnEditor()
    {
        QPlainTextEdit editor;
        OXCodeSenseController sense;
        sense.setTextViewObject(&editor);
        QTest::keyClicks(&editor, "x = fo");
        QVERIFY(sense.isShown());
        QCOMPARE(sense.matches(), QStringList({"Form", "for"}));
        QCOMPARE(sense.matchLeftForIndex(0), QStringLiteral("Fo"));
        QCOMPARE(sense.matchRightForIndex(0), QStringLiteral("rm"));
        // Completing a namespace adds its dot and opens the next level at once.
        QTest::keyClick(&editor, Qt::Key_Return);
        QCOMPARE(editor.toPlainText(), QStringLiteral("x = Form."));
        QVERIFY(sense.isShown());
        QCOMPARE(sense.path(), QStringList({"Form", ""}));
        QCOMPARE(sense.selectedMatchString(), QStringLiteral("Name()"));
        // Arrows move the selection; typing narrows the list.
        QTest::keyClick(&editor, Qt::Key_Down);
        QCOMPARE(sense.selectedMatchString(), QStringLiteral("ContentTable()"));
        QTest::keyClick(&editor, Qt::Key_Up);
        QTest::keyClick(&editor, Qt::Key_Up);
        QCOMPARE(sense.selectedMatchString(), QStringLiteral("Name()"));
        QTest::keyClicks(&editor, "Get");
        QCOMPARE(sense.matches(), QStringList{"GetGlobal()"});
        // A function is completed with the caret between its parentheses.
        QTest::keyClick(&editor, Qt::Key_Tab);
        QCOMPARE(editor.toPlainText(), QStringLiteral("x = Form.GetGlobal()"));
        QCOMPARE(editor.textCursor().position(), editor.toPlainText().size() - 1);
        QVERIFY(!sense.isShown());
        // Escape and delete close the list; delete still deletes.
        QTest::keyClicks(&editor, "'a'); wh");
        QVERIFY(sense.isShown());
        QTest::keyClick(&editor, Qt::Key_Escape);
        QVERIFY(!sense.isShown());
        QCOMPARE(editor.toPlainText(), QStringLiteral("x = Form.GetGlobal('a'); wh)"));
        QTest::keyClick(&editor, Qt::Key_Space, Qt::ControlModifier);
        QVERIFY(sense.isShown());
        QTest::keyClick(&editor, Qt::Key_Backspace);
        QVERIFY(!sense.isShown());
        QCOMPARE(editor.toPlainText(), QStringLiteral("x = Form.GetGlobal('a'); w)"));
        // A character that ends the name closes the list.
        QTest::keyClick(&editor, Qt::Key_Space, Qt::ControlModifier);
        QVERIFY(sense.isShown());
        QTest::keyClicks(&editor, " ");
        QVERIFY(!sense.isShown());
    }

    void commandLine()
    {
        QString out;
        QCOMPARE(cli({"codesense", "var x = Form.C"}, &out), 0);
        QCOMPARE(out, QStringLiteral("ContentTable()\nControlNamed()\nCurrentRowID()\n"));
        QCOMPARE(cli({"codesense", "Fo"}, &out), 0);
        QCOMPARE(out, QStringLiteral("Form\nfor\n"));
        QCOMPARE(cli({"highlight", QStringLiteral(ORVIX_TEST_DATA "/colouring.js")}, &out), 0);
        const QStringList lines = out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.first(), QStringLiteral("0\t16\t/* Comments */"));
        QVERIFY(lines.contains(QStringLiteral("17\t3\tKeywords")));     // var
        QVERIFY(lines.contains(QStringLiteral("52\t4\tClasses")));      // Data
        QVERIFY(lines.contains(QStringLiteral("57\t8\tFunctions")));    // RowCount
        QVERIFY(lines.contains(QStringLiteral("65\t8\t\"Strings\"")));  // ("Items"
        QVERIFY(lines.contains(QStringLiteral("107\t4\t/Regexes/")));   // /a+/
        QVERIFY(lines.contains(QStringLiteral("116\t4\t\"Strings\""))); // ('b'
        QCOMPARE(lines.last(), QStringLiteral("132\t10\t/* Comments */"));
        QVERIFY(!out.contains(QStringLiteral("\tPlain Text")));
        QCOMPARE(cli({"highlight", "/nonexistent/file.js"}, &out), 1);
    }
};

QTEST_MAIN(TestCodeSense)
#include "test_code_sense.moc"
