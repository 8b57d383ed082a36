// Subtables of the record grid over all three relationship types, forwards and backwards: opening them,
// adding, linking, unlinking and deleting records with their sheets, and the tab path.
#include "DesignVocabulary.h"
#include "LMInsertRecord.h"
#include "LMRelationship.h"
#include "LMTableDataTableView.h"
#include "LMTableEditContainer.h"
#include "LMTableEditModel.h"
#include "LMTableEditView.h"
#include "MyDocument.h"
#include "TestEnvironment.h"
#include "support/GridFixture.h"
#include "support/GridHarness.h"

#include <QAction>
#include <QTabBar>
#include <QTest>

using namespace GridFixture;

class TestGridSubtables : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<MyDocument> doc;
    std::unique_ptr<GridHarness> harness;

    // People.employer links Companies; two-way records keep the reverse list in Companies.staff.
    void makeDocument(int type, bool twoWay)
    {
        QString error;
        doc = newDocument({table("People", {field("name", "Text"), field("employer", "Relationship")}),
                           table("Companies", {field("title", "Text"), field("staff", "Relationship")})},
                          &error);
        QVERIFY2(doc, qPrintable(error));
        Value record =
            LMRelationship::makeRecord("People", "employer", "Companies", twoWay ? "staff" : QString(), type);
        doc->relationships().set("Lines", Value::array({record}));
        for (const char *name : {"Ada", "Bob"})
            setCell(*doc, "People", "name", insertRow(*doc, "People"), name);
        for (const char *title : {"Acme", "Globex", "Initech"})
            setCell(*doc, "Companies", "title", insertRow(*doc, "Companies"), title);
    }
    LMTableEditContainer *container() const { return harness->container(); }
    LMTableEditView *top() const { return container()->tableEditView(); }
    LMTableEditView *sub() const { return container()->activeGrid(); }

    // Opens the subtable of a row's relationship cell by clicking its "Edit" segment.
    LMTableEditView *openSubtable(int row, const QString &fieldName = "employer")
    {
        LMTableDataTableView *view = top()->tableView();
        const QModelIndex index = top()->model()->index(row, top()->model()->columnOfField(fieldName));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
        return container()->tabCount() > 1 ? sub() : nullptr;
    }
    QString link(const QString &table, const QString &field, const QString &id)
    {
        const QString text = cellText(*doc, table, field, id);
        return DesignVocabulary::isNullLike(text) ? QString() : text;
    }

private slots:
    void init() { env = std::make_unique<TestEnvironment>(); }
    void cleanup()
    {
        harness.reset();
        doc.reset();
        env.reset();
    }

    void emptyRelationshipFieldShowsNoRows();
    void addRecord_data();
    void addRecord();
    void backwardsSubtableLinksFromTheEndSide();
    void linkExistingRecord_data();
    void linkExistingRecord();
    void insertSheetQueries();
    void uninsertUnlinksBothSides();
    void deleteInSubtable_data();
    void deleteInSubtable();
    void selectingATabClosesLaterTabs();
    void cellWithoutRelationshipRecordOpensNothing();
    void failedInsertLinksNothing();
    void recordOfADeletedTableOpensNothing();
};

void TestGridSubtables::emptyRelationshipFieldShowsNoRows()
{
    makeDocument(2, true);
    harness = std::make_unique<GridHarness>(doc.get(), "People");
    LMTableEditView *subtable = openSubtable(0);
    QVERIFY(subtable);
    QCOMPARE(container()->tabCount(), 2);
    QCOMPARE(container()->tabLabel(1), QString("employer"));
    QCOMPARE(container()->currentTab(), 1);
    QCOMPARE(subtable->tableName(), QString("Companies"));
    QVERIFY(subtable->indices().isEmpty());
    QCOMPARE(subtable->numberOfRows(), 0);
    QVERIFY(subtable->queriedStdSelect().contains(" WHERE id IN () "));
    QCOMPARE(subtable->parentRowid(), QString("1"));
    QVERIFY(!subtable->isBackwards());
    QVERIFY(container()->toolbarItem("Insert Record", true)->isEnabled());
}

void TestGridSubtables::addRecord_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("twoWay");
    QTest::addColumn<bool>("secondAccepted");
    QTest::newRow("one to one, two-way") << 0 << true << false;
    QTest::newRow("one to one, one-way") << 0 << false << false;
    QTest::newRow("one to many, two-way") << 1 << true << false;
    QTest::newRow("many to many, two-way") << 2 << true << true;
    QTest::newRow("many to many, one-way") << 2 << false << true;
}

