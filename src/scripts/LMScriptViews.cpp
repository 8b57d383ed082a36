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
    OXJavascriptRunController *controller = OXJavascriptRunController::withScriptName(name, document).release();
    windowRuns()[document].append(controller);
    QObject::connect(controller, &OXJavascriptRunController::finished, controller, [controller, document] {
        windowRuns()[document].removeAll(controller);
        if (windowRuns()[document].isEmpty())
            windowRuns().remove(document);
        controller->deleteLater();
    });
    controller->start();
    return true;
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

int scriptRunCount(MyDocument *document)
{
    return int(windowRuns().value(document).size());
}
