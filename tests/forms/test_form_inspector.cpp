// Tests of the inspector models and their resources: attributes, data bindings, and action and outlet links.
#include "DesignFixture.h"
#include "FDAttributeInspector.h"
#include "FDCanvas.h"
#include "FDControlDefinitions.h"
#include "FDControlKinds.h"
#include "FDControlLinks.h"
#include "FDDataBindings.h"
#include "FDKeys.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "TestEnvironment.h"

#include <QtTest>

using namespace FDKeys;

namespace {
FDControlPtr addKind(FDCanvas &canvas, const QString &kind)
{
    FDControlPtr c = FDControl::fdcontrolFromControl(FDControlKinds::makeControl(kind), &canvas);
    canvas.addControl(c);
    return c;
}

Value propertyOf(const QString &className, const QString &key)
{
    const Value properties = FDControlDefinitions::propertiesForClass(className);
    for (int i = 0; i < properties.size(); ++i)
        if (properties.at(i).value("Key").toString() == key)
            return properties.at(i);
    return Value();
}
} // namespace

class TestFormInspector : public QObject {
    Q_OBJECT
private slots:
    void resourcesCoverEveryKind();
    void attributeInspector();
    void dataBindings();
    void actionAndOutletLinks();

private:
    TestEnvironment m_env;
};

void TestFormInspector::resourcesCoverEveryKind()
{
    const QStringList types{"NSString", "NSArray", "int",  "double", "float", "NSNumber",
                            "NSDate",   "NSColor", "BOOL", "NSFont", "enum"};
    for (const FDControlKind &kind : FDControlKinds::paletteKinds()) {
        const Value properties = FDControlDefinitions::propertiesForClass(kind.className);
        QVERIFY2(properties.isArray(), qPrintable(kind.title));
        QVERIFY2(FDControlDefinitions::actionDefinitions().contains(kind.className), qPrintable(kind.title));
        for (int i = 0; i < properties.size(); ++i) {
            const Value p = properties.at(i);
            QVERIFY(types.contains(p.value("Type").toString()));
            QVERIFY(!p.value("Label").toString().isEmpty());
            // Every offered attribute is one that some control of the class really has.
            bool known = false;
            for (const FDControlKind &other : FDControlKinds::paletteKinds())
                if (FDControlDefinitions::isKindOf(other.className, kind.className) ||
                    FDControlDefinitions::isKindOf(kind.className, other.className))
                    known = known ||
                            FDControlKinds::makeControl(other.title).attributes().contains(p.value("Key").toString());
            QVERIFY2(known, qPrintable(kind.title + ": " + p.value("Key").toString()));
        }
    }
    // The first entry in table order whose class the control is a kind of: a token field is a text field.
    QVERIFY(FDControlDefinitions::isKindOf("NSTokenField", "NSTextField"));
    QVERIFY(!FDControlDefinitions::isKindOf("NSTextField", "NSTokenField"));
    QVERIFY(FDControlDefinitions::propertiesForClass("Bogus").isNull());
}

