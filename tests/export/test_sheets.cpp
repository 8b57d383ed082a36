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
#include <QCheckBox>
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
        // "Name" and " padded " are names: the first record is not imported.
        QVERIFY(controller.firstRecordHoldsNames());
        QVERIFY(!controller.import());
        QCOMPARE(rows(*doc, controller.tableName()).size(), 1);
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
        // The names' record is not imported; the dates that do not convert were put to the user first.
        QCOMPARE(rows(*doc, "dates_yesno", {"When"}).at(0), QStringList{"732153600"});
        QCOMPARE(env.ui().alerts().size(), 1);
        QCOMPARE(env.ui().lastAlert()->informativeText,
                 QStringLiteral("2 values of \"When\" cannot be read as Date, for example \"15/03/2024\", \"soon\".\n"
                                "Import these values as text, or cancel and choose other types."));
        // The name is used now: a second import from the same sheet is refused.
        QCOMPARE(controller.import()->messageText, QStringLiteral("Table name already exists"));
    }

    void firstRecordHoldsNames_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("switchedOn");
        QTest::addColumn<bool>("turnOff");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<Records>("stored");
        QTest::newRow("names: the record is not imported") << QByteArray("Title,Year\nDune,1965\n") << true << false
                                                           << QStringList{"Title", "Year"} << Records{{"Dune", "1965"}};
        QTest::newRow("one usable name is enough") << QByteArray("id,Year\nDune,1965\n") << true << false
                                                   << QStringList{"untitled0", "Year"} << Records{{"Dune", "1965"}};
        QTest::newRow("no usable name: off, every record imported")
            << QByteArray("1.5,a/b\n3,4\n") << false << false << QStringList{"untitled0", "untitled1"}
            << Records{{"1.5", "a/b"}, {"3", "4"}};
        QTest::newRow("turned off: untitled names, every record imported")
            << QByteArray("Title,Year\nDune,1965\n") << true << true << QStringList{"untitled0", "untitled1"}
            << Records{{"Title", "Year"}, {"Dune", "1965"}};
    }
    void firstRecordHoldsNames()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, switchedOn);
        QFETCH(bool, turnOff);
        QFETCH(QStringList, names);
        QFETCH(Records, stored);
        auto doc = newDocument();
        LMImportController controller(doc.get());
        QVERIFY(!controller.setFile(file("books.csv", text)));
        QCOMPARE(controller.firstRecordHoldsNames(), switchedOn);
        if (turnOff)
            controller.setFirstRecordHoldsNames(false);
        QCOMPARE(controller.columnNames(), names);
        QVERIFY(!controller.import());
        QVERIFY(env.ui().alerts().isEmpty());
        Records rowsWithoutId = rows(*doc, "books");
        for (QStringList &row : rowsWithoutId)
            row.removeFirst();
        QCOMPARE(rowsWithoutId, stored);
        if (turnOff) {
            // And back on: the first record's names return, an edited name stays.
            LMImportController again(doc.get());
            QVERIFY(!again.setFile(file("books.csv", text)));
            again.setFirstRecordHoldsNames(false);
            QVERIFY(again.setObjectValue("Kept", "Name", 1));
            again.setFirstRecordHoldsNames(true);
            QCOMPARE(again.columnNames(), QStringList({"Title", "Kept"}));
        }
    }

    void valuesThatDoNotConvertAreReportedFirst_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("cancel") << "Cancel";
        QTest::newRow("import as text") << "Import as Text";
    }
    void valuesThatDoNotConvertAreReportedFirst()
    {
        QFETCH(QString, answer);
        auto doc = newDocument();
        LMImportController controller(doc.get());
        QVERIFY(!controller.setFile(file("books.csv", "Title,Bought,Pages,Read\n"
                                                      "Dune,14/02/2020,abc,maybe\n"
                                                      "Emma,2020-02-14,1024,yes\n"
                                                      "Ulysses,soon,x,no,extra\n"
                                                      "Ada,,,,,more\n"
                                                      "Kim,1/2/20,12,perhaps\n")));
        QVERIFY(controller.setObjectValue("Date", "Type", 1));
        QVERIFY(controller.setObjectValue("Number", "Type", 2));
        QVERIFY(controller.setObjectValue("Yes/No", "Type", 3));
        env.ui().answer(answer);
        LMImportSummary summary;
        QVERIFY(!controller.import(nullptr, &summary));
        QCOMPARE(env.ui().alerts().size(), 1);
        const Alert alert = env.ui().alerts().first().alert;
        QCOMPARE(alert.messageText, QStringLiteral("Some values do not fit their columns"));
        QCOMPARE(alert.informativeText,
                 QStringLiteral("2 values of \"Bought\" cannot be read as Date, for example \"14/02/2020\", \"soon\".\n"
                                "2 values of \"Pages\" cannot be read as Number, for example \"abc\", \"x\".\n"
                                "2 values of \"Read\" cannot be read as Yes/No, for example \"maybe\", \"perhaps\".\n"
                                "2 records have more fields than there are columns (the first is record 4); the "
                                "extra fields are not imported.\n"
                                "Import these values as text, or cancel and choose other types."));
        QCOMPARE(alert.buttons, QStringList({"Import as Text", "Cancel"}));
        if (answer == QLatin1String("Cancel")) {
            QVERIFY(controller.cancelled());
            QVERIFY(doc->database()->tablesList().isEmpty());
            QVERIFY(!doc->isChanged());
            return;
        }
        QVERIFY(!controller.cancelled());
        QCOMPARE(summary.inserted, qint64(5));
        QCOMPARE(summary.longRecords, qint64(2));
        // Kept as text; the values that convert are stored in their stored form.
        QCOMPARE(rows(*doc, "books", {"Bought", "Pages", "Read"}), Records({{"14/02/2020", "abc", "maybe"},
                                                                            {"603331200", "1024.0", "1"},
                                                                            {"soon", "x", "0"},
                                                                            {"", "", ""},
                                                                            {"599616000", "12.0", "perhaps"}}));
    }

    void valuesAsShownReadBackExactly()
    {
        auto doc = newDocument();
        QVERIFY(addTable(
            *doc, "Books",
            {{"Title", "Text"}, {"Pages", "Number"}, {"Bought", "Date"}, {"Read", "Yes/No"}, {"Path", "File Path"}}));
        doc->tableNamed("Books").value("Fields").at(3).set("Time Format", "Medium");
        const Records books = {{"Dune, \"the\" novel", "412.5", "732191425", "1", "/books/dune"},
                               {"Emma", "-3", "-2545776000", "0", ""},
                               {"", "", "", "", "/x,y"}};
        for (const QStringList &book : books)
            QVERIFY(insertRow(*doc, "Books", book));
        for (const QString &extension : {QStringLiteral("csv"), QStringLiteral("tsv")}) {
            LMExportController exporter(doc.get());
            QVERIFY(exporter.selectFormatForExtension(extension));
            const QString path = env.path("Back." + extension);
            QVERIFY(!exporter.writeToPath(path));

            LMImportController importer(doc.get());
            QVERIFY(!importer.setFile(path));
            QVERIFY(importer.firstRecordHoldsNames());
            QCOMPARE(importer.columnNames(), QStringList({"untitled0", "Title", "Pages", "Bought", "Read", "Path"}));
            QVERIFY(importer.setObjectValue("0", "Enabled", 0));
            const QStringList types = {"Text", "Number", "Date", "Yes/No", "File Path"};
            for (int i = 0; i < types.size(); ++i)
                QVERIFY(importer.setObjectValue(types[i], "Type", i + 1));
            importer.controlTextDidChange("Back " + extension);
            QVERIFY(!importer.import());
            QVERIFY(env.ui().alerts().isEmpty());
            const QStringList columns = {"Title", "Pages", "Bought", "Read", "Path"};
            // The never-set Yes/No comes back as No; dates are the same seconds (an imported table keeps them
            // as text, a designed one as numbers).
            Records expected = rows(*doc, "Books", columns);
            expected[2][3] = QStringLiteral("0");
            for (QStringList &row : expected)
                if (!row[2].isEmpty())
                    row[2] = QString::number(qint64(row[2].toDouble()));
            QCOMPARE(rows(*doc, "Back " + extension, columns), expected);
        }
    }

    void emptyTableWithoutHeaderWritesNoFile()
    {
        auto doc = newDocument();
        QVERIFY(addTable(*doc, "T", {{"a", "Text"}}));
        LMExportController controller(doc.get());
        QVERIFY(!controller.writeToPath(env.path("header.csv")));
        QCOMPARE(readFile(env.path("header.csv")), QByteArray("id,a"));
        controller.setOption("OX_CSV_Header", false);
        const std::optional<Alert> failure = controller.writeToPath(env.path("none.csv"));
        QVERIFY(failure);
        QCOMPARE(failure->informativeText, QStringLiteral("\"T\" has no records to export."));
        QVERIFY(!QFile::exists(env.path("none.csv")));
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

        // The switch names the columns from the first record, or not.
        QVERIFY(sheet.firstRecordHoldsNamesCheckBox()->isChecked());
        sheet.firstRecordHoldsNamesCheckBox()->setChecked(false);
        QCOMPARE(sheet.columnTable()->item(1, 1)->text(), QStringLiteral("untitled1"));
        QVERIFY(!sheet.controller().firstRecordHoldsNames());
        sheet.firstRecordHoldsNamesCheckBox()->setChecked(true);
        QCOMPARE(sheet.columnTable()->item(1, 1)->text(), QStringLiteral("Town"));

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
        navigator.overviewInFront = true;
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
        QCOMPARE(rows(*opened, "people_crlf").size(), 3);
        // The new document's window shows the overview: the table opens in its tab.
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

    void importedTableOpensInANewTabUnlessOnTheOverview_data()
    {
        QTest::addColumn<bool>("overview");
        QTest::addColumn<bool>("modifier");
        QTest::addColumn<QStringList>("calls");
        const QStringList open{"switchToTableEditView t"};
        QTest::newRow("overview in front: its tab") << true << false << open;
        QTest::newRow("overview, new-tab modifier: the switch takes a new tab") << true << true << open;
        QTest::newRow("another view in front: a new tab") << false << false << QStringList{"addNewTab"} + open;
        QTest::newRow("another view, modifier: one new tab") << false << true << open;
    }
    void importedTableOpensInANewTabUnlessOnTheOverview()
    {
        QFETCH(bool, overview);
        QFETCH(bool, modifier);
        QFETCH(QStringList, calls);
        auto doc = newDocument();
        RecordingNavigator navigator;
        navigator.overviewInFront = overview;
        env.ui().setNewTabModifierHeld(modifier);
        QTimer::singleShot(0, [] {
            if (auto *sheet = qobject_cast<LMImportSheet *>(QApplication::activeModalWidget()))
                sheet->importButton()->click();
        });
        QVERIFY(LMImportController::runSheet(doc.get(), nullptr, file("t.csv", "a,b\n1,2\n"), &navigator));
        env.ui().setNewTabModifierHeld(false);
        QCOMPARE(navigator.calls, calls);
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
                                                    {"OX_HTML_FormatData", true},
                                                    {"OX_CSV_Header", true},
                                                    {"OX_CSV_FormatData", true}}));
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
        QCOMPARE(extensions, QStringList({"doc", "rtf", "txt", "odt", "html", "pdf"}));
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
        QCOMPARE(readFile(path), QByteArray("id,a\n1,\"x,y\""));

        // A failing export leaves the old file whole, and a missing folder is reported.
        doc->reports().append(Value::dict({{"Name", "Letter"}}));
        controller.setMode("Report");
        LMExportController::setReportExporter({});
        const std::optional<Alert> failure = controller.writeToPath(path);
        QVERIFY(failure);
        QCOMPARE(failure->messageText, QStringLiteral("The file could not be exported"));
        QCOMPARE(failure->informativeText, QStringLiteral("The report \"Letter\" could not be produced."));
        QCOMPARE(readFile(path), QByteArray("id,a\n1,\"x,y\""));
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

        // Delimited text: the header and values-as-shown boxes show with it and decide its form.
        sheet.formatPopUp()->setCurrentIndex(0);
        QVERIFY(sheet.headerCheckBox()->isVisibleTo(&sheet));
        sheet.headerCheckBox()->setChecked(false);
        sheet.valuesAsShownCheckBox()->setChecked(false);
        env.ui().answerSavePanel(env.path("plain.csv"));
        QVERIFY(sheet.exportFile());
        QCOMPARE(readFile(env.path("plain.csv")), QByteArray("1,O'Neil"));
        sheet.formatPopUp()->setCurrentIndex(2);
        QVERIFY(!sheet.headerCheckBox()->isVisibleTo(&sheet));

        env.ui().answerSavePanel(QString());
        QVERIFY(!sheet.exportFile());
        QVERIFY(env.ui().alerts().isEmpty());
    }
};

QTEST_MAIN(TestSheets)
#include "test_sheets.moc"
