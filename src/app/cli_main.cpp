// orvix-cli: headless entry point.
#include "CliRegistry.h"
#include "PackageFiles.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    // Images and formatters need a Gui application; the command line never shows a window.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) {
        // Qt wants a private runtime folder and complains on standard error without one.
        const QString runtime = QDir::tempPath() + QStringLiteral("/runtime-%1").arg(getuid());
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }
    QGuiApplication app(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("Tandrel"));
    QGuiApplication::setApplicationName(QStringLiteral("Orvix"));
    // Working copies of processes that were killed are nobody's any more.
    PackageFiles::removeStaleWorkingCopies();
    QTextStream out(stdout);
    QTextStream err(stderr);
    CliContext cli(out, err);
    return cli.run(app.arguments().mid(1));
}
