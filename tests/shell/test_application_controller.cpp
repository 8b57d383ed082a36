// ApplicationController: the crash flag and first-run flag across starts.
#include "ApplicationController.h"
#include "ArchivedColor.h"
#include "Preferences.h"
#include "TestEnvironment.h"

#include <QTest>

class TestApplicationController : public QObject {
    Q_OBJECT
private slots:
    void shutdownBadIsArmedUntilNormalTermination()
    {
        TestEnvironment env;
        ApplicationController controller;
        auto first = controller.applicationDidFinishLaunching();
        QVERIFY(!first.previousRunEndedBadly);
        QVERIFY(first.firstTime);
        QVERIFY(first.showWelcomeScreen);
        QVERIFY(Preferences::instance().boolValue("ShutdownBad"));

        // A run that never terminated normally is reported at the next start.
        auto second = controller.applicationDidFinishLaunching();
        QVERIFY(second.previousRunEndedBadly);
        QVERIFY(!second.firstTime);

        controller.applicationWillTerminate();
        auto third = controller.applicationDidFinishLaunching();
        QVERIFY(!third.previousRunEndedBadly);
    }

    void defaultsAreRegisteredButUserValuesWin()
    {
        TestEnvironment env;
        Preferences &p = Preferences::instance();
        QCOMPARE(p.stringValue("LMOverviewStyle"), QStringLiteral("Perforated"));
        QCOMPARE(p.intValue("LMUIDateFormat"), 2);
        QCOMPARE(p.doubleValue("LMForm_Font_Size"), 11.0);
        QVERIFY(p.boolValue("LMPromptWhenDelete"));
        QVERIFY(!p.boolValue("LMAllowSQLEditor"));
        QCOMPARE(ArchivedColor::unarchive(p.value("LMForm_Color_Background").toByteArray()).value_or(QColor()),
                 QColor(Qt::red));
        p.setValue("LMUIDateFormat", 3);
        QCOMPARE(p.intValue("LMUIDateFormat"), 3);
        QVERIFY(!p.hasUserValue("LMOverviewStyle"));
    }

    void bugReportGoesThroughTheUiSeam()
    {
        TestEnvironment env;
        ApplicationController::showBugReport();
        QCOMPARE(env.ui().alerts().size(), 1);
        QCOMPARE(env.ui().lastAlert()->messageText, QStringLiteral("Orvix did not quit normally last time"));
    }
};

QTEST_MAIN(TestApplicationController)
#include "test_application_controller.moc"
