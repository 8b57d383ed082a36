// Tests of a grid's record work without its widget: the subtable id list and links (LMSubtableLinks) and the
// add, delete, link and unlink commands (LMRecordCommands).
#include "DesignVocabulary.h"
#include "LMRecordCommands.h"
#include "LMRelationship.h"
#include "LMSubtableLinks.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "TestEnvironment.h"
#include "support/GridFixture.h"

#include <QtTest>

using namespace GridFixture;

class TestGridRecords : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<MyDocument> doc;
    Value record;

    // People.employer links Companies (type 0 one to one, 1 one to many, 2 many to many); People 1 and 2,
    // Companies 1 to 3.
    void makeDocument(int type)
    {
        QString error;
        doc = newDocument({table("People", {field("name", "Text"), field("employer", "Relationship")}),
                           table("Companies", {field("title", "Text")})},
                          &error);
        QVERIFY2(doc, qPrintable(error));
        record = LMRelationship::makeRecord("People", "employer", "Companies", QString(), type);
        doc->relationships().set("Lines", Value::array({record}));
        for (int i = 0; i < 2; ++i)
            insertRow(*doc, "People");
        for (int i = 0; i < 3; ++i)
            insertRow(*doc, "Companies");
        doc->setChanged(false);
    }
    QString employerOf(const QString &person)
    {
        const QString text = cellText(*doc, "People", "employer", person);
        return DesignVocabulary::isNullLike(text) ? QString() : text;
    }

private slots:
    void init() { env = std::make_unique<TestEnvironment>(); }
    void cleanup()
    {
        doc.reset();
        env.reset();
    }
    void idList_data();
    void idList();
    void appendAndRemove();
    void addRecordInATopLevelGrid();
    void addRecordLinksItInASubtable();
    void oneToOneRefusesASecondLink();
    void addRecordWithoutTheParentIsRefused();
    void unlinkKeepsTheRecordDeleteRemovesIt();
};

void TestGridRecords::idList_data()
{
    QTest::addColumn<bool>("subtable");
    QTest::addColumn<QString>("commaIndexes");
    QTest::addColumn<QString>("idList");
    QTest::addColumn<bool>("empty");
    QTest::newRow("two ids") << true << "3,17"
                             << "'3','17'" << false;
    QTest::newRow("spaces and gaps") << true << " 3 , ,17"
                                     << "'3','17'" << false;
    QTest::newRow("quote escaped") << true << "a'b"
                                   << "'a''b'" << false;
    QTest::newRow("null-like") << true << "<null>"
                               << "" << true;
    QTest::newRow("top level links nothing") << false << "3"
                                             << "" << true;
}

void TestGridRecords::idList()
{
    QFETCH(bool, subtable);
    QFETCH(QString, commaIndexes);
    QFETCH(QString, idList);
    QFETCH(bool, empty);
    const Value relationship = subtable ? LMRelationship::makeRecord("A", "b", "C", QString()) : Value();
    const LMSubtableLinks links(nullptr, relationship, "1", false, commaIndexes);
    QCOMPARE(links.isSubtable(), subtable);
    QCOMPARE(links.idList(), idList);
    QCOMPARE(links.isEmpty(), empty);
}

void TestGridRecords::appendAndRemove()
{
    LMSubtableLinks links(nullptr, LMRelationship::makeRecord("A", "b", "C", QString()), "1", false, "(null)");
    QVERIFY(links.isEmpty());
    links.append("5");
    links.append("7");
    QCOMPARE(links.idList(), QString("'5','7'"));
    QVERIFY(links.remove("5"));
    QVERIFY(!links.remove("9"));
    QCOMPARE(links.idList(), QString("'7'"));
}

