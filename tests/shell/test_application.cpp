// The application: commands forwarded to the frontmost document, new/open/save/close/quit, recent documents.
#include "LMApplication.h"
#include "LMDocumentWindow.h"
#include "LMSourceList.h"
#include "OXDatabase.h"
#include "Preferences.h"
#include "TestEnvironment.h"
#include "support/ShellFixture.h"

#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QTest>

class TestApplication : public QObject {
    Q_OBJECT

    static void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

private slots:
    void commandsNeedADocument()
    {
        TestEnvironment env;
        LMApplication app;
        app.setShowsWindows(false);
        QVERIFY(!app.perform("New_Object__Table:"));
        QVERIFY(env.ui().alerts().isEmpty());
    }

    void everyCommandOfTheMenusIsKnown()
    {
        TestEnvironment env;
        LMApplication app;
        app.setShowsWindows(false);
        LMDocumentWindow *window = app.newDocument();
        QVERIFY(window);
        QStringList menuActions;
        for (QAction *a : window->menuBar()->findChildren<QAction *>())
            if (a->objectName().endsWith(':'))
                menuActions << a->objectName();
        QVERIFY(menuActions.size() >= 25);
        for (const QString &action : menuActions)
            QVERIFY2(LMApplication::actions().contains(action), qPrintable(action));
    }

