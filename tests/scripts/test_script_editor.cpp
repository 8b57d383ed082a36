// Tests of the script editor tab and of the script commands of orvix-cli.
#include "DesignFixture.h"
#include "MyDocument.h"
#include "OXScriptViewController.h"
#include "TestEnvironment.h"

#include <QProcess>
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
        QVERIFY(!editor.isRunning());
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
    }
};

QTEST_MAIN(TestScriptEditor)
#include "test_script_editor.moc"
