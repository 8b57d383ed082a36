// Tests of what the table design editor commits: data kept, moved and cleared, new and untitled tables, the
// "Create Form?" question, the name sheet, deletion and the switch to the table's data.
#include "LMIdentifiedView.h"
#include "LMTableDesignFormQuestion.h"
#include "LMTableDesignView.h"
#include "LMTableNameSheet.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "Preferences.h"
#include "RecordingNavigator.h"
#include "TestEnvironment.h"
#include "support/TableDesignFixture.h"

#include <QUndoStack>
#include <QtTest>

using namespace TableDesignFixture;

namespace {
Value sales()
{
    return table("Sales",
                 {field("Total", "Number"), field("Photo", "Image"), field("Note", "Text"), field("Code", "Text")});
}
} // namespace

class TestTableDesignCommit : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void renameKeepsTheData();
    void datatypeChanges_data();
    void datatypeChanges();
    void undoneClearingKeepsTheData();
    void emptyNamedFieldIsNotCreated();
    void addedFieldGetsItsDefault();
    void removedFieldLosesItsData();
    void unchangedDesignRunsNothing();
    void closingANewTableNamesItUntitled();
    void createFormQuestion_data();
    void createFormQuestion();
    void suppressedFormQuestion();
    void nameSheetForANewTable();
    void nameSheetRenamesAnExistingTable();
    void deleteMe();
    void deleteMeRefused();
    void deleteMeOfATableNeverCommitted();
    void switchToDataCommitsFirst();
    void refreshKeepsPendingEdits();
    void factoryAsksForTheNameOfANewTable();

private:
    TestEnvironment m_env;
    std::unique_ptr<MyDocument> m_document;
    QString m_row1, m_row2;
};

void TestTableDesignCommit::init()
{
    m_env.ui().reset();
    Preferences::instance().removeValue("LMAskForFormAlertSupress");
    QString error;
    m_document = newDocument({sales()}, &error);
    QVERIFY2(m_document, qPrintable(error));
    m_row1 =
        insertRow(*m_document, "Sales", {{"Total", "12.5"}, {"Photo", "SUkqAA=="}, {"Note", "first"}, {"Code", "A1"}});
    m_row2 =
        insertRow(*m_document, "Sales", {{"Total", "7.25"}, {"Photo", "TU0AKg=="}, {"Note", "second"}, {"Code", "B2"}});
    QVERIFY(!m_row1.isEmpty() && !m_row2.isEmpty());
}

void TestTableDesignCommit::cleanup()
{
    LMTableNameSheet::setPrompt({});
}

void TestTableDesignCommit::renameKeepsTheData()
{
    Editor e = open(*m_document, "Sales");
    e->setObjectValue(Value("Sum"), "Name", rowOf(*e.editor, "Total"));
    QVERIFY(e->commitTable());

    QCOMPARE(sqliteColumns(*m_document, "Sales"), (QStringList{"id", "Sum", "Photo", "Note", "Code"}));
    QCOMPARE(cellText(*m_document, "Sales", "Sum", m_row1), QString("12.5"));
    QCOMPARE(cellText(*m_document, "Sales", "Sum", m_row2), QString("7.25"));
    QCOMPARE(m_document->database()->allNamesForTable("Sales"), (QStringList{"id", "Sum", "Photo", "Note", "Code"}));
    // The editor goes on from the committed state: the new name is now the column's old name too.
    QCOMPARE(e->columnMapRight(), e->columnMapLeft());
    QCOMPARE(e->columnMapRight().at(1), QString("Sum"));
}

void TestTableDesignCommit::datatypeChanges_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("newType");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("expected1");
    QTest::addColumn<QString>("expected2");

    QTest::newRow("Image to Text clears") << "Photo"
                                          << "Text"
                                          << "Change Datatype"
                                          << ""
                                          << "";
    QTest::newRow("Text to Relationship clears") << "Note"
                                                 << "Relationship"
                                                 << "Change Datatype"
                                                 << ""
                                                 << "";
    QTest::newRow("Text to Image keeps") << "Note"
                                         << "Image"
                                         << "Change"
                                         << "first"
                                         << "second";
    QTest::newRow("Text to Number keeps") << "Code"
                                          << "Number"
                                          << ""
                                          << "A1"
                                          << "B2";
    QTest::newRow("Number to Text keeps") << "Total"
                                          << "Text"
                                          << ""
                                          << "12.5"
                                          << "7.25";
}

