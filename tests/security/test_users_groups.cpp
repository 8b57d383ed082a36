// Users and groups: default records, passwords typed twice, rights, the security level, the authentication
// sheet, and logins that survive saving and reopening.
#include "LMAuthenticationController.h"
#include "LMIdentifiedView.h"
#include "LMLogin.h"
#include "LMLoginController.h"
#include "LMSecurity.h"
#include "LMUsersGroups.h"
#include "LMViewRegistry.h"
#include "MyDocument.h"
#include "TestEnvironment.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {
std::unique_ptr<LMUsersGroups> openWindow(MyDocument *doc)
{
    LMViewContext context;
    context.document = doc;
    LMViewRequest request;
    request.kind = ViewKind::UsersGroups;
    request.isUser = true;
    auto controller = makeUsersGroups(context, request);
    return std::unique_ptr<LMUsersGroups>(static_cast<LMUsersGroups *>(controller.release()));
}
} // namespace

class TestUsersGroups : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void init() { env.ui().reset(); }

    void defaultRecords()
    {
        auto doc = MyDocument::createNew();
        auto window = openWindow(doc.get());
        QCOMPARE(doc->groups().size(), 1);
        QCOMPARE(doc->users().size(), 1);
        const Value group = doc->groups().at(0);
        QCOMPARE(group.value("Name").toString(), QStringLiteral("Administrators"));
        QCOMPARE(group.value("Permissions").value("Table Edit").toString(), QStringLiteral("ABC"));
        const Value admin = doc->users().at(0);
        QCOMPARE(admin.value("Name").toString(), QStringLiteral("Admin"));
        QCOMPARE(admin.value("Group").toString(), QStringLiteral("Administrators"));
        QCOMPARE(admin.value("Password").toString(), QString());
        QCOMPARE(admin.value("Permissions").value("Table Edit").toString(), QStringLiteral("ABC"));
        QCOMPARE(window->selectedName(), QStringLiteral("Admin"));
        QVERIFY(doc->isChanged());

        // Opening again adds nothing.
        auto again = openWindow(doc.get());
        QCOMPARE(doc->users().size(), 1);
        QCOMPARE(doc->groups().size(), 1);

        const Value user = window->addUser();
        QCOMPARE(user.value("Name").toString(), QStringLiteral("New User"));
        QCOMPARE(user.value("Group").toString(), QStringLiteral("none"));
        QCOMPARE(user.value("Password").toString(), QString());
        QCOMPARE(user.value("Permissions").value("Table Edit").toString(), QStringLiteral("ABC"));
        QCOMPARE(window->addUser().value("Name").toString(), QStringLiteral("New User 2"));
        const Value newGroup = window->addGroup();
        QCOMPARE(newGroup.value("Name").toString(), QStringLiteral("New Group"));
        QCOMPARE(newGroup.size(), 1); // the name only
    }

    void passwordTypedTwice_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("stored");
        QTest::newRow("equal") << "secret"
                               << "secret" << true;
        QTest::newRow("different") << "secret"
                                   << "Secret" << false;
        QTest::newRow("both empty") << ""
                                    << "" << false;
    }

    void passwordTypedTwice()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(bool, stored);
        auto doc = MyDocument::createNew();
        auto window = openWindow(doc.get());
        QCOMPARE(window->setPassword("Admin", first, second), stored);
        const QString password = doc->users().at(0).value("Password").toString();
        if (stored) {
            QCOMPARE(password, QStringLiteral("5en6G6MezRroT3XKqkdPOmY/BfQ="));
            QVERIFY(env.ui().alerts().isEmpty());
        } else {
            QCOMPARE(password, QString());
            QCOMPARE(env.ui().lastAlert()->messageText, QStringLiteral("Passwords don't match"));
            QCOMPARE(env.ui().lastAlert()->informativeText,
                     QStringLiteral("The passwords you entered did not match. Please retype"));
        }
    }

    void fieldsAndRights()
    {
        auto doc = MyDocument::createNew();
        auto window = openWindow(doc.get());
        window->addUser();
        QVERIFY(window->setValue(true, "New User", "Name", QStringLiteral("Ann")));
        QVERIFY(!window->setValue(true, "Ann", "Name", QStringLiteral("Admin"))); // taken
        QCOMPARE(env.ui().beeps(), 1);
        QVERIFY(window->setValue(true, "Ann", "Email", QStringLiteral("ann@example.org")));
        QImage picture(8, 8, QImage::Format_ARGB32);
        picture.fill(Qt::red);
        QVERIFY(window->setValue(true, "Ann", "Image", Value(picture)));
        QCOMPARE(doc->users().at(1).value("Image").toImage().pixelColor(1, 1), QColor(Qt::red));

        // A group's rights go to its users, now and when a user joins it.
        QVERIFY(window->setSectionRight(false, "Administrators", "Tables", true));
        QVERIFY(window->setAdmin(false, "Administrators", true));
        const Value admin = doc->users().at(0);
        QVERIFY(admin.value("ClassDefaultPermissions").value("Tables").toBool());
        QVERIFY(admin.value("Permissions").value("Admin").toBool());
        QVERIFY(window->setGroup("Ann", "Administrators"));
        const Value ann = doc->users().at(1);
        QVERIFY(ann.value("ClassDefaultPermissions").value("Tables").toBool());
        QVERIFY(LMLogin::forUser(ann)->isAdmin());
        QVERIFY(!window->setGroup("Ann", "Nobody"));
        QVERIFY(!window->setSectionRight(true, "Ann", "Kitchen", true));

        // Renaming a group moves its users along; removing it leaves them in "none".
        QVERIFY(window->setValue(false, "Administrators", "Name", QStringLiteral("Staff")));
        QCOMPARE(ann.value("Group").toString(), QStringLiteral("Staff"));
        QVERIFY(window->removeAccount(false, "Staff"));
        QCOMPARE(ann.value("Group").toString(), QStringLiteral("none"));
        QVERIFY(window->removeAccount(true, "Ann"));
        QCOMPARE(doc->users().size(), 1);
    }

    void viewListsTheAccounts()
    {
        auto doc = MyDocument::createNew();
        auto owned = openWindow(doc.get());
        LMUsersGroups *window = owned.get();
        window->addUser();
        LMIdentifiedView *view = window->view();
        view->adoptController(std::move(owned));
        QCOMPARE(view->identifier(), QStringLiteral("Users Groups"));
        const QList<QListWidget *> lists = view->findChildren<QListWidget *>();
        QCOMPARE(lists.size(), 2);
        QCOMPARE(lists.at(0)->count(), 2);
        QCOMPARE(lists.at(0)->currentItem()->text(), QStringLiteral("New User"));
        QCOMPARE(lists.at(1)->item(0)->text(), QStringLiteral("Administrators"));
        window->addGroup();
        QCOMPARE(lists.at(1)->count(), 2);
        delete view;
    }

    void securityLevel_data()
    {
        QTest::addColumn<QString>("level");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("High") << "High" << 3
                              << "This setting permits only one admin user. All other admins will be converted to "
                                 "developer accounts leaving this account as the sole admin.\n\nAre you sure you "
                                 "want to continue?";
        QTest::newRow("Unsecured") << "Unsecured" << 1
                                   << "This setting will remove all protection from the database. Enabling it will "
                                      "make it easy for intruders to to read/write data, even locking admins out. "
                                      "It is NOT RECOMMENDED.\n\nAre you sure you want to continue?";
        QTest::newRow("Low") << "Low" << 2
                             << "This setting permits multiple admin users. However it is not as secure as the high "
                                "setting and can be broken more easily. \n\nAre you sure you want to continue?";
    }

    void securityLevel()
    {
        QFETCH(QString, level);
        QFETCH(int, number);
        QFETCH(QString, text);
        auto doc = MyDocument::createNew();
        env.ui().answer("Cancel");
        QVERIFY(!LMSecurity::confirmLevel(doc.get(), level));
        QCOMPARE(env.ui().lastAlert()->informativeText, text);
        QVERIFY(!doc->levelSet());
        env.ui().answer("OK");
        QVERIFY(LMSecurity::confirmLevel(doc.get(), level));
        QCOMPARE(doc->securityLevel(), number);
        QVERIFY(doc->levelSet());
    }

    void authenticationSheet()
    {
        auto doc = MyDocument::createNew();
        doc->users().append(
            Value::dict({{"Name", "Ann"}, {"Password", LMLogin::passwordHash("pw")}, {"Group", "none"}}));
        QString seenUser;
        Value seenObject;
        LMAuthenticationController sheet(
            doc.get(), nullptr,
            [&](std::shared_ptr<LMLogin> login, const Value &object) {
                seenUser = login->userName();
                seenObject = object;
            },
            Value(QStringLiteral("Orders")));
        QVERIFY(!sheet.authenticate("Ann", "wrong"));
        QCOMPARE(env.ui().beeps(), 1);
        QVERIFY(seenUser.isEmpty());
        auto login = sheet.authenticate("Ann", "pw");
        QVERIFY(login);
        QCOMPARE(login->typedPassword(), QStringLiteral("pw"));
        QCOMPARE(seenUser, QStringLiteral("Ann"));
        QCOMPARE(seenObject.toString(), QStringLiteral("Orders"));
    }

    void loginSurvivesSaveAndReopen()
    {
        const QString package = env.path("users.orvix");
        {
            auto doc = MyDocument::createNew();
            auto window = openWindow(doc.get());
            QVERIFY(window->setPassword("Admin", "s3cret", "s3cret"));
            QVERIFY(window->setSectionRight(true, "Admin", "Forms", true));
            window->addUser();
            QVERIFY(window->setValue(true, "New User", "Email", QStringLiteral("bob@example.org")));
            QVERIFY(doc->save(package));
        }
        QString error;
        auto doc = MyDocument::open(package, QStringLiteral("Orvix"), &error);
        QVERIFY2(doc, qPrintable(error));
        QVERIFY(LMLogin::checkUsername("Admin", "s3cret", doc->users()).isSameContainer(doc->users().at(0)));
        QVERIFY(LMLogin::checkUsername("Admin", "s3cre", doc->users()).isNull());
        QVERIFY(LMLogin::checkUsername("New User", "", doc->users()).isNull());

        // The login window appears for the reopened document and lets the user in with the saved password.
        std::shared_ptr<LMLogin> loggedIn;
        LMLoginController login(doc.get(), doc->users(), [&](std::shared_ptr<LMLogin> l) { loggedIn = l; });
        QCOMPARE(login.userNames(), QStringList({"Admin", "New User"}));
        QVERIFY(login.chooseUser("Admin"));
        QVERIFY(!login.canResetPassword());
        QVERIFY(!login.enterPassword("nope"));
        QCOMPARE(env.ui().beeps(), 1);
        QCOMPARE(login.shakeCount(), 1);
        QVERIFY(login.enterPassword("s3cret"));
        QVERIFY(loggedIn);
        QVERIFY(loggedIn->isAllowedTo("Forms"));
        QVERIFY(!loggedIn->isAllowedTo("Tables"));
        QVERIFY(login.chooseUser("New User"));
        QVERIFY(login.canResetPassword()); // offered because the user has an "Email"
    }
};

QTEST_MAIN(TestUsersGroups)
#include "test_users_groups.moc"
