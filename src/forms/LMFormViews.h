// LMFormViews: the forms library's views and the form generator, registered with the application's registry.
#pragma once

#include <memory>

class LMViewController;
class LMViewRegistry;
struct LMViewContext;
struct LMViewRequest;

// The "Form Design" view of the form named in the request (a new form when the name is empty).
std::unique_ptr<LMViewController> makeFormDesignController(const LMViewContext &context, const LMViewRequest &request);
// Installs the "Form Design" factory and the generator the table design view's "Create Form?" uses.
void registerFormViews(LMViewRegistry &registry);
