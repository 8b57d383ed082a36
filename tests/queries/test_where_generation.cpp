// Tests of the WHERE generation: the fragment of every datatype and operator, quoting, joining and skipping
// incomplete conditions, the all/any choice, and what the clauses select in a real table.
#include "LMQueryFilterView.h"
#include "LMQueryOperators.h"
#include "LMQueryWhere.h"
#include "OXDatabase.h"
#include "TestEnvironment.h"
#include "support/QueryFixture.h"

#include <QtTest>

using namespace QueryFixture;

Q_DECLARE_METATYPE(QList<Value>)

class TestWhereGeneration : public QObject {
    Q_OBJECT
private slots:
    void operatorsPerDatatype_data();
    void operatorsPerDatatype();
    void conditionFragment_data();
    void conditionFragment();
    void joining_data();
    void joining();
    void viewAndClassOperationAgree();
    void clausesSelectRows_data();
    void clausesSelectRows();
    void yesNoWithoutValueIsNo();

private:
    TestEnvironment m_env;
};

void TestWhereGeneration::operatorsPerDatatype_data()
{
    QTest::addColumn<QString>("datatype");
    QTest::addColumn<QStringList>("operators");
    QTest::addColumn<int>("operandKind");
    using K = LMQueryOperators::OperandKind;
    const QStringList text{"is equal to", "is not equal to", "is case insensitive equal to",
                           "contains",    "starts with",     "ends with"};
    const QStringList number{"= equal to",     "≠ not equal to",          "< less than",
                             "> greater than", "≤ less than or equal to", "≥ greater than or equal to"};
    QTest::newRow("Text") << "Text" << text << int(K::Text);
    QTest::newRow("Options") << "Options" << text << int(K::Text);
    QTest::newRow("File Path") << "File Path"
                               << QStringList{"is equal to", "is case insensitive equal to", "contains", "starts with",
                                              "ends with"}
                               << int(K::Text);
    QTest::newRow("Number") << "Number" << number << int(K::Text);
    QTest::newRow("Primary Key") << "Primary Key" << number << int(K::Text);
    QTest::newRow("Date") << "Date" << QStringList{"is equal to", "is not equal to",       "is before",
                                                   "is after",    "is before or equal to", "is after or equal to"}
                          << int(K::Date);
    QTest::newRow("Yes/No") << "Yes/No" << QStringList{"is yes", "is no"} << int(K::None);
    QTest::newRow("List") << "List" << QStringList{"is equal to", "is not equal to"} << int(K::Tokens);
    for (const char *media : {"Image", "Audio", "Video", "Attachment", "Relationship", "Colour", ""})
        QTest::newRow(media) << media << QStringList() << int(K::None);
}

void TestWhereGeneration::operatorsPerDatatype()
{
    QFETCH(QString, datatype);
    QFETCH(QStringList, operators);
    QFETCH(int, operandKind);
    QCOMPARE(LMQueryOperators::operatorsForDatatype(datatype), operators);
    QCOMPARE(int(LMQueryOperators::operandKindForDatatype(datatype)), operandKind);
}

