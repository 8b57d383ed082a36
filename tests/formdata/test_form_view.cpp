// The form view's building and loading rules: the enabled, visible and tooltip paths, the frame offset and
// springs and struts, the list field chosen in its pop-up, and a form opened on a saved query's records.
#include "DesignFixture.h"
#include "FDFormGenerator.h"
#include "FDSerializationServices.h"
#include "FEControl.h"
#include "FEView.h"
#include "LMFormDataContainer.h"
#include "LMFormDataController.h"
#include "LMFormDataViews.h"
#include "LMViewController.h"
#include "LMViewRegistry.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "TestEnvironment.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

using namespace DesignFixture;

class TestFormView : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void paths_data();
    void paths();
    void frameOffsetAndSprings();
    void listFieldFromThePopUp();
    void formOpensOnAQuerysRecords();

private:
    // The info of the generated control bound to `name`.
    Value infoOf(const QString &name) const;

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<MyDocument> m_doc;
    QString m_id;
};

void TestFormView::init()
{
    m_env = std::make_unique<TestEnvironment>();
    QString error;
    m_doc =
        newDocument({table("Notes", {field("Title", "Text"), field("Flag", "Number"), field("Hint", "Text")})}, &error);
    QVERIFY2(m_doc, qPrintable(error));
    for (const char *title : {"alpha", "beta", "gamma"}) {
        m_id = insertRow(*m_doc, "Notes");
        QVERIFY(!m_doc->database()->insertNativeValue(Value(QString(title)), "Notes", "Title", m_id));
    }
    QVERIFY(FDFormGenerator::generateFormWithWindow(m_doc.get(), "Notes"));
}

void TestFormView::cleanup()
{
    m_doc.reset();
    m_env.reset();
}

Value TestFormView::infoOf(const QString &name) const
{
    const Value entries = m_doc->formNamed("Notes").value("Controls");
    for (int i = 0; i < entries.size(); ++i)
        if (entries.at(i).value("Info").value("Script Bridge Name").toString() == name)
            return entries.at(i).value("Info");
    return Value();
}

void TestFormView::paths_data()
{
    QTest::addColumn<QString>("pathField");
    QTest::addColumn<Value>("stored");
    QTest::addColumn<bool>("truth");
    QTest::newRow("number zero") << "Flag" << Value(0.0) << false;
    QTest::newRow("number non-zero") << "Flag" << Value(2.0) << true;
    QTest::newRow("empty text") << "Hint" << Value() << false;
    QTest::newRow("text") << "Hint" << Value("x") << true;
}

void TestFormView::paths()
{
    QFETCH(QString, pathField);
    QFETCH(Value, stored);
    QFETCH(bool, truth);
    Value info = infoOf("Title");
    info.set("Enabled Path", pathField);
    info.set("Visible Path", pathField);
    info.set("Tooltip Path", "Hint");
    OXDatabase &db = *m_doc->database();
    QVERIFY(!db.insertNativeValue(stored, "Notes", pathField, m_id));
    if (pathField == "Flag")
        QVERIFY(!db.insertNativeValue(Value("a tip"), "Notes", "Hint", m_id));
    LMFormDataController editor("Notes", m_doc.get(), nullptr);
    editor.feview()->setRecordNumber(m_id);
    FEControl *control = editor.feview()->controlNamed("Title");
    QCOMPARE(control->nsControl()->isEnabled(), truth);
    QCOMPARE(!control->isHidden(), truth);
    const Value tip = db.dbToNativeForTable(cellText(*m_doc, "Notes", "Hint", m_id), "Notes", "Hint");
    QCOMPARE(control->nsControl()->toolTip(), tip.isString() ? tip.toString() : QString());
    // A record that no longer exists disables and empties the form.
    editor.feview()->setRecordNumber("999");
    QVERIFY(editor.feview()->isCovered());
    QCOMPARE(qobject_cast<QLineEdit *>(control->nsControl())->text(), QString());
}

