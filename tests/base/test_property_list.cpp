// PropertyList: binary and XML round trips, encoding details, hostile input, and agreement with python's plistlib.
#include "PlistTestSupport.h"
#include "PropertyList.h"

#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <limits>

using namespace PlistTestSupport;
using PropertyList::Format;

Q_DECLARE_METATYPE(Format)

namespace {

void appendBE(QByteArray &out, quint64 v, int size)
{
    for (int i = size - 1; i >= 0; --i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

struct Trailer {
    int offsetSize = 1;
    int refSize = 1;
    std::optional<quint64> count;
    quint64 top = 0;
    std::optional<quint64> tableOffset;
    QList<quint64> offsets; // replaces the computed offsets when not empty
};

// A binary plist from raw object encodings, with every trailer field open to tampering.
QByteArray craft(const QList<QByteArray> &objects, const Trailer &t = {})
{
    QByteArray out("bplist00");
    QList<quint64> offsets;
    for (const QByteArray &o : objects) {
        offsets.append(quint64(out.size()));
        out.append(o);
    }
    if (!t.offsets.isEmpty())
        offsets = t.offsets;
    const quint64 table = quint64(out.size());
    for (quint64 off : offsets)
        appendBE(out, off, qMin(t.offsetSize, 8));
    out.append(QByteArray(6, '\0'));
    out.append(char(t.offsetSize));
    out.append(char(t.refSize));
    appendBE(out, t.count.value_or(quint64(objects.size())), 8);
    appendBE(out, t.top, 8);
    appendBE(out, t.tableOffset.value_or(table), 8);
    return out;
}

template <typename F> Trailer tweak(F change)
{
    Trailer t;
    change(t);
    return t;
}

QByteArray hex(const char *h)
{
    return QByteArray::fromHex(h);
}

Value nested(int levels)
{
    Value root = Value(1);
    for (int i = 0; i < levels; ++i)
        root = Value::array({root});
    return root;
}

// The trailer of a written binary plist: offset size, reference size, object count.
std::tuple<int, int, quint64> trailerOf(const QByteArray &bytes)
{
    const QByteArray t = bytes.right(32);
    quint64 count = 0;
    for (int i = 8; i < 16; ++i)
        count = (count << 8) | uchar(t.at(i));
    return {int(t.at(6)), int(t.at(7)), count};
}

} // namespace

class TestPropertyList : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data()
    {
        QTest::addColumn<Value>("value");
        QTest::newRow("true") << Value(true);
        QTest::newRow("false") << Value(false);
        for (qint64 i :
             {qint64(0), qint64(255), qint64(256), qint64(65535), qint64(65536), qint64(0xFFFFFFFF),
              qint64(0x100000000), qint64(-1), std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::min()})
            QTest::newRow(qPrintable(QStringLiteral("int %1").arg(i))) << Value(i);
        for (double d : {0.0, -0.0, 0.5, -1e300, 5e-324, std::numeric_limits<double>::infinity(),
                         -std::numeric_limits<double>::infinity(), std::nan("")})
            QTest::newRow(qPrintable(QStringLiteral("real %1").arg(d))) << Value(d);
        QTest::newRow("empty string") << Value(QString());
        QTest::newRow("ascii") << Value("Tables & <Queries>");
        QTest::newRow("latin-1") << Value("caf\u00e9");
        QTest::newRow("bmp") << Value("\u4e16\u754c \u20ac");
        QTest::newRow("non-bmp") << Value(QString::fromUtf8("smile \xF0\x9F\x98\x80 and \xF0\x9D\x84\x9E"));
        QTest::newRow("controls, NUL, CR") << Value(QString::fromUtf16(u"a\0b\r\nc\x01\x1f\tz", 11));
        QTest::newRow("lone surrogate") << Value(QString(QChar(0xD800)) + u'x');
        QTest::newRow("long string") << Value(QString(1000, u'x'));
        QTest::newRow("empty data") << Value(QByteArray(""));
        QTest::newRow("data") << Value(hex("00ff10fe0d0a"));
        QTest::newRow("date zero") << Value::date(0);
        QTest::newRow("date negative") << Value::date(-31622400);
        QTest::newRow("date fraction") << Value::date(612345678.25);
        QTest::newRow("date 0.1 fraction") << Value::date(1e9 + 0.1);
        QTest::newRow("uid 0") << Value::uid(0);
        QTest::newRow("uid 300") << Value::uid(300);
        QTest::newRow("uid big") << Value::uid(quint64(1) << 40);
        QTest::newRow("empty array") << Value::array();
        QTest::newRow("empty dict") << Value::dict();
        QTest::newRow("nested") << Value::dict(
            {{"Tables",
              Value::array({Value::dict(
                  {{"Name", "People"}, {"Fields", Value::array({"id", 2, 3.5})}, {"Created", Value::date(1000)}})})},
             {"", Value::dict({{"k\u00e9y", Value::array({Value::array()})}})},
             {"uid", Value::uid(9)}});
        QTest::newRow("512 levels") << nested(PropertyList::maxDepth);
    }

    void roundTrip()
    {
        QFETCH(Value, value);
        for (Format format : {Format::Binary, Format::Xml}) {
            QString error;
            const QByteArray bytes = PropertyList::write(value, format, &error);
            QVERIFY2(!bytes.isEmpty(), qPrintable(error));
            const auto back = PropertyList::read(bytes, &error);
            QVERIFY2(back, qPrintable(error));
            const QString d = difference(value, *back);
            QVERIFY2(d.isEmpty(),
                     qPrintable(QStringLiteral("%1: %2").arg(format == Format::Binary ? "binary" : "xml", d)));
        }
    }

    void nullObjectAndImage()
    {
        // Binary keeps null; XML has no null and leaves the entry out.
        const Value v = Value::array({Value(), 1, Value::dict({{"gone", Value()}, {"kept", 2}})});
        const auto binary = PropertyList::read(PropertyList::write(v, Format::Binary));
        QVERIFY(binary);
        QCOMPARE(difference(v, *binary), QString());
        const auto xml = PropertyList::read(PropertyList::write(v, Format::Xml));
        QVERIFY(xml);
        QCOMPARE(difference(*xml, Value::array({1, Value::dict({{"kept", 2}})})), QString());
        const auto xmlRoot = PropertyList::read(PropertyList::write(Value(), Format::Xml));
        QVERIFY(xmlRoot && xmlRoot->isNull());

        // Objects and images are written as their attribute dictionaries.
        const Value object = Value::object("NSColor", Value::dict({{"NSRGB", hex("3120302030")}, {"NSColorSpace", 1}}));
        QImage image(3, 2, QImage::Format_ARGB32);
        image.fill(qRgba(10, 20, 30, 255));
        for (Format format : {Format::Binary, Format::Xml}) {
            const auto o = PropertyList::read(PropertyList::write(object, format));
            QVERIFY(o);
            QCOMPARE(difference(*o, object.attributes()), QString());
            const auto i = PropertyList::read(PropertyList::write(Value(image), format));
            QVERIFY(i && i->isDict());
            QCOMPARE(i->keys(), QStringList{"TIFFRepresentation"});
            QImage decoded;
            QVERIFY(decoded.loadFromData(i->value("TIFFRepresentation").toData(), "TIFF"));
            QCOMPARE(decoded.convertToFormat(QImage::Format_ARGB32), image);
        }
    }

    void binaryEncoding_data()
    {
        QTest::addColumn<Value>("value");
        QTest::addColumn<QByteArray>("object");
        QTest::newRow("0") << Value(0) << hex("1000");
        QTest::newRow("255") << Value(255) << hex("10ff");
        QTest::newRow("256") << Value(256) << hex("110100");
        QTest::newRow("65536") << Value(65536) << hex("1200010000");
        QTest::newRow("2^32") << Value(qint64(1) << 32) << hex("130000000100000000");
        QTest::newRow("-1") << Value(-1) << hex("13ffffffffffffffff");
        QTest::newRow("real") << Value(1.5) << hex("233ff8000000000000");
        QTest::newRow("date") << Value::date(1.5) << hex("333ff8000000000000");
        QTest::newRow("true") << Value(true) << hex("09");
        QTest::newRow("null") << Value() << hex("00");
        QTest::newRow("ascii") << Value("ab") << hex("526162");
        QTest::newRow("utf16") << Value("\u00e9") << hex("6100e9");
        QTest::newRow("non-bmp") << Value(QString::fromUtf8("\xF0\x9F\x98\x80")) << hex("62d83dde00");
        QTest::newRow("15 chars") << Value(QString(15, u'a')) << hex("5f100f") + QByteArray(15, 'a');
        QTest::newRow("data") << Value(hex("0102")) << hex("420102");
        QTest::newRow("uid 5") << Value::uid(5) << hex("8005");
        QTest::newRow("uid 256") << Value::uid(256) << hex("810100");
    }

    void binaryEncoding()
    {
        QFETCH(Value, value);
        QFETCH(QByteArray, object);
        const QByteArray bytes = PropertyList::write(value, Format::Binary);
        QCOMPARE(bytes.left(8), QByteArray("bplist00"));
        QCOMPARE(bytes.mid(8, object.size()).toHex(), object.toHex());
        // One object: a one-byte offset table right after it.
        QCOMPARE(bytes.size(), 8 + object.size() + 1 + 32);
    }

    void referenceAndOffsetSizesGrow_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("refSize");
        QTest::addColumn<int>("offsetSize");
        QTest::newRow("200") << 200 << 1 << 2;
        QTest::newRow("300") << 300 << 2 << 2;
        QTest::newRow("70000") << 70000 << 4 << 4;
    }

