// Tests of the script runtime: running, error lines, the call text, stop, the bridge functions and the sandbox.
#include "DesignFixture.h"
#include "LMReportDocument.h"
#include "LMReportPanels.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "OXFormScriptHost.h"
#include "OXJavascriptRunController.h"
#include "OXScriptBridge.h"
#include "OXScriptValues.h"
#include "Preferences.h"
#include "TestEnvironment.h"

#include <QElapsedTimer>
#include <QPrinter>
#include <QProcess>
#include <QTextDocument>
#include <QThread>
#include <QTimer>
#include <QtTest>
#include <thread>

namespace {
// Every message is also checked to arrive on the thread that made the controller.
struct Recorder : OXScriptRunDelegate, OXScriptLogView {
    QList<bool> finished;
    QList<Value> errors;
    QStringList console;
    int offThread = 0;
    void note() { offThread += QThread::currentThread() != qApp->thread(); }
    void scriptFinished(bool success) override
    {
        note();
        finished.append(success);
    }
    void scriptError(const Value &error) override
    {
        note();
        errors.append(error);
    }
    void logToConsole(const QString &text) override
    {
        note();
        console.append(QStringLiteral("log:") + text);
    }
    void printToConsole(const QString &text) override
    {
        note();
        console.append(QStringLiteral("print:") + text);
    }
};

// A form with named controls, as data entry offers it to scripts; counts calls off the main thread.
struct FakeForm : OXFormScriptHost {
    QHash<QString, Value> values;
    QHash<QString, Value> attributes;
    mutable int offThread = 0;
    mutable int calls = 0;
    void note() const
    {
        ++calls;
        offThread += QThread::currentThread() != qApp->thread();
    }
    QString currentRowid() const override
    {
        note();
        return QStringLiteral("2");
    }
    QString lastEditedField() const override
    {
        note();
        return QString();
    }
    std::optional<Value> controlValue(const QString &name) const override
    {
        note();
        return values.contains(name) ? std::optional<Value>(values.value(name)) : std::nullopt;
    }
    void setControlValue(const QString &name, const Value &value) override
    {
        note();
        if (values.contains(name))
            values.insert(name, value);
    }
    std::optional<Value> controlAttribute(const QString &name, const QString &attribute) const override
    {
        note();
        const QString key = name + QLatin1Char('/') + attribute;
        return attributes.contains(key) ? std::optional<Value>(attributes.value(key)) : std::nullopt;
    }
    void setControlAttribute(const QString &name, const QString &attribute, const Value &value) override
    {
        note();
        attributes.insert(name + QLatin1Char('/') + attribute, value);
    }
};

// Evaluates one expression after the bridge is installed and answers its JSON text.
QString evalJson(MyDocument *document, const QString &expression)
{
    OXJavascriptRunController controller(QString(), document);
    controller.run();
    return controller.executeCode(QStringLiteral("JSON.stringify(%1)").arg(expression)).toString();
}
} // namespace

class TestScriptRuntime : public QObject {
    Q_OBJECT
    TestEnvironment env;
    std::unique_ptr<MyDocument> doc;

private slots:
    void initTestCase()
    {
        using namespace DesignFixture;
        QString error;
        doc = newDocumentWithTable(
            table(QStringLiteral("People"), {field(QStringLiteral("Name"), QStringLiteral("Text")),
                                             field(QStringLiteral("Age"), QStringLiteral("Number"))}),
            &error);
        QVERIFY2(doc, qPrintable(error));
        for (int i = 0; i < 3; ++i)
            QVERIFY(!insertRow(*doc, QStringLiteral("People")).isEmpty());
        OXDatabase *db = doc->database();
        QVERIFY(!db->insertNativeValue(Value("Ann"), "People", "Name", "1"));
        QVERIFY(!db->insertNativeValue(Value(qint64(40)), "People", "Age", "1"));
        QVERIFY(!db->insertNativeValue(Value("Bob"), "People", "Name", "2"));
    }

