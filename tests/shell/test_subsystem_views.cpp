// The window with the real views: a table opens its grid, a query opens the grid filtered by it, the design
// editor hands over to the data, and an import shows the new table.
#include "LMApplicationViews.h"
#include "LMDocumentWindow.h"
#include "LMGridFilter.h"
#include "LMIdentifiedView.h"
#include "LMQueryFilterView.h"
#include "LMQueryWhere.h"
#include "LMSourceList.h"
#include "LMTableDataTableView.h"
#include "LMTableDesignView.h"
#include "LMTableEditContainer.h"
#include "LMTableEditView.h"
#include "LMViewRegistry.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "TestEnvironment.h"

#include <QPointer>
#include <QTest>
#include <QTreeWidgetItem>

namespace {
Value field(const QString &name, const QString &type)
{
    return Value::dict({{"Name", Value(name)}, {"Type", Value(type)}});
}

std::unique_ptr<MyDocument> makeDocument()
{
    auto doc = MyDocument::createNew();
    Value design = Value::dict(
        {{"Name", Value("People")},
         {"Fields", Value::array({field("id", "Primary Key"), field("Name", "Text"), field("Age", "Number")})}});
    doc->database()->createTableFromDesign(design);
    doc->database()->createTableDesign(design);
    doc->database()->performQuery("INSERT INTO `People` (`Name`, `Age`) VALUES ('Ada', 36), ('Ben', 12), "
                                  "('Cy', 70)");
    Value condition = Value::dict({{"Type", Value("Parameters")},
                                   {"Table", Value("People")},
                                   {"Field", Value("Age")},
                                   {"Datatype", Value("Number")},
                                   {"Compare Op", Value("> greater than")},
                                   {"Operand", Value("17")}});
    doc->queries().append(Value::dict({{"Name", Value("Adults")},
                                       {"Table Name", Value("People")},
                                       {"Parameters", Value::array({condition})},
                                       {"Parameter Boolean", Value("ALL")}}));
    return doc;
}
} // namespace

class TestSubsystemViews : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    LMViewRegistry registry;
    QPointer<LMDocumentWindow> window;

    LMTableEditContainer *grid() const { return dynamic_cast<LMTableEditContainer *>(window->currentController()); }

private slots:
    void init()
    {
        env = std::make_unique<TestEnvironment>();
        registerApplicationViews(registry);
        window = new LMDocumentWindow(makeDocument(), registry);
        window->windowDidLoad();
        window->show();
    }
    void cleanup()
    {
        delete window.data();
        env.reset();
    }

    void aTableOpensItsRecordsUnfiltered()
    {
        QVERIFY(window->switchToTableEditView("People"));
        QVERIFY(grid());
        QCOMPARE(grid()->identifier(), QStringLiteral("Table Edit"));
        QCOMPARE(window->tabContent(window->currentTabIndex())->identifier(), QStringLiteral("Table Edit"));
        QCOMPARE(grid()->tableEditView()->numberOfRows(), 3);
        QVERIFY(!grid()->tableEditView()->isQueryOpen());
        QVERIFY(env->ui().alerts().isEmpty());
    }

    void aQueryOpensTheGridFilteredByIt()
    {
        QVERIFY(window->switchToQueryView("Adults"));
        QVERIFY(grid());
        QCOMPARE(window->tabContent(window->currentTabIndex())->identifier(), QStringLiteral("Query"));
        LMTableEditView *view = grid()->tableEditView();
        QVERIFY(view->isQueryOpen());
        const QString where = LMQueryWhere::whereSQLForQueryDictionary(window->document()->queryNamed("Adults"));
        QVERIFY(!where.isEmpty());
        QVERIFY(view->queryView()->whereQuery().contains(where));
        QCOMPARE(view->numberOfRows(), 2);
    }

    void aFilterSavedAsAQueryIsListedAndReopens()
    {
        QVERIFY(window->switchToTableEditView("People"));
        LMTableEditView *view = grid()->tableEditView();
        auto *filter = dynamic_cast<LMQueryFilterView *>(view->queryView());
        QVERIFY(filter);
        view->toggleQueryView();
        QVERIFY(view->isQueryOpen());
        Value condition = filter->dictionary().value("Parameters").at(0);
        condition.set("Field", "Name");
        condition.set("Datatype", "Text");
        condition.set("Compare Op", "is equal to");
        condition.set("Operand", "Ben");
        filter->alertDelegate();
        QCOMPARE(view->numberOfRows(), 1);

        filter->save();
        QVERIFY(filter->nameSheet());
        QVERIFY(filter->nameSheetSave("Bens"));
        QCOMPARE(window->sourceList()->heading("Queries")->childCount(), 2);

        QVERIFY(window->switchToOverview());
        QVERIFY(window->switchToQueryView("Bens"));
        QCOMPARE(window->tabContent(window->currentTabIndex())->identifier(), QStringLiteral("Query"));
        QCOMPARE(grid()->tableEditView()->numberOfRows(), 1);
    }

    void openInTextEditorEditsTheFocusedCell()
    {
        window->openTextEditor();
        QCOMPARE(env->ui().beeps(), 1); // the overview holds no grid
        QVERIFY(window->switchToTableEditView("People"));
        LMTableDataTableView *table = grid()->tableEditView()->tableView();
        table->setFocusedCell(1, 2);
        window->openTextEditor();
        QCOMPARE(env->ui().beeps(), 1);
        QVERIFY(table->isEditingCell());
    }

    void theDesignEditorHandsOverToTheData()
    {
        QVERIFY(window->switchToTableDesignView("People"));
        auto *design = dynamic_cast<LMTableDesignView *>(window->currentController());
        QVERIFY(design);
        design->switchToEditDataCounterpart();
        QVERIFY(grid());
        QCOMPARE(grid()->identifier(), QStringLiteral("Table Edit"));
        QCOMPARE(window->tabCount(), 1);
    }

    void aNewTableAsksForItsNameThroughTheSeam()
    {
        env->ui().answerTextInput(QStringLiteral("Pets"));
        QVERIFY(window->switchToTableDesignView(QString()));
        QTRY_COMPARE(env->ui().textInputs().size(), 1);
        QCOMPARE(env->ui().textInputs().first().title, QStringLiteral("Name of the new table"));
        auto *design = dynamic_cast<LMTableDesignView *>(window->currentController());
        QVERIFY(design);
        QTRY_COMPARE(design->tableName(), QStringLiteral("Pets"));
    }

    void anImportedTableIsShown()
    {
        // What the import sheet asks of the window's navigator once its table is in the database.
        window->document()->database()->performQuery("CREATE TABLE `Imported` (`id` INTEGER PRIMARY KEY, `A` TEXT)");
        Value design = Value::dict(
            {{"Name", Value("Imported")}, {"Fields", Value::array({field("id", "Primary Key"), field("A", "Text")})}});
        window->document()->database()->createTableDesign(design);
        LMDocumentNavigator *navigator = window->context().navigator;
        QVERIFY(navigator);
        QVERIFY(navigator->switchToTableEditView("Imported"));
        QVERIFY(grid());
        QCOMPARE(grid()->tableEditView()->tableName(), QStringLiteral("Imported"));
    }
};

QTEST_MAIN(TestSubsystemViews)
#include "test_subsystem_views.moc"
