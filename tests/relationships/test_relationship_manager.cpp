// Tests of LMRelationshipManager: link lists read and written, the limits of each type on both sides,
// one-way records, duplicates, unlinking to "(null)" and the atomicity of linking and unlinking.
#include "LMRelationship.h"
#include "LMRelationshipManager.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "TestEnvironment.h"
#include "support/RelationshipFixture.h"

#include <QtTest>

using namespace RelationshipFixture;

namespace {
// New rows hold the column default, the empty text.
const QString kNone = QStringLiteral("");
} // namespace

class TestRelationshipManager : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void recordReading_data();
    void recordReading();
    void readingLists_data();
    void readingLists();
    void writingListsEscapes();
    void linking_data();
    void linking();
    void unlinkingTwoWay();
    void unlinkingFromEmptyListWritesNull();
    void unlinkingOneWayLeavesEndTable();
    void failedSecondWriteUndoesLink();
    void failedSecondWriteUndoesUnlink();

private:
    OXDatabase *db() const { return m_doc->database(); }
    void set(const QString &table, const QString &column, const QString &id, const QString &text)
    {
        const QString value = text.isNull() ? QStringLiteral("NULL") : QStringLiteral("'%1'").arg(text);
        db()->performQuery(QStringLiteral("UPDATE `%1` SET `%2`=%3 WHERE id=%4").arg(table, column, value, id));
        QCOMPARE(db()->lastErrorID(), 0);
    }

    TestEnvironment m_env;
    std::unique_ptr<MyDocument> m_doc;
};

void TestRelationshipManager::init()
{
    QString error;
    m_doc = newDocument(3, &error);
    QVERIFY2(m_doc, qPrintable(error));
}

void TestRelationshipManager::cleanup()
{
    m_doc.reset();
}

void TestRelationshipManager::recordReading_data()
{
    QTest::addColumn<Value>("typeValue");   // null: key absent
    QTest::addColumn<Value>("endsInTable"); // null: key absent
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("inverse");
    QTest::newRow("diagram strings, two-way") << Value("2") << Value("0") << 2 << true;
    QTest::newRow("diagram strings, one-way") << Value("1") << Value("1") << 1 << false;
    QTest::newRow("other type") << Value("-1") << Value("0") << -1 << true;
    QTest::newRow("absent type counts as 0") << Value() << Value(true) << 0 << false;
    QTest::newRow("numbers and booleans") << Value(1) << Value(false) << 1 << true;
    QTest::newRow("absent ends-in-table is two-way") << Value("0") << Value() << 0 << true;
}

void TestRelationshipManager::recordReading()
{
    QFETCH(Value, typeValue);
    QFETCH(Value, endsInTable);
    QFETCH(int, type);
    QFETCH(bool, inverse);
    Value r = record("People", "Employer", "Companies", "Staff");
    r.remove("Relationship Type");
    r.remove("Ends In Table");
    if (!typeValue.isNull())
        r.set("Relationship Type", typeValue);
    if (!endsInTable.isNull())
        r.set("Ends In Table", endsInTable);
    const LMRelationshipManager manager(db(), r);
    QCOMPARE(manager.relationshipType(), type);
    QCOMPARE(manager.hasInverse(), inverse);
}

void TestRelationshipManager::readingLists_data()
{
    QTest::addColumn<QString>("stored"); // null: leave the cell NULL
    QTest::addColumn<QString>("id");
    QTest::addColumn<QStringList>("ids");
    QTest::newRow("two ids") << "3,17"
                             << "1" << QStringList({"3", "17"});
    QTest::newRow("one id") << "5"
                            << "1" << QStringList({"5"});
    QTest::newRow("NULL cell") << QString() << "1" << QStringList();
    QTest::newRow("empty text") << ""
                                << "1" << QStringList();
    QTest::newRow("angle null") << "<null>"
                                << "1" << QStringList();
    QTest::newRow("round null") << "(null)"
                                << "1" << QStringList();
    QTest::newRow("no such row") << "3"
                                 << "99" << QStringList();
    QTest::newRow("id with a quote reads no row") << "3"
                                                  << "1' OR '1'='1" << QStringList();
}

