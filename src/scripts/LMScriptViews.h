// LMScriptViews: plugs the script editor into the window's view registry.
#pragma once

class LMViewRegistry;

class MyDocument;
class QString;

void registerScriptViews(LMViewRegistry &registry);
// Runs the document's script of that name in its own controller (the window's run command); false when there is
// no such script.
bool runScriptNamed(MyDocument *document, const QString &name);
