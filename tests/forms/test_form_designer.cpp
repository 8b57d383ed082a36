// Tests of the "Form Design" view offscreen: a drag, a resize, keys and a palette drop through real events,
// and the design controller's naming, storing, renaming, deleting and Add Action.
#include "DesignFixture.h"
#include "FDCanvasView.h"
#include "FDControlKinds.h"
#include "FDFontAttributes.h"
#include "FDFormDesignWidget.h"
#include "FDFormGenerator.h"
#include "FDInspectorPane.h"
#include "FDKeys.h"
#include "FDPaletteView.h"
#include "FDResizeRule.h"
#include "LMFormDesignController.h"
#include "LMIdentifiedView.h"
#include "MyDocument.h"
#include "RecordingNavigator.h"
#include "TestEnvironment.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollArea>
#include <QSignalSpy>
#include <QToolButton>
#include <QUndoStack>
#include <QWidgetAction>
#include <QtTest>

using namespace FDKeys;
using DesignFixture::field;

class TestFormDesigner : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void controlsAreRealWidgets();
    void dragMovesTheSelection();
    void handleResizes();
    void keysNudgeAndDelete();
    void paletteDrop();
    void clipboardCopyCutPaste();
    void nameSheetForANewForm();
    void renameExistingForm();
    void cleanUpNamesAndStores();
    void tableRenameFollows();
    void deleteMe();
    void addAction();
    void saveAndReopen();
    void toolbarEditsTheSelection();
    void toolbarModes_data();
    void toolbarModes();
    void toolbarAutoGenerates();
    void fontPanelWritesTheControl();

private:
    std::unique_ptr<LMFormDesignController> open(const QString &name);
    FDCanvasView *canvasViewOf(LMFormDesignController &controller);

    TestEnvironment m_env;
    RecordingNavigator m_navigator;
    std::unique_ptr<MyDocument> m_document;
};

void TestFormDesigner::init()
{
    QString error;
    m_document = DesignFixture::newDocumentWithTable(
        DesignFixture::table("T", {field("A", "Text"), field("B", "Number")}), &error);
    QVERIFY2(m_document, qPrintable(error));
    QVERIFY(FDFormGenerator::generateFormWithWindow(m_document.get(), "T"));
    m_env.ui().reset();
    m_navigator = RecordingNavigator();
}

void TestFormDesigner::cleanup()
{
    m_document.reset();
}

std::unique_ptr<LMFormDesignController> TestFormDesigner::open(const QString &name)
{
    auto controller = std::make_unique<LMFormDesignController>(name, m_document.get(), nullptr, &m_navigator);
    controller->view()->resize(1100, 700);
    controller->view()->show();
    return controller;
}

FDCanvasView *TestFormDesigner::canvasViewOf(LMFormDesignController &controller)
{
    return controller.view()->findChild<FDCanvasView *>();
}

void TestFormDesigner::controlsAreRealWidgets()
{
    auto controller = open("T");
    QVERIFY(QTest::qWaitForWindowExposed(controller->view()));
    QCOMPARE(controller->canvas()->controls().size(), 2);
    FDCanvasView *view = canvasViewOf(*controller);
    QStringList placeholders;
    for (QLineEdit *edit : view->findChildren<QLineEdit *>())
        placeholders << edit->placeholderText();
    placeholders.sort();
    QCOMPARE(placeholders, (QStringList{"A", "B"}));
}

void TestFormDesigner::dragMovesTheSelection()
{
    auto controller = open("T");
    QVERIFY(QTest::qWaitForWindowExposed(controller->view()));
    FDCanvas *canvas = controller->canvas();
    canvas->setSnapToGrid(false);
    FDCanvasView *view = canvasViewOf(*controller);
    const FDControlPtr a = canvas->controlNamed("A");
    const QRectF before = a->frame();
    const QPoint start = a->controlFrame().center().toPoint();
    QTest::mousePress(view, Qt::LeftButton, {}, start);
    QCOMPARE(canvas->selection(), FDControlList{a});
    QTest::mouseMove(view, start + QPoint(15, 10));
    QTest::mouseMove(view, start + QPoint(30, 20));
    QTest::mouseRelease(view, Qt::LeftButton, {}, start + QPoint(30, 20));
    QCOMPARE(a->frame(), before.translated(30, 20));
    QVERIFY(m_document->isChanged());
    m_document->undoStack()->undo();
    QCOMPARE(a->frame(), before);
}

