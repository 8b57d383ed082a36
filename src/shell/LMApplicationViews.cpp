// LMApplicationViews: the shell's overview and placeholders, and the one list of feature registrations.
#include "LMApplicationViews.h"

#include "LMFormViews.h"
#include "LMOverview.h"
#include "LMPlaceholderView.h"
#include "LMQueryViews.h"
#include "LMRecordViews.h"
#include "LMRelationshipViews.h"
#include "LMScriptViews.h"
#include "LMUsersGroups.h"
#include "LMViewRegistry.h"

namespace {
// What a placeholder says it will show.
QString subjectFor(const LMViewRequest &request)
{
    switch (request.kind) {
    case ViewKind::Query: {
        const QString query = request.name.isEmpty() ? ViewKinds::newItemLabel(request.kind) : request.name;
        return request.table.isEmpty() ? query : QStringLiteral("%1 on %2").arg(query, request.table);
    }
    case ViewKind::FormData:
        if (!request.queryName.isEmpty())
            return QStringLiteral("%1, query %2").arg(request.name, request.queryName);
        break;
    case ViewKind::Find: return request.searchText;
    case ViewKind::Chooser: return QString();
    case ViewKind::UsersGroups:
        return request.name.isEmpty() ? QString()
                                      : QStringLiteral("%1 %2").arg(request.isUser ? "User" : "Group", request.name);
    default: break;
    }
    if (request.name.isEmpty())
        return ViewKinds::newItemLabel(request.kind);
    return request.name;
}
} // namespace

void registerShellViews(LMViewRegistry &registry)
{
    registry.setFactory(ViewKind::Overview, [](const LMViewContext &context, const LMViewRequest &request) {
        return std::unique_ptr<LMViewController>(std::make_unique<LMOverview>(context, request.firstTime));
    });
    for (ViewKind kind : ViewKinds::all()) {
        if (kind == ViewKind::Overview)
            continue;
        registry.setFactory(kind, [](const LMViewContext &, const LMViewRequest &request) {
            const QString title = request.kind == ViewKind::Chooser
                                      ? QStringLiteral("%1 Chooser").arg(request.chooserMode)
                                      : ViewKinds::info(request.kind).title;
            return std::unique_ptr<LMViewController>(
                std::make_unique<LMPlaceholderView>(request.identifier(), title, subjectFor(request)));
        });
    }
}

void registerApplicationViews(LMViewRegistry &registry)
{
    registry.clear();
    registerShellViews(registry);
    registerQueryViews(registry);
    registerRecordViews(registry);
    registerSecurityViews(registry);
    registerRelationshipViews(registry);
    registerFormViews(registry);
    registerScriptViews(registry);
}
