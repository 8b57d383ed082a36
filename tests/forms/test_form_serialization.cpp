// Tests of the stored form definition: text forms, canvas settings, control entries and round trips.
#include "ArchivedColor.h"
#include "DesignFixture.h"
#include "FDAttributeInspector.h"
#include "FDCanvas.h"
#include "FDControlArchiver.h"
#include "FDControlKinds.h"
#include "FDFormJson.h"
#include "FDKeys.h"
#include "FDSerializationServices.h"
#include "FDShapeControl.h"
#include "KeyedArchive.h"
#include "ReferenceDate.h"
#include "TestEnvironment.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QPainter>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

using namespace FDKeys;
namespace S = FDSerializationServices;

class TestFormSerialization : public QObject {
    Q_OBJECT
private slots:
    void rectangleText_data();
    void rectangleText();
    void readingGeometry_data();
    void readingGeometry();
    void integerRule_data();
    void integerRule();
    void gradients();
    void uuidForm();
    void storedEntry();
    void newCanvasSettings();
    void roundTripEveryKind();
    void handMadeDefinitions_data();
    void handMadeDefinitions();
    void classIsNotRead();
    void unknownKeysKept();
    void unreadableControlDataSurvives();
    void shapeAttributes();
    void jsonRoundTrip();
    void richTitleRoundTrip();
    void storedTitles_data();
    void storedTitles();
    void retypedTitleKeepsItsFormat();
    void titleIsDrawnWithItsFormat();

private:
    TestEnvironment m_env;
};

void TestFormSerialization::rectangleText_data()
{
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << QRectF(20, 24, 150, 22) << "{{20, 24}, {150, 22}}";
    QTest::newRow("fractions") << QRectF(0.5, -3.25, 10.1, 1e-3) << "{{0.5, -3.25}, {10.1, 0.001}}";
    QTest::newRow("float precision") << QRectF(1.0 / 3, 0, 0, 0) << "{{0.33333334, 0}, {0, 0}}";
    QTest::newRow("zero") << QRectF() << "{{0, 0}, {0, 0}}";
}

void TestFormSerialization::rectangleText()
{
    QFETCH(QRectF, rect);
    QFETCH(QString, text);
    QCOMPARE(S::serializeRect(rect), text);
    const QRectF back = S::unserializeRect(text);
    QCOMPARE(float(back.x()), float(rect.x()));
    QCOMPARE(float(back.width()), float(rect.width()));
    QCOMPARE(S::serializeRect(back), text);
}

void TestFormSerialization::readingGeometry_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRectF>("rect");
    QTest::newRow("tight") << "{{1,2},{3,4}}" << QRectF(1, 2, 3, 4);
    QTest::newRow("size only") << "{300, 200}" << QRectF(300, 200, 0, 0);
    QTest::newRow("empty braces") << "{}" << QRectF();
    QTest::newRow("garbage") << "abc" << QRectF();
    QTest::newRow("exponent") << "{{1e2, 2.5E1}, {3, 4}}" << QRectF(100, 25, 3, 4);
    QTest::newRow("beyond float") << "{{1e60, 0}, {3, 4}}" << QRectF(0, 0, 3, 4);
}

void TestFormSerialization::readingGeometry()
{
    QFETCH(QString, text);
    QFETCH(QRectF, rect);
    QCOMPARE(S::unserializeRect(text), rect);
    QCOMPARE(S::serializeSize(QSizeF(150, 22)), QString("{150, 22}"));
    QCOMPARE(S::unserializeSize("{150, 22}"), QSizeF(150, 22));
    QCOMPARE(S::serializePoint(QPointF(-1.5, 2)), QString("{-1.5, 2}"));
    QCOMPARE(S::serializeRange(3, 7), QString("{3, 7}"));
    QCOMPARE(S::unserializeRange("{3, 7}"), std::make_pair(qint64(3), qint64(7)));
}

