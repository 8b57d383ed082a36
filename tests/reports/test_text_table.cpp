// Tests of text tables: limits, columns, header and side cells, colours, borders and padding.
#include "LMReportParser.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "OXTextTable.h"
#include "TestEnvironment.h"
#include "support/ReportFixture.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>
#include <QtTest>

class TestTextTable : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void limits_data();
    void limits();
    void showOnlyWithHeader();
    void cellsAndColours();
    void styleOfCells();

private:
    std::shared_ptr<OXTextTable> table(const QString &formula) const;
    static QTextTable *firstTable(QTextDocument &document);
    static QString cellText(QTextTable *table, int row, int column);

    TestEnvironment m_environment;
    std::unique_ptr<MyDocument> m_document;
};

void TestTextTable::initTestCase()
{
    QString error;
    m_document = ReportFixture::salesDocument(&error);
    QVERIFY2(m_document, qPrintable(error));
    // Ten records in "N" for the limit rules: Y holds 1 to 10.
    for (int i = 5; i <= 10; ++i) {
        m_document->database()->performQuery(QStringLiteral("INSERT INTO N (X, Y) VALUES ('0', '%1')").arg(i));
        QCOMPARE(m_document->database()->lastErrorID(), 0);
    }
}

std::shared_ptr<OXTextTable> TestTextTable::table(const QString &formula) const
{
    const OXObjectPtr object =
        LMReportParser::evaluateChain(*m_document->database(), LMReportParser::components(formula));
    return std::dynamic_pointer_cast<OXTextTable>(object);
}

QTextTable *TestTextTable::firstTable(QTextDocument &document)
{
    for (QTextFrame *frame : document.rootFrame()->childFrames())
        if (auto *t = qobject_cast<QTextTable *>(frame))
            return t;
    return nullptr;
}

QString TestTextTable::cellText(QTextTable *t, int row, int column)
{
    return t->cellAt(row, column).firstCursorPosition().block().text();
}

void TestTextTable::limits_data()
{
    QTest::addColumn<QString>("options");
    QTest::addColumn<QStringList>("shown");
    const auto ids = [](int from, int to) {
        QStringList out;
        for (int i = from; i <= to; ++i)
            out << QString::number(i);
        return out;
    };
    QTest::newRow("none") << "" << ids(1, 10);
    QTest::newRow("limit(2, 3)") << ".:limit(2, 3)" << ids(2, 4);
    QTest::newRow("limit(9, 5) past the end shows the first") << ".:limit(9, 5)" << ids(1, 1);
    QTest::newRow("limit(0, 3) starts at 1") << ".:limit(0, 3)" << ids(1, 3);
    QTest::newRow("limit(4)") << ".:limit(4)" << ids(1, 4);
    QTest::newRow("limit(3, 0) shows one") << ".:limit(3, 0)" << ids(3, 3);
    QTest::newRow("limit(-2, 3)") << ".:limit(-2, 3)" << ids(1, 3);
    QTest::newRow("limit(2, -4)") << ".:limit(2, -4)" << ids(2, 2);
    QTest::newRow("limit(10, 1)") << ".:limit(10, 1)" << ids(10, 10);
}

void TestTextTable::limits()
{
    QFETCH(QString, options);
    QFETCH(QStringList, shown);
    const std::shared_ptr<OXTextTable> t = table(QStringLiteral("N.:asTable") + options);
    QVERIFY(t);
    QCOMPARE(t->shownRowids(), shown);
    std::unique_ptr<QTextDocument> document = t->attributedString();
    QTextTable *rendered = firstTable(*document);
    QVERIFY(rendered);
    QCOMPARE(rendered->rows(), int(shown.size()));
    QCOMPARE(cellText(rendered, 0, 2), shown.first());
}

