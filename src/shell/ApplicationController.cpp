// ApplicationController: start-up bookkeeping kept apart from any window so tests can drive it.
#include "ApplicationController.h"

#include "Alert.h"
#include "Preferences.h"
#include "Ui.h"

ApplicationController::StartResult ApplicationController::applicationDidFinishLaunching()
{
    Preferences &prefs = Preferences::instance();
    prefs.registerDefaults();

    StartResult result;
    result.previousRunEndedBadly = prefs.boolValue(QStringLiteral("ShutdownBad"));
    prefs.setValue(QStringLiteral("ShutdownBad"), true);

    result.firstTime =
        !prefs.hasUserValue(QStringLiteral("First Time")) || prefs.boolValue(QStringLiteral("First Time"));
    prefs.setValue(QStringLiteral("First Time"), false);

    result.showWelcomeScreen = prefs.boolValue(QStringLiteral("LMShowWelcomeScreen"));
    prefs.sync();
    return result;
}

void ApplicationController::applicationWillTerminate()
{
    Preferences::instance().setValue(QStringLiteral("ShutdownBad"), false);
    Preferences::instance().sync();
}

void ApplicationController::showBugReport(QWidget *parent)
{
    Ui::instance().runAlert(
        Alert::make(QStringLiteral("Orvix did not quit normally last time"),
                    QStringLiteral("If something went wrong, please tell tandrel what you were doing when it happened, "
                                   "so that it can be fixed."),
                    {QStringLiteral("OK")}),
        parent);
}
