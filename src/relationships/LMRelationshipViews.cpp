// LMRelationshipViews: the relationships diagram in a document tab.
#include "LMRelationshipViews.h"

#include "LMRelationshipsViewController.h"
#include "LMViewRegistry.h"
#include "MyDocument.h"

std::unique_ptr<LMViewController> makeRelationshipsView(const LMViewContext &context, const LMViewRequest &request)
{
    if (!context.database)
        return nullptr;
    Value relationships = request.item;
    if (!relationships.isDict() && context.document)
        relationships = context.document->relationships();
    return std::make_unique<LMRelationshipsViewController>(context.database, relationships);
}

void registerRelationshipViews(LMViewRegistry &registry)
{
    registry.setFactory(ViewKind::Relationship, makeRelationshipsView);
}
