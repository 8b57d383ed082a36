// LMFormDataViews: the "Form Data" view registered with the application's view registry.
#pragma once

#include <memory>

class LMViewController;
class LMViewRegistry;
struct LMViewContext;
struct LMViewRequest;

// The form named in the request; for a query opened in a form, its table's form filtered by the query.
std::unique_ptr<LMViewController> makeFormDataController(const LMViewContext &context, const LMViewRequest &request);
void registerFormDataViews(LMViewRegistry &registry);