void TestTextTable::showOnlyWithHeader()
{
    const std::shared_ptr<OXTextTable> t =
        table(QStringLiteral("Sales.:asTable.:showOnly(Amount, Nosuch, Name).:header"));
    QVERIFY(t);
    QCOMPARE(t->shownFields(), (QStringList{QStringLiteral("Amount"), QStringLiteral("Name")}));
    std::unique_ptr<QTextDocument> document = t->attributedString();
    QTextTable *rendered = firstTable(*document);
    QVERIFY(rendered);
    QCOMPARE(rendered->columns(), 2);
    QCOMPARE(rendered->rows(), 4);
    QCOMPARE(cellText(rendered, 0, 0), QStringLiteral("Amount"));
    QCOMPARE(cellText(rendered, 0, 1), QStringLiteral("Name"));
    QCOMPARE(cellText(rendered, 1, 1), QStringLiteral("Apple"));
    QCOMPARE(cellText(rendered, 3, 0), QStringLiteral("20"));
}

void TestTextTable::cellsAndColours()
{
    const std::shared_ptr<OXTextTable> t =
        table(QStringLiteral("Sales.:asTable.:showOnly(Name).:header.:side.:alternating(102030, FFFFFF).:data"));
    QVERIFY(t);
    std::unique_ptr<QTextDocument> document = t->attributedString();
    QTextTable *rendered = firstTable(*document);
    QVERIFY(rendered);
    QCOMPARE(rendered->rows(), 4);
    QCOMPARE(rendered->columns(), 2);
    const auto background = [&](int row, int column) {
        return rendered->cellAt(row, column).format().background().color().name().toUpper();
    };
    QCOMPARE(cellText(rendered, 0, 0), QString());
    QCOMPARE(cellText(rendered, 0, 1), QStringLiteral("Name"));
    QCOMPARE(cellText(rendered, 2, 0), QStringLiteral("2"));
    QCOMPARE(cellText(rendered, 2, 1), QStringLiteral("banana"));
    QCOMPARE(background(0, 0), QStringLiteral("#E8E8E8"));
    QCOMPARE(background(0, 1), QStringLiteral("#E8E8E8"));
    QCOMPARE(background(1, 0), QStringLiteral("#F3F3F3"));
    QCOMPARE(background(1, 1), QStringLiteral("#42D132"));
    QCOMPARE(background(2, 1), QStringLiteral("#102030"));
    QCOMPARE(background(3, 1), QStringLiteral("#42D132"));
}

void TestTextTable::styleOfCells()
{
    const std::shared_ptr<OXTextTable> t = table(QStringLiteral("Sales.:asTable"));
    QVERIFY(t);
    std::unique_ptr<QTextDocument> document = t->attributedString();
    QTextTable *rendered = firstTable(*document);
    QVERIFY(rendered);
    // Every field but the relationship, no header or side column, no background.
    QCOMPARE(rendered->columns(), 6);
    QCOMPARE(rendered->rows(), 3);
    const QTextTableFormat format = rendered->format();
    QVERIFY(format.borderCollapse());
    QCOMPARE(format.border(), 0.5);
    QCOMPARE(format.cellPadding(), 4.5);
    QCOMPARE(format.borderBrush().color(), QColor::fromRgbF(0.3f, 0.3f, 0.3f));
    QVERIFY(format.columnWidthConstraints().isEmpty());
    QCOMPARE(rendered->cellAt(0, 0).format().background().style(), Qt::NoBrush);
    // Collapsed borders are drawn by the cells themselves.
    const QTextTableCellFormat cell = rendered->cellAt(2, 5).format().toTableCellFormat();
    QCOMPARE(cell.topBorder(), 0.5);
    QCOMPARE(cell.leftBorderBrush().color(), QColor::fromRgbF(0.3f, 0.3f, 0.3f));
    QCOMPARE(cell.topPadding(), 4.5);
    QCOMPARE(cell.bottomBorderStyle(), QTextFrameFormat::BorderStyle_Solid);
    QCOMPARE(cellText(rendered, 0, 1), QStringLiteral("Apple"));
}

QTEST_MAIN(TestTextTable)
#include "test_text_table.moc"
