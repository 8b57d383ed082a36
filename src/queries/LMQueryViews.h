// LMQueryViews: the views of the queries library, registered with the application's view registry.
#pragma once

#include <memory>

class LMViewController;
class LMViewRegistry;
struct LMViewContext;
struct LMViewRequest;

// "SQL": the SQL editor, after its warning.
std::unique_ptr<LMViewController> makeSQLView(const LMViewContext &context, const LMViewRequest &request);
// "Find": the item finder on the request's search text.
std::unique_ptr<LMViewController> makeFindView(const LMViewContext &context, const LMViewRequest &request);

// The query library's own views (the SQL editor, the item finder). A saved query opens in its table's record
// grid, which the records library registers (registerRecordViews).
void registerQueryViews(LMViewRegistry &registry);
