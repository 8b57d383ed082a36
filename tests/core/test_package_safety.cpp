// Package safety: a save is all or nothing at every step, one writer at a time, hostile packages and names.
#include "DesignVocabulary.h"
#include "LMTableDesignCommit.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "PackageFiles.h"
#include "PackageLock.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
Value fieldsOf(const QStringList &names)
{
    Value fields = Value::array({DesignVocabulary::idField()});
    for (const QString &name : names) {
        Value field = DesignVocabulary::blankField();
        field.set("Name", name);
        fields.append(field);
    }
    return fields;
}

void addTable(MyDocument &doc, const QString &table, const QStringList &names)
{
    const Value design = Value::dict({{"Name", table}, {"Fields", fieldsOf(names)}});
    QVERIFY2(doc.database()->createTableFromDesign(design), qPrintable(doc.database()->lastError()));
    doc.database()->createTableDesign(design);
}

QStringList column(MyDocument &doc, const QString &sql)
{
    QStringList out;
    auto cursor = doc.database()->performQuery(sql);
    for (quint32 i = 0; cursor && i < cursor->rowCount(); ++i)
        out << cursor->rowAtIndex(i)->stringForColumn(cursor->columns().value(0));
    return out;
}

// Designs, tables and the People rows, so a package mixing two saves shows.
QString packageState(const QString &package)
{
    QString error;
    auto doc = MyDocument::open(package, "Orvix", &error);
    if (!doc)
        return "cannot open: " + error;
    QStringList designs;
    for (int i = 0; i < doc->tables().size(); ++i)
        designs << doc->tables().at(i).value("Name").toString();
    const QStringList tables = column(
        *doc, "SELECT name FROM sqlite_master WHERE type = 'table' AND name IN ('People', 'Pets') ORDER BY name");
    return designs.join(',') + "|" + tables.join(',') + "|" +
           column(*doc, "SELECT `Name` FROM `People` ORDER BY id").join(',');
}

QStringList besidePackage(const QString &package)
{
    const QString prefix = "." + QFileInfo(package).fileName() + ".";
    QStringList out;
    for (const QString &name : QDir(QFileInfo(package).absolutePath()).entryList(QDir::AllEntries | QDir::Hidden))
        if (name.startsWith(prefix) && !name.endsWith(".lock"))
            out << name;
    return out;
}

const QString kOld = "People|People|Ada,O'Brien";
const QString kNew = "People,Pets|People,Pets|Ada,O'Brien,Grace";
} // namespace

class TestPackageSafety : public QObject {
    Q_OBJECT
    TestEnvironment *env = nullptr;

    std::unique_ptr<MyDocument> savedOldState(const QString &package)
    {
        auto doc = MyDocument::createNew();
        addTable(*doc, "People", {"Name"});
        doc->database()->performQuery("INSERT INTO `People` (`Name`) VALUES ('Ada'), ('O''Brien')");
        if (!doc->save(package))
            return nullptr;
        QFile extra(package + "/Notes.txt");
        extra.open(QIODevice::WriteOnly);
        extra.write("kept by every save");
        return doc;
    }

private slots:
    void init() { env = new TestEnvironment; }
    void cleanup()
    {
        qunsetenv("ORVIX_SAVE_FAULT");
        qunsetenv("ORVIX_SAVE_NO_EXCHANGE");
        qunsetenv("ORVIX_LOCK_WAIT_MS");
        delete env;
    }

