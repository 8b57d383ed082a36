// Record grid editing by real key and mouse events: Return, Tab and Shift-Tab endings, Escape, the
// focused cell's keys, the check box, refused text, dates typed in the cell, options, lists and sorting.
#include "LMTableDataTableView.h"
#include "LMTableEditContainer.h"
#include "LMTableEditModel.h"
#include "LMTableEditView.h"
#include "MyDocument.h"
#include "TestEnvironment.h"
#include "support/GridFixture.h"
#include "support/GridHarness.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>

using namespace GridFixture;

class TestGridEditing : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<MyDocument> doc;
    std::unique_ptr<GridHarness> harness;

    LMTableEditView *grid() const { return harness->grid(); }
    LMTableDataTableView *view() const { return grid()->tableView(); }
    QModelIndex editing() const { return view()->isEditingCell() ? view()->currentIndex() : QModelIndex(); }
    QLineEdit *editor() const { return qobject_cast<QLineEdit *>(view()->currentEditor()); }
    QString cell(int row, int column) const { return grid()->model()->index(row, column).data().toString(); }

    void open(int rows)
    {
        for (int i = 0; i < rows; ++i)
            insertRow(*doc, "Notes");
        harness = std::make_unique<GridHarness>(doc.get(), "Notes");
    }
    // Begins editing a cell as the user does: select the row, move the focused cell, press Return.
    void beginEditing(int row, int column)
    {
        grid()->selectRow(row);
        view()->setFocusedCell(row, column);
        QTest::keyClick(view(), Qt::Key_Return);
        QVERIFY(editor());
        QCOMPARE(editing(), grid()->model()->index(row, column));
    }
    // Return commits through a queued call, after the editor has seen the key itself.
    void pressReturn(Qt::Key key = Qt::Key_Return)
    {
        QTest::keyClick(editor(), key);
        QCoreApplication::processEvents();
    }
    void type(const QString &text)
    {
        QLineEdit *line = editor();
        QVERIFY(line);
        line->selectAll();
        QTest::keyClicks(line, text);
    }

private slots:
    void init()
    {
        env = std::make_unique<TestEnvironment>();
        QString error;
        doc = newDocument({table("Notes", {field("title", "Text"), field("count", "Number"), field("note", "Text"),
                                           field("done", "Yes/No")})},
                          &error);
        QVERIFY2(doc, qPrintable(error));
    }
    void cleanup()
    {
        harness.reset();
        doc.reset();
        env.reset();
    }

    void returnOnLastRowAddsRecord();
    void returnOnOtherRowEditsNextRow();
    void tabMovesAndWraps();
    void tabInLastCellOfLastRowAddsRecord();
    void shiftTabMovesBackAndWraps();
    void escapeDiscardsTheEdit();
    void gridKeysMoveFocusedCell();
    void checkBoxClickWrites();
    void numberTextThatIsNoNumberIsRefused();
    void movingThroughACheckBoxLeavesIt();
    void refusedValueKeepsTheCellEditing_data();
    void refusedValueKeepsTheCellEditing();
    void refusedByTheFieldRulesKeepsTheCellEditing();
    void dateIsTypedInTheCell_data();
    void dateIsTypedInTheCell();
    void optionNotAmongTheOptionsSurvivesTheEditor();
    void listSplitsOnlyAtTheFieldSeparator();
    void sortingKeepsTheSelectedRecord();
};

void TestGridEditing::returnOnLastRowAddsRecord()
{
    open(1);
    beginEditing(0, 1);
    type("Hello");
    pressReturn();
    QCOMPARE(cellText(*doc, "Notes", "title", "1"), QString("Hello"));
    QCOMPARE(rowCount(*doc, "Notes"), 2);
    QCOMPARE(grid()->numberOfRows(), 2);
    QCOMPARE(editing(), grid()->model()->index(1, 1));
    QCOMPARE(grid()->selectedRow(), 1);
}

