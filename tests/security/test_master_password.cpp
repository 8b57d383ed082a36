// The master password sheet: its checks in order, and what it stores.
#include "LMLogin.h"
#include "LMMasterPassword.h"
#include "MyDocument.h"
#include "TestEnvironment.h"

#include <QTest>

Q_DECLARE_METATYPE(LMMasterPassword::Outcome)

class TestMasterPassword : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void checkOrder_data()
    {
        QTest::addColumn<QString>("current"); // the document's master password before
        QTest::addColumn<QString>("login");   // "full", "admin" or "plain"
        QTest::addColumn<QString>("old");
        QTest::addColumn<QString>("admin");
        QTest::addColumn<QString>("confirm"); // "" means: the same as the new one
        QTest::addColumn<LMMasterPassword::Outcome>("outcome");
        QTest::addColumn<int>("beeps");
        using O = LMMasterPassword::Outcome;
        QTest::newRow("admin, all right") << "m1"
                                          << "admin"
                                          << "m1"
                                          << "adminpw"
                                          << "" << O::Stored << 0;
        QTest::newRow("no master yet, old left empty") << ""
                                                       << "admin"
                                                       << ""
                                                       << "adminpw"
                                                       << "" << O::Stored << 0;
        QTest::newRow("no master yet, old typed") << ""
                                                  << "admin"
                                                  << "x"
                                                  << "adminpw"
                                                  << "" << O::StaysOpen << 1;
        QTest::newRow("wrong old password") << "m1"
                                            << "admin"
                                            << "m2"
                                            << "adminpw"
                                            << "" << O::StaysOpen << 1;
        // The old password is checked before the rights: a non-administrator with a wrong one stays.
        QTest::newRow("non-admin, wrong old") << "m1"
                                              << "plain"
                                              << "x"
                                              << "plainpw"
                                              << "" << O::StaysOpen << 1;
        QTest::newRow("non-admin, right old") << "m1"
                                              << "plain"
                                              << "m1"
                                              << "plainpw"
                                              << "" << O::ClosedUnchanged << 1;
        QTest::newRow("admin, wrong own password") << "m1"
                                                   << "admin"
                                                   << "m1"
                                                   << "nope"
                                                   << "" << O::StaysOpen << 1;
        QTest::newRow("full access counts as admin") << "m1"
                                                     << "full"
                                                     << "m1"
                                                     << ""
                                                     << "" << O::Stored << 0;
        QTest::newRow("full access typed no password") << "m1"
                                                       << "full"
                                                       << "m1"
                                                       << "x"
                                                       << "" << O::StaysOpen << 1;
        QTest::newRow("confirmation differs") << "m1"
                                              << "admin"
                                              << "m1"
                                              << "adminpw"
                                              << "other" << O::StaysOpen << 1;
    }

    void checkOrder()
    {
        QFETCH(QString, current);
        QFETCH(QString, login);
        QFETCH(QString, old);
        QFETCH(QString, admin);
        QFETCH(QString, confirm);
        QFETCH(LMMasterPassword::Outcome, outcome);
        QFETCH(int, beeps);
        env.ui().reset();
        auto doc = MyDocument::createNew();
        if (!current.isEmpty())
            doc->setMasterPassword(current);
        if (login == QLatin1String("full")) {
            doc->setLogin(LMLogin::fullAccess());
        } else {
            const bool isAdmin = login == QLatin1String("admin");
            const Value user = Value::dict({{"Name", login},
                                            {"Password", LMLogin::passwordHash(login + "pw")},
                                            {"Permissions", Value::dict({{"Admin", isAdmin}})}});
            auto l = LMLogin::forUser(user);
            l->setPassword(login + "pw");
            doc->setLogin(l);
        }
        LMMasterPassword sheet(doc.get(), nullptr);
        sheet.oldPassword = old;
        sheet.adminPassword = admin;
        sheet.newPassword = QStringLiteral("brand new");
        sheet.confirmPassword = confirm.isEmpty() ? sheet.newPassword : confirm;
        QCOMPARE(sheet.set(), outcome);
        QCOMPARE(env.ui().beeps(), beeps);
        QCOMPARE(sheet.isOpen(), outcome == LMMasterPassword::Outcome::StaysOpen);
        const bool stored = outcome == LMMasterPassword::Outcome::Stored;
        QCOMPARE(doc->masterPasswordMatches(QStringLiteral("brand new")), stored);
        if (!stored)
            QVERIFY(doc->masterPasswordMatches(current));
    }

    void cancelChangesNothing()
    {
        auto doc = MyDocument::createNew();
        doc->setLogin(LMLogin::fullAccess());
        LMMasterPassword sheet(doc.get(), nullptr);
        sheet.newPassword = QStringLiteral("x");
        sheet.cancel();
        QVERIFY(!sheet.isOpen());
        QVERIFY(!doc->hasMasterPassword());
    }
};

QTEST_MAIN(TestMasterPassword)
#include "test_master_password.moc"
