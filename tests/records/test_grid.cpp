// Record grid through its controller: the standard query, cell display, the write rules, sorting, column
// moves, record commands with their sheets, navigation, autosizing, renames and the container.
#include "LMGotoRowSheet.h"
#include "LMIdentifiedView.h"
#include "LMQueryFilterView.h"
#include "LMQueryOpenView.h"
#include "LMTableDataTableView.h"
#include "LMTableEditContainer.h"
#include "LMTableEditModel.h"
#include "LMTableEditView.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "Preferences.h"
#include "QLiteCursor.h"
#include "RecordingNavigator.h"
#include "TestEnvironment.h"
#include "support/GridFixture.h"
#include "support/GridHarness.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>

using namespace GridFixture;

namespace {
Value peopleDesign()
{
    return table("People",
                 {field("name", "Text", {{"Unique", Value(true)}}),
                  field("age", "Number", {{"Format", Value("#,##0.00")}}),
                  field("born", "Date", {{"Date Format", Value("yyyy-MM-dd")}}), field("member", "Yes/No"),
                  field("color", "Options", {{"Options", Value::array({Value("Red"), Value("Green"), Value("Blue")})}}),
                  field("tags", "List"), field("photo", "Image"), field("home", "File Path")});
}
} // namespace

class TestGrid : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<MyDocument> doc;

    void makeDocument(const QList<Value> &designs = {peopleDesign()})
    {
        QString error;
        doc = newDocument(designs, &error);
        QVERIFY2(doc, qPrintable(error));
    }

private slots:
    void init()
    {
        env = std::make_unique<TestEnvironment>();
        makeDocument();
    }
    void cleanup()
    {
        doc.reset();
        env.reset();
    }

    void standardQuery_data();
    void standardQuery();
    void emptyDesignShowsOneColumn();
    void invalidTableNameShowsSheet();
    void cellDisplay();
    void nullLikeTextsDisplayEmpty_data();
    void nullLikeTextsDisplayEmpty();
    void storedMediaValueIsFetchedByRow();
    void writeNothingWhenEqual_data();
    void writeNothingWhenEqual();
    void refusedValueShowsSheetAndKeepsCell();
    void sortCyclesThroughHeaderClicks();
    void columnMoves_data();
    void columnMoves();
    void addRecordSelectsAndEditsNewRow();
    void deleteRecord_data();
    void deleteRecord();
    void insertOnTopLevelAddsAndReportsError();
    void navigationAndRowNumberField();
    void samplesPerColumn_data();
    void samplesPerColumn();
    void autosizeSamplesAndWidths();
    void widthOfValue_data();
    void widthOfValue();
    void renameReloadsUnderNewName();
    void containerIdentifierToolbarAndFilter();
    void queryFilterViewRestrictsTheGrid();
    void openQueryShowsOnlyItsDisplays();
    void chooserOpensAQueryOfAnotherTableThroughTheWindow();
    void cacheMethodPreferenceChoosesTheCursor_data();
    void cacheMethodPreferenceChoosesTheCursor();
};

void TestGrid::standardQuery_data()
{
    QTest::addColumn<bool>("all");
    QTest::addColumn<bool>("filterOpen");
    QTest::addColumn<QString>("sortField");
    QTest::addColumn<QString>("expected");
    const QString display = "SELECT `id`, `name`, `age`, `born`, `member`, `color`, `tags`, `home` FROM `People` ";
    QTest::newRow("display columns leave media out") << false << false << QString() << display;
    QTest::newRow("all columns")
        << true << false << QString()
        << "SELECT `id`, `name`, `age`, `born`, `member`, `color`, `tags`, `photo`, `home` FROM `People` ";
    QTest::newRow("filter open") << false << true << QString() << display + " WHERE `age` > '3' ";
    QTest::newRow("sorted") << false << false << "age" << display + "ORDER BY `age` ASC";
}

void TestGrid::standardQuery()
{
    QFETCH(bool, all);
    QFETCH(bool, filterOpen);
    QFETCH(QString, sortField);
    QFETCH(QString, expected);
    GridHarness harness(doc.get(), "People", false);
    LMTableEditView *grid = harness.grid();
    FakeFilter filter;
    filter.open = filterOpen;
    filter.where = " WHERE `age` > '3'";
    grid->setQueryFilter(&filter, nullptr);
    if (!sortField.isEmpty())
        grid->didClickTableColumn(grid->model()->columnOfField(sortField));
    QCOMPARE(grid->standardQuery(all), expected);
    grid->setQueryFilter(nullptr, nullptr);
}

