// LMScriptViews: the Script view kind is the script editor.
#include "LMScriptViews.h"

#include "LMViewRegistry.h"
#include "OXScriptViewController.h"

void registerScriptViews(LMViewRegistry &registry)
{
    registry.setFactory(ViewKind::Script, makeScriptViewController);
}
