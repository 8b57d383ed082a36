// Document accounts and protection: users, groups, level and master password saved apart; encrypted packages.
#include "MyDocument.h"
#include "OXDatabase.h"
#include "PackageCrypto.h"
#include "QLiteCursor.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTest>

namespace {
const QByteArray kSecretRow = "ZebraCrossingSecret";
const QString kSecretTable = QStringLiteral("PatientNotes");

std::unique_ptr<MyDocument> documentWithData()
{
    auto doc = MyDocument::createNew();
    doc->database()->performQuery(
        QStringLiteral("CREATE TABLE `%1` (`id` INTEGER PRIMARY KEY AUTOINCREMENT, `note` TEXT)").arg(kSecretTable));
    doc->database()->performQuery(
        QStringLiteral("INSERT INTO `%1` (`note`) VALUES ('%2')").arg(kSecretTable, QString::fromLatin1(kSecretRow)));
    Value tables = doc->tables();
    tables.append(Value::dict({{"Name", kSecretTable}}));
    return doc;
}

QString noteOf(MyDocument &doc)
{
    auto cursor = doc.database()->performQuery(QStringLiteral("SELECT `note` AS v FROM `%1`").arg(kSecretTable));
    return cursor && cursor->rowCount() == 1 ? cursor->valueForColumn(QStringLiteral("v"), 0).toString() : QString();
}

// Every byte of every file in the package, for "nothing readable is left" checks.
QByteArray allBytes(const QString &package)
{
    QByteArray bytes;
    QDirIterator it(package, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            bytes += file.readAll();
    }
    return bytes;
}

void flipByte(const QString &path, qint64 offsetFromEnd)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    bytes[bytes.size() - offsetFromEnd] = char(bytes.at(bytes.size() - offsetFromEnd) ^ 0x01);
    file.seek(0);
    file.write(bytes);
}
} // namespace

