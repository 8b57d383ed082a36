// The records of a form editor without widgets: the SELECT with and without a filter, main and nested; the
// lines of the record list; the quoted id list of a nested editor.
#include "DesignFixture.h"
#include "FDFormGenerator.h"
#include "LMFormRecords.h"
#include "LMGridFilter.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "TestEnvironment.h"

#include <QtTest>

using namespace DesignFixture;

namespace {
class FixedFilter : public LMGridFilter {
public:
    bool open = false;
    QString clause;
    bool isOpen() const override { return open; }
    QString whereQuery() const override { return clause.isEmpty() ? QString() : " WHERE " + clause + " "; }
    QString whereClause() const override { return clause; }
};
} // namespace

class TestFormRecords : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void standardQuery_data();
    void standardQuery();
    void recordLines();
    void idList();
    void humanKeyIsMarkedInTheDesign();

private:
    TestEnvironment m_env;
    std::unique_ptr<MyDocument> m_doc;
};

void TestFormRecords::initTestCase()
{
    QString error;
    m_doc = newDocument({table("Items", {field("Title", "Text"), field("Price", "Number", {{"Format", "#,##0.00"}}),
                                         field("Parts", "Relationship")}),
                         table("Bare", {})},
                        &error);
    QVERIFY2(m_doc, qPrintable(error));
    QVERIFY(FDFormGenerator::generateFormWithWindow(m_doc.get(), "Items"));
    QVERIFY(FDFormGenerator::generateFormWithWindow(m_doc.get(), "Bare"));
}

void TestFormRecords::standardQuery_data()
{
    QTest::addColumn<bool>("nested");
    QTest::addColumn<bool>("open");
    QTest::addColumn<QString>("clause");
    QTest::addColumn<QString>("sql");
    const QString base = "SELECT `id`, `Title`, `Price`, `Parts` FROM `Items` ";
    QTest::newRow("main, closed") << false << false << "`Title` = 'a'" << base;
    QTest::newRow("main, open") << false << true << "`Title` = 'a'" << base + " WHERE `Title` = 'a' ";
    QTest::newRow("main, open without a condition") << false << true << QString() << base;
    QTest::newRow("nested, closed") << true << false << "`Title` = 'a'" << base + " WHERE id IN ('3','7') ";
    QTest::newRow("nested, open") << true << true << "`Title` = 'a'"
                                  << base + " WHERE (`Title` = 'a') AND (id IN ('3','7')) ";
    QTest::newRow("nested, open without a condition") << true << true << QString() << base + " WHERE id IN ('3','7') ";
}

void TestFormRecords::standardQuery()
{
    QFETCH(bool, nested);
    QFETCH(bool, open);
    QFETCH(QString, clause);
    QFETCH(QString, sql);
    LMFormRecords records(m_doc.get(), "Items", nested, nested ? "'3','7'" : QString());
    FixedFilter filter;
    filter.open = open;
    filter.clause = clause;
    records.setFilter(&filter);
    QCOMPARE(records.standardSelectQuery(), sql);
    QCOMPARE(records.query(), nested ? QString("SELECT `id`, `Title`, `Price`, `Parts` FROM `Items` WHERE `id` IN "
                                               "('3','7')")
                                     : QString("SELECT `id`, `Title`, `Price`, `Parts` FROM `Items`"));
    // A table with only its key field lists the key.
    LMFormRecords bare(m_doc.get(), "Bare");
    QCOMPARE(bare.buildAllColumns(), QString("`id`"));
}

void TestFormRecords::recordLines()
{
    OXDatabase &db = *m_doc->database();
    const QString a = insertRow(*m_doc, "Items"), b = insertRow(*m_doc, "Items"), c = insertRow(*m_doc, "Items");
    QVERIFY(!db.insertNativeValue(Value("Bolt"), "Items", "Title", a));
    QVERIFY(!db.insertNativeValue(Value("$$__OX__NEW__RECORD__$$"), "Items", "Title", c));
    QVERIFY(!db.insertNativeValue(Value(1234.5), "Items", "Price", a));
    LMFormRecords records(m_doc.get(), "Items");
    QCOMPARE(records.humanKey(), QString("Title"));
    records.reloadData();
    QCOMPARE(records.lines(), (QStringList{"Bolt", "New Record", "New Record"}));
    QCOMPARE(records.ids(), (QStringList{a, b, c}));
    QVERIFY(!records.isNewRecordLine(0));
    QVERIFY(records.isNewRecordLine(1) && records.isNewRecordLine(2));
    // Another list field shows its formatted value.
    records.setHumanKey("Price");
    records.reloadData();
    QCOMPARE(records.lines().first(), QString("1,234.50"));
    // An unknown field falls back to the table's human key.
    records.setHumanKey("Nope");
    QCOMPARE(records.humanKey(), QString("Title"));
    // A form whose table is gone lists nothing.
    Value form = m_doc->formNamed("Bare");
    form.set("Content Table", "Gone");
    LMFormRecords gone(m_doc.get(), "Bare");
    QVERIFY(!gone.hasContentTable());
    gone.reloadData();
    QCOMPARE(gone.count(), 0);
    form.set("Content Table", "Bare");
}

void TestFormRecords::idList()
{
    LMFormRecords records(m_doc.get(), "Items", true, "'<null>'");
    QVERIFY(records.idListIsEmpty());
    records.appendId("4");
    QCOMPARE(records.commaIndexes(), QString("'4'"));
    records.appendId("9");
    QCOMPARE(records.commaIndexes(), QString("'4','9'"));
    QVERIFY(records.containsId("9"));
    QVERIFY(records.removeId("4"));
    QVERIFY(!records.removeId("4"));
    QVERIFY(records.removeId("9"));
    QVERIFY(records.idListIsEmpty());
    // The emptied list selects nothing.
    QCOMPARE(records.standardSelectQuery(),
             QString("SELECT `id`, `Title`, `Price`, `Parts` FROM `Items`  WHERE id IN () "));
    records.reloadData();
    QCOMPARE(records.count(), 0);
}

void TestFormRecords::humanKeyIsMarkedInTheDesign()
{
    LMFormRecords records(m_doc.get(), "Items");
    m_doc->setChanged(false);
    records.markHumanKey("Price");
    QCOMPARE(m_doc->database()->humanKeyForTable("Items"), QString("Price"));
    QVERIFY(m_doc->isChanged());
    records.markHumanKey("Title");
    QCOMPARE(m_doc->database()->humanKeyForTable("Items"), QString("Title"));
    const Value fields = m_doc->database()->tableDesign("Items").value("Fields");
    int marked = 0;
    for (int i = 0; i < fields.size(); ++i)
        marked += fields.at(i).value("HumanKey").toInt() == 1;
    QCOMPARE(marked, 1);
}

QTEST_MAIN(TestFormRecords)
#include "test_form_records.moc"
