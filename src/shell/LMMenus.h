// LMMenus: the menu bar of a document window; every command goes through LMApplication's action table.
#pragma once

class LMApplication;
class LMDocumentWindow;

namespace LMMenus {
void install(LMDocumentWindow *window, LMApplication *application);
} // namespace LMMenus
