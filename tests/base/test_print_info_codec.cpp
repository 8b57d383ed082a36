// PrintInfoCodec: page layouts round-trip through every stored form; malformed page setups are refused.
#include "KeyedArchive.h"
#include "PlistTestSupport.h"
#include "PrintInfoCodec.h"
#include "PropertyList.h"

#include <QPageSize>
#include <QTest>
#include <cmath>
#include <limits>

using namespace PlistTestSupport;

namespace {

Value letterLandscape()
{
    return PrintInfoCodec::encode(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Landscape,
                                              QMarginsF(72, 72, 72, 72), QPageLayout::Point));
}

// The Letter page setup with some entries replaced; a null value removes the entry.
Value withEntries(std::initializer_list<std::pair<QString, Value>> entries)
{
    Value stored = letterLandscape();
    for (const auto &[key, v] : entries) {
        if (v.isNull())
            stored.remove(key);
        else
            stored.set(key, v);
    }
    return stored;
}

Value withEntry(const QString &key, const Value &v)
{
    return withEntries({{key, v}});
}

} // namespace

class TestPrintInfoCodec : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QPageLayout>("layout");
        QTest::addColumn<QString>("storage");
        const QPageLayout letter(QPageSize(QPageSize::Letter), QPageLayout::Landscape, QMarginsF(72, 72, 72, 72),
                                 QPageLayout::Point);
        const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 15.5, 10, 25),
                             QPageLayout::Millimeter);
        const QPageLayout custom(QPageSize(QSizeF(500, 700.5), QPageSize::Point, QString(), QPageSize::ExactMatch),
                                 QPageLayout::Landscape, QMarginsF(10, 20, 30, 40.25), QPageLayout::Point);
        for (const char *storage : {"binary plist", "xml plist", "keyed archive"}) {
            QTest::addRow("Letter landscape, 72 pt margins, %s", storage) << letter << QString::fromLatin1(storage);
            QTest::addRow("A4 in millimetres, %s", storage) << a4 << QString::fromLatin1(storage);
            QTest::addRow("custom paper, %s", storage) << custom << QString::fromLatin1(storage);
        }
    }

    void roundTrip()
    {
        QFETCH(QPageLayout, layout);
        QFETCH(QString, storage);
        const Value stored = PrintInfoCodec::encode(layout);
        std::optional<Value> saved;
        if (storage == QLatin1String("keyed archive"))
            saved =
                KeyedArchive::unarchive(KeyedArchive::archive(stored, QStringLiteral("key")), QStringLiteral("key"));
        else
            saved = PropertyList::read(PropertyList::write(stored, storage == QLatin1String("xml plist")
                                                                       ? PropertyList::Format::Xml
                                                                       : PropertyList::Format::Binary));
        QVERIFY(saved);
        QCOMPARE(difference(stored, *saved), QString());

        QString error;
        const std::optional<QPageLayout> back = PrintInfoCodec::decode(*saved, &error);
        QVERIFY2(back, qPrintable(error));
        QVERIFY(back->isEquivalentTo(layout));
        QCOMPARE(back->pageSize().id(), layout.pageSize().id());
        QCOMPARE(back->pageSize().size(QPageSize::Point), layout.pageSize().size(QPageSize::Point));
        QCOMPARE(back->orientation(), layout.orientation());
        QCOMPARE(back->margins(QPageLayout::Point), layout.margins(QPageLayout::Point));
        QCOMPARE(back->fullRect(QPageLayout::Point), layout.fullRect(QPageLayout::Point));
        if (layout.units() == QPageLayout::Point)
            QCOMPARE(*back, layout);
    }

    void letterIsStoredByNameAndSize()
    {
        const Value stored = letterLandscape();
        QCOMPARE(stored.value("Paper Name").toString(), QStringLiteral("Letter"));
        QCOMPARE(stored.value("Paper Width").toDouble(), 612.0);
        QCOMPARE(stored.value("Paper Height").toDouble(), 792.0);
        QCOMPARE(stored.value("Orientation").toString(), QStringLiteral("Landscape"));
        for (const char *key : {"Left Margin", "Top Margin", "Right Margin", "Bottom Margin"})
            QCOMPARE(stored.value(QLatin1String(key)).toDouble(), 72.0);
    }

    void paperFoundByNameOrBySize_data()
    {
        QTest::addColumn<Value>("stored");
        QTest::addColumn<int>("id");
        QTest::addColumn<QSizeF>("size");
        QTest::newRow("name without a size")
            << withEntry("Paper Width", Value()) << int(QPageSize::Letter) << QSizeF(612, 792);
        QTest::newRow("standard size under an unknown name")
            << withEntry("Paper Name", "Office paper") << int(QPageSize::Letter) << QSizeF(612, 792);
        QTest::newRow("a known name with another size is that size")
            << withEntry("Paper Height", 900.0) << int(QPageSize::Custom) << QSizeF(612, 900);
    }

    void paperFoundByNameOrBySize()
    {
        QFETCH(Value, stored);
        QFETCH(int, id);
        QFETCH(QSizeF, size);
        const std::optional<QPageLayout> layout = PrintInfoCodec::decode(stored);
        QVERIFY(layout);
        QCOMPARE(int(layout->pageSize().id()), id);
        QCOMPARE(layout->pageSize().size(QPageSize::Point), size);
    }

    void malformedIsRefused_data()
    {
        QTest::addColumn<Value>("stored");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("not a dictionary") << Value(QByteArray("print info"));
        QTest::newRow("no version") << withEntry("Print Info Version", Value());
        QTest::newRow("newer version") << withEntry("Print Info Version", 2);
        QTest::newRow("unknown paper without a size")
            << withEntries({{"Paper Name", "Napkin"}, {"Paper Width", Value()}, {"Paper Height", Value()}});
        QTest::newRow("unknown paper of zero width") << withEntries({{"Paper Name", "Napkin"}, {"Paper Width", 0.0}});
        QTest::newRow("orientation unknown") << withEntry("Orientation", "Sideways");
        QTest::newRow("negative margin") << withEntry("Left Margin", -1.0);
        QTest::newRow("margin not a number") << withEntry("Top Margin", "72");
        QTest::newRow("margin NaN") << withEntry("Right Margin", nan);
        QTest::newRow("margin missing") << withEntry("Bottom Margin", Value());
        QTest::newRow("margins wider than the landscape sheet") << withEntry("Left Margin", 720.0);
        QTest::newRow("margins taller than the landscape sheet") << withEntry("Top Margin", 540.0);
        QTest::newRow("paper absurdly large")
            << withEntries({{"Paper Name", "Roll"}, {"Paper Width", 1e9}, {"Paper Height", 1e9}});
    }

    void malformedIsRefused()
    {
        QFETCH(Value, stored);
        QString error;
        QVERIFY(!PrintInfoCodec::decode(stored, &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_MAIN(TestPrintInfoCodec)
#include "test_print_info_codec.moc"