void TestWhereGeneration::conditionFragment_data()
{
    QTest::addColumn<QString>("datatype");
    QTest::addColumn<QString>("op");
    QTest::addColumn<Value>("operand");
    QTest::addColumn<QString>("sql");

    for (const char *type : {"Text", "Options"}) {
        const QString t = QString::fromLatin1(type);
        QTest::addRow("%s equal", type) << t << "is equal to" << Value("Ann") << "`T`.`F` ='Ann'";
        QTest::addRow("%s not equal", type) << t << "is not equal to" << Value("Ann") << "`T`.`F` <>'Ann'";
        QTest::addRow("%s case insensitive", type)
            << t << "is case insensitive equal to" << Value("Ann") << "`T`.`F` LIKE'Ann'";
        QTest::addRow("%s contains", type) << t << "contains" << Value("Ann") << "`T`.`F` LIKE'%Ann%'";
        QTest::addRow("%s starts with", type) << t << "starts with" << Value("Ann") << "`T`.`F` LIKE'Ann%'";
        QTest::addRow("%s ends with", type) << t << "ends with" << Value("Ann") << "`T`.`F` LIKE'%Ann'";
        QTest::addRow("%s unknown operator", type) << t << "is before" << Value("Ann") << "`T`.`F` =''";
    }
    QTest::newRow("File Path equal") << "File Path"
                                     << "is equal to" << Value("/a") << "`T`.`F` ='/a'";
    QTest::newRow("File Path case insensitive") << "File Path"
                                                << "is case insensitive equal to" << Value("/a") << "`T`.`F` LIKE'/a'";
    QTest::newRow("File Path contains") << "File Path"
                                        << "contains" << Value("/a") << "`T`.`F` LIKE'%/a%'";
    QTest::newRow("File Path starts with") << "File Path"
                                           << "starts with" << Value("/a") << "`T`.`F` LIKE'/a%'";
    QTest::newRow("File Path ends with") << "File Path"
                                         << "ends with" << Value("/a") << "`T`.`F` LIKE'%/a'";
    // Not offered for file paths, so it compares with nothing.
    QTest::newRow("File Path not equal") << "File Path"
                                         << "is not equal to" << Value("/a") << "`T`.`F` =''";

    for (const char *type : {"Number", "Primary Key"}) {
        const QString t = QString::fromLatin1(type);
        QTest::addRow("%s =", type) << t << "= equal to" << Value("5") << "`T`.`F` ='5'";
        QTest::addRow("%s ≠", type) << t << "≠ not equal to" << Value("5") << "`T`.`F` <>'5'";
        QTest::addRow("%s <", type) << t << "< less than" << Value("5") << "`T`.`F` <'5'";
        QTest::addRow("%s >", type) << t << "> greater than" << Value("5") << "`T`.`F` >'5'";
        QTest::addRow("%s ≤", type) << t << "≤ less than or equal to" << Value("5") << "`T`.`F` <='5'";
        QTest::addRow("%s ≥", type) << t << "≥ greater than or equal to" << Value("5") << "`T`.`F` >='5'";
        QTest::addRow("%s text operator", type) << t << "is equal to" << Value("5") << "`T`.`F` =''";
    }
    // Operators are matched exactly: an ASCII stand-in for "≤" is not the operator.
    QTest::newRow("Number ascii <=") << "Number"
                                     << "<= less than or equal to" << Value("5") << "`T`.`F` =''";

    const Value day = Value::date(86400.4);
    QTest::newRow("Date equal") << "Date"
                                << "is equal to" << day << "`T`.`F` ='86400'";
    QTest::newRow("Date not equal") << "Date"
                                    << "is not equal to" << day << "`T`.`F` <>'86400'";
    QTest::newRow("Date before") << "Date"
                                 << "is before" << day << "`T`.`F` <'86400'";
    QTest::newRow("Date after") << "Date"
                                << "is after" << Value::date(-0.6) << "`T`.`F` >'-1'";
    QTest::newRow("Date before or equal") << "Date"
                                          << "is before or equal to" << day << "`T`.`F` <='86400'";
    QTest::newRow("Date after or equal") << "Date"
                                         << "is after or equal to" << day << "`T`.`F` >='86400'";
    QTest::newRow("Date unknown operator") << "Date"
                                           << "contains" << day << "`T`.`F` ";

    QTest::newRow("Yes/No yes") << "Yes/No"
                                << "is yes" << Value() << "`T`.`F` ='1'";
    QTest::newRow("Yes/No no") << "Yes/No"
                               << "is no" << Value() << "`T`.`F` IS NOT '1'";
    QTest::newRow("Yes/No unknown operator") << "Yes/No"
                                             << "is equal to" << Value("1") << "`T`.`F` =''";

    const Value tokens = Value::array({"red", "light blue"});
    QTest::newRow("List equal") << "List"
                                << "is equal to" << tokens << "`T`.`F` ='red, light blue'";
    QTest::newRow("List not equal") << "List"
                                    << "is not equal to" << tokens << "`T`.`F` <>'red, light blue'";
    QTest::newRow("List one token") << "List"
                                    << "is equal to" << Value::array({"red"}) << "`T`.`F` ='red'";
    QTest::newRow("List typed text") << "List"
                                     << "is equal to" << Value("a, b") << "`T`.`F` ='a, b'";
    QTest::newRow("List contains") << "List"
                                   << "contains" << tokens << "`T`.`F` =''";

    for (const char *type : {"Image", "Audio", "Video", "Attachment", "Relationship", "Mystery"})
        QTest::addRow("%s", type) << QString::fromLatin1(type) << "is equal to" << Value("x") << "`T`.`F` =''";

    QTest::newRow("quote in text") << "Text"
                                   << "contains" << Value("O'Brien") << "`T`.`F` LIKE'%O''Brien%'";
    QTest::newRow("quotes only") << "Text"
                                 << "is equal to" << Value("''") << "`T`.`F` =''''''";
    QTest::newRow("quote in number") << "Number"
                                     << "< less than" << Value("1' OR '1'='1") << "`T`.`F` <'1'' OR ''1''=''1'";
    QTest::newRow("quote in token") << "List"
                                    << "is equal to" << Value::array({"it's", "b"}) << "`T`.`F` ='it''s, b'";
    QTest::newRow("percent and %1 stay") << "Text"
                                         << "starts with" << Value("50%1") << "`T`.`F` LIKE'50%1%'";
    QTest::newRow("empty operand") << "Text"
                                   << "is equal to" << Value("") << "`T`.`F` =''";
}

