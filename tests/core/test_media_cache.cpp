// Tests of the media cache: media bytes written on cell writes, nothing for other values, keys and logging.
#include "Base64.h"
#include "DesignFixture.h"
#include "HVFileWrapper.h"
#include "MyDocument.h"
#include "OXDBMediaCache.h"
#include "OXDatabase.h"
#include "OXMovie.h"
#include "TestEnvironment.h"

#include <QtTest>
#include <sqlite3.h>

using namespace DesignFixture;

namespace {
const QString kTable = QStringLiteral("Media");

QImage sampleImage()
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(qRgb(10, 120, 230));
    image.setPixel(1, 2, qRgb(255, 0, 0));
    return image;
}

QStringList g_messages;
void collect(QtMsgType, const QMessageLogContext &, const QString &message)
{
    g_messages << message;
}
} // namespace

class TestMediaCache : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void mediaCellEndsWithBase64OfBytes_data();
    void mediaCellEndsWithBase64OfBytes();
    void textCellRunsNoCacheStatement();
    void nonMediaValueWritesNothing_data();
    void nonMediaValueWritesNothing();
    void rowidIsQuoted();
    void deleteOfRowZeroTouchesNothing();
    void keys_data();
    void keys();
    void lookupFindsNothing();
    void logsOnlyWhenEnabled();

private:
    int totalChanges() const { return sqlite3_total_changes(m_doc->database()->handle()); }
    QString cell(const QString &column, const QString &id) const { return cellText(*m_doc, kTable, column, id); }

    TestEnvironment m_env;
    std::unique_ptr<MyDocument> m_doc;
    OXDBMediaCache *m_cache = nullptr;
    QString m_row1, m_row2;
};

void TestMediaCache::init()
{
    QString error;
    m_doc = newDocumentWithTable(
        table(kTable, {DesignFixture::field("Photo", "Image"), DesignFixture::field("Clip", "Video"),
                       DesignFixture::field("Sound", "Audio"), DesignFixture::field("File", "Attachment"),
                       DesignFixture::field("Notes", "Text")}),
        &error);
    QVERIFY2(m_doc, qPrintable(error));
    m_cache = m_doc->mediaCache();
    QVERIFY(m_cache);
    QCOMPARE(m_cache->database(), m_doc->database());
    m_row1 = insertRow(*m_doc, kTable);
    m_row2 = insertRow(*m_doc, kTable);
}

void TestMediaCache::cleanup()
{
    m_doc.reset();
    m_cache = nullptr;
}

void TestMediaCache::mediaCellEndsWithBase64OfBytes_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<Value>("value");
    QTest::addColumn<QByteArray>("bytes"); // empty: the TIFF data of the image, computed in the test
    const OXMovie movie{QByteArray("\x00\x01movie", 7), QStringLiteral("m.mov"), QStringLiteral("video/quicktime")};
    HVFileWrapper wrapper;
    wrapper.name = QStringLiteral("a.txt");
    wrapper.path = QStringLiteral("/tmp/a.txt");
    wrapper.data = QByteArray("it's");
    QTest::newRow("image") << "Photo" << Value(sampleImage()) << QByteArray();
    QTest::newRow("video") << "Clip" << movie.toValue() << movie.archivedData();
    QTest::newRow("audio") << "Sound" << movie.toValue() << movie.archivedData();
    QTest::newRow("attachment") << "File" << wrapper.toValue() << wrapper.archivedData();
}

void TestMediaCache::mediaCellEndsWithBase64OfBytes()
{
    QFETCH(QString, column);
    QFETCH(Value, value);
    QFETCH(QByteArray, bytes);
    if (bytes.isEmpty())
        bytes = *OXDatabase::dataForNativeObjectOfType(value, QStringLiteral("Image"));
    const QString expected = Base64::encode(bytes);

    // Through the cell write: once by the write itself, once by the cache.
    const int before = totalChanges();
    QVERIFY(!m_doc->database()->insertNativeValue(value, kTable, column, m_row1));
    QCOMPARE(totalChanges() - before, 2);
    QCOMPARE(cell(column, m_row1), expected);

    // The cache on its own overwrites whatever the cell held.
    m_doc->database()->performQuery(QStringLiteral("UPDATE `Media` SET `%1`='old' WHERE id=2").arg(column));
    m_cache->addNativeObject(value, kTable, column, m_row2);
    QCOMPARE(m_doc->database()->lastErrorID(), 0);
    QCOMPARE(cell(column, m_row2), expected);
}

void TestMediaCache::textCellRunsNoCacheStatement()
{
    const int before = totalChanges();
    QVERIFY(!m_doc->database()->insertNativeValue(Value("it's text"), kTable, "Notes", m_row1));
    QCOMPARE(totalChanges() - before, 1);
    QCOMPARE(cell("Notes", m_row1), QStringLiteral("it's text"));
}

