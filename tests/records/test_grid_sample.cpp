// The bundled sample document in the record grid: a person is added, edited, linked to a company through
// the Employer subtable, and deleted, as a user does it.
#include "LMInsertRecord.h"
#include "LMTableDataTableView.h"
#include "LMTableEditContainer.h"
#include "LMTableEditModel.h"
#include "LMTableEditView.h"
#include "MyDocument.h"
#include "TestEnvironment.h"
#include "support/GridFixture.h"
#include "support/GridHarness.h"

#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QTest>

using namespace GridFixture;

class TestGridSample : public QObject {
    Q_OBJECT
    TestEnvironment env;
    std::unique_ptr<MyDocument> doc;

private slots:
    void initTestCase()
    {
        const QString script = QDir(QT_TESTCASE_SOURCEDIR).absoluteFilePath("../../samples/make_sample.sh");
        const QString package = env.path("Contacts.orvix");
        QProcess make;
        make.start("bash", {script, ORVIX_CLI_PATH, package});
        QVERIFY(make.waitForFinished(60000));
        QVERIFY2(make.exitCode() == 0, make.readAllStandardError().constData());
        QString error;
        doc = MyDocument::open(package, "Orvix", &error);
        QVERIFY2(doc, qPrintable(error));
    }
    void cleanupTestCase() { doc.reset(); }

    void addEditLinkAndDeleteAPerson();
};

void TestGridSample::addEditLinkAndDeleteAPerson()
{
    GridHarness harness(doc.get(), "People");
    LMTableEditView *people = harness.grid();
    const int before = people->numberOfRows();
    QVERIFY(before > 0);
    QVERIFY(env.ui().alerts().isEmpty());
    LMTableEditModel *model = people->model();
    QCOMPARE(model->index(0, model->columnOfField("First Name")).data().toString(), QString("Anna"));

    // Add: the new row is selected with its first name being edited; type it and press Tab.
    harness.container()->addRowButtonPressed();
    const int row = people->numberOfRows() - 1;
    QCOMPARE(row, before);
    auto *editor = qobject_cast<QLineEdit *>(people->tableView()->currentEditor());
    QVERIFY(editor);
    QTest::keyClicks(editor, "Zoe");
    QTest::keyClick(editor, Qt::Key_Tab);
    const QString id = model->idForRow(row);
    QCOMPARE(cellText(*doc, "People", "First Name", id), QString("Zoe"));
    // Edit: an e-mail the field's expression refuses shows its sheet and writes nothing.
    QVERIFY(people->setObjectValue(Value("not an address"), "Email", row));
    QCOMPARE(env.ui().lastAlert()->messageText, QString("Value is invalid"));
    QVERIFY(!people->setObjectValue(Value("zoe@example.org"), "Email", row));
    QCOMPARE(cellText(*doc, "People", "Email", id), QString("zoe@example.org"));
    people->tableView()->commitPendingEdit();

    // Link: the Employer subtable of the new person, then Insert Record and the first company offered.
    people->selectRow(row);
    LMTableEditView *employer = people->openSubtable("Employer", row);
    QVERIFY(employer);
    QCOMPARE(harness.container()->tabCount(), 2);
    QCOMPARE(employer->numberOfRows(), 0);
    harness.container()->insertRowButtonPressed();
    LMInsertRecord *sheet = employer->insertSheet();
    QVERIFY(sheet && sheet->rowCount() > 0);
    const QString company = sheet->idAtRow(0);
    sheet->selectRow(0);
    sheet->accept();
    QCOMPARE(employer->numberOfRows(), 1);
    QCOMPARE(cellText(*doc, "People", "Employer", id), company);
    QVERIFY(cellText(*doc, "Companies", "Staff", company).split(',').contains(id));

    // Delete: back on the People tab, with the prompt answered "Delete".
    harness.container()->selectTab(0);
    people->selectRow(row);
    env.ui().answer("Delete");
    harness.container()->removeRowButtonPressed();
    QCOMPARE(env.ui().lastAlert()->messageText, QString("Are you sure you want to delete this row?"));
    QCOMPARE(people->numberOfRows(), before);
    QVERIFY(cellText(*doc, "People", "id", id).isNull());
    QVERIFY(doc->isChanged());
}

QTEST_MAIN(TestGridSample)
#include "test_grid_sample.moc"
