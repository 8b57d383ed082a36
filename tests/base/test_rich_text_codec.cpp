// RichTextCodec: exact round trips of formatted text, tables, lists and images through every stored form; hostile
// input.
#include "KeyedArchive.h"
#include "PlistTestSupport.h"
#include "PropertyList.h"
#include "RichTextCodec.h"

#include <QBrush>
#include <QBuffer>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>
#include <QtEndian>
#include <functional>

using namespace PlistTestSupport;

Q_DECLARE_METATYPE(std::function<Value()>)

namespace {

// Characters outside the BMP (a clef and a face), a form feed and a line separator.
const QString nonBmp = QString::fromUtf8("Clef \xF0\x9D\x84\x9E and face \xF0\x9F\x98\x80");
const QString breaks = QStringLiteral("page one\fpage two\u2028next line\tafter tab");

QTextCharFormat font(const QString &family, double size)
{
    QTextCharFormat f;
    f.setFontFamilies({family});
    f.setFontPointSize(size);
    return f;
}

QImage sampleImage()
{
    QImage image(5, 4, QImage::Format_ARGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            image.setPixel(x, y, qRgba(x * 50, y * 60, 120, 100 + x * 30));
    return image;
}

void fillTable(QTextTable *table)
{
    table->mergeCells(0, 0, 1, 2);
    for (int row = 0; row < table->rows(); ++row) {
        for (int column = 0; column < table->columns(); ++column) {
            QTextTableCell cell = table->cellAt(row, column);
            if (cell.row() != row || cell.column() != column)
                continue;
            QTextTableCellFormat f;
            f.setBackground(row == 0 ? QColor(0xe1, 0xe1, 0xe1) : QColor(0xed, 0xf4, 0xff));
            f.setPadding(row + 2.5);
            if (row == 2 && column == 2) {
                f.setBackground(QColor::fromRgba64(1000, 2000, 3000, 40000)); // not exact in 8 bits
                f.setTopBorder(2);
                f.setBottomBorderStyle(QTextFrameFormat::BorderStyle_Dashed);
                f.setLeftBorderBrush(QColor(Qt::darkGreen));
                f.setFontWeight(QFont::Bold);
            }
            cell.setFormat(f);
            QTextCursor c = cell.firstCursorPosition();
            QTextCharFormat text = font(QStringLiteral("Courier"), 9 + column);
            text.setForeground(QColor(row * 80, 0, column * 100));
            c.insertText(QStringLiteral("r%1c%2 ").arg(row).arg(column), text);
            if (row == 1 && column == 1) {
                QTextBlockFormat right;
                right.setAlignment(Qt::AlignRight);
                c.insertBlock(right, text);
                c.insertText(nonBmp, text);
            }
        }
    }
}

// A document with three fonts, colours, alignments, non-BMP text, a table with merged cells, a list and an image.
void buildSample(QTextDocument &doc)
{
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("orvix://logo")), sampleImage());
    QTextCursor c(&doc);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    centred.setTopMargin(6);
    centred.setBottomMargin(12.5);
    centred.setLeftMargin(18);
    centred.setRightMargin(4);
    centred.setTextIndent(9);
    centred.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
    centred.setTabPositions(
        {QTextOption::Tab(72, QTextOption::RightTab), QTextOption::Tab(144, QTextOption::DelimiterTab, u'.')});
    c.setBlockFormat(centred);
    QTextCharFormat title = font(QStringLiteral("Times New Roman"), 18);
    title.setFontWeight(QFont::Bold);
    title.setForeground(Qt::red);
    c.insertText(QStringLiteral("Report title "), title);
    QTextCharFormat music = font(QStringLiteral("Helvetica"), 12);
    music.setFontItalic(true);
    music.setFontUnderline(true);
    music.setUnderlineColor(QColor(10, 20, 30, 128));
    music.setForeground(QColor(Qt::blue));
    music.setBackground(QColor(Qt::yellow));
    c.insertText(nonBmp, music);
    QTextCharFormat link = font(QStringLiteral("Helvetica"), 12);
    link.setAnchor(true);
    link.setAnchorHref(QStringLiteral("https://tandrel.example/help"));
    link.setAnchorNames({QStringLiteral("help")});
    link.setFontStrikeOut(true);
    link.setBackground(QBrush(Qt::green, Qt::Dense4Pattern));
    c.insertText(QStringLiteral(" help"), link);
    QTextImageFormat image;
    image.setName(QStringLiteral("orvix://logo"));
    image.setWidth(50);
    image.setHeight(40);
    c.insertImage(image);

    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
    QTextCharFormat mono = font(QStringLiteral("Courier"), 10);
    mono.setFontOverline(true);
    c.insertBlock(right, mono);
    c.insertText(breaks, mono);

