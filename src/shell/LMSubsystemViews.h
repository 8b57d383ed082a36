// LMSubsystemViews: installs the views of the record, design and query libraries into the view registry.
#pragma once

class LMViewRegistry;

namespace LMSubsystemViews {
// Replaces the placeholders of "Table Edit", "Table Design" and "Query" with the real views.
void install(LMViewRegistry &registry);
} // namespace LMSubsystemViews
