// LMScriptViews: plugs the script editor into the window's view registry, and the window's script runs.
#pragma once

class LMViewRegistry;

class MyDocument;
class QString;

void registerScriptViews(LMViewRegistry &registry);
// Starts the document's script of that name in its own controller (the window's run command) and returns at
// once: the script runs on its own thread while the window stays responsive. False when there is no such
// script.
bool runScriptNamed(MyDocument *document, const QString &name);
// The window's stop command: asks every run that runScriptNamed started for the document to stop; answers how
// many were running.
int stopScriptRuns(MyDocument *document);
// Stops those runs and waits for them to end (the document is closing).
void endScriptRuns(MyDocument *document);
// How many of those runs are under way.
int scriptRunCount(MyDocument *document);