void TestFormSerialization::integerRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "12" << 12;
    QTest::newRow("leading integer") << "12abc" << 12;
    QTest::newRow("fraction cut") << "7.9" << 7;
    QTest::newRow("blanks and sign") << "  -5" << -5;
    QTest::newRow("no digits") << "abc" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("too large") << "99999999999" << 2147483647;
    QTest::newRow("too small") << "-99999999999" << int(-2147483648LL);
}

void TestFormSerialization::integerRule()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(S::unserializeInteger(text), value);
    QCOMPARE(S::serializeInteger(value), QString::number(value));
    // Written as 32-bit values.
    QCOMPARE(S::serializeInteger(qint64(1) << 32 | 5), QString("5"));
}

void TestFormSerialization::gradients()
{
    QCOMPARE(S::unserializeGradient("{}").size(), 0);
    QCOMPARE(S::unserializeGradient("").size(), 0);
    QCOMPARE(S::unserializeGradient("{<zz>}").size(), 0);
    const QList<QColor> stops{QColor(255, 0, 0), QColor(0, 0, 255, 128)};
    const QString text = S::serializeGradient(stops);
    QVERIFY(text.startsWith('{') && text.endsWith('}'));
    QCOMPARE(text.count(", "), 1);
    const QList<QColor> back = S::unserializeGradient(text);
    QCOMPARE(back.size(), 2);
    QCOMPARE(back.at(0).rgba(), stops.at(0).rgba());
    QCOMPARE(back.at(1).alpha(), 128);
}

void TestFormSerialization::uuidForm()
{
    ReferenceDate::setClock([] { return 123456.25; });
    const QString uuid = FDControl::makeUUID();
    ReferenceDate::setClock({});
    QVERIFY2(QRegularExpression("^123456\\.25-\\d+$").match(uuid).hasMatch(), qPrintable(uuid));
    FDCanvas canvas;
    const FDControlPtr a = FDControl::fdcontrolFromControl(FDControlKinds::makeControl("Text Field"), &canvas);
    QVERIFY(!a->uuid().isEmpty());
    QCOMPARE(a->info().value(kControlActionType).toString(), QString("Call"));
}

void TestFormSerialization::storedEntry()
{
    FDCanvas canvas;
    canvas.setName("People");
    canvas.setContentTable("Person");
    const FDControlPtr field = FDControl::fdcontrolFromControl(FDControlKinds::makeControl("Text Field"), &canvas);
    field->setFrameExcludingLabel(QRectF(16, 20, 158, 30));
    canvas.addControl(field);

    const Value stored = canvas.dictionary();
    QCOMPARE(stored.value(kName).toString(), QString("People"));
    QCOMPARE(stored.value(kContentTable).toString(), QString("Person"));
    QCOMPARE(stored.value(kControls).size(), 1);
    const Value entry = stored.value(kControls).at(0);
    QCOMPARE(entry.value(kClass).toString(), QString("NSTextField"));
    QCOMPARE(entry.value(kFrame).toString(), QString("{{20, 24}, {150, 22}}"));
    QCOMPARE(entry.value(kSpringsStruts).toString(), QString("36"));
    QVERIFY(entry.value(kIsLocked).isBool());
    QVERIFY(!entry.value(kIsLocked).toBool());
    QVERIFY(entry.value(kInfo).value(kUUID).isString());
    // The control is a class-tagged object under the root key "key".
    const std::optional<Value> control = KeyedArchive::unarchive(entry.value(kControlData).toData(), "key");
    QVERIFY(control);
    QCOMPARE(control->className(), QString("NSTextField"));
    // Written afresh: a changed attribute reaches the next write.
    Value attributes = field->control().attributes();
    attributes.set("Placeholder String", "changed");
    const Value again = canvas.dictionary().value(kControls).at(0);
    QCOMPARE(FDControlArchiver::unarchiveControl(again.value(kControlData).toData())
                 ->attributes()
                 .value("Placeholder String")
                 .toString(),
             QString("changed"));
}