void TestGrid::emptyDesignShowsOneColumn()
{
    Value bare = Value::dict({{"Name", Value("Bare")}, {"Fields", Value::array()}});
    doc->database()->performQuery("CREATE TABLE `Bare` (id INTEGER PRIMARY KEY AUTOINCREMENT)");
    doc->database()->createTableDesign(bare);
    insertRow(*doc, "Bare");
    GridHarness harness(doc.get(), "Bare", false);
    LMTableEditView *grid = harness.grid();
    QCOMPARE(grid->queriedStdSelect(), QString("SELECT * FROM `Bare` "));
    QCOMPARE(grid->model()->columnCount(), 1);
    QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QString());
    QCOMPARE(grid->numberOfRows(), 1);
    QVERIFY(grid->model()->flags(grid->model()->index(0, 0)) & Qt::ItemIsEditable);
    QVERIFY(env->ui().alerts().isEmpty());
}

void TestGrid::invalidTableNameShowsSheet()
{
    GridHarness harness(doc.get(), "", false);
    QVERIFY(env->ui().lastAlert());
    QCOMPARE(env->ui().lastAlert()->messageText, QString("Error - Invalid Table Name"));
    QCOMPARE(env->ui().lastAlert()->informativeText, QString("Please submit a bug report to tandrel."));
    QCOMPARE(env->ui().lastAlert()->buttons, QStringList{"OK"});
}

void TestGrid::cellDisplay()
{
    const QString id = insertRow(*doc, "People");
    setCell(*doc, "People", "name", id, "Ada");
    setCell(*doc, "People", "age", id, "1234.5");
    setCell(*doc, "People", "born", id, "0");
    setCell(*doc, "People", "member", id, "1");
    setCell(*doc, "People", "color", id, "Blue");
    setCell(*doc, "People", "tags", id, "a, b");
    setCell(*doc, "People", "home", id, "/tmp");
    GridHarness harness(doc.get(), "People", false);
    LMTableEditModel *model = harness.grid()->model();
    const auto text = [&](const QString &f) { return model->index(0, model->columnOfField(f)).data().toString(); };
    QCOMPARE(text("name"), QString("Ada"));
    QCOMPARE(text("age"), QString("1,234.50"));
    QCOMPARE(text("born"), QString("2001-01-01"));
    QCOMPARE(text("color"), QString("Blue"));
    QCOMPARE(text("tags"), QString("a, b"));
    QCOMPARE(text("home"), QString("/tmp"));
    QCOMPARE(model->index(0, model->columnOfField("member")).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    // The option index, a decimal number and a date are the cells' values.
    QCOMPARE(harness.grid()->objectValueForTableColumn("color", 0), Value(2));
    QCOMPARE(harness.grid()->objectValueForTableColumn("age", 0), Value(1234.5));
    QCOMPARE(harness.grid()->objectValueForTableColumn("born", 0), Value::date(0));
    QCOMPARE(harness.grid()->objectValueForTableColumn("tags", 0), Value(QStringList{"a", "b"}));
    QVERIFY(!(model->flags(model->index(0, 0)) & Qt::ItemIsEditable));
    // A date is typed in its cell; media cells edit in the data panel only.
    QVERIFY(model->flags(model->index(0, model->columnOfField("born"))) & Qt::ItemIsEditable);
    QVERIFY(!(model->flags(model->index(0, model->columnOfField("photo"))) & Qt::ItemIsEditable));
}

void TestGrid::nullLikeTextsDisplayEmpty_data()
{
    QTest::addColumn<QString>("stored");
    QTest::newRow("<null>") << "<null>";
    QTest::newRow("(null)") << "(null)";
}

void TestGrid::nullLikeTextsDisplayEmpty()
{
    QFETCH(QString, stored);
    const QString id = insertRow(*doc, "People");
    setCell(*doc, "People", "name", id, stored);
    setCell(*doc, "People", "age", id, stored);
    GridHarness harness(doc.get(), "People", false);
    LMTableEditModel *model = harness.grid()->model();
    QCOMPARE(model->index(0, model->columnOfField("name")).data().toString(), QString());
    QCOMPARE(model->index(0, model->columnOfField("age")).data().toString(), QString());
    QVERIFY(harness.grid()->objectValueForTableColumn("name", 0).isNull());
}

void TestGrid::storedMediaValueIsFetchedByRow()
{
    insertRow(*doc, "People");
    const QString id = insertRow(*doc, "People");
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(!doc->database()->insertNativeValue(Value(image), "People", "photo", id));
    GridHarness harness(doc.get(), "People", false);
    LMTableEditView *grid = harness.grid();
    // The display never reads the media column; the stored value comes from a single-row SELECT.
    QVERIFY(!grid->rows()->columns().contains("People.photo"));
    QVERIFY(grid->objectValueForTableColumn("photo", 1).isNull());
    const Value stored = grid->objectValueForTableColumn("photo", 1, true);
    QVERIFY(stored.isImage());
    QCOMPARE(stored.toImage().size(), QSize(4, 3));
    QVERIFY(grid->objectValueForTableColumn("photo", 0, true).isNull());
}

void TestGrid::writeNothingWhenEqual_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<Value>("value");
    QTest::addColumn<bool>("writes");
    QTest::newRow("text equal") << "name"
                                << "Ada" << Value("Ada") << false;
    QTest::newRow("text different") << "name"
                                    << "Ada" << Value("Bob") << true;
    QTest::newRow("text empty onto null") << "name"
                                          << "<null>" << Value("") << false;
    QTest::newRow("number equal") << "age"
                                  << "3" << Value(3.0) << false;
    QTest::newRow("date equal") << "born"
                                << "60" << Value::date(60) << false;
    QTest::newRow("file path equal") << "home"
                                     << "/tmp" << Value("/tmp") << false;
    QTest::newRow("yes/no equal still writes") << "member"
                                               << "1" << Value(true) << true;
    QTest::newRow("options equal still writes") << "color"
                                                << "Red" << Value(0) << true;
}

