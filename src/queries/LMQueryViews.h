// LMQueryViews: the views of the queries library, registered with the application's view registry.
#pragma once

class LMViewRegistry;

// The query library's own views (the SQL editor, find, quick search) register here. A saved query opens in
// its table's record grid, which the records library registers (registerRecordViews).
void registerQueryViews(LMViewRegistry &registry);
