// Tests of the table design model: lookups, the human key, design changes, table creation and formatters.
#include "DesignFixture.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"
#include "TestEnvironment.h"

#include <QtTest>

using namespace DesignFixture;

namespace {
const Value kAttributes = Value::dict({{"Font", Value("Helvetica 12")}, {"Colour", Value("red")}});
} // namespace

class TestDesignModel : public QObject {
    Q_OBJECT
private slots:
    void lookups();
    void noDocumentMeansNoDesign();
    void humanKey_data();
    void humanKey();
    void designChanges();
    void createTableFromDesignSql();
    void createTableFromDesignRefusals_data();
    void createTableFromDesignRefusals();
    void formatterKinds();

private:
    TestEnvironment m_env;
};

void TestDesignModel::lookups()
{
    Value age = DesignFixture::field("Age", "Number", {{"Unique", true}});
    age.remove("Check");
    const Value design = table("People", {DesignFixture::field("Name", "Text", {{"Regex", "^[A-Z]"}}),
                                          DesignFixture::field("Friends", "Relationship"), age});
    QString error;
    std::unique_ptr<MyDocument> doc = newDocumentWithTable(design, &error);
    QVERIFY2(doc, qPrintable(error));
    OXDatabase *db = doc->database();

    QVERIFY(db->design().isSameContainer(doc->tables()));
    QCOMPARE(db->tablesList(), QStringList{"People"});
    QCOMPARE(db->namesForTable("People"), (QStringList{"id", "Name", "Age"}));
    QCOMPARE(db->columnNamesForTable("People"), (QStringList{"id", "Name", "Age"}));
    QCOMPARE(db->allNamesForTable("People"), (QStringList{"id", "Name", "Friends", "Age"}));
    QCOMPARE(db->relationshipNamesForTable("People"), QStringList{"Friends"});
    QCOMPARE(db->typesForTable("People"), (QStringList{"Primary Key", "Text", "Number"}));
    QCOMPARE(db->allTypesForTable("People"), (QStringList{"Primary Key", "Text", "Relationship", "Number"}));
    QCOMPARE(db->uniquesForTable("People"), (QList<Value>{true, false, false, true}));
    // "Age" has no "Check" key and is skipped.
    QCOMPARE(db->checksForTable("People").size(), 3);
    QCOMPARE(db->regexesForTable("People"), (QList<Value>{"", "^[A-Z]", "", ""}));

    QCOMPARE(db->typeForTable("People", "Age"), QStringLiteral("Number"));
    QVERIFY(db->typeForTable("People", "Nobody").isNull());
    QVERIFY(db->typeForTable("Nowhere", "Age").isNull());
    QCOMPARE(db->regexForTable("People", "Name"), Value("^[A-Z]"));
    QCOMPARE(db->uniqueForTable("People", "Age"), Value(true));
    QVERIFY(db->checkForTable("People", "Age").isNull());
    QCOMPARE(db->objectForKey("Yes Value", "People", "Name"), Value("Yes"));
    QVERIFY(db->notNullForTable("People", "age").isNull()); // names are exact
    QVERIFY(db->namesForTable("Nowhere").isEmpty());
    QVERIFY(db->uniquesForTable("Nowhere").isEmpty());
}

void TestDesignModel::noDocumentMeansNoDesign()
{
    OXDatabase db(m_env.path("alone.db"));
    QVERIFY(db.design().isArray());
    QCOMPARE(db.design().size(), 0);
    QVERIFY(db.tablesList().isEmpty());
    QVERIFY(db.window() == nullptr);
    QCOMPARE(db.humanKeyForTable("T"), QStringLiteral("id"));
}

void TestDesignModel::humanKey_data()
{
    QTest::addColumn<Value>("fields"); // each: [name, type] or [name, type, HumanKey]
    QTest::addColumn<QString>("expected");
    const auto f = [](std::initializer_list<Value> items) { return Value::array(items); };
    QTest::newRow("contains Name") << f({f({"First Name", "Text"}), f({"Age", "Number"})}) << "First Name";
    QTest::newRow("only id") << f({}) << "id";
    QTest::newRow("exact Name beats Title") << f({f({"Title", "Text"}), f({"name", "Text"})}) << "name";
    QTest::newRow("exact Surname beats contains Name")
        << f({f({"Full Name", "Text"}), f({"Surname", "Text"})}) << "Surname";
    QTest::newRow("exact Title beats contains Name") << f({f({"Nickname", "Text"}), f({"TITLE", "Text"})}) << "TITLE";
    QTest::newRow("contains Title") << f({f({"Age", "Number"}), f({"Book title", "Text"})}) << "Book title";
    QTest::newRow("second field") << f({f({"Age", "Number"}), f({"Colour", "Text"})}) << "Age";
    QTest::newRow("relationships do not count") << f({f({"Name", "Relationship"}), f({"Age", "Number"})}) << "Age";
    QTest::newRow("HumanKey wins") << f({f({"Name", "Text"}), f({"Age", "Number", 1})}) << "Age";
    QTest::newRow("HumanKey on a relationship") << f({f({"Name", "Text"}), f({"Link", "Relationship", 1})}) << "Link";
    QTest::newRow("HumanKey must be 1") << f({f({"Name", "Text"}), f({"Age", "Number", 2})}) << "Name";
}

