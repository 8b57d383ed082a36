// Tests of the relationship records: the audit (one removal per pass, reversal, turning one-way), its run
// after a design commit, the validity rule of a new record and turning records one- or two-way.
#include "LMRelationship.h"
#include "LMRelationshipAudit.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "TestEnvironment.h"
#include "support/RelationshipFixture.h"

#include <QtTest>

using namespace RelationshipFixture;

class TestRelationshipAudit : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void auditCases_data();
    void auditCases();
    void oneRemovalPerAudit();
    void auditAfterCommitTurnsRecordOneWay();
    void auditAfterCommitReversesRecord();
    void deletedTableTakesItsRecordsAlong();
    void validity_data();
    void validity();
    void turningOneWay();
    void turningTwoWayPicksFirstFreeField();
    void turningTwoWayWithoutFreeFieldStaysOneWay();
    void relationshipNamesInDesignOrder();
    void recordKeyOrder();

private:
    OXDatabase *db() const { return m_doc->database(); }
    Value lines() const { return m_doc->relationships().value("Lines"); }
    // Removes one field from a table through a design commit.
    void commitWithout(const QString &table, const QString &fieldName);

    TestEnvironment m_env;
    std::unique_ptr<MyDocument> m_doc;
};

void TestRelationshipAudit::init()
{
    QString error;
    m_doc = newDocument(1, &error);
    QVERIFY2(m_doc, qPrintable(error));
    LMRelationshipAudit::install();
    m_doc->setChanged(false);
}

void TestRelationshipAudit::cleanup()
{
    OXDatabase::setRelationshipAuditor(nullptr);
    m_doc.reset();
}

void TestRelationshipAudit::commitWithout(const QString &table, const QString &fieldName)
{
    LMTableDesignCommit commit = LMTableDesignCommit::forDesign(db()->tableDesign(table));
    const int index = commit.columnMapLeft.indexOf(fieldName);
    QVERIFY(index > 0);
    commit.schema.removeAt(index);
    commit.columnMapLeft.removeAt(index);
    commit.columnMapRight.removeAt(index);
    QCOMPARE(db()->commitTableRevised(commit), LMTableDesignCommit::Result::Committed);
}

void TestRelationshipAudit::auditCases_data()
{
    QTest::addColumn<Value>("before");
    QTest::addColumn<Value>("after"); // null: removed
    const Value twoWay = record("People", "Employer", "Companies", "Staff", "1");
    QTest::newRow("valid two-way stays") << twoWay << twoWay;
    const Value oneWay = record("People", "Employer", "Companies", "", "2");
    QTest::newRow("valid one-way stays") << oneWay << oneWay;
    QTest::newRow("missing start table") << record("Gone", "Employer", "Companies", "Staff") << Value();
    QTest::newRow("missing end table") << record("People", "Employer", "Gone", "Staff") << Value();
    QTest::newRow("start field not a relationship field, end field kept: reversed")
        << record("People", "Name", "Companies", "Staff", "1")
        << Value::dict({{"Relationship Type", Value("1")},
                        {"Ends In Table", Value("1")},
                        {"Start Table", Value("Companies")},
                        {"Start Field", Value("Staff")},
                        {"End Table", Value("People")}});
    QTest::newRow("start field missing, end field missing: removed")
        << record("People", "Gone", "Companies", "Gone too") << Value();
    QTest::newRow("start field missing, one-way: removed") << record("People", "Gone", "Companies", "") << Value();
    QTest::newRow("end field missing: one-way")
        << record("People", "Employer", "Companies", "Gone", "0") << record("People", "Employer", "Companies", "", "0");
    Value boolean = record("People", "Employer", "Companies", "Name", "2");
    boolean.set("Ends In Table", Value(false));
    QTest::newRow("end field not a relationship field: one-way")
        << boolean << record("People", "Employer", "Companies", "", "2");
}