void TestFormInspector::attributeInspector()
{
    FDCanvas canvas;
    FDAttributeInspector inspector(&canvas);
    QCOMPARE(inspector.placeholderText(), QString("No Selection"));
    const FDControlPtr field = addKind(canvas, "Text Field");
    const FDControlPtr box = addKind(canvas, "Check Box");
    canvas.selectControls({field, box});
    QCOMPARE(inspector.placeholderText(), QString("Multiple Controls"));
    canvas.selectControls({field});
    QCOMPARE(inspector.placeholderText(), QString());
    QCOMPARE(FDAttributeInspector::labelFor(propertyOf("NSTextField", "Placeholder String")), QString("Placeholder:"));

    inspector.apply(propertyOf("NSTextField", "Placeholder String"), Value("Type here"));
    QCOMPARE(field->control().attributes().value("Placeholder String").toString(), QString("Type here"));
    inspector.apply(propertyOf("NSTextField", "Alignment"), Value(2));
    QCOMPARE(field->control().attributes().value("Alignment"), Value(2));
    inspector.apply(propertyOf("NSTextField", "Editable"), Value(0));
    QCOMPARE(field->control().attributes().value("Editable"), Value(false));

    // Numbers are only set on controls that have the attribute; reading a missing one answers -23.
    const Value state = propertyOf("NSButton", "State");
    canvas.selectControls({field, box});
    inspector.apply(state, Value(1));
    QVERIFY(!field->control().attributes().contains("State"));
    QCOMPARE(box->control().attributes().value("State"), Value(1));
    canvas.selectControls({field});
    QCOMPARE(inspector.valueOf(state), Value(FDAttributeInspector::kMissingInteger));

    inspector.setLabelText("Name:");
    QCOMPARE(field->info().value(kLabelText).toString(), QString("Name:"));

    const FDControlPtr lost = FDControl::unreadable("Bogus", "junk", &canvas);
    canvas.addControl(lost);
    canvas.selectControls({lost});
    QCOMPARE(inspector.placeholderText(), QString("No Attributes"));
}

void TestFormInspector::dataBindings()
{
    std::unique_ptr<MyDocument> document = DesignFixture::newDocumentWithTable(
        DesignFixture::table("T", {DesignFixture::field("A", "Text"), DesignFixture::field("B", "Relationship")}));
    QVERIFY(document);
    FDCanvas canvas;
    canvas.setContentTable("T");
    FDDataBindings bindings(&canvas, document->database());
    QCOMPARE(bindings.choices(), (QStringList{"None", "", "id", "A", "B"}));
    QVERIFY(!bindings.isEnabled());
    const FDControlPtr one = addKind(canvas, "Text Field"), two = addKind(canvas, "Text Field");
    canvas.selectControls({one, two});
    bindings.bind(kValuePath, "A");
    bindings.bind(kVisiblePath, "B");
    QCOMPARE(two->info().value(kValuePath).toString(), QString("A"));
    QCOMPARE(bindings.binding(kVisiblePath), QString("B"));
    bindings.bind(kValuePath, "None");
    QVERIFY(!one->info().contains(kValuePath));
    QCOMPARE(bindings.binding(kValuePath), QString("None"));
}

void TestFormInspector::actionAndOutletLinks()
{
    FDCanvas canvas;
    const FDControlPtr button = addKind(canvas, "Push Button"), field = addKind(canvas, "Text Field");
    QVERIFY(FDControlLinks::actionsOffered(field).contains("takeStringValueFrom"));
    QVERIFY(FDControlLinks::outletsOffered(button).contains("nextKeyView"));
    QVERIFY(FDControlLinks::chooseAction(button, field, "takeStringValueFrom"));
    QCOMPARE(button->info().value(kTarget).toString(), field->uuid());
    QCOMPARE(button->info().value(kAction).toString(), QString("takeStringValueFrom:"));
    QVERIFY(!FDControlLinks::chooseAction(button, field, "takeStringValueFrom"));
    QVERIFY(!button->info().contains(kTarget) && !button->info().contains(kAction));

    QVERIFY(FDControlLinks::chooseOutlet(button, field, "nextKeyView"));
    QCOMPARE(button->info().value(kOutletValue).toString(), field->uuid());
    QCOMPARE(button->info().value(kOutletKey).toString(), QString("nextKeyView"));
    // Links survive writing and reading the form.
    FDCanvas back;
    back.setDictionary(canvas.dictionary().deepCopy());
    QCOMPARE(back.controlWithUUID(back.controls().first()->info().value(kOutletValue).toString())->className(),
             QString("NSTextField"));
    QVERIFY(!FDControlLinks::chooseOutlet(button, field, "nextKeyView"));
    QVERIFY(!button->info().contains(kOutletValue));
}

QTEST_MAIN(TestFormInspector)
#include "test_form_inspector.moc"