void TestGrid::writeNothingWhenEqual()
{
    QFETCH(QString, field);
    QFETCH(QString, stored);
    QFETCH(Value, value);
    QFETCH(bool, writes);
    const QString id = insertRow(*doc, "People");
    setCell(*doc, "People", field, id, stored);
    GridHarness harness(doc.get(), "People", false);
    doc->setChanged(false);
    const int before = totalChanges(*doc);
    QVERIFY(!harness.grid()->setObjectValue(value, field, 0));
    QCOMPARE(totalChanges(*doc) > before, writes);
    QVERIFY(doc->isChanged());
}

void TestGrid::refusedValueShowsSheetAndKeepsCell()
{
    const QString a = insertRow(*doc, "People");
    const QString b = insertRow(*doc, "People");
    setCell(*doc, "People", "name", a, "Ada");
    setCell(*doc, "People", "name", b, "Bob");
    GridHarness harness(doc.get(), "People", false);
    const std::optional<Alert> alert = harness.grid()->setObjectValue(Value("Ada"), "name", 1);
    QVERIFY(alert);
    QCOMPARE(env->ui().alerts().size(), 1);
    QVERIFY(env->ui().alerts().first().asSheet);
    QCOMPARE(env->ui().lastAlert()->messageText, QString("Value isn't Unique"));
    QCOMPARE(env->ui().lastAlert()->informativeText,
             QString("The field \"name\" requires that the value you enter is unique"));
    QCOMPARE(cellText(*doc, "People", "name", b), QString("Bob"));
    QCOMPARE(harness.grid()->model()->index(1, 1).data().toString(), QString("Bob"));
}

void TestGrid::sortCyclesThroughHeaderClicks()
{
    for (const char *name : {"b", "c", "a"})
        setCell(*doc, "People", "name", insertRow(*doc, "People"), name);
    GridHarness harness(doc.get(), "People");
    LMTableEditView *grid = harness.grid();
    QHeaderView *header = grid->tableView()->horizontalHeader();
    const auto click = [&](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 4, header->height() / 2));
    };
    const auto names = [&] {
        QStringList list;
        for (int r = 0; r < grid->numberOfRows(); ++r)
            list << grid->model()->index(r, 1).data().toString();
        return list;
    };
    click(1);
    QCOMPARE(grid->model()->sortType(1), 0);
    QVERIFY(header->isSortIndicatorShown());
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    QCOMPARE(names(), QStringList({"a", "b", "c"}));
    click(1);
    QCOMPARE(grid->model()->sortType(1), 1);
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    QCOMPARE(names(), QStringList({"c", "b", "a"}));
    QVERIFY(grid->queriedStdSelect().endsWith("ORDER BY `name` DESC"));
    click(1);
    QCOMPARE(grid->model()->sortType(1), -1);
    QVERIFY(!header->isSortIndicatorShown());
    QVERIFY(!grid->queriedStdSelect().contains("ORDER BY"));
    click(1);
    click(2);
    QCOMPARE(grid->model()->sortType(1), -1);
    QCOMPARE(grid->model()->sortType(2), 0);
    QVERIFY(grid->queriedStdSelect().endsWith("ORDER BY `age` ASC"));
}

