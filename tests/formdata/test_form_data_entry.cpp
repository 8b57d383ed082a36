// Form data entry driven through real widget events: typing and leaving a control writes the record, refused
// values, check boxes, navigation, add and delete with their sheets, nested editors and the script hooks.
#include "DesignFixture.h"
#include "FDControlWidgets.h"
#include "FDFormGenerator.h"
#include "FDShapeControl.h"
#include "FEControl.h"
#include "FEControlAttributes.h"
#include "FEView.h"
#include "HVFormWell.h"
#include "LMDataPanel.h"
#include "LMFormDataContainer.h"
#include "LMFormDataController.h"
#include "LMInsertRecord.h"
#include "LMRelationship.h"
#include "LMScriptViews.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "OXJavascriptRunController.h"
#include "Preferences.h"
#include "TestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

using namespace DesignFixture;

class TestFormDataEntry : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void typingAndLeavingWritesTheCell();
    void refusedValueAlertsAndReloads();
    void checkBoxWritesOneAndZero();
    void navigationBeepsAtTheEnds();
    void addAndDeleteAskAsThePreferenceSays_data();
    void addAndDeleteAskAsThePreferenceSays();
    void formWithoutContentTableIsDisabled();
    void nestedEditorAddsLinksAndRefusesASecondRecord();
    void nestedDeleteAsksWhatToDelete();
    void callControlRunsItsHooksInOrder();
    void imageWellLoadsAndSavesADroppedFile();
    void dataPanelFollowsTheFocusedControl();
    void runControlRunsItsScriptAfterTheSave();
    void controlScriptRunsWhileTheWindowStaysResponsive();
    void linkSendsItsActionToTheTarget();
    void scriptsReachTheAttributeTable_data();
    void scriptsReachTheAttributeTable();
    void attributeWritesShowInTheWidgets();
    void shapeAttributesRedrawTheShape();

private:
    void show();
    LMFormDataController *editor() const { return m_container->activeController(); }
    QLineEdit *lineEdit(const QString &name) const;
    void typeAndLeave(QWidget *widget, const QString &text, QWidget *next);
    // Runs script code for the People form shown in the editor; the value of `expression` as JSON.
    QString runForForm(const QString &code, const QString &expression);

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<MyDocument> m_doc;
    std::unique_ptr<LMFormDataContainer> m_container;
    QStringList m_ids;
};

void TestFormDataEntry::init()
{
    m_env = std::make_unique<TestEnvironment>();
    QString error;
    m_doc = newDocument(
        {table("People", {field("name", "Text"), field("code", "Text", {{"Regex", "^[0-9]+$"}}),
                          field("member", "Yes/No"), field("employer", "Relationship"), field("photo", "Image")}),
         table("Companies", {field("title", "Text")})},
        &error);
    QVERIFY2(m_doc, qPrintable(error));
    m_doc->relationships().set("Lines",
                               Value::array({LMRelationship::makeRecord("People", "employer", "Companies", {}, 0)}));
    m_ids.clear();
    for (const char *name : {"Ada", "Bob", "Cy"}) {
        m_ids << insertRow(*m_doc, "People");
        QVERIFY(!m_doc->database()->insertNativeValue(Value(QString(name)), "People", "name", m_ids.last()));
    }
    QVERIFY(FDFormGenerator::generateFormWithWindow(m_doc.get(), "People"));
    QVERIFY(FDFormGenerator::generateFormWithWindow(m_doc.get(), "Companies"));
    m_container = std::make_unique<LMFormDataContainer>(m_doc.get(), "People", nullptr);
}

void TestFormDataEntry::cleanup()
{
    m_container.reset();
    m_doc.reset();
    m_env.reset();
}

void TestFormDataEntry::show()
{
    QWidget *view = m_container->view();
    view->resize(900, 600);
    view->show();
    QApplication::setActiveWindow(view);
    QVERIFY(QTest::qWaitForWindowActive(view));
}

QLineEdit *TestFormDataEntry::lineEdit(const QString &name) const
{
    FEControl *control = editor()->feview()->controlNamed(name);
    return control ? qobject_cast<QLineEdit *>(control->nsControl()) : nullptr;
}