void TestGridEditing::returnOnOtherRowEditsNextRow()
{
    open(3);
    beginEditing(0, 2);
    type("5");
    pressReturn(Qt::Key_Enter);
    QCOMPARE(grid()->objectValueForTableColumn("count", 0), Value(5.0));
    QCOMPARE(editing(), grid()->model()->index(1, 2));
    QCOMPARE(grid()->selectedRow(), 1);
    QCOMPARE(rowCount(*doc, "Notes"), 3);
}

void TestGridEditing::tabMovesAndWraps()
{
    open(2);
    beginEditing(0, 1);
    type("a");
    QTest::keyClick(editor(), Qt::Key_Tab);
    QCOMPARE(cellText(*doc, "Notes", "title", "1"), QString("a"));
    QCOMPARE(editing(), grid()->model()->index(0, 2));
    QTest::keyClick(editor(), Qt::Key_Tab);
    // The "Yes/No" column is the last; Tab from it wraps to column 1 of the next row.
    QCOMPARE(editing(), grid()->model()->index(0, 3));
    view()->commitPendingEdit();
    grid()->selectRow(0);
    view()->setFocusedCell(0, 3);
    QTest::keyClick(view(), Qt::Key_Return);
    QVERIFY(editor());
    QTest::keyClick(editor(), Qt::Key_Tab);
    QCOMPARE(rowCount(*doc, "Notes"), 2);
}

void TestGridEditing::tabInLastCellOfLastRowAddsRecord()
{
    QString error;
    doc = newDocument({table("Notes", {field("title", "Text"), field("note", "Text")})}, &error);
    open(2);
    beginEditing(0, 2);
    type("x");
    QTest::keyClick(editor(), Qt::Key_Tab);
    QCOMPARE(cellText(*doc, "Notes", "note", "1"), QString("x"));
    QCOMPARE(editing(), grid()->model()->index(1, 1));
    QCOMPARE(grid()->selectedRow(), 1);
    QTest::keyClick(editor(), Qt::Key_Tab);
    QCOMPARE(editing(), grid()->model()->index(1, 2));
    QTest::keyClick(editor(), Qt::Key_Tab);
    QCOMPARE(rowCount(*doc, "Notes"), 3);
    QCOMPARE(editing(), grid()->model()->index(2, 1));
}