void TestGrid::columnMoves_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("filterOpen");
    QTest::addColumn<QStringList>("expected");
    const QStringList unchanged{"id", "name", "age", "born", "member", "color", "tags", "photo", "home"};
    QTest::newRow("forward") << 1 << 3 << false
                             << QStringList{"id", "age", "born", "name", "member", "color", "tags", "photo", "home"};
    QTest::newRow("backward") << 4 << 2 << false
                              << QStringList{"id", "name", "member", "age", "born", "color", "tags", "photo", "home"};
    QTest::newRow("id column") << 0 << 3 << false << unchanged;
    QTest::newRow("onto position 0") << 3 << 0 << false << unchanged;
    QTest::newRow("filter open") << 1 << 3 << true << unchanged;
}

void TestGrid::columnMoves()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, filterOpen);
    QFETCH(QStringList, expected);
    GridHarness harness(doc.get(), "People");
    LMTableEditView *grid = harness.grid();
    FakeFilter filter;
    filter.open = filterOpen;
    grid->setQueryFilter(&filter, nullptr);
    // A drag of the header, as the user makes it.
    grid->tableView()->horizontalHeader()->moveSection(from, to);
    QCOMPARE(doc->database()->allNamesForTable("People"), expected);
    QCOMPARE(grid->model()->fields(), expected);
    QHeaderView *header = grid->tableView()->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual)
        QCOMPARE(header->logicalIndex(visual), visual);
    grid->setQueryFilter(nullptr, nullptr);
}

void TestGrid::addRecordSelectsAndEditsNewRow()
{
    insertRow(*doc, "People");
    GridHarness harness(doc.get(), "People");
    doc->setChanged(false);
    harness.container()->addRowButtonPressed();
    LMTableEditView *grid = harness.grid();
    QCOMPARE(grid->numberOfRows(), 2);
    QCOMPARE(rowCount(*doc, "People"), 2);
    QCOMPARE(grid->selectedRow(), 1);
    QVERIFY(grid->tableView()->isEditingCell());
    QCOMPARE(grid->tableView()->currentIndex(), grid->model()->index(1, 1));
    QVERIFY(doc->isChanged());
    QCOMPARE(grid->rowNumberField()->text(), QString("2"));
}

void TestGrid::deleteRecord_data()
{
    QTest::addColumn<bool>("prompt");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("rowsLeft");
    QTest::newRow("no prompt") << false << QString() << 1;
    QTest::newRow("prompt, Delete") << true << "Delete" << 1;
    QTest::newRow("prompt, Don't Delete") << true << "Don't Delete" << 2;
}

void TestGrid::deleteRecord()
{
    QFETCH(bool, prompt);
    QFETCH(QString, answer);
    QFETCH(int, rowsLeft);
    Preferences::instance().setValue("LMPromptWhenDelete", prompt);
    insertRow(*doc, "People");
    const QString second = insertRow(*doc, "People");
    GridHarness harness(doc.get(), "People");
    LMTableEditView *grid = harness.grid();
    QAction *deleteItem = harness.container()->toolbarItem("Delete Record", true);
    QVERIFY(!deleteItem->isEnabled());
    grid->selectRow(1);
    QVERIFY(deleteItem->isEnabled());
    if (!answer.isEmpty())
        env->ui().answer(answer);
    deleteItem->trigger();
    QCOMPARE(rowCount(*doc, "People"), rowsLeft);
    QCOMPARE(grid->numberOfRows(), rowsLeft);
    if (prompt) {
        QCOMPARE(env->ui().alerts().size(), 1);
        const Alert &alert = env->ui().alerts().first().alert;
        QCOMPARE(alert.messageText, QString("Are you sure you want to delete this row?"));
        QCOMPARE(alert.informativeText, QString("This action cannot be undone."));
        QCOMPARE(alert.buttons, QStringList({"Delete", "Don't Delete"}));
    } else {
        QVERIFY(env->ui().alerts().isEmpty());
    }
    if (rowsLeft == 1) {
        QVERIFY(cellText(*doc, "People", "id", second).isNull());
        QVERIFY(!grid->tableView()->isFocusActive());
    }
}

