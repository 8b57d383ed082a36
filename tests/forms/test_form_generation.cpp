// Tests of form generation from a table: kinds, sizes, the 8-point step, labels, the canvas size and refusals.
#include "DesignFixture.h"
#include "FDCanvas.h"
#include "FDControlArchiver.h"
#include "FDFormGenerator.h"
#include "FDKeys.h"
#include "FDSerializationServices.h"
#include "LMFormViews.h"
#include "LMViewRegistry.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "TestEnvironment.h"

#include <QtTest>

using namespace FDKeys;
using DesignFixture::field;

class TestFormGeneration : public QObject {
    Q_OBJECT
private slots:
    void everyFieldKind();
    void onlyTheKey();
    void refusals();
    void designEditorQuestionGenerates();

private:
    TestEnvironment m_env;
};

void TestFormGeneration::everyFieldKind()
{
    const Value table = DesignFixture::table(
        "Things",
        {field("Name", "Text"), field("Price", "Number"), field("When", "Date"), field("Done", "Yes/No"),
         field("Photo", "Image"), field("Kind", "Options", {{"Options", QStringList{"A", "B"}}, {"Default", "B"}}),
         field("Tags", "List"), field("Clip", "Video"), field("Song", "Audio"), field("Link", "Relationship"),
         field("File", "Attachment"), field("Path", "File Path")});
    QString error;
    std::unique_ptr<MyDocument> document = DesignFixture::newDocumentWithTable(table, &error);
    QVERIFY2(document, qPrintable(error));
    QVERIFY(FDFormGenerator::generateFormWithWindow(document.get(), "Things"));
    QVERIFY(document->isChanged());
    const Value form = document->formNamed("Things");
    QCOMPARE(form.value(kContentTable).toString(), QString("Things"));
    const Value entries = form.value(kControls);

    struct Expected {
        QString cls;
        QSizeF size;
    };
    const QList<Expected> expected = {
        {"NSTextField", {150, 22}},  {"NSTextField", {150, 22}},       {"HVFormDatePicker", {150, 22}},
        {"NSButton", {18, 18}},      {"HVNSImageView", {72, 72}},      {"NSPopUpButton", {150, 22}},
        {"NSTokenField", {150, 22}}, {"HVMovieViewWell", {140, 105}},  {"HVMovieViewWell", {140, 15}},
        {"NSButton", {80, 24}},      {"HVAttachmentWell", {140, 120}}, {"NSTextField", {150, 22}},
    };
    const QStringList names{"Name", "Price", "When", "Done", "Photo", "Kind",
                            "Tags", "Clip",  "Song", "Link", "File",  "Path"};
    QCOMPARE(entries.size(), expected.size());
    qreal widest = 0;
    for (const QString &name : names)
        widest = qMax(widest, FDControl::labelWidthFor(name + ":"));
    qreal y = 20, right = 0;
    for (int i = 0; i < entries.size(); ++i) {
        const Value entry = entries.at(i);
        QCOMPARE(entry.value(kClass).toString(), expected.at(i).cls);
        const QRectF frame = FDSerializationServices::unserializeRect(entry.value(kFrame).toString());
        // Every control starts at one x, right of the widest label; rows 8 points apart.
        QCOMPARE(frame, QRectF(QPointF(20 + widest + 8, y), expected.at(i).size));
        y += 8 + expected.at(i).size.height();
        right = qMax(right, frame.right() + 4);
        const Value info = entry.value(kInfo);
        QCOMPARE(info.value(kValuePath).toString(), names.at(i));
        QCOMPARE(info.value(kScriptBridgeName).toString(), names.at(i));
        QCOMPARE(info.value(kLabelText).toString(), names.at(i) + ":");
    }
    const Value kind = FDControlArchiver::unarchiveControl(entries.at(5).value(kControlData).toData())->attributes();
    QCOMPARE(kind.value("Item Titles").toStringList(), (QStringList{"A", "B"}));
    QCOMPARE(kind.value("Selected Item Title").toString(), QString("B"));
    const Value text = FDControlArchiver::unarchiveControl(entries.at(0).value(kControlData).toData())->attributes();
    QCOMPARE(text.value("Placeholder String").toString(), QString("Name"));
    const Value link = FDControlArchiver::unarchiveControl(entries.at(9).value(kControlData).toData())->attributes();
    QCOMPARE(link.value("Title").toString(), QString("Edit"));

    FDCanvas canvas;
    canvas.setDictionary(form);
    const qreal lastBottom = y - 8 + 4; // the last wrapper's bottom edge
    QCOMPARE(canvas.canvasSize(), QSizeF(right + 20, lastBottom + 16));
}

void TestFormGeneration::onlyTheKey()
{
    std::unique_ptr<MyDocument> document = DesignFixture::newDocumentWithTable(DesignFixture::table("Empty", {}));
    QVERIFY(document);
    QVERIFY(FDFormGenerator::generateFormWithWindow(document.get(), "Empty"));
    FDCanvas canvas;
    canvas.setDictionary(document->formNamed("Empty"));
    QCOMPARE(canvas.controls().size(), 0);
    QCOMPARE(canvas.canvasSize(), QSizeF(400, 30));
}

void TestFormGeneration::refusals()
{
    std::unique_ptr<MyDocument> document =
        DesignFixture::newDocumentWithTable(DesignFixture::table("T", {field("A", "Text")}));
    QVERIFY(document);
    QVERIFY(FDFormGenerator::generateFormWithWindow(document.get(), "T"));
    // A second form under a taken name, or one for a table that does not exist, is not made.
    QVERIFY(!FDFormGenerator::generateFormWithWindow(document.get(), "T"));
    QVERIFY(!FDFormGenerator::generateFormWithWindow(document.get(), "Nope", "Other"));
    QCOMPARE(document->forms().size(), 1);
    QVERIFY(FDFormGenerator::generateFormWithWindow(document.get(), "T", "Second"));
    QCOMPARE(document->formNamed("Second").value(kContentTable).toString(), QString("T"));
}

void TestFormGeneration::designEditorQuestionGenerates()
{
    std::unique_ptr<MyDocument> document =
        DesignFixture::newDocumentWithTable(DesignFixture::table("T", {field("A", "Text")}));
    QVERIFY(document);
    LMViewRegistry registry;
    QCOMPARE(registry.generateForm(*document, "T"), QString());
    registerFormViews(registry);
    QVERIFY(registry.hasFactory(ViewKind::FormDesign));
    QCOMPARE(registry.generateForm(*document, "T"), QString("T"));
    QCOMPARE(document->forms().size(), 1);
    QCOMPARE(registry.generateForm(*document, "T"), QString());
}

QTEST_MAIN(TestFormGeneration)
#include "test_form_generation.moc"
