// Record grid over a table of a million rows: it opens once with row ids only, jumps, edits near the end,
// sorts, filters, deletes and adds while only a bounded number of pages of values is in memory.
#include "LMTableDataTableView.h"
#include "LMTableEditContainer.h"
#include "LMTableEditModel.h"
#include "LMTableEditView.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "Preferences.h"
#include "QLiteCursor.h"
#include "QLiteIdentifierLoader.h"
#include "TestEnvironment.h"
#include "support/GridFixture.h"
#include "support/GridHarness.h"

#include <QApplication>
#include <QTest>

using namespace GridFixture;

namespace {
constexpr int kRows = 1000000;

// Id loaders started meanwhile stop after their first batch until more is asked for.
struct PausedLoaders {
    PausedLoaders() { QLiteIdentifierLoader::setPausedAfterFirstBatch(true); }
    ~PausedLoaders() { QLiteIdentifierLoader::setPausedAfterFirstBatch(false); }
};
} // namespace

class TestGridLarge : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<MyDocument> doc;

    QString shown(LMTableEditView *grid, const QString &field, int row)
    {
        return grid->model()->displayText(grid->model()->columnOfField(field), row);
    }

private slots:
    void initTestCase()
    {
        env = std::make_unique<TestEnvironment>();
        QString error;
        doc = newDocument({table("Big", {field("name", "Text"), field("amount", "Number"), field("note", "Text")})},
                          &error);
        QVERIFY2(doc, qPrintable(error));
        // One statement fills the table, so building it costs about as much as reading it once.
        doc->database()->performQuery(
            QStringLiteral("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM n WHERE x<%1) "
                           "INSERT INTO Big (id, name, amount, note) SELECT x, 'Person ' || x, x % 1000, "
                           "CASE WHEN x % 10 = 0 THEN NULL ELSE 'Note ' || x END FROM n")
                .arg(kRows));
        QCOMPARE(doc->database()->lastError(), QString());
        Preferences::instance().setValue("LMPromptWhenDelete", false);
    }
    void cleanupTestCase()
    {
        doc.reset();
        env.reset();
    }

    void opensOnceWithIdsOnly()
    {
        GridHarness harness(doc.get(), "Big");
        LMTableEditView *grid = harness.grid();
        QCOMPARE(grid->numberOfRows(), kRows);
        const std::shared_ptr<QLiteCursor> rows = grid->rows();
        QVERIFY(rows->usesRowSource());
        QVERIFY(rows->readInBackground());
        QCOMPARE(rows->cacheMethod(), 2);
        // The window's refresh after the tab arrives shows the rows already read.
        harness.container()->refresh();
        QCOMPARE(grid->rows(), rows);
        QVERIFY(!harness.window()->grab().isNull());
        QCOMPARE(shown(grid, "name", 0), QString("Person 1"));
        QVERIFY(rows->loadedPageCount() <= 2);
        // After a change the refresh reads again.
        setCell(*doc, "Big", "note", "1", "changed");
        harness.container()->refresh();
        QVERIFY(grid->rows() != rows);
        QCOMPARE(shown(grid, "note", 0), QString("changed"));
    }

    // The first screen is shown from the first ids; the view grows to every row once the list is read.
    void firstScreenBeforeTheWholeList()
    {
        {
            GridHarness harness(doc.get(), "Big");
            LMTableEditView *grid = harness.grid();
            QVERIFY(grid->rows()->readInBackground());
            QTRY_COMPARE(grid->model()->rowCount(), kRows);
            QVERIFY(!grid->rows()->isLoadingRows());
        }
        PausedLoaders paused;
        GridHarness harness(doc.get(), "Big");
        LMTableEditView *grid = harness.grid();
        QVERIFY(grid->rows()->isLoadingRows());
        QCOMPARE(grid->model()->rowCount(), 256);
        QVERIFY(!harness.window()->grab().isNull());
        QCOMPARE(shown(grid, "name", 0), QString("Person 1"));

        // An edit while the rest is read: the write waits for the list, and the rows stay where they were.
        grid->selectRow(3);
        QVERIFY(!grid->setObjectValue(Value("Early"), "note", 3));
        QCOMPARE(grid->model()->rowCount(), kRows);
        QCOMPARE(grid->numberOfRows(), kRows);
        QCOMPARE(grid->selectedRow(), 3);
        QCOMPARE(shown(grid, "note", 3), QString("Early"));
        QCOMPARE(cellText(*doc, "Big", "note", "4"), QString("Early"));

        // A sort shows its first screen the same way, the selection following its record as soon as it is read.
        grid->selectRow(0);
        grid->didClickTableColumn(grid->model()->columnOfField("name"));
        QVERIFY(grid->rows()->isLoadingRows());
        QCOMPARE(grid->model()->rowCount(), 256);
        QCOMPARE(shown(grid, "name", 1), QString("Person 10"));
        QCOMPARE(grid->selectedRow(), 0);
        QCOMPARE(grid->model()->idForRow(0), QString("1"));
        // A record further down than the rows read so far is found once they are.
        grid->selectRow(200);
        const QString farId = grid->model()->idForRow(200);
        grid->didClickTableColumn(grid->model()->columnOfField("name"));
        QCOMPARE(grid->model()->idForRow(grid->selectedRow()), farId);
        QCOMPARE(grid->selectedRow(), kRows - 1 - 200);
        grid->gotoLastRow();
        QCOMPARE(grid->selectedRow(), kRows - 1);
        QCOMPARE(grid->model()->rowCount(), kRows);
        QCOMPARE(shown(grid, "name", kRows - 1), QString("Person 1"));
        setCell(*doc, "Big", "note", "4", "Note 4");
    }

    void jumpEditSortFilter()
    {
        GridHarness harness(doc.get(), "Big");
        LMTableEditView *grid = harness.grid();
        grid->gotoRowText(QString::number(kRows / 2), true);
        QCOMPARE(grid->selectedRow(), kRows / 2 - 1);
        QVERIFY(!harness.window()->grab().isNull());
        QCOMPARE(shown(grid, "name", kRows / 2 - 1), QString("Person %1").arg(kRows / 2));
        grid->gotoLastRow();
        QVERIFY(!harness.window()->grab().isNull());
        QCOMPARE(grid->selectedRow(), kRows - 1);
        QCOMPARE(shown(grid, "note", kRows - 1), QString());
        QCOMPARE(shown(grid, "amount", kRows - 2), QString("999"));

        // An edit near the end is written by id and shown after the reload.
        QVERIFY(!grid->setObjectValue(Value("Aardvark"), "name", kRows - 2));
        QCOMPARE(cellText(*doc, "Big", "name", QString::number(kRows - 1)), QString("Aardvark"));
        QCOMPARE(shown(grid, "name", kRows - 2), QString("Aardvark"));
        QCOMPARE(grid->numberOfRows(), kRows);

        // Sorting stays in SQL: the edited row comes first, ties and all in the database's order.
        grid->didClickTableColumn(grid->model()->columnOfField("name"));
        QVERIFY(!harness.window()->grab().isNull());
        QCOMPARE(shown(grid, "name", 0), QString("Aardvark"));
        QCOMPARE(grid->model()->idForRow(0), QString::number(kRows - 1));
        QCOMPARE(shown(grid, "name", 1), QString("Person 1"));
        QCOMPARE(shown(grid, "name", kRows - 1), QString("Person 999998"));
        grid->didClickTableColumn(grid->model()->columnOfField("name"));
        QCOMPARE(shown(grid, "name", 0), QString("Person 999998"));
        grid->didClickTableColumn(grid->model()->columnOfField("name"));
        QCOMPARE(grid->model()->idForRow(0), QString("1"));

        // The stored value the data panel reads, for a row at the end.
        QCOMPARE(grid->objectValueForTableColumn("note", kRows - 3, true), Value(QString("Note %1").arg(kRows - 2)));

        // The query filter restricts in SQL.
        FakeFilter filter;
        grid->setQueryFilter(&filter, nullptr);
        filter.open = true;
        filter.where = QString(" WHERE `id` > '%1'").arg(kRows - 5);
        filter.change();
        QCOMPARE(grid->numberOfRows(), 5);
        QCOMPARE(shown(grid, "name", 4), QString("Person %1").arg(kRows));
        filter.open = false;
        filter.change();
        QCOMPARE(grid->numberOfRows(), kRows);
        grid->setQueryFilter(nullptr, nullptr);

        // Delete the last row, then add one: the row count follows the ids.
        grid->selectRow(kRows - 1);
        grid->removeButton();
        QCOMPARE(grid->numberOfRows(), kRows - 1);
        QCOMPARE(rowCount(*doc, "Big"), kRows - 1);
        grid->addButtonWithoutEditing();
        QCOMPARE(grid->numberOfRows(), kRows);
        QCOMPARE(grid->model()->idForRow(kRows - 1).toInt(), kRows + 1);
        // However far the grid went, only a bounded number of pages is in memory.
        QVERIFY(grid->rows()->loadedPageCount() <= 64);
    }
};

QTEST_MAIN(TestGridLarge)
#include "test_grid_large.moc"
