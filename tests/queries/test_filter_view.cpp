// Tests of LMQueryFilterView: loading definitions, editing conditions through the rows, the restriction and
// change notification, saving, renaming and opening queries, and opening a saved query from the document.
#include "LMQueryDefinition.h"
#include "LMQueryFilterComponent.h"
#include "LMQueryFilterHeader.h"
#include "LMQueryFilterView.h"
#include "LMQueryOpening.h"
#include "LMQueryWhere.h"
#include "LMTokenField.h"
#include "OXDatabase.h"
#include "TestEnvironment.h"
#include "support/QueryFixture.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QToolButton>
#include <QtTest>

using namespace QueryFixture;

namespace {
// A filter over People in a fresh document, with a counter of the delegate's reloads.
struct Fixture {
    std::unique_ptr<MyDocument> document;
    RecordingHost host;
    std::unique_ptr<LMQueryFilterView> view;
    int reloads = 0;

    explicit Fixture(const Value &definition = Value())
    {
        document = newDocument({peopleDesign(), petsDesign()});
        if (!document)
            return;
        document->setViewHost(&host);
        view = std::make_unique<LMQueryFilterView>(document.get(), "People", definition);
        view->setChangeHandler([this] { ++reloads; });
        document->setChanged(false);
    }
    ~Fixture()
    {
        view.reset();
        if (document)
            document->setViewHost(nullptr);
    }
    LMQueryFilterComponent *row(int i) const { return view->components().value(i); }
    Value queries() const { return document->queries(); }
};

Value savedQuery(const QString &name, const QString &table, const QList<Value> &conditions)
{
    Value parameters = Value::array();
    for (const Value &c : conditions)
        parameters.append(c);
    return Value::dict({{"Name", Value(name)},
                        {"Table Name", Value(table)},
                        {"Parameters", parameters},
                        {"Page Size", Value(-1)},
                        {"Selected Page", Value(0)},
                        {"Parameter Boolean", Value("all")}});
}

// Saves the view's definition under `name` through the name sheet, as the user does.
bool saveThroughSheet(LMQueryFilterView &view, const QString &name, bool rename = false)
{
    if (rename)
        view.renameQuery();
    else
        view.save();
    if (!view.nameSheet())
        return false;
    view.nameSheet()->nameField()->setText(name);
    view.nameSheet()->pressSave();
    return view.nameSheet() == nullptr;
}
} // namespace

class TestFilterView : public QObject {
    Q_OBJECT
private slots:
    void newDefinitions();
    void loadingShowsStoredConditions();
    void choosingAField_data();
    void choosingAField();
    void storedOperatorIsKeptWhenOffered();
    void editingOperands();
    void allOrAny();
    void addingAndRemovingRows();
    void deletedFieldStillFilters();
    void saving();
    void savingRefusesEmptyAndTakenNames();
    void renaming();
    void savingASavedQueryUnderANewName();
    void openingFromTheChooser();
    void programmaticOpen();
    void choosingTheShownFields();
    void queryTargets();
    void renameBroadcasts();

private:
    TestEnvironment m_env;
};