void TestRelationshipAudit::auditCases()
{
    QFETCH(Value, before);
    QFETCH(Value, after);
    const Value keep = record("Companies", "Board", "People", "Mentor");
    m_doc->relationships().set("Lines", Value::array({before, keep}));
    const bool expectChange = before != after; // before the audit changes `before` in place
    const bool changed = db()->auditRelationships();

    if (after.isNull()) {
        QCOMPARE(lines(), Value::array({keep}));
    } else {
        QCOMPARE(lines().size(), 2);
        QCOMPARE(lines().at(0), after);
        QVERIFY(lines().at(0).isSameContainer(before)); // changed in place
    }
    QCOMPARE(lines().at(lines().size() - 1), record("Companies", "Board", "People", "Mentor"));
    QCOMPARE(changed, expectChange);
    QCOMPARE(m_doc->isChanged(), changed);
    // A second audit finds nothing more to do.
    QVERIFY(!db()->auditRelationships());
}

void TestRelationshipAudit::oneRemovalPerAudit()
{
    const Value stale1 = record("Gone", "A", "People", "Employer");
    const Value toReduce = record("People", "Employer", "Companies", "Gone");
    const Value stale2 = record("People", "Mentor", "Nowhere", "B");
    m_doc->relationships().set("Lines", Value::array({toReduce, stale1, stale2}));

    QVERIFY(db()->auditRelationships());
    QCOMPARE(lines().size(), 2);
    QCOMPARE(lines().at(1), stale2);
    // The record before the removal was already reduced in this pass.
    QCOMPARE(lines().at(0), record("People", "Employer", "Companies", ""));
    QVERIFY(db()->auditRelationships());
    QCOMPARE(lines(), Value::array({record("People", "Employer", "Companies", "")}));
    QVERIFY(!db()->auditRelationships());
}

void TestRelationshipAudit::auditAfterCommitTurnsRecordOneWay()
{
    m_doc->relationships().set("Lines", Value::array({record("People", "Employer", "Companies", "Staff", "1")}));
    commitWithout("Companies", "Staff");
    QCOMPARE(lines(), Value::array({record("People", "Employer", "Companies", "", "1")}));
}

void TestRelationshipAudit::auditAfterCommitReversesRecord()
{
    m_doc->relationships().set("Lines", Value::array({record("People", "Employer", "Companies", "Staff", "2")}));
    commitWithout("People", "Employer");
    QCOMPARE(lines(), Value::array({Value::dict({{"Relationship Type", Value("2")},
                                                 {"Ends In Table", Value("1")},
                                                 {"Start Table", Value("Companies")},
                                                 {"Start Field", Value("Staff")},
                                                 {"End Table", Value("People")}})}));
}

void TestRelationshipAudit::deletedTableTakesItsRecordsAlong()
{
    const Value kept = record("People", "Mentor", "People", "");
    m_doc->relationships().set("Lines", Value::array({record("People", "Employer", "Companies", "Staff"), kept,
                                                      record("Companies", "Board", "People", "")}));
    m_env.ui().answer("Delete");
    QVERIFY(m_doc->removeTableNamed("Companies"));
    // Every record of the table is gone at once, not one per later audit; the others stay.
    QCOMPARE(lines(), Value::array({kept}));
    QVERIFY(!db()->auditRelationships());
}

void TestRelationshipAudit::validity_data()
{
    QTest::addColumn<Value>("existing");
    QTest::addColumn<Value>("candidate");
    QTest::addColumn<bool>("valid");
    const Value pe = record("People", "Employer", "Companies", "Staff");
    QTest::newRow("same start field") << pe << record("People", "Employer", "Companies", "Board") << false;
    QTest::newRow("same start field, both one-way")
        << record("People", "Employer", "Companies", "") << record("People", "Employer", "Companies", "") << false;
    QTest::newRow("start is the end of a two-way record")
        << pe << record("Companies", "Staff", "People", "Mentor") << false;
    QTest::newRow("start is the end field of a one-way record")
        << Value(record("People", "Employer", "Companies", "")) << record("Companies", "Staff", "People", "Mentor")
        << true;
    QTest::newRow("two-way end is an existing start")
        << pe << record("Companies", "Board", "People", "Employer") << false;
    QTest::newRow("one-way ending where a record starts") << pe << record("Companies", "Board", "People", "") << true;
    QTest::newRow("same end field, both two-way") << pe << record("People", "Mentor", "Companies", "Staff") << false;
    QTest::newRow("same end field, existing one-way") << Value(record("People", "Mentor", "Companies", ""))
                                                      << record("People", "Employer", "Companies", "Staff") << true;
    QTest::newRow("unrelated fields") << pe << record("People", "Mentor", "Companies", "Board") << true;
}

