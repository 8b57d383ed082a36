// ApplicationController: what happens when the application starts and ends (defaults, crash check, first run).
#pragma once

#include <QObject>
#include <QString>

class QWidget;

class ApplicationController : public QObject {
    Q_OBJECT
public:
    struct StartResult {
        bool previousRunEndedBadly = false;
        bool firstTime = false;
        bool showWelcomeScreen = false;
    };

    // Registers the defaults, reads and re-arms "ShutdownBad", and records "First Time".
    StartResult applicationDidFinishLaunching();
    // A normal end: the next start shows no bug report.
    void applicationWillTerminate();

    // The short bug-report window shown after a run that did not end cleanly.
    static void showBugReport(QWidget *parent = nullptr);
};
