// Tests of the relationships diagram: loading (stale boxes and lines dropped), archiving, the one-field rule
// for new lines, the type segments and their swap, the inverse switch, deleting lines, the table chooser,
// moving boxes, and a line drawn by dragging with real mouse events on the view.
#include "LMIdentifiedView.h"
#include "LMRelationshipViews.h"
#include "LMRelationshipsDiagram.h"
#include "LMRelationshipsView.h"
#include "LMRelationshipsViewController.h"
#include "LMViewRegistry.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "TestEnvironment.h"
#include "support/RelationshipFixture.h"

#include <QMouseEvent>
#include <QtTest>

using namespace RelationshipFixture;

namespace {
Value box(const QString &name, double x, double y)
{
    return Value::dict({{"Name", name}, {"x", x}, {"y", y}});
}

// People (Employer, Mentor) and Companies (Staff, Board), boxed, with Employer <-> Staff.
Value standardRelationships()
{
    return Value::dict({{"Boxes", Value::array({box("People", 20, 20), box("Companies", 300, 40)})},
                        {"Lines", Value::array({record("People", "Employer", "Companies", "Staff")})}});
}

QString describe(const LMRelationshipsLine &l)
{
    return QStringLiteral("%1.%2(%3)->%4.%5(%6) t%7")
        .arg(l.startTable, l.startField)
        .arg(l.startFieldIndex)
        .arg(l.endTable, l.endField)
        .arg(l.endFieldIndex)
        .arg(l.relationshipType);
}

QStringList describeAll(const LMRelationshipsDiagram &d)
{
    QStringList out;
    for (const LMRelationshipsLine &l : d.linesRef())
        out << describe(l);
    return out;
}

void sendMouse(QWidget *target, QEvent::Type type, const QPoint &pos, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(pos), target->mapToGlobal(QPointF(pos)), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}
} // namespace

class TestRelationshipsDiagram : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void loadingDropsStaleBoxesAndLines();
    void archiveKeepsTheRecordForm();
    void checkLine_data();
    void checkLine();
    void typeSegments();
    void inverseSwitch();
    void deletingALineKeepsLinkLists();
    void tableChooserCascades();
    void movingAndRaisingBoxes();
    void drawingWithTheModel_data();
    void drawingWithTheModel();
    void optionsPaneEdits();
    void renamedAndDeletedTables();
    void dragDrawsALineOnTheView();
    void factoryReadsTheRequestOrTheDocument();

private:
    OXDatabase *db() const { return m_doc->database(); }
    TestEnvironment m_env;
    std::unique_ptr<MyDocument> m_doc;
};

void TestRelationshipsDiagram::init()
{
    QString error;
    m_doc = newDocument(2, &error);
    QVERIFY2(m_doc, qPrintable(error));
    m_doc->setChanged(false);
    m_env.ui().reset();
}

void TestRelationshipsDiagram::cleanup()
{
    m_doc.reset();
}

void TestRelationshipsDiagram::loadingDropsStaleBoxesAndLines()
{
    Value lines =
        Value::array({record("People", "Employer", "Companies", "Staff", "1"), record("Ghosts", "Haunts", "People", ""),
                      record("People", "Gone", "Companies", ""), record("People", "Mentor", "Companies", "Gone"),
                      record("Companies", "Board", "People", "", "7")});
    const Value stored =
        Value::dict({{"Boxes", Value::array({box("People", 1, 2), box("Ghosts", 3, 4), box("Companies", 5, 6)})},
                     {"Lines", lines}});
    LMRelationshipsDiagram d(db(), stored);
    QCOMPARE(d.boxesRef().size(), 2);
    QCOMPARE(d.boxesRef().at(0).name, QString("People"));
    QCOMPARE(d.boxesRef().at(0).origin, QPointF(1, 2));
    QCOMPARE(d.boxesRef().at(0).fields, QStringList({"Employer", "Mentor"}));
    QCOMPARE(d.boxesRef().at(0).datatypes, QStringList({"Relationship", "Relationship"}));
    QCOMPARE(describeAll(d),
             QStringList({"People.Employer(0)->Companies.Staff(0) t1", "Companies.Board(1)->People.(-1) t-1"}));
    QCOMPARE(d.selectedLineIndex(), -1);
    // Loading changes neither the stored dictionary nor the document.
    QCOMPARE(stored.value("Lines").size(), 5);
    QVERIFY(!m_doc->isChanged());
}

