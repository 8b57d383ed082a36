// The desktop application: start-up checks, then one window per document named on the command line.
#include "ApplicationController.h"
#include "PlaceholderWindow.h"
#include "QtUi.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tandrel"));
    QApplication::setApplicationName(QStringLiteral("Orvix"));
    QApplication::setApplicationVersion(QStringLiteral(ORVIX_VERSION));

    QtUi ui;
    Ui::install(&ui);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Orvix personal database"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("document"), QStringLiteral("Orvix document packages to open."));
    parser.process(app);

    ApplicationController controller;
    const auto start = controller.applicationDidFinishLaunching();
    QObject::connect(&app, &QApplication::aboutToQuit, &controller, &ApplicationController::applicationWillTerminate);

    PlaceholderWindow window(parser.positionalArguments().value(0));
    window.show();
    if (start.previousRunEndedBadly)
        ApplicationController::showBugReport(&window);

    const int code = app.exec();
    Ui::install(nullptr);
    return code;
}
