// Tests of the table design model: lookups, the human key, design changes, table creation and formatting.
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

// The field of table "T" that documentWithField gives the type: "id" for the primary key, else "F".
QString fieldFor(const QString &type)
{
    return type == QLatin1String("Primary Key") ? "id" : "F";
}

// A document holding table "T" with a field of the type and extra keys given (a table has one primary key,
// so for that type the keys go onto "id").
std::unique_ptr<MyDocument> documentWithField(const QString &type, const Value &extra)
{
    Value design = table("T", {});
    Value f = design.value("Fields").at(0);
    if (fieldFor(type) == QLatin1String("F")) {
        f = DesignFixture::field("F", type);
        design.value("Fields").append(f);
    }
    for (const QString &key : extra.keys())
        f.set(key, extra.value(key));
    return newDocumentWithTable(design);
}
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
    void formatting_data();
    void formatting();
    void formatterKinds();
    void removeFormatting_data();
    void removeFormatting();

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

void TestDesignModel::formatting_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<Value>("extra");
    QTest::addColumn<Value>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("attributed");
    const Value none = Value::dict();
    const auto with = [](std::initializer_list<std::pair<QString, Value>> e) { return Value::dict(e); };
    QTest::newRow("nil") << "Text" << none << Value() << "" << false;
    QTest::newRow("text") << "Text" << none << Value("abc") << "abc" << true;
    QTest::newRow("text given a number") << "Text" << none << Value(5) << "" << false;
    QTest::newRow("primary key") << "Primary Key" << none << Value("7") << "7" << false;
    QTest::newRow("number plain") << "Number" << none << Value(2.5) << "2.5" << true;
    QTest::newRow("number from string") << "Number" << none << Value("3") << "3" << true;
    QTest::newRow("number pattern") << "Number" << with({{"Format", "0.000"}}) << Value(2.5) << "2.500" << true;
    QTest::newRow("number given an image")
        << "Number" << none << Value(QImage(1, 1, QImage::Format_RGB32)) << "" << false;
    QTest::newRow("date pattern") << "Date" << with({{"Date Format", "yyyy-MM-dd"}}) << Value::date(0) << "2001-01-01"
                                  << true;
    QTest::newRow("date from stored text")
        << "Date" << with({{"Date Format", "yyyy-MM-dd"}}) << Value("86400") << "2001-01-02" << true;
    QTest::newRow("yes") << "Yes/No" << with({{"Yes Value", "Ja"}, {"No Value", "Nein"}}) << Value(true) << "Ja"
                         << true;
    QTest::newRow("no") << "Yes/No" << with({{"Yes Value", "Ja"}, {"No Value", "Nein"}}) << Value(false) << "Nein"
                        << true;
    QTest::newRow("yes from text") << "Yes/No" << none << Value("1") << "Yes" << true;
    QTest::newRow("list separator") << "List" << with({{"List Separator", " | "}}) << Value(QStringList{"a", "b"})
                                    << "a | b" << true;
    QTest::newRow("list default separator") << "List" << none << Value(QStringList{"a", "b"}) << "a, b" << true;
    QTest::newRow("options") << "Options" << none << Value("Red") << "Red" << true;
    QTest::newRow("image") << "Image" << none << Value(QImage(1, 1, QImage::Format_RGB32)) << "<image>" << false;
    QTest::newRow("audio") << "Audio" << none << Value::object("OXMovie") << "<audio>" << false;
    QTest::newRow("video") << "Video" << none << Value::object("OXMovie") << "<video>" << false;
    QTest::newRow("attachment") << "Attachment" << none << Value::object("HVFileWrapper") << "<attachment>" << false;
    QTest::newRow("file path") << "File Path" << none << Value("/tmp/x") << "/tmp/x" << false;
    QTest::newRow("relationship") << "Relationship" << none << Value("1, 2") << "1, 2" << false;
    QTest::newRow("file path given a number") << "File Path" << none << Value(3.5) << "3.5" << false;
    QTest::newRow("file path given an array") << "File Path" << none << Value(QStringList{"a"}) << "(a)" << false;
}

void TestDesignModel::formatting()
{
    QFETCH(QString, type);
    QFETCH(Value, extra);
    QFETCH(Value, value);
    QFETCH(QString, text);
    QFETCH(bool, attributed);
    extra.set("Text Attributes", kAttributes);
    std::unique_ptr<MyDocument> doc = documentWithField(type, extra);
    QVERIFY(doc);
    const FormattedText result = doc->database()->addFormattingToObject(value, "T", fieldFor(type));
    QCOMPARE(result.text, text);
    QCOMPARE(result.hasAttributes(), attributed);
    if (attributed)
        QCOMPARE(result.attributes, kAttributes);
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

void TestDesignModel::removeFormatting_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<Value>("extra");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Value>("expected");
    const Value none = Value::dict();
    const auto with = [](std::initializer_list<std::pair<QString, Value>> e) { return Value::dict(e); };
    QTest::newRow("text") << "Text" << none << "a, b" << Value("a, b");
    QTest::newRow("primary key") << "Primary Key" << none << "5" << Value("5");
    QTest::newRow("number") << "Number" << none << "2.5" << Value(2.5);
    QTest::newRow("number pattern") << "Number" << with({{"Format", "0.000"}}) << "2.500" << Value(2.5);
    QTest::newRow("number unreadable") << "Number" << none << "abc" << Value();
    QTest::newRow("date pattern") << "Date" << with({{"Date Format", "yyyy-MM-dd"}}) << "2001-01-02"
                                  << Value::date(86400);
    QTest::newRow("date unreadable") << "Date" << with({{"Date Format", "yyyy-MM-dd"}}) << "soon" << Value();
    QTest::newRow("yes value") << "Yes/No" << with({{"Yes Value", "Ja"}}) << "Ja" << Value(true);
    QTest::newRow("yes value is exact") << "Yes/No" << with({{"Yes Value", "Ja"}}) << "ja" << Value(false);
    QTest::newRow("other text is false") << "Yes/No" << with({{"Yes Value", "Ja"}}) << "Yes" << Value(false);
    QTest::newRow("list separator") << "List" << with({{"List Separator", " | "}}) << "a | b, c"
                                    << Value(QStringList{"a", "b, c"});
    QTest::newRow("options") << "Options" << none << "Red" << Value("Red");
    QTest::newRow("file path") << "File Path" << none << "/x" << Value("/x");
}

void TestDesignModel::removeFormatting()
{
    QFETCH(QString, type);
    QFETCH(Value, extra);
    QFETCH(QString, text);
    QFETCH(Value, expected);
    std::unique_ptr<MyDocument> doc = documentWithField(type, extra);
    QVERIFY(doc);
    QCOMPARE(doc->database()->removeFormattingFromString(text, "T", fieldFor(type)), expected);
}

QTEST_MAIN(TestDesignModel)
#include "test_design_model.moc"