    // A full disk at any step of the save: the save says so and the package keeps its old state, whole.
    void failureAtEveryStepKeepsTheOldPackage_data()
    {
        QTest::addColumn<bool>("withoutExchange");
        QTest::newRow("directory exchange") << false;
        QTest::newRow("two renames with a marker") << true;
    }
    void failureAtEveryStepKeepsTheOldPackage()
    {
        QFETCH(bool, withoutExchange);
        if (withoutExchange)
            qputenv("ORVIX_SAVE_NO_EXCHANGE", "1");
        const QString package = env->path("Steps.orvix");
        auto doc = savedOldState(package);
        QVERIFY(doc);
        QCOMPARE(packageState(package), kOld);
        addTable(*doc, "Pets", {"Kind"});
        doc->database()->performQuery("INSERT INTO `People` (`Name`) VALUES ('Grace')");
        doc->setChanged(true);

        int step = 1;
        for (; step < 40; ++step) {
            qputenv("ORVIX_SAVE_FAULT", QByteArray("fail:") + QByteArray::number(step));
            QString error;
            const bool saved = doc->save(package, "Orvix", &error);
            qunsetenv("ORVIX_SAVE_FAULT");
            if (saved)
                break;
            QVERIFY2(error.contains("No space left on device"), qPrintable(error));
            // Whole and in place at once, before any open could put anything back.
            QVERIFY(QFileInfo::exists(package + "/Objects"));
            QCOMPARE(besidePackage(package), QStringList());
            QCOMPARE(packageState(package), kOld);
            QVERIFY(doc->isChanged());
            QCOMPARE(besidePackage(package), QStringList());
        }
        QVERIFY2(step > 6, qPrintable(QString::number(step)));
        QCOMPARE(packageState(package), kNew);
        QVERIFY(QFile::exists(package + "/Notes.txt"));
        QVERIFY(!doc->isChanged());
    }

    // A save cut off between the two renames (package parked aside) is put back when the package is next opened.
    void interruptedRenamesArePutBackOnOpen()
    {
        const QString package = env->path("Parked.orvix");
        QVERIFY(savedOldState(package));
        const QString parent = QFileInfo(package).absolutePath();
        const QString old = ".Parked.orvix.old-1-dead";
        QVERIFY(QDir().rename(package, parent + "/" + old));
        QVERIFY(QDir().mkpath(parent + "/.Parked.orvix.saving-1-dead/Contents"));
        QFile marker(parent + "/.Parked.orvix.swap");
        QVERIFY(marker.open(QIODevice::WriteOnly));
        marker.write(old.toUtf8());
        marker.close();

        QCOMPARE(packageState(package), kOld);
        QCOMPARE(besidePackage(package), QStringList());
    }

    void leftoversOfKilledSavesAreRemovedBySave()
    {
        const QString package = env->path("Tidy.orvix");
        auto doc = savedOldState(package);
        QVERIFY(doc);
        const QString parent = QFileInfo(package).absolutePath();
        QVERIFY(QDir().mkpath(parent + "/.Tidy.orvix.saving-4242-abc/Contents"));
        QVERIFY(QDir().mkpath(parent + "/.Tidy.orvixother")); // another package's name: not ours to remove
        QVERIFY(doc->save(package));
        QCOMPARE(besidePackage(package), QStringList());
        QVERIFY(QFileInfo::exists(parent + "/.Tidy.orvixother"));
    }

    // Another process's lock (a separate flock) makes a save and an open wait, then say the document is in use.
    void aSecondWriterWaitsThenReportsInUse()
    {
        qputenv("ORVIX_LOCK_WAIT_MS", "150");
        const QString package = env->path("Busy.orvix");
        auto doc = savedOldState(package);
        QVERIFY(doc);
        const int fd = ::open(QFile::encodeName(PackageLock::lockFilePath(package)).constData(), O_RDWR);
        QVERIFY(fd >= 0);
        QCOMPARE(::flock(fd, LOCK_EX), 0);
        const QString inUse = "The document \"Busy.orvix\" is in use by another program; try again when it is done.";
        QString error;
        QVERIFY(!doc->save(package, "Orvix", &error));
        QCOMPARE(error, "The document could not be saved: " + inUse);
        QVERIFY(!MyDocument::open(package, "Orvix", &error));
        QCOMPARE(error, inUse);

        // A reader's shared lock keeps writers out but lets other readers in.
        QCOMPARE(::flock(fd, LOCK_SH), 0);
        QVERIFY(MyDocument::open(package, "Orvix", &error));
        QVERIFY(!doc->save(package, "Orvix", &error));
        ::close(fd);
        QVERIFY2(doc->save(package, "Orvix", &error), qPrintable(error));
    }

