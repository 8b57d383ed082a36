// LMScriptViews: plugs the script editor into the window's view registry, and the window's script runs.
#pragma once

class LMViewRegistry;

#include <QStringList>
#include <memory>

class MyDocument;
class OXFormScriptHost;
class OXJavascriptRunController;

void registerScriptViews(LMViewRegistry &registry);
// Starts the document's script of that name in its own controller (the window's run command) and returns at
// once: the script runs on its own thread while the window stays responsive. False when there is no such
// script.
bool runScriptNamed(MyDocument *document, const QString &name);
// Starts `controller` (the whole script, then `function` when one is named, with `arguments` as script
// expressions) as one of the document's runs; it is deleted when it ends. Answers the controller, or null when it
// did not start.
OXJavascriptRunController *startScriptRun(MyDocument *document, std::unique_ptr<OXJavascriptRunController> controller,
                                          const QString &function = QString(), const QStringList &arguments = {});
// The window's stop command: asks every run that runScriptNamed started for the document to stop; answers how
// many were running.
int stopScriptRuns(MyDocument *document);
// Stops those runs and waits for them to end (the document is closing).
void endScriptRuns(MyDocument *document);
// Stops the runs that reach the form of `host` and waits for them (the form is going away).
void endScriptRunsForForm(OXFormScriptHost *host);
// How many of those runs are under way.
int scriptRunCount(MyDocument *document);
