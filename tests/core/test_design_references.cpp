// Tests of DesignReferences on plain design collections: what a table or field rename rewrites, and what it leaves.
#include "DesignFixture.h"
#include "DesignReferences.h"

#include <QtTest>

using namespace DesignFixture;

namespace {
Value line(const QString &startTable, const QString &startField, const QString &endTable, const QString &endField)
{
    return Value::dict({{"Start Table", Value(startTable)},
                        {"Start Field", Value(startField)},
                        {"End Table", Value(endTable)},
                        {"End Field", Value(endField)}});
}

Value entry(const QString &table, const QString &field)
{
    return Value::dict({{"Table", Value(table)}, {"Field", Value(field)}});
}

DesignReferences::Collections sampleDesigns()
{
    DesignReferences::Collections designs;
    designs.tables = Value::array({table("People", {field("Pet", "Relationship")}), table("Pets", {})});
    designs.relationships = Value::dict(
        {{"Boxes", Value::array({Value::dict({{"Name", Value("People")}}), Value::dict({{"Name", Value("Pets")}})})},
         {"Lines", Value::array({line("People", "Pet", "Pets", "id"), line("Pets", "Pet", "People", "Pet")})}});
    designs.queries =
        Value::array({Value::dict({{"Table Name", Value("People")},
                                   {"Displays", Value::array({entry("People", "Pet"), entry("Pets", "Pet")})},
                                   {"Parameters", Value::array({entry("People", "Pet")})}})});
    designs.forms = Value::array({Value::dict({{"Content Table", Value("People")}})});
    designs.reports = Value::array({Value::dict({{"Content Table", Value("Pets")}})});
    return designs;
}
} // namespace

class TestDesignReferences : public QObject {
    Q_OBJECT
private slots:
    void fieldRenameFollowsTheTable();
    void tableRenameReachesEveryDesign();
};

void TestDesignReferences::fieldRenameFollowsTheTable()
{
    const DesignReferences::Collections designs = sampleDesigns();
    DesignReferences(designs).renameField("Pet", "Animal", "People");
    const Value lines = designs.relationships.value("Lines");
    QCOMPARE(lines.at(0), line("People", "Animal", "Pets", "id"));
    // A field of the same name in another table keeps its name.
    QCOMPARE(lines.at(1), line("Pets", "Pet", "People", "Animal"));
    const Value query = designs.queries.at(0);
    QCOMPARE(query.value("Displays"), Value::array({entry("People", "Animal"), entry("Pets", "Pet")}));
    QCOMPARE(query.value("Parameters"), Value::array({entry("People", "Animal")}));
    // The table design itself is the schema editor's business.
    QCOMPARE(designs.tables.at(0).value("Fields").at(1).value("Name"), Value("Pet"));
}

void TestDesignReferences::tableRenameReachesEveryDesign()
{
    const DesignReferences::Collections designs = sampleDesigns();
    DesignReferences references(designs);
    references.renameTableDesign("People", "Persons");
    QCOMPARE(designs.tables.at(0).value("Name"), Value("Persons"));
    QCOMPARE(designs.relationships.value("Boxes").at(0).value("Name"), Value("Persons"));
    QCOMPARE(designs.relationships.value("Boxes").at(1).value("Name"), Value("Pets"));
    QCOMPARE(designs.relationships.value("Lines").at(0), line("Persons", "Pet", "Pets", "id"));
    QCOMPARE(designs.relationships.value("Lines").at(1), line("Pets", "Pet", "Persons", "Pet"));
    QCOMPARE(designs.forms.at(0).value("Content Table"), Value("People")); // not yet: references come next

    references.renameTableReferences("People", "Persons");
    QCOMPARE(designs.forms.at(0).value("Content Table"), Value("Persons"));
    QCOMPARE(designs.reports.at(0).value("Content Table"), Value("Pets"));
    const Value query = designs.queries.at(0);
    QCOMPARE(query.value("Table Name"), Value("Persons"));
    QCOMPARE(query.value("Displays"), Value::array({entry("Persons", "Pet"), entry("Pets", "Pet")}));
    QCOMPARE(query.value("Parameters"), Value::array({entry("Persons", "Pet")}));
}

QTEST_GUILESS_MAIN(TestDesignReferences)
#include "test_design_references.moc"
