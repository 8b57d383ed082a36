// LMQueryViews: the SQL editor and the item finder in document tabs.
#include "LMQueryViews.h"

#include "LMFind.h"
#include "LMSQLView.h"
#include "LMViewRegistry.h"

std::unique_ptr<LMViewController> makeSQLView(const LMViewContext &context, const LMViewRequest &)
{
    // The View menu offers it only with "LMAllowSQLEditor" on; every opening warns first.
    if (!context.database)
        return nullptr;
    LMSQLView::showUnsupportedWarning(context.window);
    return std::make_unique<LMSQLView>(context.database, context.window);
}

std::unique_ptr<LMViewController> makeFindView(const LMViewContext &context, const LMViewRequest &request)
{
    if (!context.document)
        return nullptr;
    auto find = std::make_unique<LMFind>(request.searchText, context.database, context.window, context.document);
    find->setNavigator(context.navigator);
    return find;
}

void registerQueryViews(LMViewRegistry &registry)
{
    registry.setFactory(ViewKind::SQL, makeSQLView);
    registry.setFactory(ViewKind::Find, makeFindView);
}