void TestRelationshipManager::readingLists()
{
    QFETCH(QString, stored);
    QFETCH(QString, id);
    QFETCH(QStringList, ids);
    set("People", "Employer", "1", stored);
    set("Companies", "Staff", "1", stored);
    const LMRelationshipManager manager(db(), record("People", "Employer", "Companies", "Staff"));
    QCOMPARE(manager.rowIndexesOfRowAtParentIndex(id), ids);
    QCOMPARE(manager.rowIndexesOfRowAtChildIndex(id), ids);
    const std::optional<QString> raw = manager.rawRowIndexesOfRowAtParentIndex(id);
    QCOMPARE(raw.has_value(), !ids.isEmpty());
    if (raw)
        QCOMPARE(*raw, stored);
    // A one-way record has no lists on its end side.
    const LMRelationshipManager oneWay(db(), record("People", "Employer", "Companies", ""));
    QCOMPARE(oneWay.rowIndexesOfRowAtChildIndex(id), QStringList());
}

void TestRelationshipManager::writingListsEscapes()
{
    LMRelationshipManager manager(db(), record("People", "Employer", "Companies", "Staff"));
    QVERIFY(manager.setRowIndexesToRowAtParentIndex("it's,2", "2"));
    QVERIFY(manager.setRowIndexesToRowAtChildIndex("4,5", "3"));
    QCOMPARE(column(*m_doc, "People", "Employer"), QStringList({kNone, "it's,2", kNone}));
    QCOMPARE(column(*m_doc, "Companies", "Staff"), QStringList({kNone, kNone, "4,5"}));
    // A quote in the id addresses no row instead of every row.
    QVERIFY(manager.setRowIndexesToRowAtParentIndex("9", "1' OR '1'='1"));
    QCOMPARE(column(*m_doc, "People", "Employer"), QStringList({kNone, "it's,2", kNone}));
}

void TestRelationshipManager::linking_data()
{
    // An operation "p1+c2" links end row 2 into start row 1 (addRowIndexToRowAtParentIndex); "c1+p2" links
    // start row 2 into end row 1 (addRowIndexToRowAtChildIndex); a trailing "!" expects the link refused.
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("twoWay");
    QTest::addColumn<QStringList>("operations");
    QTest::addColumn<QStringList>("people");    // Employer of rows 1-3 afterwards
    QTest::addColumn<QStringList>("companies"); // Staff of rows 1-3 afterwards
    QTest::newRow("type 0 two-way: one on each side")
        << "0" << true << QStringList({"p1+c1", "p1+c2!", "p2+c1!", "c2+p1!", "c1+p2!", "c2+p2"})
        << QStringList({"1", "2", kNone}) << QStringList({"1", "2", kNone});
    QTest::newRow("type 1 two-way: one per start row, many per end row")
        << "1" << true << QStringList({"p1+c1", "p1+c2!", "p2+c1", "c1+p3", "c2+p1!"}) << QStringList({"1", "1", "1"})
        << QStringList({"1,2,3", kNone, kNone});
    QTest::newRow("type 2 two-way: no limit, duplicates listed twice")
        << "2" << true << QStringList({"p1+c1", "p1+c1", "c2+p1", "p2+c2"}) << QStringList({"1,1,2", "2", kNone})
        << QStringList({"1,1", "1,2", kNone});
    QTest::newRow("other type never refuses") << "-1" << true << QStringList({"p1+c1", "p1+c2", "p2+c1"})
                                              << QStringList({"1,2", "1", kNone}) << QStringList({"1,2", "1", kNone});
    QTest::newRow("type 0 one-way: end rows are not limited")
        << "0" << false << QStringList({"p1+c1", "p2+c1", "p1+c2!"}) << QStringList({"1", "1", kNone})
        << QStringList({kNone, kNone, kNone});
    QTest::newRow("type 1 one-way") << "1" << false << QStringList({"p1+c1", "p1+c2!", "p3+c1"})
                                    << QStringList({"1", kNone, "1"}) << QStringList({kNone, kNone, kNone});
    QTest::newRow("type 2 one-way") << "2" << false << QStringList({"p1+c1", "p1+c2", "p1+c2"})
                                    << QStringList({"1,2,2", kNone, kNone}) << QStringList({kNone, kNone, kNone});
    QTest::newRow("one-way linked from the end side writes the start row only")
        << "1" << false << QStringList({"c2+p3", "c1+p3!"}) << QStringList({kNone, kNone, "2"})
        << QStringList({kNone, kNone, kNone});
}