void TestWhereGeneration::conditionFragment()
{
    QFETCH(QString, datatype);
    QFETCH(QString, op);
    QFETCH(Value, operand);
    QFETCH(QString, sql);
    const Value c = condition("T", "F", datatype, op, operand);
    QVERIFY(LMQueryWhere::isComplete(c));
    QCOMPARE(LMQueryWhere::conditionSQL(c), sql);
    const Value definition = Value::dict({{"Parameters", Value::array({c})}});
    QCOMPARE(LMQueryWhere::whereSQLForQueryDictionary(definition), sql);
}

void TestWhereGeneration::joining_data()
{
    QTest::addColumn<QList<Value>>("conditions");
    QTest::addColumn<Value>("boolean");
    QTest::addColumn<QString>("sql");

    const Value a = condition("T", "A", "Text", "is equal to", Value("x"));
    const Value b = condition("T", "B", "Number", "> greater than", Value("2"));
    const Value yes = condition("T", "C", "Yes/No", "is yes");
    Value noOperand = condition("T", "D", "Text", "contains");
    Value noTable = condition("T", "A", "Text", "is equal to", Value("y"));
    noTable.remove("Table");
    Value noField = a.deepCopy();
    noField.remove("Field");
    Value noOp = a.deepCopy();
    noOp.remove("Compare Op");
    Value noType = a.deepCopy();
    noType.remove("Datatype");
    const Value empty = Value::dict({{"Type", Value("Parameters")}});
    const QString ab = "`T`.`A` ='x' AND `T`.`B` >'2'";

    QTest::newRow("ALL") << QList<Value>{a, b} << Value("ALL") << ab;
    QTest::newRow("all") << QList<Value>{a, b} << Value("all") << ab;
    QTest::newRow("absent") << QList<Value>{a, b} << Value() << ab;
    QTest::newRow("any") << QList<Value>{a, b} << Value("any") << "`T`.`A` ='x' OR `T`.`B` >'2'";
    QTest::newRow("ANY is not any") << QList<Value>{a, b} << Value("ANY") << ab;
    QTest::newRow("Any is not any") << QList<Value>{a, b} << Value("Any") << ab;
    QTest::newRow("any, last without operand") << QList<Value>{a, noOperand} << Value("any") << "`T`.`A` ='x'";
    QTest::newRow("all, last without operand") << QList<Value>{a, noOperand} << Value("all") << "`T`.`A` ='x'";
    QTest::newRow("skipped in the middle")
        << QList<Value>{empty, a, noOperand, noTable, b, empty} << Value("ALL") << ab;
    QTest::newRow("each missing key skips")
        << QList<Value>{noField, noOp, noType, noTable, b} << Value("any") << "`T`.`B` >'2'";
    QTest::newRow("yes/no needs no operand") << QList<Value>{yes, a} << Value("any") << "`T`.`C` ='1' OR `T`.`A` ='x'";
    QTest::newRow("nothing complete") << QList<Value>{empty, empty, noOperand} << Value("ALL") << "";
    QTest::newRow("no conditions") << QList<Value>{} << Value("any") << "";
}

