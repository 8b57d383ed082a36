// DesignVocabulary: the stored datatype names in pop-up order, their round trip through the enum, and the
// media set.
#include "DesignVocabulary.h"

#include <QTest>

class TestDesignVocabulary : public QObject {
    Q_OBJECT
private slots:
    void namesRoundTripInPopUpOrder()
    {
        QCOMPARE(Datatypes::names(),
                 (QStringList{"Primary Key", "Text", "Number", "Date", "Yes/No", "Image", "Audio", "Video", "List",
                              "Options", "Attachment", "File Path", "Relationship"}));
        for (const QString &name : Datatypes::names()) {
            const Datatype type = Datatypes::fromName(name);
            QVERIFY(type != Datatype::Unknown);
            QCOMPARE(Datatypes::name(type), name);
            QVERIFY(Datatypes::is(name, type));
        }
    }

    void unknownNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << "";
        QTest::newRow("null") << QString();
        QTest::newRow("other case") << "number";
        QTest::newRow("padded") << " Text";
    }
    void unknownNames()
    {
        QFETCH(QString, name);
        QCOMPARE(Datatypes::fromName(name), Datatype::Unknown);
        QVERIFY(!Datatypes::is(name, Datatype::Text));
        QVERIFY(Datatypes::name(Datatype::Unknown).isNull());
    }

    void mediaAreTheBase64Kinds()
    {
        QStringList media;
        for (const QString &name : Datatypes::names())
            if (Datatypes::isMedia(name))
                media << name;
        QCOMPARE(media, (QStringList{"Image", "Audio", "Video", "Attachment"}));
    }
};

QTEST_MAIN(TestDesignVocabulary)
#include "test_design_vocabulary.moc"
