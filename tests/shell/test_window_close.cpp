// A document window with real views: closing commits the edits still open in them before asking to save,
// and opening a saved query changes nothing that would need saving.
#include "DesignFixture.h"
#include "LMDocumentWindow.h"
#include "LMTableDataTableView.h"
#include "LMTableEditContainer.h"
#include "LMTableEditView.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"
#include "TestEnvironment.h"
#include "support/ShellFixture.h"

#include <QLineEdit>
#include <QPointer>
#include <QTest>

using namespace DesignFixture;

class TestWindowClose : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    QPointer<LMDocumentWindow> window;
    MyDocument *document = nullptr;

    QString title() const
    {
        const std::shared_ptr<QLiteCursor> cursor =
            document->database()->executeQuery("SELECT `title` FROM `Books` WHERE id='1'");
        return cursor && cursor->rowCount() > 0 ? cursor->rowAtIndex(0)->stringForColumn("Books.title") : QString();
    }
    LMTableEditView *grid() const
    {
        LMIdentifiedView *view = window->tabContent(window->currentTabIndex());
        auto *container = view ? dynamic_cast<LMTableEditContainer *>(view->controller()) : nullptr;
        return container ? container->tableEditView() : nullptr;
    }

private slots:
    void init()
    {
        env = std::make_unique<TestEnvironment>();
        QString error;
        std::unique_ptr<MyDocument> doc = newDocument(
            {table("Books", {field("title", "Text"), field("year", "Number"), field("read", "Yes/No")})}, &error);
        QVERIFY2(doc, qPrintable(error));
        doc->database()->performQuery("INSERT INTO `Books` (`title`) VALUES ('Dune')");
        Value query = Value::dict({{"Name", Value("Unread")}, {"Table Name", Value("Books")}});
        query.set("Parameters", Value::array({Value::dict({{"Type", Value("Parameters")},
                                                           {"Table", Value("Books")},
                                                           {"Field", Value("read")},
                                                           {"Datatype", Value("Yes/No")},
                                                           {"Compare Op", Value("is no")}})}));
        doc->queries().append(query);
        doc->setChanged(false);
        document = doc.get();
        window = new LMDocumentWindow(std::move(doc), ShellFixture::registry());
        window->windowDidLoad();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.data()));
    }
    void cleanup()
    {
        delete window.data();
        env.reset();
    }

    void closeCommitsOpenEditsBeforeAsking()
    {
        QVERIFY(window->switchToTableEditView("Books"));
        QVERIFY(grid());
        LMTableDataTableView *view = grid()->tableView();
        grid()->selectRow(0);
        view->setFocusedCell(0, 1);
        QTest::keyClick(view, Qt::Key_Return);
        auto *editor = qobject_cast<QLineEdit *>(view->currentEditor());
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, "Dune Messiah");
        QVERIFY(!document->isChanged());

        env->ui().answer("Cancel");
        QVERIFY(!window->close());
        QCOMPARE(env->ui().alerts().size(), 1);
        QVERIFY(env->ui().lastAlert()->messageText.startsWith("Do you want to save the changes made to the document"));
        QCOMPARE(title(), QString("Dune Messiah"));
        QVERIFY(document->isChanged());
    }

    void openingASavedQueryChangesNothing()
    {
        QVERIFY(window->switchToQueryView("Unread"));
        QVERIFY(grid());
        QVERIFY(grid()->isQueryOpen());
        QCOMPARE(grid()->numberOfRows(), 1);
        QVERIFY(!document->isChanged());
        // Closing asks nothing, as nothing changed.
        QVERIFY(window->close());
        QVERIFY(env->ui().alerts().isEmpty());
    }
};

QTEST_MAIN(TestWindowClose)
#include "test_window_close.moc"