void TestTableDesignCommit::datatypeChanges()
{
    QFETCH(QString, column);
    QFETCH(QString, newType);
    QFETCH(QString, answer);
    QFETCH(QString, expected1);
    QFETCH(QString, expected2);
    Editor e = open(*m_document, "Sales");
    if (!answer.isEmpty())
        m_env.ui().answer(answer);
    e->setObjectValue(Value(LMTableDesignView::typeToNumber(newType)), "Type", rowOf(*e.editor, column));
    QCOMPARE(m_env.ui().alerts().size(), answer.isEmpty() ? 0 : 1);
    QVERIFY(e->commitTable());

    QCOMPARE(m_document->database()->typeForTable("Sales", column), newType);
    QCOMPARE(cellText(*m_document, "Sales", column, m_row1), expected1);
    QCOMPARE(cellText(*m_document, "Sales", column, m_row2), expected2);
    QVERIFY(e->columnsToClear().isEmpty());
    // Only the changed column is touched: the others, and the ids, are as they were.
    if (column != QLatin1String("Code"))
        QCOMPARE(cellText(*m_document, "Sales", "Code", m_row1), QString("A1"));
    if (column != QLatin1String("Total"))
        QCOMPARE(cellText(*m_document, "Sales", "Total", m_row2), QString("7.25"));
}

void TestTableDesignCommit::undoneClearingKeepsTheData()
{
    Editor e = open(*m_document, "Sales");
    m_env.ui().answer("Change Datatype");
    e->setObjectValue(Value(LMTableDesignView::typeToNumber("Text")), "Type", rowOf(*e.editor, "Photo"));
    m_document->undoStack()->undo();
    QVERIFY(e->commitTable());

    QCOMPARE(m_document->database()->typeForTable("Sales", "Photo"), QString("Image"));
    QCOMPARE(cellText(*m_document, "Sales", "Photo", m_row1), QString("SUkqAA=="));
    QCOMPARE(cellText(*m_document, "Sales", "Photo", m_row2), QString("TU0AKg=="));
}

void TestTableDesignCommit::emptyNamedFieldIsNotCreated()
{
    Editor e = open(*m_document, "Sales");
    e->addRowButtonPressed();
    e->addRowButtonPressed();
    e->setObjectValue(Value("Kept"), "Name", e->numberOfRowsInTableView() - 1);
    QVERIFY(e->commitTable());

    QCOMPARE(sqliteColumns(*m_document, "Sales"), (QStringList{"id", "Total", "Photo", "Note", "Code", "Kept"}));
    QCOMPARE(m_document->database()->allNamesForTable("Sales"),
             (QStringList{"id", "Total", "Photo", "Note", "Code", "Kept"}));
    QCOMPARE(e->numberOfRowsInTableView(), 6);
    QCOMPARE(cellText(*m_document, "Sales", "Note", m_row1), QString("first"));
}

void TestTableDesignCommit::addedFieldGetsItsDefault()
{
    Editor e = open(*m_document, "Sales");
    e->addRowButtonPressed();
    const int row = e->numberOfRowsInTableView() - 1;
    e->setObjectValue(Value("Status"), "Name", row);
    Value added = e->fieldAt(row);
    added.set("Default", Value("open"));
    QVERIFY(e->commitTable());

    QCOMPARE(cellText(*m_document, "Sales", "Status", m_row1), QString("open"));
    QCOMPARE(cellText(*m_document, "Sales", "Status", m_row2), QString("open"));
    QCOMPARE(m_document->database()->defaultForTable("Sales", "Status"), Value("open"));
}

void TestTableDesignCommit::removedFieldLosesItsData()
{
    Editor e = open(*m_document, "Sales");
    e->tableViewSelectionDidChange(rowOf(*e.editor, "Note"));
    m_env.ui().answer("Delete");
    e->removeRowButtonPressed();
    // A field added under the removed one's name starts empty: the old data is not brought back.
    e->addRowButtonPressed();
    e->setObjectValue(Value("Note"), "Name", e->numberOfRowsInTableView() - 1);
    QVERIFY(e->commitTable());

    QCOMPARE(sqliteColumns(*m_document, "Sales"), (QStringList{"id", "Total", "Photo", "Code", "Note"}));
    QCOMPARE(cellText(*m_document, "Sales", "Note", m_row1), QString(""));
    QCOMPARE(cellText(*m_document, "Sales", "Code", m_row1), QString("A1"));
}

