// Tests of the conversion of cell values between native values and stored text, for every datatype.
#include "Base64.h"
#include "DesignFixture.h"
#include "HVFileWrapper.h"
#include "KeyedArchive.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "OXMovie.h"
#include "TestEnvironment.h"
#include "ValueCodec.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
QImage sampleImage()
{
    QImage image(5, 3, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgba(40 * x, 80 * y, 200, 255 - 30 * x));
    return image;
}

// TIFF keeps translucent pixels premultiplied, so images are compared in that form.
bool sameImage(const QImage &a, const QImage &b)
{
    return a.convertToFormat(QImage::Format_ARGB32_Premultiplied) ==
           b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

const QByteArray kBinary("\x00\x01\xff\xfe' \"\x00tail", 12);
} // namespace

class TestDesignConversion : public QObject {
    Q_OBJECT
private slots:
    void nilAndEmpty_data();
    void nilAndEmpty();
    void roundTrip_data();
    void roundTrip();
    void toStored_data();
    void toStored();
    void toNative_data();
    void toNative();
    void imageStoresTiffBase64();
    void movieRoundTrip_data();
    void movieRoundTrip();
    void attachmentFromFile();
    void undecodableMediaGiveNil_data();
    void undecodableMediaGiveNil();
    void dataForNativeObjectMatchesType();
    void optionsIndexStoresOptionText();

private:
    TestEnvironment m_env;
};

void TestDesignConversion::nilAndEmpty_data()
{
    QTest::addColumn<QString>("datatype");
    for (const QString &type : OXDatabase::datatypes())
        QTest::newRow(qPrintable(type)) << type;
    QTest::newRow("unknown") << QStringLiteral("Blob");
}

void TestDesignConversion::nilAndEmpty()
{
    QFETCH(QString, datatype);
    const QString stored = ValueCodec::nativeToDb(Value(), datatype);
    QVERIFY(!stored.isNull());
    QCOMPARE(stored, QString(""));
    QVERIFY(ValueCodec::dbToNative(QString(""), datatype).isNull());
    QVERIFY(ValueCodec::dbToNative(QString(), datatype).isNull());
}

// Values whose stored text reads back as the same native value.
void TestDesignConversion::roundTrip_data()
{
    QTest::addColumn<QString>("datatype");
    QTest::addColumn<Value>("native");
    QTest::addColumn<QString>("stored");
    QTest::newRow("primary key") << "Primary Key" << Value("42") << "42";
    QTest::newRow("text with quote") << "Text" << Value("O'Brien") << "O'Brien";
    QTest::newRow("text non-BMP") << "Text" << Value(QString::fromUtf8("clef \xF0\x9D\x84\x9E"))
                                  << QString::fromUtf8("clef \xF0\x9D\x84\x9E");
    QTest::newRow("number integral") << "Number" << Value(3.0) << "3";
    QTest::newRow("number fraction") << "Number" << Value(2.5) << "2.5";
    QTest::newRow("number negative") << "Number" << Value(-0.125) << "-0.125";
    QTest::newRow("date reference") << "Date" << Value::date(0) << "0";
    QTest::newRow("date later") << "Date" << Value::date(86400.0 * 365) << "31536000";
    QTest::newRow("date before reference") << "Date" << Value::date(-60) << "-60";
    QTest::newRow("yes") << "Yes/No" << Value(true) << "1";
    QTest::newRow("no") << "Yes/No" << Value(false) << "0";
    QTest::newRow("list") << "List" << Value(QStringList{"a", "b c", "d"}) << "a, b c, d";
    QTest::newRow("options") << "Options" << Value("Red") << "Red";
    QTest::newRow("file path") << "File Path" << Value("/tmp/some file") << "/tmp/some file";
    QTest::newRow("relationship") << "Relationship" << Value("3, 7") << "3, 7";
}

void TestDesignConversion::roundTrip()
{
    QFETCH(QString, datatype);
    QFETCH(Value, native);
    QFETCH(QString, stored);
    QCOMPARE(ValueCodec::nativeToDb(native, datatype, false), stored);
    QCOMPARE(ValueCodec::dbToNative(stored, datatype), native);
}

