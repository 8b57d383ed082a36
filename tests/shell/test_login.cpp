// Login: the password digest, the user lookup, the rights queries and the login window before the document.
#include "LMDocumentWindow.h"
#include "LMLogin.h"
#include "LMLoginController.h"
#include "LMModeList.h"
#include "LMOverview.h"
#include "LMSourceList.h"
#include "TestEnvironment.h"
#include "support/ShellFixture.h"

#include <QTest>

namespace {
Value user(const QString &name, const QString &password, const Value &sections = Value())
{
    Value u = Value::dict({{"Name", name},
                           {"Password", password.isNull() ? QString() : LMLogin::passwordHash(password)},
                           {"Group", "none"}});
    if (!sections.isNull())
        u.set("ClassDefaultPermissions", sections);
    return u;
}
} // namespace

class TestLogin : public QObject {
    Q_OBJECT
private slots:
    void passwordHash_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("hash");
        // Base64 of SHA-1, checked against Python's hashlib.
        QTest::newRow("secret") << "secret"
                                << "5en6G6MezRroT3XKqkdPOmY/BfQ=";
        QTest::newRow("empty") << ""
                               << "2jmj7l5rSw0yVb/vlWAYkK/YBwk=";
        QTest::newRow("non-ASCII digests UTF-8") << QString::fromUtf8("pässwörd") << "9Rfd8dMqES/xrVXGbRsSyzjn6Pc=";
    }

    void passwordHash()
    {
        QFETCH(QString, password);
        QFETCH(QString, hash);
        QCOMPARE(LMLogin::passwordHash(password), hash);
        QCOMPARE(LMLogin::passwordHash(password).size(), 28);
    }

    void checkUsername()
    {
        Value users = Value::array({user("Ann", "one"), user("Bob", "two"), user("Ann", "three")});
        QCOMPARE(LMLogin::checkUsername("Bob", "two", users).value("Name").toString(), QStringLiteral("Bob"));
        // Two users of one name: the first whose password matches.
        QVERIFY(LMLogin::checkUsername("Ann", "three", users).isSameContainer(users.at(2)));
        QVERIFY(LMLogin::checkUsername("Ann", "one", users).isSameContainer(users.at(0)));
        QVERIFY(LMLogin::checkUsername("Ann", "two", users).isNull());
        QVERIFY(LMLogin::checkUsername("ann", "one", users).isNull());
        // The default "Admin" with the empty "Password" cannot log in until a password is set.
        Value admin = Value::array({Value::dict({{"Name", "Admin"}, {"Password", ""}})});
        QVERIFY(LMLogin::checkUsername("Admin", "", admin).isNull());
    }

    void rights()
    {
        auto full = LMLogin::fullAccess();
        QVERIFY(full->hasFullAccess());
        QVERIFY(full->isAdmin());
        QVERIFY(full->isAllowedTo("Forms"));
        QVERIFY(full->isAllowedToEdit("People", "Read"));

        Value u = user("Clerk", "pw", Value::dict({{"Tables", true}, {"Forms", false}}));
        u.set("Permissions", Value::dict({{"Admin", false}, {"People/Read", true}}));
        auto clerk = LMLogin::forUser(u);
        QVERIFY(!clerk->hasFullAccess());
        QVERIFY(!clerk->isAdmin());
        QVERIFY(clerk->isAllowedTo("Tables"));
        QVERIFY(!clerk->isAllowedTo("Forms"));
        QVERIFY(!clerk->isAllowedTo("Scripts")); // absent means no
        QVERIFY(clerk->isAllowedToEdit("People", "Read"));
        QVERIFY(!clerk->isAllowedToEdit("People", "Write"));

        // A typed password is kept; it never grants full access.
        clerk->setPassword("pw");
        QVERIFY(!clerk->hasFullAccess());
        QCOMPARE(clerk->typedPassword(), QStringLiteral("pw"));
        // A second initialisation does nothing.
        clerk->initWithUser(user("Other", "x"));
        QCOMPARE(clerk->userName(), QStringLiteral("Clerk"));

        u.value("Permissions").set("Admin", true);
        QVERIFY(clerk->isAdmin());
    }

    void loginWindowBeepsAndShakesOnAMismatch()
    {
        TestEnvironment env;
        Value users = Value::array({user("Ann", "one"), user("Bob", "two")});
        std::shared_ptr<LMLogin> received;
        LMLoginController login(nullptr, users, [&](std::shared_ptr<LMLogin> l) { received = std::move(l); });
        QCOMPARE(login.userNames(), (QStringList{"Ann", "Bob"}));
        QVERIFY(login.chooseUser("Bob"));
        QVERIFY(!login.enterPassword("one"));
        QCOMPARE(env.ui().beeps(), 1);
        QCOMPARE(login.shakeCount(), 1);
        QVERIFY(!received);
        QVERIFY(!login.didLogIn());

        QVERIFY(login.enterPassword("two"));
        QVERIFY(received);
        QCOMPARE(received->userName(), QStringLiteral("Bob"));
        QCOMPARE(received->typedPassword(), QStringLiteral("two"));
        QCOMPARE(env.ui().beeps(), 1);
        QVERIFY(!login.chooseUser("Nobody"));
    }

    void documentWithUsersLogsInBeforeItsWindowShows()
    {
        TestEnvironment env;
        std::unique_ptr<MyDocument> doc = ShellFixture::makeDocument();
        const Value sections = Value::dict({{"Overview", true}, {"Tables", true}, {"Scripts", true}});
        doc->setUsers(Value::array({user("Ann", "one", sections)}));
        auto *window = new LMDocumentWindow(std::move(doc), ShellFixture::registry());
        QPointer<LMDocumentWindow> guard(window);
        QVERIFY(window->document()->login()->hasFullAccess());

        LMLoginController *login = window->windowDidLoad();
        QVERIFY(login);
        QVERIFY(!window->isVisible());
        QVERIFY(login->chooseUser("Ann"));
        QVERIFY(login->enterPassword("one"));
        QVERIFY(window->isVisible());
        QCOMPARE(window->document()->login()->userName(), QStringLiteral("Ann"));
        QCOMPARE(window->modeList()->modes(), (QStringList{"Overview", "Tables", "Scripts"}));
        QCOMPARE(window->sourceList()->topLevelItemCount(), 2);
        QCOMPARE(window->overview()->shownKinds(), (QStringList{"Tables", "Scripts"}));
        delete guard.data();
    }

    void cancellingTheLoginClosesTheDocument()
    {
        TestEnvironment env;
        std::unique_ptr<MyDocument> doc = ShellFixture::makeDocument();
        doc->setUsers(Value::array({user("Ann", "one")}));
        const QString working = doc->path();
        QPointer<LMDocumentWindow> window = new LMDocumentWindow(std::move(doc), ShellFixture::registry());
        LMLoginController *login = window->windowDidLoad();
        QVERIFY(login);
        login->reject();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!window);
        QVERIFY(!QFileInfo::exists(working));
    }

    void savedDocumentWithUsersFollowsTheLoggedInRights()
    {
        TestEnvironment env;
        const QString package = env.path("staff.orvix");
        {
            std::unique_ptr<MyDocument> doc = ShellFixture::makeDocument();
            Value clerk = user("Clerk", "pw", Value::dict({{"Overview", true}, {"Tables", true}, {"Reports", true}}));
            Value boss = user("Boss", "boss", Value::dict({{"Overview", true}, {"Forms", true}}));
            boss.set("Permissions", Value::dict({{"Admin", true}}));
            doc->setUsers(Value::array({clerk, boss}));
            QVERIFY(doc->save(package));
        }
        auto openWindow = [&] {
            QString error;
            std::unique_ptr<MyDocument> doc = MyDocument::open(package, QStringLiteral("Orvix"), &error);
            return doc ? new LMDocumentWindow(std::move(doc), ShellFixture::registry()) : nullptr;
        };

        // The reopened document still has its users, so the login comes first.
        QPointer<LMDocumentWindow> window = openWindow();
        QVERIFY(window);
        LMLoginController *login = window->windowDidLoad();
        QVERIFY(login);
        QCOMPARE(login->userNames(), (QStringList{"Clerk", "Boss"}));
        QVERIFY(login->chooseUser("Clerk"));
        QVERIFY(!login->enterPassword("boss"));
        QVERIFY(login->enterPassword("pw"));
        QCOMPARE(window->modeList()->modes(), (QStringList{"Overview", "Tables", "Reports"}));
        QCOMPARE(window->overview()->shownKinds(), (QStringList{"Tables", "Reports"}));
        // Accounts and the security level are not a clerk's: a beep and no view.
        const int beeps = env.ui().beeps();
        const int tabs = window->tabCount();
        window->usersAndGroups();
        QVERIFY(!window->requireAdmin());
        QCOMPARE(env.ui().beeps(), beeps + 2);
        QCOMPARE(window->tabCount(), tabs);
        QCOMPARE(window->currentTabLabel(), QStringLiteral("Overview"));
        delete window.data();

        window = openWindow();
        login = window->windowDidLoad();
        QVERIFY(login->chooseUser("Boss"));
        QVERIFY(login->enterPassword("boss"));
        QCOMPARE(window->modeList()->modes(), (QStringList{"Overview", "Forms"}));
        QVERIFY(window->requireAdmin());
        window->usersAndGroups();
        QCOMPARE(window->currentTabLabel(), QStringLiteral("Users"));
        delete window.data();
    }

    void documentWithoutUsersNeedsNoLogin()
    {
        TestEnvironment env;
        auto *window = new LMDocumentWindow(ShellFixture::makeDocument(), ShellFixture::registry());
        QVERIFY(!window->windowDidLoad());
        QVERIFY(window->document()->login()->isAdmin());
        delete window;
    }
};

QTEST_MAIN(TestLogin)
#include "test_login.moc"