void TestGrid::insertOnTopLevelAddsAndReportsError()
{
    GridHarness harness(doc.get(), "People", false);
    QVERIFY(!harness.container()->toolbarItem("Insert Record", true)->isEnabled());
    QVERIFY(!harness.container()->toolbarItem("Uninsert Record", true)->isEnabled());
    harness.grid()->insertButton();
    QCOMPARE(rowCount(*doc, "People"), 1);
    QVERIFY(env->ui().lastAlert());
    QCOMPARE(env->ui().lastAlert()->messageText, QString("An Error Occurred"));
    QCOMPARE(env->ui().lastAlert()->informativeText,
             QString("Please submit a bug report to tandrel. Error code Relationship-less table calling "
                     "-insertButton. Cleaned up by calling -addButton: instead"));
}

void TestGrid::navigationAndRowNumberField()
{
    GridHarness harness(doc.get(), "People");
    LMTableEditView *grid = harness.grid();
    grid->gotoFirstRow();
    grid->gotoNextRow();
    QCOMPARE(env->ui().beeps(), 2); // no rows
    for (int i = 0; i < 3; ++i)
        insertRow(*doc, "People");
    grid->refresh();
    QCOMPARE(grid->rowNumberField()->text(), QString());
    grid->gotoLastRow();
    QCOMPARE(grid->selectedRow(), 2);
    QCOMPARE(grid->rowNumberField()->text(), QString("3"));
    grid->gotoNextRow();
    QCOMPARE(env->ui().beeps(), 3);
    grid->gotoPreviousRow();
    QCOMPARE(grid->selectedRow(), 1);
    grid->gotoFirstRow();
    QCOMPARE(grid->selectedRow(), 0);
    QCOMPARE(grid->rowNumberField()->text(), QString("1"));
    grid->gotoPreviousRow();
    QCOMPARE(env->ui().beeps(), 4);
    QCOMPARE(grid->selectedRow(), 0);
    // Typing a number selects as the user types; an out-of-range number beeps only on Return.
    QLineEdit *field = grid->rowNumberField();
    field->setFocus();
    field->clear();
    QTest::keyClicks(field, "3");
    QCOMPARE(grid->selectedRow(), 2);
    QTest::keyClicks(field, "9");
    QCOMPARE(grid->selectedRow(), 2);
    QCOMPARE(env->ui().beeps(), 4);
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(env->ui().beeps(), 5);
    QCOMPARE(grid->selectedRow(), 2);
    // The focused cell follows the selected row.
    QCOMPARE(grid->tableView()->focusedRow(), 2);
    QCOMPARE(grid->tableView()->focusedColumn(), 1);
    // The sheet asking for a row number.
    grid->gotoSheetButton();
    QVERIFY(grid->gotoSheet());
    grid->gotoSheet()->numberField()->setText("2");
    grid->gotoSheet()->accept();
    QCOMPARE(grid->selectedRow(), 1);
    grid->gotoSheetFinished("0");
    QCOMPARE(env->ui().beeps(), 6);
    QCOMPARE(grid->selectedRow(), 1);
}

void TestGrid::samplesPerColumn_data()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("samples");
    QTest::newRow("5 columns") << 5 << 100;
    QTest::newRow("8 columns") << 8 << 100;
    QTest::newRow("9 columns") << 9 << 89;
    QTest::newRow("20 columns") << 20 << 40;
    QTest::newRow("801 columns") << 801 << 1;
}

void TestGrid::samplesPerColumn()
{
    QFETCH(int, columns);
    QFETCH(int, samples);
    QCOMPARE(LMTableEditView::samplesPerColumn(columns), samples);
}

