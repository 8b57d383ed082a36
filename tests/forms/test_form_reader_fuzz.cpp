// Fuzzing the form reader: mutated definitions, "Control Data" and texts never crash, hang or grow without bound.
#include "DesignFixture.h"
#include "FDCanvas.h"
#include "FDControlArchiver.h"
#include "FDControlKinds.h"
#include "FDFontAttributes.h"
#include "FDKeys.h"
#include "FDSerializationServices.h"
#include "FDShapeControl.h"
#include "PropertyList.h"
#include "TestEnvironment.h"

#include <QPainter>
#include <QRandomGenerator>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

using namespace FDKeys;

namespace {
QByteArray mutated(QByteArray bytes, QRandomGenerator &random)
{
    const int edits = 1 + random.bounded(8);
    for (int i = 0; i < edits && !bytes.isEmpty(); ++i) {
        const int at = random.bounded(int(bytes.size()));
        switch (random.bounded(4)) {
        case 0: bytes[at] = char(random.bounded(256)); break;
        case 1: bytes.insert(at, char(random.bounded(256))); break;
        case 2: bytes.remove(at, 1 + random.bounded(4)); break;
        default: bytes.truncate(at); break;
        }
    }
    return bytes;
}

Value sampleDefinition()
{
    FDCanvas canvas;
    canvas.setName("Fuzz");
    for (const FDControlKind &kind : FDControlKinds::paletteKinds()) {
        FDControlPtr c = FDControl::fdcontrolFromControl(FDControlKinds::makeControl(kind.title), &canvas);
        canvas.addControl(c);
    }
    FDShapeControl shape;
    shape.fillGradient = {Qt::red, Qt::green};
    canvas.addControl(FDControl::fdcontrolFromControl(shape.toControl(), &canvas));
    return canvas.dictionary();
}

// Reads and writes a definition; what matters is that it returns.
int exercise(const Value &definition)
{
    FDCanvas canvas;
    canvas.setDictionary(definition);
    for (const FDControlPtr &c : canvas.controls())
        if (c->className() == kShape)
            FDShapeControl::fromControl(c->control());
    return canvas.dictionary().value(kControls).size();
}
} // namespace

class TestFormReaderFuzz : public QObject {
    Q_OBJECT
private slots:
    void mutatedDefinitions();
    void mutatedControlData();
    void randomTexts();
    void mutatedTitles();

private:
    TestEnvironment m_env;
};

void TestFormReaderFuzz::mutatedDefinitions()
{
    const Value definition = sampleDefinition();
    const QByteArray binary = PropertyList::write(definition, PropertyList::Format::Binary);
    const QByteArray xml = PropertyList::write(definition, PropertyList::Format::Xml);
    QVERIFY(!binary.isEmpty() && !xml.isEmpty());
    QRandomGenerator random(20261210);
    int read = 0;
    for (int i = 0; i < 300; ++i) {
        const QByteArray bytes = mutated(i % 2 ? binary : xml, random);
        const std::optional<Value> value = PropertyList::read(bytes);
        if (!value)
            continue;
        ++read;
        QVERIFY(exercise(*value) <= definition.value(kControls).size() + 1);
    }
    QVERIFY(read > 0);
}

void TestFormReaderFuzz::mutatedControlData()
{
    const Value definition = sampleDefinition();
    const Value entries = definition.value(kControls);
    QRandomGenerator random(7);
    int survived = 0;
    for (int i = 0; i < 400; ++i) {
        const Value entry = entries.at(i % entries.size()).deepCopy();
        entry.value(kInfo).set(kUUID, QString::number(i));
        Value copy = entry;
        copy.set(kControlData, mutated(entry.value(kControlData).toData(), random));
        Value broken = Value::dict({{kName, "F"}, {kControls, Value::array({copy})}});
        FDCanvas canvas;
        canvas.setDictionary(broken);
        // Whether or not the control could be read, the entry is kept and written back.
        QCOMPARE(canvas.controls().size(), 1);
        const Value back = canvas.dictionary().value(kControls).at(0);
        if (!canvas.controls().first()->isReadable()) {
            QCOMPARE(back.value(kControlData).toData(), copy.value(kControlData).toData());
            ++survived;
        }
    }
    QVERIFY(survived > 0);
}

void TestFormReaderFuzz::randomTexts()
{
    QRandomGenerator random(99);
    const QString alphabet = QStringLiteral("{}, -+.eE0123456789<>abc\n");
    for (int i = 0; i < 2000; ++i) {
        QString text;
        const int length = random.bounded(40);
        for (int k = 0; k < length; ++k)
            text += alphabet.at(random.bounded(int(alphabet.size())));
        FDSerializationServices::unserializeRect(text);
        FDSerializationServices::unserializeInteger(text);
        FDSerializationServices::unserializeFloat(text);
        FDSerializationServices::unserializeGradient(text);
        FDCanvas canvas;
        canvas.setDictionary(Value::dict(
            {{kCanvas, Value::dict({{kCanvasSize, text}, {kMinorLineSpacing, text}, {kBackgroundColor, text}})},
             {kControls, Value::array({Value::dict({{kFrame, text}, {kSpringsStruts, text}, {kInfo, text}})})}}));
        QVERIFY(canvas.canvasSize().width() > 0);
    }
    // A very long text of digits is read as a saturated integer, without trouble.
    QCOMPARE(FDSerializationServices::unserializeInteger(QString(100000, '9')), 2147483647);
}

void TestFormReaderFuzz::mutatedTitles()
{
    // A styled shape title, damaged in its stored form, is read, drawn, inspected and retyped without trouble.
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setForeground(QColor(10, 20, 30));
    cursor.insertText("First line", bold);
    cursor.insertBlock();
    cursor.insertText("second", QTextCharFormat());
    const QByteArray stored =
        PropertyList::write(FDSerializationServices::serializeAttributedString(document), PropertyList::Format::Binary);
    QRandomGenerator random(1210);
    QImage image(80, 40, QImage::Format_ARGB32);
    int read = 0;
    for (int i = 0; i < 300; ++i) {
        const std::optional<Value> title = PropertyList::read(mutated(stored, random));
        if (!title)
            continue;
        ++read;
        Value control = FDControlKinds::makeControl("Shape");
        control.attributes().set("Title", *title);
        const FDShapeControl shape = FDShapeControl::fromControl(control);
        QVERIFY(shape.titleText().size() <= 64);
        QPainter painter(&image);
        shape.draw(painter, QRectF(0, 0, 80, 40));
        painter.end();
        FDFontAttributes::of(shape.toControl());
        FDSerializationServices::replacingTextOfAttributedString(*title, "x");
    }
    QVERIFY(read > 0);
}

QTEST_MAIN(TestFormReaderFuzz)
#include "test_form_reader_fuzz.moc"