void TestFormDesigner::handleResizes()
{
    auto controller = open("T");
    QVERIFY(QTest::qWaitForWindowExposed(controller->view()));
    FDCanvas *canvas = controller->canvas();
    FDCanvasView *view = canvasViewOf(*controller);
    const FDControlPtr b = canvas->controlNamed("B");
    canvas->selectControls({b});
    const QRectF before = b->frame();
    const QPoint handle = FDResizeRule::handlePoint(before, FDResizeRule::BottomRight).toPoint();
    QTest::mousePress(view, Qt::LeftButton, {}, handle);
    QTest::mouseMove(view, handle + QPoint(40, 12));
    QTest::mouseRelease(view, Qt::LeftButton, {}, handle + QPoint(40, 12));
    QCOMPARE(b->frame(), before.adjusted(0, 0, 40, 12));
    // Below the 7-point minimum the frame stays.
    const QPoint right = FDResizeRule::handlePoint(b->frame(), FDResizeRule::Right).toPoint();
    QTest::mousePress(view, Qt::LeftButton, {}, right);
    QTest::mouseMove(view, right - QPoint(int(b->controlFrame().width()) + 8, 0));
    QTest::mouseRelease(view, Qt::LeftButton, {}, right - QPoint(int(b->controlFrame().width()) + 8, 0));
    QCOMPARE(b->frame(), before.adjusted(0, 0, 40, 12));
}

void TestFormDesigner::keysNudgeAndDelete()
{
    auto controller = open("T");
    QVERIFY(QTest::qWaitForWindowExposed(controller->view()));
    FDCanvas *canvas = controller->canvas();
    FDCanvasView *view = canvasViewOf(*controller);
    const FDControlPtr a = canvas->controlNamed("A");
    canvas->selectControls({a});
    const QRectF before = a->frame();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(a->frame(), before.translated(1, canvas->minorLineSpacing()));
    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(canvas->controls().size(), 1);
    m_document->undoStack()->undo();
    QCOMPARE(canvas->controls().size(), 2);
}

void TestFormDesigner::paletteDrop()
{
    auto controller = open("T");
    QVERIFY(QTest::qWaitForWindowExposed(controller->view()));
    FDCanvas *canvas = controller->canvas();
    FDCanvasView *view = canvasViewOf(*controller);
    std::unique_ptr<QMimeData> mime(FDPaletteView::mimeDataForKind("Check Box"));
    QVERIFY(mime);
    const QPointF at(40, 120);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, mime.get(), Qt::LeftButton, {});
    QApplication::sendEvent(view, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, mime.get(), Qt::LeftButton, {});
    QApplication::sendEvent(view, &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(canvas->controls().size(), 3);
    const FDControlPtr dropped = canvas->controls().last();
    QCOMPARE(dropped->className(), QString("NSButton"));
    QCOMPARE(dropped->frame().topLeft(), at);
    QVERIFY(!dropped->isDragCopyable());
    QCOMPARE(dropped->scriptBridgeName(), QString("untitled1"));
    m_document->undoStack()->undo();
    QCOMPARE(canvas->controls().size(), 2);
}

void TestFormDesigner::clipboardCopyCutPaste()
{
    auto controller = open("T");
    FDCanvas *canvas = controller->canvas();
    const FDControlPtr a = canvas->controlNamed("A");
    canvas->selectControls({a});
    controller->editor()->copy();
    const FDControlList pasted = controller->editor()->paste();
    QCOMPARE(pasted.size(), 1);
    QCOMPARE(pasted.first()->frameExcludingLabel(), a->frameExcludingLabel().translated(10, 10));
    QCOMPARE(canvas->controls().size(), 3);
    // Cut takes the control away; pasting it back keeps its identity.
    const QString uuid = a->uuid();
    canvas->selectControls({a});
    controller->editor()->cut();
    QVERIFY(!canvas->controlWithUUID(uuid));
    QCOMPARE(controller->editor()->paste().first()->uuid(), uuid);
}

