// FDFormViews: what the forms library plugs into the application: the form generator of the design editor.
#pragma once

namespace FDFormViews {
// Lets the table design editor's "Create Form?" answers generate forms.
void installFormGenerator();
} // namespace FDFormViews