    // Within one process the lock is counted: a holder can save, and a nested shared lock does not downgrade it.
    void theLockIsReentrantWithinAProcess()
    {
        const QString package = env->path("Nested.orvix");
        auto doc = savedOldState(package);
        QVERIFY(doc);
        PackageLock outer(package, PackageLock::Mode::Exclusive, 0);
        QVERIFY(outer.isLocked());
        {
            PackageLock reader(package, PackageLock::Mode::Shared, 0);
            QVERIFY(reader.isLocked());
        }
        QString error;
        QVERIFY2(doc->save(package, "Orvix", &error), qPrintable(error));
        const int fd = ::open(QFile::encodeName(PackageLock::lockFilePath(package)).constData(), O_RDWR);
        QVERIFY(fd >= 0);
        QVERIFY(::flock(fd, LOCK_SH | LOCK_NB) != 0); // still exclusive after the nested holders let go
        ::close(fd);
    }

    // A command that opens, changes and saves keeps other writers out for the whole time.
    void openForWritingHoldsTheLockUntilClose()
    {
        qputenv("ORVIX_LOCK_WAIT_MS", "100");
        const QString package = env->path("Command.orvix");
        QVERIFY(savedOldState(package));
        const QString lockFile = PackageLock::lockFilePath(package);
        QString error;
        auto doc = MyDocument::openForWriting(package, "Orvix", &error);
        QVERIFY2(doc, qPrintable(error));
        const int fd = ::open(QFile::encodeName(lockFile).constData(), O_RDWR);
        QVERIFY(fd >= 0);
        QVERIFY(::flock(fd, LOCK_SH | LOCK_NB) != 0);
        QVERIFY2(doc->save(package, "Orvix", &error), qPrintable(error));
        QVERIFY(::flock(fd, LOCK_SH | LOCK_NB) != 0);
        doc->close();
        QCOMPARE(::flock(fd, LOCK_EX | LOCK_NB), 0);
        QVERIFY(!MyDocument::openForWriting(package, "Orvix", &error));
        QCOMPARE(error, QString("The document \"Command.orvix\" is in use by another program; try again when it is "
                                "done."));
        ::close(fd);
    }

