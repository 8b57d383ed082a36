// Tests of DesignCatalogue on its own: lookups and design changes over a plain designs array, no document.
#include "DesignCatalogue.h"
#include "DesignFixture.h"

#include <QtTest>

using namespace DesignFixture;

class TestDesignCatalogue : public QObject {
    Q_OBJECT
private slots:
    void lookupsOverAPlainArray();
    void datatypeOfField_data();
    void datatypeOfField();
    void changesLandInTheSharedArray();
    void changesWithoutAnArrayDoNothing();
};

void TestDesignCatalogue::lookupsOverAPlainArray()
{
    const Value tables = Value::array(
        {table("People", {field("Name", "Text", {{DesignKey::HumanKey, 1}}), field("Pets", "Relationship")}),
         table("Pets", {field("Kind", "Options")})});
    const DesignCatalogue catalogue(tables);
    QCOMPARE(catalogue.tablesList(), (QStringList{"People", "Pets"}));
    QVERIFY(catalogue.tableDesign("Pets").isSameContainer(tables.at(1)));
    QVERIFY(catalogue.fieldForTable("People", "Pets").isSameContainer(tables.at(0).value("Fields").at(2)));
    QCOMPARE(catalogue.namesForTable("People"), (QStringList{"id", "Name"}));
    QCOMPARE(catalogue.relationshipNamesForTable("People"), QStringList{"Pets"});
    QCOMPARE(catalogue.allTypesForTable("People"), (QStringList{"Primary Key", "Text", "Relationship"}));
    QCOMPARE(catalogue.valuesOfKeyForTable(DesignKey::HumanKey, "People"), QList<Value>{Value(1)});
    QCOMPARE(catalogue.humanKeyForTable("People"), QStringLiteral("Name"));
    QCOMPARE(catalogue.humanKeyForTable("Pets"), QStringLiteral("Kind"));
    QVERIFY(catalogue.tableDesign("people").isNull()); // names are exact
    QVERIFY(catalogue.fieldForTable("Pets", "Name").isNull());
    QVERIFY(catalogue.typeForTable("Pets", "Name").isNull());
    QVERIFY(DesignCatalogue().tablesList().isEmpty());
}

void TestDesignCatalogue::datatypeOfField_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<int>("expected"); // a Datatype
    QTest::newRow("key") << "id" << int(Datatype::PrimaryKey);
    QTest::newRow("yes/no") << "Done" << int(Datatype::YesNo);
    QTest::newRow("file path") << "Where" << int(Datatype::FilePath);
    QTest::newRow("unknown type") << "Odd" << int(Datatype::Unknown);
    QTest::newRow("no such field") << "Nothing" << int(Datatype::Unknown);
}

void TestDesignCatalogue::datatypeOfField()
{
    QFETCH(QString, column);
    QFETCH(int, expected);
    const DesignCatalogue catalogue(
        Value::array({table("T", {field("Done", "Yes/No"), field("Where", "File Path"), field("Odd", "yes/no")})}));
    QCOMPARE(int(catalogue.datatypeForTable("T", column)), expected);
}

void TestDesignCatalogue::changesLandInTheSharedArray()
{
    Value tables = Value::array({table("A", {}), table("B", {})});
    DesignCatalogue catalogue(tables);
    const DesignCatalogue reader(tables);

    catalogue.createTableDesign(table("C", {}));
    QCOMPARE(reader.tablesList(), (QStringList{"A", "B", "C"}));

    const Value renamed = table("B2", {field("X", "Text")});
    catalogue.updateTableDesign("B", renamed);
    QCOMPARE(tables.size(), 3);
    QVERIFY(tables.at(1).isSameContainer(renamed)); // in place, keeping the order
    catalogue.updateTableDesign("Nowhere", table("D", {}));
    QCOMPARE(reader.tablesList(), (QStringList{"A", "B2", "C", "D"}));

    catalogue.deleteTableDesign("A");
    catalogue.deleteTableDesign("Nowhere");
    QCOMPARE(reader.tablesList(), (QStringList{"B2", "C", "D"}));
}

void TestDesignCatalogue::changesWithoutAnArrayDoNothing()
{
    DesignCatalogue catalogue{Value()};
    catalogue.createTableDesign(table("A", {}));
    catalogue.updateTableDesign("A", table("A", {}));
    catalogue.deleteTableDesign("A");
    QVERIFY(catalogue.tables().isNull());
    QVERIFY(catalogue.tablesList().isEmpty());
}

QTEST_GUILESS_MAIN(TestDesignCatalogue)
#include "test_design_catalogue.moc"
