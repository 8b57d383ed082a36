// Import and export sheets: their controllers' rules, the thin widgets, and opening a .csv file as a document.
#include "LMExportController.h"
#include "LMExportSheet.h"
#include "LMImportController.h"
#include "LMImportSheet.h"
#include "LMImportedDocument.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "RecordingNavigator.h"
#include "TestEnvironment.h"
#include "support/ExportFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using namespace ExportFixture;
using Records = QList<QStringList>;

namespace {
// Records what the sheets ask of the window around them.
struct Host : DocumentViewHost {
    int refreshed = 0;
    int reloaded = 0;
    void cleanUpAllViews() override {}
    void broadcastRename(ItemKind, const QString &, const QString &, const void *) override {}
    void broadcastDelete(ItemKind, const QString &) override {}
    QStringList openTabIdentifiers() const override { return {}; }
    void refreshAllViews() override { ++refreshed; }
    void reloadSourceList() override { ++reloaded; }
};
} // namespace

class TestSheets : public QObject {
    Q_OBJECT
    TestEnvironment env;

    QString file(const QString &name, const QByteArray &text)
    {
        const QString path = env.path(name);
        writeFile(path, text);
        return path;
    }

private slots:
    void init() { env.ui().reset(); }

    void columnNamesFromFirstRecord_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("id at position 2") << QByteArray("a,b,id\n") << QStringList{"a", "b", "untitled2"};
        QTest::newRow("untitled7 at position 2") << QByteArray("a,b,untitled7") << QStringList{"a", "b", "untitled2"};
        QTest::newRow("ID and Untitled in other case")
            << QByteArray("x,ID,Untitled3\n") << QStringList{"x", "untitled1", "untitled2"};
        QTest::newRow("duplicates ignoring case")
            << QByteArray("Name,name,NAME\n") << QStringList{"Name", "untitled1", "untitled2"};
        QTest::newRow("byte-order mark is not part of the first name")
            << QByteArray("\xEF\xBB\xBFName,b\n") << QStringList{"Name", "b"};
        QTest::newRow("empty and unusable fields")
            << QByteArray(",a/b,\"x,y\", ok \n") << QStringList{"untitled0", "untitled1", "untitled2", " ok "};
    }
    void columnNamesFromFirstRecord()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, names);
        auto doc = newDocument();
        LMImportController controller(doc.get());
        QVERIFY(!controller.setFile(file("names.csv", text)));
        QCOMPARE(controller.columnNames(), names);
        QCOMPARE(controller.columnTypeNames(), QStringList(names.size(), "Text"));
        QCOMPARE(controller.columnEnabled(), QList<bool>(names.size(), true));
        QVERIFY(controller.columnTableEnabled());
    }

    void namesWithQuotesFixture()
    {
        auto doc = newDocument();
        LMImportController controller(doc.get());
        QVERIFY(!controller.setFile(dataPath("names_with_quotes.csv")));
        QCOMPARE(controller.columnNames(), QStringList({"untitled0", "untitled1", "untitled2", "untitled3", "untitled4",
                                                        "Name", "untitled6", " padded "}));
        QCOMPARE(controller.firstRecord().first(), QStringLiteral("na\"me"));
        QVERIFY(!controller.import());
        QCOMPARE(rows(*doc, controller.tableName()).size(), 2);
    }

    void stringIsOK_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<bool>("ok");
        QTest::newRow("letters digits blank underscore hyphen") << "My_table-2 x" << QStringList{} << true;
        QTest::newRow("empty") << "" << QStringList{} << false;
        QTest::newRow("in the list ignoring case") << "people" << QStringList{"People"} << false;
        QTest::newRow("dot") << "a.b" << QStringList{} << false;
        QTest::newRow("quote") << "it's" << QStringList{} << false;
        QTest::newRow("non-ASCII letter") << "Zoë" << QStringList{} << false;
    }
    void stringIsOK()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, values);
        QFETCH(bool, ok);
        QCOMPARE(LMImportController::stringIsOK(text, values), ok);
    }

    void typeNumbers()
    {
        const QStringList types = {"Text", "Number", "Date", "Yes/No", "File Path"};
        QCOMPARE(LMImportController::columnTypes(), types);
        for (int i = 0; i < types.size(); ++i) {
            QCOMPARE(LMImportController::typeToNumber(types[i]), i);
            QCOMPARE(LMImportController::numberToType(i), types[i]);
        }
    }

    void proposedTableName_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QStringList>("tables");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("file name") << "My Data.csv" << QStringList{} << "My Data";
        QTest::newRow("taken in other case") << "My Data.csv" << QStringList{"my data"} << "untitled 1";
        QTest::newRow("smallest free number")
            << "x.csv" << QStringList{"x", "untitled 1", "Untitled 3"} << "untitled 2";
        QTest::newRow("unusable characters") << "bad.name.csv" << QStringList{} << "untitled 1";
        QTest::newRow("reserved word") << "None.tsv" << QStringList{} << "untitled 1";
    }
    void proposedTableName()
    {
        QFETCH(QString, fileName);
        QFETCH(QStringList, tables);
        QFETCH(QString, proposed);
        auto doc = newDocument();
        for (const QString &t : tables)
            QVERIFY(addTable(*doc, t, {{"a", "Text"}}));
        LMImportController controller(doc.get());
        QVERIFY(!controller.setFile(file(fileName, "a\n1\n")));
        QCOMPARE(controller.tableName(), proposed);
        QCOMPARE(controller.tableNameImage(), QStringLiteral("Good"));
    }

    void tableNameCheck_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("ok");
        QTest::newRow("new") << "Fresh" << true;
        QTest::newRow("existing, other case") << "EXISTING" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("slash") << "a/b" << false;
        QTest::newRow("internal table") << "LM_Tables" << false;
    }
    void tableNameCheck()
    {
        QFETCH(QString, name);
        QFETCH(bool, ok);
        auto doc = newDocument();
        QVERIFY(addTable(*doc, "Existing", {{"a", "Text"}}));
        LMImportController controller(doc.get());
        QVERIFY(!controller.setFile(file("t.csv", "a\n")));
        controller.controlTextDidChange(name);
        QCOMPARE(controller.tableNameOK(), ok);
        QCOMPARE(controller.importEnabled(), ok);
        QCOMPARE(controller.tableNameImage(), ok ? QStringLiteral("Good") : QStringLiteral("Bad"));
    }

    void columnEdits()
    {
        auto doc = newDocument();
        LMImportController controller(doc.get());
        QVERIFY(!controller.setFile(file("t.csv", "Name,Town\n")));
        struct Edit {
            QString value, column;
            int row;
            bool taken;
        };
        const QList<Edit> edits = {{"ID", "Name", 0, false},       {"Name", "Name", 0, true},
                                   {"town", "Name", 0, false},     {"Full name", "Name", 0, true},
                                   {"bad/name", "Name", 1, false}, {"0", "Enabled", 1, true},
                                   {"Number", "Type", 1, true},    {"Blob", "Type", 1, false}};
        int beeps = 0;
        for (const Edit &e : edits) {
            QCOMPARE(controller.setObjectValue(e.value, e.column, e.row), e.taken);
            beeps += e.taken ? 0 : 1;
            QCOMPARE(env.ui().beeps(), beeps);
        }
        QCOMPARE(controller.columnNames(), QStringList({"Full name", "Town"}));
        QCOMPARE(controller.columnEnabled(), QList<bool>({true, false}));
        QCOMPARE(controller.objectValue("Type", 1), QStringLiteral("Number"));
        // Only the text "1" enables.
        QVERIFY(controller.setObjectValue("yes", "Enabled", 0));
        QCOMPARE(controller.objectValue("Enabled", 0), QStringLiteral("0"));
        QVERIFY(controller.setObjectValue("1", "Enabled", 0));
        QCOMPARE(controller.objectValue("Enabled", 0), QStringLiteral("1"));
    }

    void importRefusesATakenName()
    {
        auto doc = newDocument();
        QVERIFY(addTable(*doc, "Existing", {{"a", "Text"}}));
        LMImportController controller(doc.get());
        QVERIFY(!controller.setFile(file("t.csv", "a,b\n1,2\n")));
        controller.controlTextDidChange("existing");
        const std::optional<Alert> alert = controller.import();
        QVERIFY(alert);
        QCOMPARE(alert->messageText, QStringLiteral("Table name already exists"));
        QCOMPARE(alert->informativeText,
                 QStringLiteral("The table name you chose already exists. Please choose another one."));
        QCOMPARE(alert->buttons, QStringList{"OK"});
        QCOMPARE(doc->database()->tablesList(), QStringList{"Existing"});
        QVERIFY(!doc->isChanged());
    }

    void importWithTypesAndSkippedColumns()
    {
        auto doc = newDocument();
        LMImportController controller(doc.get());
        QVERIFY(!controller.setFile(dataPath("dates_yesno.csv")));
        QCOMPARE(controller.tableName(), QStringLiteral("dates_yesno"));
        QVERIFY(controller.setObjectValue("Date", "Type", 1));
        QVERIFY(controller.setObjectValue("0", "Enabled", 2));
        QVERIFY(!controller.import());
        QVERIFY(doc->isChanged());
        QCOMPARE(doc->database()->allNamesForTable("dates_yesno"), QStringList({"id", "What", "When"}));
        QCOMPARE(rows(*doc, "dates_yesno", {"When"}).at(1), QStringList{"732153600"});
        // The name is used now: a second import from the same sheet is refused.
        QCOMPARE(controller.import()->messageText, QStringLiteral("Table name already exists"));
    }

    void otherExtensionsDisableTheColumnTable()
    {
        auto doc = newDocument();
        LMImportController controller(doc.get());
        const std::optional<Alert> alert = controller.setFile(dataPath("notes.txt"));
        QVERIFY(alert);
        QCOMPARE(alert->informativeText,
                 QStringLiteral("Only comma-separated (.csv) and tab-separated (.tsv) files can be imported."));
        QVERIFY(!controller.columnTableEnabled());
        QVERIFY(!controller.importEnabled());
        QCOMPARE(controller.numberOfRows(), 0);

        QVERIFY(!controller.setFile(dataPath("people.tsv")));
        QCOMPARE(controller.separator(), QStringLiteral("\t"));
        QCOMPARE(controller.columnNames(), QStringList({"Name", "Place"}));
    }

    void importSheetWidgets()
    {
        auto doc = newDocument();
        QVERIFY(addTable(*doc, "Existing", {{"a", "Text"}}));
        LMImportSheet sheet(doc.get());
        sheet.setFile(dataPath("people_crlf.csv"));
        QVERIFY(env.ui().alerts().isEmpty());
        QCOMPARE(sheet.columnTable()->rowCount(), 3);
        QCOMPARE(sheet.columnTable()->item(1, 1)->text(), QStringLiteral("Town"));
        QCOMPARE(sheet.tableNameField()->text(), QStringLiteral("people_crlf"));
        QVERIFY(sheet.importButton()->isEnabled());

        sheet.tableNameField()->clear();
        QTest::keyClicks(sheet.tableNameField(), "existing");
        QCOMPARE(sheet.tableNameImage(), QStringLiteral("Bad"));
        QVERIFY(!sheet.importButton()->isEnabled());
        sheet.tableNameField()->clear();
        QTest::keyClicks(sheet.tableNameField(), "Folks");
        QCOMPARE(sheet.tableNameImage(), QStringLiteral("Good"));
        QVERIFY(sheet.importButton()->isEnabled());

        // A refused column name beeps and the cell shows the kept name again.
        sheet.columnTable()->item(1, 1)->setText("id");
        QCOMPARE(env.ui().beeps(), 1);
        QCOMPARE(sheet.columnTable()->item(1, 1)->text(), QStringLiteral("Town"));
        sheet.columnTable()->item(2, 0)->setCheckState(Qt::Unchecked);

        QVERIFY(sheet.import());
        QCOMPARE(sheet.importedTable(), QStringLiteral("Folks"));
        QCOMPARE(doc->database()->allNamesForTable("Folks"), QStringList({"id", "Name", "Town"}));
        QVERIFY(env.ui().alerts().isEmpty());
    }

    void importSheetShowsFileProblems()
    {
        auto doc = newDocument();
        LMImportSheet sheet(doc.get());
        sheet.setFile(dataPath("invalid_utf8.csv"));
        QCOMPARE(env.ui().alerts().size(), 1);
        QCOMPARE(env.ui().lastAlert()->messageText, QStringLiteral("The file could not be imported"));
        QCOMPARE(env.ui().lastAlert()->informativeText, QStringLiteral("The file is not UTF-8 text."));
        QVERIFY(!sheet.columnTable()->isEnabled());
        QVERIFY(!sheet.importButton()->isEnabled());
    }

    void importedDocumentTypes()
    {
        QCOMPARE(LMImportedDocument::typeForPath("/x/A.CSV"), QStringLiteral("Comma Separated"));
        QCOMPARE(LMImportedDocument::typeForPath("b.tsv"), QStringLiteral("Tab Separated"));
        QCOMPARE(LMImportedDocument::typeForPath("c.xls"), QStringLiteral("Microsoft Excel"));
        QCOMPARE(LMImportedDocument::typeForPath("d.orvix"), QString());
        for (const char *type : {"Comma Separated", "com.tandrel.csv", "Tab Separated", "com.tandrel.tsv",
                                 "Microsoft Excel", "com.tandrel.excel"})
            QVERIFY(LMImportedDocument::isImportedType(type));
        QVERIFY(!LMImportedDocument::isImportedType("Orvix"));
        QVERIFY(LMImportedDocument::canImport("a.csv"));
        QVERIFY(!LMImportedDocument::canImport("c.xls"));
    }

    void openingACsvFileImportsIntoANewDocument()
    {
        std::unique_ptr<MyDocument> opened;
        QWidget window;
        Host host;
        RecordingNavigator navigator;
        // The sheet runs modally: press its import button once it is up.
        QTimer::singleShot(0, [] {
            auto *sheet = qobject_cast<LMImportSheet *>(QApplication::activeModalWidget());
            if (sheet)
                sheet->importButton()->click();
        });
        QString error;
        const bool ok = LMImportedDocument::open(
            dataPath("people_crlf.csv"),
            [&](std::unique_ptr<MyDocument> document) {
                opened = std::move(document);
                opened->setViewHost(&host);
                return LMImportedDocument::Window{&window, &navigator};
            },
            &error);
        QVERIFY2(ok, qPrintable(error));
        QVERIFY(opened);
        QCOMPARE(opened->database()->tablesList(), QStringList{"people_crlf"});
        QCOMPARE(rows(*opened, "people_crlf").size(), 4);
        QCOMPARE(navigator.calls, QStringList{"switchToTableEditView people_crlf"});
        QCOMPARE(host.refreshed, 1);
        QCOMPARE(host.reloaded, 1);
        QVERIFY(opened->isChanged());

        bool made = false;
        QVERIFY(!LMImportedDocument::open(
            dataPath("book.xls"),
            [&](std::unique_ptr<MyDocument>) {
                made = true;
                return LMImportedDocument::Window{};
            },
            &error));
        QVERIFY(!made);
        QVERIFY(error.contains("cannot be imported"));
    }

    void exportControllerModesAndFormats()
    {
        auto doc = newDocument();
        QVERIFY(addTable(*doc, "B", {{"a", "Text"}}));
        QVERIFY(addTable(*doc, "A", {{"a", "Text"}}));
        LMExportController controller(doc.get());
        QCOMPARE(controller.options(), Value::dict({{"OX_SQL_Target", "MySQL"},
                                                    {"OX_HTML_Doctype", "XHTML 1.0 Strict"},
                                                    {"OX_HTML_AddStylesheet", false},
                                                    {"OX_HTML_FormatData", true}}));
        QCOMPARE(controller.mode(), QStringLiteral("Table"));
        QStringList extensions;
        for (const auto &f : controller.formats())
            extensions << f.extension;
        QCOMPARE(extensions, QStringList({"csv", "tsv", "sql", "html"}));
        QCOMPARE(controller.sources(), QStringList({"B", "A"}));
        QCOMPARE(controller.source(), QStringLiteral("B"));
        QCOMPARE(controller.selectedFieleExtension(), QStringLiteral("csv"));
        QVERIFY(controller.selectFormatForExtension("SQL"));
        QCOMPARE(controller.selectedFieleExtension(), QStringLiteral("sql"));
        QVERIFY(!controller.selectFormatForExtension("xls"));
        QVERIFY(controller.setSource("A"));
        QVERIFY(!controller.setSource("C"));
        QCOMPARE(controller.suggestedFileName(), QStringLiteral("A.sql"));

        controller.setMode("Report");
        extensions.clear();
        for (const auto &f : controller.formats())
            extensions << f.extension;
        QCOMPARE(extensions, QStringList({"doc", "rtf", "txt", "odt", "html"}));
        QVERIFY(controller.sources().isEmpty());
    }

    void exportWritesAtomically()
    {
        auto doc = newDocument();
        QVERIFY(addTable(*doc, "T", {{"a", "Text"}}));
        QVERIFY(insertRow(*doc, "T", {"x,y"}));
        LMExportController controller(doc.get());
        const QString path = env.path("out.csv");
        QVERIFY(!controller.writeToPath(path));
        QCOMPARE(readFile(path), QByteArray("1,\"x,y\""));

        // A failing export leaves the old file whole, and a missing folder is reported.
        doc->reports().append(Value::dict({{"Name", "Letter"}}));
        controller.setMode("Report");
        LMExportController::setReportExporter({});
        const std::optional<Alert> failure = controller.writeToPath(path);
        QVERIFY(failure);
        QCOMPARE(failure->messageText, QStringLiteral("The file could not be exported"));
        QCOMPARE(failure->informativeText, QStringLiteral("The report \"Letter\" could not be produced."));
        QCOMPARE(readFile(path), QByteArray("1,\"x,y\""));
        QVERIFY(!QFile::exists(env.path("none.doc")));
        QVERIFY(controller.writeToPath(env.path("none.doc")));
        QVERIFY(!QFile::exists(env.path("none.doc")));
        QVERIFY(controller.writeToPath(env.path("missing/folder/x.doc")));

        LMExportController::setReportExporter(
            [](MyDocument *, const QString &report, const QString &extension, const Value &) {
                return std::optional<QByteArray>((report + "." + extension).toUtf8());
            });
        QVERIFY(controller.setSource("Letter"));
        controller.setFormatIndex(2);
        QVERIFY(!controller.writeToPath(env.path("letter.txt")));
        QCOMPARE(readFile(env.path("letter.txt")), QByteArray("Letter.txt"));
        LMExportController::setReportExporter({});
    }

    void exportSheetWritesTheChosenFormat()
    {
        auto doc = newDocument();
        QVERIFY(addTable(*doc, "T", {{"a", "Text"}}));
        QVERIFY(insertRow(*doc, "T", {"O'Neil"}));
        LMExportSheet sheet(doc.get());
        sheet.formatPopUp()->setCurrentIndex(2);
        env.ui().answerSavePanel(env.path("script"));
        QVERIFY(sheet.exportFile());
        QCOMPARE(sheet.writtenPath(), env.path("script.sql"));
        QVERIFY(readFile(env.path("script.sql")).contains("VALUES ('1', 'O''Neil');"));

        env.ui().answerSavePanel(QString());
        QVERIFY(!sheet.exportFile());
        QVERIFY(env.ui().alerts().isEmpty());
    }
};

QTEST_MAIN(TestSheets)
#include "test_sheets.moc"
