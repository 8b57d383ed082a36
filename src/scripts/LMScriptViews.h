// LMScriptViews: plugs the script editor into the window's view registry.
#pragma once

class LMViewRegistry;

void registerScriptViews(LMViewRegistry &registry);