    void commandsReachTheFrontmostDocument_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("label");
        QTest::newRow("new table") << "New_Object__Table:"
                                   << "New Table";
        QTest::newRow("new form") << "New_Object__Form:"
                                  << "New Form";
        QTest::newRow("new script") << "New_Object__Script:"
                                    << "New Script";
        QTest::newRow("new report") << "New_Object__Report:"
                                    << "New Report";
        QTest::newRow("relationships") << "Relationships:"
                                       << "Relationships";
        QTest::newRow("sql editor") << "SQL_Editor:"
                                    << "SQL Editor";
        QTest::newRow("overview") << "Overview:"
                                  << "Overview";
        QTest::newRow("users and groups") << "Users_and_Groups:"
                                          << "Users";
    }

    void commandsReachTheFrontmostDocument()
    {
        TestEnvironment env;
        LMApplication app;
        app.setShowsWindows(false);
        app.newDocument();
        LMDocumentWindow *front = app.newDocument();
        QCOMPARE(app.frontmostWindow(), front);
        QFETCH(QString, action);
        front->switchToTableDesignView("x");
        if (action == QLatin1String("New_Object__Script:"))
            env.ui().answerTextInput(QStringLiteral("New Script")); // the new script's naming sheet
        QVERIFY(app.perform(action));
        QTEST(front->tabLabel(front->currentTabIndex()), "label");
        QCOMPARE(app.windows().first()->tabLabel(0), QStringLiteral("Overview"));
    }

    void usersAndGroupsCreatesTheDefaultRecords()
    {
        TestEnvironment env;
        LMApplication app;
        app.setShowsWindows(false);
        LMDocumentWindow *window = app.newDocument();
        QVERIFY(app.perform("Users_and_Groups:"));
        const Value users = window->document()->users();
        QCOMPARE(users.size(), 1);
        QCOMPARE(users.at(0).value("Name").toString(), QStringLiteral("Admin"));
        QCOMPARE(users.at(0).value("Group").toString(), QStringLiteral("Administrators"));
        QCOMPARE(users.at(0).value("Password").toString(), QString(""));
        QCOMPARE(users.at(0).value("Permissions").value("Table Edit").toString(), QStringLiteral("ABC"));
        QCOMPARE(window->document()->groups().at(0).value("Name").toString(), QStringLiteral("Administrators"));
        QVERIFY(app.perform("Users_and_Groups:"));
        QCOMPARE(window->document()->users().size(), 1);
    }

    void cleanDatabaseAsksFirst()
    {
        TestEnvironment env;
        LMApplication app;
        app.setShowsWindows(false);
        LMDocumentWindow *window = app.newDocument();
        env.ui().answer("Cancel");
        QVERIFY(app.perform("Clean_Database:"));
        QVERIFY(!window->document()->isChanged());
        QCOMPARE(env.ui().lastAlert()->messageText, QStringLiteral("Are you sure you want to clean the database"));
        env.ui().answer("Clean");
        app.perform("Clean_Database:");
        QVERIFY(window->document()->isChanged());
    }

    void setCacheLevelStoresTheTag()
    {
        TestEnvironment env;
        LMApplication app;
        app.setCacheLevel(1);
        QCOMPARE(Preferences::instance().intValue("LMCacheMethod"), 1);
        app.setCacheLevel(7);
        QCOMPARE(Preferences::instance().intValue("LMCacheMethod"), 1);
    }

    void saveAsNamesANewPackageAndReopens()
    {
        TestEnvironment env;
        LMApplication app;
        app.setShowsWindows(false);
        LMDocumentWindow *window = app.newDocument();
        Value design = Value::dict(
            {{"Name", "Notes"}, {"Fields", Value::array({Value::dict({{"Name", "Text"}, {"Type", "Text"}})})}});
        QVERIFY(window->document()->database()->createTableFromDesign(design));
        window->document()->tables().append(design);
        window->document()->setChanged(true);
        QVERIFY(window->isWindowModified());

        env.ui().answerSavePanel(env.path("Mine"));
        QVERIFY(app.perform("Save:"));
        const QString package = env.path("Mine.orvix");
        QVERIFY(QFileInfo::exists(package + "/Objects"));
        QVERIFY(QFileInfo::exists(package + "/MainDatabase"));
        QVERIFY(QFileInfo::exists(package + "/Contents/PkgInfo"));
        QCOMPARE(window->document()->fileName(), package);
        QVERIFY(!window->isWindowModified());
        QVERIFY(window->windowTitle().startsWith("Mine"));
        QCOMPARE(app.recentDocuments().value(0), package);

        // Saving again goes to the same package without asking.
        window->document()->setChanged(true);
        QVERIFY(app.perform("Save:"));
        QVERIFY(!window->document()->isChanged());

        QVERIFY(window->closeDocument());
        settle();
        QVERIFY(app.windows().isEmpty());
        LMDocumentWindow *reopened = app.openDocument(package);
        QVERIFY(reopened);
        QCOMPARE(reopened->sourceList()->heading("Tables")->child(0)->text(0), QStringLiteral("Notes"));
        QCOMPARE(app.openDocument(package), reopened);
        QCOMPARE(app.windows().size(), 1);
    }

    void saveRefusesAFolderThatIsNotADocument()
    {
        TestEnvironment env;
        LMApplication app;
        app.setShowsWindows(false);
        LMDocumentWindow *window = app.newDocument();
        QDir().mkpath(env.path("Stuff.orvix"));
        QFile other(env.path("Stuff.orvix/letter.txt"));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();
        env.ui().answerSavePanel(env.path("Stuff.orvix"));
        QVERIFY(!window->saveDocumentAs());
        QCOMPARE(env.ui().lastAlert()->messageText, QStringLiteral("The document could not be saved"));
        QVERIFY(!QFileInfo::exists(env.path("Stuff.orvix/Objects")));
    }

    void saveFailureIsShown()
    {
        TestEnvironment env;
        LMApplication app;
        app.setShowsWindows(false);
        LMDocumentWindow *window = app.newDocument();
        QFile file(env.path("Plain.orvix"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        env.ui().answerSavePanel(env.path("Plain.orvix"));
        QVERIFY(!window->saveDocumentAs());
        QCOMPARE(env.ui().alerts().size(), 1);
        QCOMPARE(env.ui().lastAlert()->messageText, QStringLiteral("The document could not be saved"));
        QVERIFY(env.ui().lastAlert()->informativeText.contains("is a file"));
        QVERIFY(window->document()->fileName().isEmpty());
    }

    void closeAsksAboutUnsavedChanges()
    {
        TestEnvironment env;
        LMApplication app;
        app.setShowsWindows(false);
        QPointer<LMDocumentWindow> window = app.newDocument();
        const QString working = window->document()->path();
        window->document()->setChanged(true);

        env.ui().answer("Cancel");
        QVERIFY(!window->closeDocument());
        settle();
        QVERIFY(window);
        const Alert asked = *env.ui().lastAlert();
        QCOMPARE(asked.messageText, QStringLiteral("Do you want to save the changes made to the document “Untitled”?"));
        QCOMPARE(asked.buttons, (QStringList{"Save", "Don’t Save", "Cancel"}));

        env.ui().answer("Don’t Save");
        QVERIFY(window->closeDocument());
        settle();
        QVERIFY(!window);
        QVERIFY(!QFileInfo::exists(working));
    }

    void quitAsksForEveryDirtyDocument()
    {
        TestEnvironment env;
        LMApplication app;
        app.setShowsWindows(false);
        app.newDocument()->document()->setChanged(true);
        app.newDocument();
        app.newDocument()->document()->setChanged(true);
        env.ui().answer("Don’t Save");
        env.ui().answer("Cancel");
        // The first closes unsaved, the clean one closes without a question, the third stays.
        QVERIFY(!app.closeAll());
        settle();
        QCOMPARE(app.windows().size(), 1);
        QVERIFY(app.windows().first()->document()->isChanged());
        env.ui().answer("Don’t Save");
        QVERIFY(app.closeAll());
        settle();
        QVERIFY(app.windows().isEmpty());
        QCOMPARE(env.ui().alerts().size(), 3);
    }

    void openingAMissingDocumentSaysWhy()
    {
        TestEnvironment env;
        LMApplication app;
        app.setShowsWindows(false);
        QVERIFY(!app.openDocument(env.path("Nowhere.orvix")));
        QCOMPARE(env.ui().alerts().size(), 1);
        QCOMPARE(env.ui().lastAlert()->messageText, QStringLiteral("The document “Nowhere.orvix” could not be opened"));
        QVERIFY(app.recentDocuments().isEmpty());
    }

    void openPanelPicksPackages()
    {
        TestEnvironment env;
        LMApplication app;
        app.setShowsWindows(false);
        LMDocumentWindow *window = app.newDocument();
        env.ui().answerSavePanel(env.path("Picked.orvix"));
        QVERIFY(window->saveDocumentAs());
        QVERIFY(window->closeDocument());
        settle();
        env.ui().answerOpenPanel({env.path("Picked.orvix")});
        app.openDocumentPanel();
        QCOMPARE(app.windows().size(), 1);
        QCOMPARE(app.windows().first()->displayName(), QStringLiteral("Picked"));
    }

    void recentDocumentsAreMostRecentFirstWithoutDuplicates()
    {
        TestEnvironment env;
        LMApplication app;
        app.noteRecentDocument("/a/One.orvix");
        app.noteRecentDocument("/a/Two.orvix");
        app.noteRecentDocument("/a/One.orvix");
        QCOMPARE(app.recentDocuments(), (QStringList{"/a/One.orvix", "/a/Two.orvix"}));
        for (int i = 0; i < 12; ++i)
            app.noteRecentDocument(QStringLiteral("/b/%1.orvix").arg(i));
        QCOMPARE(app.recentDocuments().size(), 10);
        app.clearRecentDocuments();
        QVERIFY(app.recentDocuments().isEmpty());
    }
};

QTEST_MAIN(TestApplication)
#include "test_application.moc"
