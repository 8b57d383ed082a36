// Tests of LMColumnSizing over a grid model without the grid's widget: sampled widths, fitting and remembering.
#include "LMColumnSizing.h"
#include "LMTableEditModel.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "TestEnvironment.h"
#include "support/GridFixture.h"

#include <QApplication>
#include <QtTest>

using namespace GridFixture;

class TestColumnSizing : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<MyDocument> doc;
    std::unique_ptr<LMTableEditModel> model;

    // Table "T" with five rows of the same values, shown by a model reading all of them.
    void makeModel()
    {
        QString error;
        doc = newDocument({table("T", {field("t", "Text"), field("yn", "Yes/No"), field("img", "Image"),
                                       field("l", "List"), field("n", "Number")})},
                          &error);
        QVERIFY2(doc, qPrintable(error));
        for (int i = 1; i <= 5; ++i) {
            const QString id = insertRow(*doc, "T");
            setCell(*doc, "T", "t", id, "abc");
            setCell(*doc, "T", "l", id, "a, b");
        }
        model = std::make_unique<LMTableEditModel>();
        model->setDatabase(doc->database());
        model->setTableName("T");
        model->resetColumns();
        model->setRows(doc->database()->executeQuery("SELECT * FROM `T`"));
        QCOMPARE(model->rowCount(), 5);
    }
    int column(const QString &field) const { return model->columnOfField(field); }

private slots:
    void init() { env = std::make_unique<TestEnvironment>(); }
    void cleanup()
    {
        model.reset();
        doc.reset();
        env.reset();
    }
    void fittedWidth_data();
    void fittedWidth();
    void sampledWidths();
    void noRowsLoadedMeansNoSamples();
    void displayedTextRaisesTheRememberedWidth();
};

void TestColumnSizing::fittedWidth_data()
{
    QTest::addColumn<double>("content");
    QTest::addColumn<double>("hint");
    QTest::addColumn<double>("fitted");
    QTest::newRow("narrow content") << 100.0 << 50.0 << 100.0;
    QTest::newRow("capped") << 500.0 << 50.0 << LMColumnSizing::kMaxFittedWidth;
    QTest::newRow("wide header raises the cap") << 500.0 << 400.0 << 400.0;
}

void TestColumnSizing::fittedWidth()
{
    QFETCH(double, content);
    QFETCH(double, hint);
    QFETCH(double, fitted);
    QCOMPARE(LMColumnSizing::fittedWidth(content, hint), fitted);
}

void TestColumnSizing::sampledWidths()
{
    makeModel();
    LMColumnSizing sizing;
    QVERIFY(sizing.needsAutosize());
    const QFontMetricsF metrics(QApplication::font());
    const QList<double> widths = sizing.sampleColumnWidths(*model, {{0, 5}}, metrics);
    QCOMPARE(widths.size(), model->columnCount());
    QVERIFY(!sizing.needsAutosize());
    QCOMPARE(sizing.lastSamples(), 5);
    QCOMPARE(widths.at(column("t")), metrics.horizontalAdvance("abc") + 8);
    QCOMPARE(widths.at(column("yn")), 21.0);
    QCOMPARE(widths.at(column("img")), 30.0);
    QCOMPARE(widths.at(column("l")), metrics.horizontalAdvance("a____________b") + 8);
    QCOMPARE(widths.at(column("n")), 42.0); // every cell empty: no text to measure
    QCOMPARE(sizing.widths().value("t"), widths.at(column("t")));
    // One value measured alone agrees with the sampled column.
    QCOMPARE(LMColumnSizing::widthOfValue(*model, Value("abc"), "Text", column("t"), metrics), widths.at(column("t")));
}

void TestColumnSizing::noRowsLoadedMeansNoSamples()
{
    makeModel();
    LMColumnSizing sizing;
    const QList<double> widths = sizing.sampleColumnWidths(*model, {}, QFontMetricsF(QApplication::font()));
    QCOMPARE(sizing.lastSamples(), 0);
    QCOMPARE(widths.at(column("t")), 10.0);
    QCOMPARE(widths.at(column("yn")), 21.0);
}

void TestColumnSizing::displayedTextRaisesTheRememberedWidth()
{
    makeModel();
    LMColumnSizing sizing;
    sizing.rememberWidth("t", 5);
    sizing.rememberWidth("l", 5);
    QFont font = QApplication::font();
    font.setPointSizeF(12);
    const QString text = "a displayed value";
    sizing.noteDisplayedText(*model, column("t"), text);
    QCOMPARE(sizing.widths().value("t"), QFontMetricsF(font).horizontalAdvance(text));
    sizing.noteDisplayedText(*model, column("t"), "a"); // narrower: kept
    QCOMPARE(sizing.widths().value("t"), QFontMetricsF(font).horizontalAdvance(text));
    sizing.noteDisplayedText(*model, column("l"), text); // lists are not measured this way
    QCOMPARE(sizing.widths().value("l"), 5.0);
    sizing.clearWidths();
    QVERIFY(sizing.widths().isEmpty());
}

QTEST_MAIN(TestColumnSizing)
#include "test_column_sizing.moc"