void TestTableDesignCommit::unchangedDesignRunsNothing()
{
    Editor e = open(*m_document, "Sales");
    const Value stored = m_document->tableNamed("Sales");
    m_document->setChanged(false);
    QVERIFY(e->commitTable());
    // The stored design is the very same dictionary: nothing replaced it.
    QVERIFY(m_document->tableNamed("Sales").isSameContainer(stored));
    QCOMPARE(cellText(*m_document, "Sales", "Photo", m_row1), QString("SUkqAA=="));
}

void TestTableDesignCommit::closingANewTableNamesItUntitled()
{
    QVERIFY(m_document->database()->createTableFromDesign(table("untitled 1", {})));
    m_document->database()->createTableDesign(table("untitled 1", {}));
    RecordingNavigator navigator;
    Editor e = open(*m_document, QString(), &navigator);
    QVERIFY(e->isNewTable());
    QCOMPARE(e->numberOfRowsInTableView(), 1);
    QCOMPARE(e->objectValueForTableColumn("Name", 0), Value("id"));
    e->addRowButtonPressed();
    e->setObjectValue(Value("Title"), "Name", 1);
    m_env.ui().answer("Don't Create");

    e->cleanUp();

    QCOMPARE(e->tableName(), QString("untitled 2"));
    QCOMPARE(navigator.tabLabel, QString("untitled 2"));
    // The new table shows under its heading in the source list.
    QVERIFY(navigator.argumentsOf("reloadSourceListExpanding").contains("Tables"));
    QCOMPARE(m_document->database()->tablesList(), (QStringList{"Sales", "untitled 1", "untitled 2"}));
    QCOMPARE(sqliteColumns(*m_document, "untitled 2"), (QStringList{"id", "Title"}));
    QCOMPARE(m_document->database()->typeForTable("untitled 2", "id"), QString("Primary Key"));
    QVERIFY(!e->isNewTable());
    QVERIFY(m_document->isChanged());
}

void TestTableDesignCommit::createFormQuestion_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("generated"); // the name the generator answers
    QTest::addColumn<int>("generatorCalls");
    QTest::addColumn<QString>("opened");

    QTest::newRow("Create") << "Create"
                            << "Items" << 1 << "";
    QTest::newRow("Don't Create") << "Don't Create"
                                  << "Items" << 0 << "";
    QTest::newRow("Create and open") << "Create and open"
                                     << "Items" << 1 << "Items";
    QTest::newRow("Create and open, nothing generated") << "Create and open"
                                                        << "" << 1 << "";
}

void TestTableDesignCommit::createFormQuestion()
{
    QFETCH(QString, answer);
    QFETCH(QString, generated);
    QFETCH(int, generatorCalls);
    QFETCH(QString, opened);
    RecordingNavigator navigator;
    navigator.generatedForm = generated;
    Editor e = open(*m_document, QString(), &navigator);
    QVERIFY(!e->giveName("Items"));
    m_env.ui().answer(answer);

    e->cleanUp();

    QCOMPARE(m_env.ui().alerts().size(), 1);
    const Alert &shown = m_env.ui().alerts().first().alert;
    QCOMPARE(shown.messageText, QString("Create Form?"));
    QCOMPARE(shown.informativeText, QString("Would you like to create an autogenerated form for this table?"));
    QCOMPARE(shown.buttons, (QStringList{"Create", "Don't Create", "Create and open"}));
    const QStringList generatedFor = navigator.argumentsOf("generateFormForTable");
    QCOMPARE(generatedFor.size(), generatorCalls);
    if (generatorCalls)
        QCOMPARE(generatedFor, QStringList{"Items"});
    QCOMPARE(navigator.argumentsOf("switchToFormDesignView").value(0), opened);
    QVERIFY(navigator.argumentsOf("switchToFormDesignView").size() <= 1);
    QVERIFY(!Preferences::instance().boolValue("LMAskForFormAlertSupress"));

    // Asked once: a later close of the same editor, or of an existing table, does not ask.
    e->cleanUp();
    Editor existing = open(*m_document, "Sales");
    existing->cleanUp();
    QCOMPARE(m_env.ui().alerts().size(), 1);
}