void TestMediaCache::nonMediaValueWritesNothing_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<Value>("value");
    QTest::newRow("text field") << "Notes" << Value("plain");
    QTest::newRow("string in image field") << "Photo" << Value("not an image");
    QTest::newRow("movie in attachment field") << "File" << OXMovie{}.toValue();
    QTest::newRow("image in video field") << "Clip" << Value(sampleImage());
    QTest::newRow("unknown column") << "Missing" << Value(sampleImage());
}

void TestMediaCache::nonMediaValueWritesNothing()
{
    QFETCH(QString, column);
    QFETCH(Value, value);
    const int before = totalChanges();
    m_cache->addNativeObject(value, kTable, column, m_row1);
    QCOMPARE(totalChanges(), before);
}

void TestMediaCache::rowidIsQuoted()
{
    const int before = totalChanges();
    m_cache->addNativeObject(Value(sampleImage()), kTable, "Photo", "1' OR '1'='1");
    QCOMPARE(totalChanges(), before);
    QCOMPARE(cell("Photo", m_row1), QStringLiteral(""));
    QCOMPARE(cell("Photo", m_row2), QStringLiteral(""));
}

void TestMediaCache::deleteOfRowZeroTouchesNothing()
{
    const int before = totalChanges();
    QVERIFY(m_doc->database()->deleteFromTable(kTable, "0"));
    QCOMPARE(totalChanges(), before);
    QCOMPARE(m_doc->database()->rowCountInTable(kTable), quint64(2));
    QCOMPARE(m_cache->count(), 0);
    QVERIFY(m_doc->database()->deleteFromTable(kTable, m_row1));
    QCOMPARE(m_doc->database()->rowCountInTable(kTable), quint64(1));
}

void TestMediaCache::keys_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("rowid");
    QTest::addColumn<bool>("matches");
    QTest::newRow("cell of the row") << OXDBMediaCache::keyForTable("T", "Photo", "5") << "T"
                                     << "5" << true;
    QTest::newRow("column with backquote") << "T`a`b`5"
                                           << "T"
                                           << "5" << true;
    QTest::newRow("empty column") << "T``5"
                                  << "T"
                                  << "5" << true;
    QTest::newRow("other row ending alike") << "T`Photo`15"
                                            << "T"
                                            << "5" << false;
    QTest::newRow("other row starting alike") << "T`Photo`51"
                                              << "T"
                                              << "5" << false;
    QTest::newRow("other table ending alike") << "TT`Photo`5"
                                              << "T"
                                              << "5" << false;
    QTest::newRow("table prefix of another") << "T`Photo`5"
                                             << "TT"
                                             << "5" << false;
    QTest::newRow("too short to hold both") << "T`5"
                                            << "T"
                                            << "5" << false;
}

void TestMediaCache::keys()
{
    QFETCH(QString, key);
    QFETCH(QString, table);
    QFETCH(QString, rowid);
    QFETCH(bool, matches);
    QCOMPARE(OXDBMediaCache::keyForTable("T", "Photo", "5"), QStringLiteral("T`Photo`5"));
    QCOMPARE(OXDBMediaCache::keyMatchesRow(key, table, rowid), matches);
}

void TestMediaCache::lookupFindsNothing()
{
    QVERIFY(!m_doc->database()->insertNativeValue(Value(sampleImage()), kTable, "Photo", m_row1));
    QVERIFY(m_cache->nativeObjectForTable(kTable, "Photo", m_row1).isNull());
    QCOMPARE(m_cache->count(), 0);
}

void TestMediaCache::logsOnlyWhenEnabled()
{
    g_messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collect);
    m_cache->addNativeObject(Value(sampleImage()), kTable, "Photo", m_row1);
    const QStringList quiet = g_messages;

    QLoggingCategory::setFilterRules(QStringLiteral("orvix.media.debug=true"));
    g_messages.clear();
    m_cache->addNativeObject(Value(sampleImage()), kTable, "Photo", m_row1);
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);

    QVERIFY(quiet.isEmpty());
    QCOMPARE(g_messages.size(), 6);
    const QStringList labels = {"creating data", "encode", "base64", "builtQuery"};
    for (int i = 0; i < labels.size(); ++i)
        QVERIFY2(QRegularExpression(
                     QStringLiteral("^\\t Lap %1 Timer '%2' - took time: \\d+\\.\\d+$").arg(i + 1).arg(labels.at(i)))
                     .match(g_messages.at(i))
                     .hasMatch(),
                 qPrintable(g_messages.at(i)));
    QCOMPARE(g_messages.at(4), QStringLiteral("Error = 0: "));
    QVERIFY2(g_messages.at(5).startsWith(QStringLiteral("\t End 5 Timer 'ran query' - took time: ")),
             qPrintable(g_messages.at(5)));
}

QTEST_MAIN(TestMediaCache)
#include "test_media_cache.moc"