void TestRelationshipsDiagram::archiveKeepsTheRecordForm()
{
    LMRelationshipsDiagram d(db(), standardRelationships());
    QVERIFY(d.addLine("Companies", "Board", "People", ""));
    const Value archived = d.cleanUpAndArchive();
    QCOMPARE(archived.keys(), QStringList({"Boxes", "Lines"}));
    QCOMPARE(archived.value("Boxes").at(1), box("Companies", 300, 40));
    const Value twoWay = archived.value("Lines").at(0);
    QCOMPARE(twoWay.keys(), QStringList({"Relationship Type", "Ends In Table", "Start Table", "Start Field",
                                         "End Table", "End Field"}));
    QCOMPARE(twoWay.value("Relationship Type"), Value("0"));
    QCOMPARE(twoWay.value("Ends In Table"), Value("0"));
    const Value oneWay = archived.value("Lines").at(1);
    QCOMPARE(oneWay.value("Ends In Table"), Value("1"));
    QVERIFY(!oneWay.contains("End Field"));
    // A new dictionary each time: the document's own stays untouched until it takes the result.
    QVERIFY(!archived.isSameContainer(d.cleanUpAndArchive()));
}

void TestRelationshipsDiagram::checkLine_data()
{
    QTest::addColumn<QString>("startTable");
    QTest::addColumn<QString>("startField");
    QTest::addColumn<QString>("endTable");
    QTest::addColumn<QString>("endField");
    QTest::addColumn<bool>("accepted");
    // Existing: People.Employer <-> Companies.Staff (two-way).
    QTest::newRow("same start field") << "People"
                                      << "Employer"
                                      << "Companies"
                                      << "" << false;
    QTest::newRow("starts where a two-way line ends") << "Companies"
                                                      << "Staff"
                                                      << "People"
                                                      << "" << false;
    QTest::newRow("two-way, ends where a line starts") << "Companies"
                                                       << "Board"
                                                       << "People"
                                                       << "Employer" << false;
    QTest::newRow("two-way, same end field") << "People"
                                             << "Mentor"
                                             << "Companies"
                                             << "Staff" << false;
    QTest::newRow("one-way to the same table is fine") << "People"
                                                       << "Mentor"
                                                       << "Companies"
                                                       << "" << true;
    QTest::newRow("free fields") << "People"
                                 << "Mentor"
                                 << "Companies"
                                 << "Board" << true;
}

void TestRelationshipsDiagram::checkLine()
{
    QFETCH(QString, startTable);
    QFETCH(QString, startField);
    QFETCH(QString, endTable);
    QFETCH(QString, endField);
    QFETCH(bool, accepted);
    LMRelationshipsDiagram d(db(), standardRelationships());
    LMRelationshipsLine line;
    line.startTable = startTable;
    line.startField = startField;
    line.endTable = endTable;
    line.endField = endField;
    line.endFieldIndex = endField.isEmpty() ? -1 : 0;
    QCOMPARE(d.checkLine(line), accepted);
    QCOMPARE(d.addLine(startTable, startField, endTable, endField), accepted);
    QCOMPARE(d.linesRef().size(), accepted ? 2 : 1);
    QCOMPARE(m_doc->isChanged(), accepted);
}

