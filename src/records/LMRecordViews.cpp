// LMRecordViews: the factories that put record grids, table designs and queries over their grids into tabs.
#include "LMRecordViews.h"
#include "DesignVocabulary.h"

#include "LMQueryDefinition.h"
#include "LMQueryFilterView.h"
#include "LMTableDesignView.h"
#include "LMTableEditContainer.h"
#include "LMTableEditView.h"
#include "LMViewRegistry.h"
#include "MyDocument.h"

namespace {
std::unique_ptr<LMViewController> makeGrid(const LMViewContext &context, ViewKind kind, const QString &table,
                                           const Value &query)
{
    if (!context.document || table.isEmpty())
        return nullptr;
    auto container = std::make_unique<LMTableEditContainer>(context.document, table, context.window, context.navigator);
    container->setIdentifier(ViewKinds::identifier(kind));
    // Every grid already has a closed filter of its own table; a query opens in the table's own grid.
    auto *filter = dynamic_cast<LMQueryFilterView *>(container->tableEditView()->queryView());
    if (filter && query.isDict())
        filter->programaticallyOpenQuery(query, context.window);
    return container;
}
} // namespace

void registerRecordViews(LMViewRegistry &registry)
{
    registry.setFactory(ViewKind::TableEdit, [](const LMViewContext &context, const LMViewRequest &request) {
        return makeGrid(context, request.kind, request.name, Value());
    });
    registry.setFactory(ViewKind::Query, [](const LMViewContext &context, const LMViewRequest &request) {
        // A query is its table's grid with the query open in the filter above it.
        const QString tableKey = DesignKey::TableName;
        QString table = request.table;
        if (table.isEmpty())
            table = request.item.value(tableKey).toString();
        Value query = request.item;
        if (!query.isDict())
            query = LMQueryDefinition::newDefinition();
        if (query.value(tableKey).toString().isEmpty())
            query.set(tableKey, table);
        return makeGrid(context, request.kind, table, query);
    });
    registry.setFactory(ViewKind::TableDesign, [](const LMViewContext &context, const LMViewRequest &request) {
        if (!context.document)
            return std::unique_ptr<LMViewController>();
        return makeTableDesignController(context.document, request.name, context.window, context.navigator);
    });
}
