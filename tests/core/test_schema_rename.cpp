// Tests of field and table renames with the designs that name them, the rename broadcast and the name rules.
#include "DesignFixture.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "SchemaNameRules.h"
#include "TestEnvironment.h"

#include <QtTest>

using namespace DesignFixture;

namespace {
const QString kUnsuitableTable = QStringLiteral(
    "Tables names may only contain letters, numbers, spaces, underscores and hyphens. Please choose another.");
const QString kTableTaken = QStringLiteral("This name is already in use by another table. Please choose another.");
const QString kUnsuitableField =
    QStringLiteral("Field names may only contain letters, numbers, spaces, underscores and hyphens. Empty names will "
                   "be ignored. Please choose another.");
const QString kFieldTaken = QStringLiteral("This name is already in use by another field. Please choose another.");

struct RecordingHost : DocumentViewHost {
    struct Rename {
        QString type, oldName, newName; // type: the kind's broadcast word
        const void *sender;
    };
    QList<Rename> renames;
    void cleanUpAllViews() override {}
    void broadcastRename(ItemKind kind, const QString &oldName, const QString &newName, const void *sender) override
    {
        renames.append({ItemKinds::type(kind), oldName, newName, sender});
    }
    void broadcastDelete(ItemKind, const QString &) override {}
    QStringList openTabIdentifiers() const override { return {}; }
    void refreshAllViews() override {}
    void reloadSourceList() override {}
};

Value entry(const QString &type, const QString &table, const QString &field)
{
    return Value::dict({{"Type", Value(type)}, {"Table", Value(table)}, {"Field", Value(field)}});
}

Value line(const QString &startTable, const QString &startField, const QString &endTable, const QString &endField)
{
    Value record = Value::dict({{"Relationship Type", Value("0")},
                                {"Ends In Table", Value(endField.isEmpty() ? "1" : "0")},
                                {"Start Table", Value(startTable)},
                                {"Start Field", Value(startField)},
                                {"End Table", Value(endTable)}});
    if (!endField.isEmpty())
        record.set("End Field", endField);
    return record;
}
} // namespace

class TestSchemaRename : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void renameFieldRewritesLinesAndQueries();
    void commitRenamesDependentsOfRenamedFields();
    void renameTableRewritesEveryDesign();
    void renameTableOnlyChangesLetterCase();
    void renameTableRefused_data();
    void renameTableRefused();
    void renameTableThatSqliteLacksChangesNothing();
    void tableNameRules_data();
    void tableNameRules();
    void fieldNameRules_data();
    void fieldNameRules();

private:
    OXDatabase *db() const { return m_doc->database(); }
    Value lines() const { return m_doc->relationships().value("Lines"); }
    Value query() const { return m_doc->queries().at(0); }

    TestEnvironment m_env;
    std::unique_ptr<MyDocument> m_doc;
    RecordingHost m_host;
};