void TestWhereGeneration::joining()
{
    QFETCH(QList<Value>, conditions);
    QFETCH(Value, boolean);
    QFETCH(QString, sql);
    QCOMPARE(LMQueryWhere::whereSQL(conditions, boolean.toString()), sql);
    Value parameters = Value::array();
    for (const Value &c : conditions)
        parameters.append(c);
    Value definition = Value::dict({{"Parameters", parameters}});
    if (!boolean.isNull())
        definition.set("Parameter Boolean", boolean);
    QCOMPARE(LMQueryFilterView::whereSQLForQueryDictionary(definition), sql);
}

void TestWhereGeneration::viewAndClassOperationAgree()
{
    // The filter writes its own table into every condition when it loads them; after that the clause of the
    // rows shown and the clause of the stored definition are the same text.
    Value noTable = condition("Elsewhere", "A", "Text", "is equal to", Value("y"));
    noTable.remove("Table");
    Value definition =
        Value::dict({{"Parameters", Value::array({condition("Elsewhere", "A", "Text", "contains", Value("x")),
                                                  Value::dict({{"Type", Value("Parameters")}}), noTable,
                                                  condition("T", "C", "Yes/No", "is no")})},
                     {"Parameter Boolean", Value("any")}});
    LMQueryFilterView view(nullptr, "T", definition);
    QVERIFY(view.dictionary().isSameContainer(definition));
    const QString expected = "`T`.`A` LIKE'%x%' OR `T`.`A` ='y' OR `T`.`C` IS NOT '1'";
    QCOMPARE(view.whereClause(), expected);
    QCOMPARE(LMQueryFilterView::whereSQLForQueryDictionary(definition), expected);

    // The grid's restriction follows the open state and never leaves a bare WHERE.
    QCOMPARE(view.whereQuery(), QString());
    view.open();
    QCOMPARE(view.whereQuery(), " WHERE " + expected + " ");
    QCOMPARE(view.LMGridFilter::whereClause(), expected);
    LMQueryFilterView empty(nullptr, "T");
    empty.open();
    QCOMPARE(empty.whereClause(), QString());
    QCOMPARE(empty.whereQuery(), QString());
}

void TestWhereGeneration::clausesSelectRows_data()
{
    QTest::addColumn<QList<Value>>("conditions");
    QTest::addColumn<QString>("boolean");
    QTest::addColumn<QStringList>("ids");

    auto c = [](const QString &field, const QString &type, const QString &op, const Value &operand = Value()) {
        return condition("People", field, type, op, operand);
    };
    const Value born = Value::date(700000000);
    QTest::newRow("text equal") << QList<Value>{c("Name", "Text", "is equal to", "Ann")} << "" << QStringList{"1"};
    QTest::newRow("text case insensitive")
        << QList<Value>{c("Name", "Text", "is case insensitive equal to", "ANN")} << "" << QStringList{"1"};
    QTest::newRow("text contains") << QList<Value>{c("Name", "Text", "contains", "nn")} << "" << QStringList{"1", "3"};
    QTest::newRow("text starts with quote")
        << QList<Value>{c("Name", "Text", "starts with", "O'")} << "" << QStringList{"2"};
    QTest::newRow("text ends with") << QList<Value>{c("Name", "Text", "ends with", "a")} << "" << QStringList{"3"};
    QTest::newRow("options") << QList<Value>{c("Kind", "Options", "is not equal to", "Work")} << ""
                             << QStringList{"1", "3"};
    QTest::newRow("file path") << QList<Value>{c("Path", "File Path", "starts with", "/home/")} << ""
                               << QStringList{"1"};
    QTest::newRow("number greater") << QList<Value>{c("Age", "Number", "> greater than", "10")} << ""
                                    << QStringList{"1", "2"};
    QTest::newRow("number fraction") << QList<Value>{c("Age", "Number", "= equal to", "45.5")} << ""
                                     << QStringList{"2"};
    QTest::newRow("number at most") << QList<Value>{c("Age", "Number", "≤ less than or equal to", "30")} << ""
                                    << QStringList{"1", "3"};
    QTest::newRow("primary key") << QList<Value>{c("id", "Primary Key", "< less than", "3")} << ""
                                 << QStringList{"1", "2"};
    QTest::newRow("date equal") << QList<Value>{c("Born", "Date", "is equal to", born)} << "" << QStringList{"1"};
    QTest::newRow("date after") << QList<Value>{c("Born", "Date", "is after", born)} << "" << QStringList{"2"};
    QTest::newRow("yes") << QList<Value>{c("Member", "Yes/No", "is yes")} << "" << QStringList{"1", "3"};
    QTest::newRow("no") << QList<Value>{c("Member", "Yes/No", "is no")} << "" << QStringList{"2"};
    QTest::newRow("list equal") << QList<Value>{c("Tags", "List", "is equal to", Value::array({"red", "blue"}))} << ""
                                << QStringList{"1"};
    QTest::newRow("list not equal") << QList<Value>{c("Tags", "List", "is not equal to", Value::array({"green"}))} << ""
                                    << QStringList{"1", "3"};
    QTest::newRow("all") << QList<Value>{c("Member", "Yes/No", "is yes"), c("Age", "Number", "> greater than", "10")}
                         << "all" << QStringList{"1"};
    QTest::newRow("any") << QList<Value>{c("Name", "Text", "is equal to", "anna"), c("Member", "Yes/No", "is no")}
                         << "any" << QStringList{"2", "3"};
    QTest::newRow("media compares with empty")
        << QList<Value>{c("Photo", "Image", "is equal to", "x")} << "" << QStringList{"1", "2", "3"};
}