void TestGridSubtables::addRecord()
{
    QFETCH(int, type);
    QFETCH(bool, twoWay);
    QFETCH(bool, secondAccepted);
    makeDocument(type, twoWay);
    harness = std::make_unique<GridHarness>(doc.get(), "People");
    LMTableEditView *subtable = openSubtable(0);
    QVERIFY(subtable);
    doc->setChanged(false);
    container()->addRowButtonPressed();
    QCOMPARE(rowCount(*doc, "Companies"), 4);
    QCOMPARE(subtable->indices(), QString("'4'"));
    QCOMPARE(subtable->numberOfRows(), 1);
    QCOMPARE(link("People", "employer", "1"), QString("4"));
    QCOMPARE(link("Companies", "staff", "4"), twoWay ? QString("1") : QString());
    QVERIFY(doc->isChanged());
    QVERIFY(env->ui().alerts().isEmpty());

    container()->addRowButtonPressed();
    if (secondAccepted) {
        QCOMPARE(subtable->indices(), QString("'4','5'"));
        QCOMPARE(link("People", "employer", "1"), QString("4,5"));
        QCOMPARE(subtable->numberOfRows(), 2);
        QVERIFY(env->ui().alerts().isEmpty());
    } else {
        QCOMPARE(env->ui().beeps(), 1);
        QVERIFY(env->ui().lastAlert());
        QCOMPARE(env->ui().lastAlert()->messageText, QString("Too Many Records"));
        QCOMPARE(env->ui().lastAlert()->informativeText, QString("You can't add any more records to this subtable."));
        QCOMPARE(env->ui().lastAlert()->buttons, QStringList{"OK"});
        QCOMPARE(subtable->indices(), QString("'4'"));
        QCOMPARE(link("People", "employer", "1"), QString("4"));
        // The refused row does not stay behind as an unlinked empty record.
        QCOMPARE(rowCount(*doc, "Companies"), 4);
    }
}

void TestGridSubtables::backwardsSubtableLinksFromTheEndSide()
{
    makeDocument(1, true);
    harness = std::make_unique<GridHarness>(doc.get(), "Companies");
    LMTableEditView *subtable = openSubtable(0, "staff");
    QVERIFY(subtable);
    QVERIFY(subtable->isBackwards());
    QCOMPARE(subtable->tableName(), QString("People"));
    // One to many: a company (end row) may be linked from many people (start rows).
    container()->addRowButtonPressed();
    container()->addRowButtonPressed();
    QCOMPARE(subtable->indices(), QString("'3','4'"));
    QCOMPARE(link("Companies", "staff", "1"), QString("3,4"));
    QCOMPARE(link("People", "employer", "3"), QString("1"));
    QCOMPARE(link("People", "employer", "4"), QString("1"));
    QVERIFY(env->ui().alerts().isEmpty());
}

void TestGridSubtables::linkExistingRecord_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("secondAccepted");
    QTest::newRow("one to one") << 0 << false;
    QTest::newRow("one to many") << 1 << false;
    QTest::newRow("many to many") << 2 << true;
}

void TestGridSubtables::linkExistingRecord()
{
    QFETCH(int, type);
    QFETCH(bool, secondAccepted);
    makeDocument(type, true);
    harness = std::make_unique<GridHarness>(doc.get(), "People");
    LMTableEditView *subtable = openSubtable(1);
    QVERIFY(subtable);
    container()->toolbarItem("Insert Record", true)->trigger();
    LMInsertRecord *sheet = subtable->insertSheet();
    QVERIFY(sheet);
    QCOMPARE(sheet->rowCount(), 3);
    sheet->selectRow(1);
    sheet->accept();
    QCOMPARE(subtable->indices(), QString("'2'"));
    QCOMPARE(link("People", "employer", "2"), QString("2"));
    QCOMPARE(link("Companies", "staff", "2"), QString("2"));
    QCOMPARE(subtable->numberOfRows(), 1);

    subtable->insertButton();
    sheet = subtable->insertSheet();
    QCOMPARE(sheet->rowCount(), 2); // the linked record is not offered again
    QCOMPARE(sheet->idAtRow(0), QString("1"));
    sheet->selectRow(0);
    sheet->accept();
    if (secondAccepted) {
        QCOMPARE(subtable->indices(), QString("'2','1'"));
        QCOMPARE(link("People", "employer", "2"), QString("2,1"));
        QVERIFY(env->ui().alerts().isEmpty());
    } else {
        QCOMPARE(env->ui().lastAlert()->messageText, QString("Too Many Records"));
        QCOMPARE(subtable->indices(), QString("'2'"));
        QCOMPARE(link("People", "employer", "2"), QString("2"));
        QCOMPARE(link("Companies", "staff", "1"), QString());
    }
}