    void referenceAndOffsetSizesGrow()
    {
        QFETCH(int, count);
        QFETCH(int, refSize);
        QFETCH(int, offsetSize);
        Value array = Value::array();
        for (int i = 0; i < count; ++i)
            array.append(Value(i * 3));
        const QByteArray bytes = PropertyList::write(array, Format::Binary);
        const auto [offsets, refs, objects] = trailerOf(bytes);
        QCOMPARE(refs, refSize);
        QCOMPARE(offsets, offsetSize);
        QCOMPARE(objects, quint64(count + 1));
        QString error;
        const auto back = PropertyList::readBinary(bytes, &error);
        QVERIFY2(back, qPrintable(error));
        QCOMPARE(difference(array, *back), QString());
    }

    void equalScalarsAndSharedContainersAreStoredOnce()
    {
        const Value shared = Value::dict({{"k", "v"}});
        const Value root = Value::array({"same", "same", shared, shared, 7, 7});
        const QByteArray bytes = PropertyList::write(root, Format::Binary);
        // root, "same", shared dict, "k", "v", 7
        QCOMPARE(std::get<2>(trailerOf(bytes)), quint64(6));
        const auto back = PropertyList::readBinary(bytes);
        QVERIFY(back);
        QVERIFY(back->at(2).isSameContainer(back->at(3)));
        back->at(2).set("k", "changed");
        QCOMPARE(back->at(3)["k"].toString(), QStringLiteral("changed"));
    }