void TestFormSerialization::newCanvasSettings()
{
    FDCanvas canvas;
    const Value settings = canvas.dictionary().value(kCanvas);
    QCOMPARE(settings.keys().size(), 9);
    QCOMPARE(settings.value(kShowGrid).toString(), QString("1"));
    QCOMPARE(settings.value(kSnapToGrid).toString(), QString("1"));
    QCOMPARE(settings.value(kMinorLineSpacing).toString(), QString("10"));
    QCOMPARE(settings.value(kMajorLineInterval).toString(), QString("7"));
    QCOMPARE(settings.value(kUsesBackgroundColor).toString(), QString("0"));
    QCOMPARE(settings.value(kCanvasSize).toString(), QString("{{0, 0}, {400, 400}}"));
    QCOMPARE(ArchivedColor::unarchive(settings.value(kBackgroundColor).toData())->rgba(), QColor(Qt::white).rgba());
    const QColor minor = *ArchivedColor::unarchive(settings.value(kMinorLineColor).toData());
    QCOMPARE(float(minor.redF()), 0.9575f);
    const QColor major = *ArchivedColor::unarchive(settings.value(kMajorLineColor).toData());
    QCOMPARE(float(major.greenF()), 0.91f);
}

void TestFormSerialization::roundTripEveryKind()
{
    FDCanvas canvas;
    canvas.setName("All");
    canvas.setShowGrid(false);
    canvas.setMinorLineSpacing(12);
    canvas.setBackgroundColor(QColor(10, 20, 30));
    canvas.setCanvasSize(QSizeF(640, 480));
    qreal y = 10;
    int mask = 1;
    for (const FDControlKind &kind : FDControlKinds::paletteKinds()) {
        const FDControlPtr wrapper = FDControl::fdcontrolFromControl(FDControlKinds::makeControl(kind.title), &canvas);
        canvas.addControl(wrapper);
        wrapper->labelTextChanged(kind.title + ":");
        wrapper->setFrameExcludingLabel(QRectF(200, y, kind.size.width() + 8, kind.size.height() + 8));
        wrapper->setResizeMask(mask++ % 64);
        wrapper->setLocked(mask % 2);
        Value info = wrapper->info();
        info.set(kValuePath, kind.title);
        info.set(kTarget, "x");
        y += kind.size.height() + 20;
    }
    const Value first = canvas.dictionary().deepCopy();

    FDCanvas back;
    back.setDictionary(first.deepCopy());
    QCOMPARE(back.controls().size(), canvas.controls().size());
    QCOMPARE(back.showGrid(), false);
    QCOMPARE(back.minorLineSpacing(), 12);
    QCOMPARE(back.backgroundColor().rgb(), QColor(10, 20, 30).rgb());
    QCOMPARE(back.canvasSize(), QSizeF(640, 480));
    for (int i = 0; i < canvas.controls().size(); ++i) {
        const FDControlPtr a = canvas.controls().at(i), b = back.controls().at(i);
        QCOMPARE(b->frameExcludingLabel(), a->frameExcludingLabel());
        QCOMPARE(b->frame(), a->frame());
        QCOMPARE(b->info(), a->info());
        QCOMPARE(b->resizeMask(), a->resizeMask());
        QCOMPARE(b->isLocked(), a->isLocked());
        QCOMPARE(b->control(), a->control());
        QCOMPARE(b->labelText(), a->labelText());
    }
    QCOMPARE(back.dictionary(), first);
}

void TestFormSerialization::handMadeDefinitions_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // the canvas property read back, as text
    QTest::newRow("canvas size as rectangle") << kCanvasSize << "{{5, 5}, {300, 200}}"
                                              << "300x200";
    QTest::newRow("canvas size as size") << kCanvasSize << "{300, 200}"
                                         << "300x200";
    QTest::newRow("canvas size empty") << kCanvasSize << "{}"
                                       << "400x400";
    QTest::newRow("spacing without digits") << kMinorLineSpacing << "ten"
                                            << "0";
    QTest::newRow("spacing with tail") << kMinorLineSpacing << "15pt"
                                       << "15";
    QTest::newRow("grid flag text") << kShowGrid << "no"
                                    << "0";
    QTest::newRow("interval") << kMajorLineInterval << "-3"
                              << "-3";
}

