// LMApplicationViews: fills the application's view registry: the shell's own views, then each feature
// library's registration.
#pragma once

class LMViewRegistry;

// The overview, and a labelled placeholder for every view kind whose library has not registered one yet.
void registerShellViews(LMViewRegistry &registry);
// Every view of the application: the shell's, then each feature library's (later registrations win).
void registerApplicationViews(LMViewRegistry &registry);