void TestGrid::autosizeSamplesAndWidths()
{
    QList<Value> fields;
    for (int i = 1; i < 20; ++i)
        fields << field(QString("f%1").arg(i), "Text");
    makeDocument({table("Wide", fields)});
    doc->database()->performQuery("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM n WHERE x<150) "
                                  "INSERT INTO Wide (f1) SELECT 'v' FROM n");
    setCell(*doc, "Wide", "f3", "1", "a rather long value that needs a wide column");
    for (int r = 2; r <= 150; ++r)
        setCell(*doc, "Wide", "f3", QString::number(r), "a rather long value that needs a wide column");
    GridHarness harness(doc.get(), "Wide");
    LMTableEditView *grid = harness.grid();
    QTRY_VERIFY(!grid->needsAutosize());
    QCOMPARE(grid->lastAutosizeSamples(), 40);
    QHeaderView *header = grid->tableView()->horizontalHeader();
    const double wide = grid->widthOfValue(Value("a rather long value that needs a wide column"), "Text", 3);
    QVERIFY(grid->widths().value("f3") >= wide);
    QVERIFY(header->sectionSize(3) >= int(wide));
    // A value painted wider than the remembered width raises it.
    setCell(*doc, "Wide", "f5", "1", "an even longer value, painted in the first row of the grid");
    grid->refreshData();
    QTest::qWait(20);
    grid->tableView()->viewport()->repaint();
    QFont font = QApplication::font();
    font.setPointSizeF(12);
    QCOMPARE(grid->widths().value("f5"),
             QFontMetricsF(font).horizontalAdvance("an even longer value, painted in the first row of the grid"));
    grid->refresh();
    QVERIFY(grid->needsAutosize());
    // A very long value is remembered whole but fits the column only up to a limit.
    const QString essay = QString("a very long text ").repeated(40);
    doc->database()->performQuery(QString("UPDATE Wide SET f7 = '%1'").arg(essay));
    grid->refresh();
    QTRY_VERIFY(!grid->needsAutosize());
    QVERIFY(grid->widths().value("f7") > 600);
    QVERIFY(header->sectionSize(7) < 400);
    QVERIFY(header->sectionSize(7) >= 300);
}

void TestGrid::widthOfValue_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<Value>("value");
    QTest::addColumn<QString>("measured"); // the text whose width (plus 8) is expected; "" for a fixed width
    QTest::addColumn<double>("fixed");
    QTest::newRow("yes/no") << "member" << Value(true) << QString() << 21.0;
    QTest::newRow("list") << "tags" << Value(QStringList{"a", "b"}) << "a____________b" << 0.0;
    QTest::newRow("number") << "age" << Value(3.0) << "3.00" << 0.0;
    QTest::newRow("option") << "color" << Value(1) << "Green>>" << 0.0;
    QTest::newRow("option out of range") << "color" << Value(7) << ">>" << 0.0;
    QTest::newRow("image") << "photo" << Value(QImage(2, 2, QImage::Format_RGB32)) << QString() << 42.0;
}

void TestGrid::widthOfValue()
{
    QFETCH(QString, field);
    QFETCH(Value, value);
    QFETCH(QString, measured);
    QFETCH(double, fixed);
    GridHarness harness(doc.get(), "People", false);
    LMTableEditView *grid = harness.grid();
    const int column = grid->model()->columnOfField(field);
    const double expected =
        measured.isEmpty() ? fixed : QFontMetricsF(grid->tableView()->font()).horizontalAdvance(measured) + 8;
    QCOMPARE(grid->widthOfValue(value, grid->datatypeForColumn(field), column), expected);
}

void TestGrid::renameReloadsUnderNewName()
{
    setCell(*doc, "People", "name", insertRow(*doc, "People"), "Ada");
    GridHarness harness(doc.get(), "People", false);
    doc->database()->performQuery("ALTER TABLE `People` RENAME TO `Folk`");
    doc->tables().at(0).set("Name", Value("Folk"));
    harness.container()->itemDidRename(ItemKind::Table, "People", "Folk");
    LMTableEditView *grid = harness.grid();
    QCOMPARE(grid->tableName(), QString("Folk"));
    QVERIFY(grid->queriedStdSelect().contains("FROM `Folk`"));
    QCOMPARE(grid->numberOfRows(), 1);
    QCOMPARE(grid->model()->index(0, 1).data().toString(), QString("Ada"));
    QCOMPARE(harness.container()->tabLabel(0), QString("Folk"));
}

