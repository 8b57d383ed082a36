// orvix-cli commands over scripts: run (run-script), run-code, eval-js.
#include "CliRegistry.h"

#include "MyDocument.h"
#include "OXJavascriptRunController.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

namespace {
// The console on standard output, errors as "line N: MESSAGE" on standard error.
struct CliConsole : OXScriptLogView, OXScriptRunDelegate {
    explicit CliConsole(CliContext &cli) : cli(cli) {}
    void logToConsole(const QString &text) override { cli.out() << text << Qt::endl; }
    void printToConsole(const QString &text) override { cli.out() << text << Qt::flush; }
    void scriptFinished(bool) override {}
    void scriptError(const Value &error) override
    {
        cli.err() << "line " << error.value("lineNumber").toInt() << ": " << error.value("message").toString()
                  << Qt::endl;
    }
    CliContext &cli;
};

// How a run was asked for: the function to call after the script, its arguments, and whether to report the
// script's own time (without opening and saving) as "script_s=SECONDS" on standard error.
struct RunOptions {
    QString function;
    QStringList arguments;
    bool timing = false;
};

// Runs the controller and saves the document when the script changed it; 1 on an uncaught error or a stop.
int finishRun(CliContext &cli, MyDocument &document, const QString &package, OXJavascriptRunController &controller,
              const RunOptions &options, bool printResult)
{
    CliConsole console(cli);
    controller.setLogView(&console);
    controller.setDelegate(&console);
    QElapsedTimer clock;
    clock.start();
    const bool finished = controller.runFunction(options.function, options.arguments);
    if (options.timing)
        cli.err() << "script_s=" << QString::number(double(clock.nsecsElapsed()) / 1e9, 'f', 4) << Qt::endl;
    if (printResult && finished && controller.errors().isEmpty()) {
        const QJSValue result = controller.executeCode(QStringLiteral("__orvixResult"));
        if (!result.isUndefined())
            cli.out() << result.toString() << Qt::endl;
    }
    if (document.isChanged() && !cli.savePackage(document, package))
        return 1;
    return finished && controller.errors().isEmpty() ? 0 : 1;
}

// Splits the options of run and run-code from their positional arguments; false on a malformed line.
bool parseRunOptions(const QStringList &args, RunOptions *options, QStringList *rest)
{
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--function") && i + 1 < args.size())
            options->function = args[++i];
        else if (args[i] == QLatin1String("--arg") && i + 1 < args.size())
            options->arguments.append(args[++i]);
        else if (args[i] == QLatin1String("--timing"))
            options->timing = true;
        else
            rest->append(args[i]);
    }
    return rest->size() == 2 && (options->arguments.isEmpty() || !options->function.isEmpty());
}

int runScript(CliContext &cli, const QStringList &args)
{
    RunOptions options;
    QStringList rest;
    if (!parseRunOptions(args, &options, &rest))
        return cli.usage(2);
    auto doc = cli.openPackageForWriting(rest[0]);
    if (!doc)
        return 1;
    if (!doc->scriptNamed(rest[1]).isDict())
        return cli.fail(QStringLiteral("no script named \"%1\"").arg(rest[1]));
    auto controller = OXJavascriptRunController::withScriptName(rest[1], doc.get());
    return finishRun(cli, *doc, rest[0], *controller, options, false);
}

int runCode(CliContext &cli, const QStringList &args)
{
    RunOptions options;
    QStringList rest;
    if (!parseRunOptions(args, &options, &rest))
        return cli.usage(2);
    QFile file(rest[1]);
    if (!file.open(QIODevice::ReadOnly))
        return cli.fail(QStringLiteral("cannot read \"%1\": %2").arg(rest[1], file.errorString()));
    const QString code = QString::fromUtf8(file.readAll());
    auto doc = cli.openPackageForWriting(rest[0]);
    if (!doc)
        return 1;
    OXJavascriptRunController controller(code, doc.get());
    return finishRun(cli, *doc, rest[0], controller, options, false);
}

int evalJs(CliContext &cli, const QStringList &args)
{
    auto doc = cli.openPackage(args[0]);
    if (!doc)
        return 1;
    // The value of the last expression is printed, as a console would.
    OXJavascriptRunController controller(
        QStringLiteral("var __orvixResult = eval(%1);")
            .arg(
                QString::fromUtf8(QJsonDocument(QJsonArray{args[1]}).toJson(QJsonDocument::Compact)).mid(1).chopped(1)),
        doc.get());
    return finishRun(cli, *doc, args[0], controller, RunOptions(), true);
}

const QString kRunHelp = QStringLiteral(
    "run a stored script (then call its function F with the script expressions A);\nthe console goes to "
    "standard output, errors as \"line N: MESSAGE\" to standard error;\nexit 1 on an uncaught error; the "
    "document is saved when the script changed it;\n--timing prints the run's own time as script_s=SECONDS");

const CliRegistration registration({
    {"run", "PACKAGE SCRIPT [--function F] [--arg A]... [--timing]", kRunHelp, 2, -1, runScript},
    {"run-script", "PACKAGE SCRIPT [--function F] [--arg A]... [--timing]", "another name for run", 2, -1, runScript},
    {"run-code", "PACKAGE FILE [--function F] [--arg A]... [--timing]",
     "run the script text of FILE as run runs a stored script, without storing it", 2, -1, runCode},
    {"eval-js", "PACKAGE CODE", "evaluate script code against the document and print its value", 2, 2, evalJs},
});
} // namespace