void TestDesignConversion::toStored_data()
{
    QTest::addColumn<QString>("datatype");
    QTest::addColumn<Value>("native");
    QTest::addColumn<bool>("escape");
    QTest::addColumn<QString>("stored"); // a null string stands for nil
    QTest::newRow("text escaped") << "Text" << Value("it's 'x'") << true << "it''s ''x''";
    QTest::newRow("text unescaped") << "Text" << Value("it's") << false << "it's";
    QTest::newRow("date 0.6s rounds up") << "Date" << Value::date(0.6) << false << "1";
    QTest::newRow("date 0.4s rounds down") << "Date" << Value::date(0.4) << false << "0";
    QTest::newRow("number from string") << "Number" << Value("12.50") << false << "12.5";
    QTest::newRow("number from int") << "Number" << Value(7) << false << "7";
    QTest::newRow("yes/no from number") << "Yes/No" << Value(5) << false << "1";
    QTest::newRow("yes/no from string") << "Yes/No" << Value("Yes") << false << "1";
    QTest::newRow("list escaped") << "List" << Value(QStringList{"it's", "b"}) << true << "it''s, b";
    QTest::newRow("wrong class string kept") << "Date" << Value("tomorrow") << false << "tomorrow";
    QTest::newRow("wrong class string escaped") << "Image" << Value("a'b") << true << "a''b";
    QTest::newRow("wrong class non-string nil") << "Number" << Value::date(5) << true << QString();
    QTest::newRow("image from number nil") << "Image" << Value(5) << false << QString();
    QTest::newRow("list from string kept") << "List" << Value("x, y") << false << "x, y";
    QTest::newRow("unknown datatype string") << "Blob" << Value("raw") << false << "raw";
    QTest::newRow("unknown datatype number nil") << "Blob" << Value(1.5) << false << QString();
}

void TestDesignConversion::toStored()
{
    QFETCH(QString, datatype);
    QFETCH(Value, native);
    QFETCH(bool, escape);
    QFETCH(QString, stored);
    const QString actual = ValueCodec::nativeToDb(native, datatype, escape);
    QCOMPARE(actual.isNull(), stored.isNull());
    QCOMPARE(actual, stored);
}

void TestDesignConversion::toNative_data()
{
    QTest::addColumn<QString>("datatype");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<Value>("native");
    QTest::newRow("YES is true") << "Yes/No"
                                 << "YES" << Value(true);
    QTest::newRow("NO is false") << "Yes/No"
                                 << "NO" << Value(false);
    QTest::newRow("other text is false") << "Yes/No"
                                         << "yes" << Value(false);
    QTest::newRow("two is false") << "Yes/No"
                                  << "2" << Value(false);
    QTest::newRow("list comma without blank") << "List"
                                              << "a, b,c" << Value(QStringList{"a", "b,c"});
    QTest::newRow("list single") << "List"
                                 << "alone" << Value(QStringList{"alone"});
    QTest::newRow("date rounds") << "Date"
                                 << "10.5" << Value::date(11);
    QTest::newRow("number leading text") << "Number"
                                         << "12abc" << Value(12.0);
    QTest::newRow("number non-numeric") << "Number"
                                        << "abc" << Value(0.0);
    QTest::newRow("unknown datatype") << "Blob"
                                      << "raw" << Value();
}

void TestDesignConversion::toNative()
{
    QFETCH(QString, datatype);
    QFETCH(QString, stored);
    QFETCH(Value, native);
    QCOMPARE(ValueCodec::dbToNative(stored, datatype), native);
}