void TestWhereGeneration::clausesSelectRows()
{
    QFETCH(QList<Value>, conditions);
    QFETCH(QString, boolean);
    QFETCH(QStringList, ids);
    QString error;
    std::unique_ptr<MyDocument> document = newDocument({peopleDesign()}, &error);
    QVERIFY2(document, qPrintable(error));
    const Value born = Value::date(700000000);
    QCOMPARE(addPerson(*document, {{"Name", "Ann"},
                                   {"Kind", "Friend"},
                                   {"Path", "/home/ann/a.txt"},
                                   {"Age", 30.0},
                                   {"Born", born},
                                   {"Member", true},
                                   {"Tags", Value::array({"red", "blue"})}}),
             QString("1"));
    QCOMPARE(addPerson(*document, {{"Name", "O'Brien"},
                                   {"Kind", "Work"},
                                   {"Path", "/tmp/b"},
                                   {"Age", 45.5},
                                   {"Born", Value::date(700086400)},
                                   {"Member", false},
                                   {"Tags", Value::array({"green"})}}),
             QString("2"));
    QCOMPARE(
        addPerson(
            *document,
            {{"Name", "anna"}, {"Kind", "Family"}, {"Age", 7.0}, {"Born", Value::date(600000000)}, {"Member", true}}),
        QString("3"));
    QCOMPARE(idsWhere(*document, "People", LMQueryWhere::whereSQL(conditions, boolean)), ids);
}

void TestWhereGeneration::yesNoWithoutValueIsNo()
{
    QString error;
    std::unique_ptr<MyDocument> document = newDocument({peopleDesign()}, &error);
    QVERIFY2(document, qPrintable(error));
    QCOMPARE(addPerson(*document, {{"Member", true}}), QString("1"));
    QCOMPARE(addPerson(*document, {{"Member", false}}), QString("2"));
    // Never set: the column's empty default; and a NULL written by other programs.
    QCOMPARE(addPerson(*document, {}), QString("3"));
    QCOMPARE(addPerson(*document, {}), QString("4"));
    document->database()->performQuery("UPDATE `People` SET `Member` = NULL WHERE `id` = 4");
    const auto where = [&](const QString &op) {
        return idsWhere(*document, "People", LMQueryWhere::whereSQL({condition("People", "Member", "Yes/No", op)}, ""));
    };
    QCOMPARE(where("is yes"), QStringList({"1"}));
    QCOMPARE(where("is no"), QStringList({"2", "3", "4"}));
}

QTEST_MAIN(TestWhereGeneration)
#include "test_where_generation.moc"
