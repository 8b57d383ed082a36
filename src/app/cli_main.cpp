// orvix-cli: headless entry point.
#include "OrvixCli.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    // Images and formatters need a Gui application; the command line never shows a window.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("Tandrel"));
    QGuiApplication::setApplicationName(QStringLiteral("Orvix"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    OrvixCli cli(out, err);
    return cli.run(app.arguments().mid(1));
}