    QTextTableFormat tf;
    tf.setBorder(1.5);
    tf.setBorderBrush(QColor(0x80, 0x80, 0x80));
    tf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    tf.setCellSpacing(0);
    tf.setCellPadding(4);
    tf.setHeaderRowCount(1);
    tf.setAlignment(Qt::AlignHCenter);
    tf.setBorderCollapse(true);
    tf.setWidth(QTextLength(QTextLength::PercentageLength, 90));
    tf.setColumnWidthConstraints(
        {QTextLength(QTextLength::FixedLength, 100), QTextLength(QTextLength::PercentageLength, 30), QTextLength()});
    QTextTable *table = c.insertTable(3, 3, tf);
    fillTable(table);

    c.setPosition(table->lastPosition() + 1);
    QTextBlockFormat justified;
    justified.setAlignment(Qt::AlignJustify);
    c.setBlockFormat(justified);
    c.insertText(QStringLiteral("After the table."), font(QStringLiteral("Times New Roman"), 11));

    QTextListFormat lf;
    lf.setStyle(QTextListFormat::ListDecimal);
    lf.setNumberPrefix(QStringLiteral("("));
    lf.setNumberSuffix(QStringLiteral(")"));
    lf.setIndent(2);
    c.insertBlock();
    QTextList *list = c.createList(lf);
    c.insertText(QStringLiteral("first item"));
    c.insertBlock();
    c.insertText(QStringLiteral("second item"));
    QTextBlockFormat plain;
    c.insertBlock(plain);
    list->remove(c.block());
    c.insertText(QStringLiteral("not in the list"));
}

QString describe(const QTextFormat &format)
{
    QStringList parts;
    const QMap<int, QVariant> properties = format.properties();
    for (auto it = properties.cbegin(); it != properties.cend(); ++it) {
        QString text;
        QDebug(&text) << it.value();
        parts << QStringLiteral("0x%1=%2").arg(it.key(), 0, 16).arg(text);
    }
    return QStringLiteral("type %1 {%2}").arg(format.type()).arg(parts.join(u' '));
}

// Equal formats apart from the document-internal object index. The property maps are compared, as Qt's own
// streaming of formats does: QTextFormat::operator== also compares the order in which properties were set.
QString formatDifference(QTextFormat a, QTextFormat b, const QString &where)
{
    a.clearProperty(QTextFormat::ObjectIndex);
    b.clearProperty(QTextFormat::ObjectIndex);
    if (a.type() == b.type() && a.properties() == b.properties())
        return QString();
    return where + QStringLiteral(": ") + describe(a) + QStringLiteral(" vs ") + describe(b);
}

QString bodyDifference(QTextFrame::iterator a, QTextFrame::iterator b, const QString &where);