void TestSchemaRename::init()
{
    QString error;
    m_doc = newDocumentWithTable(
        table("People", {field("Name", "Text"), field("Employer", "Relationship"), field("Owns", "Relationship")}),
        &error);
    QVERIFY2(m_doc, qPrintable(error));
    const Value companies =
        table("Companies", {field("Name", "Text"), field("Staff", "Relationship"), field("Owner", "Relationship")});
    QVERIFY(db()->createTableFromDesign(companies));
    db()->createTableDesign(companies);
    QCOMPARE(insertRow(*m_doc, "People"), QStringLiteral("1"));
    db()->performQuery("UPDATE People SET Name='Ada' WHERE id=1");

    Value relationships = m_doc->relationships();
    relationships.set("Boxes",
                      Value::array({Value::dict({{"Name", Value("People")}, {"x", Value(10)}, {"y", Value(20)}}),
                                    Value::dict({{"Name", Value("Companies")}, {"x", Value(200)}, {"y", Value(20)}})}));
    relationships.set("Lines", Value::array({line("People", "Employer", "Companies", "Staff"),
                                             line("Companies", "Owner", "People", "Owns"),
                                             line("Companies", "Name", "Companies", "")}));
    m_doc->queries().append(Value::dict(
        {{"Name", Value("Adults")},
         {"Table Name", Value("People")},
         {"Displays", Value::array({entry("Displays", "People", "Name"), entry("Displays", "Companies", "Name"),
                                    entry("Displays", "People", "Employer")})},
         {"Parameters",
          Value::array({entry("Parameters", "People", "Name"), entry("Parameters", "Companies", "Name")})}}));
    m_doc->queries().append(Value::dict({{"Name", Value("Firms")}, {"Table Name", Value("Companies")}}));
    m_doc->forms().append(Value::dict({{"Name", Value("People form")}, {"Content Table", Value("People")}}));
    m_doc->forms().append(Value::dict({{"Name", Value("Company form")}, {"Content Table", Value("Companies")}}));
    m_doc->reports().append(Value::dict({{"Name", Value("Letters")}, {"Content Table", Value("People")}}));
    m_doc->reports().append(Value::dict({{"Name", Value("Other")}, {"Content Table", Value("None")}}));
    m_doc->setViewHost(&m_host);
    m_host.renames.clear();
    m_doc->setChanged(false);
}

void TestSchemaRename::cleanup()
{
    if (m_doc)
        m_doc->setViewHost(nullptr);
    m_doc.reset();
}

void TestSchemaRename::renameFieldRewritesLinesAndQueries()
{
    db()->renameField("Employer", "Works At", "People");
    db()->renameField("Owns", "Holds", "People");
    db()->renameField("Name", "Full Name", "People");

    QCOMPARE(lines().at(0), line("People", "Works At", "Companies", "Staff"));
    QCOMPARE(lines().at(1), line("Companies", "Owner", "People", "Holds"));
    QCOMPARE(lines().at(2), line("Companies", "Name", "Companies", ""));
    QCOMPARE(query().value("Displays"),
             Value::array({entry("Displays", "People", "Full Name"), entry("Displays", "Companies", "Name"),
                           entry("Displays", "People", "Works At")}));
    QCOMPARE(query().value("Parameters"),
             Value::array({entry("Parameters", "People", "Full Name"), entry("Parameters", "Companies", "Name")}));
    // Renaming a field changes no table names.
    QCOMPARE(query().value("Table Name"), Value("People"));
}

void TestSchemaRename::commitRenamesDependentsOfRenamedFields()
{
    LMTableDesignCommit commit = LMTableDesignCommit::forDesign(db()->tableDesign("Companies"));
    commit.schema.at(2).set("Name", "Employees");
    commit.columnMapLeft[2] = "Employees";
    QCOMPARE(db()->commitTableRevised(commit), LMTableDesignCommit::Result::Committed);
    QCOMPARE(lines().at(0), line("People", "Employer", "Companies", "Employees"));
    QCOMPARE(lines().at(1), line("Companies", "Owner", "People", "Owns"));

    commit.schema.at(1).set("Name", "Title");
    commit.columnMapLeft[1] = "Title";
    QCOMPARE(db()->commitTableRevised(commit), LMTableDesignCommit::Result::Committed);
    QCOMPARE(query().value("Displays").at(1), entry("Displays", "Companies", "Title"));
    QCOMPARE(query().value("Displays").at(0), entry("Displays", "People", "Name"));
    QCOMPARE(lines().at(2), line("Companies", "Title", "Companies", ""));
}

