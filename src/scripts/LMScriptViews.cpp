// LMScriptViews: the Script view kind is the script editor, and the window's run command.
#include "LMScriptViews.h"

#include "LMViewRegistry.h"
#include "MyDocument.h"
#include "OXJavascriptRunController.h"
#include "OXScriptViewController.h"

void registerScriptViews(LMViewRegistry &registry)
{
    registry.setFactory(ViewKind::Script, makeScriptViewController);
}

bool runScriptNamed(MyDocument *document, const QString &name)
{
    if (!document || !document->scriptNamed(name).isDict())
        return false;
    OXJavascriptRunController::runScriptNamed(name, document);
    return true;
}