void TestFormView::frameOffsetAndSprings()
{
    const Value entry = m_doc->formNamed("Notes").value("Controls").at(0);
    const QRectF stored = FDSerializationServices::unserializeRect(entry.value("Frame").toString());
    Value(entry).set("Springs Struts", "2"); // width sizable
    FEView form;
    form.setDatabase(m_doc->database());
    form.setDictionary(m_doc->formNamed("Notes"));
    FEView *view = &form;
    view->resize(view->canvasSize().toSize());
    view->show();
    FEControl *control = view->controls().first();
    // Four points left, two lower, four wider than stored.
    QCOMPARE(control->frameExcludingLabel(),
             QRectF(stored.x() - 4, stored.y() + 2, stored.width() + 4, stored.height()));
    QCOMPARE(control->nsControl()->width(), int(stored.width() + 4));
    view->resize(view->canvasSize().toSize() + QSize(100, 50));
    QTRY_COMPARE(control->nsControl()->width(), int(stored.width() + 4) + 100);
    QCOMPARE(control->geometry().top(), int(stored.y() + 2));
}

void TestFormView::listFieldFromThePopUp()
{
    OXDatabase &db = *m_doc->database();
    QVERIFY(!db.insertNativeValue(Value("zeta"), "Notes", "Hint", m_id));
    LMFormDataContainer container(m_doc.get(), "Notes", nullptr);
    LMFormDataController *editor = container.mainEditor();
    container.view()->show();
    QComboBox *popUp = editor->fieldPopUp();
    QCOMPARE(popUp->currentText(), QString("Title"));
    // Choosing a field the way a user does: open the pop-up, move to the field, press Return.
    popUp->setFocus();
    QTest::keyClick(popUp, Qt::Key_Down, Qt::AltModifier);
    const int target = popUp->findText("Hint");
    for (int i = popUp->currentIndex(); i < target; ++i)
        QTest::keyClick(popUp->view(), Qt::Key_Down);
    QTest::keyClick(popUp->view(), Qt::Key_Return);
    QCOMPARE(editor->records().humanKey(), QString("Hint"));
    QCOMPARE(db.humanKeyForTable("Notes"), QString("Hint"));
    QCOMPARE(editor->recordList()->item(2)->text(), QString("zeta"));
    QCOMPARE(editor->recordList()->item(0)->text(), QString("New Record"));
}

void TestFormView::formOpensOnAQuerysRecords()
{
    Value query = Value::dict({{"Name", "Betas"}, {"Table Name", "Notes"}, {"Parameter Boolean", "ALL"}});
    query.set("Parameters", Value::array({Value::dict({{"Type", "Parameters"},
                                                       {"Table", "Notes"},
                                                       {"Field", "Title"},
                                                       {"Datatype", "Text"},
                                                       {"Compare Op", "is equal to"},
                                                       {"Operand", "beta"}})}));
    m_doc->queries().append(query);
    LMViewRegistry registry;
    registerFormDataViews(registry);
    LMViewContext context;
    context.document = m_doc.get();
    context.database = m_doc->database();
    LMViewRequest request;
    request.kind = ViewKind::FormData;
    request.name = "Notes";
    request.queryName = "Betas";
    request.inForm = true;
    request.table = "Notes";
    std::unique_ptr<LMViewController> controller = registry.create(context, request);
    auto *container = dynamic_cast<LMFormDataContainer *>(controller.get());
    QVERIFY(container);
    QCOMPARE(container->identifier(), QString("Form Data"));
    LMFormDataController *editor = container->mainEditor();
    QCOMPARE(editor->records().lines(), QStringList{"beta"});
    QVERIFY(editor->standardSelectQuery().contains(" WHERE "));
    // The filter's "Query" item closes it again and every record comes back.
    container->queryButton();
    QCOMPARE(editor->records().count(), 3);
}

QTEST_MAIN(TestFormView)
#include "test_form_view.moc"