void TestRelationshipsDiagram::typeSegments()
{
    LMRelationshipsDiagram d(db(), standardRelationships());
    QVERIFY(!d.x_to_y(1)); // nothing selected
    QVERIFY(d.selectRelationship(0));
    QCOMPARE(d.segmentImages(),
             QStringList({"RelXY_OneToOne", "RelXY_OneToMany", "RelXY_ManyToOne", "RelXY_ManyToMany"}));
    QVERIFY(d.x_to_y(3));
    QCOMPARE(describeAll(d), QStringList{"People.Employer(0)->Companies.Staff(0) t2"});
    QCOMPARE(d.selectedSegment(), 3);
    // The third segment swaps the ends and stores one to many.
    QVERIFY(d.x_to_y(2));
    QCOMPARE(describeAll(d), QStringList{"Companies.Staff(0)->People.Employer(0) t1"});
    QCOMPARE(d.selectedSegment(), 1);
    QVERIFY(m_doc->isChanged());

    QVERIFY(d.addLine("People", "Mentor", "Companies", ""));
    QVERIFY(d.selectRelationship(1));
    QCOMPARE(d.segmentImages(), QStringList({"RelXY_NoneToOne", "RelXY_NoneToMany"}));
    QVERIFY(!d.x_to_y(2));
    QVERIFY(d.x_to_y(1));
    QCOMPARE(describe(d.linesRef().at(1)), QString("People.Mentor(1)->Companies.(-1) t1"));
}

void TestRelationshipsDiagram::inverseSwitch()
{
    LMRelationshipsDiagram d(db(), standardRelationships());
    QVERIFY(d.addLine("People", "Mentor", "Companies", ""));
    QVERIFY(d.selectRelationship(1));
    // Staff already takes part in a relationship: Board is the first free end field.
    QVERIFY(d.inverse(true));
    QCOMPARE(describe(d.linesRef().at(1)), QString("People.Mentor(1)->Companies.Board(1) t0"));
    QVERIFY(d.inverse(false));
    QCOMPARE(describe(d.linesRef().at(1)), QString("People.Mentor(1)->Companies.(-1) t0"));
    // With every end field taken the line stays one-way.
    QVERIFY(d.addLine("Companies", "Board", "People", ""));
    QVERIFY(d.selectRelationship(1));
    QVERIFY(!d.inverse(true));
    QVERIFY(d.linesRef().at(1).endsInTable());
}

void TestRelationshipsDiagram::deletingALineKeepsLinkLists()
{
    db()->performQuery("UPDATE People SET Employer = '1' WHERE id = 2");
    db()->performQuery("UPDATE Companies SET Staff = '2' WHERE id = 1");
    LMRelationshipsDiagram d(db(), standardRelationships());
    QVERIFY(!d.keyUp(Qt::Key_Delete)); // nothing selected
    QVERIFY(d.selectRelationship(0));
    QVERIFY(!d.keyUp(Qt::Key_A));
    QVERIFY(d.keyUp(Qt::Key_Backspace));
    QVERIFY(d.linesRef().isEmpty());
    QCOMPARE(d.selectedLineIndex(), -1);
    QVERIFY(m_doc->isChanged());
    QCOMPARE(cell(*m_doc, "People", "Employer", "2"), QString("1"));
    QCOMPARE(cell(*m_doc, "Companies", "Staff", "1"), QString("2"));
}

void TestRelationshipsDiagram::tableChooserCascades()
{
    LMRelationshipsDiagram d(db(), Value::dict());
    QCOMPARE(d.chooserTables(), QStringList({"People", "Companies"}));
    d.setChooserValue(1, true);
    d.editOKButton();
    QCOMPARE(d.boxesRef().size(), 1);
    QCOMPARE(d.boxesRef().at(0).name, QString("Companies"));
    QCOMPARE(d.boxesRef().at(0).origin, QPointF(20, 20));
    QVERIFY(!d.chooserValue(1)); // the switches reset
    d.setChooserValue(0, true);
    d.editCancelButton();
    QCOMPARE(d.boxesRef().size(), 1);
    // "All" adds only the tables not yet shown, each cascading from the previous box.
    d.editAllButton();
    QCOMPARE(d.boxesRef().size(), 2);
    QCOMPARE(d.boxesRef().at(1).name, QString("People"));
    QCOMPARE(d.boxesRef().at(1).origin, QPointF(40, 40));
}