    void dictionaryOrderIsKept()
    {
        Value d = Value::dict();
        QStringList keys;
        for (int i = 0; i < 1000; ++i) {
            const QString k = QStringLiteral("k%1").arg((i * 7919) % 1000);
            keys << k;
            d.set(k, i);
        }
        d.set("Zeta", 1);
        d.set("alpha", 2);
        keys << "Zeta"
             << "alpha";
        for (Format format : {Format::Binary, Format::Xml}) {
            const auto back = PropertyList::read(PropertyList::write(d, format));
            QVERIFY(back);
            QCOMPARE(back->keys(), keys);
        }
    }

    void unwritableValues()
    {
        Value cyclic = Value::array({1});
        Value inner = Value::dict({{"up", cyclic}});
        cyclic.append(inner);
        const Value tooDeep = nested(PropertyList::maxDepth + 1);
        for (Format format : {Format::Binary, Format::Xml}) {
            QString error;
            QVERIFY(PropertyList::write(cyclic, format, &error).isEmpty());
            QVERIFY2(error.contains("contains itself"), qPrintable(error));
            error.clear();
            QVERIFY(PropertyList::write(tooDeep, format, &error).isEmpty());
            QVERIFY2(error.contains("nesting"), qPrintable(error));
        }
        cyclic.removeAt(1); // break the cycle so the test does not leak it
        QString error;
        QVERIFY(PropertyList::write(Value::date(std::nan("")), Format::Xml, &error).isEmpty());
        QVERIFY(error.contains("date"));
    }