class TestDocumentProtection : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void verifiers()
    {
        const QString verifier = PackageCrypto::makeVerifier("secret");
        QVERIFY(PackageCrypto::isVerifier(verifier));
        QVERIFY(PackageCrypto::matchesVerifier("secret", verifier));
        QVERIFY(!PackageCrypto::matchesVerifier("Secret", verifier));
        QVERIFY(!PackageCrypto::matchesVerifier("", verifier));
        // Salted: the same secret never gives the same text twice.
        QVERIFY(PackageCrypto::makeVerifier("secret") != verifier);
        QVERIFY(!PackageCrypto::isVerifier(QStringLiteral("5en6G6MezRroT3XKqkdPOmY/BfQ=")));
    }

    void accountsSurviveSaveAndReopen()
    {
        const QString package = env.path("accounts.orvix");
        const QString digest = QStringLiteral("5en6G6MezRroT3XKqkdPOmY/BfQ="); // the digest of "secret"
        {
            auto doc = documentWithData();
            Value users = doc->users();
            users.append(Value::dict({{"Name", "Ann"},
                                      {"Password", digest},
                                      {"Group", "Staff"},
                                      {"Email", "ann@example.org"},
                                      {"ClassDefaultPermissions", Value::dict({{"Tables", true}})}}));
            users.append(Value::dict({{"Name", "Bob"}, {"Password", ""}, {"Group", "none"}}));
            doc->groups().append(Value::dict({{"Name", "Staff"}}));
            doc->setSecurityLevel(2);
            doc->setMasterPassword(QStringLiteral("master key"));
            QString error;
            QVERIFY2(doc->save(package, QStringLiteral("Orvix"), &error), qPrintable(error));
        }
        QVERIFY(QFile::exists(package + "/Accounts"));
        // Neither the fast digest nor the master password is written.
        const QByteArray stored = allBytes(package);
        QVERIFY(!stored.contains(digest.toLatin1()));
        QVERIFY(!stored.contains("master key"));

        QString error;
        auto doc = MyDocument::open(package, QStringLiteral("Orvix"), &error);
        QVERIFY2(doc, qPrintable(error));
        QCOMPARE(doc->users().size(), 2);
        const Value ann = doc->users().at(0);
        QCOMPARE(ann.value("Name").toString(), QStringLiteral("Ann"));
        QCOMPARE(ann.value("Email").toString(), QStringLiteral("ann@example.org"));
        QVERIFY(ann.value("ClassDefaultPermissions").value("Tables").toBool());
        QVERIFY(PackageCrypto::matchesVerifier(digest.toLatin1(), ann.value("Password").toString()));
        QCOMPARE(doc->users().at(1).value("Password").toString(), QString()); // no password stays none
        QCOMPARE(doc->groups().at(0).value("Name").toString(), QStringLiteral("Staff"));
        QCOMPARE(doc->securityLevel(), 2);
        QVERIFY(doc->masterPasswordMatches(QStringLiteral("master key")));
        QVERIFY(!doc->masterPasswordMatches(QString()));

        // With every account gone the next save drops the entry instead of carrying the old one over.
        Value users = doc->users();
        users.clear();
        Value groups = doc->groups();
        groups.clear();
        doc->setSecurityLevel(0);
        doc->setMasterPassword(QString());
        QVERIFY2(doc->save(package, QStringLiteral("Orvix"), &error), qPrintable(error));
        QVERIFY(!QFile::exists(package + "/Accounts"));
    }

    void documentWithoutAccountsWritesNone()
    {
        const QString package = env.path("plain.orvix");
        auto doc = documentWithData();
        QVERIFY(doc->save(package));
        QVERIFY(!QFile::exists(package + "/Accounts"));
        QVERIFY(!MyDocument::isProtectedPackage(package));
        QVERIFY(doc->masterPasswordMatches(QString()));
    }

    void newWorkingDatabaseIsPrivate()
    {
        auto doc = MyDocument::createNew();
        const QFile::Permissions others = QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther;
        QCOMPARE(QFileInfo(doc->path()).permissions() & others, QFile::Permissions());
    }

    void protectNeedsTheMasterPassword()
    {
        auto doc = documentWithData();
        QString error;
        QVERIFY(!doc->protect(QStringLiteral("x"), &error));
        QVERIFY(error.contains("no master password"));
        doc->setMasterPassword(QStringLiteral("right"));
        QVERIFY(!doc->protect(QStringLiteral("wrong"), &error));
        QVERIFY(!doc->isProtected());
        QVERIFY(doc->protect(QStringLiteral("right"), &error));
        QVERIFY(doc->isProtected());
    }

    void protectedPackageRoundTrip()
    {
        const QString package = env.path("protected.orvix");
        {
            auto doc = documentWithData();
            doc->setMasterPassword(QStringLiteral("open sesame"));
            QVERIFY(doc->protect(QStringLiteral("open sesame")));
            doc->users().append(Value::dict({{"Name", "Ann"}, {"Password", ""}}));
            QString error;
            QVERIFY2(doc->save(package, QStringLiteral("Orvix"), &error), qPrintable(error));
        }
        QVERIFY(MyDocument::isProtectedPackage(package));
        const QByteArray stored = allBytes(package);
        QVERIFY(!stored.contains(kSecretRow));
        QVERIFY(!stored.contains(kSecretTable.toLatin1()));
        QVERIFY(!stored.contains("SQLite format 3"));
        QVERIFY(!stored.contains("open sesame"));

        QString error;
        QVERIFY(!MyDocument::open(package, QStringLiteral("Orvix"), &error));
        QVERIFY2(error.contains("protected"), qPrintable(error));
        QVERIFY(!MyDocument::openProtected(package, QStringLiteral("open sesamE"), &error));
        QVERIFY2(error.contains("password is wrong"), qPrintable(error));

        auto doc = MyDocument::openProtected(package, QStringLiteral("open sesame"), &error);
        QVERIFY2(doc, qPrintable(error));
        QVERIFY(doc->isProtected());
        QCOMPARE(noteOf(*doc), QString::fromLatin1(kSecretRow));
        QCOMPARE(doc->tables().at(0).value("Name").toString(), kSecretTable);
        QCOMPARE(doc->users().at(0).value("Name").toString(), QStringLiteral("Ann"));
        // Only the user may enter the working copy, which holds the database in clear.
        const QFileInfo working(QFileInfo(doc->path()).absolutePath());
        QCOMPARE(working.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::ExeOther), QFile::Permissions());

        // Saved again (with a change) it stays protected and readable with the password.
        doc->database()->performQuery(QStringLiteral("UPDATE `%1` SET `note` = 'second'").arg(kSecretTable));
        QVERIFY(doc->save(package));
        doc.reset();
        QVERIFY(!allBytes(package).contains("second"));
        doc = MyDocument::openProtected(package, QStringLiteral("open sesame"), &error);
        QVERIFY2(doc, qPrintable(error));
        QCOMPARE(noteOf(*doc), QStringLiteral("second"));

        // Unprotected, it is an ordinary package again.
        doc->unprotect();
        QVERIFY(doc->save(package));
        doc.reset();
        QVERIFY(!MyDocument::isProtectedPackage(package));
        doc = MyDocument::open(package, QStringLiteral("Orvix"), &error);
        QVERIFY2(doc, qPrintable(error));
        QCOMPARE(noteOf(*doc), QStringLiteral("second"));
    }

    void tamperedEntriesAreRefused_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("offsetFromEnd");
        QTest::addColumn<QString>("expected");
        QTest::newRow("database body") << "MainDatabase" << 40 << "was changed";
        QTest::newRow("designs tag") << "Objects" << 1 << "was changed";
        QTest::newRow("accounts body") << "Accounts" << 20 << "was changed";
        QTest::newRow("designs swapped for clear text") << "Objects" << 0 << "not encrypted";
    }

    void tamperedEntriesAreRefused()
    {
        QFETCH(QString, entry);
        QFETCH(int, offsetFromEnd);
        QFETCH(QString, expected);
        const QString package = env.path(QStringLiteral("tampered-%1-%2.orvix").arg(entry).arg(offsetFromEnd));
        {
            auto doc = documentWithData();
            doc->setMasterPassword(QStringLiteral("pw"));
            QVERIFY(doc->protect(QStringLiteral("pw")));
            doc->users().append(Value::dict({{"Name", "Ann"}}));
            QVERIFY(doc->save(package));
        }
        const QString path = QDir(package).filePath(entry);
        if (offsetFromEnd == 0) {
            // A clear archive put in place of the sealed one.
            auto plain = documentWithData();
            const QString other = env.path(QStringLiteral("clear-%1.orvix").arg(entry));
            QVERIFY(plain->save(other));
            QFile::remove(path);
            QVERIFY(QFile::copy(QDir(other).filePath(entry), path));
        } else {
            flipByte(path, offsetFromEnd);
        }
        const QByteArray before = allBytes(package);
        QString error;
        QVERIFY(!MyDocument::openProtected(package, QStringLiteral("pw"), &error));
        QVERIFY2(error.contains(expected), qPrintable(error));
        QCOMPARE(allBytes(package), before); // a refused open changes nothing
    }

    void swappedEntriesAreRefused()
    {
        // The entry name is authenticated: a sealed database put in place of the designs does not open.
        const QString package = env.path("swapped.orvix");
        {
            auto doc = documentWithData();
            doc->setMasterPassword(QStringLiteral("pw"));
            QVERIFY(doc->protect(QStringLiteral("pw")));
            QVERIFY(doc->save(package));
        }
        QFile::remove(package + "/Objects");
        QVERIFY(QFile::copy(package + "/MainDatabase", package + "/Objects"));
        QString error;
        QVERIFY(!MyDocument::openProtected(package, QStringLiteral("pw"), &error));
        QVERIFY2(error.contains("Objects"), qPrintable(error));
    }

    void newMasterPasswordResealsAProtectedDocument()
    {
        const QString package = env.path("rekeyed.orvix");
        auto doc = documentWithData();
        doc->setMasterPassword(QStringLiteral("first"));
        QVERIFY(doc->protect(QStringLiteral("first")));
        doc->setMasterPassword(QStringLiteral("second"));
        QVERIFY(doc->save(package));
        doc.reset();
        QString error;
        QVERIFY(!MyDocument::openProtected(package, QStringLiteral("first"), &error));
        doc = MyDocument::openProtected(package, QStringLiteral("second"), &error);
        QVERIFY2(doc, qPrintable(error));
        QVERIFY(doc->masterPasswordMatches(QStringLiteral("second")));
    }
};

QTEST_MAIN(TestDocumentProtection)
#include "test_document_protection.moc"