void TestFormSerialization::handMadeDefinitions()
{
    QFETCH(QString, key);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    FDCanvas canvas;
    canvas.setDictionary(Value::dict({{kName, "F"}, {kCanvas, Value::dict({{key, text}})}}));
    QString got;
    if (key == kCanvasSize)
        got = QString("%1x%2").arg(canvas.canvasSize().width()).arg(canvas.canvasSize().height());
    else if (key == kMinorLineSpacing)
        got = QString::number(canvas.minorLineSpacing());
    else if (key == kMajorLineInterval)
        got = QString::number(canvas.majorLineInterval());
    else
        got = QString::number(canvas.showGrid());
    QCOMPARE(got, expected);
}

void TestFormSerialization::classIsNotRead()
{
    FDCanvas canvas;
    const FDControlPtr w = FDControl::fdcontrolFromControl(FDControlKinds::makeControl("Check Box"), &canvas);
    canvas.addControl(w);
    Value stored = canvas.dictionary().deepCopy();
    Value entry = stored.value(kControls).at(0);
    entry.set(kClass, "NSSomethingElse");
    FDCanvas back;
    back.setDictionary(stored);
    QCOMPARE(back.controls().first()->className(), QString("NSButton"));
    QCOMPARE(back.dictionary().value(kControls).at(0).value(kClass).toString(), QString("NSButton"));
}

void TestFormSerialization::unknownKeysKept()
{
    Value definition = Value::dict({{kName, "F"}, {"Script Data", "kept"}, {kControls, Value::array()}});
    FDCanvas canvas;
    canvas.setDictionary(definition);
    canvas.setName("G");
    const Value written = canvas.dictionary();
    QVERIFY(written.isSameContainer(definition));
    QCOMPARE(definition.value("Script Data").toString(), QString("kept"));
    QCOMPARE(definition.value(kName).toString(), QString("G"));
}

void TestFormSerialization::unreadableControlDataSurvives()
{
    const QByteArray junk("not an archive");
    Value entry = Value::dict({{kClass, "NSTextField"},
                               {kFrame, "{{20, 24}, {150, 22}}"},
                               {kSpringsStruts, "36"},
                               {kInfo, Value::dict({{kUUID, "1-2"}, {kLabelText, "Lost:"}})},
                               {kControlData, junk},
                               {kIsLocked, true}});
    FDCanvas canvas;
    canvas.setDictionary(Value::dict({{kName, "F"}, {kControls, Value::array({entry})}}));
    QCOMPARE(canvas.controls().size(), 1);
    QVERIFY(!canvas.controls().first()->isReadable());
    const Value back = canvas.dictionary().value(kControls).at(0);
    QCOMPARE(back.value(kControlData).toData(), junk);
    QCOMPARE(back.value(kClass).toString(), QString("NSTextField"));
    QCOMPARE(back.value(kFrame).toString(), QString("{{20, 24}, {150, 22}}"));
    QCOMPARE(back.value(kInfo).value(kLabelText).toString(), QString("Lost:"));
}