void TestFormDataEntry::typeAndLeave(QWidget *widget, const QString &text, QWidget *next)
{
    widget->setFocus();
    QTRY_VERIFY(widget->hasFocus());
    QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(widget, text);
    next->setFocus();
    QTRY_VERIFY(next->hasFocus());
}

void TestFormDataEntry::typingAndLeavingWritesTheCell()
{
    show();
    LMFormDataController *form = editor();
    QCOMPARE(form->recordList()->count(), 3);
    QCOMPARE(form->records().lines(), (QStringList{"Ada", "Bob", "Cy"}));
    form->gotoFirstRow();
    QCOMPARE(form->feview()->recordNumber(), m_ids[0]);
    QCOMPARE(lineEdit("name")->text(), QString("Ada"));
    QCOMPARE(form->recordNumberField()->text(), QString("1"));

    m_doc->setChanged(false);
    typeAndLeave(lineEdit("name"), "Ada Lovelace", lineEdit("code"));
    QCOMPARE(cellText(*m_doc, "People", "name", m_ids[0]), QString("Ada Lovelace"));
    QVERIFY(m_doc->isChanged());
    // The record list follows at once, and the record stays shown.
    QCOMPARE(form->recordList()->item(0)->text(), QString("Ada Lovelace"));
    QCOMPARE(form->selectedIndex(), 0);
    QCOMPARE(form->feview()->lastFieldWritten(), QString("name"));
    // Acting on a control that still shows the stored value writes nothing.
    m_doc->setChanged(false);
    form->feview()->controlAction(form->feview()->controlNamed("name"));
    QVERIFY(!m_doc->isChanged());
}

void TestFormDataEntry::refusedValueAlertsAndReloads()
{
    show();
    editor()->gotoFirstRow();
    QVERIFY(!m_doc->database()->insertNativeValue(Value("42"), "People", "code", m_ids[0]));
    editor()->reloadData();
    QCOMPARE(lineEdit("code")->text(), QString("42"));
    typeAndLeave(lineEdit("code"), "forty", lineEdit("name"));
    QCOMPARE(m_env->ui().alerts().size(), 1);
    const Alert alert = m_env->ui().alerts().first().alert;
    QCOMPARE(alert.messageText, QString("Value is invalid"));
    QCOMPARE(alert.informativeText,
             QString("The value you entered did not pass the validation checks required by field \"code\""));
    QCOMPARE(cellText(*m_doc, "People", "code", m_ids[0]), QString("42"));
    QCOMPARE(lineEdit("code")->text(), QString("42"));
}

void TestFormDataEntry::checkBoxWritesOneAndZero()
{
    show();
    editor()->gotoLastRow();
    auto *box = qobject_cast<QCheckBox *>(editor()->feview()->controlNamed("member")->nsControl());
    QVERIFY(box);
    QVERIFY(!box->isChecked());
    QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
    QCOMPARE(cellText(*m_doc, "People", "member", m_ids[2]), QString("1"));
    QVERIFY(box->isChecked());
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
    QCOMPARE(cellText(*m_doc, "People", "member", m_ids[2]), QString("0"));
}

