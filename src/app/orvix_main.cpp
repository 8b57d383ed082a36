// The desktop application: start-up checks, then one window per document named on the command line.
#include "ApplicationController.h"
#include "LMApplication.h"
#include "LMDocumentWindow.h"
#include "LMIcons.h"
#include "LMWelcomeWindow.h"
#include "PackageFiles.h"
#include "QtUi.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QPointer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tandrel"));
    QApplication::setApplicationName(QStringLiteral("Orvix"));
    QApplication::setApplicationVersion(QStringLiteral(ORVIX_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("com.tandrel.orvix"));
    QApplication::setWindowIcon(LMIcons::icon(QStringLiteral("Orvix")));

    // Working copies of processes that were killed are nobody's any more.
    PackageFiles::removeStaleWorkingCopies();
    QtUi ui;
    Ui::install(&ui);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Orvix personal database"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("document"), QStringLiteral("Orvix document packages to open."),
                                 QStringLiteral("[document...]"));
    parser.process(app);

    ApplicationController controller;
    const auto start = controller.applicationDidFinishLaunching();
    QObject::connect(&app, &QApplication::aboutToQuit, &controller, &ApplicationController::applicationWillTerminate);

    int code = 0;
    {
        LMApplication documents;
        for (const QString &path : parser.positionalArguments())
            documents.openDocument(path);
        // Without a document to show: the welcome window when the user wants it, else a new document so the
        // window is there to work in.
        QPointer<LMWelcomeWindow> welcome;
        if (documents.windows().isEmpty() && parser.positionalArguments().isEmpty() && start.showWelcomeScreen) {
            welcome = new LMWelcomeWindow(&documents);
            welcome->show();
        } else if (documents.windows().isEmpty()) {
            documents.newDocument();
        }
        if (start.previousRunEndedBadly)
            ApplicationController::showBugReport(documents.frontmostWindow());
        if (!documents.windows().isEmpty() || welcome)
            code = app.exec();
        delete welcome.data();
    }
    Ui::install(nullptr);
    return code;
}