void TestSchemaRename::renameTableRewritesEveryDesign()
{
    const int sender = 0;
    QVERIFY(!db()->renameTable("People", "Persons", &sender));

    QCOMPARE(db()->tables().contains("Persons"), true);
    QCOMPARE(db()->tables().contains("People"), false);
    QCOMPARE(cellText(*m_doc, "Persons", "Name", "1"), QStringLiteral("Ada"));
    QCOMPARE(db()->tablesList(), QStringList({"Persons", "Companies"}));
    QCOMPARE(db()->allNamesForTable("Persons"), QStringList({"id", "Name", "Employer", "Owns"}));

    const Value boxes = m_doc->relationships().value("Boxes");
    QCOMPARE(boxes.at(0).value("Name"), Value("Persons"));
    QCOMPARE(boxes.at(0).value("x"), Value(10));
    QCOMPARE(boxes.at(1).value("Name"), Value("Companies"));
    QCOMPARE(lines().at(0), line("Persons", "Employer", "Companies", "Staff"));
    QCOMPARE(lines().at(1), line("Companies", "Owner", "Persons", "Owns"));
    QCOMPARE(lines().at(2), line("Companies", "Name", "Companies", ""));

    QCOMPARE(m_doc->forms().at(0).value("Content Table"), Value("Persons"));
    QCOMPARE(m_doc->forms().at(1).value("Content Table"), Value("Companies"));
    QCOMPARE(m_doc->reports().at(0).value("Content Table"), Value("Persons"));
    QCOMPARE(m_doc->reports().at(1).value("Content Table"), Value("None"));
    QCOMPARE(query().value("Table Name"), Value("Persons"));
    QCOMPARE(query().value("Displays"),
             Value::array({entry("Displays", "Persons", "Name"), entry("Displays", "Companies", "Name"),
                           entry("Displays", "Persons", "Employer")}));
    QCOMPARE(query().value("Parameters"),
             Value::array({entry("Parameters", "Persons", "Name"), entry("Parameters", "Companies", "Name")}));
    QCOMPARE(m_doc->queries().at(1).value("Table Name"), Value("Companies"));

    QCOMPARE(m_host.renames.size(), 1);
    QCOMPARE(m_host.renames.at(0).type, QStringLiteral("Table"));
    QCOMPARE(m_host.renames.at(0).oldName, QStringLiteral("People"));
    QCOMPARE(m_host.renames.at(0).newName, QStringLiteral("Persons"));
    QCOMPARE(m_host.renames.at(0).sender, static_cast<const void *>(&sender));
    QVERIFY(m_doc->isChanged());
}

void TestSchemaRename::renameTableOnlyChangesLetterCase()
{
    QVERIFY(!db()->renameTable("People", "PEOPLE"));
    QCOMPARE(db()->tablesList(), QStringList({"PEOPLE", "Companies"}));
    QCOMPARE(cellText(*m_doc, "PEOPLE", "Name", "1"), QStringLiteral("Ada"));
    QCOMPARE(m_doc->forms().at(0).value("Content Table"), Value("PEOPLE"));
}

void TestSchemaRename::renameTableRefused_data()
{
    QTest::addColumn<QString>("newName");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("informative");
    QTest::newRow("slash") << "People/2"
                           << "Unsuitable Characters" << kUnsuitableTable;
    QTest::newRow("back quote") << "Pe`ople"
                                << "Unsuitable Characters" << kUnsuitableTable;
    QTest::newRow("empty") << ""
                           << "Unsuitable Characters" << kUnsuitableTable;
    QTest::newRow("None") << "None"
                          << "Unsuitable Characters" << kUnsuitableTable;
    QTest::newRow("trailing line break") << "Persons\n"
                                         << "Unsuitable Characters" << kUnsuitableTable;
    QTest::newRow("other table, other case") << "companies"
                                             << "Name Already Exists" << kTableTaken;
}

void TestSchemaRename::renameTableRefused()
{
    QFETCH(QString, newName);
    QFETCH(QString, message);
    QFETCH(QString, informative);
    const std::optional<Alert> alert = db()->renameTable("People", newName);
    QVERIFY(alert);
    QCOMPARE(alert->messageText, message);
    QCOMPARE(alert->informativeText, informative);
    QCOMPARE(alert->buttons, QStringList({"OK"}));
    QCOMPARE(db()->tablesList(), QStringList({"People", "Companies"}));
    QVERIFY(db()->tables().contains("People"));
    QCOMPARE(lines().at(0), line("People", "Employer", "Companies", "Staff"));
    QCOMPARE(m_host.renames.size(), 0);
    QVERIFY(!m_doc->isChanged());
}