void TestRelationshipAudit::validity()
{
    QFETCH(Value, existing);
    QFETCH(Value, candidate);
    QFETCH(bool, valid);
    QCOMPARE(LMRelationship::isValidNewRecord(candidate, Value::array({existing})), valid);
    QVERIFY(LMRelationship::isValidNewRecord(candidate, Value::array()));
}

void TestRelationshipAudit::turningOneWay()
{
    Value r = record("People", "Employer", "Companies", "Staff", "1");
    m_doc->relationships().set("Lines", Value::array({r}));
    QVERIFY(!LMRelationship::setEndsInTable(r, true, *db()));
    QCOMPARE(r, record("People", "Employer", "Companies", "", "1"));
    QVERIFY(!LMRelationship::hasInverse(r));
}

void TestRelationshipAudit::turningTwoWayPicksFirstFreeField()
{
    Value r = record("People", "Employer", "Companies", "");
    // Staff ends another two-way record; Board is free.
    m_doc->relationships().set("Lines", Value::array({record("People", "Mentor", "Companies", "Staff"), r}));
    QVERIFY(LMRelationship::setEndsInTable(r, false, *db()));
    QCOMPARE(r, record("People", "Employer", "Companies", "Board"));

    // Only the one-way end of another record does not take a field.
    Value s = record("People", "Employer", "Companies", "");
    const Value others = Value::array({record("People", "Mentor", "Companies", ""), s});
    QVERIFY(LMRelationship::setEndsInTable(s, false, *db(), others));
    QCOMPARE(LMRelationship::endField(s), QStringLiteral("Staff"));
}

void TestRelationshipAudit::turningTwoWayWithoutFreeFieldStaysOneWay()
{
    Value r = record("People", "Employer", "Companies", "");
    const Value others =
        Value::array({record("Companies", "Staff", "People", ""), record("People", "Mentor", "Companies", "Board"), r});
    QVERIFY(!LMRelationship::setEndsInTable(r, false, *db(), others));
    QCOMPARE(r, record("People", "Employer", "Companies", ""));

    // A table related to itself: the start field is not free to be the end field.
    Value self = record("People", "Employer", "People", "");
    QVERIFY(LMRelationship::setEndsInTable(self, false, *db(), Value::array({self})));
    QCOMPARE(LMRelationship::endField(self), QStringLiteral("Mentor"));
}

void TestRelationshipAudit::relationshipNamesInDesignOrder()
{
    QCOMPARE(db()->relationshipNamesForTable("People"), QStringList({"Employer", "Mentor"}));
    QCOMPARE(db()->relationshipNamesForTable("Nowhere"), QStringList());
}

void TestRelationshipAudit::recordKeyOrder()
{
    QCOMPARE(
        LMRelationship::makeRecord("People", "Employer", "Companies", "Staff", 2).keys(),
        QStringList({"Relationship Type", "Ends In Table", "Start Table", "Start Field", "End Table", "End Field"}));
    const Value oneWay = LMRelationship::makeRecord("People", "Employer", "Companies", "");
    QCOMPARE(oneWay, record("People", "Employer", "Companies", "", "0"));
    QVERIFY(LMRelationship::endsInTable(oneWay));
}

QTEST_MAIN(TestRelationshipAudit)
#include "test_relationship_audit.moc"
