// KeyedArchive: round trips, the standard layout, shared references, hostile archives, and a python reading.
#include "KeyedArchive.h"
#include "PlistTestSupport.h"
#include "PropertyList.h"

#include <QTemporaryDir>
#include <QTest>
#include <limits>

using namespace PlistTestSupport;

namespace {

Value uid(quint64 n)
{
    return Value::uid(n);
}

QByteArray plist(const Value &v)
{
    return PropertyList::write(v, PropertyList::Format::Binary);
}

// A raw archive around the given $objects (whose first entry should be "$null").
QByteArray rawArchive(const Value &objects, const Value &top = Value::dict({{"root", Value::uid(1)}}))
{
    return plist(
        Value::dict({{"$version", 100000}, {"$archiver", "NSKeyedArchiver"}, {"$top", top}, {"$objects", objects}}));
}

Value classRecord(const QString &name, const QStringList &chain)
{
    return Value::dict({{"$classes", Value(chain)}, {"$classname", name}});
}

QImage sampleImage()
{
    QImage image(4, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            image.setPixel(x, y, qRgba(x * 60, y * 80, 200, 255));
    return image;
}

// The designs of a document, with a dictionary shared between two places.
Value sampleDesigns()
{
    const Value people = Value::dict({{"Name", "People"},
                                      {"Fields", Value::array({Value::dict({{"Name", "id"}, {"Type", "Primary Key"}}),
                                                               Value::dict({{"Name", "born"}, {"Type", "Date"}})})}});
    const Value colour = Value::object("NSColor", Value::dict({{"NSColorSpace", 1}, {"NSRGB", QByteArray("1 0 0")}}));
    const Value control = Value::object(
        "FDShapeControl",
        Value::dict(
            {{"Shape Type", 2}, {"Stroke Color", colour}, {"Fill Color", colour}, {"Title", "Box"}, {"$odd", true}}));
    return Value::dict(
        {{"Version", "0.1"},
         {"Tables", Value::array({people})},
         {"Queries", Value::array()},
         {"Forms", Value::array({Value::dict({{"Name", "Form"}, {"Table", people}, {"Control", control}})})},
         {"Reports", Value::array()},
         {"Scripts", Value::array({Value::dict({{"Saved", Value::date(612345678.5)}, {"Text", "x\u00e9"}})})},
         {"Relationships", Value::dict({{"Boxes", Value::array()}, {"Lines", Value()}})}});
}

} // namespace

class TestKeyedArchive : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data()
    {
        QTest::addColumn<Value>("value");
        QTest::newRow("null") << Value();
        QTest::newRow("bool") << Value(true);
        QTest::newRow("int") << Value(std::numeric_limits<qint64>::min());
        QTest::newRow("real") << Value(-2.5);
        QTest::newRow("string") << Value(QString::fromUtf8("caf\xC3\xA9 \xF0\x9F\x98\x80"));
        QTest::newRow("the text $null") << Value("$null");
        QTest::newRow("data") << Value(QByteArray("\x00\x01", 2));
        QTest::newRow("date") << Value::date(-1.25);
        QTest::newRow("uid") << Value::uid(4);
        QTest::newRow("empty array") << Value::array();
        QTest::newRow("empty dict") << Value::dict();
        QTest::newRow("array with nulls") << Value::array({Value(), 1, Value(), "1", true, 1.0});
        QTest::newRow("object") << Value::object(
            "HVFileWrapper",
            Value::dict({{"name", "a.txt"}, {"data", QByteArray("hi")}, {"$class", "not the class"}, {"$$x", 1}}));
        QTest::newRow("image") << Value(sampleImage());
        QTest::newRow("empty image") << Value(QImage());
        QTest::newRow("designs") << sampleDesigns();
        Value deep = Value(1);
        for (int i = 0; i < PropertyList::maxDepth; ++i)
            deep = Value::array({deep});
        QTest::newRow("512 levels") << deep;
    }