void TestFormDesigner::nameSheetForANewForm()
{
    auto controller = open(QString());
    QVERIFY(controller->isNewForm());
    QCOMPARE(controller->tableChoices(), (QStringList{"None", "T"}));
    QVERIFY(!controller->closeAskForName("", "T", true));
    QVERIFY(!controller->closeAskForName("T", "T", true));
    QCOMPARE(m_env.ui().beeps(), 2);
    QSignalSpy renamed(controller.get(), &LMFormDesignController::nameChanged);
    QVERIFY(controller->closeAskForName("Entry", "T", true));
    QCOMPARE(renamed.size(), 1);
    QCOMPARE(m_navigator.tabLabel, QString("Entry"));
    QVERIFY(m_navigator.calls.contains("reloadSourceListExpanding Forms"));
    QCOMPARE(m_document->forms().size(), 2);
    const Value stored = m_document->formNamed("Entry");
    QCOMPARE(stored.value(kContentTable).toString(), QString("T"));
    QCOMPARE(stored.value(kControls).size(), 2);
    QVERIFY(controller->hasValidContentTable());

    auto none = open(QString());
    QVERIFY(none->closeAskForName("Loose", "None", false));
    QCOMPARE(m_document->formNamed("Loose").value(kContentTable).toString(), QString());
    QVERIFY(!none->hasValidContentTable());
}

void TestFormDesigner::renameExistingForm()
{
    auto controller = open("T");
    QVERIFY(controller->closeAskForName("T", "T", false)); // its own name is fine
    QVERIFY(controller->closeAskForName("People", "T", false));
    QCOMPARE(m_document->forms().size(), 1);
    QVERIFY(m_document->formNamed("People").isDict());
    QVERIFY(!m_document->formNamed("T").isDict());
}

void TestFormDesigner::cleanUpNamesAndStores()
{
    m_document->forms().append(Value::dict({{kName, "untitled 1"}}));
    auto unnamed = open(QString());
    unnamed->editor()->addControlOfKind("Text Field", QPointF(10, 10));
    unnamed->cleanUp();
    QCOMPARE(unnamed->name(), QString("untitled 2"));
    QCOMPARE(m_document->formNamed("untitled 2").value(kControls).size(), 1);

    auto controller = open("T");
    controller->editor()->addControlOfKind("Shape", QPointF(100, 100));
    QCOMPARE(m_document->formNamed("T").value(kControls).size(), 2);
    controller->cleanUp();
    QCOMPARE(m_document->formNamed("T").value(kControls).size(), 3);
    QCOMPARE(m_document->forms().size(), 3);
    QVERIFY(m_document->isChanged());
}

void TestFormDesigner::tableRenameFollows()
{
    auto controller = open("T");
    controller->itemDidRename(ItemKind::Table, "T", "Things");
    QCOMPARE(controller->canvas()->contentTable(), QString("Things"));
    QCOMPARE(m_document->formNamed("T").value(kContentTable).toString(), QString("Things"));
    controller->itemDidRename(ItemKind::Form, "T", "Renamed");
    QCOMPARE(controller->name(), QString("Renamed"));
}

void TestFormDesigner::deleteMe()
{
    // Declining the document's confirmation leaves the form and says so.
    auto kept = open("T");
    m_env.ui().answer("Cancel");
    kept->deleteMe();
    QCOMPARE(m_document->forms().size(), 1);
    QCOMPARE(m_env.ui().alerts().size(), 2);
    QCOMPARE(m_env.ui().alerts().at(1).alert.messageText, QString("Form not deleted"));
    QCOMPARE(m_env.ui().alerts().at(1).alert.informativeText, QString("The form was not deleted."));

    auto controller = open("T");
    m_env.ui().answer("Delete");
    // The document removes the form once the window has left for the overview.
    m_navigator.onCall = [this](const QString &call) {
        if (call == "switchToOverview")
            QCOMPARE(m_document->forms().size(), 1);
    };
    controller->deleteMe();
    QCOMPARE(m_navigator.argumentsOf("switchToOverview").size(), 2);
    QCOMPARE(m_document->forms().size(), 0);
    QCOMPARE(m_env.ui().alerts().size(), 3);
    QCOMPARE(m_env.ui().alerts().at(2).alert.messageText, QString("Confirm Delete"));
    // A deleted form is not written back when the view closes.
    controller->cleanUp();
    QCOMPARE(m_document->forms().size(), 0);
}