void TestFormSerialization::shapeAttributes()
{
    FDShapeControl shape;
    shape.shapeType = FDShapeControl::Circle;
    shape.strokeWidth = 3;
    shape.fillGradient = {Qt::red, Qt::blue};
    shape.fillGradientAngle = 45.5f;
    shape.setTitleText("Hello");
    const QByteArray data = FDControlArchiver::archiveControl(shape.toControl());
    const FDShapeControl back = FDShapeControl::fromControl(*FDControlArchiver::unarchiveControl(data));
    QCOMPARE(back.shapeType, int(FDShapeControl::Circle));
    QCOMPARE(back.strokeWidth, 3);
    QCOMPARE(back.fillGradient.size(), 2);
    QCOMPARE(back.fillGradientAngle, 45.5f);
    QCOMPARE(back.titleText(), QString("Hello"));
    QCOMPARE(shape.toControl().attributes().keys().mid(0, 4),
             (QStringList{"Shape Type", "Stroke Color", "Stroke Width", "Fill Color"}));
    // Squares and circles are made square against the top-left, inside a half-point inset.
    QCOMPARE(back.shapeRect(QRectF(0, 0, 100, 40)), QRectF(0.5, 0.5, 39, 39));
    FDShapeControl rect;
    QCOMPARE(rect.shapeRect(QRectF(0, 0, 100, 40)), QRectF(0.5, 0.5, 99, 39));
    // A "{}" gradient reads as none.
    Value stored = shape.toControl();
    stored.attributes().set("Fill Gradient", "{}");
    QVERIFY(FDShapeControl::fromControl(stored).fillGradient.isEmpty());
}

void TestFormSerialization::jsonRoundTrip()
{
    FDCanvas canvas;
    canvas.setName("Json");
    for (const FDControlKind &kind : FDControlKinds::paletteKinds())
        canvas.addControl(FDControl::fdcontrolFromControl(FDControlKinds::makeControl(kind.title), &canvas));
    FDShapeControl shape;
    shape.fillGradient = {Qt::red, Qt::blue};
    canvas.addControl(FDControl::fdcontrolFromControl(shape.toControl(), &canvas));
    const Value stored = canvas.dictionary();
    const QJsonObject json = FDFormJson::toJson(stored).toObject();
    const QJsonObject settings = json.value(kCanvas).toObject();
    QVERIFY(settings.value(kBackgroundColor).toObject().contains("$color"));
    QCOMPARE(settings.value(kShowGrid).toString(), QString("1"));
    const QJsonObject entry = json.value(kControls).toArray().at(0).toObject();
    QVERIFY(entry.value(kFrame).isString());
    QCOMPARE(entry.value(kControlData).toObject().value("$archive").toObject().value("$class").toString(),
             QString("NSTextField"));

    QString error;
    const std::optional<Value> back = FDFormJson::fromJson(json, &error);
    QVERIFY2(back, qPrintable(error));
    FDCanvas reread;
    reread.setDictionary(*back);
    QCOMPARE(reread.controls().size(), canvas.controls().size());
    for (int i = 0; i < canvas.controls().size(); ++i)
        QCOMPARE(reread.controls().at(i)->control(), canvas.controls().at(i)->control());
    QCOMPARE(FDFormJson::toJson(reread.dictionary()).toObject(), json);
    // Data that is no archive stays as its bytes.
    QCOMPARE(FDFormJson::toJson(Value(QByteArray("xyz"))).toObject().value("$data").toString(), QString("eHl6"));
}

namespace {
// A title whose first word is bold and red and whose second is 20-point italic.
void makeStyledTitle(QTextDocument &document)
{
    QTextCursor cursor(&document);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setForeground(QColor(200, 0, 0));
    cursor.insertText("Total", bold);
    QTextCharFormat italic;
    italic.setFontItalic(true);
    italic.setFontPointSize(20);
    cursor.insertText(" due", italic);
}

QTextCharFormat formatAt(QTextDocument &document, int position)
{
    QTextCursor cursor(&document);
    cursor.setPosition(position);
    return cursor.charFormat();
}

void compareFormats(const QTextCharFormat &a, const QTextCharFormat &b)
{
    QCOMPARE(a.type(), b.type());
    QCOMPARE(a.properties(), b.properties());
}
} // namespace

