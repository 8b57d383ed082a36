// Value: shared containers, deep copy, deep equality, ordered dictionaries and scalar reads.
#include "Value.h"

#include <QTest>
#include <QTimeZone>

class TestValue : public QObject {
    Q_OBJECT
private slots:
    void containersAreSharedByReference()
    {
        Value design = Value::dict({{"Name", "People"}, {"Fields", Value::array()}});
        Value fields = design["Fields"];
        fields.append(Value::dict({{"Name", "id"}}));
        QCOMPARE(design["Fields"].size(), 1);
        QCOMPARE(design["Fields"].at(0)["Name"].toString(), QStringLiteral("id"));

        Value field = design["Fields"].at(0);
        field.set("Type", "Primary Key");
        QCOMPARE(design["Fields"].at(0)["Type"].toString(), QStringLiteral("Primary Key"));
    }

    void deepCopySharesNothingButKeepsSharedSubtreesShared()
    {
        Value shared = Value::dict({{"k", 1}});
        Value root = Value::array({shared, shared});
        Value copy = root.deepCopy();
        QCOMPARE(copy, root);
        copy.at(0).set("k", 2);
        QCOMPARE(root.at(0)["k"].toInt(), 1);
        // The two references to one dictionary stay one dictionary in the copy.
        QCOMPARE(copy.at(1)["k"].toInt(), 2);
        QVERIFY(!copy.isSameContainer(root));
    }

    void dictionariesKeepInsertionOrder()
    {
        Value d = Value::dict();
        for (const char *k : {"Version", "Tables", "Queries", "Forms", "Reports"})
            d.set(k, k);
        d.set("Tables", 5);
        QCOMPARE(d.keys(), (QStringList{"Version", "Tables", "Queries", "Forms", "Reports"}));
        d.remove("Queries");
        QCOMPARE(d.keys(), (QStringList{"Version", "Tables", "Forms", "Reports"}));
        QVERIFY(!d.contains("Queries"));
        QVERIFY(d["Queries"].isNull());
    }

    void equalityIsDeepAndNumericAcrossKinds_data()
    {
        QTest::addColumn<Value>("a");
        QTest::addColumn<Value>("b");
        QTest::addColumn<bool>("equal");
        QTest::newRow("int-real") << Value(3) << Value(3.0) << true;
        QTest::newRow("bool-int") << Value(true) << Value(1) << true;
        QTest::newRow("real-differs") << Value(2.5) << Value(2) << false;
        QTest::newRow("string-number") << Value("3") << Value(3) << false;
        QTest::newRow("dict-order-free") << Value::dict({{"a", 1}, {"b", 2}}) << Value::dict({{"b", 2}, {"a", 1}})
                                         << true;
        QTest::newRow("nested") << Value::array({Value::dict({{"x", Value::array({1, "y"})}})})
                                << Value::array({Value::dict({{"x", Value::array({1, "y"})}})}) << true;
        QTest::newRow("nested-differs") << Value::array({Value::dict({{"x", Value::array({1, "y"})}})})
                                        << Value::array({Value::dict({{"x", Value::array({1, "z"})}})}) << false;
        QTest::newRow("data") << Value(QByteArray("\x00\x01", 2)) << Value(QByteArray("\x00\x01", 2)) << true;
        QTest::newRow("date") << Value::date(1.5) << Value::date(1.5) << true;
        QTest::newRow("date-real") << Value::date(1.5) << Value(1.5) << false;
        QTest::newRow("object") << Value::object("NSColor", Value::dict({{"r", 1.0}}))
                                << Value::object("NSColor", Value::dict({{"r", 1.0}})) << true;
        QTest::newRow("object-class") << Value::object("A") << Value::object("B") << false;
        QTest::newRow("null") << Value() << Value() << true;
        QTest::newRow("null-empty-string") << Value() << Value("") << false;
    }
    void equalityIsDeepAndNumericAcrossKinds()
    {
        QFETCH(Value, a);
        QFETCH(Value, b);
        QFETCH(bool, equal);
        QCOMPARE(a == b, equal);
        QCOMPARE(b == a, equal);
    }

    void scalarReads_data()
    {
        QTest::addColumn<Value>("v");
        QTest::addColumn<bool>("asBool");
        QTest::addColumn<qint64>("asInt");
        QTest::addColumn<QString>("description");
        QTest::newRow("null") << Value() << false << qint64(0) << "<null>";
        QTest::newRow("real") << Value(2.5) << true << qint64(2) << "2.5";
        QTest::newRow("integral real") << Value(3.0) << true << qint64(3) << "3";
        QTest::newRow("negative real") << Value(-3.7) << true << qint64(-3) << "-3.7";
        QTest::newRow("numeric string") << Value("12abc") << true << qint64(12) << "12abc";
        QTest::newRow("YES string") << Value("YES") << true << qint64(0) << "YES";
        QTest::newRow("zero string") << Value("0") << false << qint64(0) << "0";
        QTest::newRow("bool") << Value(true) << true << qint64(1) << "1";
    }
    void scalarReads()
    {
        QFETCH(Value, v);
        QFETCH(bool, asBool);
        QFETCH(qint64, asInt);
        QFETCH(QString, description);
        QCOMPARE(v.toBool(), asBool);
        QCOMPARE(v.toInt(), asInt);
        QCOMPARE(v.description(), description);
    }

    void readsOfTheWrongKindAreHarmless()
    {
        Value s("text");
        QCOMPARE(s.size(), 0);
        QVERIFY(s.at(3).isNull());
        QVERIFY(s["Name"].isNull());
        s.append(1); // no effect on a string
        s.set("k", 1);
        QCOMPARE(s.toString(), QStringLiteral("text"));
        Value a = Value::array({1});
        QVERIFY(a.at(-1).isNull());
        QVERIFY(a.at(1).isNull());
        a.removeAt(5);
        QCOMPARE(a.size(), 1);
    }

    void datesConvertFromTheReferenceDate()
    {
        const Value v = Value::date(0.0);
        QCOMPARE(v.toDateTime(), QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC));
        QCOMPARE(Value::dateTime(QDateTime(QDate(2001, 1, 2), QTime(0, 0), Qt::UTC)).toDate(), 86400.0);
    }
};

QTEST_GUILESS_MAIN(TestValue)
#include "test_value.moc"