void TestDesignModel::humanKey()
{
    QFETCH(Value, fields);
    QFETCH(QString, expected);
    QList<Value> list;
    for (const Value &entry : fields.toList()) {
        Value f = DesignFixture::field(entry.at(0).toString(), entry.at(1).toString());
        if (entry.size() > 2)
            f.set("HumanKey", entry.at(2));
        list << f;
    }
    std::unique_ptr<MyDocument> doc = newDocumentWithTable(table("T", list));
    QVERIFY(doc);
    QCOMPARE(doc->database()->humanKeyForTable("T"), expected);
}

void TestDesignModel::designChanges()
{
    std::unique_ptr<MyDocument> doc = MyDocument::createNew();
    QVERIFY(doc);
    OXDatabase *db = doc->database();
    const Value a = table("A", {}), b = table("B", {}), c = table("C", {});
    db->createTableDesign(a);
    db->createTableDesign(b);
    QCOMPARE(doc->tables().size(), 2);
    QVERIFY(doc->tables().at(0).isSameContainer(a));

    const Value renamed = table("B2", {DesignFixture::field("X", "Text")});
    db->updateTableDesign("B", renamed);
    QCOMPARE(db->tablesList(), (QStringList{"A", "B2"}));
    QVERIFY(doc->tables().at(1).isSameContainer(renamed));
    db->updateTableDesign("Missing", c); // no such design: appended
    QCOMPARE(db->tablesList(), (QStringList{"A", "B2", "C"}));

    db->deleteTableDesign("A");
    QCOMPARE(db->tablesList(), (QStringList{"B2", "C"}));
    db->deleteTableDesign("Missing");
    QCOMPARE(db->tablesList(), (QStringList{"B2", "C"}));
}

void TestDesignModel::createTableFromDesignSql()
{
    std::unique_ptr<MyDocument> doc = MyDocument::createNew();
    QVERIFY(doc);
    OXDatabase *db = doc->database();
    const Value design = table(
        "Stock", {DesignFixture::field("Name", "Text", {{"Default", "it's"}}),
                  DesignFixture::field("Count", "Number", {{"Default", "5"}}), DesignFixture::field("When", "Date"),
                  DesignFixture::field("Price", "Number"), DesignFixture::field("Ok", "Yes/No", {{"Default", "Yes"}}),
                  DesignFixture::field("Pic", "Image"), DesignFixture::field("Links", "Relationship")});
    QVERIFY(db->createTableFromDesign(design));
    QCOMPARE(db->lastErrorID(), 0);
    // Creating the table does not add the design.
    QVERIFY(db->tablesList().isEmpty());

    const std::shared_ptr<QLiteCursor> cursor =
        db->executeQuery("SELECT sql FROM sqlite_master WHERE tbl_name = 'Stock' AND type = 'table'");
    QVERIFY(cursor);
    QCOMPARE(cursor->rowCount(), 1u);
    QCOMPARE(
        cursor->rowAtIndex(0)->stringForColumn("sqlite_master.sql"),
        QStringLiteral(
            "CREATE TABLE `Stock` (`id` INTEGER PRIMARY KEY AUTOINCREMENT DEFAULT '' ,"
            "`Name` TEXT DEFAULT 'it''s' ,`Count` REAL DEFAULT '5' ,`When` REAL DEFAULT '' ,"
            "`Price` REAL DEFAULT '' ,`Ok` INTEGER DEFAULT '1' ,`Pic` TEXT DEFAULT '' ,`Links` TEXT DEFAULT '' )"));

    // A known design name is refused without touching SQLite.
    db->createTableDesign(design);
    QVERIFY(!db->createTableFromDesign(table("Stock", {DesignFixture::field("Other", "Text")})));
    QCOMPARE(db->lastErrorID(), 0);
}

void TestDesignModel::createTableFromDesignRefusals_data()
{
    QTest::addColumn<Value>("design");
    QTest::newRow("unknown type") << table("T", {DesignFixture::field("X", "Blob")});
    QTest::newRow("empty field name") << table("T", {DesignFixture::field("", "Text")});
    QTest::newRow("empty field") << table("T", {Value::dict()});
    QTest::newRow("missing field") << table("T", {Value()});
}

void TestDesignModel::createTableFromDesignRefusals()
{
    QFETCH(Value, design);
    std::unique_ptr<MyDocument> doc = MyDocument::createNew();
    QVERIFY(doc);
    QVERIFY(!doc->database()->createTableFromDesign(design));
    QVERIFY(!doc->database()->tables().contains("T"));
}

void TestDesignModel::formatterKinds()
{
    std::unique_ptr<MyDocument> doc =
        newDocumentWithTable(table("T", {DesignFixture::field("N", "Number"), DesignFixture::field("D", "Date"),
                                         DesignFixture::field("S", "Text", {{"Text Attributes", kAttributes}})}));
    QVERIFY(doc);
    OXDatabase *db = doc->database();
    QVERIFY(db->formatterForTable("T", "N").number);
    QVERIFY(db->formatterForTable("T", "D").date);
    QVERIFY(db->formatterForTable("T", "S").isNull());
    QVERIFY(db->formatterForTable("T", "Missing").isNull());
    QCOMPARE(db->textFormatString("hello", "T", "S"), (FormattedText{"hello", kAttributes}));
    QCOMPARE(db->textFormatString("hello", "T", "N"), (FormattedText{"hello", Value()}));
}

QTEST_MAIN(TestDesignModel)
#include "test_design_model.moc"