QString blockDifference(const QTextBlock &a, const QTextBlock &b, const QString &where)
{
    if (a.text() != b.text())
        return where + QStringLiteral(": text \"%1\" vs \"%2\"").arg(a.text(), b.text());
    QString d = formatDifference(a.blockFormat(), b.blockFormat(), where + QStringLiteral(" paragraph format"));
    if (d.isEmpty())
        d = formatDifference(a.charFormat(), b.charFormat(), where + QStringLiteral(" end format"));
    if (!d.isEmpty())
        return d;
    if (bool(a.textList()) != bool(b.textList()))
        return where + QStringLiteral(": list membership differs");
    if (a.textList()) {
        if (a.textList()->itemNumber(a) != b.textList()->itemNumber(b))
            return where + QStringLiteral(": list item number differs");
        d = formatDifference(a.textList()->format(), b.textList()->format(), where + QStringLiteral(" list"));
        if (!d.isEmpty())
            return d;
    }
    QTextBlock::iterator x = a.begin();
    QTextBlock::iterator y = b.begin();
    for (int run = 0; !x.atEnd() || !y.atEnd(); ++x, ++y, ++run) {
        const QString at = where + QStringLiteral(" run %1").arg(run);
        if (x.atEnd() != y.atEnd())
            return at + QStringLiteral(": run count differs");
        if (x.fragment().text() != y.fragment().text())
            return at + QStringLiteral(": \"%1\" vs \"%2\"").arg(x.fragment().text(), y.fragment().text());
        d = formatDifference(x.fragment().charFormat(), y.fragment().charFormat(), at);
        if (!d.isEmpty())
            return d;
    }
    return QString();
}

QString tableDifference(QTextTable *a, QTextTable *b, const QString &where)
{
    if (a->rows() != b->rows() || a->columns() != b->columns())
        return where + QStringLiteral(": size differs");
    QString d = formatDifference(a->format(), b->format(), where + QStringLiteral(" format"));
    for (int row = 0; d.isEmpty() && row < a->rows(); ++row) {
        for (int column = 0; d.isEmpty() && column < a->columns(); ++column) {
            const QTextTableCell x = a->cellAt(row, column);
            const QTextTableCell y = b->cellAt(row, column);
            const QString at = where + QStringLiteral(" cell %1,%2").arg(row).arg(column);
            if (x.row() != y.row() || x.column() != y.column() || x.rowSpan() != y.rowSpan() ||
                x.columnSpan() != y.columnSpan())
                return at + QStringLiteral(": merge differs");
            d = formatDifference(x.format(), y.format(), at);
            if (d.isEmpty() && x.row() == row && x.column() == column)
                d = bodyDifference(x.begin(), y.begin(), at);
        }
    }
    return d;
}

QString bodyDifference(QTextFrame::iterator a, QTextFrame::iterator b, const QString &where)
{
    for (int i = 0; !a.atEnd() || !b.atEnd(); ++a, ++b, ++i) {
        const QString at = where + QStringLiteral("/%1").arg(i);
        if (a.atEnd() != b.atEnd() || bool(a.currentFrame()) != bool(b.currentFrame()))
            return at + QStringLiteral(": structure differs");
        QString d;
        if (a.currentFrame()) {
            auto *x = qobject_cast<QTextTable *>(a.currentFrame());
            auto *y = qobject_cast<QTextTable *>(b.currentFrame());
            d = x && y ? tableDifference(x, y, at + QStringLiteral(" table")) : at + QStringLiteral(": not tables");
        } else {
            d = blockDifference(a.currentBlock(), b.currentBlock(), at);
        }
        if (!d.isEmpty())
            return d;
    }
    return QString();
}

// The first difference between two documents, or an empty string.
QString documentDifference(const QTextDocument &a, const QTextDocument &b)
{
    QString d = bodyDifference(a.rootFrame()->begin(), b.rootFrame()->begin(), QStringLiteral("body"));
    if (!d.isEmpty())
        return d;
    const QUrl logo(QStringLiteral("orvix://logo"));
    const QImage x =
        a.resource(QTextDocument::ImageResource, logo).value<QImage>().convertToFormat(QImage::Format_ARGB32);
    const QImage y =
        b.resource(QTextDocument::ImageResource, logo).value<QImage>().convertToFormat(QImage::Format_ARGB32);
    return x == y ? QString() : QStringLiteral("the image differs");
}

