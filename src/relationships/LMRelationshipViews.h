// LMRelationshipViews: the relationships library's views, registered with the application's view registry.
#pragma once

#include <memory>

class LMViewController;
class LMViewRegistry;
struct LMViewContext;
struct LMViewRequest;

// "Relationship": the diagram over the request's relationships dictionary (the document's, when none is given).
std::unique_ptr<LMViewController> makeRelationshipsView(const LMViewContext &context, const LMViewRequest &request);

void registerRelationshipViews(LMViewRegistry &registry);
