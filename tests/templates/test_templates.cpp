// Tests of template files and insertion: packing the sample, inserting into an empty document, name collisions.
#include "MyDocument.h"
#include "OXDatabase.h"
#include "OXTemplateFile.h"
#include "OXTemplateInserter.h"
#include "QLiteCursor.h"
#include "TestEnvironment.h"

#include <QProcess>
#include <QTest>

namespace {
const QString kCollisionText = QStringLiteral(
    "The names of one or more objects in the template are the same as the names of objects in the current document. "
    "Orvix could not add the template to the document.");

int countRows(MyDocument &doc, const QString &table)
{
    const auto rows = doc.database()->performQuery(QStringLiteral("SELECT id FROM `%1`").arg(table));
    return rows ? int(rows->rowCount()) : -1;
}
} // namespace

class TestTemplates : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void sampleTemplateInsertsIntoAnEmptyDocument()
    {
        std::unique_ptr<MyDocument> sample = MyDocument::open(QStringLiteral(ORVIX_SAMPLE_PATH));
        QVERIFY(sample);
        QVERIFY(countRows(*sample, QStringLiteral("People")) > 0);
        addFormAndQuery(*sample);
        const Value packed = OXTemplateFile::pack(*sample, {{}, {}, {}, {}, {}, true});
        const std::optional<Value> decoded = OXTemplateFile::decode(OXTemplateFile::encode(packed));
        QVERIFY(decoded);
        QVERIFY(*decoded == packed);

        std::unique_ptr<MyDocument> empty = MyDocument::createNew();
        QCOMPARE(OXTemplateInserter::insert(*empty, *decoded), OXTemplateInserter::Result::Inserted);
        QCOMPARE(empty->database()->tablesList(), sample->database()->tablesList());
        QVERIFY(empty->tables() == sample->tables());
        for (const QString &table : empty->database()->tablesList())
            QCOMPARE(countRows(*empty, table), 0);
        QVERIFY(empty->forms() == sample->forms());
        QVERIFY(empty->queries() == sample->queries());
        // The relationships survive the audit that follows the insertion.
        const Value lines = empty->relationships().value(QStringLiteral("Lines"));
        QVERIFY(lines.size() > 0);
        QVERIFY(lines == sample->relationships().value(QStringLiteral("Lines")));
        QVERIFY(empty->isChanged());
        // The inserted designs are the document's own, not shared with the template.
        QVERIFY(!empty->tables().at(0).isSameContainer(decoded->value(QStringLiteral("Tables")).at(0)));
        // A new row works in the new tables.
        empty->database()->performQuery(QStringLiteral("INSERT INTO `People` DEFAULT VALUES"));
        QCOMPARE(countRows(*empty, QStringLiteral("People")), 1);
    }

    void aCollisionAddsNothing_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("name");
        QTest::newRow("table") << "Tables"
                               << "People";
        QTest::newRow("query") << "Queries"
                               << "Everyone";
        QTest::newRow("form") << "Forms"
                              << "Card";
        QTest::newRow("report") << "Reports"
                                << "Letters";
        QTest::newRow("script") << "Scripts"
                                << "Tidy";
    }
    void aCollisionAddsNothing()
    {
        QFETCH(QString, key);
        QFETCH(QString, name);
        std::unique_ptr<MyDocument> sample = MyDocument::open(QStringLiteral(ORVIX_SAMPLE_PATH));
        QVERIFY(sample);
        addFormAndQuery(*sample);
        sample->reports().append(Value::dict({{"Name", "Letters"}}));
        sample->scripts().append(Value::dict({{"Name", "Tidy"}, {"Code String", ""}}));
        // A template whose tables are new but one design of `key` is named like one in the document.
        Value templateDictionary = Value::dict();
        templateDictionary.set(QStringLiteral("Tables"),
                               Value::array({Value::dict({{"Name", "Fresh"}, {"Fields", Value::array()}})}));
        Value colliding = Value::dict({{"Name", name}});
        if (key == QLatin1String("Tables"))
            templateDictionary.value(QStringLiteral("Tables")).append(sample->tableNamed(name).deepCopy());
        else
            templateDictionary.set(key, Value::array({colliding}));
        templateDictionary.set(QStringLiteral("Relationships"),
                               Value::dict({{"Boxes", Value::array({Value::dict({{"Name", "Fresh"}})})}}));

        const Value before = Value::array({sample->tables().deepCopy(), sample->queries().deepCopy(),
                                           sample->forms().deepCopy(), sample->reports().deepCopy(),
                                           sample->scripts().deepCopy(), sample->relationships().deepCopy()});
        const QStringList tablesBefore = sample->database()->tablesList();
        const bool changedBefore = sample->isChanged();
        QCOMPARE(OXTemplateInserter::insert(*sample, templateDictionary), OXTemplateInserter::Result::NameCollision);
        QCOMPARE(m_env->ui().alerts().size(), 1);
        QCOMPARE(m_env->ui().lastAlert()->messageText, QStringLiteral("Name collision"));
        QCOMPARE(m_env->ui().lastAlert()->informativeText, kCollisionText);
        QCOMPARE(m_env->ui().lastAlert()->buttons, QStringList{QStringLiteral("OK")});
        const Value after = Value::array({sample->tables(), sample->queries(), sample->forms(), sample->reports(),
                                          sample->scripts(), sample->relationships()});
        QVERIFY(after == before);
        QCOMPARE(sample->database()->tablesList(), tablesBefore);
        QVERIFY(!sample->database()->tablesList().contains(QStringLiteral("Fresh")));
        QCOMPARE(countRows(*sample, QStringLiteral("Fresh")), -1);
        QCOMPARE(sample->isChanged(), changedBefore);
    }

    void aTemplateWithoutRelationshipsKeepsTheDocumentsOwn()
    {
        std::unique_ptr<MyDocument> sample = MyDocument::open(QStringLiteral(ORVIX_SAMPLE_PATH));
        QVERIFY(sample);
        const Value relationships = sample->relationships().deepCopy();
        const Value templateDictionary = Value::dict(
            {{"Tables", Value::array({Value::dict(
                            {{"Name", "Notes"},
                             {"Fields", Value::array({Value::dict({{"Name", "id"}, {"Type", "Primary Key"}})})}})})}});
        QCOMPARE(OXTemplateInserter::insert(*sample, templateDictionary), OXTemplateInserter::Result::Inserted);
        QVERIFY(sample->relationships() == relationships);
        QVERIFY(sample->database()->tablesList().contains(QStringLiteral("Notes")));
        QVERIFY(m_env->ui().alerts().isEmpty());
    }

    void garbageIsNotATemplate_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("not base64") << QByteArray("%%%");
        QTest::newRow("base64 of text") << QByteArray("aGVsbG8=");
        QTest::newRow("empty") << QByteArray();
    }
    void garbageIsNotATemplate()
    {
        QFETCH(QByteArray, content);
        QString error;
        QVERIFY(!OXTemplateFile::decode(content, &error));
        QVERIFY(!error.isEmpty());
    }

    void cliPacksAndInserts()
    {
        const QString file = m_env->path(QStringLiteral("people.oxtemplate"));
        const QString target = m_env->path(QStringLiteral("Target.orvix"));
        QCOMPARE(cli({"template-pack", ORVIX_SAMPLE_PATH, file, "--tables", "People", "Companies"}), 0);
        QCOMPARE(cli({"template-insert", target, file}), 0);
        std::unique_ptr<MyDocument> inserted = MyDocument::open(target);
        QVERIFY(inserted);
        QCOMPARE(inserted->database()->tablesList(), QStringList({"People", "Companies"}));
        QCOMPARE(countRows(*inserted, QStringLiteral("Companies")), 0);
        QVERIFY(inserted->relationships().value(QStringLiteral("Lines")).size() > 0);
        inserted->close();

        // Inserting again collides: exit 3, the alert on standard error, the package unchanged.
        QProcess again;
        again.start(QStringLiteral(ORVIX_CLI_PATH), {"template-insert", target, file});
        QVERIFY(again.waitForFinished(30000));
        QCOMPARE(again.exitCode(), 3);
        QCOMPARE(QString::fromUtf8(again.readAllStandardError()).trimmed(),
                 QStringLiteral("alert: Name collision | ") + kCollisionText);
        std::unique_ptr<MyDocument> unchanged = MyDocument::open(target);
        QCOMPARE(unchanged->tables().size(), 2);

        QCOMPARE(cli({"template-pack", ORVIX_SAMPLE_PATH, file, "--tables", "Nobody"}), 1);
    }

    void cliBackupMakesOneFolderCopy()
    {
        const QString folder = m_env->path(QStringLiteral("copies"));
        QProcess process;
        process.start(QStringLiteral(ORVIX_CLI_PATH), {"backup", ORVIX_SAMPLE_PATH, "--to", folder});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 0);
        const QString copy = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
        QVERIFY(copy.startsWith(folder + QStringLiteral("/Contacts ")));
        std::unique_ptr<MyDocument> opened = MyDocument::open(copy);
        QVERIFY(opened);
        QVERIFY(countRows(*opened, QStringLiteral("People")) > 0);
    }

private:
    static void addFormAndQuery(MyDocument &doc)
    {
        doc.forms().append(Value::dict({{"Name", "Card"}, {"Table", "People"}, {"Controls", Value::array()}}));
        doc.queries().append(Value::dict({{"Name", "Everyone"}, {"Table Name", "People"}}));
    }

    int cli(const QStringList &arguments)
    {
        QProcess process;
        process.start(QStringLiteral(ORVIX_CLI_PATH), arguments);
        if (!process.waitForFinished(30000))
            return -1;
        return process.exitCode();
    }

    std::unique_ptr<TestEnvironment> m_env;
};

QTEST_MAIN(TestTemplates)
#include "test_templates.moc"
