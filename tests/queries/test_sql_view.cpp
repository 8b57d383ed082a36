// Tests of the SQL editor: the opening warning, the SELECT check and its question, the result grid from the
// cursor, the error sheet, the mini form, and what is saved.
#include "LMIdentifiedView.h"
#include "LMQueryViews.h"
#include "LMSQLView.h"
#include "LMViewRegistry.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "Preferences.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"
#include "TestEnvironment.h"
#include "support/QueryFixture.h"

#include <QTableView>
#include <QtTest>

using namespace QueryFixture;

namespace {
std::unique_ptr<MyDocument> petsDocument()
{
    std::unique_ptr<MyDocument> doc = newDocument({petsDesign()});
    if (doc) {
        doc->database()->executeQuery("INSERT INTO `Pets` (`Name`) VALUES ('Rex'), ('Tom')");
        doc->setChanged(false);
    }
    return doc;
}

const Alert kQuestion = Alert::make(
    "Are you sure you know what you are doing?",
    "This query doesn't seem to be a SELECT statement. It will probably corrupt your database so I hope that's "
    "what you want.",
    {"Completely Sure", "Take me out of this death trap!"});

QStringList petNames(MyDocument &doc)
{
    QStringList names;
    const std::shared_ptr<QLiteCursor> cursor = doc.database()->executeQuery("SELECT Name FROM Pets ORDER BY id");
    for (quint32 i = 0; cursor && i < cursor->rowCount(); ++i)
        names << cursor->rowAtIndex(i)->stringForColumn("Pets.Name");
    return names;
}
} // namespace

class TestSQLView : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env.ui().reset(); }
    void warningOnOpen();
    void factoryWarnsOnEveryOpening();
    void selectCheck_data();
    void selectCheck();
    void selectRunsAtOnceAndFillsTheGrid();
    void otherStatementsAsk_data();
    void otherStatementsAsk();
    void errorSheetAndEmptyColumn();
    void gridWidgetShowsFullColumnNames();
    void miniForm_data();
    void miniForm();

private:
    TestEnvironment m_env;
};

void TestSQLView::warningOnOpen()
{
    LMSQLView::showUnsupportedWarning(nullptr);
    QCOMPARE(m_env.ui().alerts().size(), 1);
    QCOMPARE(m_env.ui().alerts().at(0).alert,
             Alert::make("Warning - unsupported feature",
                         "SQL View is an unsupported development feature. Use at your own risk."));
}

void TestSQLView::factoryWarnsOnEveryOpening()
{
    std::unique_ptr<MyDocument> doc = petsDocument();
    QVERIFY(doc);
    LMViewContext context;
    context.document = doc.get();
    context.database = doc->database();
    LMViewRequest request;
    request.kind = ViewKind::SQL;
    for (int opening = 1; opening <= 2; ++opening) {
        std::unique_ptr<LMViewController> controller = makeSQLView(context, request);
        QVERIFY(controller);
        QCOMPARE(controller->identifier(), QString("SQL"));
        QCOMPARE(m_env.ui().alerts().size(), opening);
        QCOMPARE(m_env.ui().alerts().last().alert.messageText, QString("Warning - unsupported feature"));
    }
    context.database = nullptr;
    QVERIFY(!makeSQLView(context, request));
    LMViewRegistry registry;
    registerQueryViews(registry);
    QVERIFY(registry.hasFactory(ViewKind::SQL));
    QVERIFY(registry.hasFactory(ViewKind::Find));
}

void TestSQLView::selectCheck_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("select");
    QTest::newRow("upper case") << "SELECT * FROM Pets" << true;
    QTest::newRow("lower case") << "select 1" << true;
    QTest::newRow("just the word") << "Select" << true;
    QTest::newRow("update") << "UPDATE Pets SET Name='x'" << false;
    QTest::newRow("leading blank asks") << " SELECT 1" << false;
    QTest::newRow("empty") << "" << false;
}

void TestSQLView::selectCheck()
{
    QFETCH(QString, sql);
    QFETCH(bool, select);
    QCOMPARE(LMSQLView::isSelectStatement(sql), select);
}

void TestSQLView::selectRunsAtOnceAndFillsTheGrid()
{
    std::unique_ptr<MyDocument> doc = petsDocument();
    QVERIFY(doc);
    LMSQLView sql(doc->database(), nullptr);
    QCOMPARE(sql.resetColumns(), QStringList{QString()});
    QCOMPARE(sql.numberOfRowsInTableView(), 0);
    sql.setText("select * from Pets order by id");
    sql.execute();
    QVERIFY(m_env.ui().alerts().isEmpty());
    QCOMPARE(sql.resetColumns(), QStringList({"Pets.id", "Pets.Name"}));
    QCOMPARE(sql.numberOfRowsInTableView(), 2);
    QCOMPARE(sql.objectValueForTableColumn("Pets.Name", 1), QString("Tom"));
    QCOMPARE(sql.objectValueForTableColumn("Pets.Name", 2), QString());
    QVERIFY(!doc->isChanged());
}