void TestFormSerialization::richTitleRoundTrip()
{
    // A shape's title keeps its characters and formats through the stored form definition.
    QTextDocument styled;
    makeStyledTitle(styled);
    FDShapeControl shape;
    shape.title = S::serializeAttributedString(styled);
    FDCanvas canvas;
    canvas.setName("Titles");
    canvas.addControl(FDControl::fdcontrolFromControl(shape.toControl(), &canvas));
    const Value stored = canvas.dictionary();
    FDCanvas reread;
    reread.setDictionary(stored);
    QCOMPARE(reread.controls().size(), 1);
    const Value title = reread.controls().first()->control().attributes().value("Title");
    QVERIFY(title.isDict());
    QTextDocument back;
    S::unserializeAttributedString(title, back);
    QCOMPARE(back.toPlainText(), QString("Total due"));
    compareFormats(formatAt(back, 2), formatAt(styled, 2));
    compareFormats(formatAt(back, 8), formatAt(styled, 8));
    QCOMPARE(FDShapeControl::fromControl(reread.controls().first()->control()).titleText(), QString("Total due"));
}

void TestFormSerialization::storedTitles_data()
{
    QTest::addColumn<Value>("stored");
    QTest::addColumn<QString>("text");
    QTest::newRow("plain text of older forms") << Value("Hello\nthere") << "Hello\nthere";
    QTest::newRow("empty plain text") << Value("") << "";
    QTest::newRow("rich text") << S::attributedStringFromPlainText("Rich") << "Rich";
    QTest::newRow("a number") << Value(42) << "";
    QTest::newRow("a dictionary that is no text") << Value::dict({{"Blocks", 3}}) << "";
    QTest::newRow("a later version") << Value::dict({{"Rich Text Version", 99}}) << "";
}

void TestFormSerialization::storedTitles()
{
    QFETCH(Value, stored);
    QFETCH(QString, text);
    Value control = FDControlKinds::makeControl("Shape");
    control.attributes().set("Title", stored);
    const FDShapeControl shape = FDShapeControl::fromControl(control);
    QCOMPARE(shape.titleText(), text);
    // Whatever was read is written back as rich text.
    const Value written = shape.toControl().attributes().value("Title");
    QVERIFY(written.isDict());
    QCOMPARE(S::plainTextOfAttributedString(written), text);
}

void TestFormSerialization::retypedTitleKeepsItsFormat()
{
    QTextDocument styled;
    makeStyledTitle(styled);
    FDShapeControl shape;
    shape.title = S::serializeAttributedString(styled);
    FDCanvas canvas;
    canvas.addControl(FDControl::fdcontrolFromControl(shape.toControl(), &canvas));
    canvas.selectControls({canvas.controls().first()});
    FDAttributeInspector inspector(&canvas);
    Value titleProperty;
    for (int i = 0; i < inspector.properties().size(); ++i)
        if (inspector.properties().at(i).value("Key").toString() == "Title")
            titleProperty = inspector.properties().at(i);
    QVERIFY(titleProperty.isDict());
    QCOMPARE(inspector.valueOf(titleProperty), Value("Total due"));
    inspector.apply(titleProperty, Value("Balance"));
    QCOMPARE(inspector.valueOf(titleProperty), Value("Balance"));
    QTextDocument back;
    S::unserializeAttributedString(canvas.controls().first()->control().attributes().value("Title"), back);
    QCOMPARE(back.toPlainText(), QString("Balance"));
    compareFormats(formatAt(back, 3), formatAt(styled, 1));
}

void TestFormSerialization::titleIsDrawnWithItsFormat()
{
    // A title in green on a white shape: green pixels appear inside the shape, none without the title.
    auto greenPixels = [](const FDShapeControl &shape) {
        QImage image(120, 60, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        shape.draw(painter, QRectF(0, 0, 120, 60));
        painter.end();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                count += c.green() > 100 && c.red() < 80 && c.blue() < 80;
            }
        return count;
    };
    FDShapeControl shape;
    shape.strokeColor.reset();
    QCOMPARE(greenPixels(shape), 0);
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat green;
    green.setForeground(QColor(0, 160, 0));
    green.setFontPointSize(18);
    green.setFontWeight(QFont::Bold);
    cursor.insertText("Go", green);
    shape.title = S::serializeAttributedString(document);
    QVERIFY(greenPixels(shape) > 20);
}

QTEST_MAIN(TestFormSerialization)
#include "test_form_serialization.moc"