    void hostileEntriesAreRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("expected");
        QTest::newRow("named pipe") << "fifo"
                                    << "the entry \"Extra\" is a named pipe";
        QTest::newRow("named pipe as Objects") << "fifo-objects"
                                               << "the entry \"Objects\" is a named pipe";
        QTest::newRow("socket") << "socket"
                                << "the entry \"Extra\" is a socket";
        QTest::newRow("link out of the package") << "link-out"
                                                 << "the entry \"Extra\" is a link that does not lead to a file "
                                                    "inside the document";
        QTest::newRow("link to a folder inside") << "link-folder"
                                                 << "the entry \"Extra\" is a link that does not lead to a file "
                                                    "inside the document";
        QTest::newRow("link to a file inside") << "link-in"
                                               << "";
    }
    void hostileEntriesAreRefused()
    {
        QFETCH(QString, kind);
        QFETCH(QString, expected);
        const QString package = env->path("Hostile.orvix");
        QVERIFY(savedOldState(package));
        const QByteArray extra = QFile::encodeName(package + "/Extra");
        if (kind == "fifo") {
            QCOMPARE(::mkfifo(extra.constData(), 0644), 0);
        } else if (kind == "fifo-objects") {
            QVERIFY(QFile::remove(package + "/Objects"));
            QCOMPARE(::mkfifo(QFile::encodeName(package + "/Objects").constData(), 0644), 0);
        } else if (kind == "socket") {
            const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::strncpy(address.sun_path, extra.constData(), sizeof address.sun_path - 1);
            QCOMPARE(::bind(s, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
            ::close(s);
        } else if (kind == "link-out") {
            QVERIFY(QFile::link(env->path("preferences.ini"), package + "/Extra"));
        } else if (kind == "link-folder") {
            QVERIFY(QFile::link(package + "/Contents", package + "/Extra"));
        } else {
            QVERIFY(QFile::link(package + "/Notes.txt", package + "/Extra"));
        }
        QString error;
        auto doc = MyDocument::open(package, "Orvix", &error);
        if (expected.isEmpty()) {
            QVERIFY2(doc, qPrintable(error));
            QCOMPARE(QFile(QFileInfo(doc->path()).absolutePath() + "/Extra").size(), qint64(18));
            return;
        }
        QVERIFY(!doc);
        QCOMPARE(error, "The document \"" + package + "\" cannot be opened: " + expected + ".");
    }

    // Tables without designs get designs rebuilt from their columns, with a warning; nothing stays invisible.
    void lostDesignsAreRecoveredWithAWarning_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("informative");
        QTest::newRow("Objects missing")
            << "remove"
            << "The entry \"Objects\" of \"Lost.orvix\" is missing, so the tables \"People\", \"Typed\" were given "
               "designs rebuilt from their columns. Its queries, forms, reports, scripts and relationships could "
               "not be recovered.";
        QTest::newRow("Objects is a folder")
            << "folder"
            << "The entry \"Objects\" of \"Lost.orvix\" could not be read (it is a folder), so the tables "
               "\"People\", \"Typed\" were given designs rebuilt from their columns. Its queries, forms, reports, "
               "scripts and relationships could not be recovered.";
        QTest::newRow("one table without design")
            << "design"
            << "The tables \"Typed\" of \"Lost.orvix\" had no design; they were given designs rebuilt "
               "from their columns.";
    }
    void lostDesignsAreRecoveredWithAWarning()
    {
        QFETCH(QString, damage);
        QFETCH(QString, informative);
        const QString package = env->path("Lost.orvix");
        {
            auto doc = savedOldState(package);
            QVERIFY(doc);
            doc->database()->performQuery(
                "CREATE TABLE `Typed` (`id` INTEGER PRIMARY KEY AUTOINCREMENT, `Count` INTEGER, `Price` REAL, `Note` "
                "TEXT, `Blob` BLOB)");
            QVERIFY(doc->save(package));
        }
        if (damage != "design") {
            QVERIFY(QFile::remove(package + "/Objects"));
            if (damage == "folder")
                QVERIFY(QDir().mkpath(package + "/Objects"));
        }
        QString error;
        auto doc = MyDocument::open(package, "Orvix", &error);
        QVERIFY2(doc, qPrintable(error));
        QCOMPARE(env->ui().alerts().size(), 1);
        QCOMPARE(env->ui().alerts().at(0).alert.messageText, QString("The designs of this document were incomplete"));
        QCOMPARE(env->ui().alerts().at(0).alert.informativeText, informative);
        QVERIFY(doc->isChanged());
        const Value typed = doc->tableNamed("Typed");
        QStringList fields;
        for (int i = 0; i < typed.value("Fields").size(); ++i)
            fields << typed.value("Fields").at(i).value("Name").toString() + ":" +
                          typed.value("Fields").at(i).value("Type").toString();
        QCOMPARE(fields, (QStringList{"id:Primary Key", "Count:Number", "Price:Number", "Note:Text", "Blob:Text"}));
        QVERIFY(doc->tableNamed("People").isDict());

        // Saved, the recovered designs are there for good.
        QVERIFY(doc->save(package));
        env->ui().reset();
        auto again = MyDocument::open(package, "Orvix", &error);
        QVERIFY(again);
        QCOMPARE(env->ui().alerts().size(), 0);
        QCOMPARE(again->tables().size(), 2);
    }

    void designsWithoutTheirDatabaseAreRefused_data()
    {
        QTest::addColumn<bool>("empty");
        QTest::newRow("missing") << false;
        QTest::newRow("empty") << true;
    }
    void designsWithoutTheirDatabaseAreRefused()
    {
        QFETCH(bool, empty);
        const QString package = env->path("NoData.orvix");
        QVERIFY(savedOldState(package));
        QVERIFY(QFile::remove(package + "/MainDatabase"));
        if (empty) {
            QFile f(package + "/MainDatabase");
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QString error;
        QVERIFY(!MyDocument::open(package, "Orvix", &error));
        QCOMPARE(error, QString("The document \"%1\" cannot be opened: its database (the entry \"MainDatabase\") is "
                                "%2, but its designs name the tables \"People\".")
                            .arg(package, empty ? "empty" : "missing"));
    }

    void workingCopiesOfEndedProcessesAreRemoved()
    {
        QProcess ended;
        ended.start("sleep", {"30"});
        QVERIFY(ended.waitForStarted());
        const qint64 gone = ended.processId();
        ended.kill();
        QVERIFY(ended.waitForFinished());

        const QString temp = QDir::tempPath();
        const QString stale = temp + "/ORVIX-TEST-STALE-" + QString::number(gone);
        const QString reused = temp + "/ORVIX-TEST-REUSED-" + QString::number(::getpid());
        const QString live = temp + "/ORVIX-TEST-LIVE-" + QString::number(::getpid());
        for (const QString &dir : {stale, reused, live})
            QVERIFY(QDir().mkpath(dir));
        QFile(stale + "-journal").open(QIODevice::WriteOnly);
        auto record = [](const QString &location, const QByteArray &text) {
            QFile f(location + ".orvix-owner");
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(text);
        };
        record(stale, QByteArray::number(gone) + " 1\n");
        record(reused, QByteArray::number(::getpid()) + " 1\n"); // this pid, but another process's start time
        PackageFiles::recordWorkingOwner(live);

        QVERIFY(PackageFiles::removeStaleWorkingCopies() >= 2);
        QVERIFY(!QFileInfo::exists(stale));
        QVERIFY(!QFileInfo::exists(stale + "-journal"));
        QVERIFY(!QFileInfo::exists(stale + ".orvix-owner"));
        QVERIFY(!QFileInfo::exists(reused));
        QVERIFY(QFileInfo::exists(live));
        PackageFiles::forgetWorkingOwner(live);
        QDir(live).removeRecursively();

        // A document's own working copy carries a record while it is open, and loses it on close.
        auto doc = MyDocument::createNew();
        const QString path = doc->path();
        QVERIFY(QFileInfo::exists(path + ".orvix-owner"));
        doc->close();
        QVERIFY(!QFileInfo::exists(path + ".orvix-owner"));
    }

    void fieldNamesFromAnySourceMeetTheRules_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("expected");
        const QString rules = "Unsuitable Characters: Field \"%1\": Field names may only contain letters, numbers, "
                              "spaces, underscores and hyphens. Empty names will be ignored. Please choose another.";
        const QString injection = "a` TEXT); DROP TABLE People; --";
        QTest::newRow("SQL injection") << QStringList{injection} << rules.arg(injection);
        QTest::newRow("line break") << QStringList{"two\nlines"} << rules.arg("two\nlines");
        QTest::newRow("double quote") << QStringList{"say \"hi\""} << rules.arg("say \"hi\"");
        QTest::newRow("empty") << QStringList{""} << "Unsuitable Design: Field 2 of the design has no name.";
        QTest::newRow("same name twice")
            << QStringList{"Name", "name"}
            << "Name Already Exists: Field \"Name\": This name is already in use by another field. Please choose "
               "another.";
    }
    void fieldNamesFromAnySourceMeetTheRules()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, expected);
        auto doc = MyDocument::createNew();
        addTable(*doc, "People", {"Name"});
        doc->database()->performQuery("INSERT INTO `People` (`Name`) VALUES ('Ada')");
        OXDatabase *db = doc->database();

        const Value design = Value::dict({{"Name", "Hostile"}, {"Fields", fieldsOf(names)}});
        QVERIFY(!db->createTableFromDesign(design));
        QCOMPARE(db->lastError(), expected);

        // The same names through a design commit (a script or template editing a table) are refused alike.
        LMTableDesignCommit commit = LMTableDesignCommit::forDesign(doc->tableNamed("People"));
        for (const QString &name : names) {
            Value field = DesignVocabulary::blankField();
            field.set("Name", name);
            commit.schema.append(field);
            commit.columnMapLeft << name;
            commit.columnMapRight << QString();
        }
        const auto result = db->commitTableRevised(commit);
        if (names != QStringList{""}) { // an empty name in the editor is a row to drop, not an error
            QCOMPARE(int(result), int(LMTableDesignCommit::Result::Failed));
            QCOMPARE(db->lastError(), expected);
        }
        QCOMPARE(column(*doc, "SELECT `Name` FROM `People`"), QStringList{"Ada"});
        QVERIFY(!column(*doc, "SELECT name FROM sqlite_master WHERE type = 'table'").contains("Hostile"));
    }

    // A column stored under a name today's rules refuse (an older package) does not block changing the table.
    void storedColumnsKeepTheirNames()
    {
        auto doc = MyDocument::createNew();
        doc->database()->performQuery(
            "CREATE TABLE `Old` (`id` INTEGER PRIMARY KEY AUTOINCREMENT, `e@mail` TEXT DEFAULT '')");
        doc->database()->performQuery("INSERT INTO `Old` (`e@mail`) VALUES ('a@b')");
        doc->tables().append(Value::dict({{"Name", "Old"}, {"Fields", fieldsOf({"e@mail"})}}));
        LMTableDesignCommit commit = LMTableDesignCommit::forDesign(doc->tableNamed("Old"));
        Value field = DesignVocabulary::blankField();
        field.set("Name", "Phone");
        commit.schema.append(field);
        commit.columnMapLeft << "Phone";
        commit.columnMapRight << QString();
        QCOMPARE(int(doc->database()->commitTableRevised(commit)), int(LMTableDesignCommit::Result::Committed));
        QCOMPARE(column(*doc, "SELECT `e@mail` FROM `Old`"), QStringList{"a@b"});
    }

    void identifiersAreQuotedWithTheQuoteDoubled_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("quote");
        QTest::addColumn<QString>("expected");
        QTest::newRow("backquote") << "a`b"
                                   << "`"
                                   << "`a``b`";
        QTest::newRow("double quote") << "say \"hi\""
                                      << "\""
                                      << "\"say \"\"hi\"\"\"";
        QTest::newRow("plain") << "People"
                               << "`"
                               << "`People`";
    }
    void identifiersAreQuotedWithTheQuoteDoubled()
    {
        QFETCH(QString, name);
        QFETCH(QString, quote);
        QFETCH(QString, expected);
        QCOMPARE(QLiteDatabase::quoteIdentifier(name, quote.at(0)), expected);
        // And SQLite reads it back as the one name.
        auto doc = MyDocument::createNew();
        doc->database()->performQuery(QString("CREATE TABLE %1 (x TEXT)").arg(expected));
        QCOMPARE(doc->database()->lastErrorID(), 0);
        QCOMPARE(doc->database()->rowCountInTable(name), quint64(0));
        QCOMPARE(doc->database()->lastErrorID(), 0);
    }
};

QTEST_MAIN(TestPackageSafety)
#include "test_package_safety.moc"