    void roundTrip()
    {
        QFETCH(Value, value);
        for (const QString &key : {QStringLiteral("key"), QStringLiteral("root")}) {
            QString error;
            const QByteArray bytes = KeyedArchive::archive(value, key, &error);
            QVERIFY2(!bytes.isEmpty(), qPrintable(error));
            QVERIFY(bytes.startsWith("bplist00"));
            const auto back = KeyedArchive::unarchive(bytes, key, &error);
            QVERIFY2(back, qPrintable(error));
            QCOMPARE(difference(value, *back), QString());
        }
    }

    void layout()
    {
        const Value root = Value::array({"a", Value::dict({{"k", 1}}), Value::date(5), Value::array({"a"}),
                                         Value::object("NSColor", Value::dict({{"NSWhite", 0.5}}))});
        const auto raw = PropertyList::readBinary(KeyedArchive::archive(root, "key"));
        QVERIFY(raw);
        QCOMPARE(raw->keys(), (QStringList{"$version", "$archiver", "$top", "$objects"}));
        QCOMPARE(difference(raw->value("$version"), Value(100000)), QString());
        QCOMPARE(raw->value("$archiver").toString(), QStringLiteral("NSKeyedArchiver"));
        QCOMPARE(raw->value("$top").keys(), QStringList{"key"});
        const Value objects = raw->value("$objects");
        QCOMPARE(objects.at(0).toString(), QStringLiteral("$null"));
        auto at = [&](const Value &ref) { return objects.at(int(ref.toUid())); };
        auto classOf = [&](const Value &record) { return at(record.value("$class")); };

        const Value array = at(raw->value("$top").value("key"));
        QCOMPARE(array.keys(), (QStringList{"NS.objects", "$class"}));
        QCOMPARE(difference(classOf(array), classRecord("NSMutableArray", {"NSMutableArray", "NSArray", "NSObject"})),
                 QString());
        const Value items = array.value("NS.objects");
        QCOMPARE(items.size(), 5);
        for (const Value &item : items.toList())
            QVERIFY(item.isUid());
        QCOMPARE(difference(at(items.at(0)), Value("a")), QString());

        const Value dict = at(items.at(1));
        QCOMPARE(dict.keys(), (QStringList{"NS.keys", "NS.objects", "$class"}));
        QCOMPARE(at(dict.value("NS.keys").at(0)).toString(), QStringLiteral("k"));
        QCOMPARE(difference(at(dict.value("NS.objects").at(0)), Value(1)), QString());
        QCOMPARE(difference(classOf(dict),
                            classRecord("NSMutableDictionary", {"NSMutableDictionary", "NSDictionary", "NSObject"})),
                 QString());

        const Value date = at(items.at(2));
        QCOMPARE(difference(date.value("NS.time"), Value(5.0)), QString());
        QCOMPARE(difference(classOf(date), classRecord("NSDate", {"NSDate", "NSObject"})), QString());

        // One class record per class, one entry per equal string.
        const Value inner = at(items.at(3));
        QCOMPARE(inner.value("$class").toUid(), array.value("$class").toUid());
        QCOMPARE(inner.value("NS.objects").at(0).toUid(), items.at(0).toUid());

        const Value colour = at(items.at(4));
        QCOMPARE(colour.keys(), (QStringList{"NSWhite", "$class"}));
        QCOMPARE(difference(at(colour.value("NSWhite")), Value(0.5)), QString());
        QCOMPARE(difference(classOf(colour), classRecord("NSColor", {"NSColor", "NSObject"})), QString());

        int classRecords = 0;
        for (const Value &o : objects.toList())
            classRecords += o.contains("$classname") ? 1 : 0;
        QCOMPARE(classRecords, 4);

        const auto image = PropertyList::readBinary(KeyedArchive::archive(Value(sampleImage())));
        QVERIFY(image);
        const Value imageObjects = image->value("$objects");
        const Value record = imageObjects.at(int(image->value("$top").value("root").toUid()));
        QCOMPARE(imageObjects.at(int(record.value("$class").toUid())).value("$classname").toString(),
                 QStringLiteral("NSImage"));
        const QByteArray tiff = imageObjects.at(int(record.value("TIFFRepresentation").toUid())).toData();
        QVERIFY(tiff.startsWith("II*") || tiff.startsWith("MM\0*"));
    }