void TestFormDesigner::addAction()
{
    auto controller = open("T");
    FDCanvas *canvas = controller->canvas();
    QVERIFY(!controller->addAction()); // needs exactly one selected control
    canvas->selectControls({canvas->controlNamed("A")});
    auto shown = controller->addAction();
    QVERIFY(shown);
    QCOMPARE(shown->name, QString("T"));
    QVERIFY(shown->askForName);
    QCOMPARE(m_document->scriptNamed("T").value("Code String").toString(),
             QString("function form_A(ctrl)\n{\n\t\n}\n"));
    QCOMPARE(canvas->controlNamed("A")->info().value(kControlActionScript).toString(), QString("T"));
    QCOMPARE(m_navigator.argumentsOf("switchToScriptView"), QStringList{"T"});
    canvas->selectControls({canvas->controlNamed("B")});
    shown = controller->addAction();
    QVERIFY(!shown->askForName);
    QCOMPARE(m_document->scriptNamed("T").value("Code String").toString(),
             QString("function form_A(ctrl)\n{\n\t\n}\n\n\nfunction form_B(ctrl)\n{\n\t\n}\n"));
    // A control whose script exists goes to it unchanged.
    shown = controller->addAction();
    QCOMPARE(shown->name, QString("T"));
    QCOMPARE(m_document->scripts().size(), 1);
}

void TestFormDesigner::saveAndReopen()
{
    auto controller = open("T");
    FDCanvas *canvas = controller->canvas();
    const FDControlPtr shape = controller->editor()->addControlOfKind("Shape", QPointF(30, 200));
    shape->labelTextChanged("Box:");
    canvas->selectControls({canvas->controlNamed("A")});
    canvas->lockUnlock();
    controller->cleanUp();
    const Value before = m_document->formNamed("T").deepCopy();
    const QString package = m_env.path("Forms.orvix");
    QString error;
    QVERIFY2(m_document->save(package, "Orvix", &error), qPrintable(error));
    std::unique_ptr<MyDocument> reopened = MyDocument::open(package, "Orvix", &error);
    QVERIFY2(reopened, qPrintable(error));
    QCOMPARE(reopened->formNamed("T"), before);
    LMFormDesignController again("T", reopened.get(), nullptr);
    QCOMPARE(again.canvas()->controls().size(), 3);
    QVERIFY(again.canvas()->controlNamed("A")->isLocked());
    QCOMPARE(again.canvas()->controls().last()->labelText(), QString("Box:"));
}

void TestFormDesigner::toolbarEditsTheSelection()
{
    auto controller = open("T");
    QVERIFY(controller->providesToolbar());
    const QStringList items = controller->toolbarAllowedItemIdentifiers();
    QCOMPARE(controller->toolbarDefaultItemIdentifiers(), items);
    for (const QString &item : items)
        QVERIFY2(controller->toolbarItem(item, true), qPrintable(item));
    QVERIFY(!controller->toolbarItem("No Such Item", true));

    FDCanvas *canvas = controller->canvas();
    const FDControlPtr a = canvas->controlNamed("A");
    const FDControlPtr b = canvas->controlNamed("B");
    QVERIFY(a && b);
    // Nothing selected: the selection's items are off and do nothing.
    canvas->selectControls({});
    QVERIFY(!controller->toolbarItem("Align Left", true)->isEnabled());
    QVERIFY(!controller->toolbarItem("Add Action", true)->isEnabled());
    QVERIFY(!controller->runToolbarItem("Send to Back"));

    b->setFrame(b->frame().translated(37, 0));
    canvas->selectControls({a, b});
    QVERIFY(controller->toolbarItem("Align Left", true)->isEnabled());
    QVERIFY(!controller->toolbarItem("Add Action", true)->isEnabled());
    controller->toolbarItem("Align Left", true)->trigger();
    QCOMPARE(b->frame().left(), a->frame().left());
    m_document->undoStack()->undo();
    QCOMPARE(b->frame().left(), a->frame().left() + 37);

    canvas->selectControls({b});
    controller->toolbarItem("Send to Back", true)->trigger();
    QCOMPARE(canvas->controls().first(), b);
    controller->toolbarItem("Bring to Front", true)->trigger();
    QCOMPARE(canvas->controls().last(), b);
    controller->toolbarItem("Lock", true)->trigger();
    QVERIFY(b->isLocked());

    QAction *grid = controller->toolbarItem("Show Grid", true);
    QCOMPARE(grid->isChecked(), canvas->showGrid());
    const bool shown = canvas->showGrid();
    grid->trigger();
    QCOMPARE(canvas->showGrid(), !shown);
    QCOMPARE(grid->isChecked(), !shown);
    QAction *snap = controller->toolbarItem("Snap to Grid", true);
    const bool snapping = canvas->snapToGrid();
    snap->trigger();
    QCOMPARE(canvas->snapToGrid(), !snapping);
    QCOMPARE(snap->isChecked(), !snapping);
}

