// Tests of the script editor tab and of the script commands of orvix-cli.
#include "DesignFixture.h"
#include "LMScriptViews.h"
#include "LMViewRegistry.h"
#include "MyDocument.h"
#include "OXScriptConsole.h"
#include "OXScriptViewController.h"
#include "RecordingNavigator.h"
#include "TestEnvironment.h"

#include <QProcess>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

class TestScriptEditor : public QObject {
    Q_OBJECT
    TestEnvironment env;

    // Runs orvix-cli and answers its exit code, standard output and standard error.
    static int cli(const QStringList &arguments, QString *out = nullptr, QString *err = nullptr)
    {
        QProcess process;
        process.start(QStringLiteral(ORVIX_CLI_PATH), arguments);
        process.waitForFinished(60000);
        if (out)
            *out = QString::fromUtf8(process.readAllStandardOutput());
        if (err)
            *err = QString::fromUtf8(process.readAllStandardError());
        return process.exitCode();
    }

    static QPushButton *button(OXScriptViewController &editor, const QString &text)
    {
        for (QPushButton *b : editor.view()->findChildren<QPushButton *>())
            if (b->text() == text)
                return b;
        return nullptr;
    }

private slots:
    void runShowsConsoleAndErrorsAndCleanUpStoresText()
    {
        auto doc = MyDocument::createNew();
        QVERIFY(doc);
        Value script = Value::dict({{"Name", "S"}, {"Code String", "Tools.Log('stored');"}});
        doc->scripts().append(script);
        OXScriptViewController editor(doc.get(), nullptr, script);
        QCOMPARE(editor.text(), QStringLiteral("Tools.Log('stored');"));
        editor.setText("Tools.Log('edited');\nTools.Print(7);\nnope();");
        editor.runButton();
        QTRY_VERIFY(!editor.isRunning());
        const QStringList lines = editor.consoleLines();
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[0].startsWith("session: Running "));
        QCOMPARE(lines.mid(1, 2), (QStringList{"log: edited", "print: 7"}));
        QVERIFY2(lines[3].startsWith("error: line 3: ReferenceError"), qPrintable(lines[3]));
        QVERIFY(env.ui().alerts().isEmpty());
        editor.cleanUp();
        QCOMPARE(script.value("Code String").toString(), editor.text());
        QVERIFY(doc->isChanged());
    }

    void namingSheetMakesTheScript()
    {
        auto doc = MyDocument::createNew();
        doc->scripts().append(Value::dict({{"Name", "Taken"}, {"Code String", ""}}));
        RecordingNavigator navigator;
        LMViewContext context;
        context.document = doc.get();
        context.navigator = &navigator;
        LMViewRequest request;
        request.kind = ViewKind::Script;
        // Cancelled: nothing is made.
        env.ui().answerTextInput(std::nullopt);
        QVERIFY(!makeScriptViewController(context, request));
        QCOMPARE(doc->scripts().size(), 1);
        // An empty or taken name beeps and asks again; a free one makes the script.
        env.ui().answerTextInput(QString());
        env.ui().answerTextInput(QStringLiteral("Taken"));
        env.ui().answerTextInput(QStringLiteral("Greeting"));
        auto editor = makeScriptViewController(context, request);
        QVERIFY(editor);
        QCOMPARE(env.ui().beeps(), 2);
        QCOMPARE(env.ui().textInputs().last().title, QStringLiteral("New Script"));
        QCOMPARE(env.ui().textInputs().last().label, QStringLiteral("Please name the script: (this is temporary)"));
        QCOMPARE(doc->scripts().size(), 2);
        const Value made = doc->scriptNamed("Greeting");
        QCOMPARE(made.value("Code String").toString(), QString());
        QVERIFY(doc->isChanged());
        QVERIFY(!navigator.argumentsOf("reloadSourceListExpanding").isEmpty());
        // What is typed into the new script is stored in it.
        static_cast<OXScriptViewController *>(editor.get())->setText("Tools.Log('hi');");
        editor->cleanUp();
        QCOMPARE(made.value("Code String").toString(), QStringLiteral("Tools.Log('hi');"));
        // Delete goes to the overview first, then removes the script by name.
        navigator.calls.clear();
        static_cast<OXScriptViewController *>(editor.get())->deleteMe();
        QCOMPARE(navigator.calls, (QStringList{"switchToOverview", "removeItem Script Greeting"}));
        // The window's run command runs a script by name.
        QVERIFY(runScriptNamed(doc.get(), "Greeting"));
        QVERIFY(!runScriptNamed(doc.get(), "Missing"));
        QTRY_COMPARE(scriptRunCount(doc.get()), 0);
    }

    // Run and Stop of the editor: the loop runs on its own thread, so the window keeps turning and Stop works.
    void stopEndsALoopWhileTheWindowStaysResponsive()
    {
        env.ui().reset();
        auto doc = MyDocument::createNew();
        Value script = Value::dict({{"Name", "Loop"}, {"Code String", "Tools.Log('start');\nwhile (true) {}"}});
        doc->scripts().append(script);
        OXScriptViewController editor(doc.get(), nullptr, script);
        QPushButton *run = button(editor, "Run");
        QPushButton *stop = button(editor, "Stop");
        QVERIFY(run && stop);
        QVERIFY(!stop->isEnabled());
        run->click();
        QVERIFY(editor.isRunning());
        QVERIFY(!run->isEnabled());
        QVERIFY(stop->isEnabled());
        // The console line comes from the script's thread while the loop holds it.
        QTRY_VERIFY(editor.consoleLines().contains("log: start"));
        int ticks = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [&ticks] { ++ticks; });
        tick.start(5);
        QTRY_VERIFY(ticks >= 5);
        QVERIFY(editor.isRunning());
        // A second Run while one is under way starts nothing.
        editor.runButton();
        QCOMPARE(editor.consoleLines().filter("session:").size(), 1);
        // Editing goes on: the run keeps the text it started with.
        editor.setText("Tools.Log('next');");
        QTimer::singleShot(0, stop, &QPushButton::click);
        QTRY_VERIFY_WITH_TIMEOUT(!editor.isRunning(), 1000);
        QVERIFY(run->isEnabled());
        QVERIFY(!stop->isEnabled());
        // The user stopped it: no error sheet, a note in the console.
        QVERIFY(env.ui().alerts().isEmpty());
        QCOMPARE(editor.consoleLines().last(), QStringLiteral("note: Stopped"));
        run->click();
        QTRY_VERIFY(!editor.isRunning());
        QCOMPARE(editor.consoleLines().last(), QStringLiteral("log: next"));
    }

    // The console page is driven by its four functions, with texts made safe for HTML and for the call's quotes.
    void consolePageTakesTheCalls()
    {
        auto doc = MyDocument::createNew();
        OXScriptViewController editor(doc.get(), nullptr, Value::dict({{"Name", "C"}, {"Code String", ""}}));
        QVERIFY(editor.consolePage()->isLoaded());
        editor.setText("Tools.Log(\"<b>'quoted'</b>\");\nTools.Print('a'); Tools.Print('b');\n"
                       "throw new Error('bad \"x\" \\\\ y');");
        editor.runButton();
        QTRY_VERIFY(!editor.isRunning());
        const QStringList calls = editor.consolePage()->calls();
        QCOMPARE(calls.size(), 5);
        const QRegularExpressionMatch session =
            QRegularExpression(R"(^session_add\('([^']+)', 'Running', '\d{4}-\d\d-\d\d \d\d:\d\d:\d\d'\);$)")
                .match(calls[0]);
        QVERIFY2(session.hasMatch(), qPrintable(calls[0]));
        const QString id = session.captured(1);
        QVERIFY2(
            QRegularExpression(
                QStringLiteral(R"(^log_add\('%1', '&lt;b&gt;\\'quoted\\'&lt;/b&gt;', '\d\d:\d\d:\d\d'\);$)").arg(id))
                .match(calls[1])
                .hasMatch(),
            qPrintable(calls[1]));
        QCOMPARE(calls[2], QStringLiteral("print_addChar('%1', 'a');").arg(id));
        QCOMPARE(calls[3], QStringLiteral("print_addChar('%1', 'b');").arg(id));
        QCOMPARE(calls[4], QStringLiteral(R"(error_add('%1', "Error: bad &quot;x&quot; \\ y", '3');)").arg(id));
        const QString html = editor.consolePage()->html();
        QVERIFY(!html.contains("<script"));
        QVERIFY(html.contains("<p class=\"print\">ab</p>"));
        QVERIFY(html.contains("line 3: Error: bad &quot;x&quot; \\ y"));
        // The view shows the page: the logged markup as text.
        auto *view = editor.view()->findChild<QTextBrowser *>();
        QVERIFY(view);
        QTRY_VERIFY(view->toPlainText().contains("<b>'quoted'</b>"));
        QVERIFY(view->toPlainText().contains("Running"));
        // Cleared, the next line opens an untitled session first.
        editor.clearAllConsole();
        QVERIFY(!editor.consolePage()->html().contains("Running"));
        editor.logToConsole("again");
        const QStringList after = editor.consolePage()->calls().mid(6);
        QCOMPARE(after.size(), 2);
        QVERIFY2(after[0].startsWith("session_add('") && after[0].contains("', '', '"), qPrintable(after[0]));
        QVERIFY(after[1].startsWith("log_add('"));
        QVERIFY(!after[0].contains(id));
    }

    void closingTheEditorStopsItsRun()
    {
        auto doc = MyDocument::createNew();
        auto editor = std::make_unique<OXScriptViewController>(
            doc.get(), nullptr, Value::dict({{"Name", "L"}, {"Code String", "Tools.Log('in');\nwhile (true) {}"}}));
        editor->runButton();
        QTRY_VERIFY(editor->consoleLines().contains("log: in"));
        // Destroying the tab's controller stops the loop and waits for it; nothing reaches the gone editor.
        editor.reset();
        QCoreApplication::processEvents();
    }

    void windowRunsStopAndEndWithTheDocument()
    {
        auto doc = MyDocument::createNew();
        doc->scripts().append(Value::dict({{"Name", "Loop"}, {"Code String", "while (true) {}"}}));
        QCOMPARE(stopScriptRuns(doc.get()), 0);
        QVERIFY(runScriptNamed(doc.get(), "Loop"));
        QVERIFY(runScriptNamed(doc.get(), "Loop"));
        QCOMPARE(scriptRunCount(doc.get()), 2);
        int ticks = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [&ticks] { ++ticks; });
        tick.start(5);
        QTRY_VERIFY(ticks >= 5);
        QCOMPARE(scriptRunCount(doc.get()), 2);
        QCOMPARE(stopScriptRuns(doc.get()), 2);
        QTRY_COMPARE_WITH_TIMEOUT(scriptRunCount(doc.get()), 0, 1000);
        // A closing document ends what still runs and waits for it.
        QVERIFY(runScriptNamed(doc.get(), "Loop"));
        endScriptRuns(doc.get());
        QCOMPARE(scriptRunCount(doc.get()), 0);
    }

    void errorListLeadsToTheLine()
    {
        auto doc = MyDocument::createNew();
        OXScriptViewController editor(doc.get(), nullptr, Value::dict({{"Name", "E"}, {"Code String", ""}}));
        editor.setText("var a = 1;\nvar b = 2;\nmissing();");
        editor.runButton();
        QTRY_VERIFY(!editor.isRunning());
        QCOMPARE(editor.errorList().size(), 1);
        QVERIFY2(editor.errorList().first().startsWith("line 3: ReferenceError"),
                 qPrintable(editor.errorList().first()));
        editor.goToError(0);
        QCOMPARE(editor.caretLine(), 3);
        // The next run starts with an empty list.
        editor.setText("var fine = true;");
        editor.runButton();
        QTRY_VERIFY(!editor.isRunning());
        QVERIFY(editor.errorList().isEmpty());
    }

    void externalEditingBringsChangesBack()
    {
        auto doc = MyDocument::createNew();
        Value script = Value::dict({{"Name", "X"}, {"Code String", "var x = 1;"}});
        doc->scripts().append(script);
        OXScriptViewController editor(doc.get(), nullptr, script);
        // "true" stands in for the external program: it leaves the file to the test.
        QVERIFY(editor.externalEdit(QStringLiteral("true")));
        const QString path = editor.externalFile();
        QVERIFY(path.contains("/orvix_temp/scripts/"));
        QVERIFY(path.endsWith(".js"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), QStringLiteral("var x = 1;"));
        file.close();
        auto writeFile = [&](const QByteArray &bytes) {
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(bytes);
            file.close();
        };
        writeFile("var x = 'é';\n");
        QTRY_COMPARE(editor.text(), QStringLiteral("var x = 'é';\n"));
        editor.cleanUp();
        QCOMPARE(script.value("Code String").toString(), QStringLiteral("var x = 'é';\n"));

        env.ui().answer("Don't Stop");
        editor.cancelExternalEdit();
        QVERIFY(editor.isEditingExternally());
        env.ui().answer("Stop");
        editor.cancelExternalEdit();
        QVERIFY(!editor.isEditingExternally());
        const Alert asked = env.ui().alerts().last().alert;
        QCOMPARE(asked.messageText, QStringLiteral("Stop Editing Externally?"));
        QCOMPARE(asked.informativeText,
                 QStringLiteral("If you stop editing externally, any further changes made in the "
                                "external application will not change the script."));
        QCOMPARE(asked.buttons, (QStringList{"Stop", "Don't Stop"}));
        // After stopping, the file is gone and no longer changes the script.
        QVERIFY(!QFile::exists(path));
        writeFile("var x = 3;");
        QTest::qWait(300);
        QFile::remove(path);
        QCOMPARE(editor.text(), QStringLiteral("var x = 'é';\n"));
        QVERIFY(!editor.externalEdit(QStringLiteral("/nonexistent/program")));
        QVERIFY(env.ui().alerts().last().alert.messageText.contains("could not be started"));
    }

    void commandLine()
    {
        const QString package = env.path("S.orvix");
        QCOMPARE(cli({"new", package}), 0);
        QString out, err;
        QCOMPARE(cli({"eval-js", package, "window.OrvixController.xwTableNames().length + 2"}, &out), 0);
        QCOMPARE(out.trimmed(), QStringLiteral("2"));
        QCOMPARE(cli({"eval-js", package, "Tools.Log('hi'); undefinedThing"}, &out, &err), 1);
        QCOMPARE(out.trimmed(), QStringLiteral("hi"));
        QVERIFY2(err.contains("ReferenceError"), qPrintable(err));
        QCOMPARE(cli({"run-script", package, "Missing"}, &out, &err), 1);
        QVERIFY(err.contains("no script named \"Missing\""));

        // run-code runs a file's text; a change it makes is saved, and the error line counts from the file's first.
        {
            auto doc = DesignFixture::newDocumentWithTable(
                DesignFixture::table("Nums", {DesignFixture::field("Value", "Number")}));
            QVERIFY(doc && doc->save(package));
        }
        const QString code = env.path("add.js");
        QFile file(code);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            "var c = window.OrvixController;\nc.xwAddRowAtEnd_('Nums');\nTools.Log(c.xwRowCountForTable_('Nums'));\n");
        file.close();
        QCOMPARE(cli({"run-code", package, code, "--timing"}, &out, &err), 0);
        QCOMPARE(out.trimmed(), QStringLiteral("1"));
        QVERIFY2(QRegularExpression("^script_s=[0-9.]+$").match(err.trimmed()).hasMatch(), qPrintable(err));
        QCOMPARE(cli({"eval-js", package, "window.OrvixController.xwRowCountForTable_('Nums')"}, &out), 0);
        QCOMPARE(out.trimmed(), QStringLiteral("1"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("var a = 1;\n\nmissingFunction();\n");
        file.close();
        QCOMPARE(cli({"run-code", package, code}, &out, &err), 1);
        QVERIFY2(err.startsWith("line 3: ReferenceError"), qPrintable(err));
        QCOMPARE(cli({"run-code", package, env.path("absent.js")}, &out, &err), 1);
        QVERIFY2(err.contains("absent.js"), qPrintable(err));
    }
};

QTEST_MAIN(TestScriptEditor)
#include "test_script_editor.moc"
