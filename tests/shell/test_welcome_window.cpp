// The welcome window: new and open hand over to the application and close it; recent documents are listed
// and open; its check box is the "LMShowWelcomeScreen" preference.
#include "LMApplication.h"
#include "LMDocumentWindow.h"
#include "LMWelcomeWindow.h"
#include "MyDocument.h"
#include "Preferences.h"
#include "TestEnvironment.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>

class TestWelcomeWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<LMApplication> application;

    // A saved package to list and open.
    QString savedDocument(const QString &name)
    {
        std::unique_ptr<MyDocument> doc = MyDocument::createNew();
        const QString path = env->path(name);
        return doc && doc->save(path) ? path : QString();
    }

private slots:
    void init()
    {
        env = std::make_unique<TestEnvironment>();
        Preferences::instance().registerDefaults();
        application = std::make_unique<LMApplication>();
        application->setShowsWindows(false);
        application->clearRecentDocuments();
    }
    void cleanup()
    {
        for (LMDocumentWindow *window : application->windows())
            delete window;
        application.reset();
        env.reset();
    }

    void newDocumentClosesTheWelcome()
    {
        QPointer<LMWelcomeWindow> welcome = new LMWelcomeWindow(application.get());
        welcome->show();
        QTest::mouseClick(welcome->newButton(), Qt::LeftButton);
        QCOMPARE(application->windows().size(), 1);
        QTRY_VERIFY(!welcome);
    }

    void recentDocumentsAreListedAndOpen()
    {
        const QString first = savedDocument("First.orvix");
        const QString second = savedDocument("Second.orvix");
        QVERIFY(!first.isEmpty() && !second.isEmpty());
        application->noteRecentDocument(first);
        application->noteRecentDocument(second);
        QPointer<LMWelcomeWindow> welcome = new LMWelcomeWindow(application.get());
        QCOMPARE(welcome->recentList()->count(), 2);
        QVERIFY(welcome->recentList()->item(0)->text().startsWith("Second"));
        QCOMPARE(welcome->recentList()->item(1)->data(Qt::UserRole).toString(), QFileInfo(first).absoluteFilePath());
        welcome->openRecent(1);
        QCOMPARE(application->windows().size(), 1);
        QCOMPARE(application->windows().first()->document()->fileName(), QFileInfo(first).absoluteFilePath());
        QTRY_VERIFY(!welcome);
    }

    void openPanelCancelledKeepsTheWelcome()
    {
        QPointer<LMWelcomeWindow> welcome = new LMWelcomeWindow(application.get());
        env->ui().answerOpenPanel({});
        welcome->openDocument();
        QVERIFY(application->windows().isEmpty());
        QVERIFY(welcome);
        delete welcome.data();
    }

    void checkBoxIsThePreference()
    {
        Preferences::instance().setValue("LMShowWelcomeScreen", true);
        LMWelcomeWindow welcome(application.get());
        QVERIFY(welcome.showAtStart()->isChecked());
        welcome.showAtStart()->click();
        QVERIFY(!Preferences::instance().boolValue("LMShowWelcomeScreen"));
    }
};

QTEST_MAIN(TestWelcomeWindow)
#include "test_welcome_window.moc"