void TestRelationshipsDiagram::movingAndRaisingBoxes()
{
    LMRelationshipsDiagram d(db(), standardRelationships());
    const QPointF title = d.boxesRef().at(0).titleRect().center();
    d.mouseDown(title);
    QCOMPARE(d.boxesRef().last().name, QString("People")); // raised on top
    QVERIFY(!m_doc->isChanged());
    d.mouseDragged(title + QPointF(15, 25));
    d.mouseUp(title + QPointF(15, 25));
    QCOMPARE(d.boxesRef().last().origin, QPointF(35, 45));
    QVERIFY(m_doc->isChanged());
    QCOMPARE(d.cleanUpAndArchive().value("Boxes").at(1), box("People", 35, 45));
}

void TestRelationshipsDiagram::drawingWithTheModel_data()
{
    QTest::addColumn<int>("fromField");    // field row of People
    QTest::addColumn<int>("toField");      // field row of Companies; -1 its title, -2 empty space
    QTest::addColumn<QString>("expected"); // the new line, or "" for none
    QTest::newRow("field to field: two-way") << 1 << 1 << "People.Mentor(1)->Companies.Board(1) t0";
    QTest::newRow("field to title: one-way") << 1 << -1 << "People.Mentor(1)->Companies.(-1) t0";
    QTest::newRow("a second line from a used field is refused") << 0 << 1 << "";
    QTest::newRow("dropped on nothing") << 1 << -2 << "";
}

void TestRelationshipsDiagram::drawingWithTheModel()
{
    QFETCH(int, fromField);
    QFETCH(int, toField);
    QFETCH(QString, expected);
    LMRelationshipsDiagram d(db(), standardRelationships());
    const LMRelationshipsBox people = d.boxesRef().at(0);
    const LMRelationshipsBox companies = d.boxesRef().at(1);
    const QPointF from = people.rowRect(fromField).center();
    const QPointF to = toField >= 0    ? companies.rowRect(toField).center()
                       : toField == -1 ? companies.titleRect().center()
                                       : QPointF(900, 900);
    d.mouseDown(from);
    QVERIFY(d.isDrawingLine());
    d.mouseDragged(to);
    d.mouseUp(to);
    QVERIFY(!d.isDrawingLine());
    QCOMPARE(d.linesRef().size(), expected.isEmpty() ? 1 : 2);
    if (!expected.isEmpty())
        QCOMPARE(describe(d.linesRef().at(1)), expected);
    // Boxes never move while a line is drawn.
    QCOMPARE(d.cleanUpAndArchive().value("Boxes").size(), 2);
    QCOMPARE(d.boxesRef().last().origin, people.origin);
}

void TestRelationshipsDiagram::optionsPaneEdits()
{
    LMRelationshipsDiagram d(db(), standardRelationships());
    // Clicking a line on the drawing selects it; clicking empty space clears the selection.
    QPointF a, b;
    QVERIFY(d.lineEnds(d.linesRef().at(0), &a, &b));
    d.mouseDown((a + b) / 2);
    d.mouseUp((a + b) / 2);
    QCOMPARE(d.selectedLineIndex(), 0);
    d.mouseDown(QPointF(900, 5));
    QCOMPARE(d.selectedLineIndex(), -1);

    QVERIFY(d.addLine("People", "Mentor", "Companies", ""));
    QVERIFY(d.selectRelationship(1));
    // A table without "Relationship" fields keeps the previous choice.
    db()->performQuery("CREATE TABLE Plain (id INTEGER PRIMARY KEY AUTOINCREMENT)");
    db()->createTableDesign(Value::dict({{"Name", "Plain"}, {"Fields", Value::array()}}));
    QVERIFY(!d.startFieldAction("Plain"));
    // The start may not move onto a field another line uses: neither its start nor its two-way end.
    QVERIFY(!d.startFieldAction("People", "Employer"));
    QVERIFY(!d.startFieldAction("Companies")); // its first field, Staff
    QCOMPARE(describe(d.linesRef().at(1)), QString("People.Mentor(1)->Companies.(-1) t0"));
    QVERIFY(d.startFieldAction("Companies", "Board"));
    QCOMPARE(describe(d.linesRef().at(1)), QString("Companies.Board(1)->Companies.(-1) t0"));
    QVERIFY(d.endFieldAction("Plain")); // a one-way line needs only a table
    QVERIFY(d.endFieldAction("People"));
    QCOMPARE(describe(d.linesRef().at(1)), QString("Companies.Board(1)->People.(-1) t0"));
}