void TestFormDataEntry::navigationBeepsAtTheEnds()
{
    show();
    LMFormDataController *form = editor();
    // No selection: next beeps, previous goes to the last line.
    form->selectIndex(-1);
    QVERIFY(form->feview()->isCovered());
    form->gotoNextRow();
    QCOMPARE(m_env->ui().beeps(), 1);
    form->gotoFirstRow();
    form->gotoPreviousRow();
    QCOMPARE(m_env->ui().beeps(), 2);
    form->gotoNextRow();
    form->gotoNextRow();
    QCOMPARE(lineEdit("name")->text(), QString("Cy"));
    form->gotoNextRow();
    QCOMPARE(m_env->ui().beeps(), 3);
    // A typed record number selects that line; one out of range changes nothing.
    QTest::keyClick(form->recordNumberField(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(form->recordNumberField(), "2");
    QTest::keyClick(form->recordNumberField(), Qt::Key_Return);
    QCOMPARE(lineEdit("name")->text(), QString("Bob"));
    form->gotoRowTextField("9");
    QCOMPARE(form->selectedIndex(), 1);
    QCOMPARE(form->recordNumberField()->text(), QString("2"));
}

void TestFormDataEntry::addAndDeleteAskAsThePreferenceSays_data()
{
    QTest::addColumn<bool>("prompt");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("asked, kept") << true << "Don't Delete" << false;
    QTest::newRow("asked, deleted") << true << "Delete" << true;
    QTest::newRow("not asked") << false << QString() << true;
}

void TestFormDataEntry::addAndDeleteAskAsThePreferenceSays()
{
    QFETCH(bool, prompt);
    QFETCH(QString, answer);
    QFETCH(bool, deleted);
    Preferences::instance().setValue("LMPromptWhenDelete", prompt);
    show();
    QAction *add = m_container->toolbarItem("Add Record", true);
    QAction *remove = m_container->toolbarItem("Delete Record", true);
    QVERIFY(add->isEnabled());
    QVERIFY(!m_container->toolbarItem("Insert Record", true)->isEnabled());
    add->trigger();
    LMFormDataController *form = editor();
    QCOMPARE(form->records().count(), 4);
    QCOMPARE(form->selectedIndex(), 3);
    QCOMPARE(form->recordList()->item(3)->text(), QString("New Record"));
    QVERIFY(remove->isEnabled());
    const QString id = form->feview()->recordNumber();
    if (!answer.isEmpty())
        m_env->ui().answer(answer);
    remove->trigger();
    if (prompt) {
        QCOMPARE(m_env->ui().alerts().size(), 1);
        const Alert alert = m_env->ui().alerts().first().alert;
        QCOMPARE(alert.messageText, QString("Are you sure you want to delete this row?"));
        QCOMPARE(alert.informativeText, QString("This action cannot be undone."));
        QCOMPARE(alert.buttons, (QStringList{"Delete", "Don't Delete"}));
    } else {
        QVERIFY(m_env->ui().alerts().isEmpty());
    }
    QCOMPARE(form->records().ids().contains(id), !deleted);
    QCOMPARE(cellText(*m_doc, "People", "id", id).isEmpty(), deleted);
    QCOMPARE(form->feview()->isCovered(), deleted);
    QCOMPARE(remove->isEnabled(), !deleted);
}

void TestFormDataEntry::formWithoutContentTableIsDisabled()
{
    Value form = m_doc->formNamed("Companies");
    form.set("Content Table", "");
    LMFormDataContainer container(m_doc.get(), "Companies", nullptr);
    LMFormDataController *editor = container.mainEditor();
    QCOMPARE(editor->recordList()->count(), 0);
    QVERIFY(editor->feview()->isCovered());
    QVERIFY(!editor->validateButtons());
    for (const char *item : {"Add Record", "Delete Record", "Insert Record", "Uninsert Record"})
        QVERIFY2(!container.toolbarItem(item, true)->isEnabled(), item);
}

void TestFormDataEntry::nestedEditorAddsLinksAndRefusesASecondRecord()
{
    show();
    editor()->gotoFirstRow();
    // The generated "Edit" button of the relationship field opens the related records in a new tab.
    auto *edit = qobject_cast<QAbstractButton *>(editor()->feview()->controlNamed("employer")->nsControl());
    QVERIFY(edit);
    QTest::mouseClick(edit, Qt::LeftButton, {}, edit->rect().center());
    QCOMPARE(m_container->tabCount(), 2);
    QCOMPARE(m_container->tabLabel(1), QString("employer"));
    LMFormDataController *nested = editor();
    QVERIFY(nested->isNested());
    QCOMPARE(nested->contentTable(), QString("Companies"));
    QCOMPARE(nested->records().count(), 0);
    QCOMPARE(nested->standardSelectQuery(), QString("SELECT `id`, `title` FROM `Companies`  WHERE id IN () "));
    QVERIFY(m_container->toolbarItem("Insert Record", true)->isEnabled());

    m_container->toolbarItem("Add Record", true)->trigger();
    QCOMPARE(nested->records().count(), 1);
    const QString company = nested->records().idAt(0);
    QCOMPARE(nested->records().commaIndexes(), QString("'%1'").arg(company));
    QCOMPARE(cellText(*m_doc, "People", "employer", m_ids[0]), company);
    typeAndLeave(qobject_cast<QLineEdit *>(nested->feview()->controlNamed("title")->nsControl()), "Acme",
                 nested->recordNumberField());
    QCOMPARE(cellText(*m_doc, "Companies", "title", company), QString("Acme"));

    // A one-to-one relationship takes no second record.
    m_container->toolbarItem("Add Record", true)->trigger();
    QCOMPARE(m_env->ui().beeps(), 1);
    QCOMPARE(m_env->ui().alerts().size(), 1);
    QCOMPARE(m_env->ui().alerts().first().alert.messageText, QString("Too Many Records"));
    QCOMPARE(m_env->ui().alerts().first().alert.informativeText,
             QString("You can't add any more records to this subtable."));
    QCOMPARE(nested->records().count(), 1);
    QCOMPARE(DesignFixture::cellText(*m_doc, "People", "employer", m_ids[0]), company);

    // Selecting the first tab closes the nested one.
    m_container->selectTab(0);
    QCOMPARE(m_container->tabCount(), 1);
}

void TestFormDataEntry::nestedDeleteAsksWhatToDelete()
{
    const QString company = insertRow(*m_doc, "Companies");
    insertRow(*m_doc, "Companies"); // one more, so that the picker still offers a record after a link
    QVERIFY(!m_doc->database()->insertNativeValue(Value(company), "People", "employer", m_ids[1]));
    editor()->gotoRowTextField("2");
    editor()->feview()->controlAction(editor()->feview()->controlNamed("employer"));
    LMFormDataController *nested = editor();
    QVERIFY(nested->isNested());
    QCOMPARE(nested->records().count(), 1);
    nested->gotoFirstRow();
    m_env->ui().answer("Remove from Relationship");
    m_container->removeRowButtonPressed();
    const Alert alert = m_env->ui().alerts().first().alert;
    QCOMPARE(alert.messageText, QString("What do you want to delete?"));
    QCOMPARE(alert.informativeText,
             QString("Do you want to delete this record from just the relationship or permanently from the database?"));
    QCOMPARE(alert.buttons, (QStringList{"Remove from Relationship", "Delete from Database", "Cancel"}));
    QCOMPARE(nested->records().count(), 0);
    QVERIFY(nested->records().idListIsEmpty());
    const QString stored = cellText(*m_doc, "People", "employer", m_ids[1]);
    QVERIFY2(stored.isEmpty() || stored == "<null>", qPrintable(stored));
    // The company itself is still there; with the list empty, a second delete only beeps.
    QCOMPARE(cellText(*m_doc, "Companies", "id", company), company);
    nested->deleteButton();
    QCOMPARE(m_env->ui().beeps(), 1);

    // Insert picks an existing record and links it; a second one is too many for a one-to-one relationship.
    nested->insertButton();
    LMInsertRecord *sheet = nested->insertSheet();
    QVERIFY(sheet);
    QVERIFY(sheet->rowCount() >= 1);
    sheet->selectRow(0);
    const QString picked = sheet->idAtRow(0);
    sheet->accept();
    QCOMPARE(nested->records().ids(), QStringList{picked});
    QCOMPARE(cellText(*m_doc, "People", "employer", m_ids[1]), picked);
    QVERIFY(m_container->toolbarItem("Uninsert Record", true)->isEnabled());
    nested->insertButton();
    nested->insertSheet()->selectRow(0);
    nested->insertSheet()->accept();
    QCOMPARE(m_env->ui().alerts().last().alert.messageText, QString("Too Many Records"));
    QCOMPARE(nested->records().count(), 1);
    // Uninsert removes it from the relationship only.
    m_container->uninsertRowButtonPressed();
    QCOMPARE(nested->records().count(), 0);
    QCOMPARE(cellText(*m_doc, "Companies", "id", picked), picked);
}

void TestFormDataEntry::dataPanelFollowsTheFocusedControl()
{
    show();
    editor()->gotoFirstRow();
    lineEdit("code")->setFocus();
    QTRY_VERIFY(lineEdit("code")->hasFocus());
    m_container->toolbarItem("Data", true)->trigger();
    LMDataPanel *panel = LMDataPanel::lazySharedManager();
    QVERIFY(panel);
    QCOMPARE(panel->table(), QString("People"));
    QCOMPARE(panel->column(), QString("code"));
    QCOMPARE(panel->rowid(), m_ids[0]);
    QCOMPARE(panel->delegate(), static_cast<LMDataPanelDelegate *>(editor()));
    lineEdit("name")->setFocus();
    QTRY_COMPARE(panel->column(), QString("name"));
    editor()->gotoNextRow();
    QCOMPARE(panel->rowid(), m_ids[1]);
    m_container->toolbarItem("Data", true)->trigger();
}

void TestFormDataEntry::callControlRunsItsHooksInOrder()
{
    Value script =
        Value::dict({{"Name", "Hooks"},
                     {"Code String", R"(function note(t) { Form.SetGlobal("log", (Form.GetGlobal("log") || "") + t); }
function controlWillAction(c) { note("W" + c.name); }
function controlDidAction(c) { note("D"); }
function form_name(c) {
    note("F" + c.value() + window.OrvixController.xwFormCurrentLastEditedField());
    c.setAttribute("Tooltip", "seen");
})"}});
    m_doc->scripts().append(script);
    Value form = m_doc->formNamed("People");
    Value entries = form.value("Controls");
    for (int i = 0; i < entries.size(); ++i) {
        Value info = entries.at(i).value("Info");
        if (info.value("Script Bridge Name").toString() == "name") {
            info.set("Control Action Type", "Call");
            info.set("Control Action Script", "Hooks");
        }
    }
    show();
    editor()->refresh();
    editor()->gotoFirstRow();
    typeAndLeave(lineEdit("name"), "Ann", lineEdit("code"));
    QCOMPARE(cellText(*m_doc, "People", "name", m_ids[0]), QString("Ann"));
    // The control's own function ran last, after the save, and reached the control through the form; it runs
    // on its own thread, so the test's event loop serves its host calls.
    QTRY_COMPARE(m_doc->formNamed("People").value("OXFORMGLOBAL_log").toString(), QString("WnameDFAnnname"));
    QTRY_COMPARE(lineEdit("name")->toolTip(), QString("seen"));
}

void TestFormDataEntry::imageWellLoadsAndSavesADroppedFile()
{
    QImage stored(4, 3, QImage::Format_RGB32);
    stored.fill(Qt::red);
    QVERIFY(!m_doc->database()->insertNativeValue(Value(stored), "People", "photo", m_ids[1]));
    show();
    editor()->gotoRowTextField("2");
    auto *well = qobject_cast<HVFormWell *>(editor()->feview()->controlNamed("photo")->nsControl());
    QVERIFY(well);
    QCOMPARE(well->objectValue().toImage().size(), QSize(4, 3));
    // A file taken by the well, as a drop gives it, is written into the record at once.
    QImage dropped(5, 5, QImage::Format_RGB32);
    dropped.fill(Qt::blue);
    const QString path = m_env->path("dropped.png");
    QVERIFY(dropped.save(path));
    QVERIFY(well->takeFile(path));
    const Value written =
        m_doc->database()->dbToNativeForTable(cellText(*m_doc, "People", "photo", m_ids[1]), "People", "photo");
    QCOMPARE(written.toImage().size(), QSize(5, 5));
    // Another record without a picture empties the well.
    editor()->gotoFirstRow();
    QVERIFY(well->objectValue().isNull());
}

// The info dictionary of the generated control named `name` in the People form.
static Value peopleInfo(MyDocument &doc, const QString &name)
{
    const Value entries = doc.formNamed("People").value("Controls");
    for (int i = 0; i < entries.size(); ++i)
        if (entries.at(i).value("Info").value("Script Bridge Name").toString() == name)
            return entries.at(i).value("Info");
    return Value();
}

void TestFormDataEntry::runControlRunsItsScriptAfterTheSave()
{
    m_doc->scripts().append(
        Value::dict({{"Name", "Count"},
                     {"Code String",
                      R"(Form.SetGlobal("n", (Form.GetGlobal("n") || "") + "R" + Form.ControlNamed("name").value());
function controlWillAction(c) { Form.SetGlobal("will", "called"); })"}}));
    Value info = peopleInfo(*m_doc, "name");
    info.set("Control Action Type", "Run");
    info.set("Control Action Script", "Count");
    show();
    editor()->gotoFirstRow();
    typeAndLeave(lineEdit("name"), "Ann", lineEdit("code"));
    // Once per action, after the value was saved; a "Run" control calls no named function.
    QTRY_COMPARE(scriptRunCount(m_doc.get()), 0);
    QCOMPARE(m_doc->formNamed("People").value("OXFORMGLOBAL_n").toString(), QString("RAnn"));
    QVERIFY(!m_doc->formNamed("People").contains("OXFORMGLOBAL_will"));
}

void TestFormDataEntry::controlScriptRunsWhileTheWindowStaysResponsive()
{
    m_doc->scripts().append(Value::dict({{"Name", "Spin"}, {"Code String", "while (true) {}"}}));
    Value info = peopleInfo(*m_doc, "name");
    info.set("Control Action Type", "Run");
    info.set("Control Action Script", "Spin");
    show();
    editor()->gotoFirstRow();
    typeAndLeave(lineEdit("name"), "Ann", lineEdit("code"));
    // The action returned while the loop runs; the window's stop command ends it.
    QCOMPARE(scriptRunCount(m_doc.get()), 1);
    QCOMPARE(cellText(*m_doc, "People", "name", m_ids[0]), QString("Ann"));
    QCOMPARE(stopScriptRuns(m_doc.get()), 1);
    QTRY_COMPARE_WITH_TIMEOUT(scriptRunCount(m_doc.get()), 0, 1000);

    // A form closed while its script runs ends that run first: the script's host calls reach the form.
    typeAndLeave(lineEdit("name"), "Bea", lineEdit("code"));
    QCOMPARE(scriptRunCount(m_doc.get()), 1);
    m_container.reset();
    QCOMPARE(scriptRunCount(m_doc.get()), 0);
}

void TestFormDataEntry::linkSendsItsActionToTheTarget()
{
    Value target = peopleInfo(*m_doc, "name");
    target.remove("Value Path"); // an unbound control keeps what it is given
    Value source = peopleInfo(*m_doc, "code");
    source.set("Target", target.value("UUID"));
    source.set("Action", "takeStringValueFrom:");
    show();
    editor()->refresh();
    editor()->gotoFirstRow();
    typeAndLeave(lineEdit("code"), "123", lineEdit("name"));
    QCOMPARE(cellText(*m_doc, "People", "code", m_ids[0]), QString("123"));
    QCOMPARE(lineEdit("name")->text(), QString("123"));
    // The unbound control's text is not written anywhere.
    QCOMPARE(cellText(*m_doc, "People", "name", m_ids[0]), QString("Ada"));
}

QString TestFormDataEntry::runForForm(const QString &code, const QString &expression)
{
    OXJavascriptRunController runner(code + QStringLiteral("\nvar __result = JSON.stringify(%1);").arg(expression),
                                     m_doc.get());
    runner.setFormName("People");
    runner.setFormHost(editor()->feview());
    runner.run();
    if (!runner.errors().isEmpty())
        return runner.errors().first().value("message").toString();
    return runner.executeCode("__result").toString();
}

void TestFormDataEntry::scriptsReachTheAttributeTable_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("attribute");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    // Read before the write, then the write, then read again; the attribute by its key or label, any case.
    QTest::newRow("placeholder by key") << "name"
                                        << "Placeholder String"
                                        << "'Type a name'"
                                        << R"("name")"
                                        << R"("Type a name")";
    QTest::newRow("placeholder by label") << "name"
                                          << "placeholder"
                                          << "42"
                                          << R"("name")"
                                          << R"("42")";
    QTest::newRow("editable") << "name"
                              << "EDITABLE"
                              << "0"
                              << "true"
                              << "false";
    QTest::newRow("text") << "name"
                          << "String Value"
                          << "'Zed'"
                          << R"("Ada")"
                          << R"("Zed")";
    QTest::newRow("stored enum") << "name"
                                 << "Alignment"
                                 << "'2'"
                                 << "0"
                                 << "2";
    QTest::newRow("tool tip key") << "code"
                                  << "Tool Tip"
                                  << "'digits'"
                                  << R"("")"
                                  << R"("digits")";
    QTest::newRow("check box state") << "member"
                                     << "State"
                                     << "true"
                                     << "0"
                                     << "1";
    QTest::newRow("image scaling") << "photo"
                                   << "Image Scaling"
                                   << "1.0"
                                   << "3"
                                   << "1";
    QTest::newRow("unknown attribute") << "name"
                                       << "Bogus"
                                       << "'x'"
                                       << "null"
                                       << "null";
    QTest::newRow("unknown control") << "nobody"
                                     << "Editable"
                                     << "true"
                                     << "null"
                                     << "null";
}

void TestFormDataEntry::scriptsReachTheAttributeTable()
{
    QFETCH(QString, control);
    QFETCH(QString, attribute);
    QFETCH(QString, value);
    QFETCH(QString, before);
    QFETCH(QString, after);
    show();
    editor()->gotoFirstRow();
    const QString c = QStringLiteral("window.OrvixController.");
    const QString get = c + QStringLiteral("xwFormGetControlAttribute__('%1', '%2')").arg(control, attribute);
    QCOMPARE(runForForm(QString(), get), before);
    QCOMPARE(
        runForForm(c + QStringLiteral("xwFormSetControlAttribute___('%1', '%2', %3);").arg(control, attribute, value),
                   get),
        after);
}

void TestFormDataEntry::attributeWritesShowInTheWidgets()
{
    show();
    editor()->gotoFirstRow();
    runForForm(R"(var name = Form.ControlNamed("name");
name.setAttribute("Placeholder", "Type a name");
name.setAttribute("Editable", false);
Form.ControlNamed("member").setAttribute("State", 1);
Form.ControlNamed("member").setAttribute("Title", "Member?");)",
               "0");
    QLineEdit *name = lineEdit("name");
    QCOMPARE(name->placeholderText(), QString("Type a name"));
    QVERIFY(name->isReadOnly());
    auto *member = qobject_cast<QCheckBox *>(editor()->feview()->controlNamed("member")->nsControl());
    QVERIFY(member);
    QVERIFY(member->isChecked());
    QCOMPARE(member->text(), QString("Member?"));
    // Scripts change the live controls, not the stored form.
    const QByteArray stored = m_doc->formNamed("People").value("Controls").at(0).value("Control Data").toData();
    QVERIFY(!stored.contains("Type a name"));
}

void TestFormDataEntry::shapeAttributesRedrawTheShape()
{
    FDShapeControl shape;
    shape.setTitleText("Hi");
    const Value archived = shape.toControl();
    QWidget *widget = FDControlWidgets::createWidget(archived, nullptr);
    std::unique_ptr<FEControl> control(FEControl::fecontrolFromControl(widget, "FDShapeControl"));
    control->setArchivedControl(archived);
    QCOMPARE(FEControlAttributes::read(*control, "Fill Color"), std::optional<Value>(Value("#ffffff")));
    QCOMPARE(FEControlAttributes::read(*control, "title"), std::optional<Value>(Value("Hi")));
    QVERIFY(FEControlAttributes::write(*control, "fill color", Value("#ff0000")));
    QVERIFY(FEControlAttributes::write(*control, "Title", Value("Bye")));
    QVERIFY(FEControlAttributes::write(*control, "Stroke Width", Value("3")));
    QCOMPARE(FEControlAttributes::read(*control, "Fill Color"), std::optional<Value>(Value("#ff0000")));
    QCOMPARE(FEControlAttributes::read(*control, "Title"), std::optional<Value>(Value("Bye")));
    // The shape is drawn anew from the changed attributes.
    QVERIFY(control->nsControl() != widget);
    const FDShapeControl changed = FDShapeControl::fromControl(control->archivedControl());
    QCOMPARE(changed.fillColor, std::optional<QColor>(QColor(255, 0, 0)));
    QCOMPARE(changed.strokeWidth, 3);
    QCOMPARE(changed.titleText(), QString("Bye"));
    QVERIFY(!FEControlAttributes::write(*control, "Bogus", Value(1)));
    QVERIFY(!FEControlAttributes::read(*control, "Bogus"));
}

QTEST_MAIN(TestFormDataEntry)
#include "test_form_data_entry.moc"
