// MyDocument: the package on disk, the working copy, and the operations on named items.
#include "KeyedArchive.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "QLiteConstants.h"
#include "QLiteCursor.h"
#include "QLiteDatabase.h"
#include "QLiteRow.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace {
// Stands in for the document window's tabs.
class FakeViewHost : public DocumentViewHost {
public:
    QStringList tabs;
    int cleanUps = 0, refreshes = 0, reloads = 0;
    QStringList deleted;
    void cleanUpAllViews() override { ++cleanUps; }
    void broadcastRename(ItemKind, const QString &, const QString &, const void *) override {}
    void broadcastDelete(ItemKind kind, const QString &name) override { deleted << ItemKinds::type(kind) + ":" + name; }
    QStringList openTabIdentifiers() const override { return tabs; }
    void refreshAllViews() override { ++refreshes; }
    void reloadSourceList() override { ++reloads; }
};

Value peopleDesign()
{
    Value fields = Value::array();
    fields.append(Value::dict({{"Name", "id"}, {"Type", "Primary Key"}, {"Unique", true}, {"Not Null", true}}));
    fields.append(Value::dict({{"Name", "Name"}, {"Type", "Text"}}));
    return Value::dict({{"Name", "People"}, {"Fields", fields}});
}

void addPeople(MyDocument &doc)
{
    doc.database()->performQuery(
        "CREATE TABLE `People` (`id` INTEGER PRIMARY KEY AUTOINCREMENT, `Name` TEXT DEFAULT '')");
    doc.database()->performQuery("INSERT INTO `People` (`Name`) VALUES ('Ada'), ('O''Brien')");
    doc.tables().append(peopleDesign());
}

QStringList namesIn(MyDocument &doc)
{
    QStringList names;
    auto cursor = doc.database()->performQuery("SELECT * FROM `People` ORDER BY id");
    for (quint32 i = 0; cursor && i < cursor->rowCount(); ++i)
        names << cursor->rowAtIndex(i)->stringForColumn("People.Name");
    return names;
}

QString python()
{
    return QStandardPaths::findExecutable("python3");
}
} // namespace

Q_DECLARE_METATYPE(ItemKind)

class TestDocument : public QObject {
    Q_OBJECT
    TestEnvironment *env = nullptr;

private slots:
    void init() { env = new TestEnvironment; }
    void cleanup() { delete env; }

    void newDocumentHasTheInternalTables()
    {
        auto doc = MyDocument::createNew();
        QVERIFY(doc);
        const QStringList tables = doc->database()->tables();
        QVERIFY(tables.contains("LM_Tables"));
        QVERIFY(tables.contains("LM_SearchIndex"));
        QVERIFY(tables.contains("sqlite_sequence"));
        QVERIFY(!tables.contains("QLP_SchemaTable"));
        QVERIFY(doc->relationships().isDict());
        QVERIFY(!doc->isChanged());
    }

    void saveCloseOpenGivesBackDesignsAndRows()
    {
        const QString package = env->path("People.orvix");
        {
            auto doc = MyDocument::createNew();
            addPeople(*doc);
            doc->queries().append(Value::dict({{"Name", "Q"}, {"Table Name", "People"}}));
            doc->relationships().set("People.Friends", Value::dict({{"Type", 0}}));
            QString error;
            QVERIFY2(doc->save(package, "com.tandrel.orvix", &error), qPrintable(error));
        }
        for (const char *entry : {"MainDatabase", "Objects", "Contents/PkgInfo"})
            QVERIFY2(QFile::exists(package + "/" + entry), entry);
        QFile pkgInfo(package + "/Contents/PkgInfo");
        QVERIFY(pkgInfo.open(QIODevice::ReadOnly));
        QCOMPARE(pkgInfo.readAll(), QByteArray("BNDLORVX"));

        QString error;
        auto doc = MyDocument::open(package, "Orvix", &error);
        QVERIFY2(doc, qPrintable(error));
        QCOMPARE(doc->tables(), Value::array({peopleDesign()}));
        QCOMPARE(doc->queries().at(0)["Table Name"].toString(), QStringLiteral("People"));
        QCOMPARE(doc->relationships()["People.Friends"]["Type"].toInt(), 0);
        QCOMPARE(namesIn(*doc), (QStringList{"Ada", "O'Brien"}));
        QVERIFY(doc->path().endsWith("/MainDatabase"));
        QVERIFY(!doc->path().startsWith(package));
    }