void TestRelationshipManager::linking()
{
    QFETCH(QString, type);
    QFETCH(bool, twoWay);
    QFETCH(QStringList, operations);
    QFETCH(QStringList, people);
    QFETCH(QStringList, companies);
    LMRelationshipManager manager(db(), record("People", "Employer", "Companies", twoWay ? "Staff" : "", type));
    for (const QString &operation : operations) {
        const bool refused = operation.endsWith('!');
        const QString row = operation.mid(1, 1), other = operation.mid(4, 1);
        const bool linked = operation.startsWith('p') ? manager.addRowIndexToRowAtParentIndex(other, row)
                                                      : manager.addRowIndexToRowAtChildIndex(other, row);
        QVERIFY2(linked == !refused, qPrintable(operation));
        QVERIFY(!db()->isTransactionActive());
    }
    QCOMPARE(column(*m_doc, "People", "Employer"), people);
    QCOMPARE(column(*m_doc, "Companies", "Staff"), companies);
    // The other relationship fields are never touched.
    QCOMPARE(column(*m_doc, "People", "Mentor"), QStringList({kNone, kNone, kNone}));
    QCOMPARE(column(*m_doc, "Companies", "Board"), QStringList({kNone, kNone, kNone}));
}

void TestRelationshipManager::unlinkingTwoWay()
{
    set("People", "Employer", "1", "1,2,1");
    set("Companies", "Staff", "1", "1");
    set("Companies", "Staff", "2", "3,1");
    LMRelationshipManager manager(db(), record("People", "Employer", "Companies", "Staff", "2"));
    QVERIFY(manager.removeRowIndexFromRowAtParentIndex("1", "1"));
    QCOMPARE(cell(*m_doc, "People", "Employer", "1"), QStringLiteral("2"));
    QCOMPARE(cell(*m_doc, "Companies", "Staff", "1"), QStringLiteral(""));
    QVERIFY(!manager.rawRowIndexesOfRowAtChildIndex("1"));

    // From the end side, through the alias name.
    QVERIFY(manager.removeRowIndexFromRowAtChildIndex("1", "2"));
    QCOMPARE(cell(*m_doc, "Companies", "Staff", "2"), QStringLiteral("3"));
    QCOMPARE(cell(*m_doc, "People", "Employer", "1"), QStringLiteral(""));
    QVERIFY(!db()->isTransactionActive());
}

void TestRelationshipManager::unlinkingFromEmptyListWritesNull()
{
    set("Companies", "Staff", "1", "2");
    LMRelationshipManager manager(db(), record("People", "Employer", "Companies", "Staff", "2"));
    QVERIFY(manager.removeRowIndexToRowAtParentIndex("1", "3"));
    QCOMPARE(cell(*m_doc, "People", "Employer", "3"), QStringLiteral("(null)"));
    QCOMPARE(manager.rowIndexesOfRowAtParentIndex("3"), QStringList());
    QCOMPARE(cell(*m_doc, "Companies", "Staff", "1"), QStringLiteral("2"));
    QVERIFY(manager.removeRowIndexToRowAtChildIndex("1", "2"));
    QCOMPARE(cell(*m_doc, "Companies", "Staff", "2"), QStringLiteral("(null)"));
    QCOMPARE(cell(*m_doc, "People", "Employer", "1"), QStringLiteral("(null)"));
}

void TestRelationshipManager::unlinkingOneWayLeavesEndTable()
{
    set("People", "Employer", "1", "1,2");
    set("Companies", "Staff", "1", "1");
    LMRelationshipManager manager(db(), record("People", "Employer", "Companies", "", "2"));
    QVERIFY(manager.removeRowIndex("1", "1", false));
    QCOMPARE(cell(*m_doc, "People", "Employer", "1"), QStringLiteral("2"));
    QCOMPARE(cell(*m_doc, "Companies", "Staff", "1"), QStringLiteral("1"));
}

void TestRelationshipManager::failedSecondWriteUndoesLink()
{
    // The end field names no column, so the second write of the link fails.
    LMRelationshipManager manager(db(), record("People", "Employer", "Companies", "Missing", "2"));
    QVERIFY(!manager.addRowIndexToRowAtParentIndex("1", "1"));
    QVERIFY(!db()->isTransactionActive());
    QCOMPARE(cell(*m_doc, "People", "Employer", "1"), kNone);
}

void TestRelationshipManager::failedSecondWriteUndoesUnlink()
{
    set("People", "Employer", "1", "1,2");
    LMRelationshipManager manager(db(), record("People", "Employer", "Companies", "Missing", "2"));
    QVERIFY(!manager.removeRowIndexFromRowAtParentIndex("1", "1"));
    QVERIFY(!db()->isTransactionActive());
    QCOMPARE(cell(*m_doc, "People", "Employer", "1"), QStringLiteral("1,2"));
}

QTEST_MAIN(TestRelationshipManager)
#include "test_relationship_manager.moc"