void TestGrid::containerIdentifierToolbarAndFilter()
{
    for (int i = 0; i < 3; ++i)
        setCell(*doc, "People", "age", insertRow(*doc, "People"), QString::number(i));
    GridHarness harness(doc.get(), "People");
    LMTableEditContainer *container = harness.container();
    QCOMPARE(container->identifier(), QString("Table Edit"));
    QCOMPARE(harness.view()->controller(), static_cast<LMViewController *>(container));
    QVERIFY(container->providesToolbar());
    QCOMPARE(
        container->toolbarDefaultItemIdentifiers(),
        QStringList({"Modes", "Add Record", "Delete Record", "Insert Record", "Uninsert Record", "Data", "Query"}));
    for (const QString &item : container->toolbarDefaultItemIdentifiers())
        QVERIFY2(container->toolbarItem(item, true), qPrintable(item));

    // A filter given to the container restricts the grid while it is open and reloads it on every change.
    FakeFilter filter;
    auto *filterWidget = new QWidget;
    container->setFilterInstaller([&](LMTableEditView *grid) { grid->setQueryFilter(&filter, filterWidget); });
    LMTableEditView *grid = harness.grid();
    QCOMPARE(grid->numberOfRows(), 3);
    filter.open = true;
    filter.where = " WHERE `age` >= '1'";
    filter.change();
    QCOMPARE(grid->numberOfRows(), 2);
    filter.open = false;
    container->queryButton();
    QCOMPARE(grid->numberOfRows(), 3);

    RecordingNavigator navigator;
    container->setNavigator(&navigator);
    grid->switchToEditDesignCounterpart();
    QCOMPARE(navigator.calls, QStringList{"switchToTableDesignView People"});
}

void TestGrid::chooserOpensAQueryOfAnotherTableThroughTheWindow()
{
    makeDocument({peopleDesign(), table("Pets", {field("kind", "Text")})});
    doc->queries().append(Value::dict({{"Name", Value("Cats")}, {"Table Name", Value("Pets")}}));
    RecordingNavigator navigator;
    GridHarness harness(doc.get(), "People", false, &navigator);
    auto *filter = dynamic_cast<LMQueryFilterView *>(harness.grid()->queryView());
    QVERIFY(filter);
    filter->openQuery();
    QVERIFY(filter->chooser());
    QVERIFY(filter->chooser()->selectQuery("Cats"));
    filter->chooser()->openButton();
    QCOMPARE(navigator.calls, QStringList{"switchToQueryView Cats"});
}

void TestGrid::queryFilterViewRestrictsTheGrid()
{
    for (const char *name : {"Ann", "Bob", "Abe"})
        setCell(*doc, "People", "name", insertRow(*doc, "People"), name);
    GridHarness harness(doc.get(), "People");
    LMTableEditView *grid = harness.grid();
    auto *filter = dynamic_cast<LMQueryFilterView *>(grid->queryView());
    QVERIFY(filter);
    QVERIFY(!grid->isQueryOpen());
    QCOMPARE(filter->tableName(), QString("People"));
    // Shown without a saved query: one display per field and one empty condition.
    QCOMPARE(filter->dictionary().value("Displays").size(), 9);
    QCOMPARE(filter->dictionary().value("Displays").at(1).value("Field"), Value("name"));
    QCOMPARE(filter->dictionary().value("Parameters").size(), 1);
    QCOMPARE(filter->dictionary().value("Page Size"), Value(-1));
    QCOMPARE(filter->dictionary().value("Parameter Boolean"), Value("ALL"));
    const Value condition = Value::dict({{"Type", Value("Parameters")},
                                         {"Table", Value("People")},
                                         {"Field", Value("name")},
                                         {"Datatype", Value("Text")},
                                         {"Compare Op", Value("starts with")},
                                         {"Operand", Value("A")}});
    filter->programaticallyOpenQuery(Value::dict({{"Name", Value("A names")},
                                                  {"Table Name", Value("People")},
                                                  {"Parameters", Value::array({condition})},
                                                  {"Page Size", Value(-1)},
                                                  {"Selected Page", Value(0)},
                                                  {"Parameter Boolean", Value("all")}}));
    QVERIFY(grid->isQueryOpen());
    QCOMPARE(grid->numberOfRows(), 2);
    QVERIFY(grid->queriedStdSelect().contains(" WHERE "));
    // The container's "Query" item closes it again and the grid shows every row.
    harness.container()->toolbarItem("Query", true)->trigger();
    QVERIFY(!grid->isQueryOpen());
    QCOMPARE(grid->numberOfRows(), 3);
    // While the filter is open, columns stay where they are.
    harness.container()->queryButton();
    QVERIFY(grid->isQueryOpen());
    QVERIFY(!grid->moveColumnAtIndex(1, 2));
}