    void objectsIsAKeyedArchiveWithRootKeysInOrder()
    {
        if (python().isEmpty())
            QSKIP("python3 is not installed");
        const QString package = env->path("Order.orvix");
        auto doc = MyDocument::createNew();
        addPeople(*doc);
        QVERIFY(doc->save(package));
        QProcess p;
        p.start(python(), {"-c",
                           "import plistlib,sys\n"
                           "a=plistlib.load(open(sys.argv[1],'rb'))\n"
                           "assert a['$archiver']=='NSKeyedArchiver' and a['$version']==100000\n"
                           "o=a['$objects']\n"
                           "assert o[0]=='$null'\n"
                           "print(','.join(a['$top'].keys()))\n"
                           "print(o[a['$top']['Version'].data])\n"
                           "t=o[a['$top']['Tables'].data]\n"
                           "print(o[t['$class'].data]['$classname'])\n",
                           package + "/Objects"});
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitCode(), 0);
        const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.value(0), QStringLiteral("Version,Tables,Queries,Forms,Reports,Scripts,Relationships"));
        QCOMPARE(lines.value(1), MyDocument::bundleVersion());
        QVERIFY(lines.value(2).contains("Array"));
    }

    void savingAgainReplacesOnlyTheDocumentsEntries()
    {
        const QString package = env->path("Again.orvix");
        auto doc = MyDocument::createNew();
        addPeople(*doc);
        QVERIFY(doc->save(package));
        QFile extra(package + "/Notes.txt");
        QVERIFY(extra.open(QIODevice::WriteOnly));
        extra.write("keep me");
        extra.close();

        // Edits after a save stay in the working copy until the next save.
        doc->database()->performQuery("INSERT INTO `People` (`Name`) VALUES ('Grace')");
        {
            auto before = MyDocument::open(package);
            QCOMPARE(namesIn(*before), (QStringList{"Ada", "O'Brien"}));
        }
        QVERIFY(doc->save(package));
        QVERIFY(QFile::exists(package + "/Notes.txt"));
        auto after = MyDocument::open(package);
        QCOMPARE(namesIn(*after), (QStringList{"Ada", "O'Brien", "Grace"}));
    }

    void closingRemovesTheWorkingCopyOnly()
    {
        auto fresh = MyDocument::createNew();
        const QString freshPath = fresh->path();
        QVERIFY(QFile::exists(freshPath));
        fresh->close();
        QVERIFY(!QFile::exists(freshPath));

        const QString package = env->path("Close.orvix");
        {
            auto doc = MyDocument::createNew();
            QVERIFY(doc->save(package));
        }
        auto doc = MyDocument::open(package);
        const QString workingDir = QFileInfo(doc->path()).absolutePath();
        QVERIFY(QFileInfo(workingDir).isDir());
        doc->close();
        QVERIFY(!QFileInfo::exists(workingDir));
        QVERIFY(QFile::exists(package + "/MainDatabase"));
    }

    void missingEntriesOpenEmpty()
    {
        const QString package = env->path("Bare.orvix");
        QVERIFY(QDir().mkpath(package));
        QString error;
        auto doc = MyDocument::open(package, "Orvix", &error);
        QVERIFY2(doc, qPrintable(error));
        QCOMPARE(doc->tables().size(), 0);
        QCOMPARE(doc->scripts().size(), 0);
        QVERIFY(doc->relationships().isDict());
        QCOMPARE(doc->relationships().size(), 0);
    }

    void badPackagesAreRefusedWithAnError_data()
    {
        QTest::addColumn<QByteArray>("objects");
        QTest::addColumn<QByteArray>("database");
        QTest::addColumn<bool>("packageIsFile");
        QTest::newRow("garbage Objects") << QByteArray("not an archive at all") << QByteArray() << false;
        QTest::newRow("truncated Objects") << QByteArray("bplist00\xd1\x01") << QByteArray() << false;
        QTest::newRow("Objects of the wrong kind")
            << KeyedArchive::archiveTop(Value::dict({{"Tables", "oops"}})) << QByteArray() << false;
        QTest::newRow("MainDatabase not SQLite") << QByteArray() << QByteArray(4096, 'x') << false;
        QTest::newRow("package is a file") << QByteArray() << QByteArray() << true;
    }
    void badPackagesAreRefusedWithAnError()
    {
        QFETCH(QByteArray, objects);
        QFETCH(QByteArray, database);
        QFETCH(bool, packageIsFile);
        const QString package = env->path(QString("Bad%1.orvix").arg(QTest::currentDataTag()).remove(' '));
        if (packageIsFile) {
            QFile f(package);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("file");
        } else {
            QVERIFY(QDir().mkpath(package));
            auto write = [&](const QString &name, const QByteArray &bytes) {
                QFile f(package + "/" + name);
                QVERIFY(f.open(QIODevice::WriteOnly));
                f.write(bytes);
            };
            if (!objects.isEmpty())
                write("Objects", objects);
            if (!database.isEmpty())
                write("MainDatabase", database);
        }
        QString error;
        auto doc = MyDocument::open(package, "Orvix", &error);
        QVERIFY(!doc);
        QVERIFY(!error.isEmpty());
    }

    void failedSaveReportsAndKeepsThePreviousPackage()
    {
        const QString package = env->path("Keep.orvix");
        auto doc = MyDocument::createNew();
        addPeople(*doc);
        QVERIFY(doc->save(package));
        // A write that fails as on a full disk (the save's test hook) makes the save fail and say why.
        doc->database()->performQuery("INSERT INTO `People` (`Name`) VALUES ('Grace')");
        doc->setChanged(true);
        qputenv("ORVIX_SAVE_FAULT", "fail:3");
        QString error;
        const bool saved = doc->save(package, "Orvix", &error);
        qunsetenv("ORVIX_SAVE_FAULT");
        QVERIFY(!saved);
        QVERIFY2(error.contains("No space left on device"), qPrintable(error));
        QVERIFY(doc->isChanged());
        QCOMPARE(namesIn(*MyDocument::open(package)), (QStringList{"Ada", "O'Brien"}));

        QString fileError;
        QVERIFY(!doc->save(package + "/MainDatabase", "Orvix", &fileError)); // a file, not a folder
        QVERIFY(!fileError.isEmpty());
    }

    void removeTableAsksAndIsRefusedWhileTabsAreOpen()
    {
        auto doc = MyDocument::createNew();
        addPeople(*doc);
        FakeViewHost host;
        doc->setViewHost(&host);

        host.tabs = {"Overview", "People"};
        QVERIFY(!doc->removeTableNamed("People"));
        QCOMPARE(env->ui().lastAlert()->messageText, QStringLiteral("Please close all non-overview tabs"));
        QCOMPARE(env->ui().lastAlert()->informativeText,
                 QStringLiteral("You must close all non-overview tabs before deleting this table."));

        host.tabs = {"Overview", ""};
        env->ui().answer("Cancel");
        QVERIFY(!doc->removeTableNamed("People"));
        const Alert *confirm = env->ui().lastAlert();
        QCOMPARE(confirm->messageText, QStringLiteral("Confirm Delete"));
        QCOMPARE(confirm->informativeText,
                 QStringLiteral("Are you sure you want to delete the 'People' table? Deleting this table may break "
                                "other objects referencing it (e.g. a script)."));
        QCOMPARE(confirm->buttons, (QStringList{"Delete", "Cancel"}));
        QVERIFY(doc->database()->tables().contains("People"));

        env->ui().answer("Delete");
        QVERIFY(doc->removeTableNamed("People"));
        QVERIFY(!doc->database()->tables().contains("People"));
        QCOMPARE(doc->tables().size(), 0);
        QCOMPARE(host.deleted, QStringList{"Table:People"});
        QVERIFY(doc->isChanged());
        QVERIFY(!doc->removeTableNamed("People")); // no longer there: nothing asked
    }

    void removeTableKeepsTheDesignWhenTheDropFails()
    {
        auto doc = MyDocument::createNew();
        addPeople(*doc);
        // Another connection holding the write lock makes the DROP fail with SQLite's busy error.
        QLiteDatabase other(doc->database()->databasePath());
        QVERIFY(other.open());
        doc->database()->setBusyTimeout(50);
        other.performQuery("BEGIN EXCLUSIVE TRANSACTION");
        QCOMPARE(other.lastErrorID(), QLSuccess);

        env->ui().answer("Delete");
        QVERIFY(!doc->removeTableNamed("People"));
        QCOMPARE(env->ui().lastAlert()->messageText, QStringLiteral("The table could not be deleted"));
        QVERIFY(!env->ui().lastAlert()->informativeText.isEmpty());
        QCOMPARE(doc->tables().size(), 1);
        other.performQuery("ROLLBACK");
        other.close();
        QVERIFY(doc->database()->tables().contains("People"));
    }

    void removeOtherKindsAndUsers()
    {
        auto doc = MyDocument::createNew();
        doc->scripts().append(Value::dict({{"Name", "Tidy"}}));
        doc->scripts().append(Value::dict({{"Name", "Tidy"}}));
        env->ui().answer("Delete");
        QVERIFY(doc->removeScriptNamed("Tidy"));
        QCOMPARE(doc->scripts().size(), 1); // first match only
        QVERIFY(env->ui().lastAlert()->informativeText.contains("the 'Tidy' script? Deleting this script"));
        QVERIFY(!doc->removeQueryNamed("Nope"));

        doc->users().append(Value::dict({{"Name", "ann"}}));
        const int alertsBefore = int(env->ui().alerts().size());
        QVERIFY(doc->removeUserNamed("ann"));
        QCOMPARE(int(env->ui().alerts().size()), alertsBefore);
        QCOMPARE(doc->users().size(), 0);
    }

    void cleanAsksFirst()
    {
        auto doc = MyDocument::createNew();
        env->ui().answer("Cancel");
        QVERIFY(!doc->vacuuuuuum());
        QCOMPARE(env->ui().lastAlert()->messageText, QStringLiteral("Are you sure you want to clean the database"));
        QCOMPARE(env->ui().lastAlert()->informativeText,
                 QStringLiteral("Cleaning the database will reduce the size and may increase performace."));
        QVERIFY(!doc->isChanged());
        QVERIFY(doc->vacuuuuuum());
        QVERIFY(doc->isChanged());
    }

    void newDesignsTakeAFreeName_data()
    {
        QTest::addColumn<ItemKind>("kind");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first report") << ItemKind::Report << QStringList{"Summary"} << "New Report";
        QTest::newRow("report, base taken") << ItemKind::Report << QStringList{"New Report"} << "New Report 2";
        QTest::newRow("report, gap filled")
            << ItemKind::Report << QStringList{"New Report", "New Report 3"} << "New Report 2";
        QTest::newRow("script, two taken")
            << ItemKind::Script << QStringList{"New Script", "New Script 2"} << "New Script 3";
    }

    void newDesignsTakeAFreeName()
    {
        QFETCH(ItemKind, kind);
        QFETCH(QStringList, existing);
        QFETCH(QString, expected);
        auto doc = MyDocument::createNew();
        for (const QString &name : existing)
            doc->collection(kind).append(Value::dict({{"Name", name}}));
        doc->setChanged(false);

        const Value made = doc->addNewDesign(kind);

        QCOMPARE(made.value("Name").toString(), expected);
        QCOMPARE(doc->collection(kind).size(), existing.size() + 1);
        // The very dictionary the caller got is the one in the collection.
        QVERIFY(doc->collection(kind).at(existing.size()).isSameContainer(made));
        QVERIFY(doc->isChanged());
        const ItemKind other = kind == ItemKind::Report ? ItemKind::Script : ItemKind::Report;
        QVERIFY(doc->collection(other).isEmpty());
    }

    void seedingAccountsFillsOnlyWhatIsMissing()
    {
        auto doc = MyDocument::createNew();
        doc->seedDefaultUsersAndGroups();
        QCOMPARE(doc->groups().size(), 1);
        QCOMPARE(doc->groups().at(0).value("Name").toString(), QStringLiteral("Administrators"));
        QCOMPARE(doc->groups().at(0).value("Permissions").value("Table Edit").toString(), QStringLiteral("ABC"));
        QCOMPARE(doc->users().size(), 1);
        QCOMPARE(doc->users().at(0).value("Name").toString(), QStringLiteral("Admin"));
        QCOMPARE(doc->users().at(0).value("Group").toString(), QStringLiteral("Administrators"));
        QCOMPARE(doc->users().at(0).value("Password").toString(), QString(""));

        // A document with its own users keeps them; only the missing groups come.
        auto other = MyDocument::createNew();
        other->setUsers(Value::array({Value::dict({{"Name", "Clerk"}})}));
        other->seedDefaultUsersAndGroups();
        QCOMPARE(other->users().size(), 1);
        QCOMPARE(other->users().at(0).value("Name").toString(), QStringLiteral("Clerk"));
        QCOMPARE(other->groups().size(), 1);
    }

    void namedLookupIsExactAndFirstMatch()
    {
        Value items = Value::array({Value::dict({{"Name", "a"}, {"n", 1}}), Value::dict({{"Name", "A"}, {"n", 2}}),
                                    Value::dict({{"Name", "a"}, {"n", 3}})});
        QCOMPARE(MyDocument::itemNamed(items, "a")["n"].toInt(), 1);
        QCOMPARE(MyDocument::itemNamed(items, "A")["n"].toInt(), 2);
        QVERIFY(MyDocument::itemNamed(items, "b").isNull());
    }
};

QTEST_MAIN(TestDocument)
#include "test_document.moc"
