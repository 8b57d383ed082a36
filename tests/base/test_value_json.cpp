// ValueJson: every kind round-trips under both option sets, archives decode only where asked, and hand-written
// JSON that is no tag stays a dictionary.
#include "ArchivedColor.h"
#include "KeyedArchive.h"
#include "ValueJson.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {
QImage smallImage()
{
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(QColor(10, 200, 30));
    return image;
}

QJsonValue parse(const char *json)
{
    return QJsonDocument::fromJson(QByteArray("[") + json + "]").array().at(0);
}
} // namespace

class TestValueJson : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data()
    {
        QTest::addColumn<Value>("value");
        QTest::addColumn<bool>("forms");
        const Value everything = Value::dict({{"text", "a"},
                                              {"int", 42},
                                              {"whole real", 5.0},
                                              {"real", 2.5},
                                              {"yes", true},
                                              {"none", Value()},
                                              {"data", Value(QByteArray("\x00\x01", 2))},
                                              {"date", Value::date(12.5)},
                                              {"uid", Value::uid(7)},
                                              {"list", Value(QStringList{"x", "y"})},
                                              {"$tag-like", Value::dict({{"$real", 1}})},
                                              {"object", Value::object("NSThing", Value::dict({{"k", 1}}))}});
        for (const bool forms : {false, true}) {
            const char *style = forms ? "form options" : "design options";
            QTest::addRow("every kind, %s", style) << everything << forms;
            QTest::addRow("archived colour, %s", style) << Value(ArchivedColor::archive(QColor(255, 0, 0))) << forms;
            QTest::addRow("archived object, %s", style)
                << Value(KeyedArchive::archive(Value::object("Ctl", Value::dict({{"Title", "Hi"}})), "key")) << forms;
        }
    }
    void roundTrip()
    {
        QFETCH(Value, value);
        QFETCH(bool, forms);
        const ValueJson::Options options = forms ? ValueJson::formOptions() : ValueJson::Options();
        const QJsonValue json = ValueJson::toJson(value, options);
        QString error;
        const std::optional<Value> back = ValueJson::fromJson(json, &error);
        QVERIFY2(back, qPrintable(error));
        if (forms && value.isData()) {
            // Decoded archives are archived again: the same values, and the same JSON once more.
            QCOMPARE(ValueJson::toJson(*back, options), json);
            QCOMPARE(KeyedArchive::unarchive(back->toData(), "key"), KeyedArchive::unarchive(value.toData(), "key"));
        } else {
            QCOMPARE(*back, value);
        }
    }

    void archivesDecodeOnlyForForms()
    {
        const Value colour(ArchivedColor::archive(QColor(0, 0, 255)));
        QVERIFY(ValueJson::toJson(colour).toObject().contains("$data"));
        const QJsonArray rgba =
            ValueJson::toJson(colour, ValueJson::formOptions()).toObject().value("$color").toArray();
        QCOMPARE(rgba, (QJsonArray{0.0, 0.0, 1.0, 1.0}));
        // Bytes that are no archive stay bytes under both.
        QCOMPARE(ValueJson::toJson(Value(QByteArray("xyz")), ValueJson::formOptions()).toObject().value("$data"),
                 QJsonValue("eHl6"));
    }

    void imagesTakeTheirOptionsFormat()
    {
        for (const ValueJson::Options &options : {ValueJson::Options(), ValueJson::formOptions()}) {
            const QJsonValue json = ValueJson::toJson(Value(smallImage()), options);
            const QByteArray bytes = QByteArray::fromBase64(json.toObject().value("$image").toString().toLatin1());
            QVERIFY(bytes.startsWith(qstrcmp(options.imageFormat, "PNG") == 0 ? QByteArray("\x89PNG")
                                                                              : QByteArray("II*\0", 4)));
            const std::optional<Value> back = ValueJson::fromJson(json);
            QVERIFY(back && back->isImage());
            QCOMPARE(back->toImage().convertToFormat(QImage::Format_ARGB32), smallImage());
        }
    }

    void handWrittenJson_data()
    {
        QTest::addColumn<QString>("json");
        QTest::addColumn<Value>("expected");
        QTest::newRow("whole number") << "3" << Value(3);
        QTest::newRow("tag beside another key") << R"({"$real": 1, "x": 2})" << Value::dict({{"$real", 1}, {"x", 2}});
        QTest::newRow("tag of the wrong kind") << R"({"$date": "soon"})" << Value::dict({{"$date", "soon"}});
        QTest::newRow("class without attributes") << R"({"$class": "X"})" << Value::dict({{"$class", "X"}});
        QTest::newRow("uid") << R"({"$uid": 4})" << Value::uid(4);
    }
    void handWrittenJson()
    {
        QFETCH(QString, json);
        QFETCH(Value, expected);
        QCOMPARE(ValueJson::fromJson(parse(json.toUtf8().constData())), std::optional<Value>(expected));
    }

    void refusesWhatCannotBeStored()
    {
        QJsonValue deep = QJsonArray{1};
        for (int i = 0; i < 300; ++i)
            deep = QJsonArray{deep};
        QString error;
        QVERIFY(!ValueJson::fromJson(deep, &error));
        QCOMPARE(error, QStringLiteral("nested too deeply"));
    }
};

QTEST_MAIN(TestValueJson)
#include "test_value_json.moc"