void TestSQLView::otherStatementsAsk_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("changed");
    QTest::newRow("completely sure runs it once") << "Completely Sure" << QStringList({"Rex!", "Tom!"}) << true;
    QTest::newRow("death trap runs nothing")
        << "Take me out of this death trap!" << QStringList({"Rex", "Tom"}) << false;
}

void TestSQLView::otherStatementsAsk()
{
    QFETCH(QString, answer);
    QFETCH(QStringList, names);
    QFETCH(bool, changed);
    std::unique_ptr<MyDocument> doc = petsDocument();
    QVERIFY(doc);
    LMSQLView sql(doc->database(), nullptr);
    sql.setText("UPDATE Pets SET Name = Name || '!'");
    m_env.ui().answer(answer);
    sql.execute();
    QCOMPARE(m_env.ui().alerts().size(), 1);
    QCOMPARE(m_env.ui().alerts().at(0).alert, kQuestion);
    QCOMPARE(petNames(*doc), names);
    // Rows changed behind the designs: the document must be saved again.
    QCOMPARE(doc->isChanged(), changed);
    // The confirmed marker skips the question.
    m_env.ui().reset();
    sql.setText("UPDATE Pets SET Name = 'Z' WHERE id = 1");
    sql.execute(LMSQLView::confirmedSender());
    QVERIFY(m_env.ui().alerts().isEmpty());
    QCOMPARE(petNames(*doc).first(), QString("Z"));
}

void TestSQLView::errorSheetAndEmptyColumn()
{
    std::unique_ptr<MyDocument> doc = petsDocument();
    QVERIFY(doc);
    LMSQLView sql(doc->database(), nullptr);
    sql.setText("SELECT * FROM Nowhere");
    sql.execute();
    QCOMPARE(m_env.ui().alerts().size(), 1);
    const Alert shown = m_env.ui().alerts().at(0).alert;
    QCOMPARE(shown.messageText, QString("There was an error when executing the query"));
    QCOMPARE(shown.informativeText, QString("no such table: Nowhere"));
    QCOMPARE(shown.buttons, QStringList{"OK"});
    QCOMPARE(sql.resetColumns(), QStringList{QString()});
    QCOMPARE(sql.numberOfRowsInTableView(), 0);
    QVERIFY(!doc->isChanged());
}

void TestSQLView::gridWidgetShowsFullColumnNames()
{
    std::unique_ptr<MyDocument> doc = petsDocument();
    QVERIFY(doc);
    LMSQLView sql(doc->database(), nullptr);
    LMIdentifiedView *view = sql.view();
    QVERIFY(view);
    auto *grid = view->findChild<QTableView *>("LMSQLResult");
    QVERIFY(grid);
    QCOMPARE(grid->model()->columnCount(), 1);
    QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QString());
    sql.setText("SELECT Name FROM Pets WHERE id = 2");
    sql.execute();
    QCOMPARE(grid->model()->columnCount(), 1);
    QCOMPARE(grid->model()->rowCount(), 1);
    QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QString("Pets.Name"));
    QCOMPARE(grid->model()->index(0, 0).data().toString(), QString("Tom"));
    delete view;
}

void TestSQLView::miniForm_data()
{
    QTest::addColumn<std::optional<QString>>("entered");
    QTest::addColumn<bool>("ran");
    QTest::newRow("OK runs the text") << std::optional<QString>("DELETE FROM Pets WHERE id = 1") << true;
    QTest::newRow("OK with an empty field runs nothing") << std::optional<QString>("") << false;
    QTest::newRow("Cancel runs nothing") << std::optional<QString>() << false;
}

void TestSQLView::miniForm()
{
    QFETCH(std::optional<QString>, entered);
    QFETCH(bool, ran);
    std::unique_ptr<MyDocument> doc = petsDocument();
    QVERIFY(doc);
    m_env.ui().answerTextInput(entered);
    LMSQLView::runMini(doc->database(), nullptr);
    QCOMPARE(m_env.ui().textInputs().size(), 1);
    QCOMPARE(petNames(*doc).size(), ran ? 1 : 2);
    QCOMPARE(doc->isChanged(), ran);
    // The mini form never asks: it is run on purpose.
    QVERIFY(m_env.ui().alerts().isEmpty());
}

QTEST_MAIN(TestSQLView)
#include "test_sql_view.moc"