void TestDesignConversion::imageStoresTiffBase64()
{
    const QImage image = sampleImage();
    const QString stored = ValueCodec::nativeToDb(Value(image), QStringLiteral("Image"), false);
    QVERIFY(!stored.isEmpty());
    QVERIFY(!stored.contains(QLatin1Char('\n')));
    const std::optional<QByteArray> bytes = Base64::decode(stored);
    QVERIFY(bytes);
    QVERIFY(bytes->startsWith(QByteArray("II*\0", 4)) || bytes->startsWith(QByteArray("MM\0*", 4)));

    const Value back = ValueCodec::dbToNative(stored, QStringLiteral("Image"));
    QVERIFY(back.isImage());
    QVERIFY(sameImage(back.toImage(), image));
    // Escaping leaves Base64 alone: it has no quotes.
    QCOMPARE(ValueCodec::nativeToDb(Value(image), QStringLiteral("Image"), true), stored);
    // An empty image has no TIFF form and is not stored.
    QVERIFY(ValueCodec::nativeToDb(Value(QImage()), QStringLiteral("Image"), false).isNull());

    // A picture with flat areas is stored compressed: far below its raw pixels, and still read back whole.
    QImage flat(240, 160, QImage::Format_RGB32);
    for (int y = 0; y < flat.height(); ++y)
        for (int x = 0; x < flat.width(); ++x)
            flat.setPixel(x, y, qRgb(x < 80 ? 250 : 20, y < 80 ? 120 : 60, 30));
    const std::optional<QByteArray> flatBytes =
        Base64::decode(ValueCodec::nativeToDb(Value(flat), QStringLiteral("Image"), false));
    QVERIFY(flatBytes && flatBytes->startsWith(QByteArray("II*\0", 4)));
    QVERIFY2(flatBytes->size() < flat.sizeInBytes() / 8, qPrintable(QString::number(flatBytes->size())));
    QVERIFY(sameImage(ValueCodec::dbToNative(Base64::encode(*flatBytes), QStringLiteral("Image")).toImage(), flat));
}

void TestDesignConversion::movieRoundTrip_data()
{
    QTest::addColumn<QString>("datatype");
    QTest::newRow("video") << QStringLiteral("Video");
    QTest::newRow("audio") << QStringLiteral("Audio");
}

void TestDesignConversion::movieRoundTrip()
{
    QFETCH(QString, datatype);
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("clip.mp4"), kBinary);
    QVERIFY(!path.isEmpty());
    const std::optional<OXMovie> movie = OXMovie::fromPath(path);
    QVERIFY(movie);
    QCOMPARE(movie->data, kBinary);
    QCOMPARE(movie->fileName, QStringLiteral("clip.mp4"));
    QVERIFY(!movie->type.isEmpty());

    const QString stored = ValueCodec::nativeToDb(movie->toValue(), datatype, false);
    const std::optional<QByteArray> archive = Base64::decode(stored);
    QVERIFY(archive);
    QCOMPARE(*archive, movie->archivedData());
    // The archive holds the movie under the root key "key".
    const std::optional<Value> root = KeyedArchive::unarchive(*archive, QStringLiteral("key"));
    QVERIFY(root);
    QCOMPARE(root->className(), OXMovie::className);

    const Value back = ValueCodec::dbToNative(stored, datatype);
    const std::optional<OXMovie> backMovie = OXMovie::fromValue(back);
    QVERIFY(backMovie);
    QCOMPARE(*backMovie, *movie);
    QVERIFY(!OXMovie::fromPath(dir.filePath(QStringLiteral("missing.mp4"))));
}

void TestDesignConversion::attachmentFromFile()
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("notes.bin"), kBinary);
    QVERIFY(!path.isEmpty());
    const std::optional<HVFileWrapper> wrapper = HVFileWrapper::fromPath(path);
    QVERIFY(wrapper);
    QCOMPARE(wrapper->name, QStringLiteral("notes.bin"));
    QCOMPARE(wrapper->path, path);
    QCOMPARE(wrapper->data, kBinary);
    QVERIFY(!wrapper->icon.isNull());

    const std::optional<Value> root = KeyedArchive::unarchive(wrapper->archivedData(), QStringLiteral("key"));
    QVERIFY(root);
    QCOMPARE(root->className(), HVFileWrapper::className);
    QCOMPARE(root->attributes().keys(), (QStringList{"name", "path", "icon", "data"}));

    const std::optional<HVFileWrapper> unarchived = HVFileWrapper::wrapperWithArchivedData(wrapper->archivedData());
    QVERIFY(unarchived);
    QCOMPARE(*unarchived, *wrapper);

    const QString stored = ValueCodec::nativeToDb(wrapper->toValue(), QStringLiteral("Attachment"), true);
    QCOMPARE(Base64::decode(stored).value_or(QByteArray()), wrapper->archivedData());
    const std::optional<HVFileWrapper> back =
        HVFileWrapper::fromValue(ValueCodec::dbToNative(stored, QStringLiteral("Attachment")));
    QVERIFY(back);
    QCOMPARE(*back, *wrapper);

    QVERIFY(!HVFileWrapper::fromPath(dir.filePath(QStringLiteral("missing"))));
}