Value throughStorage(const Value &stored, const QString &storage)
{
    if (storage == QLatin1String("binary plist"))
        return PropertyList::read(PropertyList::write(stored, PropertyList::Format::Binary)).value_or(Value());
    if (storage == QLatin1String("xml plist"))
        return PropertyList::read(PropertyList::write(stored, PropertyList::Format::Xml)).value_or(Value());
    if (storage == QLatin1String("keyed archive"))
        return KeyedArchive::unarchive(KeyedArchive::archive(stored, QStringLiteral("key")), QStringLiteral("key"))
            .value_or(Value());
    // A report record inside the document's designs, saved as the designs are.
    const Value designs =
        Value::dict({{"Reports", Value::array({Value::dict({{"Name", "Letter"}, {"Attributed String", stored}})})}});
    const std::optional<Value> back = KeyedArchive::unarchiveTop(KeyedArchive::archiveTop(designs));
    return back ? back->value("Reports").at(0).value("Attributed String") : Value();
}

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xffffffffu;
    for (char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A minimal valid stored document with one table; tests below break one piece at a time.
Value validTable()
{
    const Value para = Value::dict({{"Format", 0}, {"Character Format", 1}, {"Runs", Value::array()}});
    const Value cell = Value::dict({{"Format", 1}, {"Blocks", Value::array({para})}});
    return Value::dict(
        {{"Rich Text Version", 1},
         {"Formats", Value::array({Value::dict(), Value::dict({{"Font Point Size", 12.0}})})},
         {"Lists", Value::array()},
         {"Blocks",
          Value::array(
              {para,
               Value::dict(
                   {{"Table", 0}, {"Rows", 1}, {"Columns", 2}, {"Cells", Value::array({cell, cell.deepCopy()})}}),
               para})}});
}

Value edited(const std::function<void(Value &)> &edit)
{
    Value v = validTable().deepCopy();
    edit(v);
    return v;
}

Value cells(const Value &v)
{
    return v.value("Blocks").at(1).value("Cells");
}

// A table whose every cell holds the same shared table, nested: a few hundred bytes that would expand enormously.
Value sharedExplosion()
{
    Value body = validTable().value("Blocks");
    for (int level = 0; level < 12; ++level) {
        const Value cell = Value::dict({{"Format", 1}, {"Blocks", body}});
        Value many = Value::array();
        for (int i = 0; i < 64; ++i)
            many.append(cell);
        body = Value::array({Value::dict({{"Format", 0}, {"Runs", Value::array()}}),
                             Value::dict({{"Table", 0}, {"Rows", 8}, {"Columns", 8}, {"Cells", many}}),
                             Value::dict({{"Format", 0}, {"Runs", Value::array()}})});
    }
    Value v = validTable().deepCopy();
    v.set("Blocks", body);
    return v;
}

Value longSharedText()
{
    Value v = validTable().deepCopy();
    const Value run = Value::dict({{"Text", QString(1 << 20, u'x')}, {"Format", 1}});
    Value runs = Value::array();
    for (int i = 0; i < 64; ++i)
        runs.append(run);
    v.value("Blocks").at(0).set("Runs", runs);
    return v;
}

} // namespace

class TestRichTextCodec : public QObject {
    Q_OBJECT

private slots:
    void roundTripIsExact_data()
    {
        QTest::addColumn<QString>("storage");
        for (const char *s : {"value", "binary plist", "xml plist", "keyed archive", "designs archive"})
            QTest::newRow(s) << QString::fromLatin1(s);
    }

    void roundTripIsExact()
    {
        QFETCH(QString, storage);
        QTextDocument original;
        buildSample(original);
        const Value stored = RichTextCodec::encode(original);
        const Value saved = storage == QLatin1String("value") ? stored : throughStorage(stored, storage);
        QCOMPARE(difference(stored, saved), QString());

        QTextDocument restored;
        restored.setPlainText(QStringLiteral("replaced by decoding"));
        QString error;
        QVERIFY2(RichTextCodec::decode(saved, restored, &error), qPrintable(error));
        const QString diff = documentDifference(original, restored);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        QCOMPARE(restored.toRawText(), original.toRawText());
        // Encoding the restored document gives the same stored value: nothing drifts over repeated saves.
        QCOMPARE(difference(RichTextCodec::encode(restored), stored), QString());
    }