void TestGridSubtables::insertSheetQueries()
{
    makeDocument(2, true);
    setCell(*doc, "People", "employer", "1", "1,3");
    harness = std::make_unique<GridHarness>(doc.get(), "People");
    LMTableEditView *subtable = openSubtable(0);
    QCOMPARE(subtable->indices(), QString("'1','3'"));
    QCOMPARE(subtable->numberOfRows(), 2);
    subtable->insertButton();
    LMInsertRecord *sheet = subtable->insertSheet();
    QCOMPARE(sheet->lastQuery(), QString("SELECT `id`, `title` FROM `Companies` WHERE id NOT IN ('1','3')"));
    QCOMPARE(sheet->rowCount(), 1);
    sheet->setSearchText("it's");
    QCOMPARE(sheet->lastQuery(), QString("SELECT `id`, `title` FROM `Companies` WHERE id NOT IN ('1','3') AND ( "
                                         "(`id` LIKE '%it''s%') OR (`title` LIKE '%it''s%'))"));
    QCOMPARE(sheet->rowCount(), 0);
    sheet->setSearchText("lob");
    QCOMPARE(sheet->rowCount(), 1);
    QCOMPARE(sheet->idAtRow(0), QString("2"));
    sheet->setSearchText("Acme"); // linked already
    QCOMPARE(sheet->rowCount(), 0);
    sheet->reject();
    QCOMPARE(subtable->indices(), QString("'1','3'"));
}

void TestGridSubtables::uninsertUnlinksBothSides()
{
    makeDocument(2, true);
    harness = std::make_unique<GridHarness>(doc.get(), "People");
    LMTableEditView *subtable = openSubtable(0);
    subtable->uninsertButton();
    QCOMPARE(env->ui().beeps(), 1); // nothing linked
    container()->addRowButtonPressed();
    container()->addRowButtonPressed();
    subtable->tableView()->commitPendingEdit();
    subtable->selectRow(0);
    QVERIFY(container()->toolbarItem("Uninsert Record", true)->isEnabled());
    doc->setChanged(false);
    container()->toolbarItem("Uninsert Record", true)->trigger();
    QCOMPARE(subtable->indices(), QString("'5'"));
    QCOMPARE(link("People", "employer", "1"), QString("5"));
    QCOMPARE(link("Companies", "staff", "4"), QString());
    QCOMPARE(rowCount(*doc, "Companies"), 5);
    QCOMPARE(subtable->numberOfRows(), 1);
    QVERIFY(!subtable->tableView()->isFocusActive());
    QVERIFY(doc->isChanged());
}

void TestGridSubtables::deleteInSubtable_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("idList");
    QTest::addColumn<int>("companies");
    QTest::addColumn<QString>("parentLinks");
    QTest::newRow("Remove from Relationship") << "Remove from Relationship"
                                              << "'3'" << 3 << "3";
    QTest::newRow("Delete from Database") << "Delete from Database"
                                          << "'3'" << 2 << "3";
    QTest::newRow("Cancel") << "Cancel"
                            << "'1','3'" << 3 << "1,3";
}