    void sharedReferencesStayShared()
    {
        const Value designs = sampleDesigns();
        const QByteArray bytes = KeyedArchive::archive(designs, "key");
        const auto raw = PropertyList::readBinary(bytes);
        QVERIFY(raw);
        // The People table is archived once although it is referenced from Tables and from the form.
        int peopleRecords = 0;
        for (const Value &o : raw->value("$objects").toList())
            peopleRecords += o.isString() && o.toString() == u"People";
        QCOMPARE(peopleRecords, 1);

        const auto back = KeyedArchive::unarchive(bytes, "key");
        QVERIFY(back);
        Value table = back->value("Tables").at(0);
        const Value formTable = back->value("Forms").at(0).value("Table");
        QVERIFY(table.isSameContainer(formTable));
        table.set("Name", "Persons");
        QCOMPARE(formTable.value("Name").toString(), QStringLiteral("Persons"));
        const Value control = back->value("Forms").at(0).value("Control");
        QVERIFY(control.value("Stroke Color").isSameContainer(control.value("Fill Color")));
        QVERIFY(!back->value("Queries").isSameContainer(back->value("Reports")));
    }

    void topKeysKeepTheirOrder()
    {
        const Value designs = sampleDesigns();
        const QByteArray bytes = KeyedArchive::archiveTop(designs);
        const auto raw = PropertyList::readBinary(bytes);
        QVERIFY(raw);
        const QStringList order{"Version", "Tables", "Queries", "Forms", "Reports", "Scripts", "Relationships"};
        QCOMPARE(raw->value("$top").keys(), order);
        QString error;
        const auto top = KeyedArchive::unarchiveTop(bytes, &error);
        QVERIFY2(top, qPrintable(error));
        QCOMPARE(top->keys(), order);
        QCOMPARE(difference(*top, designs), QString());
        QVERIFY(!KeyedArchive::unarchive(bytes, "key", &error));
        QVERIFY2(error.contains("no root object"), qPrintable(error));
    }

    void readsWhatOtherArchiversWrite()
    {
        // Inline scalars, escaped keys, string and data records, NSNull, and an archive in XML form.
        const Value objects =
            Value::array({"$null",
                          Value::dict({{"Width", 12},
                                       {"Enabled", true},
                                       {"Title", uid(3)},
                                       {"$$dollar", uid(3)},
                                       {"Inline", Value::array({uid(3), 4})},
                                       {"Name", uid(4)},
                                       {"Bytes", uid(6)},
                                       {"Nothing", uid(8)},
                                       {"None", uid(0)},
                                       {"$class", uid(2)}}),
                          classRecord("FDShapeControl", {"FDShapeControl", "NSObject"}), "Hello",
                          Value::dict({{"NS.string", "named"}, {"$class", uid(5)}}),
                          classRecord("NSMutableString", {"NSMutableString", "NSString", "NSObject"}),
                          Value::dict({{"NS.data", QByteArray("\x01\x02")}, {"$class", uid(7)}}),
                          classRecord("NSData", {"NSData", "NSObject"}), Value::dict({{"$class", uid(9)}}),
                          classRecord("NSNull", {"NSNull", "NSObject"})});
        const Value expected = Value::object("FDShapeControl", Value::dict({{"Width", 12},
                                                                            {"Enabled", true},
                                                                            {"Title", "Hello"},
                                                                            {"$dollar", "Hello"},
                                                                            {"Inline", Value::array({"Hello", 4})},
                                                                            {"Name", "named"},
                                                                            {"Bytes", QByteArray("\x01\x02")},
                                                                            {"Nothing", Value()},
                                                                            {"None", Value()}}));
        const Value top = Value::dict({{"root", uid(1)}});
        for (PropertyList::Format format : {PropertyList::Format::Binary, PropertyList::Format::Xml}) {
            const QByteArray bytes = PropertyList::write(
                Value::dict(
                    {{"$archiver", "NSKeyedArchiver"}, {"$version", 100000}, {"$objects", objects}, {"$top", top}}),
                format);
            QString error;
            const auto v = KeyedArchive::unarchive(bytes, "root", &error);
            QVERIFY2(v, qPrintable(error));
            QCOMPARE(difference(*v, expected), QString());
        }
    }

