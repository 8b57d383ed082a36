// LMSubsystemViews: the factories that put record grids, table designs and query filters into tabs.
#include "LMSubsystemViews.h"

#include "LMDocumentWindow.h"
#include "LMFind.h"
#include "LMQueryDefinition.h"
#include "LMQueryFilterView.h"
#include "LMRelationshipsViewController.h"
#include "LMSQLView.h"
#include "LMTabView.h"
#include "LMTableDesignView.h"
#include "LMTableEditContainer.h"
#include "LMTableEditView.h"
#include "LMViewRegistry.h"
#include "MyDocument.h"
#include "OXDatabase.h"

#include <QPointer>

namespace {
std::unique_ptr<LMViewController> makeGrid(const LMViewContext &context, const QString &identifier,
                                           const QString &table, const Value &query)
{
    if (!context.document || table.isEmpty())
        return nullptr;
    std::unique_ptr<LMViewController> controller = makeTableEditController(context.document, table, context.window);
    auto *container = dynamic_cast<LMTableEditContainer *>(controller.get());
    if (!container)
        return controller;
    container->setIdentifier(identifier);
    QPointer<LMDocumentWindow> window = context.window;
    container->setModeHandler([window](const QString &mode, const QString &name) {
        if (!window)
            return;
        if (mode == QLatin1String("Table Design"))
            window->switchToTableDesignView(name);
        else if (mode == QLatin1String("Form Design"))
            window->switchToFormDesignView(name);
        else if (mode == QLatin1String("Form Data"))
            window->switchToFormDataView(name);
    });
    // Every grid already has a closed filter of its own table; a query opens in the table's own grid.
    auto *filter = dynamic_cast<LMQueryFilterView *>(container->tableEditView()->queryView());
    if (filter && query.isDict())
        filter->programaticallyOpenQuery(query, context.window);
    return controller;
}

LMTableDesignWindowCalls designCalls(LMDocumentWindow *w)
{
    QPointer<LMDocumentWindow> window = w;
    LMTableDesignWindowCalls calls;
    calls.switchToTableEditView = [window](const QString &table) {
        if (window)
            window->switchToTableEditView(table);
    };
    calls.switchToFormDataView = [window](const QString &form) {
        if (window)
            window->switchToFormDataView(form);
    };
    calls.switchToFormDesignView = [window](const QString &form) {
        if (window)
            window->switchToFormDesignView(form);
    };
    calls.switchToOverview = [window] {
        if (window)
            window->switchToOverview();
    };
    calls.setTabLabel = [window](const QString &label) {
        if (window && window->tabView()->currentIndex() >= 0)
            window->tabView()->setTabText(window->tabView()->currentIndex(), label);
    };
    calls.expandTablesHeading = [window] {
        if (window)
            window->reloadSourceList();
    };
    return calls;
}
} // namespace

void LMSubsystemViews::install(LMViewRegistry &registry)
{
    registry.setFactory(QStringLiteral("Table Edit"), [](const LMViewContext &context, const LMViewRequest &request) {
        return makeGrid(context, request.identifier, request.name, Value());
    });
    registry.setFactory(QStringLiteral("Query"), [](const LMViewContext &context, const LMViewRequest &request) {
        // A query is its table's grid with the query open in the filter above it.
        QString table = request.detail;
        if (table.isEmpty())
            table = request.item.value(QStringLiteral("Table Name")).toString();
        Value query = request.item;
        if (!query.isDict())
            query = LMQueryDefinition::newDefinition();
        if (query.value(QStringLiteral("Table Name")).toString().isEmpty())
            query.set(QStringLiteral("Table Name"), table);
        return makeGrid(context, request.identifier, table, query);
    });
    registry.setFactory(QStringLiteral("Table Design"), [](const LMViewContext &context, const LMViewRequest &request) {
        if (!context.document)
            return std::unique_ptr<LMViewController>();
        return makeTableDesignController(context.document, request.name, context.window, designCalls(context.window));
    });
    registry.setFactory(QStringLiteral("SQL"), [](const LMViewContext &context, const LMViewRequest &) {
        LMSQLView::showUnsupportedWarning(context.window);
        return std::unique_ptr<LMViewController>(std::make_unique<LMSQLView>(context.database, context.window));
    });
    registry.setFactory(QStringLiteral("Relationship"), [](const LMViewContext &context, const LMViewRequest &request) {
        return std::unique_ptr<LMViewController>(
            std::make_unique<LMRelationshipsViewController>(context.database, request.item));
    });
    registry.setFactory(QStringLiteral("Find"), [](const LMViewContext &context, const LMViewRequest &request) {
        return std::unique_ptr<LMViewController>(
            std::make_unique<LMFind>(request.detail, context.database, context.window, context.document));
    });
}
