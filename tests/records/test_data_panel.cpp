// Tests of the shared data panel: which field it edits, its key/visible guards, and the grid and form paths.
#include "DesignFixture.h"
#include "LMDataPanel.h"
#include "LMDataPanelImageWell.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "TestEnvironment.h"
#include "support/DataPanelFixture.h"

#include <QApplication>
#include <QDateTimeEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>

using namespace DataPanelFixture;

class TestDataPanel : public QObject {
    Q_OBJECT

private:
    TestEnvironment m_env;
    std::unique_ptr<MyDocument> m_doc;
    std::unique_ptr<DataPanelFakeGrid> m_grid;
    LMDataPanel *m_panel = nullptr;
    QWidget *m_documentWindow = nullptr;

    QString id(int row) const { return m_grid->idForRow(row); }
    QString cell(const QString &column, int row) { return cellText(*m_doc, column, id(row)); }
    void showCell(const QString &column, int row) { m_panel->startEditingForDatasource(m_grid.get(), column, row); }
    void type(const QString &text)
    {
        m_panel->textCtrl()->moveCursor(QTextCursor::End);
        QTest::keyClicks(m_panel->textCtrl(), text);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(LMDataPanel::lazySharedManager() == nullptr);
        m_panel = LMDataPanel::sharedManager();
        QCOMPARE(LMDataPanel::sharedManager(), m_panel);
        QCOMPARE(LMDataPanel::lazySharedManager(), m_panel);
        // As loaded: the not-applicable pane, no control, no guard set.
        QCOMPARE(m_panel->currentPane(), m_panel->naPan());
        QVERIFY(m_panel->currentControl() == nullptr);
        QVERIFY(!m_panel->isTempDisabled());
        QVERIFY(!m_panel->isSelfCalling());
        QVERIFY(m_panel->delegate() == nullptr);
        QVERIFY(m_panel->shouldSkip());
        m_documentWindow = new QWidget;
        m_documentWindow->show();
    }

    void cleanupTestCase() { delete m_documentWindow; }

    void init()
    {
        QString error;
        m_doc = newDocument(3, &error);
        QVERIFY2(m_doc, qPrintable(error));
        m_grid = std::make_unique<DataPanelFakeGrid>(*m_doc);
        m_env.ui().reset();
        m_panel->documentDidBecomeInvalid();
        if (m_panel->shouldSkip())
            m_panel->toggle();
        m_panel->windowDidBecomeKey();
    }

    void cleanup()
    {
        m_grid.reset();
        m_panel->documentDidBecomeInvalid();
        m_doc.reset();
    }

    void toggleShowsAndHides()
    {
        QVERIFY(m_panel->panel()->isVisible());
        m_panel->toggle();
        QVERIFY(!m_panel->panel()->isVisible());
        QVERIFY(m_panel->shouldSkip());
        m_panel->toggle();
        QVERIFY(m_panel->panel()->isVisible());
        QVERIFY(!m_panel->shouldSkip());
    }

    void hiddenPanelLoadsNothing()
    {
        m_panel->toggle();
        QVERIFY(m_panel->shouldSkip());
        showCell(QStringLiteral("Title"), 0);
        m_panel->startEditingForTable(kTable, QStringLiteral("Title"), id(0), m_doc->database());
        m_panel->startEditingForObjectValue(Value("x"), QStringLiteral("Text"));
        QCOMPARE(m_grid->reads, 0);
        QCOMPARE(m_panel->currentPane(), m_panel->naPan());
        QVERIFY(m_panel->datasource() == nullptr);
        QVERIFY(m_panel->table().isEmpty());
        // Shown again, the container points the panel at its focused cell and it loads at once.
        m_panel->toggle();
        showCell(QStringLiteral("Title"), 0);
        QCOMPARE(m_panel->currentPane(), m_panel->textPan());
        QCOMPARE(m_panel->textCtrl()->toPlainText(), QStringLiteral("row 0"));
    }

    void startEditingForValueSkipsTheVisibilityCheckAndTheCommit()
    {
        showCell(QStringLiteral("Title"), 0);
        m_panel->textCtrl()->setPlainText(QStringLiteral("pending"));
        m_panel->startEditingForObjectValue(Value::array({Value("x"), Value("y")}), QStringLiteral("List"));
        QCOMPARE(cell(QStringLiteral("Title"), 0), QStringLiteral("pending")); // committed first
        QCOMPARE(m_panel->currentPane(), m_panel->listPan());

        m_panel->toggle(); // hidden
        m_panel->startEditingForValue(Value("shown anyway"), QStringLiteral("Text"));
        QCOMPARE(m_panel->currentPane(), m_panel->textPan());
        QCOMPARE(m_panel->value(), Value("shown anyway"));
        QCOMPARE(m_grid->writes.size(), 1);
    }