void TestTableDesignCommit::suppressedFormQuestion()
{
    m_env.ui().answer("Don't Create");
    m_env.ui().answerSuppression(true);
    Editor first = open(*m_document, QString());
    first->cleanUp();
    QCOMPARE(m_env.ui().alerts().size(), 1);
    QCOMPARE(m_env.ui().alerts().first().alert.messageText, QString("Create Form?"));
    QCOMPARE(m_env.ui().alerts().first().alert.suppressionText, QString("Do not ask again"));
    QVERIFY(m_env.ui().alerts().first().suppressed);
    QVERIFY(Preferences::instance().boolValue("LMAskForFormAlertSupress"));

    Editor second = open(*m_document, QString());
    second->cleanUp();
    QCOMPARE(m_env.ui().alerts().size(), 1);
    QCOMPARE(second->tableName(), QString("untitled 2"));
}

void TestTableDesignCommit::nameSheetForANewTable()
{
    // An internal table's name is taken: the first commit would fail and the design would be lost.
    QStringList entries{"Bad/Name", "sales", "LM_Tables", "None", "Orders"};
    QList<LMTableNameSheet::Mode> modes;
    LMTableNameSheet::setPrompt([&](LMTableNameSheet::Mode mode, const QString &, QWidget *) {
        modes << mode;
        return entries.isEmpty() ? std::optional<QString>() : std::optional<QString>(entries.takeFirst());
    });
    RecordingNavigator navigator;
    Editor e = open(*m_document, QString(), &navigator);

    e->runNameSheet();

    const QString unsuitable = "Tables names may only contain letters, numbers, spaces, underscores and hyphens. "
                               "Please choose another.";
    const QString duplicate = "This name is already in use by another table. Please choose another.";
    QCOMPARE(m_env.ui().alerts().size(), 4);
    QCOMPARE(m_env.ui().alerts().at(0).alert, Alert::make("Unsuitable Characters", unsuitable));
    QCOMPARE(m_env.ui().alerts().at(1).alert, Alert::make("Name Already Exists", duplicate));
    QCOMPARE(m_env.ui().alerts().at(2).alert, Alert::make("Name Already Exists", duplicate));
    QCOMPARE(m_env.ui().alerts().at(3).alert, Alert::make("Unsuitable Characters", unsuitable));
    QCOMPARE(modes.size(), 5);
    QCOMPARE(modes.first(), LMTableNameSheet::Mode::NewTable);
    QCOMPARE(e->tableName(), QString("Orders"));
    QCOMPARE(navigator.tabLabel, QString("Orders"));
    // Named, but created only by the first commit.
    QVERIFY(e->isNewTable());
    QVERIFY(!m_document->database()->tablesList().contains("Orders"));
    m_env.ui().answer("Don't Create");
    QVERIFY(e->commitTable());
    QVERIFY(m_document->database()->tablesList().contains("Orders"));
    QCOMPARE(sqliteColumns(*m_document, "Orders"), QStringList{"id"});
}

void TestTableDesignCommit::nameSheetRenamesAnExistingTable()
{
    Value query = Value::dict({{"Name", Value("Big")}, {"Table Name", Value("Sales")}});
    m_document->queries().append(query);
    LMTableNameSheet::Mode mode = LMTableNameSheet::Mode::NewTable;
    QString shownName;
    LMTableNameSheet::setPrompt([&](LMTableNameSheet::Mode m, const QString &current, QWidget *) {
        mode = m;
        shownName = current;
        return std::optional<QString>("Receipts");
    });
    RecordingNavigator navigator;
    Editor e = open(*m_document, "Sales", &navigator);
    e->setObjectValue(Value("Sum"), "Name", 1); // a pending edit survives the rename

    e->runNameSheet();

    QCOMPARE(mode, LMTableNameSheet::Mode::Rename);
    QCOMPARE(shownName, QString("Sales"));
    QCOMPARE(m_env.ui().alerts().size(), 0);
    QCOMPARE(e->tableName(), QString("Receipts"));
    QCOMPARE(navigator.tabLabel, QString("Receipts"));
    QCOMPARE(m_document->database()->tablesList(), QStringList{"Receipts"});
    QCOMPARE(query.value("Table Name"), Value("Receipts"));
    QCOMPARE(cellText(*m_document, "Receipts", "Note", m_row1), QString("first"));
    QVERIFY(e->commitTable());
    QCOMPARE(cellText(*m_document, "Receipts", "Sum", m_row1), QString("12.5"));
}