void TestGridRecords::addRecordInATopLevelGrid()
{
    makeDocument(1);
    LMSubtableLinks links(doc->database(), Value(), QString(), false, QString());
    LMRecordCommands commands(doc->database(), doc.get(), links);
    const LMRecordCommands::Added added = commands.addRecord("People", false);
    QCOMPARE(int(added.outcome), int(LMRecordCommands::Added::Outcome::Added));
    QVERIFY(!added.alert);
    QCOMPARE(rowCount(*doc, "People"), 3);
    QVERIFY(doc->isChanged());
    QVERIFY(links.idList().isEmpty());

    commands.deleteRecord("People", "1");
    QCOMPARE(rowCount(*doc, "People"), 2);

    // A table that is gone: the failed INSERT is reported, nothing else happens.
    const LMRecordCommands::Added failed = commands.addRecord("Nowhere", false);
    QCOMPARE(int(failed.outcome), int(LMRecordCommands::Added::Outcome::Failed));
    QVERIFY(failed.alert);
    QCOMPARE(failed.alert->messageText, QString("An Error Occurred"));
}

void TestGridRecords::addRecordLinksItInASubtable()
{
    makeDocument(2); // many to many
    LMSubtableLinks links(doc->database(), record, "2", false, QString());
    LMRecordCommands commands(doc->database(), doc.get(), links);
    const LMRecordCommands::Added added = commands.addRecord("Companies", true);
    QCOMPARE(int(added.outcome), int(LMRecordCommands::Added::Outcome::Added));
    QCOMPARE(added.id, QString("4"));
    QCOMPARE(links.idList(), QString("'4'"));
    QCOMPARE(employerOf("2"), QString("4"));
    QVERIFY(commands.linkExistingRecord("1", true));
    QCOMPARE(links.idList(), QString("'4','1'"));
    QCOMPARE(employerOf("2"), QString("4,1"));
    QCOMPARE(employerOf("1"), QString());
}

void TestGridRecords::oneToOneRefusesASecondLink()
{
    makeDocument(0);
    LMSubtableLinks links(doc->database(), record, "1", false, QString());
    LMRecordCommands commands(doc->database(), doc.get(), links);
    QCOMPARE(int(commands.addRecord("Companies", true).outcome), int(LMRecordCommands::Added::Outcome::Added));
    QVERIFY(links.parentIsFull());
    const LMRecordCommands::Added second = commands.addRecord("Companies", true);
    QCOMPARE(int(second.outcome), int(LMRecordCommands::Added::Outcome::Refused));
    QCOMPARE(*second.alert, LMRecordCommands::tooManyRecords());
    QCOMPARE(second.alert->informativeText, QString("You can't add any more records to this subtable."));
    QCOMPARE(rowCount(*doc, "Companies"), 4); // the refused row is gone again
    QVERIFY(!commands.linkExistingRecord("2", true));
    QCOMPARE(links.idList(), QString("'4'"));
    QCOMPARE(employerOf("1"), QString("4"));
}

void TestGridRecords::addRecordWithoutTheParentIsRefused()
{
    makeDocument(1);
    LMSubtableLinks links(doc->database(), record, "1", false, QString());
    LMRecordCommands commands(doc->database(), doc.get(), links);
    QCOMPARE(int(commands.addRecord("Companies", false).outcome), int(LMRecordCommands::Added::Outcome::Refused));
    QCOMPARE(rowCount(*doc, "Companies"), 3);
    QVERIFY(!commands.linkExistingRecord("2", false));
    QVERIFY(links.isEmpty());
    QCOMPARE(employerOf("1"), QString());
}

void TestGridRecords::unlinkKeepsTheRecordDeleteRemovesIt()
{
    makeDocument(2); // many to many
    LMSubtableLinks links(doc->database(), record, "1", false, QString());
    LMRecordCommands commands(doc->database(), doc.get(), links);
    QVERIFY(commands.linkExistingRecord("2", true));
    QVERIFY(commands.linkExistingRecord("3", true));
    QCOMPARE(employerOf("1"), QString("2,3"));

    commands.unlinkRecord("2", true);
    QCOMPARE(links.idList(), QString("'3'"));
    QCOMPARE(employerOf("1"), QString("3"));
    QCOMPARE(rowCount(*doc, "Companies"), 3);

    commands.deleteLinkedRecord("Companies", "3", true);
    QVERIFY(links.isEmpty());
    QCOMPARE(employerOf("1"), QString());
    QCOMPARE(rowCount(*doc, "Companies"), 2);
}

QTEST_MAIN(TestGridRecords)
#include "test_grid_records.moc"