    void sampleHoldsWhatItClaims()
    {
        // Guards the fixture: the round trip above proves nothing if these were missing.
        QTextDocument doc;
        buildSample(doc);
        const Value stored = RichTextCodec::encode(doc);
        QVERIFY(stored.value("Images").value("orvix://logo").isData());
        QCOMPARE(stored.value("Lists").size(), 1);
        const Value table = stored.value("Blocks").at(2);
        QCOMPARE(table.value("Rows").toInt(), 3);
        QCOMPARE(table.value("Cells").at(0).value("Column Span").toInt(), 2);
        QVERIFY(table.value("Cells").at(1).isEmpty());
        QVERIFY(doc.toRawText().contains(QChar(0xD834)));
        const Value title =
            stored.value("Formats").at(int(stored.value("Blocks").at(0).value("Runs").at(0).value("Format").toInt()));
        QCOMPARE(title.value("Font Families"), Value(QStringList{QStringLiteral("Times New Roman")}));
        QCOMPARE(title.value("Foreground").toString(), QStringLiteral("#ff0000"));
    }

    void emptyDocumentRoundTrips()
    {
        QTextDocument empty;
        QTextDocument restored;
        restored.setPlainText(QStringLiteral("old"));
        QVERIFY(RichTextCodec::decode(RichTextCodec::encode(empty), restored));
        QCOMPARE(documentDifference(empty, restored), QString());
        QVERIFY(restored.isEmpty());
    }

    void plainTextSearch()
    {
        QTextDocument doc;
        buildSample(doc);
        const Value stored = RichTextCodec::encode(doc);
        QStringList blocks;
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            blocks << b.text();
        QCOMPARE(RichTextCodec::plainText(stored), blocks.join(u'\n'));
        QVERIFY(RichTextCodec::containsText(stored, QStringLiteral("REPORT TITLE")));
        QVERIFY(RichTextCodec::containsText(stored, QStringLiteral("r2C2")));
        QVERIFY(RichTextCodec::containsText(stored, nonBmp));
        QVERIFY(!RichTextCodec::containsText(stored, QStringLiteral("r3c0")));
        QVERIFY(!RichTextCodec::containsText(Value("Report title"), QStringLiteral("Report")));
    }