void TestTableDesignCommit::deleteMe()
{
    RecordingNavigator navigator;
    Editor e = open(*m_document, "Sales", &navigator);
    e->setObjectValue(Value("Sum"), "Name", 1);
    m_env.ui().answer("Delete");

    e->deleteMe();

    QCOMPARE(navigator.calls, QStringList{"switchToOverview"});
    QCOMPARE(m_env.ui().alerts().size(), 1);
    QCOMPARE(m_env.ui().lastAlert()->messageText, QString("Confirm Delete"));
    QVERIFY(m_document->database()->tablesList().isEmpty());
    QVERIFY(sqliteColumns(*m_document, "Sales").isEmpty());
    // The close after the deletion commits nothing: the table does not come back.
    e->cleanUp();
    QVERIFY(m_document->database()->tablesList().isEmpty());
    QVERIFY(sqliteColumns(*m_document, "Sales").isEmpty());
}

void TestTableDesignCommit::deleteMeRefused()
{
    Editor e = open(*m_document, "Sales");
    m_env.ui().answer("Cancel");
    e->deleteMe();
    QCOMPARE(m_env.ui().alerts().size(), 2);
    QCOMPARE(m_env.ui().alerts().at(1).alert, Alert::make("Table not deleted", "The table was not deleted."));
    QVERIFY(!m_env.ui().alerts().at(1).asSheet);
    QCOMPARE(m_document->database()->tablesList(), QStringList{"Sales"});
}

void TestTableDesignCommit::deleteMeOfATableNeverCommitted()
{
    Editor e = open(*m_document, QString());
    QVERIFY(!e->giveName("Draft"));
    e->deleteMe();
    e->cleanUp();
    QCOMPARE(m_env.ui().alerts().size(), 0);
    QCOMPARE(m_document->database()->tablesList(), QStringList{"Sales"});
}

void TestTableDesignCommit::switchToDataCommitsFirst()
{
    QStringList columnsWhenShown;
    RecordingNavigator navigator;
    navigator.onCall = [&](const QString &call) {
        if (call.startsWith("switchToTableEditView "))
            columnsWhenShown = sqliteColumns(*m_document, call.section(' ', 1));
    };
    Editor e = open(*m_document, "Sales", &navigator);
    e->setObjectValue(Value("Sum"), "Name", 1);
    e->switchToEditDataCounterpart();
    QCOMPARE(navigator.argumentsOf("switchToTableEditView"), QStringList{"Sales"});
    QCOMPARE(columnsWhenShown, (QStringList{"id", "Sum", "Photo", "Note", "Code"}));
}

void TestTableDesignCommit::refreshKeepsPendingEdits()
{
    Editor e = open(*m_document, "Sales");
    e->setObjectValue(Value("Sum"), "Name", 1);
    e->refresh();
    QCOMPARE(e->fieldAt(1).value("Name"), Value("Sum"));

    // Without pending edits a refresh reads the stored design again.
    Editor other = open(*m_document, "Sales");
    Value design = m_document->tableNamed("Sales");
    Value fields = design.value("Fields").deepCopy();
    fields.append(field("Link", "Relationship"));
    design.set("Fields", fields);
    other->refresh();
    QCOMPARE(other->numberOfRowsInTableView(), 6);
    QCOMPARE(other->columnMapRight().last(), QString("Link"));
}

void TestTableDesignCommit::factoryAsksForTheNameOfANewTable()
{
    int prompts = 0;
    LMTableNameSheet::setPrompt([&](LMTableNameSheet::Mode mode, const QString &current, QWidget *) {
        ++prompts;
        [&] {
            QCOMPARE(mode, LMTableNameSheet::Mode::NewTable);
            QCOMPARE(current, QString());
        }();
        return std::optional<QString>("Stock");
    });
    std::unique_ptr<LMViewController> controller = makeTableDesignController(m_document.get(), QString(), nullptr);
    QCOMPARE(controller->identifier(), QString("Table Design"));
    std::unique_ptr<LMIdentifiedView> view(controller->view());
    auto *editor = static_cast<LMTableDesignView *>(controller.get());
    view->adoptController(std::move(controller));
    QCOMPARE(prompts, 0); // the sheet waits until the tab shows the editor
    QTRY_COMPARE(prompts, 1);
    QCOMPARE(editor->tableName(), QString("Stock"));

    // An existing table opens without the sheet.
    std::unique_ptr<LMViewController> existing = makeTableDesignController(m_document.get(), "Sales", nullptr);
    std::unique_ptr<LMIdentifiedView> existingView(existing->view());
    existingView->adoptController(std::move(existing));
    QTest::qWait(20);
    QCOMPARE(prompts, 1);
}

QTEST_MAIN(TestTableDesignCommit)
#include "test_table_design_commit.moc"