void TestSchemaRename::renameTableThatSqliteLacksChangesNothing()
{
    db()->createTableDesign(table("Ghost", {}));
    const std::optional<Alert> alert = db()->renameTable("Ghost", "Spirit");
    QVERIFY(alert);
    QCOMPARE(alert->messageText, QStringLiteral("An Error Occurred"));
    QVERIFY(alert->informativeText.startsWith("Please submit a bug report to tandrel. Error code "));
    QVERIFY(db()->tablesList().contains("Ghost"));
    QCOMPARE(m_host.renames.size(), 0);
}

void TestSchemaRename::tableNameRules_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("renaming");
    QTest::addColumn<QString>("informative"); // empty: accepted
    QTest::newRow("letters digits blank underscore hyphen") << "My_Table 2-b"
                                                            << ""
                                                            << "";
    QTest::newRow("dot") << "a.b"
                         << "" << kUnsuitableTable;
    QTest::newRow("accented") << "Café"
                              << "" << kUnsuitableTable;
    QTest::newRow("none is a word, not the name") << "Nones"
                                                  << ""
                                                  << "";
    QTest::newRow("existing, other case") << "PEOPLE"
                                          << "" << kTableTaken;
    QTest::newRow("own name in another case when renaming") << "people"
                                                            << "People"
                                                            << "";
    QTest::newRow("other table when renaming") << "People"
                                               << "Companies" << kTableTaken;
    // The database's own tables: a design under their names could never be created.
    QTest::newRow("LM_Tables") << "LM_Tables"
                               << "" << kTableTaken;
    QTest::newRow("LM_SearchIndex, other case") << "lm_searchindex"
                                                << "" << kTableTaken;
    QTest::newRow("sqlite_sequence") << "sqlite_sequence"
                                     << "" << kTableTaken;
    QTest::newRow("sqlite_ prefix") << "SQLITE_stat1"
                                    << "" << kTableTaken;
    QTest::newRow("QLP_SchemaTable") << "QLP_SchemaTable"
                                     << "" << kTableTaken;
    QTest::newRow("renaming to an internal name") << "LM_Tables"
                                                  << "People" << kTableTaken;
}

void TestSchemaRename::tableNameRules()
{
    QFETCH(QString, name);
    QFETCH(QString, renaming);
    QFETCH(QString, informative);
    const std::optional<Alert> alert = SchemaNameRules::checkTableName(name, m_doc->tables(), renaming);
    QCOMPARE(alert ? alert->informativeText : QString(), informative);
}

void TestSchemaRename::fieldNameRules_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message"); // empty: accepted
    QTest::addColumn<QString>("informative");
    QTest::newRow("empty drops the field") << ""
                                           << ""
                                           << "";
    QTest::newRow("plain") << "First name_2-x"
                           << ""
                           << "";
    QTest::newRow("quote") << "it's"
                           << "Unsuitable Characters" << kUnsuitableField;
    QTest::newRow("trailing line break") << "Age\n"
                                         << "Unsuitable Characters" << kUnsuitableField;
    QTest::newRow("another field") << "Age"
                                   << "Name Already Exists" << kFieldTaken;
    QTest::newRow("another field, other case") << "aGe"
                                               << "Name Already Exists" << kFieldTaken;
}

void TestSchemaRename::fieldNameRules()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    QFETCH(QString, informative);
    const std::optional<Alert> alert = SchemaNameRules::checkFieldName(name, {"id", "Name", "Age"});
    QCOMPARE(alert ? alert->messageText : QString(), message);
    QCOMPARE(alert ? alert->informativeText : QString(), informative);
}

QTEST_MAIN(TestSchemaRename)
#include "test_schema_rename.moc"
