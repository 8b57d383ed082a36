// Tests of DisplayFormatter on field designs alone: the display text of values and the reading of display text.
#include "DesignFixture.h"
#include "DisplayFormatter.h"

#include <QImage>
#include <QtTest>

namespace {
const Value kAttributes = Value::dict({{"Font", Value("Helvetica 12")}, {"Colour", Value("red")}});

// A field of the type as the design editor adds it, with the extra keys given.
Value fieldWith(const QString &type, const Value &extra)
{
    Value f = DesignFixture::field("F", type);
    for (const QString &key : extra.keys())
        f.set(key, extra.value(key));
    return f;
}
} // namespace

class TestDisplayFormatter : public QObject {
    Q_OBJECT
private slots:
    void formatting_data();
    void formatting();
    void removeFormatting_data();
    void removeFormatting();
    void missingFieldShowsPlainText();
};

void TestDisplayFormatter::formatting_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<Value>("extra");
    QTest::addColumn<Value>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("attributed");
    const Value none = Value::dict();
    const auto with = [](std::initializer_list<std::pair<QString, Value>> e) { return Value::dict(e); };
    QTest::newRow("nil") << "Text" << none << Value() << "" << false;
    QTest::newRow("text") << "Text" << none << Value("abc") << "abc" << true;
    QTest::newRow("text given a number") << "Text" << none << Value(5) << "" << false;
    QTest::newRow("primary key") << "Primary Key" << none << Value("7") << "7" << false;
    QTest::newRow("number plain") << "Number" << none << Value(2.5) << "2.5" << true;
    QTest::newRow("number from string") << "Number" << none << Value("3") << "3" << true;
    QTest::newRow("number pattern") << "Number" << with({{"Format", "0.000"}}) << Value(2.5) << "2.500" << true;
    QTest::newRow("number given an image")
        << "Number" << none << Value(QImage(1, 1, QImage::Format_RGB32)) << "" << false;
    QTest::newRow("date pattern") << "Date" << with({{"Date Format", "yyyy-MM-dd"}}) << Value::date(0) << "2001-01-01"
                                  << true;
    QTest::newRow("date from stored text")
        << "Date" << with({{"Date Format", "yyyy-MM-dd"}}) << Value("86400") << "2001-01-02" << true;
    QTest::newRow("yes") << "Yes/No" << with({{"Yes Value", "Ja"}, {"No Value", "Nein"}}) << Value(true) << "Ja"
                         << true;
    QTest::newRow("no") << "Yes/No" << with({{"Yes Value", "Ja"}, {"No Value", "Nein"}}) << Value(false) << "Nein"
                        << true;
    QTest::newRow("yes from text") << "Yes/No" << none << Value("1") << "Yes" << true;
    QTest::newRow("list separator") << "List" << with({{"List Separator", " | "}}) << Value(QStringList{"a", "b"})
                                    << "a | b" << true;
    QTest::newRow("list default separator") << "List" << none << Value(QStringList{"a", "b"}) << "a, b" << true;
    QTest::newRow("options") << "Options" << none << Value("Red") << "Red" << true;
    QTest::newRow("image") << "Image" << none << Value(QImage(1, 1, QImage::Format_RGB32)) << "<image>" << false;
    QTest::newRow("audio") << "Audio" << none << Value::object("OXMovie") << "<audio>" << false;
    QTest::newRow("video") << "Video" << none << Value::object("OXMovie") << "<video>" << false;
    QTest::newRow("attachment") << "Attachment" << none << Value::object("HVFileWrapper") << "<attachment>" << false;
    QTest::newRow("file path") << "File Path" << none << Value("/tmp/x") << "/tmp/x" << false;
    QTest::newRow("relationship") << "Relationship" << none << Value("1, 2") << "1, 2" << false;
    QTest::newRow("file path given a number") << "File Path" << none << Value(3.5) << "3.5" << false;
    QTest::newRow("file path given an array") << "File Path" << none << Value(QStringList{"a"}) << "(a)" << false;
}

void TestDisplayFormatter::formatting()
{
    QFETCH(QString, type);
    QFETCH(Value, extra);
    QFETCH(Value, value);
    QFETCH(QString, text);
    QFETCH(bool, attributed);
    extra.set("Text Attributes", kAttributes);
    const FormattedText result = DisplayFormatter::addFormattingToObject(value, fieldWith(type, extra));
    QCOMPARE(result.text, text);
    QCOMPARE(result.hasAttributes(), attributed);
    if (attributed)
        QCOMPARE(result.attributes, kAttributes);
}

void TestDisplayFormatter::removeFormatting_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<Value>("extra");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Value>("expected");
    const Value none = Value::dict();
    const auto with = [](std::initializer_list<std::pair<QString, Value>> e) { return Value::dict(e); };
    QTest::newRow("text") << "Text" << none << "a, b" << Value("a, b");
    QTest::newRow("primary key") << "Primary Key" << none << "5" << Value("5");
    QTest::newRow("number") << "Number" << none << "2.5" << Value(2.5);
    QTest::newRow("number pattern") << "Number" << with({{"Format", "0.000"}}) << "2.500" << Value(2.5);
    QTest::newRow("number unreadable") << "Number" << none << "abc" << Value();
    QTest::newRow("date pattern") << "Date" << with({{"Date Format", "yyyy-MM-dd"}}) << "2001-01-02"
                                  << Value::date(86400);
    QTest::newRow("date unreadable") << "Date" << with({{"Date Format", "yyyy-MM-dd"}}) << "soon" << Value();
    QTest::newRow("yes value") << "Yes/No" << with({{"Yes Value", "Ja"}}) << "Ja" << Value(true);
    QTest::newRow("yes value is exact") << "Yes/No" << with({{"Yes Value", "Ja"}}) << "ja" << Value(false);
    QTest::newRow("other text is false") << "Yes/No" << with({{"Yes Value", "Ja"}}) << "Yes" << Value(false);
    QTest::newRow("list separator") << "List" << with({{"List Separator", " | "}}) << "a | b, c"
                                    << Value(QStringList{"a", "b, c"});
    QTest::newRow("options") << "Options" << none << "Red" << Value("Red");
    QTest::newRow("file path") << "File Path" << none << "/x" << Value("/x");
}

void TestDisplayFormatter::removeFormatting()
{
    QFETCH(QString, type);
    QFETCH(Value, extra);
    QFETCH(QString, text);
    QFETCH(Value, expected);
    QCOMPARE(DisplayFormatter::removeFormattingFromString(text, fieldWith(type, extra)), expected);
}

void TestDisplayFormatter::missingFieldShowsPlainText()
{
    QVERIFY(DisplayFormatter::formatterForField(Value()).isNull());
    QCOMPARE(DisplayFormatter::addFormattingToObject(Value("x"), Value()), (FormattedText{"x", Value()}));
    QCOMPARE(DisplayFormatter::addFormattingToObject(Value(2.5), Value()), (FormattedText{"2.5", Value()}));
    QCOMPARE(DisplayFormatter::removeFormattingFromString("2.5", Value()), Value("2.5"));
}

QTEST_GUILESS_MAIN(TestDisplayFormatter)
#include "test_display_formatter.moc"