void TestFormDesigner::toolbarModes_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("call");
    QTest::newRow("table design") << "Table Design"
                                  << "switchToTableDesignView T";
    QTest::newRow("table data") << "Table Data"
                                << "switchToTableEditView T";
    QTest::newRow("form data") << "Form Data"
                               << "switchToFormDataView T";
    QTest::newRow("form design stays") << "Form Design"
                                       << "";
}

void TestFormDesigner::toolbarModes()
{
    QFETCH(QString, mode);
    QFETCH(QString, call);
    auto controller = open("T");
    auto *modes = qobject_cast<QWidgetAction *>(controller->toolbarItem(LMFormDesignController::kModes, true));
    QVERIFY(modes);
    auto *button = modes->defaultWidget()->findChild<QToolButton *>(mode);
    QVERIFY(button);
    QVERIFY(modes->defaultWidget()->findChild<QToolButton *>("Form Design")->isChecked());
    QTest::mouseClick(button, Qt::LeftButton);
    QStringList switches;
    for (const QString &entry : m_navigator.calls)
        if (entry.startsWith("switchTo"))
            switches << entry;
    QCOMPARE(switches, call.isEmpty() ? QStringList() : QStringList{call});
    QVERIFY(modes->defaultWidget()->findChild<QToolButton *>("Form Design")->isChecked());
}

void TestFormDesigner::toolbarAutoGenerates()
{
    // A new form on the table starts empty; Auto Generate fills it and undo takes it back.
    auto controller = open(QString());
    QVERIFY(controller->closeAskForName("Fresh", "T", false));
    QVERIFY(controller->canvas()->controls().isEmpty());
    QAction *generate = controller->toolbarItem("Auto Generate", true);
    QVERIFY(generate->isEnabled());
    generate->trigger();
    QCOMPARE(controller->canvas()->controls().size(), 2);
    QVERIFY(!generate->isEnabled());
    m_document->undoStack()->undo();
    QVERIFY(controller->canvas()->controls().isEmpty());

    // Without a content table there is nothing to generate from, and the table modes are off.
    auto unbound = open(QString());
    QVERIFY(unbound->closeAskForName("Loose", LMFormDesignController::kNoTable, false));
    QVERIFY(!unbound->toolbarItem("Auto Generate", true)->isEnabled());
    auto *modes = qobject_cast<QWidgetAction *>(unbound->toolbarItem(LMFormDesignController::kModes, true));
    QVERIFY(!modes->defaultWidget()->findChild<QToolButton *>("Table Data")->isEnabled());
    QVERIFY(modes->defaultWidget()->findChild<QToolButton *>("Form Data")->isEnabled());
    unbound->switchToMode("Table Design");
    QVERIFY(m_navigator.argumentsOf("switchToTableDesignView").isEmpty());
}

void TestFormDesigner::fontPanelWritesTheControl()
{
    auto controller = open("T");
    QVERIFY(QTest::qWaitForWindowExposed(controller->view()));
    FDCanvas *canvas = controller->canvas();
    const FDControlPtr a = canvas->controlNamed("A");
    canvas->selectControls({a});
    auto *inspector = controller->view()->findChild<FDInspectorPane *>();
    QVERIFY(inspector);
    auto *bold = inspector->findChild<QCheckBox *>("Font Bold");
    QVERIFY(bold);
    QVERIFY(!bold->isChecked());
    auto *scroll = inspector->findChild<QScrollArea *>();
    QVERIFY(scroll);
    inspector->setCurrentIndex(0);
    // Editors added to a shown page appear once events run.
    QTRY_VERIFY(bold->isVisible());
    scroll->ensureWidgetVisible(bold);
    QTest::mouseClick(bold, Qt::LeftButton);
    QVERIFY(FDFontAttributes::of(a->control()).bold);
    QVERIFY(a->control().attributes().value(FDFontAttributes::kBold).toBool());
    // The canvas shows it: the control's field is drawn bold.
    bool boldField = false;
    for (QLineEdit *edit : canvasViewOf(*controller)->findChildren<QLineEdit *>())
        boldField = boldField || (edit->placeholderText() == "A" && edit->font().bold());
    QVERIFY(boldField);

    // A well has no text: no font panel.
    canvas->selectControls({});
    QVERIFY(!inspector->findChild<QCheckBox *>("Font Bold"));
}

QTEST_MAIN(TestFormDesigner)
#include "test_form_designer.moc"
