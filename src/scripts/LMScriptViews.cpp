// LMScriptViews: the Script view kind is the script editor; the window's run and stop commands.
#include "LMScriptViews.h"

#include "LMViewRegistry.h"
#include "MyDocument.h"
#include "OXJavascriptRunController.h"
#include "OXScriptViewController.h"

#include <QHash>
#include <QList>

namespace {
// The runs the window's run command started, per document, until each has told its end.
QHash<MyDocument *, QList<OXJavascriptRunController *>> &windowRuns()
{
    static QHash<MyDocument *, QList<OXJavascriptRunController *>> runs;
    return runs;
}
} // namespace

void registerScriptViews(LMViewRegistry &registry)
{
    registry.setFactory(ViewKind::Script, makeScriptViewController);
}

bool runScriptNamed(MyDocument *document, const QString &name)
{
    if (!document || !document->scriptNamed(name).isDict())
        return false;
    return startScriptRun(document, OXJavascriptRunController::withScriptName(name, document)) != nullptr;
}

OXJavascriptRunController *startScriptRun(MyDocument *document, std::unique_ptr<OXJavascriptRunController> owned,
                                          const QString &function, const QStringList &arguments)
{
    if (!owned)
        return nullptr;
    OXJavascriptRunController *controller = owned.release();
    windowRuns()[document].append(controller);
    QObject::connect(controller, &OXJavascriptRunController::finished, controller, [controller, document] {
        windowRuns()[document].removeAll(controller);
        if (windowRuns()[document].isEmpty())
            windowRuns().remove(document);
        controller->deleteLater();
    });
    const bool started = function.isEmpty() ? controller->start() : controller->startFunction(function, arguments);
    if (!started) {
        windowRuns()[document].removeAll(controller);
        if (windowRuns()[document].isEmpty())
            windowRuns().remove(document);
        delete controller;
        return nullptr;
    }
    return controller;
}

int stopScriptRuns(MyDocument *document)
{
    const QList<OXJavascriptRunController *> runs = windowRuns().value(document);
    for (OXJavascriptRunController *controller : runs)
        controller->stop();
    return int(runs.size());
}

void endScriptRuns(MyDocument *document)
{
    // Destroying a controller stops its run and waits for it; its end is then never told.
    const QList<OXJavascriptRunController *> runs = windowRuns().take(document);
    for (OXJavascriptRunController *controller : runs)
        delete controller;
}

void endScriptRunsForForm(OXFormScriptHost *host)
{
    if (!host)
        return;
    QList<OXJavascriptRunController *> ending;
    for (auto it = windowRuns().begin(); it != windowRuns().end();) {
        QList<OXJavascriptRunController *> &runs = it.value();
        for (OXJavascriptRunController *controller : std::as_const(runs))
            if (controller->formHost() == host)
                ending.append(controller);
        runs.removeIf([host](OXJavascriptRunController *c) { return c->formHost() == host; });
        it = runs.isEmpty() ? windowRuns().erase(it) : std::next(it);
    }
    // Destroying a controller stops its run and waits for it; its end is then never told.
    qDeleteAll(ending);
}

int scriptRunCount(MyDocument *document)
{
    return int(windowRuns().value(document).size());
}
