// Decoded-size bounds of the property-list and keyed-archive readers: shared-reference bombs fail fast.
#include "KeyedArchive.h"
#include "PropertyList.h"

#include <QTest>

namespace {

// Thirty levels of arrays whose two elements are the same array: a few hundred bytes that stand for 2^30 leaves.
Value sharedBomb(int levels)
{
    Value level = Value("x");
    for (int i = 0; i < levels; ++i)
        level = Value::array({level, level});
    return level;
}

QByteArray binary(const Value &v)
{
    return PropertyList::write(v, PropertyList::Format::Binary);
}

QByteArray archiveAround(const Value &objects, const Value &top)
{
    return binary(
        Value::dict({{"$version", 100000}, {"$archiver", "NSKeyedArchiver"}, {"$top", top}, {"$objects", objects}}));
}

// The same bomb built from archive records that reference each other by UID.
QByteArray uidBomb(int levels)
{
    Value objects = Value::array(
        {"$null", "x",
         Value::dict({{"$classes", Value(QStringList{"NSArray", "NSObject"})}, {"$classname", "NSArray"}})});
    quint64 previous = 1;
    for (int i = 0; i < levels; ++i) {
        objects.append(Value::dict(
            {{"NS.objects", Value::array({Value::uid(previous), Value::uid(previous)})}, {"$class", Value::uid(2)}}));
        previous = quint64(objects.size() - 1);
    }
    return archiveAround(objects, Value::dict({{"Tables", Value::uid(previous)}}));
}

} // namespace

class TestDecodeBounds : public QObject {
    Q_OBJECT
private slots:
    void bombsAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("keyed");
        QTest::newRow("binary plist, shared arrays") << binary(sharedBomb(30)) << false;
        QTest::newRow("keyed archive, inline shared arrays")
            << archiveAround(Value::array({"$null"}), Value::dict({{"Tables", sharedBomb(30)}})) << true;
        QTest::newRow("keyed archive, records shared by UID") << uidBomb(30) << true;
        QTest::newRow("keyed archive, UID bomb past the object count") << uidBomb(23) << true;
    }
    void bombsAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, keyed);
        QVERIFY2(bytes.size() < 1024, qPrintable(QString::number(bytes.size())));
        QString error;
        const bool read =
            keyed ? bool(KeyedArchive::unarchiveTop(bytes, &error)) : bool(PropertyList::read(bytes, &error));
        QVERIFY(!read);
        QVERIFY2(error.contains("expand beyond"), qPrintable(error));
    }

    // Sharing within the bounds is fine and stays shared, so nothing is copied.
    void modestSharingStillReads()
    {
        const QByteArray bytes = binary(sharedBomb(12));
        QString error;
        const std::optional<Value> v = PropertyList::read(bytes, &error);
        QVERIFY2(v, qPrintable(error));
        QVERIFY(v->at(0).isSameContainer(v->at(1)));

        const std::optional<Value> top = KeyedArchive::unarchiveTop(uidBomb(12), &error);
        QVERIFY2(top, qPrintable(error));
        Value leaf = top->value("Tables");
        for (int i = 0; i < 12; ++i) {
            QCOMPARE(leaf.size(), 2);
            leaf = leaf.at(1);
        }
        QCOMPARE(leaf.toString(), QString("x"));
    }

    // A deep container reused deeper down must not nest past the depth bound through the reader's cache.
    void sharingCannotExceedTheDepthBound()
    {
        const int chain = PropertyList::maxDepth - 5;
        QList<QList<int>> arrays; // object i + 1 is an array of the listed objects; object 0 is the string "x"
        for (int i = 0; i < chain; ++i)
            arrays << QList<int>{i};
        for (int i = 0; i < 10; ++i)
            arrays << QList<int>{chain + i};
        arrays << QList<int>{chain, chain + 10}; // the top: the chain itself, then the chain again ten levels down
        QString error;
        QVERIFY(!PropertyList::read(handBuiltArrays(arrays), &error));
        QVERIFY2(error.contains("nesting deeper"), qPrintable(error));

        arrays.removeLast();
        arrays << QList<int>{chain, chain};
        QVERIFY2(PropertyList::read(handBuiltArrays(arrays), &error), qPrintable(error));
    }

private:
    // A binary plist with two-byte references: object 0 the string "x", then one array per entry of `arrays`;
    // the last is the top.
    static QByteArray handBuiltArrays(const QList<QList<int>> &arrays)
    {
        QByteArray bytes("bplist00");
        QList<quint64> offsets;
        const auto two = [&](quint64 v) { bytes.append(char((v >> 8) & 0xFF)).append(char(v & 0xFF)); };
        offsets << quint64(bytes.size());
        bytes.append("\x51x", 2);
        for (const QList<int> &refs : arrays) {
            offsets << quint64(bytes.size());
            bytes.append(char(0xA0 | refs.size()));
            for (int r : refs)
                two(quint64(r));
        }
        const quint64 table = quint64(bytes.size());
        for (quint64 offset : offsets)
            two(offset);
        QByteArray trailer(32, '\0');
        trailer[6] = 2;
        trailer[7] = 2;
        const quint64 count = quint64(offsets.size());
        for (int i = 0; i < 8; ++i) {
            trailer[8 + i] = char((count >> (8 * (7 - i))) & 0xFF);
            trailer[16 + i] = char(((count - 1) >> (8 * (7 - i))) & 0xFF);
            trailer[24 + i] = char((table >> (8 * (7 - i))) & 0xFF);
        }
        return bytes + trailer;
    }
};

QTEST_GUILESS_MAIN(TestDecodeBounds)
#include "test_decode_bounds.moc"