void TestGrid::openQueryShowsOnlyItsDisplays()
{
    setCell(*doc, "People", "name", insertRow(*doc, "People"), "Ann");
    GridHarness harness(doc.get(), "People");
    LMTableEditView *grid = harness.grid();
    auto *filter = dynamic_cast<LMQueryFilterView *>(grid->queryView());
    QVERIFY(filter);
    LMTableDataTableView *table = grid->tableView();
    const auto shownFields = [&] {
        QStringList shown;
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            if (!table->isColumnHidden(c))
                shown << grid->model()->fieldAt(c);
        return shown;
    };
    const QStringList every = shownFields();
    QCOMPARE(every.size(), 9);
    const auto display = [](const char *f) {
        return Value::dict({{"Type", Value("Displays")}, {"Table", Value("People")}, {"Field", Value(f)}});
    };
    // "gone" is no longer in the design and "member" is listed before "name": the grid keeps design order.
    filter->programaticallyOpenQuery(Value::dict(
        {{"Name", Value("Short")},
         {"Table Name", Value("People")},
         {"Parameters", Value::array()},
         {"Displays", Value::array({display("id"), display("member"), display("gone"), display("name")})}}));
    QCOMPARE(shownFields(), (QStringList{"id", "name", "member"}));
    // Tab moves between the shown cells only, and on to the next row from the last of them.
    table->setFocusedCell(0, grid->model()->columnOfField("name"));
    QTest::keyClick(table, Qt::Key_Tab);
    QCOMPARE(table->focusedColumn(), grid->model()->columnOfField("member"));
    QTest::keyClick(table, Qt::Key_Backtab);
    QCOMPARE(table->focusedColumn(), grid->model()->columnOfField("name"));
    // Closing the filter shows every field again; the redesign of the grid keeps the choice while open.
    harness.container()->queryButton();
    QCOMPARE(shownFields(), every);
    harness.container()->queryButton();
    QCOMPARE(shownFields(), (QStringList{"id", "name", "member"}));
    harness.container()->refresh();
    QCOMPARE(shownFields(), (QStringList{"id", "name", "member"}));
}

void TestGrid::cacheMethodPreferenceChoosesTheCursor_data()
{
    QTest::addColumn<int>("preference");
    QTest::addColumn<int>("method");
    QTest::newRow("connection default") << 0 << 2;
    QTest::newRow("cache every column") << 1 << 1;
    QTest::newRow("row identifiers only") << 2 << 2;
}

void TestGrid::cacheMethodPreferenceChoosesTheCursor()
{
    QFETCH(int, preference);
    QFETCH(int, method);
    for (int i = 0; i < 3; ++i)
        insertRow(*doc, "People");
    setCell(*doc, "People", "name", "2", "Bea");
    GridHarness harness(doc.get(), "People", false);
    LMTableEditView *grid = harness.grid();
    const std::shared_ptr<QLiteCursor> before = grid->rows();
    Preferences::instance().setValue("LMCacheMethod", preference);
    // The next refresh reads with the method chosen; what the grid shows does not depend on it.
    harness.container()->refresh();
    QCOMPARE(grid->rows()->cacheMethod(), method);
    QCOMPARE(grid->rows()->usesRowSource(), method != 1);
    QCOMPARE(grid->numberOfRows(), 3);
    QCOMPARE(grid->model()->idForRow(1), QString("2"));
    QCOMPARE(grid->model()->displayText(grid->model()->columnOfField("name"), 1), QString("Bea"));
    QVERIFY(grid->model()->displayText(grid->model()->columnOfField("name"), 2).isEmpty());
    // Nothing changed since: a further refresh shows the same rows without reading them again.
    const std::shared_ptr<QLiteCursor> read = grid->rows();
    harness.container()->refresh();
    QCOMPARE(grid->rows(), read);
    QCOMPARE(read != before, preference != 0);
    Preferences::instance().setValue("LMCacheMethod", 0);
}

QTEST_MAIN(TestGrid)
#include "test_grid.moc"