void TestRelationshipsDiagram::renamedAndDeletedTables()
{
    LMRelationshipsViewController controller(db(), standardRelationships());
    controller.diagram()->renameTable("Companies", "Firms");
    db()->performQuery("ALTER TABLE Companies RENAME TO Firms");
    db()->renameTableDesign("Companies", "Firms");
    controller.refresh();
    QCOMPARE(controller.diagram()->boxesRef().at(1).name, QString("Firms"));
    QCOMPARE(describeAll(*controller.diagram()), QStringList{"People.Employer(0)->Firms.Staff(0) t0"});
    db()->deleteTableDesign("Firms");
    controller.refresh();
    QCOMPARE(controller.diagram()->boxesRef().size(), 1);
    QVERIFY(controller.diagram()->linesRef().isEmpty());
    const std::optional<Value> archived = controller.cleanUpAndArchive();
    QVERIFY(archived);
    QCOMPARE(archived->value("Lines").size(), 0);
}

void TestRelationshipsDiagram::dragDrawsALineOnTheView()
{
    LMRelationshipsViewController controller(db(), standardRelationships());
    LMIdentifiedView *view = controller.view();
    view->resize(900, 500);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view));
    LMRelationshipsView *canvas = controller.diagramView();
    QWidget *viewport = canvas->viewport();
    const LMRelationshipsBox people = controller.diagram()->boxesRef().at(0);
    const LMRelationshipsBox companies = controller.diagram()->boxesRef().at(1);
    const QPoint from = canvas->mapFromScene(people.rowRect(1).center());
    const QPoint to = canvas->mapFromScene(companies.rowRect(1).center());
    sendMouse(viewport, QEvent::MouseButtonPress, from, Qt::LeftButton);
    for (int step = 1; step <= 4; ++step)
        sendMouse(viewport, QEvent::MouseMove, from + (to - from) * step / 4, Qt::LeftButton);
    sendMouse(viewport, QEvent::MouseButtonRelease, to, Qt::NoButton);
    QCOMPARE(describeAll(*controller.diagram()),
             QStringList({"People.Employer(0)->Companies.Staff(0) t0", "People.Mentor(1)->Companies.Board(1) t0"}));
    // Click the new line, then Delete removes it.
    QPointF a, b;
    QVERIFY(controller.diagram()->lineEnds(controller.diagram()->linesRef().at(1), &a, &b));
    const QPoint middle = canvas->mapFromScene((a + b) / 2);
    sendMouse(viewport, QEvent::MouseButtonPress, middle, Qt::LeftButton);
    sendMouse(viewport, QEvent::MouseButtonRelease, middle, Qt::NoButton);
    QCOMPARE(controller.diagram()->selectedLineIndex(), 1);
    QTest::keyRelease(canvas, Qt::Key_Delete);
    QCOMPARE(controller.diagram()->linesRef().size(), 1);
    QVERIFY(m_doc->isChanged());
    delete view;
}

void TestRelationshipsDiagram::factoryReadsTheRequestOrTheDocument()
{
    m_doc->relationships().set("Boxes", Value::array({box("People", 5, 5)}));
    LMViewContext context;
    context.document = m_doc.get();
    context.database = db();
    LMViewRequest request;
    request.kind = ViewKind::Relationship;
    std::unique_ptr<LMViewController> fromDocument = makeRelationshipsView(context, request);
    QVERIFY(fromDocument);
    QCOMPARE(fromDocument->identifier(), QString("Relationship"));
    QCOMPARE(fromDocument->cleanUpAndArchive()->value("Boxes").size(), 1);
    request.item = standardRelationships();
    std::unique_ptr<LMViewController> fromRequest = makeRelationshipsView(context, request);
    QCOMPARE(fromRequest->cleanUpAndArchive()->value("Lines").size(), 1);
    LMViewRegistry registry;
    registerRelationshipViews(registry);
    QVERIFY(registry.hasFactory(ViewKind::Relationship));
}

QTEST_MAIN(TestRelationshipsDiagram)
#include "test_relationships_diagram.moc"