void TestDesignConversion::undecodableMediaGiveNil_data()
{
    QTest::addColumn<QString>("datatype");
    QTest::addColumn<QString>("stored");
    QTest::newRow("image not base64") << "Image"
                                      << "not base64!";
    QTest::newRow("image base64 of text") << "Image" << Base64::encode("plain text");
    QTest::newRow("video garbage") << "Video" << Base64::encode("garbage");
    QTest::newRow("audio not base64") << "Audio"
                                      << "%%%";
    QTest::newRow("attachment garbage") << "Attachment" << Base64::encode("bplist00 but not really");
    QTest::newRow("attachment holding a movie")
        << "Attachment" << Base64::encode(OXMovie{"x", "a.mp4", "video/mp4"}.archivedData());
}

void TestDesignConversion::undecodableMediaGiveNil()
{
    QFETCH(QString, datatype);
    QFETCH(QString, stored);
    QVERIFY(ValueCodec::dbToNative(stored, datatype).isNull());
}

void TestDesignConversion::dataForNativeObjectMatchesType()
{
    const Value image(sampleImage());
    const OXMovie movie{kBinary, QStringLiteral("a.mov"), QStringLiteral("video/quicktime")};
    HVFileWrapper wrapper;
    wrapper.name = QStringLiteral("f");
    wrapper.path = QStringLiteral("/tmp/f");
    wrapper.data = kBinary;

    QVERIFY(OXDatabase::dataForNativeObjectOfType(image, QStringLiteral("Image")));
    QCOMPARE(*OXDatabase::dataForNativeObjectOfType(movie.toValue(), QStringLiteral("Audio")), movie.archivedData());
    QCOMPARE(*OXDatabase::dataForNativeObjectOfType(wrapper.toValue(), QStringLiteral("Attachment")),
             wrapper.archivedData());
    // Media bytes only for the datatype's own class.
    QVERIFY(!OXDatabase::dataForNativeObjectOfType(image, QStringLiteral("Video")));
    QVERIFY(!OXDatabase::dataForNativeObjectOfType(movie.toValue(), QStringLiteral("Attachment")));
    QVERIFY(!OXDatabase::dataForNativeObjectOfType(Value("text"), QStringLiteral("Image")));
    QVERIFY(!OXDatabase::dataForNativeObjectOfType(image, QStringLiteral("Text")));
}

void TestDesignConversion::optionsIndexStoresOptionText()
{
    const Value design = DesignFixture::table(
        QStringLiteral("Cars"),
        {DesignFixture::field(QStringLiteral("Colour"), QStringLiteral("Options"),
                              {{QStringLiteral("Options"), Value(QStringList{"Red", "Green", "Blue's"})}})});
    QString error;
    std::unique_ptr<MyDocument> doc = DesignFixture::newDocumentWithTable(design, &error);
    QVERIFY2(doc, qPrintable(error));
    OXDatabase *db = doc->database();
    QCOMPARE(db->nativeToDbForTable(Value(2), QStringLiteral("Cars"), QStringLiteral("Colour")), QString("Blue''s"));
    QCOMPARE(db->nativeToDbForTable(Value(0), QStringLiteral("Cars"), QStringLiteral("Colour"), false), QString("Red"));
    QCOMPARE(db->nativeToDbForTable(Value("Green"), QStringLiteral("Cars"), QStringLiteral("Colour")),
             QString("Green"));
    // An index past the options has no text.
    QCOMPARE(db->nativeToDbForTable(Value(9), QStringLiteral("Cars"), QStringLiteral("Colour")), QString(""));
    QCOMPARE(db->dbToNativeForTable(QStringLiteral("Red"), QStringLiteral("Cars"), QStringLiteral("Colour")),
             Value("Red"));
}

QTEST_MAIN(TestDesignConversion)
#include "test_design_conversion.moc"
