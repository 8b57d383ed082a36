// orvix-cli commands over scripts: run-script, eval-js.
#include "CliRegistry.h"

#include "MyDocument.h"
#include "OXJavascriptRunController.h"

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

// Runs the controller and saves the document when the script changed it; 1 on an uncaught error or a stop.
int finishRun(CliContext &cli, MyDocument &document, const QString &package, OXJavascriptRunController &controller,
              const QString &function, const QStringList &arguments, bool printResult)
{
    CliConsole console(cli);
    controller.setLogView(&console);
    controller.setDelegate(&console);
    const bool finished = controller.runFunction(function, arguments);
    if (printResult && finished && controller.errors().isEmpty()) {
        const QJSValue result = controller.executeCode(QStringLiteral("__orvixResult"));
        if (!result.isUndefined())
            cli.out() << result.toString() << Qt::endl;
    }
    if (document.isChanged() && !cli.savePackage(document, package))
        return 1;
    return finished && controller.errors().isEmpty() ? 0 : 1;
}

int runScript(CliContext &cli, const QStringList &args)
{
    QString function;
    QStringList arguments, rest;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--function") && i + 1 < args.size()) {
            function = args[++i];
        } else if (args[i] == QLatin1String("--arg") && i + 1 < args.size()) {
            arguments.append(args[++i]);
        } else {
            rest.append(args[i]);
        }
    }
    if (rest.size() != 2 || (!arguments.isEmpty() && function.isEmpty()))
        return cli.usage(2);
    auto doc = cli.openPackage(rest[0]);
    if (!doc)
        return 1;
    if (!doc->scriptNamed(rest[1]).isDict())
        return cli.fail(QStringLiteral("no script named \"%1\"").arg(rest[1]));
    auto controller = OXJavascriptRunController::withScriptName(rest[1], doc.get());
    return finishRun(cli, *doc, rest[0], *controller, function, arguments, false);
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
    return finishRun(cli, *doc, args[0], controller, QString(), {}, true);
}

const CliRegistration registration({
    {"run-script", "PACKAGE NAME [--function F] [--arg A]...",
     "run a stored script (then call its function F with the script expressions A);\nthe console goes to "
     "standard output, errors as \"line N: MESSAGE\" to standard error;\nexit 1 on an uncaught error; the "
     "document is saved when the script changed it",
     2, -1, runScript},
    {"eval-js", "PACKAGE CODE", "evaluate script code against the document and print its value", 2, 2, evalJs},
});
} // namespace