    void malformedArchives_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const Value arrayClass = classRecord("NSMutableArray", {"NSMutableArray", "NSArray", "NSObject"});
        const Value dictClass = classRecord("NSMutableDictionary", {"NSMutableDictionary", "NSDictionary", "NSObject"});
        QTest::newRow("not a plist") << QByteArray("garbage") << "keyed archive: XML property list";
        QTest::newRow("truncated") << KeyedArchive::archive(Value(1)).chopped(1) << "binary property list";
        QTest::newRow("not a dictionary") << plist(Value::array()) << "not a keyed archive";
        QTest::newRow("no $objects") << plist(Value::dict({{"$top", Value::dict()}})) << "not a keyed archive";
        QTest::newRow("no $top") << plist(Value::dict({{"$objects", Value::array({"$null"})}}))
                                 << "not a keyed archive";
        QTest::newRow("other archiver")
            << plist(Value::dict({{"$archiver", "Other"}, {"$top", Value::dict()}, {"$objects", Value::array()}}))
            << "unknown archiver";
        QTest::newRow("no root key") << rawArchive(Value::array({"$null"}), Value::dict({{"other", uid(0)}}))
                                     << "no root object";
        QTest::newRow("uid out of range") << rawArchive(Value::array({"$null"})) << "out of range";
        QTest::newRow("class not a uid") << rawArchive(Value::array({"$null", Value::dict({{"$class", 2}})}))
                                         << "$class";
        QTest::newRow("class uid 0") << rawArchive(Value::array({"$null", Value::dict({{"$class", uid(0)}})}))
                                     << "$class";
        QTest::newRow("class without name") << rawArchive(Value::array({"$null", Value::dict({{"$class", uid(2)}}),
                                                                        Value::dict({{"$classes", Value::array()}})}))
                                            << "$classname";
        QTest::newRow("NS.objects not an array")
            << rawArchive(
                   Value::array({"$null", Value::dict({{"NS.objects", uid(0)}, {"$class", uid(2)}}), arrayClass}))
            << "not an array";
        QTest::newRow("keys and objects differ")
            << rawArchive(Value::array(
                   {"$null",
                    Value::dict(
                        {{"NS.keys", Value::array({uid(3)})}, {"NS.objects", Value::array()}, {"$class", uid(2)}}),
                    dictClass, "k"}))
            << "differ in length";
        QTest::newRow("key is the dictionary itself")
            << rawArchive(Value::array({"$null",
                                        Value::dict({{"NS.keys", Value::array({uid(1)})},
                                                     {"NS.objects", Value::array({uid(0)})},
                                                     {"$class", uid(2)}}),
                                        dictClass}))
            << "cyclic";
        QTest::newRow("array contains itself")
            << rawArchive(Value::array(
                   {"$null", Value::dict({{"NS.objects", Value::array({uid(1)})}, {"$class", uid(2)}}), arrayClass}))
            << "cyclic";
        QTest::newRow("indirect cycle")
            << rawArchive(
                   Value::array({"$null", Value::dict({{"NS.objects", Value::array({uid(3)})}, {"$class", uid(2)}}),
                                 arrayClass, Value::dict({{"parent", uid(1)}, {"$class", uid(4)}}),
                                 classRecord("NSView", {"NSView", "NSObject"})}))
            << "cyclic";
        QTest::newRow("non-string key record")
            << rawArchive(Value::array({"$null",
                                        Value::dict({{"NS.keys", Value::array({uid(3)})},
                                                     {"NS.objects", Value::array({uid(0)})},
                                                     {"$class", uid(2)}}),
                                        dictClass, QByteArray("k")}))
            << "not a string";
        Value chain = Value::array({"$null"});
        const int levels = PropertyList::maxDepth + 2;
        for (int i = 1; i <= levels; ++i)
            chain.append(Value::dict({{"NS.objects", Value::array({i < levels ? uid(quint64(i + 1)) : uid(0)})},
                                      {"$class", uid(quint64(levels + 1))}}));
        chain.append(arrayClass);
        QTest::newRow("nesting too deep") << rawArchive(chain) << "nesting deeper";
    }

    void malformedArchives()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QString error;
        QVERIFY(!KeyedArchive::unarchive(bytes, "root", &error));
        QVERIFY(error.startsWith("keyed archive: "));
        QVERIFY2(error.contains(message), qPrintable(error));
    }

    void unarchivableValues()
    {
        Value cyclic = Value::dict();
        Value object = Value::object("NSView", Value::dict({{"superview", cyclic}}));
        cyclic.set("view", object);
        QString error;
        QVERIFY(KeyedArchive::archive(cyclic, "key", &error).isEmpty());
        QVERIFY2(error.contains("contains itself"), qPrintable(error));
        cyclic.remove("view"); // break the cycle so nothing leaks

        Value deep = Value::dict();
        for (int i = 0; i <= PropertyList::maxDepth; ++i)
            deep = Value::dict({{"d", deep}});
        error.clear();
        QVERIFY(KeyedArchive::archive(deep, "key", &error).isEmpty());
        QVERIFY2(error.contains("nesting"), qPrintable(error));
        error.clear();
        QVERIFY(KeyedArchive::archiveTop(Value::array(), &error).isEmpty());
        QVERIFY(!error.isEmpty());
    }

    void pythonReadsTheLayout()
    {
        if (python().isEmpty())
            QSKIP("python3 not found");
        const Value designs = sampleDesigns();
        QTemporaryDir dir;
        const QString path = dir.filePath("Objects");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(KeyedArchive::archiveTop(designs));
        f.close();
        const QString script = pythonCanonical() + QStringLiteral(R"PY(
d = plistlib.load(open(sys.argv[1], 'rb'))
objs = d['$objects']
assert list(d.keys()) == ['$version', '$archiver', '$top', '$objects'], list(d.keys())
assert d['$archiver'] == 'NSKeyedArchiver' and d['$version'] == 100000 and objs[0] == '$null'
def cls(o):
    r = objs[o['$class'].data]
    assert r['$classes'][0] == r['$classname'] and r['$classes'][-1] == 'NSObject', r
    return r['$classname']
names, records = [], {}
for o in objs:
    if isinstance(o, dict) and '$classname' in o: names.append(o['$classname'])
    if isinstance(o, dict) and '$class' in o: records[cls(o)] = records.get(cls(o), 0) + 1
assert len(names) == len(set(names)), names
def dec(u):
    assert isinstance(u, plistlib.UID), u
    if u.data == 0: return {"null": True}
    o = objs[u.data]
    if isinstance(o, dict) and '$class' in o:
        n = cls(o)
        if n == 'NSMutableArray': return [dec(x) for x in o['NS.objects']]
        if n == 'NSMutableDictionary': return {"dict": [[objs[k.data], dec(v)] for k, v in zip(o['NS.keys'], o['NS.objects'])]}
        if n == 'NSDate': return {"date": bits(o['NS.time'])}
        return {"object": n, "attrs": [[k[1:] if k.startswith('$$') else k, dec(v)] for k, v in o.items() if k != '$class']}
    assert not isinstance(o, (list, dict)), o
    return c(o)
print(json.dumps({"top": [[k, dec(v)] for k, v in d['$top'].items()], "records": records}))
)PY");
        QString error;
        const QByteArray out = runPython(script, {path}, &error);
        QVERIFY2(!out.isNull(), qPrintable(error));
        QJsonArray top;
        for (const QString &k : designs.keys())
            top.append(QJsonArray{k, canonical(designs.value(k))});
        // The shared table is one record and the shared colour one object: dictionaries are 2 fields, the table,
        // the form, the script and the relationships; arrays are Tables, Fields, Queries, Forms, Reports, Scripts,
        // Boxes.
        const QJsonObject records{
            {"NSMutableArray", 7}, {"NSMutableDictionary", 6}, {"NSDate", 1}, {"NSColor", 1}, {"FDShapeControl", 1}};
        const QJsonObject expected{{"top", top}, {"records", records}};
        QCOMPARE(QJsonDocument::fromJson(out).object().toVariantMap(), expected.toVariantMap());
    }
};

QTEST_MAIN(TestKeyedArchive)
#include "test_keyed_archive.moc"