    void paneForDatatype_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("pane");
        QTest::addColumn<QString>("control");
        QTest::newRow("Text") << "Title"
                              << "textPan"
                              << "textCtrl";
        QTest::newRow("Date") << "When"
                              << "numPan"
                              << "numCtrl1";
        QTest::newRow("Image") << "Picture"
                               << "imagePan"
                               << "imageCtrl";
        QTest::newRow("Audio") << "Sound"
                               << "videoPan"
                               << "videoCtrl";
        QTest::newRow("Video") << "Clip"
                               << "videoPan"
                               << "videoCtrl";
        QTest::newRow("List") << "Tags"
                              << "listPan"
                              << "listCtrl";
        QTest::newRow("Attachment") << "File"
                                    << "attachmentPan"
                                    << "attachmentCtrl";
        QTest::newRow("File Path") << "Where"
                                   << "filepathPan"
                                   << "filepathCtrl";
        QTest::newRow("Number") << "Count"
                                << "naPan" << QString();
        QTest::newRow("Yes/No") << "Done"
                                << "naPan" << QString();
        QTest::newRow("Options") << "Kind"
                                 << "naPan" << QString();
        QTest::newRow("Relationship") << "Links"
                                      << "naPan" << QString();
        QTest::newRow("Primary Key") << "id"
                                     << "naPan" << QString();
    }

    void paneForDatatype()
    {
        QFETCH(QString, field);
        QFETCH(QString, pane);
        QFETCH(QString, control);
        QVERIFY(store(*m_doc, Value(7), QStringLiteral("Count"), id(0)));
        QVERIFY(store(*m_doc, Value(true), QStringLiteral("Done"), id(0)));
        QVERIFY(store(*m_doc, Value("a"), QStringLiteral("Kind"), id(0)));
        m_doc->setChanged(false);
        showCell(field, 0);
        QCOMPARE(m_panel->currentPane()->objectName(), pane);
        QCOMPARE(m_panel->currentControl() ? m_panel->currentControl()->objectName() : QString(), control);
        QCOMPARE(m_panel->table(), kTable);
        QCOMPARE(m_panel->column(), field);
        QCOMPARE(m_panel->row(), 0);
        QCOMPARE(m_panel->database(), m_doc->database());
        if (control.isEmpty()) {
            // The not-applicable pane has no editor: committing writes nothing.
            m_panel->complete();
            m_panel->windowDidResignKey();
            QVERIFY(m_grid->writes.isEmpty());
            QVERIFY(!m_doc->isChanged());
            QVERIFY(m_panel->value().isNull());
        }
    }

    // The panel resigns key (and commits) before the click in the grid moves the focused cell.
    void typingThenClickingAnotherCellWritesIntoTheOldCell()
    {
        showCell(QStringLiteral("Title"), 0);
        QApplication::setActiveWindow(m_panel->panel());
        QVERIFY(QApplication::activeWindow() == m_panel->panel());
        QVERIFY(!m_panel->isTempDisabled());
        type(QStringLiteral(" edited"));

        QApplication::setActiveWindow(m_documentWindow);
        QVERIFY(m_panel->isTempDisabled());
        showCell(QStringLiteral("Title"), 1);

        QCOMPARE(cell(QStringLiteral("Title"), 0), QStringLiteral("row 0 edited"));
        QCOMPARE(cell(QStringLiteral("Title"), 1), QStringLiteral("row 1"));
        QCOMPARE(m_grid->writes.size(), 1);
        QCOMPARE(m_grid->writes.first().row, 0);
        QCOMPARE(m_panel->row(), 1);
        QCOMPARE(m_panel->textCtrl()->toPlainText(), QStringLiteral("row 1"));
        QVERIFY(m_doc->isChanged());
    }

    // Even while the panel is key, what its editor holds belongs to the field it was loaded from.
    void focusMoveWhileKeyCommitsIntoTheOldCell()
    {
        showCell(QStringLiteral("Title"), 0);
        m_panel->textCtrl()->setPlainText(QStringLiteral("typed"));
        showCell(QStringLiteral("Title"), 1);
        QCOMPARE(cell(QStringLiteral("Title"), 0), QStringLiteral("typed"));
        QCOMPARE(cell(QStringLiteral("Title"), 1), QStringLiteral("row 1"));
        QCOMPARE(m_panel->textCtrl()->toPlainText(), QStringLiteral("row 1"));
    }

    // A panel that was shown before the cell changed elsewhere does not put its old content back.
    void unchangedEditorDoesNotOverwriteANewerValue()
    {
        showCell(QStringLiteral("Title"), 0);
        m_panel->windowDidResignKey();
        QVERIFY(store(*m_doc, Value("edited in the grid"), QStringLiteral("Title"), id(0)));
        m_panel->windowDidBecomeKey();
        m_panel->windowDidResignKey();
        m_panel->windowDidClose();
        QVERIFY(m_grid->writes.isEmpty());
        QCOMPARE(cell(QStringLiteral("Title"), 0), QStringLiteral("edited in the grid"));
    }

    void commitDuringACommitIsDropped()
    {
        showCell(QStringLiteral("Title"), 0);
        // The grid's write and its reload both call back into the panel, as a reloading view may.
        m_grid->duringWrite = [this] {
            QVERIFY(m_panel->isSelfCalling());
            m_panel->complete();
            m_panel->windowDidResignKey();
        };
        m_grid->duringReload = [this] { showCell(QStringLiteral("Title"), 0); };
        m_panel->textCtrl()->setPlainText(QStringLiteral("once"));
        m_panel->complete();
        QCOMPARE(m_grid->writes.size(), 1);
        QCOMPARE(m_grid->reloads, 1);
        QCOMPARE(cell(QStringLiteral("Title"), 0), QStringLiteral("once"));
        QCOMPARE(m_panel->textCtrl()->toPlainText(), QStringLiteral("once"));
        QVERIFY(!m_panel->isSelfCalling());
        // The re-entrant resign set the guard; a later commit with new text is blocked by it, not by selfCalling.
        m_grid->duringWrite = nullptr;
        m_grid->duringReload = nullptr;
        m_panel->windowDidBecomeKey();
        m_panel->textCtrl()->setPlainText(QStringLiteral("twice"));
        m_panel->complete();
        QCOMPARE(m_grid->writes.size(), 2);
    }

    void tempDisabledBlocksAllButForcedCommits()
    {
        showCell(QStringLiteral("Title"), 0);
        m_panel->textCtrl()->setPlainText(QStringLiteral("kept"));
        m_panel->panel()->setWindowState(Qt::WindowMinimized);
        QVERIFY(m_panel->isTempDisabled());
        m_panel->panel()->setWindowState(Qt::WindowNoState);
        QVERIFY(m_grid->writes.isEmpty()); // minimising does not commit
        m_panel->complete();
        QVERIFY(m_grid->writes.isEmpty());

        m_panel->forceAction(m_panel->textCtrl());
        QCOMPARE(m_grid->writes.size(), 1);
        QCOMPARE(cell(QStringLiteral("Title"), 0), QStringLiteral("kept"));
        QVERIFY(m_panel->isTempDisabled());

        m_panel->windowDidBecomeKey();
        QVERIFY(!m_panel->isTempDisabled());
        m_panel->textCtrl()->setPlainText(QStringLiteral("after key"));
        m_panel->complete();
        QCOMPARE(cell(QStringLiteral("Title"), 0), QStringLiteral("after key"));
    }

    void forceActionFromAForeignControlWritesNothing()
    {
        showCell(QStringLiteral("Title"), 0);
        m_panel->textCtrl()->setPlainText(QStringLiteral("text"));
        m_panel->forceAction(m_panel->imageCtrl());
        QVERIFY(m_grid->writes.isEmpty());
        QCOMPARE(cell(QStringLiteral("Title"), 0), QStringLiteral("row 0"));
    }

    void closingThePanelCommits()
    {
        showCell(QStringLiteral("Title"), 0);
        QApplication::setActiveWindow(m_panel->panel());
        type(QStringLiteral("!"));
        m_panel->panel()->close();
        QVERIFY(!m_panel->panel()->isVisible());
        QVERIFY(m_panel->isTempDisabled());
        QCOMPARE(cell(QStringLiteral("Title"), 0), QStringLiteral("row 0!"));
        QCOMPARE(m_grid->writes.size(), 1);
        QApplication::setActiveWindow(m_documentWindow);
    }

    void hiddenPanelWritesOnlyForcedCommits()
    {
        showCell(QStringLiteral("Title"), 0);
        m_panel->textCtrl()->setPlainText(QStringLiteral("hidden"));
        m_panel->panel()->hide();
        m_panel->complete();
        QVERIFY(m_grid->writes.isEmpty());
        m_panel->windowDidClose();
        QCOMPARE(cell(QStringLiteral("Title"), 0), QStringLiteral("hidden"));
    }

    void commitRunsInItsOwnTransaction()
    {
        OXDatabase *db = m_doc->database();
        showCell(QStringLiteral("Title"), 0);
        m_panel->textCtrl()->setPlainText(QStringLiteral("in a transaction"));
        m_panel->complete();
        QCOMPARE(m_grid->writes.size(), 1);
        QVERIFY(m_grid->writes.first().inTransaction);
        QVERIFY(!db->isTransactionActive());
        QCOMPARE(cell(QStringLiteral("Title"), 0), QStringLiteral("in a transaction"));

        // A transaction someone else opened is theirs to end.
        QVERIFY(db->beginTransaction());
        m_panel->textCtrl()->setPlainText(QStringLiteral("rolled back"));
        m_panel->complete();
        QVERIFY(db->isTransactionActive());
        QVERIFY(db->rollbackTransaction());
        QCOMPARE(cell(QStringLiteral("Title"), 0), QStringLiteral("in a transaction"));
    }

    void gridRefusalIsShownOnceByTheGrid_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("informative");
        QTest::newRow("not null") << "Title" << QString() << "Value is Null"
                                  << "The field \"Title\" requires you to enter data";
        QTest::newRow("regex") << "Code"
                               << "Not Lower"
                               << "Value is invalid"
                               << "The value you entered did not pass the validation checks required by field \"Code\"";
    }

    void gridRefusalIsShownOnceByTheGrid()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, informative);
        QVERIFY(store(*m_doc, Value("abc"), QStringLiteral("Code"), id(0)));
        showCell(field, 0);
        const QString before = cell(field, 0);
        m_panel->textCtrl()->setPlainText(typed);
        m_panel->complete();
        QCOMPARE(m_env.ui().alerts().size(), 1);
        QCOMPARE(m_env.ui().lastAlert()->messageText, message);
        QCOMPARE(m_env.ui().lastAlert()->informativeText, informative);
        QCOMPARE(m_env.ui().lastAlert()->buttons, QStringList{QStringLiteral("OK")});
        QCOMPARE(cell(field, 0), before);
        QVERIFY(!m_doc->database()->isTransactionActive());
    }

    void formPathReadsAndWrites()
    {
        DataPanelFakeForm form;
        QVERIFY(store(*m_doc, Value::date(700000000), QStringLiteral("When"), id(1)));
        m_doc->setChanged(false);
        m_panel->startEditingForTable(kTable, QStringLiteral("When"), id(1), m_doc->database(), &form);
        QVERIFY(m_panel->datasource() == nullptr);
        QCOMPARE(m_panel->rowid(), id(1));
        QCOMPARE(m_panel->datatype(), QStringLiteral("Date"));
        QCOMPARE(m_panel->value(), Value::date(700000000));
        QVERIFY(form.reloads == 0);

        // A date typed into the main field is written at once.
        m_panel->numCtrl1()->setDateTime(Value::date(800000000).toDateTime().toLocalTime());
        QCOMPARE(Value(cell(QStringLiteral("When"), 1)).toDouble(), 800000000.0);
        QCOMPARE(form.reloads, 1);
        QVERIFY(m_doc->isChanged());
        QCOMPARE(cell(QStringLiteral("When"), 0), QString());
    }

    void formPathLoadsMedia()
    {
        QImage image(5, 3, QImage::Format_ARGB32);
        image.fill(QColor(10, 200, 30));
        QVERIFY(store(*m_doc, Value(image), QStringLiteral("Picture"), id(2)));
        m_panel->startEditingForTable(kTable, QStringLiteral("Picture"), id(2), m_doc->database());
        QCOMPARE(m_panel->currentPane(), m_panel->imagePan());
        const QImage shown = m_panel->value().toImage();
        QCOMPARE(shown.size(), image.size());
        QCOMPARE(shown.pixelColor(4, 2), image.pixelColor(4, 2));
    }

    void formRefusalShowsItsAlertAndReloads()
    {
        DataPanelFakeForm form;
        QVERIFY(store(*m_doc, Value("abc"), QStringLiteral("Code"), id(0)));
        m_panel->startEditingForTable(kTable, QStringLiteral("Code"), id(0), m_doc->database(), &form);
        m_panel->textCtrl()->setPlainText(QStringLiteral("ABC1"));
        m_panel->complete();
        QCOMPARE(m_env.ui().alerts().size(), 1);
        QCOMPARE(m_env.ui().lastAlert()->messageText, QStringLiteral("Value is invalid"));
        QCOMPARE(m_env.ui().lastAlert()->informativeText,
                 QStringLiteral("The value you entered did not pass the validation checks required by field \"Code\""));
        QCOMPARE(form.reloads, 1);
        QCOMPARE(cell(QStringLiteral("Code"), 0), QStringLiteral("abc"));
    }

    void reloadDataReloadsTheFormField()
    {
        DataPanelFakeForm form;
        m_panel->startEditingForTable(kTable, QStringLiteral("Title"), id(2), m_doc->database(), &form);
        QCOMPARE(m_panel->textCtrl()->toPlainText(), QStringLiteral("row 2"));
        QVERIFY(store(*m_doc, Value("changed on the form"), QStringLiteral("Title"), id(2)));
        m_panel->reloadData();
        QCOMPARE(m_panel->textCtrl()->toPlainText(), QStringLiteral("changed on the form"));
        QVERIFY(m_panel->delegate() == &form);
        QCOMPARE(m_env.ui().alerts().size(), 0);

        // On the grid path the grid points the panel itself; reloadData leaves it alone.
        showCell(QStringLiteral("Title"), 0);
        QVERIFY(store(*m_doc, Value("changed in the grid"), QStringLiteral("Title"), id(0)));
        m_panel->reloadData();
        QCOMPARE(m_panel->textCtrl()->toPlainText(), QStringLiteral("row 0"));
    }

    void noCellCommitsAndShowsNotApplicable()
    {
        showCell(QStringLiteral("Title"), 0);
        m_panel->textCtrl()->setPlainText(QStringLiteral("last words"));
        m_panel->startEditingForDatasource(m_grid.get(), QString(), -1);
        QCOMPARE(cell(QStringLiteral("Title"), 0), QStringLiteral("last words"));
        QCOMPARE(m_panel->currentPane(), m_panel->naPan());
        QVERIFY(m_panel->currentControl() == nullptr);
        QCOMPARE(m_panel->row(), -1);
        m_panel->windowDidResignKey();
        QCOMPARE(m_grid->writes.size(), 1);
    }

    void destroyedGridIsForgotten()
    {
        auto other = std::make_unique<DataPanelFakeGrid>(*m_doc);
        m_panel->startEditingForDatasource(other.get(), QStringLiteral("Title"), 0);
        m_panel->textCtrl()->setPlainText(QStringLiteral("orphan"));
        other.reset();
        QVERIFY(m_panel->datasource() == nullptr);
        QCOMPARE(m_panel->currentPane(), m_panel->naPan());
        m_panel->complete();
        m_panel->windowDidClose();
        QCOMPARE(cell(QStringLiteral("Title"), 0), QStringLiteral("row 0"));
    }

    void documentDidBecomeInvalidForgetsTheField()
    {
        DataPanelFakeForm form;
        m_panel->startEditingForTable(kTable, QStringLiteral("Title"), id(0), m_doc->database(), &form);
        m_panel->textCtrl()->setPlainText(QStringLiteral("forgotten"));
        m_panel->documentDidBecomeInvalid();
        QCOMPARE(m_panel->currentPane(), m_panel->naPan());
        QVERIFY(m_panel->currentControl() == nullptr);
        QVERIFY(m_panel->database() == nullptr);
        QVERIFY(m_panel->delegate() == nullptr);
        QVERIFY(m_panel->table().isEmpty());
        QVERIFY(m_panel->column().isEmpty());
        QVERIFY(m_panel->rowid().isEmpty());
        QVERIFY(m_panel->datatype().isEmpty());
        m_panel->complete();
        m_panel->windowDidClose();
        QCOMPARE(cell(QStringLiteral("Title"), 0), QStringLiteral("row 0"));
        QCOMPARE(form.reloads, 0);
    }

    void closedDocumentIsNeverWritten()
    {
        DataPanelFakeForm form;
        m_panel->startEditingForTable(kTable, QStringLiteral("Title"), id(0), m_doc->database(), &form);
        m_panel->textCtrl()->setPlainText(QStringLiteral("too late"));
        m_grid.reset();
        m_doc.reset(); // the connection goes with the document
        QVERIFY(m_panel->database() == nullptr);
        m_panel->windowDidClose();
        QCOMPARE(form.reloads, 0);
    }
};

QTEST_MAIN(TestDataPanel)
#include "test_data_panel.moc"