void TestFilterView::newDefinitions()
{
    Fixture f;
    QVERIFY(f.view);
    const Value d = f.view->dictionary();
    QCOMPARE(d.value("Parameter Boolean"), Value("ALL"));
    QCOMPARE(d.value("Page Size"), Value(-1));
    QCOMPARE(d.value("Selected Page"), Value(0));
    QCOMPARE(d.value("Parameters").size(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(d.value("Parameters").at(i), Value::dict({{"Type", Value("Parameters")}, {"Table", Value("People")}}));
    QCOMPARE(f.view->components().size(), 3);
    QVERIFY(!f.view->isOpen());
    QCOMPARE(f.view->mainHeader()->queryNameTitle(), QString());
    QCOMPARE(f.view->parametersHeader()->booleanPopUp()->currentText(), QString("all"));
    // Relationship fields are not offered.
    QCOMPARE(f.row(0)->fieldTitles(), (QStringList{"id", "Name", "Kind", "Path", "Age", "Born", "Member", "Tags",
                                                   "Photo", "Clip", "Film", "Doc"}));

    const Value grid = LMQueryDefinition::gridDefinition("People", {"id", "Name"});
    QCOMPARE(grid.value("Parameters"), Value::array({Value::dict({{"Type", Value("Parameters")}})}));
    QCOMPARE(grid.value("Displays"),
             Value::array({Value::dict({{"Type", Value("Displays")}, {"Table", Value("People")}, {"Field", "id"}}),
                           Value::dict({{"Type", Value("Displays")}, {"Table", Value("People")}, {"Field", "Name"}})}));
    QCOMPARE(grid.value("Parameter Boolean"), Value("ALL"));
    grid.value("Displays").append(Value::dict({{"Type", "Displays"}, {"Table", "None"}, {"Field", "x"}}));
    grid.value("Displays").append(Value::dict({{"Type", "Displays"}, {"Table", "People"}}));
    QCOMPARE(LMQueryDefinition::usableDisplays(grid).size(), 2);

    // A definition without conditions still offers a row to add them from.
    Fixture none(Value::dict({{"Name", "Bare"}, {"Parameters", Value::array()}}));
    QCOMPARE(none.view->components().size(), 1);
    QCOMPARE(none.view->whereClause(), QString());
}

void TestFilterView::loadingShowsStoredConditions()
{
    const Value when = Value::date(700000000);
    Value definition = savedQuery("Q", "People",
                                  {condition("Old", "Name", "Text", "starts with", "An"),
                                   condition("Old", "Born", "Date", "is before", when),
                                   condition("Old", "Tags", "List", "is equal to", Value::array({"red", "blue"})),
                                   condition("Old", "Member", "Yes/No", "is no")});
    Fixture f(definition);
    QVERIFY(f.view->dictionary().isSameContainer(definition));
    QCOMPARE(f.view->mainHeader()->queryNameTitle(), QString("Q"));
    for (int i = 0; i < 4; ++i)
        QCOMPARE(definition.value("Parameters").at(i).value("Table"), Value("People"));

    QCOMPARE(f.row(0)->fieldPopUp()->currentText(), QString("Name"));
    QCOMPARE(f.row(0)->operatorPopUp()->currentText(), QString("starts with"));
    auto *text = qobject_cast<QLineEdit *>(f.row(0)->operandControl());
    QVERIFY(text);
    QCOMPARE(text->text(), QString("An"));

    QCOMPARE(f.row(1)->operatorTitles(), LMQueryOperators::operatorsForDatatype("Date"));
    QCOMPARE(f.row(1)->operatorPopUp()->currentText(), QString("is before"));
    auto *picker = qobject_cast<QDateTimeEdit *>(f.row(1)->operandControl());
    QVERIFY(picker);
    QCOMPARE(Value::dateTime(picker->dateTime()), when);

    auto *tokens = qobject_cast<LMTokenField *>(f.row(2)->operandControl());
    QVERIFY(tokens);
    QCOMPARE(tokens->tokens(), (QStringList{"red", "blue"}));

    QCOMPARE(f.row(3)->operandControl(), nullptr);
    // Loading a saved query is not an edit.
    QVERIFY(!f.document->isChanged());
    QCOMPARE(f.reloads, 0);
}

void TestFilterView::choosingAField_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("datatype");
    QTest::addColumn<QString>("compareOp");
    QTest::addColumn<int>("operandKind");
    QTest::addColumn<bool>("hasOperand");
    using K = LMQueryOperators::OperandKind;
    QTest::newRow("Text") << "Name"
                          << "Text"
                          << "is equal to" << int(K::Text) << true;
    QTest::newRow("Options") << "Kind"
                             << "Options"
                             << "is equal to" << int(K::Text) << true;
    QTest::newRow("File Path") << "Path"
                               << "File Path"
                               << "is equal to" << int(K::Text) << true;
    QTest::newRow("Number") << "Age"
                            << "Number"
                            << "= equal to" << int(K::Text) << true;
    QTest::newRow("Primary Key") << "id"
                                 << "Primary Key"
                                 << "= equal to" << int(K::Text) << true;
    QTest::newRow("Date") << "Born"
                          << "Date"
                          << "is equal to" << int(K::Date) << true;
    QTest::newRow("Yes/No") << "Member"
                            << "Yes/No"
                            << "is yes" << int(K::None) << false;
    QTest::newRow("List") << "Tags"
                          << "List"
                          << "is equal to" << int(K::Tokens) << true;
    QTest::newRow("Image") << "Photo"
                           << "Image"
                           << "" << int(K::None) << false;
    QTest::newRow("Attachment") << "Doc"
                                << "Attachment"
                                << "" << int(K::None) << false;
}

void TestFilterView::choosingAField()
{
    QFETCH(QString, field);
    QFETCH(QString, datatype);
    QFETCH(QString, compareOp);
    QFETCH(int, operandKind);
    QFETCH(bool, hasOperand);
    Fixture f;
    f.view->open();
    LMQueryFilterComponent *row = f.row(0);
    // Start from a text condition with an operand, so a switch to another datatype has something to replace.
    row->path("Name", row->fieldPopUp()->findText("Name"));
    row->operand(Value("x"));
    f.reloads = 0;
    f.document->setChanged(false);

    row->path(field, row->fieldPopUp()->findText(field));
    const Value c = row->dictionary();
    QCOMPARE(c.value("Field"), Value(field));
    QCOMPARE(c.value("Datatype"), Value(datatype));
    QCOMPARE(row->operatorTitles(), LMQueryOperators::operatorsForDatatype(datatype));
    QCOMPARE(c.value("Compare Op").toString(), compareOp);
    QCOMPARE(c.contains("Compare Op"), !compareOp.isEmpty());
    QCOMPARE(int(row->operandKind()), operandKind);
    QCOMPARE(c.contains("Operand"), hasOperand);
    if (operandKind == int(LMQueryOperators::OperandKind::Date))
        QVERIFY(c.value("Operand").isDate());
    QCOMPARE(f.reloads, 1);
    QVERIFY(f.document->isChanged());
    // The first row is complete exactly when an operator was offered.
    QCOMPARE(f.view->whereQuery().isEmpty(), compareOp.isEmpty());
}

void TestFilterView::storedOperatorIsKeptWhenOffered()
{
    Fixture f;
    LMQueryFilterComponent *row = f.row(0);
    row->path("Name", 1);
    row->compareOp("ends with");
    QCOMPARE(row->dictionary().value("Compare Op"), Value("ends with"));
    row->path("Path", row->fieldPopUp()->findText("Path"));
    QCOMPARE(row->dictionary().value("Compare Op"), Value("ends with"));
    QCOMPARE(row->operatorPopUp()->currentText(), QString("ends with"));
    row->path("Age", row->fieldPopUp()->findText("Age"));
    QCOMPARE(row->dictionary().value("Compare Op"), Value("= equal to"));
    row->compareOp("≥ greater than or equal to");
    row->path("id", 0);
    QCOMPARE(row->dictionary().value("Compare Op"), Value("≥ greater than or equal to"));

    // "Yes/No" drops the operand when its operator is chosen.
    row->path("Member", row->fieldPopUp()->findText("Member"));
    row->compareOp("is no");
    QVERIFY(!row->dictionary().contains("Operand"));
    QCOMPARE(f.view->whereClause(), QString("`People`.`Member` IS NOT '1'"));
}

void TestFilterView::editingOperands()
{
    Fixture f;
    f.view->open();
    LMQueryFilterComponent *name = f.row(0);
    name->path("Name", 1);
    name->compareOp("contains");
    auto *text = qobject_cast<QLineEdit *>(name->operandControl());
    QVERIFY(text);
    f.reloads = 0;
    f.document->setChanged(false);
    QTest::keyClicks(text, "O'B");
    QCOMPARE(name->dictionary().value("Operand"), Value("O'B"));
    QCOMPARE(f.reloads, 3);
    QVERIFY(f.document->isChanged());
    QCOMPARE(f.view->whereQuery(), QString(" WHERE `People`.`Name` LIKE'%O''B%' "));

    LMQueryFilterComponent *tags = f.row(1);
    tags->path("Tags", tags->fieldPopUp()->findText("Tags"));
    QCOMPARE(tags->dictionary().value("Operand"), Value::array());
    auto *tokens = qobject_cast<LMTokenField *>(tags->operandControl());
    QVERIFY(tokens);
    QTest::keyClicks(tokens, "red,  light blue,");
    QCOMPARE(tags->dictionary().value("Operand"), Value::array({"red", "light blue"}));
    tags->compareOp("is not equal to");
    QCOMPARE(LMQueryWhere::conditionSQL(tags->dictionary()), QString("`People`.`Tags` <>'red, light blue'"));

    LMQueryFilterComponent *born = f.row(2);
    born->path("Born", born->fieldPopUp()->findText("Born"));
    auto *picker = qobject_cast<QDateTimeEdit *>(born->operandControl());
    QVERIFY(picker);
    picker->setDateTime(QDateTime(QDate(2001, 1, 2), QTime(0, 0), Qt::UTC));
    QCOMPARE(born->dictionary().value("Operand"), Value::date(86400));
    QCOMPARE(LMQueryWhere::conditionSQL(born->dictionary()), QString("`People`.`Born` ='86400'"));

    // Closing lifts the restriction; the conditions stay.
    f.view->toggleQueryView();
    QVERIFY(!f.view->isOpen());
    QCOMPARE(f.view->whereQuery(), QString());
    QVERIFY(!f.view->whereClause().isEmpty());
}

void TestFilterView::allOrAny()
{
    Fixture f(savedQuery("Q", "People",
                         {condition("People", "Name", "Text", "is equal to", "a"),
                          condition("People", "Age", "Number", "< less than", "3")}));
    f.view->parametersHeader()->paramBoolean("any");
    QCOMPARE(f.view->dictionary().value("Parameter Boolean"), Value("any"));
    QCOMPARE(f.view->whereClause(), QString("`People`.`Name` ='a' OR `People`.`Age` <'3'"));
    QCOMPARE(f.reloads, 1);
    QVERIFY(f.document->isChanged());
    f.view->parametersHeader()->paramBoolean("all");
    QCOMPARE(f.view->whereClause(), QString("`People`.`Name` ='a' AND `People`.`Age` <'3'"));
}

void TestFilterView::addingAndRemovingRows()
{
    Fixture f(savedQuery("Q", "People",
                         {condition("People", "Name", "Text", "is equal to", "a"),
                          condition("People", "Age", "Number", "< less than", "3")}));
    const Value first = f.row(0)->dictionary();
    f.row(0)->addButton();
    const Value parameters = f.view->dictionary().value("Parameters");
    QCOMPARE(parameters.size(), 3);
    QVERIFY(parameters.at(0).isSameContainer(first));
    QCOMPARE(parameters.at(1), Value::dict({{"Type", Value("Parameters")}, {"Table", Value("People")}}));
    QCOMPARE(f.view->components().size(), 3);
    QVERIFY(f.view->components().at(1)->dictionary().isSameContainer(parameters.at(1)));

    f.row(0)->removeButton();
    QCOMPARE(parameters.size(), 2);
    QCOMPARE(f.view->whereClause(), QString("`People`.`Age` <'3'"));
    f.row(1)->removeButton();
    QCOMPARE(f.view->whereClause(), QString());
    // The only row left stays, so conditions can still be added.
    const int beeps = m_env.ui().beeps();
    f.row(0)->removeButton();
    QCOMPARE(m_env.ui().beeps(), beeps + 1);
    QCOMPARE(f.view->components().size(), 1);
}

void TestFilterView::deletedFieldStillFilters()
{
    Fixture f(savedQuery("Q", "People", {condition("People", "Tags", "List", "is equal to", Value::array({"a"}))}));
    Value fields = f.document->database()->tableDesign("People").value("Fields");
    for (int i = 0; i < fields.size(); ++i)
        if (fields.at(i).value("Name") == Value("Tags"))
            fields.removeAt(i);
    QVERIFY(f.document->database()->typeForTable("People", "Tags").isNull());
    f.view->refresh();
    QCOMPARE(f.view->whereClause(), QString("`People`.`Tags` ='a'"));
    QCOMPARE(f.row(0)->fieldPopUp()->currentText(), QString("Tags"));
    QCOMPARE(f.row(0)->operatorPopUp()->currentText(), QString("is equal to"));
}

void TestFilterView::saving()
{
    Fixture f;
    f.row(0)->path("Name", 1);
    f.document->setChanged(false);
    f.reloads = 0;
    const Value definition = f.view->dictionary();

    f.view->mainHeader()->saveButton();
    QVERIFY(f.view->nameSheet());
    QCOMPARE(f.view->nameSheet()->buttonTitle(), QString("Save"));
    f.view->nameSheet()->nameField()->setText("Adults");
    f.view->nameSheet()->pressSave();
    QVERIFY(!f.view->nameSheet());

    QCOMPARE(f.queries().size(), 1);
    QVERIFY(f.queries().at(0).isSameContainer(definition));
    QVERIFY(f.view->dictionary().isSameContainer(definition));
    QCOMPARE(definition.value("Name"), Value("Adults"));
    QCOMPARE(definition.value("Table Name"), Value("People"));
    QCOMPARE(f.view->mainHeader()->queryNameTitle(), QString("Adults"));
    QVERIFY(f.document->isChanged());
    QVERIFY(!f.view->isRenaming());
    QCOMPARE(f.host.renames.size(), 1);
    QCOMPARE(f.host.renames.at(0).type, QString("Query"));
    QCOMPARE(f.host.renames.at(0).oldName, QString());
    QCOMPARE(f.host.renames.at(0).newName, QString("Adults"));

    // Later edits change the saved query itself.
    f.row(0)->operand(Value("Zoe"));
    QCOMPARE(f.document->queryNamed("Adults").value("Parameters").at(0).value("Operand"), Value("Zoe"));
}

void TestFilterView::savingRefusesEmptyAndTakenNames()
{
    Fixture f;
    f.document->queries().append(savedQuery("Taken", "Pets", {}));
    f.document->setChanged(false);
    int beeps = m_env.ui().beeps();

    QVERIFY(!saveThroughSheet(*f.view, ""));
    QCOMPARE(m_env.ui().beeps(), ++beeps);
    QVERIFY(f.view->nameSheet()); // still up for another try
    QVERIFY(!saveThroughSheet(*f.view, "Taken"));
    QCOMPARE(m_env.ui().beeps(), ++beeps);
    // Names compare exactly: another case is another name.
    QVERIFY(saveThroughSheet(*f.view, "taken"));
    QCOMPARE(f.queries().size(), 2);
    QCOMPARE(m_env.ui().alerts().size(), 0);

    // A cancelled sheet saves nothing.
    Fixture g;
    g.view->save();
    g.view->nameSheet()->nameField()->setText("Never");
    g.view->nameSheet()->pressCancel();
    QVERIFY(!g.view->nameSheet());
    QCOMPARE(g.queries().size(), 0);
    QVERIFY(!g.document->isChanged());
}

void TestFilterView::renaming()
{
    Fixture f;
    QVERIFY(saveThroughSheet(*f.view, "First"));
    f.document->queries().append(savedQuery("Other", "People", {}));
    f.host.renames.clear();
    int beeps = m_env.ui().beeps();

    f.view->mainHeader()->renameButton();
    QVERIFY(f.view->isRenaming());
    QCOMPARE(f.view->nameSheet()->buttonTitle(), QString("Rename"));
    QCOMPARE(f.view->nameSheet()->nameField()->text(), QString("First"));
    f.view->nameSheet()->nameField()->setText("Other");
    f.view->nameSheet()->pressSave();
    QCOMPARE(m_env.ui().beeps(), ++beeps);
    QVERIFY(f.view->isRenaming());
    QCOMPARE(f.view->dictionary().value("Name"), Value("First"));

    // Its own name is accepted.
    f.view->nameSheet()->nameField()->setText("First");
    f.view->nameSheet()->pressSave();
    QVERIFY(!f.view->nameSheet());
    QCOMPARE(m_env.ui().beeps(), beeps);

    QVERIFY(saveThroughSheet(*f.view, "Second", true));
    QCOMPARE(f.queries().size(), 2);
    QVERIFY(f.queries().at(0).isSameContainer(f.view->dictionary()));
    QCOMPARE(f.view->dictionary().value("Name"), Value("Second"));
    QCOMPARE(f.view->mainHeader()->queryNameTitle(), QString("Second"));
    QCOMPARE(f.host.renames.last().oldName, QString("First"));
    QCOMPARE(f.host.renames.last().newName, QString("Second"));

    // A cancelled rename leaves rename mode, so the next Save stores a new query.
    f.view->renameQuery();
    f.view->nameSheet()->pressCancel();
    QVERIFY(!f.view->isRenaming());

    // Renaming a never-saved query saves it rather than naming a definition the document does not hold.
    Fixture g;
    QVERIFY(saveThroughSheet(*g.view, "Fresh", true));
    QCOMPARE(g.queries().size(), 1);
    QVERIFY(g.queries().at(0).isSameContainer(g.view->dictionary()));
}

void TestFilterView::savingASavedQueryUnderANewName()
{
    Fixture f;
    f.row(0)->path("Name", 1);
    f.row(0)->operand(Value("Ann"));
    QVERIFY(saveThroughSheet(*f.view, "Ann"));
    const Value original = f.queries().at(0);
    QVERIFY(saveThroughSheet(*f.view, "Ann again"));
    QCOMPARE(f.queries().size(), 2);
    QCOMPARE(original.value("Name"), Value("Ann"));
    QVERIFY(!f.view->dictionary().isSameContainer(original));
    QVERIFY(f.queries().at(1).isSameContainer(f.view->dictionary()));
    f.row(0)->operand(Value("Bob"));
    QCOMPARE(original.value("Parameters").at(0).value("Operand"), Value("Ann"));
    QCOMPARE(f.document->queryNamed("Ann again").value("Parameters").at(0).value("Operand"), Value("Bob"));
}

void TestFilterView::openingFromTheChooser()
{
    Fixture f;
    const Value mine = savedQuery("Mine", "People", {condition("Elsewhere", "Age", "Number", "> greater than", "5")});
    const Value pets = savedQuery("Pets named Rex", "Pets", {condition("Pets", "Name", "Text", "is equal to", "Rex")});
    f.queries().append(mine);
    f.queries().append(pets);
    f.document->setChanged(false);
    QList<std::tuple<MyDocument *, QString, bool>> switches;
    LMQueryOpening::setSwitchHandler([&switches](MyDocument *d, const QString &name, bool inForm) {
        switches.append({d, name, inForm});
        return true;
    });

    f.view->mainHeader()->openButton();
    QVERIFY(f.view->chooser());
    QCOMPARE(f.view->chooser()->queryNames(), (QStringList{"Mine", "Pets named Rex"}));
    QVERIFY(f.view->chooser()->selectQuery("Mine"));
    f.view->chooser()->openButton();
    QVERIFY(!f.view->chooser());
    QVERIFY(f.view->dictionary().isSameContainer(mine));
    QCOMPARE(mine.value("Parameters").at(0).value("Table"), Value("People"));
    QCOMPARE(f.view->mainHeader()->queryNameTitle(), QString("Mine"));
    QCOMPARE(f.reloads, 1);
    QVERIFY(switches.isEmpty());
    QVERIFY(!f.document->isChanged());

    // A query of another table opens where it belongs, in a form when the filter sits above one.
    f.view->setInForm(true);
    f.view->openQuery();
    QVERIFY(f.view->chooser()->selectQuery("Pets named Rex"));
    f.view->chooser()->openButton();
    QCOMPARE(switches.size(), 1);
    QCOMPARE(std::get<0>(switches.at(0)), f.document.get());
    QCOMPARE(std::get<1>(switches.at(0)), QString("Pets named Rex"));
    QCOMPARE(std::get<2>(switches.at(0)), true);
    QVERIFY(f.view->dictionary().isSameContainer(mine));
    QCOMPARE(pets.value("Parameters").at(0).value("Table"), Value("Pets"));

    // Cancel loads nothing; Open with nothing selected beeps.
    f.view->openQuery();
    f.view->chooser()->cancelButton();
    QVERIFY(f.view->dictionary().isSameContainer(mine));
    Fixture empty;
    empty.view->openQuery();
    const int beeps = m_env.ui().beeps();
    empty.view->chooser()->openButton();
    QCOMPARE(m_env.ui().beeps(), beeps + 1);
    LMQueryOpening::setSwitchHandler(nullptr);
}

void TestFilterView::programmaticOpen()
{
    Fixture f;
    const Value q = savedQuery("Young", "People", {condition("People", "Age", "Number", "< less than", "18")});
    f.queries().append(q);
    f.view->programaticallyOpenQuery(q);
    QVERIFY(f.view->isOpen());
    QVERIFY(f.view->dictionary().isSameContainer(q));
    QCOMPARE(f.view->whereQuery(), QString(" WHERE `People`.`Age` <'18' "));
    QCOMPARE(f.reloads, 1);
    QVERIFY(!f.document->isChanged());
}

void TestFilterView::choosingTheShownFields()
{
    Fixture f;
    const QStringList design = f.document->database()->allNamesForTable("People");
    LMQueryFilterHeader *header = f.view->displaysHeader();
    // Unsaved and unchosen: every field, also fields added to the design later.
    QVERIFY(f.view->displayedFields().isEmpty());
    header->fieldsMenu()->popup(QPoint());
    QCOMPARE(header->fieldsButton()->text(), QString("All Fields"));
    QCOMPARE(header->fieldsMenu()->actions().size(), design.size());
    header->fieldsMenu()->hide();

    // Unticking a field in the menu stores this table's displays in design order, keeping other tables'.
    f.view->dictionary().set("Displays",
                             Value::array({Value::dict({{"Type", "Displays"}, {"Table", "Pets"}, {"Field", "Name"}})}));
    QAction *age = header->fieldsMenu()->actions().at(int(design.indexOf("Age")));
    age->setChecked(false);
    QTRY_COMPARE(f.reloads, 1);
    QStringList expected = design;
    expected.removeAll("Age");
    QCOMPARE(f.view->displayedFields(), expected);
    const Value displays = f.view->dictionary().value("Displays");
    QCOMPARE(displays.size(), expected.size() + 1);
    QCOMPARE(displays.at(0).value("Table"), Value("Pets"));
    QCOMPARE(displays.at(1),
             Value::dict({{"Type", "Displays"}, {"Table", "People"}, {"Field", Value(design.first())}}));
    QVERIFY(f.document->isChanged());
    QCOMPARE(header->fieldsButton()->text(), QString("%1 of %2 Fields").arg(expected.size()).arg(design.size()));
    f.view->setFieldDisplayed("Age", true);
    QCOMPARE(f.view->displayedFields(), design);

    // The last shown field stays: a grid without columns would show nothing.
    const int beeps = m_env.ui().beeps();
    for (const QString &field : design.mid(1))
        f.view->setFieldDisplayed(field, false);
    QCOMPARE(f.view->displayedFields(), QStringList{design.first()});
    f.view->setFieldDisplayed(design.first(), false);
    QCOMPARE(f.view->displayedFields(), QStringList{design.first()});
    QCOMPARE(m_env.ui().beeps(), beeps + 1);

    // A saved query lists what it shows; displays of fields no longer in the design are left out, and a saved
    // query without usable displays shows every field.
    Value q = savedQuery("Names", "People", {});
    q.set("Displays", Value::array({Value::dict({{"Type", "Displays"}, {"Table", "People"}, {"Field", "Gone"}}),
                                    Value::dict({{"Type", "Displays"}, {"Table", "People"}, {"Field", "Name"}})}));
    f.view->programaticallyOpenQuery(q);
    QCOMPARE(f.view->displayedFields(), QStringList{"Name"});
    f.view->programaticallyOpenQuery(savedQuery("Bare", "People", {}));
    QVERIFY(f.view->displayedFields().isEmpty());
    // In a form the fields are the form's controls: no choice of columns is offered.
    f.view->setInForm(true);
    QVERIFY(header->isHidden());
}

void TestFilterView::queryTargets()
{
    Fixture f;
    f.queries().append(savedQuery("Lost", "Gone", {}));
    f.queries().append(savedQuery("Rex", "Pets", {}));
    f.document->forms().append(Value::dict({{"Name", "People form"}, {"Content Table", "People"}}));
    f.document->forms().append(Value::dict({{"Name", "Pet card"}, {"Content Table", "Pets"}}));
    f.document->forms().append(Value::dict({{"Name", "Pet list"}, {"Content Table", "Pets"}}));

    for (const QString &name : {QString("Lost"), QString("No such query")}) {
        m_env.ui().reset();
        QVERIFY(!LMQueryOpening::targetForQuery(*f.document, name, false));
        QCOMPARE(m_env.ui().alerts().size(), 1);
        QCOMPARE(m_env.ui().lastAlert()->messageText, QString("Invalid Query"));
        QCOMPARE(m_env.ui().lastAlert()->informativeText,
                 QString("This does not have a valid content table and cannot be opened."));
        QCOMPARE(m_env.ui().lastAlert()->buttons, QStringList{"OK"});
    }
    m_env.ui().reset();
    const auto grid = LMQueryOpening::targetForQuery(*f.document, "Rex", false);
    QVERIFY(grid);
    QCOMPARE(grid->table, QString("Pets"));
    QCOMPARE(grid->form, QString());
    QVERIFY(grid->query.isSameContainer(f.document->queryNamed("Rex")));
    const auto form = LMQueryOpening::targetForQuery(*f.document, "Rex", true);
    QVERIFY(form);
    QCOMPARE(form->form, QString("Pet card"));
    QCOMPARE(m_env.ui().alerts().size(), 0);
    // Without a window to ask, switching does nothing.
    QVERIFY(!LMQueryOpening::switchToQueryView(f.document.get(), "Rex", false));
}

void TestFilterView::renameBroadcasts()
{
    Fixture f(savedQuery("Old", "People", {}));
    Value definition = f.view->dictionary();
    // The source list renamed the stored query, then the document relays the broadcast.
    definition.set("Name", Value("New"));
    f.view->itemDidRename(ItemKind::Table, "Old", "New");
    QCOMPARE(f.view->mainHeader()->queryNameTitle(), QString("Old"));
    f.view->itemDidRename(ItemKind::Query, "Old", "New");
    QCOMPARE(f.view->mainHeader()->queryNameTitle(), QString("New"));
    f.view->itemDidRename(ItemKind::Query, "Someone", "Else");
    QCOMPARE(f.view->mainHeader()->queryNameTitle(), QString("New"));
}

QTEST_MAIN(TestFilterView)
#include "test_filter_view.moc"