void TestGridSubtables::deleteInSubtable()
{
    QFETCH(QString, answer);
    QFETCH(QString, idList);
    QFETCH(int, companies);
    QFETCH(QString, parentLinks);
    makeDocument(2, true);
    setCell(*doc, "People", "employer", "1", "1,3");
    setCell(*doc, "Companies", "staff", "1", "1");
    setCell(*doc, "Companies", "staff", "3", "1");
    harness = std::make_unique<GridHarness>(doc.get(), "People");
    LMTableEditView *subtable = openSubtable(0);
    QCOMPARE(subtable->numberOfRows(), 2);
    subtable->selectRow(0);
    QCOMPARE(subtable->selectedRow(), 0);
    QCOMPARE(env->ui().beeps(), 0);
    env->ui().answer(answer);
    container()->removeRowButtonPressed();
    QCOMPARE(env->ui().alerts().size(), 1);
    const Alert &alert = env->ui().alerts().first().alert;
    QCOMPARE(alert.messageText, QString("What do you want to delete?"));
    QCOMPARE(alert.informativeText,
             QString("Do you want to delete this record from just the relationship or permanently from the database?"));
    QCOMPARE(alert.buttons, QStringList({"Remove from Relationship", "Delete from Database", "Cancel"}));
    QCOMPARE(subtable->indices(), idList);
    QCOMPARE(rowCount(*doc, "Companies"), companies);
    // Deleting from the database also drops the parent's link, so no link names a missing record.
    QCOMPARE(link("People", "employer", "1"), parentLinks);
    QCOMPARE(subtable->numberOfRows(), int(idList.count(',')) + 1);
}

void TestGridSubtables::selectingATabClosesLaterTabs()
{
    makeDocument(2, true);
    setCell(*doc, "People", "employer", "1", "1");
    setCell(*doc, "Companies", "staff", "1", "1");
    harness = std::make_unique<GridHarness>(doc.get(), "People");
    LMTableEditView *companies = openSubtable(0);
    QVERIFY(companies);
    // From the company back to its staff: a third tab.
    LMTableDataTableView *view = companies->tableView();
    const QModelIndex staff = companies->model()->index(0, companies->model()->columnOfField("staff"));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(staff).center());
    QCOMPARE(container()->tabCount(), 3);
    QCOMPARE(sub()->tableName(), QString("People"));
    QVERIFY(sub()->isBackwards());
    QCOMPARE(sub()->numberOfRows(), 1);
    container()->tabBar()->setCurrentIndex(1);
    QCOMPARE(container()->tabCount(), 2);
    QCOMPARE(sub(), companies);
    container()->selectTab(0);
    QCOMPARE(container()->tabCount(), 1);
    QCOMPARE(sub(), top());
    QVERIFY(!container()->toolbarItem("Insert Record", true)->isEnabled());
}

void TestGridSubtables::cellWithoutRelationshipRecordOpensNothing()
{
    makeDocument(2, true);
    doc->relationships().set("Lines", Value::array());
    harness = std::make_unique<GridHarness>(doc.get(), "People");
    QVERIFY(!openSubtable(0));
    QCOMPARE(container()->tabCount(), 1);
}

void TestGridSubtables::failedInsertLinksNothing()
{
    makeDocument(2, true);
    harness = std::make_unique<GridHarness>(doc.get(), "People");
    LMTableEditView *subtable = openSubtable(0);
    QVERIFY(subtable);
    // The last row inserted on the connection is an existing company; the next INSERT fails.
    const QString existing = insertRow(*doc, "Companies");
    QVERIFY(!existing.isEmpty());
    doc->database()->performQuery("CREATE TRIGGER refuse BEFORE INSERT ON Companies BEGIN SELECT RAISE(ABORT, "
                                  "'no more companies'); END");
    QCOMPARE(doc->database()->lastErrorID(), 0);
    const int companies = rowCount(*doc, "Companies");
    subtable->addButton();
    QCOMPARE(rowCount(*doc, "Companies"), companies);
    QCOMPARE(link("People", "employer", "1"), QString());
    QCOMPARE(link("Companies", "staff", existing), QString());
    QVERIFY(subtable->indices().isEmpty());
    QCOMPARE(subtable->numberOfRows(), 0);
    QCOMPARE(env->ui().alerts().size(), 1);
    QCOMPARE(env->ui().lastAlert()->messageText, QString("An Error Occurred"));
    QVERIFY(env->ui().lastAlert()->informativeText.contains("no more companies"));
}

void TestGridSubtables::recordOfADeletedTableOpensNothing()
{
    makeDocument(2, true);
    doc->database()->performQuery("DROP TABLE Companies");
    doc->database()->deleteTableDesign("Companies");
    harness = std::make_unique<GridHarness>(doc.get(), "People");
    QVERIFY(!openSubtable(0));
    QCOMPARE(container()->tabCount(), 1);
    QVERIFY(env->ui().alerts().isEmpty());
}

QTEST_MAIN(TestGridSubtables)
#include "test_grid_subtables.moc"