    void errorLinesCountFromTheScript_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("line");
        QTest::newRow("first line throws") << "throw new Error('boom');" << 1;
        QTest::newRow("third line") << "var a = 1;\nvar b = 2;\nnoSuchFunction();" << 3;
        QTest::newRow("thrown text") << "\nthrow 'plain';" << 2;
        QTest::newRow("syntax error") << "var a = 1;\nvar = ;" << 2;
        QTest::newRow("stack overflow") << "\nfunction f(n) { return f(n + 1) + 1; }\nf(0);" << 2;
    }
    void errorLinesCountFromTheScript()
    {
        QFETCH(QString, code);
        QFETCH(int, line);
        Recorder recorder;
        OXJavascriptRunController controller(code, doc.get());
        controller.setDelegate(&recorder);
        QVERIFY(controller.run());
        QCOMPARE(recorder.errors.size(), 1);
        QCOMPARE(recorder.errors[0].value("lineNumber").toInt(), line);
        QVERIFY(!recorder.errors[0].value("message").toString().isEmpty());
        QCOMPARE(recorder.finished, QList<bool>{true});
    }

    void headerIsTheBridgeLibrary()
    {
        OXJavascriptRunController controller(QString(), nullptr);
        QVERIFY(controller.header().contains(QStringLiteral("ControlNamed")));
        QCOMPARE(controller.headerLines(), 1 + int(controller.header().count('\n')));
        controller.run();
        QCOMPARE(controller
                     .executeCode("typeof Form.ControlNamed + typeof Tools.Log + typeof Data.Value + "
                                  "typeof Document.Save")
                     .toString(),
                 QStringLiteral("functionfunctionfunctionfunction"));
    }

    void callTextAndFunctions()
    {
        QCOMPARE(OXJavascriptRunController::callText("", {"1"}), QString());
        QCOMPARE(OXJavascriptRunController::callText("f", {"1", "'a'"}), QStringLiteral("\n\nf(1, 'a');"));
        Recorder recorder;
        OXJavascriptRunController controller("function f(a, b) { window.OrvixController.xwLog_(a + b); return a * b; }",
                                             doc.get());
        controller.setLogView(&recorder);
        controller.runFunction("f", {"2", "3"});
        QCOMPARE(recorder.console, QStringList{"log:5"});
        QCOMPARE(controller.executeFunction("f", {QJSValue(4), QJSValue(5)}).toInt(), 20);
        QCOMPARE(controller.executeCode("f(1, 1) + 1").toInt(), 2);
    }

    void respondsToFunction_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("responds");
        QTest::newRow("declaration with blanks") << "function form_Price (ctrl) { }" << true;
        QTest::newRow("declaration") << "function form_Price(a, b) {}" << true;
        QTest::newRow("assignment") << "form_Price = function(ctrl) {}" << false;
        QTest::newRow("other name") << "function form_PriceX(ctrl) {}" << false;
    }
    void respondsToFunction()
    {
        QFETCH(QString, code);
        QFETCH(bool, responds);
        QCOMPARE(OXJavascriptRunController::script(code, "form_Price"), responds);
    }

    void stopEndsARunawayScript()
    {
        Recorder recorder;
        OXJavascriptRunController controller("var n = 0; while (true) { n++; }", doc.get());
        controller.setDelegate(&recorder);
        std::thread stopper([&controller] {
            while (!controller.isRunning())
                std::this_thread::yield();
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            controller.stop();
        });
        const bool finished = controller.run();
        stopper.join();
        QVERIFY(!finished);
        QVERIFY(controller.wasInterrupted());
        QCOMPARE(recorder.finished, QList<bool>{false});
        // The engine is usable after a stop.
        QCOMPARE(controller.executeCode("1 + 1").toInt(), 2);
    }

    // A started run leaves the GUI thread free: its event loop turns, and stop() from it ends the loop.
    void stopFromTheGuiThreadEndsAStartedRun()
    {
        Recorder recorder;
        OXJavascriptRunController controller("var n = 0;\nwhile (true) { n++; }", doc.get());
        controller.setDelegate(&recorder);
        int ticks = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [&ticks] { ++ticks; });
        tick.start(5);
        bool stopped = false;
        QTimer::singleShot(200, this, [&] {
            controller.stop();
            stopped = true;
        });
        QVERIFY(controller.start());
        QVERIFY(controller.isRunning());
        QVERIFY(!controller.start()); // one run at a time
        QTRY_VERIFY(stopped);
        QVERIFY(ticks >= 5);
        QTRY_VERIFY_WITH_TIMEOUT(!recorder.finished.isEmpty(), 1000);
        QCOMPARE(recorder.finished, QList<bool>{false});
        QVERIFY(controller.wasInterrupted());
        QVERIFY(!controller.isRunning());
        QCOMPARE(recorder.offThread, 0);
        // The same engine runs again, and a stop before a run does not leak into it.
        QCOMPARE(controller.executeCode("n > 0").toBool(), true);
        QCOMPARE(controller.executeCode("n = 1; n + 1").toInt(), 2);
    }

    // A script run by another (xwRunScript_) runs on the same thread; stop() reaches it and ends both.
    void stopReachesAScriptRunByAnother()
    {
        Value scripts = doc->scripts();
        scripts.append(Value::dict({{"Name", "Spin"}, {"Code String", "Tools.Log('spinning'); while (true) {}"}}));
        Recorder recorder;
        OXJavascriptRunController controller("Tools.RunScript('Spin'); Tools.Log('after');", doc.get());
        controller.setDelegate(&recorder);
        controller.setLogView(&recorder);
        QVERIFY(controller.start());
        QTRY_COMPARE(recorder.console, QStringList{"log:spinning"});
        controller.stop();
        QTRY_VERIFY_WITH_TIMEOUT(!recorder.finished.isEmpty(), 1000);
        QCOMPARE(recorder.finished, QList<bool>{false});
        QCOMPARE(recorder.console, QStringList{"log:spinning"});
        QCOMPARE(recorder.offThread, 0);
    }

    // The script's host calls (dialogs, console, data, form controls) run on the GUI thread while it waits.
    void hostCallsOfAStartedRunRunOnTheGuiThread()
    {
        env.ui().reset();
        env.ui().answer("No");
        Recorder recorder;
        FakeForm form;
        form.values.insert("Price", Value(qint64(5)));
        form.attributes.insert("Price/Tooltip", Value("old"));
        const QString c = QStringLiteral("var c = window.OrvixController;\n");
        OXJavascriptRunController controller(
            c + "var pressed = c.xwChoiceAlert_____('Pick', 'Which one?', 'Yes', 'No', '');\n"
                "c.xwAlert__('Chosen', pressed);\n"
                "Tools.Log(c.xwDataValue___('People', 'Name', 1) + ' ' + c.xwRowCountForTable_('People'));\n"
                "c.xwFormSetControlValue__('Price', c.xwFormControlValue_('Price') * 2);\n"
                "c.xwFormSetControlAttribute___('Price', 'Tooltip', 'new ' + c.xwFormGetControlAttribute__('Price', "
                "'Tooltip'));\n"
                "Tools.Print(c.xwFormCurrentRowid());\n"
                "missing();",
            doc.get());
        controller.setDelegate(&recorder);
        controller.setLogView(&recorder);
        controller.setFormHost(&form);
        QVERIFY(controller.start());
        QTRY_VERIFY(!recorder.finished.isEmpty());
        QCOMPARE(recorder.finished, QList<bool>{true});
        QCOMPARE(env.ui().alerts().size(), 2);
        QCOMPARE(env.ui().alerts().at(0).alert, Alert::make("Pick", "Which one?", {"Yes", "No"}));
        QCOMPARE(env.ui().alerts().at(1).alert, Alert::make("Chosen", "Secondary"));
        QCOMPARE(recorder.console, (QStringList{"log:Ann 3", "print:2"}));
        QCOMPARE(form.values.value("Price"), Value(qint64(10)));
        QCOMPARE(form.attributes.value("Price/Tooltip"), Value("new old"));
        QCOMPARE(recorder.errors.size(), 1);
        QCOMPARE(recorder.errors[0].value("lineNumber").toInt(), 8);
        QVERIFY(form.calls >= 5);
        QCOMPARE(form.offThread, 0);
        QCOMPARE(recorder.offThread, 0);
    }

    void timeLimitEndsARunawayScript()
    {
        OXJavascriptRunController controller("while (true) {}", doc.get());
        controller.setTimeLimit(200);
        QVERIFY(!controller.run());
        QVERIFY(controller.wasInterrupted());
    }

    void checkString_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("text");
        QTest::newRow("integer") << "3"
                                 << "3";
        QTest::newRow("fraction") << "2.5"
                                  << "2.500000";
        QTest::newRow("single precision") << "0.1"
                                          << "0.100000";
        QTest::newRow("negative") << "-7"
                                  << "-7";
        QTest::newRow("list") << "[4, 5]"
                              << "4";
        QTest::newRow("empty list") << "[]"
                                    << "";
        QTest::newRow("null") << "null"
                              << "";
        QTest::newRow("undefined") << "undefined"
                                   << "";
        QTest::newRow("boolean") << "true"
                                 << "";
        QTest::newRow("object") << "({a: 1})"
                                << "";
        QTest::newRow("text") << "'abc'"
                              << "abc";
    }
    void checkString()
    {
        QFETCH(QString, expression);
        QFETCH(QString, text);
        QJSEngine engine;
        QCOMPARE(OXScriptValues::checkString(engine.evaluate(expression)), text);
    }

    void dataFunctions_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("json");
        const QString c = QStringLiteral("window.OrvixController.");
        QTest::newRow("tables") << c + "xwTableNames()"
                                << R"(["People"])";
        QTest::newRow("fields") << c + "xwFieldNamesForTable_('People')"
                                << R"(["id","Name","Age"])";
        QTest::newRow("fields unknown") << c + "xwFieldNamesForTable_('Nope')"
                                        << "null";
        QTest::newRow("fields empty") << c + "xwFieldNamesForTable_()"
                                      << "null";
        QTest::newRow("count") << c + "xwRowCountForTable_('People')"
                               << "3";
        QTest::newRow("count unknown") << c + "xwRowCountForTable_('x')"
                                       << "null";
        QTest::newRow("type") << c + "xwTypeForTableField__('People', 'Age')"
                              << R"("Number")";
        QTest::newRow("datatype alias") << c + "xwDatatypeForTable_field_('People', 'Name')"
                                        << R"("Text")";
        QTest::newRow("type unknown field") << c + "xwTypeForTableField__('People', 'x')"
                                            << "null";
        QTest::newRow("index of id") << c + "xwIndexOfID__('People', 2)"
                                     << "1";
        QTest::newRow("index of id text") << c + "xwIndexOfID__('People', '3')"
                                          << "2";
        QTest::newRow("id compared as text") << c + "xwIndexOfID__('People', '02')"
                                             << "null";
        QTest::newRow("index of missing id") << c + "xwIndexOfID__('People', 99)"
                                             << "null";
        QTest::newRow("id at index") << c + "xwIDAtIndex__('People', 0)"
                                     << R"("1")";
        QTest::newRow("id at -1") << c + "xwIDAtIndex__('People', -1)"
                                  << "null";
        QTest::newRow("id at count") << c + "xwIDAtIndex__('People', 3)"
                                     << "null";
        QTest::newRow("values") << c + "xwDataValuesArray__('People', 'Name')"
                                << R"(["Ann","Bob",null])";
        QTest::newRow("values unknown field") << c + "xwDataValuesArray__('People', 'x')"
                                              << "null";
        QTest::newRow("value") << c + "xwDataValue___('People', 'Age', 1)"
                               << "40";
        QTest::newRow("value without id reads 1") << c + "xwDataValue___('People', 'Name')"
                                                  << R"("Ann")";
        QTest::newRow("value of missing record") << c + "xwDataValue___('People', 'Name', 42)"
                                                 << "null";
        QTest::newRow("value quote in id") << c + "xwDataValue___('People', 'Name', \"1' OR '1'='1\")"
                                           << "null";
        QTest::newRow("formula of plain text") << c + "xwEvaluateFormula__(null, 'plain')"
                                               << R"("plain")";
        QTest::newRow("empty formula") << c + "xwEvaluateFormula__(null, '')"
                                       << "null";
        QTest::newRow("form name without form") << c + "xwFormName()"
                                                << "null";
        QTest::newRow("form global without form") << c + "xwFormGetGlobal_('a')"
                                                  << "null";
    }
    void dataFunctions()
    {
        QFETCH(QString, expression);
        QFETCH(QString, json);
        QCOMPARE(evalJson(doc.get(), expression), json);
    }

    void writingData()
    {
        const QString c = QStringLiteral("window.OrvixController.");
        OXJavascriptRunController controller(c + "xwAddRowAtEnd_('People');\n" + c +
                                                 "xwSetDataValue____('People', 'Name', 4, 'Dee');\n" + c +
                                                 "xwRemoveRowWithID__('People', 3);\n",
                                             doc.get());
        QVERIFY(controller.run());
        QVERIFY(controller.errors().isEmpty());
        QCOMPARE(DesignFixture::cellText(*doc, "People", "Name", "4"), QStringLiteral("Dee"));
        QVERIFY(DesignFixture::cellText(*doc, "People", "Name", "3").isNull());
        QCOMPARE(evalJson(doc.get(), c + "xwRowCountForTable_('People')"), QStringLiteral("3"));
    }

    void preferences()
    {
        const QString c = QStringLiteral("window.OrvixController.");
        QCOMPARE(evalJson(doc.get(), c + "xwSetPreference__('k', 2.5)"), QStringLiteral("true"));
        QCOMPARE(Preferences::instance().stringValue("XWPREF_k"), QStringLiteral("2.500000"));
        QCOMPARE(evalJson(doc.get(), c + "xwSetPreference__('k', '')"), QStringLiteral("null"));
        QCOMPARE(evalJson(doc.get(), c + "xwGetPreference_('k')"), QStringLiteral("\"2.500000\""));
        QCOMPARE(evalJson(doc.get(), c + "xwSetPreference__('', 'v')"), QStringLiteral("null"));
        QCOMPARE(evalJson(doc.get(), c + "xwSetPreference__('k', null)"), QStringLiteral("true"));
        QVERIFY(!Preferences::instance().hasUserValue("XWPREF_k"));
        QCOMPARE(evalJson(doc.get(), c + "xwGetPreference_('k')"), QStringLiteral("null"));
    }

    void dialogs_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("result");
        QTest::newRow("default") << "Yes"
                                 << "Default";
        QTest::newRow("second") << "No"
                                << "Secondary";
        QTest::newRow("third") << "Maybe"
                               << "Third";
    }
    void dialogs()
    {
        QFETCH(QString, answer);
        QFETCH(QString, result);
        env.ui().reset();
        env.ui().answer(answer);
        QCOMPARE(evalJson(doc.get(), "window.OrvixController.xwChoiceAlert_____('T', 'M', 'Yes', 'No', 'Maybe')"),
                 QStringLiteral("\"%1\"").arg(result));
        QCOMPARE(*env.ui().lastAlert(), Alert::make("T", "M", {"Yes", "No", "Maybe"}));
        evalJson(doc.get(), "window.OrvixController.xwAlert__('Title', 3)");
        QCOMPARE(*env.ui().lastAlert(), Alert::make("Title", "3"));
    }

    void console()
    {
        Recorder recorder;
        OXJavascriptRunController controller("Tools.Log('one'); Tools.Print(2); Tools.Log(''); Tools.Print(null);",
                                             doc.get());
        controller.setLogView(&recorder);
        controller.run();
        QCOMPARE(recorder.console, (QStringList{"log:one", "print:2"}));
    }

    void bridgeShowsOnlyXwFunctions()
    {
        const QString keys = evalJson(nullptr, "Object.getOwnPropertyNames(window.OrvixController)"
                                               ".filter(function(k) { return k.indexOf('xw') !== 0; })");
        QCOMPARE(keys, QStringLiteral("[]"));
        QCOMPARE(evalJson(nullptr, "[typeof window.OrvixController.deleteLater, "
                                   "typeof window.OrvixController.objectName, window === this]"),
                 QStringLiteral(R"(["undefined","undefined",true])"));
        QCOMPARE(evalJson(nullptr, "Object.getOwnPropertyNames(window.OrvixController).length"),
                 QString::number(OXScriptBridge::functionNames().size()));
    }

    void sandbox_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("json");
        QTest::newRow("no XMLHttpRequest") << "typeof XMLHttpRequest"
                                           << R"("undefined")";
        QTest::newRow("no require") << "typeof require"
                                    << R"("undefined")";
        QTest::newRow("no Qt") << "typeof Qt"
                               << R"("undefined")";
        QTest::newRow("no console object") << "typeof print"
                                           << R"("undefined")";
    }
    void sandbox()
    {
        QFETCH(QString, expression);
        QFETCH(QString, json);
        QCOMPARE(evalJson(doc.get(), expression), json);
    }

    void noDynamicImport()
    {
        Recorder recorder;
        QTemporaryDir dir;
        QFile module(dir.filePath("m.mjs"));
        QVERIFY(module.open(QIODevice::WriteOnly));
        module.write("export var secret = 42;");
        module.close();
        OXJavascriptRunController controller(
            QStringLiteral("var got = 0; import('%1').then(function(m) { got = m.secret; });")
                .arg(QUrl::fromLocalFile(module.fileName()).toString()),
            doc.get());
        controller.setDelegate(&recorder);
        controller.run();
        QCoreApplication::processEvents();
        QCOMPARE(controller.executeCode("got").toInt(), 0);
    }

    void printReportPrintsTheMergeWithItsPageSetup()
    {
        QTextDocument templ;
        templ.setPlainText(QStringLiteral("Dear <<Name>>"));
        Value reports = doc->reports();
        reports.append(Value::dict({{"Name", "Letters"},
                                    {"Content Table", "People"},
                                    {"Attributed String", LMReportDocument::storedTemplate(templ)}}));
        QList<QPageLayout> offered;
        const QString pdf = env.path("letters.pdf");
        LMReportPanels::setPrint([&](QPrinter *printer, QWidget *) {
            offered.append(printer->pageLayout());
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf);
            return true;
        });
        OXJavascriptRunController controller(
            "Orvix.PrintReport('Letters'); Orvix.PrintReport('Missing'); Orvix.PrintReport('');", doc.get());
        QVERIFY(controller.run());
        LMReportPanels::setPrint({});
        QVERIFY(controller.errors().isEmpty());
        QCOMPARE(offered.size(), 1); // unknown and empty names print nothing
        // One page per record of the content table.
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {pdf});
        QVERIFY(info.waitForFinished(30000));
        const QString text = QString::fromUtf8(info.readAllStandardOutput());
        const QRegularExpressionMatch pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(text);
        QVERIFY2(pages.hasMatch(), qPrintable(text));
        QCOMPARE(pages.captured(1), evalJson(doc.get(), "window.OrvixController.xwRowCountForTable_('People')"));
    }

    void runScriptByName()
    {
        Value scripts = doc->scripts();
        scripts.append(Value::dict({{"Name", "Inner"}, {"Code String", "Tools.Log('inner');"}}));
        scripts.append(Value::dict({{"Name", "Self"}, {"Code String", "Tools.Log('s'); Tools.RunScript('Self');"}}));
        Recorder recorder;
        OXJavascriptRunController controller("Tools.RunScript('Inner'); Tools.RunScript('Missing');", doc.get());
        controller.setLogView(&recorder);
        controller.run();
        QCOMPARE(recorder.console, QStringList{"log:inner"});
        // A script that runs itself ends at the nesting limit instead of exhausting the stack.
        recorder.console.clear();
        OXJavascriptRunController self("Tools.RunScript('Self');", doc.get());
        self.setLogView(&recorder);
        self.run();
        QCOMPARE(recorder.console.size(), 16);
    }
};

QTEST_MAIN(TestScriptRuntime)
#include "test_script_runtime.moc"
