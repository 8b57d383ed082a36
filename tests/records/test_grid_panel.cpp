// The record grid with the shared data panel: pointing it at the focused cell, the "Data" item, Space, the
// date and media cells that edit there, and typing in the panel before clicking another cell.
#include "LMDataPanel.h"
#include "LMTableDataTableView.h"
#include "LMTableEditContainer.h"
#include "LMTableEditModel.h"
#include "LMTableEditView.h"
#include "MyDocument.h"
#include "TestEnvironment.h"
#include "support/GridFixture.h"
#include "support/GridHarness.h"

#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>
#include <QTextCursor>

using namespace GridFixture;

class TestGridPanel : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<MyDocument> doc;
    std::unique_ptr<GridHarness> harness;
    LMDataPanel *panel = nullptr;

    LMTableEditView *grid() const { return harness->grid(); }
    LMTableDataTableView *view() const { return grid()->tableView(); }
    QPoint cellCenter(int row, int column) const
    {
        return view()->visualRect(grid()->model()->index(row, column)).center();
    }
    void hidePanel()
    {
        if (!panel->shouldSkip())
            panel->toggle();
    }

private slots:
    void init()
    {
        env = std::make_unique<TestEnvironment>();
        QString error;
        doc = newDocument({table("Notes", {field("title", "Text"), field("day", "Date"), field("count", "Number")})},
                          &error);
        QVERIFY2(doc, qPrintable(error));
        for (const char *title : {"first", "second"})
            setCell(*doc, "Notes", "title", insertRow(*doc, "Notes"), title);
        harness = std::make_unique<GridHarness>(doc.get(), "Notes");
        panel = LMDataPanel::sharedManager();
        panel->documentDidBecomeInvalid();
        hidePanel();
    }
    void cleanup()
    {
        hidePanel();
        harness.reset();
        doc.reset();
        env.reset();
    }

    void hiddenPanelLoadsNothingUntilDataItem();
    void typingInPanelThenClickingAnotherCellWritesIntoOldCell();
    void dateCellEditsInPanelAndSpaceShowsIt();
    void setToNAPointsPanelAtNothing();
    void cleanUpCommitsAndForgets();
};

void TestGridPanel::hiddenPanelLoadsNothingUntilDataItem()
{
    grid()->selectRow(0);
    QVERIFY(panel->datasource() == nullptr);
    QCOMPARE(panel->currentPane(), panel->naPan());
    harness->container()->toolbarItem("Data", true)->trigger();
    QVERIFY(!panel->shouldSkip());
    QCOMPARE(panel->datasource(), static_cast<LMDataPanelClient *>(grid()));
    QCOMPARE(panel->column(), QString("title"));
    QCOMPARE(panel->row(), 0);
    QCOMPARE(panel->currentPane(), panel->textPan());
    QCOMPARE(panel->textCtrl()->toPlainText(), QString("first"));
    // While shown, every move of the focused cell follows.
    QTest::keyClick(view(), Qt::Key_Down);
    QCOMPARE(panel->row(), 1);
    QCOMPARE(panel->textCtrl()->toPlainText(), QString("second"));
    QTest::keyClick(view(), Qt::Key_Right);
    QCOMPARE(panel->column(), QString("day"));
    QCOMPARE(panel->currentPane(), panel->numPan());
    QTest::keyClick(view(), Qt::Key_Right);
    QCOMPARE(panel->currentPane(), panel->naPan()); // a number has no pane
    harness->container()->dataButton();
    QVERIFY(panel->shouldSkip());
}

void TestGridPanel::typingInPanelThenClickingAnotherCellWritesIntoOldCell()
{
    grid()->selectRow(0);
    harness->container()->dataButton();
    QCOMPARE(panel->row(), 0);
    QApplication::setActiveWindow(panel->panel());
    QVERIFY(!panel->isTempDisabled());
    panel->textCtrl()->moveCursor(QTextCursor::End);
    QTest::keyClicks(panel->textCtrl(), " edited");
    // The click in the grid: the document window becomes active first, then the focused cell moves.
    QApplication::setActiveWindow(harness->window());
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, cellCenter(1, 1));
    QCOMPARE(cellText(*doc, "Notes", "title", "1"), QString("first edited"));
    QCOMPARE(cellText(*doc, "Notes", "title", "2"), QString("second"));
    QCOMPARE(panel->row(), 1);
    QCOMPARE(panel->textCtrl()->toPlainText(), QString("second"));
    QCOMPARE(grid()->model()->index(0, 1).data().toString(), QString("first edited"));
}

void TestGridPanel::dateCellEditsInPanelAndSpaceShowsIt()
{
    QApplication::setActiveWindow(harness->window());
    grid()->selectRow(1);
    view()->setFocusedCell(1, 2);
    QTest::keyClick(view(), Qt::Key_Return);
    // The date is typed in the cell; the panel comes up beside the window, on the screen, and leaves the
    // keyboard with the cell.
    QVERIFY(view()->isEditingCell());
    QVERIFY(!panel->shouldSkip());
    QCOMPARE(panel->column(), QString("day"));
    QCOMPARE(panel->row(), 1);
    QVERIFY(panel->panel()->screen()->availableGeometry().contains(panel->panel()->frameGeometry()));
    QVERIFY(!panel->panel()->frameGeometry().intersects(harness->window()->frameGeometry()) ||
            harness->window()->frameGeometry().width() + panel->panel()->frameGeometry().width() >
                panel->panel()->screen()->availableGeometry().width());
    QVERIFY(QApplication::activeWindow() != panel->panel());
    QCOMPARE(QApplication::focusWidget(), view()->currentEditor());
    QTest::keyClicks(view()->currentEditor(), "2001-01-03");
    QTest::keyClick(view()->currentEditor(), Qt::Key_Escape);
    view()->commitPendingEdit();
    hidePanel();
    view()->setFocusedCell(0, 1);
    QTest::keyClick(view(), Qt::Key_Space);
    QVERIFY(!view()->isEditingCell());
    QCOMPARE(cellText(*doc, "Notes", "title", "1"), QString("first"));
    QVERIFY(!panel->shouldSkip());
    QCOMPARE(panel->column(), QString("title"));
    QCOMPARE(panel->row(), 0);
}

void TestGridPanel::setToNAPointsPanelAtNothing()
{
    grid()->selectRow(0);
    harness->container()->dataButton();
    QCOMPARE(panel->currentPane(), panel->textPan());
    view()->setToNA();
    QCOMPARE(panel->row(), -1);
    QCOMPARE(panel->currentPane(), panel->naPan());
}

void TestGridPanel::cleanUpCommitsAndForgets()
{
    grid()->selectRow(0);
    harness->container()->dataButton();
    QApplication::setActiveWindow(panel->panel());
    panel->textCtrl()->setPlainText("saved text");
    harness->container()->cleanUp();
    QCOMPARE(cellText(*doc, "Notes", "title", "1"), QString("saved text"));
    QVERIFY(panel->datasource() == nullptr);
    QCOMPARE(panel->currentPane(), panel->naPan());
}

QTEST_MAIN(TestGridPanel)
#include "test_grid_panel.moc"