    void malformedInputIsRefused_data()
    {
        QTest::addColumn<std::function<Value()>>("make");
        QTest::addColumn<QString>("reason");
        auto row = [](const char *name, const char *reason, std::function<Value()> make) {
            QTest::newRow(name) << make << QString::fromLatin1(reason);
        };
        row("valid table (control)", "", [] { return validTable(); });
        row("not a dictionary", "not a dictionary", [] { return Value("text"); });
        row("null", "not a dictionary", [] { return Value(); });
        row("newer version", "unknown rich text version",
            [] { return edited([](Value &v) { v.set("Rich Text Version", 2); }); });
        row("version as text", "unknown rich text version",
            [] { return edited([](Value &v) { v.set("Rich Text Version", "1"); }); });
        row("no blocks", "malformed", [] { return edited([](Value &v) { v.remove("Blocks"); }); });
        row("empty blocks", "a body without paragraphs",
            [] { return edited([](Value &v) { v.set("Blocks", Value::array()); }); });
        row("formats not an array", "not arrays",
            [] { return edited([](Value &v) { v.set("Formats", Value::dict()); }); });
        row("format number too large", "format number is out of range",
            [] { return edited([](Value &v) { v.value("Blocks").at(0).set("Format", 7); }); });
        row("format number negative", "format number is out of range",
            [] { return edited([](Value &v) { v.value("Blocks").at(0).set("Character Format", -1); }); });
        row("format not a dictionary", "a format is not a dictionary",
            [] { return edited([](Value &v) { v.value("Formats").replace(1, "bold"); }); });
        row("size of the wrong kind", "\"Font Point Size\" has a value of the wrong kind",
            [] { return edited([](Value &v) { v.value("Formats").at(1).set("Font Point Size", "12"); }); });
        row("bad colour", "\"Foreground\" has a value of the wrong kind",
            [] { return edited([](Value &v) { v.value("Formats").at(1).set("Foreground", "#12345"); }); });
        row("bad length", "\"Width\" has a value of the wrong kind", [] {
            return edited([](Value &v) {
                v.value("Formats").at(0).set("Width", Value::dict({{"Type", "Miles"}, {"Value", 3}}));
            });
        });
        row("runs missing", "malformed",
            [] { return edited([](Value &v) { v.value("Blocks").at(0).remove("Runs"); }); });
        row("element not a dictionary", "malformed",
            [] { return edited([](Value &v) { v.value("Blocks").append(5); }); });
        row("rows times columns differ from cells", "does not match its cells",
            [] { return edited([](Value &v) { v.value("Blocks").at(1).set("Rows", 2); }); });
        row("zero columns", "does not match its cells", [] {
            return edited([](Value &v) {
                v.value("Blocks").at(1).set("Columns", 0);
                v.value("Blocks").at(1).set("Cells", Value::array());
            });
        });
        row("huge claimed table", "does not match its cells", [] {
            return edited([](Value &v) {
                v.value("Blocks").at(1).set("Rows", qint64(1) << 31);
                v.value("Blocks").at(1).set("Columns", qint64(1) << 31);
            });
        });
        row("span beyond the table", "spans beyond its table",
            [] { return edited([](Value &v) { cells(v).at(1).set("Column Span", 2); }); });
        row("covered position with content", "overlap or leave gaps",
            [] { return edited([](Value &v) { cells(v).at(0).set("Column Span", 2); }); });
        row("uncovered empty position", "overlap or leave gaps",
            [] { return edited([](Value &v) { cells(v).replace(1, Value::dict()); }); });
        row("cell without blocks", "malformed",
            [] { return edited([](Value &v) { cells(v).at(0).remove("Blocks"); }); });
        row("list number out of range", "list number is out of range",
            [] { return edited([](Value &v) { v.value("Blocks").at(0).set("List", 0); }); });
        row("image that is not a PNG", "an image is unreadable", [] {
            return edited([](Value &v) { v.set("Images", Value::dict({{"x", QByteArray("GIF89a not really")}})); });
        });
        row("image claiming a huge size", "the images are too large", [] {
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            QImage(1, 1, QImage::Format_ARGB32).save(&buffer, "PNG");
            qToBigEndian<quint32>(60000, png.data() + 16); // IHDR width and height, with the chunk's CRC renewed
            qToBigEndian<quint32>(60000, png.data() + 20);
            qToBigEndian<quint32>(crc32(png.mid(12, 17)), png.data() + 29);
            return edited([png](Value &v) { v.set("Images", Value::dict({{"x", png}})); });
        });
        row("tables nested too deeply", "too large or nested too deeply", [] {
            Value v = validTable().deepCopy();
            for (int i = 0; i < 20; ++i) {
                Value inner = validTable().deepCopy();
                cells(inner).at(0).set("Blocks", v.value("Blocks"));
                v = inner;
            }
            return v;
        });
        row("shared subtree repeated beyond the budget", "too large or nested too deeply",
            [] { return sharedExplosion(); });
        row("shared text repeated beyond the budget", "too large or nested too deeply",
            [] { return longSharedText(); });
    }

    void malformedInputIsRefused()
    {
        QFETCH(std::function<Value()>, make);
        QFETCH(QString, reason);
        const Value stored = make();
        const bool control = reason.isEmpty();
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("previous text"));
        QString error;
        QCOMPARE(RichTextCodec::decode(stored, doc, &error), control);
        if (control) {
            QVERIFY(error.isEmpty());
            QCOMPARE(doc.rootFrame()->childFrames().size(), 1);
            return;
        }
        QVERIFY2(error.contains(reason), qPrintable(error));
        QVERIFY(doc.isEmpty());
        QCOMPARE(doc.blockCount(), 1);
        // The same value through a binary property list reads back and is refused the same way.
        const std::optional<Value> saved =
            PropertyList::read(PropertyList::write(stored, PropertyList::Format::Binary));
        if (saved)
            QVERIFY(!RichTextCodec::decode(*saved, doc));
    }

    void plainTextOfMalformedInputIsEmpty()
    {
        QCOMPARE(RichTextCodec::plainText(sharedExplosion()), QString());
        QCOMPARE(RichTextCodec::plainText(longSharedText()), QString());
        QCOMPARE(RichTextCodec::plainText(Value::dict({{"Rich Text Version", 2}})), QString());
    }
};

QTEST_MAIN(TestRichTextCodec)
#include "test_rich_text_codec.moc"
