// LMRecordViews: the record library's views, registered with the application's view registry.
#pragma once

class LMViewRegistry;

// "Table Edit" (the record grid), "Query" (the grid with the query open in its filter) and "Table Design".
void registerRecordViews(LMViewRegistry &registry);