    void malformedBinary_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QByteArray valid = craft({hex("a10102"), hex("5161"), hex("10ff")});
        QVERIFY(PropertyList::readBinary(valid));
        auto patched = [&](int fromEnd, char value) {
            QByteArray b = valid;
            b[b.size() - fromEnd] = value;
            return b;
        };
        QByteArray wrongMagic = valid;
        wrongMagic[7] = '1';
        QTest::newRow("empty") << QByteArray() << "too short";
        QTest::newRow("header only") << QByteArray("bplist00") << "too short";
        QTest::newRow("wrong magic") << wrongMagic << "wrong header";
        QTest::newRow("offset size 0") << patched(26, 0) << "offset size";
        QTest::newRow("offset size 9") << patched(26, 9) << "offset size";
        QTest::newRow("ref size 0") << patched(25, 0) << "reference size";
        QTest::newRow("ref size 9") << patched(25, 9) << "reference size";
        QTest::newRow("no objects") << craft({hex("10ff")}, tweak([](Trailer &t) { t.count = 0; })) << "no objects";
        QTest::newRow("top out of range") << craft({hex("10ff")}, tweak([](Trailer &t) { t.top = 1; })) << "top object";
        QTest::newRow("table past the end")
            << craft({hex("10ff")}, tweak([](Trailer &t) { t.tableOffset = 1000; })) << "offset table";
        QTest::newRow("table in header") << craft({hex("10ff")}, tweak([](Trailer &t) { t.tableOffset = 4; }))
                                         << "offset table";
        QTest::newRow("absurd object count")
            << craft({hex("10ff")}, tweak([](Trailer &t) { t.count = quint64(1) << 60; })) << "exceeds the file";
        QTest::newRow("count beyond ref size") << craft(QList<QByteArray>(300, hex("10ff")), tweak([](Trailer &t) {
                                                            t.offsetSize = 2;
                                                            t.refSize = 1;
                                                        }))
                                               << "reference size";
        QTest::newRow("offset into table")
            << craft({hex("10ff")}, tweak([](Trailer &t) { t.offsets = {10}; })) << "offset outside";
        QTest::newRow("offset into header")
            << craft({hex("10ff")}, tweak([](Trailer &t) { t.offsets = {2}; })) << "offset outside";
        QTest::newRow("ref out of range") << craft({hex("a105")}) << "out of range";
        QTest::newRow("array contains itself") << craft({hex("a100")}) << "cyclic";
        QTest::newRow("indirect cycle") << craft({hex("a101"), hex("d10200"), hex("516b")}) << "cyclic";
        QTest::newRow("absurd array count") << craft({hex("af1300ffffffffffffff")}) << "truncated";
        QTest::newRow("absurd dict count") << craft({hex("df1200100000")}) << "truncated";
        QTest::newRow("absurd string count") << craft({hex("5f13") + hex("7fffffffffffffff")}) << "truncated";
        QTest::newRow("absurd utf16 count") << craft({hex("6f124000000000")}) << "truncated";
        QTest::newRow("absurd data count") << craft({hex("4f1140")}) << "truncated";
        QTest::newRow("count not an integer") << craft({hex("5f2300")}) << "invalid count";
        QTest::newRow("count cut off") << craft({hex("5f")}) << "truncated count";
        QTest::newRow("string past the objects") << craft({hex("5561")}) << "truncated";
        QTest::newRow("int cut off") << craft({hex("130102")}) << "truncated";
        QTest::newRow("int of 32 bytes") << craft({hex("15") + QByteArray(32, 1)}) << "integer size";
        QTest::newRow("int of 16 bytes too big") << craft({hex("14") + QByteArray(16, 1)}) << "out of range";
        QTest::newRow("one-byte real") << craft({hex("2001")}) << "unknown object type";
        QTest::newRow("uid of 9 bytes") << craft({hex("88") + QByteArray(9, 1)}) << "unknown object type";
        QTest::newRow("fill byte") << craft({hex("0f")}) << "unknown object type";
        QTest::newRow("unknown marker") << craft({hex("e0")}) << "unknown object type";
        QTest::newRow("non-string key") << craft({hex("d10101"), hex("1001")}) << "not a string";
        QList<QByteArray> deep;
        for (int i = 0; i <= PropertyList::maxDepth; ++i)
            deep.append(hex("a1") + QByteArray(1, char((i + 1) >> 8)) + QByteArray(1, char((i + 1) & 0xFF)));
        deep.append(hex("1001"));
        QTest::newRow("nesting 513") << craft(deep, tweak([](Trailer &t) {
                                                  t.offsetSize = 2;
                                                  t.refSize = 2;
                                              }))
                                     << "nesting deeper";
    }

    void malformedBinary()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QString error;
        QVERIFY(!PropertyList::readBinary(bytes, &error));
        QVERIFY2(error.contains(message), qPrintable(error));
        error.clear();
        QVERIFY(!PropertyList::read(bytes, &error)); // sniffing sends it to the binary reader too
        QVERIFY(!error.isEmpty());
    }

    void everyTruncationAndCorruptionIsHandled()
    {
        const Value sample = Value::dict({{"name", "caf\u00e9"},
                                          {"n", Value::array({1, 2.5, Value::date(3)})},
                                          {"d", hex("0102")},
                                          {"u", Value::uid(3)},
                                          {"b", true}});
        const QByteArray valid = PropertyList::write(sample, Format::Binary);
        for (int n = 0; n < valid.size(); ++n) {
            QString error;
            QVERIFY2(!PropertyList::readBinary(valid.left(n), &error), qPrintable(QString::number(n)));
            QVERIFY(!error.isEmpty());
        }
        // Any single corrupted byte gives either a value or an error, never a crash or a hang.
        for (int i = 0; i < valid.size(); ++i)
            for (char c : {'\x00', '\x0f', '\x7f', '\xaf', '\xff'}) {
                QByteArray bad = valid;
                bad[i] = c;
                QString error;
                if (!PropertyList::readBinary(bad, &error))
                    QVERIFY(!error.isEmpty());
            }
        const QByteArray xml = PropertyList::write(sample, Format::Xml);
        const int last = int(xml.lastIndexOf('>'));
        for (int n = 0; n < last; ++n) {
            QString error;
            QVERIFY2(!PropertyList::readXml(xml.left(n), &error), qPrintable(QString::number(n)));
            QVERIFY(!error.isEmpty());
        }
    }

    void xmlReading_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<Value>("expected");
        QTest::newRow("prolog, doctype, comments")
            << QByteArray("\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!DOCTYPE plist [ <!ENTITY x \"y\"> ]>\n"
                          "<!-- c --><plist version=\"1.0\"><!-- c --><string>a</string></plist>\n")
            << Value("a");
        QTest::newRow("entities and CDATA")
            << QByteArray(
                   "<plist><string>&lt;&amp;&gt;&quot;&apos;&#65;&#x1F600;<![CDATA[<x>]]><!-- no -->!</string></plist>")
            << Value(QString::fromUtf8("<&>\"'A\xF0\x9F\x98\x80<x>!"));
        QTest::newRow("bare root") << QByteArray("<integer> 0x1F </integer>") << Value(31);
        QTest::newRow("negative hex") << QByteArray("<integer>-0x10</integer>") << Value(-16);
        QTest::newRow("reals") << QByteArray("<array><real>1e3</real><real>-inf</real><real>.5</real></array>")
                               << Value::array({1000.0, -std::numeric_limits<double>::infinity(), 0.5});
        QTest::newRow("whole-second date") << QByteArray("<date>2001-01-02T00:00:01Z</date>") << Value::date(86401);
        QTest::newRow("old date") << QByteArray("<date>1999-12-31T23:59:59Z</date>") << Value::date(-31622401);
        QTest::newRow("wrapped base64") << QByteArray("<data>\n\tAAEC\n\tAw==\n</data>") << Value(hex("00010203"));
        QTest::newRow("uid") << QByteArray("<dict><key>CF$UID</key><integer>12</integer></dict>") << Value::uid(12);
        QTest::newRow("not a uid") << QByteArray("<dict><key>CF$UID</key><string>12</string></dict>")
                                   << Value::dict({{"CF$UID", "12"}});
        QTest::newRow("empty elements")
            << QByteArray("<dict><key/><string/><key>t</key><true></true><key>a</key><array/></dict>")
            << Value::dict({{"", ""}, {"t", true}, {"a", Value::array()}});
        QTest::newRow("empty plist") << QByteArray("<plist version=\"1.0\"/>") << Value();
        QTest::newRow("utf-16") << QByteArray("\xFF\xFE<\0s\0t\0r\0i\0n\0g\0>\0\xE9\0<\0/\0s\0t\0r\0i\0n\0g\0>\0", 38)
                                << Value("\u00e9");
    }

    void xmlReading()
    {
        QFETCH(QByteArray, xml);
        QFETCH(Value, expected);
        QString error;
        const auto v = PropertyList::read(xml, &error);
        QVERIFY2(v, qPrintable(error));
        QCOMPARE(difference(*v, expected), QString());
    }

    void malformedXml_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << QByteArray() << "empty";
        QTest::newRow("garbage") << QByteArray("hello") << "expected an element";
        QTest::newRow("unclosed") << QByteArray("<plist><array><string>x</string>") << "end of document";
        QTest::newRow("mismatched") << QByteArray("<plist><array></dict></plist>") << "expected </array>";
        QTest::newRow("unknown element") << QByteArray("<plist><set/></plist>") << "unknown element";
        QTest::newRow("value without key") << QByteArray("<dict><string>x</string></dict>") << "expected <key>";
        QTest::newRow("key without value") << QByteArray("<dict><key>x</key></dict>") << "no value";
        QTest::newRow("element in string") << QByteArray("<string>a<b/>c</string>") << "expected </string>";
        QTest::newRow("bad integer") << QByteArray("<integer>12x</integer>") << "invalid integer";
        QTest::newRow("integer overflow") << QByteArray("<integer>9223372036854775808</integer>") << "invalid integer";
        QTest::newRow("empty integer") << QByteArray("<integer/>") << "invalid integer";
        QTest::newRow("bad real") << QByteArray("<real>one</real>") << "invalid real";
        QTest::newRow("bad date") << QByteArray("<date>2001-02-30T00:00:00Z</date>") << "invalid date";
        QTest::newRow("bad base64") << QByteArray("<data>@@@</data>") << "base64";
        QTest::newRow("text in true") << QByteArray("<true>yes</true>") << "text inside";
        QTest::newRow("unknown entity") << QByteArray("<string>&x;</string>") << "unknown entity";
        QTest::newRow("bad char ref") << QByteArray("<string>&#x110000;</string>") << "character reference";
        QTest::newRow("two roots") << QByteArray("<string/><string/>") << "after the root";
        QTest::newRow("unterminated comment") << QByteArray("<!-- x") << "unterminated";
        QTest::newRow("unterminated tag") << QByteArray("<plist version=\"1.0\"") << "unterminated";
        QByteArray deep;
        for (int i = 0; i <= PropertyList::maxDepth + 1; ++i)
            deep += "<array>";
        QTest::newRow("deep nesting") << deep << "nesting deeper";
    }

    void malformedXml()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, message);
        QString error;
        QVERIFY(!PropertyList::readXml(xml, &error));
        QVERIFY2(error.contains(message), qPrintable(error));
    }

    void pythonReadsWhatWeWrite()
    {
        if (python().isEmpty())
            QSKIP("python3 not found");
        Value big = Value::array();
        for (int i = 0; i < 70000; ++i)
            big.append(Value(i - 35000));
        const QList<Value> samples = {
            Value::dict(
                {{"Version", "0.1"},
                 {"ints", Value::array({0, 255, 256, 65536, qint64(1) << 40, -1, std::numeric_limits<qint64>::min(),
                                        std::numeric_limits<qint64>::max()})},
                 {"reals", Value::array({0.1, -2.5e-300, std::numeric_limits<double>::infinity()})},
                 {"strings", Value::array({"", "ascii", "caf\u00e9 \u4e16\u754c", QString::fromUtf8("\xF0\x9F\x98\x80"),
                                           QString::fromUtf16(u"a\0b", 3)})},
                 {"dates", Value::array({Value::date(0), Value::date(612345678), Value::date(-86400.5)})},
                 {"data", Value::array({hex("00ff"), QByteArray("")})},
                 {"bools", Value::array({true, false})},
                 {"uid", Value::uid(300)},
                 {"z-last", Value::dict({{"b", 1}, {"a", Value::dict()}})}}),
            big};
        QTemporaryDir dir;
        for (int i = 0; i < samples.size(); ++i) {
            const QString path = dir.filePath(QStringLiteral("p%1.plist").arg(i));
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(PropertyList::write(samples[i], Format::Binary));
            f.close();
            QString error;
            const QByteArray out = runPython(
                pythonCanonical() + "print(json.dumps(c(plistlib.load(open(sys.argv[1], 'rb')))))", {path}, &error);
            QVERIFY2(!out.isNull(), qPrintable(error));
            QCOMPARE(QJsonDocument::fromJson(out).toVariant(), canonical(samples[i]).toVariant());
        }
    }

    void weReadWhatPythonWrites()
    {
        if (python().isEmpty())
            QSKIP("python3 not found");
        const QString script = QStringLiteral(R"PY(
import plistlib, sys, datetime
obj = {"int": 42, "neg": -7, "big": 2**40, "min": -2**63, "max": 2**63 - 1, "byte": 255, "short": 65535,
       "real": 3.25, "tiny": 1e-300, "str": "plain", "uni": "h\u00e9llo \u4e16\u754c \U0001F600",
       "date": datetime.datetime(2020, 5, 17, 13, 45, 30), "old": datetime.datetime(1990, 1, 1),
       "data": b"\x00\x01\xfe\xff", "t": True, "f": False,
       "list": [1, "two", [3.5, {"deep": []}], {}], "dict": {"z": 1, "a": 2, "m": {"x": b""}},
       "long": list(range(300))}
if sys.argv[1] == "binary":
    obj["nul"] = "a\x00b"
    obj["uid"] = plistlib.UID(7)
    sys.stdout.buffer.write(plistlib.dumps(obj, fmt=plistlib.FMT_BINARY, sort_keys=False))
else:
    sys.stdout.buffer.write(plistlib.dumps(obj, fmt=plistlib.FMT_XML, sort_keys=False))
)PY");
        Value expected = Value::dict(
            {{"int", 42},
             {"neg", -7},
             {"big", qint64(1) << 40},
             {"min", std::numeric_limits<qint64>::min()},
             {"max", std::numeric_limits<qint64>::max()},
             {"byte", 255},
             {"short", 65535},
             {"real", 3.25},
             {"tiny", 1e-300},
             {"str", "plain"},
             {"uni", QString::fromUtf8("h\u00e9llo \u4e16\u754c \xF0\x9F\x98\x80")},
             {"date", Value::dateTime(QDateTime(QDate(2020, 5, 17), QTime(13, 45, 30), Qt::UTC))},
             {"old", Value::dateTime(QDateTime(QDate(1990, 1, 1), QTime(0, 0), Qt::UTC))},
             {"data", hex("0001feff")},
             {"t", true},
             {"f", false},
             {"list",
              Value::array({1, "two", Value::array({3.5, Value::dict({{"deep", Value::array()}})}), Value::dict()})},
             {"dict", Value::dict({{"z", 1}, {"a", 2}, {"m", Value::dict({{"x", QByteArray("")}})}})}});
        Value longList = Value::array();
        for (int i = 0; i < 300; ++i)
            longList.append(i);
        expected.set("long", longList);
        for (const char *format : {"xml", "binary"}) {
            if (QByteArray(format) == "binary") {
                expected.set("nul", QString::fromUtf16(u"a\0b", 3));
                expected.set("uid", Value::uid(7));
            }
            QString error;
            const QByteArray bytes = runPython(script, {format}, &error);
            QVERIFY2(!bytes.isEmpty(), qPrintable(error));
            const auto v = PropertyList::read(bytes, &error);
            QVERIFY2(v, qPrintable(error));
            QCOMPARE(difference(*v, expected), QString());
        }
    }
};

QTEST_MAIN(TestPropertyList)
#include "test_property_list.moc"