void TestGridEditing::shiftTabMovesBackAndWraps()
{
    QString error;
    doc = newDocument({table("Notes", {field("title", "Text"), field("note", "Text")})}, &error);
    open(2);
    beginEditing(1, 2);
    QTest::keyClick(editor(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(editing(), grid()->model()->index(1, 1));
    type("back");
    QTest::keyClick(editor(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(cellText(*doc, "Notes", "title", "2"), QString("back"));
    QCOMPARE(editing(), grid()->model()->index(0, 2));
    QCOMPARE(grid()->selectedRow(), 0);
    QTest::keyClick(editor(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(editing(), grid()->model()->index(0, 1));
    // Column 1 of the first row: editing just ends.
    QTest::keyClick(editor(), Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(!view()->isEditingCell());
}

void TestGridEditing::escapeDiscardsTheEdit()
{
    open(1);
    setCell(*doc, "Notes", "title", "1", "orig");
    grid()->refresh();
    beginEditing(0, 1);
    QCOMPARE(editor()->text(), QString("orig"));
    type("changed");
    const int before = totalChanges(*doc);
    QTest::keyClick(editor(), Qt::Key_Escape);
    QVERIFY(!view()->isEditingCell());
    QCOMPARE(totalChanges(*doc), before);
    QCOMPARE(cellText(*doc, "Notes", "title", "1"), QString("orig"));
    QCOMPARE(cell(0, 1), QString("orig"));
    QCOMPARE(rowCount(*doc, "Notes"), 1);
}

void TestGridEditing::gridKeysMoveFocusedCell()
{
    open(2);
    grid()->selectRow(0);
    QCOMPARE(view()->focusedColumn(), 1);
    QTest::keyClick(view(), Qt::Key_Left);
    QCOMPARE(view()->focusedColumn(), 1); // never into column 0
    QTest::keyClick(view(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(view()->focusedColumn(), 1);
    QTest::keyClick(view(), Qt::Key_Right);
    QCOMPARE(view()->focusedColumn(), 2);
    QTest::keyClick(view(), Qt::Key_Tab);
    QTest::keyClick(view(), Qt::Key_Tab);
    QCOMPARE(view()->focusedColumn(), 4);
    QTest::keyClick(view(), Qt::Key_Right);
    QCOMPARE(view()->focusedColumn(), 4); // no column beyond the last
    QTest::keyClick(view(), Qt::Key_Left);
    QTest::keyClick(view(), Qt::Key_Down);
    QCOMPARE(view()->focusedRow(), 1);
    QCOMPARE(view()->focusedColumn(), 3);
    QCOMPARE(grid()->selectedRow(), 1);
    QCOMPARE(view()->focusedField(), QString("note"));
    QTest::keyClick(view(), Qt::Key_Return);
    QCOMPARE(editing(), grid()->model()->index(1, 3));
    // A click elsewhere moves the focused cell to the clicked cell.
    view()->commitPendingEdit();
    const QRect target = view()->visualRect(grid()->model()->index(0, 2));
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, target.center());
    QCOMPARE(view()->focusedRow(), 0);
    QCOMPARE(view()->focusedColumn(), 2);
    view()->setToNA();
    QVERIFY(!view()->isFocusActive());
    QCOMPARE(view()->focusedRow(), -1);
    QCOMPARE(grid()->selectedRow(), -1);
}

void TestGridEditing::checkBoxClickWrites()
{
    open(1);
    setCell(*doc, "Notes", "done", "1", "0");
    grid()->refresh();
    const QModelIndex index = grid()->model()->index(0, 4);
    QStyleOptionViewItem option;
    option.rect = view()->visualRect(index);
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect check = view()->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view());
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, check.center());
    QCOMPARE(cellText(*doc, "Notes", "done", "1"), QString("1"));
    QCOMPARE(index.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
}

void TestGridEditing::numberTextThatIsNoNumberIsRefused()
{
    open(1);
    setCell(*doc, "Notes", "count", "1", "7");
    grid()->refresh();
    beginEditing(0, 2);
    QCOMPARE(editor()->text(), QString("7"));
    type("seven");
    const int before = totalChanges(*doc);
    QTest::keyClick(editor(), Qt::Key_Tab);
    QCOMPARE(env->ui().beeps(), 1);
    QCOMPARE(totalChanges(*doc), before);
    QCOMPARE(grid()->objectValueForTableColumn("count", 0), Value(7.0));
    // Formatted number text is read back through the field's formatter.
    beginEditing(0, 2);
    type("12.5");
    pressReturn();
    QCOMPARE(grid()->objectValueForTableColumn("count", 0), Value(12.5));
}

void TestGridEditing::movingThroughACheckBoxLeavesIt()
{
    open(1);
    setCell(*doc, "Notes", "done", "1", "0");
    grid()->refresh();
    beginEditing(0, 1);
    type("Dune");
    QTest::keyClick(editor(), Qt::Key_Tab);
    type("1965");
    QTest::keyClick(editor(), Qt::Key_Tab);
    QTest::keyClick(editor(), Qt::Key_Tab);
    // The check box is focused, neither toggled nor edited.
    QVERIFY(!view()->isEditingCell());
    QCOMPARE(view()->focusedColumn(), 4);
    QCOMPARE(cellText(*doc, "Notes", "done", "1"), QString("0"));
    // Editing the number again and tabbing on does not flip it back and forth either.
    beginEditing(0, 2);
    type("1966");
    QTest::keyClick(editor(), Qt::Key_Tab);
    QTest::keyClick(editor(), Qt::Key_Tab);
    QCOMPARE(cellText(*doc, "Notes", "done", "1"), QString("0"));
    QCOMPARE(grid()->objectValueForTableColumn("count", 0), Value(1966.0));
    // Return ticks it on purpose; Tab from the last column goes on to a new record, as from an edit.
    QTest::keyClick(view(), Qt::Key_Return);
    QCOMPARE(cellText(*doc, "Notes", "done", "1"), QString("1"));
    QTest::keyClick(view(), Qt::Key_Tab);
    QCOMPARE(rowCount(*doc, "Notes"), 2);
    QCOMPARE(editing(), grid()->model()->index(1, 1));
    QCOMPARE(cellText(*doc, "Notes", "done", "1"), QString("1"));
    QCOMPARE(cellText(*doc, "Notes", "done", "2"), QString(""));
}

void TestGridEditing::refusedValueKeepsTheCellEditing_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Tab") << int(Qt::Key_Tab);
}

void TestGridEditing::refusedValueKeepsTheCellEditing()
{
    QFETCH(int, key);
    open(1);
    beginEditing(0, 2);
    type("seven");
    QTest::keyClick(editor(), Qt::Key(key));
    QCoreApplication::processEvents();
    QCOMPARE(env->ui().beeps(), 1);
    // On the last row no record is added and the typed text is still there to be mended.
    QCOMPARE(rowCount(*doc, "Notes"), 1);
    QCOMPARE(editing(), grid()->model()->index(0, 2));
    QVERIFY(editor());
    QCOMPARE(editor()->text(), QString("seven"));
    type("7");
    QTest::keyClick(editor(), Qt::Key(key));
    QCoreApplication::processEvents();
    QCOMPARE(grid()->objectValueForTableColumn("count", 0), Value(7.0));
    QCOMPARE(rowCount(*doc, "Notes"), key == Qt::Key_Return ? 2 : 1);
}

void TestGridEditing::refusedByTheFieldRulesKeepsTheCellEditing()
{
    QString error;
    doc = newDocument({table("Notes", {field("title", "Text", {{"Not Null", Value(true)}}), field("note", "Text")})},
                      &error);
    QVERIFY2(doc, qPrintable(error));
    open(1);
    setCell(*doc, "Notes", "title", "1", "orig");
    grid()->refresh();
    beginEditing(0, 1);
    editor()->clear();
    pressReturn();
    QCOMPARE(env->ui().alerts().size(), 1);
    QCOMPARE(cellText(*doc, "Notes", "title", "1"), QString("orig"));
    QCOMPARE(rowCount(*doc, "Notes"), 1);
    QCOMPARE(editing(), grid()->model()->index(0, 1));
    QCOMPARE(editor()->text(), QString(""));
}

void TestGridEditing::dateIsTypedInTheCell_data()
{
    QTest::addColumn<bool>("iso");
    QTest::newRow("ISO 8601") << true;
    QTest::newRow("the field's short form") << false;
}

void TestGridEditing::dateIsTypedInTheCell()
{
    QFETCH(bool, iso);
    QString error;
    doc = newDocument({table("Books", {field("title", "Text"), field("published", "Date"), field("read", "Yes/No")})},
                      &error);
    QVERIFY2(doc, qPrintable(error));
    insertRow(*doc, "Books");
    harness = std::make_unique<GridHarness>(doc.get(), "Books");
    const QDateTime day(QDate(1990, 3, 3), QTime(0, 0));
    const Value expected = Value::dateTime(day);
    const QString text = iso ? QString("1990-03-03") : grid()->model()->formatterAt(2).format(expected);
    beginEditing(0, 1);
    type("Dune");
    QTest::keyClick(editor(), Qt::Key_Tab);
    // Tab goes into the date cell as into any other: typing there writes the date.
    QCOMPARE(editing(), grid()->model()->index(0, 2));
    QTest::keyClicks(editor(), text);
    QTest::keyClick(editor(), Qt::Key_Tab);
    QCOMPARE(grid()->objectValueForTableColumn("published", 0), expected);
    QCOMPARE(cellText(*doc, "Books", "read", "1"), QString(""));
    // Text that is no date is refused with a beep and stays in the cell.
    beginEditing(0, 2);
    type("next spring");
    QTest::keyClick(editor(), Qt::Key_Tab);
    QCOMPARE(env->ui().beeps(), 1);
    QCOMPARE(editor()->text(), QString("next spring"));
    QCOMPARE(grid()->objectValueForTableColumn("published", 0), expected);
}

void TestGridEditing::optionNotAmongTheOptionsSurvivesTheEditor()
{
    QString error;
    doc = newDocument({table("Notes", {field("kind", "Options", {{"Options", Value::array({Value("A"), Value("B")})}}),
                                       field("note", "Text")})},
                      &error);
    QVERIFY2(doc, qPrintable(error));
    open(1);
    setCell(*doc, "Notes", "kind", "1", "Z");
    grid()->refresh();
    grid()->selectRow(0);
    view()->setFocusedCell(0, 1);
    QTest::keyClick(view(), Qt::Key_Return);
    auto *combo = qobject_cast<QComboBox *>(view()->currentEditor());
    QVERIFY(combo);
    QCOMPARE(combo->currentIndex(), -1);
    QTest::keyClick(combo, Qt::Key_Tab);
    QCOMPARE(cellText(*doc, "Notes", "kind", "1"), QString("Z"));
    QCOMPARE(editing(), grid()->model()->index(0, 2));
}

void TestGridEditing::listSplitsOnlyAtTheFieldSeparator()
{
    QString error;
    doc = newDocument({table("Notes", {field("tags", "List"), field("note", "Text")})}, &error);
    QVERIFY2(doc, qPrintable(error));
    open(1);
    // Two items, the second holding a comma: "x" and "y,z".
    setCell(*doc, "Notes", "tags", "1", "x, y,z");
    grid()->refresh();
    beginEditing(0, 1);
    QCOMPARE(editor()->text(), QString("x, y,z"));
    QTest::keyClick(editor(), Qt::Key_Tab);
    QCOMPARE(grid()->objectValueForTableColumn("tags", 0), Value(QStringList{"x", "y,z"}));
    QCOMPARE(cellText(*doc, "Notes", "tags", "1"), QString("x, y,z"));
    beginEditing(0, 1);
    type("a, b, , c");
    QTest::keyClick(editor(), Qt::Key_Tab);
    QCOMPARE(grid()->objectValueForTableColumn("tags", 0), Value(QStringList{"a", "b", "c"}));
}

void TestGridEditing::sortingKeepsTheSelectedRecord()
{
    open(3);
    setCell(*doc, "Notes", "title", "1", "b");
    setCell(*doc, "Notes", "title", "2", "c");
    setCell(*doc, "Notes", "title", "3", "a");
    grid()->refresh();
    grid()->selectRow(0);
    view()->setFocusedCell(0, 3);
    QHeaderView *header = view()->horizontalHeader();
    const QPoint title(header->sectionViewportPosition(1) + header->sectionSize(1) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, title);
    QCOMPARE(cell(0, 1), QString("a"));
    // Record "b" is now the second row, and is still the one selected, in the same column.
    QCOMPARE(grid()->selectedRow(), 1);
    QCOMPARE(view()->focusedRow(), 1);
    QCOMPARE(view()->focusedColumn(), 3);
    QCOMPARE(grid()->rowNumberField()->text(), QString("2"));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, title);
    QCOMPARE(cell(0, 1), QString("c"));
    QCOMPARE(grid()->selectedRow(), 1);
    QCOMPARE(grid()->model()->idForRow(grid()->selectedRow()), QString("1"));
}

QTEST_MAIN(TestGridEditing)
#include "test_grid_editing.moc"
