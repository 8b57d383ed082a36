// Tests of the inspector models and their resources: attributes, data bindings, and action and outlet links.
#include "DesignFixture.h"
#include "FDAttributeInspector.h"
#include "FDCanvas.h"
#include "FDControlDefinitions.h"
#include "FDControlKinds.h"
#include "FDControlLinks.h"
#include "FDControlWidgets.h"
#include "FDDataBindings.h"
#include "FDFontAttributes.h"
#include "FDKeys.h"
#include "FDSerializationServices.h"
#include "FDShapeControl.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "TestEnvironment.h"

#include <QTextCursor>
#include <QTextDocument>
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
    void fontPanel_data();
    void fontPanel();
    void fontOfSeveralControls();
    void fontSurvivesTheStoredForm();

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

void TestFormInspector::fontPanel_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("field");
    QTest::newRow("text field family") << "Text Field" << int(FDFontAttributes::Family);
    QTest::newRow("text field size") << "Text Field" << int(FDFontAttributes::Size);
    QTest::newRow("label bold") << "Label" << int(FDFontAttributes::Bold);
    QTest::newRow("button italic") << "Push Button" << int(FDFontAttributes::Italic);
    QTest::newRow("pop-up colour") << "Pop Up Button" << int(FDFontAttributes::Color);
    QTest::newRow("shape title size") << "Shape" << int(FDFontAttributes::Size);
    QTest::newRow("shape title bold") << "Shape" << int(FDFontAttributes::Bold);
    QTest::newRow("shape title colour") << "Shape" << int(FDFontAttributes::Color);
    QTest::newRow("shape title family") << "Shape" << int(FDFontAttributes::Family);
}

void TestFormInspector::fontPanel()
{
    QFETCH(QString, kind);
    QFETCH(int, field);
    FDCanvas canvas;
    FDControlPtr control = addKind(canvas, kind);
    if (kind == "Shape") {
        FDShapeControl shape = FDShapeControl::fromControl(control->control());
        shape.setTitleText("Shape title");
        control->setControl(shape.toControl());
    }
    canvas.selectControls({control});
    FDAttributeInspector inspector(&canvas);
    QVERIFY(inspector.showsFont());
    const FDFontAttributes before = inspector.font();
    FDFontAttributes chosen;
    chosen.family = "DejaVu Serif";
    chosen.size = 21;
    chosen.bold = true;
    chosen.italic = true;
    chosen.color = QColor(10, 120, 30);
    inspector.applyFont(chosen, field);
    // Exactly the chosen part changed.
    FDFontAttributes expected = before;
    if (field == FDFontAttributes::Family)
        expected.family = chosen.family;
    if (field == FDFontAttributes::Size)
        expected.size = chosen.size;
    if (field == FDFontAttributes::Bold)
        expected.bold = true;
    if (field == FDFontAttributes::Italic)
        expected.italic = true;
    if (field == FDFontAttributes::Color)
        expected.color = chosen.color;
    QCOMPARE(inspector.font(), expected);
    QCOMPARE(FDFontAttributes::of(control->control()), expected);
    if (kind == "Shape") {
        // The title keeps its characters; the whole of it takes the font.
        QCOMPARE(FDShapeControl::fromControl(control->control()).titleText(), QString("Shape title"));
        return;
    }
    // The widget of the control shows it.
    QWidget parent;
    QWidget *widget = FDControlWidgets::createWidget(control->control(), &parent);
    QCOMPARE(widget->font().bold(), expected.bold);
    QCOMPARE(widget->font().italic(), expected.italic);
    QCOMPARE(widget->font().pixelSize(), qRound(expected.size));
    if (expected.color)
        QCOMPARE(widget->palette().color(QPalette::Text), *expected.color);
    if (!expected.family.isEmpty())
        QCOMPARE(widget->font().families().value(0), expected.family);

    // Back to the standard colour takes the stored colour off.
    inspector.applyFont(FDFontAttributes(), FDFontAttributes::Color);
    QVERIFY(!control->control().attributes().contains(FDFontAttributes::kColor));
}

void TestFormInspector::fontOfSeveralControls()
{
    FDCanvas canvas;
    FDControlPtr big = addKind(canvas, "Text Field");
    FDControlPtr button = addKind(canvas, "Push Button");
    FDControlPtr image = addKind(canvas, "Image Well");
    FDFontAttributes large;
    large.size = 30;
    canvas.selectControls({big});
    FDAttributeInspector inspector(&canvas);
    inspector.applyFont(large, FDFontAttributes::Size);

    // Making both bold keeps the text field's size; the image well has no text and is left alone.
    canvas.selectControls({big, button, image});
    FDFontAttributes bold;
    bold.bold = true;
    inspector.applyFont(bold, FDFontAttributes::Bold);
    QCOMPARE(FDFontAttributes::of(big->control()).size, 30.0);
    QVERIFY(FDFontAttributes::of(big->control()).bold);
    QVERIFY(FDFontAttributes::of(button->control()).bold);
    QVERIFY(!FDFontAttributes::storesFont(image->control()));

    canvas.selectControls({image});
    QVERIFY(!inspector.showsFont());
}

void TestFormInspector::fontSurvivesTheStoredForm()
{
    FDCanvas canvas;
    canvas.setName("Fonts");
    FDControlPtr field = addKind(canvas, "Text Field");
    FDControlPtr shape = addKind(canvas, "Shape");
    FDFontAttributes font;
    font.family = "DejaVu Sans Mono";
    font.size = 17.5;
    font.italic = true;
    font.color = QColor(0, 0, 200);
    canvas.selectControls({field, shape});
    FDAttributeInspector(&canvas).applyFont(font, FDFontAttributes::AllFields);
    FDCanvas reread;
    reread.setDictionary(canvas.dictionary());
    QCOMPARE(reread.controls().size(), 2);
    QCOMPARE(FDFontAttributes::of(reread.controls().at(0)->control()), font);
    QCOMPARE(FDFontAttributes::of(reread.controls().at(1)->control()), font);
}

QTEST_MAIN(TestFormInspector)
#include "test_form_inspector.moc"
